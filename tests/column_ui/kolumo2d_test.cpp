// The column in the preview's 2D views, and dragging its nodes, loads and cut.
#include <gtest/gtest.h>

#include <cmath>

#include "column/kolumodata.h"
#include "column_ui/kolumo2d.h"
#include "column_ui/kolumodraw.h"
#include "platform/plotwerk/controls.h"
#include "platform/viduv/viduv.h"
#include "framework_ui/plotwerk.h"
#include "platform/win/dialogs/wintest.h"

namespace pw = plotwerk;

namespace {

class Kolumo2DTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    parent_.CreateEx(0, "Static", "", WS_POPUP, CRect(0, 0, 900, 600), nullptr, 0);
    for (int k = 0; k < 3; ++k) {
      ASSERT_TRUE(view_[k].Create("", WS_VISIBLE, CRect(300 * k, 0, 300 * k + 290, 590), &parent_, UINT(11010 + k)));
      data_.plot2D.Add(&view_[k]);
    }
    // The example column: fields of 3.20 m (35 x 35 cm) and 4.50 m (40 x 40 cm) from the head; axial point loads
    // 620, 480, 95, 160 kN and wind of 2.4 kN/m in x over both fields (loads 5 and 6; load 0 is the own weight).
    const int doc = VIDUV_OpenDoc(KOLUMO_SOURCE_DIR "/data/examples/Stuetze.tqx");
    ASSERT_NE(doc, 0);
    data_.doc = doc;
    data_.ReadData(doc);
    VIDUV_CloseDoc(doc);
    data_.doc = 0;
  }
  void TearDown() override {
    for (auto& v : view_) v.DestroyWindow();
    parent_.DestroyWindow();
    WindowTest::TearDown();
  }
  const pw::Scene2D& Scene(int k) { return pw::Control2D::FromHandle(view_[k].m_hWnd)->Scene(); }
  std::vector<const pw::Item2D*> Items(int k, pw::Kind2D kind) {
    std::vector<const pw::Item2D*> out;
    for (const auto& i : Scene(k).Items())
      if (i.kind == kind) out.push_back(&i);
    return out;
  }
  const pw::Item2D* ById(int k, long id, pw::Kind2D kind) {
    for (const auto& i : Scene(k).Items())
      if (i.id == id && i.kind == kind) return &i;
    return nullptr;
  }

  CWnd parent_;
  CPlotwerk2D view_[3];
  CKolumoData data_;
};

constexpr double H = 7.7;

TEST_F(Kolumo2DTest, SideViewsOfTheExampleCarryNodesWithTheirIdsAndSprings) {
  CKolumoVorschau2D bild(data_);
  bild.Draw2D();
  struct Fall {
    int view;
    int node;
    double x, z, dx, dz, sixth;
  };
  // Node x at the section's +y (view 0) or +x (view 1) edge of the field below it: 35/2 and 40/2 cm; the node
  // at the column's end (z = H) stands on the axis pointing along it, with the fixity marker -1.
  const Fall faelle[] = {{0, 0, 0.175, 0.0, -H / 30, 0, 0}, {0, 1, 0.2, 3.2, -H / 30, 0, 0},
                         {0, 2, 0.0, H, 0, -H / 30, -1},    {1, 0, 0.175, 0.0, -H / 30, 0, 0},
                         {1, 1, 0.2, 3.2, -H / 30, 0, 0},   {1, 2, 0.0, H, 0, -H / 30, -1}};
  for (const Fall& f : faelle) {
    const pw::Item2D* n = ById(f.view, 4 * f.node + 1, pw::Kind2D::Node);
    ASSERT_NE(n, nullptr) << "view " << f.view << " node " << f.node;
    EXPECT_NEAR(n->v[0], f.x, 1e-9);
    EXPECT_NEAR(n->v[1], f.z, 1e-9);
    EXPECT_NEAR(n->v[2], f.dx, 1e-9);
    EXPECT_NEAR(n->v[3], f.dz, 1e-9);
    EXPECT_EQ(n->v[5], f.sixth);
  }
  // The end node carries cz (fixed: -1); the others cy or cx (held by the slabs: -1).
  EXPECT_EQ(ById(0, 9, pw::Kind2D::Node)->v[4], -1.0);
  EXPECT_EQ(Items(0, pw::Kind2D::Node).size(), 3u);
  // Fields as rectangles from the head: field 1 over 3.2 to 7.7 m, 40 cm wide about the axis.
  auto rects = Items(1, pw::Kind2D::Rectangle);
  ASSERT_EQ(rects.size(), 4u);
  EXPECT_NEAR(rects[2]->v[0], -0.2, 1e-12);
  EXPECT_NEAR(rects[2]->v[1], 3.2, 1e-12);
  EXPECT_NEAR(rects[2]->v[3], H, 1e-12);
  // Dimensions: per field and the whole column at W + H/6 = 0.4 + 1.28333.
  auto dims = Items(0, pw::Kind2D::Dimension);
  ASSERT_EQ(dims.size(), 3u);
  EXPECT_NEAR(dims[2]->v[3], H, 1e-12);
  EXPECT_NEAR(dims[2]->v[4], 0.4 + H / 6, 1e-12);
}

