#include "geometry/geoarc.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "geometry/geoconst.h"
#include "geometry/geofunc.h"
#include "geometry/geoline.h"

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
}  // namespace

CGeoArc::CGeoArc(const CGeoPoint& p0, const CGeoPoint& p1, const CGeoPoint& p2, double radius, double start,
                 double span) {
  m_type = GEO_ARC;
  CGeoArc::Set(p0, p1, p2, radius, start, span);
}

CGeoArc::CGeoArc(const CGeoPlane& plane, double radius, double start, double span) {
  m_type = GEO_ARC;
  CGeoArc::Set(plane, radius, start, span);
}

CGeoArc::CGeoArc(const CGeoArc& other) : CGeoSurface() {
  m_type = GEO_ARC;
  CGeoArc::SetFrom(other);
}

CGeoArc::CGeoArc(const CGeoPlane& plane, const CGeoPoint& p1, const CGeoPoint& p2, const CGeoPoint& p3) {
  m_type = GEO_ARC;
  SetThroughPoints(plane, p1, p2, p3);
}

CGeoArc& CGeoArc::operator=(const CGeoArc& other) {
  SetFrom(other);
  return *this;
}

BOOL CGeoArc::SetFrom(const CGeoArc& other) {
  const double radius = other.m_dRadius, start = other.m_dStart, span = other.m_dSpan;
  const BOOL ok = SetAxes(other.m_origin, other.m_axis1, other.m_axis2);
  SetArc(radius, start, span);
  return ok;
}

BOOL CGeoArc::Set(const CGeoPlane& plane, double radius, double start, double span) {
  const BOOL ok = CGeoPlane::SetFrom(plane);
  SetArc(radius, start, span);
  return ok;
}

BOOL CGeoArc::Set(const CGeoPoint& p0, const CGeoPoint& p1, const CGeoPoint& p2, double radius, double start,
                  double span) {
  const BOOL ok = SetPoints(p0, p1, p2);
  SetArc(radius, start, span);
  return ok;
}

BOOL CGeoArc::SetArc(double radius, double start, double span) {
  m_dRadius = std::fabs(radius);
  m_dStart = NormalizeAngle(start);
  m_dSpan = NormalizeAngle(span);
  if (std::fabs(m_dSpan) <= kGeoTolerance) m_dSpan = kTwoPi;
  return TRUE;
}

BOOL CGeoArc::SetThroughPoints(const CGeoPlane& plane, const CGeoPoint& p1, const CGeoPoint& p2, const CGeoPoint& p3) {
  CGeoPoint q[3] = {p1, p2, p3};
  if (plane.IsDegenerate()) {
    SetPoints(p1, p2, p3);
  } else {
    CGeoPlane::SetFrom(plane);
    for (CGeoPoint& p : q) {
      GlobalToLocal(p);
      p.m_z = 0.0;
      LocalToGlobal(p);
    }
  }
  if (CGeoPlane::IsDegenerate()) return FALSE;
  // The centre is where the perpendicular bisectors of the two chords from P1 meet (points in the plane).
  CGeoLine bisector12, bisector13;
  CGeoPoint centre;
  if (!CGeoLine(q[0], q[1]).GetNormalAt(bisector12, 0.5, 1.0, *this) ||
      !CGeoLine(q[0], q[2]).GetNormalAt(bisector13, 0.5, 1.0, *this) || !bisector12.Intersect(bisector13, centre))
    return FALSE;
  double a1 = 0.0, a3 = 0.0;
  if (!CGeoLine(centre, q[0]).GetAngleInPlane(a1, *this) || !CGeoLine(centre, q[2]).GetAngleInPlane(a3, *this))
    return FALSE;
  const double radius = centre.Distance(q[0]);
  CGeoVector ux, uy, uz;
  GetLocalAxes(ux, uy, uz);
  SetAxes(CGeoVector(centre), ux, uy);
  SetArc(radius, a1, a3 - a1);
  return TRUE;
}

BOOL CGeoArc::IsDegenerate() const { return CGeoPlane::IsDegenerate() || m_dRadius <= kGeoTolerance; }

BOOL CGeoArc::IsFullCircle() const { return m_dSpan <= kGeoTolerance || m_dSpan + kGeoTolerance >= kTwoPi; }

