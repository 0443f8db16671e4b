// GDI on cairo image surfaces, the machinery beneath the calls: surfaces, regions, the handle tables, logical and
// device coordinates, GDI's pixel rules and the recording of calls. The calls themselves are in objects.cpp,
// dc.cpp, shapes.cpp, raster.cpp and metafile.cpp.
#include "platform/win/draw/gdi.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/win/base/handles.h"
#include "platform/win/draw/gdi_internal.h"
#include "platform/win/window/internal.h"

namespace win::detail {

// ---- Surfaces ------------------------------------------------------------------------------------------------------
cairo_surface_t* NewImageSurface(cairo_format_t format, int width, int height) {
  cairo_surface_t* surface = cairo_image_surface_create(format, width, height);
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS && cairo_image_surface_get_data(surface)) return surface;
  cairo_surface_destroy(surface);
  throw std::bad_alloc();
}

Surface::Surface(int w, int h, bool withPixels) : width(std::max(1, w)), height(std::max(1, h)), pixels(withPixels) {
  surface = NewImageSurface(CAIRO_FORMAT_RGB24, pixels ? width : 1, pixels ? height : 1);
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
  if (!pixels) return 0xFFFFFF;
  cairo_surface_flush(surface);
  auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                                     std::ptrdiff_t(y) * cairo_image_surface_get_stride(surface));
  return row[x] & 0xFFFFFF;
}
void Surface::Set(int x, int y, std::uint32_t rgb) {
  if (x < 0 || y < 0 || x >= width || y >= height || !pixels) return;
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
// Never destroyed: objects of other static lifetimes free their GDI objects while the process ends.
GdiTables& Gdi() {
  static GdiTables* t = new GdiTables;
  return *t;
}

void EnsureHandleFloor() {
  static bool done = false;
  if (done) return;
  done = true;
  static int dummy = 0;
  for (int h = 0; h < 64;) {
    h = win::RegisterHandle(&dummy, typeid(GdiTables));
    win::ReleaseHandle(h);
  }
}

HGDIOBJ NewObject(std::shared_ptr<GdiObject> obj) {
  EnsureHandleFloor();
  int h = win::RegisterHandle(obj.get(), typeid(GdiObject));
  Gdi().objects[h] = std::move(obj);
  return reinterpret_cast<HGDIOBJ>(std::intptr_t(h));
}

std::shared_ptr<GdiObject> Obj(HGDIOBJ h) {
  std::intptr_t v = reinterpret_cast<std::intptr_t>(h);
  if (v > 0 && v <= COLOR_MENUBAR + 1) return Obj(GetSysColorBrush(int(v - 1)));
  auto it = Gdi().objects.find(int(v));
  return it == Gdi().objects.end() ? nullptr : it->second;
}

Dc* GetDc(HDC h) {
  auto it = Gdi().dcs.find(int(reinterpret_cast<std::intptr_t>(h)));
  return it == Gdi().dcs.end() ? nullptr : it->second.get();
}

HDC NewDc(std::unique_ptr<Dc> dc) {
  EnsureHandleFloor();
  int h = win::RegisterHandle(dc.get(), typeid(Dc));
  HDC hdc = reinterpret_cast<HDC>(std::intptr_t(h));
  dc->self = hdc;
  Gdi().dcs[h] = std::move(dc);
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
  if (cairo_t* cr = PrinterPage(d)) {
    std::uint32_t v = 0;
    if (OnPaper(Rop2(rop2, rgb, 0xFFFFFF) & 0xFFFFFF, Rop2(rop2, rgb, 0) & 0xFFFFFF, &v)) {
      SetColor(cr, v);
      cairo_rectangle(cr, x, y, 1, 1);
      cairo_fill(cr);
    }
    cairo_destroy(cr);
    return;
  }
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
void FillDeviceRegion(Dc& d, const Region& area, const GdiObject& brush, DWORD rop) {
  if (brush.brush.lbStyle == BS_NULL) return;
  if (cairo_t* cr = PrinterPage(d)) {
    if (cairo_pattern_t* paint = PaperPattern(d, brush, rop)) {
      ClipTo(cr, area);
      cairo_set_source(cr, paint);
      cairo_paint(cr);
      cairo_pattern_destroy(paint);
    }
    cairo_destroy(cr);
    return;
  }
  Surface& s = *d.surface;
  const bool solid = rop == PATCOPY && brush.brush.lbStyle != BS_HATCHED && brush.brush.lbStyle != BS_PATTERN;
  if (solid) {  // one colour: whole spans (a print-size picture's background is one fill)
    const std::uint32_t v = s.monochrome ? MonoOf(ToRgb(brush.brush.lbColor)) : ToRgb(brush.brush.lbColor);
    for (const RECT& r : area.rects)
      for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = s.Row(y);
        std::fill(row + r.left, row + r.right, v);
      }
    cairo_surface_mark_dirty(s.surface);
    return;
  }
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

void FillDeviceRect(Dc& d, const RECT& r, const GdiObject& brush, DWORD rop) {
  FillDeviceRegion(d, ClipOf(d).Intersect(Region::FromRect(r)), brush, rop);
}

void ClipTo(cairo_t* cr, const Region& area) {
  for (const RECT& r : area.rects) cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (area.Empty()) cairo_rectangle(cr, 0, 0, 0, 0);
  cairo_clip(cr);
}

bool OnPaper(std::uint32_t white, std::uint32_t black, std::uint32_t* out) {
  if (white == 0xFFFFFF && black == 0) return false;
  *out = white;
  return true;
}

cairo_pattern_t* PaperPattern(const Dc& d, const GdiObject& brush, DWORD rop) {
  const bool tiled = brush.brush.lbStyle == BS_HATCHED || (brush.brush.lbStyle == BS_PATTERN && brush.pattern);
  if (!tiled) {
    const std::uint32_t p = ToRgb(brush.brush.lbColor);
    std::uint32_t v = 0;
    if (!OnPaper(Rop3(rop, p, 0, 0xFFFFFF) & 0xFFFFFF, Rop3(rop, p, 0, 0) & 0xFFFFFF, &v)) return nullptr;
    return cairo_pattern_create_rgb(((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0);
  }
  // One tile of the brush as it lies on the device (hatches repeat every 8 pixels from the device's origin).
  const int w = brush.brush.lbStyle == BS_HATCHED ? 8 : brush.pattern->width;
  const int h = brush.brush.lbStyle == BS_HATCHED ? 8 : brush.pattern->height;
  cairo_surface_t* tile = NewImageSurface(CAIRO_FORMAT_ARGB32, w, h);
  unsigned char* data = cairo_image_surface_get_data(tile);
  const int stride = cairo_image_surface_get_stride(tile);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = BrushPixel(d, brush, x, y);
      std::uint32_t v = 0;
      const bool drawn = OnPaper(Rop3(rop, p, 0, 0xFFFFFF) & 0xFFFFFF, Rop3(rop, p, 0, 0) & 0xFFFFFF, &v);
      reinterpret_cast<std::uint32_t*>(data + y * stride)[x] = drawn ? 0xFF000000u | v : 0u;
    }
  cairo_surface_mark_dirty(tile);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
  cairo_surface_destroy(tile);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  return pattern;
}

// A cairo context on the DC's surface (or printed page), clipped, without anti-aliasing (GDI draws whole pixels).
cairo_t* Cairo(Dc& d) {
  cairo_t* cr = PrinterPage(d);
  if (!cr) {
    cairo_surface_flush(d.surface->surface);
    cr = cairo_create(d.surface->surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  }
  ClipTo(cr, ClipOf(d));
  return cr;
}

void SetColor(cairo_t* cr, std::uint32_t rgb) {
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

// Renders a shape into a coverage mask and applies it with the DC's mix mode (for modes cairo lacks).
void ApplyMask(Dc& d, const std::function<void(cairo_t*)>& shape, std::uint32_t color, int rop2,
               const GdiObject* brush) {
  if (cairo_t* cr = PrinterPage(d)) {
    // On paper the shape is drawn as the mix mode makes it of white.
    ClipTo(cr, ClipOf(d));
    std::uint32_t v = 0;
    cairo_pattern_t* paint =
        brush ? PaperPattern(d, *brush, PATCOPY)
        : OnPaper(Rop2(rop2, color, 0xFFFFFF) & 0xFFFFFF, Rop2(rop2, color, 0) & 0xFFFFFF, &v)
            ? cairo_pattern_create_rgb(((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0)
            : nullptr;
    if (paint) {
      cairo_set_source(cr, paint);
      shape(cr);
      cairo_pattern_destroy(paint);
    }
    cairo_destroy(cr);
    return;
  }
  Surface& s = *d.surface;
  cairo_surface_t* mask = NewImageSurface(CAIRO_FORMAT_A8, s.width, s.height);
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
void FillPath(Dc& d, const std::function<void(cairo_t*)>& path, const GdiObject& brush, int fillRule) {
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
  if (cairo_t* cr = PrinterPage(d)) {
    // On paper a line of one device pixel, its dashes as the screen's.
    ClipTo(cr, ClipOf(d));
    if (pattern) {
      double dashes[6];
      for (int k = 0; k < patternLen; ++k) dashes[k] = pattern[k];
      cairo_set_dash(cr, dashes, patternLen, 0);
    }
    std::uint32_t v = 0;
    if (OnPaper(Rop2(d.st.rop2, color, 0xFFFFFF) & 0xFFFFFF, Rop2(d.st.rop2, color, 0) & 0xFFFFFF, &v)) {
      SetColor(cr, v);
      cairo_set_line_width(cr, 1);
      cairo_move_to(cr, a.x + 0.5, a.y + 0.5);
      cairo_line_to(cr, b.x + 0.5, b.y + 0.5);
      cairo_stroke(cr);
    }
    cairo_destroy(cr);
    return;
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

// ---- Peeking --------------------------------------------------------------------------------------------------------------------
namespace win {
COLORREF PeekPixel(HDC dc, int x, int y) {
  Dc* d = GetDc(dc);
  if (!d || x < 0 || y < 0 || x >= d->surface->width || y >= d->surface->height) return CLR_INVALID;
  return FromRgb(d->surface->Get(x, y));
}
}  // namespace win
