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

}  // namespace
