#include "geometry/geopoint.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "geometry/geoconst.h"
#include "geometry/geocontour.h"
#include "geometry/geoline.h"
#include "geometry/geoplane.h"

namespace {

bool Near(double a, double b) { return std::fabs(a - b) <= kGeoTolerance; }

// acos and asin of a ratio that rounding may push just past ±1.
double ClampUnit(double v) { return std::clamp(v, -1.0, 1.0); }

template <class File>
BOOL ReadXYZ(File& file, CGeoPoint& p) {
  double x = 0.0, y = 0.0, z = 0.0;
  if (!geostream::ReadDouble(file, x) || !geostream::ReadDouble(file, y) || !geostream::ReadDouble(file, z))
    return FALSE;
  p.m_x = x;
  p.m_y = y;
  p.m_z = z;
  return TRUE;
}

template <class File>
BOOL WriteXYZ(File& file, const CGeoPoint& p) {
  return geostream::WriteDouble(file, p.m_x) && geostream::WriteDouble(file, p.m_y) &&
         geostream::WriteDouble(file, p.m_z);
}

}  // namespace

namespace geodetail {

int FactorComponent(const CGeoPoint& d) {
  if (std::fabs(d.m_x) > kGeoTolerance) return 0;
  if (std::fabs(d.m_y) > kGeoTolerance) return 1;
  if (std::fabs(d.m_z) > kGeoTolerance) return 2;
  // A direction longer than the tolerance whose components each lie within it: take the largest.
  const double ax = std::fabs(d.m_x), ay = std::fabs(d.m_y), az = std::fabs(d.m_z);
  if (ax >= ay && ax >= az) return 0;
  return ay >= az ? 1 : 2;
}

double Component(const CGeoPoint& p, int i) { return i == 0 ? p.m_x : (i == 1 ? p.m_y : p.m_z); }

}  // namespace geodetail

// ---------------------------------------------------------------------------------------------- CGeoPoint

CGeoPoint::CGeoPoint(const double coords[3]) : CGeoObject(GEO_POINT), m_x(coords[0]), m_y(coords[1]), m_z(coords[2]) {}

CGeoPoint& CGeoPoint::Set(double x, double y, double z) {
  m_x = x;
  m_y = y;
  m_z = z;
  return *this;
}

void CGeoPoint::Set(const double coords[3]) { Set(coords[0], coords[1], coords[2]); }

CGeoPoint& CGeoPoint::SetFrom(const CGeoPoint& other) { return Set(other.m_x, other.m_y, other.m_z); }

BOOL CGeoPoint::operator==(const CGeoPoint& other) const {
  return Near(m_x, other.m_x) && Near(m_y, other.m_y) && Near(m_z, other.m_z);
}

CGeoPoint& CGeoPoint::operator+=(const CGeoPoint& o) { return Set(m_x + o.m_x, m_y + o.m_y, m_z + o.m_z); }
CGeoPoint& CGeoPoint::operator-=(const CGeoPoint& o) { return Set(m_x - o.m_x, m_y - o.m_y, m_z - o.m_z); }
CGeoPoint& CGeoPoint::operator*=(double s) { return Set(m_x * s, m_y * s, m_z * s); }
CGeoPoint CGeoPoint::operator+(const CGeoPoint& o) const { return {m_x + o.m_x, m_y + o.m_y, m_z + o.m_z}; }
CGeoPoint CGeoPoint::operator-(const CGeoPoint& o) const { return {m_x - o.m_x, m_y - o.m_y, m_z - o.m_z}; }
CGeoPoint CGeoPoint::operator*(const CGeoPoint& o) const { return {m_x * o.m_x, m_y * o.m_y, m_z * o.m_z}; }
CGeoPoint CGeoPoint::operator*(double s) const { return {m_x * s, m_y * s, m_z * s}; }

double CGeoPoint::Length() const { return std::sqrt(m_x * m_x + m_y * m_y + m_z * m_z); }
double CGeoPoint::Distance(const CGeoPoint& other) const { return (*this - other).Length(); }

void CGeoPoint::GetCoords(double out[3]) const {
  out[0] = m_x;
  out[1] = m_y;
  out[2] = m_z;
}

