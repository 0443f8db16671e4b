// A screen's side of the window system without a display: its events through the input path, the modal loop
// that waits on it, the clock that timers run on, and the translation of X keys.
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "platform/win/screen/screen.h"
#include "platform/win/dialogs/wintest.h"
#include "platform/win/screen/x11screen.h"

namespace {

constexpr UINT kTemplate = 9301;
constexpr int kFirst = 101, kSecond = 102;

// Two edits, OK (default) and Cancel.
const win::DialogTemplateRegistrar kDialog(kTemplate, [] {
  win::DialogTemplate t;
  t.caption = "Eingabe";
  t.style |= DS_CENTER;  // away from the screen's corner: window and screen points differ
  t.cx = 160;
  t.cy = 70;
  t.items = {
      {kFirst, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 10, 80, 12},
      {kSecond, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 28, 80, 12},
      {IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 10, 50, 14},
      {IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 100, 28, 50, 14},
  };
  return t;
}());

// Keeps what the edits held when the dialog ended with OK.
class InputDialog : public CDialog {
 public:
  InputDialog() : CDialog(kTemplate, nullptr) {}
  CString first, second;

 protected:
  void OnOK() override {
    GetDlgItemText(kFirst, first);
    GetDlgItemText(kSecond, second);
    CDialog::OnOK();
  }
};

// A screen whose user does one step per wait: the steps get the live dialog (the active window) and say what the
// user did in its coordinates.
class FakeScreen : public win::Screen {
 public:
  using Step = std::function<std::vector<win::ScreenEvent>(HWND dialog)>;
  std::deque<Step> steps;
  int waits = 0;
  int presents = 0;
  bool connected = true;

  void Present() override { ++presents; }
  bool WaitForInput(DWORD) override {
    ++waits;
    // Once the user has done every step nothing more comes, as from a screen that was closed.
    if (!connected || steps.empty()) return false;
    Step step = std::move(steps.front());
    steps.pop_front();
    for (const win::ScreenEvent& e : step(GetActiveWindow())) win::DeliverScreenEvent(e);
    return true;
  }
};

// The middle of a control, relative to the corner of its top-level window (as a screen reports points).
win::ScreenEvent At(HWND dialog, int id, win::ScreenEvent::Kind kind) {
  RECT top, control;
  GetWindowRect(dialog, &top);
  GetWindowRect(GetDlgItem(dialog, id), &control);
  win::ScreenEvent e;
  e.kind = kind;
  e.window = dialog;
  e.x = (control.left + control.right) / 2 - top.left;
  e.y = (control.top + control.bottom) / 2 - top.top;
  return e;
}
std::vector<win::ScreenEvent> Click(HWND dialog, int id) {
  return {At(dialog, id, win::ScreenEvent::kPress), At(dialog, id, win::ScreenEvent::kRelease)};
}
win::ScreenEvent Text(const std::string& text) {
  win::ScreenEvent e;
  e.kind = win::ScreenEvent::kText;
  e.text = text;
  return e;
}
std::vector<win::ScreenEvent> Key(UINT vk) {
  win::ScreenEvent down, up;
  down.kind = win::ScreenEvent::kKeyDown;
  up.kind = win::ScreenEvent::kKeyUp;
  down.vk = up.vk = vk;
  return {down, up};
}

class ScreenTest : public win::test::WindowTest {
 protected:
  void TearDown() override {
    win::SetScreen(nullptr);
    win::SetClock(nullptr);
    WindowTest::TearDown();
  }
  FakeScreen screen;
};

TEST_F(ScreenTest, WhatTheUserDoesOnTheScreenEndsTheModalDialog) {
  using Steps = std::vector<FakeScreen::Step>;
  auto typeInto = [](int id, std::string text) {
    return [id, text](HWND d) {
      auto e = Click(d, id);
      e.push_back(Text(text));
      return e;
    };
  };
  struct Case {
    const char* name;
    Steps steps;
    INT_PTR answer;
    const char* first;
    const char* second;
  } cases[] = {
      // Return presses the default button, OK.
      {"type and Return", {typeInto(kFirst, "12,5"), [](HWND) { return Key(VK_RETURN); }}, IDOK, "12,5", ""},
      // Tab moves on to the second edit, whose text is selected and replaced.
      {"tab to the next",
       {typeInto(kFirst, "a"), [](HWND) { return Key(VK_TAB); }, [](HWND) { return std::vector{Text("b")}; },
        [](HWND d) { return Click(d, IDOK); }},
       IDOK,
       "a",
       "b"},
      {"cancel button", {typeInto(kFirst, "x"), [](HWND d) { return Click(d, IDCANCEL); }}, IDCANCEL, "", ""},
      {"closed by the window's close box",
       {[](HWND d) {
         win::ScreenEvent e;
         e.kind = win::ScreenEvent::kClose;
         e.window = d;
         return std::vector{e};
       }},
       IDCANCEL,
       "",
       ""},
  };
  win::SetScreen(&screen);
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    screen.steps.assign(c.steps.begin(), c.steps.end());
    screen.waits = 0;
    InputDialog dialog;
    EXPECT_EQ(dialog.DoModal(), c.answer);
    EXPECT_EQ(dialog.first, c.first);
    EXPECT_EQ(dialog.second, c.second);
    // one wait per step, and none after the dialog ended
    EXPECT_EQ(screen.waits, int(c.steps.size()));
    EXPECT_TRUE(screen.steps.empty());
  }
  EXPECT_GT(screen.presents, 0) << "the screen was never brought up to date";
}

