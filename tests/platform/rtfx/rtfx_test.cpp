#include "platform/rtfx/rtfx.h"
#include "platform/win/resources/resources.h"
#include "tests/support/emf_sample.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Checks that the groups balance and returns every control word, in order.
std::vector<std::string> ControlWords(const std::string& rtf, bool& balanced) {
  std::vector<std::string> words;
  int depth = 0;
  balanced = true;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    char c = rtf[i];
    if (c == '{') ++depth;
    if (c == '}' && --depth < 0) balanced = false;
    if (c == '\\' && i + 1 < rtf.size()) {
      char n = rtf[i + 1];
      if (std::isalpha(static_cast<unsigned char>(n))) {
        std::size_t j = i + 1;
        while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
        words.push_back(rtf.substr(i + 1, j - i - 1));
        i = j - 1;
      } else {
        ++i;  // control symbol such as \' \{ \} \\ \*
      }
    }
  }
  if (depth != 0) balanced = false;
  return words;
}

const std::set<std::string> kKnownWords = {
    "rtf",       "ansi",       "ansicpg",  "deff",     "deflang", "fonttbl", "f",          "fswiss",     "froman",
    "ftech",     "fmodern",    "fcharset", "colortbl", "red",     "green",   "blue",       "stylesheet", "s",
    "ql",        "qc",         "qr",       "sb",       "sa",      "fs",      "b",          "i",          "ul",
    "keepn",     "paperw",     "paperh",   "margl",    "margr",   "margt",   "margb",      "headery",    "footery",
    "pgnstarts", "pgnrestart", "pgnstart", "sectd",    "header",  "footer",  "pard",       "plain",      "tqr",
    "tx",        "tab",        "field",    "fldinst",  "fldrslt", "par",     "brdrb",      "brdrs",      "brdrw",
    "trowd",     "trgaph",     "trleft",   "trhdr",    "trkeep",  "clbrdrt", "clbrdrl",    "clbrdrb",    "clbrdrr",
    "cellx",     "intbl",      "cell",     "row",      "pict",    "pngblip", "picw",       "pich",       "picwgoal",
    "pichgoal",  "line",       "u",        "uc",       "sub",     "super",   "nosupersub", "cf",         "page",
    "PAGE",      "NUMPAGES"};

class RtfxTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) / ("rtfx_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    setenv("ORMI_RTFX_SETTINGS", (dir_ / "rtfx.ini").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("ORMI_RTFX_SETTINGS");
    fs::remove_all(dir_);
  }

  fs::path MakePng(int w, int h) {
    fs::path p = dir_ / "bild.png";
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_write_to_png(s, p.c_str());
    cairo_surface_destroy(s);
    return p;
  }

  // A report as the column report writes one: header block, headings, a table with header row, a picture.
  std::string WriteReport(const fs::path& file) {
    RTFX_NewDocument();
    RTFX_SetOutputFile(file.c_str());
    const char block[] = "Name=TQ-Kolumo\0Titel=Stahlbetonstütze\0Version=V 1.00\0@T=Pos. 12\0";
    EXPECT_TRUE(RTFX_BeginDocument("", 0, 0, 3, block));
    RTFX_Paragraph(-2, "Eingabedaten Ortbetonstütze");
    RTFX_Paragraph(-3, "\\b Querschnitte");
    RTFX_Paragraph(0, "Durchmesser {\\f2 \xC3\x86} = 40 cm, \xCE\xB1 = 0.5, Bewehrung A{\\sub s}");
    const double widths[] = {2.0, 4.0, 4.0};
    RTFX_BeginTable(3, widths);
    RTFX_HeaderRow(1);
    RTFX_Text("Feld");
    RTFX_Text("N [kN]");
    RTFX_Text("M [kNm]");
    RTFX_HeaderRow(0);
    RTFX_CellInt("@0", 1);
    RTFX_CellDouble("@2", -1234.5678);
    RTFX_CellFloat("@1", 12.25f);
    RTFX_CellInt("@0", 2);
    RTFX_CellDouble("@3", 0.5);
    RTFX_Text("");
    RTFX_CellInt("@0", 3);
    RTFX_CellDouble("@3", -0.0004);
    RTFX_Text("");
    RTFX_EndTable();
    RTFX_Paragraph(0, " ");
    RTFX_Picture(MakePng(200, 100).c_str(), 1, 10.0, 0.0);
    RTFX_Paragraph(-12, "Bild 1");
    EXPECT_TRUE(RTFX_EndDocument(0));
    return ReadAll(file);
  }

  fs::path dir_;
};

