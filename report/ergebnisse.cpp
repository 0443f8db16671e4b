// The results chapter: construction rules, the governing case of every
// cross-section, the walks over the combinations of each verification, and the
// required reinforcement.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "column/kolumodata.h"
#include "platform/rtfx/rtfx.h"
#include "designcode/designcode.h"
#include "designcode/requirement.h"
#include "report/rtfausgabe.h"
#include "report/rtfhilfe.h"

using namespace report;

namespace {

// the combination's formula as typed or generated, shown character for character
CString Formation(const CKombination& k) { return Wortlaut(k.regelUser.IsEmpty() ? k.regel : k.regelUser); }

CString StufenLabel(int stage) {
  static const char* const kLabel[] = {"\\b Endsystem ", "\\b Transport ", "\\b Bauzustand 1 ", "\\b Bauzustand 2 "};
  return Tr(kLabel[stage]);
}

// The level -4 heading of one combination and the empty paragraph after it.
void KombiTitel(const CString& label, const char* format, int nummer, const char* formation) {
  CString text;
  text.Format(Tr(format), nummer, formation);
  Absatz(kUnterabschnitt, label + text);
  Absatz(kText, "");
}

// Every "ErfAs" entry as one row, in record and row order.
struct ErfAsZeile {
  double kote;
  double as;
  int quer;
  int lk;
  int typ;
};

std::vector<ErfAsZeile> ErfAsZeilen(const CKolumoData& d) {
  std::vector<ErfAsZeile> zeilen;
  for (const auto& r : d.ergebnisse.ErfAs) {
    const std::size_t n = std::min({r->Kote.size(), r->As.size(), r->QuerNr.size(), r->LKNr.size(), r->NachTyp.size()});
    for (std::size_t i = 0; i < n; ++i)
      zeilen.push_back({r->Kote[i], r->As[i], r->QuerNr[i], r->LKNr[i], r->NachTyp[i]});
  }
  return zeilen;
}

}  // namespace

void CRtf_Ausgabe::KonstruktiveRegeln() {
  CKolumoData& d = *m_pData;
  // One list per section kind: the rectangles by their layout, the round sections, and the rings again for their
  // inner ring.
  enum { kRund = 3, kInnenring = 4, kListen = 5 };
  CString listen[kListen];
  for (int i = 0; i < d.querschnitte.GetSize(); ++i) {
    const CKolumoQuer& q = d.querschnitte[i];
    const int liste = q.type == 1 || q.type == 2 ? kRund : q.type == 0 ? q.bewType : -1;
    if (liste >= 0 && liste <= kRund) listen[liste].AppendFormat("%d,", i + 1);
    if (q.type == 2) listen[kInnenring].AppendFormat("%d,", i + 1);
  }
  Absatz(kText, " ");
  Absatz(kText, Tr("\\b Konstruktive Richtlinien werden wie folgt berücksichtigt:"));
  const designcode::DesignCode* code = designcode::ByInput(d.iNorm);
  if (!code) return;
  // The lines state what the engine applies: its minimum rule and, per section kind, its least bars.
  Absatz(kText, designcode::MinimumRuleText(*code).c_str());
  for (int liste = 0; liste < kListen; ++liste) {
    if (listen[liste].IsEmpty()) continue;
    const CString nummern = listen[liste].Left(listen[liste].GetLength() - 1);
    CString zeile;
    if (liste == kInnenring) {
      zeile.Format(Tr("Kreisring: dazu innerer Ring aus %d Stäben mit zusammen %.2f cm² für Querschnitt: %s"),
                   designcode::kRoundRingBars, designcode::kRoundLeastArea, nummern.GetString());
    } else {
      const designcode::LeastBars staebe = designcode::LeastBarsOf(*code, liste == kRund ? 1 : 0, liste);
      zeile.Format(Tr("Mindestens %d D%d für Querschnitt: %s"), staebe.count, staebe.diameterMm, nummern.GetString());
    }
    Absatz(kText, zeile);
  }
}

