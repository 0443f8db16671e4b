// Moving and selecting in the rich-text control with keys and the mouse, sent through the window system's input
// path: lines and columns, pages of the view, words, drags, Shift+click, double clicks, the read-only viewer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/richedit/richeditctrl.h"
#include "platform/richedit/richtext.h"
#include "platform/win/dialogs/wintest.h"
#include "platform/win/screen/headless.h"

namespace {

using win::input::Key;
using win::input::KeyWith;

// Three lines, the middle one short; the first and last share "Bewehrung ", so a column there has one x on both.
const char* const kThreeLines = "{\\rtf1 Bewehrung oben\\par kurz\\par Bewehrung unten\\par}";

std::string ManyLines(int count) {
  std::string rtf = "{\\rtf1 ";
  for (int i = 1; i <= count; ++i) rtf += "Zeile " + std::to_string(i) + "\\par ";
  return rtf + "}";
}

class NavigationTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    parent_.CreateEx(0, "Static", "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 300), nullptr, 0);
    ASSERT_TRUE(edit_.Create(WS_VISIBLE | WS_BORDER | WS_VSCROLL, CRect(0, 0, 400, 280), &parent_, 4677));
  }
  void Load(const std::string& rtf) {
    ASSERT_TRUE(edit_.StreamInRtf(rtf, false));
    edit_.SetFocus();
    win::PumpMessages();
  }
  // The middle of the character's box height, a pixel right of its left edge.
  CPoint At(long pos) {
    POINT p{};
    edit_.SendMessage(EM_POSFROMCHAR, WPARAM(&p), LPARAM(pos));
    return CPoint(p.x + 1, p.y + 6);
  }
  long Pos(const std::string& text) { return long(edit_.GetRawText().find(text)); }
  void Keys(const std::vector<std::pair<UINT, UINT>>& keys) {
    for (auto [modifier, vk] : keys)
      if (modifier)
        KeyWith(modifier, vk);
      else
        Key(vk);
  }
  void KeysWithCtrlShift(UINT vk) {
    win::input::KeyDown(VK_CONTROL);
    win::input::KeyDown(VK_SHIFT);
    Key(vk);
    win::input::KeyUp(VK_SHIFT);
    win::input::KeyUp(VK_CONTROL);
  }
  std::string Selected() { return std::string(edit_.GetSelText()); }
  long Caret() {
    long a = 0, b = 0;
    edit_.GetSel(a, b);
    return b;
  }
  int ClientHeight() {
    CRect r;
    edit_.GetClientRect(&r);
    return r.Height();
  }
  CWnd parent_;
  CRichEditCtrl edit_;
};

TEST_F(NavigationTest, ClickOnLineOneDownTwiceAndTypeLandsInLineThreeAtTheColumn) {
  Load("{\\rtf1 Zeile 1 Wand\\par Zeile 2 Wand\\par Zeile 3 Wand\\par}");
  // Between "Zeile 1 W" and "and" (the lines' digits are of one width, so the column is the same below).
  const CPoint click = At(Pos("and"));
  win::input::Click(edit_.m_hWnd, click.x, click.y);
  ASSERT_EQ(Caret(), Pos("and"));
  Key(VK_DOWN);
  Key(VK_DOWN);
  win::input::Type("X");
  EXPECT_EQ(edit_.GetRawText(), "Zeile 1 Wand\rZeile 2 Wand\rZeile 3 WXand\r\r");
}

TEST_F(NavigationTest, UpAndDownKeepTheColumnOverAShortLine) {
  Load(kThreeLines);
  const long oben = Pos("oben"), kurzEnd = Pos("kurz") + 4, unten = Pos("unten");
  win::input::Click(edit_.m_hWnd, At(oben).x, At(oben).y);
  ASSERT_EQ(Caret(), oben);
  // Down stops at the short line's end, the next Down finds the column again; Up likewise.
  const struct {
    UINT vk;
    long caret;
  } steps[] = {{VK_DOWN, kurzEnd}, {VK_DOWN, unten}, {VK_UP, kurzEnd}, {VK_UP, oben}};
  for (const auto& s : steps) {
    Key(s.vk);
    EXPECT_EQ(Caret(), s.caret) << (s.vk == VK_DOWN ? "Down" : "Up");
  }
  // A move sideways sets a new column: from "kurz" after Left the column is that of "kur".
  Key(VK_DOWN);
  Key(VK_LEFT);
  Key(VK_DOWN);
  EXPECT_LT(Caret(), unten);
  EXPECT_GT(Caret(), Pos("Bewehrung unten"));
  // Down on the last line goes to the end of the text, Up on the first to its start.
  KeyWith(VK_CONTROL, VK_END);
  Key(VK_DOWN);
  EXPECT_EQ(Caret(), edit_.GetTextLength());
  KeyWith(VK_CONTROL, VK_HOME);
  Key(VK_RIGHT);
  Key(VK_UP);
  EXPECT_EQ(Caret(), 0);
}

