#include "report/rtfhilfe.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "formula/formulanumber.h"
#include "platform/rtfx/rtfx.h"
#include "platform/tolkar/tolkar.h"

namespace report {

namespace {

// The open table: its widths, what each column's cells need, and the writes held until it is closed.
struct OffeneTabelle {
  bool offen = false;
  bool kopfBegonnen = false;  // the header is opened once, before its first row
  bool imKopf = false;
  std::size_t zelle = 0;                        // cells so far: they fill the rows left to right
  std::vector<double> breiten, bedarf, wunsch;  // cm; need: the longest word, wish: the whole text
  std::vector<std::function<void()>> schritte;
};
OffeneTabelle s_tabelle;

// Advances of DejaVu Sans (1/1000 em), the widest of the fonts that set Arial's text here, for ' ' to '~'.
constexpr short kNormal[95] = {318,  401, 460, 838, 636, 950, 780, 275, 390, 390, 500, 838, 318, 361, 318, 337,
                               636,  636, 636, 636, 636, 636, 636, 636, 636, 636, 337, 337, 838, 838, 838, 531,
                               1000, 684, 686, 698, 770, 632, 575, 775, 752, 295, 295, 656, 557, 863, 748, 787,
                               603,  787, 695, 635, 611, 732, 684, 989, 685, 611, 685, 390, 337, 390, 838, 500,
                               500,  613, 635, 550, 635, 615, 352, 635, 634, 278, 278, 579, 278, 974, 634, 612,
                               635,  635, 411, 521, 392, 634, 592, 818, 592, 592, 525, 636, 337, 636, 838};
constexpr short kFett[95] = {348,  456, 521, 838, 696, 1002, 872, 306,  457, 457, 523, 838, 380, 415,  380, 365,
                             696,  696, 696, 696, 696, 696,  696, 696,  696, 696, 400, 400, 838, 838,  838, 580,
                             1000, 774, 762, 734, 830, 683,  683, 821,  837, 372, 372, 775, 637, 995,  837, 850,
                             733,  850, 770, 720, 682, 812,  774, 1103, 771, 724, 725, 457, 365, 457,  838, 500,
                             500,  675, 716, 593, 716, 678,  435, 716,  712, 343, 343, 665, 343, 1042, 712, 687,
                             716,  716, 493, 595, 478, 712,  652, 924,  645, 652, 582, 712, 365, 712,  838};
// Letters beyond ASCII (umlauts, superscripts, Greek): about the widest of them.
constexpr short kAndereNormal = 800, kAndereFett = 860;
constexpr double kPunkt = 9.0;                           // the table font, pt
constexpr double kRand = 2 * 70 / 1440.0 * 2.54 + 0.05;  // the cell's two margins of 70 twips, and a little air

void Merke(std::size_t spalte, const std::string& sichtbar, bool fett) {
  if (spalte >= s_tabelle.bedarf.size()) return;
  s_tabelle.bedarf[spalte] = std::max(s_tabelle.bedarf[spalte], WortBreiteCm(sichtbar.c_str(), fett));
  s_tabelle.wunsch[spalte] = std::max(s_tabelle.wunsch[spalte], WortBreiteCm(sichtbar.c_str(), fett, true));
}

// One cell of the open table: its write is held, its need noted for its column.
void Halte(const std::string& sichtbar, bool fett, std::function<void()> schritt) {
  const std::size_t n = s_tabelle.breiten.size();
  if (n) Merke(s_tabelle.zelle % n, sichtbar, fett);
  ++s_tabelle.zelle;
  s_tabelle.schritte.push_back(std::move(schritt));
}

// The number as the library writes it for "@n".
std::string Ziffern(const char* format, double wert) {
  const int stellen = format && format[0] == '@' ? std::atoi(format + 1) : 2;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", std::clamp(stellen, 0, 9), wert);
  return text;
}

}  // namespace

double WortBreiteCm(const char* text, bool fett, bool ganzeZeile) {
  double wort = 0.0, laengstes = 0.0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : "");
  while (*p) {
    if (*p == '\\') {
      ++p;
      if (*p == '\'') {  // \'xx: one character of the code page
        p += p[1] && p[2] ? 3 : 1;
        wort += fett ? kAndereFett : kAndereNormal;
      } else if (std::isalpha(*p)) {  // a control word, its number and the blank that ends it
        while (std::isalpha(*p)) ++p;
        if (*p == '-') ++p;
        while (std::isdigit(*p)) ++p;
        if (*p == ' ') ++p;
      } else if (*p) {
        ++p;  // an escaped symbol: \\, \{, \}
        wort += fett ? kFett['-' - 32] : kNormal['-' - 32];
      }
      continue;
    }
    if (*p == '{' || *p == '}') {
      ++p;
      continue;
    }
    if (*p == ' ' && !ganzeZeile) {
      laengstes = std::max(laengstes, wort);
      wort = 0.0;
      ++p;
      continue;
    }
    if (*p < 0x80) {
      wort += *p >= 32 ? (fett ? kFett[*p - 32] : kNormal[*p - 32]) : 0;
      ++p;
      continue;
    }
    // one character of UTF-8: its lead byte and the continuation bytes
    ++p;
    while ((*p & 0xC0) == 0x80) ++p;
    wort += fett ? kAndereFett : kAndereNormal;
  }
  laengstes = std::max(laengstes, wort);
  // the office suite sets bold a little wider than the face's advances
  return laengstes / 1000.0 * kPunkt / 72.0 * 2.54 * (fett ? 1.03 : 1.0) + kRand;
}

