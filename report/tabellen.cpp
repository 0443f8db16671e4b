// The result tables of one combination: one table per matching record, one row
// per result point.
#include <cmath>

#include "column/kolumodata.h"
#include "platform/rtfx/rtfx.h"
#include "designcode/designcode.h"
#include "report/bilder.h"
#include "report/rtfausgabe.h"
#include "report/rtfhilfe.h"

using namespace report;

namespace {

// The records of a kind that belong to the combination k of type t in stage s,
// in list order.
template <class Record>
std::vector<Record*> Treffer(const std::vector<std::unique_ptr<Record>>& records, int k, int t, int s) {
  std::vector<Record*> treffer;
  for (const auto& r : records)
    if (r->System == s && r->LK == k && r->Typ == t) treffer.push_back(r.get());
  return treffer;
}

// The value of a column at a point; a column shorter than the heights gives 0.
double Wert(const ResultColumn& spalte, std::size_t i) { return i < spalte.size() ? spalte[i] : 0.0; }

// One body row per point of the heights: the columns in the given formats.
struct Spalte {
  const ResultColumn* werte;
  const char* format;
};

void Zeilen(const ResultColumn& kote, std::initializer_list<Spalte> spalten) {
  for (std::size_t i = 0; i < kote.size(); ++i) {
    Zahl("@2", kote[i]);
    for (const Spalte& s : spalten) Zahl(s.format, Wert(*s.werte, i));
  }
}

}  // namespace

void CRtf_Ausgabe::Lagerkraefte(int k, int t, int s) {
  Absatz(kTabellenTitel, Tr("\\b Lagerkräfte und Knotengleichgewicht (> 1e-3)"));
  for (CResultLagerkraefte* r : Treffer(m_pData->ergebnisse.Lagerkraefte, k, t, s)) {
    Tabelle({1.8, 1.8, 1.8, 1.8, 1.8, 1.8});
    Kopfzeile({"Kote h", "AP\\sub z", "AP\\sub y", "AP\\sub x", "AM\\sub y", "AM\\sub x"});
    Kopfzeile({"[m]", "[kN]", "[kN]", "[kN]", "[kNm]", "[kNm]"}, false);
    Rumpf();
    Zeilen(r->Kote, {{&r->Apz, "@2"}, {&r->Apy, "@2"}, {&r->Apx, "@2"}, {&r->Amy, "@2"}, {&r->Amx, "@2"}});
    TabelleEnde();
  }
}

void CRtf_Ausgabe::Eigenwerte(int k, int t, int s) {
  for (CResultVerformung* r : Treffer(m_pData->ergebnisse.Verformung, k, t, s)) {
    auto laenge = [](double a, double b) {
      const double l = std::hypot(a, b);
      return l < 1e-8 ? 1e8 : l;
    };
    const double m1 = laenge(r->Eigen[1], r->Eigen[2]);
    const double m2 = laenge(r->Eigen[4], r->Eigen[5]);
    if (m1 > 1e7 && m2 > 1e7) {
      Absatz(kText, Tr("keine Knicklastberechnung möglich, da alle Normalkräfte >= 0."));
      Absatz(kText, "");
      return;
    }
    Absatz(kTabellenTitel, Tr("\\b Niedrigsten 2 Eigenwerte als "
                              "Laststeigerungsfaktoren zum entsprechenden "
                              "Tragfähigkeitskollektiv(Bruch)"));
    CString zeile;
    zeile.Format(Tr("1. Eigenwert %.3f (max. v %10.3e, max. u %10.3e)"), r->Eigen[0], r->Eigen[1], r->Eigen[2]);
    Absatz(kText, zeile);
    zeile.Format(Tr("2. Eigenwert %.3f (max. v %10.3e, max. u %10.3e)"), r->Eigen[3], r->Eigen[4], r->Eigen[5]);
    Absatz(kText, zeile);
    Absatz(kText, Tr("Knickfiguren (normiert auf 1)"));
    Tabelle({1.8, 1.8, 1.8, 1.8, 1.8});
    Kopfzeile({"Kote h", "v\\sub 1", "u\\sub 1", "v\\sub 2", "u\\sub 2"});
    // shapes normalised to 1 have no unit
    Kopfzeile({"[m]", "[-]", "[-]", "[-]", "[-]"}, false);
    Rumpf();
    // The collection stores the first shape in v and w, the second in v0 and
    // w0.
    Zeilen(r->Kote, {{&r->v, "@2"}, {&r->w, "@2"}, {&r->v0, "@2"}, {&r->w0, "@2"}});
    TabelleEnde();
  }
}

