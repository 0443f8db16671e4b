// Point, free vector and polygon vertex of the geometry library.
#pragma once

#include "geometry/geoobject.h"

class CGeoPlane;
class CGeoLine;
class CGeoContour;
class CGeoVector;

// A point in space. Equality is per coordinate within kGeoTolerance.
class CGeoPoint : public CGeoObject {
 public:
  CGeoPoint() : CGeoObject(GEO_POINT) {}
  CGeoPoint(double x, double y, double z) : CGeoObject(GEO_POINT), m_x(x), m_y(y), m_z(z) {}
  explicit CGeoPoint(const double coords[3]);
  CGeoPoint(const CGeoPoint& other) : CGeoObject(GEO_POINT), m_x(other.m_x), m_y(other.m_y), m_z(other.m_z) {}

  CGeoPoint& Set(double x, double y, double z);
  void Set(const double coords[3]);
  CGeoPoint& SetFrom(const CGeoPoint& other);
  CGeoPoint& operator=(const CGeoPoint& other) { return SetFrom(other); }

  BOOL operator==(const CGeoPoint& other) const;
  BOOL operator!=(const CGeoPoint& other) const { return !(*this == other); }

  CGeoPoint& operator+=(const CGeoPoint& other);
  CGeoPoint& operator-=(const CGeoPoint& other);
  CGeoPoint& operator*=(double s);
  CGeoPoint operator+(const CGeoPoint& other) const;
  CGeoPoint operator-(const CGeoPoint& other) const;
  // Componentwise product.
  CGeoPoint operator*(const CGeoPoint& other) const;
  CGeoPoint operator*(double s) const;

  double Length() const;
  double Distance(const CGeoPoint& other) const;
  void GetCoords(double out[3]) const;

  // a · (b × c).
  static double Determinant(const CGeoPoint& a, const CGeoPoint& b, const CGeoPoint& c);
  // Afterwards a holds the per-coordinate minima and b the maxima.
  static void SortCorners(CGeoPoint& a, CGeoPoint& b);
  // Ascending by x (axis 0), y (1) or z (any other value); Shell sort, not stable.
  static void SortByCoordinate(CGeoPoint* pts, int n, BYTE axis);

  // Dimetric drawing projection, in place (z becomes 0).
  CGeoPoint& ProjectDimetric();
  // Counter-clockwise rotation about the line through the plane's origin along its normal.
  BOOL Rotate(double angle, const CGeoPlane& plane);
  CGeoPoint& RotateAbout(const CGeoPoint& centre, double angle, const CGeoPlane& plane);

  // TRUE when the point lies on the segment from a to b (ends included, within kGeoTolerance).
  BOOL IsOnSegment(CGeoPoint a, CGeoPoint b) const;
  BOOL IsOnSegment(CGeoVector a, CGeoVector b) const;
  BOOL IsOnSegment(CGeoLine line) const;
  BOOL IsInside(CGeoContour contour) const;

  BOOL ReadFile(std::FILE* file) override;
  BOOL Read(CFile& file) override;
  BOOL WriteFile(std::FILE* file) const override;
  BOOL Write(CFile& file) const override;

  double m_x = 0.0;
  double m_y = 0.0;
  double m_z = 0.0;

 protected:
  CGeoPoint(std::int32_t type, double x, double y, double z) : CGeoObject(type), m_x(x), m_y(y), m_z(z) {}
};

// A direction: a point whose coordinates are read as a vector.
class CGeoVector : public CGeoPoint {
 public:
  CGeoVector() : CGeoPoint(GEO_VECTOR, 0.0, 0.0, 0.0) {}
  CGeoVector(double x, double y, double z) : CGeoPoint(GEO_VECTOR, x, y, z) {}
  CGeoVector(const CGeoPoint& p) : CGeoPoint(GEO_VECTOR, p.m_x, p.m_y, p.m_z) {}  // NOLINT: points convert freely
  CGeoVector(const CGeoVector& v) : CGeoPoint(GEO_VECTOR, v.m_x, v.m_y, v.m_z) {}

