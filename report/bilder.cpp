// The report's system pictures and result diagrams, drawn by the column's
// drawing code into the picture library's controls and inserted from the files
// the controls write beside the report.
#include "report/bilder.h"

#include <algorithm>
#include <vector>

#include "column/kolumodata.h"
#include "column_ui/kolumodraw.h"
#include "framework_ui/labelplacer.h"
#include "framework_ui/plotwerk.h"
#include "platform/pictor/pictor.h"
#include "platform/rtfx/rtfx.h"
#include "report/rtfausgabe.h"
#include "report/rtfhilfe.h"

using namespace report;

namespace {

constexpr int kBild2DBreite = 500;              // pixels of the result pictures' control
constexpr double kSeitenBreiteCm = 17.0;        // the page's text width
constexpr double kSchriftCm = 7.5 / 72 * 2.54;  // 7.5 pt: printed texts stay above 7 pt
constexpr double kSchriftJeHoehe = 0.7;         // the 2D control's font is 0.7 text heights
constexpr double kCmJeHoehe = 3.6;              // across, per column height: room for a value label beside each diagram
constexpr double kSaeuleCm = 8.0;               // the column's printed length that its heights can be read on

}  // namespace

namespace report {

Drucklage DrucklageBerechnen(double hoehe, double ende, double bildBreite) {
  Drucklage l{};
  const double basis = ende + 3 * hoehe / 8;
  l.breiteCm = std::min(kSeitenBreiteCm, std::max(bildBreite, kCmJeHoehe * (basis / hoehe + 0.3)));
  if (hoehe <= 0 || basis <= 0) {
    l.breiteCm = bildBreite > 0 ? bildBreite : kSeitenBreiteCm;
    l.schriftHoehe = 0;
    l.streckung = 1;
    l.rahmenEnde = l.achse = ende;
    return l;
  }
  // The frame gains 1.5 font heights for the height axis; the font height itself depends on the frame's width:
  // W = basis + 1.5 em with em = kSchriftCm / (cm per unit) and cm per unit = f breite / W.
  const double f = pictor::PrintedCmPerUnit(kBild2DBreite, 1.0, 1.0);
  const double breite = basis / (1.0 - 1.5 * kSchriftCm / (f * l.breiteCm));
  const double cmJeEinheit = pictor::PrintedCmPerUnit(kBild2DBreite, breite, l.breiteCm);
  const double em = kSchriftCm / cmJeEinheit;
  l.schriftHoehe = em / kSchriftJeHoehe;
  l.achse = ende + 1.0 * em;
  l.rahmenEnde = ende + 1.5 * em;
  l.streckung = std::max(1.0, kSaeuleCm / (cmJeEinheit * hoehe));
  return l;
}

void SkalenBerechnen(const CKolumoData& d, BildLage& lage) {
  for (int art = 0; art < 4; ++art) lage.skalaMin[art] = lage.skalaMax[art] = 0.0;
  for (const auto& r : d.ergebnisse.Schnittgroessen) {
    const bool gezeichnet = ((r->Typ == 0 || r->Typ == 1) && d.graf_Regel_Schnitt) ||
                            (r->Typ == 2 && d.graf_Kriech_Schnitt) || (r->Typ == 3 && d.graf_KNSW_Schnitt);
    if (!gezeichnet) continue;
    SkalaErweitern(r->Mx, lage.skalaMin[kMoment], lage.skalaMax[kMoment]);
    SkalaErweitern(r->My, lage.skalaMin[kMoment], lage.skalaMax[kMoment]);
    SkalaErweitern(r->Vx, lage.skalaMin[kQuerkraft], lage.skalaMax[kQuerkraft]);
    SkalaErweitern(r->Vy, lage.skalaMin[kQuerkraft], lage.skalaMax[kQuerkraft]);
    SkalaErweitern(r->N, lage.skalaMin[kNormalkraft], lage.skalaMax[kNormalkraft]);
  }
  lage.skalenBekannt = true;
}

template <class View>
void Bild<View>::Zerstoere() {
  if (!m_erzeugt) return;
  m_erzeugt = false;
  m_control = nullptr;
  Pictor_Destroy();
}

template class Bild<CPlotwerk3D>;
template class Bild<CPlotwerk2D>;

Bild3D::Bild3D() {
  if (Pictor_Create3D(300, 500, 1)) m_control = Pictor_GetPlotwerk3DPtr();
}

Bild2D::Bild2D() {
  if (Pictor_Create2D(kBild2DBreite, 200, 1)) m_control = Pictor_GetPlotwerk2DPtr();
}

}  // namespace report

