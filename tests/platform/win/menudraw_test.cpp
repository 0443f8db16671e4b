// Popup menus drawn as they open: owner-drawn items measured and drawn by their menu object through the owner.
#include <gtest/gtest.h>

#include "platform/win/dialogs/wintest.h"
#include "tests/platform/win/step_screen.h"

namespace {

// A menu whose owner-drawn items are coloured bars: red, or blue when selected; each 50 x 20 pixels.
class BarMenu : public CMenu {
 public:
  std::vector<UINT> measured, drawn;
  std::vector<UINT> states;
  void MeasureItem(LPMEASUREITEMSTRUCT mis) override {
    measured.push_back(mis->itemID);
    mis->itemWidth = 50;
    mis->itemHeight = 20;
  }
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    drawn.push_back(dis->itemID);
    states.push_back(dis->itemState);
    HBRUSH b = CreateSolidBrush((dis->itemState & ODS_SELECTED) ? RGB(0, 0, 255) : RGB(255, 0, 0));
    FillRect(dis->hDC, &dis->rcItem, b);
    DeleteObject(b);
  }
};

// Answers the letter x with the third item, executed.
class Owner : public CWnd {
 public:
  std::vector<UINT> letters;  // those the owner was asked for
  LRESULT OnMenuChar(UINT ch, UINT, CMenu*) {
    letters.push_back(ch);
    return ch == 'x' ? MAKELONG(2, MNC_EXECUTE) : 0;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Owner, CWnd)
ON_WM_DRAWITEM()
ON_WM_MEASUREITEM()
ON_WM_MENUCHAR()
END_MESSAGE_MAP()

class MenuDrawTest : public win::test::WindowTest {};

TEST_F(MenuDrawTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheirMenu) {
  Owner owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  BarMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, 10, "Kopieren\tStrg+C");
  menu.AppendMenu(MF_OWNERDRAW, 11, reinterpret_cast<LPCSTR>(std::uintptr_t(0x1234)));
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_OWNERDRAW | MF_GRAYED, 12, nullptr);
  win::Image shot = win::RenderMenu(menu, owner.m_hWnd, 1);
  EXPECT_EQ(menu.measured, (std::vector<UINT>{11, 12}));
  EXPECT_EQ(menu.drawn, (std::vector<UINT>{11, 12}));
  EXPECT_EQ(menu.states[0], UINT(ODS_SELECTED));
  EXPECT_EQ(menu.states[1], UINT(ODS_GRAYED | ODS_DISABLED));
  // Layout: frame 3, text row (font height + 6), bar 11 (20), separator 8, bar 12 (20), frame 3.
  TEXTMETRIC tm{};
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  GetTextMetrics(dc, &tm);
  DeleteDC(dc);
  int top11 = 3 + tm.tmHeight + 6, top12 = top11 + 20 + 8;
  EXPECT_EQ(shot.height, top12 + 20 + 3);
  EXPECT_EQ(shot.At(10, top11 + 10), RGB(0, 0, 255)) << "the selected bar";
  EXPECT_EQ(shot.At(10, top12 + 10), RGB(255, 0, 0));
  EXPECT_EQ(shot.At(10, top11 - 2), GetSysColor(COLOR_MENU)) << "the text row is not the owner's";
  EXPECT_GE(shot.width, 50 + 18 + 6) << "the check-mark column is added to the measured width";
  if (const char* out = std::getenv("KOLUMO_TEST_PNG")) win::SavePng(shot, out);
}

TEST_F(MenuDrawTest, AMenuWithoutItsObjectLeavesOwnerDrawnItemsToTheOwner) {
  Owner owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr));
  HMENU plain = CreatePopupMenu();
  AppendMenu(plain, MF_OWNERDRAW, 5, nullptr);
  win::Image shot = win::RenderMenu(plain, owner.m_hWnd);  // nobody draws it: no crash, menu colour
  EXPECT_EQ(shot.At(10, 8), GetSysColor(COLOR_MENU));
  DestroyMenu(plain);
  EXPECT_EQ(win::RenderMenu(plain, owner.m_hWnd).width, 0) << "a destroyed menu draws nothing";
}

