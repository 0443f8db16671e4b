#include "column/fundexport.h"

#include <algorithm>

#include "column/kolumodata.h"
#include "formula/formulanumber.h"
#include "framework/utilities.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "platform/win/base/paths.h"
#include "platform/win/dialogs/msgbox.h"

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoData", text)); }

using viduv::ScopedDoc;

// Removes every copy of the element and adds a fresh one.
int Rewrite(int parent, const char* name) {
  while (int old = VIDUV_FindFirstChild(parent, name)) {
    if (!VIDUV_DeleteElement(old)) break;
  }
  return VIDUV_AddChildElement(parent, name);
}

void RemoveChildren(int parent, const char* name) {
  while (int old = VIDUV_FindFirstChild(parent, name)) {
    if (!VIDUV_DeleteElement(old)) break;
  }
}

// A load value of the foundation: the characteristic value (design value / Faktor) with its formula.
void WriteLoadValue(int element, const char* name, double designValue, double faktor) {
  CFormulaNumber number;
  number.m_pStore = nullptr;  // the formula is the foundation position's, not evaluated here
  number.m_bNumber = FALSE;
  number.m_strText.Format("%.2lf/Faktor", designValue);
  number.m_dValue = designValue / faktor;
  number.WriteXML(element, name);
}

void WriteZeroes(int element, std::initializer_list<const char*> names) {
  for (const char* name : names) VIDUV_SetDouble(element, name, 0.0);
}

void WriteVardef(int input, double faktor) {
  const int vardef = Rewrite(input, "vardef");
  VIDUV_SetDouble(vardef, "version", 1.1);
  VIDUV_SetInt(vardef, "numOfEntries", 1);
  VIDUV_SetInt(vardef, "bPageBreak", 0);
  const int entry = VIDUV_AddChildElement(vardef, "entry");
  for (const char* name : {"idx", "typ", "format", "textHeight"}) VIDUV_SetInt(entry, name, 0);
  VIDUV_SetInt(entry, "digits", 2);
  VIDUV_SetString(entry, "desc", "Umrechnungsfaktor Designwerte zu charakteristische Werte");
  VIDUV_SetString(entry, "varName", "Faktor");
  VIDUV_SetDouble(entry, "val", faktor);
  VIDUV_SetString(entry, "unit", " ");
  VIDUV_SetInt(entry, "bExported", 0);
}

void WriteGeometry(int geom, CKolumoData& data) {
  VIDUV_SetDouble(geom, "afu", data.bx);
  VIDUV_SetDouble(geom, "bfu", data.by);
  VIDUV_SetDouble(geom, "hfu", data.hoehe);
  if (data.querschnitte.IsEmpty()) return;
  CKolumoQuer& fuss = data.querschnitte[data.querschnitte.GetSize() - 1];
  if (fuss.type == 0) {
    VIDUV_SetInt(geom, "querschnitt", 0);
    VIDUV_SetDouble(geom, "astue", fuss.bx.GetValue() / 100.0);
    VIDUV_SetDouble(geom, "bstue", fuss.dy.GetValue() / 100.0);
  } else {
    VIDUV_SetInt(geom, "querschnitt", 1);
    VIDUV_SetDouble(geom, "astue", fuss.bx.GetValue() / 100.0);
  }
}

constexpr const char* kLineAndArea[6] = {"linie_links", "linie_oben",    "linie_rechts",
                                         "linie_unten", "flaeche_links", "flaeche_rechts"};

