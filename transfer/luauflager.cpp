// Support records: their values, the module roles of a source, splitting into force and moment records, the
// orientation of the source's axes on the column, and the load kind.
#include <cmath>

#include "platform/tolkar/tolkar.h"
#include "transfer/ludata.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "LUDlg", text)); }

double Abs(CFormulaNumber& n) { return std::abs(n.GetValue()); }

// Module codes of the suite (program name and module name, lowered and joined) with their roles in a transfer.
struct ModuleEntry {
  const char* code;
  LUModuleRoles roles;
};
constexpr LUModuleRoles Frame(bool roof, bool member, bool column) {
  LUModuleRoles r;
  r.kind = 1;
  r.roof = roof;
  r.member = member;
  r.columnOrWall = column;
  return r;
}
constexpr LUModuleRoles With(LUModuleRoles r, bool exportEinw, bool axisZ, bool ewFolders, bool altAsGroup) {
  r.exportEinw = exportEinw;
  r.axisZ = axisZ;
  r.ewFolders = ewFolders;
  r.altAsGroup = altAsGroup;
  return r;
}
constexpr LUModuleRoles Kind(int kind, bool altAsGroup) {
  LUModuleRoles r;
  r.kind = kind;
  r.altAsGroup = altAsGroup;
  return r;
}
constexpr LUModuleRoles kRoof = With(Frame(true, false, false), true, false, false, false);
constexpr LUModuleRoles kMember = Frame(false, true, false);
constexpr LUModuleRoles kColumn = Frame(false, false, true);

const ModuleEntry kModules[] = {
    {"dach", kRoof},
    {"holzstab1", kMember},
    {"holzstab2", kMember},
    {"holzstab3", kMember},
    {"holzstab4", With(kMember, true, false, false, false)},
    {"holzstab5", With(kMember, true, false, false, false)},
    {"holzstab6", With(kMember, true, false, false, false)},
    {"holzstab7", With(kMember, true, false, false, false)},
    {"holzstab8", With(kMember, true, false, false, false)},
    {"betonstab1", With(kMember, false, true, false, false)},
    {"betonstab2", With(kMember, false, true, false, false)},
    {"betonstab3", With(kMember, false, true, false, false)},
    {"stahlstab1", With(kMember, false, true, false, false)},
    {"stahlstab2", With(kMember, false, false, false, true)},
    {"stahlstab3", With(kMember, false, false, true, true)},
    {"stahlstab4", With(kMember, false, false, true, true)},
    {"kolumo", With(kColumn, false, false, false, true)},
    {"betonstuetze", kColumn},
    {"holzstuetze", kColumn},
    {"stahlstuetze1", kColumn},
    {"stahlstuetze2", With(kColumn, false, false, false, true)},
    {"betonwand", kColumn},
    {"decke", Kind(2, true)},
    {"kranbahn1", Kind(3, true)},
    {"kranbahn2", Kind(3, true)},
};

}  // namespace

LUModuleRoles GetModuleRoles(const CString& code) {
  for (const ModuleEntry& entry : kModules) {
    if (code.Find(entry.code) != 0) continue;
    LUModuleRoles roles = entry.roles;
    // These roles hold for the module itself only, not for a longer code that begins with its code.
    if (code != entry.code) roles.axisZ = roles.ewFolders = false;
    return roles;
  }
  return {};
}

// --- LUAuflager -----------------------------------------------------------------------------------------------

void LUAuflager::Reset() {
  iRichtg = 0;
  iRichtgM = -1;
  iEinw = 0;
  iLastTyp = 0;
  desc.Empty();
  EinwDesc.Empty();
  lastfaelle.text.Empty();
  lastfaelle.numbers.RemoveAll();
  for (CFormulaNumber* n : {&wert, &xa, &xl}) *n = 0.0;
  ClearValues();
}

void LUAuflager::ClearValues() {
  for (CFormulaNumber* n : {&ey, &ez, &wert, &Amax, &Amin, &Ag, &Amax_g, &Amin_g, &Mmax, &Mmin, &Mg, &Mmax_g, &Mmin_g})
    *n = 0.0;
}

bool LUAuflager::HasForces(double limit) {
  for (CFormulaNumber* n : {&Ag, &Amax, &Amax_g, &Amin, &Amin_g})
    if (Abs(*n) > limit) return true;
  return false;
}

bool LUAuflager::HasMoments(double limit) {
  for (CFormulaNumber* n : {&Mg, &Mmax, &Mmax_g, &Mmin, &Mmin_g})
    if (Abs(*n) > limit) return true;
  return false;
}

bool LUAuflager::HasValues() { return HasForces(0.001) || HasMoments(0.001); }

void LUAuflager::ClearForces() {
  for (CFormulaNumber* n : {&Ag, &Amax, &Amax_g, &Amin, &Amin_g}) *n = 0.0;
}

