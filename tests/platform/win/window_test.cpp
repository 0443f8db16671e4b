// Windows, message maps, the queue, timers, focus, capture and input through the real input path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/dialogs/wintest.h"

namespace {

using win::test::WindowTest;

// A plain top-level window of our own class for the tests.
HWND MakeTopLevel(int w = 200, int h = 100) {
  static bool registered = false;
  if (!registered) {
    WNDCLASS c{};
    c.style = CS_DBLCLKS;
    c.lpfnWndProc = &DefWindowProc;
    c.lpszClassName = "TestTop";
    c.hbrBackground = reinterpret_cast<HBRUSH>(std::intptr_t(COLOR_3DFACE + 1));
    RegisterClass(&c);
    registered = true;
  }
  return CreateWindowEx(0, "TestTop", "top", WS_POPUP | WS_VISIBLE, 10, 20, w, h, nullptr, nullptr, nullptr, nullptr);
}

// ---- The handle table --------------------------------------------------------------------------------------------
TEST_F(WindowTest, DestroyedHandlesStayInvalidAndAreNeverReused) {
  HWND a = MakeTopLevel();
  ASSERT_TRUE(IsWindow(a));
  ASSERT_TRUE(DestroyWindow(a));
  EXPECT_FALSE(IsWindow(a));
  // A stale handle reaches nothing: no crash, no answer.
  EXPECT_EQ(SendMessage(a, WM_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_FALSE(SetWindowText(a, "x"));
  EXPECT_FALSE(PostMessage(a, WM_USER, 0, 0));
  HWND b = MakeTopLevel();
  EXPECT_NE(a, b);
  EXPECT_FALSE(IsWindow(a));
}

TEST_F(WindowTest, ChildrenAreDestroyedWithTheirParentChildrenFirstOnNcDestroy) {
  HWND top = MakeTopLevel();
  HWND child = CreateWindowEx(0, "Static", "c", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
  ASSERT_TRUE(IsChild(top, child));
  DestroyWindow(top);
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(win::WindowCount(), 0u);
}

TEST_F(WindowTest, GeometryMapsBetweenClientAndScreen) {
  HWND top = MakeTopLevel(200, 100);  // at (10, 20), no frame
  HWND child = CreateWindowEx(0, "Static", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 30, 40, 50, 20, top, nullptr, nullptr,
                              nullptr);
  POINT p{0, 0};
  ClientToScreen(child, &p);
  // 10 + 30 + 1 (border), 20 + 40 + 1
  EXPECT_EQ(p.x, 41);
  EXPECT_EQ(p.y, 61);
  RECT rc;
  GetClientRect(child, &rc);
  EXPECT_EQ(rc.right, 48);
  EXPECT_EQ(rc.bottom, 18);
  RECT wr;
  GetWindowRect(child, &wr);
  EXPECT_EQ(wr.left, 40);
  EXPECT_EQ(wr.bottom, 80);
}

// ---- Message maps -----------------------------------------------------------------------------------------------------
class BaseWnd : public CWnd {
 public:
  std::vector<std::string> log;
  LRESULT OnOne(WPARAM, LPARAM) { return 10; }
  LRESULT OnTwo(WPARAM w, LPARAM) { return LRESULT(w) * 2; }
  void OnSize(UINT, int cx, int cy) {
    log.push_back("size " + std::to_string(cx) + "x" + std::to_string(cy));
    CWnd::OnSize(0, cx, cy);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
ON_MESSAGE(WM_USER + 1, OnOne)
ON_MESSAGE(WM_USER + 2, OnTwo)
ON_WM_SIZE()
END_MESSAGE_MAP()

class DerivedWnd : public BaseWnd {
 public:
  LRESULT OnOne(WPARAM, LPARAM) { return 20; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
ON_MESSAGE(WM_USER + 1, OnOne)
END_MESSAGE_MAP()

TEST_F(WindowTest, MessageMapsFallBackToTheBaseClassThenToTheDefaultProcedure) {
  DerivedWnd w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "start", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr));
  EXPECT_EQ(w.SendMessage(WM_USER + 1), 20);      // the derived map wins
  EXPECT_EQ(w.SendMessage(WM_USER + 2, 21), 42);  // only the base map has it
  EXPECT_EQ(w.SendMessage(WM_USER + 3), 0);       // nobody: the default procedure
  w.SetWindowText("changed");                     // default processing stores the text
  CString text;
  w.GetWindowText(text);
  EXPECT_EQ(text, "changed");
  w.MoveWindow(0, 0, 70, 30);
  ASSERT_FALSE(w.log.empty());
  EXPECT_EQ(w.log.back(), "size 70x30");
}

TEST_F(WindowTest, ObjectLetsGoOfItsWindowWhenTheWindowIsDestroyed) {
  auto w = std::make_unique<BaseWnd>();
  ASSERT_TRUE(w->CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  HWND h = w->m_hWnd;
  EXPECT_EQ(CWnd::FromHandlePermanent(h), w.get());
  DestroyWindow(h);
  EXPECT_EQ(w->m_hWnd, nullptr);
  // And a window outlives no object: deleting the object destroys its window.
  ASSERT_TRUE(w->CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  h = w->m_hWnd;
  w.reset();
  EXPECT_FALSE(IsWindow(h));
}

// ---- Queue, pump, timers --------------------------------------------------------------------------------------------
class Recorder : public CWnd {
 public:
  std::vector<UINT> messages;
  std::vector<UINT_PTR> timers;
  HWND lostTo = reinterpret_cast<HWND>(std::intptr_t(-1));
  HWND gotFrom = reinterpret_cast<HWND>(std::intptr_t(-1));
  std::vector<std::string> mouse;
  LRESULT OnUser(WPARAM w, LPARAM) {
    messages.push_back(UINT(w));
    return 0;
  }
  void OnTimer(UINT_PTR id) { timers.push_back(id); }
  void OnSetFocus(CWnd* old) { gotFrom = old ? old->m_hWnd : nullptr; }
  void OnKillFocus(CWnd* now) { lostTo = now ? now->m_hWnd : nullptr; }
  void OnLButtonDown(UINT, CPoint p) { mouse.push_back("down " + std::to_string(p.x) + "," + std::to_string(p.y)); }
  void OnLButtonUp(UINT, CPoint p) { mouse.push_back("up " + std::to_string(p.x) + "," + std::to_string(p.y)); }
  void OnLButtonDblClk(UINT, CPoint) { mouse.push_back("dbl"); }
  void OnMouseMove(UINT flags, CPoint p) {
    if (flags & MK_LBUTTON) mouse.push_back("drag " + std::to_string(p.x) + "," + std::to_string(p.y));
  }
  void OnCaptureChanged(CWnd*) { mouse.push_back("capture lost"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Recorder, CWnd)
ON_MESSAGE(WM_USER, OnUser)
ON_WM_TIMER()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

TEST_F(WindowTest, PostedMessagesWaitForThePumpAndKeepTheirOrder) {
  Recorder r;
  ASSERT_TRUE(r.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  r.PostMessage(WM_USER, 1);
  r.PostMessage(WM_USER, 2);
  EXPECT_TRUE(r.messages.empty());
  r.SendMessage(WM_USER, 3);  // sent at once, ahead of the queue
  EXPECT_EQ(r.messages, (std::vector<UINT>{3}));
  win::PumpMessages();
  EXPECT_EQ(r.messages, (std::vector<UINT>{3, 1, 2}));
}

TEST_F(WindowTest, TimerFiresWhenTheClockReachesItsTimeAndDoesNotPileUp) {
  Recorder r;
  ASSERT_TRUE(r.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  r.SetTimer(7, 100);
  win::AdvanceClock(99);
  win::PumpMessages();
  EXPECT_TRUE(r.timers.empty());
  win::AdvanceClock(1);
  win::PumpMessages();
  EXPECT_EQ(r.timers, (std::vector<UINT_PTR>{7}));
  // 350 ms without pumping: one WM_TIMER, as Win32 coalesces them.
  win::AdvanceClock(350);
  win::PumpMessages();
  EXPECT_EQ(r.timers.size(), 2u);
  r.KillTimer(7);
  win::AdvanceClock(1000);
  win::PumpMessages();
  EXPECT_EQ(r.timers.size(), 2u);
}

TEST_F(WindowTest, FocusMessagesCarryTheOtherWindow) {
  Recorder a, b;
  HWND top = MakeTopLevel();
  ASSERT_TRUE(a.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, nullptr));
  ASSERT_TRUE(b.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, top, nullptr));
  // The new top-level window was activated and took the focus itself.
  ASSERT_EQ(GetFocus(), top);
  a.SetFocus();
  EXPECT_EQ(a.gotFrom, top);
  b.SetFocus();
  EXPECT_EQ(a.lostTo, b.m_hWnd);
  EXPECT_EQ(b.gotFrom, a.m_hWnd);
  EXPECT_EQ(GetFocus(), b.m_hWnd);
}

TEST_F(WindowTest, ClicksAndDragsArriveInClientCoordinatesAndCaptureKeepsTheMouse) {
  HWND top = MakeTopLevel(200, 100);
  Recorder r;
  ASSERT_TRUE(r.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 50, 10, 40, 40, top, nullptr));
  win::input::Click(r.m_hWnd, 5, 6);
  EXPECT_EQ(r.mouse, (std::vector<std::string>{"down 5,6", "up 5,6"}));
  r.mouse.clear();
  // Without capture a move outside goes elsewhere; with capture it comes back with outside coordinates.
  r.SetCapture();
  win::input::Drag(r.m_hWnd, 5, 5, 105, 5, 2);
  ASSERT_GE(r.mouse.size(), 3u);
  EXPECT_EQ(r.mouse[r.mouse.size() - 2], "drag 105,5");
  EXPECT_EQ(r.mouse.back(), "up 105,5");
  ReleaseCapture();
  EXPECT_EQ(r.mouse.back(), "capture lost");
}

TEST_F(WindowTest, DoubleClickNeedsTheClassStyleAndTheTime) {
  HWND top = MakeTopLevel();  // its class has CS_DBLCLKS
  Recorder r;
  ASSERT_TRUE(r.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 40, 40, top, nullptr));  // "AfxWnd": CS_DBLCLKS
  win::input::DoubleClick(r.m_hWnd, 3, 3);
  EXPECT_EQ(r.mouse, (std::vector<std::string>{"down 3,3", "up 3,3", "dbl", "up 3,3"}));
  r.mouse.clear();
  win::input::Click(r.m_hWnd, 3, 3);
  win::AdvanceClock(GetDoubleClickTime() + 1);
  win::input::Click(r.m_hWnd, 3, 3);
  EXPECT_EQ(r.mouse, (std::vector<std::string>{"down 3,3", "up 3,3", "down 3,3", "up 3,3"}));
}

TEST_F(WindowTest, MouseInputToADisabledWindowIsDropped) {
  HWND top = MakeTopLevel();
  Recorder r;
  ASSERT_TRUE(r.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 40, 40, top, nullptr));
  EnableWindow(top, FALSE);
  win::input::Click(r.m_hWnd, 3, 3);
  EXPECT_TRUE(r.mouse.empty());
}

// Headless, an application's own message loop running dry paints nothing (nobody could see it); what looks at the
// window (a picture, the test pump) paints what is pending, once.
TEST_F(WindowTest, WithoutAScreenAnEmptyQueueLeavesPaintsPendingUntilSomeoneLooks) {
  struct Painter : CWnd {
    int paints = 0;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
      if (m == WM_PAINT) ++paints;
      return CWnd::WindowProc(m, w, l);
    }
  } p;
  ASSERT_TRUE(p.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 30, 30, nullptr, nullptr));
  win::PumpMessages();
  const int settled = p.paints;
  for (int step = 0; step < 5; ++step) {
    p.Invalidate();
    MSG m;
    EXPECT_FALSE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  }
  EXPECT_EQ(p.paints, settled);
  EXPECT_TRUE(GetUpdateRect(p.m_hWnd, nullptr, FALSE));
  win::PumpMessages();
  EXPECT_EQ(p.paints, settled + 1);
  p.Invalidate();
  win::RenderWindow(p.m_hWnd);
  EXPECT_EQ(p.paints, settled + 2);
  EXPECT_FALSE(GetUpdateRect(p.m_hWnd, nullptr, FALSE));
}

// ---- Commands and notifications --------------------------------------------------------------------------------------------
class Parent : public CWnd {
 public:
  std::vector<std::string> events;
  void OnOk() { events.push_back("clicked"); }
  void OnEditChange() { events.push_back("change"); }
  void OnSelChange() { events.push_back("selchange"); }
  void OnTabChanging(NMHDR*, LRESULT* r) {
    events.push_back("tab changing");
    *r = vetoTab;
  }
  void OnTabChange(NMHDR*, LRESULT*) { events.push_back("tab change"); }
  LRESULT vetoTab = 0;
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Parent, CWnd)
ON_BN_CLICKED(1, OnOk)
ON_EN_CHANGE(2, OnEditChange)
ON_CBN_SELCHANGE(3, OnSelChange)
ON_NOTIFY(TCN_SELCHANGING, 4, OnTabChanging)
ON_NOTIFY(TCN_SELCHANGE, 4, OnTabChange)
END_MESSAGE_MAP()

class NotifyTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
  }
  HWND Child(const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h) {
    return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent.m_hWnd,
                          reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
  }
  Parent parent;
};

TEST_F(NotifyTest, AButtonClickReachesItsParentAsACommand) {
  HWND button = Child("Button", "OK", BS_PUSHBUTTON, 1, 10, 10, 60, 20);
  win::input::Click(button, 30, 10);
  EXPECT_EQ(parent.events, (std::vector<std::string>{"clicked"}));
  // Pressing inside and releasing outside is no click.
  win::input::Drag(button, 5, 5, 200, 150);
  EXPECT_EQ(parent.events.size(), 1u);
  // BM_SETCHECK and the like are silent; BM_CLICK is a click.
  SendMessage(button, BM_CLICK, 0, 0);
  EXPECT_EQ(parent.events.size(), 2u);
}

TEST_F(NotifyTest, TypedTextSendsEditChangeForEveryCharacterAndSetWindowTextOnceMore) {
  HWND edit = Child("Edit", "", WS_BORDER, 2, 10, 10, 100, 20);
  SetFocus(edit);
  win::input::Type("ab");
  EXPECT_EQ(parent.events, (std::vector<std::string>{"change", "change"}));
  char buf[16];
  GetWindowText(edit, buf, sizeof(buf));
  EXPECT_STREQ(buf, "ab");
  SetWindowText(edit, "xyz");
  EXPECT_EQ(parent.events.size(), 3u);
  // Keys move the caret: the new letter goes in front of the last one.
  win::input::Key(VK_END);
  win::input::Key(VK_LEFT);
  win::input::Type("Q");
  GetWindowText(edit, buf, sizeof(buf));
  EXPECT_STREQ(buf, "xyQz");
}

TEST_F(NotifyTest, ComboSelectionInCodeIsSilentWhileTheUsersChoiceNotifies) {
  HWND combo = Child("ComboBox", "", CBS_DROPDOWNLIST, 3, 10, 10, 100, 100);
  for (const char* s : {"eins", "zwei", "drei"}) SendMessage(combo, CB_ADDSTRING, 0, LPARAM(s));
  SendMessage(combo, CB_SETCURSEL, 1, 0);
  EXPECT_TRUE(parent.events.empty());
  SetFocus(combo);
  win::input::Key(VK_DOWN);
  EXPECT_EQ(parent.events, (std::vector<std::string>{"selchange"}));
  EXPECT_EQ(SendMessage(combo, CB_GETCURSEL, 0, 0), 2);
}

TEST_F(NotifyTest, TabClickAsksTheParentWhichMayRefuse) {
  HWND tab = Child("SysTabControl32", "", 0, 4, 10, 10, 250, 100);
  TCITEM item{};
  item.mask = TCIF_TEXT;
  for (const char* t : {"Erster", "Zweiter"}) {
    item.pszText = const_cast<char*>(t);
    SendMessage(tab, TCM_INSERTITEM, SendMessage(tab, TCM_GETITEMCOUNT, 0, 0), LPARAM(&item));
  }
  SendMessage(tab, TCM_SETCURSEL, 0, 0);
  EXPECT_TRUE(parent.events.empty());
  RECT second;
  SendMessage(tab, TCM_GETITEMRECT, 1, LPARAM(&second));
  parent.vetoTab = TRUE;
  win::input::Click(tab, (second.left + second.right) / 2, (second.top + second.bottom) / 2);
  EXPECT_EQ(parent.events, (std::vector<std::string>{"tab changing"}));
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 0);
  parent.vetoTab = FALSE;
  win::AdvanceClock(GetDoubleClickTime() + 1);
  win::input::Click(tab, (second.left + second.right) / 2, (second.top + second.bottom) / 2);
  EXPECT_EQ(parent.events, (std::vector<std::string>{"tab changing", "tab changing", "tab change"}));
  EXPECT_EQ(SendMessage(tab, TCM_GETCURSEL, 0, 0), 1);
}

class SelfClickButton : public CButton {
 public:
  int clicks = 0;
  BOOL passOn = FALSE;
  BOOL OnClicked() {
    ++clicks;
    return !passOn;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(SelfClickButton, CButton)
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

TEST_F(NotifyTest, ReflectedNotificationsReachTheControlBeforeItsParent) {
  SelfClickButton b;
  ASSERT_TRUE(b.Create("B", BS_PUSHBUTTON | WS_VISIBLE, CRect(10, 10, 60, 30), &parent, 1));
  b.Click();
  EXPECT_EQ(b.clicks, 1);
  EXPECT_TRUE(parent.events.empty());
  b.passOn = TRUE;
  b.Click();
  EXPECT_EQ(b.clicks, 2);
  EXPECT_EQ(parent.events, (std::vector<std::string>{"clicked"}));
}

TEST_F(NotifyTest, WindowCaptionDragMovesTheWindow) {
  DestroyWindow(MakeTopLevel());  // registers the class
  HWND top = CreateWindowEx(0, "TestTop", "caption", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 200, 120, nullptr,
                            nullptr, nullptr, nullptr);
  RECT before;
  GetWindowRect(top, &before);
  // The caption lies above the client area: client y -10 is on it.
  win::input::Drag(top, 50, -10, 80, 10);
  RECT after;
  GetWindowRect(top, &after);
  EXPECT_EQ(after.left - before.left, 30);
  EXPECT_EQ(after.top - before.top, 20);
}

}  // namespace
