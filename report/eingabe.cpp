// The input chapter: geometry, supports, cross-sections, materials, loads, load
// combinations, imperfections and creep, echoed from the column data.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "column/calcfunc.h"
#include "column/kolumodata.h"
#include "framework/matehandler.h"
#include "platform/rtfx/rtfx.h"
#include "platform/win/window/afxwnd.h"
#include "designcode/designcode.h"
#include "report/querschnittskizze.h"
#include "report/rtfausgabe.h"
#include "report/rtfhilfe.h"

using namespace report;

namespace {

// The catalogue entry of a grade; empty for an unknown code or grade.
CMateProps HoleMaterial(int iNorm, const char* kat, const char* ukat, const CString& grade) {
  CMateProps props;
  if (const designcode::DesignCode* norm = designcode::ByInput(iNorm)) {
    CString objekt = grade;
    GetMateHandler().GetMaterial(props, kat, ukat, norm->gradeList, objekt);
  }
  return props;
}

// The grade the calculation takes (the named one, or the catalogue's fallback for a name it lacks).
struct Sorte {
  CString name;
  bool ersetzt = false;
  bool katalog = false;  // the code has a list of such grades in the catalogue
};

Sorte VerwendeteSorte(const CKolumoData& d, bool beton) {
  const UsedGrade g = GradeOfCalculation(d.iNorm, beton, beton ? d.sBeton : d.sStahl);
  return {g.name, g.replaced, g.listSize > 0};
}

Sorte BetonSorte(const CKolumoData& d) { return VerwendeteSorte(d, true); }
Sorte StahlSorte(const CKolumoData& d) { return VerwendeteSorte(d, false); }

// Said below the table when the grade of the input is not in the catalogue of the code.
void Ersatz(const char* wort, const CString& gegeben, const Sorte& sorte, const designcode::DesignCode* norm) {
  CString zeile;
  // a catalogue that is missing or was refused gives no values: said, not shown as zeros
  if (norm && !sorte.katalog) {
    zeile.Format(Tr("%s \"%s\": der Materialkatalog hat für %s keine Sorten; ihre Werte fehlen."), Tr(wort).GetString(),
                 Wortlaut(gegeben).GetString(), norm->gradeList);
    Absatz(kText, zeile);
    return;
  }
  if (!sorte.ersetzt) return;
  zeile.Format(Tr("%s \"%s\" der Eingabe gibt es im Materialkatalog für %s nicht; gerechnet wird mit %s."),
               Tr(wort).GetString(), Wortlaut(gegeben).GetString(), norm ? norm->gradeList : "",
               Wortlaut(sorte.name).GetString());
  Absatz(kText, zeile);
}

// An empty cell for a grade the catalogue does not hold.
void Eigenschaft(const CMateProps& props, const char* key) {
  if (!props.m_element)
    Zelle("");
  else
    ZahlFloat("@2", float(std::atof(props.GetValue(key))));
}

// A spring as the supports table shows it: fixed, free or its stiffness.
void Feder(CFormulaNumber& feder) {
  const double wert = feder.GetValue();
  if (wert < 0.0)
    Zelle(Tr("fest"));
  else if (wert < 0.1)
    Zelle(Tr("frei"));
  else
    Zahl("@1", wert);
}

// The divisor n of a pre-deformation height/n as the calculation takes it: whole where it is whole.
CString Teiler(double n) {
  CString text;
  if (std::fabs(n - std::round(n)) < 1e-6)
    text.Format("%.0f", n);
  else
    text.Format("%.1f", n);
  return text;
}

CString Anmerkung(const CKolumoData& d, int i) { return i < d.anmerkungen.GetSize() ? d.anmerkungen[i] : CString(); }

}  // namespace

void CRtf_Ausgabe::Geometrie() {
  CKolumoData& d = *m_pData;
  Absatz(kAbschnitt, Tr("Geometriebeschreibung"));
  Tabelle({2.0, 2.0, 2.0, 2.0, 2.0, 2.0});
  Kopfzeile({"Feld", "Länge", "Gesamt-", "Quer-", "Stab-", "Ausmitte"});
  Kopfzeile({"Nr.", "", "länge", "schnitt", "teilung", "e\\sub{x}"});
  Kopfzeile({"[-]", "[m]", "[m]", "[-]", "[-]", "[m]"}, false);
  Rumpf();
  double gesamt = 0.0;
  for (int i = 0; i < d.nFields(); ++i) {
    const double laenge = d.fieldLengths[i].GetValue();
    gesamt += laenge;
    Zahl(i + 1);
    Zahl("@2", laenge);
    Zahl("@2", gesamt);
    Zahl(i + 1);
    const bool hatQuer = i < d.querschnitte.GetSize();
    Zahl(hatQuer ? d.querschnitte[i].teilung : 0);
    Zahl("@2", hatQuer ? d.querschnitte[i].ex.GetValue() * 0.01 : 0.0);
  }
  TabelleEnde();
}