void LUAuflager::ClearMoments() {
  for (CFormulaNumber* n : {&Mg, &Mmax, &Mmax_g, &Mmin, &Mmin_g}) *n = 0.0;
}

// --- Splitting, directions, load kind ----------------------------------------------------------------------

void LUData::SplitAuflager() {
  bool axisZ = false;
  for (const char* code : {"betonstab1", "betonstab2", "betonstab3", "stahlstab1"})
    axisZ = axisZ || progModul.Find(code) == 0;
  CArray<LUAuflager> forceRecords;
  for (LUAuflager& record : auflagerListe) {
    if (!record.HasMoments(0.01)) continue;
    const bool forces = record.HasForces(0.01);
    LUAuflager copy = record;
    copy.ClearMoments();
    record.ClearForces();
    if (axisZ) record.iRichtg = 2;
    if (forces) forceRecords.Add(copy);
  }
  for (LUAuflager& copy : forceRecords)
    if (copy.HasValues()) auflagerListe.Add(copy);
}

void LUData::PrepareAuflager(LUAuflager& record) {
  record.xa = xa;
  record.xl = xl;
  MapDirections(record);
  SetLoadKind(record);
}

namespace {

// Negates the five values of one quantity and keeps maximum above minimum.
void Negate(CFormulaNumber& max, CFormulaNumber& min, CFormulaNumber& g, CFormulaNumber& maxG, CFormulaNumber& minG) {
  for (CFormulaNumber* n : {&max, &min, &g, &maxG, &minG}) *n *= -1.0;
  if (max.GetValue() < min.GetValue()) std::swap(max, min);
  if (maxG.GetValue() < minG.GetValue()) std::swap(maxG, minG);
}

constexpr int kNone = 0;
// Force / moment code by source axis and orientation option.
struct Codes {
  int force, moment;
};
constexpr Codes kRoofCodes[3][4] = {{{10, kNone}, {11, kNone}, {-10, kNone}, {-11, kNone}},
                                    {{kNone, kNone}, {kNone, kNone}, {kNone, kNone}, {kNone, kNone}},
                                    {{12, kNone}, {12, kNone}, {12, kNone}, {12, kNone}}};
constexpr Codes kMemberCodes[3][4] = {{{10, 10}, {11, 11}, {-10, -10}, {-11, -11}},
                                      {{11, 11}, {10, 10}, {-11, -11}, {-10, -10}},
                                      {{12, 12}, {12, 12}, {12, 12}, {12, 12}}};
constexpr Codes kColumnCodes[3][4] = {{{10, 11}, {11, 10}, {-10, -11}, {-11, -10}},
                                      {{11, 10}, {-10, 11}, {-11, -10}, {-10, -11}},
                                      {{12, 12}, {12, 12}, {12, 12}, {12, 12}}};

}  // namespace

bool LUData::MapDirections(LUAuflager& record) {
  const LUModuleRoles roles = GetModuleRoles(progModul);
  richtungTexte.RemoveAll();
  const char* axisName = roles.roof ? "Ah" : "Ax";
  if (roles.roof || roles.member || roles.columnOrWall) {
    for (const char* pattern :
         {"%s wirkt in x-Richtg der Stütze", "%s wirkt in y-Richtg der Stütze",
          "%s wirkt in negativer x-Richtg der Stütze", "%s wirkt in negativer y-Richtg der Stütze"}) {
      CString german;
      german.Format(pattern, axisName);
      richtungTexte.Add(Tr(german));
    }
  }
  const int a = record.iRichtg;
  const int r = richtung;
  if (a < 0 || a > 2 || r < 0 || r > 3) return true;
  Codes codes{kNone, kNone};
  if (roles.roof)
    codes = kRoofCodes[a][r];
  else if (roles.member)
    codes = kMemberCodes[a][r];
  else if (roles.columnOrWall)
    codes = kColumnCodes[a][r];

  if (codes.force != kNone) {
    record.iRichtg = std::abs(codes.force) - 10;
    if (codes.force < 0) Negate(record.Amax, record.Amin, record.Ag, record.Amax_g, record.Amin_g);
  }
  if (codes.moment != kNone) {
    record.iRichtgM = std::abs(codes.moment) - 10;
    if (codes.moment < 0 && record.iRichtg == record.iRichtgM)
      Negate(record.Mmax, record.Mmin, record.Mg, record.Mmax_g, record.Mmin_g);
  }
  return true;
}

bool LUData::SetLoadKind(LUAuflager& record) {
  record.iLastTyp = 10;
  if (GetModuleRoles(progModul).roof && std::abs(e) > 0.001) {
    for (CFormulaNumber* n : {&record.Ag, &record.Amax, &record.Amax_g, &record.Amin, &record.Amin_g}) *n *= e;
  }
  return true;
}
