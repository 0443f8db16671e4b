// An entered dimension or ratio held against what a code, a table or the section's geometry asks of it. A figure
// equal to its requirement within a millionth of its unit meets it: a table scaled from mm to cm (34 x 0.1 =
// 3.4000000000000004) or a formula (6*1.13 = 6.779999999999999) leaves a figure a few last bits off the one meant.
// The messages print a requirement with the same allowance, so that what they print is what was compared.
#pragma once

#include <cmath>

namespace designcode {

// Of the unit the figure is given and printed in.
inline constexpr double kEqualWithin = 1e-6;

// `value` reaches a least `requirement`; a figure that is no number does not.
inline bool AtLeast(double value, double requirement) { return value >= requirement - kEqualWithin; }

// `value` falls short of a least `requirement`, or goes beyond a greatest `limit`; a figure that is no number does
// neither (the input check refuses it by its own words).
inline bool FallsShort(double value, double requirement) { return value < requirement - kEqualWithin; }
inline bool Exceeds(double value, double limit) { return value > limit + kEqualWithin; }

// A least requirement as printed in whole units: rounded up, since a figure rounded down would ask less than the
// requirement does. Zero stays zero, without a sign.
inline double RoundedUp(double requirement) {
  const double whole = std::ceil(requirement - kEqualWithin);
  return whole == 0.0 ? 0.0 : whole;
}

// A present figure as printed beside its requirement, in tenths of its unit: rounded down, since a figure rounded up
// could print what a section that falls short of its requirement does not have.
inline double RoundedDownToTenths(double value) { return std::floor(value * 10.0 + kEqualWithin * 10.0) / 10.0; }

// A ratio found beyond its limit (a utilisation above 1, a reinforcement ratio above the greatest) as printed beside
// "> limit" in hundredths: rounded up, since the nearest hundredth can read as the limit itself ("Ausnutzung 1.00 >
// 1" for 1.0049). A ratio within a billionth of a hundredth above a step prints as that step.
inline double ExceedingRatio(double ratio) { return std::ceil(ratio * 100.0 - 1e-9) / 100.0; }

// A figure found beyond its limit and the limit, as printed beside each other in tenths ("VEd = 514.4 kN > VRd,max =
// 513.2 kN"): each to the nearest tenth where the two then read as one beyond the other, else the figure rounded up
// and the limit rounded down, so that they never read as equal.
struct ExceedingTenths {
  double value;
  double limit;
};
inline ExceedingTenths ExceedingInTenths(double value, double limit) {
  const double nearValue = std::round(value * 10.0) / 10.0, nearLimit = std::round(limit * 10.0) / 10.0;
  if (nearValue > nearLimit) return {nearValue, nearLimit};
  return {std::ceil(value * 10.0 - 1e-9) / 10.0, std::floor(limit * 10.0 + 1e-9) / 10.0};
}

// The fire tables speak mm, the section and the records cm: a fire dimension is compared and printed in mm.
inline double FireMm(double cm) { return cm * 10.0; }

}  // namespace designcode
