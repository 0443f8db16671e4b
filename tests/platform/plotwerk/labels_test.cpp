// Value labels of the views: shortened to their room with an ellipsis, a reason that yields leaves the 3D view's
// drawing at its size, and the load values of a 2D view stand apart and inside it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/plotwerk/gdiutil.h"
#include "platform/plotwerk/labels.h"
#include "platform/plotwerk/scene2d.h"
#include "platform/plotwerk/scene3d.h"
#include "platform/win/dialogs/wintest.h"

namespace pw = plotwerk;

namespace {

const std::string kEllipsis = "\xE2\x80\xA6";
const std::string kReason = "'a' hat keinen Wert: a = 1/0: Division durch Null.";

class LabelsTest : public win::test::MemoryDcTest {
 protected:
  int Width(const std::string& text) { return int(pw::TextBox(dc_, text, 11).right); }
};

bool Meet(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
bool Inside(const RECT& box, const RECT& view) {
  return box.left >= view.left && box.top >= view.top && box.right <= view.right && box.bottom <= view.bottom;
}
bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

// A text keeps as much of its start as fits before the ellipsis, in whole characters and without a blank before it.
TEST_F(LabelsTest, AShortenedTextKeepsItsLongestStartThatFits) {
  struct Fall {
    std::string text;
    int room;
    std::string shown;
  };
  const Fall faelle[] = {
      {"Stahlbetonstütze", Width("Stahlbetonstütze"), "Stahlbetonstütze"},
      {"Stahlbetonstütze", Width("Stahlbetonstü" + kEllipsis), "Stahlbetonstü" + kEllipsis},
      // ü is two bytes: the start ends before or after it, never inside it
      {"Größen über", Width("Grö" + kEllipsis), "Grö" + kEllipsis},
      {"Größen über", Width("Grö" + kEllipsis) - 1, "Gr" + kEllipsis},
      // the blank before the cut goes
      {"a = 1/0: Division", Width("a = 1/0:" + kEllipsis), "a = 1/0:" + kEllipsis},
      {"a = 1/0: Division", Width("a = 1/0: D" + kEllipsis) - 1, "a = 1/0:" + kEllipsis},
      {"480.00", 0, kEllipsis},
      {"", 0, ""},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.text + " in " + std::to_string(f.room));
    const std::string shown = pw::Shortened(dc_, f.text, 11, f.room);
    EXPECT_EQ(shown, f.shown);
    if (shown != kEllipsis) {
      EXPECT_LE(Width(shown), f.room);
    }
  }
}

namespace {

// A column 3.5 m high (30 x 40 cm) with the values of its loads beside its -x face, reading away from it, and the
// values of one more place on the -y face.
pw::Scene3D Column(const std::vector<std::pair<std::string, bool>>& xValues) {
  pw::Scene3D scene;
  scene.Add(pw::Kind3D::Box, {{-0.15, -0.2, 0.0}, {0.15, 0.2, 3.5}});
  double z = 0.4;
  for (const auto& [text, yields] : xValues) {
    scene.Add(pw::Kind3D::Text, {{-0.45, 0.0, z}, {-1, 0, 0}}, {yields ? 1.0 : 0.0}, {text});
    z += 1.2;
  }
  scene.Add(pw::Kind3D::Text, {{0.0, -0.5, 1.7}, {0, -1, 0}}, {}, {"12.5 kN"});
  scene.title = "Stahlbetonstütze H = 3.50 m";
  scene.titlePosition = 2;
  return scene;
}

}  // namespace

// A label that yields (a reason where a value is missing) takes no room from the drawing: the view shows the column
// at the size and place it has without that label, and the reason, shortened where it is too long, stands inside the
// view beside the other labels. The other labels read as they are.
TEST_F(LabelsTest, AReasonThatYieldsLeavesTheDrawingAtItsSize) {
  struct Fall {
    std::string reason;
    double azimuth;  // 35: the -x face to the right, reading right; 215: to the left, reading left
    int width, height;
    bool whole;
  };
  const Fall faelle[] = {{kReason, 35, 158, 382, false},
                         {kReason, 215, 158, 382, false},
                         {kReason, 35, 300, 500, false},
                         {"'b' nicht definiert", 35, 158, 382, false},
                         {"'b' nicht definiert", 215, 600, 400, true}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.reason + " at " + std::to_string(int(f.azimuth)) + ", " + std::to_string(f.width));
    const RECT view{0, 0, f.width, f.height};
    pw::Scene3D with = Column({{"95.0 kN", false}, {f.reason, true}, {"160.0 kN", false}});
    pw::Scene3D without = Column({{"95.0 kN", false}, {"", false}, {"160.0 kN", false}});
    with.azimuth = without.azimuth = f.azimuth;
    const pw::Layout3D a = with.Layout(dc_, view, with.Tessellate());
    const pw::Layout3D b = without.Layout(dc_, view, without.Tessellate());
    EXPECT_DOUBLE_EQ(a.projection.scale, b.projection.scale);
    EXPECT_NEAR(a.projection.x0, b.projection.x0, 1e-6);
    EXPECT_NEAR(a.projection.y0, b.projection.y0, 1e-6);
    ASSERT_EQ(a.labels.size(), 4u);
    const std::string& shown = a.labels[1].text;
    if (f.whole) {
      EXPECT_EQ(shown, f.reason);
    } else {
      ASSERT_TRUE(EndsWith(shown, kEllipsis)) << shown;
      EXPECT_EQ(f.reason.compare(0, shown.size() - kEllipsis.size(), shown, 0, shown.size() - kEllipsis.size()), 0)
          << shown;
    }
    EXPECT_EQ(a.labels[0].text, "95.0 kN");
    EXPECT_EQ(a.labels[2].text, "160.0 kN");
    EXPECT_EQ(a.labels[3].text, "12.5 kN");
    for (std::size_t i = 0; i < a.labels.size(); ++i) {
      EXPECT_TRUE(Inside(a.labels[i].box, view)) << i;
      for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(Meet(a.labels[i].box, a.labels[j].box)) << j << ", " << i;
    }
    // The drawn text is the box's: the reason is as wide as its box says.
    EXPECT_EQ(a.labels[1].box.right - a.labels[1].box.left, Width(shown));
  }
}

