// Label placement: box corners per placement code, collisions, and the search for a free offset.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "framework_ui/labelplacer.h"

namespace {

struct BoxCase {
  const char* name;
  int code;
  POINT p, q;
  int side;
  long offset, h1, h2;
  POINT corners[4];  // expected, after division by 100
};

// Corners worked out by hand from the placement rules. Segment P-Q in search units (y grows downwards).
//  horizontal P(0,0)-Q(10000,0): phi = atan2(0, 10000) = 0, sin 0, cos 1.
//  vertical   P(0,0)-Q(0,10000): phi = atan2(-10000, 0) = -90 deg, sin -1, cos 0.
//  diagonal   P(0,0)-Q(10000,-10000): phi = 45 deg, sin = cos = 0.7071.
const BoxCase kBoxes[] = {
    // Perpendicular, horizontal segment: near corners P - d(0, 1) = (0, -1000); far (0, -(1000 + 500)).
    {"perpendicular", 1, {0, 0}, {10000, 0}, 1, 1000, 500, 500, {{0, -10}, {0, -15}, {100, -10}, {100, -15}}},
    // Side -1 exchanges near and far of each end: d = -1000 gives y = +1000, far y = +1500.
    {"perpendicular other side", 1, {0, 0}, {10000, 0}, -1, 1000, 500, 500, {{0, 15}, {0, 10}, {100, 15}, {100, 10}}},
    // Vertical segment, sin -1: near x = 0 - d * (-1) = +1000.
    {"perpendicular vertical", 11, {0, 0}, {0, 10000}, 1, 1000, 500, 800, {{10, 0}, {15, 0}, {10, 100}, {18, 100}}},
    // Vertical shift on the horizontal segment: y - d / cos = -1000, far -1500.
    {"vertical shift", 2, {0, 0}, {10000, 0}, 1, 1000, 500, 500, {{0, -10}, {0, -15}, {100, -10}, {100, -15}}},
    // Vertical shift with cos = 0: all corners at P.
    {"vertical shift on vertical segment",
     12,
     {300, 0},
     {300, 10000},
     1,
     1000,
     500,
     500,
     {{3, 0}, {3, 0}, {3, 0}, {3, 0}}},
    // Horizontal shift on the diagonal: x - d / sin = -1414.2; width h / sin = 707.1 <= 1.3 h.
    {"horizontal shift", 3, {0, 0}, {10000, -10000}, 1, 1000, 500, 500, {{-14, 0}, {-21, 0}, {86, -100}, {79, -100}}},
    // Vertical band on the diagonal: y = min(y) - trunc(cos * d) = -10000 - 707 = -10707; far 500 above.
    {"vertical band", 4, {0, 0}, {10000, -10000}, 1, 1000, 500, 500, {{0, -107}, {0, -112}, {100, -107}, {100, -112}}},
    // Horizontal band on the diagonal: x = 0 - trunc(sin * d) = -707; far 500 further left.
    {"horizontal band", 5, {0, 0}, {10000, -10000}, 1, 1000, 500, 500, {{-7, 0}, {-12, 0}, {-7, -100}, {-12, -100}}},
    {"unknown code", 7, {200, 300}, {10000, 0}, 1, 1000, 500, 500, {{2, 3}, {2, 3}, {2, 3}, {2, 3}}},
};

}  // namespace

TEST(LabelBoxTest, CornersFollowThePlacementCode) {
  for (const BoxCase& c : kBoxes) {
    CLabelBox box = CLabelPlacer::MakeBox(c.code, c.p, c.q, c.side, c.offset, c.h1, c.h2);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(box.Corner(i).x, c.corners[i].x) << c.name << " corner " << i;
      EXPECT_EQ(box.Corner(i).y, c.corners[i].y) << c.name << " corner " << i;
    }
  }
}

