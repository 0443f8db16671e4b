#include <cmath>
#include <vector>

#include "tests/geometry/geo_test_support.h"

namespace {

TEST(GeoStandardPlaneTest, XyIsTheIdentity) {
  CGeoPoint out;
  ASSERT_TRUE(GeoPlaneXY.LocalToGlobal(CGeoPoint(1.5, -2, 3), out));
  EXPECT_TRUE(PointIs(out, 1.5, -2, 3, 0.0));
  ASSERT_TRUE(GeoPlaneXY.GlobalToLocal(CGeoPoint(1.5, -2, 3), out));
  EXPECT_TRUE(PointIs(out, 1.5, -2, 3, 0.0));
  EXPECT_EQ(GeoPlaneXY.GetType(), GEO_PLANE);
}

TEST(GeoStandardPlaneTest, ZxAndYzFrames) {
  CGeoVector x, y, z;
  GeoPlaneZX.GetLocalAxes(x, y, z);
  EXPECT_TRUE(PointIs(z, 0, 1, 0));
  EXPECT_TRUE(PointIs(y, 1, 0, 0));
  GeoPlaneYZ.GetLocalAxes(x, y, z);
  EXPECT_TRUE(PointIs(z, 1, 0, 0));
  double d = 0.0;
  ASSERT_TRUE(GeoPlaneYZ.GetDistance(CGeoPoint(4, 1, 1), d));
  EXPECT_NEAR(d, 4.0, kExact);
  EXPECT_TRUE(GeoPlaneNull.IsDegenerate());
  EXPECT_FALSE(GeoPlaneXY.IsDegenerate());
  EXPECT_TRUE(GeoLineNull.IsDegenerate());
}

TEST(GeoPlaneCoordinatesTest, RawAxesAndLocalFrame) {
  // Axes (2,0,0) and (0,3,0): local frame is the global one, the parameters run along the raw axes.
  const CGeoPlane plane(CGeoPoint(0, 0, 0), CGeoPoint(2, 0, 0), CGeoPoint(0, 3, 0));
  CGeoPoint g;
  ASSERT_TRUE(plane.LocalToGlobal(CGeoPoint(1, 1, 0), g));
  EXPECT_TRUE(PointIs(g, 1, 1, 0));
  EXPECT_TRUE(PointIs(plane.PointAt(1, 1), 2, 3, 0));
  double u = 0, v = 0;
  ASSERT_TRUE(plane.GetParameters(CGeoPoint(2, 3, 0), u, v));
  EXPECT_NEAR(u, 1.0, kExact);
  EXPECT_NEAR(v, 1.0, kExact);
  ASSERT_TRUE(plane.GetParameters(CGeoPoint(-1, 1.5, 0), u, v));
  EXPECT_NEAR(u, -0.5, kExact);
  EXPECT_NEAR(v, 0.5, kExact);
  EXPECT_FALSE(plane.GetParameters(CGeoPoint(2, 3, 1), u, v));
}

TEST(GeoPlaneCoordinatesTest, SkewAxesKeepLocalYInThePlane) {
  const CGeoPlane plane(CGeoVector(0, 0, 0), CGeoVector(1, 0, 0), CGeoVector(1, 1, 0));
  CGeoVector x, y, z;
  plane.GetLocalAxes(x, y, z);
  EXPECT_TRUE(PointIs(y, 0, 1, 0));
  double d = 0.0;
  ASSERT_TRUE(plane.GetDistance(CGeoPoint(0, 0, 5), d));
  EXPECT_NEAR(d, 5.0, kExact);
  ASSERT_TRUE(plane.GetDistance(CGeoPoint(0, 0, -5), d));
  EXPECT_NEAR(d, -5.0, kExact);
}

TEST(GeoPlaneCoordinatesTest, TiltedPlaneRoundTrip) {
  // Origin (1,2,3), axes (0,0,2) and (0,3,0): local x = (0,0,1), normal (0,0,2)×(0,3,0) = (−6,0,0) → local z =
  // (−1,0,0), local y = n × axis1 = (0,12,0) → (0,1,0). So local (a,b,c) is global (1 − c, 2 + b, 3 + a).
  const CGeoPlane plane(CGeoVector(1, 2, 3), CGeoVector(0, 0, 2), CGeoVector(0, 3, 0));
  CGeoPoint g, l;
  ASSERT_TRUE(plane.LocalToGlobal(CGeoPoint(1, 2, 3), g));
  EXPECT_TRUE(PointIs(g, -2, 4, 4));
  ASSERT_TRUE(plane.GlobalToLocal(g, l));
  EXPECT_TRUE(PointIs(l, 1, 2, 3));
  CGeoPoint inPlace(-2, 4, 4);
  ASSERT_TRUE(plane.GlobalToLocal(inPlace));
  EXPECT_TRUE(PointIs(inPlace, 1, 2, 3));
  double d = 0.0;
  ASSERT_TRUE(plane.GetDistance(CGeoPoint(0, 0, 0), d));  // x = 1 − c = 0 → c = 1
  EXPECT_NEAR(d, 1.0, kExact);
}

TEST(GeoPlaneCoordinatesTest, DegeneratePlanesRefuseEverything) {
  const CGeoPlane parallel(CGeoVector(0, 0, 0), CGeoVector(1, 0, 0), CGeoVector(2, 0, 0));
  EXPECT_TRUE(parallel.IsDegenerate());
  CGeoPoint out(9, 9, 9);
  EXPECT_FALSE(parallel.LocalToGlobal(CGeoPoint(1, 1, 1), out));
  EXPECT_FALSE(parallel.GlobalToLocal(CGeoPoint(1, 1, 1), out));
  EXPECT_FALSE(parallel.IntersectLine(CGeoLine(CGeoPoint(0, 0, 1), CGeoPoint(0, 0, -1)), out));
  EXPECT_TRUE(PointIs(out, 9, 9, 9, 0.0));
  double d = 7.0;
  EXPECT_FALSE(parallel.GetDistance(CGeoPoint(0, 0, 1), d));
  EXPECT_FALSE(parallel.GetAngle(GeoPlaneXY, d));
  EXPECT_EQ(d, 7.0);
  CGeoLine line;
  EXPECT_FALSE(parallel.GetNormalAt(0, 0, line));
}

TEST(GeoPlaneIntersectionTest, LineCrossings) {
  CGeoPoint x(9, 9, 9);
  EXPECT_FALSE(GeoPlaneXY.IntersectLine(CGeoLine(CGeoVector(0, 0, 1), CGeoVector(1, 0, 0)), x));
  ASSERT_TRUE(GeoPlaneXY.IntersectLine(CGeoLine(CGeoVector(0, 0, 1), CGeoVector(0, 0, -2)), x));
  EXPECT_TRUE(PointIs(x, 0, 0, 0));
  // (1,1,1) + t·(2,1,−2) reaches z = 0 at t = 0.5, beyond the segment's end would also count.
  ASSERT_TRUE(GeoPlaneXY.IntersectLine(CGeoLine(CGeoPoint(1, 1, 1), CGeoPoint(3, 2, -1)), x));
  EXPECT_TRUE(PointIs(x, 2, 1.5, 0));
  ASSERT_TRUE(GeoPlaneXY.IntersectLine(CGeoLine(CGeoPoint(0, 0, 4), CGeoPoint(0, 1, 3)), x));
  EXPECT_TRUE(PointIs(x, 0, 4, 0));
}

TEST(GeoPlaneIntersectionTest, PlaneWithPlane) {
  // The plane x = 2 cuts the x-y plane along the y direction; the result runs through the x-y plane's origin.
  const CGeoPlane wall(2, CGeoPoint(2, 0, 0));
  CGeoLine out;
  ASSERT_TRUE(GeoPlaneXY.IntersectPlane(wall, out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 0, 0, 0));
  EXPECT_NEAR(out.GetDirection().m_x, 0.0, kExact);
  EXPECT_NEAR(out.GetDirection().m_z, 0.0, kExact);
  EXPECT_GT(std::fabs(out.GetDirection().m_y), 0.5);
  const CGeoPlane lifted(0, CGeoPoint(0, 0, 5));
  EXPECT_FALSE(GeoPlaneXY.IntersectPlane(lifted, out));
}

TEST(GeoPlaneIntersectionTest, PerpendicularAndNormal) {
  CGeoLine out;
  ASSERT_TRUE(GeoPlaneXY.DropPerpendicular(CGeoPoint(3, 4, 5), out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 3, 4, 5));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 3, 4, 0));
  const CGeoPlane plane(CGeoPoint(0, 0, 0), CGeoPoint(2, 0, 0), CGeoPoint(0, 3, 0));
  ASSERT_TRUE(plane.GetNormalAt(1, 1, out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 2, 3, 0));
  EXPECT_TRUE(PointIs(out.GetDirection(), 0, 0, 6));  // axis1 × axis2, not normalised
}

