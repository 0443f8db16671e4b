// Collision-free placement of value labels beside the members of one drawing: each label is a box along its
// member; a new label moves away from the member, one label height per level, until its box overlaps no box
// placed before on the same level.
#pragma once

#include <memory>
#include <vector>

#include "platform/win/afx.h"

// A label's box: four corners (integer units of 0.01 model units) in the order start-near, start-far, end-near,
// end-far, and a polygon region made from them on first use.
class CLabelBox {
 public:
  CLabelBox() = default;
  CLabelBox(const CLabelBox& other) : m_tolerance(other.m_tolerance) { std::copy(other.m_pt, other.m_pt + 4, m_pt); }
  CLabelBox& operator=(const CLabelBox& other);

  // Corners from integer search coordinates (model units x 10000); stored divided by 100 and rounded.
  void SetCorners(const POINT corners[4]);
  const POINT& Corner(int i) const { return m_pt[i]; }
  // Two corners equal: the box has no area and collides with nothing.
  bool IsDegenerate() const;
  bool Collides(CLabelBox& other);

 private:
  CRgn& Region();
  POINT m_pt[4]{};
  double m_tolerance = 0.01;
  std::unique_ptr<CRgn> m_region;
};

class CLabelPlacer {
 public:
  explicit CLabelPlacer(int capacity = 150);

  // The offset (model units) at which a label of the given height lies free on the given side of the segment
  // P-Q; extent start and end are the label's stretch along the segment in model units, measured from P.
  double FindOffset(int code, double px, double py, double qx, double qy, double modelLength, double extentStart,
                    double extentEnd, double height, int side, double baseOffset);

  // A label along a member from start to end position (model units): the label covers extentStart..extentEnd,
  // widened by half a gap at each end. The member is drawn along the y axis from start to end; the label's height
  // is the given height and it is placed on the positive side from offset 0. Returns the offset.
  double PlaceLabel(double start, double end, double extentStart, double extentEnd, double height, double gap);

  // The box of a label (exposed for tests and for drawings that want to outline their labels).
  static CLabelBox MakeBox(int code, POINT p, POINT q, int side, long offset, long h1, long h2);

  int GetCount() const { return m_count; }
  const CLabelBox& GetBox(int i) const { return m_boxes[std::size_t(i)]; }
  int GetLevel(int i) const { return m_levels[std::size_t(i)]; }

 private:
  std::vector<CLabelBox> m_boxes;
  std::vector<int> m_levels;
  std::vector<std::vector<int>> m_perLevel;  // the boxes of each level
  int m_count = 0;
};
