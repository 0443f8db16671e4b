#include "geometry/geoline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "geometry/geoplane.h"

using geodetail::Component;

CGeoLine::CGeoLine(const CGeoPoint& start, const CGeoPoint& end) : CGeoObject(GEO_LINE) { SetPoints(start, end); }

CGeoLine::CGeoLine(const CGeoVector& origin, const CGeoVector& direction)
    : CGeoObject(GEO_LINE), m_origin(origin), m_direction(direction) {}

CGeoLine::CGeoLine(const CGeoLine& other)
    : CGeoObject(GEO_LINE), m_origin(other.m_origin), m_direction(other.m_direction) {}

CGeoLine& CGeoLine::operator=(const CGeoLine& other) {
  m_origin = other.m_origin;
  m_direction = other.m_direction;
  return *this;
}

void CGeoLine::SetPoints(const CGeoPoint& start, const CGeoPoint& end) {
  m_origin = start;
  m_direction = end - start;
}

void CGeoLine::Set(const CGeoVector& origin, const CGeoVector& direction) {
  m_origin = origin;
  m_direction = direction;
}

BOOL CGeoLine::IsDegenerate() const { return m_direction.GetLength(1.0) <= kGeoTolerance; }
double CGeoLine::GetLength(double factor) const { return m_direction.GetLength(1.0) * std::fabs(factor); }
CGeoPoint CGeoLine::PointAt(double t) const { return m_origin + m_direction.ScaledPoint(t); }
CGeoLine CGeoLine::GetReversed() const { return CGeoLine(GetEndPoint(), GetStartPoint()); }
void CGeoLine::Reverse() { *this = GetReversed(); }

BOOL CGeoLine::GetAngleInPlane(double& angle, const CGeoPlane& plane) const {
  return m_direction.GetAngleInPlane(angle, plane);
}

BOOL CGeoLine::GetAngle(const CGeoLine& other, double& angle) const {
  return m_direction.GetAngle(other.m_direction, angle);
}

BOOL CGeoLine::IntersectParam(const CGeoLine& other, double& t) const {
  if (IsDegenerate() || other.IsDegenerate()) return FALSE;
  const CGeoVector& a = m_direction;
  const CGeoVector& b = other.m_direction;
  const CGeoPoint diff = m_origin - other.m_origin;
  // The other line's parameter is eliminated with a component i of its direction that is clear of zero;
  // the crossing is then solved from coordinate j. Pivots near zero are skipped, never divided by.
  static constexpr int kPairs[6][2] = {{0, 1}, {0, 2}, {1, 0}, {1, 2}, {2, 0}, {2, 1}};
  for (const auto& pair : kPairs) {
    const int i = pair[0];
    const int j = pair[1];
    const double bi = Component(b, i);
    if (std::fabs(bi) <= kGeoTolerance) continue;
    const double d = Component(a, i) / bi * Component(b, j) - Component(a, j);
    if (std::fabs(d) <= kGeoTolerance) continue;
    t = (Component(diff, j) - Component(diff, i) * Component(b, j) / bi) / d;
    return TRUE;
  }
  return FALSE;
}

namespace {

// Whether q = s · b for the s taken from b's first usable component; each coordinate within tol
// (strictly below it when strict).
bool OnDirection(const CGeoVector& b, const CGeoPoint& q, double tol, bool strict) {
  const int i = geodetail::FactorComponent(b);
  const double s = Component(q, i) / Component(b, i);
  const CGeoPoint d = b.ScaledPoint(s) - q;
  for (int k = 0; k < 3; ++k) {
    const double e = std::fabs(Component(d, k));
    if (strict ? !(e < tol) : !(e <= tol)) return false;
  }
  return true;
}

}  // namespace

BOOL CGeoLine::Intersect(const CGeoLine& other, CGeoPoint& p) const {
  double t = 0.0;
  if (!IntersectParam(other, t)) return FALSE;
  const CGeoPoint q = PointAt(t);
  if (!OnDirection(other.m_direction, q - other.m_origin, kGeoTolerance, false)) return FALSE;
  p = q;
  return TRUE;
}

BOOL CGeoLine::IntersectTol(const CGeoLine& other, CGeoPoint& p, double tol) const {
  double t = 0.0;
  if (!IntersectParam(other, t)) return FALSE;
  const CGeoPoint q = PointAt(t);
  if (!OnDirection(other.m_direction, q - other.m_origin, tol, true)) return FALSE;
  p = q;
  return TRUE;
}