void CRtf_Ausgabe::Lager() {
  CKolumoData& d = *m_pData;
  Absatz(kAbschnitt, Tr("Lagerbeschreibung"));
  Tabelle({2.0, 2.0, 2.0, 2.0, 2.0, 2.0, 2.0, 2.0});
  Kopfzeile({"System", "Knoten", "Z-Pos.", "Lag-P{\\sub x}", "Lag-P{\\sub y}", "Lag-P{\\sub z}", "Lag-M{\\sub x}",
             "Lag-M{\\sub y}"});
  Kopfzeile({"", "Nr.", "[m]", "[kN/m]", "[kN/m]", "[kN/m]", "[kNm/-]", "[kNm/-]"}, false);
  Rumpf();
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    if (!StufeVorhanden(s)) continue;
    CArray<CSupport>& lager = d.supports[std::size_t(s)];
    const int anzahl = int(lager.GetSize());
    double z = 0.0;
    for (int j = 0; j < anzahl; ++j) {
      CSupport& l = lager[j];
      Zelle(StufenWort(s));
      Zahl(j + 1);
      Zahl("@2", z);
      if (j + 1 < anzahl && j < d.nFields()) z += d.fieldLengths[j].GetValue();
      CFormulaNumber* federn[] = {&l.cx, &l.cy, &l.cz, &l.cmx, &l.cmy};
      const double fundament[] = {d.cx, d.cy, d.cz, d.cmx, d.cmy};
      const bool fundamentLager = s == 0 && j + 1 == anzahl;
      for (int f = 0; f < 5; ++f) {
        if (fundamentLager && fundament[f] > 0.0)
          Zahl("@2", fundament[f]);
        else
          Feder(*federn[f]);
      }
    }
  }
  TabelleEnde();
}

void CRtf_Ausgabe::Querschnitte() {
  CKolumoData& d = *m_pData;
  Absatz(kAbschnitt, Tr("Querschnittsbeschreibung"));
  // The entered bars as their number and their total area: a layout of corner bars takes the area of one bar.
  Tabelle({1.8, 1.8, 1.1, 1.3, 1.3, 1.8, 1.8, 1.8, 1.2, 1.8, 1.3});
  Kopfzeile({"Quer-", "Typ", "Bew.", "bx", "dy", "Abstand", "Abstand", "Abstand", "Stäbe", "Grund", "Theta"});
  Kopfzeile({"schnitts", "", "Typ", "D/Da", "Di", "d\\sub{x}", "d\\sub{y}", "d", "Anz.", "As ges.", ""});
  Kopfzeile({"Nr.", "[-]", "[-]", "[cm]", "[cm]", "[cm]", "[cm]", "[cm]", "[-]", "[cm²]", "[°]"}, false);
  Rumpf();
  static const char* const kTypen[] = {"Rechteck", "Kreis", "Kreisring"};
  for (int i = 0; i < d.querschnitte.GetSize(); ++i) {
    CKolumoQuer& q = d.querschnitte[i];
    Zahl(i + 1);
    Zelle(q.type >= 0 && q.type <= 2 ? Tr(kTypen[q.type]).GetString() : "");
    NummerZelle(q.bewType);
    switch (q.type) {
      case 0:
        Zahl("@1", q.bx);
        Zahl("@1", q.dy);
        Zahl("@1", q.bdx);
        Zahl("@1", q.bdy);
        Zelle("");
        break;
      case 1:
        Zahl("@1", q.bx);
        Zelle("");
        Zelle("");
        Zelle("");
        Zahl("@1", q.bdx);
        break;
      case 2:
        Zahl("@1", q.bx);
        Zahl("@1", q.dy);
        Zelle("");
        Zelle("");
        Zahl("@1", q.bdx);
        break;
      default:
        for (int c = 0; c < 5; ++c) Zelle("");
        break;
    }
    if (const int staebe = q.EnteredBarCount())
      Zahl(staebe);
    else
      Zelle("");
    Zahl("@2", q.EnteredArea());
    Zahl("@1", q.theta);
  }
  TabelleEnde();
  // The inner ring that the calculation adds to a ring section's entered bars.
  for (int i = 0; i < d.querschnitte.GetSize(); ++i) {
    const CKolumoQuer& q = d.querschnitte[i];
    if (q.InnerRingBarCount() == 0) continue;
    CString zeile;
    zeile.Format(Tr("Querschnitt %d (Kreisring): Die Berechnung legt zu den eingegebenen %d Stäben einen inneren "
                    "Ring aus %d Stäben mit zusammen %.2f cm² ein."),
                 i + 1, q.EnteredBarCount(), q.InnerRingBarCount(), q.InnerRingArea());
    Absatz(kText, zeile);
  }
  EnsureQuerschnittSkizze();
  RTFX_ResourcePicture(AfxGetResourceHandle(), kQuerschnittSkizze, 6.0, 6.0, 0, 0, 0);
  Absatz(kText, " ");
}

