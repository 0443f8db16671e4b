#include "geometry/geofunc.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "geometry/geoconst.h"

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kTolerance = 1e-6;
}  // namespace

double RoundTo(double x, std::uint16_t digits) {
  double whole = 0.0;
  const double frac = std::modf(x, &whole);
  const double scale = std::pow(10.0, digits);
  return std::floor(scale * frac + 0.51) / scale + whole;
}

double RoundedFmod(double x, double y, std::uint16_t digits) {
  return RoundTo(std::fmod(RoundTo(x, digits), RoundTo(y, digits)), digits);
}

int IsRightAngleMultiple(double angle, double& rest) {
  double whole = 0.0;
  rest = std::fabs(std::modf(angle / (kPi / 2.0), &whole) * (kPi / 2.0));
  return rest <= kTolerance ? 1 : 0;
}

double NormalizeAngle(double angle) {
  double result = 0.0;
  if (!CGeoVector(std::cos(angle), std::sin(angle), 0.0).GetAngleInPlane(result, GeoPlaneXY)) return 0.0;
  return result;
}

int IsReadableAngle(double angle) {
  if (angle < -kPi / 3.0) return 0;
  if (angle <= 2.0 * kPi / 3.0) return 1;
  return angle >= 5.0 * kPi / 3.0 ? 1 : 0;
}

double ReadableAngle(double angle) {
  return IsReadableAngle(angle) ? NormalizeAngle(angle) : NormalizeAngle(angle + kPi);
}

int GetQuadrant(double angle) {
  const double a = NormalizeAngle(angle);
  if (a < kPi / 2.0) return 0;
  if (a < kPi) return 1;
  if (a < 3.0 * kPi / 2.0) return 2;
  return 3;
}

void Swap(double& a, double& b) { std::swap(a, b); }
void Swap(int& a, int& b) { std::swap(a, b); }

BYTE Swap(BYTE& a, BYTE& b) {
  const BYTE old = a;
  a = b;
  b = old;
  return old;
}

void OrderAscending(double& a, double& b) {
  if (a > b) std::swap(a, b);
}
void OrderAscending(int& a, int& b) {
  if (a > b) std::swap(a, b);
}
void OrderDescending(double& a, double& b) {
  if (a < b) std::swap(a, b);
}
void OrderDescending(int& a, int& b) {
  if (a < b) std::swap(a, b);
}

namespace {

template <class T>
void ShellSortImpl(T* values, int n, bool ascending) {
  if (!values) return;
  for (int gap = n / 2; gap > 0; gap /= 2) {
    for (int i = gap + 1; i <= n; ++i) {
      for (int j = i - gap; j > 0; j -= gap) {
        T& first = values[j - 1];
        T& second = values[j + gap - 1];
        const bool outOfOrder = ascending ? first > second : first < second;
        if (!outOfOrder) break;
        std::swap(first, second);
      }
    }
  }
}

}  // namespace

void ShellSort(int* values, int n, BOOL ascending) { ShellSortImpl(values, n, ascending != FALSE); }
void ShellSort(double* values, int n, BOOL ascending) { ShellSortImpl(values, n, ascending != FALSE); }
void ShellSort(int* values, int n) { ShellSortImpl(values, n, false); }
void ShellSort(double* values, int n) { ShellSortImpl(values, n, false); }

int RoundToFraction(int n, double& value) {
  if (n < 1) return -1;
  const int decimals = static_cast<int>(std::ceil(std::log10(double(n)) - 1e-6));
  const double step = 1.0 / n;
  const double magnitude = std::fabs(value);
  double m = std::trunc(magnitude / step) * step;
  if (magnitude - m + 1e-6 >= step / 2.0) m += step;
  const double sign = value >= 0.0 ? 1.0 : -1.0;
  value = sign * RoundTo(m, static_cast<std::uint16_t>(decimals));
  return decimals;
}

int GetChordCount(double span, int n) {
  if (n < 1) return std::abs(n);
  const double k = span / (2.0 * kPi) * n;
  int c = static_cast<int>(std::trunc(k));
  if (std::fabs(span - (2.0 * kPi / n) * c) > kTolerance) ++c;
  return c;
}

namespace {

double SignedCubeRoot(double v) {
  const double s = v >= 0.0 ? 1.0 : -1.0;
  return s * std::pow(std::fabs(v), 1.0 / 3.0);
}

}  // namespace

int SolveCubic(double a, double b, double c, double d, double roots[3]) {
  if (std::fabs(a) > kTolerance) {
    const double e = b / a;
    const double f = c / a;
    const double g = d / a;
    const double p = f - e * e / 3.0;
    const double q = 2.0 * e * e * e / 27.0 - e * f / 3.0 + g;
    const double delta = p * p * p / 27.0 + q * q / 4.0;
    if (delta < 0.0) {
      // Three real roots; the acos argument is clamped against rounding past ±1.
      const double ratio = (-q / 2.0) / std::sqrt(std::fabs(p * p * p) / 27.0);
      const double phi = std::acos(std::clamp(ratio, -1.0, 1.0));
      const double rho = std::sqrt(std::fabs(p) / 3.0);
      roots[0] = 2.0 * rho * std::cos(phi / 3.0) - e / 3.0;
      roots[1] = -2.0 * rho * std::cos(phi / 3.0 - kPi / 3.0) - e / 3.0;
      roots[2] = -2.0 * rho * std::cos(phi / 3.0 + kPi / 3.0) - e / 3.0;
      return 3;
    }
    if (delta == 0.0) {
      const double s = -q / 2.0 >= 0.0 ? 1.0 : -1.0;
      const double u = std::pow(std::fabs(q / 2.0), 1.0 / 3.0);
      roots[0] = 2.0 * u * s - e / 3.0;
      roots[1] = roots[2] = -u * s - e / 3.0;
      return 3;
    }
    const double root = std::sqrt(delta);
    roots[0] = SignedCubeRoot(-q / 2.0 + root) + SignedCubeRoot(-q / 2.0 - root) - e / 3.0;
    return 1;
  }
  if (std::fabs(b) > kTolerance) {
    const double p = c / b;
    const double q = d / b;
    const double disc = p * p / 4.0 - q;
    if (disc < 0.0) return 0;
    roots[0] = -p / 2.0 + std::sqrt(disc);
    roots[1] = -p / 2.0 - std::sqrt(disc);
    return 2;
  }
  if (std::fabs(c) > kTolerance) {
    roots[0] = -d / c;
    return 1;
  }
  return 0;
}
