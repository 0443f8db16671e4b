// The transfer record, its "lu" element, the list of a position, and the recomputation from the source position.
#include "transfer/ludata.h"

#include <cstdlib>
#include <cstring>
#include <map>

#include "framework/fieldlist.h"
#include "platform/viduv/viduv.h"
#include "transfer/sourcefile.h"

namespace {

constexpr const char* kColumnCode = "kolumo";

void WriteIntArray(int parent, const char* name, const CArray<int, int>& values) {
  if (values.IsEmpty()) return;
  while (int old = VIDUV_FindFirstChild(parent, name)) {
    if (!VIDUV_DeleteElement(old)) break;
  }
  int child = VIDUV_AddChildElement(parent, name);
  VIDUV_SetInt(child, "dataLength", int(values.GetSize()));
  VIDUV_SetBinData(child, "data", int(values.GetSize() * 4), values.GetData(), 0);
}

void ReadIntArray(int parent, const char* name, CArray<int, int>& values) {
  int child = VIDUV_FindFirstChild(parent, name);
  if (!child) return;
  int count = -1;
  for (int attr = VIDUV_GetFirstAttrHandle(child); attr; attr = VIDUV_GetNextAttrHandle(attr)) {
    const CString attrName = VIDUV_GetAttrNameByHandle(attr);
    if (attrName == "dataLength") {
      count = VIDUV_GetIntByHandle(attr);
    } else if (attrName == "data" && count >= 0 && count <= CLKData::kMaxEinwirkungNr + 1) {
      // Indexed by action number: a length beyond the highest possible number is a damaged file, not read.
      values.RemoveAll();
      values.SetSize(count);
      for (int i = 0; i < count; ++i) values[i] = 0;
      if (count > 0) {
        std::vector<char> bytes(std::size_t(count) * 4, 0);
        VIDUV_GetBinDataByHandle(attr, bytes.data(), int(bytes.size()));
        std::memcpy(values.GetData(), bytes.data(), bytes.size());
      }
    }
  }
}

void IntArray(const FieldWriter& v, const char* name, CArray<int, int>& values) {
  WriteIntArray(v.Element(), name, values);
}
void IntArray(const FieldReader& v, const char* name, CArray<int, int>& values) {
  ReadIntArray(v.Element(), name, values);
}

}  // namespace

// --- Record -----------------------------------------------------------------------------------------------

void LUData::Reset() {
  version = 1;
  position.Empty();
  auflager.Empty();
  progModul.Empty();
  einwModus = 0;
  einwKatModus = 1;
  richtung = 0;
  xa = 0.0;
  xl = 0.0;
  e = 1.0;
  Faktor = 1.0;
  eModByUser = false;
  einzelLast = 0;
  streckenLast = 0;
  aktiv = true;
  einwMod = 0;
  EinwSrc2DestMax.RemoveAll();
  EinwSrc2DestMin.RemoveAll();
  m_load.RemoveAll();
  auflagerListe.RemoveAll();
  current.Reset();
  for (auto& axis : envelopes)
    for (auto& quantity : axis) quantity.RemoveAll();
  combine.clear();
  assignedAltGroups.RemoveAll();
  cacheKey.Empty();
  unreadSource.Empty();
  owner = nullptr;
  readCursor = 0;
}

template <class V>
void LUData::Fields(const V& v) {
  v.Int("version", version);
  v.String("position", position);
  v.String("auflager", auflager);
  v.String("progModul", progModul);
  v.Int("einwModus", einwModus);
  v.Int("einwKatModus", einwKatModus);
  v.Int("richtung", richtung);
  v.Number("xa", xa);
  v.Number("xl", xl);
  v.Double("e", e);
  v.Double("Faktor", Faktor);
  v.NumberFlag("eModByUser", eModByUser);
  v.Int("einzelLast", einzelLast);
  v.Int("streckenLast", streckenLast);
  v.Flag("aktiv", aktiv);
  v.Int("einwMod", einwMod);
  IntArray(v, "EinwSrc2DestMax", EinwSrc2DestMax);
  IntArray(v, "EinwSrc2DestMin", EinwSrc2DestMin);
}

