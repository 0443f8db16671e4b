// The loads a transfer produces from its support records, and their way into the column's calculation.
#include <algorithm>
#include <cmath>
#include <map>

#include "platform/tolkar/tolkar.h"
#include "transfer/ludata.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "LUDlg", text)); }

double Abs(CFormulaNumber& n) { return std::abs(n.GetValue()); }

void SetLoadValues(int /*loadType*/, int forceDir, int momentDir, Load& load, double F, double M) {
  CFormulaNumber* values[6] = {&load.val0, &load.val1, &load.val2, &load.val3, &load.val4, &load.val5};
  for (CFormulaNumber* v : values) *v = 0.0;
  if (forceDir >= 0 && forceDir <= 2) *values[forceDir] = F;
  int m = momentDir;
  if (momentDir == -1) m = forceDir == 0 ? 1 : forceDir == 1 ? 0 : 2;
  if (m >= 0 && m <= 2) *values[3 + m] = M;
}

bool IsValidLoad(Load& load) {
  if (load.direction < 0 || load.direction > 2 || load.ltype < 0 || load.ltype > 13 || load.lc < 1) return false;
  for (CFormulaNumber* v : {&load.val0, &load.val1, &load.val2, &load.val3, &load.val4, &load.val5})
    if (Abs(*v) > 0.001) return true;
  return false;
}

int CompareLoadsByAction(const Load& a, const Load& b) { return a.lc < b.lc ? -1 : a.lc > b.lc ? 1 : 0; }

}  // namespace

CString LUData::GetLoadDescription(int source) const {
  if (source < 1) return "extremal";
  const CEinwirkung* s = FindSourceAction(source);
  return CString("infolge Einw. ") + (s ? s->desc : CString());
}

bool LUData::BuildLoads(LUAuflager& r) {
  Load load;
  load.lc = r.iEinw;
  load.ltype = r.iLastTyp;
  load.node = 1;
  load.direction = r.iRichtg;
  load.bHasDirection = 0;
  load.offset = r.xa;
  load.length = r.xl;
  load.ey = r.ey;
  load.ez = r.ez;
  load.LCGen = r.lastfaelle;

  const CEinwirkung* found = FindSourceAction(r.iEinw);
  if (found && found->alternativgruppe > 0 && std::size_t(found->alternativgruppe) < combine.size() &&
      combine[std::size_t(found->alternativgruppe)])
    return false;
  if (!found && r.iEinw >= 1) return false;
  // The source's record may go when destination actions are created: keep what is needed.
  const CEinwirkung s = found ? *found : CEinwirkung();

  double Fmax = r.Amax.GetValue(), Fmin = r.Amin.GetValue();
  double Mmax = r.Mmax.GetValue(), Mmin = r.Mmin.GetValue();
  const double Mbig = std::abs(Mmin) > std::abs(Mmax) ? Mmin : Mmax;
  if (std::abs(Fmax - Fmin) < 0.001) Fmin = 0.0;
  if (std::abs(Mmax - Mmin) < 0.001) Mmin = 0.0;
  int dMax = GetMapping(r.iEinw, 0);
  int dMin = GetMapping(r.iEinw, 1);

  auto append = [&](int lc, double F, double M, const CString& desc) {
    load.lc = lc;
    load.desc = desc;
    SetLoadValues(r.iLastTyp, r.iRichtg, r.iRichtgM, load, F, M);
    if (IsValidLoad(load)) m_load.Add(load);
  };

  if (einwModus == 0) {
    if (r.iEinw >= 1) return false;
    for (int k = 1; k <= 2; ++k) {
      double F = k == 1 ? r.Ag.GetValue() : r.Amax_g.GetValue();
      double M = k == 1 ? r.Mg.GetValue() : r.Mmax_g.GetValue();
      if (k == 2) {
        if (Abs(r.Amax_g) < 0.001 && Abs(r.Ag) < 0.001) F = r.Amax.GetValue();
        if (Abs(r.Mmax_g) < 0.001 && Abs(r.Mg) < 0.001) M = Mbig;
      }
      if (std::abs(F) < 0.001 && std::abs(M) < 0.001) continue;
      CLKData* dest = DestLK();
      if (dest && dest->einwirkungen.GetSize() < k) CreateDestAction(r.iEinw, k == 1 ? 0 : 1, 0, 0, 0);
      append(k, F, M, "extremal");
    }
    return true;
  }

  if ((std::abs(Fmax) < 0.001 && std::abs(Fmin) < 0.001 && std::abs(Mmax) < 0.001 && std::abs(Mmin) < 0.001) ||
      r.iEinw < 1)
    return false;
  const CString desc = GetLoadDescription(r.iEinw);
  if (einwModus == 1) {
    if (dMax == -1) dMax = CreateDestAction(r.iEinw, s.indexGruppeHHHH, s.indexKategorie, s.alternativgruppe, 0);
    append(dMax, Fmax, Mbig, desc);
    return true;
  }
  const int gAlt = s.alternativgruppe >= 1 ? s.alternativgruppe : FreeAltGroup();
  if (dMax == -1) dMax = CreateDestAction(r.iEinw, s.indexGruppeHHHH, s.indexKategorie, s.alternativgruppe, 0);
  append(dMax, Fmax, Mmax, desc);
  if (einwModus == 3 || Fmin < -0.001 || Mmin < -0.001) {
    if (dMin == -1) dMin = CreateDestAction(r.iEinw, s.indexGruppeHHHH, s.indexKategorie, s.alternativgruppe, 1);
    append(dMin, Fmin, Mmin, desc);
    SetDestAltGroup(dMax, gAlt);
    SetDestAltGroup(dMin, gAlt);
  }
  return true;
}

