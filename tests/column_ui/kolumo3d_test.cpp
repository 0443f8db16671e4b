// The column's 3D view: what reaches the 3D control for fields, supports, dimensions, title and loads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "column/kolumodata.h"
#include "column_ui/kolumodraw.h"
#include "layout3d_flaws.h"
#include "platform/plotwerk/controls.h"
#include "platform/win/dialogs/wintest.h"
#include "platform/win/screen/headless.h"

namespace pw = plotwerk;

namespace {

class Kolumo3DTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    parent_.CreateEx(0, "Static", "", WS_POPUP, CRect(0, 0, 400, 600), nullptr, 0);
    ASSERT_TRUE(view_.Create("", WS_VISIBLE, CRect(0, 0, 300, 500), &parent_, 11011));
  }
  void TearDown() override {
    view_.DestroyWindow();
    parent_.DestroyWindow();
    WindowTest::TearDown();
  }
  pw::Scene3D& Scene() { return pw::Control3D::FromHandle(view_.m_hWnd)->Scene(); }
  std::vector<const pw::Item3D*> Items(pw::Kind3D kind) {
    std::vector<const pw::Item3D*> out;
    for (const auto& i : Scene().Items())
      if (i.kind == kind) out.push_back(&i);
    return out;
  }

  // A column of the given field lengths (m); rectangular 30 x 40 cm sections unless changed.
  void Column(std::initializer_list<double> lengths) {
    data_.SetFieldCount(int(lengths.size()));
    int i = 0;
    for (double l : lengths) {
      data_.fieldLengths[i] = l;
      data_.querschnitte[i].bx = 30.0;
      data_.querschnitte[i].dy = 40.0;
      ++i;
    }
  }
  void AddLoad(int ltype, int node, int direction, double offset, double length, double val0, double val1) {
    Load l;
    l.ltype = ltype;
    l.node = node;
    l.direction = direction;
    l.offset = offset;
    l.length = length;
    l.val0 = val0;
    l.val1 = val1;
    data_.loads[0].Add(l);
  }

  CWnd parent_;
  CPlotwerk3D view_;
  CKolumoData data_;
};

}  // namespace

TEST_F(Kolumo3DTest, FieldsAreSolidsByTheirSectionKind) {
  Column({2.0, 1.5, 1.0});
  data_.querschnitte[1].type = 1;
  data_.querschnitte[1].bx = 40.0;  // circle, radius 0.2 m
  data_.querschnitte[2].type = 2;
  data_.querschnitte[2].bx = 60.0;  // ring, radii 0.3 and 0.2 m
  data_.querschnitte[2].dy = 40.0;
  data_.querschnitte[0].ex = 10.0;  // the rectangle lies 0.1 m off the axis in x
  Zeichne3D(data_, view_);

  auto boxes = Items(pw::Kind3D::Box);
  ASSERT_EQ(boxes.size(), 1u);
  // Corners (ex -+ bx/2, ey -+ dy/2) x 0.01 and the field's ends 0 and 2 m.
  EXPECT_FLOAT_EQ(float(boxes[0]->p[0][0]), -0.05f);
  EXPECT_FLOAT_EQ(float(boxes[0]->p[0][1]), -0.2f);
  EXPECT_FLOAT_EQ(float(boxes[0]->p[1][0]), 0.25f);
  EXPECT_FLOAT_EQ(float(boxes[0]->p[1][2]), 2.0f);

  auto solids = Items(pw::Kind3D::Extrusion);
  ASSERT_EQ(solids.size(), 2u);
  EXPECT_FLOAT_EQ(float(solids[0]->p[0][2]), 2.0f);
  EXPECT_FLOAT_EQ(float(solids[0]->p[1][2]), 3.5f);
  EXPECT_FLOAT_EQ(float(solids[1]->p[1][2]), 4.5f);
  const auto* circle = Scene().Section(solids[0]->section1);
  const auto* ring = Scene().Section(solids[1]->section1);
  ASSERT_TRUE(circle && ring);
  ASSERT_EQ(circle->size(), 64u);
  for (const auto& p : *circle) EXPECT_NEAR(std::hypot(p[0], p[1]), 0.2, 1e-6);
  ASSERT_EQ(ring->size(), 131u);
  for (std::size_t k = 0; k < 65; ++k) EXPECT_NEAR(std::hypot((*ring)[k][0], (*ring)[k][1]), 0.3, 1e-6);
  for (std::size_t k = 65; k < 130; ++k) EXPECT_NEAR(std::hypot((*ring)[k][0], (*ring)[k][1]), 0.2, 1e-6);
  EXPECT_NEAR((*ring)[130][0], 0.3, 1e-7);
  EXPECT_EQ((*ring)[130][1], 0.0);
  EXPECT_EQ(solids[1]->section1, solids[1]->section2);
}

