// Drag images: a copy of one image that follows the mouse over the locked window. It is drawn on the window's
// pixels with what lay beneath saved, so each move puts the old pixels back before drawing at the new place.
// Also the image-list members of the framework's tree control.
#include <map>
#include <memory>
#include <vector>

#include "platform/win/controls/afxctl.h"
#include "platform/win/window/internal.h"

namespace {

struct DragState {
  HIMAGELIST image = nullptr;
  POINT hotspot{0, 0};
  HWND lock = nullptr;
  bool entered = false;
  bool shown = false;
  POINT pos{0, 0};  // relative to the locked window's rectangle
  // What the image covers while it is shown: position and pixels.
  POINT savedAt{0, 0};
  int cx = 0, cy = 0;
  std::vector<COLORREF> saved;
};
DragState& D() {
  static DragState d;
  return d;
}

void Hide() {
  DragState& d = D();
  if (!d.shown) return;
  d.shown = false;
  if (!IsWindow(d.lock)) return;
  HDC dc = GetWindowDC(d.lock);
  for (int y = 0; y < d.cy; ++y)
    for (int x = 0; x < d.cx; ++x)
      SetPixel(dc, d.savedAt.x + x, d.savedAt.y + y, d.saved[std::size_t(y) * std::size_t(d.cx) + std::size_t(x)]);
  ReleaseDC(d.lock, dc);
}

void Show() {
  DragState& d = D();
  if (d.shown || !d.entered || !d.image || !IsWindow(d.lock)) return;
  ImageList_GetIconSize(d.image, &d.cx, &d.cy);
  d.savedAt = {d.pos.x - d.hotspot.x, d.pos.y - d.hotspot.y};
  HDC dc = GetWindowDC(d.lock);
  d.saved.assign(std::size_t(d.cx) * std::size_t(d.cy), 0);
  for (int y = 0; y < d.cy; ++y)
    for (int x = 0; x < d.cx; ++x)
      d.saved[std::size_t(y) * std::size_t(d.cx) + std::size_t(x)] = GetPixel(dc, d.savedAt.x + x, d.savedAt.y + y);
  ImageList_Draw(d.image, 0, dc, d.savedAt.x, d.savedAt.y, ILD_TRANSPARENT);
  ReleaseDC(d.lock, dc);
  d.shown = true;
}

}  // namespace

HIMAGELIST ImageList_Duplicate(HIMAGELIST list) {
  int cx = 0, cy = 0;
  if (!ImageList_GetIconSize(list, &cx, &cy)) return nullptr;
  HIMAGELIST copy = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, ImageList_GetImageCount(list), 1);
  for (int i = 0; i < ImageList_GetImageCount(list); ++i) {
    HICON icon = ImageList_GetIcon(list, i, ILD_NORMAL);
    ImageList_AddIcon(copy, icon);
    DestroyIcon(icon);
  }
  return copy;
}

BOOL ImageList_BeginDrag(HIMAGELIST list, int image, int hotspotX, int hotspotY) {
  if (image < 0 || image >= ImageList_GetImageCount(list)) return FALSE;
  ImageList_EndDrag();
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list, &cx, &cy);
  DragState& d = D();
  d.image = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 1, 1);
  HICON icon = ImageList_GetIcon(list, image, ILD_NORMAL);
  ImageList_AddIcon(d.image, icon);
  DestroyIcon(icon);
  d.hotspot = {hotspotX, hotspotY};
  return TRUE;
}

void ImageList_EndDrag() {
  DragState& d = D();
  Hide();
  if (d.image) ImageList_Destroy(d.image);
  d = DragState{};
}

BOOL ImageList_DragEnter(HWND lock, int x, int y) {
  DragState& d = D();
  if (!d.image) return FALSE;
  Hide();
  d.lock = lock;
  d.entered = true;
  d.pos = {x, y};
  Show();
  return TRUE;
}

BOOL ImageList_DragMove(int x, int y) {
  DragState& d = D();
  if (!d.image) return FALSE;
  bool wasShown = d.shown;
  Hide();
  d.pos = {x, y};
  if (wasShown) Show();
  return TRUE;
}