void LUData::BuildGroupLoads() {
  if (einwModus == 0) return;
  const int gMax = int(combine.size()) - 1;
  for (int g = 1; g <= gMax; ++g) {
    if (!combine[std::size_t(g)]) continue;
    int rep = 0, dMax = -1;
    CEinwirkung repAction, last;
    bool haveRep = false, haveLast = false;
    for (const CEinwirkung& s : sourceLK.einwirkungen) {
      if (s.alternativgruppe != g) continue;
      last = s;
      haveLast = true;
      dMax = GetMapping(s.nr, 0);
      if (dMax > 0) {
        rep = s.nr;
        repAction = s;
        haveRep = true;
        break;
      }
    }
    // A group number that no source action uses carries nothing: no action is made for it.
    if (!haveLast) continue;
    int dMin = GetMapping(rep, 1);
    const CEinwirkung& basis = haveRep ? repAction : last;
    if (dMax == -1)
      dMax = CreateDestAction(rep, basis.indexGruppeHHHH, basis.indexKategorie, basis.alternativgruppe, 0);

    LUAuflager record;
    PrepareAuflager(record);
    Load load;
    load.lc = 0;
    load.node = 1;
    load.ltype = record.iLastTyp;
    load.offset = record.xa;
    load.length = record.xl;
    const CString desc = GetLoadDescription(rep);
    for (int a = 0; a < 3; ++a) {
      auto& env = envelopes[std::size_t(a)];
      const double Fmax = env[0][g].GetValue(), Fmin = env[1][g].GetValue();
      const double Mmax = env[2][g].GetValue(), Mmin = env[3][g].GetValue();
      const double Mbig = std::abs(Mmin) > std::abs(Mmax) ? Mmin : Mmax;
      load.direction = a;
      load.desc = desc;
      auto append = [&](int lc, double F, double M) {
        load.lc = lc;
        SetLoadValues(record.iLastTyp, a, record.iRichtgM, load, F, M);
        if (IsValidLoad(load)) m_load.Add(load);
      };
      if (einwModus == 1) {
        append(dMax, Fmax, Mbig);
        continue;
      }
      append(dMax, Fmax, Mmax);
      if (einwModus == 3 || Fmin < -0.001 || Mmin < -0.001) {
        if (dMin == -1)
          dMin = CreateDestAction(rep, basis.indexGruppeHHHH, basis.indexKategorie, basis.alternativgruppe, 1);
        append(dMin, Fmin, Mmin);
        SetDestAltGroup(dMax, g);
        SetDestAltGroup(dMin, g);
      }
    }
  }
}

void LUData::SortLoads() {
  if (m_load.IsEmpty()) return;
  std::vector<Load> sorted(m_load.GetData(), m_load.GetData() + m_load.GetSize());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Load& a, const Load& b) { return CompareLoadsByAction(a, b) < 0; });
  m_load.RemoveAll();
  for (const Load& load : sorted) m_load.Add(load);
}

// --- Into the column's calculation ------------------------------------------------------------------------