TEST_F(Kolumo3DTest, SupportsTitleAndDimensions) {
  Column({2.0, 1.5});
  data_.querschnitte[1].bx = 50.0;  // the widest section: Wx = 50 cm
  data_.supports[0][0].cx = -1.0;
  data_.supports[0][0].cy = 800.0;
  data_.supports[0][2].cmx = -1.0;
  data_.supports[0][2].cmy = 1200.0;
  Zeichne3D(data_, view_);

  auto supports = Items(pw::Kind3D::Support);
  ASSERT_EQ(supports.size(), 3u);
  const double z[3] = {0.0, 2.0, 3.5};
  for (int j = 0; j < 3; ++j) {
    EXPECT_FLOAT_EQ(float(supports[std::size_t(j)]->p[0][2]), float(z[j])) << "node " << j;
    EXPECT_EQ(supports[std::size_t(j)]->p[1][2], j == 2 ? -1.0 : 0.0) << "only the last node gets -1";
    EXPECT_FLOAT_EQ(float(supports[std::size_t(j)]->v[0]), 0.8f);
    EXPECT_EQ(supports[std::size_t(j)]->style.colour, COLORREF(0x408080));
  }
  EXPECT_EQ(supports[0]->p[1][0], -1.0);
  EXPECT_EQ(supports[0]->p[1][1], 800.0);
  EXPECT_EQ(supports[2]->p[2][0], -1.0);
  EXPECT_EQ(supports[2]->p[2][1], 1200.0);

  // "%.2f" of H = 3.5 m, text height H/35 = 0.1.
  EXPECT_EQ(Scene().title, "Stahlbetonstütze H = 3.50 m");
  EXPECT_EQ(Scene().titlePosition, 2);
  EXPECT_NEAR(Scene().titleHeight, 0.1, 1e-7);

  auto dims = Items(pw::Kind3D::Quad);
  ASSERT_EQ(dims.size(), 3u);
  // Per field at Wx x 0.01 + H/12 = 0.5 + 0.29167, the whole column at 0.5 + H/6 = 1.08333.
  EXPECT_FLOAT_EQ(float(dims[1]->p[0][2]), 2.0f);
  EXPECT_FLOAT_EQ(float(dims[1]->p[1][2]), 3.5f);
  EXPECT_FLOAT_EQ(float(dims[1]->p[2][0]), float(0.5 + 3.5 / 12));
  EXPECT_FLOAT_EQ(float(dims[1]->p[2][2]), 2.75f);
  EXPECT_FLOAT_EQ(float(dims[2]->p[2][0]), float(0.5 + 3.5 / 6));
  EXPECT_FLOAT_EQ(float(dims[2]->p[1][2]), 3.5f);
  EXPECT_TRUE(pw::Control3D::FromHandle(view_.m_hWnd)->SceneEnded());
}

TEST_F(Kolumo3DTest, AColumnWithoutFieldsOnlyClearsTheBackgroundAndEnds) {
  Scene().background = 0;
  Zeichne3D(data_, view_);
  EXPECT_TRUE(Scene().Items().empty());
  EXPECT_TRUE(Scene().title.empty());
  EXPECT_EQ(Scene().background, COLORREF(0xFFFFFF));
  EXPECT_TRUE(pw::Control3D::FromHandle(view_.m_hWnd)->SceneEnded());
}

