// The column's preview: the preview dialog with the column's 2D and 3D drawing and its mouse editing.
#pragma once

#include "column_ui/kolumo2d.h"
#include "framework_ui/previewdlg.h"

class CKolumoData;

class CKolumoVorschauZiel : public CPreviewTarget {
 public:
  explicit CKolumoVorschauZiel(CKolumoData& data);
  void Draw2D() override;
  void Draw3D() override;
  void PickObject(CWnd* control, int id) override;
  void PickObjectAt(CWnd* control, int id, double x, double y) override;
  void DragObject(CWnd* control, int id, double x, double y, double raster, int plane) override;
  void EndDrag(int id) override;

  CKolumoVorschau2D bild;

 private:
  CKolumoData& m_kolumo;
};

// The preview of one input dialog; it holds the drawing that its dialog drives.
class CKolumoVorschauDlg : public CPreviewDlg {
 public:
  explicit CKolumoVorschauDlg(CKolumoData& data);
  CKolumoVorschauZiel ziel;
};
