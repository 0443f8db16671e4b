// The rich-text controls and another program on the screen's clipboard: a copy offers RTF beside the UTF-8 text
// (bold, italics, sizes, fonts and paragraphs in it), a paste takes the other program's RTF first with its formats,
// and RTF that does not read, or reads as nothing, gives way to the text.
#include <gtest/gtest.h>

#include <string>

#include "platform/richedit/richeditctrl.h"
#include "platform/richedit/richtext.h"
#include "platform/win/dialogs/wintest.h"
#include "tests/support/clipboard_screen.h"

namespace {

// Two paragraphs: a bold word, an italic one at 16 points in a fixed face, then a centred line.
constexpr const char* kFormatted =
    "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}\\f0\\fs20 "
    "Die \\b St\\'fctze\\b0  ist {\\i\\f1\\fs32 schlank}.\\par\\qc Zweite Zeile\\par}";

// As a word processor copies a bold line and a line of 14-point italics: style sheet, information and generator
// groups, Unicode escapes with their fallbacks, a font that this system does not have.
constexpr const char* kFromWordProcessor =
    "{\\rtf1\\ansi\\deff4\\adeflang1025\n"
    "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f4\\froman\\fprq2\\fcharset0 Liberation Serif;}"
    "{\\f5\\fswiss\\fprq2\\fcharset0 Liberation Sans;}}\n"
    "{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}\n"
    "{\\stylesheet{\\s0\\snext0\\widctlpar\\hyphpar0\\ltrpar\\cf0\\kerning1\\dbch\\af5\\langfe2052\\dbch\\af6"
    "\\afs24\\alang1081\\loch\\f4\\hich\\af4\\fs24\\lang1031 Normal;}}\n"
    "{\\*\\generator Textverarbeitung 7.4;}{\\info{\\creatim\\yr2026\\mo12\\dy8\\hr18\\min2}}"
    "\\deftab709\\viewscale100\n"
    "{\\*\\pgdsctbl{\\pgdsc0\\pgdscuse451\\pgwsxn11906\\pghsxn16838\\pgdscnxt0 Default Page Style;}}\n"
    "\\formshade\\paperh16838\\paperw11906\\margl1134\\margr1134\\margt1134\\margb1134\\sectd\\sbknone\\pgndec\n"
    "{\\*\\ftnsep\\chftnsep}\\pgndec\\pard\\plain \\s0\\widctlpar\\loch\\f4\\fs24\\lang1031"
    "{\\b\\ab\\rtlch \\ltrch\\loch Fette St\\u252\\'fctze \\u8364\\'80 5}\n"
    "\\par \\pard\\plain \\s0\\widctlpar\\loch\\f5\\fs28{\\i\\ai\\rtlch \\ltrch\\loch Kursiv \\u1046\\'3f}\n"
    "\\par }";

class ClipboardRtfTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    parent_.CreateEx(0, "Static", "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 300), nullptr, 0);
    ASSERT_TRUE(edit_.Create(WS_VISIBLE | WS_BORDER, CRect(0, 0, 400, 280), &parent_, 4677));
    edit_.SetFocus();
  }
  // The control's text from start to end as the engineer reads it (paragraphs as '|').
  static std::string Shown(const CRichEditCtrl& c) {
    std::string s = c.Doc().ShownText(0, c.Doc().Length() - 1);
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (s.compare(i, 2, "\r\n") == 0) {
        out += '|';
        ++i;
      } else {
        out += s[i];
      }
    }
    return out;
  }
  static int At(const CRichEditCtrl& c, const char* what) {
    const std::size_t at = c.Doc().text.find(what);
    EXPECT_NE(at, std::string::npos) << what;
    return int(at);
  }
  static std::string FaceAt(const CRichEditCtrl& c, int at) {
    return c.Doc().fonts[std::size_t(c.Doc().CharAt(at).font)].name;
  }
  CWnd parent_;
  CRichEditCtrl edit_;
  test::ClipboardScreen screen_;
};

