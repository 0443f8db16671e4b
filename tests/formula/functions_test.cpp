#include "formula/parserfunctions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <set>
#include <string>

#include "formula/varstore.h"
#include "formula_test_support.h"

namespace {

using formula_test::Evaluate;
using formula_test::Outcome;

constexpr double kPi = 3.141592653589793;

class FunctionsTest : public testing::Test {
 protected:
  double Value(const std::string& text) {
    Outcome out = Evaluate(store_, text);
    EXPECT_TRUE(out.ok) << text;
    EXPECT_TRUE(out.codes.empty()) << text;
    return out.value;
  }

  formula_test::PrivateRegistry registry_;
  CVariableStore store_;
};

struct ValueCase {
  const char* text;
  double expected;
};

// Expected values by closed forms; 1e-12 absorbs the last bit of the library functions.
TEST_F(FunctionsTest, OneArgumentFunctionsInRadians) {
  const ValueCase cases[] = {
      {"abs(-3)", 3},
      {"abs(2)", 2},
      {"acos(-1)", kPi},
      {"asin(1)", kPi / 2},
      {"atan(1)", kPi / 4},
      {"acot(1)", kPi / 4},
      {"acot(0)", kPi / 2},
      {"arcosh(1)", 0},
      {"arcosh(2)", std::log(2 + std::sqrt(3.0))},
      {"arsinh(1)", std::log(1 + std::sqrt(2.0))},
      {"artanh(0.5)", 0.5 * std::log(3.0)},  // 0.5 ln(1.5/0.5)
      {"arcoth(2)", 0.5 * std::log(3.0)},    // 0.5 ln(3/1)
      {"ceil(-1.5)", -1},
      {"ceil(1.2)", 2},
      {"floor(-1.5)", -2},
      {"cos(pi)", -1},
      {"cosh(0)", 1},
      {"cot(pi/4)", 1},
      {"coth(1)", (std::exp(2.0) + 1) / (std::exp(2.0) - 1)},
      {"exp(1)", 2.718281828459045},
      {"log(e)", 1},
      {"log10(1000)", 3},
      {"sin(pi/6)", 0.5},
      {"sin(pi/2)", 1},
      {"sinh(0)", 0},
      {"tan(pi/4)", 1},
      {"tanh(0)", 0},
      {"sqrt(16)", 4},
      {"int(-2.7)", -2},
      {"int(2.7)", 2},
      {"int(1e10)", INT_MIN},  // outside 32 bits, as the processor's conversion gives
      {"rad(180)", kPi},
      {"grad(pi)", 180},
  };
  for (const auto& c : cases) EXPECT_NEAR(Value(c.text), c.expected, 1e-12) << c.text;
}

TEST_F(FunctionsTest, TwoAndThreeArgumentFunctions) {
  const ValueCase cases[] = {
      {"min(2;3)", 2},
      {"min(3;2)", 2},
      {"max(2;3)", 3},
      {"max(-1;-4)", -1},
      {"mod(7;3)", 1},
      {"mod(-7;3)", -1},
      {"mod(7,5;2)", 1.5},
      {"pow(2;10)", 1024},
      {"pow(4;0.5)", 2},
      {"if(0;1;2)", 2},
      {"if(-1;1;2)", 1},
      {"if(0,5;1;2)", 1},
      {"max(1;2) + min(if(1;5;6);4)", 6},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Value(c.text), c.expected) << c.text;
}

TEST_F(FunctionsTest, DomainErrorsEndTheEvaluationWithOneMessage) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"acos(2)", "Fehler in acos"},        {"asin(-1.5)", "Fehler in asin"}, {"log(-1)", "Fehler in log"},
      {"log10(-1)", "Fehler in log10"},     {"sqrt(-1)", "Fehler in sqrt"},   {"mod(1;0)", "Divide by zero in mod"},
      {"1 + 2*sqrt(-4)", "Fehler in sqrt"},
  };
  for (const auto& c : cases) {
    Outcome out = Evaluate(store_, c.text, 42.0);
    EXPECT_FALSE(out.ok) << c.text;
    EXPECT_EQ(out.value, 42.0) << c.text;
    ASSERT_EQ(out.codes, std::vector<int>{4}) << c.text;
    EXPECT_EQ(out.texts[0], c.message) << c.text;
  }
}

TEST_F(FunctionsTest, FunctionErrorIsNotHiddenBehindUndefinedNames) {
  Outcome out = Evaluate(store_, "sqrt(x - 1)", 42.0);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.value, 42.0);
  EXPECT_EQ(out.codes, (std::vector<int>{32, 4}));
  EXPECT_EQ(out.texts.back(), "Fehler in sqrt");
}

TEST_F(FunctionsTest, OverflowAndOpenDomainsGiveInfinitiesNotErrors) {
  EXPECT_EQ(Value("log(0)"), -HUGE_VAL);
  EXPECT_EQ(Value("log10(0)"), -HUGE_VAL);
  EXPECT_EQ(Value("artanh(1)"), HUGE_VAL);
  EXPECT_TRUE(std::isnan(Value("arcosh(0)")));
  EXPECT_EQ(Value("exp(1000)"), HUGE_VAL);
  EXPECT_EQ(Value("int(arcosh(0))"), INT_MIN);
}