BOOL CGeoLine::IntersectsSegment(CGeoLine other) const {
  CGeoPoint p;
  if (!Intersect(other, p)) return FALSE;
  return p.IsOnSegment(other.GetStartPoint(), other.GetEndPoint());
}

BOOL CGeoLine::GetParam(const CGeoPoint& p, double& t, BOOL segment) const {
  if (IsDegenerate()) return FALSE;
  const CGeoPoint q = p - m_origin;
  const int i = geodetail::FactorComponent(m_direction);
  t = Component(q, i) / Component(m_direction, i);
  if (m_direction.ScaledPoint(t) != q) return FALSE;
  if (segment && (t < -kGeoTolerance || t > 1.0 + kGeoTolerance)) return FALSE;
  return TRUE;
}

BOOL CGeoLine::GetPerpendicular(const CGeoPoint& p, CGeoLine& out) const {
  if (IsDegenerate()) return FALSE;
  const double t = CGeoVector(p - m_origin).Dot(m_direction) / m_direction.Dot(m_direction);
  const CGeoLine perpendicular(p, PointAt(t));
  if (perpendicular.IsDegenerate()) return FALSE;
  out = perpendicular;
  return TRUE;
}

BOOL CGeoLine::GetDistance(const CGeoLine& other, double& dist) const {
  if (IsDegenerate() || other.IsDegenerate()) return FALSE;
  const CGeoVector n = m_direction.Cross(other.m_direction);
  const double len = n.GetLength(1.0);
  if (len <= kGeoTolerance) {
    CGeoLine perpendicular;
    dist = GetPerpendicular(other.GetStartPoint(), perpendicular) ? perpendicular.GetLength(1.0) : 0.0;
    return TRUE;
  }
  dist = n.Dot(m_origin - other.m_origin) / len;
  return TRUE;
}

BOOL CGeoLine::GetDistanceToPoint(const CGeoPoint& p, double& dist) const {
  double t = 0.0;
  if (GetParam(p, t, FALSE)) {
    dist = 0.0;
    return TRUE;
  }
  return GetDistance(CGeoLine(CGeoVector(p), m_direction), dist);
}

BOOL CGeoLine::Project(const CGeoPoint& p, double& t, double* dist) const {
  if (IsDegenerate()) return FALSE;
  CGeoLine perpendicular;
  CGeoPoint foot(p);
  double d = 0.0;
  if (GetPerpendicular(p, perpendicular)) {
    d = perpendicular.GetLength(1.0);
    foot = perpendicular.GetEndPoint();
  }
  if (dist) *dist = d;
  return GetParam(foot, t, FALSE);
}

BOOL CGeoLine::ProjectPoint(const CGeoPoint& p, CGeoPoint& foot, double* dist) const {
  double t = 0.0;
  if (!Project(p, t, dist)) return FALSE;
  foot = PointAt(t);
  return TRUE;
}

BOOL CGeoLine::IsNearerToEnd(const CGeoPoint& p, int& flag) const {
  double t = 0.0;
  if (!Project(p, t)) return FALSE;
  flag = t >= 0.5 ? 1 : 0;
  return TRUE;
}

namespace {

// The local offset (d cos α, d sin α, 0) carried to global coordinates from the point `at`, in a plane
// parallel to the given one.
BOOL OffsetPoint(const CGeoPoint& at, double alpha, double d, const CGeoPlane& plane, CGeoPoint& out) {
  CGeoPlane local;
  local.SetAxes(CGeoVector(at), plane.GetAxis1(), plane.GetAxis2());
  return local.LocalToGlobal(CGeoPoint(d * std::cos(alpha), d * std::sin(alpha), 0.0), out);
}

}  // namespace

BOOL CGeoLine::GetOffset(CGeoLine& out, double d, const CGeoPlane& plane) const {
  double alpha = 0.0;
  if (!GetAngleInPlane(alpha, plane)) return FALSE;
  alpha += std::numbers::pi / 2.0;
  CGeoPoint start, end;
  if (!OffsetPoint(GetStartPoint(), alpha, d, plane, start) || !OffsetPoint(GetEndPoint(), alpha, d, plane, end))
    return FALSE;
  const CGeoLine offset(start, end);
  if (offset.IsDegenerate()) return FALSE;
  out = offset;
  return TRUE;
}

