#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/geometry/geo_test_support.h"

namespace {

struct RoundCase {
  double x;
  std::uint16_t digits;
  double expected;
};

// floor(10^d · frac + 0.51) / 10^d + whole:
//   2.675 → 0.675·100 + 0.51 = 68.01 → 68 → 2.68;   1.0495 → 0.495 + 0.51 = 1.005 → 1 → 1.1
//   −0.05 → −0.5 + 0.51 = 0.01 → 0 → 0;   0.25 → 3.01 → 0.3;   0.2495 → 3.005 → 0.3;   0.248 → 2.99 → 0.2
//   −1.25 → −2.5 + 0.51 = −1.99 → −2 → −0.2 − 1 = −1.2;   −1.26 → −2.09 → −3 → −1.3
class GeoRoundToTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(GeoRoundToTest, RoundsTheFractionUpFromPointFortyNine) {
  EXPECT_NEAR(RoundTo(GetParam().x, GetParam().digits), GetParam().expected, kExact);
}

INSTANTIATE_TEST_SUITE_P(Values, GeoRoundToTest,
                         ::testing::Values(RoundCase{2.675, 2, 2.68}, RoundCase{1.0495, 1, 1.1},
                                           RoundCase{-0.05, 1, 0.0}, RoundCase{0.25, 1, 0.3}, RoundCase{0.2495, 1, 0.3},
                                           RoundCase{0.248, 1, 0.2}, RoundCase{-1.25, 1, -1.2},
                                           RoundCase{-1.26, 1, -1.3}, RoundCase{7.0, 0, 7.0}));

TEST(GeoRoundedFmodTest, RoundsBothOperandsBeforeTheRemainder) {
  // RoundTo(7.25, 1) = 7.3; fmod(7.3, 2) = 1.3.
  EXPECT_NEAR(RoundedFmod(7.25, 2.0, 1), 1.3, kExact);
}

TEST(GeoRightAngleTest, MultiplesOfAQuarterTurn) {
  double rest = -1.0;
  EXPECT_EQ(IsRightAngleMultiple(kPi, rest), 1);
  EXPECT_NEAR(rest, 0.0, 1e-12);
  // (π/2 − 1e-9) / (π/2) has the fraction 1 − 2e-9/π; times π/2 that is π/2 − 1e-9.
  EXPECT_EQ(IsRightAngleMultiple(kPi / 2.0 - 1e-9, rest), 0);
  EXPECT_NEAR(rest, kPi / 2.0 - 1e-9, 1e-12);
}

struct AngleCase {
  double angle;
  double expected;
};

class GeoNormalizeAngleTest : public ::testing::TestWithParam<AngleCase> {};

TEST_P(GeoNormalizeAngleTest, LandsInZeroToTwoPi) {
  const double a = NormalizeAngle(GetParam().angle);
  EXPECT_NEAR(a, GetParam().expected, 1e-12);
  EXPECT_GE(a, 0.0);
  EXPECT_LT(a, 2.0 * kPi);
}

// −π/2 + 2π = 3π/2;  7 − 2π;  −7 + 4π;  5π/2 − 2π = π/2;  a full turn is 0 (its sine, −2.4e-16, snaps to 0).
INSTANTIATE_TEST_SUITE_P(Values, GeoNormalizeAngleTest,
                         ::testing::Values(AngleCase{-kPi / 2.0, 3.0 * kPi / 2.0}, AngleCase{0.0, 0.0},
                                           AngleCase{7.0, 7.0 - 2.0 * kPi}, AngleCase{-7.0, 4.0 * kPi - 7.0},
                                           AngleCase{5.0 * kPi / 2.0, kPi / 2.0}, AngleCase{2.0 * kPi, 0.0},
                                           AngleCase{kPi, kPi}, AngleCase{-1e-17, 0.0}));

TEST(GeoReadableAngleTest, UprightFromMinusSixtyToOneTwentyAndFromThreeHundred) {
  EXPECT_EQ(IsReadableAngle(-kPi / 3.0), 1);
  EXPECT_EQ(IsReadableAngle(-kPi / 3.0 - 0.01), 0);
  EXPECT_EQ(IsReadableAngle(2.0 * kPi / 3.0), 1);
  EXPECT_EQ(IsReadableAngle(kPi), 0);
  EXPECT_EQ(IsReadableAngle(5.0 * kPi / 3.0), 1);
  EXPECT_EQ(IsReadableAngle(7.0 * kPi / 4.0), 1);
  // π is turned by a half turn: 2π normalises to 0.
  EXPECT_NEAR(ReadableAngle(kPi), 0.0, 1e-12);
  EXPECT_NEAR(ReadableAngle(kPi / 4.0), kPi / 4.0, 1e-12);
  EXPECT_NEAR(ReadableAngle(5.0 * kPi / 6.0), 11.0 * kPi / 6.0, 1e-12);
}

TEST(GeoQuadrantTest, OfTheNormalisedAngle) {
  EXPECT_EQ(GetQuadrant(0.0), 0);
  EXPECT_EQ(GetQuadrant(kPi / 2.0), 1);
  EXPECT_EQ(GetQuadrant(kPi), 2);
  EXPECT_EQ(GetQuadrant(3.0 * kPi / 2.0), 3);
  EXPECT_EQ(GetQuadrant(-0.1), 3);
  EXPECT_EQ(GetQuadrant(2.0 * kPi + 0.1), 0);
}

TEST(GeoShellSortTest, DescendingWithoutTheFlag) {
  int v[] = {3, 1, 2};
  ShellSort(v, 3);
  EXPECT_EQ(std::vector<int>(v, v + 3), (std::vector<int>{3, 2, 1}));
  ShellSort(v, 3, TRUE);
  EXPECT_EQ(std::vector<int>(v, v + 3), (std::vector<int>{1, 2, 3}));
}

TEST(GeoShellSortTest, ShortArraysStayAsTheyAre) {
  int one[] = {7};
  ShellSort(one, 1, TRUE);
  EXPECT_EQ(one[0], 7);
  int none[] = {5, 4};
  ShellSort(none, 0, TRUE);
  EXPECT_EQ(none[0], 5);
  EXPECT_EQ(none[1], 4);
}

TEST(GeoShellSortTest, AgreesWithAReferenceSortOnALongerArray) {
  std::vector<double> v = {2.5, -1.0, 2.5, 0.0, 7.0, 3.25, -8.0, 1e-9, 4.0, 4.0, -0.5, 11.0, 6.0};
  std::vector<double> up = v;
  ShellSort(up.data(), int(up.size()), TRUE);
  std::vector<double> expected = v;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(up, expected);
  std::vector<double> down = v;
  ShellSort(down.data(), int(down.size()));
  std::reverse(expected.begin(), expected.end());
  EXPECT_EQ(down, expected);
}

struct FractionCase {
  int n;
  double value;
  double expected;
  int decimals;
};

class GeoRoundToFractionTest : public ::testing::TestWithParam<FractionCase> {};

TEST_P(GeoRoundToFractionTest, RoundsToMultiplesOfOneNth) {
  double v = GetParam().value;
  EXPECT_EQ(RoundToFraction(GetParam().n, v), GetParam().decimals);
  EXPECT_NEAR(v, GetParam().expected, kExact);
}

// n = 10: 0.34 → 0.3 (rest 0.04 < 0.05), one decimal.  n = 4: 0.3 → 0.25, shown with one decimal → 0.3.
// n = 100: 1.234 → 1.23.  n = 1: −2.5 → rest 0.5 reaches half a step → −3, no decimals.
// n = 2: 0.74 → 0.5 (rest 0.24 < 0.25).
INSTANTIATE_TEST_SUITE_P(Values, GeoRoundToFractionTest,
                         ::testing::Values(FractionCase{10, 0.34, 0.3, 1}, FractionCase{4, 0.3, 0.3, 1},
                                           FractionCase{100, 1.234, 1.23, 2}, FractionCase{1, -2.5, -3.0, 0},
                                           FractionCase{2, 0.74, 0.5, 1}, FractionCase{10, -0.36, -0.4, 1}));

TEST(GeoRoundToFractionTest, RefusesANonPositiveDivision) {
  double v = 1.234;
  EXPECT_EQ(RoundToFraction(0, v), -1);
  EXPECT_EQ(v, 1.234);
}

TEST(GeoChordCountTest, PartialChordsCountWhole) {
  EXPECT_EQ(GetChordCount(kPi, 8), 4);
  EXPECT_EQ(GetChordCount(kPi + 0.01, 8), 5);
  EXPECT_EQ(GetChordCount(kPi, -6), 6);
  EXPECT_EQ(GetChordCount(kPi, 0), 0);
  EXPECT_EQ(GetChordCount(2.0 * kPi, 12), 12);
}

TEST(GeoSolveCubicTest, ThreeDistinctRootsInFormulaOrder) {
  // (x−1)(x−2)(x−3): p = −1, q = 0, φ = π/2, ρ = 1/√3, so 2ρ·cos(π/6) = 1: roots 2+1, 2−1, 2−0.
  double r[3] = {};
  ASSERT_EQ(SolveCubic(1, -6, 11, -6, r), 3);
  EXPECT_NEAR(r[0], 3.0, 1e-12);
  EXPECT_NEAR(r[1], 1.0, 1e-12);
  EXPECT_NEAR(r[2], 2.0, 1e-12);
  // The same equation times 2.
  ASSERT_EQ(SolveCubic(2, -12, 22, -12, r), 3);
  EXPECT_NEAR(r[0], 3.0, 1e-12);
}

TEST(GeoSolveCubicTest, DoubleRoot) {
  // (x−1)²(x+2) = x³ − 3x + 2: p = −3, q = 2, Δ = −1 + 1 = 0; s = −1, u = 1: roots −2, 1, 1.
  double r[3] = {};
  ASSERT_EQ(SolveCubic(1, 0, -3, 2, r), 3);
  EXPECT_NEAR(r[0], -2.0, 1e-12);
  EXPECT_NEAR(r[1], 1.0, 1e-12);
  EXPECT_NEAR(r[2], 1.0, 1e-12);
}

TEST(GeoSolveCubicTest, OneRealRoot) {
  // x³ + x − 2 = (x − 1)(x² + x + 2): Δ = 1/27 + 1 > 0, the only real root is 1.
  double r[3] = {};
  ASSERT_EQ(SolveCubic(1, 0, 1, -2, r), 1);
  EXPECT_NEAR(r[0], 1.0, 1e-12);
}

TEST(GeoSolveCubicTest, LowerDegrees) {
  double r[3] = {};
  ASSERT_EQ(SolveCubic(0, 1, 0, -4, r), 2);  // x² = 4
  EXPECT_NEAR(r[0], 2.0, kExact);
  EXPECT_NEAR(r[1], -2.0, kExact);
  EXPECT_EQ(SolveCubic(0, 1, 0, 4, r), 0);  // x² = −4
  ASSERT_EQ(SolveCubic(0, 0, 2, -4, r), 1);
  EXPECT_NEAR(r[0], 2.0, kExact);
  EXPECT_EQ(SolveCubic(0, 0, 0, 5, r), 0);
}

}  // namespace
