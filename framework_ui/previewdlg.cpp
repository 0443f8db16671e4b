#include "framework_ui/previewdlg.h"

#include <algorithm>
#include <tuple>

#include <cairo.h>

#include "framework/basedata.h"
#include "framework/progdb.h"
#include "framework/utilities.h"
#include "platform/plotwerk/controls.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/screen/headless.h"
#include "platform/win/resources/resources.h"

namespace pw = plotwerk;

namespace {

constexpr const char* kArea = "Ormi Eingabe";
constexpr const char* kDictionary = "vernik_i_common";
constexpr const char* kContext = "PreviewDlg";

// The 3D frame's corner in the template (dialog units): the graphics frames start this far in from the tab
// control's corner.
constexpr int kFrameX = 7, kFrameY = 20;
// The template's width, and the tools that stand at its right edge beside the view tabs (dialog units): the raster
// on the views, the output's buttons on the output preview.
constexpr int kTemplateCx = 420;
struct Tool {
  UINT id;
  int x, y, cx, cy;
};
constexpr Tool kTools[] = {
    {CPreviewDlg::kIdRasterLabel, 300, 6, 60, 10},
    {CPreviewDlg::kIdRaster, 362, 4, 40, 12},
    {CPreviewDlg::kIdEdit, 270, 3, 64, 14},
    {CPreviewDlg::kIdPrint, 338, 3, 64, 14},
};
// Where the tools do not fit beside the tabs they take a row of this height below them (dialog units).
constexpr int kToolRowCy = 16, kToolGap = 4;

win::DialogTemplate PreviewTemplate() {
  using I = win::DialogItem;
  win::DialogTemplate t;
  t.style = WS_POPUP | WS_THICKFRAME;
  t.cx = kTemplateCx;
  t.cy = 260;
  t.items = {I{int(CPreviewDlg::kIdTab), "SysTabControl32", "", WS_TABSTOP, 4, 4, 412, 252}};
  for (const Tool& tool : kTools) {
    const bool edit = tool.id == CPreviewDlg::kIdRaster, label = tool.id == CPreviewDlg::kIdRasterLabel;
    const char* text = label ? "Raster (cm):" : edit ? "" : tool.id == CPreviewDlg::kIdEdit ? "bearbeiten" : "drucken";
    const DWORD style = label ? SS_RIGHT : edit ? ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP : BS_PUSHBUTTON | WS_TABSTOP;
    t.items.push_back(I{int(tool.id),
                        label  ? "Static"
                        : edit ? "Edit"
                               : "Button",
                        text, style, tool.x, tool.y, tool.cx, tool.cy});
  }
  return t;
}

const win::DialogTemplateRegistrar kTemplate(CPreviewDlg::IDD, PreviewTemplate());

const char* Tr(const char* text) { return TOLK_Translate(kArea, kDictionary, kContext, text); }

constexpr COLORREF kTransparent = RGB(0, 255, 0);

// A sheet of text with a pencil across it (open in the viewer) and a printer with its sheet (print); the green
// ground is the transparent colour.
void RegisterButtonPictures() {
  auto grund = [](cairo_t* cr, int w, int h) {
    cairo_set_source_rgb(cr, 0, 1, 0);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
  };
  auto blatt = [](cairo_t* cr, double x, double y, double w, double h, int zeilen) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, x + 0.5, y + 0.5, w, h);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.25, 0.25, 0.3);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.45, 0.5, 0.65);
    for (int i = 0; i < zeilen; ++i) {
      cairo_move_to(cr, x + 2.5, y + 3.5 + 2 * i);
      cairo_line_to(cr, x + w - 1.5, y + 3.5 + 2 * i);
    }
    cairo_stroke(cr);
  };
  if (!win::res::HasBitmap(CPreviewDlg::kBmpEdit))
    win::res::RegisterBitmap(CPreviewDlg::kBmpEdit, 16, 16, [grund, blatt](cairo_t* cr, int w, int h) {
      grund(cr, w, h);
      blatt(cr, 1, 1, 10, 13, 5);
      cairo_set_source_rgb(cr, 0.8, 0.55, 0.1);
      cairo_set_line_width(cr, 2.5);
      cairo_move_to(cr, 14.5, 3.5);
      cairo_line_to(cr, 7, 11);
      cairo_stroke(cr);
      cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
      cairo_move_to(cr, 7.5, 10.5);
      cairo_line_to(cr, 5.5, 12.5);
      cairo_stroke(cr);
    });
  if (!win::res::HasBitmap(CPreviewDlg::kBmpPrint))
    win::res::RegisterBitmap(CPreviewDlg::kBmpPrint, 16, 16, [grund, blatt](cairo_t* cr, int w, int h) {
      grund(cr, w, h);
      blatt(cr, 4, 1, 7, 6, 2);
      cairo_set_source_rgb(cr, 0.35, 0.38, 0.45);
      cairo_rectangle(cr, 1, 7, 14, 6);
      cairo_fill(cr);
      cairo_set_source_rgb(cr, 0.3, 0.85, 0.3);
      cairo_rectangle(cr, 12, 8, 2, 1);
      cairo_fill(cr);
      blatt(cr, 4, 11, 7, 4, 1);
    });
}

}  // namespace

