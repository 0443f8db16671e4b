#include <cmath>

#include "tests/geometry/geo_test_support.h"

namespace {

TEST(GeoPointTest, EqualityAllowsExactlyTheTolerance) {
  EXPECT_TRUE(CGeoPoint(0, 0, 0) == CGeoPoint(1e-6, 0, 0));
  EXPECT_TRUE(CGeoPoint(0, 0, 0) != CGeoPoint(1.000001e-6, 0, 0));
  EXPECT_TRUE(CGeoPoint(1, 2, 3) != CGeoPoint(1, 2, 3.1));
  EXPECT_TRUE(CGeoVertex(1, 2, 3, 0.5) == CGeoVertex(1, 2, 3, 0.5 + 1e-7));
  EXPECT_TRUE(CGeoVertex(1, 2, 3, 0.5) != CGeoVertex(1, 2, 3, 0.6));
}

TEST(GeoPointTest, TypeCodesFollowTheConstructedClass) {
  EXPECT_EQ(CGeoObject().GetType(), GEO_OBJECT);
  EXPECT_EQ(CGeoPoint().GetType(), GEO_POINT);
  EXPECT_EQ(CGeoVertex().GetType(), GEO_VERTEX);
  EXPECT_EQ(CGeoVector().GetType(), GEO_VECTOR);
  CGeoPoint p;
  p = CGeoVector(1, 2, 3);
  EXPECT_EQ(p.GetType(), GEO_POINT);
  EXPECT_TRUE(PointIs(p, 1, 2, 3, 0.0));
  const CGeoVector v(p);
  EXPECT_EQ(v.GetType(), GEO_VECTOR);
}

TEST(GeoPointTest, DeterminantIsTheTripleProduct) {
  EXPECT_DOUBLE_EQ(CGeoPoint::Determinant({1, 0, 0}, {0, 1, 0}, {0, 0, 1}), 1.0);
  // det [[1,2,3],[4,5,6],[7,8,10]] = 1·(50−48) − 2·(40−42) + 3·(32−35) = −3.
  EXPECT_DOUBLE_EQ(CGeoPoint::Determinant({1, 2, 3}, {4, 5, 6}, {7, 8, 10}), -3.0);
}

TEST(GeoPointTest, SortByCoordinateAscending) {
  CGeoPoint pts[] = {{3, 0, 9}, {1, 1, 8}, {2, 2, 7}, {1, 3, 6}};
  CGeoPoint::SortByCoordinate(pts, 4, 0);
  EXPECT_EQ(pts[0].m_x, 1.0);
  EXPECT_EQ(pts[1].m_x, 1.0);
  EXPECT_TRUE(PointIs(pts[2], 2, 2, 7, 0.0));  // whole points move
  EXPECT_TRUE(PointIs(pts[3], 3, 0, 9, 0.0));
  CGeoPoint::SortByCoordinate(pts, 4, 7);  // any other axis code sorts by z
  EXPECT_EQ(pts[0].m_z, 6.0);
  EXPECT_EQ(pts[3].m_z, 9.0);
  CGeoPoint::SortByCoordinate(pts, 4, 1);
  EXPECT_EQ(pts[0].m_y, 0.0);
  EXPECT_EQ(pts[3].m_y, 3.0);
}

TEST(GeoPointTest, DimetricProjection) {
  // x'' = x·cos α − 0.7·z'·cos β, y'' = y' + x·sin α + 0.7·z'·sin β with y' = z, z' = −y, α = −7°, β = −42°.
  const double d = kPi / 180.0;
  EXPECT_TRUE(PointIs(CGeoPoint(0, 0, 0).ProjectDimetric(), 0, 0, 0));
  EXPECT_TRUE(PointIs(CGeoPoint(1, 0, 0).ProjectDimetric(), std::cos(7 * d), -std::sin(7 * d), 0));
  EXPECT_TRUE(PointIs(CGeoPoint(0, 0, 1).ProjectDimetric(), 0, 1, 0));
  EXPECT_TRUE(PointIs(CGeoPoint(0, 1, 0).ProjectDimetric(), 0.7 * std::cos(42 * d), 0.7 * std::sin(42 * d), 0));
}

TEST(GeoPointTest, RotationAboutThePlaneNormalThroughItsOrigin) {
  CGeoPoint p(1, 0, 0);
  ASSERT_TRUE(p.Rotate(kPi / 2.0, GeoPlaneXY));
  EXPECT_TRUE(PointIs(p, 0, 1, 0));
  // About (1,1,0): (2,1,0) is one unit along x from it and turns to one unit along y.
  const CGeoPlane shifted(0, CGeoPoint(1, 1, 0));
  CGeoPoint q(2, 1, 3);
  ASSERT_TRUE(q.Rotate(kPi / 2.0, shifted));
  EXPECT_TRUE(PointIs(q, 1, 2, 3));
  // In the z-x plane the normal is y: z → x.
  CGeoPoint r(0, 5, 1);
  ASSERT_TRUE(r.Rotate(kPi / 2.0, GeoPlaneZX));
  EXPECT_TRUE(PointIs(r, 1, 5, 0));
  CGeoPoint s(2, 0, 0);
  s.RotateAbout(CGeoPoint(1, 0, 0), kPi, GeoPlaneXY);
  EXPECT_TRUE(PointIs(s, 0, 0, 0));
  CGeoPoint unchanged(4, 4, 4);
  EXPECT_FALSE(unchanged.Rotate(1.0, GeoPlaneNull));
  EXPECT_TRUE(PointIs(unchanged, 4, 4, 4, 0.0));
}

TEST(GeoPointTest, OnSegment) {
  const CGeoPoint a(0, 0, 0), b(1, 0, 0);
  EXPECT_TRUE(CGeoPoint(0.5, 0, 0).IsOnSegment(a, b));
  EXPECT_TRUE(CGeoPoint(0.5, 1e-7, 0).IsOnSegment(a, b));
  EXPECT_TRUE(CGeoPoint(1, 0, 0).IsOnSegment(a, b));
  EXPECT_FALSE(CGeoPoint(1.5, 0, 0).IsOnSegment(a, b));
  EXPECT_FALSE(CGeoPoint(0.5, 0.1, 0).IsOnSegment(a, b));
  EXPECT_TRUE(CGeoPoint(0.25, 0.25, 0.25).IsOnSegment(CGeoVector(0, 0, 0), CGeoVector(1, 1, 1)));
  EXPECT_TRUE(CGeoPoint(2, 3, 0).IsOnSegment(CGeoLine(CGeoPoint(2, 0, 0), CGeoPoint(2, 4, 0))));
}

TEST(GeoVectorTest, SetLength) {
  CGeoVector v(3, 4, 0);
  ASSERT_TRUE(v.SetLength(10.0));
  EXPECT_TRUE(PointIs(v, 6, 8, 0));
  EXPECT_FALSE(v.SetLength(1e-6));
  EXPECT_TRUE(PointIs(v, 6, 8, 0));
  CGeoVector tiny(0, 0, 1e-7);
  EXPECT_FALSE(tiny.SetLength(1.0));
  EXPECT_EQ(tiny.m_z, 1e-7);
}

TEST(GeoVectorTest, AngleBetweenDirections) {
  double a = -1.0;
  ASSERT_TRUE(CGeoVector(1, 0, 0).GetAngle(CGeoVector(1, 1, 0), a));
  EXPECT_NEAR(a, kPi / 4.0, 1e-12);
  ASSERT_TRUE(CGeoVector(1, 0, 0).GetAngle(CGeoVector(-2, 0, 0), a));
  EXPECT_NEAR(a, kPi, 1e-12);
  EXPECT_FALSE(CGeoVector(1, 0, 0).GetAngle(CGeoVector(0, 0, 1e-7), a));
}

struct PlaneAngleCase {
  CGeoVector v;
  double expected;
};

class GeoAngleInPlaneTest : public ::testing::TestWithParam<PlaneAngleCase> {};

TEST_P(GeoAngleInPlaneTest, CounterClockwiseFromLocalX) {
  double a = -1.0;
  ASSERT_TRUE(GetParam().v.GetAngleInPlane(a, GeoPlaneXY));
  EXPECT_NEAR(a, GetParam().expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Directions, GeoAngleInPlaneTest,
                         ::testing::Values(PlaneAngleCase{{1, 0, 0}, 0.0}, PlaneAngleCase{{0, 1, 0}, kPi / 2.0},
                                           PlaneAngleCase{{-1, 0, 0}, kPi}, PlaneAngleCase{{0, -1, 0}, 3 * kPi / 2.0},
                                           PlaneAngleCase{{1, -1, 0}, 7 * kPi / 4.0},
                                           PlaneAngleCase{{1, 1, 5}, kPi / 4.0},
                                           PlaneAngleCase{{-1, 1, 0}, 3 * kPi / 4.0},
                                           PlaneAngleCase{{-1, -1, 0}, 5 * kPi / 4.0}));

TEST(GeoVectorTest, AngleInPlaneIsADirectionMeasure) {
  double a = -1.0;
  EXPECT_FALSE(CGeoVector(0, 0, 1).GetAngleInPlane(a, GeoPlaneXY));
  EXPECT_EQ(a, -1.0);
  // A plane away from the origin measures the same directions.
  const CGeoPlane far(0, CGeoPoint(5, 5, 5));
  ASSERT_TRUE(CGeoVector(0, 1, 0).GetAngleInPlane(a, far));
  EXPECT_NEAR(a, kPi / 2.0, 1e-12);
  // In the z-x plane local x is global z and local y global x.
  ASSERT_TRUE(CGeoVector(1, 0, 0).GetAngleInPlane(a, GeoPlaneZX));
  EXPECT_NEAR(a, kPi / 2.0, 1e-12);
  EXPECT_FALSE(CGeoVector(1, 0, 0).GetAngleInPlane(a, GeoPlaneNull));
}

TEST(GeoVectorTest, Parallel) {
  double t = 0.0;
  EXPECT_TRUE(CGeoVector(1, 2, 3).IsParallel(CGeoPoint(2, 4, 6), t));
  EXPECT_DOUBLE_EQ(t, 2.0);
  EXPECT_FALSE(CGeoVector(1, 2, 3).IsParallel(CGeoPoint(2, 4, 7), t));
  t = -5.0;
  EXPECT_FALSE(CGeoVector(0, 0, 0).IsParallel(CGeoPoint(1, 1, 1), t));
  EXPECT_EQ(t, -5.0);
  // x is zero, y lies within the tolerance: the factor comes from z.
  EXPECT_TRUE(CGeoVector(0, 1e-7, 2).IsParallel(CGeoPoint(0, 0, 4), t));
  EXPECT_DOUBLE_EQ(t, 2.0);
  // With a caller's tolerance the difference must stay strictly below it: 2·(1,2,3) − (2,4,6.5) = (0,0,−0.5).
  EXPECT_TRUE(CGeoVector(1, 2, 3).IsParallel(CGeoPoint(2, 4, 6.5), t, 0.6));
  EXPECT_FALSE(CGeoVector(1, 2, 3).IsParallel(CGeoPoint(2, 4, 6.5), t, 0.5));
}

TEST(GeoVectorTest, AxisParallel) {
  EXPECT_TRUE(CGeoVector(0, 0, 5).IsAxisParallel());
  EXPECT_TRUE(CGeoVector(0, 0, 0).IsAxisParallel());
  EXPECT_FALSE(CGeoVector(1, 1, 0).IsAxisParallel());
}

TEST(GeoVectorTest, SideOfAnotherDirection) {
  const CGeoVector x(1, 0, 0);
  int side = -1;
  ASSERT_TRUE(x.GetSide(CGeoVector(0, 1, 0), side, GeoPlaneXY));
  EXPECT_EQ(side, 0);
  ASSERT_TRUE(x.GetSide(CGeoVector(0, -1, 0), side, GeoPlaneXY));
  EXPECT_EQ(side, 2);
  ASSERT_TRUE(x.GetSide(CGeoVector(-1, 0, 0), side, GeoPlaneXY));  // exactly a half turn
  EXPECT_EQ(side, 0);
  EXPECT_FALSE(x.GetSide(CGeoVector(0, 0, 1), side, GeoPlaneXY));
}

TEST(GeoVectorTest, PerpendicularInAPlane) {
  CGeoVector out;
  ASSERT_TRUE(CGeoVector(2, 0, 0).GetPerpendicular(out, 3.0, GeoPlaneXY));
  EXPECT_TRUE(PointIs(out, 0, 3, 0));
  EXPECT_EQ(out.GetType(), GEO_VECTOR);
  ASSERT_TRUE(CGeoVector(2, 0, 0).GetPerpendicular(out, -3.0, GeoPlaneXY));
  EXPECT_TRUE(PointIs(out, 0, -3, 0));
  EXPECT_FALSE(CGeoVector(2, 0, 0).GetPerpendicular(out, 1e-7, GeoPlaneXY));
  // A plane away from the origin turns directions the same way.
  ASSERT_TRUE(CGeoVector(2, 0, 0).GetPerpendicular(out, 1.0, CGeoPlane(0, CGeoPoint(7, -3, 2))));
  EXPECT_TRUE(PointIs(out, 0, 1, 0));
}

}  // namespace
