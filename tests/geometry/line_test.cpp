#include <cmath>

#include "tests/geometry/geo_test_support.h"

namespace {

CGeoLine Seg(double x0, double y0, double z0, double x1, double y1, double z1) {
  return CGeoLine(CGeoPoint(x0, y0, z0), CGeoPoint(x1, y1, z1));
}

struct CrossingCase {
  CGeoLine a, b;
  double t;        // parameter on a
  double x, y, z;  // the crossing
};

class GeoLineCrossingTest : public ::testing::TestWithParam<CrossingCase> {};

TEST_P(GeoLineCrossingTest, MeetAtTheWorkedPoint) {
  const CrossingCase& c = GetParam();
  double t = -99.0;
  ASSERT_TRUE(c.a.IntersectParam(c.b, t));
  EXPECT_NEAR(t, c.t, 1e-12);
  CGeoPoint p;
  ASSERT_TRUE(c.a.Intersect(c.b, p));
  EXPECT_TRUE(PointIs(p, c.x, c.y, c.z));
  ASSERT_TRUE(c.b.Intersect(c.a, p));
  EXPECT_TRUE(PointIs(p, c.x, c.y, c.z));
}

// Diagonals of the square (0,0)–(2,2) meet at its middle, halfway along a.
// (1,2,3) + t·(1,0,0) and (3,0,3) + s·(0,1,0) meet at (3,2,3), t = 2.
// (0,0,5) + t·(0,2,0) and (0,1,0) + s·(0,0,1) meet at (0,1,5), t = 0.5: only y and z can be used.
// (0,0,0) + t·(1,1,1) and (2,2,0) + s·(0,0,1): (2,2,2), t = 2.
INSTANTIATE_TEST_SUITE_P(Worked, GeoLineCrossingTest,
                         ::testing::Values(CrossingCase{Seg(0, 0, 0, 2, 2, 0), Seg(0, 2, 0, 2, 0, 0), 0.5, 1, 1, 0},
                                           CrossingCase{Seg(1, 2, 3, 2, 2, 3), Seg(3, 0, 3, 3, 1, 3), 2, 3, 2, 3},
                                           CrossingCase{Seg(0, 0, 5, 0, 2, 5), Seg(0, 1, 0, 0, 1, 1), 0.5, 0, 1, 5},
                                           CrossingCase{Seg(0, 0, 0, 1, 1, 1), Seg(2, 2, 0, 2, 2, 1), 2, 2, 2, 2}));

TEST(GeoLineCrossingTest, ParallelLinesHaveNoCrossingButADistance) {
  const CGeoLine a = Seg(0, 0, 0, 1, 0, 0);
  const CGeoLine b(CGeoVector(0, 3, 4), CGeoVector(2, 0, 0));
  double t = 0.0, d = -1.0;
  CGeoPoint p;
  EXPECT_FALSE(a.IntersectParam(b, t));
  EXPECT_FALSE(a.Intersect(b, p));
  ASSERT_TRUE(a.GetDistance(b, d));
  EXPECT_NEAR(d, 5.0, 1e-12);  // √(3² + 4²)
  ASSERT_TRUE(a.GetDistance(Seg(4, 0, 0, 7, 0, 0), d));
  EXPECT_EQ(d, 0.0);
}

TEST(GeoLineCrossingTest, SkewLinesSolveTwoEquationsOnly) {
  // The x axis and the line through (0,0,1) along y pass each other at distance 1.
  const CGeoLine a = Seg(0, 0, 0, 1, 0, 0);
  const CGeoLine b = Seg(0, 0, 1, 0, 1, 1);
  double t = -1.0;
  CGeoPoint p;
  EXPECT_TRUE(a.IntersectParam(b, t));
  EXPECT_FALSE(a.Intersect(b, p));
  // (a × b)·(A − B) / |a × b| = (0,0,1)·(0,0,−1) = −1; with b one unit below: +1.
  double d = 0.0;
  ASSERT_TRUE(a.GetDistance(b, d));
  EXPECT_NEAR(d, -1.0, 1e-12);
  ASSERT_TRUE(a.GetDistance(Seg(0, 0, -1, 0, 1, -1), d));
  EXPECT_NEAR(d, 1.0, 1e-12);
  EXPECT_FALSE(a.GetDistance(GeoLineNull, d));
}

TEST(GeoLineCrossingTest, ToleranceAndSegmentForms) {
  // (0,0,0)→(2,2,0) against the line through (0,2,1e-4)→(2,0,1e-4): off by 1e-4 in z.
  const CGeoLine a = Seg(0, 0, 0, 2, 2, 0);
  const CGeoLine b = Seg(0, 2, 1e-4, 2, 0, 1e-4);
  CGeoPoint p;
  EXPECT_FALSE(a.Intersect(b, p));
  ASSERT_TRUE(a.IntersectTol(b, p, 1e-3));
  EXPECT_TRUE(PointIs(p, 1, 1, 0));
  EXPECT_FALSE(a.IntersectTol(b, p, 1e-4));
  EXPECT_TRUE(a.IntersectsSegment(Seg(0, 2, 0, 2, 0, 0)));
  EXPECT_FALSE(a.IntersectsSegment(Seg(0, 2, 0, 0.5, 1.5, 0)));  // crossing beyond that segment
}

TEST(GeoLineParamTest, SegmentRestrictionStoresTheParameterAnyway) {
  const CGeoLine l = Seg(0, 0, 0, 2, 0, 0);
  double t = 0.0;
  EXPECT_TRUE(l.GetParam(CGeoPoint(-2e-7, 0, 0), t, TRUE));
  EXPECT_NEAR(t, -1e-7, 1e-15);
  EXPECT_FALSE(l.GetParam(CGeoPoint(3, 0, 0), t, TRUE));
  EXPECT_DOUBLE_EQ(t, 1.5);
  EXPECT_TRUE(l.GetParam(CGeoPoint(3, 0, 0), t, FALSE));
  EXPECT_FALSE(l.GetParam(CGeoPoint(1, 0.1, 0), t, FALSE));
  EXPECT_FALSE(GeoLineNull.GetParam(CGeoPoint(0, 0, 0), t, FALSE));
}

TEST(GeoLineProjectionTest, FootDistanceAndPerpendicular) {
  const CGeoLine l = Seg(0, 0, 0, 10, 0, 0);
  double t = 0.0, d = 0.0;
  ASSERT_TRUE(l.Project(CGeoPoint(3, 4, 0), t, &d));
  EXPECT_NEAR(t, 0.3, 1e-12);
  EXPECT_NEAR(d, 4.0, 1e-12);
  CGeoPoint foot;
  ASSERT_TRUE(l.ProjectPoint(CGeoPoint(3, 4, 0), foot));
  EXPECT_TRUE(PointIs(foot, 3, 0, 0));
  CGeoLine perpendicular;
  ASSERT_TRUE(l.GetPerpendicular(CGeoPoint(3, 4, 0), perpendicular));
  EXPECT_TRUE(PointIs(perpendicular.GetStartPoint(), 3, 4, 0));
  EXPECT_TRUE(PointIs(perpendicular.GetEndPoint(), 3, 0, 0));
  // A point on the line: no perpendicular, distance 0 and its own parameter.
  EXPECT_FALSE(l.GetPerpendicular(CGeoPoint(7, 0, 0), perpendicular));
  ASSERT_TRUE(l.Project(CGeoPoint(7, 0, 0), t, &d));
  EXPECT_EQ(d, 0.0);
  EXPECT_NEAR(t, 0.7, 1e-12);
  ASSERT_TRUE(l.GetDistanceToPoint(CGeoPoint(3, 4, 0), d));
  EXPECT_NEAR(d, 4.0, 1e-12);
  ASSERT_TRUE(l.GetDistanceToPoint(CGeoPoint(-5, 0, 0), d));
  EXPECT_EQ(d, 0.0);
  int flag = -1;
  ASSERT_TRUE(l.IsNearerToEnd(CGeoPoint(6, 1, 0), flag));
  EXPECT_EQ(flag, 1);
  ASSERT_TRUE(l.IsNearerToEnd(CGeoPoint(4, 1, 0), flag));
  EXPECT_EQ(flag, 0);
}

TEST(GeoLineInPlaneTest, OffsetNormalAndAngles) {
  CGeoLine out;
  ASSERT_TRUE(Seg(0, 0, 0, 1, 0, 0).GetOffset(out, 1.0, GeoPlaneXY));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 0, 1, 0));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 1, 1, 0));
  ASSERT_TRUE(Seg(0, 0, 0, 1, 0, 0).GetOffset(out, -2.0, GeoPlaneXY));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 0, -2, 0));
  ASSERT_TRUE(Seg(0, 0, 0, 2, 0, 0).GetNormalAt(out, 0.5, 3.0, GeoPlaneXY));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 1, 0, 0));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 1, 3, 0));
  EXPECT_FALSE(Seg(0, 0, 0, 0, 0, 1).GetOffset(out, 1.0, GeoPlaneXY));  // no direction in the plane
  double a = 0.0;
  ASSERT_TRUE(Seg(0, 0, 0, 0, -2, 0).GetAngleInPlane(a, GeoPlaneXY));
  EXPECT_NEAR(a, 3.0 * kPi / 2.0, 1e-12);
  ASSERT_TRUE(Seg(0, 0, 0, 1, 0, 0).GetAngle(Seg(5, 5, 5, 6, 6, 5), a));
  EXPECT_NEAR(a, kPi / 4.0, 1e-12);
  EXPECT_TRUE(Seg(0, 0, 0, 1, 0, 0).IsPerpendicularInPlane(Seg(3, 3, 0, 3, 1, 0), GeoPlaneXY));
  EXPECT_FALSE(Seg(0, 0, 0, 1, 0, 0).IsPerpendicularInPlane(Seg(0, 0, 0, 1, 1, 0), GeoPlaneXY));
  EXPECT_TRUE(Seg(0, 0, 0, 1, 0, 0).IsParallelInPlane(Seg(3, 3, 0, 1, 3, 0), GeoPlaneXY));
  EXPECT_FALSE(Seg(0, 0, 0, 1, 0, 0).IsParallelInPlane(Seg(0, 0, 0, 0, 0, 1), GeoPlaneXY));
}

