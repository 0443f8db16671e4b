// The progress dialog: steps and percentages, the owner disabled while it is shown, cancel, translation.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "controls/ProgressDlg.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/dialogs/wintest.h"

namespace {

class ProgressDlgTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "Hauptfenster", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
  }
  static CString Percent(ProgressDlg& dlg) {
    CString s;
    dlg.GetDlgItemText(ProgressDlg::kPercent, s);
    return s;
  }
  CWnd owner;
};

TEST_F(ProgressDlgTest, StepsByTenAndShowsThePercentageOfTheNextPosition) {
  ProgressDlg dlg;
  ASSERT_TRUE(dlg.Create(&owner));
  EXPECT_EQ(Percent(dlg), " 0 %");
  // First step: the bar was at 0, now at 10.
  EXPECT_EQ(dlg.StepIt(), 0);
  EXPECT_EQ(Percent(dlg), "10%");
  for (int i = 2; i <= 9; ++i) EXPECT_EQ(dlg.StepIt(), (i - 1) * 10);
  EXPECT_EQ(Percent(dlg), "90%");
  EXPECT_EQ(dlg.StepIt(), 90);
  EXPECT_EQ(Percent(dlg), "100%");
  EXPECT_EQ(dlg.m_Progress.GetPos(), 100);
}

TEST_F(ProgressDlgTest, APositionBeyondTheUpperBoundIsShownModuloOneHundred) {
  ProgressDlg dlg;
  ASSERT_TRUE(dlg.Create(&owner));
  dlg.SetStep(60);
  EXPECT_EQ(dlg.StepIt(), 0);
  EXPECT_EQ(Percent(dlg), "60%");
  // The bar was at 60; 60 + 60 = 120 in 0..100: 120 % 100 = 20.
  EXPECT_EQ(dlg.StepIt(), 60);
  EXPECT_EQ(Percent(dlg), "20%");
}

TEST_F(ProgressDlgTest, PercentageFollowsTheRange) {
  ProgressDlg dlg;
  ASSERT_TRUE(dlg.Create(&owner));
  dlg.SetRange(20, 60);
  dlg.SetStep(10);
  dlg.m_Progress.SetPos(20);
  // (30 - 20) * 100 / 40 = 25
  EXPECT_EQ(dlg.StepIt(), 20);
  EXPECT_EQ(Percent(dlg), "25%");
  PBRANGE r{};
  dlg.m_Progress.SendMessage(PBM_GETRANGE, TRUE, LPARAM(&r));
  EXPECT_EQ(r.iLow, 20);
  EXPECT_EQ(r.iHigh, 60);
}

TEST_F(ProgressDlgTest, EmptyRangeLeavesThePercentageInsteadOfDividingByZero) {
  ProgressDlg dlg;
  ASSERT_TRUE(dlg.Create(&owner));
  dlg.SetRange(5, 5);
  dlg.StepIt();
  EXPECT_EQ(Percent(dlg), " 0 %");
}

