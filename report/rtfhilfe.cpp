#include "report/rtfhilfe.h"

#include <limits>
#include <vector>

#include "formula/formulanumber.h"
#include "platform/rtfx/rtfx.h"
#include "platform/tolkar/tolkar.h"

namespace report {

namespace {
// Whether the open table's header rows have begun (the header is opened once,
// before its first row).
bool s_kopfBegonnen = false;
}  // namespace

CString Tr(const char* text) {
  return CString(TOLK_Translate("Ormi Ausgabe", "vernik_o_kolumo", "CRtf_Ausgabe", text));
}

void Absatz(int ebene, const char* text) { RTFX_Paragraph(ebene, text); }

void Bemerkung(const CString& text) {
  if (text.IsEmpty()) return;
  Absatz(kText, "");
  Absatz(kText, text);
}

void Tabelle(std::initializer_list<double> breiten) {
  const std::vector<double> werte(breiten);
  RTFX_BeginTable(int(werte.size()), werte.data());
  s_kopfBegonnen = false;
}

void Kopfzeile(std::initializer_list<const char*> texte, bool uebersetzen) {
  if (!s_kopfBegonnen) RTFX_HeaderRow(1);
  s_kopfBegonnen = true;
  for (const char* text : texte) RTFX_Text(uebersetzen && *text ? Tr(text).GetString() : text);
}

void Rumpf() { RTFX_HeaderRow(0); }

void TabelleEnde() {
  RTFX_EndTable();
  Absatz(kText, " ");
}

void Legende(const char* text) { Absatz(kText, Tr(text)); }

void Zelle(const char* text) { RTFX_Text(text); }
void Zahl(int wert) { RTFX_CellInt("@0", wert); }
void Zahl(const char* format, double wert) { RTFX_CellDouble(format, wert); }
void Zahl(const char* format, CFormulaNumber& wert) { RTFX_CellDouble(format, wert.GetValue()); }

CString Nummer(int index) {
  CString text;
  if (index >= 0 && index < std::numeric_limits<int>::max())
    text.Format("%d", index + 1);
  else
    text.Format("? (%d)", index);
  return text;
}

void NummerZelle(int index) {
  if (index >= 0 && index < std::numeric_limits<int>::max())
    Zahl(index + 1);
  else
    Zelle(Nummer(index));
}

CString StufenWort(int stage) {
  static const char* const kWorte[] = {"Endsystem", "Transport", "Bauzu. 1", "Bauzu. 2"};
  return stage >= 0 && stage < 4 ? Tr(kWorte[stage]) : CString();
}

}  // namespace report
