// Which destination action receives the maximum and the minimum part of each source action, and the envelopes
// of the source's alternative groups.
#include <algorithm>
#include <cmath>

#include "platform/tolkar/tolkar.h"
#include "transfer/ludata.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "LUDlg", text)); }

constexpr int kAmax = 0, kAmin = 1, kMmax = 2, kMmin = 3;

bool Contains(const CArray<int, int>& values, int v) {
  for (int x : values)
    if (x == v) return true;
  return false;
}

}  // namespace

const CEinwirkung* LUData::FindSourceAction(int number) const {
  for (const CEinwirkung& action : sourceLK.einwirkungen)
    if (action.nr == number) return &action;
  return nullptr;
}

void LUData::CollectGroupEnvelopes() {
  for (auto& axis : envelopes)
    for (auto& quantity : axis) quantity.RemoveAll();
  combine.clear();
  int gMax = 0;
  for (const CEinwirkung& action : sourceLK.einwirkungen) gMax = std::max(gMax, action.alternativgruppe);
  if (gMax <= 0) return;
  for (auto& axis : envelopes)
    for (auto& quantity : axis) quantity.SetSize(gMax + 1);
  combine.assign(std::size_t(gMax) + 1, false);

  for (LUAuflager& r : auflagerListe) {
    if (r.iEinw <= 0 || r.iRichtg < 0 || r.iRichtg > 2) continue;
    const CEinwirkung* s = FindSourceAction(r.iEinw);
    if (!s || s->alternativgruppe <= 0) continue;
    const int g = s->alternativgruppe;
    auto& env = envelopes[std::size_t(r.iRichtg)];
    if (r.Amax.GetValue() > env[kAmax][g].GetValue()) env[kAmax][g] = r.Amax.GetValue();
    if (r.Amin.GetValue() < env[kAmin][g].GetValue()) env[kAmin][g] = r.Amin.GetValue();
    if (r.Mmax.GetValue() > env[kMmax][g].GetValue()) env[kMmax][g] = r.Mmax.GetValue();
    if (r.Mmin.GetValue() < env[kMmin][g].GetValue()) env[kMmin][g] = r.Mmin.GetValue();
  }
  for (int g = 0; g <= gMax; ++g) {
    int channels = 0;
    for (int quantity : {kAmax, kMmax})
      for (auto& axis : envelopes)
        if (axis[quantity][g].GetValue() > 0.001 || axis[quantity + 1][g].GetValue() < -0.001) ++channels;
    combine[std::size_t(g)] = channels < 2;
  }
}

void LUData::CollectDestActions(int group, int category, CArray<CEinwirkung>& list) const {
  list.RemoveAll();
  if (CLKData* dest = DestLK())
    for (const CEinwirkung& action : dest->einwirkungen)
      if (action.indexGruppeHHHH == group && action.indexKategorie == category) list.Add(action);
}

void LUData::NeedMaxMin(int group, int category, bool& needMax, bool& needMin) {
  needMax = needMin = false;
  const INT_PTR count = sourceLK.einwirkungen.GetSize();
  for (LUAuflager& r : auflagerListe) {
    const INT_PTR index = r.iEinw < 1 ? 0 : r.iEinw - 1;
    if (index >= count) continue;
    const CEinwirkung& s = sourceLK.einwirkungen[index];
    if (s.indexGruppeHHHH != group || s.indexKategorie != category) continue;
    for (CFormulaNumber* n : {&r.Amax, &r.Mmax, &r.Amin, &r.Mmin}) {
      if (n->GetValue() > 0.001) needMax = true;
      if (n->GetValue() < -0.001) needMin = true;
    }
  }
}

int LUData::FindFreeDestAction(int group, int category, int altGroup) const {
  if (altGroup == -1) altGroup = 0;
  CArray<CEinwirkung> list;
  CollectDestActions(group, category, list);
  for (const CEinwirkung& action : list) {
    if (action.alternativgruppe != altGroup) continue;
    if (!Contains(EinwSrc2DestMax, action.nr) && !Contains(EinwSrc2DestMin, action.nr)) return action.nr;
  }
  return -1;
}

int LUData::CreateDestAction(int source, int group, int category, int altGroup, int minFlag) {
  CLKData* dest = DestLK();
  if (!dest) return -1;
  if (altGroup == -1) altGroup = 0;
  int number = 0;
  for (const CEinwirkung& action : dest->einwirkungen) number = std::max(number, action.nr);
  ++number;

  CEinwirkung action;
  action.nr = number;
  action.indexGruppeHHHH = group;
  CStringArray groups;
  dest->GetLastGruppen(groups);
  action.indexGruppe = dest->FindLastGruppe(group);
  action.indexKategorie = category;
  action.indexKLED = dest->GetDefaultKLED(group, category);
  action.einwNichtAufteilen = dest->GetDefaultNichtAufteilen(category);
  action.alternativgruppe = altGroup;
  action.maxmin = minFlag;
  action.indexLuda = luNr;
  const INT_PTR namePosition = group == 3 ? 1 : action.indexGruppe;
  if (action.indexGruppe >= 0 && namePosition < groups.GetSize()) {
    CStringArray categories;
    dest->GetLastKategorien(categories, groups[namePosition]);
    if (category >= 0 && category < categories.GetSize()) {
      action.title.Format(Tr("%d: %s%s").GetString(), number, group == 3 ? Tr("außergew. ").GetString() : "",
                          categories[category].GetString());
      action.desc = action.title;
    }
  }
  SetMapping(source, minFlag, number);
  dest->einwirkungen.Add(action);
  if (altGroup > 0) assignedAltGroups.Add(altGroup);
  return number;
}