TEST_F(Kolumo3DTest, DistributedLoadsStandOnTheColumnAndTheirLabelsBesideIt) {
  Column({5.0});  // H = 5, L = 1; section 30 x 40 cm: the -x face at x = -0.15, the -y face at y = -0.2
  AddLoad(0, 0, 0, 1.0, 2.0, 3.0, 0.0);    // uniform 3.0 in x from 1 to 3 m
  AddLoad(1, 0, 0, 1.0, 2.2, 2.0, 2.005);  // linear 2.0 to 2.005 in x from 1 to 3.2 m
  AddLoad(0, 0, 1, 0.0, 9.0, -6.0, 0.0);   // in y, reaching beyond the top: drawn up to H
  AddLoad(0, 0, 2, 0.0, 1.0, 0.0, 0.0);    // zero: skipped
  AddLoad(0, 0, 0, 6.0, 1.0, 5.0, 0.0);    // starts above H: skipped
  Zeichne3D(data_, view_);

  auto loads = Items(pw::Kind3D::LineLoad);
  ASSERT_EQ(loads.size(), 3u);
  // m = 6 (largest |value|), L = 1: arrow 0.7 L |f| / m, at most 0.3 L. Every load's arrow tips lie on the face
  // of its side, whatever its label does.
  const auto& first = *loads[0];
  EXPECT_FLOAT_EQ(float(first.p[0][0]), -0.15f);
  EXPECT_FLOAT_EQ(float(first.p[0][2]), 1.0f);
  EXPECT_FLOAT_EQ(float(first.p[1][2]), 3.0f);
  EXPECT_FLOAT_EQ(float(first.p[2][0]), 1.0f);
  EXPECT_FLOAT_EQ(float(first.v[1]), 0.3f) << "0.7 x 3 / 6 = 0.35 limited to 0.3";
  EXPECT_EQ(int(first.v[3]), 5) << "2.5 x (z2 - z1)";
  EXPECT_FLOAT_EQ(float(loads[1]->p[0][0]), -0.15f);
  EXPECT_FLOAT_EQ(float(loads[1]->v[1]), float(0.7 * 2.0 / 6.0));
  // -6 in y pulls: its arrows start at the face and point to -y, their tips 0.7 x 6 / 6 -> 0.3 L beyond it.
  EXPECT_FLOAT_EQ(float(loads[2]->p[2][1]), -1.0f);
  EXPECT_FLOAT_EQ(float(loads[2]->p[0][1]), -0.2f - 0.3f);
  EXPECT_NEAR(loads[2]->p[0][1] + loads[2]->v[1], -0.2, 1e-6) << "the tails touch the face";
  EXPECT_FLOAT_EQ(float(loads[2]->p[1][2]), 5.0f) << "drawn up to H; the data keeps its length";
  EXPECT_DOUBLE_EQ(data_.loads[0][2].length.GetValue(), 9.0);

  auto texts = Items(pw::Kind3D::Text);
  ASSERT_EQ(texts.size(), 3u);
  struct Fall {
    const char* text;
    double x, y, z;
  };
  // Labels at the middle of their load, 0.35 L beyond the face (past the longest arrow); the y load has its own
  // side. The second one stands at nearly the first one's height: the view moves it apart on the screen.
  const Fall faelle[] = {
      {"3.0 kN/m", -0.15 - 0.35, 0.0, 2.0}, {"2.0 kN/m", -0.15 - 0.35, 0.0, 2.1}, {"-6.0 kN/m", 0.0, -0.2 - 0.35, 2.5}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(texts[i]->texts[0], faelle[i].text);
    EXPECT_NEAR(texts[i]->p[0][0], faelle[i].x, 1e-6) << faelle[i].text;
    EXPECT_NEAR(texts[i]->p[0][1], faelle[i].y, 1e-6) << faelle[i].text;
    EXPECT_NEAR(texts[i]->p[0][2], faelle[i].z, 1e-6) << faelle[i].text;
  }
  EXPECT_TRUE(Items(pw::Kind3D::LineLoad)[0]->texts[0].empty()) << "the load itself carries no text";
}