TEST_F(Kolumo2DTest, LoadsOfTheExampleInEachView) {
  CKolumoVorschau2D bild(data_);
  bild.Draw2D();
  // Axial point loads show in both views at the axis, arrow along it: 620 / (1.95 x 620) = 0.51282.
  for (int v = 0; v < 2; ++v) {
    const pw::Item2D* dach = ById(v, 4 * 1 + 2, pw::Kind2D::PointLoad);
    ASSERT_NE(dach, nullptr) << "view " << v;
    EXPECT_NEAR(dach->v[1], 0.0, 1e-6);
    EXPECT_NEAR(dach->v[3], 0.1, 1e-6);
    EXPECT_NEAR(dach->v[4], 1.0 / 1.95, 1e-6);
    const pw::Item2D* decke = ById(v, 4 * 2 + 2, pw::Kind2D::PointLoad);
    ASSERT_NE(decke, nullptr);
    EXPECT_NEAR(decke->v[1], 3.2, 1e-6) << "node 1 stands at the end of field 0";
    EXPECT_NEAR(decke->v[4], 480.0 / (1.95 * 620.0), 1e-6);
  }
  // Wind in x only in the X-Z view: p = 2.4 / (2.6 x 2.4) + 0.1; the first at x = -0.2 - 0.005 x 35, the next
  // one left of it by p + 0.2 and half its width 40.
  EXPECT_TRUE(Items(0, pw::Kind2D::LineLoad).empty());
  auto wind = Items(1, pw::Kind2D::LineLoad);
  ASSERT_EQ(wind.size(), 2u);
  const double p = 1 / 2.6 + 0.1;
  EXPECT_EQ(wind[0]->id, 22);
  EXPECT_NEAR(wind[0]->v[0], -0.375, 1e-6);
  EXPECT_NEAR(wind[0]->v[3], 3.2, 1e-6);
  EXPECT_NEAR(wind[0]->v[6], p, 1e-6);
  EXPECT_EQ(wind[1]->id, 26);
  EXPECT_NEAR(wind[1]->v[0], -0.2 - p - 0.2 - 0.2, 1e-6);
  EXPECT_NEAR(wind[1]->v[1], 3.2, 1e-6);
  EXPECT_NEAR(wind[1]->v[3], H, 1e-6);
  // The cut "A" at 0 across the X-Z view, from r (left of the last load) to H/4 + 0.4.
  const pw::Item2D* schnitt = nullptr;
  for (const auto& i : Scene(1).Items())
    if (i.id == 3 && i.kind == pw::Kind2D::Line) schnitt = &i;
  ASSERT_NE(schnitt, nullptr);
  EXPECT_NEAR(schnitt->v[0], H / 4 + 0.4, 1e-9);
  EXPECT_NEAR(schnitt->v[1], 0.0, 1e-9);
  EXPECT_NEAR(schnitt->v[2], -0.2 - p - 0.2 - p - 0.2, 1e-5);
}