CGeoPoint CGeoArc::PointAtAngle(double t) const {
  CGeoPoint p(m_dRadius * std::cos(m_dStart + t), m_dRadius * std::sin(m_dStart + t), 0.0);
  LocalToGlobal(p);
  return p;
}

BOOL CGeoArc::IsOnBoundary(const CGeoPoint& p, double* angle, BOOL checkRange) const {
  double u = 0.0, v = 0.0;
  if (IsDegenerate() || !GetParameters(p, u, v)) return FALSE;
  CGeoPoint q;
  GlobalToLocal(p, q);
  if (std::fabs(q.Length() - m_dRadius) > kGeoTolerance) return FALSE;
  double polar = 0.0;
  if (!CGeoVector(q).GetAngleInPlane(polar, GeoPlaneXY)) return FALSE;
  const double a = NormalizeAngle(polar - m_dStart);
  if (angle) *angle = a;
  if (!checkRange) return TRUE;
  return IsFullCircle() || a <= m_dSpan + kGeoTolerance || a >= kTwoPi - kGeoTolerance;
}

BOOL CGeoArc::Contains(const CGeoPoint& p) const {
  double u = 0.0, v = 0.0;
  if (IsDegenerate() || !GetParameters(p, u, v)) return FALSE;
  CGeoPoint q;
  GlobalToLocal(p, q);
  return m_dRadius - std::sqrt(q.m_x * q.m_x + q.m_y * q.m_y) >= -kGeoTolerance;
}

int CGeoArc::IntersectLine(const CGeoLine& line, CGeoPoint pts[2]) const {
  if (IsDegenerate() || line.IsDegenerate()) return 0;
  CGeoPoint x;
  if (CGeoPlane::IntersectLine(line, x)) {
    if (!IsOnBoundary(x, nullptr, FALSE)) return 0;
    pts[0] = x;
    return 1;
  }
  // The line runs parallel to the plane: it must lie in it, then meet the circle as a quadratic.
  CGeoPoint s, e;
  GlobalToLocal(line.GetStartPoint(), s);
  GlobalToLocal(line.GetEndPoint(), e);
  if (std::fabs(s.m_z) > kGeoTolerance || std::fabs(e.m_z) > kGeoTolerance) return 0;
  const double dx = e.m_x - s.m_x;
  const double dy = e.m_y - s.m_y;
  const double a = dx * dx + dy * dy;
  const double b = 2.0 * dx * s.m_x + 2.0 * dy * s.m_y;
  const double c = s.m_x * s.m_x + s.m_y * s.m_y - m_dRadius * m_dRadius;
  if (std::fabs(a) <= kGeoTolerance) return 0;
  const double p = b / a / 2.0;
  const double q = c / a;
  const double disc = p * p - q;
  if (disc < 0.0) return 0;
  const int count = disc > kGeoTolerance ? 2 : 1;
  const double root = std::sqrt(disc);
  for (int k = 0; k < count; ++k) {
    const double t = k == 0 ? -p - root : -p + root;
    CGeoPoint local(s.m_x + t * dx, s.m_y + t * dy, 0.0);
    LocalToGlobal(local);
    pts[k] = local;
  }
  return count;
}

int CGeoArc::Intersect(const CGeoLine& line, CArray<CGeoPoint, CGeoPoint&>& points) const {
  CGeoPoint pts[2];
  const int count = IntersectLine(line, pts);
  points.SetSize(count);
  for (int k = 0; k < count; ++k) points[k] = pts[k];
  return count;
}

int CGeoArc::IntersectArc(const CGeoArc& other, CGeoPoint pts[2]) const {
  if (IsDegenerate() || other.IsDegenerate()) return 0;
  double u = 0.0, v = 0.0;
  const CGeoPoint c2 = other.m_origin;
  if (!GetParameters(c2, u, v) || !GetParameters(c2 + other.m_axis1, u, v) || !GetParameters(c2 + other.m_axis2, u, v))
    return 0;
  CGeoPoint l1, l2;
  GlobalToLocal(m_origin, l1);
  GlobalToLocal(c2, l2);
  if (l1 == l2) return 0;  // concentric
  // The radical line A·x + B·y = K of the two circles, through two of its points.
  const double r1 = m_dRadius, r2 = other.m_dRadius;
  const double a = 2.0 * (l2.m_x - l1.m_x);
  const double b = 2.0 * (l2.m_y - l1.m_y);
  const double k = (r1 * r1 - l1.m_x * l1.m_x - l1.m_y * l1.m_y) - (r2 * r2 - l2.m_x * l2.m_x - l2.m_y * l2.m_y);
  CGeoPoint q1, q2;
  if (std::fabs(b) <= kGeoTolerance) {
    q1.Set(k / a, 0.0, 0.0);
    q2.Set(k / a - b / a, 1.0, 0.0);
  } else {
    q1.Set(0.0, k / b, 0.0);
    q2.Set(1.0, k / b - a / b, 0.0);
  }
  LocalToGlobal(q1);
  LocalToGlobal(q2);
  return IntersectLine(CGeoLine(q1, q2), pts);
}