// A linear load from -3 to +6 kN/m in x changes its sign a third of the way (z = 1 + 3 x 3 / 9 = 2 m): two bands,
// the pulling one pointing to -x from the face, the pushing one to +x onto it.
TEST_F(Kolumo3DTest, ALoadThatChangesItsSignPointsBothWays) {
  Column({5.0});                          // L = 1; the -x face at x = -0.15
  AddLoad(1, 0, 0, 1.0, 3.0, -3.0, 6.0);  // linear in x from 1 to 4 m
  Zeichne3D(data_, view_);
  auto loads = Items(pw::Kind3D::LineLoad);
  ASSERT_EQ(loads.size(), 2u);
  const auto& zug = *loads[0];
  const auto& druck = *loads[1];
  EXPECT_FLOAT_EQ(float(zug.p[0][2]), 1.0f);
  EXPECT_FLOAT_EQ(float(zug.p[1][2]), 2.0f);
  EXPECT_FLOAT_EQ(float(druck.p[0][2]), 2.0f);
  EXPECT_FLOAT_EQ(float(druck.p[1][2]), 4.0f);
  EXPECT_FLOAT_EQ(float(zug.p[2][0]), -1.0f);
  EXPECT_FLOAT_EQ(float(druck.p[2][0]), 1.0f);
  // m = 6: 3 kN/m is 0.7 x 3 / 6 = 0.35, 6 kN/m 0.7, both scaled so that the larger is 0.3 L: 0.15 and 0.3.
  EXPECT_FLOAT_EQ(float(zug.v[1]), 0.15f);
  EXPECT_FLOAT_EQ(float(zug.v[2]), 0.0f);
  EXPECT_FLOAT_EQ(float(druck.v[1]), 0.0f);
  EXPECT_FLOAT_EQ(float(druck.v[2]), 0.3f);
  EXPECT_FLOAT_EQ(float(zug.p[0][0]), -0.15f - 0.15f) << "the pulling arrows start at the face";
  EXPECT_FLOAT_EQ(float(druck.p[1][0]), -0.15f) << "the pushing arrows end at it";
}

TEST_F(Kolumo3DTest, ALoadOfTheSecondFieldStandsAtThatFieldsHeight) {
  Column({3.2, 4.5});                       // field 2 from 3.2 to 7.7 m below the head
  data_.querschnitte[1].bx = 40.0;          // its -x face at x = -0.2
  AddLoad(0, 1, 0, 0.0, 4.5, 2.4, 0.0);     // uniform over field 2
  AddLoad(10, 1, 2, 0.0, 0.0, 480.0, 0.0);  // axial at node 2 (the head of field 2)
  AddLoad(10, 1, 0, 1.5, 0.0, -10.0, 0.0);  // pulling in x, 1.5 m into field 2
  Zeichne3D(data_, view_);
  auto line = Items(pw::Kind3D::LineLoad);
  ASSERT_EQ(line.size(), 1u);
  EXPECT_FLOAT_EQ(float(line[0]->p[0][2]), 3.2f);
  EXPECT_FLOAT_EQ(float(line[0]->p[1][2]), 7.7f);
  EXPECT_FLOAT_EQ(float(line[0]->p[0][0]), -0.2f) << "on field 2's face";
  auto forces = Items(pw::Kind3D::PointLoad);
  ASSERT_EQ(forces.size(), 2u);
  // Axial: the tip at the node's height on the -y face; H = 7.7, L = 1.54, size 0.3 L.
  EXPECT_FLOAT_EQ(float(forces[0]->p[0][2]), 3.2f);
  EXPECT_FLOAT_EQ(float(forces[0]->p[0][1]), -0.2f);
  EXPECT_FLOAT_EQ(float(forces[0]->p[1][2]), 1.0f) << "pointing down the column";
  // Pulling: the arrow starts at the face (tail = tip - direction x size) and points away.
  const auto& zug = *forces[1];
  EXPECT_FLOAT_EQ(float(zug.p[0][2]), 4.7f);
  EXPECT_FLOAT_EQ(float(zug.p[1][0]), -1.0f);
  EXPECT_NEAR(zug.p[0][0] + zug.v[1], -0.2, 1e-6) << "the tail touches the face";
  auto texts = Items(pw::Kind3D::Text);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1]->texts[0], "480.0 kN");
  EXPECT_EQ(texts[2]->texts[0], "-10.0 kN");
  EXPECT_NEAR(texts[2]->p[0][2], 4.7, 1e-6);
}