TEST_F(RtfxTest, ReportIsBalancedSevenBitRtfWithKnownControlWords) {
  std::string rtf = WriteReport(dir_ / "bericht.rtf");
  ASSERT_FALSE(rtf.empty());
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  bool balanced = false;
  for (const std::string& w : ControlWords(rtf, balanced)) EXPECT_TRUE(kKnownWords.count(w)) << "unknown \\" << w;
  EXPECT_TRUE(balanced);
  for (unsigned char c : rtf) ASSERT_LT(c, 0x80) << "8-bit character in the RTF";
}

TEST_F(RtfxTest, TextsAreEscapedForWindows1252AndUnicode) {
  std::string rtf = WriteReport(dir_ / "bericht.rtf");
  EXPECT_NE(rtf.find("Ortbetonst\\'fctze"), std::string::npos);  // ü = 0xFC
  // The Symbol font's diameter sign goes out as Unicode U+2205 with its raw code 0xC6 as the fallback; Greek alpha
  // outside 1252 becomes \u945?.
  EXPECT_NE(rtf.find("{\\f2 {\\uc1\\u8709 \\'c6}}"), std::string::npos);
  EXPECT_NE(rtf.find("\\u945?"), std::string::npos);
  EXPECT_NE(rtf.find("A{\\sub s}"), std::string::npos);
  EXPECT_NE(rtf.find("TQ-Kolumo"), std::string::npos);
  EXPECT_NE(rtf.find("Pos. 12"), std::string::npos);
  EXPECT_NE(rtf.find("\\pgnstarts3"), std::string::npos);
}

// Letters in the Symbol font become their Greek code points (Unicode table: alpha 945, epsilon 949, theta 952,
// psi 968, Gamma 915) with the Symbol letter as the one fallback character; the Symbol font ends with its group or
// another font. Other control words, "\f22" and escaped braces change nothing.
TEST(RtfxEscape, SymbolLettersGoOutAsUnicodeWithTheSymbolFallback) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"{\\f2 e}{\\sub c2}", "{\\f2 {\\uc1\\u949 e}}{\\sub c2}"},
      {"{\\f2 q}\\sub y", "{\\f2 {\\uc1\\u952 q}}\\sub y"},
      {"\\f2 a\\f0 a", "\\f2 {\\uc1\\u945 a}\\f0 a"},
      {"{\\f2 y} : y", "{\\f2 {\\uc1\\u968 y}} : y"},
      {"{\\f2 {\\sub G}}", "{\\f2 {\\sub {\\uc1\\u915 G}}}"},
      {"{\\f2 e\\}e}e", "{\\f2 {\\uc1\\u949 e}\\}{\\uc1\\u949 e}}e"},
      {"\\f22 e \\fs20 e", "\\f22 e \\fs20 e"},
      {"{\\f2 1 }", "{\\f2 1 }"},
  };
  for (const auto& c : cases) EXPECT_EQ(rtfx::EscapeText(c.in), c.out) << c.in;
}

// Characters beyond Windows-1252 go out as signed 16-bit Unicode escapes with '?' as the fallback: Zhe 1046, o with
// double acute 337, the CJK "middle" 20013, and U+1F600 as the surrogate pair D83D DE00 (-10179, -8704).
TEST(RtfxEscape, CharactersBeyondTheCodePageGoOutAsUnicodeEscapes) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"Жő", "\\u1046?\\u337?"},
      {"中 ü", "\\u20013? \\'fc"},
      {"\xf0\x9f\x98\x80x", "\\u-10179?\\u-8704?x"},
  };
  for (const auto& c : cases) EXPECT_EQ(rtfx::EscapeText(c.in), c.out) << c.in;
}

TEST_F(RtfxTest, TablesHaveRepeatedHeaderRowsAndFormattedNumbers) {
  std::string rtf = WriteReport(dir_ / "bericht.rtf");
  // One header row (marked to repeat), two body rows.
  std::size_t rows = 0, headers = 0;
  for (std::size_t p = 0; (p = rtf.find("\\trowd", p)) != std::string::npos; ++p) ++rows;
  for (std::size_t p = 0; (p = rtf.find("\\trhdr", p)) != std::string::npos; ++p) ++headers;
  EXPECT_EQ(rows, 4u);
  EXPECT_EQ(headers, 1u);
  EXPECT_NE(rtf.find("-1234.57\\cell"), std::string::npos);
  EXPECT_NE(rtf.find("12.2\\cell"), std::string::npos);  // 12.25 rounds half to even in binary: 12.2
  EXPECT_NE(rtf.find("0.500\\cell"), std::string::npos);
  EXPECT_NE(rtf.find(" 0.000\\cell"), std::string::npos);  // -0.0004 at three decimals carries no sign
  // Column edges: 2, 6 and 10 cm in twips (1 cm = 567 twips).
  EXPECT_NE(rtf.find("\\cellx1134"), std::string::npos);
  EXPECT_NE(rtf.find("\\cellx3402"), std::string::npos);
  EXPECT_NE(rtf.find("\\cellx5669"), std::string::npos);
}