TEST_F(Kolumo2DTest, CrossSectionFollowsTheCut) {
  CKolumoVorschau2D bild(data_);
  struct Fall {
    double cut;
    double breite;   // section shown
    double drawnAt;  // the cut as drawn and kept
  };
  // At exactly 3.2 m field 0 still reaches the cut; beyond it field 1. Outside [0, H] the cut is clamped.
  const Fall faelle[] = {{3.2, 35, 3.2}, {3.21, 40, 3.21}, {-1.0, 35, 0.0}, {H + 1, 40, H}};
  for (const Fall& f : faelle) {
    bild.cutHeight = f.cut;
    bild.Draw2D();
    EXPECT_NEAR(bild.cutHeight, f.drawnAt, 1e-12);
    auto rects = Items(2, pw::Kind2D::Rectangle);
    ASSERT_GE(rects.size(), 1u);
    EXPECT_NEAR(rects[0]->v[2], f.breite, 1e-12) << "cut " << f.cut;
    // Four corner bars at the cover 4.5 cm, radius sqrt(3.14 / pi).
    auto bars = Items(2, pw::Kind2D::Triangle);
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_NEAR(bars[1]->v[0], f.breite - 4.5, 1e-12);
    EXPECT_NEAR(bars[1]->v[1], f.breite - 4.5, 1e-12);
    EXPECT_NEAR(bars[1]->v[2] - bars[1]->v[0], std::sqrt(3.14 / M_PI), 1e-9);
  }
}

TEST_F(Kolumo2DTest, CrossSectionDimensionTextsStayApartInASmallView) {
  // The example's 35 x 35 cm section with a cover of 4.50 cm: "4.50", "4.50" and "35.00" along each side. The texts
  // are 12 pixels high whatever the scale; in a view of the preview's size a tenth of the section is fewer pixels
  // than that, and "35.00" wrote over "4.50". Each text's box (its width in Arial 12 pixels along its dimension
  // line, 12 pixels across, centred on the line's middle) must be clear of every other; the whole side's line lies
  // beyond its parts.
  for (const SIZE groesse : {SIZE{90, 350}, SIZE{150, 210}, SIZE{290, 590}}) {
    view_[2].SetWindowPos(nullptr, 0, 0, groesse.cx, groesse.cy, SWP_NOZORDER);
    CKolumoVorschau2D bild(data_);
    bild.Draw2D();
    const pw::View2D view(Scene(2), RECT{0, 0, groesse.cx, groesse.cy});
    std::vector<RECT> kaesten;
    double teilAussen[2] = {0, 0}, ganzInnen[2] = {1e9, 1e9};
    for (const pw::Item2D* m : Items(2, pw::Kind2D::Dimension)) {
      const auto& t = Scene(2).Transforms()[std::size_t(m->transform)];
      double ax, ay, bx, by;
      t.Apply(m->v[0] + m->v[4], m->v[1] + m->v[5], ax, ay);
      t.Apply(m->v[2] + m->v[4], m->v[3] + m->v[5], bx, by);
      const POINT a = view.ToPixel(ax, ay), b = view.ToPixel(bx, by);
      const double laenge = std::hypot(m->v[2] - m->v[0], m->v[3] - m->v[1]);
      char text[32];
      std::snprintf(text, sizeof text, "%.2f", laenge);
      const LONG w = TextBreite(text, 12), mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
      const bool senkrecht = a.x == b.x;
      kaesten.push_back(senkrecht ? RECT{mx - 6, my - w / 2, mx + 6, my + w / 2}
                                  : RECT{mx - w / 2, my - 6, mx + w / 2, my + 6});
      const double abstand = std::fabs(senkrecht ? m->v[4] : m->v[5]);
      if (std::fabs(laenge - 35.0) < 1e-9)
        ganzInnen[senkrecht] = std::min(ganzInnen[senkrecht], abstand);
      else
        teilAussen[senkrecht] = std::max(teilAussen[senkrecht], abstand);
    }
    ASSERT_EQ(kaesten.size(), 6u);
    for (std::size_t i = 0; i < kaesten.size(); ++i)
      for (std::size_t j = i + 1; j < kaesten.size(); ++j) {
        const RECT &p = kaesten[i], &r = kaesten[j];
        const bool frei = p.right <= r.left || r.right <= p.left || p.bottom <= r.top || r.bottom <= p.top;
        EXPECT_TRUE(frei) << "texts " << i << " and " << j << " in a view of " << groesse.cx << " x " << groesse.cy;
      }
    for (int k : {0, 1}) EXPECT_GT(ganzInnen[k], teilAussen[k]) << "side " << k;
  }
}