void CRtf_Ausgabe::Verformungen(int k, int t, int s, int mode) {
  Absatz(kTabellenTitel, Tr(mode == 2 ? "\\b Verformungen mit Vorverformungen" : "\\b Verformungen"));
  for (CResultVerformung* r : Treffer(m_pData->ergebnisse.Verformung, k, t, s)) {
    if (mode == 2) {
      Tabelle({1.8, 1.8, 1.8, 1.8, 1.8, 1.8, 1.8, 1.8});
      Kopfzeile({"Kote h", "w", "v", "v\\sub 0", "u", "u\\sub 0"});
      Kopfzeile({"{\\f2 q}\\sub y", "{\\f2 q}\\sub x"}, false);
      Kopfzeile({"[m]", "[mm]", "[mm]", "[mm]", "[mm]", "[mm]", "[‰]", "[‰]"}, false);
      Rumpf();
      Zeilen(r->Kote, {{&r->w, "@2"},
                       {&r->v, "@2"},
                       {&r->v0, "@2"},
                       {&r->u, "@2"},
                       {&r->w0, "@2"},
                       {&r->phiy, "@2"},
                       {&r->phix, "@2"}});
    } else {
      Tabelle({1.8, 1.8, 1.8, 1.8, 1.8, 1.8});
      Kopfzeile({"Kote h", "w", "v", "u"});
      Kopfzeile({"{\\f2 q}\\sub y", "{\\f2 q}\\sub x"}, false);
      Kopfzeile({"[m]", "[mm]", "[mm]", "[mm]", "[‰]", "[‰]"}, false);
      Rumpf();
      Zeilen(r->Kote, {{&r->w, "@2"}, {&r->v, "@2"}, {&r->u, "@2"}, {&r->phiy, "@2"}, {&r->phix, "@2"}});
    }
    TabelleEnde();
  }
}

void CRtf_Ausgabe::Stabschnittkraefte(int k, int t, int s, int mode, int diagramm, CPlotwerk2D* view2D) {
  static const char* const kTitel[] = {"\\b Stabschnittkräfte mit Bemessung", "\\b Stabschnittkräfte",
                                       "\\b Stabschnittkräfte mit wirksamen Steifigkeiten und Ausnutzung"};
  Absatz(kTabellenTitel, Tr(kTitel[mode >= 0 && mode <= 2 ? mode : 1]));
  for (CResultSchnittgroessen* r : Treffer(m_pData->ergebnisse.Schnittgroessen, k, t, s)) {
    // The first-order design scales the bars to what the combination needs and rates the section with that
    // steel; the second-order check rates the section with the steel it has.
    if (mode == 0)
      Legende(
          "{\\f2 n}: Ausnutzung mit erforderlicher Bewehrung (erf. A{\\sub s} dieser Kombination), "
          "A{\\sub s}/A{\\sub b}: deren Bewehrungsgrad");
    else if (mode == 2)
      Legende("{\\f2 n}: Ausnutzung mit vorhandener Bewehrung");
    if (mode == 1)
      Tabelle({1.8, 1.8, 1.8, 1.8, 1.8, 1.8});
    else
      Tabelle({1.8, 1.8, 1.8, 1.8, 1.8, 1.8, 1.8, 1.8, 1.6});
    Kopfzeile({"Kote h", "N", "V\\sub y", "V\\sub x", "M\\sub y", "M\\sub x"});
    if (mode == 0) Kopfzeile({"{\\f2 n}", "erf. A\\sub s", "A{\\sub s}/A{\\sub b}"});
    if (mode == 2) Kopfzeile({"B\\sub y", "B\\sub x", "{\\f2 n}"});
    Kopfzeile({"[m]", "[kN]", "[kN]", "[kN]", "[kNm]", "[kNm]"}, false);
    if (mode == 0) Kopfzeile({"[-]", "[cm\\super 2]", "[%]"}, false);
    if (mode == 2) Kopfzeile({"[MNm\\super 2]", "[MNm\\super 2]", "[-]"}, false);
    Rumpf();
    for (std::size_t i = 0; i < r->Kote.size(); ++i) {
      Zahl("@2", r->Kote[i]);
      for (const ResultColumn* c : {&r->N, &r->Vy, &r->Vx, &r->My, &r->Mx}) Zahl("@2", Wert(*c, i));
      if (mode == 0) {
        Zahl("@3", Wert(r->Eta, i));
        Zahl("@2", Wert(r->ErfAs, i));
        const double asab = Wert(r->AsAb, i);
        if (asab < 0.01)
          Zelle(Tr("Min.Ac"));
        else
          Zahl("@3", asab);
      } else if (mode == 2) {
        Zahl("@2", Wert(r->By, i));
        Zahl("@2", Wert(r->Bx, i));
        Zahl("@3", Wert(r->Eta, i));
      }
    }
    TabelleEnde();

    if (!diagramm || r->Kote.empty()) continue;
    double hoehe = r->Kote.back();
    for (double kote : r->Kote) hoehe = std::max(hoehe, kote);
    // Five diagrams side by side across the picture.
    const double abstand = 0.75 * hoehe;
    DiagrammRahmen(hoehe, 5 * abstand + hoehe / 8, view2D);
    const struct {
      const ResultColumn* werte;
      const char* titel;
      DiagrammArt art;
    } diagramme[] = {{&r->Mx, "Moment Mx", kMoment},
                     {&r->My, "Moment My", kMoment},
                     {&r->Vx, "Querkraft Vx", kQuerkraft},
                     {&r->Vy, "Querkraft Vy", kQuerkraft},
                     {&r->N, "Normalkraft N", kNormalkraft}};
    for (std::size_t i = 0; i < 5; ++i)
      Diagramm(r->Kote, *diagramme[i].werte, double(i + 1) * abstand, view2D, Tr(diagramme[i].titel), diagramme[i].art);
    CString name;
    name.Format("Schnitt-LK%d-Typ%d-BZ%d.p2d", k, t, s);
    DiagrammEinfuegen(view2D, name.str(), Tr("Schnittgrößen"));
  }
}

