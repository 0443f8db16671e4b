#include "geometry/geocontour.h"

#include <cmath>
#include <vector>

#include "geometry/geoline.h"

CGeoContour::CGeoContour(const CGeoPlane& plane, const double* xs, const double* ys, int n) {
  m_type = GEO_CONTOUR;
  Set(plane, xs, ys, n);
}

CGeoContour::CGeoContour(const CGeoPlane& plane, const CArray<CGeoPoint, CGeoPoint&>& points) {
  m_type = GEO_CONTOUR;
  Set(plane, points);
}

CGeoContour::CGeoContour(const CGeoPlane& plane, const CArray<CGeoVertex, CGeoVertex&>& vertices) {
  m_type = GEO_CONTOUR;
  Set(plane, vertices);
}

CGeoContour::CGeoContour(const CGeoPlane& plane, const CGeoPoint* points, int n) {
  m_type = GEO_CONTOUR;
  Set(plane, points, n);
}

CGeoContour::CGeoContour(const CGeoContour& other) : CGeoSurface() {
  m_type = GEO_CONTOUR;
  SetFrom(other);
}

CGeoContour& CGeoContour::operator=(const CGeoContour& other) {
  SetFrom(other);
  return *this;
}

void CGeoContour::Set(const CGeoPlane& plane, const double* xs, const double* ys, int n) {
  CGeoPlane::SetFrom(plane);
  m_aCoords.RemoveAll();
  if (xs && ys)
    for (int i = 0; i < n; ++i) {
      m_aCoords.Add(xs[i]);
      m_aCoords.Add(ys[i]);
    }
  Validate();
}

void CGeoContour::SetLocal(const CGeoPlane& plane, const CGeoPoint* points, int n, bool global) {
  CGeoPlane::SetFrom(plane);
  m_aCoords.RemoveAll();
  for (int i = 0; points && i < n; ++i) {
    CGeoPoint local(points[i]);
    if (global) GlobalToLocal(local);
    m_aCoords.Add(local.m_x);
    m_aCoords.Add(local.m_y);
  }
  Validate();
}

void CGeoContour::Set(const CGeoPlane& plane, const CArray<CGeoPoint, CGeoPoint&>& points) {
  SetLocal(plane, points.GetData(), int(points.GetSize()), true);
}

void CGeoContour::Set(const CGeoPlane& plane, const CArray<CGeoVertex, CGeoVertex&>& vertices) {
  std::vector<CGeoPoint> points(vertices.begin(), vertices.end());
  SetLocal(plane, points.data(), int(points.size()), true);
}

void CGeoContour::Set(const CGeoPlane& plane, const CGeoPoint* points, int n) { SetLocal(plane, points, n, true); }

void CGeoContour::SetFrom(const CGeoContour& other) {
  if (this != &other) {
    SetAxes(other.m_origin, other.m_axis1, other.m_axis2);
    m_aCoords.Copy(other.m_aCoords);
  }
  Validate();
}

CGeoPoint CGeoContour::GetLocalPoint(int i) const {
  const int n = GetCount();
  if (n == 0) return CGeoPoint();
  if (i < 0 || i >= n) i = 0;
  return CGeoPoint(X(i), Y(i), 0.0);
}

CGeoPoint CGeoContour::GetPoint(int i) const {
  CGeoPoint p = GetLocalPoint(i);
  LocalToGlobal(p);
  return p;
}

BOOL CGeoContour::Validate() {
  m_bValid = 0;
  int n = GetCount();
  if (CGeoPlane::IsDegenerate() || n < 3) return FALSE;

  for (int i = 0; i < n;) {
    if (GetLocalPoint(i) == GetLocalPoint((i + 1) % n)) {
      m_aCoords.RemoveAt(2 * i, 2);
      if (--n < 3) return FALSE;
    } else {
      ++i;
    }
  }

  // Edge k runs from point k − 1 to point k (k = 1 … n, point n being point 0).
  std::vector<CGeoLine> edges(n + 1);
  for (int k = 1; k <= n; ++k) edges[k].SetPoints(GetLocalPoint(k - 1), GetLocalPoint(k % n));
  for (int i = 1; i <= n - 1; ++i) {
    const CGeoLine& a = edges[i];
    for (int j = i + 1; j <= n; ++j) {
      const CGeoLine& b = edges[j];
      CGeoLine cover;
      if (a.Merge(b, &cover) && cover.GetLength(1.0) - a.GetLength(1.0) - b.GetLength(1.0) < -kGeoTolerance)
        return FALSE;  // collinear edges overlap
      // Edge 1 and edge n meet at point 0, so they are neighbours too.
      const int lastOther = i == 1 ? n - 1 : n;
      if (j > i + 1 && j <= lastOther) {
        CGeoPoint x;
        double t = 0.0, s = 0.0;
        if (a.Intersect(b, x) && a.GetParam(x, t, TRUE) && b.GetParam(x, s, TRUE)) return FALSE;  // crossing
      }
    }
  }

  const double area = GetArea();
  if (std::fabs(area) <= kGeoTolerance) return FALSE;
  if (area < 0.0) {
    for (int k = 0; k < n / 2; ++k) {
      const int m = n - 1 - k;
      const double x = X(k), y = Y(k);
      m_aCoords[2 * k] = X(m);
      m_aCoords[2 * k + 1] = Y(m);
      m_aCoords[2 * m] = x;
      m_aCoords[2 * m + 1] = y;
    }
  }
  m_bValid = 1;
  return TRUE;
}