TEST_F(ScreenTest, AScriptAndAScreenDriveTheSameModalLoop) {
  win::SetScreen(&screen);
  // A script that ends the dialog leaves nothing for the screen.
  win::script::QueueDialog([](CDialog& d) {
    d.SetDlgItemText(kFirst, "7");
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  InputDialog scripted;
  EXPECT_EQ(scripted.DoModal(), IDOK);
  EXPECT_EQ(scripted.first, "7");
  EXPECT_EQ(screen.waits, 0);
  // A script that does not end it hands over to the user on the screen.
  win::script::QueueDialog([](CDialog& d) { d.SetDlgItemText(kFirst, "8"); });
  screen.steps.push_back([](HWND d) { return Click(d, IDOK); });
  InputDialog handedOver;
  EXPECT_EQ(handedOver.DoModal(), IDOK);
  EXPECT_EQ(handedOver.first, "8");
  EXPECT_EQ(screen.waits, 1);
  // Without a screen the same unended script falls to the unscripted answer.
  win::SetScreen(nullptr);
  int asked = 0;
  win::script::SetUnscriptedHandler([&](const win::script::ModalRecord& r) -> INT_PTR {
    ++asked;
    EXPECT_NE(r.caption.find("did not end it"), std::string::npos) << r.caption;
    return IDCANCEL;
  });
  win::script::QueueDialog([](CDialog& d) { d.SetDlgItemText(kFirst, "9"); });
  InputDialog unended;
  EXPECT_EQ(unended.DoModal(), IDCANCEL);
  EXPECT_EQ(asked, 1);
}

TEST_F(ScreenTest, AScreenThatLostItsConnectionEndsTheDialogWithTheUnscriptedAnswer) {
  screen.connected = false;
  win::SetScreen(&screen);
  int asked = 0;
  win::script::SetUnscriptedHandler([&](const win::script::ModalRecord&) -> INT_PTR {
    ++asked;
    return IDCANCEL;
  });
  InputDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(screen.waits, 1);
}

// As in the column's input dialog: a tab control first, a combo box laid over its strip after it.
TEST_F(ScreenTest, AControlLaidOverATabControlTakesItsClicks) {
  win::DialogTemplate t;
  t.cx = 200;
  t.cy = 100;
  t.items = {
      {201, "SysTabControl32", "", WS_TABSTOP, 4, 4, 190, 90},
      {202, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 120, 4, 70, 60},
  };
  CDialog dialog;
  ASSERT_TRUE(dialog.CreateIndirect(t, nullptr));
  dialog.ShowWindow(SW_SHOW);
  CTabCtrl* tab = static_cast<CTabCtrl*>(dialog.GetDlgItem(201));
  tab->InsertItem(0, "Eins");
  tab->InsertItem(1, "Zwei");
  auto* combo = static_cast<CComboBox*>(dialog.GetDlgItem(202));
  combo->AddString("Endsystem");
  for (const auto& e : Click(dialog.m_hWnd, 202)) win::DeliverScreenEvent(e);
  EXPECT_TRUE(combo->GetDroppedState()) << "the tab control took the click meant for the combo box";
  win::input::Key(VK_ESCAPE);
  // the tabs themselves still take theirs: the second tab's middle
  RECT second, top;
  tab->GetItemRect(1, &second);
  tab->ClientToScreen(&second);
  dialog.GetWindowRect(&top);
  for (auto kind : {win::ScreenEvent::kPress, win::ScreenEvent::kRelease}) {
    win::ScreenEvent e;
    e.kind = kind;
    e.window = dialog.m_hWnd;
    e.x = (second.left + second.right) / 2 - top.left;
    e.y = (second.top + second.bottom) / 2 - top.top;
    win::DeliverScreenEvent(e);
  }
  EXPECT_EQ(tab->GetCurSel(), 1);
  dialog.DestroyWindow();
}

// A popup menu on the screen: items in rows of 20 pixels below a 2-pixel margin, separators 8 pixels high.
TEST_F(ScreenTest, APopupMenuOnTheScreenAnswersWithWhatTheUserPicks) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "Besitzer", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
  HMENU more = CreatePopupMenu();
  AppendMenu(more, MF_STRING, 102, "Alles");
  HMENU menu = CreatePopupMenu();
  AppendMenu(menu, MF_STRING, 100, "&Kopieren");
  AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenu(menu, MF_STRING | MF_GRAYED, 101, "Einfügen");
  AppendMenu(menu, MF_POPUP, UINT_PTR(more), "Mehr");
  AppendMenu(menu, MF_STRING, 103, "Löschen");
  const POINT at{100, 50};
  // A click 20 pixels right of `corner` and `y` down, in whichever window lies there.
  auto clickAt = [](POINT corner, int y) {
    return [corner, y](HWND) {
      const POINT point{corner.x + 20, corner.y + y};
      const HWND under = WindowFromPoint(point);
      RECT r{};
      GetWindowRect(under, &r);
      std::vector<win::ScreenEvent> events;
      for (auto kind : {win::ScreenEvent::kPress, win::ScreenEvent::kRelease}) {
        win::ScreenEvent e;
        e.kind = kind;
        e.window = under;
        e.x = point.x - r.left;
        e.y = point.y - r.top;
        events.push_back(e);
      }
      return events;
    };
  };
  auto key = [](UINT vk) { return [vk](HWND) { return Key(vk); }; };
  // the rows' middles: Kopieren 2 + 10, Einfügen 2 + 20 + 8 + 10
  using Steps = std::vector<FakeScreen::Step>;
  struct Case {
    const char* name;
    Steps steps;
    UINT command;
  } cases[] = {
      {"click an item", {clickAt(at, 12)}, 100},
      // a grayed item takes no click; the menu stays open for the next
      {"grayed, then another", {clickAt(at, 40), clickAt(at, 12)}, 100},
      {"escape", {key(VK_ESCAPE)}, 0},
      {"click beside the menu", {clickAt(POINT{at.x + 180, at.y + 150}, 0)}, 0},
      // down from nothing: Kopieren, then past the separator and the grayed item to Mehr, whose submenu opens
      {"keys into the submenu", {key(VK_DOWN), key(VK_DOWN), key(VK_RETURN), key(VK_DOWN), key(VK_RETURN)}, 102},
      {"escape closes the submenu only",
       {key(VK_UP), key(VK_UP), key(VK_RIGHT), key(VK_ESCAPE), key(VK_UP), key(VK_RETURN)},
       100},
  };
  win::SetScreen(&screen);
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    screen.steps.assign(c.steps.begin(), c.steps.end());
    screen.waits = 0;
    EXPECT_EQ(UINT(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, owner.m_hWnd, nullptr)), c.command);
    EXPECT_TRUE(screen.steps.empty()) << screen.steps.size() << " steps left";
    // the menu ended with the last step, not for want of input
    EXPECT_EQ(screen.waits, int(c.steps.size()));
    EXPECT_EQ(WindowFromPoint(POINT{at.x + 10, at.y + 5}), owner.m_hWnd) << "a menu window stayed";
  }
  DestroyMenu(menu);
  owner.DestroyWindow();
}

