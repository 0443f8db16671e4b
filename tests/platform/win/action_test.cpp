// Actions of the person: each input message and each posted command is an action of its own, opening a dialog
// belongs to the action that opens it, and nothing else the pump does (paints, timers, posted messages) is one.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/dialogs/wintest.h"
#include "platform/win/window/action.h"

namespace {

using win::test::WindowTest;

// The actions open now, outermost first: "own" or "joined" each.
std::vector<std::string> openActions;

std::string Open() {
  std::string text;
  for (const std::string& action : openActions) text += (text.empty() ? "" : ">") + action;
  return text.empty() ? "none" : text;
}

constexpr UINT kDialogId = 7301;
const win::DialogTemplateRegistrar kTemplate(kDialogId, [] {
  win::DialogTemplate t;
  t.caption = "Frage";
  t.cx = 120;
  t.cy = 50;
  t.items = {{IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 30, 40, 14}};
  return t;
}());

class Recorded : public CDialog {
 public:
  explicit Recorded(std::map<std::string, std::string>& seen) : CDialog(kDialogId), seen_(seen) {}
  BOOL OnInitDialog() override {
    seen_["opening"] = Open();
    return CDialog::OnInitDialog();
  }
  void OnOK() override {
    seen_["ok"] = Open();
    CDialog::OnOK();
  }

 private:
  std::map<std::string, std::string>& seen_;
};

// Records under which actions it handles each message; a click opens the dialog above.
class Target : public CWnd {
 public:
  std::map<std::string, std::string> seen;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_LBUTTONDOWN: seen["button down"] = Open(); break;
      case WM_LBUTTONUP:
        seen["button up"] = Open();
        if (opensDialog) {
          Recorded dialog(seen);
          dialog.DoModal();
        }
        break;
      case WM_KEYDOWN: seen["key"] = Open(); break;
      case WM_CHAR: seen["character"] = Open(); break;
      case WM_COMMAND: seen["command"] = Open(); break;
      case WM_TIMER: seen["timer"] = Open(); break;
      case WM_USER + 1: seen["posted"] = Open(); break;
      default: break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
  bool opensDialog = false;
};

class ActionTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    openActions.clear();
    win::SetActionOpener([](bool own) -> std::shared_ptr<void> {
      openActions.push_back(own ? "own" : "joined");
      return std::shared_ptr<void>(new int(0), [](void* p) {
        openActions.pop_back();
        delete static_cast<int*>(p);
      });
    });
    ASSERT_TRUE(target.CreateEx(0, nullptr, "Ziel", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
    target.SetFocus();
  }
  void TearDown() override {
    target.DestroyWindow();
    win::SetActionOpener(nullptr);
    EXPECT_TRUE(openActions.empty()) << Open();
    WindowTest::TearDown();
  }
  Target target;
};

TEST_F(ActionTest, EachInputMessageAndPostedCommandIsAnActionOfItsOwn) {
  win::input::Click(target.m_hWnd, 10, 10);
  win::input::Type("a");
  target.PostMessage(WM_COMMAND, 1);
  target.PostMessage(WM_USER + 1);
  target.SetTimer(1, 10, nullptr);
  win::RunFor(20);
  EXPECT_EQ(target.seen["button down"], "own");
  EXPECT_EQ(target.seen["button up"], "own");
  EXPECT_EQ(target.seen["key"], "own");
  EXPECT_EQ(target.seen["character"], "own");
  EXPECT_EQ(target.seen["command"], "own");
  EXPECT_EQ(target.seen["posted"], "none");
  EXPECT_EQ(target.seen["timer"], "none");
}

// The click that opens a dialog holds its opening; what the person then does in the dialog is an action of its own
// within it, and the click's action goes on after the dialog.
TEST_F(ActionTest, OpeningADialogBelongsToTheActionThatOpensIt) {
  target.opensDialog = true;
  win::script::QueueDialog([](CDialog&) { win::input::Key(VK_RETURN); });  // the default button
  win::input::Click(target.m_hWnd, 10, 10);
  EXPECT_EQ(target.seen["opening"], "own>joined");
  EXPECT_EQ(target.seen["ok"], "own>own");
  EXPECT_EQ(target.seen["button up"], "own");
  EXPECT_TRUE(openActions.empty());
  // A dialog opened with no action open is an action of its own making.
  Recorded alone(target.seen);
  win::script::QueueDialogAnswer(IDOK);
  alone.DoModal();
  EXPECT_EQ(target.seen["opening"], "joined");
}

}  // namespace