TEST_F(Kolumo3DTest, ConcentratedLoadsAndMoments) {
  Column({2.0, 2.0});                       // H = 4, L = 0.8
  data_.querschnitte[1].ex = 5.0;           // field 2 lies 0.05 m off the axis: its -x face at -0.1
  AddLoad(10, 1, 2, 0.0, 0.0, 100.0, 0.0);  // axial 100 kN at node 1 (z = 2)
  AddLoad(10, 1, 0, 0.5, 0.0, 10.0, 4.0);   // 10 kN and 4 kNm in x at z = 2.5
  AddLoad(10, 2, 1, 0.0, 0.0, 0.0, 0.0);    // nothing: skipped
  Zeichne3D(data_, view_);

  auto forces = Items(pw::Kind3D::PointLoad);
  ASSERT_EQ(forces.size(), 2u);
  // Axial: on the -y face at (ex, -dy/2), the tip at z; size 0.7 L x 100 / 100 = 0.56 > 0.3 L = 0.24.
  EXPECT_FLOAT_EQ(float(forces[0]->p[0][0]), 0.05f);
  EXPECT_FLOAT_EQ(float(forces[0]->p[0][1]), -0.2f);
  EXPECT_FLOAT_EQ(float(forces[0]->p[0][2]), 2.0f);
  EXPECT_FLOAT_EQ(float(forces[0]->p[1][2]), 1.0f);
  EXPECT_FLOAT_EQ(float(forces[0]->v[1]), 0.24f);
  // In x: on the face at z = 2.5.
  EXPECT_FLOAT_EQ(float(forces[1]->p[0][0]), -0.1f);
  EXPECT_FLOAT_EQ(float(forces[1]->p[0][2]), 2.5f);
  EXPECT_FLOAT_EQ(float(forces[1]->p[1][0]), 1.0f);
  EXPECT_FLOAT_EQ(float(forces[1]->v[1]), float(4.0 / 35)) << "0.7 L x 10 / 100 = 0.056 is raised to H/35";
  auto moments = Items(pw::Kind3D::Moment);
  ASSERT_EQ(moments.size(), 1u);
  // A positive moment of a load in x tilts the head to -x (a cantilever under 30 kNm so loaded deflects by
  // -3.4 cm at its head in the calculation): a vector along -y.
  EXPECT_FLOAT_EQ(float(moments[0]->p[1][1]), -0.24f) << "0.7 L x 4 / 100 is raised to 0.3 L";
  EXPECT_EQ(moments[0]->p[1][0], 0.0);

  // Labels with units beside the -x face, 0.35 L = 0.28 out: the axial one at the middle of its arrow (2 - 0.12),
  // the force in x and its moment at 2.5 (the view sets them apart on the screen).
  auto texts = Items(pw::Kind3D::Text);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0]->texts[0], "100.0 kN");
  EXPECT_NEAR(texts[0]->p[0][0], -0.1 - 0.28, 1e-6);
  EXPECT_NEAR(texts[0]->p[0][2], 1.88, 1e-6);
  EXPECT_EQ(texts[1]->texts[0], "10.0 kN");
  EXPECT_NEAR(texts[1]->p[0][0], -0.1 - 0.28, 1e-6);
  EXPECT_EQ(texts[2]->texts[0], "4.0 kNm");
  EXPECT_NEAR(texts[2]->p[0][0], -0.1 - 0.28, 1e-6);
  EXPECT_NEAR(texts[2]->p[0][2], 2.5, 1e-6);
  EXPECT_EQ(texts[2]->p[1][0], -1.0) << "reading away from the column";
}

TEST_F(Kolumo3DTest, MomentsWithoutAnyForceKeepAFiniteSize) {
  Column({3.0});                          // L = 0.6
  AddLoad(10, 0, 1, 1.0, 0.0, 0.0, 7.5);  // a moment alone: m10 = 0
  Zeichne3D(data_, view_);
  auto moments = Items(pw::Kind3D::Moment);
  ASSERT_EQ(moments.size(), 1u);
  // In y a positive moment tilts the head to +y (+3.4 cm under 30 kNm in the calculation): a vector along -x.
  EXPECT_FLOAT_EQ(float(moments[0]->p[1][0]), -0.18f);
  EXPECT_TRUE(Items(pw::Kind3D::PointLoad).empty());
}

