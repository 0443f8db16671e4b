// Closed planar outline of straight edges, kept valid and counter-clockwise.
#pragma once

#include "geometry/geosurface.h"

// The points are local x, y coordinates of the contour's plane; the point after the last is the first.
// Every change of the points validates the outline: repeated points are dropped; fewer than three points,
// overlapping collinear edges, crossing edges or no area leave it invalid; a valid outline runs
// counter-clockwise. Only the plane is streamed.
class CGeoContour : public CGeoSurface {
 public:
  CGeoContour() { m_type = GEO_CONTOUR; }
  CGeoContour(const CGeoPlane& plane, const double* xs, const double* ys, int n);
  CGeoContour(const CGeoPlane& plane, const CArray<CGeoPoint, CGeoPoint&>& points);
  CGeoContour(const CGeoPlane& plane, const CArray<CGeoVertex, CGeoVertex&>& vertices);
  CGeoContour(const CGeoPlane& plane, const CGeoPoint* points, int n);
  CGeoContour(const CGeoContour& other);
  CGeoContour& operator=(const CGeoContour& other);

  void Set(const CGeoPlane& plane, const double* xs, const double* ys, int n);
  void Set(const CGeoPlane& plane, const CArray<CGeoPoint, CGeoPoint&>& points);
  void Set(const CGeoPlane& plane, const CArray<CGeoVertex, CGeoVertex&>& vertices);
  void Set(const CGeoPlane& plane, const CGeoPoint* points, int n);
  void SetFrom(const CGeoContour& other);

  int GetCount() const { return int(m_aCoords.GetSize() / 2); }
  // An index not below the count gives the first point.
  CGeoPoint GetLocalPoint(int i) const;
  CGeoPoint GetPoint(int i) const;
  BOOL Validate();
  BOOL IsValid() const { return m_bValid != 0; }
  // Signed, in local coordinates; positive counter-clockwise.
  double GetArea() const;

  BOOL IsDegenerate() const override { return m_bValid == 0; }
  // The centroid (also for an invalid outline).
  CGeoPoint GetCenter() const override;
  BOOL Contains(const CGeoPoint& p) const override;
  BOOL IsOnBoundary(const CGeoPoint& p, double* param, BOOL checkRange) const override;
  int Intersect(const CGeoLine& line, CArray<CGeoPoint, CGeoPoint&>& points) const override;
  // Inside or on the outline, local coordinates.
  virtual BOOL ContainsLocal(double x, double y) const;

 private:
  void SetLocal(const CGeoPlane& plane, const CGeoPoint* points, int n, bool global);
  double X(int i) const { return m_aCoords[2 * i]; }
  double Y(int i) const { return m_aCoords[2 * i + 1]; }

  std::int32_t m_bValid = 0;
  CArray<double, double> m_aCoords;
};
