// The preview beside the input dialog: typing redraws it from the current input and does nothing else, a page
// change shares its width among the views, and on the results tab the Y-Z view carries the chosen result.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "column_dialog_fixture.h"
#include "column_ui/kolumovorschau.h"
#include "dialog_input.h"
#include "layout3d_flaws.h"
#include "platform/plotwerk/controls.h"

namespace pw = plotwerk;
using column_dialog_test::ColumnDialogTest;
using column_dialog_test::FileBytes;

namespace {

// The Y-Z view's header on the results tab when its title fits the view: the page's title, then both extremes on
// one line, so that the header takes two lines of the view's height and not the page's three.
std::string KopfZweizeilig(const CKolumoResultDlg& page) {
  char werte[96];
  std::snprintf(werte, sizeof werte, "\nmax = %.2lf   min = %.2lf", page.m_max, page.m_min);
  return std::string(page.m_titel.GetString()) + werte;
}

constexpr double H = 7.7;  // the example: fields of 3.20 m (35 x 35) and 4.50 m (40 x 40) from the head

class PreviewInputTest : public ColumnDialogTest {
 protected:
  void SetUp() override {
    ColumnDialogTest::SetUp();
    CKolumoDlg::s_previousTab = -1;  // as after the module was loaded
    path_ = Open();
    preview_ = std::make_unique<CKolumoVorschauDlg>(dialog_.m_data);
    dialog_.SetPreview(preview_.get());
    // As the module makes it: combined, 3D, side views and the section frame, the output preview.
    preview_->m_bCombined = TRUE;
    preview_->m_nViewMask = CPreviewDlg::k3D | CPreviewDlg::kXZ | CPreviewDlg::kYZ | CPreviewDlg::kQuer | 32;
    preview_->m_aViewWidth = {30, 25, 0, 25, 20, 0};
    ASSERT_TRUE(preview_->Create(CPreviewDlg::IDD, nullptr));
    preview_->SetWindowPos(nullptr, 0, 0, 1000, 520, SWP_NOZORDER);
    preview_->ShowWindow(SW_SHOW);
    ShowTab(2);
  }
  void TearDown() override {
    preview_->DestroyWindow();
    preview_.reset();
    ColumnDialogTest::TearDown();
  }
  const pw::Scene2D& Scene(CPlotwerk2D& c) { return pw::Control2D::FromHandle(c.m_hWnd)->Scene(); }
  const pw::Item2D* Item(CPlotwerk2D& c, long id, pw::Kind2D kind) {
    for (const auto& i : Scene(c).Items())
      if (i.id == id && i.kind == kind) return &i;
    return nullptr;
  }
  int Count(CPlotwerk2D& c, pw::Kind2D kind) { return Scene(c).ItemCount(kind); }
  bool Visible(CWnd& w) { return (w.GetStyle() & WS_VISIBLE) != 0; }
  int Width(CWnd& w) {
    CRect r;
    w.GetWindowRect(&r);
    return r.Width();
  }
  // Every file of the position's folder with its bytes: a calculation leaves its protocol and report there.
  std::map<std::string, std::string> Folder() {
    std::map<std::string, std::string> files;
    for (const auto& e : column_dialog_test::fs::directory_iterator(folder_))
      files[e.path().filename().string()] = FileBytes(e.path());
    return files;
  }
  void TypeCell(COrmiGridCtrl& grid, int row, int col, const std::string& text) {
    grid.SetFocusCell(row, col);
    win::input::Key(VK_F2);
    win::PumpMessages();
    win::input::KeyWith(VK_CONTROL, 'A');
    win::input::Type(text);
    grid.EndEditing();
    win::PumpMessages();
  }

