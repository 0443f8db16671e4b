#include "column/kolumodata.h"

#include <cctype>
#include <cstdlib>
#include <string>

#include "platform/tolkar/tolkar.h"
#include "designcode/designcode.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoData", text)); }

// Accidental actions are those of the groups after the alternative one.
bool IstAussergewoehnlich(const CEinwirkung& einwirkung) { return einwirkung.indexGruppe > 2; }

// The highest action number that the stage's load cases use.
int HoechsteEinwirkung(const CLKData& lk) {
  int highest = 0;
  for (const CLKLastfall& row : lk.lastfaelle)
    if (row.einw > highest) highest = row.einw;
  return highest;
}

bool EinwirkungIstAussergewoehnlich(const CLKData& lk, int nr) {
  for (const CEinwirkung& einwirkung : lk.einwirkungen)
    if (einwirkung.nr == nr) return IstAussergewoehnlich(einwirkung);
  return false;
}

}  // namespace

// --- CKolumoQuer, CKolumoVorver, CKolumoKriechen ---------------------------------------------------------

void CKolumoQuer::SetVariableStore(CVariableStore* store) {
  for (CFormulaNumber* number : {&bx, &dy, &ex, &ey, &bdx, &bdy, &as, &theta}) number->m_pStore = store;
}

void CKolumoVorver::SetVariableStore(CVariableStore* store) {
  for (CFormulaNumber* number : {&ausmitte, &umx, &umy, &invw}) number->m_pStore = store;
}

// --- CKolumoData -------------------------------------------------------------------------------------------

CKolumoData::CKolumoData() {
  stuetzenVariablen.m_pParent = &variables;
  CKolumoData::SetDefaults();
}

CKolumoData::~CKolumoData() = default;

void CKolumoData::Redraw(BOOL flag) {
  // Without a preview the drawing has no reader, and storing the controls would serve nothing.
  if (!pDlg || !pDlg->HasPreview() || m_redrawing) return;
  m_redrawing = true;
  pDlg->StoreInput();
  Draw2D(flag);
  Draw3D(flag);
  m_redrawing = false;
}

void CKolumoData::Draw2D(BOOL) {
  if (pDlg) pDlg->DrawPreview2D();
}

void CKolumoData::Draw3D(BOOL) {
  if (pDlg) pDlg->DrawPreview3D();
}

int CKolumoData::KombiNormFuerNorm(int code) {
  const designcode::DesignCode* c = designcode::ByInput(code);
  return c ? c->startNorm : 1;  // a code the data does not name goes with DIN 1045-1's
}

void CKolumoData::SetPresets(CLKData& lk) const {
  const bool brand = num_Brand != 0;
  lk.spalteLastfaelle = true;
  lk.spalteNichtAufteilen = true;
  lk.mitAlternativLasten = true;
  lk.nachweisMitGammaInf = true;
  lk.nachweisSchalter[0] = true;   // fundamental combinations "Ed"
  lk.nachweisSchalter[5] = true;   // quasi-permanent "Ed,perm" of the Eurocode and DIN 1055-100 rules
  lk.nachweisSchalter[14] = true;  // quasi-permanent "Ed,perm" of the rules of norm 1
  lk.spalteKLED = false;
  lk.mitAlternativGruppen = false;
  lk.mitGruppenTyp5 = false;
  lk.mitGruppenTyp6 = false;
  lk.nachweisSchalter[3] = false;  // characteristic and frequent combinations: the column uses neither
  lk.nachweisSchalter[4] = false;
  // The fire check runs on the accidental combinations, which are then formed without an accidental action;
  // they must stay the generator's.
  lk.nachweisSchalter[2] = brand;
  lk.manuelleKombinationen = !brand;
}

void CKolumoData::InitStages(int norm) {
  for (CLKData& lk : lastUeberlagerungBZ) {
    lk.SetNorm(norm);
    lk.owner = this;
    SetPresets(lk);
    lk.SetModus(3);
  }
}

void CKolumoData::InitLKData(int norm) {
  lastUeberlagerung.SetNorm(norm);
  SetPresets(lastUeberlagerung);
  lastUeberlagerung.SetModus(3);
}

void CKolumoData::SetDefaults() {
  BaseData::SetDefaults();
  // Whatever was read before, the data is the column's again.
  progname = kKolumoProgName;
  modulename = "";
  indexBrandKlasse = 0;
  indexBrandSeiten = 0;
  bPutzBekleidet = 0;
  cx = cy = cz = cmx = cmy = 0.0;
  bx = 3.0;
  by = 3.0;
  Es = 700.0;
  EsID = 0.0;
  nue = 0.2;
  fakt = 1.4;
  hoehe = 0.6;
  FudPos = 0;
  iNorm = 0;
  sBeton = "C25/30";
  sStahl = "BSt 500 SA";
  aktBauZustand = 0;
  pickObjekt = 0;
  dragWert = 0;
  LKManuell = 0;
  Fertigteil = 0;
  bSchreibeErgebnisse = 0;
  bLastfaelleGeaendert = 0;
  ErgStabTeil.RemoveAll();
  ClearResults();

  fieldLengths.RemoveAll();
  querschnitte.RemoveAll();
  kriechen.RemoveAll();
  for (int stage = 0; stage < kStages; ++stage) {
    maxLF[stage] = 0;
    loads[stage].RemoveAll();
    supports[stage].RemoveAll();
    supports[stage].Add(CSupport());
    vorver[stage] = CKolumoVorver();
  }
  InitStages(KombiNormFuerNorm(iNorm));
  anmerkungen.RemoveAll();
  anmerkungen.SetSize(kAnnotations);
}

