// The preview beside a position's input dialog: the position in 3D, in the 2D planes XZ, XY, YZ with a
// cross-section frame, and its printed output. It draws nothing itself: it hands its graphics controls to the
// position's drawing (a CPreviewTarget) and passes the 2D controls' mouse events on for picking and dragging.
#pragma once

#include <array>

#include "controls/FieldRefusal.h"
#include "controls/HoverButton.h"
#include "controls/MainDlgBase.h"
#include "framework_ui/plotwerk.h"
#include "platform/richedit/richtext.h"
#include "platform/win/controls/afxctl.h"

class BaseData;

// What the preview drives. The default forwards to the position data's own virtual operations; a position whose
// drawing lives beside its data overrides it.
class CPreviewTarget {
 public:
  explicit CPreviewTarget(BaseData* data = nullptr) : m_data(data) {}
  virtual ~CPreviewTarget() = default;
  BaseData* Data() const { return m_data; }
  virtual void Draw2D();
  virtual void Draw3D();
  virtual void PickObject(CWnd* control, int id);
  // A press on an object at the drawing position (x, y): picks it; a drag measures its movements from there.
  virtual void PickObjectAt(CWnd* control, int id, double x, double y) { PickObject(control, id); }
  // (x, y): the drawing position of the dragged object; raster in m; plane 0 XZ, 1 XY, 2 YZ.
  virtual void DragObject(CWnd* control, int id, double x, double y, double raster, int plane);
  virtual void EndDrag(int id);
  virtual void Command(CWnd* control, int value);
  virtual void ShowOutput(CWnd* richText);

 protected:
  BaseData* m_data;
};

class CPreviewDlg : public CDialog {
 public:
  enum { IDD = 500 };
  enum : UINT {
    kId2DXZ = 11010,
    kId3D = 11011,
    kIdQuer = 11012,
    kId2DXY = 11013,
    kIdTab = 11014,
    kIdRaster = 11015,
    kId2DYZ = 11016,
    kIdRasterLabel = 11053,
    kIdRich = 10002,
    kIdEdit = 11051,
    kIdPrint = 11052
  };
  // The buttons' pictures: open the output in the viewer, print it.
  enum : UINT { kBmpEdit = 180, kBmpPrint = 181 };
  // View bits of the mask.
  enum { k3D = 1, kXZ = 2, kXY = 4, kYZ = 8, kQuer = 16, kAusgabe = 32 };

  explicit CPreviewDlg(CWnd* parent = nullptr);
  ~CPreviewDlg() override;

  // Made in another window, the preview is a child that stands in it beside that window's other controls; made
  // without one it is a window of its own.
  using CDialog::Create;
  BOOL Create(UINT templateId, CWnd* parent = nullptr) override;

  // Rebuilds the tabs from the mask; nothing before the window exists.
  void InitViewTabs();
  // Shows the selected view's controls and has the target draw into them.
  void UpdatePreview();
  // Places the frames for the client size.
  void LayoutViews();
  // From the output preview back to the last other view.
  void RefreshOutputPreview();
  // The view (0-5) of the selected tab; -1 when no tab is selected.
  int SelectedView() const;

  CPreviewTarget* target = nullptr;  // not owned
  CWnd* m_pInputDlg = nullptr;       // not owned
  int m_nViewMask = 63;
  BOOL m_bCombined = FALSE;
  std::array<int, 6> m_aViewWidth{25, 25, 25, 25, 25, 0};
  double m_dRaster = 5.0;  // cm
  BOOL m_bShowRaster = TRUE;
  int pickedId = 0;
  BOOL pickedAgain = FALSE;
  int m_nLastView = -1;
  // Called with the tip file of the selected view ("common_Preview3D.rtf", "common_Preview2D.rtf").
  void (*showTip)(const char* file) = nullptr;

  CTabCtrl m_tab;
  CPlotwerk3D m_3D;
  CPlotwerk2D m_xz, m_xy, m_yz, m_quer;
  CRichText m_rich;
  CHoverButton m_editButton, m_printButton;
  CString viewNames[6];

  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnSize(UINT type, int cx, int cy);
  void OnSelChangeTab(NMHDR* header, LRESULT* result);
  void OnPlotNotify(UINT id, NMHDR* header, LRESULT* result);
  void OnEditOutput();
  void OnPrintOutput();
  LRESULT OnHelp(WPARAM, LPARAM);
  // The raster as typed; a text that is no raster is refused in its field. False when refused.
  bool TakeRaster();
  void OnRasterKillFocus() { TakeRaster(); }
  CFieldRefusal m_rasterRefusal;
  DECLARE_MESSAGE_MAP()

 private:
  CWnd* PlotOf(UINT id);
  static int PlaneOf(UINT id);
  // Holds the view window of a 2D control at its present extent (true) or lets it fit its items again.
  static void HaltView(CPlotwerk2D* control, bool halt);
  // The height of the row that the raster and the output buttons take below the view tabs when they do not fit
  // beside them in a client area `clientCx` wide; 0 when they fit.
  int ToolRowBelowTabs(int clientCx);
  std::vector<int> m_tabView;  // view of each tab
  CResizeHelper m_resize;
  int m_nToolRow = 0;  // the tools' row below the tabs as laid out now, in pixels; 0 beside them
};
