// GDI on cairo image surfaces: objects, device contexts, GDI's pixel rules, blits with raster operations, and
// metafile recording.
#include "platform/win/draw/gdi.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "platform/win/draw/gdi_internal.h"
#include "platform/win/print/print.h"
#include "platform/win/base/handles.h"
#include "platform/win/window/internal.h"

namespace win::detail {

// ---- Surfaces ------------------------------------------------------------------------------------------------------
Surface::Surface(int w, int h) : width(std::max(1, w)), height(std::max(1, h)) {
  surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_destroy(cr);
}
Surface::~Surface() { cairo_surface_destroy(surface); }
std::uint32_t* Surface::Row(int y) {
  cairo_surface_flush(surface);
  return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                          std::ptrdiff_t(y) * cairo_image_surface_get_stride(surface));
}
std::uint32_t Surface::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  cairo_surface_flush(surface);
  auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                                     std::ptrdiff_t(y) * cairo_image_surface_get_stride(surface));
  return row[x] & 0xFFFFFF;
}
void Surface::Set(int x, int y, std::uint32_t rgb) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  Row(y)[x] = rgb & 0xFFFFFF;
  cairo_surface_mark_dirty(surface);
}

// ---- Regions ------------------------------------------------------------------------------------------------------
namespace {
bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
RECT RectAnd(const RECT& a, const RECT& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}
void RectMinus(const RECT& a, const RECT& b, std::vector<RECT>& out) {
  RECT i = RectAnd(a, b);
  if (RectEmpty(i)) {
    out.push_back(a);
    return;
  }
  if (a.top < i.top) out.push_back({a.left, a.top, a.right, i.top});
  if (i.bottom < a.bottom) out.push_back({a.left, i.bottom, a.right, a.bottom});
  if (a.left < i.left) out.push_back({a.left, i.top, i.left, i.bottom});
  if (i.right < a.right) out.push_back({i.right, i.top, a.right, i.bottom});
}
}  // namespace

Region Region::FromRect(const RECT& r) {
  Region g;
  if (!RectEmpty(r)) g.rects.push_back(r);
  return g;
}
RECT Region::Box() const {
  if (rects.empty()) return {0, 0, 0, 0};
  RECT b = rects[0];
  for (const RECT& r : rects) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}
bool Region::Contains(int x, int y) const {
  for (const RECT& r : rects)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}
Region Region::Intersect(const Region& o) const {
  Region g;
  for (const RECT& a : rects)
    for (const RECT& b : o.rects) {
      RECT i = RectAnd(a, b);
      if (!RectEmpty(i)) g.rects.push_back(i);
    }
  return g;
}
Region Region::Subtract(const Region& o) const {
  std::vector<RECT> cur = rects;
  for (const RECT& b : o.rects) {
    std::vector<RECT> next;
    for (const RECT& a : cur) RectMinus(a, b, next);
    cur.swap(next);
  }
  Region g;
  g.rects = std::move(cur);
  return g;
}
Region Region::Union(const Region& o) const {
  Region g = *this;
  Region extra = o.Subtract(*this);
  g.rects.insert(g.rects.end(), extra.rects.begin(), extra.rects.end());
  return g;
}
Region Region::Xor(const Region& o) const { return Subtract(o).Union(o.Subtract(*this)); }
Region Region::Offset(int dx, int dy) const {
  Region g = *this;
  for (RECT& r : g.rects) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
  }
  return g;
}

// ---- Handle tables ------------------------------------------------------------------------------------------------
namespace {
struct Tables {
  std::unordered_map<int, std::shared_ptr<GdiObject>> objects;
  std::unordered_map<int, std::unique_ptr<Dc>> dcs;
  std::map<int, HGDIOBJ> stock;
  std::map<int, HBRUSH> sysBrushes;
};
// Never destroyed: objects of other static lifetimes free their GDI objects while the process ends.
Tables& T() {
  static Tables* t = new Tables;
  return *t;
}
}  // namespace

void EnsureHandleFloor() {
  static bool done = false;
  if (done) return;
  done = true;
  static int dummy = 0;
  for (int h = 0; h < 64;) {
    h = win::RegisterHandle(&dummy, typeid(Tables));
    win::ReleaseHandle(h);
  }
}

HGDIOBJ NewObject(std::shared_ptr<GdiObject> obj) {
  EnsureHandleFloor();
  int h = win::RegisterHandle(obj.get(), typeid(GdiObject));
  T().objects[h] = std::move(obj);
  return reinterpret_cast<HGDIOBJ>(std::intptr_t(h));
}

std::shared_ptr<GdiObject> Obj(HGDIOBJ h) {
  std::intptr_t v = reinterpret_cast<std::intptr_t>(h);
  if (v > 0 && v <= COLOR_MENUBAR + 1) return Obj(GetSysColorBrush(int(v - 1)));
  auto it = T().objects.find(int(v));
  return it == T().objects.end() ? nullptr : it->second;
}

Dc* GetDc(HDC h) {
  auto it = T().dcs.find(int(reinterpret_cast<std::intptr_t>(h)));
  return it == T().dcs.end() ? nullptr : it->second.get();
}

HDC NewDc(std::unique_ptr<Dc> dc) {
  EnsureHandleFloor();
  int h = win::RegisterHandle(dc.get(), typeid(Dc));
  HDC hdc = reinterpret_cast<HDC>(std::intptr_t(h));
  dc->self = hdc;
  T().dcs[h] = std::move(dc);
  Dc* d = GetDc(hdc);
  d->st.pen = GetStockObject(BLACK_PEN);
  d->st.brush = GetStockObject(WHITE_BRUSH);
  d->st.font = GetStockObject(SYSTEM_FONT);
  return hdc;
}

HDC CreateSurfaceDc(std::shared_ptr<Surface> surface, POINT deviceOrigin, const Region& visible, HWND wnd) {
  auto dc = std::make_unique<Dc>();
  dc->surface = std::move(surface);
  dc->origin = deviceOrigin;
  dc->visible = visible;
  dc->wnd = wnd;
  return NewDc(std::move(dc));
}
void SetDcWindow(HDC dc, HWND wnd) {
  if (Dc* d = GetDc(dc)) d->wnd = wnd;
}
HWND DcWindow(HDC dc) {
  Dc* d = GetDc(dc);
  return d ? d->wnd : nullptr;
}

// ---- Coordinates --------------------------------------------------------------------------------------------------
double ScaleX(const Dc& d) { return double(d.st.vpExt.cx) / (d.st.winExt.cx ? d.st.winExt.cx : 1); }
double ScaleY(const Dc& d) { return double(d.st.vpExt.cy) / (d.st.winExt.cy ? d.st.winExt.cy : 1); }
bool Identity(const Dc& d) { return d.st.vpExt.cx == d.st.winExt.cx && d.st.vpExt.cy == d.st.winExt.cy; }

POINT ToDevice(const Dc& d, int x, int y) {
  if (Identity(d))
    return {x - d.st.winOrg.x + d.st.vpOrg.x + d.origin.x, y - d.st.winOrg.y + d.st.vpOrg.y + d.origin.y};
  double dx = (x - d.st.winOrg.x) * ScaleX(d) + d.st.vpOrg.x;
  double dy = (y - d.st.winOrg.y) * ScaleY(d) + d.st.vpOrg.y;
  return {LONG(std::lround(dx)) + d.origin.x, LONG(std::lround(dy)) + d.origin.y};
}

POINT ToLogical(const Dc& d, int x, int y) {
  x -= d.origin.x;
  y -= d.origin.y;
  if (Identity(d)) return {x - d.st.vpOrg.x + d.st.winOrg.x, y - d.st.vpOrg.y + d.st.winOrg.y};
  double lx = (x - d.st.vpOrg.x) / ScaleX(d) + d.st.winOrg.x;
  double ly = (y - d.st.vpOrg.y) / ScaleY(d) + d.st.winOrg.y;
  return {LONG(std::lround(lx)), LONG(std::lround(ly))};
}

