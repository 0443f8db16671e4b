// One value of a position's exports tree, as other positions find it by its "desc". A value is a "value" element
// with "desc", "varName", "val" and "unit". A value whose definition failed is a "failedValue" element with the
// same names and the reason in "reason", and no "val": no reader takes a number from it, and a reader that knows
// only "value" elements finds no value of that name.
#pragma once

#include "platform/win/afx.h"

inline constexpr const char kExportedValue[] = "value";
inline constexpr const char kFailedExportedValue[] = "failedValue";

// Adds the value under parent: a "value" when failure is empty, else a "failedValue" saying it. Returns the element.
int AddExportedValue(int parent, const char* desc, const char* varName, double value, const char* unit,
                     const char* failure);
// Gives `element` (a child found by its desc) the value or the failure; a value of the other kind is replaced by a
// new one. Returns the element that holds it.
int SetExportedValue(int element, const char* varName, double value, const char* unit, const char* failure);
// Why an element of the tree holds no value: the reason of a failed value ("?" when it gives none); empty for
// anything else.
CString ExportedFailure(int element);
// Removes every value and failed value directly under parent; folders stay.
void RemoveExportedValues(int parent);
