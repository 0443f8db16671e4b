// GDI objects: stock and system objects, pens, brushes, fonts, bitmaps, regions and icons.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win/draw/gdi_internal.h"
#include "platform/win/base/handles.h"
#include "platform/win/window/internal.h"

using namespace win::detail;

// ---- Stock and system objects ----------------------------------------------------------------------------------------
HGDIOBJ GetStockObject(int index) {
  auto& stock = Gdi().stock;
  auto it = stock.find(index);
  if (it != stock.end()) return it->second;
  auto o = std::make_shared<GdiObject>();
  o->stock = true;
  switch (index) {
    case WHITE_BRUSH:
    case LTGRAY_BRUSH:
    case GRAY_BRUSH:
    case DKGRAY_BRUSH:
    case BLACK_BRUSH:
    case DC_BRUSH: {
      static const COLORREF colors[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128), RGB(64, 64, 64),
                                        RGB(0, 0, 0)};
      o->kind = GdiKind::Brush;
      o->brush = {BS_SOLID, index == DC_BRUSH ? RGB(255, 255, 255) : colors[index], 0};
      break;
    }
    case NULL_BRUSH:
      o->kind = GdiKind::Brush;
      o->brush = {BS_NULL, 0, 0};
      break;
    case WHITE_PEN:
    case BLACK_PEN:
    case NULL_PEN:
    case DC_PEN:
      o->kind = GdiKind::Pen;
      o->pen = {UINT(index == NULL_PEN ? PS_NULL : PS_SOLID), {1, 0}, index == WHITE_PEN ? RGB(255, 255, 255) : 0};
      break;
    case DEFAULT_PALETTE: o->kind = GdiKind::Palette; break;
    default: {  // fonts
      o->kind = GdiKind::Font;
      LOGFONT lf{};
      bool fixed = index == OEM_FIXED_FONT || index == ANSI_FIXED_FONT || index == SYSTEM_FIXED_FONT;
      lf.lfHeight = index == DEFAULT_GUI_FONT || index == ANSI_VAR_FONT ? -11 : 16;
      lf.lfWeight = index == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
      std::strcpy(lf.lfFaceName, fixed ? "Courier New" : (index == SYSTEM_FONT ? "System" : "MS Shell Dlg"));
      o->font = lf;
      break;
    }
  }
  HGDIOBJ h = NewObject(o);
  stock[index] = h;
  return h;
}

DWORD GetSysColor(int index) {
  static const COLORREF colors[] = {RGB(200, 200, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128),
                                    RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
                                    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
                                    RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255), RGB(212, 208, 200),
                                    RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
                                    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),
                                    RGB(255, 255, 225), RGB(180, 180, 180), RGB(0, 0, 128),     RGB(166, 202, 240),
                                    RGB(192, 192, 192), RGB(49, 106, 197),  RGB(212, 208, 200)};
  if (index < 0 || index >= int(sizeof(colors) / sizeof(colors[0]))) return 0;
  return colors[index];
}

HBRUSH GetSysColorBrush(int index) {
  auto& b = Gdi().sysBrushes;
  auto it = b.find(index);
  if (it != b.end()) return it->second;
  auto o = std::make_shared<GdiObject>();
  o->stock = true;
  o->kind = GdiKind::Brush;
  o->brush = {BS_SOLID, GetSysColor(index), 0};
  HBRUSH h = static_cast<HBRUSH>(NewObject(o));
  b[index] = h;
  return h;
}

