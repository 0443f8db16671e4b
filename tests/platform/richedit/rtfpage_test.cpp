// What the RTF reader makes of a report's page: Greek letters written as Unicode, the style sheet's headings, the
// paragraph words a page layout needs, the page's paper and margins, its header group and the header's page fields.
#include <gtest/gtest.h>

#include "platform/richedit/richdoc.h"

namespace {

std::string FontName(const richdoc::Document& d, int i) { return d.fonts[std::size_t(d.CharAt(i).font)].name; }

TEST(RtfPageReading, GreekLettersAndSignsBecomeTheSymbolFontsCharacters) {
  // The report writes a Greek letter as Unicode with the Symbol letter after it for old readers; what the text holds
  // is the Symbol letter in the Symbol font, as the engineer's own Symbol runs do.
  struct Case {
    const char* body;
    char expected;
    const char* font;
  } cases[] = {
      {"{\\f1 {\\uc1\\u949 e}}", 'e', "Symbol"},  // epsilon inside a Symbol run
      {"{\\uc1\\u947 g}", 'g', "Symbol"},         // gamma in Arial: the Symbol font is taken for it
      {"\\u968?", 'y', "Symbol"},                 // psi
      {"\\u957?", 'n', "Symbol"},                 // nu
      {"\\u966?", 'f', "Symbol"},                 // phi
      {"\\u8804?", '\xa3', "Symbol"},             // less or equal: byte 0xA3 of the Symbol font
      {"\\u8364?", '\x80', "Arial"},              // the euro sign is a Windows-1252 character
      {"\\u252?", '\xfc', "Arial"},               // u umlaut
      {"\\u20320?", richdoc::kWide, "Arial"},     // a character of neither: held by its Unicode value
  };
  for (const Case& c : cases) {
    richdoc::Document d;
    d.ReadRtf(std::string("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\ftech\\fcharset2 Symbol;}}") + c.body + "}");
    ASSERT_EQ(d.Length(), 2) << c.body << ": one character and the final mark";
    EXPECT_EQ(d.text[0], c.expected) << c.body;
    EXPECT_EQ(FontName(d, 0), c.font) << c.body;
  }
  // The fallback letter after the Unicode character is skipped, the text after it is not.
  richdoc::Document d;
  d.ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\uc1\\u949 e}ps\\par}");
  EXPECT_EQ(d.PlainText(0, d.Length() - 1), "eps\r\n");
  EXPECT_EQ(FontName(d, 0), "Symbol");
  EXPECT_EQ(FontName(d, 1), "Arial");
  // A group cut right after the Unicode character (a text cut short and closed): the text after it is not skipped.
  d.ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\u8364}Ende\\par}");
  EXPECT_EQ(d.PlainText(0, d.Length() - 1),
            "\x80"
            "Ende\r\n");
}

// A character of neither the code page nor the Symbol font is kept by its Unicode value: negative numbers are the
// upper half of the basic plane, a surrogate pair (also in two groups) is one character beyond it, \\ucN says how
// many fallback characters follow; half a pair alone is no character and reads as its fallback. Written again,
// each is an escape with one fallback, which reads back to the same text.
TEST(RtfPageReading, CharactersBeyondTheCodePageAreKeptByTheirUnicodeValue) {
  struct Case {
    const char* body;
    const char* shown;  // UTF-8
  } cases[] = {
      {"\\u1046?\\u1091?\\u1082?", "Жук"},
      {"\\u-10179?\\u-8704?", "\xf0\x9f\x98\x80"},  // U+1F600: D83D DE00
      {"{\\uc1\\u-10179 ?}{\\uc1\\u-8704 ?}x", "\xf0\x9f\x98\x80x"},
      {"\\uc0\\u337\\u322 x", "őłx"},
      {"\\uc2\\u20013??mitte", "中mitte"},
      {"\\u-10179?x", "?x"},
      {"a\\u-8704?b", "a?b"},
      {"\\u-10179?", "?"},
      {"\\u8776?\\u252?", "≈ü"},  // the Symbol font's sign and a Windows-1252 letter stay as they were held
  };
  for (const Case& c : cases) {
    richdoc::Document d;
    d.ReadRtf(std::string("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}") + c.body + "}");
    EXPECT_EQ(d.ShownText(0, d.Length() - 1), c.shown) << c.body;
    const std::string rtf = d.WriteRtf();
    richdoc::Document again;
    again.ReadRtf(rtf);
    EXPECT_EQ(again.ShownText(0, again.Length() - 1), c.shown) << rtf;
    EXPECT_EQ(again.WriteRtf(), rtf);
  }
  richdoc::Document d;
  d.ReadRtf("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}\\u1046?\\u-10179?\\u-8704?\\u8776?}");
  const std::string rtf = d.WriteRtf();
  EXPECT_NE(rtf.find("\\uc1\\u1046?\\u-10179?\\u-8704?"), std::string::npos) << rtf;
  EXPECT_EQ(d.text[2], '\xbb') << "the almost-equal sign is the Symbol font's";
}

