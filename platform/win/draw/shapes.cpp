// Lines, shapes and filled rectangles in GDI's pixel rules; 3D edges, frame controls and DrawState.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win/draw/gdi_internal.h"
#include "platform/win/base/handles.h"
#include "platform/win/window/internal.h"

using namespace win::detail;

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
