// Raster operations: pattern blits, blits between DCs (stretched, transparent, masked) and gradients.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "platform/win/draw/gdi_internal.h"
#include "platform/win/base/handles.h"
#include "platform/win/window/internal.h"

using namespace win::detail;

BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  KOLUMO_RECORD(dc, (RECT{x, y, x + w, y + h}), PatBlt(target, x, y, w, h, rop));
  GdiObject brush = BrushOf(*d);
  if (brush.brush.lbStyle == BS_NULL) brush.brush = {BS_SOLID, 0, 0};
  FillDeviceRect(*d, ToDeviceRect(*d, x, y, x + w, y + h), brush, rop);
  return TRUE;
}

namespace {
// Source pixel as the destination sees it: monochrome sources become the destination's text (0) and background
// (1) colours; colour sources onto monochrome destinations compare with the source's background colour.
std::uint32_t SourcePixel(const Dc& src, const Dc& dst, int sx, int sy) {
  std::uint32_t v = src.surface->Get(sx, sy);
  if (src.surface->monochrome && !dst.surface->monochrome) return v ? ToRgb(dst.st.bk) : ToRgb(dst.st.text);
  if (!src.surface->monochrome && dst.surface->monochrome) return v == ToRgb(src.st.bk) ? 0xFFFFFF : 0;
  return v;
}

// A blit onto a printer's page: the source's pixels placed as a picture of their own resolution, scaled into the
// destination rectangle. A plain copy places the source as it is; any other operation (a transparent colour, a
// mask) is worked out per source pixel on white paper, pixels that leave the paper as it is left out.
void PaintOnPaper(cairo_t* cr, const Dc& d, const Dc* s, const RECT& dr, const RECT& srect, DWORD rop, bool needsSource,
                  const GdiObject* brush, const std::uint32_t* transparent) {
  if (!needsSource) {
    if (cairo_pattern_t* paint = PaperPattern(d, brush ? *brush : GdiObject{}, rop)) {
      cairo_set_source(cr, paint);
      cairo_paint(cr);
      cairo_pattern_destroy(paint);
    }
    return;
  }
  const int sw = srect.right - srect.left, sh = srect.bottom - srect.top;
  if (sw == 0 || sh == 0 || dr.right <= dr.left || dr.bottom <= dr.top) return;
  // The source rectangle, within the source.
  const int x0 = std::max(0, int(std::min(srect.left, srect.right))),
            y0 = std::max(0, int(std::min(srect.top, srect.bottom)));
  const int x1 = std::min(s->surface->width, int(std::max(srect.left, srect.right)));
  const int y1 = std::min(s->surface->height, int(std::max(srect.top, srect.bottom)));
  if (x1 <= x0 || y1 <= y0) return;
  cairo_surface_t* picture = nullptr;
  if (rop == SRCCOPY && !transparent && s->surface->pixels && !s->surface->monochrome && !d.surface->monochrome) {
    picture = cairo_surface_create_for_rectangle(s->surface->surface, x0, y0, x1 - x0, y1 - y0);
  } else {
    picture = NewImageSurface(CAIRO_FORMAT_ARGB32, x1 - x0, y1 - y0);
    unsigned char* data = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        const std::uint32_t sp = SourcePixel(*s, d, x, y), pp = brush ? BrushPixel(d, *brush, x, y) : 0;
        std::uint32_t v = 0;
        const bool drawn = !(transparent && sp == *transparent) &&
                           OnPaper(Rop3(rop, pp, sp, 0xFFFFFF) & 0xFFFFFF, Rop3(rop, pp, sp, 0) & 0xFFFFFF, &v);
        reinterpret_cast<std::uint32_t*>(data + (y - y0) * stride)[x - x0] = drawn ? 0xFF000000u | v : 0u;
      }
    cairo_surface_mark_dirty(picture);
  }
  cairo_translate(cr, dr.left, dr.top);
  cairo_scale(cr, double(dr.right - dr.left) / sw, double(dr.bottom - dr.top) / sh);
  cairo_set_source_surface(cr, picture, x0 - srect.left, y0 - srect.top);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  cairo_surface_destroy(picture);
}

