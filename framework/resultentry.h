// One node of a position's generic results tree: a curve of values along the structure with its title, path,
// unit and display hints, and its extremes.
#pragma once

#include "platform/win/afx.h"

class CResultEntry {
 public:
  CArray<float, float> values;  // the points, laid out by type
  CArray<float, float> extremePositions;
  CArray<int, int> pointFlags;  // from "poi"
  float minValue = 1e10f;
  float maxValue = -1e10f;
  float minPosition = 0.0f;
  float maxPosition = 0.0f;
  BOOL bAbsolut = FALSE;
  BOOL perNode = FALSE;  // dataLength equals the node count
  int type = 0;          // 0: x, y; 1: 7 floats; 2 and 3: x, y1, y2
  int defaultHint = 0;
  CString title;
  CString path;
  CString unit;
  int lkNr = -1;
  int resType = -1;
  int nDigits = 3;
  int axisIntervals = 5;
};

// One annotation of a position: stored as the text attribute `name` of the element "annotations".
struct CAnnotation {
  int key = 0;
  CString name;
  CString text;
};