// Each sequence starts at the text's start; what it selects.
TEST_F(NavigationTest, ShiftWithEachMoveExtendsTheSelection) {
  Load(kThreeLines);
  const struct {
    std::vector<std::pair<UINT, UINT>> keys;
    const char* selected;
  } cases[] = {
      {{{VK_SHIFT, VK_DOWN}}, "Bewehrung oben\r\n"},
      {{{VK_SHIFT, VK_DOWN}, {VK_SHIFT, VK_DOWN}}, "Bewehrung oben\r\nkurz\r\n"},
      // the anchor stays where Shift began
      {{{VK_SHIFT, VK_DOWN}, {VK_SHIFT, VK_DOWN}, {VK_SHIFT, VK_UP}}, "Bewehrung oben\r\n"},
      {{{VK_SHIFT, VK_END}}, "Bewehrung oben"},
      {{{VK_SHIFT, VK_RIGHT}, {VK_SHIFT, VK_RIGHT}}, "Be"},
      {{{0, VK_END}, {VK_SHIFT, VK_HOME}}, "Bewehrung oben"},
      {{{0, VK_END}, {VK_SHIFT, VK_LEFT}, {VK_SHIFT, VK_LEFT}}, "en"},
      {{{0, VK_DOWN}, {0, VK_DOWN}, {VK_SHIFT, VK_UP}}, "kurz\r\n"},
      {{{VK_SHIFT, VK_NEXT}}, "Bewehrung oben\r\nkurz\r\nBewehrung unten\r\n"},
  };
  for (const auto& c : cases) {
    KeyWith(VK_CONTROL, VK_HOME);
    Keys(c.keys);
    EXPECT_EQ(Selected(), c.selected);
  }
  // Ctrl+Shift with the arrows selects by words, with Home and End to the text's ends.
  KeyWith(VK_CONTROL, VK_HOME);
  KeysWithCtrlShift(VK_RIGHT);
  EXPECT_EQ(Selected(), "Bewehrung ");
  KeysWithCtrlShift(VK_RIGHT);
  EXPECT_EQ(Selected(), "Bewehrung oben");
  KeysWithCtrlShift(VK_END);
  EXPECT_EQ(Selected(), "Bewehrung oben\r\nkurz\r\nBewehrung unten\r\n");
  KeysWithCtrlShift(VK_LEFT);
  KeysWithCtrlShift(VK_LEFT);
  EXPECT_EQ(Selected(), "Bewehrung oben\r\nkurz\r\nBewehrung ");
  // Without Shift a move ends the selection; Left and Right at its ends.
  Key(VK_RIGHT);
  EXPECT_EQ(Selected(), "");
  EXPECT_EQ(Caret(), Pos("unten"));
}

TEST_F(NavigationTest, CtrlWithTheArrowsMovesByWords) {
  Load("{\\rtf1 As = 12,5 cm2; fertig\\par Ende\\par}");
  // Over a word and its blanks, a run of signs, a paragraph's end as a stop of its own.
  const std::vector<long> stops = {Pos("= "), Pos("12"),     Pos(",5"), Pos("5 "),  Pos("cm2"),
                                   Pos("; "), Pos("fertig"), Pos("\r"), Pos("Ende")};
  KeyWith(VK_CONTROL, VK_HOME);
  for (long stop : stops) {
    KeyWith(VK_CONTROL, VK_RIGHT);
    EXPECT_EQ(Caret(), stop);
  }
  for (auto it = stops.rbegin() + 1; it != stops.rend(); ++it) {
    KeyWith(VK_CONTROL, VK_LEFT);
    EXPECT_EQ(Caret(), *it);
  }
  KeyWith(VK_CONTROL, VK_LEFT);
  EXPECT_EQ(Caret(), 0);
}

