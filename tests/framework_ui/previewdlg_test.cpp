// The preview dialog: tabs and frames for each view mask and mode, and how it forwards picks and drags.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "framework_ui/previewdlg.h"
#include "platform/plotwerk/controls.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"

namespace pw = plotwerk;

namespace {

struct Aufrufe : CPreviewTarget {
  int draw2D = 0, draw3D = 0, picks = 0, ends = 0, output = 0;
  std::vector<double> rasters;
  std::vector<int> plotsIn2D;
  CArray<CWnd*, CWnd*>* liste = nullptr;
  void Draw2D() override {
    ++draw2D;
    plotsIn2D.clear();
    if (liste)
      for (int i = 0; i < liste->GetSize(); ++i) plotsIn2D.push_back((*liste)[i]->GetDlgCtrlID());
  }
  void Draw3D() override { ++draw3D; }
  void PickObject(CWnd*, int) override { ++picks; }
  void DragObject(CWnd*, int, double, double, double raster, int) override { rasters.push_back(raster); }
  void EndDrag(int) override { ++ends; }
  void ShowOutput(CWnd*) override { ++output; }
};

class PreviewDlgTest : public win::test::WindowTest {
 protected:
  void TearDown() override {
    if (dlg_.GetSafeHwnd()) dlg_.DestroyWindow();
    WindowTest::TearDown();
  }
  void Open(int mask, BOOL combined) {
    dlg_.m_nViewMask = mask;
    dlg_.m_bCombined = combined;
    dlg_.target = &calls_;
    ASSERT_TRUE(dlg_.Create(CPreviewDlg::IDD, nullptr));
    dlg_.SetWindowPos(nullptr, 0, 0, 900, 500, SWP_NOZORDER);
  }
  void Notify(UINT id, pw::DISPID event, long objectId = 0) {
    pw::NMPLOTWERK nm{};
    nm.hdr.idFrom = id;
    nm.hdr.code = pw::PwnCode(event);
    nm.event = event;
    nm.objectId = objectId;
    dlg_.SendMessage(WM_NOTIFY, WPARAM(id), reinterpret_cast<LPARAM>(&nm));
  }
  bool Visible(CWnd& w) { return (w.GetStyle() & WS_VISIBLE) != 0; }

