// Open polyline in a plane whose segments are straight or circular arcs.
#pragma once

#include "geometry/geoplane.h"

class CGeoArc;

// Vertices are local coordinates of the polygon's plane. Segment i runs from vertex i to vertex i+1
// (no closing segment); the bulge of vertex i shapes it: within 1e-6 of 0 straight, otherwise the arc whose
// sagitta is −bulge · chord / 2 to the left of the chord.
class CGeoPolygon : public CGeoPlane {
 public:
  CGeoPolygon() { m_type = GEO_POLYGON; }
  CGeoPolygon(const CGeoPoint& p0, const CGeoPoint& p1, const CGeoPoint& p2) : CGeoPlane(p0, p1, p2) {
    m_type = GEO_POLYGON;
  }
  CGeoPolygon(const CGeoVector& origin, const CGeoVector& axis1, const CGeoVector& axis2)
      : CGeoPlane(origin, axis1, axis2) {
    m_type = GEO_POLYGON;
  }
  explicit CGeoPolygon(const CGeoPlane& plane) : CGeoPlane(plane) { m_type = GEO_POLYGON; }
  CGeoPolygon(int kind, const CGeoPoint& origin) : CGeoPlane(kind, origin) { m_type = GEO_POLYGON; }
  CGeoPolygon(const CGeoPolygon& other) : CGeoPlane(other), m_vertices(other.m_vertices) { m_type = GEO_POLYGON; }
  CGeoPolygon& operator=(const CGeoPolygon& other);
  void SetFrom(const CGeoPolygon& other) { *this = other; }

  int GetSegmentCount() const { return int(m_vertices.GetSize()) - 1; }
  // 0 for no segment or a chord of no length; 5 (line) when straight; 9 (arc) otherwise.
  int GetSegmentType(int i) const;
  // Makes segment i the minor arc of radius |r|; a positive radius puts it on the left of the chord.
  BOOL SetRadius(int i, double r);
  // The arc of segment i, running from vertex i+1 to vertex i, in global coordinates.
  BOOL GetArc(int i, CGeoArc& arc) const;
  double GetSegmentLength(int i) const;
  // The global point at the fraction t of segment i, from vertex i.
  BOOL GetSegmentPoint(int i, double t, CGeoPoint& out) const;
  // Appends the outline as global points (arcs through the arc's GetPoints); returns how many.
  int GetPoints(CArray<CGeoPoint, CGeoPoint&>& pts, int arcParam) const;
  // The straight segment whose perpendicular foot from p lies on it and is nearest.
  BOOL GetNearestSegment(const CGeoPoint& p, CGeoLine& out) const;
  // Shortest extension of the line from its start (or end) up to the outline.
  BOOL ExtendLine(const CGeoLine& line, BOOL atEnd, CGeoLine& out) const;

  // Plane (72 bytes), vertex count (int32), then the vertices (32 bytes each).
  BOOL ReadFile(std::FILE* file) override;
  BOOL Read(CFile& file) override;
  BOOL WriteFile(std::FILE* file) const override;
  BOOL Write(CFile& file) const override;

  CArray<CGeoVertex, CGeoVertex&> m_vertices;

 private:
  bool IsSegment(int i) const { return i >= 0 && i <= int(m_vertices.GetSize()) - 2; }
  CGeoPoint GlobalVertex(int i) const;
  template <class File>
  BOOL ReadPolygon(File& file);
  template <class File>
  BOOL WriteVertices(File& file) const;
  // The count is streamed as int32.
  bool FitsCount() const { return m_vertices.GetSize() <= INT32_MAX; }
};
