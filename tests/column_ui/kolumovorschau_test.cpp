// The column's preview dialog with the example: the mouse drags a node and a load in raster steps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "column/kolumodata.h"
#include "column_ui/kolumovorschau.h"
#include "platform/plotwerk/controls.h"
#include "platform/viduv/viduv.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"

namespace pw = plotwerk;

namespace {

class KolumoVorschauTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    const int doc = VIDUV_OpenDoc(KOLUMO_SOURCE_DIR "/data/examples/Stuetze.tqx");
    ASSERT_NE(doc, 0);
    data_.doc = doc;
    data_.ReadData(doc);
    VIDUV_CloseDoc(doc);
    data_.doc = 0;
  }
  void TearDown() override {
    if (dlg_ && dlg_->GetSafeHwnd()) dlg_->DestroyWindow();
    dlg_.reset();
    WindowTest::TearDown();
  }
  void Open(int mask, BOOL combined) {
    dlg_ = std::make_unique<CKolumoVorschauDlg>(data_);
    dlg_->m_nViewMask = mask;
    dlg_->m_bCombined = combined;
    dlg_->m_aViewWidth = {0, 37, 0, 37, 26, 0};
    ASSERT_TRUE(dlg_->Create(CPreviewDlg::IDD, nullptr));
    dlg_->SetWindowPos(nullptr, 0, 0, 1000, 620, SWP_NOZORDER);
    dlg_->ShowWindow(SW_SHOW);
  }
  // The pixel of a drawing point of the item with the id in a control.
  POINT Pixel(CWnd& c, long id, double x, double y) {
    const pw::Scene2D& s = pw::Control2D::FromHandle(c.m_hWnd)->Scene();
    int transform = 0;
    for (const auto& i : s.Items())
      if (i.id == id) transform = i.transform;
    double vx, vy;
    s.Transforms()[std::size_t(transform)].Apply(x, y, vx, vy);
    RECT r{};
    ::GetClientRect(c.m_hWnd, &r);
    return pw::View2D(s, r).ToPixel(vx, vy);
  }
  // The drawing height (along the column) at a pixel.
  double Hoehe(CWnd& c, long id, POINT p) {
    const pw::Scene2D& s = pw::Control2D::FromHandle(c.m_hWnd)->Scene();
    int transform = 0;
    for (const auto& i : s.Items())
      if (i.id == id) transform = i.transform;
    RECT r{};
    ::GetClientRect(c.m_hWnd, &r);
    double vx, vy, x, y;
    pw::View2D(s, r).ToView(p.x, p.y, vx, vy);
    s.Transforms()[std::size_t(transform)].Inverse(vx, vy, x, y);
    return y;
  }
  // Press on the object, release; press again and drag by dz (m) in some moves. Returns the height moved.
  double Ziehe(CWnd& c, long id, double x, double z, double dz) {
    const POINT a = Pixel(c, id, x, z), b = Pixel(c, id, x, z + dz);
    win::input::Click(c.m_hWnd, a.x, a.y);
    EXPECT_EQ(dlg_->ziel.bild.pickedId, id);
    const double moved = Hoehe(c, id, b) - Hoehe(c, id, a);
    win::input::Drag(c.m_hWnd, a.x, a.y, b.x, b.y, 6);
    return moved;
  }
  void Png(const char* name) {
    if (const char* dir = std::getenv("KOLUMO_PNG_DIR")) {
      EXPECT_TRUE(win::SaveWindowPng(dlg_->m_hWnd, std::string(dir) + "/" + name));
    }
  }

  CKolumoData data_;
  std::unique_ptr<CKolumoVorschauDlg> dlg_;
};

// Whole raster steps of 0.05 m that bring the applied height within half a step of the mouse's.
void ExpectRasterSteps(double applied, double moved) {
  EXPECT_NEAR(std::remainder(applied, 0.05), 0.0, 1e-9) << applied;
  EXPECT_LE(std::fabs(applied - moved), 0.025 + 1e-9) << applied << " for " << moved;
  EXPECT_NE(applied, 0.0);
}

TEST_F(KolumoVorschauTest, DraggingTheStoreyNodeMovesTheFieldBoundary) {
  Open(2 | 8 | 16 | 32, TRUE);
  Png("preview_combined.png");
  // Node 2 (id 9) at the foot, on the axis 7.7 m below the head (nodes 0 and 1 carry the axial loads); pulled
  // up, it shortens field 1.
  const double moved = Ziehe(dlg_->m_xz, 9, 0.0, 7.7, -0.33);
  const double l0 = data_.fieldLengths[0].GetValue(), l1 = data_.fieldLengths[1].GetValue();
  EXPECT_DOUBLE_EQ(l0, 3.2);
  ExpectRasterSteps(l1 - 4.5, moved);
  EXPECT_EQ(dlg_->ziel.bild.pickedId, 0) << "a drag that moved ends the pick";
}

TEST_F(KolumoVorschauTest, DraggingTheWindLoadMovesItAlongTheColumn) {
  Open(2 | 8 | 16 | 32, TRUE);
  // Load 6 (id 26): wind over field 1, drawn at x = -1.0846 from 3.2 m down; grab it near its start.
  const double x = -0.2 - (1 / 2.6 + 0.1) - 0.2 - 0.2;
  const double moved = Ziehe(dlg_->m_xz, 26, x, 3.4, -0.5);
  Load& l = data_.loads[0][6];
  // Upwards by 0.5 from offset 0 in field 1: into field 0 at 3.2 - 0.5 = 2.7 (raster steps).
  EXPECT_EQ(l.node, 0);
  ExpectRasterSteps(l.offset.GetValue() - 3.2, moved);
}

TEST_F(KolumoVorschauTest, OnePressAndAMoveDragsNothing) {
  Open(2 | 8 | 16 | 32, TRUE);
  const POINT a = Pixel(dlg_->m_xz, 9, 0.0, 7.7), b = Pixel(dlg_->m_xz, 9, 0.0, 6.7);
  win::input::Drag(dlg_->m_xz.m_hWnd, a.x, a.y, b.x, b.y, 6);
  EXPECT_DOUBLE_EQ(data_.fieldLengths[1].GetValue(), 4.5);
  EXPECT_EQ(dlg_->ziel.bild.pickedId, 9) << "the press picked it";
}

TEST_F(KolumoVorschauTest, TabbedLayoutShowsTheSelectedViewWithTheSection) {
  Open(63, FALSE);
  dlg_->m_tab.SetCurSel(3);  // YZ
  dlg_->UpdatePreview();
  Png("preview_tabbed.png");
  // The YZ control and the section frame: the nodes in the one, the cut's 35 x 35 section in the other.
  ASSERT_EQ(data_.plot2D.GetSize(), 2);
  EXPECT_EQ(data_.plot2D[0], &dlg_->m_yz);
  EXPECT_EQ(pw::Control2D::FromHandle(dlg_->m_yz.m_hWnd)->Scene().ItemCount(pw::Kind2D::Node), 3);
  const pw::Scene2D& quer = pw::Control2D::FromHandle(dlg_->m_quer.m_hWnd)->Scene();
  EXPECT_EQ(quer.ItemCount(pw::Kind2D::Node), 0);
  ASSERT_GE(quer.ItemCount(pw::Kind2D::Rectangle), 1);
  EXPECT_DOUBLE_EQ(quer.Items()[0].v[2], 35.0);
}

}  // namespace