namespace {

// A drawing of 1 x 4 units with point loads pointing down at the given places and their values.
struct Last {
  double x, y;
  std::string text;
};
pw::Scene2D Loads(const std::vector<Last>& loads) {
  pw::Scene2D scene;
  scene.Add(pw::Kind2D::Rectangle, {0, 0, 1, 4});
  for (const Last& l : loads) scene.Add(pw::Kind2D::PointLoad, {l.x, l.y, 0, -0.1, 0.5}, l.text);
  return scene;
}

}  // namespace

// The values of the loads read from the tail of their arrows; one that another stands on moves below it, one that
// the view's edge stops moves back whole a short way, and one that still has no room is shortened at the edge.
TEST_F(LabelsTest, LoadValuesOfASideViewStandApartAndInsideIt) {
  const RECT client{0, 0, 150, 400};
  // The drawing fills 122 pixels across (150 less 14 on each side) and 372 down: 93 pixels a unit, its 4 units
  // upright taking all of them and the unit across 93 pixels, centred: x 0 at 14 + (122 - 93) / 2 = 28.5.
  const pw::Scene2D scene = Loads(
      {{0.2, 3.0, "620.00"}, {0.2, 3.0, "95.00"}, {1.0, 1.0, "2400.00"}, {0.5, 2.0, kReason}, {0.2, 0.5, "160.00"}});
  const pw::View2D view(scene, client);
  const std::vector<pw::Label2D> labels = view.Labels(dc_);
  ASSERT_EQ(labels.size(), 5u);
  // Each arrow's tail lies 0.5 above its point (the arrow points down).
  auto tail = [&](double x, double y) { return view.ToPixel(x, y + 0.5); };
  const RECT area{2, 2, 148, 398};
  for (std::size_t i = 0; i < labels.size(); ++i) {
    EXPECT_EQ(labels[i].item, i + 1);
    EXPECT_TRUE(Inside(labels[i].box, area)) << i;
    for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(Meet(labels[i].box, labels[j].box)) << j << ", " << i;
    EXPECT_EQ(labels[i].box.right - labels[i].box.left, Width(labels[i].text)) << i;
  }
  // Free: where it always stood.
  EXPECT_EQ(labels[0].text, "620.00");
  EXPECT_EQ(labels[0].baseline.x, tail(0.2, 3.0).x);
  EXPECT_EQ(labels[0].baseline.y, tail(0.2, 3.0).y);
  EXPECT_EQ(labels[4].baseline.x, tail(0.2, 0.5).x);
  EXPECT_EQ(labels[4].baseline.y, tail(0.2, 0.5).y);
  // On the first: below it, in line with it.
  EXPECT_EQ(labels[1].text, "95.00");
  EXPECT_EQ(labels[1].baseline.x, labels[0].baseline.x);
  EXPECT_GE(labels[1].box.top, labels[0].box.bottom);
  // At the edge: back just as far as it runs over, whole.
  EXPECT_EQ(labels[2].text, "2400.00");
  EXPECT_EQ(labels[2].box.right, area.right);
  EXPECT_EQ(labels[2].baseline.y, tail(1.0, 1.0).y);
  EXPECT_LT(labels[2].baseline.x, tail(1.0, 1.0).x);
  // Too long: back four of its heights and shortened to the edge.
  EXPECT_TRUE(EndsWith(labels[3].text, kEllipsis)) << labels[3].text;
  EXPECT_EQ(labels[3].baseline.x, tail(0.5, 2.0).x - 44);
  EXPECT_EQ(labels[3].text, pw::Shortened(dc_, kReason, 11, int(area.right - labels[3].box.left)));
}

// A picture of the view shows each value where its label stands, and nothing of them at its edges.
TEST_F(LabelsTest, ASideViewDrawsItsValuesWhereTheyStand) {
  const int width = 150, height = 400;
  const pw::Scene2D scene = Loads({{0.5, 2.0, kReason}, {1.0, 1.0, "2.40"}});
  struct Context {
    const pw::Scene2D* scene;
  } context{&scene};
  const auto pixels = pw::RenderOffscreen(
      width, height, 0xFFFFFF,
      [](HDC dc, const RECT& r, const void* c) { pw::View2D(*static_cast<const Context*>(c)->scene, r).Render(dc); },
      &context);
  int edge = 0;
  for (int y = 0; y < height; ++y)
    for (int x : {0, 1, width - 2, width - 1}) edge += (pixels[std::size_t(y * width + x)] & 0xFFFFFF) != 0xFFFFFF;
  EXPECT_EQ(edge, 0);
  const std::vector<pw::Label2D> labels = pw::View2D(scene, RECT{0, 0, width, height}).Labels(dc_);
  ASSERT_EQ(labels.size(), 2u);
  for (const pw::Label2D& l : labels) {
    int ink = 0;
    for (LONG y = l.box.top; y < l.box.bottom; ++y)
      for (LONG x = l.box.left; x < l.box.right; ++x)
        ink += (pixels[std::size_t(y * width + x)] & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_GT(ink, 10) << l.text;
  }
}
