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
  for (const auto& c : cases) {
    CRtfChunkList list;
    list.SetText(c.document);
    ReportHeaderTables tables;
    PrepareForReport("{\\fonttbl{\\f0 Arial;}}{\\colortbl ;}", list, tables);
    EXPECT_EQ(list.Text(), c.body) << c.document;
  }
}

TEST(RtfText, EscapingKeepsTextFromBecomingControlWords) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a{b}c\\d", "a\\{b\\}c\\\\d"},
      {"erf\xc3\xbcllt", "erf\\'fcllt"},
      {"\xce\xb1", "\\u945?"},
      {"\xfc", "\\'fc"},  // an older file's code page byte
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeRtfText(c.in), c.out) << c.in;
}

}  // namespace
