#include "formula/parserfunctions.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <stdexcept>

#include "platform/win/base/registry.h"

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kGonToRad = 0.015707963267948967;
constexpr double kRadToDeg = 57.29577951308232;
constexpr double kRadToGon = 63.66197723675813;

// More dice than this would keep a single read busy for seconds.
constexpr int kMaxRolls = 10000;

int g_angleUnit = -1;

// The "angleUnit" value of the user's settings as text; "" when it cannot be read. The Win32-shaped calls
// rather than CRegistry, because the framework that holds CRegistry is built on this library.
std::string ReadAngleUnitSetting() {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Ormi\\vernik2005", 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return std::string();
  char buffer[2048] = {};
  DWORD type = REG_SZ;
  DWORD size = sizeof buffer - 1;  // keeps a terminator whatever the value holds
  LSTATUS status = RegQueryValueEx(key, "angleUnit", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? std::string(buffer) : std::string();
}

double AngleIn(double x) {
  switch (GetAngleUnit()) {
    case 1: return x * kDegToRad;
    case 2: return x * kGonToRad;
    default: return x;
  }
}

double AngleOut(double x) {
  switch (GetAngleUnit()) {
    case 1: return x * kRadToDeg;
    case 2: return x * kRadToGon;
    default: return x;
  }
}

[[noreturn]] void Raise(const char* text) { throw std::runtime_error(text); }

double FnAbs(double x) { return x >= 0 ? x : -x; }
double FnAcos(double x) {
  if (!(std::fabs(x) <= 1)) Raise("Fehler in acos");
  return AngleOut(std::acos(x));
}
double FnAsin(double x) {
  if (!(std::fabs(x) <= 1)) Raise("Fehler in asin");
  return AngleOut(std::asin(x));
}
double FnAtan(double x) { return AngleOut(std::atan2(x, 1.0)); }
double FnAcot(double x) { return AngleOut(kHalfPi - std::atan2(x, 1.0)); }
double FnArcosh(double x) { return std::log(x + std::sqrt(x * x - 1)); }
double FnArsinh(double x) { return std::log(x + std::sqrt(x * x + 1)); }
double FnArtanh(double x) { return 0.5 * std::log((1 + x) / (1 - x)); }
double FnArcoth(double x) { return 0.5 * std::log((x + 1) / (x - 1)); }
double FnCeil(double x) { return std::ceil(x); }
double FnCos(double x) { return std::cos(AngleIn(x)); }
double FnCosh(double x) { return std::cosh(x); }
double FnCot(double x) { return 1 / std::tan(AngleIn(x)); }
double FnCoth(double x) { return 1 / std::tanh(x); }
double FnExp(double x) { return std::exp(x); }
double FnFloor(double x) { return std::floor(x); }
double FnLog(double x) {
  if (x < 0) Raise("Fehler in log");
  return std::log(x);
}
double FnLog10(double x) {
  if (x < 0) Raise("Fehler in log10");
  return std::log10(x);
}
double FnSin(double x) { return std::sin(AngleIn(x)); }
double FnSinh(double x) { return std::sinh(x); }
double FnTan(double x) { return std::tan(AngleIn(x)); }
double FnTanh(double x) { return std::tanh(x); }
double FnSqrt(double x) {
  if (x < 0) Raise("Fehler in sqrt");
  return std::sqrt(x);
}
double FnInt(double x) { return TruncateToInt(x); }
double FnRand(double x) {
  int n = TruncateToInt(x);
  return n < 1 ? 0 : std::rand() % n;
}
double FnPercent(double x) {
  int p = TruncateToInt(x);
  if (p < 1) return 0;
  if (p >= 100) return 1;
  return std::rand() % 100 > 100 - p ? 1 : 0;
}
double FnRad(double x) { return x * kDegToRad; }
double FnGrad(double x) { return x * kRadToDeg; }

double FnMin(double a, double b) { return a <= b ? a : b; }
double FnMax(double a, double b) { return a >= b ? a : b; }
double FnMod(double a, double b) {
  if (b == 0) Raise("Divide by zero in mod");
  return std::fmod(a, b);
}
double FnPow(double a, double b) { return std::pow(a, b); }
double FnRoll(double a, double b) {
  int n = TruncateToInt(a);
  int s = TruncateToInt(b);
  if (n < 1) return 0;
  if (n > kMaxRolls) Raise("Fehler in roll");
  double sum = 0;
  for (int i = 0; i < n; ++i) sum += s < 1 ? 1 : std::rand() % s + 1;
  return sum;
}

double FnIf(double c, double a, double b) { return c != 0 ? a : b; }
double FnNdate(double d, double m, double y) {
  double yy = y, mm = m + 1;
  if (m <= 2) {
    yy = y - 1;
    mm = m + 13;
  }
  // 32-bit integer arithmetic, wrapping as the processor does.
  auto days = std::int32_t(std::uint32_t(TruncateToInt(365.25 * yy)) - std::uint32_t(TruncateToInt(-30.6 * mm)));
  return (double(days) + d) - 621049;
}

// Seeds the dice once when the module is loaded and builds the tables before anyone reads them.
struct ModuleLoad {
  ModuleLoad() {
    std::srand(unsigned(std::time(nullptr)));
    FormulaFunctions1();
    FormulaFunctions2();
    FormulaFunctions3();
  }
} g_moduleLoad;

}  // namespace

const std::map<std::string, FormulaFunction1, std::less<>>& FormulaFunctions1() {
  static const std::map<std::string, FormulaFunction1, std::less<>> table = {
      {"abs", FnAbs},         {"acos", FnAcos},     {"asin", FnAsin},     {"atan", FnAtan},     {"acot", FnAcot},
      {"arcosh", FnArcosh},   {"arsinh", FnArsinh}, {"artanh", FnArtanh}, {"arcoth", FnArcoth}, {"ceil", FnCeil},
      {"cos", FnCos},         {"cosh", FnCosh},     {"cot", FnCot},       {"coth", FnCoth},     {"exp", FnExp},
      {"floor", FnFloor},     {"log", FnLog},       {"log10", FnLog10},   {"sin", FnSin},       {"sinh", FnSinh},
      {"tan", FnTan},         {"tanh", FnTanh},     {"sqrt", FnSqrt},     {"int", FnInt},       {"rand", FnRand},
      {"percent", FnPercent}, {"rad", FnRad},       {"grad", FnGrad},
  };
  return table;
}

const std::map<std::string, FormulaFunction2, std::less<>>& FormulaFunctions2() {
  static const std::map<std::string, FormulaFunction2, std::less<>> table = {
      {"min", FnMin}, {"max", FnMax}, {"mod", FnMod}, {"pow", FnPow}, {"roll", FnRoll},
  };
  return table;
}

const std::map<std::string, FormulaFunction3, std::less<>>& FormulaFunctions3() {
  static const std::map<std::string, FormulaFunction3, std::less<>> table = {
      {"if", FnIf},
      {"ndate", FnNdate},
  };
  return table;
}

int GetAngleUnit() {
  if (g_angleUnit != -1) return g_angleUnit;
  g_angleUnit = int(std::strtol(ReadAngleUnitSetting().c_str(), nullptr, 10));
  return g_angleUnit;
}

void ResetAngleUnit() { g_angleUnit = -1; }

int TruncateToInt(double x) {
  if (!(x > -2147483649.0 && x < 2147483648.0)) return INT_MIN;
  return int(x);
}
