// A fire table's least dimension (the width b or the axis distance a of the bars) and the section's own as the
// calculation's line, its message and the report's fire chapter print them: in mm, by the rule the fire check
// compares them with (designcode/requirement.h). The result records keep cm.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

#include "designcode/requirement.h"

// What the table asks, in whole mm, rounded up. The tables' interpolation leaves a whole mm a few last bits above
// or below it: within a millionth of a mm it is that mm.
inline double RequiredFireMm(double cm) { return designcode::RoundedUp(designcode::FireMm(cm)); }

// What the section has, in mm to tenths, rounded down, without the tenth where it is whole ("34", "35.4"): a section
// that falls short of a whole mm never reads as having it.
inline std::string PresentFireMmText(double cm) {
  const double mm = designcode::RoundedDownToTenths(designcode::FireMm(cm));
  char text[32];
  std::snprintf(text, sizeof text, mm == std::floor(mm) ? "%.0f" : "%.1f", mm == 0.0 ? 0.0 : mm);
  return text;
}
