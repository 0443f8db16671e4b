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

// The pointer moved to a screen point, no button pressed.
void MoveTo(POINT screen) {
  HWND under = WindowFromPoint(screen);
  ASSERT_NE(under, nullptr);
  ScreenToClient(under, &screen);
  win::input::MouseMove(under, screen.x, screen.y);
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

// A submenu opens once the pointer has rested on its entry for some 0.4 s, without a click, and closes as soon as
// the pointer moves on to another entry; one opened so takes a click on its entries.
TEST_F(PopupSubmenuTest, ASubmenuOpensWhenThePointerRestsOnItsEntryAndClosesOnTheNext) {
  struct Case {
    DWORD rest;  // ms the pointer stays on "Schriftgrad"
    bool open;
  };
  const Case cases[] = {{0, false}, {150, false}, {350, false}, {450, true}, {2000, true}};
  const int submenuRow = at.y + kMargin + kRow + kRow / 2, copyRow = at.y + kMargin + kRow / 2;
  auto submenu = [&] {
    RECT first{};
    GetWindowRect(WindowFromPoint(POINT{at.x + 30, submenuRow}), &first);
    return LevelRightOf(first.right - 2, submenuRow);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rest);
    HMENU menu = Menu(5);
    StepScreen screen;
    screen.Then([&](HWND) { MoveTo(POINT{at.x + 30, submenuRow}); });
    screen.Then([&](HWND) {
      EXPECT_EQ(submenu().bottom, 0) << "a submenu opened before the pointer rested";
      win::AdvanceClock(c.rest);
    });
    screen.Then([&](HWND) {
      EXPECT_EQ(submenu().bottom > 0, c.open);
      MoveTo(POINT{at.x + 30, copyRow});  // on to "Kopieren"
    });
    screen.Then([&](HWND) {
      EXPECT_EQ(submenu().bottom, 0) << "the submenu stayed open on another entry";
      win::AdvanceClock(1000);  // "Kopieren" has no submenu: resting there opens none
    });
    screen.Then([&](HWND) {
      EXPECT_EQ(submenu().bottom, 0);
      win::input::Key(VK_ESCAPE);
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, owner.m_hWnd, nullptr), 0);
    EXPECT_EQ(screen.Left(), 0u);
    DestroyMenu(menu);
  }
  {
    SCOPED_TRACE("rest, then into the submenu and a click on its third entry");
    HMENU menu = Menu(5);
    StepScreen screen;
    screen.Then([&](HWND) { MoveTo(POINT{at.x + 30, submenuRow}); });
    screen.Then([&](HWND) { win::AdvanceClock(500); });
    screen.Then([&](HWND) {
      const RECT level = submenu();
      ASSERT_GT(level.bottom, level.top) << "no submenu opened";
      const POINT third{level.left + 20, level.top + kMargin + 2 * kRow + kRow / 2};
      MoveTo(third);
      win::AdvanceClock(500);  // resting in the submenu keeps it
      ClickAt(third);
    });
    EXPECT_EQ(UINT(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, owner.m_hWnd, nullptr)), kFirstSize + 2);
    EXPECT_EQ(screen.Left(), 0u);
    DestroyMenu(menu);
  }
}