TEST(RtfPageReading, TextInAGroupAtTheStartOfTheBodyIsText) {
  // The words before the text are the document's; a group holding text begins the text.
  struct Case {
    const char* body;
    const char* text;
  } cases[] = {
      {"{\\b Fett} normal\\par", "Fett normal\r\n"},
      {"{Klammer}\\par", "Klammer\r\n"},
      {"\\u8364? 5\\par", "\x80 5\r\n"},
      {"{\\*\\generator x;}{\\info{\\title T}}Text\\par", "Text\r\n"},
  };
  for (const Case& c : cases) {
    richdoc::Document d;
    d.ReadRtf(std::string("{\\rtf1{\\fonttbl{\\f0 Arial;}}") + c.body + "}");
    EXPECT_EQ(d.PlainText(0, d.Length() - 1), c.text) << c.body;
  }
}

TEST(RtfPageReading, SectionsAndGroupsOfUnknownWordsBeforeTheTextAreText) {
  // What a word processor shows of each: a section ends its paragraph and its page (the first page holds an empty
  // paragraph, the second "ACDEB"), unless it runs on; the document's tables and information are no text, wherever
  // they stand; a group of settings without text is no text either.
  struct Case {
    const char* body;
    const char* text;
  } cases[] = {
      {"{\\sect A}{\\sectd C}{\\pgnrestart D}{\\foo E}B", "\f\r\nACDEB"},
      {"{\\sectd\\sbknone X\\sect Y}", "X\r\nY"},
      {"{\\sectd\\sbknone}{\\foo}B", "B"},
      {"{\\sectd{\\header\\pard Kopf\\par}{\\*\\bkmkstart m}Dokumenttext 4711\\par}Eingabedaten\\par",
       "Dokumenttext 4711\r\nEingabedaten\r\n"},
      {"{\\sectd A}{\\info{\\title T}}{\\listtable{\\list{\\listname L;}}}{\\colortbl ;\\red1\\green2\\blue3;}B", "AB"},
      {"{\\foo{\\*\\bar hidden}}{\\info{\\author I}}{\\stylesheet{\\s1 heading 1;}}\\pard\\s1 B\\par", "B\r\n"},
  };
  for (const Case& c : cases) {
    richdoc::Document d;
    ASSERT_NO_THROW(d.ReadRtf(std::string("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}") + c.body + "}")) << c.body;
    EXPECT_EQ(d.PlainText(0, d.Length() - 1), c.text) << c.body;
  }
  // The stylesheet behind an empty group of settings is still the document's.
  richdoc::Document d;
  d.ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\sectd\\sbknone}{\\stylesheet{\\s1 heading 1;}}\\pard\\s1 B\\par}");
  EXPECT_EQ(d.ParaAt(0).heading, 1);
}

TEST(RtfPageReading, AStyleSheetSaysWhichStylesAreHeadings) {
  const std::string sheet =
      "{\\stylesheet{\\s0\\f0 Normal;}{\\s1\\keepn\\b heading 1;}{\\s4\\b table heading;}"
      "{\\*\\cs10 Default Paragraph Font;}{\\s12\\fs24 Heading 3;}}";
  richdoc::Document d;
  d.ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}" + sheet +
            "\\pard\\s1 A\\par\\pard\\s4 B\\par\\pard\\s12 C\\par\\pard\\s7 D\\par}");
  EXPECT_EQ(d.ParaAt(0).heading, 1);
  EXPECT_EQ(d.ParaAt(2).heading, 0) << "a table heading is no heading of the text";
  EXPECT_EQ(d.ParaAt(4).heading, 3) << "style 12 is named heading 3";
  EXPECT_EQ(d.ParaAt(6).heading, 0) << "a style the sheet does not name";
  // Without a style sheet the style number is the heading level, as the editor writes it.
  richdoc::Document plain;
  plain.ReadRtf("{\\rtf1\\pard\\s3 A\\par\\pard\\s12 B\\par}");
  EXPECT_EQ(plain.ParaAt(0).heading, 3);
  EXPECT_EQ(plain.ParaAt(2).heading, 0);
}