TEST(LabelBoxTest, Collisions) {
  auto make = [](LONG x1, LONG y1, LONG x2, LONG y2) {
    // A box along a horizontal segment from (x1, y1) to (x2, y1), reaching y2 - y1 above it.
    return CLabelPlacer::MakeBox(1, POINT{x1 * 100, y1 * 100}, POINT{x2 * 100, y1 * 100}, 1, 0, (y1 - y2) * 100,
                                 (y1 - y2) * 100);
  };
  CLabelBox a = make(0, 0, 100, -20);
  CLabelBox same = make(0, 0, 100, -20);
  CLabelBox overlapping = make(50, -10, 150, -30);
  CLabelBox apart = make(200, 0, 300, -20);
  CLabelBox touching = make(100, 0, 200, -20);  // shares only the edge x = 100
  CLabelBox flat = CLabelPlacer::MakeBox(1, POINT{0, 0}, POINT{0, 0}, 1, 0, 1000, 1000);
  EXPECT_TRUE(a.Collides(same)) << "boxes with the same corners";
  EXPECT_TRUE(a.Collides(overlapping));
  EXPECT_TRUE(overlapping.Collides(a));
  EXPECT_FALSE(a.Collides(apart));
  EXPECT_FALSE(a.Collides(touching)) << "touching edges share no area";
  EXPECT_TRUE(flat.IsDegenerate());
  EXPECT_FALSE(flat.Collides(a));
  EXPECT_FALSE(a.Collides(flat));
  CLabelBox copy(a);
  EXPECT_EQ(copy.Corner(3).x, a.Corner(3).x);
  EXPECT_TRUE(copy.Collides(overlapping)) << "a copy builds its own region";
}

TEST(LabelPlacerTest, LabelsOverOneStretchStackOneHeightApart) {
  CLabelPlacer placer(150);
  // A column 0..5 m; labels 0.8 m high over 1..2 m, each label extent widened by 0.005 m at both ends.
  EXPECT_DOUBLE_EQ(placer.PlaceLabel(0.0, 5.0, 1.0, 2.0, 0.8, 0.01), 0.0) << "the first label lies at the base";
  EXPECT_DOUBLE_EQ(placer.PlaceLabel(0.0, 5.0, 1.0, 2.0, 0.8, 0.01), 0.8) << "level 2";
  EXPECT_DOUBLE_EQ(placer.PlaceLabel(0.0, 5.0, 2.0, 1.0, 0.8, 0.01), 1.6) << "level 3; the extent is ordered";
  EXPECT_EQ(placer.GetLevel(2), 3);
  // A stretch clear of the others goes back to the base.
  EXPECT_DOUBLE_EQ(placer.PlaceLabel(0.0, 5.0, 3.0, 4.0, 0.8, 0.01), 0.0);
  // Overlapping the first stretch: levels 1 to 3 are taken there, so level 4.
  EXPECT_DOUBLE_EQ(placer.PlaceLabel(0.0, 5.0, 1.5, 2.5, 0.8, 0.01), 2.4);
  EXPECT_EQ(placer.GetCount(), 5);
}

TEST(LabelPlacerTest, AdjacentStretchesMeetOnlyThroughTheirGap) {
  CLabelPlacer placer;
  EXPECT_DOUBLE_EQ(placer.PlaceLabel(0.0, 5.0, 0.0, 1.0, 0.5, 0.0), 0.0);
  // Without a gap the boxes only touch at 1.0 m: both at the base.
  EXPECT_DOUBLE_EQ(placer.PlaceLabel(0.0, 5.0, 1.0, 2.0, 0.5, 0.0), 0.0);
  // With a gap of 0.02 m each widens by 0.01 m and they overlap.
  CLabelPlacer gapped;
  gapped.PlaceLabel(0.0, 5.0, 0.0, 1.0, 0.5, 0.02);
  EXPECT_DOUBLE_EQ(gapped.PlaceLabel(0.0, 5.0, 1.0, 2.0, 0.5, 0.02), 0.5);
}

TEST(LabelPlacerTest, ZeroLengthSegmentsAndZeroHeightsStayAtTheBase) {
  CLabelPlacer placer;
  EXPECT_DOUBLE_EQ(placer.PlaceLabel(2.0, 2.0, 1.0, 3.0, 0.5, 0.01), 0.0);
  EXPECT_DOUBLE_EQ(placer.PlaceLabel(2.0, 2.0, 1.0, 3.0, 0.5, 0.01), 0.0) << "degenerate boxes collide with nothing";
  EXPECT_DOUBLE_EQ(placer.FindOffset(1, 0, 0, 0, 5, 5, 1, 2, 0.0, 1, 0.25), 0.25);
  EXPECT_DOUBLE_EQ(placer.FindOffset(1, 0, 0, 0, 5, 5, 1, 2, 0.0, 1, 0.25), 0.25);
}