TEST_F(NavigationTest, PageDownAndUpMoveByAViewAndTheCaretWithIt) {
  Load(ManyLines(200));
  const int page = ClientHeight();
  KeyWith(VK_CONTROL, VK_HOME);
  Key(VK_NEXT);
  // The view moved by its height; the caret stands as high in it as before, at the top.
  EXPECT_EQ(edit_.GetScrollY(), page);
  const long first = Caret();
  EXPECT_GT(first, Pos("Zeile 10\r"));
  EXPECT_LE(At(first).y, 20);
  Key(VK_NEXT);
  EXPECT_EQ(edit_.GetScrollY(), 2 * page);
  // the second page's caret is as many lines further as the first's
  const std::string text = edit_.GetRawText();
  auto lineNumber = [&](long pos) { return std::stoi(text.substr(std::size_t(pos) + 6)); };
  EXPECT_NEAR(lineNumber(Caret()) - lineNumber(first), lineNumber(first) - 1, 1);
  Key(VK_PRIOR);
  EXPECT_EQ(edit_.GetScrollY(), page);
  EXPECT_NEAR(lineNumber(Caret()), lineNumber(first), 1);
  Key(VK_PRIOR);
  EXPECT_EQ(edit_.GetScrollY(), 0);
  EXPECT_EQ(Caret(), 0);
  // At the end the caret goes the whole way.
  KeyWith(VK_CONTROL, VK_END);
  Key(VK_UP);
  Key(VK_NEXT);
  EXPECT_EQ(Caret(), edit_.GetTextLength());
}

TEST_F(NavigationTest, TheViewFollowsTheCaretAfterEveryMove) {
  Load(ManyLines(200));
  const int page = ClientHeight();
  auto caretInView = [&] {
    const CPoint p = At(Caret());
    return p.y >= 0 && p.y + 10 <= page;
  };
  for (int i = 0; i < 40; ++i) {
    Key(VK_DOWN);
    ASSERT_TRUE(caretInView()) << "after Down " << i + 1 << " the caret is at y " << At(Caret()).y;
  }
  EXPECT_GT(edit_.GetScrollY(), 300);
  // Scrolled away with the wheel, the next key brings the caret's line back.
  const int atCaret = edit_.GetScrollY();
  for (int i = 0; i < 10; ++i) win::input::Wheel(edit_.m_hWnd, 50, 50, -120);
  EXPECT_GT(edit_.GetScrollY(), atCaret + page);
  Key(VK_RIGHT);
  EXPECT_TRUE(caretInView());
  KeyWith(VK_CONTROL, VK_HOME);
  EXPECT_EQ(edit_.GetScrollY(), 0);
  KeyWith(VK_CONTROL, VK_END);
  EXPECT_TRUE(caretInView());
}

TEST_F(NavigationTest, ADragSelectsAndShiftClickExtends) {
  Load(kThreeLines);
  const CPoint from = At(0), to = At(Pos("Bewehrung unten"));
  win::input::Drag(edit_.m_hWnd, from.x, from.y, to.x, to.y);
  EXPECT_EQ(Selected(), "Bewehrung oben\r\nkurz\r\n");
  EXPECT_EQ(::GetCapture(), nullptr);
  // Backwards from the middle of the third line to the middle of the first.
  win::AdvanceClock(1000);
  win::input::Drag(edit_.m_hWnd, At(Pos("unten")).x, At(Pos("unten")).y, At(Pos("oben")).x, At(Pos("oben")).y);
  EXPECT_EQ(Selected(), "oben\r\nkurz\r\nBewehrung ");
  // A click places the caret; Shift+click extends from it, forward and then back past it.
  win::AdvanceClock(1000);
  win::input::Click(edit_.m_hWnd, At(Pos("wehrung oben")).x, At(0).y);
  EXPECT_EQ(Selected(), "");
  win::input::KeyDown(VK_SHIFT);
  win::input::Click(edit_.m_hWnd, At(Pos("rz")).x, At(Pos("rz")).y);
  EXPECT_EQ(Selected(), "wehrung oben\r\nku");
  win::AdvanceClock(1000);
  win::input::Click(edit_.m_hWnd, At(1).x, At(1).y);
  win::input::KeyUp(VK_SHIFT);
  EXPECT_EQ(Selected(), "e");
  // Shift+Right then moves the caret end, which stands before the anchor.
  KeyWith(VK_SHIFT, VK_LEFT);
  EXPECT_EQ(Selected(), "Be");
}

