// Exact sums of doubles, and the sums of ranges of a list taken as differences of its running sums.
#include "document/runningsums.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kTwo53 = std::ldexp(1.0, 53);

double Exact(const std::vector<double>& values) {
  ExactSum sum;
  for (double v : values) sum.Add(v);
  return sum.Value();
}

// The sum is the exact sum of the doubles rounded once to the nearest double (ties to the even one).
TEST(ExactSum, IsTheExactSumRoundedOnce) {
  const struct {
    const char* what;
    std::vector<double> values;
    double sum;
  } cases[] = {
      // 1e20 + 1 rounds to 1e20 (its ulp is 16384); added in this order a double sum ends at 0.
      {"a large number cancelled", {1e20, 1.0, -1e20}, 1.0},
      // 0.1 + 0.2 + 0.3 as doubles is 0.600000000000000005551...: nearest double 0.59999999999999997780 (2.8e-17
      // away) rather than 0.60000000000000008882; the double sum from the left ends at the latter.
      {"decimals", {0.1, 0.2, 0.3}, 0.6},
      // Between 2^53 and 2^54 the doubles are 2 apart: 2^53 + 1 is a tie and goes to the even 2^53, 2^53 + 3 to
      // 2^53 + 4, and 2^53 + 1 plus a bit is above the tie: 2^53 + 2.
      {"tie to even, down", {kTwo53, 1.0}, kTwo53},
      {"tie to even, up", {kTwo53, 3.0}, kTwo53 + 4.0},
      {"just above the tie", {kTwo53, 1.0, std::ldexp(1.0, -60)}, kTwo53 + 2.0},
      {"subnormals",
       {std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::denorm_min()},
       2 * std::numeric_limits<double>::denorm_min()},
      {"negative", {-1.5, 0.25}, -1.25},
      {"a negative sum of small and large", {-1e300, 1e-300}, -1e300},
      {"nothing", {}, 0.0},
      {"negative zeros", {-0.0, -0.0}, 0.0},
      {"the largest cancelled", {DBL_MAX, -DBL_MAX}, 0.0},
      // A double sum from the left overflows on the way; the exact sum is DBL_MAX.
      {"overflow on the way only", {DBL_MAX, DBL_MAX, -DBL_MAX}, DBL_MAX},
      {"overflow", {DBL_MAX, DBL_MAX}, kInf},
      {"negative overflow", {-DBL_MAX, -DBL_MAX}, -kInf},
      {"an infinity", {kInf, 1.0, -1e300}, kInf},
      {"a negative infinity", {-kInf, 1e300}, -kInf},
  };
  for (const auto& c : cases) {
    const double sum = Exact(c.values);
    EXPECT_EQ(sum, c.sum) << c.what;
    EXPECT_EQ(std::signbit(sum), std::signbit(c.sum)) << c.what;
  }
  EXPECT_TRUE(std::isnan(Exact({kInf, -kInf}))) << "infinities of both signs";
  EXPECT_TRUE(std::isnan(Exact({1.0, kNaN}))) << "a NaN";
}

// A range's sum is the exact sum of its numbers, whatever stands before it: the running sums hold the large
// number before the range exactly, and its difference leaves the small numbers of the range whole.
TEST(RunningSums, ARangeIsSummedExactlyWhateverStandsBeforeIt) {
  RunningSums sums;
  for (double v : {1e20, 0.001, 0.002, kInf, 5.0, kNaN, -7.5}) sums.Append(v);
  ASSERT_EQ(sums.Count(), 7u);
  const struct {
    std::size_t first, end;
    double sum;
  } cases[] = {
      {1, 2, 0.001},  // 1e20 + 0.001 - 1e20 in doubles would be 0
      {1, 3, Exact({0.001, 0.002})},
      {0, 0, 0.0},
      {4, 5, 5.0},   // the infinity before the range does not count in it
      {6, 7, -7.5},  // nor the NaN
      {3, 5, kInf},
  };
  for (const auto& c : cases) EXPECT_EQ(sums.Range(c.first, c.end).Value(), c.sum) << c.first << ".." << c.end;
  EXPECT_TRUE(std::isnan(sums.Range(0, 7).Value()));
}

// Every range of a list with numbers of every size and sign, cancellations and negative running sums among them,
// is the exact sum of its numbers taken one by one.
TEST(RunningSums, EveryRangeIsTheSumOfItsNumbers) {
  std::mt19937_64 random(17);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-1074, 1020);
  std::vector<double> values;
  for (int i = 0; i < 60; ++i) {
    const int kind = i % 4;
    double v = kind == 0   ? std::ldexp(mantissa(random), exponent(random))
               : kind == 1 ? std::round(mantissa(random) * 1000.0) / 100.0  // results as a document shows them
               : kind == 2 && !values.empty() ? -values[values.size() - 2]
                                              : std::ldexp(mantissa(random), exponent(random) / 20);
    values.push_back(v);
  }
  RunningSums sums;
  for (double v : values) sums.Append(v);
  for (std::size_t first = 0; first <= values.size(); ++first)
    for (std::size_t end = first; end <= values.size(); ++end) {
      const std::vector<double> range(values.begin() + std::ptrdiff_t(first), values.begin() + std::ptrdiff_t(end));
      ASSERT_EQ(sums.Range(first, end).Value(), Exact(range)) << first << ".." << end;
    }
}

}  // namespace