RECT ToDeviceRect(const Dc& d, int l, int t, int r, int b) {
  POINT a = ToDevice(d, l, t), c = ToDevice(d, r, b);
  return {std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
}

Region ClipOf(const Dc& d) {
  Region area = d.memoryDc ? Region::FromRect({0, 0, d.surface->width, d.surface->height}) : d.visible;
  if (d.st.hasClip) area = area.Intersect(d.st.clip);
  return area.Intersect(Region::FromRect({0, 0, d.surface->width, d.surface->height}));
}

// ---- Pixel operations ---------------------------------------------------------------------------------------------
std::uint32_t Rop2(int rop, std::uint32_t pen, std::uint32_t dst) {
  std::uint32_t r;
  switch (rop) {
    case R2_BLACK: r = 0; break;
    case R2_NOTMERGEPEN: r = ~(dst | pen); break;
    case R2_MASKNOTPEN: r = dst & ~pen; break;
    case R2_NOTCOPYPEN: r = ~pen; break;
    case R2_MASKPENNOT: r = pen & ~dst; break;
    case R2_NOT: r = ~dst; break;
    case R2_XORPEN: r = dst ^ pen; break;
    case R2_NOTMASKPEN: r = ~(dst & pen); break;
    case R2_MASKPEN: r = dst & pen; break;
    case R2_NOTXORPEN: r = ~(dst ^ pen); break;
    case R2_NOP: r = dst; break;
    case R2_MERGENOTPEN: r = dst | ~pen; break;
    case R2_MERGEPENNOT: r = pen | ~dst; break;
    case R2_MERGEPEN: r = dst | pen; break;
    case R2_WHITE: r = 0xFFFFFF; break;
    default: r = pen; break;
  }
  return r & 0xFFFFFF;
}

std::uint32_t Rop3(DWORD rop, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  unsigned code = (rop >> 16) & 0xFF;
  std::uint32_t result = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!(code & (1u << i))) continue;
    std::uint32_t term = ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    result |= term;
  }
  return result & 0xFFFFFF;
}

std::uint32_t MonoOf(std::uint32_t rgb) {
  int lum = (((rgb >> 16) & 0xFF) * 30 + ((rgb >> 8) & 0xFF) * 59 + (rgb & 0xFF) * 11) / 100;
  return lum >= 128 ? 0xFFFFFF : 0;
}

void PutPixel(Dc& d, int x, int y, std::uint32_t rgb, int rop2) {
  Surface& s = *d.surface;
  if (x < 0 || y < 0 || x >= s.width || y >= s.height) return;
  std::uint32_t* row = s.Row(y);
  std::uint32_t v = rop2 == R2_COPYPEN ? rgb : Rop2(rop2, rgb, row[x] & 0xFFFFFF);
  row[x] = s.monochrome ? MonoOf(v) : v;
}

// Colour of a brush at a device pixel (patterns are aligned to the device origin).
std::uint32_t BrushPixel(const Dc& d, const GdiObject& b, int x, int y) {
  if (b.brush.lbStyle == BS_HATCHED) {
    int hx = ((x % 8) + 8) % 8, hy = ((y % 8) + 8) % 8;
    bool on = false;
    switch (b.brush.lbHatch) {
      case HS_HORIZONTAL: on = hy == 0; break;
      case HS_VERTICAL: on = hx == 0; break;
      case HS_FDIAGONAL: on = hx == hy; break;
      case HS_BDIAGONAL: on = hx == 7 - hy; break;
      case HS_CROSS: on = hx == 0 || hy == 0; break;
      default: on = hx == hy || hx == 7 - hy; break;
    }
    return on ? ToRgb(b.brush.lbColor) : ToRgb(d.st.bk);
  }
  if (b.brush.lbStyle == BS_PATTERN && b.pattern) {
    const Surface& p = *b.pattern;
    std::uint32_t v = p.Get(((x % p.width) + p.width) % p.width, ((y % p.height) + p.height) % p.height);
    if (p.monochrome) return v ? ToRgb(d.st.bk) : ToRgb(d.st.text);
    return v;
  }
  return ToRgb(b.brush.lbColor);
}

// Fills device pixels of a region (already clipped) with a brush through a ternary raster operation.
void FillDeviceRegion(Dc& d, const Region& area, const GdiObject& brush, DWORD rop = PATCOPY) {
  if (brush.brush.lbStyle == BS_NULL) return;
  Surface& s = *d.surface;
  for (const RECT& r : area.rects)
    for (int y = r.top; y < r.bottom; ++y) {
      std::uint32_t* row = s.Row(y);
      for (int x = r.left; x < r.right; ++x) {
        std::uint32_t p = BrushPixel(d, brush, x, y);
        std::uint32_t v = rop == PATCOPY ? p : Rop3(rop, p, 0, row[x] & 0xFFFFFF);
        row[x] = s.monochrome ? MonoOf(v) : v;
      }
    }
  cairo_surface_mark_dirty(s.surface);
}

void FillDeviceRect(Dc& d, const RECT& r, const GdiObject& brush, DWORD rop = PATCOPY) {
  FillDeviceRegion(d, ClipOf(d).Intersect(Region::FromRect(r)), brush, rop);
}

// A cairo context on the DC's surface, clipped, without anti-aliasing (GDI draws whole pixels).
cairo_t* Cairo(Dc& d) {
  cairo_surface_flush(d.surface->surface);
  cairo_t* cr = cairo_create(d.surface->surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  Region clip = ClipOf(d);
  for (const RECT& r : clip.rects) cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
  cairo_clip(cr);
  if (clip.Empty()) {
    cairo_reset_clip(cr);
    cairo_rectangle(cr, 0, 0, 0, 0);
    cairo_clip(cr);
  }
  return cr;
}

void SetColor(cairo_t* cr, std::uint32_t rgb) {
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

// Renders a shape into a coverage mask and applies it with the DC's mix mode (for modes cairo lacks).
void ApplyMask(Dc& d, const std::function<void(cairo_t*)>& shape, std::uint32_t color, int rop2,
               const GdiObject* brush) {
  Surface& s = *d.surface;
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, s.width, s.height);
  cairo_t* cr = cairo_create(mask);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  shape(cr);
  cairo_destroy(cr);
  cairo_surface_flush(mask);
  const unsigned char* data = cairo_image_surface_get_data(mask);
  int stride = cairo_image_surface_get_stride(mask);
  Region clip = ClipOf(d);
  for (const RECT& r : clip.rects)
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (data[y * stride + x] >= 128) PutPixel(d, x, y, brush ? BrushPixel(d, *brush, x, y) : color, rop2);
  cairo_surface_destroy(mask);
  cairo_surface_mark_dirty(s.surface);
}

// Fills a path given in device coordinates with a brush.
void FillPath(Dc& d, const std::function<void(cairo_t*)>& path, const GdiObject& brush, int fillRule = ALTERNATE) {
  if (brush.brush.lbStyle == BS_NULL) return;
  auto shape = [&](cairo_t* cr) {
    cairo_set_fill_rule(cr, fillRule == WINDING ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    path(cr);
    cairo_fill(cr);
  };
  if (brush.brush.lbStyle == BS_SOLID && d.st.rop2 == R2_COPYPEN && !d.surface->monochrome) {
    cairo_t* cr = Cairo(d);
    SetColor(cr, ToRgb(brush.brush.lbColor));
    shape(cr);
    cairo_destroy(cr);
    return;
  }
  ApplyMask(d, shape, 0, d.st.rop2 == R2_COPYPEN ? R2_COPYPEN : d.st.rop2, &brush);
}

const GdiObject& Selected(const Dc& d, HGDIOBJ h) {
  static GdiObject none;
  auto o = Obj(h);
  return o ? *o : none;
}

std::uint32_t PenColor(const Dc& d) {
  if (d.st.pen == GetStockObject(DC_PEN)) return ToRgb(d.st.dcPen);
  return ToRgb(Selected(d, d.st.pen).pen.lopnColor);
}

GdiObject BrushOf(const Dc& d) {
  if (d.st.brush == GetStockObject(DC_BRUSH)) {
    GdiObject b;
    b.kind = GdiKind::Brush;
    b.brush = {BS_SOLID, d.st.dcBrush, 0};
    return b;
  }
  return Selected(d, d.st.brush);
}

int PenWidth(const Dc& d) {
  const GdiObject& p = Selected(d, d.st.pen);
  int w = p.pen.lopnWidth.x;
  if (w <= 1) return 1;
  return std::max(1, int(std::lround(w * std::fabs(ScaleX(d)))));
}

bool PenNull(const Dc& d) { return (Selected(d, d.st.pen).pen.lopnStyle & PS_STYLE_MASK) == PS_NULL; }

// A one-pixel line from a to b, end point excluded, with the pen's dash style.
void PixelLine(Dc& d, POINT a, POINT b, std::uint32_t color) {
  int style = int(Selected(d, d.st.pen).pen.lopnStyle & PS_STYLE_MASK);
  static const int dash[] = {18, 6}, dot[] = {3, 3}, dashdot[] = {9, 6, 3, 6}, dashdotdot[] = {9, 3, 3, 3, 3, 3};
  const int* pattern = nullptr;
  int patternLen = 0;
  switch (style) {
    case PS_DASH:
      pattern = dash;
      patternLen = 2;
      break;
    case PS_DOT:
      pattern = dot;
      patternLen = 2;
      break;
    case PS_DASHDOT:
      pattern = dashdot;
      patternLen = 4;
      break;
    case PS_DASHDOTDOT:
      pattern = dashdotdot;
      patternLen = 6;
      break;
    default: break;
  }
  Region clip = ClipOf(d);
  RECT box = clip.Box();
  int x = a.x, y = a.y;
  int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  int step = 0, seg = 0, segPos = 0;
  while (!(x == b.x && y == b.y)) {
    bool on = true;
    if (pattern) {
      on = (seg % 2) == 0;
      if (++segPos >= pattern[seg]) {
        segPos = 0;
        seg = (seg + 1) % patternLen;
      }
    }
    if (x >= box.left && x < box.right && y >= box.top && y < box.bottom && clip.Contains(x, y)) {
      if (on)
        PutPixel(d, x, y, color, d.st.rop2);
      else if (d.st.bkMode == OPAQUE)
        PutPixel(d, x, y, ToRgb(d.st.bk), R2_COPYPEN);
    }
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
    ++step;
  }
  cairo_surface_mark_dirty(d.surface->surface);
}

// Strokes a polyline in device coordinates with the current pen.
void StrokeDevice(Dc& d, const std::vector<POINT>& pts, bool closed) {
  if (PenNull(d) || pts.size() < 2) return;
  std::uint32_t color = PenColor(d);
  int width = PenWidth(d);
  if (width <= 1) {
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) PixelLine(d, pts[i], pts[i + 1], color);
    if (closed) PixelLine(d, pts.back(), pts.front(), color);
    return;
  }
  auto shape = [&](cairo_t* cr) {
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, pts[0].x + 0.5, pts[0].y + 0.5);
    for (std::size_t i = 1; i < pts.size(); ++i) cairo_line_to(cr, pts[i].x + 0.5, pts[i].y + 0.5);
    if (closed) cairo_close_path(cr);
    cairo_stroke(cr);
  };
  if (d.st.rop2 == R2_COPYPEN && !d.surface->monochrome) {
    cairo_t* cr = Cairo(d);
    SetColor(cr, color);
    shape(cr);
    cairo_destroy(cr);
  } else {
    ApplyMask(d, shape, color, d.st.rop2, nullptr);
  }
}