TEST_F(NavigationTest, ADoubleClickSelectsAWord) {
  Load("{\\rtf1 As = 12,5 cm2\\par}");
  // A word with the blanks after it, a number's part, a sign alone.
  const struct {
    const char* at;
    const char* selected;
  } cases[] = {{"s =", "As "}, {"2,5", "12"}, {"m2", "cm2"}, {",5", ","}};
  for (const auto& c : cases) {
    win::AdvanceClock(1000);
    const CPoint p = At(Pos(c.at));
    win::input::DoubleClick(edit_.m_hWnd, p.x, p.y);
    EXPECT_EQ(Selected(), c.selected) << c.at;
  }
}

TEST_F(NavigationTest, ADragBelowTheViewScrollsWhileTheButtonIsHeld) {
  Load(ManyLines(200));
  const int page = ClientHeight();
  const CPoint from = At(0);
  win::input::MouseDown(edit_.m_hWnd, from.x, from.y);
  win::input::MouseMove(edit_.m_hWnd, from.x, page + 10);
  const int first = edit_.GetScrollY();
  EXPECT_GT(first, 0);
  // Held outside, the view goes on scrolling and the selection with it.
  win::RunFor(1000);
  const int held = edit_.GetScrollY();
  EXPECT_GT(held, first + 100);
  const long selectedEnd = Caret();
  EXPECT_GT(selectedEnd, Pos("Zeile 20\r"));
  win::input::MouseUp(edit_.m_hWnd, from.x, page + 10);
  win::RunFor(1000);
  EXPECT_EQ(edit_.GetScrollY(), held);
  EXPECT_EQ(Caret(), selectedEnd);
  long start = 0, end = 0;
  edit_.GetSel(start, end);
  EXPECT_EQ(start, 0);
}

// The output view shows a report: the keys move, select and scroll in it, and copy, but never change the text.
TEST_F(NavigationTest, TheReadOnlyViewMovesAndCopiesButKeepsItsText) {
  CRichText view;
  ASSERT_TRUE(view.Create("", WS_VISIBLE | WS_VSCROLL, CRect(0, 0, 400, 280), &parent_, 10002));
  ASSERT_TRUE(view.StreamInRtf(ManyLines(200), false));
  view.SetFocus();
  const std::string before = view.StreamOutRtf(false);
  Key(VK_NEXT);
  Key(VK_NEXT);
  EXPECT_GT(view.GetScrollY(), 400);
  Key(VK_HOME);
  Key(VK_DOWN);
  KeyWith(VK_SHIFT, VK_DOWN);
  KeyWith(VK_SHIFT, VK_END);
  // two whole lines: "Zeile n\r\nZeile n+1"
  const std::string selected(view.GetSelText());
  EXPECT_EQ(selected.substr(0, 6), "Zeile ");
  EXPECT_NE(selected.find("\r\nZeile "), std::string::npos) << selected;
  EXPECT_EQ(std::count(selected.begin(), selected.end(), '\n'), 1) << selected;
  KeyWith(VK_CONTROL, 'C');
  EXPECT_EQ(win::ClipboardText(), selected);
  win::input::Type("x\n");
  for (UINT vk : {VK_DELETE, VK_BACK, VK_TAB}) Key(vk);
  for (UINT vk : {UINT('X'), UINT('V'), UINT('Z')}) KeyWith(VK_CONTROL, vk);
  EXPECT_EQ(view.StreamOutRtf(false), before);
  KeyWith(VK_CONTROL, VK_END);
  EXPECT_GT(view.GetScrollY(), 2000);
  view.DestroyWindow();
}

}  // namespace
