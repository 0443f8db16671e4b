// Renders the window system's later controls to a PNG file, to look at: a toolbar with images, a checked button and
// a combo box on a separator, a tree with the system's icons, a bitmap resource in a picture control and an
// owner-drawn popup menu beside them.
//   win_gallery2 [output.png]
#include <cstdio>

#include "platform/win/afx.h"

namespace {

constexpr UINT kBar = 9100, kSketch = 9101;

// Toolbar images: a page, a disk, bold "F", italic "K", left-aligned lines, on the bars' transparent grey.
void PaintBar(cairo_t* cr, int, int h) {
  cairo_set_source_rgb(cr, 192 / 255.0, 192 / 255.0, 192 / 255.0);
  cairo_paint(cr);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_rectangle(cr, 3.5, 1.5, 9, 12);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.1, 0.2, 0.6);
  cairo_rectangle(cr, 17.5, 1.5, 12, 12);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_rectangle(cr, 20, 2, 7, 4);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 12);
  cairo_move_to(cr, 36, 12);
  cairo_show_text(cr, "F");
  cairo_select_font_face(cr, "DejaVu Serif", CAIRO_FONT_SLANT_ITALIC, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_move_to(cr, 52, 12);
  cairo_show_text(cr, "K");
  for (int i = 0; i < 4; ++i) {
    cairo_rectangle(cr, 66, 2 + 3 * i, i % 2 ? 8 : 12, 1);
    cairo_fill(cr);
  }
  (void)h;
}

void PaintSketch(cairo_t* cr, int w, int h) {
  cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
  cairo_rectangle(cr, 10, 10, w - 20, h - 20);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  for (int x : {20, w - 20})
    for (int y : {20, h - 20}) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, x, y, 4, 0, 6.3);
      cairo_fill(cr);
    }
}

class Owner : public CWnd {
 public:
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Owner, CWnd)
ON_WM_DRAWITEM()
ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

// An owner-drawn menu: each item a colour swatch and its name.
class SwatchMenu : public CMenu {
 public:
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
    mis->itemWidth = 110;
    mis->itemHeight = 22;
  }
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    static const COLORREF colours[] = {RGB(200, 30, 30), RGB(30, 150, 30), RGB(30, 60, 200)};
    static const char* names[] = {"Rot", "Grün", "Blau"};
    int i = int(dis->itemData) % 3;
    CDC* dc = CDC::FromHandle(dis->hDC);
    CRect r(dis->rcItem);
    dc->FillSolidRect(r, GetSysColor((dis->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_MENU));
    dc->FillSolidRect(CRect(r.left + 4, r.top + 4, r.left + 24, r.bottom - 4), colours[i]);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(GetSysColor((dis->itemState & ODS_SELECTED) ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    CRect t(r.left + 30, r.top, r.right, r.bottom);
    dc->DrawText(names[i], -1, t, DT_VCENTER | DT_SINGLELINE);
  }
};

void Blit(win::Image& onto, const win::Image& piece, int x0, int y0) {
  for (int y = 0; y < piece.height; ++y)
    for (int x = 0; x < piece.width; ++x) {
      int px = x0 + x, py = y0 + y;
      if (px >= 0 && py >= 0 && px < onto.width && py < onto.height)
        onto.pixels[std::size_t(py) * std::size_t(onto.width) + std::size_t(px)] =
            piece.pixels[std::size_t(y) * std::size_t(piece.width) + std::size_t(x)];
    }
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "gallery2.png";
  win::res::RegisterBitmap(kBar, 80, 15, PaintBar);
  win::res::RegisterToolBar(kBar, 16, 15, {1, 2, 0, 3, 4, 0, 5, 0, 6});
  win::res::RegisterBitmap(kSketch, 120, 90, PaintSketch);
  Owner frame;
  frame.CreateEx(0, nullptr, "Weitere Steuerelemente", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_BORDER, 0, 0, 480, 260,
                 nullptr, nullptr);
  frame.SendMessage(WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), 0);
  CToolBar bar;
  bar.CreateEx(&frame);
  bar.LoadToolBar(kBar);
  bar.SetButtonStyle(bar.CommandToIndex(3), TBBS_CHECKBOX);
  bar.GetToolBarCtrl().CheckButton(3, TRUE);
  bar.GetToolBarCtrl().EnableButton(2, FALSE);
  // The last button becomes a separator holding a combo box, as the editor's bars do.
  int comboAt = bar.CommandToIndex(6);
  bar.SetButtonInfo(comboAt, 6, TBBS_SEPARATOR, 110);
  RECT cr;
  bar.GetItemRect(comboAt, &cr);
  CComboBox zoom;
  zoom.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(cr.left, cr.top, cr.right, cr.bottom + 200), &bar, 6);
  zoom.SendMessage(WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), 0);
  zoom.AddString("Seitenbreite");
  zoom.AddString("100 %");
  zoom.SetCurSel(1);
  frame.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0);

  CTreeCtrl tree;
  tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS,
              CRect(8, 40, 230, 170), &frame, 20);
  tree.SendMessage(WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), 0);
  CImageList icons;
  icons.Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 0);
  for (LPCSTR id : {IDI_ERROR, IDI_WARNING, IDI_INFORMATION, IDI_QUESTION}) icons.Add(LoadIcon(nullptr, id));
  tree.SetImageList(&icons, TVSIL_NORMAL);
  auto add = [&](const char* text, int image, HTREEITEM parent) {
    return tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, text, image, image, 0, 0, 0, parent, TVI_LAST);
  };
  HTREEITEM system = add("System", 0, TVI_ROOT);
  add("Länge 0", 0, system);
  add("Schlankheit groß", 1, system);
  add("Hinweis", 2, TVI_ROOT);
  add("Frage", 3, TVI_ROOT);
  tree.Expand(system, TVE_EXPAND);

  CStatic picture;
  picture.Create("", WS_CHILD | WS_VISIBLE | SS_BITMAP, CRect(240, 40, 370, 140), &frame, 21);
  CBitmap sketch;
  sketch.LoadBitmap(kSketch);
  picture.SetBitmap(sketch);

  win::PumpMessages();
  win::Image shot = win::RenderWindow(frame.m_hWnd);
  SwatchMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 100, "Farbe wählen");
  menu.AppendMenu(MF_SEPARATOR);
  for (int i = 0; i < 3; ++i) menu.AppendMenu(MF_OWNERDRAW, 101 + i, reinterpret_cast<LPCSTR>(std::uintptr_t(i)));
  win::Image popup = win::RenderMenu(menu, frame.m_hWnd, 3);
  RECT client;
  frame.GetClientRect(&client);
  Blit(shot, popup, shot.width - popup.width - 10, shot.height - popup.height - 10);
  if (!win::SavePng(shot, path)) {
    std::fprintf(stderr, "%s could not be written\n", path);
    return 1;
  }
  std::printf("%s\n", path);
  return 0;
}