// The rows of one table in the written order, each with whether its paragraphs keep with the next and whether it
// repeats as a header; the paragraphs before the table likewise.
struct Row {
  bool header, keep;
};
std::vector<Row> TableRows(const std::string& rtf) {
  std::vector<Row> rows;
  for (std::size_t p = 0; (p = rtf.find("\\trowd", p)) != std::string::npos; ++p) {
    const std::size_t end = rtf.find("\\row", p + 6);
    const std::string row = rtf.substr(p, end - p);
    rows.push_back({row.find("\\trhdr") != std::string::npos, row.find("\\keepn") != std::string::npos});
  }
  return rows;
}

// A picture followed by its caption keeps with it, so that no reader leaves the caption alone at the head of a page;
// a picture followed by anything else, and a caption after something else, keep nothing.
TEST_F(RtfxTest, APictureKeepsWithItsCaption) {
  const struct {
    const char* name;
    int after;  // the level of the paragraph written right after the picture
    bool kept;  // the picture's paragraph keeps with the next
  } cases[] = {{"a caption", -12, true}, {"body text", 0, false}, {"a table heading", -5, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RTFX_NewDocument();
    const fs::path file = dir_ / "bild.rtf";
    RTFX_SetOutputFile(file.c_str());
    ASSERT_TRUE(RTFX_BeginDocument("", 0, 0, 1, "Name=TQ-Kolumo\0\0"));
    RTFX_Paragraph(0, "vor dem Bild");
    RTFX_Picture(MakePng(20, 10).c_str(), 1, 2.0, 0.0);
    RTFX_Paragraph(c.after, "Bewehrung");
    RTFX_Paragraph(0, "danach");
    RTFX_Paragraph(-12, "ohne Bild");
    ASSERT_TRUE(RTFX_EndDocument(0));
    const std::string rtf = ReadAll(file);
    const std::size_t pict = rtf.find("{\\pict");
    ASSERT_NE(pict, std::string::npos);
    const std::size_t pard = rtf.rfind("\\pard", pict);
    EXPECT_EQ(rtf.substr(pard, pict - pard).find("\\keepn") != std::string::npos, c.kept)
        << rtf.substr(pard, pict - pard);
    // the paragraphs after it keep nothing
    for (const char* text : {"danach", "ohne Bild"}) {
      const std::size_t at = rtf.find(text);
      ASSERT_NE(at, std::string::npos);
      EXPECT_EQ(rtf.substr(rtf.rfind("\\pard", at), at - rtf.rfind("\\pard", at)).find("\\keepn"), std::string::npos)
          << text;
    }
  }
}

TEST_F(RtfxTest, ATableIsKeptWithItsLeadInAndHeaderRowsOnOnePage) {
  // Every row keeps with the next but the last: a table that fits on a page is not split, its header rows
  // stay with the first body row; the title and text lines before it keep with it, the text before a picture
  // does not.
  RTFX_NewDocument();
  const fs::path file = dir_ / "seiten.rtf";
  RTFX_SetOutputFile(file.c_str());
  ASSERT_TRUE(RTFX_BeginDocument("", 0, 0, 1, "Name=TQ-Kolumo\0\0"));
  RTFX_Paragraph(0, "vor dem Bild");
  RTFX_Picture(MakePng(20, 10).c_str(), 1, 2.0, 0.0);
  RTFX_Paragraph(-5,
                 "Stabschnittkr\xC3\xA4"
                 "fte");
  RTFX_Paragraph(0, "");
  RTFX_Paragraph(0, "Knickfiguren");
  const double widths[] = {2.0, 2.0};
  RTFX_BeginTable(2, widths);
  RTFX_HeaderRow(1);
  RTFX_Text("Kote h");
  RTFX_Text("N");
  RTFX_Text("[m]");
  RTFX_Text("[kN]");
  RTFX_HeaderRow(0);
  for (int i = 0; i < 3; ++i) {
    RTFX_CellDouble("@2", i);
    RTFX_CellDouble("@2", -100.0 * i);
  }
  RTFX_EndTable();
  ASSERT_TRUE(RTFX_EndDocument(0));
  const std::string rtf = ReadAll(file);

  const std::vector<Row> rows = TableRows(rtf);
  ASSERT_EQ(rows.size(), 5u);
  const bool header[] = {true, true, false, false, false}, keep[] = {true, true, true, true, false};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].header, header[i]) << "row " << i;
    EXPECT_EQ(rows[i].keep, keep[i]) << "row " << i;
  }
  EXPECT_EQ(rtf.find("\\trowd\\trgaph70\\trleft0\\trhdr"), std::string::npos) << "a row that may split";
  auto paragraph = [&](const std::string& text) {
    const std::size_t at = rtf.find(text);
    return at == std::string::npos ? std::string() : rtf.substr(rtf.rfind("\\pard", at), at - rtf.rfind("\\pard", at));
  };
  EXPECT_EQ(paragraph("vor dem Bild").find("\\keepn"), std::string::npos);
  EXPECT_NE(paragraph("Stabschnittkr").find("\\keepn"), std::string::npos);
  EXPECT_NE(paragraph("Knickfiguren").find("\\keepn"), std::string::npos);
  // the empty line between title and text line keeps as well, or the title could end a page
  const std::size_t leer = rtf.find("\\par", rtf.find("Stabschnittkr"));
  const std::size_t leerAt = rtf.find("\\pard", leer);
  EXPECT_NE(rtf.substr(leerAt, rtf.find(' ', leerAt) - leerAt).find("\\keepn"), std::string::npos);
}