// On a screen the menu's level asks the owner too: its owner-drawn items have the height the menu measured and show
// what the menu drew, lit under the pointer; a typed letter picks the item whose text marks it, and where no text
// does, the owner's answer picks one.
TEST_F(MenuDrawTest, OnTheScreenOwnerDrawnItemsAreMeasuredDrawnAndPickedByTheirLetter) {
  Owner owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr));
  struct Case {
    const char* typed;
    UINT chosen;
    std::vector<UINT> asked;
  } cases[] = {{"k", 10, {}}, {"x", 12, {'x'}}, {"q", 0, {'q'}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    BarMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 10, "&Kopieren");
    menu.AppendMenu(MF_OWNERDRAW, 11, nullptr);
    menu.AppendMenu(MF_OWNERDRAW, 12, nullptr);
    owner.letters.clear();
    const POINT at{40, 30};
    win::test::StepScreen screen;
    // The level's picture and where its client area starts in it: rows from 2 on, the text row (20), two bars of 20.
    auto shot = [&](HWND level) {
      const win::Image image = win::RenderWindow(level);
      POINT origin{0, 0};
      ClientToScreen(level, &origin);
      RECT wr;
      GetWindowRect(level, &wr);
      return std::make_tuple(image, int(origin.x - wr.left), int(origin.y - wr.top));
    };
    HWND level = nullptr;
    screen.Then([&](HWND) {
      level = WindowFromPoint(POINT{at.x + 10, at.y + 10});
      ASSERT_NE(level, nullptr);
      const auto [image, dx, dy] = shot(level);
      EXPECT_EQ(image.At(dx + 10, dy + 2 + 20 + 10), RGB(255, 0, 0)) << "the first bar";
      EXPECT_EQ(image.At(dx + 10, dy + 2 + 40 + 10), RGB(255, 0, 0)) << "the second bar";
      EXPECT_EQ(image.height, 2 + 20 + 20 + 20 + 2) << "the bars' measured height (the window: the rows and 4)";
      if (const char* out = std::getenv("KOLUMO_TEST_PNG")) win::SavePng(image, out);
      win::input::MouseMove(level, 10, 2 + 40 + 10);
    });
    screen.Then([&](HWND) {
      const auto [image, dx, dy] = shot(level);
      EXPECT_EQ(image.At(dx + 10, dy + 2 + 40 + 10), RGB(0, 0, 255)) << "the bar under the pointer is lit";
      EXPECT_EQ(image.At(dx + 10, dy + 2 + 20 + 10), RGB(255, 0, 0));
      win::input::Type(c.typed);
    });
    if (!c.chosen) screen.Then([](HWND) { win::input::Key(VK_ESCAPE); });
    EXPECT_EQ(UINT(TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, owner.m_hWnd, nullptr)), c.chosen);
    EXPECT_EQ(screen.Left(), 0u);
    EXPECT_EQ(owner.letters, c.asked);
    EXPECT_EQ(menu.measured, (std::vector<UINT>{11, 12}));
  }
}

// A menu's picture sets the text after a tab right-aligned, and is wide enough for the two parts to stand apart.
TEST_F(MenuDrawTest, TheTextAfterATabStandsRightAlignedApartFromTheTextBeforeIt) {
  const char* const items[] = {"Höhe Feld 0\t(l0=3.2 m)", "Kopieren\tStrg+C", "Gesamthöhe des Stabes\t(tl=7.7 m)"};
  HMENU menu = CreatePopupMenu();
  for (UINT i = 0; i < 3; ++i) AppendMenu(menu, MF_STRING, 10 + i, items[i]);
  const win::Image shot = win::RenderMenu(menu, nullptr);
  DestroyMenu(menu);
  TEXTMETRIC tm{};
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  GetTextMetrics(dc, &tm);
  DeleteDC(dc);
  const int row = tm.tmHeight + 6;
  int lastEnd = -1;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(items[i]);
    // The dark (text) columns of the row, inside the frame.
    std::vector<int> columns;
    for (int x = 3; x < shot.width - 3; ++x)
      for (int y = 3 + i * row + 2; y < 3 + (i + 1) * row - 2; ++y) {
        const COLORREF c = shot.At(x, y);
        if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128) {
          columns.push_back(x);
          break;
        }
      }
    ASSERT_FALSE(columns.empty());
    int gap = 0;
    for (std::size_t k = 1; k < columns.size(); ++k) gap = std::max(gap, columns[k] - columns[k - 1] - 1);
    EXPECT_GE(gap, 20) << "the two parts stand apart";
    if (lastEnd >= 0) {
      EXPECT_NEAR(columns.back(), lastEnd, 1) << "the parts after the tabs end in one column";
    }
    lastEnd = columns.back();
  }
}

}  // namespace