TEST(LabelPlacerTest, ManyLabelsOnOneStretchNeverShareALevel) {
  CLabelPlacer placer(150);
  for (int i = 0; i < 150; ++i)
    EXPECT_NEAR(placer.PlaceLabel(0.0, 10.0, 4.0, 6.0, 0.25, 0.01), 0.25 * i, 1e-9) << "label " << i;
}

// Drawings thousands of times too large (a column typed in millimetres) decide by the boxes' bounds: boxes along
// the axes exactly as their regions would (touching edges share no area), slanted boxes beyond 4096 rows by
// their bounds, which can only push a label further out.
TEST(LabelBoxTest, HugeBoxesCollideByTheirBounds) {
  auto make = [](LONG x1, LONG y1, LONG x2, LONG y2) {
    return CLabelPlacer::MakeBox(1, POINT{x1 * 100, y1 * 100}, POINT{x2 * 100, y1 * 100}, 1, 0, (y1 - y2) * 100,
                                 (y1 - y2) * 100);
  };
  struct Case {
    const char* name;
    CLabelBox a, b;
    bool collides;
  };
  // a horizontal segment 0..10^6 with a box 10^6 high above it: 10^6 rows of region before
  Case cases[] = {
      {"overlapping", make(0, 0, 1000000, -1000000), make(999999, 0, 2000000, -1000000), true},
      {"touching", make(0, 0, 1000000, -1000000), make(1000000, 0, 2000000, -1000000), false},
      {"apart", make(0, 0, 1000000, -1000000), make(0, -1000001, 1000000, -2000000), false},
      // on the diagonal P(0,0)-Q(10^8,-10^8) one box 10^6 rows high; a box along the axes inside its bounds
      {"slanted within the bounds",
       CLabelPlacer::MakeBox(1, POINT{0, 0}, POINT{100000000, -100000000}, 1, 0, 1000000, 1000000),
       make(999000, -10, 1000000, -20), true},
  };
  for (Case& c : cases) EXPECT_EQ(c.a.Collides(c.b), c.collides) << c.name;
}

// A damaged position can put a load at no number or 1e300 m up; its label must neither crash the drawing nor
// take a place other labels then avoid.
TEST(LabelPlacerTest, PositionsBeyondAnyScreenStayFinite) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  CLabelPlacer placer;
  struct Case {
    const char* name;
    double qy, extentStart, extentEnd, height, base;
  } unplaced[] = {
      {"height no number", 5, 1, 2, nan, 0.25},
      {"extent infinite", 5, -inf, 2, 0.5, 0.25},
      {"column top infinite", inf, 1, 2, 0.5, 0.25},
      {"base no number", 5, 1, 2, 0.5, nan},
  };
  for (const Case& c : unplaced) {
    const double o = placer.FindOffset(1, 0, 0, 0, c.qy, 5, c.extentStart, c.extentEnd, c.height, 1, c.base);
    EXPECT_TRUE(std::isfinite(o)) << c.name;
  }
  EXPECT_EQ(placer.GetCount(), 0) << "labels at no number are not placed";
  // Finite but far beyond the search range: placed, stacked, and the offsets stay finite numbers.
  for (int i = 0; i < 3; ++i) {
    const double o = placer.FindOffset(1, 0, -1e300, 0, 1e300, 1e300, 1e299, 2e299, 1e300, 1, -1e300);
    EXPECT_TRUE(std::isfinite(o)) << "huge label " << i;
  }
  EXPECT_EQ(placer.GetCount(), 3);
  EXPECT_DOUBLE_EQ(placer.PlaceLabel(0.0, 5.0, 1.0, 2.0, 0.5, 0.0), 0.0) << "an ordinary label is not pushed away";
}