// The editor's control and the read-only box of the output view both offer RTF beside the text; read back by the
// same reader it holds the bold word, the italic one with its size and face, and both paragraphs with the centring.
TEST_F(ClipboardRtfTest, ACopyOffersRtfWithItsFormats) {
  CRichText box;
  ASSERT_TRUE(box.Create("", WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 10002));
  for (CRichEditCtrl* control : {static_cast<CRichEditCtrl*>(&edit_), static_cast<CRichEditCtrl*>(&box)}) {
    ASSERT_TRUE(control->StreamInRtf(kFormatted, false));
    control->SetSel(0, -1);
    screen_.offered.reset();
    control->SendMessage(WM_COPY, 0, 0);
    ASSERT_TRUE(screen_.offered.has_value());
    EXPECT_EQ(screen_.offered->text, "Die Stütze ist schlank.\r\nZweite Zeile\r\n");
    const std::string& rtf = screen_.offered->rtf;
    EXPECT_NE(rtf.find("\\b "), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\i"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\fs32"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("Courier New;"), std::string::npos) << rtf;

    CRichEditCtrl reader;
    ASSERT_TRUE(reader.Create(WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 4678));
    ASSERT_TRUE(reader.StreamInRtf(rtf, false)) << rtf;
    EXPECT_EQ(Shown(reader), "Die Stütze ist schlank.|Zweite Zeile|");
    const richdoc::Document& d = reader.Doc();
    EXPECT_TRUE(d.CharAt(At(reader, "St")).bold);
    EXPECT_FALSE(d.CharAt(At(reader, "ist")).bold);
    EXPECT_TRUE(d.CharAt(At(reader, "schlank")).italic);
    EXPECT_EQ(d.CharAt(At(reader, "schlank")).size, 32);
    EXPECT_EQ(d.CharAt(At(reader, "Die")).size, 20);
    EXPECT_EQ(FaceAt(reader, At(reader, "schlank")), "Courier New");
    EXPECT_EQ(FaceAt(reader, At(reader, "Die")), "Arial");
    EXPECT_EQ(d.ParaAt(At(reader, "Zweite")).align, 1);
    EXPECT_EQ(d.ParaAt(At(reader, "Die")).align, 0);
    reader.DestroyWindow();
  }
  box.DestroyWindow();
}

// A word processor's bold line pasted arrives bold, its italic line in its size and face, each character by its
// Unicode value; the text it offers beside is not used. Copied out again, the other program gets the formats back.
TEST_F(ClipboardRtfTest, APasteTakesTheOtherProgramsRtfFirst) {
  ASSERT_TRUE(edit_.StreamInRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Vorher}", false));
  edit_.SetSel(-1, -1);
  screen_.Copies("Fette Stütze € 5\nKursiv Ж\n", kFromWordProcessor);
  edit_.SendMessage(WM_PASTE, 0, 0);
  EXPECT_EQ(Shown(edit_), "VorherFette Stütze € 5|Kursiv Ж|");
  const richdoc::Document& d = edit_.Doc();
  EXPECT_FALSE(d.CharAt(At(edit_, "Vorher")).bold);
  EXPECT_TRUE(d.CharAt(At(edit_, "Fette")).bold);
  EXPECT_TRUE(d.CharAt(At(edit_, "5")).bold);
  EXPECT_FALSE(d.CharAt(At(edit_, "Fette")).italic);
  EXPECT_TRUE(d.CharAt(At(edit_, "Kursiv")).italic);
  EXPECT_FALSE(d.CharAt(At(edit_, "Kursiv")).bold);
  EXPECT_EQ(d.CharAt(At(edit_, "Kursiv")).size, 28);
  EXPECT_EQ(FaceAt(edit_, At(edit_, "Fette")), "Liberation Serif");
  EXPECT_EQ(FaceAt(edit_, At(edit_, "Kursiv")), "Liberation Sans");

  edit_.SetSel(At(edit_, "Fette"), At(edit_, "Kursiv") + 6);
  edit_.SendMessage(WM_COPY, 0, 0);
  ASSERT_TRUE(screen_.offered.has_value());
  EXPECT_EQ(screen_.offered->text, "Fette Stütze € 5\r\nKursiv");
  CRichEditCtrl reader;
  ASSERT_TRUE(reader.Create(WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 4678));
  ASSERT_TRUE(reader.StreamInRtf(screen_.offered->rtf, false));
  EXPECT_TRUE(reader.Doc().CharAt(At(reader, "Fette")).bold);
  EXPECT_TRUE(reader.Doc().CharAt(At(reader, "Kursiv")).italic);
  EXPECT_EQ(reader.Doc().CharAt(At(reader, "Kursiv")).size, 28);
  reader.DestroyWindow();
}