  CPreviewDlg dlg_;
  Aufrufe calls_;
};

TEST_F(PreviewDlgTest, EveryMaskLaysOutInBothModes) {
  struct Fall {
    int mask;
    BOOL combined;
    int tabs;
    int view;  // selected; -1 none
  };
  // Tabbed: one tab per view bit (16 has none), the second selected; a single tab is selected itself, none
  // without tabs. Combined: "2D/3D" and the output.
  const Fall faelle[] = {
      {63, FALSE, 5, 1},           {1, FALSE, 1, 0}, {16, FALSE, 0, -1}, {0, FALSE, 0, -1}, {32, FALSE, 1, 5},
      {2 | 16, FALSE, 1, 1},       {63, TRUE, 2, 0}, {0, TRUE, 1, 0},    {16, TRUE, 1, 0},  {1 | 32, TRUE, 2, 0},
      {2 | 4 | 8 | 16, TRUE, 1, 0}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(testing::Message() << "mask " << f.mask << " combined " << f.combined);
    calls_ = Aufrufe();
    if (f.view == 5) win::msgbox::QueueAnswer(IDOK);  // an output preview without an input dialog says so
    Open(f.mask, f.combined);
    EXPECT_EQ(dlg_.m_tab.GetItemCount(), f.tabs);
    EXPECT_EQ(dlg_.SelectedView(), f.view);
    dlg_.SetWindowPos(nullptr, 0, 0, 600, 300, SWP_NOZORDER);
    // Every shown frame has a size and lies inside the tab control, which follows the dialog.
    CRect client, tab;
    dlg_.GetClientRect(&client);
    dlg_.m_tab.GetWindowRect(&tab);
    dlg_.ScreenToClient(&tab);
    EXPECT_GT(tab.Width(), client.Width() * 9 / 10);
    for (CWnd* w :
         {static_cast<CWnd*>(&dlg_.m_3D), static_cast<CWnd*>(&dlg_.m_xz), static_cast<CWnd*>(&dlg_.m_xy),
          static_cast<CWnd*>(&dlg_.m_yz), static_cast<CWnd*>(&dlg_.m_quer), static_cast<CWnd*>(&dlg_.m_rich)}) {
      if (!Visible(*w)) continue;
      CRect r;
      w->GetWindowRect(&r);
      dlg_.ScreenToClient(&r);
      EXPECT_GT(r.Width(), 0) << w->GetDlgCtrlID();
      EXPECT_GT(r.Height(), 0) << w->GetDlgCtrlID();
      EXPECT_TRUE(r.left >= tab.left && r.right <= tab.right && r.bottom <= tab.bottom) << w->GetDlgCtrlID();
    }
    dlg_.DestroyWindow();
  }
}

TEST_F(PreviewDlgTest, CombinedFramesSitSideBySideByTheirWidths) {
  dlg_.m_aViewWidth = {0, 40, 0, 30, 30, 0};
  calls_.liste = nullptr;
  Open(2 | 8 | 16 | 32, TRUE);
  // YZ first, then XZ, then the cross-section: each starts where the one before ends (plus the gaps).
  CRect yz, xz, quer;
  dlg_.m_yz.GetWindowRect(&yz);
  dlg_.m_xz.GetWindowRect(&xz);
  dlg_.m_quer.GetWindowRect(&quer);
  EXPECT_LT(yz.right, xz.left);
  EXPECT_LT(xz.right, quer.left);
  // 40 % against 30 %, less the margins (the first frame's left one is the larger).
  EXPECT_GT(xz.Width(), yz.Width() * 5 / 4);
  EXPECT_GT(xz.Width(), quer.Width() * 5 / 4);
  EXPECT_TRUE(Visible(dlg_.m_xz) && Visible(dlg_.m_yz) && Visible(dlg_.m_quer));
  EXPECT_FALSE(Visible(dlg_.m_xy) || Visible(dlg_.m_3D) || Visible(dlg_.m_rich));
  dlg_.SetWindowPos(nullptr, 0, 0, 1000, 500, SWP_NOZORDER);
  dlg_.UpdatePreview();
  CRect breiter;
  dlg_.m_xz.GetWindowRect(&breiter);
  EXPECT_GT(breiter.Width(), xz.Width()) << "the frames follow the dialog's size";
}

// Beside a wide input dialog on a small screen the preview is narrow: the raster and the output's buttons then leave
// the row of the view tabs for a row of their own below them, above the views, and return when the preview widens.
TEST_F(PreviewDlgTest, ANarrowPreviewPutsItsToolsBelowTheTabsNotOverThem) {
  Open(63, TRUE);
  auto place = [&](CWnd* w) {
    CRect r;
    w->GetWindowRect(&r);
    dlg_.ScreenToClient(&r);
    return r;
  };
  struct Case {
    int width;
    int view;  // 0 the views with the raster, 5 the output with its buttons
    bool below;
  };
  const Case cases[] = {{900, 0, false}, {250, 0, true}, {250, 5, true}, {900, 5, false}, {900, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " wide, view " << c.view);
    dlg_.SetWindowPos(nullptr, 0, 0, c.width, 500, SWP_NOZORDER);
    if (c.view == 5) win::msgbox::QueueAnswer(IDOK);  // an output preview without an input dialog says so
    dlg_.m_tab.SetCurSel(c.view == 5 ? 1 : 0);
    dlg_.UpdatePreview();
    CRect client, tab, headers;
    dlg_.GetClientRect(&client);
    tab = place(&dlg_.m_tab);
    for (int i = 0; i < dlg_.m_tab.GetItemCount(); ++i) {
      CRect item;
      ASSERT_TRUE(dlg_.m_tab.GetItemRect(i, &item));
      item.OffsetRect(tab.left, tab.top);
      headers.UnionRect(headers, item);
    }
    const UINT tools[2][2] = {{CPreviewDlg::kIdRasterLabel, CPreviewDlg::kIdRaster},
                              {CPreviewDlg::kIdEdit, CPreviewDlg::kIdPrint}};
    const CRect frame = place(c.view == 5 ? static_cast<CWnd*>(&dlg_.m_rich) : static_cast<CWnd*>(&dlg_.m_3D));
    for (UINT id : tools[c.view == 5 ? 1 : 0]) {
      CWnd* tool = dlg_.GetDlgItem(int(id));
      ASSERT_NE(tool, nullptr);
      EXPECT_TRUE(Visible(*tool)) << id;
      const CRect r = place(tool);
      CRect common;
      EXPECT_FALSE(common.IntersectRect(r, headers)) << id << " covers a tab";
      EXPECT_TRUE(r.left >= 0 && r.right <= client.right) << id;
      EXPECT_EQ(r.top >= headers.bottom, c.below) << id;
      EXPECT_LE(r.bottom, frame.top) << id << " reaches into the views";
    }
  }
}

TEST_F(PreviewDlgTest, EachViewRedrawsOnItsTab) {
  Open(63, FALSE);
  // Tabs 3D, XZ, XY, YZ, output: each 2D tab draws once more, the output does not draw.
  const int tabs[] = {0, 2, 3, 1};
  int expected = calls_.draw2D;
  for (int t : tabs) {
    dlg_.m_tab.SetCurSel(t);
    dlg_.UpdatePreview();
    EXPECT_EQ(calls_.draw2D, ++expected);
    EXPECT_EQ(dlg_.SelectedView(), t);
    EXPECT_EQ(Visible(dlg_.m_quer), t != 0) << "the section frame stands beside every 2D view";
  }
}

TEST_F(PreviewDlgTest, OutputPreviewAndBack) {
  Open(63, FALSE);
  const int before = calls_.draw2D;
  dlg_.m_tab.SetCurSel(4);  // the output preview
  win::msgbox::QueueAnswer(IDOK);
  dlg_.UpdatePreview();
  EXPECT_EQ(dlg_.SelectedView(), 5);
  EXPECT_EQ(calls_.output, 0) << "without an input dialog only the message";
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("m_pInputDlg"), std::string::npos);
  EXPECT_TRUE(Visible(dlg_.m_rich));
  EXPECT_FALSE(Visible(dlg_.m_xz));
  dlg_.RefreshOutputPreview();
  EXPECT_EQ(dlg_.SelectedView(), 1);
  EXPECT_EQ(calls_.draw2D, before + 1);
}

