#include "geometry/geoplane.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "geometry/geoline.h"

namespace {

// Unit vector of v, or the zero vector when v has no direction.
CGeoVector UnitOf(const CGeoVector& v) {
  const double len = v.GetLength(1.0);
  return len > 0.0 ? v * (1.0 / len) : CGeoVector();
}

}  // namespace

CGeoPlane::CGeoPlane() : CGeoObject(GEO_PLANE) {}

CGeoPlane::CGeoPlane(const CGeoPoint& p0, const CGeoPoint& p1, const CGeoPoint& p2) : CGeoObject(GEO_PLANE) {
  SetPoints(p0, p1, p2);
}

CGeoPlane::CGeoPlane(const CGeoVector& origin, const CGeoVector& axis1, const CGeoVector& axis2)
    : CGeoObject(GEO_PLANE) {
  SetAxes(origin, axis1, axis2);
}

CGeoPlane::CGeoPlane(const CGeoPlane& other) : CGeoObject(GEO_PLANE) { SetFrom(other); }

CGeoPlane::CGeoPlane(int kind, const CGeoPoint& origin) : CGeoObject(GEO_PLANE) { SetStandard(kind, origin); }

CGeoPlane& CGeoPlane::operator=(const CGeoPlane& other) {
  SetFrom(other);
  return *this;
}

BOOL CGeoPlane::SetPoints(const CGeoPoint& p0, const CGeoPoint& p1, const CGeoPoint& p2) {
  m_origin = p0;
  m_axis1 = p1 - p0;
  m_axis2 = p2 - p0;
  return UpdateMatrices();
}

BOOL CGeoPlane::SetAxes(const CGeoVector& origin, const CGeoVector& axis1, const CGeoVector& axis2) {
  m_origin = origin;
  m_axis1 = axis1;
  m_axis2 = axis2;
  return UpdateMatrices();
}

BOOL CGeoPlane::SetFrom(const CGeoPlane& other) {
  if (this == &other) return UpdateMatrices();
  return SetAxes(other.m_origin, other.m_axis1, other.m_axis2);
}

BOOL CGeoPlane::SetStandard(int kind, const CGeoPoint& origin) {
  if (kind == 0) return SetAxes(origin, CGeoVector(1, 0, 0), CGeoVector(0, 1, 0));
  if (kind == 1) return SetAxes(origin, CGeoVector(0, 0, 1), CGeoVector(1, 0, 0));
  return SetAxes(origin, CGeoVector(0, 1, 0), CGeoVector(0, 0, 1));
}

BOOL CGeoPlane::IsDegenerate() const {
  if (m_axis1.IsZero() || m_axis2.IsZero()) return TRUE;
  double t = 0.0;
  return m_axis1.IsParallel(m_axis2, t);
}

void CGeoPlane::GetLocalAxes(CGeoVector& x, CGeoVector& y, CGeoVector& z) const {
  const CGeoVector n = m_axis1.Cross(m_axis2);
  x = UnitOf(m_axis1);
  y = UnitOf(n.Cross(m_axis1));
  z = UnitOf(n);
}

BOOL CGeoPlane::UpdateMatrices() {
  // Element (r, c) is the cosine between local axis c and global axis r, i.e. the r-th component of the
  // local axis' unit vector; taken directly, so no acos of a rounded ratio is involved.
  CGeoVector axes[3];
  GetLocalAxes(axes[0], axes[1], axes[2]);
  m_toGlobal.SetIdentity();
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) m_toGlobal.At(r, c) = geodetail::Component(axes[c], r);
    m_toGlobal.At(r, 3) = geodetail::Component(m_origin, r);
  }
  return m_toGlobal.Invert(m_toLocal);
}

BOOL CGeoPlane::LocalToGlobal(const CGeoPoint& local, CGeoPoint& global) const {
  if (IsDegenerate()) return FALSE;
  global = m_toGlobal.Transform(local);
  return TRUE;
}

BOOL CGeoPlane::LocalToGlobal(CGeoPoint& p) const { return LocalToGlobal(CGeoPoint(p), p); }

BOOL CGeoPlane::GlobalToLocal(const CGeoPoint& global, CGeoPoint& local) const {
  if (IsDegenerate()) return FALSE;
  local = m_toLocal.Transform(global);
  return TRUE;
}

BOOL CGeoPlane::GlobalToLocal(CGeoPoint& p) const { return GlobalToLocal(CGeoPoint(p), p); }

CGeoPoint CGeoPlane::PointAt(double u, double v) const {
  return m_origin + m_axis1.ScaledPoint(u) + m_axis2.ScaledPoint(v);
}

