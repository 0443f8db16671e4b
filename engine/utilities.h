// Small routines shared by the engine and the drawing and output code around it.
#pragma once

#include "platform/win/base/wintypes.h"

// The colour table of the engine's drawings (0x00BBGGRR), filled by SetzeFarben.
constexpr int kFarbAnzahl = 14;
extern COLORREF g_farben[kFarbAnzahl];
void SetzeFarben();

// Rounds to int: truncates toward zero and steps one further away from zero when the dropped
// fraction's magnitude is greater than 0.499.
int RundeF(float x);
int Runde(double x);

// Linear interpolation of y over the monotonic table x (n entries, ascending or descending) at x0;
// values beyond the ends are those of the ends; 0.0 when no interval holds x0.
double Interpoliere(const double* y, const double* x, int n, double x0);

namespace engine {
// atan2(y, x) in radians; pi/2 when both are exactly 0.
double Angle(double y, double x);
}  // namespace engine