TEST(GeoLineInPlaneTest, AxisPlaneCrossings) {
  // (1,2,3) + t·(1,2,−2): z = 0 at t = 1.5 → (2.5,5,0); y = 0 and x = 0 both at t = −1 → (0,0,5).
  const CGeoLine l = Seg(1, 2, 3, 2, 4, 1);
  CGeoPoint p;
  ASSERT_TRUE(l.IntersectAxisPlane(p, 0));
  EXPECT_TRUE(PointIs(p, 2.5, 5, 0));
  ASSERT_TRUE(l.IntersectAxisPlane(p, 1));
  EXPECT_TRUE(PointIs(p, 0, 0, 5));
  ASSERT_TRUE(l.IntersectAxisPlane(p, 2));
  EXPECT_TRUE(PointIs(p, 0, 0, 5));
  EXPECT_FALSE(Seg(0, 0, 1, 1, 1, 1).IntersectAxisPlane(p, 0));
  EXPECT_FALSE(l.IntersectAxisPlane(p, 3));
}

TEST(GeoLineMergeTest, CoveringSegments) {
  const CGeoLine base = Seg(0, 0, 0, 1, 0, 0);
  CGeoLine out;
  ASSERT_TRUE(base.Merge(Seg(2, 0, 0, 3, 0, 0), &out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 0, 0, 0));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 3, 0, 0));
  ASSERT_TRUE(base.Merge(Seg(0.8, 0, 0, 0.2, 0, 0), &out));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 1, 0, 0));
  ASSERT_TRUE(base.Merge(Seg(3, 0, 0, -1, 0, 0), &out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), -1, 0, 0));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 3, 0, 0));
  EXPECT_FALSE(base.Merge(Seg(0, 1, 0, 1, 1, 0), &out));
  EXPECT_FALSE(base.Merge(Seg(2, 0, 0, 3, 0, 0), nullptr));
}