void CRtf_Ausgabe::Materialien() {
  CKolumoData& d = *m_pData;
  const designcode::DesignCode* norm = designcode::ByInput(d.iNorm);
  Absatz(kAbschnitt, Tr("Materialien"));
  if (norm) Absatz(kUnterabschnitt, Tr(norm->concreteHeading));
  Tabelle({1.8, 1.9, 2.1, 1.5, 1.5, 1.3, 1.3, 2.8, 2.2});
  Kopfzeile({"Name", "f{\\sub ck}", "E-Modul"});
  Kopfzeile({"{\\f2 e}{\\sub c2}", "{\\f2 e}{\\sub c2u}", "{\\f2 g}{\\sub G}", "{\\f2 g}{\\sub A}"}, false);
  Kopfzeile({"Schubmodul", "spez. Gewicht"});
  Kopfzeile({"[-]", "[MN/m²]", "[MN/m²]", "[‰]", "[‰]", "[-]", "[-]", "[MN/m²]", "[kN/m³]"}, false);
  Rumpf();
  const Sorte betonSorte = BetonSorte(d);
  const CMateProps beton = HoleMaterial(d.iNorm, "Beton", "Normalbeton", betonSorte.name);
  Zelle(Wortlaut(betonSorte.name));
  for (const char* key : {"fck", "Ecm", "epsilon_c2", "epsilon_c2u"}) Eigenschaft(beton, key);
  Eigenschaft(beton, d.Fertigteil ? "gamma_cgf" : "gamma_cg");
  Eigenschaft(beton, d.Fertigteil ? "gamma_caf" : "gamma_ca");
  Eigenschaft(beton, "G");
  Eigenschaft(beton, "gamma");
  TabelleSchliessen();
  Ersatz("Die Betonsorte", d.sBeton, betonSorte, norm);

  if (norm) Absatz(kUnterabschnitt, Tr(norm->steelHeading));
  Tabelle({2.0, 2.0, 2.0, 2.5});
  Kopfzeile({"Name", "f\\sub yk", "E-Modul", "spez. Gewicht"});
  Kopfzeile({" ", "[MN/m²]", "[MN/m²]", "[kN/m³]"}, false);
  Rumpf();
  const Sorte stahlSorte = StahlSorte(d);
  const CMateProps stahl = HoleMaterial(d.iNorm, "Stahl", "Betonstahl", stahlSorte.name);
  Zelle(Wortlaut(stahlSorte.name));
  for (const char* key : {"fyk", "E", "gamma"}) Eigenschaft(stahl, key);
  TabelleSchliessen();
  Ersatz("Die Stahlsorte", d.sStahl, stahlSorte, norm);
  Absatz(kText, " ");
}