double CGeoPoint::Determinant(const CGeoPoint& a, const CGeoPoint& b, const CGeoPoint& c) {
  return a.m_x * b.m_y * c.m_z - a.m_x * c.m_y * b.m_z + b.m_x * c.m_y * a.m_z - b.m_x * a.m_y * c.m_z +
         c.m_x * a.m_y * b.m_z - c.m_x * b.m_y * a.m_z;
}

void CGeoPoint::SortCorners(CGeoPoint& a, CGeoPoint& b) {
  if (a.m_x > b.m_x) std::swap(a.m_x, b.m_x);
  if (a.m_y > b.m_y) std::swap(a.m_y, b.m_y);
  if (a.m_z > b.m_z) std::swap(a.m_z, b.m_z);
}

void CGeoPoint::SortByCoordinate(CGeoPoint* pts, int n, BYTE axis) {
  if (!pts || n < 2) return;
  const int key = axis == 0 ? 0 : (axis == 1 ? 1 : 2);
  for (int gap = n / 2; gap > 0; gap /= 2) {
    for (int i = gap + 1; i <= n; ++i) {
      for (int j = i - gap; j > 0; j -= gap) {
        CGeoPoint& lo = pts[j - 1];
        CGeoPoint& hi = pts[j + gap - 1];
        if (geodetail::Component(lo, key) <= geodetail::Component(hi, key)) break;
        CGeoPoint tmp(lo);
        lo = hi;
        hi = tmp;
      }
    }
  }
}

CGeoPoint& CGeoPoint::ProjectDimetric() {
  const double alpha = -7.0 * std::numbers::pi / 180.0;
  const double beta = -42.0 * std::numbers::pi / 180.0;
  const double yTurned = m_z;
  const double zTurned = -m_y;
  const double x2 = m_x * std::cos(alpha) - 0.7 * zTurned * std::cos(beta);
  const double y2 = yTurned + m_x * std::sin(alpha) + 0.7 * zTurned * std::sin(beta);
  return Set(x2, y2, 0.0);
}

BOOL CGeoPoint::Rotate(double angle, const CGeoPlane& plane) {
  CGeoPoint local;
  if (!plane.GlobalToLocal(*this, local)) return FALSE;
  const CGeoVector flat(local.m_x, local.m_y, 0.0);
  double a = 0.0;
  if (!flat.GetAngleInPlane(a, GeoPlaneXY)) a = 0.0;  // on the axis: r = 0, the point stays
  const double r = flat.Length();
  const CGeoPoint turned(r * std::cos(a + angle), r * std::sin(a + angle), local.m_z);
  CGeoPoint global;
  if (!plane.LocalToGlobal(turned, global)) return FALSE;
  SetFrom(global);
  return TRUE;
}

CGeoPoint& CGeoPoint::RotateAbout(const CGeoPoint& centre, double angle, const CGeoPlane& plane) {
  CGeoPoint d = *this - centre;
  d.Rotate(angle, plane);
  return SetFrom(d + centre);
}

BOOL CGeoPoint::IsOnSegment(CGeoPoint a, CGeoPoint b) const {
  if (*this == a || *this == b) return TRUE;
  const double dab = a.Distance(b);
  if (dab < Distance(a) || dab < Distance(b)) return FALSE;
  double t = 0.0;
  return CGeoLine(a, b).GetParam(*this, t, FALSE);
}

BOOL CGeoPoint::IsOnSegment(CGeoVector a, CGeoVector b) const {
  return IsOnSegment(CGeoPoint(a.m_x, a.m_y, a.m_z), CGeoPoint(b.m_x, b.m_y, b.m_z));
}

BOOL CGeoPoint::IsOnSegment(CGeoLine line) const { return IsOnSegment(line.GetStartPoint(), line.GetEndPoint()); }

BOOL CGeoPoint::IsInside(CGeoContour contour) const { return contour.Contains(*this); }

BOOL CGeoPoint::ReadFile(std::FILE* file) { return ReadXYZ(file, *this); }
BOOL CGeoPoint::Read(CFile& file) { return ReadXYZ(file, *this); }
BOOL CGeoPoint::WriteFile(std::FILE* file) const { return WriteXYZ(file, *this); }
BOOL CGeoPoint::Write(CFile& file) const { return WriteXYZ(file, *this); }