BOOL Blit(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop,
          const std::uint32_t* transparent) {
  Dc* d = GetDc(dest);
  if (!d) return FALSE;
  Dc* s = src ? GetDc(src) : nullptr;
  bool needsSource = (((rop >> 2) ^ rop) & 0x330000) != 0;
  if (needsSource && !s) return FALSE;
  if (d->recording) {
    // The source pixels are copied now: the recording must not depend on the source DC later.
    if (!needsSource) {
      Record(
          *d, [=](HDC target) { Blit(target, x, y, w, h, nullptr, 0, 0, 0, 0, rop, nullptr); },
          RECT{x, y, x + w, y + h});
      return TRUE;
    }
    int cw = std::abs(sw), ch = std::abs(sh);
    HBITMAP copy = CreateBitmap(std::max(cw, 1), std::max(ch, 1), 1, s->surface->monochrome ? 1 : 32, nullptr);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, copy);
    Blit(mem, 0, 0, cw, ch, src, sx, sy, cw, ch, SRCCOPY, nullptr);
    SelectObject(mem, old);
    DeleteDC(mem);
    auto keep = Obj(copy);
    DeleteObject(copy);
    std::uint32_t tr = transparent ? *transparent : 0;
    bool hasTr = transparent != nullptr;
    COLORREF bk = s->st.bk;
    Record(
        *d,
        [=](HDC target) {
          HDC m = CreateCompatibleDC(nullptr);
          HBITMAP b = static_cast<HBITMAP>(NewObject(std::make_shared<GdiObject>(*keep)));
          HGDIOBJ o = SelectObject(m, b);
          SetBkColor(m, bk);
          Blit(target, x, y, w, h, m, 0, 0, cw, ch, rop, hasTr ? &tr : nullptr);
          SelectObject(m, o);
          DeleteDC(m);
          DeleteObject(b);
        },
        RECT{x, y, x + w, y + h});
    return TRUE;
  }
  RECT dr = ToDeviceRect(*d, x, y, x + w, y + h);
  Region area = ClipOf(*d).Intersect(Region::FromRect(dr));
  GdiObject brush = BrushOf(*d);
  if (brush.brush.lbStyle == BS_NULL) brush.brush = {BS_SOLID, 0, 0};
  bool needsPattern = (((rop >> 4) ^ rop) & 0x0F0000) != 0;
  RECT srect{0, 0, 0, 0};
  if (s) {
    POINT a = ToDevice(*s, sx, sy), c = ToDevice(*s, sx + sw, sy + sh);
    srect = {a.x, a.y, c.x, c.y};
  }
  int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
  if (cairo_t* cr = PrinterPage(*d)) {
    ClipTo(cr, area);
    PaintOnPaper(cr, *d, s, dr, srect, rop, needsSource, needsPattern ? &brush : nullptr, transparent);
    cairo_destroy(cr);
    return TRUE;
  }
  Surface& ds = *d->surface;
  // A copy of the source first, since source and destination may be the same surface; only of the part that is
  // painted, so that a destination far larger than the surface costs no more than the surface.
  RECT painted{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (const RECT& r : area.rects) {
    painted.left = std::min(painted.left, r.left);
    painted.top = std::min(painted.top, r.top);
    painted.right = std::max(painted.right, r.right);
    painted.bottom = std::max(painted.bottom, r.bottom);
  }
  if (area.rects.empty()) painted = {0, 0, 0, 0};
  const int pw = int(painted.right - painted.left), ph = int(painted.bottom - painted.top);
  std::vector<std::uint32_t> srcPixels;
  if (needsSource) {
    srcPixels.resize(std::size_t(pw) * std::size_t(ph));
    for (int yy = 0; yy < ph; ++yy)
      for (int xx = 0; xx < pw; ++xx) {
        const double dx = xx + painted.left - dr.left + 0.5, dy = yy + painted.top - dr.top + 0.5;
        int px = srect.left + int(std::floor(dx * (srect.right - srect.left) / double(dw)));
        int py = srect.top + int(std::floor(dy * (srect.bottom - srect.top) / double(dh)));
        if (srect.right < srect.left) px -= 1;
        if (srect.bottom < srect.top) py -= 1;
        srcPixels[std::size_t(yy) * std::size_t(pw) + std::size_t(xx)] = SourcePixel(*s, *d, px, py);
      }
  }
  for (const RECT& r : area.rects)
    for (int yy = r.top; yy < r.bottom; ++yy) {
      std::uint32_t* row = ds.Row(yy);
      for (int xx = r.left; xx < r.right; ++xx) {
        std::uint32_t sp =
            needsSource ? srcPixels[std::size_t(yy - painted.top) * std::size_t(pw) + std::size_t(xx - painted.left)]
                        : 0;
        if (transparent && sp == *transparent) continue;
        std::uint32_t pp = needsPattern ? BrushPixel(*d, brush, xx, yy) : 0;
        std::uint32_t v = rop == SRCCOPY ? sp : Rop3(rop, pp, sp, row[xx] & 0xFFFFFF);
        row[xx] = ds.monochrome ? MonoOf(v) : v;
      }
    }
  cairo_surface_mark_dirty(ds.surface);
  return TRUE;
}
}  // namespace

