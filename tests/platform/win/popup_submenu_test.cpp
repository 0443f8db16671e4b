// Submenus of a popup menu on a screen, of every length: the state of a popup item holds its entry count from bit 8
// on, which for 8 to 15 entries (and 24 to 31, ...) has the separator's bit set; such an item is still a submenu.
#include <gtest/gtest.h>

#include "platform/win/dialogs/wintest.h"
#include "tests/platform/win/step_screen.h"

namespace {

using win::test::StepScreen;

constexpr UINT kCopy = 100, kDelete = 103, kFirstSize = 200;
constexpr int kRow = 20, kMargin = 2;  // the menu's rows below its top margin

// A click at a screen point, in whichever window lies there.
void ClickAt(POINT screen) {
  HWND under = WindowFromPoint(screen);
  ASSERT_NE(under, nullptr);
  ScreenToClient(under, &screen);
  win::input::Click(under, screen.x, screen.y);
}

// The popup window (a menu level) whose top-left corner lies nearest right of x on the row y.
RECT LevelRightOf(int x, int y) {
  RECT r{};
  for (int dx = 0; dx < 40; ++dx)
    if (HWND w = WindowFromPoint(POINT{x + dx, y})) {
      GetWindowRect(w, &r);
      if (r.left >= x - 4) return r;
    }
  return RECT{};
}

class PopupSubmenuTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "Besitzer", WS_POPUP | WS_VISIBLE, 0, 0, 600, 700, nullptr, nullptr));
  }
  void TearDown() override {
    owner.DestroyWindow();
    WindowTest::TearDown();
  }
  // Kopieren, then "Schriftgrad" with `entries` sizes, then Löschen.
  HMENU Menu(int entries) {
    HMENU sizes = CreatePopupMenu();
    for (int i = 0; i < entries; ++i) AppendMenu(sizes, MF_STRING, kFirstSize + UINT(i), std::to_string(8 + i).c_str());
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, kCopy, "Kopieren");
    AppendMenu(menu, MF_POPUP, UINT_PTR(sizes), "Schriftgrad");
    AppendMenu(menu, MF_STRING, kDelete, "Löschen");
    return menu;
  }
  CWnd owner;
  const POINT at{60, 40};
};

TEST_F(PopupSubmenuTest, ASubmenuOfAnyLengthOpensAndItsLastEntryIsPicked) {
  // Lengths around every value of the count's bit 3 (0x800 = MF_SEPARATOR): 7 and 16 have it clear, 8 to 15 set.
  for (int entries : {1, 7, 8, 10, 11, 13, 15, 16, 24}) {
    SCOPED_TRACE(entries);
    const UINT last = kFirstSize + UINT(entries) - 1;
    HMENU menu = Menu(entries);
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_POPUP, UINT(MF_POPUP));
    {
      SCOPED_TRACE("by keys: down twice to the submenu, right opens it, up from nothing is its last entry");
      StepScreen screen;
      for (UINT vk : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_UP, VK_RETURN}) screen.Then([vk](HWND) { win::input::Key(vk); });
      EXPECT_EQ(UINT(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, owner.m_hWnd, nullptr)), last);
      EXPECT_EQ(screen.Left(), 0u);
    }
    {
      SCOPED_TRACE("by the mouse: the submenu's row, then the last row of the level that opened beside it");
      StepScreen screen;
      const int submenuRow = at.y + kMargin + kRow + kRow / 2;
      screen.Then([&](HWND) { ClickAt(POINT{at.x + 30, submenuRow}); });
      screen.Then([&](HWND) {
        RECT first{};
        GetWindowRect(WindowFromPoint(POINT{at.x + 30, submenuRow}), &first);
        const RECT level = LevelRightOf(first.right - 2, submenuRow);
        ASSERT_GT(level.bottom, level.top) << "no submenu opened";
        EXPECT_EQ(level.bottom - level.top, 2 * kMargin + entries * kRow) << "its rows are not all entries";
        ClickAt(POINT{level.left + 20, level.top + kMargin + (entries - 1) * kRow + kRow / 2});
      });
      EXPECT_EQ(UINT(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, owner.m_hWnd, nullptr)), last);
      EXPECT_EQ(screen.Left(), 0u);
    }
    DestroyMenu(menu);
  }
}

// The keys step over a separator but not onto a submenu of ten entries as if it were one.
TEST_F(PopupSubmenuTest, TheKeysStepOverASeparatorButStopAtASubmenuOfTenEntries) {
  HMENU menu = Menu(10);
  InsertMenu(menu, 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);  // Kopieren, separator, Schriftgrad, Löschen
  StepScreen screen;
  // down: Kopieren, past the separator to Schriftgrad, then Löschen
  for (UINT vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) screen.Then([vk](HWND) { win::input::Key(vk); });
  EXPECT_EQ(UINT(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, owner.m_hWnd, nullptr)), kDelete);
  EXPECT_EQ(screen.Left(), 0u);
  DestroyMenu(menu);
}

}  // namespace
