// Image lists: equal-sized images with optional masks, drawn transparently with the classic mask blits.
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/win/base/handles.h"
#include "platform/win/window/internal.h"

namespace win::detail {
namespace {

struct ImageList {
  int cx = 16, cy = 16;
  bool masked = false;
  COLORREF bk = CLR_NONE;
  // Each image: colour pixels (COLORREF) and, with a mask, transparent flags; row by row.
  std::vector<std::vector<COLORREF>> pixels;
  std::vector<std::vector<bool>> clear;
  HBITMAP strip = nullptr;
  HBITMAP stripMask = nullptr;
};

std::map<int, std::unique_ptr<ImageList>>& Lists() {
  static auto* lists = new std::map<int, std::unique_ptr<ImageList>>;
  return *lists;
}

ImageList* L(HIMAGELIST h) {
  auto it = Lists().find(int(reinterpret_cast<std::intptr_t>(h)));
  return it == Lists().end() ? nullptr : it->second.get();
}

// Reads a bitmap's pixels through a memory DC.
std::vector<COLORREF> Read(HBITMAP bmp, int x0, int w, int h) {
  std::vector<COLORREF> out(std::size_t(w) * std::size_t(h), 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out[std::size_t(y) * std::size_t(w) + std::size_t(x)] = GetPixel(dc, x0 + x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return out;
}

// The images side by side in one bitmap (and the mask likewise), as IMAGEINFO hands them out.
void RebuildStrip(ImageList& l) {
  if (l.strip) DeleteObject(l.strip);
  if (l.stripMask) DeleteObject(l.stripMask);
  int n = std::max<int>(1, int(l.pixels.size()));
  l.strip = CreateBitmap(n * l.cx, l.cy, 1, 32, nullptr);
  l.stripMask = l.masked ? CreateBitmap(n * l.cx, l.cy, 1, 1, nullptr) : nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, l.strip);
  for (std::size_t i = 0; i < l.pixels.size(); ++i)
    for (int y = 0; y < l.cy; ++y)
      for (int x = 0; x < l.cx; ++x)
        SetPixel(dc, int(i) * l.cx + x, y, l.pixels[i][std::size_t(y) * std::size_t(l.cx) + std::size_t(x)]);
  if (l.stripMask) {
    SelectObject(dc, l.stripMask);
    for (std::size_t i = 0; i < l.pixels.size(); ++i)
      for (int y = 0; y < l.cy; ++y)
        for (int x = 0; x < l.cx; ++x)
          SetPixel(dc, int(i) * l.cx + x, y,
                   l.clear[i][std::size_t(y) * std::size_t(l.cx) + std::size_t(x)] ? RGB(255, 255, 255) : RGB(0, 0, 0));
  }
  SelectObject(dc, old);
  DeleteDC(dc);
}

int AddImages(ImageList& l, const std::vector<COLORREF>& px, const std::vector<bool>& clear, int width) {
  int count = std::max(1, width / l.cx);
  int first = int(l.pixels.size());
  for (int i = 0; i < count; ++i) {
    std::vector<COLORREF> image(std::size_t(l.cx) * std::size_t(l.cy));
    std::vector<bool> mask(image.size(), false);
    for (int y = 0; y < l.cy; ++y)
      for (int x = 0; x < l.cx; ++x) {
        std::size_t src = std::size_t(y) * std::size_t(width) + std::size_t(i * l.cx + x);
        std::size_t dst = std::size_t(y) * std::size_t(l.cx) + std::size_t(x);
        if (src < px.size()) {
          image[dst] = px[src];
          mask[dst] = !clear.empty() && clear[src];
        }
      }
    l.pixels.push_back(std::move(image));
    l.clear.push_back(std::move(mask));
  }
  RebuildStrip(l);
  return first;
}

}  // namespace
}  // namespace win::detail

using namespace win::detail;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int) {
  if (cx <= 0 || cy <= 0) return nullptr;
  EnsureHandleFloor();
  auto l = std::make_unique<ImageList>();
  l->cx = cx;
  l->cy = cy;
  l->masked = flags & ILC_MASK;
  int h = win::RegisterHandle(l.get(), typeid(ImageList));
  Lists()[h] = std::move(l);
  return reinterpret_cast<HIMAGELIST>(std::intptr_t(h));
}