class StepClock : public win::Clock {
 public:
  DWORD now = 0;
  DWORD Now() override { return now; }
};

TEST_F(ScreenTest, TimersFallDueOnTheInstalledClock) {
  StepClock clock;
  clock.now = 5000;  // a wall clock is far from 0
  win::SetClock(&clock);
  // what earlier tests advanced the test clock by stays added on top
  const DWORD added = win::Now() - clock.now;
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "Uhr", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  EXPECT_EQ(win::NextTimerDelay(), INFINITE);
  int fired = 0;
  static int* counter;
  counter = &fired;
  ASSERT_NE(SetTimer(wnd.m_hWnd, 1, 100, [](HWND, UINT, UINT_PTR, DWORD) { ++*counter; }), 0u);
  struct Step {
    DWORD now;
    int fired;
    DWORD delay;  // to the next due time, after pumping
  } steps[] = {
      {5000, 0, 100}, {5099, 0, 1},  // not yet: due at 5100
      {5100, 1, 100},                // due; next at 5200
      {5350, 2, 100},                // one message for a timer that is late, however late; next at 5450
      {5449, 2, 1},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.now);
    clock.now = s.now;
    win::PumpMessages();
    EXPECT_EQ(fired, s.fired);
    EXPECT_EQ(win::NextTimerDelay(), s.delay);
  }
  // The test clock still adds on top: 5449 + 1 = 5450 is due.
  win::AdvanceClock(1);
  EXPECT_EQ(win::Now(), 5450u + added);
  win::PumpMessages();
  EXPECT_EQ(fired, 3);
  KillTimer(wnd.m_hWnd, 1);
  EXPECT_EQ(win::NextTimerDelay(), INFINITE);
  wnd.DestroyWindow();
}

