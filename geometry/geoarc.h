// Circular arc or full circle in a plane: the plane's origin is the centre, its local x axis angle 0.
#pragma once

#include "geometry/geosurface.h"

// Angles run counter-clockwise about the plane's normal. After SetArc: radius ≥ 0, start in [0, 2π),
// span in (0, 2π] (a span that normalises to within 1e-6 of 0 is a full circle).
class CGeoArc : public CGeoSurface {
 public:
  CGeoArc() { m_type = GEO_ARC; }
  CGeoArc(const CGeoPoint& p0, const CGeoPoint& p1, const CGeoPoint& p2, double radius, double start, double span);
  CGeoArc(const CGeoPlane& plane, double radius, double start, double span);
  CGeoArc(const CGeoArc& other);
  CGeoArc(const CGeoPlane& plane, const CGeoPoint& p1, const CGeoPoint& p2, const CGeoPoint& p3);
  CGeoArc& operator=(const CGeoArc& other);

  virtual BOOL SetFrom(const CGeoArc& other);
  virtual BOOL Set(const CGeoPlane& plane, double radius, double start, double span);
  virtual BOOL Set(const CGeoPoint& p0, const CGeoPoint& p1, const CGeoPoint& p2, double radius, double start,
                   double span);
  virtual BOOL SetArc(double radius, double start, double span);
  // Arc from P1 counter-clockwise to P3 about a centre that P2 fixes (the plane's own points when the
  // given plane is degenerate, else the points projected onto it).
  BOOL SetThroughPoints(const CGeoPlane& plane, const CGeoPoint& p1, const CGeoPoint& p2, const CGeoPoint& p3);

  double GetRadius() const { return m_dRadius; }
  double GetStart() const { return m_dStart; }
  double GetSpan() const { return m_dSpan; }

  BOOL IsDegenerate() const override;
  BOOL IsFullCircle() const;
  // Global point at the angle t from the start.
  CGeoPoint PointAtAngle(double t) const;
  CGeoPoint GetStartPoint() const { return PointAtAngle(0.0); }
  // Point on the circle: param receives its angle from the start; with checkRange it must lie on the span.
  BOOL IsOnBoundary(const CGeoPoint& p, double* angle, BOOL checkRange) const override;
  // Anywhere on the disc, whatever the span.
  BOOL Contains(const CGeoPoint& p) const override;
  // Crossings with the whole circle, 0 to 2, in the line's direction.
  int IntersectLine(const CGeoLine& line, CGeoPoint pts[2]) const;
  int Intersect(const CGeoLine& line, CArray<CGeoPoint, CGeoPoint&>& points) const override;
  int IntersectArc(const CGeoArc& other, CGeoPoint pts[2]) const;
  // The crossing that extends the arc at its start (or end).
  BOOL ChoosePoint(CGeoPoint pts[2], int count, BOOL atStart, CGeoPoint& out) const;
  BOOL ExtendToLine(const CGeoLine& line, BOOL atStart, CGeoPoint& out) const;
  BOOL ExtendToArc(const CGeoArc& other, BOOL atStart, CGeoPoint& out) const;
  // 1 when the point on the circle is strictly nearer the end than the start, the short way round.
  BOOL IsNearerToEnd(const CGeoPoint& p) const;
  // dist = |(|P − centre| − r)|; side 2 outside, 0 inside or on the circle.
  BOOL GetDistance(const CGeoPoint& p, double& dist, int* side = nullptr) const;
  BOOL Project(const CGeoPoint& p, double& angle, double* dist = nullptr) const;
  BOOL ProjectPoint(const CGeoPoint& p, CGeoPoint& out, double* dist = nullptr) const;
  BOOL IsInSecondHalf(const CGeoPoint& p, int& flag) const;
  // Tangent segment of length len centred on the point at angle t, in the direction of increasing angle.
  BOOL GetTangent(double t, double len, CGeoLine& out) const;
  // Append chords / points along the span (GetChordCount for n); return how many were appended.
  int Polygonize(CArray<CGeoLine, CGeoLine&>& lines, int n) const;
  int GetPoints(CArray<CGeoPoint, CGeoPoint&>& points, int n) const;
  BOOL GetChordAngle(double length, double& angle) const;
  // Shortest piece from the line's start (or end) to a crossing with the arc's span, off the line's segment.
  BOOL ExtendLine(const CGeoLine& line, BOOL atEnd, CGeoLine& out) const;

  // Plane (72 bytes), then radius, start and span, stored as read.
  BOOL ReadFile(std::FILE* file) override;
  BOOL Read(CFile& file) override;
  BOOL WriteFile(std::FILE* file) const override;
  BOOL Write(CFile& file) const override;

 private:
  template <class File>
  BOOL ReadArc(File& file);
  template <class File>
  BOOL WriteArc(File& file) const;
  // Angle from the start, folded to the shorter way round.
  static double Folded(double a);

  double m_dRadius = 0.0;
  double m_dStart = 0.0;
  double m_dSpan = 0.0;
};