// RTF that is no RTF, or reads as no text, gives way to the text offered beside it; hostile RTF (nesting beyond any
// depth, a binary run longer than the text, numbers beyond their range) is read within the reader's limits or
// refused; without text beside it a refused RTF leaves the control as it was. Never nothing where there was text.
TEST_F(ClipboardRtfTest, RtfThatDoesNotReadGivesWayToTheText) {
  const std::string deep = "{\\rtf1 " + std::string(100000, '{') + "tief" + std::string(100000, '}') + "}";
  struct Case {
    std::string rtf;
    const char* text;
    const char* shown;  // the control's text after the paste (before it: "Vorher|")
  } cases[] = {
      {"Das ist kein RTF", "Notiz", "VorherNotiz"},
      {"{\\rtf1 {\\*\\generator Programm;}{\\info{\\title Titel}}}", "Notiz", "VorherNotiz"},
      {"{\\rtf1 }", "Notiz", "VorherNotiz"},
      {"", "Notiz", "VorherNotiz"},
      {"Das ist kein RTF", "", "Vorher"},
      {"{\\rtf1 \\b fett", "fett", "Vorherfett"},              // unclosed: what it holds
      {"{\\rtf1 vor\\bin99999999 x}", "vor x", "Vorhervorx"},  // no binary run beyond the text
      {"{\\rtf1 \\fs999999999 gross\\par}", "gross", "Vorhergross|"},
      {deep, "tief", "Vorhertief"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(edit_.StreamInRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Vorher}", false));
    edit_.SetSel(-1, -1);
    screen_.Copies(c.text, c.rtf);
    edit_.SendMessage(WM_PASTE, 0, 0);
    EXPECT_EQ(Shown(edit_), c.shown) << c.rtf.substr(0, 60);
    EXPECT_EQ(edit_.CanUndo(), std::string(c.shown) != "Vorher") << c.rtf.substr(0, 60);
    if (c.rtf.find("\\fs") != std::string::npos) {
      EXPECT_LE(edit_.Doc().CharAt(At(edit_, "gross")).size, 3276) << "a size beyond a word processor's range";
    }
  }
}

// Word processors name faces of several words, often with a second name or a description in a group of its own:
// the face is the whole name, and it stays so when pasted into a document and written again.
TEST_F(ClipboardRtfTest, FacesOfSeveralWordsKeepTheirWholeNames) {
  struct Case {
    const char* entry;  // between "{\\f1" and "}"
    const char* face;
  } cases[] = {
      {"\\froman\\fprq2\\fcharset0 Times New Roman;", "Times New Roman"},
      {"\\fswiss\\fprq2\\fcharset0 Liberation Sans{\\*\\falt Arial};", "Liberation Sans"},
      {"\\fswiss{\\*\\panose 020b0604020202020204}Arial;", "Arial"},
      {"\\fnil\\fcharset2 Symbol;", "Symbol"},
      {"\\fmodern DejaVu Sans Mono ;", "DejaVu Sans Mono"},
      {"\\froman Gr\\'f6\\'dfe Schrift;",
       "Gr\xf6\xdf"
       "e Schrift"},
  };
  for (const Case& c : cases) {
    const std::string rtf = std::string("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1") + c.entry + "}}\\f1 Wort\\par}";
    ASSERT_TRUE(edit_.StreamInRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Vorher}", false));
    edit_.SetSel(-1, -1);
    screen_.Copies("Wort", rtf);
    edit_.SendMessage(WM_PASTE, 0, 0);
    EXPECT_EQ(FaceAt(edit_, At(edit_, "Wort")), c.face) << c.entry;
    CHARFORMAT2 cf;
    edit_.SetSel(At(edit_, "Wort"), At(edit_, "Wort") + 4);
    edit_.GetSelectionCharFormat(cf);
    EXPECT_STREQ(cf.szFaceName, c.face) << c.entry;
    CRichEditCtrl again;
    ASSERT_TRUE(again.Create(WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 4678));
    ASSERT_TRUE(again.StreamInRtf(edit_.StreamOutRtf(false), false));
    EXPECT_EQ(FaceAt(again, At(again, "Wort")), c.face) << c.entry;
    again.DestroyWindow();
  }
}

}  // namespace
