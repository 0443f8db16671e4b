// What the host and the column module share across the module's exports: the signatures of the exports and the
// objects whose handles travel in the parameters of an interface call.
#pragma once

#include <functional>
#include <vector>

#include "platform/win/afx.h"

extern "C" {
// Carries out the action of an interface call document; 1 done, 0 refused (or a handle the action returns).
using KolumoInterfaceFunc = int (*)(int callDocument);
// Calculates a position document; the flag is not used.
using KolumoCalcFunc = int (*)(int document, int flag);
// Writes the report of a position document.
using KolumoRtfFunc = int (*)(int document, int flag);
// 1 when a call of the exports above ran short of memory since the last question, else 0.
using KolumoShortageFunc = int (*)();
}

// The column's program name ("progname") in position files; its module name is empty.
inline constexpr const char* kKolumoProgName = "KOLUMO";

// One entry of the host's list of export targets ("vecExportToStruct*").
struct ExportToStruct {
  CString key;
  CString text;
};
using vecExportToStruct = std::vector<ExportToStruct>;

// The host's tip-file callback ("TYPE_SHOWRTFTIP"): shows the tip file of the page the engineer turned to.
using ShowRtfTipCallback = std::function<void(const char* tipFile)>;
