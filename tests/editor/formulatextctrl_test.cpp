// The editor's text controls: buffers, new documents, find and replace with their answers, keys, tables, and the
// formula conventions (marking, placeholders, commands).
#include "editor/formulatextctrl.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "document/formulatext.h"
#include "formula/varstore.h"
#include "platform/win/screen/headless.h"
#include "platform/win/dialogs/wintest.h"

namespace {

class TextCtrlTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    parent_.CreateEx(0, "Static", "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 300), nullptr, 0);
    ASSERT_TRUE(edit_.Create(WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 4677));
  }
  void Load(const std::string& rtf) {
    CRtfChunkList list;
    list.SetText(rtf);
    edit_.StreamIn(list, false);
  }
  std::string Text() { return edit_.GetRawText(); }
  CWnd parent_;
  SkribRichEdit edit_;
};

TEST_F(TextCtrlTest, StreamOutIsOneZeroTerminatedBufferThatStreamsBackIn) {
  Load("{\\rtf1\\pard\\b fett\\b0  normal\\par\r\n}");
  CRtfChunkList out;
  out.AppendCopy("old", 3);
  out.AppendCopy("er", 2);
  edit_.StreamOut(out, false);
  ASSERT_EQ(out.GetCount(), 1);
  EXPECT_EQ(out.GetBuffer(0)[out.GetSize(0) - 1], '\0');
  SkribRichEdit other;
  other.StreamIn(out, false);
  EXPECT_EQ(other.GetRawText(), "fett normal\r\r");
  EXPECT_TRUE(other.Doc().CharAt(0).bold);
  EXPECT_FALSE(other.Doc().CharAt(5).bold);
}

TEST_F(TextCtrlTest, NoOrSeveralBuffersStartANewDocument) {
  Load("{\\rtf1 alt\\par\r\n}");
  CRtfChunkList two;
  two.AppendCopy("{\\rtf1 a}", 8);
  two.AppendCopy("{\\rtf1 b}", 8);
  edit_.StreamIn(two, false);
  // Without a template the new document is empty, written in Arial 10 pt.
  EXPECT_EQ(edit_.GetTextLength(), 0);
  CHARFORMAT2 cf;
  edit_.GetCharFormat(cf);
  EXPECT_STREQ(cf.szFaceName, "Arial");
  EXPECT_EQ(cf.yHeight, 200);
}

TEST_F(TextCtrlTest, ATextWhoseGroupsWereLeftOpenIsReadWithThemClosed) {
  Load("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Dokumenttext 4711\\par Text {\\b fett\\par}");
  EXPECT_EQ(Text(), "Dokumenttext 4711\rText fett\r\r");
  EXPECT_TRUE(edit_.Doc().CharAt(int(Text().find("fett"))).bold);
}

TEST_F(TextCtrlTest, ReplaceAnswersYesNoAndCancel) {
  // Mend: a "No" moves on to the next hit instead of asking about the same one forever. In "a b a b a" the three
  // hits are asked about in turn: No, Yes, No leaves the first and third and replaces the second, and a fourth
  // box says the text is not found any more; Cancel after a No stops with two boxes and nothing replaced.
  struct Case {
    std::vector<int> answers;
    const char* result;
    std::size_t boxes;  // questions plus the final "not found"
  } cases[] = {
      {{IDNO, IDYES, IDNO}, "a b X b a\r\r", 4},
      {{IDYES, IDYES, IDYES}, "X b X b X\r\r", 4},
      {{IDNO, IDCANCEL}, "a b a b a\r\r", 2},
  };
  for (const Case& c : cases) {
    Load("{\\rtf1 a b a b a\\par\r\n}");
    win::msgbox::ClearLog();
    for (int answer : c.answers) win::msgbox::QueueAnswer(answer);
    if (c.boxes > c.answers.size()) win::msgbox::QueueAnswer(IDOK);
    edit_.SetSel(0, 0);
    edit_.Replace("a", "X", true, true);
    EXPECT_EQ(Text(), c.result);
    EXPECT_EQ(win::msgbox::Log().size(), c.boxes);
    EXPECT_EQ(win::msgbox::PendingAnswers(), 0u);
  }
}

TEST_F(TextCtrlTest, ReplaceAllWithoutConfirmSaysNothingAndDoesNotLoopOnItsOwnText) {
  Load("{\\rtf1 a-a-a\\par\r\n}");
  edit_.SetSel(0, 0);
  edit_.Replace("a", "aa", true, false);  // the replacement holds the text searched for
  EXPECT_EQ(Text(), "aa-aa-aa\r\r");
  EXPECT_TRUE(win::msgbox::Log().empty());
  win::msgbox::QueueAnswer(IDOK);
  EXPECT_EQ(edit_.FindText("fehlt", false), 0);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, "Suchtext nicht gefunden!");
}