double CGeoArc::Folded(double a) { return kTwoPi - a < a ? kTwoPi - a : a; }

BOOL CGeoArc::ChoosePoint(CGeoPoint pts[2], int count, BOOL atStart, CGeoPoint& out) const {
  if (count < 1) return FALSE;
  double a0 = 0.0, a1 = 0.0;
  if (!IsOnBoundary(pts[0], &a0, FALSE)) return FALSE;
  const CGeoPoint p0 = pts[0];
  const CGeoPoint p1 = count < 2 ? pts[0] : pts[1];
  if (count < 2)
    a1 = a0;
  else if (!IsOnBoundary(pts[1], &a1, FALSE))
    return FALSE;
  double e0 = Folded(std::fabs(m_dSpan - a0));
  double e1 = Folded(std::fabs(m_dSpan - a1));
  a0 = Folded(a0);
  a1 = Folded(a1);
  if (atStart) {
    if (e0 <= a0 && e1 <= a1) return FALSE;
    if (e0 <= a0)
      out = p1;
    else if (e1 <= a1)
      out = p0;
    else
      out = a1 <= a0 ? p1 : p0;
  } else {
    if (a0 <= e0 && a1 <= e1) return FALSE;
    if (a0 <= e0)
      out = p1;
    else if (a1 <= e1)
      out = p0;
    else
      out = e1 <= e0 ? p1 : p0;
  }
  return TRUE;
}

BOOL CGeoArc::ExtendToLine(const CGeoLine& line, BOOL atStart, CGeoPoint& out) const {
  CGeoPoint pts[2];
  const int count = IntersectLine(line, pts);
  return count > 0 && ChoosePoint(pts, count, atStart, out);
}

BOOL CGeoArc::ExtendToArc(const CGeoArc& other, BOOL atStart, CGeoPoint& out) const {
  CGeoPoint pts[2];
  const int count = IntersectArc(other, pts);
  return count > 0 && ChoosePoint(pts, count, atStart, out);
}

BOOL CGeoArc::IsNearerToEnd(const CGeoPoint& p) const {
  double a = 0.0;
  if (!IsOnBoundary(p, &a, FALSE)) return FALSE;
  return Folded(std::fabs(m_dSpan - a)) < Folded(a);
}

BOOL CGeoArc::GetDistance(const CGeoPoint& p, double& dist, int* side) const {
  if (IsDegenerate()) return FALSE;
  const double len = (p - m_origin).Length();
  const double d = len <= kGeoTolerance ? -m_dRadius : len - m_dRadius;
  if (side) *side = d > 0.0 ? 2 : 0;
  dist = std::fabs(d);
  return TRUE;
}

BOOL CGeoArc::Project(const CGeoPoint& p, double& angle, double* dist) const {
  if (IsDegenerate()) return FALSE;
  const CGeoPoint v = p - m_origin;
  const double len = v.Length();
  if (len <= kGeoTolerance) return FALSE;
  const CGeoPoint q = m_origin + v * (m_dRadius / len);
  if (dist) *dist = std::fabs(len - m_dRadius);
  return IsOnBoundary(q, &angle, FALSE);
}

BOOL CGeoArc::ProjectPoint(const CGeoPoint& p, CGeoPoint& out, double* dist) const {
  double angle = 0.0;
  if (!Project(p, angle, dist)) return FALSE;
  out = PointAtAngle(angle);
  return TRUE;
}

BOOL CGeoArc::IsInSecondHalf(const CGeoPoint& p, int& flag) const {
  double angle = 0.0;
  if (!Project(p, angle)) return FALSE;
  flag = angle >= m_dSpan / 2.0 ? 1 : 0;
  return TRUE;
}