namespace {

// The ultimate and the strain check share their table.
void NachweisTabelle(const CResultBruchschnittgroessen& r, std::initializer_list<const char*> namen,
                     std::initializer_list<const char*> griechisch) {
  Tabelle({1.8, 1.8, 1.8, 1.8, 1.8, 1.8, 1.8, 1.8});
  Kopfzeile(namen);
  Kopfzeile(griechisch, false);
  Kopfzeile({"[m]", "[kN]", "[kNm]", "[kNm]", "[‰]", "[‰]", "[‰]", "[°]"}, false);
  Rumpf();
  Zeilen(
      r.Kote,
      {{&r.N, "@2"}, {&r.My, "@2"}, {&r.Mx, "@2"}, {&r.eps1, "@2"}, {&r.eps2, "@2"}, {&r.epss, "@2"}, {&r.alfa, "@2"}});
  TabelleEnde();
}

}  // namespace

void CRtf_Ausgabe::Bruchnachweis(int k, int t, int s) {
  Absatz(kTabellenTitel, Tr("\\b Bruchsicherheitsnachweis"));
  for (CResultBruchschnittgroessen* r : Treffer(m_pData->ergebnisse.Bruchschnittgroessen, k, t, s))
    NachweisTabelle(*r, {"Kote h", "N\\sub u", "M\\sub y,u", "M\\sub x,u"},
                    {"{\\f2 e}\\sub 1,u", "{\\f2 e}\\sub 2,u", "{\\f2 e}\\sub s,u", "{\\f2 a}\\sub u"});
}

void CRtf_Ausgabe::Dehnungsnachweis(int k, int t, int s) {
  Absatz(kTabellenTitel, Tr("\\b Dehnungsnachweis"));
  for (CResultDehnschnittgroessen* r : Treffer(m_pData->ergebnisse.Dehnschnittgroessen, k, t, s))
    NachweisTabelle(*r, {"Kote h", "N", "M\\sub y", "M\\sub x"},
                    {"{\\f2 e}\\sub 1", "{\\f2 e}\\sub 2", "{\\f2 e}\\sub s", "{\\f2 a}"});
}

