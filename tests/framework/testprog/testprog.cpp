// The test program: a simply supported beam of span "l" (m) under a uniform load "q" (kN/m), read from "input".
// Its calculation writes the bending moment M(x) = q x (l - x) / 2 (kNm) at five points as a generic result node;
// a span of 0 or less fails without a result, a span above 100 m stops with "abbruch" = 1. Every call counts itself
// in the root's "testCalls" and leaves its flag in "lastFlag", outside "input"; with the flag set, and in the output
// routine, the report is written beside the position; "sawVardef" tells whether "rtfFiles" held "vardef".
#include <cstdio>
#include <stdexcept>
#include <string>

#include "platform/viduv/viduv.h"

#define TESTPROG_API extern "C" __attribute__((visibility("default")))

namespace {

int interfaceCalls = 0;

void CountCall(int root, const char* counter, int flag) {
  VIDUV_SetInt(root, counter, VIDUV_GetInt(root, counter) + 1);
  VIDUV_SetInt(root, "lastFlag", flag);
  // Whether the report block of the variable definitions was handed over.
  int files = VIDUV_FindFirstChild(root, "rtfFiles");
  VIDUV_SetInt(root, "sawVardef", VIDUV_GetBinDataLength(files, "vardef") > 0 ? 1 : 0);
}

// The report beside the position file.
void WriteOutput(int document, const char* text) {
  std::string path = VIDUV_GetCompleteFileName(document);
  if (path.size() < 4) return;
  path = path.substr(0, path.size() - 4) + ".rtf";
  if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fprintf(file, "{\\rtf1 %s}", text);
    std::fclose(file);
  }
}

}  // namespace

TESTPROG_API int testprogInterface(int document) {
  (void)document;
  return ++interfaceCalls;
}

TESTPROG_API int testprogCalc(int document, int flag) {
  int root = VIDUV_GetRootElement(document);
  CountCall(root, "testCalls", flag);
  double l = VIDUV_GetDoubleByPath(root, "input", "l", 0.0);
  double q = VIDUV_GetDoubleByPath(root, "input", "q", 0.0);
  if (flag) WriteOutput(document, "Ausgabe der Berechnung");
  if (l <= 0) return 0;
  int result = VIDUV_AddChildElement(root, "result");
  VIDUV_SetString(result, "message", "Balken gerechnet");
  VIDUV_SetInt(result, "nNode", 5);
  VIDUV_SetInt(result, "nElem", 4);
  VIDUV_SetInt(result, "abbruch", l > 100 ? 1 : 0);
  int folder = VIDUV_AddChildElement(result, "schnittgroessen");
  VIDUV_SetString(folder, "title", "Schnittgrößen");
  int node = VIDUV_AddChildElement(folder, "moment");
  float data[10];
  for (int i = 0; i < 5; ++i) {
    double x = l * i / 4.0;
    data[2 * i] = float(x);
    data[2 * i + 1] = float(q * x * (l - x) / 2.0);
  }
  VIDUV_SetInt(node, "type", 0);
  VIDUV_SetString(node, "title", "My");
  VIDUV_SetString(node, "unit", "kNm");
  VIDUV_SetInt(node, "dataLength", 5);
  VIDUV_SetBinData(node, "data", int(sizeof(data)), data, 0);
  return 1;
}

TESTPROG_API int testprogRtf(int document, int flag) {
  CountCall(VIDUV_GetRootElement(document), "testOutputs", flag);
  WriteOutput(document, "Ausgabe");
  return 1;
}

TESTPROG_API int testprogThrows(int, int) { throw std::runtime_error("Rechenfehler"); }