BOOL CGeoPlane::GetParameters(const CGeoPoint& p, double& u, double& v) const {
  if (IsDegenerate()) return FALSE;
  const CGeoLine alongAxis1(m_origin, m_axis1);
  const CGeoLine backAlongAxis2(CGeoVector(p), m_axis2 * -1.0);
  CGeoPoint meet;
  if (!alongAxis1.Intersect(backAlongAxis2, meet)) return FALSE;
  double tu = 0.0, tv = 0.0;
  if (!alongAxis1.IntersectParam(backAlongAxis2, tu) || !backAlongAxis2.IntersectParam(alongAxis1, tv)) return FALSE;
  u = tu;
  v = tv;
  return TRUE;
}

BOOL CGeoPlane::IntersectLine(const CGeoLine& line, CGeoPoint& out) const {
  if (IsDegenerate() || line.IsDegenerate()) return FALSE;
  const CGeoVector& dir = line.GetDirection();
  const CGeoVector& s = line.GetOrigin();
  const CGeoPoint na1 = m_axis1 * -1.0;
  const CGeoPoint na2 = m_axis2 * -1.0;
  const double d = CGeoPoint::Determinant(dir, na1, na2);
  if (std::fabs(d) <= kGeoTolerance) return FALSE;
  const double t = CGeoPoint::Determinant(m_origin - s, na1, na2) / d;
  out = s + dir.ScaledPoint(t);
  return TRUE;
}

BOOL CGeoPlane::IntersectPlane(const CGeoPlane& other, CGeoLine& out) const {
  if (IsDegenerate() || other.IsDegenerate()) return FALSE;
  const CGeoPoint q1 = m_origin + other.m_axis1;
  const CGeoPoint q2 = m_origin + other.m_axis2;
  double u = 0.0, v = 0.0;
  if (GetParameters(q1, u, v) && GetParameters(q2, u, v)) return FALSE;  // parallel planes
  const CGeoLine l(q1, q2);
  CGeoPoint x;
  if (IntersectLine(l, x)) {
    out.SetPoints(m_origin, x);
    return TRUE;
  }
  return ProjectLine(l, out);
}

BOOL CGeoPlane::DropPerpendicular(const CGeoPoint& p, CGeoLine& out) const {
  if (IsDegenerate()) return FALSE;
  const CGeoVector n = m_axis1.Cross(m_axis2);
  CGeoPoint foot;
  if (!IntersectLine(CGeoLine(p, p + n), foot)) return FALSE;
  out.SetPoints(p, foot);
  return TRUE;
}

BOOL CGeoPlane::GetNormalAt(double u, double v, CGeoLine& out) const {
  if (IsDegenerate()) return FALSE;
  out.Set(CGeoVector(PointAt(u, v)), m_axis1.Cross(m_axis2));
  return TRUE;
}

BOOL CGeoPlane::GetDistance(const CGeoPoint& p, double& d) const {
  CGeoPoint local;
  if (!GlobalToLocal(p, local)) return FALSE;
  d = local.m_z;
  return TRUE;
}

BOOL CGeoPlane::GetDistance(CGeoLine line, double& d) const {
  if (IsDegenerate() || line.IsDegenerate()) return FALSE;
  CGeoPoint x;
  if (IntersectLine(line, x)) {
    d = 0.0;
    return TRUE;
  }
  return GetDistance(line.GetStartPoint(), d);
}

BOOL CGeoPlane::GetAngle(const CGeoLine& line, double& angle) const {
  if (IsDegenerate() || line.IsDegenerate()) return FALSE;
  CGeoPoint x;
  if (!IntersectLine(line, x)) {
    angle = 0.0;
    return TRUE;
  }
  const CGeoVector& dir = line.GetDirection();
  double h = 0.0;
  if (!GetDistance(x + dir, h)) return FALSE;
  // For a line along the normal |h| / len comes out a rounding above 1.
  angle = std::asin(std::min(1.0, std::fabs(h) / dir.GetLength(1.0)));
  return TRUE;
}

BOOL CGeoPlane::GetAngle(const CGeoPlane& other, double& angle) const {
  if (IsDegenerate() || other.IsDegenerate()) return FALSE;
  const CGeoVector n1 = m_axis1.Cross(m_axis2);
  const CGeoVector n2 = other.m_axis1.Cross(other.m_axis2);
  double a = 0.0;
  if (!n1.GetAngle(n2, a)) {
    angle = 0.0;
    return TRUE;
  }
  const double halfPi = std::numbers::pi / 2.0;
  if (a - halfPi >= kGeoTolerance)
    angle = a - halfPi;
  else
    angle = a > 0.0 ? a + halfPi : a - halfPi;
  return TRUE;
}