TEST_F(RtfxTest, ThePageHeaderNamesThePositionTheDateAndPageOfPages) {
  RTFX_NewDocument();
  const fs::path file = dir_ / "kopf.rtf";
  RTFX_SetOutputFile(file.c_str());
  const char block[] =
      "Name=TQ-Kolumo\0Titel=St\xC3\xBC"
      "tze\0Version=V 1.00\0Position=Stuetze\0"
      "Bezeichnung=St\xC3\xBC"
      "tze B/3\0";
  ASSERT_TRUE(RTFX_BeginDocument("", 0, 0, 1, block));
  RTFX_Paragraph(0, "Text");
  const std::time_t now = std::time(nullptr);
  ASSERT_TRUE(RTFX_EndDocument(0));
  const std::string rtf = ReadAll(file);
  const std::string header = rtf.substr(rtf.find("{\\header"), rtf.find("Text") - rtf.find("{\\header"));
  std::tm local{};
  localtime_r(&now, &local);
  char today[16];
  std::strftime(today, sizeof today, "%d.%m.%Y", &local);
  for (const std::string& part :
       std::vector<std::string>{"Seite {\\field{\\*\\fldinst PAGE}", "von {\\field{\\*\\fldinst NUMPAGES}",
                                "Position Stuetze - St\\'fctze B/3", today})
    EXPECT_NE(header.find(part), std::string::npos) << part << " not in\n" << header;
}

