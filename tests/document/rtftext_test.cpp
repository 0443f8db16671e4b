// RTF buffers, table rows, header tables and the preparation of the document for the report.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <random>

#include "document/rtfchunks.h"
#include "document/rtfheader.h"
#include "platform/richedit/richdoc.h"

namespace {

TEST(RtfChunks, MergeAssignAndStreaming) {
  CRtfChunkList list;
  list.AppendCopy("ab", 2);
  list.AppendCopy("cde", 3);
  std::memcpy(list.Alloc(4), "fgh", 4);
  list.Merge();
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetSize(0), 9);  // 2 + 3 + 4
  EXPECT_EQ(list.Text(), "abcdefgh");
  CRtfChunkList copy(list);
  list.Clear();
  EXPECT_EQ(copy.Text(), "abcdefgh");
  copy.ResetPosition(0);
  EXPECT_EQ(*copy.Advance(0, 5), 'a');
  EXPECT_EQ(*copy.Advance(0, 100), 'f');
  EXPECT_EQ(copy.Advance(0, 1), copy.GetBuffer(0) + 9);  // never past the end
  EXPECT_EQ(copy.Advance(3, 1), nullptr);
}

TEST(RtfTableRows, ParseAndWrite) {
  const std::string row1 = "\\trowd\\trgaph70\\cellx1000\\cellx2500\\pard\\intbl a\\cell b {\\b c}\\cell\\row";
  const std::string row2 = "\\trowd\\cellx500\\pard\\intbl x\\cell\\row";
  std::vector<RtfTableRow> rows;
  ASSERT_EQ(ParseRtfTable("vor " + row1 + " dazwischen " + row2 + " nach", rows), 2);
  EXPECT_EQ(rows[0].boundaries, (std::vector<long>{1000, 2500}));
  EXPECT_EQ(rows[0].cells, (std::vector<std::string>{" a", " b {\\b c}"}));
  EXPECT_EQ(rows[0].properties, "\\trgaph70");
  EXPECT_EQ(rows[0].start, 4);
  EXPECT_EQ(rows[0].end, 4 + int(row1.size()));
  std::string written;
  WriteRtfTableRow(rows[1], written);
  EXPECT_EQ(written, row2);
  // Nested tables are not handled; boundaries without "\intbl" end the parse without the row.
  EXPECT_EQ(ParseRtfTable(row1 + "\\nestcell", rows), -1);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(ParseRtfTable("\\trowd\\cellx100 x\\cell\\row", rows), 0);
}

TEST(RtfHeaderTables, ParseKeysNumbersAndDuplicates) {
  const std::string text =
      "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f3\\ftech{\\*\\panose 0}Symbol;}{\\f5\\fnil Arial;}}"
      "{\\colortbl ;\\red7\\green13\\blue255;}\\f3 x}";
  RtfFontTable fonts;
  int start = -1, end = -1;
  fonts.Parse(text, start, end);
  ASSERT_EQ(fonts.GetCount(), 3);
  EXPECT_EQ(fonts.GetKey(1), "Symbol");
  EXPECT_EQ(fonts.GetNumber(1), 3);
  EXPECT_EQ(fonts.GetKey(2), "Arial_");  // a second Arial keeps apart
  EXPECT_EQ(fonts.NewNumber(), 1);
  EXPECT_EQ(text.substr(std::size_t(start), std::size_t(end - start)).back(), '}');
  RtfColorTable colours;
  colours.Parse(text, start, end);
  ASSERT_EQ(colours.GetCount(), 2);
  EXPECT_EQ(colours.GetKey(0), "default");
  EXPECT_EQ(colours.GetKey(1), "\\red7\\green13\\blue255");
}