TEST(GeoLineExtensionTest, PieceUpToThisLine) {
  const CGeoLine wall = Seg(6, -5, 0, 6, 5, 0);
  const CGeoLine beam = Seg(0, 0, 0, 4, 0, 0);  // meets the wall at s = 1.5
  CGeoLine out;
  ASSERT_TRUE(wall.GetExtension(beam, TRUE, out, FALSE));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 4, 0, 0));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 6, 0, 0));
  EXPECT_FALSE(wall.GetExtension(beam, FALSE, out, FALSE));
  ASSERT_TRUE(wall.GetExtension(beam.GetReversed(), FALSE, out, FALSE));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 4, 0, 0));
  const CGeoLine shortWall = Seg(6, 1, 0, 6, 5, 0);
  EXPECT_FALSE(shortWall.GetExtension(beam, TRUE, out, TRUE));
  EXPECT_TRUE(shortWall.GetExtension(beam, TRUE, out, FALSE));
  EXPECT_FALSE(Seg(2, -1, 0, 2, 1, 0).GetExtension(beam, TRUE, out, FALSE));  // already reached
}

TEST(GeoLineRotationTest, AboutThePointAtT) {
  CGeoLine l = Seg(1, 0, 0, 3, 0, 0);
  ASSERT_TRUE(l.Rotate(0.5, kPi / 2.0, GeoPlaneXY));
  EXPECT_TRUE(PointIs(l.GetStartPoint(), 2, -1, 0));
  EXPECT_TRUE(PointIs(l.GetEndPoint(), 2, 1, 0));
  // The plane's position does not move the centre of the turn.
  CGeoLine m = Seg(1, 0, 0, 3, 0, 0);
  ASSERT_TRUE(m.Rotate(0.5, kPi / 2.0, CGeoPlane(0, CGeoPoint(10, 10, 0))));
  EXPECT_TRUE(PointIs(m.GetStartPoint(), 2, -1, 0));
  CGeoLine n = Seg(1, 0, 0, 3, 0, 0);
  EXPECT_TRUE(n.Rotate(0.5, 1.0, GeoPlaneNull));
  EXPECT_TRUE(PointIs(n.GetStartPoint(), 1, 0, 0, 0.0));
}

}  // namespace