// ---- Objects -------------------------------------------------------------------------------------------------------------
HPEN CreatePen(int style, int width, COLORREF color) {
  auto o = std::make_shared<GdiObject>();
  o->kind = GdiKind::Pen;
  o->pen = {UINT(style), {width, 0}, color & 0xFFFFFF};
  return static_cast<HPEN>(NewObject(o));
}
HPEN CreatePenIndirect(const LOGPEN* pen) {
  return pen ? CreatePen(int(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor) : nullptr;
}
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD, const DWORD*) {
  return CreatePen(int(style & PS_STYLE_MASK), int(width), brush ? brush->lbColor : 0);
}
HBRUSH CreateSolidBrush(COLORREF color) {
  auto o = std::make_shared<GdiObject>();
  o->kind = GdiKind::Brush;
  o->brush = {BS_SOLID, color & 0xFFFFFF, 0};
  return static_cast<HBRUSH>(NewObject(o));
}
HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  auto o = std::make_shared<GdiObject>();
  o->kind = GdiKind::Brush;
  o->brush = {BS_HATCHED, color & 0xFFFFFF, ULONG_PTR(hatch)};
  return static_cast<HBRUSH>(NewObject(o));
}
HBRUSH CreatePatternBrush(HBITMAP bitmap) {
  auto b = Obj(bitmap);
  if (!b || b->kind != GdiKind::Bitmap) return nullptr;
  auto o = std::make_shared<GdiObject>();
  o->kind = GdiKind::Brush;
  o->brush = {BS_PATTERN, 0, 0};
  o->pattern = std::make_shared<Surface>(b->bitmap->width, b->bitmap->height);
  o->pattern->monochrome = b->bitmap->monochrome;
  for (int y = 0; y < b->bitmap->height; ++y)
    for (int x = 0; x < b->bitmap->width; ++x) o->pattern->Set(x, y, b->bitmap->Get(x, y));
  return static_cast<HBRUSH>(NewObject(o));
}
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush) return nullptr;
  if (brush->lbStyle == BS_NULL) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  if (brush->lbStyle == BS_HATCHED) return CreateHatchBrush(int(brush->lbHatch), brush->lbColor);
  return CreateSolidBrush(brush->lbColor);
}

HFONT CreateFontIndirect(const LOGFONT* font) {
  if (!font) return nullptr;
  auto o = std::make_shared<GdiObject>();
  o->kind = GdiKind::Font;
  o->font = *font;
  o->font.lfFaceName[LF_FACESIZE - 1] = 0;
  return static_cast<HFONT>(NewObject(o));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                 DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                 DWORD pitchAndFamily, LPCSTR face) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic);
  lf.lfUnderline = BYTE(underline);
  lf.lfStrikeOut = BYTE(strikeOut);
  lf.lfCharSet = BYTE(charSet);
  lf.lfOutPrecision = BYTE(outPrecision);
  lf.lfClipPrecision = BYTE(clipPrecision);
  lf.lfQuality = BYTE(quality);
  lf.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
  auto o = std::make_shared<GdiObject>();
  o->kind = GdiKind::Bitmap;
  try {
    o->bitmap = std::make_shared<Surface>(width, height);
  } catch (const std::bad_alloc&) {
    return nullptr;  // no memory for the pixels: no bitmap, as Win32 says it
  }
  o->bitmap->monochrome = planes * bpp == 1;
  o->bpp = int(planes * bpp);
  if (o->bitmap->monochrome) {
    // Win32 creates monochrome bitmaps black.
    for (int y = 0; y < height; ++y) std::fill(o->bitmap->Row(y), o->bitmap->Row(y) + width, 0u);
    cairo_surface_mark_dirty(o->bitmap->surface);
  }
  HBITMAP h = static_cast<HBITMAP>(NewObject(o));
  if (bits) SetBitmapBits(h, 0x7FFFFFFF, bits);
  return h;
}

HBITMAP CreateBitmapIndirect(const BITMAP* bm) {
  return bm ? CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits) : nullptr;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  Dc* d = GetDc(dc);
  bool mono = d && d->memoryDc && d->surface->monochrome;
  HBITMAP h = CreateBitmap(width, height, 1, mono ? 1 : 32, nullptr);
  if (auto o = Obj(h); o && !mono) {
    // Compatible colour bitmaps start black, as on a display.
    for (int y = 0; y < o->bitmap->height; ++y) std::fill(o->bitmap->Row(y), o->bitmap->Row(y) + o->bitmap->width, 0u);
    cairo_surface_mark_dirty(o->bitmap->surface);
  }
  return h;
}