TEST(RtfHeaderTables, RenumberingLeavesTheTableAndOtherWordsAlone) {
  std::string text = "{\\fonttbl{\\f1 A;}}\\f1 x\\fs20 \\f10 y\\\\f1 z";
  RenumberReferences({1}, {4}, "\\f", text, 1, 18);
  EXPECT_EQ(text, "{\\fonttbl{\\f1 A;}}\\f4 x\\fs20 \\f10 y\\\\f1 z");
}

// The document's text as the preparation hands it to the report with the given header.
std::string Prepared(const std::string& document, const char* header = "{\\fonttbl{\\f0 Arial;}}{\\colortbl ;}") {
  CRtfChunkList list;
  list.SetText(document);
  ReportHeaderTables tables;
  PrepareForReport(header, list, tables);
  return list.Text();
}

TEST(ReportPreparation, FitsTheDocumentToTheReportTables) {
  const std::string report =
      "{\\fonttbl{\\f0\\fswiss Arial;}{\\f2\\ftech Symbol;}}{\\colortbl "
      ";\\red0\\green0\\blue0;\\red0\\green0\\blue255;}";
  const std::string document =
      "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f3\\fnil Wingdings;}{\\f2\\ftech Symbol;}}\r\n"
      "{\\colortbl ;\\red0\\green0\\blue255;\\red7\\green13\\blue255;}\r\n"
      "{\\*\\generator Msftedit 5.41;}\\viewkind4\\pard\\cf2\\ulwave x\\cf1 [Seitenumbruch]\\f3 J\\f2 a /*verborgen*/"
      "{\\pict 2f2a\\cf1 }\\trowd\\cellx1\\pard\\intbl q\\cell\\row}";
  CRtfChunkList list;
  list.SetText(document);
  ReportHeaderTables tables;
  PrepareForReport(report, list, tables);
  // The formula colour and Wingdings are new to the report: colour 3 and the smallest free font number 1. Blue
  // (document 1) is report colour 2; Symbol keeps 2, Wingdings moves from 3 to 1.
  EXPECT_EQ(list.Text(),
            "{\\*\\generator Msftedit 5.41;}\\viewkind1\\pard\\cf3 x\\cf2 \\page \\f1 J\\f2 a \\v verborgen\\v0 "
            "{\\pict 2f2a\\cf1 }\\trowd\\trkeep\\cellx1\\pard\\intbl q\\cell\\row");
  ASSERT_EQ(tables.addedColours, 1);
  ASSERT_EQ(tables.addedFonts, 1);
  EXPECT_EQ(tables.colours.GetEntry(tables.colours.GetCount() - 1), "\\red7\\green13\\blue255;");
  EXPECT_EQ(tables.fonts.GetEntry(tables.fonts.GetCount() - 1), "{\\f1\\fnil Wingdings;}");
}

TEST(ReportPreparation, EveryDocumentReadsWholeInsideTheReport) {
  // Documents put together from pieces at random (a fixed seed), whatever their braces and escapes, also in the
  // tables whose entries the report takes over: the report that holds one in a group of its own reads, and its
  // text after the document is there.
  const char* const heads[] = {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}", "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Foo\\",
                               "{\\rtf1{\\colortbl ;\\red1\\'4;}", "{\\rtf1{\\fonttbl{\\fnil Foo;}}"};
  const char* const pieces[] = {"{",      "}",          "{\\b ",      "\\b0 ",       "Text ",
                                "\\'e4",  "\\'4",       "\\",         "\\{",         "\\}",
                                "\\par ", "{\\*\\x y}", "{\\sect A}", "{\\pict 00}", "{\\fonttbl{\\fnil Foo;}}",
                                "\\f1 ",  ";"};
  std::mt19937 random(20261208);
  for (int n = 0; n < 4000; ++n) {
    std::string document = heads[random() % std::size(heads)];
    for (int k = int(random() % 12); k >= 0; --k) document += pieces[random() % std::size(pieces)];
    CRtfChunkList list;
    list.SetText(document);
    ReportHeaderTables tables;
    PrepareForReport("{\\fonttbl{\\f0 Arial;}}{\\colortbl ;}", list, tables);
    std::string fonts, colours;
    for (int i = 0; i < tables.fonts.GetCount(); ++i) fonts += tables.fonts.GetEntry(i);
    for (int i = 0; i < tables.colours.GetCount(); ++i) colours += tables.colours.GetEntry(i);
    richdoc::Document report;
    ASSERT_NO_THROW(report.ReadRtf("{\\rtf1{\\fonttbl" + fonts + "}{\\colortbl " + colours + "}{\\sectd " +
                                   list.Text() + "}Ende\\par}"))
        << document;
    EXPECT_NE(report.text.find("Ende\r"), std::string::npos) << document;
  }
}