void CPreviewTarget::Draw2D() {
  if (m_data) m_data->Draw2D(1);
}
void CPreviewTarget::Draw3D() {
  if (m_data) m_data->Draw3D(1);
}
void CPreviewTarget::PickObject(CWnd* control, int id) {
  if (m_data) m_data->PickObject(control, id);
}
void CPreviewTarget::DragObject(CWnd* control, int id, double x, double y, double raster, int plane) {
  if (m_data) m_data->DragObject(control, id, x, y, raster, plane, 0, 0);
}
void CPreviewTarget::EndDrag(int id) {
  if (m_data) m_data->EndDrag(id);
}
void CPreviewTarget::Command(CWnd* control, int value) {
  if (m_data) m_data->OnCommandHook(control, value);
}
void CPreviewTarget::ShowOutput(CWnd* richText) {
  if (m_data) m_data->ShowOutput(richText);
}

BEGIN_MESSAGE_MAP(CPreviewDlg, CDialog)
ON_NOTIFY(TCN_SELCHANGE, CPreviewDlg::kIdTab, OnSelChangeTab)
ON_NOTIFY_RANGE(plotwerk::PWN_OBJECTPICKED, CPreviewDlg::kId2DXZ, CPreviewDlg::kId2DYZ, OnPlotNotify)
ON_NOTIFY_RANGE(plotwerk::PWN_DRAGMOVE, CPreviewDlg::kId2DXZ, CPreviewDlg::kId2DYZ, OnPlotNotify)
ON_NOTIFY_RANGE(plotwerk::PWN_DRAGEND, CPreviewDlg::kId2DXZ, CPreviewDlg::kId2DYZ, OnPlotNotify)
ON_NOTIFY_RANGE(plotwerk::PWN_CONTROLCOMMAND, CPreviewDlg::kId2DXZ, CPreviewDlg::kId2DYZ, OnPlotNotify)
ON_BN_CLICKED(CPreviewDlg::kIdEdit, OnEditOutput)
ON_BN_CLICKED(CPreviewDlg::kIdPrint, OnPrintOutput)
ON_MESSAGE(WM_HELP, OnHelp)
ON_WM_SIZE()
ON_EN_KILLFOCUS(CPreviewDlg::kIdRaster, OnRasterKillFocus)
END_MESSAGE_MAP()

CPreviewDlg::CPreviewDlg(CWnd* parent) : CDialog(IDD, parent) {
  const char* names[6] = {"3D - Ansicht", "XZ - Ansicht", "XY - Ansicht",
                          "YZ - Ansicht", "Querschnitt",  "Vorschau Ausgabe"};
  for (int i = 0; i < 6; ++i) viewNames[i] = names[i];
}