TEST_F(Kolumo2DTest, ALoadStartingBeyondTheColumnKeepsItsLength) {
  // Field 0 is 3.2 m, the column 7.7 m. A load reaching past the end is drawn to it and shortened to 7.7 - 6.0;
  // one that starts at 8.0 m (offset 3.5 in field 1) is not drawn and keeps its length (before, it became
  // 7.7 - 8.0 = -0.3).
  Load& reicht = data_.loads[0][5];
  reicht.node = 1;
  reicht.offset = 2.8;
  reicht.length = 5.0;
  Load& jenseits = data_.loads[0][6];
  jenseits.offset = 4.8;
  jenseits.length = 2.0;
  CKolumoVorschau2D bild(data_);
  bild.Draw2D();
  EXPECT_NEAR(reicht.length.GetValue(), 1.7, 1e-12);
  EXPECT_DOUBLE_EQ(jenseits.length.GetValue(), 2.0);
  EXPECT_EQ(ById(1, 26, pw::Kind2D::LineLoad), nullptr);
}

TEST_F(Kolumo2DTest, AllZeroForcesDrawWithFiniteSizes) {
  // Every value 0: the scales keep their floor 1, nothing divides by zero. A linear load 0 -> 3 draws its start
  // with the bare head 0.1 and its end with 3 / (2.6 x 3) + 0.1.
  for (int s = 0; s < 1; ++s)
    for (int i = 0; i < data_.loads[0].GetSize(); ++i) {
      data_.loads[0][i].val0 = 0.0;
      data_.loads[0][i].val1 = 0.0;
    }
  CKolumoVorschau2D bild(data_);
  bild.Draw2D();
  for (int v = 0; v < 3; ++v)
    for (const auto& item : Scene(v).Items())
      for (double x : item.v) EXPECT_TRUE(std::isfinite(x));
  EXPECT_TRUE(Items(1, pw::Kind2D::LineLoad).empty());
  EXPECT_TRUE(Items(1, pw::Kind2D::PointLoad).empty());
  data_.loads[0][5].ltype = 1;
  data_.loads[0][5].val1 = 3.0;
  bild.Draw2D();
  auto l = Items(1, pw::Kind2D::LineLoad);
  ASSERT_EQ(l.size(), 1u);
  EXPECT_NEAR(l[0]->v[6], 0.1, 1e-6);
  EXPECT_NEAR(l[0]->v[7], 1 / 2.6 + 0.1, 1e-6);
}

TEST(Kolumo2DDrag, RasterStepsAndTheRemainder) {
  CKolumoData data;
  data.SetFieldCount(2);
  data.fieldLengths[0] = 3.2;
  data.fieldLengths[1] = 4.5;
  CKolumoVorschau2D bild(data);
  // Raster 0.05: 0.024 is within half a step; 0.026 in all is one step, leaving -0.024.
  EXPECT_EQ(bild.VerschiebeObjekt(5, 0.024, 0.05), 0.0);
  EXPECT_DOUBLE_EQ(data.fieldLengths[0].GetValue(), 3.2);
  EXPECT_NEAR(bild.VerschiebeObjekt(5, 0.002, 0.05), 0.05, 1e-12);
  EXPECT_NEAR(data.fieldLengths[0].GetValue(), 3.25, 1e-12);
  EXPECT_NEAR(data.fieldLengths[1].GetValue(), 4.45, 1e-12);
  EXPECT_NEAR(bild.VerschiebeObjekt(5, 0.0489, 0.05), 0.0, 1e-12) << "-0.024 + 0.0489 is within half a step";
  EXPECT_NEAR(bild.VerschiebeObjekt(5, 0.0002, 0.05), 0.05, 1e-12);
}

