// The report's system pictures and result diagrams, drawn by the column's
// drawing code into the picture library's controls and inserted from the files
// the controls write beside the report.
#include "report/bilder.h"

#include <vector>

#include "column/kolumodata.h"
#include "column_ui/kolumodraw.h"
#include "framework_ui/plotwerk.h"
#include "platform/pictor/pictor.h"
#include "platform/rtfx/rtfx.h"
#include "report/rtfausgabe.h"
#include "report/rtfhilfe.h"

using namespace report;

namespace report {

Bild3D::Bild3D() {
  if (Pictor_Create3D(300, 500, 1)) m_control = Pictor_GetPlotwerk3DPtr();
}

Bild3D::~Bild3D() { Pictor_Destroy(); }

Bild2D::Bild2D() {
  m_erzeugt = true;
  if (Pictor_Create2D(500, 200, 1)) m_control = Pictor_GetPlotwerk2DPtr();
}

void Bild2D::Zerstoere() {
  if (!m_erzeugt) return;
  m_erzeugt = false;
  m_control = nullptr;
  Pictor_Destroy();
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
    const std::string datei = BildPfad(Tr(kDateiWorte[s]).str() + ".bmp");
    view3D->SaveImage(datei.c_str());
    RTFX_CellPicture(datei.c_str(), 1, breite, 0.0);
  }
  static const char* const kTitel[] = {"\\qc Endsystem", "\\qc Transport", "\\qc Bauzustand 1", "\\qc Bauzustand 2"};
  for (int s : stufen) Zelle(Tr(kTitel[s]).GetString());
  TabelleEnde();
  d.aktBauZustand = 0;
}

void CRtf_Ausgabe::DiagrammRahmen(double hoehe, double ende, CPlotwerk2D* view2D) {
  if (!view2D) return;
  view2D->Clear();
  view2D->Invoke39(0, 0, 0, -1, -1, 0);
  view2D->SetStyle(0, 4, 3, 0);
  view2D->AddRectangle(0, -3 * hoehe / 8, hoehe, ende);
  view2D->Invoke55();
}

void CRtf_Ausgabe::Diagramm(const std::vector<double>& stationen, const std::vector<double>& werte, double offset,
                            CPlotwerk2D* view2D, const char* titel) {
  if (!view2D) return;
  ZeichneDiagramm(DiagrammEingabe(*m_pData, stationen, werte, false), offset, *view2D, titel);
}

void CRtf_Ausgabe::DiagrammEinfuegen(CPlotwerk2D* view2D, const std::string& name, const char* caption) {
  if (!view2D) return;
  view2D->Refresh();
  // The control keeps the drawing in its own format ("PLOTWERK-2D" text, ".p2d"), not as a Windows
  // metafile; the file's name says so and the picture library turns it into PNG for the report.
  const std::string datei = BildPfad(name);
  view2D->SetTitle(datei.c_str());
  RTFX_Picture(datei.c_str(), 1, m_pData->BildBreite, 0.0);
  Absatz(kBildTitel, caption);
}