// ---- Recording ----------------------------------------------------------------------------------------------------
void Record(Dc& d, std::function<void(HDC)> call, RECT logicalBounds) {
  d.recording->calls.push_back(std::move(call));
  RECT& b = d.recording->bounds;
  if (logicalBounds.right > logicalBounds.left || logicalBounds.bottom > logicalBounds.top) {
    if (!d.recording->hasBounds) {
      b = logicalBounds;
      d.recording->hasBounds = true;
    } else {
      b.left = std::min(b.left, logicalBounds.left);
      b.top = std::min(b.top, logicalBounds.top);
      b.right = std::max(b.right, logicalBounds.right);
      b.bottom = std::max(b.bottom, logicalBounds.bottom);
    }
  }
}

RECT BoundsOf(const POINT* pts, int n) {
  if (n <= 0) return {0, 0, 0, 0};
  RECT b{pts[0].x, pts[0].y, pts[0].x + 1, pts[0].y + 1};
  for (int i = 1; i < n; ++i) {
    b.left = std::min(b.left, pts[i].x);
    b.top = std::min(b.top, pts[i].y);
    b.right = std::max(b.right, pts[i].x + 1);
    b.bottom = std::max(b.bottom, pts[i].y + 1);
  }
  return b;
}

}  // namespace win::detail

using namespace win::detail;

#define KOLUMO_RECORD(hdc, bounds, body)                  \
  do {                                                    \
    if (Dc* rec_ = GetDc(hdc); rec_ && rec_->recording) { \
      Record(                                             \
          *rec_, [=](HDC target) { body; }, bounds);      \
      return TRUE;                                        \
    }                                                     \
  } while (0)

// ---- Stock and system objects ----------------------------------------------------------------------------------------
HGDIOBJ GetStockObject(int index) {
  auto& stock = T().stock;
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
  auto& b = T().sysBrushes;
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
  o->bitmap = std::make_shared<Surface>(width, height);
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
  for (LONG i = 0; i < n; ++i) out[i] = s.Get(int(i % s.width), int(i / s.width));
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
  auto* in = static_cast<const std::uint32_t*>(bits);
  for (LONG i = 0; i < n; ++i) s.Set(int(i % s.width), int(i / s.width), in[i]);
  return n * 4;
}

namespace {
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
// A region is simple when it is one rectangle, however many pieces it is kept in.
int Complexity(const Region& r) {
  if (r.Empty()) return NULLREGION;
  RECT box = r.Box();
  long long area = 0;
  for (const RECT& x : r.rects) area += (long long)(x.right - x.left) * (x.bottom - x.top);
  return area == (long long)(box.right - box.left) * (box.bottom - box.top) ? SIMPLEREGION : COMPLEXREGION;
}
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
  T().objects.erase(h);
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

// ---- Device contexts ------------------------------------------------------------------------------------------------------
HDC CreateCompatibleDC(HDC) {
  auto dc = std::make_unique<Dc>();
  dc->memoryDc = true;
  HBITMAP def = CreateBitmap(1, 1, 1, 1, nullptr);
  dc->defaultBitmap = def;
  dc->surface = Obj(def)->bitmap;
  HDC h = NewDc(std::move(dc));
  GetDc(h)->st.bitmap = def;
  return h;
}

// The driver "WINSPOOL" or the device "PDF" make a printer DC (A4); anything else is the screen.
HDC CreateDC(LPCSTR driver, LPCSTR device, LPCSTR, const void*) {
  auto is = [](LPCSTR a, const char* b) { return a && strcasecmp(a, b) == 0; };
  if (is(driver, "WINSPOOL") || is(device, "PDF")) return win::print::CreatePrinterDC();
  return GetDC(nullptr);
}

BOOL DeleteDC(HDC dc) {
  int h = int(reinterpret_cast<std::intptr_t>(dc));
  auto it = T().dcs.find(h);
  if (it == T().dcs.end()) return FALSE;
  HBITMAP def = it->second->defaultBitmap;
  T().dcs.erase(it);
  win::ReleaseHandle(h);
  if (def) DeleteObject(def);
  return TRUE;
}

int SaveDC(HDC dc) {
  Dc* d = GetDc(dc);
  if (!d) return 0;
  KOLUMO_RECORD(dc, RECT{}, SaveDC(target));
  d->saved.push_back(d->st);
  return int(d->saved.size());
}

BOOL RestoreDC(HDC dc, int saved) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  KOLUMO_RECORD(dc, RECT{}, RestoreDC(target, saved));
  int n = int(d->saved.size());
  int index = saved < 0 ? n + saved : saved - 1;
  if (index < 0 || index >= n) return FALSE;
  d->st = d->saved[std::size_t(index)];
  d->saved.resize(std::size_t(index));
  if (d->memoryDc) {
    auto b = Obj(d->st.bitmap);
    if (b && b->kind == GdiKind::Bitmap) d->surface = b->bitmap;
  }
  return TRUE;
}

int GetDeviceCaps(HDC dc, int index) {
  Dc* d = GetDc(dc);
  if (d && d->printer) return PrinterCaps(*d, index);
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case HORZRES: return d ? d->surface->width : 1920;
    case VERTRES: return d ? d->surface->height : 1080;
    case BITSPIXEL: return d && d->surface->monochrome ? 1 : 32;
    case PLANES: return 1;
    case NUMCOLORS: return d && d->surface->monochrome ? 2 : -1;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return d ? d->surface->width * 254 / 960 : 508;
    case VERTSIZE: return d ? d->surface->height * 254 / 960 : 286;
    default: return 0;
  }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  Dc* d = GetDc(dc);
  auto o = Obj(object);
  if (!d || !o) return nullptr;
  if (d->recording) {
    HGDIOBJ* slot = o->kind == GdiKind::Pen     ? &d->st.pen
                    : o->kind == GdiKind::Brush ? &d->st.brush
                    : o->kind == GdiKind::Font  ? &d->st.font
                                                : nullptr;
    if (!slot) return nullptr;
    HGDIOBJ old = *slot;
    *slot = object;
    std::shared_ptr<GdiObject> keep = o;
    Record(
        *d, [keep](HDC target) { SelectRecordedObject(target, keep); }, RECT{});
    return old;
  }
  switch (o->kind) {
    case GdiKind::Pen: std::swap(d->st.pen, object); return object;
    case GdiKind::Brush: std::swap(d->st.brush, object); return object;
    case GdiKind::Font: std::swap(d->st.font, object); return object;
    case GdiKind::Bitmap: {
      if (!d->memoryDc) return nullptr;
      HGDIOBJ old = d->st.bitmap;
      d->st.bitmap = object;
      d->surface = o->bitmap;
      return old;
    }
    case GdiKind::Region: return reinterpret_cast<HGDIOBJ>(std::intptr_t(SelectClipRgn(dc, static_cast<HRGN>(object))));
    default: return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  Dc* d = GetDc(dc);
  if (!d) return nullptr;
  switch (type) {
    case OBJ_PEN: return d->st.pen;
    case OBJ_BRUSH: return d->st.brush;
    case OBJ_FONT: return d->st.font;
    case OBJ_BITMAP: return d->st.bitmap;
    default: return nullptr;
  }
}

