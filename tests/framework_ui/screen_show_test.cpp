// The framework dialogs and grids shown on a real X display: each becomes an X window of its caption. Without
// $DISPLAY the test starts a virtual X server of its own; skipped only where Xvfb or xdotool is missing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "framework_ui/loadgrid.h"
#include "framework_ui/memberspringdlg.h"
#include "framework_ui/settingsdlg.h"
#include "framework_ui/springdlg.h"
#include "framework_ui/stabsysgrid.h"
#include "platform/win/screen/screen.h"
#include "platform/win/dialogs/wintest.h"
#include "platform/win/screen/x11screen.h"
#include "tests/support/xvfb_server.h"

namespace {

class ScreenShowTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xdotool";
    if (!std::getenv("DISPLAY")) {
      if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "no X display and no Xvfb";
      ASSERT_TRUE(server.Start()) << "the virtual X server did not start";
    }
    WindowTest::SetUp();
    setenv("KOLUMO_ROOT", KOLUMO_SOURCE_DIR "/data", 0);
    std::string error;
    screen = win::OpenX11Screen(error);
    ASSERT_TRUE(screen) << error;
    win::SetScreen(screen.get());
  }
  void TearDown() override {
    if (!screen) return;
    win::SetScreen(nullptr);
    WindowTest::TearDown();
    screen.reset();
    server.Stop();
  }
  // Shows the window, lets the screen draw it, and finds its X window by caption (xdotool).
  void ExpectOnScreen(CWnd& wnd, const char* caption) {
    wnd.ShowWindow(SW_SHOW);
    win::PumpMessages();
    screen->Present();
    screen->WaitForInput(200);
    screen->Present();
    const std::string search = std::string("xdotool search --name '") + caption + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(search.c_str()), 0) << caption;
    wnd.DestroyWindow();
    win::PumpMessages();
    screen->Present();
  }
  kolumo::test::XvfbServer server;
  std::unique_ptr<win::Screen> screen;
};

TEST_F(ScreenShowTest, EveryDialogAndGridOpensAsAnXWindow) {
  {
    dlgAllg dialog;
    ASSERT_TRUE(dialog.Create(IDD_ALLG));
    ExpectOnScreen(dialog, "Allgemeine Einstellungen");
  }
  {
    SpringValDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_SPRINGVAL));
    ExpectOnScreen(dialog, "Federwerte");
  }
  {
    DlgFeder dialog;
    ASSERT_TRUE(dialog.Create(IDD_MEMBERSPRING));
    ExpectOnScreen(dialog, "Federwerte aus Bauteil berechnen");
  }
  {
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Lastengitter", WS_OVERLAPPEDWINDOW, 40, 40, 1200, 240, nullptr, nullptr));
    LoadGrid grid;
    for (int& allowed : grid.allowedTypes) allowed = 1;
    ASSERT_TRUE(grid.Create(CRect(5, 5, 1180, 200), &frame, 2));
    grid.Layout();
    ExpectOnScreen(frame, "Lastengitter");
  }
  {
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Stabsystem", WS_OVERLAPPEDWINDOW, 40, 40, 1000, 240, nullptr, nullptr));
    StabSysGrid grid;
    ASSERT_TRUE(grid.Create(CRect(5, 5, 980, 200), &frame, 2));
    grid.Layout();
    ExpectOnScreen(frame, "Stabsystem");
  }
}

}  // namespace
