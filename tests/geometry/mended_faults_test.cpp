// Inputs on which the straightforward formulas fail: acos/asin of a ratio rounded past 1, a line crossing solved
// by dividing through a near-zero component, and a plane cut reported outside its region.
#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/geometry/geo_test_support.h"

namespace {

// dot / (|a|·|b|) as the angle formula forms it.
double CosineRatio(const CGeoVector& a, const CGeoVector& b) {
  return a.Dot(b) / (a.GetLength(1.0) * b.GetLength(1.0));
}

TEST(GeoParallelAngleTest, VectorAngleIsZeroNotNaN) {
  const CGeoVector a(0.1, 0.1, 0.3);
  const CGeoVector b = a * 2.0;
  ASSERT_GT(CosineRatio(a, b), 1.0);  // the unclamped acos would be NaN
  double angle = -1.0;
  ASSERT_TRUE(a.GetAngle(b, angle));
  EXPECT_EQ(angle, 0.0);
  ASSERT_TRUE(a.GetAngle(b * -1.0, angle));
  EXPECT_NEAR(angle, kPi, 1e-12);
}

TEST(GeoParallelAngleTest, LineAngleIsZeroNotNaN) {
  const CGeoLine a(CGeoVector(0, 0, 0), CGeoVector(0.1, 0.5, 0.3));
  const CGeoLine b(CGeoVector(1, 1, 1), a.GetDirection() * 3.0);
  ASSERT_GT(CosineRatio(a.GetDirection(), b.GetDirection()), 1.0);
  double angle = -1.0;
  ASSERT_TRUE(a.GetAngle(b, angle));
  EXPECT_EQ(angle, 0.0);
}

TEST(GeoParallelAngleTest, LineAlongThePlaneNormalIsAtRightAnglesNotNaN) {
  // For this tilted plane |h| / |dir| of a line along its normal comes out a rounding above 1.
  const CGeoPlane plane(CGeoVector(0, 0, 0), CGeoVector(1, 0.1, 0), CGeoVector(0, 1, 1.1));
  const CGeoVector n = plane.GetAxis1().Cross(plane.GetAxis2());
  const CGeoLine line(CGeoVector(0, 0, 0), n);
  double h = 0.0;
  ASSERT_TRUE(plane.GetDistance(CGeoPoint(n), h));
  ASSERT_GT(std::fabs(h) / n.GetLength(1.0), 1.0);
  double angle = -1.0;
  ASSERT_TRUE(plane.GetAngle(line, angle));
  EXPECT_NEAR(angle, kPi / 2.0, 1e-12);
}

TEST(GeoParallelAngleTest, PlanesWithParallelNormalsFollowTheConventionNotNaN) {
  // Axes (0.1,0,0.6), (0,1,0) and the first axis doubled: the normals are parallel, their cosine rounds above 1.
  const CGeoVector a1(0.1, 0.0, 0.6);
  const CGeoVector a2(0.0, 1.0, 0.0);
  const CGeoPlane p(CGeoVector(0, 0, 0), a1, a2);
  const CGeoPlane q(CGeoVector(1, 1, 1), a1 * 2.0, a2);
  ASSERT_GT(CosineRatio(a1.Cross(a2), (a1 * 2.0).Cross(a2)), 1.0);
  // Parallel normals (angle 0) give −π/2 by the planes' angle convention.
  double angle = 0.0;
  ASSERT_TRUE(p.GetAngle(q, angle));
  EXPECT_EQ(angle, -kPi / 2.0);
}

TEST(GeoParallelAngleTest, ChordOfTheDiameterIsAHalfTurn) {
  const CGeoArc arc(GeoPlaneXY, 0.7, 0, 0);
  double angle = -1.0;
  ASSERT_TRUE(arc.GetChordAngle(1.4000000000000001, angle));
  EXPECT_NEAR(angle, kPi, 1e-12);
}

TEST(GeoLineCrossingDivisionTest, OtherDirectionWithoutAnXComponent) {
  // (0,0,0) + t·(1,0,0) and (2,0,−1) + s·(0,0,1) cross at (2,0,0), t = 2. The other direction has no x
  // component, so x cannot eliminate s; z can: D = a_z/b_z·b_x − a_x = −1, t = (−2 − 1·0)/(−1) = 2.
  const CGeoLine a(CGeoVector(0, 0, 0), CGeoVector(1, 0, 0));
  const CGeoLine b(CGeoVector(2, 0, -1), CGeoVector(0, 0, 1));
  double t = -1.0;
  ASSERT_TRUE(a.IntersectParam(b, t));
  EXPECT_TRUE(std::isfinite(t));
  EXPECT_NEAR(t, 2.0, 1e-12);
  CGeoPoint p;
  ASSERT_TRUE(a.Intersect(b, p));
  EXPECT_TRUE(PointIs(p, 2, 0, 0));
}

TEST(GeoLineCrossingDivisionTest, OtherDirectionAlongYOnly) {
  // (0,0,0) + t·(1,0,1) and (3,−4,3) + s·(0,2,0): only y can eliminate s; x gives t = 3, the crossing (3,0,3).
  const CGeoLine a(CGeoVector(0, 0, 0), CGeoVector(1, 0, 1));
  const CGeoLine b(CGeoVector(3, -4, 3), CGeoVector(0, 2, 0));
  CGeoPoint p;
  ASSERT_TRUE(a.Intersect(b, p));
  EXPECT_TRUE(PointIs(p, 3, 0, 3));
}

TEST(GeoLineCrossingDivisionTest, ShortDirectionWithAllComponentsBelowTheTolerance) {
  // (8e-7, 8e-7, 0) is 1.13e-6 long, so the line is usable, but no component exceeds 1e-6: the parameter
  // comes from the largest component, never from the zero z.
  const CGeoLine l(CGeoVector(1, 1, 1), CGeoVector(8e-7, 8e-7, 0));
  double t = 0.0;
  ASSERT_TRUE(l.GetParam(CGeoPoint(1 + 1.6e-6, 1 + 1.6e-6, 1), t, FALSE));
  EXPECT_NEAR(t, 2.0, 1e-9);
  double f = 0.0;
  ASSERT_TRUE(CGeoVector(8e-7, 8e-7, 0).IsParallel(CGeoPoint(1.6e-6, 1.6e-6, 0), f));
  EXPECT_NEAR(f, 2.0, 1e-9);
}

class GeoRegionCutTest : public ::testing::Test {
 protected:
  // The unit square of the x-y plane.
  const CGeoPlane square_{CGeoVector(0, 0, 0), CGeoVector(1, 0, 0), CGeoVector(0, 1, 0)};
};

TEST_F(GeoRegionCutTest, PlaneMissingTheSquareMeetsOnlyEdgeExtensions) {
  // x = 3 meets the lines of the edges y = 0 and y = 1 at (3,0) and (3,1), both outside the square.
  CGeoLine out(CGeoPoint(9, 9, 9), CGeoPoint(9, 9, 10));
  EXPECT_FALSE(square_.IntersectRegion(CGeoPlane(2, CGeoPoint(3, 0, 0)), out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 9, 9, 9, 0.0));
}

TEST_F(GeoRegionCutTest, DiagonalPlaneMissingTheSquareOnAllFourEdgeLines) {
  // x + y = 3 meets the four edge lines at (3,0), (0,3), (1,2), (2,1): none on the square's edges.
  const CGeoPlane cut(CGeoVector(3, 0, 0), CGeoVector(-1, 1, 0), CGeoVector(0, 0, 1));
  CGeoLine out;
  EXPECT_FALSE(square_.IntersectRegion(cut, out));
}

TEST_F(GeoRegionCutTest, CutThroughTwoCornersIsTheDiagonal) {
  // x = y passes the corners (0,0) and (1,1), each met by two edges.
  const CGeoPlane cut(CGeoVector(0, 0, 0), CGeoVector(1, 1, 0), CGeoVector(0, 0, 1));
  CGeoLine out;
  ASSERT_TRUE(square_.IntersectRegion(cut, out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 0, 0, 0));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 1, 1, 0));
}

