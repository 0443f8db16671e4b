#include <cmath>

#include "tests/geometry/geo_test_support.h"

namespace {

::testing::AssertionResult MatrixIs(const CGeoMatrix& m, const double (&expected)[16], double tol = 1e-12) {
  for (int i = 0; i < 16; ++i)
    if (std::fabs(m.m_m[i] - expected[i]) > tol)
      return ::testing::AssertionFailure() << "element " << i << " is " << m.m_m[i] << ", expected " << expected[i];
  return ::testing::AssertionSuccess();
}

constexpr double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(GeoMatrixTest, DefaultIsIdentityAndTransformSnapsTinyCoordinates) {
  CGeoMatrix m;
  EXPECT_TRUE(MatrixIs(m, kIdentity, 0.0));
  const CGeoPoint p = m.Transform(CGeoPoint(1e-16, 5.0, 0.0));
  EXPECT_EQ(p.m_x, 0.0);
  EXPECT_EQ(p.m_y, 5.0);
  EXPECT_EQ(p.GetType(), GEO_POINT);
}

TEST(GeoMatrixTest, ScaleFactorsNearZeroLeaveTheAxis) {
  CGeoMatrix m;
  m.SetScale(0.0, 2.0, 3.0);
  const double expected[16] = {1, 0, 0, 0, 0, 2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1};
  EXPECT_TRUE(MatrixIs(m, expected, 0.0));
}

TEST(GeoMatrixTest, ElementaryRotationsTurnCounterClockwise) {
  CGeoMatrix m;
  m.Rotate(0.0, 0.0, kPi / 2.0);
  // About z: x → y; cos(π/2) = 6e-17 snaps to exactly 0.
  const CGeoPoint p = m.Transform(CGeoPoint(1, 0, 0));
  EXPECT_EQ(p.m_x, 0.0);
  EXPECT_NEAR(p.m_y, 1.0, kExact);
  // About y: z → x, x → −z.
  m.SetRotationY(kPi / 2.0);
  EXPECT_TRUE(PointIs(m.Transform(CGeoPoint(1, 0, 0)), 0, 0, -1));
  EXPECT_TRUE(PointIs(m.Transform(CGeoPoint(0, 0, 1)), 1, 0, 0));
  // About x: y → z.
  m.SetRotationX(kPi / 2.0);
  EXPECT_TRUE(PointIs(m.Transform(CGeoPoint(0, 1, 0)), 0, 0, 1));
}

TEST(GeoMatrixTest, TheTransformationAddedLastActsFirst) {
  // T(1,0,0)·Rz(π/2): (1,0,0) is turned to (0,1,0), then moved to (1,1,0).
  CGeoMatrix m;
  m.Translate(1.0, 0.0, 0.0);
  m.Rotate(0.0, 0.0, kPi / 2.0);
  EXPECT_TRUE(PointIs(m.Transform(CGeoPoint(1, 0, 0)), 1, 1, 0));
  // Rx(π/2)·Rz(π/2): (1,0,0) → (0,1,0) about z, then → (0,0,1) about x.
  CGeoMatrix r;
  r.Rotate(kPi / 2.0, 0.0, kPi / 2.0);
  EXPECT_TRUE(PointIs(r.Transform(CGeoPoint(1, 0, 0)), 0, 0, 1));
  // S(2,3,4) then T(1,2,3) as T·S: (1,1,1) → (2,3,4) → (3,5,7).
  CGeoMatrix ts;
  ts.Translate(CGeoPoint(1, 2, 3));
  ts.Scale(2, 3, 4);
  EXPECT_TRUE(PointIs(ts.Transform(CGeoPoint(1, 1, 1)), 3, 5, 7));
}

TEST(GeoMatrixTest, ProductRowByColumn) {
  CGeoMatrix a, b;
  for (int i = 0; i < 16; ++i) {
    a.m_m[i] = i + 1;
    b.m_m[i] = (i % 3) - 1;
  }
  const CGeoMatrix p = a * b;
  // Row 0 of a is 1 2 3 4; column 0 of b is elements 0,4,8,12: −1, 0, 1, −1 → 1·−1 + 2·0 + 3·1 + 4·−1 = −2.
  EXPECT_EQ(p.At(0, 0), -2.0);
  // Row 3 of a is 13 14 15 16; column 2 of b is elements 2,6,10,14: 1, −1, 0, 1 → 13 − 14 + 0 + 16 = 15.
  EXPECT_EQ(p.At(3, 2), 15.0);
}

TEST(GeoMatrixInverseTest, OfATranslationIsTheOppositeTranslation) {
  CGeoMatrix t, inv, expected;
  t.SetTranslation(1, 2, 3);
  ASSERT_TRUE(t.Invert(inv));
  expected.SetTranslation(-1, -2, -3);
  EXPECT_TRUE(MatrixIs(inv, expected.m_m));
}

TEST(GeoMatrixInverseTest, OfARotationIsItsTranspose) {
  CGeoMatrix r, inv;
  r.Rotate(0.3, -1.1, 2.0);
  ASSERT_TRUE(r.Invert(inv));
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(inv.At(i, j), r.At(j, i), 1e-12) << i << "," << j;
}

TEST(GeoMatrixInverseTest, NeedsAColumnPivot) {
  CGeoMatrix m;
  const double swapped[16] = {0, 2, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) m.m_m[i] = swapped[i];
  CGeoMatrix inv;
  ASSERT_TRUE(m.Invert(inv));
  // [[0,2],[1,0]]·[[0,1],[0.5,0]] = I.
  const double expected[16] = {0, 1, 0, 0, 0.5, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_TRUE(MatrixIs(inv, expected));
  EXPECT_TRUE(MatrixIs(m, swapped, 0.0));  // the matrix itself is untouched
}

TEST(GeoMatrixInverseTest, UndoesACompositeTransformation) {
  CGeoMatrix m;
  m.Translate(1, -2, 3);
  m.Rotate(0.3, -0.4, 0.5);
  m.Scale(2, 3, 4);
  CGeoMatrix inv;
  ASSERT_TRUE(m.Invert(inv));
  EXPECT_TRUE(MatrixIs(m * inv, kIdentity, 1e-12));
  EXPECT_TRUE(MatrixIs(inv * m, kIdentity, 1e-12));
  const CGeoPoint p(0.7, -1.3, 2.9);
  EXPECT_TRUE(PointIs(inv.Transform(m.Transform(p)), 0.7, -1.3, 2.9));
  // In place.
  CGeoMatrix same(m);
  ASSERT_TRUE(same.Invert(same));
  EXPECT_TRUE(MatrixIs(same, inv.m_m, 0.0));
}

TEST(GeoMatrixInverseTest, SingularMatricesFail) {
  CGeoMatrix zeroRow, inv;
  zeroRow.At(1, 1) = 0.0;
  EXPECT_FALSE(zeroRow.Invert(inv));
  CGeoMatrix zero;
  for (double& e : zero.m_m) e = 0.0;
  EXPECT_FALSE(zero.Invert(inv));
  CGeoMatrix dependent;  // row 1 = 2 · row 0
  const double rows[16] = {1, 2, 3, 0, 2, 4, 6, 0, 0, 1, 1, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) dependent.m_m[i] = rows[i];
  EXPECT_FALSE(dependent.Invert(inv));
}

}  // namespace
