// The generic results of a position: the tree of result nodes under the root's "result" element, read into a flat
// list of entries. One entry is a curve of values along the structure with its title, path, unit and display
// hints; it finds its extremes, gains zero crossings and draws itself as a diagram.
#pragma once

#include <limits>

#include "platform/win/afx.h"

// What a diagram needs of the 2D drawing control.
class CDiagramTarget {
 public:
  virtual ~CDiagramTarget() = default;
  virtual void AddLine(double x1, double y1, double x2, double y2) = 0;
  // A filled polygon.
  virtual void AddPolygon(int n, const double* x, const double* y) = 0;
  virtual void AddText(double x, double y, double angle, double height, const char* text) = 0;
  // A value label at (x, y) with a leader to (labelX, labelY).
  virtual void AddValueLabel(double x, double y, double labelX, double labelY, double height, double angle,
                             const char* text) = 0;
  // Colour and two style codes for what follows; all 0 resets.
  virtual void SetStyle(COLORREF colour, int style1, int style2, BOOL filled) = 0;
  // Ends a group of items.
  virtual void Invoke55() = 0;
};

class CResultEntry {
 public:
  // Floats per point of a layout: 0: x, y; 1: seven floats; 2 and 3: x, y1, y2; 0 for an unknown layout.
  static int FloatsPerPoint(int type);
  int GetPointCount() const;

  // Minimum and maximum with their positions; an all-positive (all-negative) curve or a flat one gets 0 as the
  // extreme nearer zero.
  void CalcMinMax();
  // Type 0: a point of value 0 where the curve crosses the band +-0.0001; type 2: a band whose two values are
  // nearly equal keeps one of them.
  void InsertZeroPoints();
  // Draws types 0, 2 and 3 with the drawing parameters below.
  void DrawDiagram(CDiagramTarget& plot);

  CArray<float, float> values;  // the points, laid out by type
  CArray<float, float> extremePositions;
  CArray<int, int> pointFlags;  // from "poi"
  // Start beyond every value a curve can hold.
  float minValue = std::numeric_limits<float>::max();
  float maxValue = -std::numeric_limits<float>::max();
  float minPosition = 0.0f;
  float maxPosition = 0.0f;
  BOOL bAbsolut = FALSE;  // labels show absolute values
  BOOL perNode = FALSE;   // dataLength equals the node count
  int type = 0;
  int defaultHint = 0;
  CString title;
  CString path;
  CString unit;
  int lkNr = -1;
  int resType = -1;
  int nDigits = 3;
  int axisIntervals = 5;

  // Drawing parameters: a value v is drawn at y = (maximum - v) * scale + offset (flipped: (v - minimum) * ...).
  double scale = 1.0;
  double offset = 0.0;
  BOOL labelsAbove = FALSE;  // label lines run beyond the top instead of the bottom
  double labelX = 0.0;       // x of the axis labels; 0: four text heights before the start
  BOOL flip = FALSE;
  BOOL withCaption = FALSE;
  double textHeight = 0.0;
  BOOL keepTextHeight = FALSE;

 private:
  double Y(double v) const;
};

// One annotation of a position: stored as the text attribute `name` of the element "annotations".
struct CAnnotation {
  int key = 0;
  CString name;
  CString text;
};

// Axis ticks between min and max for at least about n intervals.
void CalcAxisTicks(double min, double max, int n, CArray<double, double>& ticks);
// Reads one node of the "result" tree: a leaf is appended to `entries`, a folder reads its children.
void ReadResultNode(int element, const CString& parentPath, int nNode, int nElem, CArray<CResultEntry>& entries);