void CRtf_Ausgabe::MassgebendeFaelle() {
  CKolumoData& d = *m_pData;
  const std::size_t n = std::size_t(std::max<INT_PTR>(d.querschnitte.GetSize(), 0));
  m_massgLK.assign(n, 0);
  m_massgBZ.assign(n, 0);
  m_massgTyp.assign(n, 0);
  m_massgAs.assign(n, 0.0);
  m_massgText.assign(n, CString());

  int nEd[CKolumoData::kStages] = {};
  int nEdAll = 0;
  auto zaehle = [&](int s, const char* art) {
    int anzahl = 0;
    if (!StufeVorhanden(s)) return 0;
    for (const CKombination& k : d.lastUeberlagerungBZ[std::size_t(s)].kombinationen) anzahl += k.art == art ? 1 : 0;
    return anzahl;
  };
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    nEd[s] = zaehle(s, "Ed");
    nEdAll += nEd[s];
  }

  const std::vector<ErfAsZeile> zeilen = ErfAsZeilen(d);
  static const char* const kStufen[] = {"Endsystem ", "Transport ", "Bauzustand 1 ", "Bauzustand 2 "};
  static const char* const kArten[] = {"TR Bruch Ed",     "TR Bruch Ed,A", "TR Verformung Ed",
                                       "GB Riss Ed,perm", "Brand Ed,A",    "TR Verformung Ed,A"};
  for (std::size_t q = 0; q < n; ++q) {
    const ErfAsZeile* best = nullptr;
    for (const ErfAsZeile& z : zeilen)
      if (z.quer == int(q) + 1 && (!best || z.as >= best->as)) best = &z;
    if (!best) continue;

    int stufe = 0;
    int nummer = best->lk;
    switch (best->typ) {
      case 0:
      case 2:
      case 3: {
        const char* art = best->typ == 3 ? "Ed,perm" : "Ed";
        int rest = best->lk;
        for (int s = 0; s < CKolumoData::kStages; ++s) {
          const int anzahl = zaehle(s, art);
          if (rest <= anzahl) {
            stufe = s;
            nummer = rest;
            break;
          }
          rest -= anzahl;
        }
        break;
      }
      case 1:
      case 5: {
        int c = 0;
        bool gefunden = false;
        for (int s = 0; s < CKolumoData::kStages && !gefunden; ++s) {
          if (!StufeVorhanden(s) || (s == 0 && !d.HatAussergewEinwirkung(0))) continue;
          // Counted within the stage: the stage's combination list holds its "Ed"
          // combinations first.
          int cStufe = 0;
          for (const CKombination& k : d.lastUeberlagerungBZ[std::size_t(s)].kombinationen) {
            if (k.art != "Ed,A") continue;
            ++c;
            ++cStufe;
            if (nEdAll + c == best->lk) {
              stufe = s;
              nummer = nEd[s] + cStufe;
              gefunden = true;
              break;
            }
          }
        }
        break;
      }
      default: break;
    }
    m_massgBZ[q] = stufe;
    m_massgLK[q] = nummer;
    m_massgTyp[q] = best->typ;
    m_massgAs[q] = best->as;
    if (best->typ >= 0 && best->typ <= 5) m_massgText[q] = Tr(kStufen[stufe]) + Tr(kArten[best->typ]);
  }
}