// On its way from an open submenu's entry into the submenu the pointer crosses the entries below; while it moves
// towards the submenu, the submenu stays open. An entry crossed so opens its own only once the pointer rests on it;
// a move that heads elsewhere (straight down) closes the submenu at once.
TEST_F(PopupSubmenuTest, ASubmenuStaysOpenWhileThePointerMovesTowardsIt) {
  constexpr UINT kBlocksatz = 305, kDigits = 400;
  // Kopieren, Format (six entries, the last Blocksatz), Schriftgrad (eleven sizes), Nachkommastellen (seven), Löschen.
  auto menu = [&] {
    HMENU format = CreatePopupMenu(), sizes = CreatePopupMenu(), digits = CreatePopupMenu();
    const char* formats[] = {"Fett", "Kursiv", "Unterstrichen", "Zentriert", "Rechtsbündig", "Blocksatz"};
    for (UINT i = 0; i < 6; ++i) AppendMenu(format, MF_STRING, kBlocksatz - 5 + i, formats[i]);
    for (UINT i = 0; i < 11; ++i) AppendMenu(sizes, MF_STRING, kFirstSize + i, std::to_string(8 + i).c_str());
    for (UINT i = 0; i < 7; ++i) AppendMenu(digits, MF_STRING, kDigits + i, std::to_string(i).c_str());
    HMENU m = CreatePopupMenu();
    AppendMenu(m, MF_STRING, kCopy, "Kopieren");
    AppendMenu(m, MF_POPUP, UINT_PTR(format), "Format");
    AppendMenu(m, MF_POPUP, UINT_PTR(sizes), "Schriftgrad");
    AppendMenu(m, MF_POPUP, UINT_PTR(digits), "Nachkommastellen");
    AppendMenu(m, MF_STRING, kDelete, "Löschen");
    return m;
  };
  const int formatRow = at.y + kMargin + kRow + kRow / 2, sizesRow = formatRow + kRow;
  RECT first{};
  // The entry of the first level whose submenu is open (1 Format, 2 Schriftgrad), -1 for none, and that submenu.
  RECT open{};
  auto openEntry = [&] {
    GetWindowRect(WindowFromPoint(POINT{at.x + 5, formatRow}), &first);
    open = LevelRightOf(first.right - 2, sizesRow + kRow);  // a row that both submenus cover
    return open.bottom > open.top ? int((open.top - first.top - kMargin) / kRow) : -1;
  };
  struct Case {
    const char* name;
    int diagonalSteps;  // of nine 40 ms steps from Format to Blocksatz (0.36 s); 0: straight down to Schriftgrad
    int openAfter;      // the entry whose submenu is open then
    UINT chosen;        // by a click after a rest where the pointer ends: Blocksatz, or the third size of Schriftgrad
  };
  const Case cases[] = {
      {"across Schriftgrad and Nachkommastellen to Blocksatz in 0.36 s", 9, 1, kBlocksatz},
      {"towards Blocksatz, then resting on Schriftgrad", 1, 1, kFirstSize + 2},
      {"straight down to Schriftgrad", 0, -1, kFirstSize + 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HMENU m = menu();
    StepScreen screen;
    const POINT start{at.x + 30, formatRow};
    POINT end = start;
    screen.Then([&](HWND) { MoveTo(start); });
    screen.Then([&](HWND) { win::AdvanceClock(450); });
    screen.Then([&](HWND) {
      ASSERT_EQ(openEntry(), 1) << "Format's submenu did not open on a rest";
      // Blocksatz: Format's sixth entry.
      const POINT blocksatz{open.left + 20, open.top + kMargin + 5 * kRow + kRow / 2};
      for (int k = 1; k <= c.diagonalSteps; ++k) {
        end = POINT{start.x + (blocksatz.x - start.x) * k / 9, start.y + (blocksatz.y - start.y) * k / 9};
        MoveTo(end);
        win::AdvanceClock(40);
        EXPECT_EQ(openEntry(), 1) << "after step " << k << " to " << end.x << "," << end.y;
      }
      if (c.diagonalSteps == 0) {
        end = POINT{start.x, sizesRow};
        MoveTo(end);
      }
      if (c.diagonalSteps <= 1) {
        EXPECT_LT(end.x, first.right - 2) << "the pointer is still on the first level";
        EXPECT_EQ((end.y - first.top - kMargin) / kRow, 2) << "the pointer is not on Schriftgrad";
      }
    });
    screen.Then([&](HWND) {
      EXPECT_EQ(openEntry(), c.openAfter);
      win::AdvanceClock(450);  // a rest where the pointer was left
    });
    screen.Then([&](HWND) {
      if (c.chosen != kBlocksatz) {
        // on Schriftgrad it opens its submenu, whose third size is clicked
        ASSERT_EQ(openEntry(), 2);
        end = POINT{open.left + 20, open.top + kMargin + 2 * kRow + kRow / 2};
      }
      ClickAt(end);
    });
    EXPECT_EQ(UINT(TrackPopupMenu(m, TPM_RETURNCMD, at.x, at.y, 0, owner.m_hWnd, nullptr)), c.chosen);
    EXPECT_EQ(screen.Left(), 0u);
    DestroyMenu(m);
  }
}

// A tab in an item's text sets what follows it right-aligned in a column of its own, as an accelerator: the
// right ends of those parts line up near the menu's right edge, apart from the texts before the tab.
TEST_F(PopupSubmenuTest, TheTextAfterATabStandsRightAlignedInAColumn) {
  const char* const items[] = {"Höhe Feld 0\t(l0=3.2 m)", "Breite\t(b=30 cm)", "Kopieren",
                               "Länge des Stabes im Feld 12\t(l=12.75 m)"};
  HMENU menu = CreatePopupMenu();
  for (UINT i = 0; i < 4; ++i) AppendMenu(menu, MF_STRING, 300 + i, items[i]);
  StepScreen screen;
  screen.Then([&](HWND) {
    HWND level = WindowFromPoint(POINT{at.x + 10, at.y + 10});
    ASSERT_NE(level, nullptr);
    const win::Image shot = win::RenderWindow(level);
    RECT wr{};
    GetWindowRect(level, &wr);
    POINT origin{0, 0};
    ClientToScreen(level, &origin);
    const int dx = origin.x - wr.left, dy = origin.y - wr.top;
    const int width = shot.width - 2 * dx;
    // The dark (text) columns of a row: the first and last, and the widest run without any between them.
    struct Ink {
      int first = -1, last = -1, gapFrom = -1, gapTo = -1;
    };
    auto ink = [&](int row) {
      Ink r;
      int run = -1;
      for (int x = 0; x < width; ++x) {
        bool dark = false;
        for (int y = kMargin + row * kRow + 2; y < kMargin + (row + 1) * kRow - 2 && !dark; ++y) {
          const COLORREF c = shot.At(dx + x, dy + y);
          dark = GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
        }
        if (!dark) continue;
        if (r.last >= 0 && x - r.last - 1 > run) {
          run = x - r.last - 1;
          r.gapFrom = r.last + 1;
          r.gapTo = x;
        }
        if (r.first < 0) r.first = x;
        r.last = x;
      }
      return r;
    };
    const Ink tabbed[] = {ink(0), ink(1), ink(3)};
    const Ink plain = ink(2);
    for (const Ink& r : tabbed) {
      EXPECT_NEAR(r.last, tabbed[0].last, 1) << "the parts after the tabs end in one column";
      EXPECT_GT(r.last, width - 40) << "at the menu's right edge";
      EXPECT_NEAR(r.first, plain.first, 1) << "the parts before the tabs start where other items do";
      EXPECT_GE(r.gapTo - r.gapFrom, 20) << "the two parts stand apart, with nothing drawn for the tab";
    }
    EXPECT_LT(plain.last, width / 2) << "an item without a tab stays left";
    if (const char* out = std::getenv("KOLUMO_TEST_PNG")) win::SavePng(shot, out);
    win::input::Key(VK_ESCAPE);
  });
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, owner.m_hWnd, nullptr), 0);
  EXPECT_EQ(screen.Left(), 0u);
  DestroyMenu(menu);
}

}  // namespace