BOOL ImageList_Destroy(HIMAGELIST list) {
  ImageList* l = L(list);
  if (!l) return FALSE;
  if (l->strip) DeleteObject(l->strip);
  if (l->stripMask) DeleteObject(l->stripMask);
  int h = int(reinterpret_cast<std::intptr_t>(list));
  Lists().erase(h);
  win::ReleaseHandle(h);
  return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  ImageList* l = L(list);
  BITMAP bm{};
  if (!l || !GetObject(image, sizeof(bm), &bm)) return -1;
  std::vector<COLORREF> px = Read(image, 0, bm.bmWidth, std::min<int>(bm.bmHeight, l->cy));
  std::vector<bool> clear;
  if (l->masked && mask) {
    std::vector<COLORREF> m = Read(mask, 0, bm.bmWidth, std::min<int>(bm.bmHeight, l->cy));
    for (COLORREF c : m) clear.push_back(c != 0);
  }
  return AddImages(*l, px, clear, bm.bmWidth);
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor) {
  ImageList* l = L(list);
  BITMAP bm{};
  if (!l || !GetObject(image, sizeof(bm), &bm)) return -1;
  std::vector<COLORREF> px = Read(image, 0, bm.bmWidth, std::min<int>(bm.bmHeight, l->cy));
  std::vector<bool> clear;
  if (l->masked)
    for (COLORREF c : px) clear.push_back(c == maskColor);
  return AddImages(*l, px, clear, bm.bmWidth);
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
  ImageList* l = L(list);
  ICONINFO ii{};
  if (!l || !GetIconInfo(icon, &ii)) return -1;
  BITMAP bm{};
  GetObject(ii.hbmMask, sizeof(bm), &bm);
  std::vector<COLORREF> px, m;
  if (bm.bmWidth == l->cx && bm.bmHeight == l->cy) {
    px = ii.hbmColor ? Read(ii.hbmColor, 0, l->cx, l->cy)
                     : std::vector<COLORREF>(std::size_t(l->cx) * std::size_t(l->cy), 0);
    m = Read(ii.hbmMask, 0, l->cx, l->cy);
  } else {
    // An icon of another size is scaled to the list's size, as the system does: each pixel averages the opaque
    // pixels of its box and is clear when most of the box is.
    std::vector<COLORREF> big = ii.hbmColor
                                    ? Read(ii.hbmColor, 0, bm.bmWidth, bm.bmHeight)
                                    : std::vector<COLORREF>(std::size_t(bm.bmWidth) * std::size_t(bm.bmHeight), 0);
    std::vector<COLORREF> bigMask = Read(ii.hbmMask, 0, bm.bmWidth, bm.bmHeight);
    for (int y = 0; y < l->cy; ++y)
      for (int x = 0; x < l->cx; ++x) {
        int x0 = x * bm.bmWidth / l->cx, x1 = std::max(x0 + 1, (x + 1) * bm.bmWidth / l->cx);
        int y0 = y * bm.bmHeight / l->cy, y1 = std::max(y0 + 1, (y + 1) * bm.bmHeight / l->cy);
        int opaque = 0, total = 0, r = 0, g = 0, b = 0;
        for (int yy = y0; yy < y1; ++yy)
          for (int xx = x0; xx < x1; ++xx) {
            std::size_t i = std::size_t(yy) * std::size_t(bm.bmWidth) + std::size_t(xx);
            ++total;
            if (bigMask[i] != 0) continue;
            ++opaque;
            r += GetRValue(big[i]), g += GetGValue(big[i]), b += GetBValue(big[i]);
          }
        bool clearPixel = 2 * opaque < total;
        px.push_back(opaque ? RGB(r / opaque, g / opaque, b / opaque) : 0);
        m.push_back(clearPixel ? RGB(255, 255, 255) : 0);
      }
  }
  std::vector<bool> clear;
  for (COLORREF c : m) clear.push_back(c != 0);
  if (index < 0 || index >= int(l->pixels.size())) return AddImages(*l, px, clear, l->cx);
  l->pixels[std::size_t(index)] = px;
  l->clear[std::size_t(index)] = clear;
  RebuildStrip(*l);
  return index;
}

