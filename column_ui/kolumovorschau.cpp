#include "column_ui/kolumovorschau.h"

#include "column/kolumodata.h"
#include "column_ui/kolumodraw.h"

CKolumoVorschauZiel::CKolumoVorschauZiel(CKolumoData& data) : CPreviewTarget(&data), bild(data), m_kolumo(data) {
  bild.onRedraw3D = [this] { Draw3D(); };
}

void CKolumoVorschauZiel::Draw2D() { bild.Draw2D(); }
void CKolumoVorschauZiel::Draw3D() { ::Draw3D(m_kolumo); }
void CKolumoVorschauZiel::PickObject(CWnd*, int id) { bild.PickObject(id); }

void CKolumoVorschauZiel::PickObjectAt(CWnd*, int id, double, double y) {
  bild.PickObject(id);
  bild.DragStart(y);
}

void CKolumoVorschauZiel::DragObject(CWnd* control, int id, double x, double y, double raster, int) {
  bild.DragObject(dynamic_cast<CPlotwerk2D*>(control), id, x, y, raster);
}

void CKolumoVorschauZiel::EndDrag(int id) { bild.EndDrag(id); }

CKolumoVorschauDlg::CKolumoVorschauDlg(CKolumoData& data) : ziel(data) {
  target = &ziel;
  // The side views go to their own frames and the section to the section frame (the XY plane when there is
  // none), whichever of them the dialog shows.
  ziel.bild.ansicht = [this, &data](int k) -> CPlotwerk2D* {
    auto gezeigt = [&data](CPlotwerk2D* c) -> CPlotwerk2D* {
      for (int i = 0; i < data.plot2D.GetSize(); ++i)
        if (data.plot2D[i] == c) return c;
      return nullptr;
    };
    if (k == 0) return gezeigt(&m_yz);
    if (k == 1) return gezeigt(&m_xz);
    CPlotwerk2D* quer = gezeigt(&m_quer);
    return quer ? quer : gezeigt(&m_xy);
  };
}

CKolumoVorschauDlg::~CKolumoVorschauDlg() {
  auto forget = std::move(onDetach);
  Detach();
  if (forget) forget();
}

void CKolumoVorschauDlg::Detach() {
  if (target) {
    // The controls go with this window; the data must not draw into them afterwards.
    ziel.Data()->plot2D.RemoveAll();
    ziel.Data()->plot3D.RemoveAll();
  }
  target = nullptr;
  m_pInputDlg = nullptr;
  onDetach = nullptr;
  ziel.bild.onChanged = nullptr;
}
