#include "framework_ui/labelplacer.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kScale = 10000.0;  // model units to search units

// Coordinates from a position beyond any screen (a load 1e300 m up) saturate instead of wrapping: a box there
// still lies far off, and sums of offsets and heights stay inside a long.
constexpr double kFar = 1e15;
long Trunc(double v) { return std::isnan(v) ? 0 : long(std::trunc(std::clamp(v, -kFar, kFar))); }
POINT Pt(double x, double y) {
  constexpr double lim = 2147483647.0;
  return POINT{LONG(std::clamp(std::trunc(std::isnan(x) ? 0.0 : x), -lim, lim)),
               LONG(std::clamp(std::trunc(std::isnan(y) ? 0.0 : y), -lim, lim))};
}

// A box's region is built one row per unit of its height: beyond this many rows (a column typed in millimetres
// is drawn thousands of times too large) two boxes whose bounds overlap count as colliding, which can only move
// a label further out, never onto another.
constexpr long kRasterRows = 4096;

RECT Bounds(const POINT* pt) {
  RECT r{pt[0].x, pt[0].y, pt[0].x, pt[0].y};
  for (int i = 1; i < 4; ++i) {
    r.left = std::min(r.left, pt[i].x);
    r.right = std::max(r.right, pt[i].x);
    r.top = std::min(r.top, pt[i].y);
    r.bottom = std::max(r.bottom, pt[i].y);
  }
  return r;
}

// The box walked round (start-near, start-far, end-far, end-near) turns only at right angles along the axes: its
// region is its bounds.
bool AxisAligned(const POINT* pt) {
  const POINT ring[4] = {pt[0], pt[1], pt[3], pt[2]};
  auto vertical = [&](int i) { return ring[i].x == ring[(i + 1) % 4].x; };
  auto horizontal = [&](int i) { return ring[i].y == ring[(i + 1) % 4].y; };
  return (vertical(0) && horizontal(1) && vertical(2) && horizontal(3)) ||
         (horizontal(0) && vertical(1) && horizontal(2) && vertical(3));
}
}  // namespace

// ---- Box -------------------------------------------------------------------------------------------------------------
CLabelBox& CLabelBox::operator=(const CLabelBox& other) {
  if (this != &other) {
    std::copy(other.m_pt, other.m_pt + 4, m_pt);
    m_tolerance = other.m_tolerance;
    m_region.reset();
  }
  return *this;
}

void CLabelBox::SetCorners(const POINT corners[4]) {
  for (int i = 0; i < 4; ++i)
    m_pt[i] = POINT{LONG(std::lround(corners[i].x / 100.0)), LONG(std::lround(corners[i].y / 100.0))};
  m_region.reset();
}

bool CLabelBox::IsDegenerate() const {
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j)
      if (m_pt[i].x == m_pt[j].x && m_pt[i].y == m_pt[j].y) return true;
  return false;
}

CRgn& CLabelBox::Region() {
  if (!m_region) {
    m_region = std::make_unique<CRgn>();
    // Walk round the box: start-near, start-far, end-far, end-near.
    POINT ring[4] = {m_pt[0], m_pt[1], m_pt[3], m_pt[2]};
    m_region->CreatePolygonRgn(ring, 4, ALTERNATE);
  }
  return *m_region;
}

bool CLabelBox::Collides(CLabelBox& other) {
  if (IsDegenerate() || other.IsDegenerate()) return false;
  auto has = [](const CLabelBox& box, POINT p) {
    return std::any_of(box.m_pt, box.m_pt + 4, [p](POINT q) { return q.x == p.x && q.y == p.y; });
  };
  if (std::all_of(m_pt, m_pt + 4, [&](POINT p) { return has(other, p); }) &&
      std::all_of(other.m_pt, other.m_pt + 4, [&](POINT p) { return has(*this, p); }))
    return true;
  // A region lies within its bounds (right and bottom edges outside): disjoint bounds never collide, and the
  // bounds of boxes along the axes are their regions.
  const RECT a = Bounds(m_pt), b = Bounds(other.m_pt);
  if (std::max(a.left, b.left) >= std::min(a.right, b.right) || std::max(a.top, b.top) >= std::min(a.bottom, b.bottom))
    return false;
  if (AxisAligned(m_pt) && AxisAligned(other.m_pt)) return true;
  if (a.bottom - a.top > kRasterRows || b.bottom - b.top > kRasterRows) return true;
  CRgn common;
  common.CreateRectRgn(0, 0, 0, 0);
  int kind = common.CombineRgn(&Region(), &other.Region(), RGN_AND);
  return kind != NULLREGION && kind != ERROR;
}

// ---- Placer ----------------------------------------------------------------------------------------------------------
CLabelPlacer::CLabelPlacer(int capacity) {
  m_boxes.reserve(std::size_t(std::max(0, capacity)));
  m_levels.reserve(std::size_t(std::max(0, capacity)));
}