  column_dialog_test::fs::path path_;
  std::unique_ptr<CKolumoVorschauDlg> preview_;
};

TEST_F(PreviewInputTest, TypedValuesRedrawThePreviewAndNothingElse) {
  const auto before = Folder();
  ASSERT_NEAR(Item(preview_->m_yz, 9, pw::Kind2D::Node)->v[1], H, 1e-9);
  TypeCell(dialog_.m_sysDlg.m_grid, 2, CKolumoSysGrid::kColLength, "3,7");
  // Field 0 from 3.2 to 3.7 m: the node between the fields at 3.7, the foot at 3.7 + 4.5 = 8.2 in both side views,
  // and the whole column's dimension line ends there.
  for (CPlotwerk2D* view : {&preview_->m_yz, &preview_->m_xz}) {
    SCOPED_TRACE(view->GetDlgCtrlID());
    ASSERT_NE(Item(*view, 5, pw::Kind2D::Node), nullptr);
    EXPECT_NEAR(Item(*view, 5, pw::Kind2D::Node)->v[1], 3.7, 1e-9);
    EXPECT_NEAR(Item(*view, 9, pw::Kind2D::Node)->v[1], 8.2, 1e-9);
    double ende = 0;
    for (const auto& i : Scene(*view).Items())
      if (i.kind == pw::Kind2D::Dimension) ende = std::max(ende, i.v[3]);
    EXPECT_NEAR(ende, 8.2, 1e-9);
  }
  // The wind over field 1 starts at its new head: 3.7 m.
  ASSERT_NE(Item(preview_->m_xz, 26, pw::Kind2D::LineLoad), nullptr);
  EXPECT_NEAR(Item(preview_->m_xz, 26, pw::Kind2D::LineLoad)->v[1], 3.7, 1e-6);

  // Row 7 of the loads is load 6, that wind of 2.4 kN/m; load 5 is the same wind over field 0. The largest
  // distributed value sets the scale 2.6 x 4.8: load 6 reaches 4.8 / 12.48 + 0.1, load 5 2.4 / 12.48 + 0.1,
  // where both had 2.4 / 6.24 + 0.1 before.
  ShowTab(4);
  TypeCell(dialog_.m_loadDlg.m_loadGrid, 7, CKolumoLoadGrid::kColValue0, "4,8");
  const pw::Item2D* wind6 = Item(preview_->m_xz, 26, pw::Kind2D::LineLoad);
  const pw::Item2D* wind5 = Item(preview_->m_xz, 22, pw::Kind2D::LineLoad);
  ASSERT_TRUE(wind6 && wind5);
  EXPECT_NEAR(wind6->v[6], 4.8 / 12.48 + 0.1, 1e-6);
  EXPECT_NEAR(wind5->v[6], 2.4 / 12.48 + 0.1, 1e-6);
  EXPECT_NE(wind6->text.find("4.80"), std::string::npos) << wind6->text;
  // No calculation, no file, no question; the position file is as it was.
  EXPECT_EQ(Folder(), before);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(PreviewInputTest, AVariableTypedOnTheVariablesPageMovesTheFieldThatUsesIt) {
  // Field 0 is "h1" long, h1 = 3.2: 4.1 for h1 puts the node between the fields at 4.1 and the foot at 8.6.
  Open([](CKolumoData& d) {
    d.varDefs.Add(CVarDefEntry::Create(CVarDefEntry::kVariable));
    auto& h1 = *d.varDefs.GetAs<CVarDefVariable>(d.varDefs.GetSize() - 1);
    h1.varName = "h1";
    h1.value = 3.2;
    d.DefineVariables();
    d.fieldLengths[0] = "h1";
  });
  ShowTab(0);
  VarDefGrid& grid = dialog_.m_varDlg.m_grid;
  ASSERT_EQ(grid.GetItemText(1, VarDefGrid::kVariable), "h1");
  TypeCell(grid, 1, VarDefGrid::kWert, "4,1");
  EXPECT_NEAR(Item(preview_->m_yz, 5, pw::Kind2D::Node)->v[1], 4.1, 1e-9);
  EXPECT_NEAR(Item(preview_->m_yz, 9, pw::Kind2D::Node)->v[1], 8.6, 1e-9);
  // The field keeps its formula: the pages stored for the drawing do not turn it into the number it showed.
  EXPECT_EQ(dialog_.m_data.fieldLengths[0].GetText(), "h1");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(PreviewInputTest, ADraggedNodeIsWhatThePagesStoreNext) {
  // A drag changes the data; the system page shows it at once, so the redraw after the next typed value (which
  // stores every page) keeps it. Field 0 loses one raster step of 0.05 m when node 1 moves towards the head.
  CKolumoVorschau2D& bild = preview_->ziel.bild;
  bild.PickObject(5);
  bild.VerschiebeObjekt(5, -0.05, 0.05);
  EXPECT_NEAR(dialog_.m_data.fieldLengths[0].GetValue(), 3.15, 1e-12);
  ShowTab(4);
  TypeCell(dialog_.m_loadDlg.m_loadGrid, 7, CKolumoLoadGrid::kColValue0, "2,5");
  EXPECT_NEAR(dialog_.m_data.fieldLengths[0].GetValue(), 3.15, 1e-12);
  EXPECT_NEAR(dialog_.m_data.fieldLengths[1].GetValue(), 4.55, 1e-12);
}

TEST_F(PreviewInputTest, PageChangesShareTheWidthAndTheResultsTabShowsTheDiagram) {
  // Input tabs: 3D 30 %, Y-Z 25 %, X-Z 25 %, section 20 %.
  EXPECT_TRUE(Visible(preview_->m_3D) && Visible(preview_->m_yz) && Visible(preview_->m_xz) &&
              Visible(preview_->m_quer));
  EXPECT_NEAR(double(Width(preview_->m_3D)) / Width(preview_->m_yz), 30.0 / 25.0, 0.15);
  dialog_input::Save(*preview_, "preview_input_tab.png");

  ShowTab(5);
  ASSERT_TRUE(Boxes().empty()) << Boxes()[0];
  // Results: 3D 25 %, Y-Z 75 % with the diagram; the X-Z view and the section are gone.
  EXPECT_FALSE(Visible(preview_->m_xz) || Visible(preview_->m_quer) || Visible(preview_->m_xy));
  // 75 to 25, less the 3D frame's wider margin on its left.
  EXPECT_NEAR(double(Width(preview_->m_yz)) / Width(preview_->m_3D), 3.0, 0.5);
  dialog_input::Save(*preview_, "preview_results_tab.png");
  const pw::Scene2D& yz = Scene(preview_->m_yz);
  ASSERT_FALSE(dialog_.m_resultDlg.m_werte.empty()) << "the calculation gives the page a quantity";
  EXPECT_EQ(yz.header, KopfZweizeilig(dialog_.m_resultDlg));
  EXPECT_TRUE(yz.showHeader);
  // Nodes stay, dimensions and loads go. The diagram's base line lies at offset - 0.25 H and its view turns
  // (station, value) into (offset - value, -station): its zero line stands 0.25 H beside the axis whatever the
  // offset W + H/12. The normal force is compression throughout, so the diagram reaches 0.25 H further out,
  // along the whole column.
  EXPECT_EQ(yz.ItemCount(pw::Kind2D::Node), 3);
  EXPECT_EQ(yz.ItemCount(pw::Kind2D::Dimension), 0);
  EXPECT_EQ(yz.ItemCount(pw::Kind2D::PointLoad) + yz.ItemCount(pw::Kind2D::LineLoad), 0);
  ASSERT_LT(dialog_.m_resultDlg.m_max, 0.0);
  double quer0 = 1e9, quer1 = -1e9, entlang0 = 1e9, entlang1 = -1e9;
  for (const auto& i : yz.Items()) {
    if (i.kind != pw::Kind2D::Polygon) continue;
    for (std::size_t k = 0; k + 1 < i.v.size(); k += 2) {
      double x, z;
      yz.Transforms()[std::size_t(i.transform)].Apply(i.v[k], i.v[k + 1], x, z);
      quer0 = std::min(quer0, x), quer1 = std::max(quer1, x);
      entlang0 = std::min(entlang0, z), entlang1 = std::max(entlang1, z);
    }
  }
  EXPECT_NEAR(quer0, 0.25 * H, 1e-6);
  EXPECT_NEAR(quer1, 0.5 * H, 1e-6);
  EXPECT_NEAR(entlang0, -H, 1e-6);
  EXPECT_NEAR(entlang1, 0.0, 1e-6);

  // Back on an input tab the views return, and the Y-Z view is the column's again.
  ShowTab(2);
  EXPECT_TRUE(Visible(preview_->m_xz) && Visible(preview_->m_quer));
  EXPECT_TRUE(Scene(preview_->m_yz).header.empty());
  EXPECT_EQ(Scene(preview_->m_yz).ItemCount(pw::Kind2D::Polygon), 0);
  EXPECT_EQ(Scene(preview_->m_yz).ItemCount(pw::Kind2D::Dimension), 3);
}

// The results tab narrows the 3D view and the input tabs widen it again: it keeps the turn and the zoom the person
// gave it and fits each width anew, its labels apart and whole inside it with the whole title. Before, the labels of
// 620 and 95 kN and of 480 and 160 kN met at every width.
TEST_F(PreviewInputTest, ATabChangeKeepsTheTurnOfThe3DViewAndFitsItsWidth) {
  CPlotwerk3D& view = preview_->m_3D;
  pw::Scene3D& scene = pw::Control3D::FromHandle(view.m_hWnd)->Scene();
  CRect r;
  view.GetClientRect(&r);
  // 40 pixels right and 20 down turn by 20 degrees each way; a notch away from the person makes it 1.25 times
  // larger: labels at its edges come in rather than being cut.
  win::input::Drag(view.m_hWnd, r.Width() / 2, r.Height() / 2, r.Width() / 2 + 40, r.Height() / 2 + 20);
  win::input::Wheel(view.m_hWnd, r.Width() / 2, r.Height() / 2, WHEEL_DELTA);
  win::PumpMessages();
  const double azimuth = scene.azimuth, elevation = scene.elevation, zoom = scene.zoom;
  EXPECT_NEAR(azimuth, 15.0, 1e-9);
  EXPECT_NEAR(elevation, 30.0, 1e-9);
  EXPECT_NEAR(zoom, 1.25, 1e-9);
  int breiter = 0;
  for (int tab : {5, 2, 5}) {
    SCOPED_TRACE(tab);
    ShowTab(tab);
    win::PumpMessages();
    ASSERT_TRUE(Boxes().empty()) << Boxes()[0];
    EXPECT_EQ(scene.azimuth, azimuth);
    EXPECT_EQ(scene.elevation, elevation);
    EXPECT_EQ(scene.zoom, zoom);
    view.GetClientRect(&r);
    if (tab == 2) breiter = r.Width();
    if (breiter) {
      EXPECT_EQ(r.Width() < breiter, tab == 5);
    }
    const pw::Layout3D layout = pw::Control3D::FromHandle(view.m_hWnd)->CurrentLayout();
    EXPECT_EQ(layout.labels.size(), 9u);
    EXPECT_EQ(layout3d::Flaws(layout, r.Width(), r.Height(), "Stahlbetonstütze H = 7.70 m"), "");
    dialog_input::Save(view, tab == 5 ? "preview_3d_results_tab.png" : "preview_3d_input_tab.png");
  }
}

TEST_F(PreviewInputTest, AnotherQuantityOnTheResultsPageRedrawsTheYZView) {
  ShowTab(5);
  CKolumoResultDlg& page = dialog_.m_resultDlg;
  CTreeCtrl& baum = page.m_ergebnisBaum;
  // A leaf other than the one chosen: its title reaches the preview's Y-Z view with it.
  HTREEITEM gewaehlt = baum.GetSelectedItem(), anderes = nullptr;
  std::function<void(HTREEITEM)> suche = [&](HTREEITEM start) {
    for (HTREEITEM i = baum.GetChildItem(start); i && !anderes; i = baum.GetNextSiblingItem(i)) {
      if (!baum.GetChildItem(i) && i != gewaehlt) anderes = i;
      suche(i);
    }
  };
  suche(TVI_ROOT);
  ASSERT_NE(anderes, nullptr);
  const std::string vorher = Scene(preview_->m_yz).header;
  baum.SelectItem(anderes);
  EXPECT_NE(vorher, Scene(preview_->m_yz).header);
  EXPECT_EQ(Scene(preview_->m_yz).header, KopfZweizeilig(page));
}

TEST_F(PreviewInputTest, PrintingWithoutAReportNamesTheMissingFile) {
  // The button stands on the output tab in the raster's place; that tab's showing would calculate and write the
  // report, so the buttons are shown as it shows them.
  win::msgbox::QueueAnswer(IDOK);
  for (UINT id : {CPreviewDlg::kIdRaster, CPreviewDlg::kIdRasterLabel}) preview_->GetDlgItem(id)->ShowWindow(SW_HIDE);
  preview_->m_printButton.ShowWindow(SW_SHOW);
  win::input::ClickCenter(preview_->m_printButton.m_hWnd);
  win::PumpMessages();
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("position.rtf"), std::string::npos) << Boxes()[0];
  EXPECT_NE(Boxes()[0].find("nicht gefunden"), std::string::npos) << Boxes()[0];
}

TEST_F(PreviewInputTest, APreviewThatGoesFirstLeavesTheDialogDrawingNothing) {
  preview_->DestroyWindow();
  preview_.reset();
  EXPECT_EQ(dialog_.GetPreview(), nullptr);
  EXPECT_EQ(dialog_.m_data.plot2D.GetSize(), 0);
  EXPECT_EQ(dialog_.m_data.plot3D.GetSize(), 0);
  TypeCell(dialog_.m_sysDlg.m_grid, 2, CKolumoSysGrid::kColLength, "3,6");
  EXPECT_DOUBLE_EQ(dialog_.m_data.fieldLengths[0].GetValue(), 3.6);
  preview_ = std::make_unique<CKolumoVorschauDlg>(dialog_.m_data);  // for the fixture's tear-down
  ASSERT_TRUE(preview_->Create(CPreviewDlg::IDD, nullptr));
}

}  // namespace

// ---- which way the loads point -------------------------------------------------------------------------------

namespace {

// In the calculation a positive force in x or y acts in +x or +y (a cantilever of 4 m under +20 kN at its head
// deflects by +6.1 cm there and its foot reaction is -20 kN), and a positive moment of a point load tilts the head
// to -x for a load in x and to +y for a load in y (-3.4 cm and +3.4 cm under 30 kNm). An axial force of +100 kN
// presses down the column (its reaction along the column, measured down from the head, is -100 kN).
struct Richtung {
  int dx = 0, dy = 0;  // the signs of a pixel direction
};

int Sign(double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

class LoadArrowTest : public PreviewInputTest {
 protected:
  POINT Pixel(CPlotwerk2D& c, const pw::Item2D& item, double x, double y) {
    double vx, vy;
    Scene(c).Transforms()[std::size_t(item.transform)].Apply(x, y, vx, vy);
    RECT r{};
    ::GetClientRect(c.m_hWnd, &r);
    return pw::View2D(Scene(c), r).ToPixel(vx, vy);
  }
  // The way a load's arrows point on the screen: from tail to tip (as the view draws them).
  Richtung Arrow(CPlotwerk2D& c, const pw::Item2D& item) {
    const bool line = item.kind == pw::Kind2D::LineLoad;
    const double dx = item.v[line ? 4 : 2], dy = item.v[line ? 5 : 3], a = item.v[line ? 6 : 4];
    const double len = std::hypot(dx, dy);
    const POINT tip = Pixel(c, item, item.v[0] - dx, item.v[1] - dy);
    const POINT tail = Pixel(c, item, item.v[0] - dx / len * a, item.v[1] - dy / len * a);
    return {Sign(tip.x - tail.x), Sign(tip.y - tail.y)};
  }
  // The way the corner sign's horizontal (x or y) and vertical (Z, upwards) arrows point.
  Richtung Axis(CPlotwerk2D& c, bool horizontal) {
    RECT r{};
    ::GetClientRect(c.m_hWnd, &r);
    POINT o, x, y;
    pw::View2D(Scene(c), r).AxisArrows(o, x, y);
    const POINT tip = horizontal ? x : y;
    return {Sign(tip.x - o.x), Sign(tip.y - o.y)};
  }
};

}  // namespace

// Wind typed on the loads page, pushing and pulling, in x and then in y: its arrows point the way the calculation
// applies it, as the view's corner sign names the axes.
TEST_F(LoadArrowTest, TypedWindPointsTheWayItActs) {
  ShowTab(4);
  CKolumoLoadGrid& grid = dialog_.m_loadDlg.m_loadGrid;
  TypeCell(grid, 6, CKolumoLoadGrid::kColValue0, "2,5");   // load 5: wind over field 0, in x
  TypeCell(grid, 7, CKolumoLoadGrid::kColValue0, "-1,5");  // load 6: over field 1, in x, pulling
  const Richtung x = Axis(preview_->m_xz, true);
  ASSERT_NE(x.dx, 0);
  const pw::Item2D* push = Item(preview_->m_xz, 22, pw::Kind2D::LineLoad);
  const pw::Item2D* pull = Item(preview_->m_xz, 26, pw::Kind2D::LineLoad);
  ASSERT_TRUE(push && pull);
  EXPECT_EQ(Arrow(preview_->m_xz, *push).dx, x.dx) << "+2.5 kN/m acts in +x";
  EXPECT_EQ(Arrow(preview_->m_xz, *pull).dx, -x.dx) << "-1.5 kN/m acts in -x";
  EXPECT_EQ(Arrow(preview_->m_xz, *push).dy, 0);
  // Load 5 turned into y: drawn in the Y-Z view, pointing +y.
  dialog_input::ChooseCell(grid, 6, CKolumoLoadGrid::kColDirection, 1);
  ASSERT_EQ(dialog_.m_data.loads[0][5].direction, 1);
  const pw::Item2D* inY = Item(preview_->m_yz, 22, pw::Kind2D::LineLoad);
  ASSERT_NE(inY, nullptr);
  EXPECT_EQ(Item(preview_->m_xz, 22, pw::Kind2D::LineLoad), nullptr);
  EXPECT_EQ(Arrow(preview_->m_yz, *inY).dx, Axis(preview_->m_yz, true).dx) << "+2.5 kN/m acts in +y";
}

// Point forces and moments of every axis, each pushing and pulling.
TEST_F(LoadArrowTest, PointForcesAndMomentsPointAndTurnTheWayTheyAct) {
  struct Fall {
    int direction;
    double force, moment;
  };
  const Fall faelle[] = {{0, 20, 0},   {0, -20, 0}, {1, 20, 0},  {1, -20, 0}, {2, 100, 0},
                         {2, -100, 0}, {0, 0, 30},  {0, 0, -30}, {1, 0, 30},  {1, 0, -30}};
  CKolumoData& d = dialog_.m_data;
  for (const Fall& f : faelle) {
    SCOPED_TRACE(testing::Message() << "direction " << f.direction << ", force " << f.force << ", moment " << f.moment);
    d.loads[0].RemoveAll();
    Load l;
    l.lc = 1;
    l.ltype = 10;
    l.node = 1;
    l.direction = f.direction;
    l.bHasDirection = 1;
    l.val0 = f.force;
    l.val1 = f.moment;
    d.loads[0].Add(l);
    dialog_.ExchangeData(FALSE);
    d.Draw2D(TRUE);
    CPlotwerk2D& view = f.direction == 1 ? preview_->m_yz : preview_->m_xz;
    if (f.force != 0) {
      const pw::Item2D* arrow = Item(view, 2, pw::Kind2D::PointLoad);
      ASSERT_NE(arrow, nullptr);
      const Richtung along = Axis(view, f.direction != 2);
      if (f.direction == 2) {
        EXPECT_EQ(Arrow(view, *arrow).dy, -along.dy * Sign(f.force)) << "a positive axial force presses down";
      } else {
        EXPECT_EQ(Arrow(view, *arrow).dx, along.dx * Sign(f.force));
      }
    } else {
      const pw::Item2D* turn = Item(view, 2, pw::Kind2D::Moment);
      ASSERT_NE(turn, nullptr);
      // The head tilts to -x or +y; with the vertical axis upwards it turns counter-clockwise on the screen when
      // that tilt points to the screen's left.
      const int tilt = (f.direction == 0 ? -1 : 1) * Sign(f.moment) * Axis(view, true).dx;
      ASSERT_EQ(Axis(view, false).dy, -1) << "Z upwards";
      EXPECT_EQ(Sign(turn->v[4]), tilt < 0 ? 1 : -1) << "positive: counter-clockwise";
    }
  }
}