TEST_F(ProgressDlgTest, OwnerIsDisabledWhileShownAndEnabledAgainWhenDestroyed) {
  auto dlg = std::make_unique<ProgressDlg>(41004);
  ASSERT_TRUE(dlg->Create(&owner));
  EXPECT_FALSE(owner.IsWindowEnabled());
  EXPECT_TRUE(dlg->m_bParentDisabled);
  CString caption;
  dlg->GetWindowText(caption);
  EXPECT_EQ(caption, "Fortschrittsanzeige");
  HWND h = dlg->m_hWnd;
  dlg->DestroyWindow();
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_FALSE(IsWindow(h));
  // The destructor destroys a dialog that still exists, and enables the owner too.
  auto second = std::make_unique<ProgressDlg>();
  ASSERT_TRUE(second->Create(&owner));
  EXPECT_FALSE(owner.IsWindowEnabled());
  second.reset();
  EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(ProgressDlgTest, AnOwnerDisabledBeforehandStaysDisabled) {
  owner.EnableWindow(FALSE);
  ProgressDlg dlg;
  ASSERT_TRUE(dlg.Create(&owner));
  EXPECT_FALSE(dlg.m_bParentDisabled);
  dlg.DestroyWindow();
  EXPECT_FALSE(owner.IsWindowEnabled());
}

TEST_F(ProgressDlgTest, CancelButtonAndEscapeSetTheFlagAndEnterDoesNothing) {
  ProgressDlg dlg;
  ASSERT_TRUE(dlg.Create(&owner));
  // Enter means IDOK unless a push button has the focus; OnOK does nothing.
  SetFocus(nullptr);
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
  EXPECT_FALSE(dlg.m_bCancel);
  EXPECT_TRUE(dlg.IsWindowVisible());
  win::input::Key(VK_ESCAPE);
  EXPECT_TRUE(dlg.m_bCancel);
  EXPECT_TRUE(dlg.IsWindowVisible());
  dlg.m_bCancel = FALSE;
  // A click waits in the queue until the next step pumps it.
  CWnd* cancel = dlg.GetDlgItem(IDCANCEL);
  CRect r;
  cancel->GetWindowRect(&r);
  POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  cancel->ScreenToClient(&c);
  PostMessage(cancel->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(WORD(c.x), WORD(c.y)));
  PostMessage(cancel->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(WORD(c.x), WORD(c.y)));
  EXPECT_FALSE(dlg.m_bCancel);
  dlg.StepIt();
  EXPECT_TRUE(dlg.m_bCancel);
  EXPECT_TRUE(dlg.IsWindowVisible());
}

TEST_F(ProgressDlgTest, StepPumpsTheCallersWindowsToo) {
  struct Counter : CWnd {
    int seen = 0;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
      if (m == WM_USER + 5) ++seen;
      return CWnd::WindowProc(m, w, l);
    }
  } other;
  ASSERT_TRUE(other.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  ProgressDlg dlg;
  ASSERT_TRUE(dlg.Create(&owner));
  dlg.SetStatus("Rechne Kombination 1");
  other.PostMessage(WM_USER + 5);
  dlg.StepIt();
  EXPECT_EQ(other.seen, 1);
  CString status;
  dlg.GetDlgItemText(ProgressDlg::kStatus, status);
  EXPECT_EQ(status, "Rechne Kombination 1");
}

TEST_F(ProgressDlgTest, DialogTextsAreTranslatedWithItsContext) {
  namespace fs = std::filesystem;
  fs::path root = fs::path(::testing::TempDir()) / "progress_dlg_dict";
  fs::create_directories(root / "dict");
  {
    std::ofstream f(root / "dict" / "vernik_i_common.english.txt");
    f << "ProgressDlg\tAbbrechen\tCancel\n";
    f << "ProgressDlg\tFortschrittsanzeige\tProgress\n";
  }
  const char* before = std::getenv("KOLUMO_ROOT");
  std::string saved = before ? before : "";
  setenv("KOLUMO_ROOT", root.c_str(), 1);
  tolkar::Reload();
  tolkar::SetLanguage("Ormi Eingabe", "english");
  {
    ProgressDlg dlg(41004);
    ASSERT_TRUE(dlg.Create(&owner));
    CString caption, cancel;
    dlg.GetWindowText(caption);
    dlg.GetDlgItemText(IDCANCEL, cancel);
    EXPECT_EQ(caption, "Progress");
    EXPECT_EQ(cancel, "Cancel");
  }
  tolkar::SetLanguage("Ormi Eingabe", "deutsch");
  if (before)
    setenv("KOLUMO_ROOT", saved.c_str(), 1);
  else
    unsetenv("KOLUMO_ROOT");
  tolkar::Reload();
}

TEST_F(ProgressDlgTest, PictureShowsTheBarAndTheTexts) {
  ProgressDlg dlg(41004);
  ASSERT_TRUE(dlg.Create(&owner));
  dlg.SetStatus("Bauzustand 1");
  for (int i = 0; i < 4; ++i) dlg.StepIt();
  // Without a screen the steps only marked the bar; the picture paints it as it stands.
  EXPECT_TRUE(GetUpdateRect(dlg.m_Progress.m_hWnd, nullptr, FALSE));
  win::Image img = win::RenderWindow(dlg.m_hWnd);
  EXPECT_FALSE(GetUpdateRect(dlg.m_Progress.m_hWnd, nullptr, FALSE));
  ASSERT_GT(img.width, 0);
  // The bar, 40 % filled, shows the highlight colour in its filled share.
  CRect bar;
  dlg.m_Progress.GetWindowRect(&bar);
  CRect dlgRect;
  dlg.GetWindowRect(&dlgRect);
  int y = (bar.top + bar.bottom) / 2 - dlgRect.top;
  int filled = 0;
  for (int x = bar.left - dlgRect.left; x < bar.right - dlgRect.left; ++x)
    if (img.At(x, y) == GetSysColor(COLOR_HIGHLIGHT)) ++filled;
  EXPECT_GT(filled, bar.Width() / 4);
  EXPECT_LT(filled, bar.Width() / 2);
  EXPECT_TRUE(win::SavePng(img, ::testing::TempDir() + "progress_dlg.png"));
}

}  // namespace