// Bits as 32-bit pixels (0x00RRGGBB) row by row for colour bitmaps; monochrome as 1 bit per pixel, rows padded to
// 16 bits, 1 = white.
LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits) {
  auto o = Obj(bitmap);
  if (!o || o->kind != GdiKind::Bitmap || !bits) return 0;
  Surface& s = *o->bitmap;
  if (s.monochrome) {
    int stride = ((s.width + 15) / 16) * 2;
    LONG n = std::min<LONG>(size, stride * s.height);
    auto* out = static_cast<BYTE*>(bits);
    std::memset(out, 0, std::size_t(n));
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x) {
        LONG idx = y * stride + x / 8;
        if (idx < n && s.Get(x, y)) out[idx] |= BYTE(0x80 >> (x % 8));
      }
    return n;
  }
  LONG n = std::min<LONG>(size / 4, s.width * s.height);
  auto* out = static_cast<std::uint32_t*>(bits);
  // Row by row: the report reads whole print-size pictures through here.
  cairo_surface_flush(s.surface);
  const unsigned char* data = cairo_image_surface_get_data(s.surface);
  const std::ptrdiff_t stride = cairo_image_surface_get_stride(s.surface);
  for (LONG i = 0; i < n;) {
    const LONG y = i / s.width, x = i % s.width, count = std::min<LONG>(n - i, s.width - x);
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
    for (LONG k = 0; k < count; ++k) out[i + k] = row[x + k] & 0xFFFFFF;
    i += count;
  }
  return n * 4;
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits) {
  auto o = Obj(bitmap);
  if (!o || o->kind != GdiKind::Bitmap || !bits) return 0;
  Surface& s = *o->bitmap;
  if (s.monochrome) {
    int stride = ((s.width + 15) / 16) * 2;
    LONG n = std::min<LONG>(LONG(std::min<DWORD>(size, 0x7FFFFFFF)), stride * s.height);
    auto* in = static_cast<const BYTE*>(bits);
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x) {
        LONG idx = y * stride + x / 8;
        if (idx < n) s.Set(x, y, (in[idx] & (0x80 >> (x % 8))) ? 0xFFFFFF : 0);
      }
    return n;
  }
  LONG n = std::min<LONG>(LONG(std::min<DWORD>(size, 0x7FFFFFFF)) / 4, s.width * s.height);
  // Row by row: a picture's bits are millions of pixels.
  auto* in = static_cast<const std::uint32_t*>(bits);
  for (LONG i = 0; i < n;) {
    const int y = int(i / s.width), x = int(i % s.width);
    const LONG run = std::min<LONG>(n - i, s.width - x);
    std::uint32_t* row = s.Row(y) + x;
    for (LONG k = 0; k < run; ++k) row[k] = in[i + k] & 0xFFFFFF;
    i += run;
  }
  cairo_surface_mark_dirty(s.surface);
  return n * 4;
}

namespace win::detail {
HRGN NewRegion(Region r) {
  auto o = std::make_shared<GdiObject>();
  o->kind = GdiKind::Region;
  o->region = std::move(r);
  return static_cast<HRGN>(NewObject(o));
}
GdiObject* RegionObj(HRGN h) {
  auto o = Obj(h);
  return o && o->kind == GdiKind::Region ? o.get() : nullptr;
}
int Complexity(const Region& r) {
  if (r.Empty()) return NULLREGION;
  RECT box = r.Box();
  long long area = 0;
  for (const RECT& x : r.rects) area += (long long)(x.right - x.left) * (x.bottom - x.top);
  return area == (long long)(box.right - box.left) * (box.bottom - box.top) ? SIMPLEREGION : COMPLEXREGION;
}
}  // namespace win::detail