#define KOLUMO_DC_SETTER(Name, Type, field)                      \
  Type Name(HDC dc, Type value) {                                \
    Dc* d = GetDc(dc);                                           \
    if (!d) return Type{};                                       \
    if (d->recording) {                                          \
      Record(                                                    \
          *d, [=](HDC target) { Name(target, value); }, RECT{}); \
    }                                                            \
    Type old = d->st.field;                                      \
    d->st.field = value;                                         \
    return old;                                                  \
  }
KOLUMO_DC_SETTER(SetTextColor, COLORREF, text)
KOLUMO_DC_SETTER(SetBkColor, COLORREF, bk)
KOLUMO_DC_SETTER(SetBkMode, int, bkMode)
KOLUMO_DC_SETTER(SetROP2, int, rop2)
KOLUMO_DC_SETTER(SetTextAlign, UINT, align)
KOLUMO_DC_SETTER(SetStretchBltMode, int, stretchMode)
KOLUMO_DC_SETTER(SetDCBrushColor, COLORREF, dcBrush)
KOLUMO_DC_SETTER(SetDCPenColor, COLORREF, dcPen)
#undef KOLUMO_DC_SETTER

COLORREF GetTextColor(HDC dc) { return GetDc(dc) ? GetDc(dc)->st.text : 0; }
COLORREF GetBkColor(HDC dc) { return GetDc(dc) ? GetDc(dc)->st.bk : 0; }
int GetBkMode(HDC dc) { return GetDc(dc) ? GetDc(dc)->st.bkMode : 0; }
int GetROP2(HDC dc) { return GetDc(dc) ? GetDc(dc)->st.rop2 : 0; }
UINT GetTextAlign(HDC dc) { return GetDc(dc) ? GetDc(dc)->st.align : 0; }

int SetMapMode(HDC dc, int mode) {
  Dc* d = GetDc(dc);
  if (!d) return 0;
  if (d->recording)
    Record(
        *d, [=](HDC target) { SetMapMode(target, mode); }, RECT{});
  int old = d->st.mapMode;
  d->st.mapMode = mode;
  auto set = [&](int w, int v) {
    d->st.winExt = {w, w};
    d->st.vpExt = {v, -v};
  };
  switch (mode) {
    case MM_TEXT:
      d->st.winExt = {1, 1};
      d->st.vpExt = {1, 1};
      break;
    case MM_LOMETRIC: set(254, 96); break;
    case MM_HIMETRIC: set(2540, 96); break;
    case MM_LOENGLISH: set(100, 96); break;
    case MM_HIENGLISH: set(1000, 96); break;
    case MM_TWIPS: set(1440, 96); break;
    default: break;
  }
  return old;
}
int GetMapMode(HDC dc) { return GetDc(dc) ? GetDc(dc)->st.mapMode : 0; }

#define KOLUMO_DC_PAIR(SetName, GetName, Type, field, A, B)                 \
  BOOL SetName(HDC dc, int a, int b, Type* old) {                           \
    Dc* d = GetDc(dc);                                                      \
    if (!d) return FALSE;                                                   \
    if (d->recording)                                                       \
      Record(                                                               \
          *d, [=](HDC target) { SetName(target, a, b, nullptr); }, RECT{}); \
    if (old) *old = d->st.field;                                            \
    d->st.field.A = a;                                                      \
    d->st.field.B = b;                                                      \
    return TRUE;                                                            \
  }                                                                         \
  BOOL GetName(HDC dc, Type* out) {                                         \
    Dc* d = GetDc(dc);                                                      \
    if (!d || !out) return FALSE;                                           \
    *out = d->st.field;                                                     \
    return TRUE;                                                            \
  }
KOLUMO_DC_PAIR(SetWindowOrgEx, GetWindowOrgEx, POINT, winOrg, x, y)
KOLUMO_DC_PAIR(SetViewportOrgEx, GetViewportOrgEx, POINT, vpOrg, x, y)
#undef KOLUMO_DC_PAIR

BOOL SetWindowExtEx(HDC dc, int x, int y, LPSIZE old) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  if (d->recording)
    Record(
        *d, [=](HDC target) { SetWindowExtEx(target, x, y, nullptr); }, RECT{});
  if (old) *old = d->st.winExt;
  if (d->st.mapMode != MM_ANISOTROPIC && d->st.mapMode != MM_ISOTROPIC) return FALSE;
  if (x == 0 || y == 0) return FALSE;
  d->st.winExt = {x, y};
  return TRUE;
}
BOOL GetWindowExtEx(HDC dc, LPSIZE out) {
  Dc* d = GetDc(dc);
  if (!d || !out) return FALSE;
  *out = d->st.winExt;
  return TRUE;
}
BOOL SetViewportExtEx(HDC dc, int x, int y, LPSIZE old) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  if (d->recording)
    Record(
        *d, [=](HDC target) { SetViewportExtEx(target, x, y, nullptr); }, RECT{});
  if (old) *old = d->st.vpExt;
  if (d->st.mapMode != MM_ANISOTROPIC && d->st.mapMode != MM_ISOTROPIC) return FALSE;
  if (x == 0 || y == 0) return FALSE;
  d->st.vpExt = {x, y};
  if (d->st.mapMode == MM_ISOTROPIC) {
    // Isotropic: the smaller scale wins on both axes.
    double sx = double(x) / d->st.winExt.cx, sy = double(y) / d->st.winExt.cy;
    if (std::fabs(sx) < std::fabs(sy))
      d->st.vpExt.cy = LONG(std::lround(d->st.winExt.cy * std::fabs(sx) * (sy < 0 ? -1 : 1)));
    else
      d->st.vpExt.cx = LONG(std::lround(d->st.winExt.cx * std::fabs(sy) * (sx < 0 ? -1 : 1)));
  }
  return TRUE;
}
BOOL GetViewportExtEx(HDC dc, LPSIZE out) {
  Dc* d = GetDc(dc);
  if (!d || !out) return FALSE;
  *out = d->st.vpExt;
  return TRUE;
}
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT old) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  return SetViewportOrgEx(dc, d->st.vpOrg.x + dx, d->st.vpOrg.y + dy, old);
}
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, LPPOINT old) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  return SetWindowOrgEx(dc, d->st.winOrg.x + dx, d->st.winOrg.y + dy, old);
}
BOOL LPtoDP(HDC dc, LPPOINT pts, int n) {
  Dc* d = GetDc(dc);
  if (!d || !pts) return FALSE;
  for (int i = 0; i < n; ++i) {
    POINT p = ToDevice(*d, pts[i].x, pts[i].y);
    pts[i] = {p.x - d->origin.x, p.y - d->origin.y};
  }
  return TRUE;
}
BOOL DPtoLP(HDC dc, LPPOINT pts, int n) {
  Dc* d = GetDc(dc);
  if (!d || !pts) return FALSE;
  for (int i = 0; i < n; ++i) pts[i] = ToLogical(*d, pts[i].x + d->origin.x, pts[i].y + d->origin.y);
  return TRUE;
}