TEST(ReportPreparation, AFontOfTheDocumentWithoutANumberGetsTheReportsNext) {
  CRtfChunkList list;
  list.SetText("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\fnil Foo;}}\\pard Text\\par}");
  ReportHeaderTables tables;
  PrepareForReport("{\\fonttbl{\\f0\\fswiss Arial;}{\\f2\\ftech Symbol;}}{\\colortbl ;}", list, tables);
  ASSERT_EQ(tables.addedFonts, 1);
  EXPECT_EQ(tables.fonts.GetEntry(tables.fonts.GetCount() - 1), "{\\f1 \\fnil Foo;}");
  EXPECT_EQ(list.Text(), "\\pard Text\\par");
}

TEST(ReportPreparation, WithoutAGeneratorTheHeaderGoesAndTheBodyStays) {
  CRtfChunkList list;
  list.SetText("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red0\\green0\\blue0;}\r\n\\pard\\cf1 Text\\par}");
  ReportHeaderTables tables;
  PrepareForReport("{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red0\\green0\\blue0;}", list, tables);
  EXPECT_EQ(list.Text(), "\r\n\\pard\\cf1 Text\\par");
  EXPECT_EQ(tables.addedColours + tables.addedFonts, 0);
}

TEST(ReportPreparation, TheDocumentsGroupsAreClosedWhateverItsBraces) {
  // The document's text as the report takes it: inside its outer group, every group closed, the text kept.
  const struct {
    const char* document;
    const char* body;
  } cases[] = {
      {"{\\rtf1\\ansi Text {\\b fett\\par}", "\\ansi Text {\\b fett\\par}"},  // one brace short
      {"{\\rtf1\\ansi {\\i a{\\b b\\par", "\\ansi {\\i a{\\b b\\par}}"},      // two groups left open
      {"{\\rtf1\\ansi A}} B\\par}}", "\\ansi A B\\par"},                      // braces without a group
      {"{\\rtf1\\ansi \\{ \\} \\\\ x}", "\\ansi \\{ \\} \\\\ x"},             // escaped braces count for nothing
      {"{\\rtf1\\ansi a\\}", "\\ansi a\\}"},                                  // an escaped brace last
      {"{\\rtf1\\ansi {\\b x}\\'4", "\\ansi {\\b x}4"},                       // an escape cut short: its digit is text
      {"{\\rtf1\\ansi {\\b x}\\'e4\\", "\\ansi {\\b x}\\'e4"},                // a backslash at the end
      // cut in a picture: the picture's group is closed, the text before it stays outside it
      {"{\\rtf1\\ansi {\\pict 89}\\par Text {\\pict 50", "\\ansi {\\pict 89}\\par Text {\\pict 50}"},
  };
  for (const auto& c : cases) EXPECT_EQ(Prepared(c.document), c.body) << c.document;
}

