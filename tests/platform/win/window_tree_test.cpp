// The window tree: z-order and navigation, show/enable and their effect on focus, redraw control, timers with
// procedures, window data, and the painting cycle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/dialogs/wintest.h"

namespace {

using win::test::WindowTest;

HWND Popup(const char* text = "", DWORD style = WS_VISIBLE) {
  return CreateWindowEx(0, "Static", text, WS_POPUP | style, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
}

HWND Child(HWND parent, int id, DWORD style = WS_VISIBLE | WS_TABSTOP, int x = 0) {
  return CreateWindowEx(0, "Edit", "", WS_CHILD | WS_BORDER | style, x, 0, 30, 20, parent,
                        reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
}

TEST_F(WindowTest, SiblingsAreListedInCreationOrderAndSetWindowPosReordersThem) {
  HWND top = Popup();
  HWND a = Child(top, 1), b = Child(top, 2), c = Child(top, 3);
  EXPECT_EQ(GetWindow(top, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), nullptr);
  // c after nothing: to the top; a to the bottom.
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), c);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
  // Insert after a given window.
  SetWindowPos(a, c, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), a);
}

TEST_F(WindowTest, DialogItemsAreFoundByIdAndIdsByHandle) {
  HWND top = Popup();
  HWND a = Child(top, 17);
  EXPECT_EQ(GetDlgItem(top, 17), a);
  EXPECT_EQ(GetDlgItem(top, 18), nullptr);
  EXPECT_EQ(GetDlgCtrlID(a), 17);
  EXPECT_EQ(GetDlgCtrlID(top), 0) << "a top-level window has a menu, not an id";
  SetWindowLongPtr(a, GWLP_ID, 19);
  EXPECT_EQ(GetDlgItem(top, 19), a);
}