CPreviewDlg::~CPreviewDlg() = default;

BOOL CPreviewDlg::Create(UINT templateId, CWnd* parent) {
  const win::DialogTemplate* t = win::FindDialogTemplate(templateId);
  if (!parent || !t) return CDialog::Create(templateId, parent);
  win::DialogTemplate child = *t;
  child.style = (child.style & ~(WS_POPUP | WS_THICKFRAME | WS_CAPTION)) | WS_CHILD | DS_CONTROL | WS_CLIPCHILDREN;
  m_lpszTemplateName = MAKEINTRESOURCE(templateId);
  m_nIDHelp = templateId;
  return CreateIndirect(child, parent);
}

void CPreviewDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, kIdRaster, m_dRaster);
}

BOOL CPreviewDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_tab.SubclassDlgItem(kIdTab, this);
  RegisterButtonPictures();
  for (auto [button, id, bitmap] :
       {std::tuple{&m_editButton, kIdEdit, kBmpEdit}, {&m_printButton, kIdPrint, kBmpPrint}}) {
    button->SubclassDlgItem(id, this);
    button->SetBitmaps(::LoadBitmap(nullptr, MAKEINTRESOURCE(bitmap)), kTransparent);
    button->SetFlat(FALSE);
  }
  // The graphics frames and the output box stand where the template's frame area begins; the layout moves them.
  CRect r(0, 0, kFrameX + 100, kFrameY + 100);
  MapDialogRect(&r);
  const CRect frame(r.left + 0, 0, r.right, r.bottom);
  CRect at(0, 0, kFrameX, kFrameY);
  MapDialogRect(&at);
  CRect tab;
  m_tab.GetWindowRect(&tab);
  ScreenToClient(&tab);
  const CRect place(tab.left + at.right, tab.top + at.bottom, tab.left + at.right + 100, tab.top + at.bottom + 100);
  m_3D.Create("", WS_CHILD, place, this, kId3D);
  m_xz.Create("", WS_CHILD, place, this, kId2DXZ);
  m_xy.Create("", WS_CHILD, place, this, kId2DXY);
  m_yz.Create("", WS_CHILD, place, this, kId2DYZ);
  m_quer.Create("", WS_CHILD, place, this, kIdQuer);
  // The report is read as it will be printed: tables and pictures keep their widths, the box scrolls to them.
  m_rich.Create("", WS_CHILD | WS_VSCROLL | WS_HSCROLL, place, this, kIdRich);
  for (CWnd* w : {static_cast<CWnd*>(&m_3D), static_cast<CWnd*>(&m_xz), static_cast<CWnd*>(&m_xy),
                  static_cast<CWnd*>(&m_yz), static_cast<CWnd*>(&m_quer), static_cast<CWnd*>(&m_rich)})
    w->SetWindowPos(&m_tab, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  for (int i = 0; i < 6; ++i) viewNames[i] = Tr(viewNames[i]);
  if (m_bCombined) viewNames[0] = "2D/3D";
  InitViewTabs();
  UpdatePreview();
  LayoutViews();
  m_rich.SetWindowText(Tr("Moment bitte..."));
  return TRUE;
}

void CPreviewDlg::InitViewTabs() {
  if (!m_tab.GetSafeHwnd()) return;
  m_tabView.clear();
  m_tab.DeleteAllItems();
  m_resize = CResizeHelper();
  auto add = [&](int view) {
    m_tab.InsertItem(int(m_tabView.size()), viewNames[view]);
    m_tabView.push_back(view);
  };
  if (m_bCombined) {
    add(0);
    if (m_nViewMask & kAusgabe) add(5);
    m_tab.SetCurSel(0);
  } else {
    const int bits[4] = {k3D, kXZ, kXY, kYZ};
    for (int v = 0; v < 4; ++v)
      if (m_nViewMask & bits[v]) add(v);
    if (m_nViewMask & kAusgabe) add(5);
    // The second tab: the first 2D view after the 3D one. With a single tab that one is shown.
    m_tab.SetCurSel(m_tabView.size() >= 2 ? 1 : 0);
  }
}