// The program's name keeps its italic letter ("TQ-\i S\i0 krib" of the document part) as markup, closed in a group of
// its own; any other backslash or brace in it, and every character of a typed field, is text.
TEST_F(RtfxTest, TheProgramNameKeepsItsItalicLetterAndTypedFieldsAreText) {
  const struct {
    std::string name;
    std::string printed;
  } cases[] = {
      {"TQ-\\i S\\i0 krib", "{TQ-\\i S\\i0 krib}"},
      {"TQ-KOLUMO", "{TQ-KOLUMO}"},
      {"\\iS\\i0", "{\\\\iS\\i0 }"},              // "\iS" is no italic switch: a word of its own
      {"A\\i", "{A\\i }"},                        // a switch at the end
      {"B\\b {x}", "{B\\\\b \\{x\\}}"},           // bold is not the program's: text
      {"\\i0}{\\rtf1", "{\\i0 \\}\\{\\\\rtf1}"},  // a brace never ends the header
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RTFX_NewDocument();
    const fs::path file = dir_ / "name.rtf";
    RTFX_SetOutputFile(file.c_str());
    const std::string block = "Name=" + c.name + '\0' + "Titel=Skrib" + '\0' + "Position=Pos \\i {1}" + '\0' + '\0';
    ASSERT_TRUE(RTFX_BeginDocument("", 0, 0, 1, block.c_str()));
    RTFX_Paragraph(0, "Text");
    ASSERT_TRUE(RTFX_EndDocument(0));
    const std::string rtf = ReadAll(file);
    bool balanced = false;
    ControlWords(rtf, balanced);
    EXPECT_TRUE(balanced);
    EXPECT_NE(rtf.find("\\tx9638 " + c.printed + "  Skrib\\tab"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("Position Pos \\\\i \\{1\\}\\tab"), std::string::npos) << rtf;
  }
}

TEST_F(RtfxTest, WideTablesAreScaledToThePageWidth) {
  fs::path file = dir_ / "breit.rtf";
  ASSERT_TRUE(RTFX_BeginBlock(file.c_str(), 0, 1, 0, "nologo"));
  const double widths[] = {10.0, 10.0, 14.0};  // 34 cm on a 17 cm text width
  RTFX_BeginTable(3, widths);
  RTFX_HeaderRow(0);
  RTFX_Text("a");
  RTFX_Text("b");
  RTFX_Text("c");
  RTFX_EndTable();
  ASSERT_TRUE(RTFX_EndDocument(0));
  std::string rtf = ReadAll(file);
  EXPECT_NE(rtf.find("\\cellx2835"), std::string::npos);  // 5 cm
  EXPECT_NE(rtf.find("\\cellx9638"), std::string::npos);  // 17 cm
  EXPECT_EQ(rtf.find("{\\header"), std::string::npos);    // "nologo"
}

TEST_F(RtfxTest, PicturesAreEmbeddedAsPngKeepingProportions) {
  std::string rtf = WriteReport(dir_ / "bericht.rtf");
  EXPECT_NE(rtf.find("\\pngblip\\picw200\\pich100\\picwgoal5669\\pichgoal2835"), std::string::npos);
  EXPECT_NE(rtf.find("89504e47"), std::string::npos);  // PNG signature as hex
}

// An enhanced metafile goes in as it is: its bytes as hexadecimal after \emfblip, its frame as \picw and \pich (in
// 0.01 mm), the name it is known by as its description; without a size asked for it takes its frame's (50 mm =
// 5 cm = 2835 twips, 25 mm = 1417.3 -> 1417 twips); a width alone keeps its proportions (8 cm = 4535 twips, 4 cm =
// 2268 twips). A picture of no known kind (GIF) is left out with the reason.
TEST_F(RtfxTest, AnEnhancedMetafileIsEmbeddedAsItIsAndAnUnknownPictureIsRefused) {
  const std::vector<unsigned char> emf = test_support::SmallEmf();
  const fs::path scratch = dir_ / "temp1234.emf", gif = dir_ / "temp5678.gif";
  std::ofstream(scratch, std::ios::binary)
      .write(reinterpret_cast<const char*>(emf.data()), std::streamsize(emf.size()));
  std::ofstream(gif, std::ios::binary) << "GIF89a\x01\x00\x01\x00\x00\x00\x00;";
  const fs::path file = dir_ / "emf.rtf";
  ASSERT_TRUE(RTFX_BeginBlock(file.c_str(), 0, 1, 0, "nologo"));
  EXPECT_EQ(rtfx::Picture(scratch.c_str(), "Grundriss {alt}.emf", 0.0, 0.0), "");
  EXPECT_EQ(rtfx::Picture(scratch.c_str(), nullptr, 8.0, 0.0), "");
  const std::string why = rtfx::Picture(gif.c_str(), "plan.gif", 8.0, 0.0);
  EXPECT_NE(why.find("Bildformat nicht lesbar"), std::string::npos) << why;
  ASSERT_TRUE(RTFX_EndDocument(0));
  const std::string rtf = ReadAll(file);
  std::string hex;
  for (unsigned char c : emf) {
    static const char digits[] = "0123456789abcdef";
    hex += digits[c >> 4];
    hex += digits[c & 0xF];
  }
  EXPECT_NE(rtf.find("{\\pict{\\*\\picprop{\\sp{\\sn wzDescription}{\\sv Grundriss \\{alt\\}.emf}}}\\emfblip"
                     "\\picw5000\\pich2500\\picwgoal2835\\pichgoal1417\r\n" +
                     hex.substr(0, 128) + "\r\n" + hex.substr(128, 128) + "\r\n" + hex.substr(256) + "}"),
            std::string::npos)
      << rtf;
  // a file that has no other name shows its own
  EXPECT_NE(rtf.find("{\\sv temp1234.emf}}}\\emfblip\\picw5000\\pich2500\\picwgoal4535\\pichgoal2268"),
            std::string::npos);
  EXPECT_EQ(rtf.find("4749463839"), std::string::npos);  // "GIF89" as hex: nothing of it
  bool balanced = false;
  ControlWords(rtf, balanced);
  EXPECT_TRUE(balanced);
}

TEST_F(RtfxTest, AFailedWriteIsReportedAndLeavesNoFile) {
  fs::path file = dir_ / "fehlt" / "bericht.rtf";
  RTFX_NewDocument();
  RTFX_SetOutputFile(file.c_str());
  RTFX_BeginDocument("", 0, 0, 1, "Name=x\0\0");
  RTFX_Paragraph(0, "Text");
  EXPECT_FALSE(RTFX_EndDocument(0));
  EXPECT_NE(std::string(RTFX_GetLastError()).find("bericht.rtf"), std::string::npos);
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(fs::exists(dir_ / "fehlt"));
  // A document that was never begun is not written either.
  RTFX_NewDocument();
  EXPECT_FALSE(RTFX_EndDocument(0));
}

TEST_F(RtfxTest, IncludedRtfFileContributesItsBodyOnly) {
  fs::path part = dir_ / "vardef.tmp.rtf";
  ASSERT_TRUE(RTFX_BeginBlock(part.c_str(), 0, 1, 0, "nologo"));
  RTFX_Text("\\ql\\cf2 h = 2*b = 0.60\\cf1  m");
  ASSERT_TRUE(RTFX_EndDocument(0));
  std::string partText = ReadAll(part);
  EXPECT_NE(partText.find("\\red0\\green0\\blue255"), std::string::npos);  // colour 2, rewritten by others

  fs::path file = dir_ / "gesamt.rtf";
  RTFX_NewDocument();
  RTFX_SetOutputFile(file.c_str());
  RTFX_BeginDocument("", 0, 0, 1, "Name=x\0\0");
  RTFX_Paragraph(-2, "Vorher");
  RTFX_InsertRtfFile(part.c_str(), "", 10, 0);
  RTFX_Paragraph(-2, "Nachher");
  ASSERT_TRUE(RTFX_EndDocument(0));
  std::string rtf = ReadAll(file);
  bool balanced = false;
  ControlWords(rtf, balanced);
  EXPECT_TRUE(balanced);
  auto before = rtf.find("Vorher"), value = rtf.find("h = 2*b = 0.60"), after = rtf.find("Nachher");
  EXPECT_LT(before, value);
  EXPECT_LT(value, after);
  std::size_t fonttables = 0;
  for (std::size_t p = 0; (p = rtf.find("\\fonttbl", p)) != std::string::npos; ++p) ++fonttables;
  EXPECT_EQ(fonttables, 1u);
}

TEST_F(RtfxTest, SettingsPersistAndKeepDefaults) {
  char buffer[255] = "Vorgabe";
  EXPECT_FALSE(RTFX_Settings("gets/Lister", buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "Vorgabe");
  char value[255] = "Ing.-Büro Muster\nZeile 2";
  EXPECT_TRUE(RTFX_Settings("sets/Lister", value, sizeof value));
  char back[255] = "";
  EXPECT_TRUE(RTFX_Settings("gets/Lister", back, sizeof back));
  EXPECT_STREQ(back, "Ing.-Büro Muster\nZeile 2");
  EXPECT_FALSE(RTFX_Settings("Lister", back, sizeof back));
  char small[4] = "";
  EXPECT_TRUE(RTFX_Settings("gets/Lister", small, sizeof small));
  EXPECT_STREQ(small, "Ing");
}

TEST_F(RtfxTest, OfficeSuiteTurnsTheReportIntoAPdfWithItsText) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
  fs::path file = dir_ / "bericht.rtf";
  WriteReport(file);
  std::string cmd = "cd '" + dir_.string() + "' && soffice --headless --convert-to pdf bericht.rtf >/dev/null 2>&1" +
                    " && pdftotext -layout bericht.pdf bericht.txt";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::string text = ReadAll(dir_ / "bericht.txt");
  EXPECT_NE(text.find("Eingabedaten Ortbetonstütze"), std::string::npos);
  EXPECT_NE(text.find("TQ-Kolumo"), std::string::npos);
  EXPECT_NE(text.find("-1234.57"), std::string::npos);
  EXPECT_NE(text.find("Bild 1"), std::string::npos);
}

}  // namespace