// A word processor reads the bytes of a binary run as data and refuses a text whose run reaches past its end; the
// rich-text reader reads them as text. The report takes over no run of the body, its information or its header
// groups: a run goes with its bytes, one cut short with what its group holds after it. A picture keeps a whole run
// of plain bytes, its data.
TEST(ReportPreparation, BinaryRunsGoWithTheirBytes) {
  const char* const head = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}";
  const struct {
    const char* body;
    const char* prepared;
  } cases[] = {
      {"\\pard A \\bin3 abc B\\par}", "\\pard A  B\\par"},
      {"\\pard A\\bin5 }{x}{ B\\par}", "\\pard A B\\par"},                         // braces in the data are data
      {"\\pard A {\\b B\\bin2147483647 xyz} C\\par}", "\\pard A {\\b B} C\\par"},  // cut short: its group's rest
      {"\\pard A {\\b B\\bin40 x{y}z} C\\par}", "\\pard A {\\b B} C\\par"},
      {"{\\info{\\title T\\bin2 ab}{\\author U}}\\pard Text\\par}", "{\\info{\\title T}{\\author U}}\\pard Text\\par"},
      {"{\\header\\pard K\\bin99999 opf\\par}\\pard Text\\par}", "{\\header\\pard K}\\pard Text\\par"},
      {"{\\footer\\pard F\\bin0 \\par}\\pard Text\\par}", "{\\footer\\pard F\\par}\\pard Text\\par"},
      {"\\pard A\\bin-5 B\\par}", "\\pard AB\\par"},
      {"\\pard\\b\\bin3 xyzold\\par}", "\\pard\\b old\\par"},  // the word before it keeps apart from the text
      {"\\pard\\fs20\\bin2 xy5 mm\\par}", "\\pard\\fs20 5 mm\\par"},
      {"\\pard A\\bin", "\\pard A"},
      {"{\\pict\\pngblip\\bin4 abcd}\\pard Text\\par}", "{\\pict\\pngblip\\bin4 abcd}\\pard Text\\par"},
      {"{\\pict\\pngblip\\bin4 a}cd}\\pard Text\\par}", "{\\pict\\pngblip}\\pard Text\\par"},
      {"{\\pict\\pngblip\\bin99 ab}\\pard\\f0 Text\\par}", "{\\pict\\pngblip}\\pard\\f0 Text\\par"},
      {"{\\object{\\*\\objdata\\bin2 01}}\\pard Text\\par}", "{\\object{\\*\\objdata\\bin2 01}}\\pard Text\\par"},
      // no run made of what a cut leaves: a brace or an escape cut short between two words
      {"\\pard\\bi}n3 abc\\par}", "\\pard\\bi n3 abc\\par"},
      {"\\pard A}\\bi}n3 xyz\\par}", "\\pard A\\bi n3 xyz\\par"},
      {"\\pard\\b\\'in3 abc\\par}", "\\pard\\b in3 abc\\par"},
      // no run: a longer word, an escaped backslash
      {"\\pard \\binary x \\\\bin3 abc\\par}", "\\pard \\binary x \\\\bin3 abc\\par"},
  };
  for (const auto& c : cases) EXPECT_EQ(Prepared(head + std::string(c.body)), c.prepared) << c.body;
}

// A picture whose binary run is cut short ends where the reader ends it: the references after it are renumbered.
TEST(ReportPreparation, AReferenceAfterAPictureCutShortIsRenumbered) {
  EXPECT_EQ(Prepared("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f5\\fnil Foo;}}{\\pict\\bin999 ab}\\pard\\f5 Text\\par}",
                     "{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;}"),
            "{\\pict}\\pard\\f1 Text\\par");
}

TEST(RtfText, EscapingKeepsTextFromBecomingControlWords) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a{b}c\\d", "a\\{b\\}c\\\\d"},
      {"erf\xc3\xbcllt", "erf\\'fcllt"},
      {"\xce\xb1", "\\u945?"},
      {"\xfc", "\\'fc"},        // an older file's code page byte
      {"\xc2\x80", "\\u128?"},  // no letter of the code page: its byte 0x80 is the euro sign
      {"\xe2\x82\xac \xe2\x80\xb0", "\\'80 \\'89"},
      {"a\nb", "a\\line b"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeRtfText(c.in), c.out) << c.in;
}

}  // namespace