void CRtf_Ausgabe::SystemBilder(CPlotwerk3D* view3D) {
  CKolumoData& d = *m_pData;
  // One column per stage present: an absent stage's empty column would only push the pictures apart.
  std::vector<int> stufen;
  for (int s = 0; s < CKolumoData::kStages; ++s)
    if (StufeVorhanden(s)) stufen.push_back(s);
  if (stufen.empty()) return;
  const double breite = stufen.size() <= 2 ? 6.0 : stufen.size() == 3 ? 5.0 : 4.0;
  const std::vector<double> breiten(stufen.size(), breite);
  RTFX_BeginTable(int(stufen.size()), breiten.data());
  RTFX_HeaderRow(0);

  static const char* const kDateiWorte[] = {"Endsystem", "Transport", "Bauzustand1", "Bauzustand2"};
  for (int s : stufen) {
    if (!view3D) {
      Zelle("");
      continue;
    }
    d.aktBauZustand = s;
    view3D->Refresh(1, 1, 1);
    Zeichne3D(d, *view3D);
    const std::string name = Tr(kDateiWorte[s]).str() + ".bmp";
    const std::string datei = EigenesBild(name);
    view3D->SaveImage(datei.c_str());
    RTFX_CellPicture(datei.c_str(), 1, breite, 0.0);
    BildAblegen(datei, name);
  }
  static const char* const kTitel[] = {"\\qc Endsystem", "\\qc Transport", "\\qc Bauzustand 1", "\\qc Bauzustand 2"};
  for (int s : stufen) Zelle(Tr(kTitel[s]).GetString());
  TabelleEnde();
  d.aktBauZustand = 0;
}

void CRtf_Ausgabe::DiagrammRahmen(double hoehe, double ende, CPlotwerk2D* view2D) {
  if (!view2D) return;
  if (!m_bild) m_bild = std::make_shared<BildLage>();
  if (!m_bild->skalenBekannt) SkalenBerechnen(*m_pData, *m_bild);
  // Legible when printed: the texts' height follows from the width the picture is placed at, and the column is
  // stretched along its axis so that its heights can be told apart.
  const Drucklage l = DrucklageBerechnen(hoehe, ende, m_pData->BildBreite);
  m_bild->breiteCm = l.breiteCm;
  m_bild->schriftHoehe = l.schriftHoehe;
  m_bild->streckung = l.streckung;
  m_bild->beschriftung = std::make_shared<CLabelPlacer>(150);
  view2D->Clear();
  view2D->Invoke39(0, 0, 0, -l.streckung, -1, 0);
  view2D->SetStyle(0, 4, 3, 0);
  view2D->AddRectangle(0, -3 * hoehe / 8, hoehe, l.rahmenEnde);
  view2D->Invoke55();
  if (l.schriftHoehe > 0) {
    CDiagrammEingabe achse = DiagrammEingabe(*m_pData, {}, {}, false);
    achse.hoehe = hoehe;
    achse.schriftHoehe = l.schriftHoehe;
    achse.streckung = l.streckung;
    ZeichneHoehenachse(achse, l.achse, -3 * hoehe / 8, *view2D);
  }
}

void CRtf_Ausgabe::Diagramm(const std::vector<double>& stationen, const std::vector<double>& werte, double offset,
                            CPlotwerk2D* view2D, const char* titel, int art) {
  if (!view2D) return;
  CDiagrammEingabe e = DiagrammEingabe(*m_pData, stationen, werte, false);
  if (m_bild) {
    e.schriftHoehe = m_bild->schriftHoehe;
    e.streckung = m_bild->streckung;
    e.beschriftung = m_bild->beschriftung.get();
    if (art >= kMoment && art <= kNormalkraft) {
      e.skalaMin = m_bild->skalaMin[art];
      e.skalaMax = m_bild->skalaMax[art];
      e.einheit = art == kMoment ? "kNm" : "kN";
    }
  }
  ZeichneDiagramm(e, offset, *view2D, titel);
}

void CRtf_Ausgabe::DiagrammEinfuegen(CPlotwerk2D* view2D, const std::string& name, const char* caption) {
  if (!view2D) return;
  view2D->Refresh();
  // The control keeps the drawing in its own format ("PLOTWERK-2D" text, ".p2d"), not as a Windows
  // metafile; the file's name says so and the picture library turns it into PNG for the report.
  const std::string datei = EigenesBild(name);
  view2D->SetTitle(datei.c_str());
  RTFX_Picture(datei.c_str(), 1, m_bild && m_bild->breiteCm > 0 ? m_bild->breiteCm : m_pData->BildBreite, 0.0);
  BildAblegen(datei, name);
  Absatz(kBildTitel, caption);
}