// --------------------------------------------------------------------------------------------- CGeoVector

CGeoVector& CGeoVector::SetFrom(const CGeoPoint& p) {
  Set(p.m_x, p.m_y, p.m_z);
  return *this;
}

CGeoVector& CGeoVector::operator+=(const CGeoPoint& o) {
  CGeoPoint::operator+=(o);
  return *this;
}
CGeoVector& CGeoVector::operator-=(const CGeoPoint& o) {
  CGeoPoint::operator-=(o);
  return *this;
}
CGeoVector& CGeoVector::operator*=(double s) {
  CGeoPoint::operator*=(s);
  return *this;
}
CGeoVector CGeoVector::operator+(const CGeoVector& o) const { return {m_x + o.m_x, m_y + o.m_y, m_z + o.m_z}; }
CGeoVector CGeoVector::operator-(const CGeoVector& o) const { return {m_x - o.m_x, m_y - o.m_y, m_z - o.m_z}; }
CGeoVector CGeoVector::operator*(double s) const { return {m_x * s, m_y * s, m_z * s}; }

CGeoPoint CGeoVector::ScaledPoint(double s) const { return {m_x * s, m_y * s, m_z * s}; }
double CGeoVector::Dot(const CGeoVector& o) const { return m_x * o.m_x + m_y * o.m_y + m_z * o.m_z; }

CGeoVector CGeoVector::Cross(const CGeoVector& o) const {
  return {m_y * o.m_z - m_z * o.m_y, m_z * o.m_x - m_x * o.m_z, m_x * o.m_y - m_y * o.m_x};
}

double CGeoVector::GetLength(double s) const { return ScaledPoint(s).Length(); }
BOOL CGeoVector::IsZero() const { return GetLength(1.0) <= kGeoTolerance; }

BOOL CGeoVector::SetLength(double len) {
  if (IsZero() || len <= kGeoTolerance) return FALSE;
  *this *= len / GetLength(1.0);
  return TRUE;
}

BOOL CGeoVector::GetAngle(const CGeoVector& other, double& angle) const {
  const double la = GetLength(1.0);
  const double lb = other.GetLength(1.0);
  if (la <= kGeoTolerance || lb <= kGeoTolerance) return FALSE;
  angle = std::acos(ClampUnit(Dot(other) / (la * lb)));
  return TRUE;
}

BOOL CGeoVector::GetAngleInPlane(double& angle, const CGeoPlane& plane) const {
  CGeoPoint local;
  if (!plane.GlobalToLocal(plane.GetOrigin() + *this, local)) return FALSE;
  const double x = local.m_x;
  const double y = local.m_y;
  if (CGeoVector(x, y, 0.0).IsZero()) return FALSE;
  const double pi = std::numbers::pi;
  if (y == 0.0) {
    angle = x < 0.0 ? pi : 0.0;
  } else if (y > 0.0) {
    angle = x < 0.0 ? pi - std::atan(y / std::fabs(x)) : (x == 0.0 ? pi / 2.0 : std::atan(y / x));
  } else {
    angle = x < 0.0 ? std::atan(y / x) + pi : (x == 0.0 ? 3.0 * pi / 2.0 : 2.0 * pi - std::atan(std::fabs(y) / x));
  }
  return TRUE;
}

BOOL CGeoVector::IsParallel(const CGeoPoint& other, double& t) const {
  if (IsZero()) return FALSE;
  const int i = geodetail::FactorComponent(*this);
  t = geodetail::Component(other, i) / geodetail::Component(*this, i);
  return ScaledPoint(t) == other;
}

BOOL CGeoVector::IsParallel(const CGeoPoint& other, double& t, double tol) const {
  if (IsZero()) return FALSE;
  const int i = geodetail::FactorComponent(*this);
  t = geodetail::Component(other, i) / geodetail::Component(*this, i);
  const CGeoPoint d = ScaledPoint(t) - other;
  return std::fabs(d.m_x) < tol && std::fabs(d.m_y) < tol && std::fabs(d.m_z) < tol;
}

