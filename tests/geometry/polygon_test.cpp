#include <cmath>

#include "tests/geometry/geo_test_support.h"

namespace {

CGeoPolygon MakePolygon(const CGeoPlane& plane, std::initializer_list<CGeoVertex> vertices) {
  CGeoPolygon p(plane);
  for (CGeoVertex v : vertices) p.m_vertices.Add(v);
  return p;
}

TEST(GeoPolygonTest, OneVertexHasNoSegment) {
  CGeoPolygon p = MakePolygon(GeoPlaneXY, {CGeoVertex(1, 1, 0, 0)});
  EXPECT_EQ(p.GetType(), GEO_POLYGON);
  EXPECT_EQ(p.GetSegmentCount(), 0);
  EXPECT_EQ(p.GetSegmentType(0), 0);
  CArray<CGeoPoint, CGeoPoint&> pts;
  EXPECT_EQ(p.GetPoints(pts, 8), 0);
  EXPECT_EQ(pts.GetSize(), 0);
}

TEST(GeoPolygonTest, HalfCircleFromSetRadius) {
  // Chord (0,0)–(2,0), radius 1: h = 1, s = 0, bulge −(1 − 0)/1 = −1; the arc lies left of the chord (above).
  CGeoPolygon p = MakePolygon(GeoPlaneXY, {CGeoVertex(0, 0, 0, 0), CGeoVertex(2, 0, 0, 0)});
  ASSERT_TRUE(p.SetRadius(0, 1.0));
  EXPECT_DOUBLE_EQ(p.m_vertices[0].m_bulge, -1.0);
  EXPECT_EQ(p.GetSegmentType(0), GEO_ARC);
  EXPECT_NEAR(p.GetSegmentLength(0), kPi, 1e-12);
  CGeoArc arc;
  ASSERT_TRUE(p.GetArc(0, arc));
  EXPECT_TRUE(PointIs(arc.GetCenter(), 1, 0, 0));
  EXPECT_NEAR(arc.GetRadius(), 1.0, 1e-12);
  EXPECT_TRUE(PointIs(arc.GetStartPoint(), 2, 0, 0));  // runs from vertex 1 back to vertex 0
  CGeoPoint mid;
  ASSERT_TRUE(p.GetSegmentPoint(0, 0.5, mid));
  EXPECT_TRUE(PointIs(mid, 1, 1, 0));
  ASSERT_TRUE(p.GetSegmentPoint(0, 0.0, mid));
  EXPECT_TRUE(PointIs(mid, 0, 0, 0));
  ASSERT_TRUE(p.GetSegmentPoint(0, 1.0, mid));
  EXPECT_TRUE(PointIs(mid, 2, 0, 0));
}

TEST(GeoPolygonTest, NegativeRadiusPutsTheArcOnTheRight) {
  CGeoPolygon p = MakePolygon(GeoPlaneXY, {CGeoVertex(0, 0, 0, 0), CGeoVertex(2, 0, 0, 0)});
  ASSERT_TRUE(p.SetRadius(0, -1.0));
  EXPECT_DOUBLE_EQ(p.m_vertices[0].m_bulge, 1.0);
  CGeoPoint mid;
  ASSERT_TRUE(p.GetSegmentPoint(0, 0.5, mid));
  EXPECT_TRUE(PointIs(mid, 1, -1, 0));
}

TEST(GeoPolygonTest, MinorArcOfALargerRadius) {
  // Chord 2, radius 1.25: s = √(1.5625 − 1) = 0.75, bulge −0.5; the arc's middle is 0.5 above the chord,
  // its centre 1.25 below that at (1, −0.75), its span 2·asin(1/1.25).
  CGeoPolygon p = MakePolygon(GeoPlaneXY, {CGeoVertex(0, 0, 0, 0), CGeoVertex(2, 0, 0, 0)});
  ASSERT_TRUE(p.SetRadius(0, 1.25));
  EXPECT_DOUBLE_EQ(p.m_vertices[0].m_bulge, -0.5);
  CGeoArc arc;
  ASSERT_TRUE(p.GetArc(0, arc));
  EXPECT_NEAR(arc.GetRadius(), 1.25, 1e-12);
  EXPECT_TRUE(PointIs(arc.GetCenter(), 1, -0.75, 0));
  EXPECT_NEAR(arc.GetSpan(), 2.0 * std::asin(0.8), 1e-12);
  EXPECT_NEAR(p.GetSegmentLength(0), 1.25 * 2.0 * std::asin(0.8), 1e-12);
  CGeoPoint mid;
  ASSERT_TRUE(p.GetSegmentPoint(0, 0.5, mid));
  EXPECT_TRUE(PointIs(mid, 1, 0.5, 0));
  // A radius shorter than half the chord gives the half circle's height ratio: s = 0, bulge −0.5.
  ASSERT_TRUE(p.SetRadius(0, 0.5));
  EXPECT_DOUBLE_EQ(p.m_vertices[0].m_bulge, -0.5);
}

TEST(GeoPolygonTest, InvalidSegmentIndices) {
  CGeoPolygon p = MakePolygon(GeoPlaneXY, {CGeoVertex(0, 0, 0, 0), CGeoVertex(2, 0, 0, 0), CGeoVertex(2, 0, 0, 0)});
  EXPECT_FALSE(p.SetRadius(2, 1.0));
  EXPECT_FALSE(p.SetRadius(-1, 1.0));
  EXPECT_FALSE(p.SetRadius(1, 1.0));  // zero chord
  EXPECT_FALSE(p.SetRadius(0, 1e-7));
  EXPECT_EQ(p.GetSegmentType(-1), 0);
  EXPECT_EQ(p.GetSegmentType(1), 0);
  EXPECT_EQ(p.GetSegmentType(0), GEO_LINE);
  EXPECT_EQ(p.GetSegmentLength(-1), 0.0);
  EXPECT_DOUBLE_EQ(p.GetSegmentLength(0), 2.0);
  CGeoPoint out(5, 5, 5);
  EXPECT_FALSE(p.GetSegmentPoint(-1, 0.5, out));
  CGeoArc arc;
  EXPECT_FALSE(p.GetArc(0, arc));  // straight
}

TEST(GeoPolygonPointsTest, StraightOutlineAppends) {
  CGeoPolygon p = MakePolygon(GeoPlaneXY, {CGeoVertex(0, 0, 0, 0), CGeoVertex(1, 0, 0, 0), CGeoVertex(2, 0, 0, 0)});
  CArray<CGeoPoint, CGeoPoint&> pts;
  EXPECT_EQ(p.GetPoints(pts, 8), 3);
  EXPECT_EQ(p.GetPoints(pts, 8), 3);
  ASSERT_EQ(pts.GetSize(), 6);
  EXPECT_TRUE(PointIs(pts[3], 0, 0, 0));
  EXPECT_TRUE(PointIs(pts[5], 2, 0, 0));
}

TEST(GeoPolygonPointsTest, ArcSegmentRunsFromItsFirstVertex) {
  // Half circle (0,0)→(2,0) over (1,1) in four chords, then straight down to (2,−1): 5 + 1 points.
  CGeoPolygon p = MakePolygon(GeoPlaneXY, {CGeoVertex(0, 0, 0, -1), CGeoVertex(2, 0, 0, 0), CGeoVertex(2, -1, 0, 0)});
  CArray<CGeoPoint, CGeoPoint&> pts;
  ASSERT_EQ(p.GetPoints(pts, -4), 6);
  ASSERT_EQ(pts.GetSize(), 6);
  EXPECT_TRUE(PointIs(pts[0], 0, 0, 0));
  EXPECT_TRUE(PointIs(pts[1], 1 - std::sqrt(0.5), std::sqrt(0.5), 0));
  EXPECT_TRUE(PointIs(pts[2], 1, 1, 0));
  EXPECT_TRUE(PointIs(pts[4], 2, 0, 0));
  EXPECT_TRUE(PointIs(pts[5], 2, -1, 0));
  // Straight first, then the arc: the arc's repeated first point is dropped.
  CGeoPolygon q = MakePolygon(GeoPlaneXY, {CGeoVertex(0, -1, 0, 0), CGeoVertex(0, 0, 0, -1), CGeoVertex(2, 0, 0, 0)});
  CArray<CGeoPoint, CGeoPoint&> qs;
  ASSERT_EQ(q.GetPoints(qs, -4), 6);
  EXPECT_TRUE(PointIs(qs[1], 0, 0, 0));
  EXPECT_TRUE(PointIs(qs[3], 1, 1, 0));
}

TEST(GeoPolygonPointsTest, ArcOfAPolygonAwayFromTheOrigin) {
  // Plane z = 5: the segment's arc stays in that plane, its middle above the chord's middle.
  CGeoPolygon p = MakePolygon(CGeoPlane(0, CGeoPoint(0, 0, 5)), {CGeoVertex(0, 0, 0, -1), CGeoVertex(2, 0, 0, 0)});
  CGeoPoint mid;
  ASSERT_TRUE(p.GetSegmentPoint(0, 0.5, mid));
  EXPECT_TRUE(PointIs(mid, 1, 1, 5));
  CGeoArc arc;
  ASSERT_TRUE(p.GetArc(0, arc));
  CGeoVector x, y, z;
  arc.GetLocalAxes(x, y, z);
  EXPECT_TRUE(PointIs(z, 0, 0, 1));
  EXPECT_TRUE(PointIs(arc.GetCenter(), 1, 0, 5));
}

TEST(GeoPolygonNearestTest, NearestStraightSegment) {
  CGeoPolygon p = MakePolygon(GeoPlaneXY, {CGeoVertex(0, 0, 0, 0), CGeoVertex(4, 0, 0, 0), CGeoVertex(4, 4, 0, 0)});
  CGeoLine out;
  ASSERT_TRUE(p.GetNearestSegment(CGeoPoint(1, 1, 0), out));  // distances 1 and 3
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 4, 0, 0));
  ASSERT_TRUE(p.GetNearestSegment(CGeoPoint(3, 3.5, 0), out));  // distances 3.5 and 1
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 4, 0, 0));
  EXPECT_FALSE(p.GetNearestSegment(CGeoPoint(-1, -1, 0), out));  // beyond both ends of both
  EXPECT_TRUE(out.IsDegenerate());
}