int CPreviewDlg::SelectedView() const {
  if (!m_tab.GetSafeHwnd()) return -1;
  const int sel = m_tab.GetCurSel();
  if (sel < 0 || sel >= int(m_tabView.size())) return -1;
  return m_tabView[std::size_t(sel)];
}

void CPreviewDlg::UpdatePreview() {
  if (!m_tab.GetSafeHwnd()) return;
  const int v = SelectedView();
  auto show = [](CWnd& w, bool on) {
    if (w.GetSafeHwnd()) w.ShowWindow(on ? SW_SHOW : SW_HIDE);
  };
  for (UINT id : {kIdEdit, kIdPrint})
    if (CWnd* w = GetDlgItem(int(id))) w->ShowWindow(v == 5 ? SW_SHOW : SW_HIDE);
  for (UINT id : {kIdRaster, kIdRasterLabel})
    if (CWnd* w = GetDlgItem(int(id))) w->ShowWindow(m_bShowRaster && v != 5 ? SW_SHOW : SW_HIDE);
  show(m_rich, v == 5);
  if (m_rich.GetSafeHwnd()) m_rich.EnableWindow(v == 5);

  BaseData* data = target ? target->Data() : nullptr;
  CArray<CWnd*, CWnd*> dummy2D, dummy3D;
  CArray<CWnd*, CWnd*>& list2D = data ? data->plot2D : dummy2D;
  CArray<CWnd*, CWnd*>& list3D = data ? data->plot3D : dummy3D;
  list2D.RemoveAll();
  list3D.RemoveAll();
  if (v != 5 && v >= 0) m_nLastView = v;

  if (v == 5) {
    for (CWnd* w : {static_cast<CWnd*>(&m_3D), static_cast<CWnd*>(&m_xz), static_cast<CWnd*>(&m_xy),
                    static_cast<CWnd*>(&m_yz), static_cast<CWnd*>(&m_quer)})
      show(*w, false);
    if (!data || !m_pInputDlg) {
      AfxMessageBox("Fehler: CPreviewDlg::m_pInputDlg nicht gesetzt!!");
      return;
    }
    // The dialog's values go into the document first, so that the report is of what the engineer sees.
    if (ProgDBEntry* program = GetProgDB().FindProg(data->progname, data->modulename))
      program->CallGetData(m_pInputDlg, data->doc);
    target->ShowOutput(&m_rich);
    m_rich.SetFocus();
    return;
  }
  if (m_bCombined) {
    const bool on = v == 0;
    show(m_xz, on && (m_nViewMask & kXZ));
    show(m_xy, on && (m_nViewMask & kXY));
    show(m_yz, on && (m_nViewMask & kYZ));
    show(m_quer, on && (m_nViewMask & kQuer));
    show(m_3D, on && (m_nViewMask & k3D));
    if (on) {
      if (m_nViewMask & k3D) list3D.Add(&m_3D);
      // A column's drawing takes the side views first and the section third: the cross-section frame comes
      // before the XY plane.
      if (m_nViewMask & kYZ) list2D.Add(&m_yz);
      if (m_nViewMask & kXZ) list2D.Add(&m_xz);
      if (m_nViewMask & kQuer) list2D.Add(&m_quer);
      if (m_nViewMask & kXY) list2D.Add(&m_xy);
    }
  } else {
    show(m_3D, v == 0);
    show(m_xz, v == 1);
    show(m_xy, v == 2);
    show(m_yz, v == 3);
    show(m_quer, v >= 1 && v <= 4 && (m_nViewMask & kQuer));
    if (v == 0) {
      list3D.InsertAt(0, &m_3D);
      if (showTip) showTip("common_Preview3D.rtf");
      m_3D.SetFocus();
      if (data) data->viewPlane = 1;
    } else if (v >= 1 && v <= 3) {
      CPlotwerk2D* c = v == 1 ? &m_xz : v == 2 ? &m_xy : &m_yz;
      list2D.InsertAt(0, c);
      if (m_nViewMask & kQuer) list2D.Add(&m_quer);
      if (showTip) showTip("common_Preview2D.rtf");
      c->SetFocus();
      if (data) data->viewPlane = v - 1;
    }
  }
  if (target) {
    target->Draw2D();
    target->Draw3D();
  }
}