TEST(X11KeyTest, KeysBecomeKeyPressesAndCharactersBecomeText) {
  using K = win::ScreenEvent;
  struct Case {
    unsigned long keysym;
    bool press, controlOrAlt;
    std::string text;
    bool delivered;
    K::Kind kind;
    UINT vk;
    std::string typed;
  } cases[] = {
      {XK_Return, true, false, "\r", true, K::kKeyDown, VK_RETURN, ""},
      {XK_ISO_Left_Tab, true, false, "", true, K::kKeyDown, VK_TAB, ""},
      {XK_BackSpace, true, false, "\b", true, K::kKeyDown, VK_BACK, ""},
      {XK_F5, true, false, "", true, K::kKeyDown, VK_F5, ""},
      // characters are typed on the press; their release has nothing more to say
      {XK_a, true, false, "a", true, K::kText, 0, "a"},
      {XK_a, false, false, "a", false, K::kText, 0, ""},
      {XK_adiaeresis, true, false, "ä", true, K::kText, 0, "ä"},
      // with Control the key itself counts (Ctrl+C copies)
      {XK_c, true, true, "\x03", true, K::kKeyDown, 'C', ""},
      {XK_C, false, true, "\x03", true, K::kKeyUp, 'C', ""},
      {XK_Num_Lock, true, false, "", false, K::kText, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.keysym) + (c.press ? " press" : " release"));
    auto e = win::TranslateX11Key(c.keysym, c.press, c.controlOrAlt, c.text);
    ASSERT_EQ(e.has_value(), c.delivered);
    if (!e) continue;
    EXPECT_EQ(e->kind, c.kind);
    EXPECT_EQ(e->vk, c.vk);
    EXPECT_EQ(e->text, c.typed);
  }
}

}  // namespace