TEST(Kolumo2DDrag, NodesMoveFieldBoundariesAndNeverLeaveAFieldWithoutLength) {
  struct Fall {
    int node;
    double dy;
    double l0, l1;  // field lengths after
  };
  // Fields 0.12 and 1.0 m, raster 0.05. Node 0 is the head: moving it along shortens field 0; node 2 the end:
  // moving it along lengthens field 1. Field 0 can lose at most two steps (0.12 -> 0.02); a third would leave
  // -0.03.
  const Fall faelle[] = {{0, 0.05, 0.07, 1.0}, {0, 0.3, 0.02, 1.0},  {2, 0.1, 0.12, 1.1},  {1, 0.1, 0.22, 0.9},
                         {1, -0.3, 0.02, 1.1}, {1, 5.0, 1.07, 0.05}, {2, -2.0, 0.12, 0.05}};
  for (const Fall& f : faelle) {
    CKolumoData data;
    data.SetFieldCount(2);
    data.fieldLengths[0] = 0.12;
    data.fieldLengths[1] = 1.0;
    CKolumoVorschau2D bild(data);
    bild.VerschiebeObjekt(4 * f.node + 1, f.dy, 0.05);
    EXPECT_NEAR(data.fieldLengths[0].GetValue(), f.l0, 1e-12) << "node " << f.node << " by " << f.dy;
    EXPECT_NEAR(data.fieldLengths[1].GetValue(), f.l1, 1e-12) << "node " << f.node << " by " << f.dy;
    EXPECT_GT(data.fieldLengths[0].GetValue(), 0.0);
    EXPECT_GT(data.fieldLengths[1].GetValue(), 0.0);
  }
}

TEST(Kolumo2DDrag, LoadsMoveAcrossFields) {
  struct Fall {
    int node;
    double offset, dy;
    int nodeAfter;
    double offsetAfter;
  };
  // Fields 1.0 and 2.0 m, raster 0.05. 0.9 + 0.15 passes the end of field 0 by 0.05; below the head it stops
  // at 0; a load at the column's end (node 2) gets offset 0; 0.1 - 0.2 in field 1 goes back into field 0 at 0.9.
  const Fall faelle[] = {
      {0, 0.9, 0.15, 1, 0.05}, {0, 0.1, -0.5, 0, 0.0}, {2, 0.0, 0.05, 2, 0.0}, {1, 0.1, -0.2, 0, 0.9}};
  for (const Fall& f : faelle) {
    CKolumoData data;
    data.SetFieldCount(2);
    data.fieldLengths[0] = 1.0;
    data.fieldLengths[1] = 2.0;
    Load l;
    l.ltype = 0;
    l.node = f.node;
    l.offset = f.offset;
    data.loads[0].Add(l);
    CKolumoVorschau2D bild(data);
    bild.VerschiebeObjekt(2, f.dy, 0.05);
    EXPECT_EQ(data.loads[0][0].node, f.nodeAfter);
    EXPECT_NEAR(data.loads[0][0].offset.GetValue(), f.offsetAfter, 1e-12);
  }
}

TEST(Kolumo2DDrag, PickKindsAndEndOfDrag) {
  CKolumoData data;
  data.SetFieldCount(1);
  data.fieldLengths[0] = 3.0;
  CKolumoVorschau2D bild(data);
  int redraws = 0;
  bild.onRedraw3D = [&] { ++redraws; };
  for (int id : {0, 4, -3, 8}) {
    bild.pickedId = 5;
    bild.PickObject(id);
    EXPECT_EQ(bild.pickedId, 0) << id;
  }
  bild.PickObject(3);
  EXPECT_EQ(bild.pickedId, 3);
  bild.EndDrag(3);
  EXPECT_EQ(bild.pickedId, 3) << "a release without movement keeps the pick";
  EXPECT_EQ(redraws, 0);
  // Positions 1.0, 1.03, 1.11: moved 0.11 in all, two steps of 0.05.
  bild.DragObject(nullptr, 3, 0, 1.0, 0.05);
  bild.DragObject(nullptr, 3, 0, 1.03, 0.05);
  bild.DragObject(nullptr, 3, 0, 1.11, 0.05);
  EXPECT_NEAR(bild.cutHeight, 0.1, 1e-12);
  bild.EndDrag(3);
  EXPECT_EQ(bild.pickedId, 0);
  EXPECT_EQ(redraws, 1);
}

}  // namespace

