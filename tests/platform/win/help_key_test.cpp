// F1: a help request for the window with the focus, handed up to its parents and owner until one answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/dialogs/wintest.h"
#include "tests/platform/win/step_screen.h"

namespace {

using win::test::WindowTest;

enum : int { kPageField = 81, kPageOther = 82, kHostField = 90, kPageId = 95 };

win::DialogTemplate HelpPage() {
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL;
  t.cx = 100;
  t.cy = 40;
  t.items = {win::DialogItem{kPageField, "Edit", "", WS_BORDER | WS_TABSTOP, 5, 5, 80, 12},
             win::DialogItem{kPageOther, "Edit", "", WS_BORDER | WS_TABSTOP, 5, 20, 80, 12}};
  return t;
}
const win::DialogTemplateRegistrar kHelpPage(711, HelpPage());

win::DialogTemplate HelpHost() {
  win::DialogTemplate t;
  t.caption = "Hilfeprobe";
  t.cx = 200;
  t.cy = 100;
  t.items = {win::DialogItem{kHostField, "Edit", "", WS_BORDER | WS_TABSTOP, 5, 5, 80, 12},
             win::DialogItem{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 90, 80, 50, 14}};
  return t;
}
const win::DialogTemplateRegistrar kHelpHost(712, HelpHost());

// Who asked: the control id and window the request names, as each handler saw it.
struct Request {
  int id;
  HWND item;
};

class HelpHostDlg : public CDialog {
 public:
  HelpHostDlg() : CDialog(712) {}
  std::vector<Request> heard;
  LRESULT OnHelp(WPARAM, LPARAM lParam) {
    auto* info = reinterpret_cast<HELPINFO*>(lParam);
    heard.push_back({info ? info->iCtrlId : -1, info ? static_cast<HWND>(info->hItemHandle) : nullptr});
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(HelpHostDlg, CDialog)
ON_MESSAGE(WM_HELP, OnHelp)
END_MESSAGE_MAP()

// A page that answers for its second field only and passes everything else on.
class HelpPageDlg : public CDialog {
 public:
  HelpPageDlg() : CDialog(711) {}
  int answered = 0;
  LRESULT OnHelp(WPARAM, LPARAM lParam) {
    auto* info = reinterpret_cast<HELPINFO*>(lParam);
    if (info && info->iCtrlId == kPageOther) {
      ++answered;
      return TRUE;
    }
    return Default();
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(HelpPageDlg, CDialog)
ON_MESSAGE(WM_HELP, OnHelp)
END_MESSAGE_MAP()

class HelpKeyTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(host.Create(712));
    host.ShowWindow(SW_SHOW);
    ASSERT_TRUE(page.Create(711, &host));
    page.SetDlgCtrlID(kPageId);
    page.SetWindowPos(nullptr, 10, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  }
  HelpHostDlg host;
  HelpPageDlg page;
};

TEST_F(HelpKeyTest, F1InAFieldOfAPageReachesTheDialogNamingTheField) {
  HWND field = page.GetDlgItem(kPageField)->m_hWnd;
  ::SetFocus(field);
  win::input::Key(VK_F1);
  ASSERT_EQ(host.heard.size(), 1u);
  EXPECT_EQ(host.heard[0].id, kPageField);
  EXPECT_EQ(host.heard[0].item, field);
  // The key types nothing.
  CString text;
  page.GetDlgItemText(kPageField, text);
  EXPECT_EQ(text, "");
}

TEST_F(HelpKeyTest, AWindowThatAnswersEndsTheRequest) {
  page.GetDlgItem(kPageOther)->SetFocus();
  win::input::Key(VK_F1);
  EXPECT_EQ(page.answered, 1);
  EXPECT_TRUE(host.heard.empty());
}

TEST_F(HelpKeyTest, OnlyAPlainF1AsksForHelp) {
  host.GetDlgItem(kHostField)->SetFocus();
  struct Case {
    UINT modifier;  // 0: none
    UINT vk;
    std::size_t requests;
  };
  const Case cases[] = {{0, VK_F2, 0}, {VK_SHIFT, VK_F1, 0}, {VK_CONTROL, VK_F1, 0}, {0, VK_F1, 1}};
  for (const Case& c : cases) {
    host.heard.clear();
    if (c.modifier)
      win::input::KeyWith(c.modifier, c.vk);
    else
      win::input::Key(c.vk);
    EXPECT_EQ(host.heard.size(), c.requests) << "key " << c.vk << " with " << c.modifier;
  }
  ASSERT_FALSE(host.heard.empty());
  EXPECT_EQ(host.heard[0].id, kHostField);
}

TEST_F(HelpKeyTest, APopupPassesTheRequestToItsOwner) {
  CWnd popup;
  ASSERT_TRUE(popup.CreateEx(0, nullptr, "Liste", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, host.m_hWnd, nullptr));
  popup.SetFocus();
  win::input::Key(VK_F1);
  ASSERT_EQ(host.heard.size(), 1u);
  EXPECT_EQ(host.heard[0].item, popup.m_hWnd);
  EXPECT_EQ(host.heard[0].id, 0);
}

TEST_F(HelpKeyTest, F1InAMessageBoxAsksItsOwnerAndLeavesTheBoxOpen) {
  win::test::StepScreen screen;
  screen.Then([](HWND) { win::input::Key(VK_F1); });
  screen.Then([](HWND) { win::input::Key(VK_RETURN); });
  EXPECT_EQ(MessageBox(host.m_hWnd, "Weiter?", "Frage", MB_OKCANCEL), IDOK);
  EXPECT_EQ(screen.Left(), 0u);
  ASSERT_EQ(host.heard.size(), 1u);
  EXPECT_EQ(host.heard[0].id, IDOK);  // the box's focused button
}

}  // namespace