TEST_F(GeoRegionCutTest, CutThroughOneCornerAndAnEdge) {
  // y = x/2 passes (0,0) (two edges) and (1,0.5) on the edge x = 1; the edge line y = 1 is met at (2,1), outside.
  const CGeoPlane cut(CGeoVector(0, 0, 0), CGeoVector(2, 1, 0), CGeoVector(0, 0, 1));
  CGeoLine out;
  ASSERT_TRUE(square_.IntersectRegion(cut, out));
  EXPECT_TRUE(PointIs(out.GetStartPoint(), 0, 0, 0));
  EXPECT_TRUE(PointIs(out.GetEndPoint(), 1, 0.5, 0));
}

TEST_F(GeoRegionCutTest, TouchingOneCornerIsNoSegment) {
  // x + y = 0 touches the square only at (0,0).
  const CGeoPlane cut(CGeoVector(0, 0, 0), CGeoVector(1, -1, 0), CGeoVector(0, 0, 1));
  CGeoLine out;
  EXPECT_FALSE(square_.IntersectRegion(cut, out));
}

TEST(GeoBadStreamTest, PolygonCountBeyondTheDataOrNegative) {
  // Plane x-y, count 1e9, then one vertex: refused, nothing changed, nothing the size of the count allocated.
  std::vector<unsigned char> bytes;
  auto put = [&bytes](std::uint64_t bits, int n) {
    for (int i = 0; i < n; ++i) bytes.push_back(static_cast<unsigned char>(bits >> (8 * i)));
  };
  for (std::uint64_t bits : {0ULL, 0ULL, 0ULL, 0x3FF0000000000000ULL, 0ULL, 0ULL, 0ULL, 0x3FF0000000000000ULL, 0ULL})
    put(bits, 8);
  const std::size_t countAt = bytes.size();
  put(1000000000ULL, 4);
  for (int i = 0; i < 4; ++i) put(0ULL, 8);

  CGeoPolygon p(GeoPlaneYZ);
  CGeoVertex v(5, 5, 5, 0);
  p.m_vertices.Add(v);
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::rewind(f);
  EXPECT_FALSE(p.ReadFile(f));
  EXPECT_EQ(p.m_vertices.GetSize(), 1);
  EXPECT_TRUE(PointIs(p.GetAxis1(), 0, 1, 0, 0.0));

  // Count −1.
  for (int i = 0; i < 4; ++i) bytes[countAt + i] = 0xFF;
  std::rewind(f);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::rewind(f);
  EXPECT_FALSE(p.ReadFile(f));
  EXPECT_EQ(p.m_vertices.GetSize(), 1);
  std::fclose(f);
}

}  // namespace