void CRtf_Ausgabe::Belastung() {
  CKolumoData& d = *m_pData;
  Bemerkung(Anmerkung(d, 4));
  Absatz(kAbschnitt, Tr("Belastungsdaten "));

  // Self weight: the specific weight of the concrete grade.
  const float gamma =
      float(std::atof(HoleMaterial(d.iNorm, "Beton", "Normalbeton", BetonSorte(d).name).GetValue("gamma")));
  static const char* const kRichtungen[] = {"X", "Y", "Z"};
  struct Art {
    int ltype;
    const char* wort;
  };
  static const Art kArten[] = {{11, "Eigengewicht"}, {0, "Gleichlast"}, {1, "Trapezlast"}, {10, "Einzellast/Moment"}};
  for (const Art& art : kArten) {
    bool offen = false;
    for (int s = 0; s < CKolumoData::kStages; ++s) {
      for (int i = 0; i < d.loads[std::size_t(s)].GetSize(); ++i) {
        Load& last = d.loads[std::size_t(s)][i];
        if (last.ltype != art.ltype) continue;
        if (!offen) {
          offen = true;
          switch (art.ltype) {
            case 11:
              Tabelle({2.0, 3.0, 1.0, 3.5, 2.0});
              Kopfzeile({"System", "Lastart", "LF", "Text"});
              Kopfzeile({"{\\f2 g}"}, false);
              Kopfzeile({"[-]", "[-]", "[-]", "[-]", "[kN/m³]"}, false);
              break;
            case 0:
            case 1:
              if (art.ltype == 0)
                Tabelle({2.0, 2.0, 1.0, 3.0, 1.8, 1.5, 1.5, 1.7, 1.7});
              else
                Tabelle({2.0, 2.0, 1.0, 2.6, 1.6, 1.5, 1.5, 1.6, 1.6, 1.6});
              Kopfzeile({"System", "Lastart", "LF", "Text", "Knoten", "Rtg.", "Abst.", "Länge"});
              if (art.ltype == 0) {
                Kopfzeile({"P"});
                Kopfzeile({"[-]", "[-]", "[-]", "[-]", "Nr.", "[-]", "[m]", "[m]", "[kN/m]"}, false);
              } else {
                Kopfzeile({"P Start", "P Ende"});
                Kopfzeile({"[-]", "[-]", "[-]", "[-]", "Nr.", "[-]", "[m]", "[m]", "[kN]", "[kN]"}, false);
              }
              break;
            default:
              // "Einzellast/Moment" is one word to a reader: its column holds it on one line, also in the wider
              // sans serif that stands in for Arial where Arial is missing; the load text wraps between its words
              Tabelle({2.03, 3.22, 0.7, 2.0, 1.56, 1.498, 1.498, 1.498, 1.498, 1.498});
              Kopfzeile({"System", "Lastart", "LF", "Text", "Knoten", "P{\\sub x}", "P{\\sub y}", "P{\\sub z}",
                         "M{\\sub x}", "M{\\sub y}"});
              Kopfzeile({"[-]", "[-]", "[-]", "[-]", "[Nr.]", "[kN]", "[kN]", "[kN]", "[kNm]", "[kNm]"}, false);
              break;
          }
          Rumpf();
        }
        Zelle(StufenWort(s));
        Zelle(Tr(art.wort));
        Zahl(last.lc);
        Zelle(Wortlaut(last.desc));
        if (art.ltype == 11) {
          ZahlFloat("@2", gamma);
          continue;
        }
        NummerZelle(last.node);
        if (art.ltype == 10) {
          const double p = last.val0.GetValue();
          const double m = last.val1.GetValue();
          double werte[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
          if (last.direction == 0) {
            werte[0] = p;
            werte[4] = m;
          } else if (last.direction == 1) {
            werte[1] = p;
            werte[3] = m;
          } else if (last.direction == 2) {
            werte[2] = p;
          }
          for (double wert : werte) Zahl("@2", wert);
          continue;
        }
        if (last.direction >= 0 && last.direction <= 2) Zelle(kRichtungen[last.direction]);
        Zahl("@2", last.offset);
        Zahl("@2", last.length);
        Zahl("@2", last.val0);
        if (art.ltype == 1) Zahl("@2", last.val1);
      }
    }
    if (offen) TabelleEnde();
  }
}

void CRtf_Ausgabe::Lastkollektive() {
  CKolumoData& d = *m_pData;
  Absatz(kEingabeTitel, Tr("Lastkollektive"));
  Tabelle({2.0, 2.5, 3.3, 8.2});
  Kopfzeile({"System"}, false);
  Kopfzeile({"Kollektivnr.", "Nachweis", "Bildungskriterium"});
  Rumpf();
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    const CLKData& lk = d.lastUeberlagerungBZ[std::size_t(s)];
    for (int i = 0; i < lk.kombinationen.GetSize(); ++i) {
      const CKombination& k = lk.kombinationen[i];
      Zelle(StufenWort(s));
      Zahl(i + 1);
      Zelle(Wortlaut(k.art));
      Zelle(Wortlaut(k.regelUser.IsEmpty() ? k.regel : k.regelUser));
    }
  }
  TabelleEnde();
}