namespace {
Region EllipseRegion(int l, int t, int r, int b) {
  Region g;
  double cx = (l + r) / 2.0, cy = (t + b) / 2.0, rx = (r - l) / 2.0, ry = (b - t) / 2.0;
  if (rx <= 0 || ry <= 0) return g;
  for (int y = t; y < b; ++y) {
    double dy = (y + 0.5 - cy) / ry;
    if (std::fabs(dy) > 1) continue;
    double half = rx * std::sqrt(1 - dy * dy);
    int x0 = int(std::lround(cx - half)), x1 = int(std::lround(cx + half));
    if (x1 > x0) g.rects.push_back({x0, y, x1, y + 1});
  }
  return g;
}
}  // namespace

HRGN CreateRectRgn(int l, int t, int r, int b) {
  return NewRegion(Region::FromRect({std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)}));
}
HRGN CreateRectRgnIndirect(const RECT* r) { return r ? CreateRectRgn(r->left, r->top, r->right, r->bottom) : nullptr; }
HRGN CreateEllipticRgn(int l, int t, int r, int b) { return NewRegion(EllipseRegion(l, t, r, b)); }
HRGN CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
  Region g = Region::FromRect({l, t + h / 2, r, b - h / 2}).Union(Region::FromRect({l + w / 2, t, r - w / 2, b}));
  g = g.Union(EllipseRegion(l, t, l + w, t + h)).Union(EllipseRegion(r - w, t, r, t + h));
  g = g.Union(EllipseRegion(l, b - h, l + w, b)).Union(EllipseRegion(r - w, b - h, r, b));
  return NewRegion(g);
}
HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode) {
  Region g;
  if (!pts || count < 3) return NewRegion(g);
  RECT box = BoundsOf(pts, count);
  for (int y = box.top; y < box.bottom; ++y) {
    double sy = y + 0.5;
    std::vector<std::pair<double, int>> xs;
    for (int i = 0; i < count; ++i) {
      POINT a = pts[i], b = pts[(i + 1) % count];
      if ((a.y <= sy && b.y > sy) || (b.y <= sy && a.y > sy))
        xs.push_back({a.x + (sy - a.y) * double(b.x - a.x) / double(b.y - a.y), b.y > a.y ? 1 : -1});
    }
    std::sort(xs.begin(), xs.end());
    int wind = 0;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
      wind += xs[i].second;
      bool inside = fillMode == WINDING ? wind != 0 : (i % 2) == 0;
      int x0 = int(std::lround(xs[i].first)), x1 = int(std::lround(xs[i + 1].first));
      if (inside && x1 > x0) g = g.Union(Region::FromRect({x0, y, x1, y + 1}));
    }
  }
  return NewRegion(g);
}
int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
  GdiObject* d = RegionObj(dest);
  GdiObject* ra = RegionObj(a);
  GdiObject* rb = RegionObj(b);
  if (!d || !ra || (mode != RGN_COPY && !rb)) return ERROR;
  Region out;
  switch (mode) {
    case RGN_AND: out = ra->region.Intersect(rb->region); break;
    case RGN_OR: out = ra->region.Union(rb->region); break;
    case RGN_XOR: out = ra->region.Xor(rb->region); break;
    case RGN_DIFF: out = ra->region.Subtract(rb->region); break;
    case RGN_COPY: out = ra->region; break;
    default: return ERROR;
  }
  d->region = out;
  return Complexity(out);
}
BOOL SetRectRgn(HRGN rgn, int l, int t, int r, int b) {
  GdiObject* g = RegionObj(rgn);
  if (!g) return FALSE;
  g->region = Region::FromRect({l, t, r, b});
  return TRUE;
}
int OffsetRgn(HRGN rgn, int dx, int dy) {
  GdiObject* g = RegionObj(rgn);
  if (!g) return ERROR;
  g->region = g->region.Offset(dx, dy);
  return Complexity(g->region);
}
BOOL PtInRegion(HRGN rgn, int x, int y) {
  GdiObject* g = RegionObj(rgn);
  return g && g->region.Contains(x, y);
}
BOOL RectInRegion(HRGN rgn, const RECT* r) {
  GdiObject* g = RegionObj(rgn);
  return g && r && !g->region.Intersect(Region::FromRect(*r)).Empty();
}
int GetRgnBox(HRGN rgn, LPRECT out) {
  GdiObject* g = RegionObj(rgn);
  if (!g || !out) return ERROR;
  *out = g->region.Box();
  return Complexity(g->region);
}
BOOL EqualRgn(HRGN a, HRGN b) {
  GdiObject* ra = RegionObj(a);
  GdiObject* rb = RegionObj(b);
  return ra && rb && ra->region.Xor(rb->region).Empty();
}

