// Seeded fuzz of what a document's RTF goes through on its way into the report: the braces balanced, and the text
// fitted to the report's tables. Documents (the formula sample and texts with tables, sections, pictures and
// escapes) are garbled and cut at random places; whatever comes, the result reads whole with the rich-text reader
// inside a report, and keeps the paragraphs that stood whole before the cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "document/rtfchunks.h"
#include "document/rtfheader.h"
#include "platform/richedit/richdoc.h"
#include "tests/support/fuzz_mutate.h"

namespace {

std::string Sample() {
  std::ifstream in(std::string(KOLUMO_TEST_DATA) + "/document/formulas.rtf", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A document whose paragraphs "Absatz N" stand in plain runs, tables, sections and groups.
std::string Marked() {
  std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil Foo;}{\\f2\\ftech\\fcharset2 Symbol;}}\r\n"
      "{\\colortbl ;\\red255\\green0\\blue0;\\red1\\green2\\blue3;}\r\n"
      "{\\stylesheet{\\s0 Normal;}{\\s1\\b heading 1;}}\\viewkind4\\uc1\\pard\\f0\\fs20 ";
  const char* const forms[] = {"\\s1 Absatz %d\\par ",
                               "{\\b\\cf2 Absatz %d}\\par ",
                               "\\trowd\\cellx2000\\pard\\intbl Absatz %d\\cell\\row\\pard ",
                               "\\f1 Absatz %d\\f0\\sect ",
                               "Absatz %d {\\pict\\pngblip\\picw1\\pich1 89504e47}\\par ",
                               "\\'e4 Absatz %d \\u8364?\\par "};
  char piece[96];
  for (int n = 1; n <= 24; ++n) {
    std::snprintf(piece, sizeof piece, forms[n % std::size(forms)], n);
    rtf += piece;
  }
  return rtf + "}";
}

std::vector<std::string> Words() {
  return {"{",
          "}",
          "\\",
          "\\'",
          "\\'4",
          "\\'e4",
          "\\{",
          "\\}",
          "\\\\",
          "{\\*\\x y}",
          "{\\sect A}",
          "{\\sectd C}",
          "{\\pgnrestart D}",
          "{\\foo E}",
          "{\\pict 00",
          "{\\object{\\*\\objdata 01}",
          "{\\fonttbl{\\f9 X;}}",
          "{\\fonttbl{\\fnil Foo;}",
          "{\\fonttbl{\\f0\\f\\bin99 swiss Arial;}",
          "\\bin9 ",
          "\\bin2147483647 ",
          "{\\pict\\bin4 a}b}",
          "{\\colortbl ;\\red1\\'4;",
          "\\f99 ",
          "\\cf77 ",
          "\\s5 ",
          "/*",
          "*/",
          "[Seitenumbruch]",
          "\\trowd",
          "\\cell",
          "\\row",
          "\\par",
          "\\u-5?",
          "{\\*\\generator Msftedit 5;}",
          std::string("\0", 1),
          "\r\n"};
}

const char* const kReportHead =
    "{\\fonttbl{\\f0\\fswiss Arial;}{\\f2\\ftech Symbol;}}{\\colortbl ;\\red0\\green0\\blue0;}";

// The report around the prepared document, as the report writer puts it in a group of its own. A style written
// without its group (as a document may have it) keeps apart from the table's word.
std::string ReportOf(const std::string& prepared, const ReportHeaderTables& tables) {
  std::string fonts, colours, styles;
  for (int i = 0; i < tables.fonts.GetCount(); ++i) fonts += tables.fonts.GetEntry(i);
  for (int i = 0; i < tables.colours.GetCount(); ++i) colours += tables.colours.GetEntry(i);
  for (int i = 0; i < tables.styles.GetCount(); ++i) styles += tables.styles.GetEntry(i);
  return "{\\rtf1{\\fonttbl" + fonts + "}{\\colortbl " + colours + "}{\\stylesheet " + styles + "}Anfang\\par{" +
         prepared + "}Ende\\par}";
}

// Where the text holds a binary run that a word processor reads otherwise than the rich-text reader: any outside a
// picture or object, or one there whose count reaches past the text or whose bytes hold braces or backslashes; npos
// when it holds none.
std::size_t BinaryRunOutsidePictures(const std::string& text) {
  const auto pictures = OpaqueGroups(text);
  for (std::size_t p = text.find("\\bin"); p != std::string::npos; p = text.find("\\bin", p + 1)) {
    std::size_t slashes = 0;
    while (slashes < p && text[p - slashes - 1] == '\\') ++slashes;
    if (slashes % 2 == 1 || (p + 4 < text.size() && std::isalpha(static_cast<unsigned char>(text[p + 4])))) continue;
    const auto in =
        std::find_if(pictures.begin(), pictures.end(), [&](const auto& g) { return g.first < p && p < g.second; });
    char* after = const_cast<char*>(text.c_str() + p + 4);
    const bool number = p + 4 < text.size() && (std::isdigit(static_cast<unsigned char>(*after)) || *after == '-');
    const long long count = number ? std::strtoll(after, &after, 10) : 0;
    std::size_t data = std::size_t(after - text.c_str());
    if (data < text.size() && text[data] == ' ') ++data;
    if (in == pictures.end() || count < 0 || std::size_t(count) > in->second - data ||
        text.find_first_of("{}\\", data) < data + std::size_t(count))
      return p;
  }
  return std::string::npos;
}

TEST(RtfPrepareFuzz, ABalancedTextReadsWholeAndBalancingTwiceChangesNothing) {
  const std::vector<std::string> seeds{Sample(), Marked()}, words = Words();
  fuzz::RunCases(100, [&](unsigned seed) {
    fuzz::Mutator m(seed);
    std::string text = m.Mutate(seeds[m.Pick(seeds.size())], words, 8);
    text.resize(m.Pick(text.size() + 1));
    const std::string balanced = BalancedRtf(text);
    EXPECT_EQ(BalancedRtf(balanced), balanced);
    richdoc::Document d;
    // In a report it stands after the report's own text, in a group of its own.
    EXPECT_NO_THROW(d.ReadRtf("{\\rtf1 Anfang\\par{" + balanced + "}Ende\\par}")) << text;
    EXPECT_NE(d.text.find("Ende\r"), std::string::npos) << text;
  });
}

TEST(RtfPrepareFuzz, APreparedDocumentReadsWholeInTheReportAndKeepsItsParagraphs) {
  const std::string marked = Marked(), sample = Sample();
  const std::vector<std::string> words = Words();
  fuzz::RunCases(200, [&](unsigned seed) {
    fuzz::Mutator m(seed);
    const bool garbled = m.Chance(2);
    std::string document = m.Chance(3) ? sample : marked;
    if (garbled) document = m.Mutate(document, words, 6);
    const std::size_t cut = m.Pick(document.size() + 1);
    document.resize(cut);
    CRtfChunkList list;
    list.SetText(document);
    ReportHeaderTables tables;
    PrepareForReport(kReportHead, list, tables);
    const std::string report = ReportOf(list.Text(), tables);
    richdoc::Document d;
    ASSERT_NO_THROW(d.ReadRtf(report)) << document;
    EXPECT_EQ(d.text.compare(0, 7, "Anfang\r"), 0) << document;
    EXPECT_NE(d.text.find("Ende\r"), std::string::npos) << document;
    EXPECT_EQ(BinaryRunOutsidePictures(list.Text()), std::string::npos) << document << "\n" << list.Text();
    if (garbled) return;
    // A paragraph whose words stand whole before the cut is in the report.
    char mark[32];
    for (int n = 1; n <= 24; ++n) {
      std::snprintf(mark, sizeof mark, "Absatz %d", n);
      const std::size_t at = document.find(mark);
      const std::size_t after = at + std::strlen(mark);
      if (at == std::string::npos || after >= document.size() || std::isdigit(document[after])) continue;
      EXPECT_NE(d.text.find(mark), std::string::npos) << mark << " lost, cut at " << cut << ":\n" << list.Text();
    }
  });
}

}  // namespace
