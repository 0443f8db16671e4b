// The result diagram along the column: what is handed to the result entry and what reaches the 2D control.
#include <gtest/gtest.h>

#include <cmath>

#include "column_ui/kolumodraw.h"
#include "framework/results.h"
#include "platform/plotwerk/controls.h"
#include "platform/win/wintest.h"

namespace pw = plotwerk;

namespace {

CDiagrammEingabe Eingabe(std::vector<double> stationen, std::vector<double> werte, bool vorschau = true) {
  CDiagrammEingabe e;
  e.stationen = std::move(stationen);
  e.werte = std::move(werte);
  e.hoehe = 4.0;
  e.vorschau = vorschau;
  return e;
}

}  // namespace

TEST(MerkeExtremwertTest, ResetStartsASeriesWithoutTheValue) {
  double g = 0, k = 0;
  int ig = -1, ik = -1;
  MerkeExtremwert(1, 4, 99.0, g, k, ig, ik);
  EXPECT_EQ(g, -1000000.0);
  EXPECT_EQ(k, 1000000.0);
  EXPECT_EQ(ig, 4);
  EXPECT_EQ(ik, 4);
  const double werte[] = {3.0, -2.0, 5.0, 5.0, -2.5};
  for (int i = 0; i < 5; ++i) MerkeExtremwert(0, 5 + i, werte[i], g, k, ig, ik);
  EXPECT_EQ(g, 5.0);
  EXPECT_EQ(ig, 7) << "an equal value does not replace the first";
  EXPECT_EQ(k, -2.5);
  EXPECT_EQ(ik, 9);
}

TEST(DiagrammEintragTest, ExtremesAndClosingPoint) {
  struct Fall {
    const char* name;
    std::vector<double> werte;
    double groesster, kleinster, spanne;
    bool schliesst;
  };
  const Fall faelle[] = {
      {"all positive", {2, 5, 3}, 5, 0, 5, true},
      {"all negative", {-1, -4}, 0, -4, 4, true},
      {"both signs", {-1, 2}, 2, -1, 3, false},
      {"with a zero", {0, 3}, 3, 0, 3, false},
  };
  for (const Fall& f : faelle) {
    std::vector<double> stationen;
    for (std::size_t i = 0; i < f.werte.size(); ++i) stationen.push_back(double(i));
    CResultEntry e;
    double spanne = FuelleDiagrammEintrag(Eingabe(stationen, f.werte), e);
    EXPECT_DOUBLE_EQ(spanne, f.spanne) << f.name;
    EXPECT_EQ(e.maxValue, float(f.groesster)) << f.name;
    EXPECT_EQ(e.minValue, float(f.kleinster)) << f.name;
    EXPECT_EQ(e.type, 0);
    const int punkte = int(f.werte.size()) + (f.schliesst ? 1 : 0);
    ASSERT_EQ(e.values.GetSize(), 2 * punkte) << f.name;
    if (f.schliesst) {
      EXPECT_EQ(e.values[2 * punkte - 2], float(stationen.back())) << "(last station, 0) closes " << f.name;
      EXPECT_EQ(e.values[2 * punkte - 1], 0.0f);
    }
    EXPECT_EQ(e.pointFlags.GetSize(), 0) << "the preview marks no points";
  }
}

TEST(DiagrammEintragTest, PointValuesCarryBothBoundsAndAreNotClosed) {
  CDiagrammEingabe eingabe = Eingabe({0.0, 4.0}, {12.0, 30.0});
  eingabe.punktWerte = true;
  CResultEntry e;
  FuelleDiagrammEintrag(eingabe, e);
  EXPECT_EQ(e.type, 3);
  ASSERT_EQ(e.values.GetSize(), 6);
  EXPECT_EQ(e.values[3], 4.0f);
  EXPECT_EQ(e.values[4], 30.0f);
  EXPECT_EQ(e.values[5], 30.0f);
}