void CPreviewDlg::LayoutViews() {
  for (CWnd* w : {static_cast<CWnd*>(&m_3D), static_cast<CWnd*>(&m_xz), static_cast<CWnd*>(&m_xy),
                  static_cast<CWnd*>(&m_yz), static_cast<CWnd*>(&m_quer), static_cast<CWnd*>(&m_rich)})
    if (!w->GetSafeHwnd()) return;
  if (!m_tab.GetSafeHwnd()) return;
  CRect client;
  GetClientRect(&client);
  const int toolRow = ToolRowBelowTabs(client.Width());
  if (toolRow != m_nToolRow) {
    m_nToolRow = toolRow;
    m_resize = CResizeHelper();
  }
  if (m_resize.GetCount() == 0) {
    CRect at(0, 0, kFrameX, kFrameY);
    MapDialogRect(&at);
    const int m = at.right, t = at.bottom + m_nToolRow;
    auto add = [&](CWnd& w, int l, int tp, int r, int b, int ol, int ot, int orr, int ob) {
      m_resize.AddControl(w.m_hWnd, l, tp, r, b, ol, ot, orr, ob);
    };
    if (m_bCombined) {
      if (m_nViewMask & (k3D | kXZ | kXY | kYZ | kQuer)) {
        // Widths of the shown views that add up to more than the dialog are scaled down to fit it.
        const int bits[5] = {k3D, kXZ, kXY, kYZ, kQuer};
        int summe = 0;
        for (int v = 0; v < 5; ++v)
          if (m_nViewMask & bits[v]) summe += std::max(0, m_aViewWidth[std::size_t(v)]);
        auto breite = [&](int v) {
          const int w = std::max(0, m_aViewWidth[std::size_t(v)]);
          return summe > 100 ? w * 100 / summe : w;
        };
        int x = 0;
        bool erster = true;  // the first frame keeps the tab control's margin on its left
        if (m_nViewMask & k3D) {
          x = breite(0);
          add(m_3D, 0, 0, x, 100, 2 * m, m + t + 1, -m / 2, -2 * m);
          erster = false;
        }
        const std::pair<int, CWnd*> reihe[3] = {{kYZ, &m_yz}, {kXZ, &m_xz}, {kXY, &m_xy}};
        const int views[3] = {3, 1, 2};
        for (int k = 0; k < 3; ++k)
          if (m_nViewMask & reihe[k].first) {
            const int w = breite(views[k]);
            add(*reihe[k].second, x, 0, x + w, 100, erster ? 2 * m : m / 2, m + t, -m / 2, -2 * m);
            x += w;
            erster = false;
          }
        if (m_nViewMask & kQuer) add(m_quer, x, 0, x + breite(4), 100, erster ? 2 * m : m / 2, m + t, -2 * m, -2 * m);
      }
      add(m_rich, 0, 0, 100, 100, 2 * m, m + t, -2 * m, -2 * m);
    } else {
      const int p = (m_nViewMask & kQuer) ? 80 : 100;
      add(m_3D, 0, 0, 100, 100, 2 * m, m + t, -2 * m, -2 * m);
      add(m_rich, 0, 0, 100, 100, 2 * m, m + t, -2 * m, -2 * m);
      for (CWnd* w : {static_cast<CWnd*>(&m_xz), static_cast<CWnd*>(&m_xy), static_cast<CWnd*>(&m_yz)})
        add(*w, 0, 0, p, 100, 2 * m, m + t, -m, -2 * m);
      if (m_nViewMask & kQuer) add(m_quer, p, 0, 100, 100, 0, m + t, -2 * m, -2 * m);
    }
    add(m_tab, 0, 0, 100, 100, m, m, -m, -m);
    // The raster and the output buttons keep their distance from the right edge, so that a narrow preview still
    // shows them; where they would cover the tabs they stand in their own row below them, above the views, and
    // the two buttons, wider together than such a preview may be, share that row half and half.
    for (const Tool& tool : kTools) {
      CWnd* w = GetDlgItem(int(tool.id));
      if (!w) continue;
      CRect r(tool.x - kTemplateCx, tool.y, tool.x + tool.cx - kTemplateCx, tool.y + tool.cy);
      MapDialogRect(&r);
      const int down = m_nToolRow ? t - m_nToolRow : 0;
      if (m_nToolRow && (tool.id == kIdEdit || tool.id == kIdPrint)) {
        const bool first = tool.id == kIdEdit;
        m_resize.AddControl(w->m_hWnd, first ? 0 : 50, 0, first ? 50 : 100, 0, first ? 2 * m : m / 2, r.top + down,
                            first ? -m / 2 : -2 * m, r.bottom + down);
        continue;
      }
      m_resize.AddControl(w->m_hWnd, 100, 0, 100, 0, r.left, r.top + down, r.right, r.bottom + down);
    }
  }
  m_resize.Resize(client);
  auto extent = [&](CPlotwerkWnd& w, auto setExtent) {
    CRect r;
    if (!CResizeHelper::GetChildRect(m_hWnd, w.m_hWnd, &r)) return;
    setExtent(short(r.left), short(r.top), short(r.Width()), short(r.Height()));
  };
  extent(m_3D, [&](short x, short y, short w, short h) { m_3D.SetExtent(x, y, w, h); });
  for (CPlotwerk2D* c : {&m_xz, &m_xy, &m_yz, &m_quer})
    extent(*c, [&](short x, short y, short w, short h) { c->SetExtent(x, y, w, h); });
}