bool LUData::ReadData(int parent, bool bFirst) {
  const int element = bFirst ? VIDUV_FindFirstChild(parent, "lu") : VIDUV_FindNextChild(readCursor, "lu");
  if (!element) return false;
  readCursor = element;
  Fields(FieldReader(element));
  if (e < 0.001) e = 1.0;
  if (std::abs(Faktor) < 0.001) Faktor = 1.0;
  ReadLoads(element);
  return true;
}

void LUData::ReadLoads(int element) {
  m_load.RemoveAll();
  for (int child = VIDUV_FindFirstChild(element, "load"); child; child = VIDUV_FindNextChild(child, "load")) {
    Load load;
    load.ReadData(child);
    m_load.Add(load);
  }
}

void LUData::WriteData(int parent) {
  int element = VIDUV_AddChildElement(parent, "lu");
  Fields(FieldWriter(element));
  if (aktiv) {
    for (Load& load : m_load) {
      load.ltype = 10;
      load.length = 0.0;
      load.WriteData(VIDUV_AddChildElement(element, "load"));
    }
  }
}

// --- Source position -------------------------------------------------------------------------------------

CLKData* LUData::DestLK() const { return owner ? &owner->lastUeberlagerung : nullptr; }

CString LUData::SourcePath(int destDoc) const {
  return SourcePositionFile(VIDUV_GetCompleteFileName(destDoc), (position + ".tqx").str()).c_str();
}

CString LUData::GetModuleCode(int root) {
  CString prog = VIDUV_GetString(root, "progname");
  CString modul = VIDUV_GetString(root, "modulename");
  prog.TrimRight();
  modul.TrimRight();
  prog.MakeLower();
  modul.MakeLower();
  return prog + modul;
}

void LUData::ReadSource(int destDoc, int sourceDoc) {
  if (position == cacheKey) return;
  if (!destDoc || !sourceDoc) return;
  cacheKey = position;
  const int sourceRoot = VIDUV_GetRootElement(sourceDoc);
  const int destRoot = VIDUV_GetRootElement(destDoc);
  progModul = GetModuleCode(sourceRoot);
  progModulDest = GetModuleCode(destRoot);
  const LUModuleRoles roles = GetModuleRoles(progModul);
  sourceKind = roles.kind;
  sourceAltAsGroup = roles.altAsGroup;

  int actions = VIDUV_FindFirstChild(sourceRoot, "input");
  if (roles.exportEinw) {
    actions = VIDUV_FindFirstChild(sourceRoot, "export_einw");
  } else if (progModul.Find(kColumnCode) == 0) {
    actions = VIDUV_FindFirstChild(VIDUV_FindFirstChild(actions, "Einwirkungen"), "BauZustand");
  }
  sourceLK.ReadData(actions);
  const int destLK = VIDUV_FindFirstChild(VIDUV_FindFirstChild(destRoot, "input"), "lastUeberlagerung");
  sourceLK.SetNorm(VIDUV_GetInt(destLK, "lknorm"));
}

double LUData::GetSpacing(int sourceDoc) {
  if (eModByUser) return e;
  if (!GetModuleRoles(progModul).exportEinw) return 1.0;
  return VIDUV_GetDoubleByPath(VIDUV_GetRootElement(sourceDoc), "input\\quer", "e", 0.0);
}