namespace {
// A region given in logical units, as device pixels of the DC, clipped.
Region DeviceRegion(const Dc& d, const Region& logical) {
  Region out;
  for (const RECT& r : logical.rects)
    out = out.Union(Region::FromRect(ToDeviceRect(d, r.left, r.top, r.right, r.bottom)));
  return ClipOf(d).Intersect(out);
}

BOOL RegionFill(HDC dc, HRGN rgn, const GdiObject* brush, DWORD rop) {
  Dc* d = GetDc(dc);
  GdiObject* g = RegionObj(rgn);
  if (!d || !g) return FALSE;
  if (d->recording) {
    Region copy = g->region;
    std::shared_ptr<GdiObject> b = brush ? std::make_shared<GdiObject>(*brush) : nullptr;
    Record(
        *d,
        [=](HDC target) {
          HRGN r = NewRegion(copy);
          HBRUSH h = b ? static_cast<HBRUSH>(NewObject(std::make_shared<GdiObject>(*b))) : nullptr;
          Dc* t = GetDc(target);
          if (t) FillDeviceRegion(*t, DeviceRegion(*t, copy), h ? *Obj(h) : BrushOf(*t), rop);
          DeleteObject(r);
          if (h) DeleteObject(h);
        },
        copy.Box());
    return TRUE;
  }
  GdiObject fill = brush ? *brush : BrushOf(*d);
  if (fill.brush.lbStyle == BS_NULL && rop == PATCOPY) return TRUE;
  FillDeviceRegion(*d, DeviceRegion(*d, g->region), fill, rop);
  return TRUE;
}
}  // namespace

BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush) {
  auto b = Obj(brush);
  return b ? RegionFill(dc, rgn, b.get(), PATCOPY) : FALSE;
}

BOOL PaintRgn(HDC dc, HRGN rgn) { return RegionFill(dc, rgn, nullptr, PATCOPY); }

BOOL InvertRgn(HDC dc, HRGN rgn) { return RegionFill(dc, rgn, nullptr, DSTINVERT); }

BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int w, int h) {
  GdiObject* g = RegionObj(rgn);
  auto b = Obj(brush);
  if (!g || !b) return FALSE;
  // The frame is what remains of the region when it is shrunk by w and h.
  Region inner = g->region.Intersect(g->region.Offset(w, 0))
                     .Intersect(g->region.Offset(-w, 0))
                     .Intersect(g->region.Offset(0, h))
                     .Intersect(g->region.Offset(0, -h));
  HRGN frame = NewRegion(g->region.Subtract(inner));
  BOOL ok = RegionFill(dc, frame, b.get(), PATCOPY);
  DeleteObject(frame);
  return ok;
}

BOOL DeleteObject(HGDIOBJ object) {
  auto o = Obj(object);
  if (!o) return FALSE;
  if (o->stock) return TRUE;
  int h = int(reinterpret_cast<std::intptr_t>(object));
  win::ReleaseHandle(h);
  Gdi().objects.erase(h);
  return TRUE;
}

