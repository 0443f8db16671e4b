// Device contexts: creation, saved states, selected objects, mapping modes and clipping.
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/win/draw/gdi_internal.h"
#include "platform/win/print/print.h"
#include "platform/win/base/handles.h"
#include "platform/win/window/internal.h"

using namespace win::detail;

// ---- Device contexts ------------------------------------------------------------------------------------------------------
HDC CreateCompatibleDC(HDC) {
  auto dc = std::make_unique<Dc>();
  dc->memoryDc = true;
  HBITMAP def = CreateBitmap(1, 1, 1, 1, nullptr);
  // no memory for its one pixel is a shortage as the DC's own is: a DC without a surface would draw nothing, unsaid
  if (!def) throw std::bad_alloc();
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
  auto it = Gdi().dcs.find(h);
  if (it == Gdi().dcs.end()) return FALSE;
  HBITMAP def = it->second->defaultBitmap;
  Gdi().dcs.erase(it);
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