TEST(RtfPageReading, SpacingKeepingRulesAndTabStopsAreReadAndWrittenBack) {
  richdoc::Document d;
  d.ReadRtf(
      "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard\\keepn\\sb360\\sa120 Titel\\par"
      "\\pard\\brdrb\\brdrs\\brdrw10\\tqr\\tx9638\\tx1000\\tqc\\tx5000 links\\tab mitte\\tab rechts\\par"
      "\\pard\\sb99999\\sa-5 weit\\par}");
  const richdoc::ParaFormat& title = d.ParaAt(0);
  EXPECT_TRUE(title.keepNext);
  EXPECT_EQ(title.spaceBefore, 360);
  EXPECT_EQ(title.spaceAfter, 120);
  const richdoc::ParaFormat& line = d.ParaAt(6);
  EXPECT_TRUE(line.ruleBelow);
  EXPECT_FALSE(line.keepNext) << "\\pard ends what the paragraph before asked";
  // The stops in order of their positions, each with the kind named before it.
  ASSERT_EQ(line.tabs.size(), 3u);
  EXPECT_EQ(line.tabs[0], (richdoc::TabStop{1000, 0}));
  EXPECT_EQ(line.tabs[1], (richdoc::TabStop{5000, 1}));
  EXPECT_EQ(line.tabs[2], (richdoc::TabStop{9638, 2}));
  // Lengths no page has are held to 22 inches and to nothing below zero.
  const int far = int(d.text.find("weit"));
  EXPECT_EQ(d.ParaAt(far).spaceBefore, 31680);
  EXPECT_EQ(d.ParaAt(far).spaceAfter, 0);
  // Written and read again, every one of them stays.
  richdoc::Document again;
  again.ReadRtf(d.WriteRtf());
  EXPECT_EQ(again.ParaAt(0), title);
  EXPECT_EQ(again.ParaAt(6), line);
}

// The start of a report as the report writer makes it: page words, a header with page fields, a style sheet.
const char* const kReportHead =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\r\n{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n{\\colortbl ;}\r\n"
    "{\\stylesheet{\\s1\\b heading 1;}}\r\n"
    "\\paperw11906\\paperh16838\\margl1418\\margr851\\margt1134\\margb1134\\headery567\\footery567\r\n"
    "\\sectd{\\header\\pard\\plain\\f0\\fs16\\tqr\\tx9638 TQ-KOLUMO\\tab Seite {\\field{\\*\\fldinst PAGE}"
    "{\\fldrslt 1}} von {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par\r\n"
    "\\pard\\plain\\brdrb\\brdrs\\brdrw10\\fs4\\par}\r\n";

TEST(RtfPageReading, ThePageFormatIsReadFromTheWordsBeforeTheText) {
  richdoc::Document d;
  d.ReadRtf(std::string(kReportHead) + "\\pard\\s1 Eingabedaten\\par}");
  const richdoc::PageFormat f = richdoc::PageFormatOf(d);
  EXPECT_EQ(f.paperWidth, 11906);
  EXPECT_EQ(f.paperHeight, 16838);
  EXPECT_EQ(f.left, 1418);
  EXPECT_EQ(f.right, 851);
  EXPECT_EQ(f.top, 1134);
  EXPECT_EQ(f.bottom, 1134);
  EXPECT_EQ(f.headerY, 567);
  EXPECT_EQ(f.footerY, 567);
  // The header is no text of the document: the text is its heading alone.
  EXPECT_EQ(d.PlainText(0, d.Length() - 1), "Eingabedaten\r\n");
  // A word inside a group is that group's, not the page's.
  richdoc::Document other;
  other.ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\unknown\\margl99}\\margr700 x\\par}");
  EXPECT_EQ(richdoc::PageFormatOf(other).left, 0);
  EXPECT_EQ(richdoc::PageFormatOf(other).right, 700);
}