TEST_F(Kolumo3DTest, OnlyTheFirstDrawingResetsTheView) {
  Column({3.0});
  data_.plot3D.Add(&view_);
  Scene().azimuth = 80;
  Draw3D(data_);
  EXPECT_TRUE(Is3DDrawn());
  EXPECT_EQ(Scene().azimuth, 35) << "the first drawing resets the view";
  EXPECT_EQ(Items(pw::Kind3D::Box).size(), 1u);
  Scene().azimuth = 80;
  Draw3D(data_);
  EXPECT_EQ(Scene().azimuth, 80) << "later drawings keep the engineer's view";
  EXPECT_EQ(Items(pw::Kind3D::Box).size(), 1u) << "each drawing starts from a cleared scene";
  data_.plot3D.RemoveAll();
}

// The example column's loads and title, drawn at one size of the view and shown at others (the preview lays out its
// frames after the drawing when its window changes), as first shown and turned: the labels stand apart, and every
// label and the whole title stand inside the view. The head's 620 and 95 kN and node 1's 480 and 160 kN stood one
// over the other at every size: their labels were moved apart in metres, by what a label's width would be at one
// scale of the view.
TEST_F(Kolumo3DTest, TheLabelsStandApartAndInsideTheViewAtEverySizeAndTurn) {
  Column({3.2, 4.5});
  AddLoad(10, 0, 2, 0.0, 0.0, 620.0, 0.0);
  AddLoad(10, 1, 2, 0.0, 0.0, 480.0, 0.0);
  AddLoad(10, 0, 2, 0.0, 0.0, 95.0, 0.0);
  AddLoad(10, 1, 2, 0.0, 0.0, 160.0, 0.0);
  AddLoad(0, 0, 0, 0.0, 3.2, 2.4, 0.0);
  AddLoad(0, 1, 0, 0.0, 4.5, 2.4, 0.0);
  struct Size {
    int width, height;
  };
  // Drawn at the first size of each pair, then shown at the second: the preview's 3D frame on the input tabs
  // (158) and on the results tab (127), and wider views.
  const std::pair<Size, Size> sizes[] = {{{158, 382}, {158, 382}}, {{158, 382}, {127, 382}},  {{127, 382}, {127, 382}},
                                         {{158, 382}, {158, 700}}, {{300, 500}, {170, 500}},  {{240, 300}, {400, 900}},
                                         {{600, 400}, {200, 600}}, {{300, 500}, {300, 500}},  {{450, 500}, {450, 500}},
                                         {{700, 500}, {700, 500}}, {{1000, 500}, {1000, 500}}};
  // As first shown, and turned by drags of the pointer (azimuth, elevation).
  const std::pair<double, double> turns[] = {{35, 20}, {5, 32}, {-60, 10}, {120, 45}, {200, -30}};
  for (const auto& [drawn, shown] : sizes)
    for (const auto& [azimuth, elevation] : turns) {
      const std::string name = std::to_string(drawn.width) + "x" + std::to_string(drawn.height) + "-" +
                               std::to_string(shown.width) + "x" + std::to_string(shown.height) + "-" +
                               std::to_string(int(azimuth)) + "-" + std::to_string(int(elevation));
      SCOPED_TRACE(name);
      view_.MoveWindow(0, 0, drawn.width, drawn.height);
      Zeichne3D(data_, view_);
      Scene().azimuth = azimuth;
      Scene().elevation = elevation;
      view_.MoveWindow(0, 0, shown.width, shown.height);
      const pw::Layout3D layout = pw::Control3D::FromHandle(view_.m_hWnd)->CurrentLayout();
      ASSERT_EQ(layout.labels.size(), 9u) << "four forces, two winds and three dimensions";
      EXPECT_EQ(layout3d::Flaws(layout, shown.width, shown.height, "Stahlbetonstütze H = 7.70 m"), "");
      if (const char* dir = std::getenv("KOLUMO_PICTURES"))
        win::SaveWindowPng(view_.m_hWnd, std::string(dir) + "/view3d-" + name + ".png");
      view_.Refresh(0, 1, 1);
    }
}