void CRtf_Ausgabe::ErforderlicheBewehrung(CPlotwerk2D* view2D) {
  Absatz(kText, Tr("\\b (mindestens feldweise einlegen !)"));
  Legende(
      "Einzulegen ist die eingegebene Bewehrung, wo ein Nachweis mehr erforderte erhöht; "
      "erf. A{\\sub s} in den Tabellen der Kombinationen ist, was jede Kombination erfordert.");
  // Beside what must be built, the entered bars and whether they suffice: a raise is never left for the reader
  // to work out.
  const std::vector<FieldReinforcement> felder = CompareFieldReinforcement(*m_pData);
  // the worst crushing strut of each field: no reinforcement makes such a field work; of struts equally bad to
  // round-off (the two supports of a symmetric field) the first, whatever the last digits of the analysis
  const std::vector<StrutFailure> versagen = StrutFailures(m_pData->ergebnisse);
  auto strebe = [&](int feld) {
    const StrutFailure* schlimmste = nullptr;
    for (const StrutFailure& f : versagen)
      if (f.field == feld && (!schlimmste || f.utilisation > schlimmste->utilisation * (1.0 + 1e-9))) schlimmste = &f;
    return schlimmste;
  };
  // The fields whose fire tables are not met; a code without tables, or a failed record that names no field, fails
  // every field.
  const auto& brand = m_pData->ergebnisse.Brandschnittgroessen;
  const std::vector<FireFailure> brandFelder = FireFailures(m_pData->ergebnisse);
  const designcode::DesignCode* code = designcode::ByInput(m_pData->iNorm);
  const bool brandTabellen = code && code->fireRatioPercent > 0;
  const bool brandGanz = std::any_of(brand.begin(), brand.end(),
                                     [&](const auto& r) { return !r->OK && (!brandTabellen || r->FeldNr.empty()); });
  auto brandVersagt = [&](int feld) {
    return brandGanz ||
           std::any_of(brandFelder.begin(), brandFelder.end(), [&](const FireFailure& f) { return f.field == feld; });
  };
  Tabelle({1.2, 1.3, 4.5, 2.6, 2.6, 2.6, 2.2});
  Kopfzeile({"Feld", "Komb.", "Nachweis", "\\qc Anfang", "\\qc Ende", "\\qc eingegeben", "Eingabe"});
  Kopfzeile({" ", " ", " "}, false);
  // What must be built: the steel after the run, which starts from the entered bars. The per-combination
  // requirement stands in the result tables; naming both "erf." made them seem to disagree.
  Kopfzeile({"\\qc einzulegende A{\\sub s} [cm{\\super 2}]", "\\qc einzulegende A{\\sub s} [cm{\\super 2}]",
             "\\qc A{\\sub s} [cm{\\super 2}]"});
  Kopfzeile({" "}, false);
  Rumpf();
  for (std::size_t q = 0; q < m_massgLK.size(); ++q) {
    Zahl(int(q) + 1);
    Zahl(m_massgLK[q]);
    CString nachweis = m_massgText[q];
    if (strebe(int(q) + 1)) nachweis += Tr("; Schubnachweis nicht erfüllt");
    if (brandGanz && !brandTabellen)
      nachweis += Tr("; Brandschutznachweis nicht möglich");
    else if (brandVersagt(int(q) + 1))
      nachweis += Tr("; Brandschutznachweis nicht erfüllt");
    Zelle(nachweis);
    Zahl("@2", m_massgAs[q]);
    Zahl("@2", m_massgAs[q]);
    if (q < felder.size()) {
      const FieldReinforcement& f = felder[q];
      if (f.innerBars > 0) {
        CString summe;  // the entered bars and a ring's inner ring, both built
        summe.Format("%.2f + %.2f", f.entered, f.innerRing);
        Zelle(summe);
      } else {
        Zahl("@2", f.entered);
      }
      Zelle(Tr(f.suffices ? "reicht aus" : "reicht nicht aus"));
    } else {
      Zelle("");
      Zelle("");
    }
  }
  TabelleEnde();
  for (std::size_t q = 0; q < m_massgLK.size(); ++q) {
    const StrutFailure* f = strebe(int(q) + 1);
    if (!f) continue;
    CString zeile;
    zeile.Format(Tr("\\b Feld %d: Schubnachweis nicht erfüllt: Die Betondruckstrebe versagt (Kote %.2f m, "
                    "V{\\sub Ed} = %.1f kN, V{\\sub Rd,max} = %.1f kN, Ausnutzung %.2f > 1); Bügel helfen nicht, "
                    "bitte Querschnitt oder Betonfestigkeit ändern."),
                 f->field, f->kote, f->ved, f->vrdmax, designcode::ExceedingRatio(f->utilisation));
    Absatz(kText, zeile);
  }
  for (const FieldReinforcement& f : felder) {
    CString zeile;
    if (f.innerBars > 0 && f.suffices)
      zeile.Format(Tr("Feld %d: Zur eingegebenen Bewehrung (%d Stäbe, %.2f cm²) legt die Berechnung einen inneren "
                      "Ring ein (%d Stäbe, %.2f cm²); zusammen %.2f cm²."),
                   f.field, f.bars, f.entered, f.innerBars, f.innerRing, f.entered + f.innerRing);
    else if (f.innerBars > 0)
      zeile.Format(Tr("\\b Feld %d: Die eingegebene Bewehrung (%d Stäbe, %.2f cm²) mit dem inneren Ring der "
                      "Berechnung (%d Stäbe, %.2f cm²) reicht nicht aus; die Bemessung hat sie auf %.2f cm² erhöht."),
                   f.field, f.bars, f.entered, f.innerBars, f.innerRing, f.required);
    else if (!f.suffices)
      zeile.Format(Tr("\\b Feld %d: Die eingegebene Bewehrung (%d Stäbe, %.2f cm²) reicht nicht aus; die Bemessung "
                      "hat sie auf %.2f cm² erhöht."),
                   f.field, f.bars, f.entered, f.required);
    else
      continue;
    Absatz(kText, zeile);
  }
  ErfAsDiagramm(view2D);
}