BOOL CGeoPlane::ProjectLine(const CGeoLine& in, CGeoLine& out) const {
  if (in.IsDegenerate()) return FALSE;
  CGeoPoint p0, p1;
  if (!GlobalToLocal(in.GetStartPoint(), p0) || !GlobalToLocal(in.GetEndPoint(), p1)) return FALSE;
  p0.m_z = 0.0;
  p1.m_z = 0.0;
  if (!LocalToGlobal(p0) || !LocalToGlobal(p1)) return FALSE;
  const CGeoLine projected(p0, p1);
  if (projected.IsDegenerate()) return FALSE;
  out = projected;
  return TRUE;
}

BOOL CGeoPlane::ProjectLines(CArray<CGeoLine, CGeoLine&>& lines) const {
  if (IsDegenerate()) return FALSE;
  for (INT_PTR k = 0; k < lines.GetSize(); ++k) {
    CGeoLine projected;
    if (ProjectLine(lines[k], projected)) lines[k] = projected;
  }
  for (INT_PTR i = 0; i < lines.GetSize() - 1; ++i) {
    for (INT_PTR j = i + 1; j < lines.GetSize();) {
      const double lenI = lines[i].GetLength(1.0);
      const double lenJ = lines[j].GetLength(1.0);
      CGeoLine joined;
      if (lines[i].Merge(lines[j], &joined) && joined.GetLength(1.0) - (lenI + lenJ) <= kGeoTolerance) {
        lines[i] = joined;
        lines.RemoveAt(j);
        j = i + 1;
      } else {
        ++j;
      }
    }
  }
  return TRUE;
}

BOOL CGeoPlane::MoveBy(const CGeoMatrix& m) {
  const CGeoPoint p0 = m.Transform(m_origin);
  const CGeoPoint p1 = m.Transform(m_origin + m_axis1);
  const CGeoPoint p2 = m.Transform(m_origin + m_axis2);
  return SetPoints(p0, p1, p2);
}

void CGeoPlane::Translate(double tx, double ty, double tz) {
  CGeoMatrix m;
  m.Translate(tx, ty, tz);
  MoveBy(m);
}

void CGeoPlane::Translate(const CGeoPoint& t) { Translate(t.m_x, t.m_y, t.m_z); }

void CGeoPlane::Scale(double sx, double sy, double sz) {
  CGeoMatrix m;
  m.Scale(sx, sy, sz);
  MoveBy(m);
}

void CGeoPlane::Rotate(double ax, double ay, double az) {
  CGeoMatrix m;
  m.Rotate(ax, ay, az);
  MoveBy(m);
}

BOOL CGeoPlane::Transform(const CGeoMatrix& m) { return MoveBy(m); }

BOOL CGeoPlane::GetEdges(std::vector<CGeoLine>& edges) const {
  edges.clear();
  const CGeoPoint p0 = m_origin;
  const CGeoPoint p1 = m_origin + m_axis1;
  const CGeoPoint p2 = m_origin + m_axis2;
  const CGeoPoint p3 = PointAt(1.0, 1.0);
  edges.emplace_back(p0, p1);
  edges.emplace_back(p0, p2);
  edges.emplace_back(p1, p3);
  edges.emplace_back(p2, p3);
  return TRUE;
}

BOOL CGeoPlane::IntersectRegion(const CGeoPlane& other, CGeoLine& out) const {
  // Only crossings on the parallelogram's own edges count, and a corner met by two edges counts once:
  // crossings with the edges' extensions lie outside the region.
  std::vector<CGeoLine> edges;
  GetEdges(edges);
  std::vector<CGeoPoint> hits;
  for (const CGeoLine& edge : edges) {
    CGeoPoint x;
    if (!other.IntersectLine(edge, x) || !x.IsOnSegment(edge)) continue;
    if (std::none_of(hits.begin(), hits.end(), [&](const CGeoPoint& h) { return h == x; })) hits.push_back(x);
  }
  if (hits.size() < 2) return FALSE;
  out.SetPoints(hits[0], hits[1]);
  return TRUE;
}

BOOL CGeoPlane::IsSameSide(const CGeoPoint& p1, const CGeoPoint& p2) const {
  CGeoPoint x;
  if (IntersectLine(CGeoLine(p1, p2), x)) return !x.IsOnSegment(p1, p2);
  return TRUE;
}

BOOL CGeoPlane::ReadFile(std::FILE* file) {
  CGeoVector origin, axis1, axis2;
  return ReadAxes(file, origin, axis1, axis2) && SetAxes(origin, axis1, axis2);
}

BOOL CGeoPlane::Read(CFile& file) {
  CGeoVector origin, axis1, axis2;
  return ReadAxes(file, origin, axis1, axis2) && SetAxes(origin, axis1, axis2);
}

BOOL CGeoPlane::WriteFile(std::FILE* file) const {
  return m_origin.WriteFile(file) && m_axis1.WriteFile(file) && m_axis2.WriteFile(file);
}

BOOL CGeoPlane::Write(CFile& file) const { return m_origin.Write(file) && m_axis1.Write(file) && m_axis2.Write(file); }