// ---- Clipping --------------------------------------------------------------------------------------------------------------
int SelectClipRgn(HDC dc, HRGN rgn) { return ExtSelectClipRgn(dc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode) {
  Dc* d = GetDc(dc);
  if (!d) return ERROR;
  if (d->recording) {
    GdiObject* g = RegionObj(rgn);
    Region copy = g ? g->region : Region{};
    bool has = g != nullptr;
    Record(
        *d,
        [=](HDC target) {
          HRGN r = has ? NewRegion(copy) : nullptr;
          ExtSelectClipRgn(target, r, mode);
          if (r) DeleteObject(r);
        },
        RECT{});
    return SIMPLEREGION;
  }
  GdiObject* g = RegionObj(rgn);
  if (!g) {
    if (mode != RGN_COPY) return ERROR;
    d->st.hasClip = false;
    d->st.clip = {};
    return Complexity(ClipOf(*d));
  }
  // Region coordinates are device units relative to the DC's origin.
  Region r = g->region.Offset(d->origin.x, d->origin.y);
  Region cur = d->st.hasClip ? d->st.clip : Region::FromRect({0, 0, d->surface->width, d->surface->height});
  switch (mode) {
    case RGN_AND: r = cur.Intersect(r); break;
    case RGN_OR: r = cur.Union(r); break;
    case RGN_XOR: r = cur.Xor(r); break;
    case RGN_DIFF: r = cur.Subtract(r); break;
    default: break;
  }
  d->st.hasClip = true;
  d->st.clip = r;
  return Complexity(ClipOf(*d));
}

int GetClipBox(HDC dc, LPRECT out) {
  Dc* d = GetDc(dc);
  if (!d || !out) return ERROR;
  Region clip = ClipOf(*d);
  RECT b = clip.Box();
  POINT a = ToLogical(*d, b.left, b.top), c = ToLogical(*d, b.right, b.bottom);
  *out = {std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
  if (d->recording) *out = {-32767, -32767, 32767, 32767};
  return Complexity(clip);
}

int GetClipRgn(HDC dc, HRGN rgn) {
  Dc* d = GetDc(dc);
  GdiObject* g = RegionObj(rgn);
  if (!d || !g) return -1;
  if (!d->st.hasClip) return 0;
  g->region = d->st.clip.Offset(-d->origin.x, -d->origin.y);
  return 1;
}

int IntersectClipRect(HDC dc, int l, int t, int r, int b) {
  Dc* d = GetDc(dc);
  if (!d) return ERROR;
  if (d->recording) {
    Record(
        *d, [=](HDC target) { IntersectClipRect(target, l, t, r, b); }, RECT{});
    return SIMPLEREGION;
  }
  Region cur = d->st.hasClip ? d->st.clip : Region::FromRect({0, 0, d->surface->width, d->surface->height});
  d->st.clip = cur.Intersect(Region::FromRect(ToDeviceRect(*d, l, t, r, b)));
  d->st.hasClip = true;
  return Complexity(ClipOf(*d));
}

int ExcludeClipRect(HDC dc, int l, int t, int r, int b) {
  Dc* d = GetDc(dc);
  if (!d) return ERROR;
  if (d->recording) {
    Record(
        *d, [=](HDC target) { ExcludeClipRect(target, l, t, r, b); }, RECT{});
    return SIMPLEREGION;
  }
  Region cur = d->st.hasClip ? d->st.clip : Region::FromRect({0, 0, d->surface->width, d->surface->height});
  d->st.clip = cur.Subtract(Region::FromRect(ToDeviceRect(*d, l, t, r, b)));
  d->st.hasClip = true;
  return Complexity(ClipOf(*d));
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
  Dc* d = GetDc(dc);
  if (!d) return ERROR;
  if (d->st.hasClip) d->st.clip = d->st.clip.Offset(dx, dy);
  return Complexity(ClipOf(*d));
}

BOOL PtVisible(HDC dc, int x, int y) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  POINT p = ToDevice(*d, x, y);
  return ClipOf(*d).Contains(p.x, p.y);
}

BOOL RectVisible(HDC dc, const RECT* r) {
  Dc* d = GetDc(dc);
  if (!d || !r) return FALSE;
  if (d->recording) return TRUE;
  return !ClipOf(*d).Intersect(Region::FromRect(ToDeviceRect(*d, r->left, r->top, r->right, r->bottom))).Empty();
}

// ---- Lines and shapes ----------------------------------------------------------------------------------------------------------
BOOL MoveToEx(HDC dc, int x, int y, LPPOINT old) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  if (d->recording)
    Record(
        *d, [=](HDC target) { MoveToEx(target, x, y, nullptr); }, RECT{});
  if (old) *old = d->st.pos;
  d->st.pos = {x, y};
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC dc, LPPOINT out) {
  Dc* d = GetDc(dc);
  if (!d || !out) return FALSE;
  *out = d->st.pos;
  return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  if (d->recording) {
    POINT from = d->st.pos;
    d->st.pos = {x, y};
    POINT pts[] = {from, {x, y}};
    Record(
        *d, [=](HDC target) { LineTo(target, x, y); }, BoundsOf(pts, 2));
    return TRUE;
  }
  StrokeDevice(*d, {ToDevice(*d, d->st.pos.x, d->st.pos.y), ToDevice(*d, x, y)}, false);
  d->st.pos = {x, y};
  return TRUE;
}

BOOL Polyline(HDC dc, const POINT* pts, int n) {
  Dc* d = GetDc(dc);
  if (!d || !pts || n < 2) return FALSE;
  std::vector<POINT> v(pts, pts + n);
  KOLUMO_RECORD(dc, BoundsOf(pts, n), Polyline(target, v.data(), int(v.size())));
  std::vector<POINT> dev;
  for (const POINT& p : v) dev.push_back(ToDevice(*d, p.x, p.y));
  StrokeDevice(*d, dev, false);
  return TRUE;
}

BOOL PolylineTo(HDC dc, const POINT* pts, DWORD n) {
  Dc* d = GetDc(dc);
  if (!d || !pts) return FALSE;
  for (DWORD i = 0; i < n; ++i) LineTo(dc, pts[i].x, pts[i].y);
  return TRUE;
}

BOOL PolyPolyline(HDC dc, const POINT* pts, const DWORD* counts, DWORD polylines) {
  if (!pts || !counts) return FALSE;
  for (DWORD i = 0; i < polylines; ++i) {
    Polyline(dc, pts, int(counts[i]));
    pts += counts[i];
  }
  return TRUE;
}

namespace {
// Interior and outline of a closed shape given by a path builder in device space.
void DrawShape(Dc& d, const std::function<void(cairo_t*)>& interior, const std::function<void(cairo_t*)>& outline,
               int fill = ALTERNATE) {
  GdiObject brush = BrushOf(d);
  FillPath(d, interior, brush, fill);
  if (PenNull(d)) return;
  std::uint32_t color = PenColor(d);
  int width = PenWidth(d);
  auto shape = [&](cairo_t* cr) {
    cairo_set_line_width(cr, width);
    outline(cr);
    cairo_stroke(cr);
  };
  if (d.st.rop2 == R2_COPYPEN && !d.surface->monochrome) {
    cairo_t* cr = Cairo(d);
    SetColor(cr, color);
    shape(cr);
    cairo_destroy(cr);
  } else {
    ApplyMask(d, shape, color, d.st.rop2, nullptr);
  }
}
}  // namespace

BOOL Polygon(HDC dc, const POINT* pts, int n) {
  Dc* d = GetDc(dc);
  if (!d || !pts || n < 2) return FALSE;
  std::vector<POINT> v(pts, pts + n);
  KOLUMO_RECORD(dc, BoundsOf(pts, n), Polygon(target, v.data(), int(v.size())));
  std::vector<POINT> dev;
  for (const POINT& p : v) dev.push_back(ToDevice(*d, p.x, p.y));
  GdiObject brush = BrushOf(*d);
  FillPath(
      *d,
      [&](cairo_t* cr) {
        cairo_move_to(cr, dev[0].x, dev[0].y);
        for (std::size_t i = 1; i < dev.size(); ++i) cairo_line_to(cr, dev[i].x, dev[i].y);
        cairo_close_path(cr);
      },
      brush);
  StrokeDevice(*d, dev, true);
  return TRUE;
}

BOOL PolyPolygon(HDC dc, const POINT* pts, const INT_PTR* counts, int polygons) {
  if (!pts || !counts) return FALSE;
  for (int i = 0; i < polygons; ++i) {
    Polygon(dc, pts, int(counts[i]));
    pts += counts[i];
  }
  return TRUE;
}