TEST(GeoPlaneMeasureTest, DistanceAndAngleOfLines) {
  double d = -1.0;
  ASSERT_TRUE(GeoPlaneXY.GetDistance(CGeoLine(CGeoPoint(0, 0, 2), CGeoPoint(5, 1, 2)), d));
  EXPECT_NEAR(d, 2.0, kExact);
  ASSERT_TRUE(GeoPlaneXY.GetDistance(CGeoLine(CGeoPoint(0, 0, 2), CGeoPoint(5, 1, 3)), d));
  EXPECT_EQ(d, 0.0);
  double a = -1.0;
  ASSERT_TRUE(GeoPlaneXY.GetAngle(CGeoLine(CGeoPoint(1, 1, 1), CGeoPoint(1, 1, 3)), a));
  EXPECT_NEAR(a, kPi / 2.0, 1e-12);
  ASSERT_TRUE(GeoPlaneXY.GetAngle(CGeoLine(CGeoPoint(0, 0, 0), CGeoPoint(4, 0, 0)), a));
  EXPECT_EQ(a, 0.0);
  ASSERT_TRUE(GeoPlaneXY.GetAngle(CGeoLine(CGeoPoint(0, 0, 1), CGeoPoint(1, 0, 0)), a));
  EXPECT_NEAR(a, kPi / 4.0, 1e-12);
  EXPECT_FALSE(GeoPlaneXY.GetAngle(GeoLineNull, a));
}