std::vector<double> PasseBreiten(std::vector<double> breiten, const std::vector<double>& bedarf,
                                 const std::vector<double>& wunsch, double seite) {
  const std::size_t n = breiten.size();
  const auto noetig = [&](std::size_t i) { return i < bedarf.size() ? bedarf[i] : 0.0; };
  const auto gewuenscht = [&](std::size_t i) { return std::max(noetig(i), i < wunsch.size() ? wunsch[i] : 0.0); };
  double fehlt = 0.0, ungenutzt = 0.0, entbehrlich = 0.0, summe = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    summe += breiten[i];
    if (noetig(i) > breiten[i]) {
      fehlt += noetig(i) - breiten[i];
      continue;
    }
    ungenutzt += std::max(0.0, breiten[i] - gewuenscht(i));
    entbehrlich += std::min(breiten[i], gewuenscht(i)) - noetig(i);
  }
  if (fehlt <= 1e-9) return breiten;
  // first the room no text of a column wants, then the page's, last the room that keeps a text on one line
  const double ausUngenutzt = std::min(fehlt, ungenutzt);
  const double ausSeite = std::clamp(seite - summe, 0.0, fehlt - ausUngenutzt);
  const double ausEntbehrlich = std::min(fehlt - ausUngenutzt - ausSeite, entbehrlich);
  const double anteilUngenutzt = ungenutzt > 0.0 ? ausUngenutzt / ungenutzt : 0.0;
  const double anteilEntbehrlich = entbehrlich > 0.0 ? ausEntbehrlich / entbehrlich : 0.0;
  const double anteilFehlt = (ausUngenutzt + ausSeite + ausEntbehrlich) / fehlt;
  for (std::size_t i = 0; i < n; ++i) {
    if (noetig(i) > breiten[i]) {
      breiten[i] += (noetig(i) - breiten[i]) * anteilFehlt;
      continue;
    }
    const double wunschBreite = std::min(breiten[i], gewuenscht(i));
    breiten[i] -= (breiten[i] - wunschBreite) * anteilUngenutzt + (wunschBreite - noetig(i)) * anteilEntbehrlich;
  }
  return breiten;
}

CString Tr(const char* text) {
  return CString(TOLK_Translate("Ormi Ausgabe", "vernik_o_kolumo", "CRtf_Ausgabe", text));
}

void Absatz(int ebene, const char* text) {
  TabelleSchliessen();  // a paragraph stands after a table, never inside it
  RTFX_Paragraph(ebene, text);
}

CString Wortlaut(const char* text) { return CString(rtfx::LiteralText(text ? text : "").c_str()); }

void Bemerkung(const CString& text) {
  if (text.IsEmpty()) return;
  Absatz(kText, "");
  Absatz(kText, Wortlaut(text));
}

void Tabelle(std::initializer_list<double> breiten) {
  if (s_tabelle.offen) TabelleSchliessen();
  s_tabelle = OffeneTabelle();
  s_tabelle.offen = true;
  s_tabelle.breiten.assign(breiten);
  s_tabelle.bedarf.assign(s_tabelle.breiten.size(), 0.0);
  s_tabelle.wunsch.assign(s_tabelle.breiten.size(), 0.0);
}

void Kopfzeile(std::initializer_list<const char*> texte, bool uebersetzen) {
  if (!s_tabelle.offen) return;
  if (!s_tabelle.kopfBegonnen) s_tabelle.schritte.push_back([] { RTFX_HeaderRow(1); });
  s_tabelle.kopfBegonnen = true;
  s_tabelle.imKopf = true;
  for (const char* text : texte) {
    const std::string t = uebersetzen && *text ? std::string(Tr(text).GetString()) : std::string(text);
    Halte(t, true, [t] { RTFX_Text(t.c_str()); });
  }
}

void Rumpf() {
  if (!s_tabelle.offen) return;
  s_tabelle.imKopf = false;
  s_tabelle.schritte.push_back([] { RTFX_HeaderRow(0); });
}

void TabelleSchliessen() {
  if (!s_tabelle.offen) return;
  OffeneTabelle t = std::move(s_tabelle);
  s_tabelle = OffeneTabelle();
  const std::vector<double> breiten = PasseBreiten(t.breiten, t.bedarf, t.wunsch);
  RTFX_BeginTable(int(breiten.size()), breiten.data());
  for (const auto& schritt : t.schritte) schritt();
  RTFX_EndTable();
}

void TabelleEnde() {
  TabelleSchliessen();
  Absatz(kText, " ");
}

void Legende(const char* text) { Absatz(kText, Tr(text)); }

void Zelle(const char* text) {
  if (!s_tabelle.offen) return RTFX_Text(text);
  std::string t = text ? text : "";
  Halte(t, s_tabelle.imKopf, [t] { RTFX_Text(t.c_str()); });
}

void Zahl(int wert) {
  if (!s_tabelle.offen) return RTFX_CellInt("@0", wert);
  Halte(std::to_string(wert), s_tabelle.imKopf, [wert] { RTFX_CellInt("@0", wert); });
}

void Zahl(const char* format, double wert) {
  if (!s_tabelle.offen) return RTFX_CellDouble(format, wert);
  const std::string f = format ? format : "@2";
  Halte(Ziffern(f.c_str(), wert), s_tabelle.imKopf, [f, wert] { RTFX_CellDouble(f.c_str(), wert); });
}

void Zahl(const char* format, CFormulaNumber& wert) { Zahl(format, wert.GetValue()); }

void ZahlFloat(const char* format, float wert) {
  if (!s_tabelle.offen) return RTFX_CellFloat(format, wert);
  const std::string f = format ? format : "@2";
  Halte(Ziffern(f.c_str(), wert), s_tabelle.imKopf, [f, wert] { RTFX_CellFloat(f.c_str(), wert); });
}

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
