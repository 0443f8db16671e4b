// A least dimension that a fire table asks for (the width b or the axis distance a of the bars) as the calculation's
// line, its message and the report's fire chapter print it: in whole mm, rounded up, since a figure rounded down
// would ask less than the table does. The result records keep cm.
#pragma once

#include <cmath>

// The tables' interpolation leaves a whole mm a few last bits above or below it: within a millionth of a mm it is
// that mm. Zero stays zero, without a sign.
inline double RequiredFireMm(double cm) {
  const double mm = std::ceil(cm * 10.0 - 1e-6);
  return mm == 0.0 ? 0.0 : mm;
}