void CRtf_Ausgabe::Schubnachweis(int k, int t, int s) {
  Absatz(kTabellenTitel, Tr("\\b Schubnachweis aus Querkraft"));
  for (CResultSchub* r : Treffer(m_pData->ergebnisse.Schub, k, t, s)) {
    Tabelle({1.8, 1.8, 1.8, 1.8, 2.0, 1.8});
    Kopfzeile({"Kote h", "V{\\sub Ed,R}", "cot{\\f2 q} ", "V{\\sub Rd,ct}", "V{\\sub Rd,max}", "a{\\sub s,b}"});
    Kopfzeile({"[m]", "[kN]", "[-]", "[kN]", "[kN]", "[cm{\\super 2}/m]"}, false);
    Rumpf();
    for (std::size_t i = 0; i < r->Kote.size(); ++i) {
      Zahl("@2", r->Kote[i]);
      for (const ResultColumn* c : {&r->ved, &r->cot, &r->vrdct, &r->vrdmax}) Zahl("@2", Wert(*c, i));
      // where the strut crushes no stirrups help: their amount would read as a design
      if (r->StrutFails(i))
        Zelle(Tr("nicht erfüllt"));
      else
        Zahl("@2", Wert(r->asb, i));
    }
    TabelleEnde();
  }
}

void CRtf_Ausgabe::Rissnachweis(int k, int t, int s) {
  Absatz(kTabellenTitel, Tr("\\b Stabschnittkräfte mit Stahlspannung, Zugzone "
                            "und Bewehrungsgrad"));
  for (CResultRissnachweis* r : Treffer(m_pData->ergebnisse.Rissnachweis, k, t, s)) {
    Tabelle({1.5, 1.9, 1.5, 1.5, 1.5, 1.5, 1.5, 1.9, 1.6, 1.5});
    Kopfzeile({"Kote h", "N", "M\\sub y", "M\\sub x", "{\\f2 e}\\sub 1,Ri", "{\\f2 e}\\sub 2,Ri", "{\\f2 e}\\sub s,Ri",
               "{\\f2 s}\\sub s,Ri", "A{\\sub z}/A{\\sub b}", "{\\f2 m}\\sub z,Ri"});
    Kopfzeile({"[m]", "[kN]", "[kNm]", "[kNm]", "[‰]", "[‰]", "[‰]", "[MN/m\\super 2]", "[-]", "[%]"}, false);
    Rumpf();
    Zeilen(r->Kote, {{&r->N, "@2"},
                     {&r->My, "@2"},
                     {&r->Mx, "@2"},
                     {&r->eps1, "@3"},
                     {&r->eps2, "@3"},
                     {&r->epss, "@3"},
                     {&r->sigma, "@1"},
                     {&r->azab, "@3"},
                     {&r->nue, "@3"}});
    TabelleEnde();
  }
}

void CRtf_Ausgabe::Fundamentlasten(int k, int t, int s) {
  for (CResultFundkraefte* r : Treffer(m_pData->ergebnisse.Fundkraefte, k, t, s)) {
    Tabelle({1.7, 1.7, 1.7, 1.7, 1.7, 1.7, 2.2, 2.2});
    Kopfzeile({"Kote h", "AP-I\\sub z", "AP-I\\sub y", "AP-I\\sub x", "AM-I\\sub y", "AM-I\\sub x", "AM-(II-I)\\sub y",
               "AM-(II-I)\\sub x"});
    Kopfzeile({"[m]", "[kN]", "[kN]", "[kN]", "[kNm]", "[kNm]", "[kNm]", "[kNm]"}, false);
    Rumpf();
    for (std::size_t i = 0; i < r->Kote.size(); ++i) {
      Zahl("@2", r->Kote[i]);
      for (const ResultColumn* c : {&r->Apz, &r->Apy, &r->Apx, &r->Amy, &r->Amx}) Zahl("@2", Wert(*c, i));
      // Second-order differences below a hundredth are noise.
      for (const ResultColumn* c : {&r->dAmy, &r->dAmx}) {
        if (std::fabs(Wert(*c, i)) >= 0.01)
          Zahl("@2", Wert(*c, i));
        else
          Zelle("");
      }
    }
    TabelleEnde();
  }
}

