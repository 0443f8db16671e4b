#include <cmath>
#include <vector>

#include "tests/geometry/geo_test_support.h"

namespace {

CGeoContour Contour(const std::vector<double>& xy, const CGeoPlane& plane = GeoPlaneXY) {
  std::vector<double> xs, ys;
  for (std::size_t i = 0; i + 1 < xy.size(); i += 2) {
    xs.push_back(xy[i]);
    ys.push_back(xy[i + 1]);
  }
  return CGeoContour(plane, xs.data(), ys.data(), int(xs.size()));
}

const std::vector<double> kSquare = {0, 0, 1, 0, 1, 1, 0, 1};
// L shape: [0,2]×[0,1] (area 2, centroid (1, 0.5)) plus [0,1]×[1,2] (area 1, centroid (0.5, 1.5)).
const std::vector<double> kEll = {0, 0, 2, 0, 2, 1, 1, 1, 1, 2, 0, 2};

TEST(GeoContourTest, UnitSquare) {
  const CGeoContour c = Contour(kSquare);
  EXPECT_EQ(c.GetType(), GEO_CONTOUR);
  EXPECT_TRUE(c.IsValid());
  EXPECT_FALSE(c.IsDegenerate());
  EXPECT_DOUBLE_EQ(c.GetArea(), 1.0);
  EXPECT_TRUE(PointIs(c.GetCenter(), 0.5, 0.5, 0));
  EXPECT_TRUE(PointIs(c.GetLocalPoint(4), 0, 0, 0, 0.0));  // index beyond the count: the first point
}

TEST(GeoContourTest, ClockwiseInputIsTurnedCounterClockwise) {
  const CGeoContour c = Contour({0, 0, 0, 1, 1, 1, 1, 0});
  ASSERT_TRUE(c.IsValid());
  EXPECT_DOUBLE_EQ(c.GetArea(), 1.0);
  EXPECT_TRUE(PointIs(c.GetLocalPoint(0), 1, 0, 0, 0.0));
  EXPECT_TRUE(PointIs(c.GetLocalPoint(1), 1, 1, 0, 0.0));
  EXPECT_TRUE(PointIs(c.GetLocalPoint(2), 0, 1, 0, 0.0));
  EXPECT_TRUE(PointIs(c.GetLocalPoint(3), 0, 0, 0, 0.0));
}

TEST(GeoContourTest, RepeatedPointsAreDropped) {
  const CGeoContour c = Contour({0, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 0});
  EXPECT_TRUE(c.IsValid());
  EXPECT_EQ(c.GetCount(), 4);
}

struct InvalidCase {
  const char* name;
  std::vector<double> xy;
};

class GeoInvalidContourTest : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(GeoInvalidContourTest, IsMarkedInvalid) {
  const CGeoContour c = Contour(GetParam().xy);
  EXPECT_FALSE(c.IsValid());
  EXPECT_TRUE(c.IsDegenerate());
  EXPECT_FALSE(c.ContainsLocal(0.5, 0.25));
}

INSTANTIATE_TEST_SUITE_P(Outlines, GeoInvalidContourTest,
                         ::testing::Values(InvalidCase{"bow tie", {0, 0, 1, 1, 1, 0, 0, 1}},
                                           InvalidCase{"three on a line", {0, 0, 1, 0, 2, 0}},
                                           InvalidCase{"two points", {0, 0, 1, 0}},
                                           InvalidCase{"folded back", {0, 0, 2, 0, 1, 0, 1, 1}},
                                           InvalidCase{"collapses to two", {0, 0, 1, 0, 1, 0, 0, 0}}),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (ch == ' ') ch = '_';
                           return n;
                         });

TEST(GeoContourTest, DegeneratePlaneLeavesItInvalid) {
  const CGeoContour c = Contour(kSquare, GeoPlaneNull);
  EXPECT_FALSE(c.IsValid());
}

TEST(GeoContourTest, CollinearNeighboursAreAllowed) {
  const CGeoContour c = Contour({0, 0, 1, 0, 2, 0, 2, 1, 0, 1});
  EXPECT_TRUE(c.IsValid());
  EXPECT_DOUBLE_EQ(c.GetArea(), 2.0);
}

TEST(GeoContourAreaTest, AreaAndCentroid) {
  const CGeoContour ell = Contour(kEll);
  ASSERT_TRUE(ell.IsValid());
  EXPECT_DOUBLE_EQ(ell.GetArea(), 3.0);
  // (2·(1, 0.5) + 1·(0.5, 1.5)) / 3 = (2.5/3, 2.5/3).
  EXPECT_TRUE(PointIs(ell.GetCenter(), 2.5 / 3.0, 2.5 / 3.0, 0));
  // Right triangle with legs 4 and 3: area 6, centroid at a third of each leg.
  const CGeoContour tri = Contour({0, 0, 4, 0, 0, 3});
  EXPECT_DOUBLE_EQ(tri.GetArea(), 6.0);
  EXPECT_TRUE(PointIs(tri.GetCenter(), 4.0 / 3.0, 1.0, 0));
}

TEST(GeoContourAreaTest, CentroidInAShiftedTiltedPlane) {
  // Plane at (10,0,0) spanned by y and z: local x is global y, local y global z.
  const CGeoPlane wall(CGeoVector(10, 0, 0), CGeoVector(0, 1, 0), CGeoVector(0, 0, 1));
  const CGeoContour tri = Contour({0, 0, 4, 0, 0, 3}, wall);
  EXPECT_TRUE(PointIs(tri.GetCenter(), 10, 4.0 / 3.0, 1.0));
  EXPECT_TRUE(PointIs(tri.GetPoint(1), 10, 4, 0));
}