  CGeoVector& operator=(const CGeoPoint& p) { return SetFrom(p); }
  CGeoVector& operator=(const CGeoVector& v) { return SetFrom(v); }
  CGeoVector& SetFrom(const CGeoPoint& p);

  using CGeoPoint::operator==;
  using CGeoPoint::operator!=;
  BOOL IsEqual(const CGeoPoint& other) const { return *this == other; }

  CGeoVector& operator+=(const CGeoPoint& other);
  CGeoVector& operator-=(const CGeoPoint& other);
  CGeoVector& operator*=(double s);
  CGeoVector operator+(const CGeoVector& other) const;
  CGeoVector operator-(const CGeoVector& other) const;
  using CGeoPoint::operator*;
  CGeoVector operator*(double s) const;

  CGeoPoint ScaledPoint(double s) const;
  double Dot(const CGeoVector& other) const;
  CGeoVector Cross(const CGeoVector& other) const;
  // Length of the vector scaled by s.
  double GetLength(double s) const;
  BOOL IsZero() const;
  // Fails, leaving the vector unchanged, for a zero vector or len <= kGeoTolerance.
  BOOL SetLength(double len);
  // Angle between the two directions in [0, π].
  BOOL GetAngle(const CGeoVector& other, double& angle) const;
  // Counter-clockwise angle from the plane's local x axis, in [0, 2π).
  BOOL GetAngleInPlane(double& angle, const CGeoPlane& plane) const;
  // other = t · this within kGeoTolerance per component; t is stored whenever this vector is not zero.
  BOOL IsParallel(const CGeoPoint& other, double& t) const;
  BOOL IsParallel(const CGeoPoint& other, double& t, double tol) const;
  BOOL IsAxisParallel() const;
  // side 0: other lies counter-clockwise within a half turn; 2: clockwise.
  BOOL GetSide(const CGeoVector& other, int& side, const CGeoPlane& plane) const;
  // out: this direction turned by +90° (d > 0) or −90° in the plane, with length |d|.
  BOOL GetPerpendicular(CGeoVector& out, double d, const CGeoPlane& plane) const;
};

// A polygon vertex: a point plus the bulge (signed sagitta / half chord) of the segment to the next vertex.
class CGeoVertex : public CGeoPoint {
 public:
  CGeoVertex() : CGeoPoint(GEO_VERTEX, 0.0, 0.0, 0.0) {}
  CGeoVertex(double x, double y, double z, double bulge) : CGeoPoint(GEO_VERTEX, x, y, z), m_bulge(bulge) {}
  CGeoVertex(const double coords[3], double bulge);
  CGeoVertex(const CGeoPoint& p, double bulge) : CGeoPoint(GEO_VERTEX, p.m_x, p.m_y, p.m_z), m_bulge(bulge) {}
  CGeoVertex(const CGeoVertex& v) : CGeoPoint(GEO_VERTEX, v.m_x, v.m_y, v.m_z), m_bulge(v.m_bulge) {}

  CGeoVertex& Set(double x, double y, double z, double bulge);
  CGeoVertex& Set(const double coords[3], double bulge);
  void Set(const CGeoPoint& p, double bulge);
  CGeoVertex& operator=(const CGeoVertex& other);
  void SetFrom(const CGeoVertex& other) { *this = other; }

  BOOL operator==(const CGeoVertex& other) const;
  BOOL operator!=(const CGeoVertex& other) const { return !(*this == other); }
  CGeoVertex& operator+=(const CGeoPoint& other);
  CGeoVertex& operator-=(const CGeoPoint& other);
  CGeoVertex operator+(const CGeoPoint& other) const;
  CGeoVertex operator-(const CGeoPoint& other) const;

  BOOL ReadFile(std::FILE* file) override;
  BOOL Read(CFile& file) override;
  BOOL WriteFile(std::FILE* file) const override;
  BOOL Write(CFile& file) const override;

  double m_bulge = 0.0;
};

namespace geodetail {
// Index (0 x, 1 y, 2 z) of the component a factor is taken from: the first whose absolute value exceeds
// kGeoTolerance, else the largest, so that no factor is ever divided by a component found to be near zero.
int FactorComponent(const CGeoPoint& d);
double Component(const CGeoPoint& p, int i);
}  // namespace geodetail