void CRtf_Ausgabe::Brandschutz(int k, int t, int s) {
  CKolumoData& d = *m_pData;
  const designcode::DesignCode* code = designcode::ByInput(d.iNorm);
  // a code without fire tables: no table is named, the check is not possible
  if (!code || code->fireRatioPercent == 0) {
    Absatz(kText, Tr("\\b Statisch konstruktiver Brandschutz"));
    FireFailure ohne;
    ohne.reason = kBrandOhneTabellen;
    Absatz(kUnterabschnitt, FireFailureText(ohne, d.iNorm, Tr) + ".");
    return;
  }
  const bool en = code->fireTablesEn;
  Absatz(kText, Tr(en ? "\\b Statisch konstruktiver Brandschutz nach DIN EN "
                        "1992-1-2:2010-12"
                      : "\\b Statisch konstruktiver Brandschutz nach DIN 4102-4"));
  static const char* const kEn[] = {"Feuerwiderstandsklasse R 30 nach DIN EN 1992-1-2:2010-12 Tabelle 5.2a",
                                    "Feuerwiderstandsklasse R 60 nach DIN EN 1992-1-2:2010-12 Tabelle 5.2a",
                                    "Feuerwiderstandsklasse R 90 nach DIN EN 1992-1-2:2010-12 Tabelle 5.2a",
                                    "Feuerwiderstandsklasse R 120 nach DIN EN 1992-1-2:2010-12 Tabelle 5.2a",
                                    "Feuerwiderstandsklasse R 180 nach DIN EN 1992-1-2:2010-12 Tabelle 5.2a"};
  static const char* const kDin[] = {"Feuerwiderstandsklasse R 30 nach DIN 4102 Tabelle 31E:2007",
                                     "Feuerwiderstandsklasse R 60 nach DIN 4102 Tabelle 31E:2007",
                                     "Feuerwiderstandsklasse R 90 nach DIN 4102 Tabelle 31E:2007",
                                     "Feuerwiderstandsklasse R 120 nach DIN 4102 Tabelle 31E:2007",
                                     "Feuerwiderstandsklasse R 180 nach DIN 4102 Tabelle 31E:2007"};
  const int klasse = d.indexBrandKlasse;
  const bool bekannt = klasse >= 0 && klasse <= 4;
  Absatz(kText, Tr(en ? kEn[bekannt ? klasse : 4] : kDin[bekannt ? klasse : 0]));
  Absatz(kText, Tr(d.indexBrandSeiten == 1 ? "Anzahl brandbeanspruchter Seiten = mehrseitig"
                                           : "Anzahl brandbeanspruchter Seiten = einseitig"));
  if (!en) {
    Absatz(kText, Tr("Die maximale Stützenhöhe für die Anwendung der Tabelle "
                     "31E beträgt"));
    Absatz(kText, Tr("bei Rechteckstützen 6.0 m und bei Kreisstützen 5.0 m."));
  }
  Absatz(kText, Tr("Die Ermittlung der Schnittgrößen erfolgt für "
                   "außergewöhnliche Situation"));
  Absatz(kText, "");
  for (CResultBrandschnittgroessen* r : Treffer(d.ergebnisse.Brandschnittgroessen, k, t, s)) {
    if (!r->OK) {
      // each failing field with what the table asks against what there is
      const std::vector<FireFailure> felder = FireFailures(*r);
      for (const FireFailure& f : felder) {
        CString zeile;
        zeile.Format(Tr("Brandschutznachweis nicht erfüllt in Feld %d: %s"), f.field,
                     FireFailureText(f, d.iNorm, Tr).GetString());
        if (f.reason == kBrandAbmessungen) zeile += Tr("; bitte Abmessungen bzw. Betondeckungen ändern");
        Absatz(kUnterabschnitt, zeile + ".");
      }
      if (felder.empty())
        Absatz(kUnterabschnitt, Tr("Brandschutznachweis nicht erfüllt, bitte "
                                   "Abmessungen bzw. Betondeckungen ändern."));
      continue;
    }
    Tabelle({1.8, 1.8, 1.8, 1.8, 1.8, 1.8, 1.8, 1.8, 1.8});
    Kopfzeile({"Kote h", "N\\sub fi", "My\\sub fi", "Mx\\sub fi", "N\\sub rd"});
    Kopfzeile({"{\\f2 a}\\sub 1"}, false);
    Kopfzeile({"erf. d", "erf. d1", "As"});
    Kopfzeile({"[m]", "[kN]", "[kNm]", "[kNm]", "[kN]", "[-]", "[cm]", "[cm]", "[cm²]"}, false);
    Rumpf();
    Zeilen(r->Kote, {{&r->N, "@2"},
                     {&r->My, "@2"},
                     {&r->Mx, "@2"},
                     {&r->Nrd, "@2"},
                     {&r->alfa, "@2"},
                     {&r->minB, "@2"},
                     {&r->minDeck, "@2"},
                     {&r->As, "@2"}});
    TabelleEnde();
  }
}