// A bitmap resource of the window system is embedded as PNG at the size asked for; an unknown one is reported.
TEST_F(RtfxTest, ABitmapResourceIsEmbeddedFromTheWindowSystem) {
  win::res::RegisterBitmap(26901, 40, 20, [](cairo_t* cr, int w, int h) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, 0, 0, w / 2.0, h);
    cairo_fill(cr);
  });
  fs::path file = dir_ / "ressource.rtf";
  ASSERT_TRUE(RTFX_BeginBlock(file.c_str(), 0, 1, 0, "nologo"));
  RTFX_ResourcePicture(nullptr, 26901, 6.0, 3.0, 0, 0, 0);
  RTFX_ResourcePicture(nullptr, 26902, 6.0, 6.0, 0, 0, 0);
  EXPECT_NE(std::string(RTFX_GetLastError()).find("26902"), std::string::npos);
  ASSERT_TRUE(RTFX_EndDocument(0));
  std::string rtf = ReadAll(file);
  // 6 cm = 3402 twips (6 / 2.54 * 1440), 3 cm = 1701 twips.
  EXPECT_NE(rtf.find("\\pngblip\\picw40\\pich20\\picwgoal3402\\pichgoal1701"), std::string::npos);
  EXPECT_EQ(rtf.find("\\pngblip", rtf.find("\\pngblip") + 1), std::string::npos) << "the unknown one adds nothing";
}