BOOL CGeoVector::IsAxisParallel() const {
  const int small =
      (std::fabs(m_x) <= kGeoTolerance) + (std::fabs(m_y) <= kGeoTolerance) + (std::fabs(m_z) <= kGeoTolerance);
  return small >= 2;
}

BOOL CGeoVector::GetSide(const CGeoVector& other, int& side, const CGeoPlane& plane) const {
  double a = 0.0, b = 0.0;
  if (!GetAngleInPlane(a, plane) || !other.GetAngleInPlane(b, plane)) return FALSE;
  const double twoPi = 2.0 * std::numbers::pi;
  double d = b - a;
  if (d < 0.0) d += twoPi;
  if (d >= twoPi) d -= twoPi;
  side = d <= std::numbers::pi ? 0 : 2;
  return TRUE;
}

BOOL CGeoVector::GetPerpendicular(CGeoVector& out, double d, const CGeoPlane& plane) const {
  // A direction turns about the plane's normal wherever the plane lies: rotate in a parallel plane
  // through the global origin.
  const CGeoPlane turning(CGeoVector(), plane.GetAxis1(), plane.GetAxis2());
  CGeoVector turned(*this);
  if (!turned.Rotate(d > 0.0 ? std::numbers::pi / 2.0 : -std::numbers::pi / 2.0, turning)) return FALSE;
  if (!turned.SetLength(std::fabs(d))) return FALSE;
  out = turned;
  return TRUE;
}

// --------------------------------------------------------------------------------------------- CGeoVertex

CGeoVertex::CGeoVertex(const double coords[3], double bulge)
    : CGeoPoint(GEO_VERTEX, coords[0], coords[1], coords[2]), m_bulge(bulge) {}

CGeoVertex& CGeoVertex::Set(double x, double y, double z, double bulge) {
  CGeoPoint::Set(x, y, z);
  m_bulge = bulge;
  return *this;
}

CGeoVertex& CGeoVertex::Set(const double coords[3], double bulge) {
  return Set(coords[0], coords[1], coords[2], bulge);
}

void CGeoVertex::Set(const CGeoPoint& p, double bulge) { Set(p.m_x, p.m_y, p.m_z, bulge); }

CGeoVertex& CGeoVertex::operator=(const CGeoVertex& other) {
  return Set(other.m_x, other.m_y, other.m_z, other.m_bulge);
}

BOOL CGeoVertex::operator==(const CGeoVertex& other) const {
  return CGeoPoint::operator==(other) && Near(m_bulge, other.m_bulge);
}

CGeoVertex& CGeoVertex::operator+=(const CGeoPoint& o) {
  CGeoPoint::operator+=(o);
  return *this;
}
CGeoVertex& CGeoVertex::operator-=(const CGeoPoint& o) {
  CGeoPoint::operator-=(o);
  return *this;
}
CGeoVertex CGeoVertex::operator+(const CGeoPoint& o) const { return {m_x + o.m_x, m_y + o.m_y, m_z + o.m_z, m_bulge}; }
CGeoVertex CGeoVertex::operator-(const CGeoPoint& o) const { return {m_x - o.m_x, m_y - o.m_y, m_z - o.m_z, m_bulge}; }

// The point part through the point's own operation, then the bulge; nothing changes on a short read.
BOOL CGeoVertex::ReadFile(std::FILE* file) {
  CGeoPoint p;
  double bulge = 0.0;
  if (!p.ReadFile(file) || !geostream::ReadDouble(file, bulge)) return FALSE;
  Set(p, bulge);
  return TRUE;
}

BOOL CGeoVertex::Read(CFile& file) {
  CGeoPoint p;
  double bulge = 0.0;
  if (!p.Read(file) || !geostream::ReadDouble(file, bulge)) return FALSE;
  Set(p, bulge);
  return TRUE;
}

BOOL CGeoVertex::WriteFile(std::FILE* file) const {
  return CGeoPoint::WriteFile(file) && geostream::WriteDouble(file, m_bulge);
}

BOOL CGeoVertex::Write(CFile& file) const { return CGeoPoint::Write(file) && geostream::WriteDouble(file, m_bulge); }
