// The result diagram along the column: what is handed to the result entry and what reaches the 2D control.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "column_ui/kolumo2d.h"
#include "column_ui/kolumodraw.h"
#include "framework/results.h"
#include "framework_ui/labelplacer.h"
#include "platform/plotwerk/controls.h"
#include "platform/win/dialogs/wintest.h"

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
  EXPECT_EQ(g, -std::numeric_limits<double>::max());
  EXPECT_EQ(k, std::numeric_limits<double>::max());
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

// ---- The report's print layout ---------------------------------------------------------------------------------

namespace {

// A text's box on the page (view units): its run of 0.6 font heights per character from its baseline start, its
// capitals 0.8 font heights above the baseline and its descenders 0.25 below; the font is 0.7 text heights. The
// report's texts read horizontally.
struct Kasten {
  double x1, y1, x2, y2;
  bool Schneidet(const Kasten& o) const { return x1 < o.x2 && o.x1 < x2 && y1 < o.y2 && o.y1 < y2; }
};

Kasten TextKasten(const pw::Scene2D& s, const pw::Item2D& item) {
  double vx, vy;
  s.Transforms()[std::size_t(item.transform)].Apply(item.v[0], item.v[1], vx, vy);
  const double em = 0.7 * item.v[3];
  return {vx, vy - 0.25 * em, vx + 0.6 * em * double(item.text.size()), vy + 0.8 * em};
}

CDiagrammEingabe Bericht(std::vector<double> stationen, std::vector<double> werte, double hoehe) {
  CDiagrammEingabe e = Eingabe(std::move(stationen), std::move(werte), false);
  e.hoehe = hoehe;
  e.schriftHoehe = 0.2;
  return e;
}

}  // namespace

TEST_F(DiagrammZeichnenTest, DiagramsOfOneKindShareOneScale) {
  // Two diagrams side by side hold the range their values span together, 0 included: its width is 0.25 H = 1 across.
  // A value v lies at y = (offset - 0.5 H) + (v - lo) / (hi - lo) x 0.25 H.
  struct Fall {
    const char* name;
    std::vector<double> a, b;
    double aVon, aBis, bVon, bBis;  // y of each diagram's bands, offset 3 (diagram start y = 1)
  };
  const Fall faelle[] = {
      // Peaks 10 and 100 kN: range 0..100, the first 0.1 wide, the second 1.
      {"10 and 100", {0, 10, 4}, {0, 100, 40}, 1.0, 1.1, 1.0, 2.0},
      // -10..5 and 0..100: range -10..100 (110), zero line at 1 + 10/110.
      {"mixed signs", {-10, 5, 0}, {0, 100, 40}, 1.0, 1.0 + 15.0 / 110, 1.0 + 10.0 / 110, 2.0},
  };
  for (const Fall& f : faelle) {
    double lo = 0, hi = 0;
    SkalaErweitern(f.a, lo, hi);
    SkalaErweitern(f.b, lo, hi);
    double von[2], bis[2];
    for (int k = 0; k < 2; ++k) {
      plot_.Clear();
      CDiagrammEingabe e = Bericht({0, 2, 4}, k == 0 ? f.a : f.b, 4.0);
      e.skalaMin = lo;
      e.skalaMax = hi;
      ZeichneDiagramm(e, 3.0, plot_, "N");
      von[k] = 1e9;
      bis[k] = -1e9;
      for (const auto& item : Scene().Items())
        if (item.kind == pw::Kind2D::Polygon)
          for (std::size_t i = 1; i < item.v.size(); i += 2) {
            von[k] = std::min(von[k], item.v[i]);
            bis[k] = std::max(bis[k], item.v[i]);
          }
    }
    EXPECT_NEAR(von[0], f.aVon, 1e-6) << f.name;
    EXPECT_NEAR(bis[0], f.aBis, 1e-6) << f.name;
    EXPECT_NEAR(von[1], f.bVon, 1e-6) << f.name;
    EXPECT_NEAR(bis[1], f.bBis, 1e-6) << f.name;
  }
}