BOOL ImageList_DragLeave(HWND lock) {
  DragState& d = D();
  if (!d.image || (lock && lock != d.lock)) return FALSE;
  Hide();
  d.entered = false;
  d.lock = nullptr;
  return TRUE;
}

BOOL ImageList_DragShowNolock(BOOL show) {
  DragState& d = D();
  if (!d.image) return FALSE;
  show ? Show() : Hide();
  return TRUE;
}

HIMAGELIST ImageList_GetDragImage(POINT* position, POINT* hotspot) {
  DragState& d = D();
  if (position) *position = d.pos;
  if (hotspot) *hotspot = d.hotspot;
  return d.image;
}

// ---- Framework wrappers ------------------------------------------------------------------------------------------
namespace {
struct BorrowedImageList : CImageList {
  ~BorrowedImageList() override { Detach(); }
};
}  // namespace

CImageList* CImageList::FromHandle(HIMAGELIST list) {
  if (!list) return nullptr;
  static auto* wrappers = new std::map<HIMAGELIST, std::unique_ptr<BorrowedImageList>>;
  auto& w = (*wrappers)[list];
  if (!w) {
    w = std::make_unique<BorrowedImageList>();
    w->Attach(list);
  }
  return w.get();
}

BOOL CImageList::DragEnter(CWnd* lock, CPoint p) {
  return ImageList_DragEnter(lock ? lock->m_hWnd : nullptr, p.x, p.y);
}
BOOL CImageList::DragLeave(CWnd* lock) { return ImageList_DragLeave(lock ? lock->m_hWnd : nullptr); }

CImageList* CTreeCtrl::SetImageList(CImageList* list, int which) {
  LRESULT old = SendMessage(TVM_SETIMAGELIST, WPARAM(which), LPARAM(list ? list->GetSafeHandle() : nullptr));
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(old));
}

CImageList* CTreeCtrl::GetImageList(int which) const {
  return CImageList::FromHandle(
      reinterpret_cast<HIMAGELIST>(::SendMessage(m_hWnd, TVM_GETIMAGELIST, WPARAM(which), 0)));
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const {
  TVITEM it{};
  it.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  it.hItem = item;
  if (!::SendMessage(m_hWnd, TVM_GETITEM, 0, LPARAM(&it))) return FALSE;
  image = it.iImage;
  selectedImage = it.iSelectedImage;
  return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM item, int image, int selectedImage) {
  TVITEM it{};
  it.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  it.hItem = item;
  it.iImage = image;
  it.iSelectedImage = selectedImage;
  return BOOL(SendMessage(TVM_SETITEM, 0, LPARAM(&it)));
}

CImageList* CTreeCtrl::CreateDragImage(HTREEITEM item) {
  CRect text;
  if (!GetItemRect(item, &text, TRUE)) return nullptr;
  HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessage(TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
  int icx = 0, icy = 0;
  int image = -1, selectedImage = -1;
  if (images && ImageList_GetIconSize(images, &icx, &icy)) GetItemImage(item, image, selectedImage);
  int imageWidth = images ? icx + 3 : 0;
  int w = imageWidth + text.Width(), h = std::max(text.Height(), icy);
  // Drawn on white, the mask colour, so that only the icon and the text are dragged.
  HDC screen = ::GetDC(m_hWnd);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  RECT all{0, 0, w, h};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (image >= 0) ImageList_Draw(images, image, mem, 0, (h - icy) / 2, ILD_TRANSPARENT);
  HGDIOBJ oldFont = SelectObject(mem, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
  SetBkMode(mem, TRANSPARENT);
  SetTextColor(mem, RGB(0, 0, 0));
  CString label = GetItemText(item);
  RECT tr{imageWidth + 2, 0, w, h};
  DrawText(mem, label, -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (oldFont) SelectObject(mem, oldFont);
  SelectObject(mem, oldBmp);
  auto* list = new CImageList;
  list->Create(w, h, ILC_COLOR32 | ILC_MASK, 1, 1);
  ImageList_AddMasked(list->GetSafeHandle(), bmp, RGB(255, 255, 255));
  DeleteObject(bmp);
  DeleteDC(mem);
  ::ReleaseDC(m_hWnd, screen);
  return list;
}