BOOL Rectangle(HDC dc, int l, int t, int r, int b) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  KOLUMO_RECORD(dc, (RECT{l, t, r, b}), Rectangle(target, l, t, r, b));
  RECT dr = ToDeviceRect(*d, l, t, r, b);
  if (dr.right - dr.left < 1 || dr.bottom - dr.top < 1) return TRUE;
  GdiObject brush = BrushOf(*d);
  int w = PenNull(*d) ? 0 : PenWidth(*d);
  // The outline lies inside the rectangle; the interior is what the outline leaves.
  RECT inner = PenNull(*d) ? RECT{dr.left, dr.top, dr.right - 1, dr.bottom - 1}
                           : RECT{dr.left + w, dr.top + w, dr.right - w, dr.bottom - w};
  if (brush.brush.lbStyle != BS_NULL && inner.right > inner.left && inner.bottom > inner.top) {
    if (d->st.rop2 == R2_COPYPEN)
      FillDeviceRect(*d, inner, brush);
    else
      ApplyMask(
          *d,
          [&](cairo_t* cr) {
            cairo_rectangle(cr, inner.left, inner.top, inner.right - inner.left, inner.bottom - inner.top);
            cairo_fill(cr);
          },
          0, d->st.rop2, &brush);
  }
  if (w > 0) {
    std::uint32_t color = PenColor(*d);
    GdiObject pen;
    pen.kind = GdiKind::Brush;
    pen.brush = {BS_SOLID, FromRgb(color), 0};
    Region frame =
        Region::FromRect(dr).Subtract(Region::FromRect({dr.left + w, dr.top + w, dr.right - w, dr.bottom - w}));
    if ((Selected(*d, d->st.pen).pen.lopnStyle & PS_STYLE_MASK) != PS_SOLID && w == 1 &&
        (Selected(*d, d->st.pen).pen.lopnStyle & PS_STYLE_MASK) != PS_INSIDEFRAME) {
      StrokeDevice(*d,
                   {{dr.left, dr.top}, {dr.right - 1, dr.top}, {dr.right - 1, dr.bottom - 1}, {dr.left, dr.bottom - 1}},
                   true);
    } else if (d->st.rop2 == R2_COPYPEN) {
      FillDeviceRegion(*d, ClipOf(*d).Intersect(frame), pen);
    } else {
      Region area = ClipOf(*d).Intersect(frame);
      for (const RECT& rr : area.rects)
        for (int y = rr.top; y < rr.bottom; ++y)
          for (int x = rr.left; x < rr.right; ++x) PutPixel(*d, x, y, color, d->st.rop2);
      cairo_surface_mark_dirty(d->surface->surface);
    }
  }
  return TRUE;
}

BOOL RoundRect(HDC dc, int l, int t, int r, int b, int w, int h) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  KOLUMO_RECORD(dc, (RECT{l, t, r, b}), RoundRect(target, l, t, r, b, w, h));
  RECT dr = ToDeviceRect(*d, l, t, r, b);
  double rx = std::min(w * std::fabs(ScaleX(*d)), double(dr.right - dr.left)) / 2;
  double ry = std::min(h * std::fabs(ScaleY(*d)), double(dr.bottom - dr.top)) / 2;
  auto path = [=](cairo_t* cr, double inset) {
    double x0 = dr.left + inset, y0 = dr.top + inset, x1 = dr.right - inset, y1 = dr.bottom - inset;
    cairo_new_sub_path(cr);
    cairo_save(cr);
    auto corner = [&](double cx, double cy, double a0, double a1) {
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_scale(cr, std::max(rx, 0.01), std::max(ry, 0.01));
      cairo_arc(cr, 0, 0, 1, a0, a1);
      cairo_restore(cr);
    };
    corner(x1 - rx, y0 + ry, -M_PI / 2, 0);
    corner(x1 - rx, y1 - ry, 0, M_PI / 2);
    corner(x0 + rx, y1 - ry, M_PI / 2, M_PI);
    corner(x0 + rx, y0 + ry, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
    cairo_restore(cr);
  };
  DrawShape(
      *d, [&](cairo_t* cr) { path(cr, 0); }, [&](cairo_t* cr) { path(cr, 0.5); });
  return TRUE;
}

BOOL Ellipse(HDC dc, int l, int t, int r, int b) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  KOLUMO_RECORD(dc, (RECT{l, t, r, b}), Ellipse(target, l, t, r, b));
  RECT dr = ToDeviceRect(*d, l, t, r, b);
  auto path = [=](cairo_t* cr, double inset) {
    double rx = (dr.right - dr.left) / 2.0 - inset, ry = (dr.bottom - dr.top) / 2.0 - inset;
    if (rx <= 0 || ry <= 0) return;
    cairo_save(cr);
    cairo_translate(cr, (dr.left + dr.right) / 2.0, (dr.top + dr.bottom) / 2.0);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
  };
  DrawShape(
      *d, [&](cairo_t* cr) { path(cr, 0); }, [&](cairo_t* cr) { path(cr, 0.5); });
  return TRUE;
}

namespace {
// Arc, pie and chord: counter-clockwise from the radial through (x1, y1) to the one through (x2, y2).
BOOL ArcShape(HDC dc, int l, int t, int r, int b, int x1, int y1, int x2, int y2, int kind) {
  Dc* d = GetDc(dc);
  if (!d) return FALSE;
  RECT dr = ToDeviceRect(*d, l, t, r, b);
  POINT p1 = ToDevice(*d, x1, y1), p2 = ToDevice(*d, x2, y2);
  double cx = (dr.left + dr.right) / 2.0, cy = (dr.top + dr.bottom) / 2.0;
  double rx = (dr.right - dr.left) / 2.0, ry = (dr.bottom - dr.top) / 2.0;
  if (rx <= 0 || ry <= 0) return FALSE;
  double a1 = std::atan2((p1.y - cy) / ry, (p1.x - cx) / rx);
  double a2 = std::atan2((p2.y - cy) / ry, (p2.x - cx) / rx);
  auto path = [=](cairo_t* cr, double inset) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx - inset, ry - inset);
    cairo_new_sub_path(cr);
    if (kind == 1) cairo_move_to(cr, 0, 0);
    cairo_arc_negative(cr, 0, 0, 1, a1, a2);
    if (kind != 0) cairo_close_path(cr);
    cairo_restore(cr);
  };
  if (kind == 0) {
    if (PenNull(*d)) return TRUE;
    std::uint32_t color = PenColor(*d);
    int width = PenWidth(*d);
    auto shape = [&](cairo_t* cr) {
      cairo_set_line_width(cr, width);
      path(cr, 0.5);
      cairo_stroke(cr);
    };
    ApplyMask(*d, shape, color, d->st.rop2 == R2_COPYPEN ? R2_COPYPEN : d->st.rop2, nullptr);
    return TRUE;
  }
  DrawShape(
      *d, [&](cairo_t* cr) { path(cr, 0); }, [&](cairo_t* cr) { path(cr, 0.5); });
  return TRUE;
}
}  // namespace

BOOL Arc(HDC dc, int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
  KOLUMO_RECORD(dc, (RECT{l, t, r, b}), Arc(target, l, t, r, b, x1, y1, x2, y2));
  return ArcShape(dc, l, t, r, b, x1, y1, x2, y2, 0);
}
BOOL Pie(HDC dc, int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
  KOLUMO_RECORD(dc, (RECT{l, t, r, b}), Pie(target, l, t, r, b, x1, y1, x2, y2));
  return ArcShape(dc, l, t, r, b, x1, y1, x2, y2, 1);
}
BOOL Chord(HDC dc, int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
  KOLUMO_RECORD(dc, (RECT{l, t, r, b}), Chord(target, l, t, r, b, x1, y1, x2, y2));
  return ArcShape(dc, l, t, r, b, x1, y1, x2, y2, 2);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
  Dc* d = GetDc(dc);
  if (!d) return CLR_INVALID;
  if (d->recording) {
    Record(
        *d, [=](HDC target) { SetPixel(target, x, y, color); }, RECT{x, y, x + 1, y + 1});
    return color;
  }
  POINT p = ToDevice(*d, x, y);
  if (!ClipOf(*d).Contains(p.x, p.y)) return CLR_INVALID;
  PutPixel(*d, p.x, p.y, ToRgb(color), R2_COPYPEN);
  cairo_surface_mark_dirty(d->surface->surface);
  return FromRgb(d->surface->Get(p.x, p.y));
}

COLORREF GetPixel(HDC dc, int x, int y) {
  Dc* d = GetDc(dc);
  if (!d || d->recording) return CLR_INVALID;
  POINT p = ToDevice(*d, x, y);
  if (!ClipOf(*d).Contains(p.x, p.y)) return CLR_INVALID;
  return FromRgb(d->surface->Get(p.x, p.y));
}

int FillRect(HDC dc, const RECT* r, HBRUSH brush) {
  Dc* d = GetDc(dc);
  auto b = Obj(brush);
  if (!d || !r || !b) return 0;
  RECT rr = *r;
  if (d->recording) {
    GdiObject copy = *b;
    Record(
        *d,
        [=](HDC target) {
          HBRUSH tmp = static_cast<HBRUSH>(NewObject(std::make_shared<GdiObject>(copy)));
          FillRect(target, &rr, tmp);
          DeleteObject(tmp);
        },
        rr);
    return 1;
  }
  FillDeviceRect(*d, ToDeviceRect(*d, rr.left, rr.top, rr.right, rr.bottom), *b);
  return 1;
}

