// The column's preview: the preview dialog with the column's 2D and 3D drawing and its mouse editing.
#pragma once

#include <functional>

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
  ~CKolumoVorschauDlg() override;
  // Its input dialog goes: nothing is drawn or edited any more, and the data keeps no control of this preview.
  void Detach();

  CKolumoVorschauZiel ziel;
  // Called when the preview goes first, so that its input dialog forgets it.
  std::function<void()> onDetach;
};