void CRtf_Ausgabe::ErfAsDiagramm(CPlotwerk2D* view2D) {
  CKolumoData& d = *m_pData;
  const std::vector<ErfAsZeile> zeilen = ErfAsZeilen(d);
  if (!d.graf_ErfAs || zeilen.empty()) return;
  double hoehe = zeilen.back().kote;
  if (hoehe <= 0.0)
    for (const ErfAsZeile& z : zeilen) hoehe = std::max(hoehe, z.kote);
  std::vector<double> stationen;
  std::vector<double> werte;
  for (const ErfAsZeile& z : zeilen) {
    stationen.push_back(z.kote);
    werte.push_back(z.as);
  }
  DiagrammRahmen(hoehe, 2 * hoehe - hoehe / 8, view2D);
  Diagramm(stationen, werte, hoehe + hoehe / 8, view2D, Tr("erf. As [cm²]"));
  DiagrammEinfuegen(view2D, Tr("Bewehrung").str() + ".p2d", Tr("Bewehrung"));
}

bool CRtf_Ausgabe::GiltFilter(int stage, int nummer, int typ1, int typ2) const {
  const int ausgabeTyp = m_pData->AusgabeTyp;
  if (ausgabeTyp == 0) return true;
  for (std::size_t q = 0; q < m_massgLK.size(); ++q) {
    if (m_massgBZ[q] != stage || m_massgLK[q] != nummer) continue;
    if (ausgabeTyp != 2 || m_massgTyp[q] == typ1 || m_massgTyp[q] == typ2) return true;
  }
  return false;
}

void CRtf_Ausgabe::KombinationsDurchlauf(int kapitel, CPlotwerk2D* view2D) {
  CKolumoData& d = *m_pData;
  static const char* const kTitel[2][2] = {{"\\b Ergebnisse Grenzzustand der Tragfähigkeit(Bruch E{\\sub d})",
                                            "\\b Ergebnisse Grenzzustand der Tragfähigkeit(Bruch E{\\sub d,A})"},
                                           {"\\b Ergebnisse Grenzzustand der Tragfähigkeit(Verformung E{\\sub d})",
                                            "\\b Ergebnisse Grenzzustand der Tragfähigkeit(Verformung E{\\sub "
                                            "d,A})"}};
  int k = 0;
  for (int pass = 0; pass < 2; ++pass) {
    const char* art = pass == 0 ? "Ed" : "Ed,A";
    const int typ = kapitel == 0 ? pass : 3;
    const int massgTyp = kapitel == 0 ? pass : (pass == 0 ? 2 : 5);
    bool titel = false;
    for (int s = 0; s < CKolumoData::kStages; ++s) {
      if (!StufeVorhanden(s) || (pass == 1 && s == 0 && !d.HatAussergewEinwirkung(0))) continue;
      const CLKData& lk = d.lastUeberlagerungBZ[std::size_t(s)];
      for (int i = 0; i < lk.kombinationen.GetSize(); ++i) {
        if (lk.kombinationen[i].art != art) continue;
        ++k;
        if (!GiltFilter(s, i + 1, massgTyp, massgTyp)) continue;
        if (!titel) Absatz(kAbschnitt, Tr(kTitel[kapitel][pass]));
        titel = true;
        KombiTitel(StufenLabel(s), pass == 0 ? "LK %d:%s (Ed)" : "LK %d:%s (Ed,A)", i + 1,
                   Formation(lk.kombinationen[i]));
        if (kapitel == 0) {
          if (d.num_Regel_Lager) Lagerkraefte(k, typ, s);
          if (d.num_Regel_Verform) Verformungen(k, typ, s, 0);
          if (d.num_Regel_Schnitt) Stabschnittkraefte(k, typ, s, 0, d.graf_Regel_Schnitt, view2D);
        } else {
          if (d.num_KNSW_Eigen) Eigenwerte(k, 4, s);
          if (d.num_KNSW_Lager) Lagerkraefte(k, typ, s);
          if (d.num_KNSW_Verform) Verformungen(k, typ, s, 2);
          if (d.num_KNSW_Schnitt) Stabschnittkraefte(k, typ, s, 2, d.graf_KNSW_Schnitt, view2D);
          if (d.num_KNSW_Bruch) Bruchnachweis(k, typ, s);
          if (d.num_KNSW_Dehn) Dehnungsnachweis(k, typ, s);
          if (d.num_KNSW_Schub) Schubnachweis(k, typ, s);
        }
      }
    }
  }
}