TEST(GeoPlaneMeasureTest, AngleBetweenPlanesFollowsItsConvention) {
  // Normals at angle a give a − π/2 for a ≥ π/2 + 1e-6, else a + π/2 (a > 0) or −π/2 (a = 0).
  double a = 0.0;
  ASSERT_TRUE(GeoPlaneXY.GetAngle(GeoPlaneXY, a));
  EXPECT_NEAR(a, -kPi / 2.0, 1e-12);
  ASSERT_TRUE(GeoPlaneXY.GetAngle(GeoPlaneZX, a));  // normals at π/2
  EXPECT_NEAR(a, kPi, 1e-12);
  CGeoPlane tilted(0, CGeoPoint(0, 0, 0));
  tilted.Rotate(2.0 * kPi / 3.0, 0, 0);  // normal turned by 2π/3 about x
  ASSERT_TRUE(GeoPlaneXY.GetAngle(tilted, a));
  EXPECT_NEAR(a, kPi / 6.0, 1e-9);
  const CGeoPlane flipped(CGeoVector(0, 0, 0), CGeoVector(0, 1, 0), CGeoVector(1, 0, 0));  // normal −z
  ASSERT_TRUE(GeoPlaneXY.GetAngle(flipped, a));
  EXPECT_NEAR(a, kPi / 2.0, 1e-12);
}

TEST(GeoPlaneProjectionTest, ProjectLine) {
  CGeoLine out;
  EXPECT_FALSE(GeoPlaneXY.ProjectLine(CGeoLine(CGeoPoint(1, 1, 0), CGeoPoint(1, 1, 4)), out));
  ASSERT_TRUE(GeoPlaneXY.ProjectLine(CGeoLine(CGeoPoint(1, 2, 3), CGeoPoint(4, 6, 8)), out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 1, 2, 0));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 4, 6, 0));
}

TEST(GeoPlaneProjectionTest, ProjectLinesMergesTouchingLines) {
  CArray<CGeoLine, CGeoLine&> lines;
  CGeoLine a(CGeoPoint(0, 0, 1), CGeoPoint(1, 0, 1));  // → (0,0,0)-(1,0,0)
  CGeoLine b(CGeoPoint(1, 0, 2), CGeoPoint(2, 0, 2));  // → (1,0,0)-(2,0,0), touches a
  CGeoLine c(CGeoPoint(5, 0, 0), CGeoPoint(6, 0, 0));  // collinear but 3 away: stays apart
  CGeoLine d(CGeoPoint(0, 0, 0), CGeoPoint(0, 0, 3));  // perpendicular: cannot be projected, stays
  lines.Add(a);
  lines.Add(b);
  lines.Add(c);
  lines.Add(d);
  ASSERT_TRUE(GeoPlaneXY.ProjectLines(lines));
  ASSERT_EQ(lines.GetSize(), 3);
  EXPECT_TRUE(PointIs(lines[0].GetStartPoint(), 0, 0, 0));
  EXPECT_TRUE(PointIs(lines[0].GetEndPoint(), 2, 0, 0));
  EXPECT_TRUE(PointIs(lines[1].GetStartPoint(), 5, 0, 0));
  EXPECT_TRUE(PointIs(lines[2].GetEndPoint(), 0, 0, 3));
  EXPECT_FALSE(GeoPlaneNull.ProjectLines(lines));
}