// Writes the load groups and returns the numbers of the design groups.
std::vector<int> WriteLoadGroups(int last, const CKolumoData& data) {
  static constexpr const char* kStageNames[CKolumoData::kStages] = {
      "Endsystem_LK%d(design)", "Transport_LK%d(design)", "Bauzustand1_LK%d(design)", "Bauzustand2_LK%d(design)"};
  RemoveChildren(last, "lastgruppe");
  int group = VIDUV_AddChildElement(last, "lastgruppe");
  VIDUV_SetInt(group, "nr", 1);
  VIDUV_SetInt(group, "lf", 1);
  VIDUV_SetString(group, "bezeichnung", "Reserviert für Eigengewicht");
  VIDUV_SetDouble(group, "p", 0.01);
  WriteZeroes(group, {"hx", "hy", "mx", "mx2", "my", "my2"});
  for (const char* name : kLineAndArea) VIDUV_SetDouble(group, name, 0.0);

  std::vector<int> numbers;
  int n = 2;
  for (const auto& record : data.ergebnisse.Fundkraefte) {
    if (record->LK < 0) continue;
    const int rows = FundkraefteZeilen(*record);
    // A record without a row or of an unknown stage carries no load.
    if (rows == 0 || record->System < 0 || record->System >= CKolumoData::kStages) continue;
    const int m = rows - 1;
    group = VIDUV_AddChildElement(last, "lastgruppe");
    VIDUV_SetInt(group, "nr", n);
    VIDUV_SetInt(group, "lf", n);
    CString name;
    name.Format(Tr(kStageNames[record->System]).GetString(), record->LK);
    VIDUV_SetString(group, "bezeichnung", name);
    const double faktor = data.fakt;
    WriteLoadValue(group, "p", -record->Apz[m], faktor);
    WriteLoadValue(group, "hx", record->Apx[m], faktor);
    WriteLoadValue(group, "hy", record->Apy[m], faktor);
    WriteLoadValue(group, "mx", record->Amx[m], faktor);
    WriteLoadValue(group, "mx2", record->dAmx[m], faktor);
    WriteLoadValue(group, "my", record->Amy[m], faktor);
    WriteLoadValue(group, "my2", record->dAmy[m], faktor);
    for (const char* zero : kLineAndArea) VIDUV_SetDouble(group, zero, 0.0);
    numbers.push_back(n++);
  }
  return numbers;
}

void WriteLoadCasesAndActions(int input, const std::vector<int>& designGroups) {
  const int lastUeberlagerung = VIDUV_FindOrAddChild(input, "lastUeberlagerung");
  const int lastfaelle = Rewrite(lastUeberlagerung, "lastfaelle");
  int lastfall = VIDUV_AddChildElement(lastfaelle, "lastfall");
  VIDUV_SetInt(lastfall, "lf", 1);
  VIDUV_SetInt(lastfall, "einw", 1);
  CString liste;
  for (int n : designGroups) {
    lastfall = VIDUV_AddChildElement(lastfaelle, "lastfall");
    VIDUV_SetInt(lastfall, "lf", n);
    VIDUV_SetInt(lastfall, "einw", 2);
    liste.AppendFormat(" %d ,", n);
  }
  if (!liste.IsEmpty()) liste = liste.Left(liste.GetLength() - 1);

  const int einwirkungen = VIDUV_FindOrAddChild(lastUeberlagerung, "einwirkungen");
  RemoveChildren(einwirkungen, "einwirkung");
  struct Action {
    int nr;
    const char* title;
    int gruppe;
    int kled;
    const char* desc;
  };
  for (const Action& a : {Action{1, "1: ständig", 0, 0, "1: ständig"},
                          Action{2, "2: verkehr alternativ", 2, 2, "2: Nutzlast Kat. A/B"}}) {
    const int e = VIDUV_AddChildElement(einwirkungen, "einwirkung");
    VIDUV_SetInt(e, "einw", a.nr);
    VIDUV_SetString(e, "title", a.title);
    if (a.nr == 1)
      VIDUV_SetInt(e, "lastfaelle", 1);
    else
      VIDUV_SetString(e, "lastfaelle", liste);
    VIDUV_SetInt(e, "indexGruppe", a.gruppe);
    VIDUV_SetInt(e, "indexGruppeHHHH", a.gruppe);
    VIDUV_SetInt(e, "indexKategorie", 0);
    VIDUV_SetInt(e, "indexKLED", a.kled);
    VIDUV_SetInt(e, "einwNichtAufteilen", 0);
    VIDUV_SetInt(e, "lastfallMax", 0);
    VIDUV_SetInt(e, "lastfallMin", 0);
    VIDUV_SetString(e, "desc", a.desc);
  }
}

}  // namespace

