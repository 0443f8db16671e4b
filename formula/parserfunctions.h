// The named functions of the expression language and the angle unit that its trigonometric functions obey.
#pragma once

#include <map>
#include <string>

using FormulaFunction1 = double (*)(double);
using FormulaFunction2 = double (*)(double, double);
using FormulaFunction3 = double (*)(double, double, double);

// The function tables by number of arguments; a name stands in one table only. Exact, case-sensitive names.
// Built when the module is loaded.
const std::map<std::string, FormulaFunction1, std::less<>>& FormulaFunctions1();
const std::map<std::string, FormulaFunction2, std::less<>>& FormulaFunctions2();
const std::map<std::string, FormulaFunction3, std::less<>>& FormulaFunctions3();

// 1 = degrees, 2 = gon, anything else = radians. Read from the user's settings at the first call and kept
// for the life of the module.
int GetAngleUnit();
// Forgets the unit read, so that the next GetAngleUnit reads the setting again (as a reload of the module
// would); for tests.
void ResetAngleUnit();

// A double truncated toward zero to a 32-bit integer; values outside that range and NaN give INT_MIN, as
// the processor's conversion does.
int TruncateToInt(double x);