void LUData::SetMapping(int source, int which, int dest) {
  if (source < 1 || dest < 1) return;
  CArray<int, int>& map = which == 0 ? EinwSrc2DestMax : EinwSrc2DestMin;
  while (map.GetSize() < source + 1) map.Add(0);
  map[source] = dest;
}

int LUData::GetMapping(int source, int which) const {
  const CArray<int, int>& map = which == 0 ? EinwSrc2DestMax : EinwSrc2DestMin;
  if (source < 1 || source >= map.GetSize()) return -1;
  return map[source];
}

void LUData::ResetAltGroups() {
  if (CLKData* dest = DestLK())
    for (int group : assignedAltGroups)
      for (CEinwirkung& action : dest->einwirkungen)
        if (action.alternativgruppe == group) action.alternativgruppe = 0;
  assignedAltGroups.RemoveAll();
}

int LUData::FreeAltGroup() const {
  CLKData* dest = DestLK();
  for (int g = 1; g <= 99; ++g) {
    bool used = false;
    if (dest)
      for (const CEinwirkung& action : dest->einwirkungen) used = used || action.alternativgruppe == g;
    if (!used) return g;
  }
  return 1;
}

void LUData::SetDestAltGroup(int dest, int group) {
  if (group == -1) group = 0;
  assignedAltGroups.Add(group);
  if (CLKData* lk = DestLK()) {
    for (CEinwirkung& action : lk->einwirkungen) {
      if (action.nr == dest) {
        action.alternativgruppe = group;
        break;
      }
    }
  }
}

void LUData::MapActions() {
  EinwSrc2DestMax.RemoveAll();
  EinwSrc2DestMin.RemoveAll();
  ResetAltGroups();
  CLKData* dest = DestLK();
  if (!dest) return;
  // Copies: creating destination actions must not disturb the walk over the source's.
  const CArray<CEinwirkung> sources = sourceLK.einwirkungen;
  for (const CEinwirkung& s : sources) {
    bool hasValues = false;
    for (LUAuflager& r : auflagerListe) hasValues = hasValues || (r.iEinw == s.nr && r.HasValues());
    if (!hasValues) continue;
    const int g = s.indexGruppeHHHH;
    const int c = s.indexKategorie;
    const int alt = s.alternativgruppe == -1 ? 0 : s.alternativgruppe;

    if (g == 0 || einwModus == 0) {
      int first = -1;
      for (const CEinwirkung& d : dest->einwirkungen) {
        if (g == 0 ? d.indexGruppeHHHH == 0 : d.indexGruppeHHHH >= 1) {
          first = d.nr;
          break;
        }
      }
      if (first >= 0)
        SetMapping(s.nr, 0, first);
      else
        CreateDestAction(s.nr, g == 0 ? 0 : 1, 0, 0, 0);
      continue;
    }

    int max = -1, min = -1;
    if (alt == 0) {
      CArray<CEinwirkung> list;
      CollectDestActions(g, c, list);
      for (const CEinwirkung& d : list) {
        if (d.maxmin == 0 && max < 0) max = d.nr;
        if (d.maxmin == 1 && min < 0) min = d.nr;
      }
    }
    bool needMax = false, needMin = false;
    NeedMaxMin(g, c, needMax, needMin);
    const bool combined = alt > 0 && std::size_t(alt) < combine.size() && combine[std::size_t(alt)];
    if (alt > 0 && !combined) {
      max = FindFreeDestAction(g, c, alt);
      min = FindFreeDestAction(g, c, alt);
    }
    switch (einwKatModus) {
      case 0:
        if (max >= 0)
          SetMapping(s.nr, 0, max);
        else
          CreateDestAction(s.nr, g, c, alt, 0);
        break;
      case 1:
        if (needMax) {
          if (max >= 0)
            SetMapping(s.nr, 0, max);
          else
            CreateDestAction(s.nr, g, c, alt, 0);
        }
        if (needMin) {
          if (min >= 0)
            SetMapping(s.nr, 1, min);
          else
            CreateDestAction(s.nr, g, c, alt, 1);
        }
        break;
      default:
        if (max >= 0)
          SetMapping(s.nr, 0, max);
        else
          CreateDestAction(s.nr, g, c, alt, 0);
        if (min >= 0)
          SetMapping(s.nr, 1, min);
        else
          CreateDestAction(s.nr, g, c, alt, 1);
        break;
    }
  }
}