BOOL CGeoArc::GetTangent(double t, double len, CGeoLine& out) const {
  if (IsDegenerate() || len <= kGeoTolerance) return FALSE;
  const double a = m_dStart + t;
  const CGeoPoint p(m_dRadius * std::cos(a), m_dRadius * std::sin(a), 0.0);
  const CGeoPoint v(-std::sin(a) * len / 2.0, std::cos(a) * len / 2.0, 0.0);
  CGeoPoint from = p - v;
  CGeoPoint to = p + v;
  LocalToGlobal(from);
  LocalToGlobal(to);
  out.SetPoints(from, to);
  return TRUE;
}

int CGeoArc::Polygonize(CArray<CGeoLine, CGeoLine&>& lines, int n) const {
  if (IsDegenerate()) return 0;
  const int k = GetChordCount(m_dSpan, n);
  if (k == 0) return 0;
  const double step = m_dSpan / k;
  for (int i = 0; i < k; ++i) {
    CGeoLine chord(PointAtAngle(i * step), PointAtAngle((i + 1) * step));
    lines.Add(chord);
  }
  return k;
}

int CGeoArc::GetPoints(CArray<CGeoPoint, CGeoPoint&>& points, int n) const {
  if (IsDegenerate()) return 0;
  const int k = GetChordCount(m_dSpan, n);
  if (k == 0) return 0;
  const double step = m_dSpan / k;
  for (int i = 0; i <= k; ++i) {
    CGeoPoint p = PointAtAngle(i * step);
    points.Add(p);
  }
  return k + 1;
}

BOOL CGeoArc::GetChordAngle(double length, double& angle) const {
  if (IsDegenerate()) return FALSE;
  // A chord longer than the diameter has no angle; one equal to it within the tolerance is a half circle.
  if (std::fabs(length) > 2.0 * m_dRadius + kGeoTolerance) return FALSE;
  angle = 2.0 * std::asin(std::clamp(length / 2.0 / m_dRadius, -1.0, 1.0));
  return TRUE;
}

BOOL CGeoArc::ExtendLine(const CGeoLine& line, BOOL atEnd, CGeoLine& out) const {
  CGeoPoint pts[2];
  const int count = IntersectLine(line, pts);
  if (count == 0) return FALSE;
  bool found = false;
  double bestT = 0.0;
  CGeoPoint best;
  for (int k = 0; k < count; ++k) {
    double t = 0.0;
    const BOOL onSegment = line.GetParam(pts[k], t, TRUE);
    if (onSegment || !IsOnBoundary(pts[k], nullptr, TRUE)) continue;
    // Before the start the nearest crossing has the greatest t; beyond the end the smallest.
    const bool candidate = atEnd ? t > 1.0 : t < 0.0;
    if (!candidate) continue;
    if (!found || (atEnd ? t < bestT : t > bestT)) {
      found = true;
      bestT = t;
      best = pts[k];
    }
  }
  if (!found) return FALSE;
  out.SetPoints(line.PointAt(atEnd ? 1.0 : 0.0), best);
  return TRUE;
}

template <class File>
BOOL CGeoArc::ReadArc(File& file) {
  CGeoVector origin, axis1, axis2;
  double radius = 0.0, start = 0.0, span = 0.0;
  if (!ReadAxes(file, origin, axis1, axis2) || !geostream::ReadDouble(file, radius) ||
      !geostream::ReadDouble(file, start) || !geostream::ReadDouble(file, span))
    return FALSE;
  const BOOL matrices = SetAxes(origin, axis1, axis2);
  m_dRadius = radius;
  m_dStart = start;
  m_dSpan = span;
  return matrices;
}

template <class File>
BOOL CGeoArc::WriteArc(File& file) const {
  return geostream::WriteDouble(file, m_dRadius) && geostream::WriteDouble(file, m_dStart) &&
         geostream::WriteDouble(file, m_dSpan);
}

BOOL CGeoArc::ReadFile(std::FILE* file) { return ReadArc(file); }
BOOL CGeoArc::Read(CFile& file) { return ReadArc(file); }
BOOL CGeoArc::WriteFile(std::FILE* file) const { return CGeoPlane::WriteFile(file) && WriteArc(file); }
BOOL CGeoArc::Write(CFile& file) const { return CGeoPlane::Write(file) && WriteArc(file); }