// Every picture the document could not take stays named with its reason until the document is written, whatever
// went in or failed after it (the last error is the last failure's only): a file that is not there, one of no known
// kind in a table cell, one above the stated size, a resource that is not there and one that cannot be drawn (which
// says so rather than that it is not there). A document written without one keeps its reason as the last error;
// one written with every picture clears it.
TEST_F(RtfxTest, EveryPictureLeftOutStaysNamedWithItsReasonUntilTheDocumentIsWritten) {
  const fs::path missing = dir_ / "fehlt.png", gif = dir_ / "plan.gif", large = dir_ / "gross.png";
  const fs::path good = dir_ / "bild.png", file = dir_ / "bilder.rtf";
  std::ofstream(gif, std::ios::binary) << "GIF89a\x01\x00\x01\x00\x00\x00\x00;";
  std::ofstream(large, std::ios::binary) << "x";
  fs::resize_file(large, std::uintmax_t(rtfx::kMostPictureBytes) + 1);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 20, 10);
  ASSERT_EQ(cairo_surface_write_to_png(surface, good.c_str()), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(surface);
  // a painter that leaves its context in error, as a drawing that fails for a reason other than memory does
  win::res::RegisterBitmap(26903, 40, 20, [](cairo_t* cr, int, int) { cairo_scale(cr, 0.0, 0.0); });

  ASSERT_TRUE(RTFX_BeginBlock(file.c_str(), 0, 1, 0, "nologo"));
  RTFX_Picture(missing.c_str(), 1, 5.0, 0.0);
  RTFX_Paragraph(0, "Text");
  const double widths[] = {5.0, 5.0};
  RTFX_BeginTable(2, widths);
  RTFX_CellPicture(gif.c_str(), 1, 5.0, 0.0);
  RTFX_CellPicture(good.c_str(), 1, 5.0, 0.0);
  RTFX_EndTable();
  EXPECT_NE(rtfx::Picture(large.c_str(), "foto.png", 5.0, 0.0), "");
  RTFX_ResourcePicture(nullptr, 26902, 6.0, 6.0, 0, 0, 0);
  RTFX_ResourcePicture(nullptr, 26903, 6.0, 3.0, 0, 0, 0);
  EXPECT_EQ(rtfx::Picture(good.c_str(), nullptr, 5.0, 0.0), "");
  const std::vector<std::string> leftOut = rtfx::PicturesLeftOut();
  ASSERT_EQ(leftOut.size(), 5u);
  EXPECT_EQ(leftOut[0], "Bilddatei nicht lesbar: " + missing.string());
  EXPECT_EQ(leftOut[1], "Bildformat nicht lesbar: " + gif.string());
  EXPECT_EQ(leftOut[2], "Bild zu groß: 16,1 MB, im Bericht höchstens 16 MB je Bild: " + large.string());
  EXPECT_EQ(leftOut[3], "Bildressource 26902 nicht gefunden.");
  EXPECT_EQ(leftOut[4].rfind("Bildressource 26903 nicht darstellbar: ", 0), 0u) << leftOut[4];
  EXPECT_EQ(RTFX_GetLastError(), leftOut[4]);
  ASSERT_TRUE(RTFX_EndDocument(0));
  EXPECT_TRUE(rtfx::PicturesLeftOut().empty());
  EXPECT_EQ(RTFX_GetLastError(), leftOut[4]);
  // the two that went in, and nothing of the others
  const std::string rtf = ReadAll(file);
  std::size_t pictures = 0;
  for (std::size_t at = rtf.find("{\\pict"); at != std::string::npos; at = rtf.find("{\\pict", at + 1)) ++pictures;
  EXPECT_EQ(pictures, 2u);

  // a document begun anew starts without them
  ASSERT_TRUE(RTFX_BeginBlock(file.c_str(), 0, 1, 0, "nologo"));
  RTFX_Picture(missing.c_str(), 1, 5.0, 0.0);
  ASSERT_TRUE(RTFX_BeginBlock(file.c_str(), 0, 1, 0, "nologo"));
  EXPECT_TRUE(rtfx::PicturesLeftOut().empty());
  RTFX_Picture(good.c_str(), 1, 5.0, 0.0);
  ASSERT_TRUE(RTFX_EndDocument(0));
  EXPECT_STREQ(RTFX_GetLastError(), "");
}

namespace {

// A PNG file of signature and header only, claiming the size given.
void WritePngHeader(const fs::path& file, std::uint32_t w, std::uint32_t h) {
  unsigned char png[24] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<unsigned char>(w >> (24 - 8 * i));
    png[20 + i] = static_cast<unsigned char>(h >> (24 - 8 * i));
  }
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(png), sizeof png);
}

// The number after the control word in the text, as written (digits only); empty when the word is missing.
std::string NumberAfter(const std::string& rtf, const std::string& word) {
  const std::size_t at = rtf.find("\\" + word);
  if (at == std::string::npos) return {};
  std::size_t end = at + 1 + word.size();
  while (end < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[end]))) ++end;
  return rtf.substr(at + 1 + word.size(), end - at - 1 - word.size());
}

}  // namespace