TEST(DiagrammEintragTest, ReportMarksTheExtremesOfEachField) {
  // Two fields of 2 and 3 elements: the first ends after 4 points, the second after 10.
  std::vector<double> stationen, werte = {1, 4, 4, 2, -1, -3, -3, 6, 6, 2};
  for (int i = 0; i < 10; ++i) stationen.push_back(i * 0.5);
  CDiagrammEingabe eingabe = Eingabe(stationen, werte, false);
  eingabe.teilung = {2, 3};
  eingabe.schriftFeld = 1;
  CResultEntry e;
  FuelleDiagrammEintrag(eingabe, e);
  ASSERT_EQ(e.pointFlags.GetSize(), 10) << "both signs: no closing point";
  // Field 1 (points 0-3): largest 4 first at point 1, smallest 1 at point 0. Field 2 (points 4-9): largest 6 at
  // point 7, smallest -3 at point 5.
  const int erwartet[10] = {1, 1, 0, 0, 0, 1, 0, 1, 0, 0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(e.pointFlags[i], erwartet[i]) << "point " << i;
}

class DiagrammZeichnenTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    parent_.CreateEx(0, "Static", "", WS_POPUP, CRect(0, 0, 600, 400), nullptr, 0);
    ASSERT_TRUE(plot_.Create("", WS_VISIBLE, CRect(0, 0, 500, 300), &parent_, 11016));
  }
  void TearDown() override {
    plot_.DestroyWindow();
    parent_.DestroyWindow();
    WindowTest::TearDown();
  }
  pw::Scene2D& Scene() { return pw::Control2D::FromHandle(plot_.m_hWnd)->Scene(); }
  CWnd parent_;
  CPlotwerk2D plot_;
};

TEST_F(DiagrammZeichnenTest, AnAllZeroDiagramIsOneLineAndTheTitle) {
  // Equal values other than 0 are one-signed and close to the axis (range = the value); all forces zero leave no
  // range at all.
  ZeichneDiagramm(Eingabe({0, 2, 4}, {0, 0, 0}, false), 1.0, plot_, "Moment My");
  const auto& items = Scene().Items();
  ASSERT_EQ(items.size(), 2u);
  // y = offset - 0.375 H = 1 - 1.5; the title at (1.1 H, offset - 0.25 H), -90 degrees, H/18 high.
  EXPECT_EQ(items[0].kind, pw::Kind2D::Line);
  EXPECT_EQ(items[0].v, (std::vector<double>{0, -0.5, 4, -0.5}));
  EXPECT_EQ(items[0].style.line, 1);
  EXPECT_EQ(items[1].kind, pw::Kind2D::Text);
  EXPECT_DOUBLE_EQ(items[1].v[0], 4.4);
  EXPECT_DOUBLE_EQ(items[1].v[1], 0.0);
  EXPECT_DOUBLE_EQ(items[1].v[2], -90.0);
  EXPECT_DOUBLE_EQ(items[1].v[3], 4.0 / 18);
  EXPECT_EQ(items[1].text, "Moment My");
}

TEST_F(DiagrammZeichnenTest, EmptyAndZeroLengthDiagramsDrawSafely) {
  ZeichneDiagramm(Eingabe({}, {}), 1.0, plot_, "");
  EXPECT_TRUE(Scene().Items().empty());
  CDiagrammEingabe null = Eingabe({0, 0}, {0, 0});
  null.hoehe = 0;
  ZeichneDiagramm(null, 0.0, plot_, "");
  for (const auto& item : Scene().Items())
    for (double v : item.v) EXPECT_TRUE(std::isfinite(v));
  CDiagrammEingabe spike = Eingabe({1, 1}, {0, 5});  // all stations at one height
  spike.hoehe = 0;
  ZeichneDiagramm(spike, 0.0, plot_, "");
  for (const auto& item : Scene().Items())
    for (double v : item.v) EXPECT_TRUE(std::isfinite(v));
}

TEST_F(DiagrammZeichnenTest, TheCurveLiesBetweenOffsetMinusHalfAndAQuarterOfH) {
  // Values 2, 5, 3: range 5, scale -0.25 H / 5 = -0.2; value v lies at y = (5 - v) s + offset - 0.25 H.
  ZeichneDiagramm(Eingabe({0, 2, 4}, {2, 5, 3}), 3.0, plot_, "");
  const auto& s = Scene();
  ASSERT_FALSE(s.Items().empty());
  const auto& t = s.Transforms()[std::size_t(s.Items().back().transform)];
  EXPECT_EQ(t.ox, 3.0) << "the preview turns the diagram beside the column";
  EXPECT_EQ(t.yx, -1.0);
  double lo = 1e9, hi = -1e9;
  int polygons = 0;
  for (const auto& item : s.Items())
    if (item.kind == pw::Kind2D::Polygon) {
      ++polygons;
      for (std::size_t i = 1; i < item.v.size(); i += 2) {
        lo = std::min(lo, item.v[i]);
        hi = std::max(hi, item.v[i]);
      }
    }
  EXPECT_EQ(polygons, 3) << "one band per segment, the closing point included";
  EXPECT_NEAR(hi, 3.0 - 1.0, 1e-6) << "the base line (value 0)";
  EXPECT_NEAR(lo, 3.0 - 2.0, 1e-6) << "the largest value";
  int labels = 0;
  for (const auto& item : s.Items()) labels += item.kind == pw::Kind2D::ValueLabel;
  EXPECT_GE(labels, 1) << "the extreme values are labelled";
}