int TransferLoadsToStage(BaseData& position, CLKData& lk, CArray<Load>& loads, int& maxLF,
                         CArray<CFormulaNumber>& fieldLengths, bool formCombinations) {
  auto* list = dynamic_cast<LUDataList*>(&position.GetLUDataList());
  if (!list || list->list.empty()) return 0;

  // The transfers are run again against the stage's own actions, so that the actions they create are numbered
  // after the stage's and the stage's combinations can take them up.
  CLKData saved = position.lastUeberlagerung;
  BaseData* const stageOwner = lk.owner;
  position.lastUeberlagerung = lk;
  position.lastUeberlagerung.owner = &position;
  list->SetOwner(&position);
  // What a source lacks was reported when the position was read.
  for (LUData& data : list->list) data.quiet = true;
  list->Recalc();
  for (LUData& data : list->list) data.quiet = false;
  // A source that cannot be read leaves the transfer's last loads standing: the engineer must know that the
  // calculation does not follow the source.
  for (LUData& data : list->list) {
    if (!data.aktiv || data.unreadSource.IsEmpty()) continue;
    CString text;
    text.Format(Tr("Lastübernahme von Pos. %s: %s; die zuletzt übernommenen Lasten bleiben stehen.").GetString(),
                data.position.GetString(), data.unreadSource.GetString());
    AfxMessageBox(text, MB_ICONWARNING);
  }
  CLKData& withTransfers = position.lastUeberlagerung;

  // Node depths below the head of the column: node k at the sum of the lengths of fields 0..k-1.
  std::vector<double> depths{0.0};
  for (CFormulaNumber& length : fieldLengths) depths.push_back(depths.back() + length.GetValue());

  std::map<int, int> caseOfAction;  // destination action -> new load case
  int added = 0;
  for (LUData& data : list->list) {
    if (!data.aktiv) continue;
    for (Load& transferred : data.m_load) {
      const double depth = transferred.offset.GetValue();
      int node = -1;
      for (std::size_t k = 0; k < depths.size(); ++k)
        if (std::abs(depths[k] - depth) < 0.001) node = int(k);
      if (node < 0) {
        CString text;
        text.Format(Tr("Lastübernahme von Pos. %s: Last bei x = %.3lf m liegt an keinem Knoten der Stütze und "
                       "wird nicht berechnet.")
                        .GetString(),
                    data.position.GetString(), depth);
        AfxMessageBox(text, MB_OK);
        continue;
      }
      auto found = caseOfAction.find(transferred.lc);
      if (found == caseOfAction.end()) {
        CLKLastfall row;
        row.lf = maxLF + 1;
        row.einw = transferred.lc;
        withTransfers.lastfaelle.Add(row);
        maxLF = row.lf;
        found = caseOfAction.emplace(transferred.lc, row.lf).first;
        ++added;
      }
      // The column's point load: force and moment of one direction (x with My, y with Mx, z with Mz).
      CFormulaNumber* forces[3] = {&transferred.val0, &transferred.val1, &transferred.val2};
      CFormulaNumber* moments[3] = {&transferred.val4, &transferred.val3, &transferred.val5};
      for (int dir = 0; dir < 3; ++dir) {
        const double F = forces[dir]->GetValue(), M = moments[dir]->GetValue();
        if (std::abs(F) <= 0.001 && std::abs(M) <= 0.001) continue;
        Load load;
        load.lc = found->second;
        load.ltype = 10;
        load.node = node;
        load.direction = dir;
        load.bHasDirection = 1;
        load.desc = transferred.desc;
        load.val0 = F;
        load.val1 = M;
        loads.Add(load);
      }
    }
  }
  if (added > 0 && formCombinations) withTransfers.Calc();
  lk = withTransfers;
  lk.owner = stageOwner;
  position.lastUeberlagerung = saved;
  return added;
}

int CTransferredStageLoads::Apply(CArray<CFormulaNumber>& fieldLengths, bool formCombinations) {
  if (!applied_) {
    ownLoads_ = loads_;
    ownCases_ = lk_.lastfaelle;
    ownActions_ = lk_.einwirkungen;
    ownMaxLF_ = maxLF_;
    applied_ = true;
  }
  return TransferLoadsToStage(position_, lk_, loads_, maxLF_, fieldLengths, formCombinations);
}

void CTransferredStageLoads::Restore() {
  if (!applied_) return;
  loads_ = ownLoads_;
  lk_.lastfaelle = ownCases_;
  lk_.einwirkungen = ownActions_;
  maxLF_ = ownMaxLF_;
  applied_ = false;
}