TEST_F(DiagrammZeichnenTest, DenseValueLabelsNeverOverlap) {
  // Sixty fields of one element over 4 m: the extremes of every field are labelled, one label per height (61
  // heights 0.067 m apart, 0.1 on the page with the stretch of 1.5, closer than a text is high: 1.05 x 0.7 x 0.2
  // = 0.147); two diagrams side by side share the picture's placement.
  std::vector<double> stationen, werte, zweite;
  for (int f = 0; f < 60; ++f)
    for (int e = 0; e < 2; ++e) {
      stationen.push_back((f + e) * 4.0 / 60);
      werte.push_back((f % 2 ? -1.0 : 1.0) * (10.0 + f) * (e ? 0.5 : 1.0));
      zweite.push_back(werte.back() * 3.0 + 1.0);
    }
  CLabelPlacer placer;
  // As the report's picture: turned by a quarter, the column drawn 1.5 times as long as the values' axis.
  plot_.Invoke39(0, 0, 0, -1.5, -1, 0);
  for (int d = 0; d < 2; ++d) {
    CDiagrammEingabe e = Bericht(stationen, d == 0 ? werte : zweite, 4.0);
    e.streckung = 1.5;
    e.teilung.assign(60, 1);
    e.schriftFeld = 1;
    e.beschriftung = &placer;
    ZeichneDiagramm(e, 3.0 + 3.0 * d, plot_, "M");
  }
  std::vector<Kasten> kaesten;
  int titel = 0;
  for (const auto& item : Scene().Items()) {
    if (item.kind != pw::Kind2D::Text) continue;
    EXPECT_DOUBLE_EQ(item.v[2], -90.0) << "every text reads horizontally on the page";
    if (item.text == "M") {
      ++titel;
      continue;
    }
    kaesten.push_back(TextKasten(Scene(), item));
  }
  EXPECT_EQ(titel, 2);
  ASSERT_EQ(kaesten.size(), 122u) << "both diagrams label each of their 61 heights";
  int hoechsteStufe = 0;
  for (int i = 0; i < placer.GetCount(); ++i) hoechsteStufe = std::max(hoechsteStufe, placer.GetLevel(i));
  EXPECT_GE(hoechsteStufe, 2) << "neighbouring labels had to move out";
  for (std::size_t i = 0; i < kaesten.size(); ++i)
    for (std::size_t j = i + 1; j < kaesten.size(); ++j)
      EXPECT_FALSE(kaesten[i].Schneidet(kaesten[j])) << "labels " << i << " and " << j;
}

TEST_F(DiagrammZeichnenTest, TheHeightAxisNamesTheFieldBoundaries) {
  // Fields of 3.20 and 4.50 m: head 0.00, boundary 3.20, foot 7.70; the column drawn twice as long as wide.
  CDiagrammEingabe e = Bericht({}, {}, 7.7);
  e.feldKoten = {0.0, 3.2, 7.7};
  e.streckung = 2.0;
  ZeichneHoehenachse(e, 5.0, -1.0, plot_);
  const double em = 0.7 * 0.2;
  struct Fall {
    const char* text;
    double kote;
  };
  const Fall faelle[] = {{"0.00 m", 0.0}, {"3.20 m", 3.2}, {"7.70 m", 7.7}};
  for (const Fall& f : faelle) {
    int texte = 0, striche = 0;
    for (const auto& item : Scene().Items()) {
      if (item.kind == pw::Kind2D::Text && item.text == f.text) {
        ++texte;
        // Its baseline a third of a font height below the height (the picture's heights run down the column).
        EXPECT_NEAR(item.v[0], f.kote + 0.35 * em / 2.0, 1e-9) << f.text;
        EXPECT_LT(item.v[1], 5.0) << "beside the axis, towards the diagrams";
      }
      if (item.kind == pw::Kind2D::Line && item.v[0] == f.kote && item.v[2] == f.kote && item.style.line == 0)
        ++striche;
    }
    EXPECT_EQ(texte, 1) << f.text;
    EXPECT_EQ(striche, 1) << "a tick at " << f.text;
  }
  int gepunktet = 0;
  for (const auto& item : Scene().Items())
    if (item.kind == pw::Kind2D::Line && item.style.line == 3) {
      ++gepunktet;
      EXPECT_DOUBLE_EQ(item.v[0], 3.2) << "only the inner boundary crosses the picture";
      EXPECT_DOUBLE_EQ(item.v[3], -1.0);
    }
  EXPECT_EQ(gepunktet, 1);
}

// ---- The preview's results view --------------------------------------------------------------------------------