int CPreviewDlg::ToolRowBelowTabs(int clientCx) {
  const int tabs = m_tab.GetItemCount();
  CRect last;
  if (tabs < 1 || !m_tab.GetItemRect(tabs - 1, &last)) return 0;
  CRect tabPlace;
  if (!CResizeHelper::GetChildRect(m_hWnd, m_tab.m_hWnd, &tabPlace)) return 0;
  int toolsLeft = kTemplateCx;
  for (const Tool& tool : kTools) toolsLeft = std::min(toolsLeft, tool.x);
  CRect span(toolsLeft - kTemplateCx - kToolGap, 0, 0, kToolRowCy);
  MapDialogRect(&span);
  return tabPlace.left + last.right <= clientCx + span.left ? 0 : span.Height();
}

void CPreviewDlg::RefreshOutputPreview() {
  if (SelectedView() != 5) return;
  for (std::size_t i = 0; i < m_tabView.size(); ++i)
    if (m_tabView[i] == m_nLastView) {
      m_tab.SetCurSel(int(i));
      UpdatePreview();
      return;
    }
}

void CPreviewDlg::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  LayoutViews();
}

void CPreviewDlg::OnSelChangeTab(NMHDR*, LRESULT* result) {
  UpdatePreview();
  if (result) *result = 0;
}

CWnd* CPreviewDlg::PlotOf(UINT id) {
  switch (id) {
    case kId2DXZ: return &m_xz;
    case kId2DXY: return &m_xy;
    case kId2DYZ: return &m_yz;
    case kIdQuer: return &m_quer;
    default: return nullptr;
  }
}