int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }

BOOL ImageList_Remove(HIMAGELIST list, int index) {
  ImageList* l = L(list);
  if (!l) return FALSE;
  if (index < 0) {
    l->pixels.clear();
    l->clear.clear();
  } else if (index < int(l->pixels.size())) {
    l->pixels.erase(l->pixels.begin() + index);
    l->clear.erase(l->clear.begin() + index);
  } else {
    return FALSE;
  }
  RebuildStrip(*l);
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list) {
  ImageList* l = L(list);
  return l ? int(l->pixels.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
  ImageList* l = L(list);
  if (!l) return FALSE;
  if (cx) *cx = l->cx;
  if (cy) *cy = l->cy;
  return TRUE;
}

BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info) {
  ImageList* l = L(list);
  if (!l || !info || index < 0 || index >= int(l->pixels.size())) return FALSE;
  *info = IMAGEINFO{l->strip, l->stripMask, 0, 0, {index * l->cx, 0, (index + 1) * l->cx, l->cy}};
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  ImageList* l = L(list);
  if (!l || index < 0 || index >= int(l->pixels.size())) return FALSE;
  HDC mem = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(mem, l->strip);
  bool transparent = l->masked && (l->bk == CLR_NONE || (style & ILD_TRANSPARENT));
  if (!l->masked) {
    BitBlt(dc, x, y, l->cx, l->cy, mem, index * l->cx, 0, SRCCOPY);
  } else {
    // Masked pixels show what lies under the image, or the list's background colour.
    for (int yy = 0; yy < l->cy; ++yy)
      for (int xx = 0; xx < l->cx; ++xx) {
        std::size_t i = std::size_t(yy) * std::size_t(l->cx) + std::size_t(xx);
        if (!l->clear[std::size_t(index)][i])
          SetPixel(dc, x + xx, y + yy, l->pixels[std::size_t(index)][i]);
        else if (!transparent)
          SetPixel(dc, x + xx, y + yy, l->bk);
      }
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT) {
  ImageList* l = L(list);
  if (!l || index < 0 || index >= int(l->pixels.size())) return nullptr;
  HBITMAP color = CreateBitmap(l->cx, l->cy, 1, 32, nullptr);
  HBITMAP mask = CreateBitmap(l->cx, l->cy, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, color);
  for (int yy = 0; yy < l->cy; ++yy)
    for (int xx = 0; xx < l->cx; ++xx) {
      std::size_t i = std::size_t(yy) * std::size_t(l->cx) + std::size_t(xx);
      SetPixel(dc, xx, yy, l->clear[std::size_t(index)][i] ? RGB(0, 0, 0) : l->pixels[std::size_t(index)][i]);
    }
  SelectObject(dc, mask);
  for (int yy = 0; yy < l->cy; ++yy)
    for (int xx = 0; xx < l->cx; ++xx)
      SetPixel(dc, xx, yy,
               l->clear[std::size_t(index)][std::size_t(yy) * std::size_t(l->cx) + std::size_t(xx)] ? RGB(255, 255, 255)
                                                                                                    : RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  ICONINFO ii{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(color);
  DeleteObject(mask);
  return icon;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
  ImageList* l = L(list);
  if (!l) return CLR_NONE;
  COLORREF old = l->bk;
  l->bk = color;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) {
  ImageList* l = L(list);
  return l ? l->bk : CLR_NONE;
}