BOOL BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  return Blit(dest, x, y, w, h, src, sx, sy, w, h, rop, nullptr);
}
BOOL StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop) {
  return Blit(dest, x, y, w, h, src, sx, sy, sw, sh, rop, nullptr);
}
BOOL TransparentBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, UINT transparent) {
  std::uint32_t t = ToRgb(transparent);
  return Blit(dest, x, y, w, h, src, sx, sy, sw, sh, SRCCOPY, &t);
}
BOOL MaskBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, HBITMAP mask, int mx, int my, DWORD rop) {
  if (!mask) return BitBlt(dest, x, y, w, h, src, sx, sy, rop & 0xFFFFFF);
  // Foreground rop where the mask is 1, background (high byte) where it is 0: done as two passes.
  HDC m = CreateCompatibleDC(dest);
  HGDIOBJ old = SelectObject(m, mask);
  BOOL ok = TRUE;
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      bool fg = GetPixel(m, mx + xx, my + yy) != 0;
      DWORD r = fg ? (rop & 0x00FFFFFF) : (((rop >> 8) & 0x00FF0000) | 0x0000);
      ok = Blit(dest, x + xx, y + yy, 1, 1, src, sx + xx, sy + yy, 1, 1, r, nullptr) && ok;
    }
  SelectObject(m, old);
  DeleteDC(m);
  return ok;
}

BOOL GradientFill(HDC dc, TRIVERTEX* v, ULONG nv, void* mesh, ULONG nm, ULONG mode) {
  Dc* d = GetDc(dc);
  if (!d || !v || !mesh) return FALSE;
  if (d->recording) {
    std::vector<TRIVERTEX> verts(v, v + nv);
    std::vector<GRADIENT_RECT> rects;
    if (mode != GRADIENT_FILL_TRIANGLE)
      rects.assign(static_cast<GRADIENT_RECT*>(mesh), static_cast<GRADIENT_RECT*>(mesh) + nm);
    RECT b{0, 0, 0, 0};
    for (const TRIVERTEX& t : verts) {
      POINT p{t.x, t.y};
      RECT pb = BoundsOf(&p, 1);
      if (b.right <= b.left) b = pb;
      b = {std::min(b.left, pb.left), std::min(b.top, pb.top), std::max(b.right, pb.right),
           std::max(b.bottom, pb.bottom)};
    }
    Record(
        *d,
        [=](HDC target) mutable {
          GradientFill(target, verts.data(), ULONG(verts.size()), rects.data(), ULONG(rects.size()), mode);
        },
        b);
    return TRUE;
  }
  if (mode == GRADIENT_FILL_TRIANGLE) return FALSE;
  auto* rects = static_cast<GRADIENT_RECT*>(mesh);
  for (ULONG i = 0; i < nm; ++i) {
    if (rects[i].UpperLeft >= nv || rects[i].LowerRight >= nv) return FALSE;
    const TRIVERTEX& a = v[rects[i].UpperLeft];
    const TRIVERTEX& b = v[rects[i].LowerRight];
    RECT dr = ToDeviceRect(*d, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
    const TRIVERTEX& first = (mode == GRADIENT_FILL_RECT_H ? (a.x <= b.x) : (a.y <= b.y)) ? a : b;
    const TRIVERTEX& last = &first == &a ? b : a;
    Region area = ClipOf(*d).Intersect(Region::FromRect(dr));
    int span = mode == GRADIENT_FILL_RECT_H ? dr.right - dr.left : dr.bottom - dr.top;
    if (cairo_t* cr = PrinterPage(*d)) {
      ClipTo(cr, area);
      const double end = span > 1 ? span - 1 : 1;  // the last pixel has the last colour, as on the screen
      cairo_pattern_t* ramp = mode == GRADIENT_FILL_RECT_H
                                  ? cairo_pattern_create_linear(dr.left + 0.5, 0, dr.left + 0.5 + end, 0)
                                  : cairo_pattern_create_linear(0, dr.top + 0.5, 0, dr.top + 0.5 + end);
      cairo_pattern_add_color_stop_rgb(ramp, 0, first.Red / 65535.0, first.Green / 65535.0, first.Blue / 65535.0);
      cairo_pattern_add_color_stop_rgb(ramp, 1, last.Red / 65535.0, last.Green / 65535.0, last.Blue / 65535.0);
      cairo_set_source(cr, ramp);
      cairo_paint(cr);
      cairo_pattern_destroy(ramp);
      cairo_destroy(cr);
      continue;
    }
    for (const RECT& r : area.rects)
      for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = d->surface->Row(y);
        for (int x = r.left; x < r.right; ++x) {
          int pos = mode == GRADIENT_FILL_RECT_H ? x - dr.left : y - dr.top;
          double t = span > 1 ? double(pos) / double(span - 1) : 0.0;
          auto ch = [&](COLOR16 c0, COLOR16 c1) {
            return std::uint32_t(std::lround((c0 + (c1 - c0) * t) / 256.0)) & 0xFF;
          };
          std::uint32_t rgb =
              (ch(first.Red, last.Red) << 16) | (ch(first.Green, last.Green) << 8) | ch(first.Blue, last.Blue);
          row[x] = d->surface->monochrome ? MonoOf(rgb) : rgb;
        }
      }
    cairo_surface_mark_dirty(d->surface->surface);
  }
  return TRUE;
}