TEST(GeoPlaneMotionTest, ScaleTranslateRotateAndTransform) {
  CGeoPlane plane(CGeoVector(1, 0, 0), CGeoVector(1, 0, 0), CGeoVector(0, 1, 0));
  plane.Scale(2, 2, 2);
  EXPECT_TRUE(PointIs(plane.GetOrigin(), 2, 0, 0));
  EXPECT_TRUE(PointIs(plane.GetAxis1(), 2, 0, 0));
  plane.Translate(1, 2, 3);
  EXPECT_TRUE(PointIs(plane.GetOrigin(), 3, 2, 3));
  EXPECT_TRUE(PointIs(plane.GetAxis1(), 2, 0, 0));
  // A quarter turn about z: (1,0,0) → (0,1,0); the axes (1,0,0), (0,1,0) → (0,1,0), (−1,0,0).
  CGeoPlane xy(0, CGeoPoint(1, 0, 0));
  xy.Rotate(0, 0, kPi / 2.0);
  EXPECT_TRUE(PointIs(xy.GetOrigin(), 0, 1, 0));
  EXPECT_TRUE(PointIs(xy.GetAxis1(), 0, 1, 0));
  EXPECT_TRUE(PointIs(xy.GetAxis2(), -1, 0, 0));
  CGeoMatrix m;
  m.Translate(0, 0, -1);
  ASSERT_TRUE(xy.Transform(m));
  EXPECT_TRUE(PointIs(xy.GetOrigin(), 0, 1, -1));
  // The matrices follow the move: local (1,0,0) is one unit along the new axis1.
  CGeoPoint g;
  ASSERT_TRUE(xy.LocalToGlobal(CGeoPoint(1, 0, 0), g));
  EXPECT_TRUE(PointIs(g, 0, 2, -1));
}

TEST(GeoPlaneRegionTest, EdgesInOrder) {
  const CGeoPlane plane(CGeoVector(1, 1, 0), CGeoVector(2, 0, 0), CGeoVector(0, 3, 0));
  std::vector<CGeoLine> edges(7);
  ASSERT_TRUE(plane.GetEdges(edges));
  ASSERT_EQ(edges.size(), 4u);
  EXPECT_TRUE(PointIs(edges[0].GetEndPoint(), 3, 1, 0));
  EXPECT_TRUE(PointIs(edges[1].GetEndPoint(), 1, 4, 0));
  EXPECT_TRUE(PointIs(edges[2].GetStartPoint(), 3, 1, 0));
  EXPECT_TRUE(PointIs(edges[3].GetEndPoint(), 3, 4, 0));
}

TEST(GeoPlaneRegionTest, CutThroughTheParallelogram) {
  // The unit square of the x-y plane cut by the plane x = 0.5: the edges y = 0 and y = 1 are met.
  const CGeoPlane square(CGeoVector(0, 0, 0), CGeoVector(1, 0, 0), CGeoVector(0, 1, 0));
  CGeoLine out;
  ASSERT_TRUE(square.IntersectRegion(CGeoPlane(2, CGeoPoint(0.5, 0, 0)), out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 0.5, 0, 0));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 0.5, 1, 0));
}

TEST(GeoPlaneSideTest, SameSide) {
  EXPECT_TRUE(GeoPlaneXY.IsSameSide(CGeoPoint(0, 0, 1), CGeoPoint(0, 0, 2)));
  EXPECT_FALSE(GeoPlaneXY.IsSameSide(CGeoPoint(0, 0, 1), CGeoPoint(0, 0, -1)));
  EXPECT_TRUE(GeoPlaneXY.IsSameSide(CGeoPoint(1, 1, 1), CGeoPoint(2, 2, 2)));  // meets the plane outside
  EXPECT_TRUE(GeoPlaneXY.IsSameSide(CGeoPoint(0, 0, 1), CGeoPoint(1, 0, 1)));  // parallel
}

}  // namespace