TEST(RtfPageReading, TheDocumentPartAtTheTopOfAReportIsTextAndKeepsTheReportsHeader) {
  // The report writes the position's document as a group of its own section, with that document's header.
  richdoc::Document d;
  d.ReadRtf(std::string(kReportHead) +
            "{\\sectd\\pgnstarts1\\pgnrestart\r\n{\\header\\pard\\plain\\f0\\fs16 TQ-Skrib\\par}\r\n"
            "\\pard Dokumenttext 4711\\par Text {\\b fett\\par}}\r\n\\pard\\plain\\s1 Eingabedaten\\par}");
  EXPECT_EQ(d.PlainText(0, d.Length() - 1), "Dokumenttext 4711\r\nText fett\r\nEingabedaten\r\n");
  EXPECT_TRUE(d.CharAt(int(d.text.find("fett"))).bold);
  EXPECT_EQ(d.ParaAt(int(d.text.find("Eingabedaten"))).heading, 1);
  EXPECT_NE(richdoc::HeaderGroupOf(d, false).find("TQ-KOLUMO"), std::string::npos);
  EXPECT_EQ(richdoc::PageFormatOf(d).left, 1418);
}

TEST(RtfPageReading, TheHeaderGroupIsFoundWhereverItStandsAndReadWithTheDocumentsFonts) {
  richdoc::Document d;
  d.ReadRtf(std::string(kReportHead) + "\\pard\\s1 Eingabedaten\\par}");
  const std::string header = richdoc::HeaderGroupOf(d, false);
  ASSERT_EQ(header.rfind("{\\header", 0), 0u) << header;
  EXPECT_TRUE(richdoc::HeaderGroupOf(d, true).empty()) << "the report has no footer";
  const richdoc::Document h = d.ReadGroup(richdoc::WithPageNumbers(header, 3, 44));
  EXPECT_EQ(h.PlainText(0, h.Length() - 1), "TQ-KOLUMO\tSeite 3 von 44\r\n\r\n");
  EXPECT_EQ(h.CharAt(0).size, 16);
  EXPECT_EQ(h.ParaAt(0).tabs.size(), 1u);
  EXPECT_TRUE(h.ParaAt(int(h.text.find('\r')) + 1).ruleBelow);
  // A header group met inside the text goes to the page as well.
  richdoc::Document late;
  late.ReadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\pard Text\\par{\\header\\pard Kopf\\par}Mehr\\par}");
  EXPECT_EQ(late.PlainText(0, late.Length() - 1), "Text\r\nMehr\r\n");
  EXPECT_EQ(richdoc::HeaderGroupOf(late, false), "{\\header\\pard Kopf\\par}");
  EXPECT_THROW(d.ReadGroup("{\\header Kopf"), richdoc::RtfError);
}

TEST(RtfPageReading, PageFieldsTakeThePagesNumbers) {
  struct Case {
    const char* group;
    const char* expected;
  } cases[] = {
      {"{\\header Seite {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}}", "{\\header Seite 7}"},
      {"{\\header {\\field{\\*\\fldinst NUMPAGES }{\\fldrslt 9}}}", "{\\header 12}"},
      {"{\\header {\\field{\\*\\fldinst { page \\\\* MERGEFORMAT}}{\\fldrslt 1}}}", "{\\header 7}"},
      {"{\\header {\\field{\\*\\fldinst SECTIONPAGES}{\\fldrslt 1}}}", "{\\header 12}"},
      // Another field keeps what it shows; braces written as text are no groups.
      {"{\\header {\\field{\\*\\fldinst DATE}{\\fldrslt 8.12.2026}} \\{PAGE\\}}",
       "{\\header {\\field{\\*\\fldinst DATE}{\\fldrslt 8.12.2026}} \\{PAGE\\}}"},
  };
  for (const Case& c : cases) EXPECT_EQ(richdoc::WithPageNumbers(c.group, 7, 12), c.expected) << c.group;
}

}  // namespace