void LUData::Calc() {
  destDocument = owner ? owner->doc : 0;
  unreadSource.Empty();
  if (!destDocument || position.IsEmpty()) return;
  const CString path = SourcePath(destDocument);
  const SourceDocument source(path.str(), (position + ".tqx").str());
  if (!source.Get()) unreadSource = source.Failure().c_str();
  if (!source.Get() || !VIDUV_GetRootElement(destDocument)) return;
  sourceDocument = source.Get();

  ReadSource(destDocument, sourceDocument);
  e = GetSpacing(sourceDocument);
  xl = 0.0;
  if (sourceLK.einwirkungen.IsEmpty()) {
    CString text;
    text.Format(
        "LUData: Lasten von Pos. %s können nicht übernommen werden, da in Pos. %s keine Einwirkungen "
        "definiert sind",
        position.GetString(), position.GetString());
    if (!quiet) AfxMessageBox(text, MB_OK);
    return;
  }
  einwKatModus = einwModus == 2 ? 1 : einwModus == 3 ? 2 : 0;

  const int exports = VIDUV_FindFirstChild(VIDUV_GetRootElement(sourceDocument), "exports");
  bool found = false;
  for (int f = VIDUV_FindFirstChild(exports, "folder"); f && !found; f = VIDUV_FindNextChild(f, "folder"))
    found = IsSupportFolder(f);
  if (!found) return;

  auflagerListe.RemoveAll();
  m_load.RemoveAll();
  // Every walk starts from a fresh record: nothing of an earlier calculation may carry over.
  current.Reset();
  for (int f = VIDUV_FindFirstChild(exports, "folder"); f; f = VIDUV_FindNextChild(f, "folder"))
    if (IsSupportFolder(f)) ReadExportFolder(f);
  SplitAuflager();
  for (LUAuflager& record : auflagerListe) PrepareAuflager(record);

  for (CEinwirkung& action : sourceLK.einwirkungen) {
    if (sourceAltAsGroup && action.indexGruppeHHHH == 2) {
      action.indexGruppeHHHH = 1;
      if (progModul == kColumnCode) action.alternativgruppe = -1;
    }
  }
  sourceAltAsGroup = false;

  CollectGroupEnvelopes();
  MapActions();
  for (LUAuflager& record : auflagerListe) BuildLoads(record);
  BuildGroupLoads();
  SortLoads();

  for (Load& load : m_load)
    for (CFormulaNumber* v : {&load.val0, &load.val1, &load.val2, &load.val3, &load.val4, &load.val5}) *v *= Faktor;

  if (CLKData* dest = DestLK()) {
    for (int group : assignedAltGroups) {
      int users = 0;
      for (const CEinwirkung& action : dest->einwirkungen) users += action.alternativgruppe == group ? 1 : 0;
      if (users < 2)
        for (CEinwirkung& action : dest->einwirkungen)
          if (action.alternativgruppe == group) action.alternativgruppe = 0;
    }
  }
}

// --- The source's exports --------------------------------------------------------------------------------

bool LUData::IsSupportFolder(int element) const {
  if (CString(VIDUV_GetElementName(element)) != "folder") return false;
  const CString desc = VIDUV_GetString(element, "desc");
  return !desc.IsEmpty() && desc.CompareNoCase(auflager) == 0;
}

void LUData::ReadExportFolder(int folder) {
  for (int v = VIDUV_FindFirstChild(folder, "value"); v; v = VIDUV_FindNextChild(v, "value")) ReadValue(v);
  if (current.HasValues() && current.iEinw >= 0) {
    auflagerListe.Add(current);
    current.ClearValues();
  }
  for (int f = VIDUV_FindFirstChild(folder, "folder"); f; f = VIDUV_FindNextChild(f, "folder")) {
    ReadAxisFolder(f);
    ReadActionFolder(f);
    ReadExportFolder(f);
  }
}

void LUData::ReadAxisFolder(int element) {
  if (GetModuleRoles(progModul).axisZ) current.iRichtg = 2;
  if (CString(VIDUV_GetElementName(element)) != "folder" || sourceKind != 1) return;
  const CString desc = VIDUV_GetString(element, "desc");
  if (desc == "x-x") current.iRichtg = 0;
  if (desc == "y-y") current.iRichtg = 1;
  if (desc == "z-z") current.iRichtg = 2;
}

void LUData::ReadActionFolder(int element) {
  if (CString(VIDUV_GetElementName(element)) != "folder" || sourceKind != 1) return;
  const CString stored = VIDUV_GetString(element, "desc");
  if (stored.IsEmpty()) return;
  CString d = stored;
  d.MakeLower();
  if (d.Find("extremal") >= 0) {
    current.iEinw = 0;
    current.EinwDesc = d;
    return;
  }
  CString number;
  if (GetModuleRoles(progModul).ewFolders) {
    current.iEinw = -1;
    current.EinwDesc = d;
    const int ew = d.Find("ew");
    if (ew >= 0) number = d.Mid(ew + 2);
  } else {
    const int colon = d.Find(':');
    if (colon >= 0) number = d.Left(colon);
  }
  int n = std::atoi(number.GetString());
  if (n > 0) {
    if (progModul == kColumnCode) n = MapColumnGroupNumber(n);
    current.iEinw = n;
    current.EinwDesc = stored;
  }
}