void CKolumoData::SetFieldCount(int fields) {
  if (fields < 0) fields = 0;
  fieldLengths.SetSize(fields);
  querschnitte.SetSize(fields);
  for (CArray<CSupport>& stage : supports) stage.SetSize(fields + 1);
}

void CKolumoData::ClearResults() {
  ergebnisse.Schnittgroessen.clear();
  ergebnisse.Bruchschnittgroessen.clear();
  ergebnisse.Brandschnittgroessen.clear();
  ergebnisse.Dehnschnittgroessen.clear();
  ergebnisse.Lagerkraefte.clear();
  ergebnisse.Verformung.clear();
  ergebnisse.Schub.clear();
  ergebnisse.Rissnachweis.clear();
  ergebnisse.Fundkraefte.clear();
  ergebnisse.ErfAs.clear();
}

bool CKolumoData::PrepareCalc(CStringArray&, int) { return true; }

void CKolumoData::DefineVariables() {
  BaseData::DefineVariables();
  for (CFormulaNumber& length : fieldLengths) length.m_pStore = &variables;
  stuetzenVariablen.RemoveAll();
  double total = 0.0;
  for (int i = 0; i < nFields(); ++i) {
    CString path, description;
    path.Format(Tr("System\\l%ld").GetString(), long(i));
    description.Format(Tr("Höhe Feld %ld").GetString(), long(i));
    const double length = fieldLengths[i].GetValue();
    stuetzenVariablen.SetVariable(path, description, "m", length);
    total += length;
  }
  stuetzenVariablen.SetVariable(Tr("System\\tl"), Tr("Gesamthöhe"), "m", total);
  stuetzenVariablen.m_pParent = &variables;
  for (CKolumoQuer& quer : querschnitte) quer.SetVariableStore(&variables);
  for (int stage = 0; stage < kStages; ++stage) {
    vorver[stage].SetVariableStore(&variables);
    // a spring given by a name is the position's, as every other value of the column
    for (CSupport& support : supports[stage])
      for (CFormulaNumber* number : {&support.cx, &support.cy, &support.cz, &support.cmx, &support.cmy, &support.cmz,
                                     &support.cwoelb, &support.posX, &support.length, &support.ey, &support.ez})
        number->m_pStore = &variables;
    // The column's own store knows the field heights ("tl", "l0", ...) and asks the position's store for the rest.
    for (Load& load : loads[stage]) load.SetVariableStore(&stuetzenVariablen);
  }
}

bool CKolumoData::HatAussergewEinwirkung(int stage) const {
  if (stage < 0 || stage >= kStages) return false;
  const CLKData& lk = lastUeberlagerungBZ[stage];
  const int highest = HoechsteEinwirkung(lk);
  for (const CEinwirkung& einwirkung : lk.einwirkungen)
    if (einwirkung.nr >= 1 && einwirkung.nr <= highest && IstAussergewoehnlich(einwirkung)) return true;
  return false;
}

void CKolumoData::ParseKombiFormel(const char* formel, KombiFaktoren& faktoren) {
  faktoren.fill(0.0);
  if (!formel) return;
  std::string zahl;
  double faktor = 1.0;
  bool inKlammer = false;
  auto lastfallEnde = [&] {
    const int lastfall = zahl.empty() ? 0 : std::atoi(zahl.c_str());
    if (lastfall >= 1 && lastfall <= kMaxKombiLastfaelle) faktoren[std::size_t(lastfall - 1)] += faktor;
    zahl.clear();
  };
  for (const char* p = formel; *p; ++p) {
    const char c = *p;
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
      zahl += c;
    } else if (c == ',') {
      zahl += '.';
    } else if (c == '*') {
      faktor = zahl.empty() ? 1.0 : std::atof(zahl.c_str());
      zahl.clear();
    } else if (c == '(') {
      inKlammer = true;
      zahl.clear();
    } else if (c == ')') {
      if (inKlammer) lastfallEnde();
      inKlammer = false;
    } else if (c == '+') {
      if (inKlammer) {
        lastfallEnde();
      } else {
        // The next term starts; one without a factor counts once.
        faktor = 1.0;
        zahl.clear();
      }
    }
  }
}

bool CKolumoData::HoleKombiFormel(int stage, int kombination, CString& formel) const {
  formel.Empty();
  if (stage < 0 || stage >= kStages) return false;
  const CLKData& lk = lastUeberlagerungBZ[stage];
  if (kombination < 0 || kombination >= lk.kombinationen.GetSize()) return false;
  KombiFaktoren faktoren;
  ParseKombiFormel(lk.kombinationen[kombination].regelUser, faktoren);
  // Load case n of a formula is row n - 1 of the stage's load cases.
  for (INT_PTR row = 0; row < lk.lastfaelle.GetSize() && row < kMaxKombiLastfaelle; ++row)
    if (EinwirkungIstAussergewoehnlich(lk, lk.lastfaelle[row].einw)) faktoren[std::size_t(row)] = 0.0;
  for (int i = 0; i < kMaxKombiLastfaelle; ++i)
    if (faktoren[std::size_t(i)] != 0.0) formel.AppendFormat("%.2lf*(%d)+", faktoren[std::size_t(i)], i + 1);
  if (!formel.IsEmpty()) formel = formel.Left(formel.GetLength() - 1);
  return true;
}