TEST(ErgebnisKopfTest, TheTitleWrapsToTheViewAndTheExtremesShareALine) {
  // The header is written 8 pixels in from either edge: every line fits the width less 16 pixels, no word is lost,
  // and a view wide enough keeps the title on one line above "max ... min".
  const std::string titel = "LK[1] Bruchnachweis Ed Normalkraft N [kN]";
  struct Fall {
    int breite;
    int zeilen;  // 0: more than two
  };
  const Fall faelle[] = {{600, 2}, {KopfBreite(titel) + 16, 2}, {KopfBreite(titel) + 15, 0}, {140, 0}};
  for (const Fall& f : faelle) {
    const std::string kopf = ErgebnisKopf(titel, -979.5, -1905.03, f.breite);
    std::vector<std::string> zeilen;
    for (std::size_t a = 0, e; a <= kopf.size(); a = e + 1) {
      e = std::min(kopf.find('\n', a), kopf.size());
      zeilen.push_back(kopf.substr(a, e - a));
    }
    if (f.zeilen) {
      EXPECT_EQ(int(zeilen.size()), f.zeilen) << f.breite;
    } else {
      EXPECT_GT(zeilen.size(), 2u) << f.breite;
    }
    std::string woerter;
    for (const std::string& z : zeilen) {
      EXPECT_LE(KopfBreite(z), f.breite - 16) << f.breite << ": " << z;
      woerter += (woerter.empty() ? "" : " ") + z;
    }
    EXPECT_EQ(woerter.find(titel), 0u) << f.breite << ": " << woerter;
    EXPECT_NE(woerter.find("-979.50"), std::string::npos);
    EXPECT_NE(woerter.find("-1905.03"), std::string::npos);
  }
}

TEST_F(Kolumo2DTest, AxialLoadsAtOneNodeWriteTheirValuesOneAboveTheOther) {
  // The example's head carries 620 and 95 kN, node 1 480 and 160 kN, all axial. Each value is written 11 pixels
  // high from its arrow's end; in a view as small as the preview's on the system tab the ends must lie a text line
  // apart, the larger force keeping the longer arrow. In a tall view nothing needs to move: 620 keeps 1 / 1.95.
  struct Fall {
    int breite, hoehe;
  };
  for (const Fall f : {Fall{150, 210}, Fall{290, 590}}) {
    view_[0].SetWindowPos(nullptr, 0, 0, f.breite, f.hoehe, SWP_NOZORDER);
    CKolumoVorschau2D bild(data_);
    bild.Draw2D();
    const pw::View2D view(Scene(0), RECT{0, 0, f.breite, f.hoehe});
    struct Etikett {
      double z, laenge;
      RECT r;
    };
    std::vector<Etikett> etiketten;
    for (const pw::Item2D* p : Items(0, pw::Kind2D::PointLoad)) {
      const double len = std::hypot(p->v[2], p->v[3]);
      const double ex = p->v[0] - p->v[2] / len * p->v[4], ez = p->v[1] - p->v[3] / len * p->v[4];
      double vx, vy;
      Scene(0).Transforms()[std::size_t(p->transform)].Apply(ex, ez, vx, vy);
      const POINT a = view.ToPixel(vx, vy);
      const LONG w = LONG(std::lround(0.6 * 11 * double(p->text.size())));
      etiketten.push_back({p->v[1], std::fabs(p->v[4]), RECT{a.x, a.y - 9, a.x + w, a.y + 3}});
    }
    ASSERT_EQ(etiketten.size(), 4u) << f.hoehe;
    int paare = 0;
    for (std::size_t i = 0; i < etiketten.size(); ++i)
      for (std::size_t j = i + 1; j < etiketten.size(); ++j) {
        const Etikett &a = etiketten[i], &b = etiketten[j];
        if (std::fabs(a.z - b.z) > 1e-9) continue;
        ++paare;
        const bool frei =
            a.r.bottom <= b.r.top || b.r.bottom <= a.r.top || a.r.right <= b.r.left || b.r.right <= a.r.left;
        EXPECT_TRUE(frei) << "loads at " << a.z << " m in a view " << f.hoehe << " high";
      }
    EXPECT_EQ(paare, 2);
    EXPECT_GT(etiketten[0].laenge, etiketten[2].laenge) << "620 kN stays the longer arrow than 95 kN";
    if (f.hoehe == 590) {
      EXPECT_NEAR(etiketten[0].laenge, 1.0 / 1.95, 1e-6);
    }
  }
}