int LUData::MapColumnGroupNumber(int n) const {
  if (n == 1) return 1;
  int group = -1, wanted = 0;
  if (n >= 2 && n <= 6) {
    group = 1;
    wanted = n - 1;
  } else if (n >= 7 && n <= 13) {
    group = 2;
    wanted = n - 6;
  } else if (n == 14) {
    group = 3;
    wanted = 1;
  }
  if (group < 0) return -1;
  int seen = 0;
  for (const CEinwirkung& action : sourceLK.einwirkungen)
    if (action.indexGruppeHHHH == group && ++seen == wanted) return action.nr;
  return -1;
}

void LUData::ReadValue(int element) {
  const CString desc = VIDUV_GetString(element, "desc");
  if (desc.IsEmpty() || sourceKind != 1) return;
  const CString unit = VIDUV_GetString(element, "unit");
  const bool moment = unit == "kNm" || unit == "kNm/m";
  const double v = VIDUV_GetDouble(element, "val");
  LUAuflager& r = current;
  CFormulaNumber& max = moment ? r.Mmax : r.Amax;
  CFormulaNumber& min = moment ? r.Mmin : r.Amin;
  if (GetModuleRoles(progModul).ewFolders) max = v;
  const CString head = desc.Left(3);
  if (head.CompareNoCase("max") == 0) max = v;
  if (head.CompareNoCase("min") == 0) min = v;
  if (desc.Find("(g)") >= 0) (moment ? r.Mg : r.Ag) = v;
  if (desc.Find("(max-g)") >= 0) (moment ? r.Mmax_g : r.Amax_g) = v;
  if (desc.Find("(min-g)") >= 0) (moment ? r.Mmin_g : r.Amin_g) = v;
}

// --- The list ----------------------------------------------------------------------------------------------

void LUDataList::RemoveAll() {
  list.clear();
  version = 1;
  owner = nullptr;
}

void LUDataList::ReadData(int input) {
  list.clear();
  const int parent = VIDUV_FindFirstChild(input, "lastUebernahme");
  if (!parent) return;
  LUData data;
  bool first = true;
  for (;;) {
    const int cursor = data.readCursor;
    data.Reset();
    data.readCursor = cursor;
    if (!data.ReadData(parent, first)) break;
    first = false;
    list.push_back(data);
  }
}

void LUDataList::WriteData(int input) {
  if (!input) return;
  // Deleting the last transfer must reach the file: an empty list removes the element too.
  while (int old = VIDUV_FindFirstChild(input, "lastUebernahme")) {
    if (!VIDUV_DeleteElement(old)) break;
  }
  if (list.empty()) return;
  const int parent = VIDUV_AddChildElement(input, "lastUebernahme");
  for (LUData& data : list) data.WriteData(parent);
  if (owner) owner->lastUeberlagerung.WriteData(input);
}

void LUDataList::Recalc() {
  if (!owner) return;
  CArray<CEinwirkung>& actions = owner->lastUeberlagerung.einwirkungen;
  for (INT_PTR i = actions.GetSize() - 1; i >= 0; --i)
    if (actions[i].indexLuda > 0) actions.RemoveAt(i);
  std::map<int, int> users;
  for (const CEinwirkung& action : actions)
    if (action.alternativgruppe > 0) ++users[action.alternativgruppe];
  for (CEinwirkung& action : actions)
    if (action.alternativgruppe > 0 && users[action.alternativgruppe] < 2) action.alternativgruppe = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    LUData& data = list[i];
    if (!data.aktiv) continue;
    data.owner = owner;
    data.luNr = int(i) + 1;
    if (!data.position.IsEmpty() && !data.auflager.IsEmpty()) data.Calc();
  }
}

void LUDataList::RemoveAt(INT_PTR i) {
  if (i < 0 || std::size_t(i) >= list.size()) return;
  list.erase(list.begin() + i);
  if (!owner) return;
  const int number = int(i) + 1;
  CArray<CEinwirkung>& actions = owner->lastUeberlagerung.einwirkungen;
  for (INT_PTR k = actions.GetSize() - 1; k >= 0; --k) {
    if (actions[k].indexLuda == number) {
      actions.RemoveAt(k);
    } else if (actions[k].indexLuda > number) {
      --actions[k].indexLuda;
    }
  }
}

void RegisterLoadTransfer() {
  SetLoadTransferListFactory([] { return std::make_unique<LUDataList>(); });
}