int CPreviewDlg::PlaneOf(UINT id) { return id == kId2DXZ ? 0 : id == kId2DXY ? 1 : 2; }

void CPreviewDlg::OnPlotNotify(UINT id, NMHDR* header, LRESULT* result) {
  if (result) *result = 0;
  CWnd* control = PlotOf(id);
  if (!control || !target) return;  // the 3D control's events are not editing
  const auto* nm = reinterpret_cast<const plotwerk::NMPLOTWERK*>(header);
  switch (nm->event) {
    case plotwerk::event2d::ObjectPicked: {
      UpdateData(TRUE);
      pickedAgain = nm->objectId == pickedId;
      pickedId = int(nm->objectId);
      // While an object is dragged its view keeps its scale: a view fitted to its items would refit as the
      // object moves and turn the same mouse position into another height.
      target->PickObjectAt(control, pickedId, nm->x, nm->y);
      if (pickedAgain) HaltView(static_cast<CPlotwerk2D*>(control), true);
      break;
    }
    case plotwerk::event2d::DragMove:
      // The first press on an object picks it; the drag starts with a second press on the same one.
      if (pickedId != 0 && pickedAgain)
        target->DragObject(control, pickedId, nm->x, nm->y, m_dRaster * 0.01, PlaneOf(id));
      break;
    case plotwerk::event2d::DragEnd:
      HaltView(static_cast<CPlotwerk2D*>(control), false);
      if (pickedId != 0) target->EndDrag(pickedId);
      break;
    case plotwerk::event2d::ControlCommand:
      if (nm->value != 0) target->Command(control, int(nm->value));
      break;
    default: break;
  }
}

void CPreviewDlg::HaltView(CPlotwerk2D* control, bool halt) {
  if (!halt) {
    control->Invoke34(0, 0, 0, 0);
    return;
  }
  pw::Control2D* c = pw::Control2D::FromHandle(control->m_hWnd);
  double x1, y1, x2, y2;
  if (c && c->Scene().Bounds(x1, y1, x2, y2)) control->Invoke34(x1, y1, x2, y2);
}

void CPreviewDlg::OnEditOutput() {
  if (target && target->Data()) OpenWithViewer(target->Data()->GetOutputFileName());
}

void CPreviewDlg::OnPrintOutput() {
  if (target && target->Data()) PrintFile(target->Data()->GetOutputFileName());
}

BOOL CPreviewDlg::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1) {
    OnHelp(0, 0);
    return TRUE;
  }
  if (CFieldRefusal::IsReturnInEdit(*this, msg) && GetDlgItem(kIdRaster) &&
      msg->hwnd == GetDlgItem(kIdRaster)->m_hWnd && !TakeRaster())
    return TRUE;
  return CDialog::PreTranslateMessage(msg);
}

bool CPreviewDlg::TakeRaster() {
  // The box and the field taking the focus back move the focus: those are no entries.
  if (m_rasterRefusal.Active()) return false;
  CString text;
  GetDlgItemText(kIdRaster, text);
  double raster = 0.0;
  if (CFieldRefusal::ReadNumber(text, raster) && raster >= 0.0) {
    m_dRaster = raster;
    return true;
  }
  const CString why = CFieldRefusal::ReadNumber(text, raster)
                          ? " cm ist als Raster nicht möglich (0 oder größer). Bitte ändern"
                          : " ist keine Zahl. Bitte ändern";
  m_rasterRefusal.Refuse(GetDlgItem(kIdRaster), "Raster (cm)", text + why, [this] { UpdateData(FALSE); });
  return false;
}

LRESULT CPreviewDlg::OnHelp(WPARAM, LPARAM) {
  BaseData::ShowHelpTopic("tq-vernik.chm", nullptr);
  return TRUE;
}
