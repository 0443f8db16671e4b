// Straight line: a start point and a direction; also the segment from parameter 0 to 1.
#pragma once

#include "geometry/geopoint.h"

class CGeoPlane;

// The point at parameter t is origin + t · direction. A line is degenerate when its direction is no longer
// than kGeoTolerance; every geometric query then fails. Out-arguments are left alone on failure unless a
// comment says otherwise.
class CGeoLine : public CGeoObject {
 public:
  CGeoLine() : CGeoObject(GEO_LINE) {}
  CGeoLine(const CGeoPoint& start, const CGeoPoint& end);
  CGeoLine(const CGeoVector& origin, const CGeoVector& direction);
  CGeoLine(const CGeoLine& other);
  CGeoLine& operator=(const CGeoLine& other);

  void SetPoints(const CGeoPoint& start, const CGeoPoint& end);
  void Set(const CGeoVector& origin, const CGeoVector& direction);
  void SetFrom(const CGeoLine& other) { *this = other; }

  const CGeoVector& GetOrigin() const { return m_origin; }
  const CGeoVector& GetDirection() const { return m_direction; }
  CGeoPoint GetStartPoint() const { return PointAt(0.0); }
  CGeoPoint GetEndPoint() const { return PointAt(1.0); }
  BOOL IsDegenerate() const;
  double GetLength(double factor) const;
  CGeoPoint PointAt(double t) const;
  CGeoLine GetReversed() const;
  void Reverse();

  // Angle of the direction in the plane's local x-y, in [0, 2π).
  BOOL GetAngleInPlane(double& angle, const CGeoPlane& plane) const;
  // Angle between the two directions, in [0, π].
  BOOL GetAngle(const CGeoLine& other, double& angle) const;
  // Parameter on this line of the crossing, from two coordinate equations (skew lines pass).
  BOOL IntersectParam(const CGeoLine& other, double& t) const;
  BOOL Intersect(const CGeoLine& other, CGeoPoint& p) const;
  BOOL IntersectTol(const CGeoLine& other, CGeoPoint& p, double tol) const;
  BOOL IntersectsSegment(CGeoLine other) const;
  // t is stored as soon as it is known, even when the point then turns out off the segment.
  BOOL GetParam(const CGeoPoint& p, double& t, BOOL segment) const;
  BOOL GetPerpendicular(const CGeoPoint& p, CGeoLine& out) const;
  // Parallel lines: their distance; otherwise the signed distance along this × other.
  BOOL GetDistance(const CGeoLine& other, double& dist) const;
  BOOL GetDistanceToPoint(const CGeoPoint& p, double& dist) const;
  BOOL Project(const CGeoPoint& p, double& t, double* dist = nullptr) const;
  BOOL ProjectPoint(const CGeoPoint& p, CGeoPoint& foot, double* dist = nullptr) const;
  BOOL IsNearerToEnd(const CGeoPoint& p, int& flag) const;
  // Parallel line in the plane; a positive distance moves it to the left of the direction.
  BOOL GetOffset(CGeoLine& out, double d, const CGeoPlane& plane) const;
  // Segment of length len from the point at t, turned +90° from the direction in the plane.
  BOOL GetNormalAt(CGeoLine& out, double t, double len, const CGeoPlane& plane) const;
  // axis 0: plane z = 0, 1: y = 0, 2: x = 0.
  BOOL IntersectAxisPlane(CGeoPoint& p, BYTE axis) const;
  BOOL IsPerpendicularInPlane(const CGeoLine& other, const CGeoPlane& plane) const;
  BOOL IsParallelInPlane(const CGeoLine& other, const CGeoPlane& plane) const;
  // Segment covering two collinear segments.
  BOOL Merge(const CGeoLine& other, CGeoLine* out) const;
  // Piece by which the other segment must grow at its start or end to reach this line.
  BOOL GetExtension(const CGeoLine& other, BOOL atEnd, CGeoLine& out, BOOL withinThis) const;
  // Rotation about the point at t, about the plane's normal.
  BOOL Rotate(double t, double angle, const CGeoPlane& plane);

  // Origin, then direction (48 bytes).
  BOOL ReadFile(std::FILE* file) override;
  BOOL Read(CFile& file) override;
  BOOL WriteFile(std::FILE* file) const override;
  BOOL Write(CFile& file) const override;

 private:
  template <class File>
  BOOL ReadLine(File& file);

  CGeoVector m_origin;
  CGeoVector m_direction;
};
