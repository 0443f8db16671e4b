// The cross-section sketch as a bitmap resource.
#pragma once

#include "platform/win/base/wintypes.h"

namespace report {

inline constexpr UINT kQuerschnittSkizze = 26032;

// Registers the sketch under its resource number (once; a sketch registered elsewhere is kept).
void EnsureQuerschnittSkizze();

}  // namespace report