TEST_F(DiagrammZeichnenTest, PreviewLabelsReadAcrossInsideTheViewWithoutOverlap) {
  // A column of 7.70 m, 40 cm wide, in a Y-Z view of 500 x 300 pixels with two header lines. At the text height the
  // view is given a label's font is 11 pixels (0.7 x h x scale), and every label reads across, inside the view, clear
  // of the others:
  // - the example's normal force, a step at every element from -979.50 at the head to -1905.03 at the foot;
  // - support forces at the head, at 3.20 m and at the foot (point values of one value each: one label apiece).
  const double hoehe = 7.7, breite = 0.40;
  struct Fall {
    const char* name;
    std::vector<double> stationen, werte;
    bool punkte;
    std::size_t texte;  // at least
  };
  Fall normalkraft{"normal force", {}, {}, false, 1};
  for (int i = 0; i <= 20; ++i) {
    const double z = hoehe * i / 20, n = -979.50 - 46.2765 * i;
    normalkraft.stationen.insert(normalkraft.stationen.end(), {z, z});
    normalkraft.werte.insert(normalkraft.werte.end(), {n, n});
  }
  const Fall faelle[] = {normalkraft, {"support forces", {0, 3.2, 7.7}, {-5.0, 12.0, -1127.8}, true, 3}};
  for (const Fall& f : faelle) {
    plot_.Clear();
    plot_.Invoke30("LK[1] Bruchnachweis Ed Normalkraft N [kN]\nmax = -979.50   min = -1905.03", 9, 15);
    plot_.Invoke39(0, 0, -1, 0, 0, -1);
    plot_.AddRectangle(-breite / 2, 0, breite / 2, hoehe);
    CDiagrammEingabe e = Eingabe(f.stationen, f.werte);
    e.hoehe = hoehe;
    e.punktWerte = f.punkte;
    e.schriftHoehe = ErgebnisSchrift(500, 300, 2, hoehe, breite);
    ASSERT_GT(e.schriftHoehe, 0.0);
    ZeichneDiagramm(e, breite + hoehe / 12, plot_, "");

    const pw::View2D view(Scene(), RECT{0, 0, 500, 300});
    const double font = 0.7 * e.schriftHoehe * view.Scale();
    EXPECT_NEAR(font, 11.0, 1.5) << f.name << ": a font the screen draws as measured, not clamped";
    std::vector<Kasten> kaesten;
    for (const auto& item : Scene().Items()) {
      if (item.kind == pw::Kind2D::ValueLabel) ADD_FAILURE() << f.name << ": turned with the column: " << item.text;
      if (item.kind != pw::Kind2D::Text) continue;
      EXPECT_DOUBLE_EQ(item.v[2], -90.0) << f.name << " reads across: " << item.text;
      const Kasten k = TextKasten(Scene(), item);
      const POINT a = view.ToPixel(k.x1, k.y1), b = view.ToPixel(k.x2, k.y2);
      EXPECT_GE(a.x, 0) << item.text;
      EXPECT_LE(b.x, 500) << item.text << " runs past the right edge";
      EXPECT_GE(b.y, 0) << item.text;
      EXPECT_LE(a.y, 300) << item.text;
      kaesten.push_back(k);
    }
    EXPECT_GE(kaesten.size(), f.texte) << f.name;
    for (std::size_t i = 0; i < kaesten.size(); ++i)
      for (std::size_t j = i + 1; j < kaesten.size(); ++j)
        EXPECT_FALSE(kaesten[i].Schneidet(kaesten[j])) << f.name << ": labels " << i << " and " << j;
    // No grey leader strikes through a text (it would hide a minus sign).
    for (const auto& item : Scene().Items()) {
      if (item.kind != pw::Kind2D::Line || item.style.colour != 0x808080) continue;
      double ax, ay, bx, by;
      const auto& t = Scene().Transforms()[std::size_t(item.transform)];
      t.Apply(item.v[0], item.v[1], ax, ay);
      t.Apply(item.v[2], item.v[3], bx, by);
      const Kasten linie{std::min(ax, bx), std::min(ay, by) - 1e-9, std::max(ax, bx), std::max(ay, by) + 1e-9};
      for (const Kasten& k : kaesten) EXPECT_FALSE(linie.Schneidet(k)) << f.name << ": a leader at " << ay;
    }
  }
}