BOOL CountChildren(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

TEST_F(WindowTest, EnumChildWindowsVisitsGrandchildren) {
  HWND top = Popup();
  HWND a = Child(top, 1);
  HWND inner = CreateWindowEx(0, "Static", "", WS_CHILD, 0, 0, 5, 5, a, nullptr, nullptr, nullptr);
  ASSERT_NE(inner, nullptr);
  Child(top, 2);
  int count = 0;
  EnumChildWindows(top, &CountChildren, LPARAM(&count));
  EXPECT_EQ(count, 3);
  EXPECT_TRUE(IsChild(top, inner));
  EXPECT_FALSE(IsChild(a, top));
  EXPECT_EQ(GetAncestor(inner, GA_ROOT), top);
  EXPECT_EQ(GetParent(inner), a);
}

TEST_F(WindowTest, SetParentMovesAChildToAnotherParent) {
  HWND one = Popup(), two = Popup();
  HWND c = Child(one, 5);
  EXPECT_EQ(SetParent(c, two), one);
  EXPECT_EQ(GetDlgItem(two, 5), c);
  EXPECT_EQ(GetDlgItem(one, 5), nullptr);
  DestroyWindow(two);
  EXPECT_FALSE(IsWindow(c));
}

TEST_F(WindowTest, HidingOrDisablingTheFocusWindowTakesTheFocusAway) {
  HWND top = Popup();
  HWND a = Child(top, 1);
  SetFocus(a);
  ASSERT_EQ(GetFocus(), a);
  ShowWindow(a, SW_HIDE);
  EXPECT_EQ(GetFocus(), nullptr);
  ShowWindow(a, SW_SHOW);
  SetFocus(a);
  EXPECT_TRUE(EnableWindow(a, FALSE) == FALSE) << "it was enabled";
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_TRUE(EnableWindow(a, TRUE)) << "it was disabled";
  // Visibility needs the whole chain of parents.
  ShowWindow(top, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(a));
  EXPECT_TRUE(GetWindowLongPtr(a, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(WindowTest, StylesAndUserDataAreKeptPerWindow) {
  HWND top = Popup();
  SetWindowLongPtr(top, GWLP_USERDATA, 1234);
  EXPECT_EQ(GetWindowLongPtr(top, GWLP_USERDATA), 1234);
  CWnd* w = CWnd::FromHandle(top);
  EXPECT_TRUE(w->ModifyStyle(0, WS_BORDER));
  EXPECT_FALSE(w->ModifyStyle(0, WS_BORDER)) << "nothing changes the second time";
  EXPECT_TRUE(w->GetStyle() & WS_BORDER);
  EXPECT_TRUE(w->ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED));
  RECT rc;
  GetClientRect(top, &rc);
  EXPECT_EQ(rc.right, 200 - 2 * 3) << "border and client edge take 3 pixels on each side";
  SetProp(top, "key", reinterpret_cast<HANDLE>(std::intptr_t(7)));
  EXPECT_EQ(GetProp(top, "key"), reinterpret_cast<HANDLE>(std::intptr_t(7)));
  EXPECT_EQ(RemoveProp(top, "key"), reinterpret_cast<HANDLE>(std::intptr_t(7)));
  EXPECT_EQ(GetProp(top, "key"), nullptr);
}

TEST_F(WindowTest, MapWindowPointsTranslatesBetweenSiblings) {
  HWND top = Popup();
  HWND a = Child(top, 1, WS_VISIBLE, 0);
  HWND b = Child(top, 2, WS_VISIBLE, 100);
  POINT p{5, 5};
  MapWindowPoints(a, b, &p, 1);
  // Both have a 1-pixel border; a's client (5, 5) is top (6, 6), which is b's client (6 - 101, 5).
  EXPECT_EQ(p.x, -95);
  EXPECT_EQ(p.y, 5);
  EXPECT_EQ(ChildWindowFromPoint(top, {110, 5}), b);
  EXPECT_EQ(ChildWindowFromPoint(top, {70, 50}), top);
}

void CALLBACK_Timer(HWND wnd, UINT, UINT_PTR id, DWORD time);
std::vector<std::pair<UINT_PTR, DWORD>> g_timerCalls;
void CALLBACK_Timer(HWND, UINT, UINT_PTR id, DWORD time) { g_timerCalls.push_back({id, time}); }

TEST_F(WindowTest, TimerWithAProcedureCallsItInsteadOfTheWindow) {
  g_timerCalls.clear();
  DWORD start = win::Now();
  UINT_PTR id = SetTimer(nullptr, 0, 50, &CALLBACK_Timer);
  ASSERT_NE(id, 0u);
  win::AdvanceClock(50);
  win::PumpMessages();
  ASSERT_EQ(g_timerCalls.size(), 1u);
  EXPECT_EQ(g_timerCalls[0].first, id);
  EXPECT_EQ(g_timerCalls[0].second, start + 50);
  win::RunFor(100, 50);
  EXPECT_EQ(g_timerCalls.size(), 3u);
  EXPECT_TRUE(KillTimer(nullptr, id));
  EXPECT_FALSE(KillTimer(nullptr, id));
  win::RunFor(200);
  EXPECT_EQ(g_timerCalls.size(), 3u);
}

TEST_F(WindowTest, TimersOfADestroyedWindowAreGone) {
  HWND top = Popup();
  SetTimer(top, 1, 10, nullptr);
  DestroyWindow(top);
  win::AdvanceClock(100);
  EXPECT_EQ(win::PumpMessages(), 0);
}

class PaintCounter : public CWnd {
 public:
  int paints = 0;
  CRect lastPaint;
  void OnPaint() {
    CPaintDC dc(this);
    lastPaint = dc.m_ps.rcPaint;
    ++paints;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(PaintCounter, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(WindowTest, InvalidAreasAreUnitedAndPaintedOnceByThePump) {
  PaintCounter w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  win::PumpMessages();
  int before = w.paints;
  CRect a(10, 10, 20, 20), b(30, 5, 40, 15);
  w.InvalidateRect(&a);
  w.InvalidateRect(&b);
  EXPECT_EQ(w.paints, before) << "painting waits for the pump";
  win::PumpMessages();
  EXPECT_EQ(w.paints, before + 1);
  EXPECT_EQ(w.lastPaint, CRect(10, 5, 40, 20));
  win::PumpMessages();
  EXPECT_EQ(w.paints, before + 1) << "a validated window is not painted again";
}

TEST_F(WindowTest, SetRedrawFalseHoldsPaintingBack) {
  PaintCounter w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  win::PumpMessages();
  int before = w.paints;
  w.SetRedraw(FALSE);
  w.Invalidate();
  win::PumpMessages();
  EXPECT_EQ(w.paints, before);
  w.SetRedraw(TRUE);
  w.Invalidate();
  w.UpdateWindow();
  EXPECT_EQ(w.paints, before + 1);
}

TEST_F(WindowTest, HiddenWindowsAreNotPaintedButCanBeRendered) {
  PaintCounter w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr));
  w.Invalidate();
  win::PumpMessages();
  EXPECT_EQ(w.paints, 0);
  win::RenderWindow(w.m_hWnd);
  EXPECT_EQ(w.paints, 1);
}

TEST_F(WindowTest, ParentWithoutClipChildrenRepaintsTheChildrenItCovers) {
  PaintCounter parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  PaintCounter inside, outside;
  ASSERT_TRUE(inside.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, parent.m_hWnd, nullptr));
  ASSERT_TRUE(outside.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 60, 60, 20, 20, parent.m_hWnd, nullptr));
  win::PumpMessages();
  int in0 = inside.paints, out0 = outside.paints;
  CRect r(0, 0, 40, 40);
  parent.InvalidateRect(&r);
  win::PumpMessages();
  EXPECT_EQ(inside.paints, in0 + 1);
  EXPECT_EQ(outside.paints, out0);
  // With WS_CLIPCHILDREN the parent leaves its children alone.
  parent.ModifyStyle(0, WS_CLIPCHILDREN);
  parent.InvalidateRect(&r);
  win::PumpMessages();
  EXPECT_EQ(inside.paints, in0 + 1);
}

TEST_F(WindowTest, MovingAWindowSendsMoveAndSizeOnlyForWhatChanged) {
  struct Sizes : CWnd {
    std::vector<std::string> seen;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
      if (m == WM_SIZE) seen.push_back("size " + std::to_string(LOWORD(l)) + "x" + std::to_string(HIWORD(l)));
      if (m == WM_MOVE)
        seen.push_back("move " + std::to_string(SHORT(LOWORD(l))) + "," + std::to_string(SHORT(HIWORD(l))));
      return CWnd::WindowProc(m, w, l);
    }
  } w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  w.seen.clear();
  w.MoveWindow(10, 20, 50, 50);
  EXPECT_EQ(w.seen, (std::vector<std::string>{"move 10,20"}));
  w.seen.clear();
  w.SetWindowPos(nullptr, 0, 0, 80, 60, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(w.seen, (std::vector<std::string>{"size 80x60"}));
}

TEST_F(WindowTest, TemporaryWrappersHaveTheClassOfTheirControl) {
  HWND top = Popup();
  HWND edit = Child(top, 1);
  HWND combo =
      CreateWindowEx(0, "ComboBox", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 50, 100, top, nullptr, nullptr, nullptr);
  EXPECT_NE(dynamic_cast<CEdit*>(CWnd::FromHandle(edit)), nullptr);
  EXPECT_NE(dynamic_cast<CComboBox*>(CWnd::FromHandle(combo)), nullptr);
  EXPECT_EQ(CWnd::FromHandle(edit), CWnd::FromHandle(edit)) << "one wrapper per window";
  EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
  // A stale handle gives no wrapper.
  DestroyWindow(edit);
  EXPECT_EQ(CWnd::FromHandle(edit), nullptr);
  // A temporary wrapper may destroy its own window (it dies with it: the sanitizer run sees any late write).
  EXPECT_TRUE(CWnd::FromHandle(combo)->DestroyWindow());
  EXPECT_FALSE(IsWindow(combo));
}

TEST_F(WindowTest, SubclassedControlGetsItsMessagesFirstAndPassesTheRestOn) {
  struct Upper : CEdit {
    int chars = 0;
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
      if (m == WM_CHAR && w >= 'a' && w <= 'z') {
        ++chars;
        w = w - 'a' + 'A';
      }
      return CEdit::WindowProc(m, w, l);
    }
  } edit;
  HWND top = Popup();
  HWND h = Child(top, 3);
  ASSERT_TRUE(edit.SubclassWindow(h));
  edit.SetFocus();
  win::input::Type("ab");
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(text, "AB");
  EXPECT_EQ(edit.chars, 2);
  EXPECT_EQ(edit.UnsubclassWindow(), h);
  win::input::Type("c");
  char buf[8];
  GetWindowText(h, buf, sizeof(buf));
  EXPECT_STREQ(buf, "ABc");
}

}  // namespace