int FundkraefteZeilen(const CResultFundkraefte& r) {
  std::size_t rows = r.KNr.size();
  for (const ResultColumn* column : {&r.Kote, &r.Apx, &r.Apy, &r.Apz, &r.Amy, &r.Amx, &r.dAmy, &r.dAmx})
    rows = std::min(rows, column->size());
  return int(rows);
}

CString FoundationFileName(const char* basePath) { return CString(basePath ? basePath : "") + "_Fund.tqx"; }

CString FoundationTemplate() { return FindVorbelegungFile(kFundamentProgName, kFundamentModuleName); }

bool WriteFoundationPosition(CKolumoData& data, const char* basePath) {
  if (!basePath || !*basePath) return false;
  // The loads are the design values divided by the factor; without a positive factor there are none.
  if (!(data.fakt > 0.0)) {
    AfxMessageBox(Tr("Der Umrechnungsfaktor Designwerte zu charakteristische Werte muss größer als 0 sein.\n"
                     "Die Fundamentposition wird nicht geschrieben."),
                  MB_OK);
    return false;
  }
  const CString target = FoundationFileName(basePath);
  const bool exists = CDirList::FileExists(target);
  if (exists && AfxMessageBox(Tr("Fundamentposition vorhanden.\nSoll die vorhandene Fundamentposition\n"
                                 "überschrieben werden?"),
                              MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  // A new position starts from the foundation module's template, read as a document and saved under the target
  // name only when complete: the target never holds a bare or half-written copy.
  const CString source = exists ? target : FoundationTemplate();
  if (source.IsEmpty()) {
    CString text;
    text.Format(
        Tr("Die Vorlage der Fundamentposition fehlt:\n%s\nDie Fundamentposition wird nicht geschrieben.").GetString(),
        GetVorbelegungFile(kFundamentProgName, kFundamentModuleName).GetString());
    AfxMessageBox(text, MB_OK);
    return false;
  }
  const ScopedDoc doc(source);
  const int root = VIDUV_GetRootElement(doc.Get());
  const int input = VIDUV_FindFirstChild(root, "input");
  const int wahl = VIDUV_FindFirstChild(input, "wahl");
  const int last = VIDUV_FindFirstChild(input, "last");
  const int geom = VIDUV_FindFirstChild(input, "geom");
  const bool codes = CString(VIDUV_GetString(root, "progname")) == kFundamentProgName &&
                     CString(VIDUV_GetString(root, "modulename")) == kFundamentModuleName;
  if (exists && root && !codes) {
    AfxMessageBox(
        "Vorhandene Fundamentposition ist kein Plattenfundament. Bitte zuerst die vorhanden "
        "Fundamentposition löschen. Danach Stützenposition erneut rechnen.",
        MB_OK);
    return false;
  }
  if (!root || !input || !wahl || !last || !geom || !codes) {
    CString text;
    text.Format(Tr("%s ist keine vollständige Plattenfundament-Position.\nDie Fundamentposition wird nicht "
                   "geschrieben.")
                    .GetString(),
                source.GetString());
    AfxMessageBox(text, MB_OK);
    return false;
  }

  WriteVardef(input, data.fakt);
  VIDUV_SetInt(wahl, "berart", 1);
  VIDUV_SetInt(wahl, "lkmanuell", 1);
  WriteGeometry(geom, data);
  WriteLoadCasesAndActions(input, WriteLoadGroups(last, data));
  if ((exists ? VIDUV_SaveDoc(doc.Get()) : VIDUV_SaveDocAs(doc.Get(), target)) == 1) return true;
  CString text;
  text.Format(Tr("Die Fundamentposition %s kann nicht gespeichert werden.").GetString(), target.GetString());
  AfxMessageBox(text, MB_OK);
  return false;
}