int FrameRect(HDC dc, const RECT* r, HBRUSH brush) {
  if (!r) return 0;
  RECT top{r->left, r->top, r->right, r->top + 1}, bottom{r->left, r->bottom - 1, r->right, r->bottom};
  RECT left{r->left, r->top, r->left + 1, r->bottom}, right{r->right - 1, r->top, r->right, r->bottom};
  if (r->right <= r->left || r->bottom <= r->top) return 0;
  FillRect(dc, &top, brush);
  FillRect(dc, &bottom, brush);
  FillRect(dc, &left, brush);
  FillRect(dc, &right, brush);
  return 1;
}

BOOL InvertRect(HDC dc, const RECT* r) {
  return r ? PatBlt(dc, r->left, r->top, r->right - r->left, r->bottom - r->top, DSTINVERT) : FALSE;
}

BOOL DrawFocusRect(HDC dc, const RECT* r) {
  Dc* d = GetDc(dc);
  if (!d || !r) return FALSE;
  RECT rr = *r;
  KOLUMO_RECORD(dc, rr, DrawFocusRect(target, &rr));
  RECT dr = ToDeviceRect(*d, r->left, r->top, r->right, r->bottom);
  Region clip = ClipOf(*d);
  auto dot = [&](int x, int y) {
    if (clip.Contains(x, y)) PutPixel(*d, x, y, 0xFFFFFF, R2_XORPEN);
  };
  // Every other pixel of the outline is inverted: drawing it twice removes it.
  for (int x = dr.left; x < dr.right; x += 2) {
    dot(x, dr.top);
    dot(x, dr.bottom - 1);
  }
  for (int y = dr.top + 2; y < dr.bottom - 1; y += 2) {
    dot(dr.left, y);
    dot(dr.right - 1, y);
  }
  cairo_surface_mark_dirty(d->surface->surface);
  return TRUE;
}

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
  Surface& ds = *d->surface;
  // A copy of the source first, since source and destination may be the same surface.
  std::vector<std::uint32_t> srcPixels;
  if (needsSource) {
    srcPixels.resize(std::size_t(std::max(dw, 0)) * std::size_t(std::max(dh, 0)));
    for (int yy = 0; yy < dh; ++yy)
      for (int xx = 0; xx < dw; ++xx) {
        int px = srect.left + int(std::floor((xx + 0.5) * (srect.right - srect.left) / double(dw)));
        int py = srect.top + int(std::floor((yy + 0.5) * (srect.bottom - srect.top) / double(dh)));
        if (srect.right < srect.left) px -= 1;
        if (srect.bottom < srect.top) py -= 1;
        srcPixels[std::size_t(yy) * std::size_t(dw) + std::size_t(xx)] = SourcePixel(*s, *d, px, py);
      }
  }
  for (const RECT& r : area.rects)
    for (int yy = r.top; yy < r.bottom; ++yy) {
      std::uint32_t* row = ds.Row(yy);
      for (int xx = r.left; xx < r.right; ++xx) {
        std::uint32_t sp =
            needsSource ? srcPixels[std::size_t(yy - dr.top) * std::size_t(dw) + std::size_t(xx - dr.left)] : 0;
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

// ---- 3D edges and frame controls -----------------------------------------------------------------------------------------------
namespace {
void Line2(HDC dc, int x0, int y0, int x1, int y1, int color) {
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(color));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
  DeleteObject(pen);
}
void Fill(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}
}  // namespace

BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags) {
  if (!rect || !GetDc(dc)) return FALSE;
  RECT r = *rect;
  auto pass = [&](UINT raised, UINT sunken, int lightTL, int darkBR, int lightTLs, int darkBRs) {
    int tl = -1, br = -1;
    if (edge & raised) {
      tl = lightTL;
      br = darkBR;
    } else if (edge & sunken) {
      tl = lightTLs;
      br = darkBRs;
    }
    if (tl < 0) return;
    if (flags & BF_MONO) tl = br = COLOR_WINDOWFRAME;
    if (flags & BF_FLAT) tl = br = COLOR_BTNSHADOW;
    if (flags & BF_TOP) Line2(dc, r.left, r.top, r.right, r.top, tl);
    if (flags & BF_LEFT) Line2(dc, r.left, r.top, r.left, r.bottom, tl);
    if (flags & BF_BOTTOM) Line2(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, br);
    if (flags & BF_RIGHT) Line2(dc, r.right - 1, r.top, r.right - 1, r.bottom, br);
    if (flags & BF_LEFT) ++r.left;
    if (flags & BF_TOP) ++r.top;
    if (flags & BF_RIGHT) --r.right;
    if (flags & BF_BOTTOM) --r.bottom;
  };
  pass(BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DSHADOW, COLOR_3DHILIGHT);
  pass(BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_3DHILIGHT, COLOR_3DSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
  if (flags & BF_MIDDLE) Fill(dc, r, GetSysColor(COLOR_3DFACE));
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}

BOOL DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state) {
  if (!rect || !GetDc(dc)) return FALSE;
  RECT r = *rect;
  bool inactive = state & DFCS_INACTIVE;
  if (type == DFC_BUTTON && (state & 0xFF) == DFCS_BUTTONPUSH) {
    Fill(dc, r, GetSysColor(COLOR_BTNFACE));
    DrawEdge(dc, &r, (state & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    return TRUE;
  }
  if (type == DFC_BUTTON) {
    int side = std::min(r.right - r.left, r.bottom - r.top);
    RECT box{r.left, r.top + (r.bottom - r.top - side) / 2, r.left + side,
             r.top + (r.bottom - r.top - side) / 2 + side};
    bool radio = (state & DFCS_BUTTONRADIO) != 0;
    COLORREF face = inactive || (state & DFCS_PUSHED) ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW);
    COLORREF mark = inactive ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_WINDOWTEXT);
    if (radio) {
      HBRUSH b = CreateSolidBrush(face);
      HPEN p = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW));
      HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, p);
      Ellipse(dc, box.left, box.top, box.right, box.bottom);
      if (state & DFCS_CHECKED) {
        HBRUSH m = CreateSolidBrush(mark);
        SelectObject(dc, m);
        HGDIOBJ np = SelectObject(dc, GetStockObject(NULL_PEN));
        int c = side / 3;
        Ellipse(dc, box.left + c, box.top + c, box.right - c + 1, box.bottom - c + 1);
        SelectObject(dc, np);
        SelectObject(dc, b);
        DeleteObject(m);
      }
      SelectObject(dc, ob);
      SelectObject(dc, op);
      DeleteObject(b);
      DeleteObject(p);
      return TRUE;
    }
    Fill(dc, box, face);
    RECT e = box;
    DrawEdge(dc, &e, EDGE_SUNKEN, BF_RECT);
    if (state & DFCS_CHECKED) {
      HPEN p = CreatePen(PS_SOLID, 1, mark);
      HGDIOBJ op = SelectObject(dc, p);
      int x = box.left + side / 4, y = box.top + side / 2;
      for (int k = 0; k < 3; ++k) {
        MoveToEx(dc, x, y - 1 + k, nullptr);
        LineTo(dc, x + side / 6 + 1, y + side / 6 + k);
        LineTo(dc, box.right - side / 4 + 1, box.top + side / 4 - 1 + k);
      }
      SelectObject(dc, op);
      DeleteObject(p);
    }
    return TRUE;
  }
  if (type == DFC_SCROLL) {
    Fill(dc, r, GetSysColor(COLOR_BTNFACE));
    RECT e = r;
    DrawEdge(dc, &e, (state & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    int kind = int(state & 0xFF);
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    int s = std::max(2, std::min(r.right - r.left, r.bottom - r.top) / 4);
    POINT tri[3];
    switch (kind) {
      case DFCS_SCROLLUP:
        tri[0] = {cx - s, cy + s / 2};
        tri[1] = {cx + s, cy + s / 2};
        tri[2] = {cx, cy - s / 2 - 1};
        break;
      case DFCS_SCROLLLEFT:
        tri[0] = {cx + s / 2, cy - s};
        tri[1] = {cx + s / 2, cy + s};
        tri[2] = {cx - s / 2 - 1, cy};
        break;
      case DFCS_SCROLLRIGHT:
        tri[0] = {cx - s / 2, cy - s};
        tri[1] = {cx - s / 2, cy + s};
        tri[2] = {cx + s / 2 + 1, cy};
        break;
      default:
        tri[0] = {cx - s, cy - s / 2};
        tri[1] = {cx + s, cy - s / 2};
        tri[2] = {cx, cy + s / 2 + 1};
        break;
    }
    HBRUSH b = CreateSolidBrush(inactive ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, tri, 3);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(b);
    return TRUE;
  }
  if (type == DFC_CAPTION || type == DFC_MENU) {
    Fill(dc, r, GetSysColor(COLOR_BTNFACE));
    RECT e = r;
    DrawEdge(dc, &e, EDGE_RAISED, BF_RECT);
    return TRUE;
  }
  return FALSE;
}

BOOL DrawState(HDC dc, HBRUSH brush, DRAWSTATEPROC proc, LPARAM data, WPARAM wData, int x, int y, int cx, int cy,
               UINT flags) {
  if (!GetDc(dc)) return FALSE;
  UINT kind = flags & 0xF;
  bool disabled = flags & DSS_DISABLED;
  if (kind == DST_TEXT || kind == DST_PREFIXTEXT) {
    auto* text = reinterpret_cast<LPCSTR>(data);
    int len = wData ? int(wData) : -1;
    RECT r{x, y, x + (cx ? cx : 10000), y + (cy ? cy : 10000)};
    int oldMode = SetBkMode(dc, TRANSPARENT);
    UINT fmt = DT_SINGLELINE | DT_NOCLIP | (kind == DST_TEXT ? DT_NOPREFIX : 0);
    if (disabled) {
      COLORREF old = SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
      RECT r1 = r;
      OffsetRect(&r1, 1, 1);
      DrawText(dc, text, len, &r1, fmt);
      SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
      DrawText(dc, text, len, &r, fmt);
      SetTextColor(dc, old);
    } else {
      DrawText(dc, text, len, &r, fmt);
    }
    SetBkMode(dc, oldMode);
    return TRUE;
  }
  if (kind == DST_BITMAP || kind == DST_ICON) {
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = nullptr;
    HBITMAP mask = nullptr;
    if (kind == DST_ICON) {
      ICONINFO ii{};
      if (!GetIconInfo(reinterpret_cast<HICON>(data), &ii)) {
        DeleteDC(mem);
        return FALSE;
      }
      bmp = ii.hbmColor;
      mask = ii.hbmMask;
    } else {
      bmp = reinterpret_cast<HBITMAP>(data);
    }
    BITMAP bm{};
    GetObject(bmp, sizeof(bm), &bm);
    if (!cx) cx = bm.bmWidth;
    if (!cy) cy = bm.bmHeight;
    HGDIOBJ old = SelectObject(mem, bmp);
    if (disabled) {
      // Embossed: every non-background pixel becomes highlight (offset) and shadow.
      for (int pass = 0; pass < 2; ++pass)
        for (int yy = 0; yy < cy; ++yy)
          for (int xx = 0; xx < cx; ++xx) {
            COLORREF c = GetPixel(mem, xx, yy);
            bool bg = c == RGB(255, 255, 255) || c == GetSysColor(COLOR_BTNFACE) || c == RGB(192, 192, 192);
            if (mask) {
              HDC mm = CreateCompatibleDC(dc);
              HGDIOBJ om = SelectObject(mm, mask);
              bg = GetPixel(mm, xx, yy) != 0;
              SelectObject(mm, om);
              DeleteDC(mm);
            }
            if (bg) continue;
            if (pass == 0)
              SetPixel(dc, x + xx + 1, y + yy + 1, GetSysColor(COLOR_3DHILIGHT));
            else
              SetPixel(dc, x + xx, y + yy, GetSysColor(COLOR_3DSHADOW));
          }
    } else if (mask) {
      HDC mm = CreateCompatibleDC(dc);
      HGDIOBJ om = SelectObject(mm, mask);
      BitBlt(dc, x, y, cx, cy, mm, 0, 0, SRCAND);
      BitBlt(dc, x, y, cx, cy, mem, 0, 0, SRCINVERT);
      SelectObject(mm, om);
      DeleteDC(mm);
    } else {
      BitBlt(dc, x, y, cx, cy, mem, 0, 0, SRCCOPY);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    return TRUE;
  }
  if (kind == DST_COMPLEX && proc) return proc(dc, data, wData, cx, cy);
  (void)brush;
  return FALSE;
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

// ---- Metafiles ----------------------------------------------------------------------------------------------------------------
namespace win::detail {
void SelectRecordedObject(HDC target, const std::shared_ptr<GdiObject>& object) {
  Dc* d = GetDc(target);
  if (!d) return;
  HGDIOBJ h = NewObject(std::make_shared<GdiObject>(*object));
  SelectObject(target, h);
  d->playTemporaries.push_back(h);
}
}  // namespace win::detail

HDC CreateEnhMetaFile(HDC, LPCSTR, const RECT* frame, LPCSTR) {
  auto dc = std::make_unique<Dc>();
  dc->surface = std::make_shared<Surface>(1, 1);
  dc->visible = Region::FromRect({0, 0, 1, 1});
  dc->recording = std::make_shared<Recording>();
  if (frame) {
    // The frame is given in 0.01 mm; the recording's units are pixels at 96 per inch.
    dc->recording->frame = {frame->left * 96 / 2540, frame->top * 96 / 2540, frame->right * 96 / 2540,
                            frame->bottom * 96 / 2540};
    dc->recording->hasFrame = true;
  }
  return NewDc(std::move(dc));
}

HENHMETAFILE CloseEnhMetaFile(HDC dc) {
  Dc* d = GetDc(dc);
  if (!d || !d->recording) return nullptr;
  auto o = std::make_shared<GdiObject>();
  o->kind = GdiKind::EnhMetaFile;
  o->metafile = d->recording;
  DeleteDC(dc);
  return reinterpret_cast<HENHMETAFILE>(NewObject(o));
}

BOOL PlayEnhMetaFile(HDC dc, HENHMETAFILE mf, const RECT* rect) {
  auto o = Obj(mf);
  Dc* d = GetDc(dc);
  if (!o || !d || o->kind != GdiKind::EnhMetaFile || !o->metafile) return FALSE;
  const Recording& rec = *o->metafile;
  int saved = SaveDC(dc);
  if (rect) {
    RECT frame = rec.hasFrame ? rec.frame : rec.bounds;
    int fw = std::max(1, int(frame.right - frame.left)), fh = std::max(1, int(frame.bottom - frame.top));
    POINT tl{rect->left, rect->top}, br{rect->right, rect->bottom};
    LPtoDP(dc, &tl, 1);
    LPtoDP(dc, &br, 1);
    d = GetDc(dc);
    d->st.mapMode = MM_ANISOTROPIC;
    d->st.winOrg = {frame.left, frame.top};
    d->st.winExt = {fw, fh};
    d->st.vpOrg = tl;
    d->st.vpExt = {std::max(1, int(br.x - tl.x)), std::max(1, int(br.y - tl.y))};
  }
  std::vector<HGDIOBJ> temporaries;
  std::swap(temporaries, GetDc(dc)->playTemporaries);
  for (const auto& call : rec.calls) call(dc);
  std::swap(temporaries, GetDc(dc)->playTemporaries);
  RestoreDC(dc, saved);
  for (HGDIOBJ t : temporaries) DeleteObject(t);
  return TRUE;
}

BOOL DeleteEnhMetaFile(HENHMETAFILE mf) { return DeleteObject(mf); }

HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE mf, LPCSTR) {
  auto o = Obj(mf);
  if (!o || o->kind != GdiKind::EnhMetaFile) return nullptr;
  return reinterpret_cast<HENHMETAFILE>(NewObject(std::make_shared<GdiObject>(*o)));
}

HDC CreateMetaFile(LPCSTR) { return CreateEnhMetaFile(nullptr, nullptr, nullptr, nullptr); }
HMETAFILE CloseMetaFile(HDC dc) { return reinterpret_cast<HMETAFILE>(CloseEnhMetaFile(dc)); }
BOOL PlayMetaFile(HDC dc, HMETAFILE mf) { return PlayEnhMetaFile(dc, reinterpret_cast<HENHMETAFILE>(mf), nullptr); }
BOOL DeleteMetaFile(HMETAFILE mf) { return DeleteObject(mf); }

// ---- Peeking --------------------------------------------------------------------------------------------------------------------
namespace win {
COLORREF PeekPixel(HDC dc, int x, int y) {
  Dc* d = GetDc(dc);
  if (!d || x < 0 || y < 0 || x >= d->surface->width || y >= d->surface->height) return CLR_INVALID;
  return FromRgb(d->surface->Get(x, y));
}
}  // namespace win