DWORD GetObjectType(HGDIOBJ object) {
  if (GetDc(static_cast<HDC>(object))) {
    Dc* d = GetDc(static_cast<HDC>(object));
    return d->recording ? OBJ_ENHMETADC : (d->memoryDc ? OBJ_MEMDC : OBJ_DC);
  }
  auto o = Obj(object);
  if (!o) return 0;
  switch (o->kind) {
    case GdiKind::Pen: return OBJ_PEN;
    case GdiKind::Brush: return OBJ_BRUSH;
    case GdiKind::Font: return OBJ_FONT;
    case GdiKind::Bitmap: return OBJ_BITMAP;
    case GdiKind::Region: return OBJ_REGION;
    case GdiKind::Palette: return OBJ_PAL;
    case GdiKind::EnhMetaFile: return OBJ_ENHMETAFILE;
    default: return 0;
  }
}

int GetObject(HGDIOBJ object, int size, LPVOID out) {
  auto o = Obj(object);
  if (!o) return 0;
  auto copy = [&](const void* src, int n) {
    if (!out) return n;
    if (size < n) return 0;
    std::memcpy(out, src, std::size_t(n));
    return n;
  };
  switch (o->kind) {
    case GdiKind::Pen: return copy(&o->pen, int(sizeof(LOGPEN)));
    case GdiKind::Brush: return copy(&o->brush, int(sizeof(LOGBRUSH)));
    case GdiKind::Font: return copy(&o->font, int(sizeof(LOGFONT)));
    case GdiKind::Bitmap: {
      BITMAP bm{0,
                o->bitmap->width,
                o->bitmap->height,
                o->bitmap->monochrome ? ((o->bitmap->width + 15) / 16) * 2 : o->bitmap->width * 4,
                1,
                WORD(o->bitmap->monochrome ? 1 : 32),
                nullptr};
      return copy(&bm, int(sizeof(BITMAP)));
    }
    default: return 0;
  }
}

// ---- Icons ------------------------------------------------------------------------------------------------------------------
HICON CreateIconIndirect(ICONINFO* info) {
  if (!info || !info->hbmMask) return nullptr;
  auto o = std::make_shared<GdiObject>();
  o->kind = GdiKind::Icon;
  auto copyBitmap = [](HBITMAP b) -> HBITMAP {
    auto src = Obj(b);
    if (!src || src->kind != GdiKind::Bitmap) return nullptr;
    HBITMAP c = CreateBitmap(src->bitmap->width, src->bitmap->height, 1, src->bitmap->monochrome ? 1 : 32, nullptr);
    auto dst = Obj(c);
    if (!dst) return nullptr;
    for (int y = 0; y < src->bitmap->height; ++y)
      for (int x = 0; x < src->bitmap->width; ++x) dst->bitmap->Set(x, y, src->bitmap->Get(x, y));
    return c;
  };
  o->iconMask = copyBitmap(info->hbmMask);
  o->iconColor = info->hbmColor ? copyBitmap(info->hbmColor) : nullptr;
  return reinterpret_cast<HICON>(NewObject(o));
}

BOOL GetIconInfo(HICON icon, ICONINFO* out) {
  auto o = Obj(icon);
  if (!o || o->kind != GdiKind::Icon || !out) return FALSE;
  *out = ICONINFO{TRUE, 0, 0, o->iconMask, o->iconColor};
  return TRUE;
}

BOOL DestroyIcon(HICON icon) {
  auto o = Obj(icon);
  if (!o || o->kind != GdiKind::Icon) return FALSE;
  if (o->stock) return TRUE;
  DeleteObject(o->iconMask);
  DeleteObject(o->iconColor);
  return DeleteObject(icon);
}

HICON CopyIcon(HICON icon) {
  ICONINFO ii{};
  if (!GetIconInfo(icon, &ii)) return nullptr;
  return CreateIconIndirect(&ii);
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) { return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL); }

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH, UINT) {
  return DrawState(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, cx, cy, DST_ICON);
}