TEST_F(FunctionsTest, DiceAndChance) {
  const ValueCase fixed[] = {
      {"rand(0)", 0},      {"rand(-3)", 0},     {"rand(1)", 0},    {"percent(0)", 0},
      {"percent(100)", 1}, {"percent(150)", 1}, {"percent(1)", 0},  // a draw from 0..99 is never above 99
      {"roll(0;6)", 0},    {"roll(-1;6)", 0},   {"roll(3;0)", 3},  {"roll(10000;1)", 10000},
  };
  for (const auto& c : fixed) EXPECT_EQ(Value(c.text), c.expected) << c.text;

  std::set<double> faces, sums, chances;
  for (int i = 0; i < 600; ++i) {
    faces.insert(Value("rand(6)"));
    sums.insert(Value("roll(2;6)"));
    chances.insert(Value("percent(50)"));
  }
  EXPECT_EQ(faces, (std::set<double>{0, 1, 2, 3, 4, 5}));  // missing a face in 600 draws: about 1e-47
  EXPECT_GE(*sums.begin(), 2);
  EXPECT_LE(*sums.rbegin(), 12);
  for (double s : sums) EXPECT_EQ(s, std::floor(s));
  EXPECT_EQ(chances, (std::set<double>{0, 1}));
}

TEST_F(FunctionsTest, TooManyDiceAreRefused) {
  Outcome out = Evaluate(store_, "roll(20000;6)", 42.0);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.value, 42.0);
  EXPECT_EQ(out.codes, std::vector<int>{4});
  EXPECT_EQ(out.texts[0], "Fehler in roll");
}

TEST_F(FunctionsTest, DayNumbersCountCalendarDays) {
  // 1 January 2000: y' = 1999, m' = 14; trunc(365.25*1999) = 730134, trunc(-30.6*14) = -428;
  // 730134 + 428 + 1 - 621049 = 109514.
  EXPECT_EQ(Value("ndate(1;1;2000)"), 109514);
  // 1 March 2000: y' = 2000, m' = 4; 730500 + 122 + 1 - 621049 = 109574, 60 days later (29 February exists).
  EXPECT_EQ(Value("ndate(1;3;2000)"), 109574);

  using namespace std::chrono;
  const sys_days first = year{1990} / January / 1;
  const double firstNumber = Value("ndate(1;1;1990)");
  for (sys_days day = first; day <= sys_days(year{2030} / December / 31); day += days{1}) {
    year_month_day ymd(day);
    std::string text = "ndate(" + std::to_string(unsigned(ymd.day())) + ";" + std::to_string(unsigned(ymd.month())) +
                       ";" + std::to_string(int(ymd.year())) + ")";
    ASSERT_EQ(Value(text) - firstNumber, double((day - first).count())) << text;
  }
}

TEST_F(FunctionsTest, DegreesWhenTheSettingSaysOne) {
  registry_.SetAngleUnit("1");
  EXPECT_EQ(GetAngleUnit(), 1);
  const ValueCase
      cases
          [] =
              {
                  {"sin(90)", 1},    {"cos(180)", -1},  {"tan(45)", 1},  {"cot(45)", 1},
                  {"asin(1)", 90},   {"acos(0)", 90},   {"atan(1)", 45}, {"acot(1)", 45},
                  {"rad(180)", kPi}, {"grad(pi)", 180}, {"sinh(0)", 0},  // hyperbolic functions take no angles
              };
  for (const auto& c : cases) EXPECT_NEAR(Value(c.text), c.expected, 1e-12) << c.text;
}

TEST_F(FunctionsTest, GonWhenTheSettingSaysTwo) {
  registry_.SetAngleUnit("2");
  const ValueCase cases[] = {
      {"sin(100)", 1},  {"cos(200)", -1},  {"asin(1)", 100},  {"atan(1)", 50},
      {"acot(0)", 100}, {"rad(180)", kPi}, {"grad(pi)", 180},
  };
  for (const auto& c : cases) EXPECT_NEAR(Value(c.text), c.expected, 1e-12) << c.text;
}

TEST_F(FunctionsTest, RadiansForAnyOtherSetting) {
  for (const char* setting : {"0", "3", "abc", ""}) {
    registry_.SetAngleUnit(setting);
    EXPECT_NEAR(Value("sin(pi/2)"), 1, 1e-12) << setting;
    EXPECT_NEAR(Value("asin(1)"), kPi / 2, 1e-12) << setting;
  }
}

TEST_F(FunctionsTest, RadiansWithoutSetting) {
  EXPECT_NE(GetAngleUnit(), 1);
  EXPECT_NE(GetAngleUnit(), 2);
  EXPECT_NEAR(Value("sin(pi/2)"), 1, 1e-12);
}

TEST_F(FunctionsTest, AngleUnitIsReadOncePerLoad) {
  registry_.SetAngleUnit("1");
  EXPECT_NEAR(Value("sin(90)"), 1, 1e-12);
  // Another value in the registry takes effect only when the module is loaded again.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Ormi\\vernik2005", 0, KEY_ALL_ACCESS, &key),
            LSTATUS(ERROR_SUCCESS));
  ASSERT_EQ(RegSetValueEx(key, "angleUnit", 0, REG_SZ, reinterpret_cast<const BYTE*>("2"), 2), LSTATUS(ERROR_SUCCESS));
  RegCloseKey(key);
  EXPECT_NEAR(Value("sin(90)"), 1, 1e-12);
  ResetAngleUnit();
  EXPECT_NEAR(Value("sin(100)"), 1, 1e-12);
}

}  // namespace