// Search and replacement are UTF-8: a replacement is written with its letters (saved as the code page's escapes, never
// as the bytes of its UTF-8 read one by one), a search text with umlauts finds them, and a Greek replacement of a
// Symbol-font letter stays Greek, a Latin one shows as typed.
TEST_F(TextCtrlTest, ReplaceKeepsUmlautsAndSharpSOfBothTexts) {
  Load("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Symbol;}}\\f0 Die Werte der Pr\\'fcfung: WERTE {\\f1 a}\\par}");
  struct Step {
    const char* what;
    const char* replacement;
    const char* shown;
  } steps[] = {
      {"Werte", "Größen", "Die Größen der Prüfung: Größen α\r\n"},
      {"prüfung", "Maßnahme", "Die Größen der Maßnahme: Größen α\r\n"},
      {"α", "β", "Die Größen der Maßnahme: Größen β\r\n"},
      {"β", "b", "Die Größen der Maßnahme: Größen b\r\n"},
  };
  for (const Step& s : steps) {
    edit_.SetSel(0, 0);
    edit_.Replace(s.what, s.replacement, true, false);
    EXPECT_EQ(edit_.Doc().ShownText(0, edit_.GetTextLength()), s.shown) << s.what;
  }
  EXPECT_TRUE(win::msgbox::Log().empty());
  const std::string rtf = edit_.StreamOutRtf(false);
  EXPECT_NE(rtf.find("Gr\\'f6\\'dfen der Ma\\'dfnahme"), std::string::npos) << rtf;
  EXPECT_EQ(rtf.find("\\'c3"), std::string::npos) << rtf;
  const int b = int(edit_.GetRawText().rfind('b'));
  EXPECT_EQ(edit_.Doc().fonts[std::size_t(edit_.Doc().CharAt(b).font)].name, "Arial");
}

TEST_F(TextCtrlTest, TableRtfHasRunningBoundariesAndStreamsIn) {
  std::string rtf;
  BuildTableRtf(2, 3, {1000, 500, 700}, {"a", "", "c", "d"}, rtf);
  int rows = 0;
  for (std::size_t p = rtf.find("\\cellx1000\\cellx1500\\cellx2200\\pard"); p != std::string::npos;
       p = rtf.find("\\cellx1000\\cellx1500\\cellx2200\\pard", p + 1))
    ++rows;
  EXPECT_EQ(rows, 2);
  EXPECT_NE(rtf.find("\\pard\\intbl a\\cell\\cell c\\cell\\row\\trowd"), std::string::npos);
  EXPECT_EQ(rtf.substr(rtf.size() - 5), "\\par}");
  Load("{\\rtf1 vor\\par\r\n}");
  edit_.SetSel(4, 4);
  edit_.InsertTable(2, 3, {1000, 500, 700}, {"a", "", "c", "d"});
  EXPECT_EQ(Text(), std::string("vor\ra\x07\x07"
                                "c\x07\x0e"
                                "d\x07\x07\x07\x0e\r\r"));
  std::vector<RtfTableRow> parsed;
  EXPECT_EQ(ParseRtfTable(edit_.StreamOutRtf(false), parsed), 2);
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed[1].boundaries, (std::vector<long>{1000, 1500, 2200}));
}

TEST_F(TextCtrlTest, KeysTabBoldItalicUnderline) {
  Load("{\\rtf1 wort\\par\r\n}");
  edit_.SetFocus();
  edit_.SetSel(0, 4);
  win::input::KeyWith(VK_CONTROL, 'F');
  EXPECT_TRUE(edit_.Doc().CharAt(1).bold);
  win::input::KeyWith(VK_CONTROL, 'F');  // twice: as it was
  EXPECT_FALSE(edit_.Doc().CharAt(1).bold);
  win::input::KeyWith(VK_CONTROL, 'K');
  win::input::KeyWith(VK_CONTROL, 'U');
  EXPECT_TRUE(edit_.Doc().CharAt(1).italic);
  EXPECT_EQ(edit_.Doc().CharAt(1).underline, 1);
  edit_.SetSel(4, 4);
  win::input::Key(VK_TAB);
  EXPECT_EQ(Text(), "wort\t\r\r");
}

TEST_F(TextCtrlTest, ZoomInPercent) {
  EXPECT_EQ(edit_.GetZoom(), 100);  // none set
  edit_.SetZoom(75);
  EXPECT_EQ(edit_.GetZoom(), 75);
}

