#include <cmath>

#include "tests/geometry/geo_test_support.h"

namespace {

// Circle of radius r about (cx, cy, 0) in a plane parallel to x-y, from `start` over `span`.
CGeoArc FlatArc(double cx, double cy, double r, double start, double span) {
  return CGeoArc(CGeoPlane(0, CGeoPoint(cx, cy, 0)), r, start, span);
}

TEST(GeoArcTest, SetArcNormalisesItsValues) {
  CGeoArc arc = FlatArc(0, 0, 1, 0, 1);
  EXPECT_EQ(arc.GetType(), GEO_ARC);
  arc.SetArc(-2, 7, 0);
  EXPECT_DOUBLE_EQ(arc.GetRadius(), 2.0);
  EXPECT_NEAR(arc.GetStart(), 7.0 - 2.0 * kPi, 1e-12);
  EXPECT_DOUBLE_EQ(arc.GetSpan(), 2.0 * kPi);
  EXPECT_TRUE(arc.IsFullCircle());
  arc.SetArc(1, 0, 2.0 * kPi);
  EXPECT_DOUBLE_EQ(arc.GetSpan(), 2.0 * kPi);
  arc.SetArc(1, 0, -kPi / 2.0);
  EXPECT_NEAR(arc.GetSpan(), 3.0 * kPi / 2.0, 1e-12);
  EXPECT_FALSE(arc.IsFullCircle());
  EXPECT_TRUE(FlatArc(0, 0, 1e-7, 0, 1).IsDegenerate());
  EXPECT_TRUE(CGeoArc(GeoPlaneNull, 1, 0, 1).IsDegenerate());
}

TEST(GeoArcTest, PointsAlongTheArc) {
  const CGeoArc arc = FlatArc(1, 2, 2, kPi / 2.0, kPi);
  EXPECT_TRUE(PointIs(arc.GetStartPoint(), 1, 4, 0));
  EXPECT_TRUE(PointIs(arc.PointAtAngle(kPi / 2.0), -1, 2, 0));
  EXPECT_TRUE(PointIs(arc.GetCenter(), 1, 2, 0));
}

TEST(GeoArcThroughPointsTest, PlaneFromThePoints) {
  CGeoArc arc;
  ASSERT_TRUE(arc.SetThroughPoints(GeoPlaneNull, CGeoPoint(1, 0, 0), CGeoPoint(0, 1, 0), CGeoPoint(-1, 0, 0)));
  EXPECT_TRUE(PointIs(arc.GetCenter(), 0, 0, 0));
  EXPECT_NEAR(arc.GetRadius(), 1.0, 1e-12);
  EXPECT_NEAR(arc.GetSpan(), kPi, 1e-12);
  EXPECT_TRUE(PointIs(arc.GetStartPoint(), 1, 0, 0));
  EXPECT_TRUE(PointIs(arc.PointAtAngle(kPi / 2.0), 0, 1, 0));
  EXPECT_TRUE(PointIs(arc.PointAtAngle(kPi), -1, 0, 0));
}

TEST(GeoArcThroughPointsTest, GivenPlaneRunsCounterClockwiseFromTheFirstPoint) {
  // Clockwise in x-y: the arc still runs counter-clockwise from P1 to P3, over (0,1,0), not through P2.
  CGeoArc arc;
  ASSERT_TRUE(arc.SetThroughPoints(GeoPlaneXY, CGeoPoint(1, 0, 0), CGeoPoint(0, -1, 0), CGeoPoint(-1, 0, 0)));
  EXPECT_NEAR(arc.GetStart(), 0.0, 1e-12);
  EXPECT_NEAR(arc.GetSpan(), kPi, 1e-12);
  EXPECT_TRUE(PointIs(arc.PointAtAngle(kPi / 2.0), 0, 1, 0));
  // Points off the plane are projected onto it first.
  ASSERT_TRUE(arc.SetThroughPoints(GeoPlaneXY, CGeoPoint(3, 0, 1), CGeoPoint(0, 3, -2), CGeoPoint(-3, 0, 4)));
  EXPECT_TRUE(PointIs(arc.GetCenter(), 0, 0, 0));
  EXPECT_NEAR(arc.GetRadius(), 3.0, 1e-12);
}

TEST(GeoArcThroughPointsTest, CollinearPointsGiveNoCentre) {
  CGeoArc arc = FlatArc(0, 0, 5, 0, 1);
  EXPECT_FALSE(arc.SetThroughPoints(GeoPlaneXY, CGeoPoint(0, 0, 0), CGeoPoint(1, 0, 0), CGeoPoint(2, 0, 0)));
  EXPECT_DOUBLE_EQ(arc.GetRadius(), 5.0);
  EXPECT_DOUBLE_EQ(arc.GetSpan(), 1.0);
}

TEST(GeoArcBoundaryTest, RangeCheck) {
  const CGeoArc quarter = FlatArc(0, 0, 1, 0, kPi / 2.0);
  double a = -1.0;
  // 1e-7 before the start counts as on the arc.
  EXPECT_TRUE(quarter.IsOnBoundary(CGeoPoint(std::cos(-1e-7), std::sin(-1e-7), 0), &a, TRUE));
  EXPECT_NEAR(a, 2.0 * kPi - 1e-7, 1e-12);
  const CGeoPoint beyond(std::cos(kPi / 2.0 + 0.01), std::sin(kPi / 2.0 + 0.01), 0);
  EXPECT_FALSE(quarter.IsOnBoundary(beyond, &a, TRUE));
  EXPECT_TRUE(quarter.IsOnBoundary(beyond, &a, FALSE));
  EXPECT_NEAR(a, kPi / 2.0 + 0.01, 1e-12);
  EXPECT_TRUE(FlatArc(0, 0, 1, 0, 0).IsOnBoundary(beyond, &a, TRUE));  // full circle
  EXPECT_FALSE(quarter.IsOnBoundary(CGeoPoint(1.1, 0, 0), &a, FALSE));
  EXPECT_FALSE(quarter.IsOnBoundary(CGeoPoint(1, 0, 0.5), &a, FALSE));
}

TEST(GeoArcBoundaryTest, DiscContainsWhateverTheSpan) {
  const CGeoArc quarter = FlatArc(0, 0, 1, 0, kPi / 2.0);
  EXPECT_TRUE(quarter.Contains(CGeoPoint(-0.5, -0.5, 0)));
  EXPECT_TRUE(quarter.Contains(CGeoPoint(0, -1, 0)));
  EXPECT_FALSE(quarter.Contains(CGeoPoint(2, 0, 0)));
  EXPECT_FALSE(quarter.Contains(CGeoPoint(0, 0, 1)));
}

TEST(GeoArcIntersectionTest, LineThroughTheCentreInThePlane) {
  const CGeoArc circle = FlatArc(0, 0, 1, 0, 0);
  CGeoPoint pts[2];
  ASSERT_EQ(circle.IntersectLine(CGeoLine(CGeoPoint(-2, 0, 0), CGeoPoint(2, 0, 0)), pts), 2);
  EXPECT_TRUE(PointIs(pts[0], -1, 0, 0));
  EXPECT_TRUE(PointIs(pts[1], 1, 0, 0));
  ASSERT_EQ(circle.IntersectLine(CGeoLine(CGeoPoint(2, 0, 0), CGeoPoint(-2, 0, 0)), pts), 2);
  EXPECT_TRUE(PointIs(pts[0], 1, 0, 0));
  // Crossings outside the span are reported too.
  ASSERT_EQ(FlatArc(0, 0, 1, 0, 0.5).IntersectLine(CGeoLine(CGeoPoint(-2, 0, 0), CGeoPoint(2, 0, 0)), pts), 2);
}

TEST(GeoArcIntersectionTest, TangentCrossingAndMisses) {
  const CGeoArc circle = FlatArc(0, 0, 1, 0, 0);
  CGeoPoint pts[2];
  ASSERT_EQ(circle.IntersectLine(CGeoLine(CGeoPoint(-2, 1, 0), CGeoPoint(2, 1, 0)), pts), 1);
  EXPECT_TRUE(PointIs(pts[0], 0, 1, 0));
  ASSERT_EQ(circle.IntersectLine(CGeoLine(CGeoPoint(1, 0, -1), CGeoPoint(1, 0, 1)), pts), 1);
  EXPECT_TRUE(PointIs(pts[0], 1, 0, 0));
  EXPECT_EQ(circle.IntersectLine(CGeoLine(CGeoPoint(0.5, 0, -1), CGeoPoint(0.5, 0, 1)), pts), 0);
  EXPECT_EQ(circle.IntersectLine(CGeoLine(CGeoPoint(-2, 0, 1), CGeoPoint(2, 0, 1)), pts), 0);
  EXPECT_EQ(circle.IntersectLine(CGeoLine(CGeoPoint(-2, 3, 0), CGeoPoint(2, 3, 0)), pts), 0);
  CArray<CGeoPoint, CGeoPoint&> list;
  ASSERT_EQ(circle.Intersect(CGeoLine(CGeoPoint(0, -2, 0), CGeoPoint(0, 2, 0)), list), 2);
  EXPECT_TRUE(PointIs(list[0], 0, -1, 0));
  EXPECT_TRUE(PointIs(list[1], 0, 1, 0));
}

TEST(GeoArcIntersectionTest, TwoCircles) {
  // Radius 5 about (0,0) and (8,0): radical line x = (25 − 25 + 64)/16 = 4, crossings (4, ∓3).
  CGeoPoint pts[2];
  ASSERT_EQ(FlatArc(0, 0, 5, 0, 0).IntersectArc(FlatArc(8, 0, 5, 0, 0), pts), 2);
  EXPECT_TRUE(PointIs(pts[0], 4, -3, 0));
  EXPECT_TRUE(PointIs(pts[1], 4, 3, 0));
  // About (0,0) and (0,8): radical line y = 4, run along +x: (−3,4), (3,4).
  ASSERT_EQ(FlatArc(0, 0, 5, 0, 0).IntersectArc(FlatArc(0, 8, 5, 0, 0), pts), 2);
  EXPECT_TRUE(PointIs(pts[0], -3, 4, 0));
  EXPECT_TRUE(PointIs(pts[1], 3, 4, 0));
  // The same pair moved to (10,10): (14,7), (14,13).
  ASSERT_EQ(FlatArc(10, 10, 5, 0, 0).IntersectArc(FlatArc(18, 10, 5, 0, 0), pts), 2);
  EXPECT_TRUE(PointIs(pts[0], 14, 7, 0));
  EXPECT_TRUE(PointIs(pts[1], 14, 13, 0));
  // Touching circles (radius 4 and 4, centres 8 apart) meet once at (4,0).
  ASSERT_EQ(FlatArc(0, 0, 4, 0, 0).IntersectArc(FlatArc(8, 0, 4, 0, 0), pts), 1);
  EXPECT_TRUE(PointIs(pts[0], 4, 0, 0, 1e-9));
}

TEST(GeoArcIntersectionTest, ConcentricOrForeignPlanesGiveNothing) {
  CGeoPoint pts[2];
  EXPECT_EQ(FlatArc(0, 0, 5, 0, 0).IntersectArc(FlatArc(0, 0, 3, 0, 0), pts), 0);
  const CGeoArc lifted(CGeoPlane(0, CGeoPoint(3, 0, 1)), 5, 0, 0);
  EXPECT_EQ(FlatArc(0, 0, 5, 0, 0).IntersectArc(lifted, pts), 0);
  EXPECT_EQ(FlatArc(0, 0, 5, 0, 0).IntersectArc(FlatArc(20, 0, 5, 0, 0), pts), 0);  // too far apart
}

TEST(GeoArcExtensionTest, ChoosePointNearTheRequestedEnd) {
  // Quarter circle from 0 to π/2. Pa lies 0.2 before the start, Pb 0.3 beyond the end.
  const CGeoArc quarter = FlatArc(0, 0, 1, 0, kPi / 2.0);
  CGeoPoint pa(std::cos(-0.2), std::sin(-0.2), 0), pb(std::cos(kPi / 2.0 + 0.3), std::sin(kPi / 2.0 + 0.3), 0);
  CGeoPoint pts[2] = {pa, pb};
  CGeoPoint out;
  ASSERT_TRUE(quarter.ChoosePoint(pts, 2, TRUE, out));
  EXPECT_TRUE(PointIs(out, pa.m_x, pa.m_y, 0));
  ASSERT_TRUE(quarter.ChoosePoint(pts, 2, FALSE, out));
  EXPECT_TRUE(PointIs(out, pb.m_x, pb.m_y, 0));
  // Both before the start (0.2 and 0.3 away): at the start the nearer one, at the end none.
  CGeoPoint pc(std::cos(-0.3), std::sin(-0.3), 0);
  CGeoPoint both[2] = {pa, pc};
  ASSERT_TRUE(quarter.ChoosePoint(both, 2, TRUE, out));
  EXPECT_TRUE(PointIs(out, pa.m_x, pa.m_y, 0));
  EXPECT_FALSE(quarter.ChoosePoint(both, 2, FALSE, out));
  CGeoPoint off[2] = {CGeoPoint(5, 5, 0), pb};
  EXPECT_FALSE(quarter.ChoosePoint(off, 2, TRUE, out));
}

TEST(GeoArcExtensionTest, ExtendToALine) {
  // y = −0.5 meets the unit circle at (∓√3/2, −0.5): 7π/6 is nearer the end π/2 (2π/3 against 5π/6),
  // 11π/6 nearer the start (π/6).
  const CGeoArc quarter = FlatArc(0, 0, 1, 0, kPi / 2.0);
  const CGeoLine line(CGeoPoint(-2, -0.5, 0), CGeoPoint(2, -0.5, 0));
  CGeoPoint out;
  ASSERT_TRUE(quarter.ExtendToLine(line, TRUE, out));
  EXPECT_TRUE(PointIs(out, std::sqrt(3.0) / 2.0, -0.5, 0));
  ASSERT_TRUE(quarter.ExtendToLine(line, FALSE, out));
  EXPECT_TRUE(PointIs(out, -std::sqrt(3.0) / 2.0, -0.5, 0));
  EXPECT_FALSE(quarter.ExtendToLine(CGeoLine(CGeoPoint(-2, 3, 0), CGeoPoint(2, 3, 0)), TRUE, out));
  // Radius 1.5 about (2,0): radical line x = (1 − (2.25 − 4)) / 4 = 0.6875, crossings (0.6875, ∓√(1 − 0.6875²)),
  // run along +y. The lower one (angle −0.81) is nearer the start, the upper one (0.81, inside the span) the end.
  const CGeoArc other = FlatArc(2, 0, 1.5, 0, 0);
  ASSERT_TRUE(quarter.ExtendToArc(other, TRUE, out));
  EXPECT_TRUE(PointIs(out, 0.6875, -std::sqrt(1.0 - 0.6875 * 0.6875), 0, 1e-9));
  ASSERT_TRUE(quarter.ExtendToArc(other, FALSE, out));
  EXPECT_TRUE(PointIs(out, 0.6875, std::sqrt(1.0 - 0.6875 * 0.6875), 0, 1e-9));
}

TEST(GeoArcQueryTest, NearerToEndAndSecondHalf) {
  const CGeoArc quarter = FlatArc(0, 0, 1, 0, kPi / 2.0);
  EXPECT_TRUE(quarter.IsNearerToEnd(CGeoPoint(0, 1, 0)));
  EXPECT_FALSE(quarter.IsNearerToEnd(CGeoPoint(1, 0, 0)));
  EXPECT_FALSE(quarter.IsNearerToEnd(CGeoPoint(0, 2, 0)));  // not on the circle
  const CGeoArc half = FlatArc(0, 0, 1, 0, kPi);
  int flag = -1;
  ASSERT_TRUE(half.IsInSecondHalf(CGeoPoint(3, 0.1, 0), flag));
  EXPECT_EQ(flag, 0);
  ASSERT_TRUE(half.IsInSecondHalf(CGeoPoint(0, 4, 0), flag));  // exactly halfway
  EXPECT_EQ(flag, 1);
  ASSERT_TRUE(half.IsInSecondHalf(CGeoPoint(-2, 0.1, 0), flag));
  EXPECT_EQ(flag, 1);
}

TEST(GeoArcQueryTest, DistanceAndProjection) {
  const CGeoArc arc = FlatArc(0, 0, 1, 0, kPi);
  double d = -1.0;
  int side = -1;
  ASSERT_TRUE(arc.GetDistance(CGeoPoint(0, 0, 0), d, &side));
  EXPECT_DOUBLE_EQ(d, 1.0);
  EXPECT_EQ(side, 0);
  ASSERT_TRUE(arc.GetDistance(CGeoPoint(3, 0, 0), d, &side));
  EXPECT_DOUBLE_EQ(d, 2.0);
  EXPECT_EQ(side, 2);
  ASSERT_TRUE(arc.GetDistance(CGeoPoint(0.5, 0, 0), d, &side));
  EXPECT_DOUBLE_EQ(d, 0.5);
  EXPECT_EQ(side, 0);
  ASSERT_TRUE(arc.GetDistance(CGeoPoint(0, 0, 1), d));  // on the sphere of radius 1
  EXPECT_NEAR(d, 0.0, 1e-15);
  double a = -1.0;
  ASSERT_TRUE(arc.Project(CGeoPoint(0, 3, 0), a, &d));
  EXPECT_NEAR(a, kPi / 2.0, 1e-12);
  EXPECT_DOUBLE_EQ(d, 2.0);
  CGeoPoint foot;
  ASSERT_TRUE(arc.ProjectPoint(CGeoPoint(-4, 0, 0), foot));
  EXPECT_TRUE(PointIs(foot, -1, 0, 0));
  EXPECT_FALSE(arc.Project(CGeoPoint(0, 0, 0), a));
  d = -1.0;
  EXPECT_FALSE(arc.Project(CGeoPoint(1, 0, 1), a, &d));  // off the plane; the distance is kept
  EXPECT_NEAR(d, std::sqrt(2.0) - 1.0, 1e-12);
}

TEST(GeoArcQueryTest, TangentPointsTheWayOfIncreasingAngle) {
  // Radius 2, at angle π/2: the point (0,2,0), the direction (−1,0,0).
  CGeoLine t;
  ASSERT_TRUE(FlatArc(0, 0, 2, 0, kPi).GetTangent(kPi / 2.0, 2.0, t));
  EXPECT_TRUE(PointIs(t.GetStartPoint(), 1, 2, 0));
  EXPECT_TRUE(PointIs(t.GetEndPoint(), -1, 2, 0));
  EXPECT_FALSE(FlatArc(0, 0, 2, 0, kPi).GetTangent(0.0, 1e-7, t));
}

TEST(GeoArcChordsTest, PointsAndChords) {
  const CGeoArc half = FlatArc(0, 0, 1, 0, kPi);
  CArray<CGeoPoint, CGeoPoint&> pts;
  EXPECT_EQ(half.GetPoints(pts, 8), 5);
  ASSERT_EQ(pts.GetSize(), 5);
  EXPECT_TRUE(PointIs(pts[2], 0, 1, 0));
  EXPECT_EQ(half.GetPoints(pts, 8), 5);
  EXPECT_EQ(pts.GetSize(), 10);  // appended
  CArray<CGeoLine, CGeoLine&> chords;
  EXPECT_EQ(half.Polygonize(chords, 8), 4);
  ASSERT_EQ(chords.GetSize(), 4);
  EXPECT_NEAR(chords[0].GetLength(1.0), 2.0 * std::sin(kPi / 8.0), 1e-12);
  chords.RemoveAll();
  EXPECT_EQ(FlatArc(0, 0, 1, 0, 0.3).Polygonize(chords, -3), 3);
  EXPECT_EQ(half.Polygonize(chords, 0), 0);
}

TEST(GeoArcChordsTest, ChordAngle) {
  const CGeoArc circle = FlatArc(0, 0, 1, 0, 0);
  double a = -1.0;
  ASSERT_TRUE(circle.GetChordAngle(std::sqrt(2.0), a));
  EXPECT_NEAR(a, kPi / 2.0, 1e-12);
  ASSERT_TRUE(circle.GetChordAngle(2.0, a));
  EXPECT_NEAR(a, kPi, 1e-12);
  a = -1.0;
  EXPECT_FALSE(circle.GetChordAngle(3.0, a));
  EXPECT_EQ(a, -1.0);
}

}  // namespace
