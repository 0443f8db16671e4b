// Free numeric helpers of the geometry library: rounding, angles, ordering, sorting, chord counts, cubics.
#pragma once

#include <cstdint>

#include "platform/win/base/wintypes.h"

// x rounded to `digits` decimals; the fraction is rounded up from 0.49 (floor of 10^d · f + 0.51).
double RoundTo(double x, std::uint16_t digits);
double RoundedFmod(double x, double y, std::uint16_t digits);
// rest = |frac(angle / (π/2)) · π/2|; 1 when rest ≤ 1e-6.
int IsRightAngleMultiple(double angle, double& rest);
// The angle in [0, 2π).
double NormalizeAngle(double angle);
// 1 when a text running in that direction reads upright (from −60° to 120°, and from 300° up).
int IsReadableAngle(double angle);
double ReadableAngle(double angle);
// 0 … 3 for the normalised angle in [0, π/2), [π/2, π), [π, 3π/2), [3π/2, 2π).
int GetQuadrant(double angle);

void Swap(double& a, double& b);
void Swap(int& a, int& b);
// Returns the first byte's old value.
BYTE Swap(BYTE& a, BYTE& b);
void OrderAscending(double& a, double& b);
void OrderAscending(int& a, int& b);
void OrderDescending(double& a, double& b);
void OrderDescending(int& a, int& b);

// Shell sort in place; the forms without the flag sort descending.
void ShellSort(int* values, int n, BOOL ascending);
void ShellSort(double* values, int n, BOOL ascending);
void ShellSort(int* values, int n);
void ShellSort(double* values, int n);

// Rounds value to a multiple of 1/n and returns the number of decimals used; n below 1 is refused
// (returns -1, value unchanged).
int RoundToFraction(int n, double& value);
// Chords for an arc of that span: n ≥ 1 chords per full circle (a partial chord counts whole); n < 1: |n|.
int GetChordCount(double span, int n);
// Real roots of a·x³ + b·x² + c·x + d = 0; returns how many were stored.
int SolveCubic(double a, double b, double c, double d, double roots[3]);
