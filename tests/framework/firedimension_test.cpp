// A required fire dimension in whole mm, rounded up: the figures the fire tables' interpolation leaves (cm, with
// the last bits of their arithmetic).
#include "framework/firedimension.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(RequiredFireMm, RoundsUpToTheNextMmAndKeepsAWholeMm) {
  struct Fall {
    double cm;
    const char* mm;  // as "%.0f" prints it
  };
  const Fall faelle[] = {
      {25.25, "253"},               // 252.5 mm, which "%.0f" alone printed as 252
      {3.5050000000000003, "36"},   // 35.05 mm, just above a whole mm
      {24.875, "249"},              // 248.75 mm
      {25.0, "250"},                // whole
      {25.000000000000004, "250"},  // a whole mm with its last bit on
      {24.999999999999996, "250"},  // and off
      {3.4000000000000004, "34"},   // 34 x 0.1
      {25.0001, "251"},             // a thousandth of a mm above
      {0.0, "0"},                   // nothing asked, without a sign
      {-0.0, "0"},
  };
  for (const Fall& f : faelle) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", RequiredFireMm(f.cm));
    EXPECT_EQ(std::string(text), f.mm) << f.cm;
  }
}

// What a section has, printed beside what the table asks: in tenths of a mm, rounded down, so that a section that
// falls short of a whole mm does not read as having it ("the table asks a = 34 mm, the section has a = 34 mm").
TEST(PresentFireMmText, TenthsRoundedDownAndAWholeMmWithoutThem) {
  struct Fall {
    double cm;
    const char* mm;
  };
  const Fall faelle[] = {
      {3.4, "34"},                 // whole
      {3.4000000000000004, "34"},  // a whole mm with its last bit on
      {3.3999999999999995, "34"},  // and off
      {3.39, "33.9"},              // short of 34 mm: before "34"
      {3.395, "33.9"},             // 33.95 mm: before "34"
      {3.55, "35.5"},              // before "36", rounded half to even
      {30.0, "300"},               // a width
      {0.0, "0"},
  };
  for (const Fall& f : faelle) EXPECT_EQ(PresentFireMmText(f.cm), f.mm) << f.cm;
}

}  // namespace