void CRtf_Ausgabe::ErgebnisseBruch(CPlotwerk2D* view2D) { KombinationsDurchlauf(0, view2D); }

void CRtf_Ausgabe::ErgebnisseVerformung(CPlotwerk2D* view2D) { KombinationsDurchlauf(1, view2D); }

void CRtf_Ausgabe::ErgebnisseKriechen(CPlotwerk2D* view2D) {
  CKolumoData& d = *m_pData;
  if (d.vorver[0].type <= 1) return;
  Absatz(kAbschnitt, Tr("Ergebnisse Kriechen"));
  CString zeile;
  zeile.Format(Tr("Kriechen im Endsystem mit {\\f2 j} = %.2f"),
               d.kriechen.GetSize() > 0 ? d.kriechen[0].KriechZahl : 0.0);
  Absatz(kUnterabschnitt, zeile);
  if (!StufeVorhanden(0)) return;
  Absatz(kText, "");
  if (d.num_Kriech_Lager) Lagerkraefte(1, 2, 0);
  if (d.num_Kriech_Verform) Verformungen(1, 2, 0, 1);
  if (d.num_Kriech_Schnitt) Stabschnittkraefte(1, 2, 0, 1, d.graf_Kriech_Schnitt, view2D);
}

void CRtf_Ausgabe::ErgebnisseRiss() {
  CKolumoData& d = *m_pData;
  int k = 0;
  for (int s = 0; s < CKolumoData::kStages; ++s) {
    if (!StufeVorhanden(s)) continue;
    const CLKData& lk = d.lastUeberlagerungBZ[std::size_t(s)];
    for (int i = 0; i < lk.kombinationen.GetSize(); ++i) {
      if (lk.kombinationen[i].art != "Ed,perm") continue;
      if (++k == 1) Absatz(kAbschnitt, Tr("\\b Ergebnisse Grenzzustand der Gebrauchstauglichkeit"));
      KombiTitel(StufenLabel(s), "LK %d:%s (Ed,perm)", i + 1, Formation(lk.kombinationen[i]));
      Rissnachweis(k, 3, s);
    }
  }
}

void CRtf_Ausgabe::ErgebnisseBrand() {
  CKolumoData& d = *m_pData;
  if (!StufeVorhanden(0)) return;
  const CLKData& lk = d.lastUeberlagerungBZ[0];
  int k = 0;
  for (const CKombination& komb : lk.kombinationen) k += komb.art == "Ed" ? 1 : 0;
  const bool aussergewoehnlich = d.HatAussergewEinwirkung(0);
  bool titel = false;
  for (int i = 0; i < lk.kombinationen.GetSize(); ++i) {
    if (lk.kombinationen[i].art != "Ed,A") continue;
    ++k;
    if (d.AusgabeTyp == 2) {
      bool massgebend = false;
      for (std::size_t q = 0; q < m_massgLK.size(); ++q)
        massgebend = massgebend || (m_massgTyp[q] == 4 && m_massgBZ[q] == 0 && m_massgLK[q] == i + 1);
      if (!massgebend) continue;
    }
    CString formation = Formation(lk.kombinationen[i]);
    if (aussergewoehnlich) d.HoleKombiFormel(0, i, formation);
    if (!titel) Absatz(kAbschnitt, Tr("\\b Ergebnisse Brandschutznachweis "));
    titel = true;
    KombiTitel(Tr("\\b Endsystem "), "LK %d:%s (Ed,A)", i + 1, formation);
    Brandschutz(k, 1, 0);
  }
}

void CRtf_Ausgabe::ErgebnisseFundament() {
  CKolumoData& d = *m_pData;
  int k = 0;
  for (int pass = 0; pass < 2; ++pass) {
    const char* art = pass == 0 ? "Ed" : "Ed,A";
    for (int s = 0; s < CKolumoData::kStages; ++s) {
      if (!StufeVorhanden(s) || (pass == 1 && s == 0 && !d.HatAussergewEinwirkung(0))) continue;
      const CLKData& lk = d.lastUeberlagerungBZ[std::size_t(s)];
      for (int i = 0; i < lk.kombinationen.GetSize(); ++i) {
        if (lk.kombinationen[i].art != art) continue;
        ++k;
        KombiTitel(StufenLabel(s), pass == 0 ? "LK %d:%s (Ed)" : "LK %d:%s (Ed,A)", i + 1,
                   Formation(lk.kombinationen[i]));
        Fundamentlasten(k, pass, s);
      }
    }
  }
}