TEST(GeoPolygonExtendTest, StraightEdge) {
  CGeoPolygon p = MakePolygon(GeoPlaneXY, {CGeoVertex(0, 0, 0, 0), CGeoVertex(1, 0, 0, 0)});
  const CGeoLine line(CGeoPoint(0.5, -1, 0), CGeoPoint(0.5, -0.5, 0));
  CGeoLine out;
  ASSERT_TRUE(p.ExtendLine(line, TRUE, out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 0.5, -0.5, 0));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 0.5, 0, 0));
  EXPECT_FALSE(p.ExtendLine(line, FALSE, out));
}

TEST(GeoPolygonExtendTest, ArcEdgeWithinItsSpan) {
  // Upper half circle about (1,0), radius 1; the line comes down x = 1 from (1,3) to (1,2): the circle is met at
  // (1,1), t = 2 (on the span) and (1,−1), t = 4 (off the span).
  CGeoPolygon p = MakePolygon(GeoPlaneXY, {CGeoVertex(0, 0, 0, -1), CGeoVertex(2, 0, 0, 0)});
  CGeoLine out;
  ASSERT_TRUE(p.ExtendLine(CGeoLine(CGeoPoint(1, 3, 0), CGeoPoint(1, 2, 0)), TRUE, out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 1, 2, 0));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 1, 1, 0));
  EXPECT_FALSE(p.ExtendLine(CGeoLine(CGeoPoint(1, 3, 0), CGeoPoint(1, 2, 0)), FALSE, out));
  // Going the other way from below: (1,−3)→(1,−2) reaches (1,−1) first but that is off the span, so (1,1).
  ASSERT_TRUE(p.ExtendLine(CGeoLine(CGeoPoint(1, -3, 0), CGeoPoint(1, -2, 0)), TRUE, out));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 1, 1, 0));
}

TEST(GeoPolygonExtendTest, ShortestOfSeveralCandidates) {
  // Two straight edges y = 0 and y = 3 (joined at x = 4); extending (1,−2)→(1,−1) at its end meets y = 0 first.
  CGeoPolygon p = MakePolygon(
      GeoPlaneXY, {CGeoVertex(0, 3, 0, 0), CGeoVertex(4, 3, 0, 0), CGeoVertex(4, 0, 0, 0), CGeoVertex(0, 0, 0, 0)});
  CGeoLine out;
  ASSERT_TRUE(p.ExtendLine(CGeoLine(CGeoPoint(1, -2, 0), CGeoPoint(1, -1, 0)), TRUE, out));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 1, 0, 0));
}

}  // namespace
