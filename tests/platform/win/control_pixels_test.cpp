// Buttons, static controls and edits driven by the mouse and the keyboard, checked by what they draw.
#include <gtest/gtest.h>

#include "tests/platform/win/pixels_support.h"

namespace {

using win::pixels::ClientRect;
using win::pixels::Cmd;
using win::pixels::LineHeight;
using win::pixels::Picture;
using win::pixels::Shot;

class ButtonPixelTest : public win::pixels::ControlPixelTest {
 protected:
  // Inside the 13-pixel box a check box or radio button draws at the left of its client area, edges left out.
  static RECT MarkArea(HWND button) {
    RECT rc = ClientRect(button);
    int top = (rc.bottom - 13) / 2;
    return {2, top + 2, 11, top + 11};
  }
  static int Marks(HWND button, COLORREF mark) { return Shot(button).Count(MarkArea(button), mark); }
};

// What the box of a check box shows after clicks and key presses: the mark's colour and the face under it.
struct CheckCase {
  const char* name;
  DWORD style;
  int clicks;
  int spaces;  // presses of the space bar with the focus on the box
  bool marked;
  COLORREF mark;
  COLORREF face;
};

TEST_F(ButtonPixelTest, TheCheckBoxShowsTheStateItsClicksAndKeysLeft) {
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT), grey = GetSysColor(COLOR_GRAYTEXT),
                 window = GetSysColor(COLOR_WINDOW), face = GetSysColor(COLOR_BTNFACE);
  const CheckCase cases[] = {
      {"untouched", BS_AUTOCHECKBOX, 0, 0, false, text, window},
      {"one click", BS_AUTOCHECKBOX, 1, 0, true, text, window},
      {"two clicks", BS_AUTOCHECKBOX, 2, 0, false, text, window},
      {"the space bar", BS_AUTOCHECKBOX, 0, 1, true, text, window},
      {"three states, two clicks", BS_AUTO3STATE, 2, 0, true, grey, face},
      {"three states, three clicks", BS_AUTO3STATE, 3, 0, false, text, window},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    Open({{10, "Button", "Bügel", c.style | WS_TABSTOP, 10, 10, 80, 12}});
    HWND box = Item(10);
    for (int i = 0; i < c.clicks; ++i) {
      Pause();
      win::input::ClickCenter(box);
    }
    SetFocus(box);
    for (int i = 0; i < c.spaces; ++i) win::input::Key(VK_SPACE);
    Picture p = Shot(box);
    RECT area = MarkArea(box);
    EXPECT_EQ(p.Count(area, c.mark) > 0, c.marked);
    // The face shows where the mark is not: in the box's corner.
    EXPECT_EQ(p.At(area.left, area.top), c.face);
    board.DestroyWindow();
  }
}

TEST_F(ButtonPixelTest, TheRadioDotMovesWithTheClickAndWithTheArrowKeys) {
  Open({{20, "Button", "Rechteck", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 10, 80, 12},
        {21, "Button", "Kreis", BS_AUTORADIOBUTTON, 10, 25, 80, 12},
        {22, "Button", "Kreisring", BS_AUTORADIOBUTTON, 10, 40, 80, 12}});
  const COLORREF dot = GetSysColor(COLOR_WINDOWTEXT);
  auto dots = [&] {
    std::vector<bool> out;
    for (int id : {20, 21, 22}) out.push_back(Marks(Item(id), dot) > 0);
    return out;
  };
  EXPECT_EQ(dots(), (std::vector<bool>{false, false, false}));
  win::input::ClickCenter(Item(21));
  EXPECT_EQ(dots(), (std::vector<bool>{false, true, false}));
  win::input::Key(VK_DOWN);  // the dialog moves the focus and the choice to the next button of the group
  EXPECT_EQ(dots(), (std::vector<bool>{false, false, true}));
  win::input::Key(VK_UP);
  win::input::Key(VK_UP);
  EXPECT_EQ(dots(), (std::vector<bool>{true, false, false}));
}

TEST_F(ButtonPixelTest, APushButtonLooksPressedWhileTheMouseHoldsItOnTheButton) {
  Open({{30, "Button", "Berechnen", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 60, 14}});
  HWND button = Item(30);
  // The inner edge's top-left pixel: light when raised, dark when pressed.
  const COLORREF raised = GetSysColor(COLOR_3DHILIGHT), sunken = GetSysColor(COLOR_3DDKSHADOW);
  RECT rc = ClientRect(button);
  EXPECT_EQ(Shot(button).At(1, 1), raised);
  win::input::MouseDown(button, rc.right / 2, rc.bottom / 2);
  Picture down = Shot(button);
  EXPECT_EQ(down.At(1, 1), sunken);
  win::input::MouseMove(button, rc.right + 20, rc.bottom / 2);
  Picture away = Shot(button);
  EXPECT_EQ(away.At(1, 1), raised) << "the mouse left the button: it comes out";
  win::input::MouseMove(button, rc.right / 2, rc.bottom / 2);
  EXPECT_EQ(Shot(button).At(1, 1), sunken) << "and goes in again as the mouse comes back";
  win::input::MouseUp(button, rc.right / 2, rc.bottom / 2);
  EXPECT_EQ(Shot(button).At(1, 1), raised);
  EXPECT_TRUE(board.Saw(Cmd(30, BN_CLICKED)));
  // The caption moved a pixel to the right and down as the button went in.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  std::optional<RECT> inkDown = down.Ink({4, 4, rc.right - 4, rc.bottom - 4}, face);
  std::optional<RECT> inkAway = away.Ink({4, 4, rc.right - 4, rc.bottom - 4}, face);
  ASSERT_TRUE(inkDown && inkAway);
  EXPECT_EQ(inkDown->left, inkAway->left + 1);
  EXPECT_EQ(inkDown->top, inkAway->top + 1);
}

