// Numbers read from text that others wrote (an RTF text, a file): clamped to the range the reader keeps, so that
// no number beyond it reaches arithmetic or a conversion.
#pragma once

#include <algorithm>
#include <cstdlib>

namespace win {

// The ranges a word processor keeps for the numbers of an RTF text.
constexpr long kRtfMaxTwips = 31680;  // 22 inches: indents, cell boundaries
constexpr long kRtfMaxCount = 32767;  // list starts, line spacing
constexpr long kRtfMaxColour = 255;   // a colour's red, green or blue
constexpr long kRtfMaxHalfPoints = 3276;

// The decimal number at text (blanks, an optional sign, digits; 0 without digits) clamped to [lo, hi]; *end, when
// given, is set after it.
inline long ClampedNumber(const char* text, long lo, long hi, const char** end = nullptr) {
  char* after = nullptr;
  const long n = std::strtol(text, &after, 10);  // a number beyond a long reads as the long's limit
  if (end) *end = after;
  return std::clamp(n, lo, hi);
}

}  // namespace win