TEST_F(PreviewDlgTest, ADragNeedsASecondPressOnTheSameObject) {
  Open(63, TRUE);
  dlg_.m_dRaster = 5.0;
  dlg_.UpdateData(FALSE);
  struct Schritt {
    long pick;  // 0: a drag movement
    std::size_t drags;
  };
  // Press on 5, move: nothing; press on 9 (another): nothing; press on 9 again: the movement is passed.
  const Schritt schritte[] = {{5, 0}, {0, 0}, {9, 0}, {0, 0}, {9, 0}, {0, 1}, {0, 2}};
  for (const Schritt& s : schritte) {
    if (s.pick)
      Notify(CPreviewDlg::kId2DXZ, pw::event2d::ObjectPicked, s.pick);
    else
      Notify(CPreviewDlg::kId2DXZ, pw::event2d::DragMove);
    EXPECT_EQ(calls_.rasters.size(), s.drags);
  }
  EXPECT_EQ(calls_.picks, 3);
  ASSERT_FALSE(calls_.rasters.empty());
  EXPECT_DOUBLE_EQ(calls_.rasters[0], 0.05) << "5 cm reach the data in m";
  Notify(CPreviewDlg::kId2DXZ, pw::event2d::DragEnd);
  EXPECT_EQ(calls_.ends, 1);
  EXPECT_EQ(dlg_.pickedId, 9);
  Notify(CPreviewDlg::kId3D, pw::event2d::DragMove);
  EXPECT_EQ(calls_.rasters.size(), 2u) << "the 3D control does not edit";
}

TEST_F(PreviewDlgTest, TheOutputButtonsShowTheirPicturesAndF1AsksForTheSuitesHelp) {
  Open(63, FALSE);
  dlg_.m_tab.SetCurSel(4);
  win::msgbox::QueueAnswer(IDOK);  // no input dialog: the output preview says so
  dlg_.UpdatePreview();
  if (const char* dir = std::getenv("KOLUMO_PNG_DIR"))
    win::SaveWindowPng(dlg_.m_hWnd, std::string(dir) + "/preview_output.png");
  // Each button shows its 16 x 16 picture left of its caption: white paper with a dark edge, no green (the
  // transparent colour).
  for (CHoverButton* button : {&dlg_.m_editButton, &dlg_.m_printButton}) {
    ASSERT_TRUE(Visible(*button));
    const win::Image bild = win::RenderWindow(button->m_hWnd);
    int weiss = 0, gruen = 0;
    for (int y = 0; y < bild.height; ++y)
      for (int x = 0; x < bild.width / 3; ++x) {
        const COLORREF c = bild.At(x, y);
        weiss += c == RGB(255, 255, 255);
        gruen += c == RGB(0, 255, 0);
      }
    EXPECT_GT(weiss, 10) << button->GetDlgCtrlID();
    EXPECT_EQ(gruen, 0) << button->GetDlgCtrlID();
  }
  // F1 in a view: the suite's help file, missing here, is named.
  dlg_.m_tab.SetCurSel(1);
  dlg_.UpdatePreview();
  dlg_.m_xz.SetFocus();
  win::msgbox::QueueAnswer(IDOK);
  win::input::Key(VK_F1);
  win::PumpMessages();
  ASSERT_EQ(win::msgbox::Log().size(), 2u);
  EXPECT_NE(win::msgbox::Log()[1].text.find("tq-vernik.pdf"), std::string::npos) << win::msgbox::Log()[1].text;
}

TEST_F(PreviewDlgTest, TabbedViewsHandTheirTipFileToTheHost) {
  static std::vector<std::string> tips;
  tips.clear();
  dlg_.showTip = [](const char* file) { tips.push_back(file); };
  Open(63, FALSE);
  // Opening selects the X-Z tab; then 3D, Y-Z and the output, which has no tip.
  for (int t : {0, 3}) {
    dlg_.m_tab.SetCurSel(t);
    dlg_.UpdatePreview();
  }
  const std::vector<std::string> expected = {"common_Preview2D.rtf", "common_Preview3D.rtf", "common_Preview2D.rtf"};
  EXPECT_EQ(tips, expected);
}

}  // namespace
