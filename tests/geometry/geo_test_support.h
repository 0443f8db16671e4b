// Shared checks of the geometry tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "geometry/geometry.h"

inline constexpr double kPi = std::numbers::pi;
// Hand-worked values agree with the library to rounding.
inline constexpr double kExact = 1e-12;

// Point equal to (x, y, z) within kExact per coordinate.
inline ::testing::AssertionResult PointIs(const CGeoPoint& p, double x, double y, double z, double tol = kExact) {
  if (std::fabs(p.m_x - x) <= tol && std::fabs(p.m_y - y) <= tol && std::fabs(p.m_z - z) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << p.m_x << ", " << p.m_y << ", " << p.m_z << ") is not (" << x << ", "
                                       << y << ", " << z << ")";
}