CLabelBox CLabelPlacer::MakeBox(int code, POINT p, POINT q, int side, long offset, long h1, long h2) {
  const double x1 = p.x, y1 = p.y, x2 = q.x, y2 = q.y;
  const double phi = std::atan2(y1 - y2, x2 - x1);
  const double sn = std::sin(phi), cs = std::cos(phi);
  const double s = side == -1 ? -1.0 : 1.0;
  const double d = s * double(offset);
  const double far1 = s * (double(offset) + double(h1)), far2 = s * (double(offset) + double(h2));
  POINT c[4] = {p, p, p, p};  // start-near, start-far, end-near, end-far
  switch (code) {
    case 1:
    case 11:
    case 21:
    case 31:
    case 9:
      c[0] = Pt(x1 - d * sn, y1 - d * cs);
      c[2] = Pt(x2 - d * sn, y2 - d * cs);
      c[1] = Pt(x1 - far1 * sn, y1 - far1 * cs);
      c[3] = Pt(x2 - far2 * sn, y2 - far2 * cs);
      break;
    case 2:
    case 12:
    case 19:
      if (std::fabs(cs) > 1e-12) {
        c[0] = Pt(x1, y1 - d / cs);
        c[2] = Pt(x2, y2 - d / cs);
        c[1] = Pt(x1, y1 - far1 / cs);
        c[3] = Pt(x2, y2 - far2 / cs);
      }
      break;
    case 3:
    case 13:
      if (std::fabs(sn) > 1e-12) {
        auto limit = [](double w, double h) { return std::fabs(w) > 1.3 * h ? std::copysign(1.3 * h, w) : w; };
        double w1 = limit(double(h1) / sn, double(h1)), w2 = limit(double(h2) / sn, double(h2));
        c[0] = Pt(x1 - d / sn, y1);
        c[2] = Pt(x2 - d / sn, y2);
        c[1] = Pt(x1 - d / sn - w1, y1);
        c[3] = Pt(x2 - d / sn - w2, y2);
      }
      break;
    case 4:
    case 14: {
      double y = std::min(y1, y2) - double(Trunc(cs * d));
      c[0] = Pt(x1, y);
      c[2] = Pt(x2, y);
      c[1] = Pt(x1, y - double(h1));
      c[3] = Pt(x2, y - double(h2));
      break;
    }
    case 5:
    case 15: {
      double x = (x1 <= x2 ? x1 : x2) - double(Trunc(sn * d));
      c[0] = Pt(x, y1);
      c[2] = Pt(x, y2);
      c[1] = Pt(x - double(h1), y1);
      c[3] = Pt(x - double(h2), y2);
      break;
    }
    default: break;
  }
  if (s < 0) {
    std::swap(c[0], c[1]);
    std::swap(c[2], c[3]);
  }
  CLabelBox box;
  box.SetCorners(c);
  return box;
}

double CLabelPlacer::FindOffset(int code, double px, double py, double qx, double qy, double modelLength,
                                double extentStart, double extentEnd, double height, int side, double baseOffset) {
  if (px > qx) {
    std::swap(px, qx);
    std::swap(py, qy);
  }
  if (extentStart > extentEnd) std::swap(extentStart, extentEnd);
  // Nothing can be placed against a length or height that is no number: the label stays at its base, unplaced.
  for (double v : {px, py, qx, qy, modelLength, extentStart, extentEnd, height, baseOffset})
    if (!std::isfinite(v)) return std::isfinite(baseOffset) ? baseOffset : 0.0;
  const long ix1 = Trunc(px * kScale), iy1 = Trunc(py * kScale), ix2 = Trunc(qx * kScale), iy2 = Trunc(qy * kScale);
  const long h = Trunc(height * kScale);
  const long base = Trunc(baseOffset * kScale);
  const double screenLength = std::hypot(double(ix2 - ix1), double(iy2 - iy1));
  // A segment without length maps the whole extent onto its start point (its box then has no area).
  const double ratio = modelLength > 0.0 ? screenLength / modelLength : 0.0;
  const double ux = screenLength > 0 ? (ix2 - ix1) / screenLength : 0.0;
  const double uy = screenLength > 0 ? (iy2 - iy1) / screenLength : 0.0;
  POINT s = Pt(ix1 + ux * extentStart * ratio, iy1 + uy * extentStart * ratio);
  POINT e = Pt(ix1 + ux * extentEnd * ratio, iy1 + uy * extentEnd * ratio);
  int level = 1;
  long step = 0;
  for (;;) {
    long offset = base + step;
    CLabelBox box = MakeBox(code, s, e, side, offset, h, h);
    bool collides = false;
    // only the boxes of this level: thousands of labels would otherwise be compared with every box at every level
    if (std::size_t(level) < m_perLevel.size())
      for (int i : m_perLevel[std::size_t(level)])
        if (box.Collides(m_boxes[std::size_t(i)])) {
          collides = true;
          break;
        }
    // Levels above the highest one in use hold no boxes, so the search always ends.
    if (!collides) {
      m_boxes.push_back(box);
      m_levels.push_back(level);
      if (m_perLevel.size() <= std::size_t(level)) m_perLevel.resize(std::size_t(level) + 1);
      m_perLevel[std::size_t(level)].push_back(m_count);
      ++m_count;
      return double(offset) * 0.0001;
    }
    ++level;
    step = std::clamp(step + h, -Trunc(kFar), Trunc(kFar));  // the levels, not the offsets, end the search
  }
}

double CLabelPlacer::PlaceLabel(double start, double end, double extentStart, double extentEnd, double height,
                                double gap) {
  if (extentStart > extentEnd) std::swap(extentStart, extentEnd);
  extentStart -= gap / 2;
  extentEnd += gap / 2;
  return FindOffset(1, 0.0, start, 0.0, end, std::fabs(end - start), extentStart - start, extentEnd - start, height, 1,
                    0.0);
}