BOOL CGeoLine::GetNormalAt(CGeoLine& out, double t, double len, const CGeoPlane& plane) const {
  double alpha = 0.0;
  if (!GetAngleInPlane(alpha, plane)) return FALSE;
  alpha += std::numbers::pi / 2.0;
  const CGeoPoint p = PointAt(t);
  CGeoPoint q;
  if (!OffsetPoint(p, alpha, len, plane, q)) return FALSE;
  const CGeoLine normal(p, q);
  if (normal.IsDegenerate()) return FALSE;
  out = normal;
  return TRUE;
}

BOOL CGeoLine::IntersectAxisPlane(CGeoPoint& p, BYTE axis) const {
  if (axis > 2) return FALSE;
  const int c = axis == 0 ? 2 : (axis == 1 ? 1 : 0);  // the coordinate that is 0 on that plane
  const double dc = Component(m_direction, c);
  if (std::fabs(dc) <= kGeoTolerance) return FALSE;
  p = PointAt(-Component(m_origin, c) / dc);
  return TRUE;
}

BOOL CGeoLine::IsPerpendicularInPlane(const CGeoLine& other, const CGeoPlane& plane) const {
  double a1 = 0.0, a2 = 0.0;
  if (!GetAngleInPlane(a1, plane) || !other.GetAngleInPlane(a2, plane)) return FALSE;
  return std::fabs(std::fabs(std::sin(a1 - a2)) - 1.0) <= kGeoTolerance;
}

BOOL CGeoLine::IsParallelInPlane(const CGeoLine& other, const CGeoPlane& plane) const {
  double a1 = 0.0, a2 = 0.0;
  if (!GetAngleInPlane(a1, plane) || !other.GetAngleInPlane(a2, plane)) return FALSE;
  return std::fabs(std::fabs(std::cos(a1 - a2)) - 1.0) <= kGeoTolerance;
}

BOOL CGeoLine::Merge(const CGeoLine& other, CGeoLine* out) const {
  if (!out || IsDegenerate() || other.IsDegenerate()) return FALSE;
  double t0 = 0.0, t1 = 0.0;
  if (!GetParam(other.GetStartPoint(), t0, FALSE) || !GetParam(other.GetEndPoint(), t1, FALSE)) return FALSE;
  const double from = (t0 < 0.0 || t1 < 0.0) ? std::min(t0, t1) : 0.0;
  const double to = (t0 > 1.0 || t1 > 1.0) ? std::max(t0, t1) : 1.0;
  out->SetPoints(PointAt(from), PointAt(to));
  return TRUE;
}

BOOL CGeoLine::GetExtension(const CGeoLine& other, BOOL atEnd, CGeoLine& out, BOOL withinThis) const {
  CGeoPoint p;
  if (!Intersect(other, p)) return FALSE;
  double t = 0.0;
  if (withinThis && !GetParam(p, t, TRUE)) return FALSE;
  double s = 0.0;
  if (!other.GetParam(p, s, FALSE)) return FALSE;
  if (s >= -kGeoTolerance && s <= 1.0 + kGeoTolerance) return FALSE;
  if (atEnd) {
    if (s <= 1.0) return FALSE;
    out.SetPoints(other.GetEndPoint(), p);
  } else {
    if (s >= 0.0) return FALSE;
    out.SetPoints(other.GetStartPoint(), p);
  }
  return TRUE;
}

BOOL CGeoLine::Rotate(double t, double angle, const CGeoPlane& plane) {
  // Turned about the point at t: the offsets from it rotate in a parallel plane through the global origin,
  // so the plane's own position does not shift the centre.
  if (plane.IsDegenerate()) return TRUE;
  const CGeoPlane turning(CGeoVector(), plane.GetAxis1(), plane.GetAxis2());
  const CGeoPoint r = PointAt(t);
  CGeoPoint start = GetStartPoint() - r;
  CGeoPoint end = GetEndPoint() - r;
  start.Rotate(angle, turning);
  end.Rotate(angle, turning);
  SetPoints(start + r, end + r);
  return TRUE;
}

template <class File>
BOOL CGeoLine::ReadLine(File& file) {
  CGeoVector origin, direction;
  if (!geostream::ReadObject(file, origin) || !geostream::ReadObject(file, direction)) return FALSE;
  Set(origin, direction);
  return TRUE;
}

BOOL CGeoLine::ReadFile(std::FILE* file) { return ReadLine(file); }
BOOL CGeoLine::Read(CFile& file) { return ReadLine(file); }
BOOL CGeoLine::WriteFile(std::FILE* file) const { return m_origin.WriteFile(file) && m_direction.WriteFile(file); }
BOOL CGeoLine::Write(CFile& file) const { return m_origin.Write(file) && m_direction.Write(file); }