// A picture header may claim any size, and a damaged position any width: every size written stays within RTF's
// 32-bit numbers, the goal sizes within the 22 inches (31680 twips) a word processor keeps, the proportions kept.
// 2^31-1 pixels at 96 dpi are 56.8 km: the larger side becomes 31680 twips, the other its share of it
// (31680 * 1000 / 2147483647 = 0.0148 -> at least 1 twip; 31680 * 1/2 = 15840). A width that is no number takes the
// picture's own size: 15 twips a pixel at 96 dpi.
TEST_F(RtfxTest, PictureSizesStayWithinTheNumbersRtfKeeps) {
  const struct {
    const char* name;
    std::uint32_t w, h;
    double widthCm, heightCm;
    const char* picw;
    const char* pich;
    const char* goalWidth;
    const char* goalHeight;
  } cases[] = {
      {"as large as a header can say", 2147483647u, 2147483647u, 0.0, 0.0, "2147483647", "2147483647", "31680",
       "31680"},
      {"wide and flat", 2147483647u, 1000u, 0.0, 0.0, "2147483647", "1000", "31680", "1"},
      {"beyond a signed 32-bit number", 4294967295u, 2u, 0.0, 0.0, "2147483647", "2", "31680", "1"},
      {"a damaged width asked for", 200u, 100u, 1e300, 0.0, "200", "100", "31680", "15840"},
      {"no number asked for", 200u, 100u, std::nan(""), std::nan(""), "200", "100", "3000", "1500"},
      {"a size that fits stays", 200u, 100u, 10.0, 5.0, "200", "100", "5669", "2835"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path png = dir_ / "header.png", file = dir_ / "gross.rtf";
    WritePngHeader(png, c.w, c.h);
    ASSERT_TRUE(RTFX_BeginBlock(file.c_str(), 0, 1, 0, "nologo"));
    EXPECT_EQ(rtfx::Picture(png.c_str(), "plan.png", c.widthCm, c.heightCm), "");
    ASSERT_TRUE(RTFX_EndDocument(0));
    const std::string rtf = ReadAll(file);
    EXPECT_EQ(NumberAfter(rtf, "picw"), c.picw) << rtf;
    EXPECT_EQ(NumberAfter(rtf, "pich"), c.pich);
    EXPECT_EQ(NumberAfter(rtf, "picwgoal"), c.goalWidth);
    EXPECT_EQ(NumberAfter(rtf, "pichgoal"), c.goalHeight);
  }
}

// A picture file above the stated size is left out with the reason, naming both sizes, its own in tenths rounded up
// so that it reads above the limit (16 MiB and a byte are 16.0000001 MB: "16,1", never "16,0"); one of exactly that
// size goes in whole, and so does everything after the one left out.
TEST_F(RtfxTest, APictureAboveTheStatedSizeIsLeftOutWithTheReason) {
  const fs::path large = dir_ / "gross.png", fits = dir_ / "passt.png", file = dir_ / "bilder.rtf";
  WritePngHeader(large, 4000, 3000);
  WritePngHeader(fits, 40, 30);
  fs::resize_file(large, std::uintmax_t(rtfx::kMostPictureBytes) + 1);
  fs::resize_file(fits, std::uintmax_t(rtfx::kMostPictureBytes));
  ASSERT_TRUE(RTFX_BeginBlock(file.c_str(), 0, 1, 0, "nologo"));
  const std::string why = rtfx::Picture(large.c_str(), "foto.png", 10.0, 0.0);
  EXPECT_EQ(why, "Bild zu groß: 16,1 MB, im Bericht höchstens 16 MB je Bild");
  RTFX_Picture(large.c_str(), 1, 10.0, 0.0);
  RTFX_CellPicture(large.c_str(), 1, 10.0, 0.0);
  EXPECT_EQ(rtfx::Picture(fits.c_str(), "passt.png", 10.0, 0.0), "");
  ASSERT_TRUE(RTFX_EndDocument(0));
  const std::string rtf = ReadAll(file);
  EXPECT_EQ(NumberAfter(rtf, "picw"), "40");
  EXPECT_EQ(rtf.find("\\picw4000"), std::string::npos);
  // the one taken: its header and its zero bytes as hexadecimal, two digits a byte, 64 bytes a line
  const std::size_t hex = rtf.find("\\pichgoal");
  ASSERT_NE(hex, std::string::npos);
  const std::size_t end = rtf.find('}', hex);
  EXPECT_GT(end - hex, std::size_t(2 * rtfx::kMostPictureBytes));
  bool balanced = false;
  ControlWords(rtf, balanced);
  EXPECT_TRUE(balanced);
}