void CRtf_Ausgabe::Vorverformungen() {
  CKolumoData& d = *m_pData;
  Bemerkung(Anmerkung(d, 3));
  Absatz(kEingabeTitel, Tr("Vorverformungen"));
  static const char* const kStufen[] = {"\\b Endsystem:", "\\b Transport:", "\\b Bauzustand 1:", "\\b Bauzustand 2:"};
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    if (!StufeVorhanden(s)) continue;
    Absatz(kText, Tr(kStufen[s]));
    if (s == 1) {
      Absatz(kText, Tr("Im Transportzustand werden keine Vorverformungen "
                       "berücksichtigt!"));
      continue;
    }
    CKolumoVorver& v = d.vorver[std::size_t(s)];
    CString zeile;
    if (v.type == 0 || v.type == 2) {
      Absatz(kText, Tr("Globale Schiefstellung in X, in Y oder in X und Y. "
                       "Diese wird dann in allen Lastkollektiven"));
      Absatz(kText, Tr("nach TH. II Ordnung gleich angesetzt."));
      if (v.type == 2) Absatz(kText, Tr(" Zusätzliche Berücksichtigung von Kriechverformungen."));
      // The values the calculation applies: the typed components, or the inclination 1/n of the record (the
      // typed share `invw` does not enter it).
      if (v.bDirekteVorgabe) {
        zeile.Format(Tr("Explizite Vorgabe der Schiefstellung {\\f2 y} : um "
                        "die x-Achse = %.2lf %%, um die "
                        "y-Achse = %.2lf %%"),
                     v.umx.GetValue(), v.umy.GetValue());
      } else {
        CString wert;
        if (v.Schiefstellung != 0)
          wert.Format("1/%d = %.3lf %%", v.Schiefstellung, 100.0 * v.AppliedInclination());
        else
          wert = "0 %";
        zeile.Format(Tr("Globale Schiefstellung {\\f2 y} = %s, die in "
                        "Richtung der extr. resultierenden "
                        "Verformung angesetzt wird."),
                     wert.GetString());
      }
      Absatz(kText, zeile);
    } else if (v.type == 1 || v.type == 3) {
      Absatz(kText, Tr("Affin zur Knickfigur. Diese wird in jedem "
                       "Lastkollektiv nach TH. II Ordnung neu berechnet."));
      if (v.type == 3) Absatz(kText, Tr("Zusätzliche Berücksichtigung von Kriechverformungen."));
      if (v.bAusmitte != 0)
        zeile.Format(Tr("Explizite Vorgabe der Vorverformung: Stützenlänge/%s"),
                     Teiler(v.AppliedModeDivisor()).GetString());
      else
        zeile.Format(Tr("Im Bezugsknoten %s  e{\\sub u} = %.2lf cm"), Nummer(v.IDPunkt).GetString(),
                     v.ausmitte.GetValue());
      Absatz(kText, zeile);
      Absatz(kText, Tr("Die Richtung ergibt sich aus der zugehörigen "
                       "Verformung aus der Regelbemessung"));
      Absatz(kText, Tr("und dem Verhältnis der niedrigsten beiden Eigenwerte"));
    }
  }
}

void CRtf_Ausgabe::Kriechen() {
  CKolumoData& d = *m_pData;
  if (d.vorver[0].type <= 1) return;
  Absatz(kEingabeTitel, Tr("Kriechen"));
  CString zeile;
  zeile.Format(Tr("Kriechen im Endsystem mit {\\f2 j} = %.2f"),
               d.kriechen.GetSize() > 0 ? d.kriechen[0].KriechZahl : 0.0);
  Absatz(kText, zeile);
  Tabelle({2.0, 2.0});
  Kopfzeile({"Lastfall", "Faktor"});
  Kopfzeile({"[Nr.]", "[-]"}, false);
  Rumpf();
  for (int i = 0; i < d.kriechen.GetSize(); ++i) {
    Zahl(i + 1);
    Zahl("@2", d.kriechen[i].Faktor);
  }
  TabelleEnde();
}