double CGeoContour::GetArea() const {
  const int n = GetCount();
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    sum += X(i) * Y(j) - X(j) * Y(i);
  }
  return sum / 2.0;
}

CGeoPoint CGeoContour::GetCenter() const {
  const double a = GetArea();
  if (std::fabs(a) <= kGeoTolerance) return CGeoPoint(0.0, 0.0, 0.0);
  const int n = GetCount();
  double cx = 0.0, cy = 0.0;
  for (int i = 0; i < n; ++i) {
    const int j = (i + 1) % n;
    const double c = X(i) * Y(j) - X(j) * Y(i);
    cx += (X(i) + X(j)) * c;
    cy += (Y(i) + Y(j)) * c;
  }
  CGeoPoint centre(cx / 6.0 / a, cy / 6.0 / a, 0.0);
  LocalToGlobal(centre);
  return centre;
}

BOOL CGeoContour::Contains(const CGeoPoint& p) const {
  double u = 0.0, v = 0.0;
  if (!m_bValid || !GetParameters(p, u, v)) return FALSE;
  CGeoPoint local;
  GlobalToLocal(p, local);
  return ContainsLocal(local.m_x, local.m_y);
}

BOOL CGeoContour::ContainsLocal(double x, double y) const {
  if (!m_bValid) return FALSE;
  const int n = GetCount();
  const CGeoPoint p(x, y, 0.0);
  for (int i = 0; i < n; ++i) {
    double t = 0.0;
    if (CGeoLine(GetLocalPoint(i), GetLocalPoint((i + 1) % n)).GetParam(p, t, TRUE)) return TRUE;
  }
  auto quadrant = [x, y](double vx, double vy) {
    if (vx <= x) return vy <= y ? 0 : 3;
    return vy <= y ? 1 : 2;
  };
  // Winding count in quarter turns.
  int w = 0;
  double px = X(n - 1), py = Y(n - 1);
  for (int i = 0; i < n; ++i) {
    const double cx = X(i), cy = Y(i);
    const int d = ((quadrant(cx, cy) - quadrant(px, py)) % 4 + 4) % 4;
    if (d == 1) {
      ++w;
    } else if (d == 3) {
      --w;
    } else if (d == 2) {
      if (std::fabs(cy - py) <= kGeoTolerance) return FALSE;
      const double xs = (y - py) * (cx - px) / (cy - py) + px;
      if (xs == x) return TRUE;
      w += ((xs < x) == (py < cy)) ? -2 : 2;
    }
    px = cx;
    py = cy;
  }
  if (w == 4 || w == -4) return TRUE;
  if (w == 0) return FALSE;
  return w % 4 == 0;
}

BOOL CGeoContour::IsOnBoundary(const CGeoPoint& p, double* param, BOOL) const {
  double u = 0.0, v = 0.0;
  if (!m_bValid || !GetParameters(p, u, v)) return FALSE;
  const int n = GetCount();
  for (int i = 0; i < n; ++i) {
    double t = 0.0;
    if (CGeoLine(GetPoint(i), GetPoint(i + 1)).GetParam(p, t, TRUE)) {
      if (param) *param = t;
      return TRUE;
    }
  }
  return FALSE;
}

int CGeoContour::Intersect(const CGeoLine& line, CArray<CGeoPoint, CGeoPoint&>& points) const {
  if (!m_bValid || line.IsDegenerate()) return 0;
  points.RemoveAll();
  const int n = GetCount();
  for (int i = 0; i < n; ++i) {
    const CGeoLine edge(GetPoint(i), GetPoint(i + 1));
    CGeoPoint x;
    double t = 0.0;
    if (edge.Intersect(line, x) && edge.GetParam(x, t, TRUE)) points.Add(x);
  }
  for (INT_PTR i = 0; i < points.GetSize(); ++i)
    for (INT_PTR j = points.GetSize() - 1; j > i; --j)
      if (points[j] == points[i]) points.RemoveAt(j);
  return int(points.GetSize());
}