class StaticPixelTest : public win::pixels::ControlPixelTest {};

// Static controls take no input; what they draw follows the messages their dialog sends them.
TEST_F(StaticPixelTest, TextIconAndFrameFollowWhatTheDialogSets) {
  Open({{40, "Static", "", SS_LEFT, 10, 10, 80, 10},
        {41, "Static", "", SS_ICON, 10, 30, 20, 20},
        {42, "Static", "", SS_BLACKFRAME, 40, 30, 30, 20},
        {43, "Button", "Bewehrung", BS_GROUPBOX, 100, 10, 80, 60}});
  HWND label = Item(40), icon = Item(41), frame = Item(42), group = Item(43);
  const COLORREF back = GetSysColor(COLOR_3DFACE), text = GetSysColor(COLOR_WINDOWTEXT),
                 grey = GetSysColor(COLOR_GRAYTEXT);
  EXPECT_FALSE(Shot(label).Ink(ClientRect(label), back)) << "no text, no ink";
  SetWindowText(label, "Betondeckung");
  Picture shown = Shot(label);
  std::optional<RECT> ink = shown.Ink(ClientRect(label), back);
  ASSERT_TRUE(ink);
  EXPECT_LE(ink->left, 2) << "left-aligned";
  EXPECT_GT(shown.Count(ClientRect(label), text), 0);
  EnableWindow(label, FALSE);
  Picture disabled = Shot(label);
  EXPECT_EQ(disabled.Count(ClientRect(label), text), 0) << "a disabled label is grey";
  EXPECT_GT(disabled.Count(ClientRect(label), grey), 0);

  auto reds = [&] {
    Picture p = Shot(icon);
    int n = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        COLORREF c = p.At(x, y);
        n += GetRValue(c) > 150 && GetGValue(c) < 80 && GetBValue(c) < 80;
      }
    return n;
  };
  EXPECT_EQ(reds(), 0);
  SendMessage(icon, STM_SETICON, WPARAM(LoadIcon(nullptr, IDI_ERROR)), 0);
  EXPECT_GT(reds(), 20) << "the error icon's red disc";

  RECT fr = ClientRect(frame);
  Picture f = Shot(frame);
  EXPECT_EQ(f.At(0, 0), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(f.At(fr.right - 1, fr.bottom - 1), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(f.At(fr.right / 2, fr.bottom / 2), back) << "a frame, not a filled rectangle";

  // The group box's etched line runs at half the text's height, broken where its caption stands.
  int line = LineHeight(group) / 2;
  Picture g = Shot(group);
  RECT gr = ClientRect(group);
  EXPECT_EQ(g.At(2, line), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(g.At(gr.right - 4, line), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(g.Count({8, line, 30, line + 1}, GetSysColor(COLOR_3DSHADOW)), 0);
}

class EditPixelTest : public win::pixels::ControlPixelTest {
 protected:
  // The caret: the one column holding a line's height of the text colour.
  std::optional<POINT> Caret(HWND edit) {
    std::vector<POINT> runs = Shot(edit).Runs(ClientRect(edit), GetSysColor(COLOR_WINDOWTEXT), LineHeight(edit));
    if (runs.size() > 1) ADD_FAILURE() << "more than one caret: " << runs.size();
    if (runs.empty()) return std::nullopt;
    return runs.front();
  }
  static std::optional<RECT> Highlight(HWND edit) {
    return Shot(edit).Bounds(ClientRect(edit), GetSysColor(COLOR_HIGHLIGHT));
  }
};

TEST_F(EditPixelTest, CaretAndSelectionFollowTheKeysTheMouseAndTheFocus) {
  Open({{50, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 10, 120, 14},
        {51, "Edit", "C30/37", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 30, 120, 14}});
  HWND edit = Item(50), other = Item(51);
  SetFocus(edit);
  win::input::Type("Bügel Stab");
  std::optional<RECT> text = Shot(edit).Ink(ClientRect(edit), GetSysColor(COLOR_WINDOW));
  ASSERT_TRUE(text);
  std::optional<POINT> end = Caret(edit);
  ASSERT_TRUE(end);
  EXPECT_GE(end->x, text->right - 2) << "after the last letter";
  EXPECT_FALSE(Highlight(edit));

  win::input::Key(VK_HOME);
  std::optional<POINT> home = Caret(edit);
  ASSERT_TRUE(home);
  EXPECT_LE(home->x, 3);
  win::input::KeyWith(VK_SHIFT, VK_END);
  std::optional<RECT> all = Highlight(edit);
  ASSERT_TRUE(all);
  EXPECT_LE(all->left, home->x + 1);
  EXPECT_GE(all->right, end->x - 1);

  // A click puts the caret where it is and drops the selection; a double click takes the word.
  Pause();
  int middle = (home->x + end->x) / 2;
  win::input::Click(edit, middle, ClientRect(edit).bottom / 2);
  EXPECT_FALSE(Highlight(edit));
  std::optional<POINT> clicked = Caret(edit);
  ASSERT_TRUE(clicked);
  EXPECT_NEAR(clicked->x, middle, 8);
  Pause();
  win::input::DoubleClick(edit, end->x - 4, ClientRect(edit).bottom / 2);
  std::optional<RECT> word = Highlight(edit);
  ASSERT_TRUE(word);
  EXPECT_GT(word->left, home->x + 10) << "the last word only";
  EXPECT_GE(word->right, end->x - 1);

  // Tab: the dialog gives the next edit the focus with all its text selected; the first shows neither caret nor
  // selection.
  win::input::Key(VK_TAB);
  EXPECT_EQ(GetFocus(), other);
  EXPECT_FALSE(Highlight(edit));
  EXPECT_FALSE(Caret(edit));
  EXPECT_TRUE(Highlight(other));
}

TEST_F(EditPixelTest, ALongLineScrollsSoThatTheCaretStaysInView) {
  Open({{55, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 10, 40, 14}});
  HWND edit = Item(55);
  const RECT rc = ClientRect(edit);
  SetFocus(edit);
  win::input::Type("Bü");
  Picture start = Shot(edit);
  win::input::Type("gelbewehrung der Stütze");
  std::optional<POINT> end = Caret(edit);
  ASSERT_TRUE(end);
  EXPECT_LT(end->x, rc.right) << "the caret is in view at the end";
  EXPECT_GT(end->x, rc.right / 2);
  Picture scrolled = Shot(edit);
  const RECT firstLetters{0, 0, 12, rc.bottom};
  EXPECT_FALSE(scrolled.Same(firstLetters, start, {0, 0})) << "the start of the text went out of view to the left";
  win::input::Key(VK_HOME);
  std::optional<POINT> home = Caret(edit);
  ASSERT_TRUE(home);
  EXPECT_LE(home->x, 3);
  Picture back = Shot(edit);
  EXPECT_TRUE(back.Same({4, 0, 12, rc.bottom}, start, {4, 0})) << "the start of the text is back";
}

TEST_F(EditPixelTest, TheMultiLineCaretMovesBetweenLinesAndStaysInView) {
  Open({{60, "Edit", "", ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_BORDER | WS_TABSTOP, 10, 10, 120, 30}});
  HWND edit = Item(60);
  const int line = LineHeight(edit);
  const int rows = ClientRect(edit).bottom / line;
  ASSERT_EQ(rows, 3) << "three lines fit; five are typed below";
  SetFocus(edit);
  win::input::Type("Zeile 1\nZeile 2\nZeile 3");
  std::optional<POINT> caret = Caret(edit);
  ASSERT_TRUE(caret);
  EXPECT_EQ(caret->y, 1 + 2 * line) << "on the third line";
  win::input::Key(VK_UP);
  caret = Caret(edit);
  ASSERT_TRUE(caret);
  EXPECT_EQ(caret->y, 1 + line);
  // From the middle of a line Shift+Up selects back over the line break: the highlight lies on both lines.
  for (int i = 0; i < 3; ++i) win::input::Key(VK_LEFT);
  win::input::KeyWith(VK_SHIFT, VK_UP);
  std::optional<RECT> sel = Highlight(edit);
  ASSERT_TRUE(sel);
  EXPECT_EQ(sel->top, 1);
  EXPECT_EQ(sel->bottom, 1 + 2 * line);
  // Typing past the bottom scrolls: the caret stays on the last line shown; Ctrl+Home brings the first back.
  win::input::KeyWith(VK_CONTROL, VK_END);
  win::input::Type("\nZeile 4\nZeile 5");
  caret = Caret(edit);
  ASSERT_TRUE(caret);
  EXPECT_EQ(caret->y, 1 + (rows - 1) * line);
  win::input::KeyWith(VK_CONTROL, VK_HOME);
  caret = Caret(edit);
  ASSERT_TRUE(caret);
  EXPECT_EQ(caret->y, 1);
  EXPECT_LE(caret->x, 3);
}

}  // namespace
