// A modal window takes the mouse, as the desktop's do: the window that held it is told (WM_CANCELMODE, then
// WM_CAPTURECHANGED) and ends what it started, and every click while the modal window is open, and after it, lands
// where it aims.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/dialogs/wintest.h"
#include "tests/platform/win/step_screen.h"

namespace {

using win::test::StepScreen;
using win::test::TextOf;

constexpr UINT kTemplate = 9311;
constexpr int kTarget = 301;

const win::DialogTemplateRegistrar kDialog(kTemplate, [] {
  win::DialogTemplate t;
  t.caption = "Frage";
  t.cx = 120;
  t.cy = 40;
  t.items = {
      {IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 10, 10, 45, 14},
      {IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 65, 10, 45, 14},
  };
  return t;
}());

// A window that notes what it hears about the mouse and the modes it started.
class Holder : public CWnd {
 public:
  std::vector<std::string> heard;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_CANCELMODE) heard.push_back("cancel mode");
    if (msg == WM_CAPTURECHANGED) heard.push_back("capture changed");
    return CWnd::WindowProc(msg, wParam, lParam);
  }
};

// A field whose entry is refused when it loses the focus.
class RefusingField : public CWnd {
 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_KILLFOCUS) AfxMessageBox("Feld 2, Länge: Unerwartete Zeichen: x", MB_ICONEXCLAMATION);
    return CWnd::WindowProc(msg, wParam, lParam);
  }
};

void ClickButton(HWND top, const std::string& text) {
  EXPECT_TRUE(win::test::ClickButtonWithText(top, text)) << "no button " << text << " in " << TextOf(top);
}

class ModalCaptureTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "Eingabe", WS_POPUP | WS_VISIBLE, 0, 0, 500, 400, nullptr, nullptr));
    ASSERT_TRUE(holder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 10, 210, 160), &owner, 300));
    ASSERT_TRUE(
        target.Create("Edit", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(10, 200, 200, 225), &owner, kTarget));
  }
  void TearDown() override {
    owner.DestroyWindow();
    WindowTest::TearDown();
  }
  CWnd owner, target;
  Holder holder;
};

// Each kind of modal window, opened while a window holds the mouse (a drag), answered by a click on its button.
TEST_F(ModalCaptureTest, AModalWindowTakesTheMouseFromTheWindowHoldingIt) {
  struct Case {
    const char* name;
    std::function<INT_PTR()> open;  // shows the window and returns its answer
    std::function<void(HWND active)> click;
    INT_PTR answer;
  } cases[] = {
      {"message box", [&] { return INT_PTR(AfxMessageBox("Verwerfen?", MB_YESNO | MB_ICONQUESTION)); },
       [](HWND box) { ClickButton(box, "&Nein"); }, IDNO},
      {"modal dialog",
       [&] {
         CDialog dialog(kTemplate, &owner);
         return dialog.DoModal();
       },
       [](HWND dialog) { ClickButton(dialog, "Abbrechen"); }, IDCANCEL},
      {"popup menu",
       [&] {
         HMENU menu = CreatePopupMenu();
         AppendMenu(menu, MF_STRING, 41, "Kopieren");
         AppendMenu(menu, MF_STRING, 42, "Löschen");
         const INT_PTR chosen = TrackPopupMenu(menu, TPM_RETURNCMD, 300, 100, 0, owner.m_hWnd, nullptr);
         DestroyMenu(menu);
         return chosen;
       },
       [](HWND) {
         // the second row: a 2-pixel margin, rows of 20
         HWND menu = WindowFromPoint(POINT{320, 100 + 2 + 20 + 10});
         POINT p{320, 100 + 2 + 20 + 10};
         ScreenToClient(menu, &p);
         win::input::Click(menu, p.x, p.y);
       },
       42},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    holder.heard.clear();
    holder.SetCapture();
    StepScreen screen;
    screen.Then(c.click);
    EXPECT_EQ(c.open(), c.answer);
    EXPECT_EQ(screen.Left(), 0u);
    EXPECT_EQ(holder.heard, (std::vector<std::string>{"cancel mode", "capture changed"}));
    EXPECT_EQ(GetCapture(), nullptr);
    // the next click lands where it aims
    win::input::ClickCenter(target.m_hWnd);
    EXPECT_EQ(GetFocus(), target.m_hWnd);
    owner.SetFocus();
  }
}

// A press whose handling opens a box (the focus it takes ends an edit that is refused): the box takes the press,
// whose release comes while it is open; what the pressed window starts once the box is gone (it captures the mouse,
// as a button and the grid do on a press) ends at once, and the next click lands where it aims.
TEST_F(ModalCaptureTest, APressThatAModalWindowInterruptedIsOver) {
  RefusingField field;
  ASSERT_TRUE(field.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(220, 10, 320, 30), &owner, 303));
  CWnd button;
  ASSERT_TRUE(
      button.Create("Button", "Weiter", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(220, 50, 320, 75), &owner, 302));
  field.SetFocus();
  const CPoint middle(50, 12);  // the button's
  StepScreen screen;
  // the release of the press, over the button of the disabled window: it goes nowhere
  screen.Then([&](HWND) { win::input::MouseUp(button.m_hWnd, middle.x, middle.y); });
  screen.Then([](HWND box) { ClickButton(box, "OK"); });
  win::input::MouseDown(button.m_hWnd, middle.x, middle.y);
  EXPECT_EQ(screen.Left(), 0u);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(GetCapture(), nullptr) << "the button kept the mouse after the box";
  win::input::ClickCenter(target.m_hWnd);
  EXPECT_EQ(GetFocus(), target.m_hWnd);
}

}  // namespace