struct InsideCase {
  double x, y;
  BOOL inside;
};

class GeoSquareInsideTest : public ::testing::TestWithParam<InsideCase> {};

TEST_P(GeoSquareInsideTest, WindingCount) {
  EXPECT_EQ(Contour(kSquare).ContainsLocal(GetParam().x, GetParam().y), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(Points, GeoSquareInsideTest,
                         ::testing::Values(InsideCase{0.5, 0.5, TRUE}, InsideCase{1, 0.5, TRUE}, InsideCase{0, 0, TRUE},
                                           InsideCase{2, 0.5, FALSE}, InsideCase{-0.5, 0.5, FALSE},
                                           InsideCase{0.5, 1.5, FALSE}, InsideCase{0.5, -1e-3, FALSE},
                                           InsideCase{1.5, 1.5, FALSE}));

class GeoEllInsideTest : public ::testing::TestWithParam<InsideCase> {};

TEST_P(GeoEllInsideTest, NotchIsOutside) {
  EXPECT_EQ(Contour(kEll).ContainsLocal(GetParam().x, GetParam().y), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(Points, GeoEllInsideTest,
                         ::testing::Values(InsideCase{1.5, 1.5, FALSE}, InsideCase{0.5, 1.5, TRUE},
                                           InsideCase{1.5, 0.5, TRUE}, InsideCase{1, 1.5, TRUE},
                                           InsideCase{3, 0.5, FALSE}, InsideCase{0.5, 0.5, TRUE}));

TEST(GeoContourQueryTest, ContainsNeedsThePointInThePlane) {
  const CGeoPlane wall(CGeoVector(0, 0, 0), CGeoVector(0, 1, 0), CGeoVector(0, 0, 1));
  const CGeoContour c = Contour(kSquare, wall);
  EXPECT_TRUE(c.Contains(CGeoPoint(0, 0.5, 0.5)));
  EXPECT_FALSE(c.Contains(CGeoPoint(1, 0.5, 0.5)));
  EXPECT_FALSE(c.Contains(CGeoPoint(0, 1.5, 0.5)));
  EXPECT_TRUE(CGeoPoint(0, 0.25, 0.75).IsInside(c));
}

TEST(GeoContourQueryTest, Boundary) {
  const CGeoContour c = Contour(kSquare);
  double t = -1.0;
  ASSERT_TRUE(c.IsOnBoundary(CGeoPoint(1, 0.25, 0), &t, FALSE));
  EXPECT_NEAR(t, 0.25, 1e-12);  // on the edge (1,0)→(1,1)
  EXPECT_FALSE(c.IsOnBoundary(CGeoPoint(0.5, 0.5, 0), &t, FALSE));
  EXPECT_FALSE(c.IsOnBoundary(CGeoPoint(1, 0.25, 1), &t, FALSE));
}

TEST(GeoContourQueryTest, LineCrossings) {
  const CGeoContour c = Contour(kSquare);
  CArray<CGeoPoint, CGeoPoint&> pts;
  // The diagonal meets each corner on two edges; each is kept once.
  ASSERT_EQ(c.Intersect(CGeoLine(CGeoPoint(0, 0, 0), CGeoPoint(1, 1, 0)), pts), 2);
  EXPECT_TRUE(PointIs(pts[0], 0, 0, 0));
  EXPECT_TRUE(PointIs(pts[1], 1, 1, 0));
  ASSERT_EQ(c.Intersect(CGeoLine(CGeoPoint(-5, 0.5, 0), CGeoPoint(-4, 0.5, 0)), pts), 2);
  EXPECT_TRUE(PointIs(pts[0], 1, 0.5, 0));
  EXPECT_TRUE(PointIs(pts[1], 0, 0.5, 0));
  EXPECT_EQ(c.Intersect(CGeoLine(CGeoPoint(0, 3, 0), CGeoPoint(1, 3, 0)), pts), 0);
  EXPECT_EQ(pts.GetSize(), 0);
}

TEST(GeoContourTest, FromGlobalPointsAndCopies) {
  const CGeoPlane lifted(0, CGeoPoint(0, 0, 2));
  CArray<CGeoPoint, CGeoPoint&> pts;
  CGeoPoint corners[] = {{0, 0, 2}, {2, 0, 2}, {2, 2, 2}, {0, 2, 2}};
  for (CGeoPoint& p : corners) pts.Add(p);
  const CGeoContour c(lifted, pts);
  ASSERT_TRUE(c.IsValid());
  EXPECT_DOUBLE_EQ(c.GetArea(), 4.0);
  EXPECT_TRUE(PointIs(c.GetCenter(), 1, 1, 2));
  CGeoContour copy;
  copy = c;
  EXPECT_TRUE(copy.IsValid());
  EXPECT_EQ(copy.GetCount(), 4);
  EXPECT_TRUE(PointIs(copy.GetPoint(2), 2, 2, 2));
  CArray<CGeoVertex, CGeoVertex&> vertices;
  CGeoVertex v0(0, 0, 2, 0.7), v1(3, 0, 2, 0), v2(0, 3, 2, 0);
  vertices.Add(v0);
  vertices.Add(v1);
  vertices.Add(v2);
  const CGeoContour fromVertices(lifted, vertices);
  EXPECT_DOUBLE_EQ(fromVertices.GetArea(), 4.5);
}

}  // namespace