TEST_F(TextCtrlTest, MarkingWrapsTheSelectionOrRefusesAnEmptyOne) {
  Load("{\\rtf1 Summe 12 Ende\\par\r\n}");
  edit_.SetSel(6, 6);
  win::msgbox::QueueAnswer(IDOK);
  edit_.MarkSumRange();
  EXPECT_EQ(Text(), "Summe 12 Ende\r\r");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("aufsummiert"), std::string::npos);
  edit_.SetSel(6, 8);
  edit_.MarkSumRange();
  EXPECT_EQ(Text(), "Summe /*S+*/12/*S-*/ Ende\r\r");
  long a = 0, b = 0;
  edit_.GetSel(a, b);
  EXPECT_EQ(a, 6);
  EXPECT_EQ(b, 6 + 2 + 12);
  edit_.SetSel(0, 5);
  edit_.MarkHidden();
  EXPECT_EQ(Text().substr(0, 9), "/*Summe*/");
  edit_.SetSel(0, 3);
  edit_.MarkFormula(true);
  CHARFORMAT2 cf;
  edit_.GetCharFormat(cf);
  EXPECT_EQ(cf.crTextColor, RGB(7, 13, 255));
  edit_.MarkFormula(false);
  edit_.GetCharFormat(cf);
  EXPECT_EQ(cf.crTextColor, RGB(0, 0, 0));
}

TEST_F(TextCtrlTest, PlaceholdersBecomeFormatting) {
  Load(
      "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard $SYMBOL_D$ 16 und $SYMBOL_D$ 20\\par\r\n"
      "x $FC2$b = 0,3$FC0$ y\\par\r\n$R$rechts\\par\r\n}");
  const std::string t = Text();
  EXPECT_EQ(t, "\xc6 16 und \xc6 20\rx b = 0,3 y\rrechts\r\r");
  const richdoc::Document& d = edit_.Doc();
  for (std::size_t p : {t.find('\xc6'), t.rfind('\xc6')})
    EXPECT_EQ(d.fonts[std::size_t(d.CharAt(int(p)).font)].name, "Symbol");
  EXPECT_EQ(d.fonts[std::size_t(d.CharAt(int(t.find("16"))).font)].name, "Arial");
  const int b = int(t.find("b = 0,3"));
  EXPECT_EQ(d.colours[std::size_t(d.CharAt(b).colour)].b, 255);
  EXPECT_EQ(d.colours[std::size_t(d.CharAt(b + 6).colour)].b, 255);
  EXPECT_EQ(d.CharAt(b + 7).colour, 0);  // " y" after the range
  EXPECT_EQ(d.ParaAt(int(t.find("rechts"))).align, 2);
  EXPECT_EQ(d.ParaAt(0).align, 0);
  EXPECT_FALSE(edit_.CanUndo());
}

TEST_F(TextCtrlTest, CommandsAreCollected) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  } cases[] = {
      {"$C_LT(\"C:\\\\pos\\\\a.tqx\",\"x\") Text", {"LT|C:\\\\pos\\\\a.tqx|x"}},
      {"$C_A() $C_B(\"1\")", {"A", "B|1"}},
      {"$C_ABCDEFGHIJKLMNOPQRSTUVWXYZ012345(\"1\")", {}},  // a name of 32 characters
      {"$C_ABCDEFGHIJKLMNOPQRSTUVWXYZ01234(\"1\")", {"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234|1"}},
      {"$C_X(\"offen\" $C_Y(\"z\")", {"X|offen|z"}},  // an unclosed command takes the next quoted text
      {"$C_OHNE \"a\"", {}},
      {"$C_LT(\"a\"", {}},  // no ')'
  };
  for (const Case& c : cases) {
    edit_.CollectCommands(c.text);
    EXPECT_EQ(edit_.commands, c.lines) << c.text;
  }
}

TEST_F(TextCtrlTest, TheEngineReadsTheControlsRtfAsItReadsItsOwn) {
  // The document part's sample text, loaded into the control and streamed out again, evaluates to the same units,
  // results and messages, and its picture comes back byte for byte.
  std::ifstream in(std::string(KOLUMO_TEST_DATA) + "/document/formulas.rtf", std::ios::binary);
  const std::string original((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(original.empty());
  Load(original);
  const std::string rewritten = edit_.StreamOutRtf(false);
  auto evaluate = [](const std::string& rtf) {
    CRtfChunkList list;
    list.SetText(rtf);
    std::vector<SkribTextBlock> blocks;
    CVariableStore store;
    EvaluateText(list, 7ul + 256ul * 13ul + 65536ul * 255ul, blocks, 0, nullptr, &store, 1, "");
    std::vector<std::string> shown;
    for (const SkribTextBlock& b : blocks) shown.push_back(b.plain + " -> " + b.result + " " + b.message);
    return shown;
  };
  const std::vector<std::string> before = evaluate(original), after = evaluate(rewritten);
  EXPECT_GE(before.size(), 8u);
  EXPECT_EQ(after, before);
  const std::size_t pict = original.find("{\\pict");
  const std::string group = original.substr(pict, original.find('}', pict) + 1 - pict);
  EXPECT_NE(rewritten.find(group), std::string::npos);
}

}  // namespace
