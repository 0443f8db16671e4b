// A rich text printed into a PDF as its RTF asks: the paper's margins, the page header with its page numbers on
// every page, headings kept with what they head, short tables moved whole and the heading rows of long ones
// repeated, pictures drawn and Greek letters as text that can be searched.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <vector>

#include "platform/richedit/richeditctrl.h"
#include "tests/platform/richedit/rtf_pictures.h"
#include "tests/support/emf_sample.h"
#include "tests/support/pdf_page_pixels.h"

namespace {

namespace fs = std::filesystem;

bool Installed(const char* program) {
  return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

class PrintingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Installed("pdftotext") || !Installed("pdftoppm")) GTEST_SKIP() << "poppler-utils are not installed";
    dir_ = fs::path(::testing::TempDir()) / ("richprint_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Prints the RTF text into report.pdf; false with the reason when it was not written.
  void Print(const std::string& rtf) {
    richdoc::Document doc;
    doc.ReadRtf(rtf);
    std::string error;
    ASSERT_TRUE(richedit::PrintToPdf(doc, Pdf(), "Probe", &error)) << error;
  }
  std::string Pdf() const { return (dir_ / "report.pdf").string(); }
  std::string Run(const std::string& command) const {
    const std::string out = (dir_ / "out.txt").string();
    if (std::system((command + " > '" + out + "'").c_str()) != 0) return "(" + command + " failed)";
    std::ifstream in(out, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The text of one page (from 1), or of all with 0; pages end in a form feed.
  std::string Text(int page = 0) const {
    const std::string range = page > 0 ? "-f " + std::to_string(page) + " -l " + std::to_string(page) + " " : "";
    return Run("pdftotext " + range + "'" + Pdf() + "' -");
  }
  int Pages() const {
    const std::string all = Text();
    return int(std::count(all.begin(), all.end(), '\f'));
  }
  // The box of the first word on the page that equals the text and whose top lies in [from, to) (points from the
  // page's top left).
  struct Box {
    double left = -1, top = -1, right = -1, bottom = -1;
  };
  Box WordBox(int page, const std::string& word, double from = 0, double to = 1e9) const {
    const std::string html =
        Run("pdftotext -bbox -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + Pdf() + "' -");
    const std::regex entry(
        R"rx(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)rx");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), entry); it != std::sregex_iterator(); ++it)
      if ((*it)[5] == word && std::stod((*it)[2]) >= from && std::stod((*it)[2]) < to)
        return {std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4])};
    return {};
  }
  fs::path dir_;
};

// A report's page: A4, margins 2.5 cm left, 1.5 cm right, 2 cm top and foot, the header 1 cm from the top with the
// page numbers right-aligned at 9638 twips.
const char* const kPage =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\ftech\\fcharset2 Symbol;}}"
    "{\\colortbl ;}\r\n"
    "\\paperw11906\\paperh16838\\margl1418\\margr851\\margt1134\\margb1134\\headery567\\footery567\r\n"
    "\\sectd{\\header\\pard\\plain\\f0\\fs16\\tqr\\tx9638 KOLUMO\\tab Seite {\\field{\\*\\fldinst PAGE}"
    "{\\fldrslt 1}} von {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par\r\n"
    "\\pard\\plain\\brdrb\\brdrs\\brdrw10\\fs4\\par}\r\n";

std::string Lines(const std::string& word, int from, int to) {
  std::string out;
  for (int i = from; i <= to; ++i) out += "\\pard\\plain\\fs20 " + word + " " + std::to_string(i) + "\\par\r\n";
  return out;
}

TEST_F(PrintingTest, EveryPageCarriesTheHeaderWithItsNumbersWhereTheMarginsPutIt) {
  Print(std::string(kPage) + Lines("Zeile", 1, 150) + "}");
  const int pages = Pages();
  ASSERT_GE(pages, 3) << "150 lines of 10 points do not stand on two pages";
  for (int page = 1; page <= pages; ++page) {
    const std::string text = Text(page);
    EXPECT_NE(text.find("Seite " + std::to_string(page) + " von " + std::to_string(pages)), std::string::npos)
        << "page " << page << ": " << text.substr(0, 80);
    EXPECT_NE(text.find("KOLUMO"), std::string::npos) << page;
  }
  // Twips are twentieths of a point. The text starts at the left margin, 1418 / 20 = 70.9 pt; the header's right
  // tab ends the page number at 1418 + 9638 = 11056 twips = 552.8 pt; the header stands at 567 / 20 = 28.4 pt from
  // the top and the text at 1134 / 20 = 56.7 pt. Letters are placed to the pixel at 300 dpi and have blank
  // sides: 1.5 pt.
  const Box line = WordBox(1, "Zeile"), header = WordBox(1, "KOLUMO");
  const Box number = WordBox(1, std::to_string(pages), header.top - 1, header.bottom);
  EXPECT_NEAR(line.left, 70.9, 1.5);
  EXPECT_NEAR(header.left, 70.9, 1.5);
  EXPECT_NEAR(number.right, 552.8, 1.5);
  EXPECT_NEAR(header.top, 28.4, 1.5);
  EXPECT_NEAR(line.top, 56.7, 1.5);
  // The last line of the first page ends above the foot margin: 841.9 - 56.7 = 785.2 pt.
  const std::string first = Text(1);
  const std::regex numbered("Zeile ([0-9]+)");
  std::string last;
  for (auto it = std::sregex_iterator(first.begin(), first.end(), numbered); it != std::sregex_iterator(); ++it)
    last = (*it)[1];
  ASSERT_FALSE(last.empty());
  EXPECT_LE(WordBox(1, last).bottom, 785.2);
}

TEST_F(PrintingTest, HeadingsStayWithWhatTheyHeadAndTablesRunOnUnderTheirHeadingRows) {
  // 58 lines of 10 points (about 11.8 pt each with their line gap) fill 680 of the page's 728 pt; what is left
  // holds a heading and two rows, not the heading and the short table of five rows it keeps with.
  std::string rtf = std::string(kPage) + Lines("Zeile", 1, 58);
  rtf += "\\pard\\plain\\keepn\\fs20 Tabelle klein\\par\r\n";
  for (int i = 1; i <= 5; ++i)
    rtf += "\\trowd\\trgaph70\\cellx3000\\pard\\intbl\\keepn\\fs20 Klein " + std::to_string(i) + "\\cell\\row\r\n";
  rtf += "\\pard\\plain\\keepn\\fs20 Tabelle lang\\par\r\n";
  rtf += "\\trowd\\trgaph70\\trhdr\\cellx3000\\pard\\intbl\\keepn\\fs20 Kopf\\cell\\row\r\n";
  for (int i = 1; i <= 150; ++i)
    rtf += "\\trowd\\trgaph70\\cellx3000\\pard\\intbl\\keepn\\fs20 Wert " + std::to_string(i) + "\\cell\\row\r\n";
  rtf += "\\pard\\plain\\fs20 Schluss\\par}";
  Print(rtf);
  const int pages = Pages();
  ASSERT_GE(pages, 4);
  auto pageOf = [&](const std::string& text) {
    for (int page = 1; page <= pages; ++page)
      if (Text(page).find(text + "\n") != std::string::npos) return page;
    return 0;
  };
  EXPECT_EQ(pageOf("Zeile 58"), 1);
  EXPECT_EQ(pageOf("Tabelle klein"), 2) << "the heading went on with its table";
  EXPECT_EQ(pageOf("Klein 1"), 2);
  EXPECT_EQ(pageOf("Klein 5"), 2) << "a table that fits on a page is not split";
  EXPECT_EQ(pageOf("Tabelle lang"), pageOf("Wert 1")) << "no heading is left at a page's foot";
  // Every page with values of the long table shows its heading row once, above them; every value is printed once.
  int pagesWithValues = 0;
  for (int page = 1; page <= pages; ++page) {
    const std::string text = Text(page);
    const std::size_t value = text.find("Wert ");
    if (value == std::string::npos) continue;
    ++pagesWithValues;
    const std::size_t head = text.find("Kopf\n");
    EXPECT_LT(head, value) << "page " << page;
    EXPECT_EQ(text.find("Kopf\n", head + 1), std::string::npos) << "page " << page;
  }
  EXPECT_GE(pagesWithValues, 2);
  const std::string all = Text();
  for (int i : {1, 2, 60, 61, 62, 63, 120, 149, 150}) {
    const std::string value = "Wert " + std::to_string(i) + "\n";
    const std::size_t at = all.find(value);
    EXPECT_NE(at, std::string::npos) << value;
    EXPECT_EQ(all.find(value, at + 1), std::string::npos) << value << " twice";
  }
}

// The first page number the document sets is that of the first page printed, the section's before the document's;
// the count of pages stays the count printed (as NUMPAGES counts them).
TEST_F(PrintingTest, PagesAreNumberedFromTheFirstPageNumberTheDocumentSets) {
  const std::string page(kPage);
  const std::string section = "\\sectd";
  const struct {
    const char* name;
    std::string document, sectionWords;  // words after the paper's, after \sectd
    int first;
  } cases[] = {
      {"none", "", "", 1},
      {"the section's", "\\pgnstart3", "\\pgnstarts3\\pgnrestart", 3},
      {"the section's before the document's", "\\pgnstart5", "\\pgnstarts12\\pgnrestart", 12},
      {"the document's", "\\pgnstart7", "", 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string rtf = page;
    rtf.insert(rtf.find(section), c.document);
    rtf.insert(rtf.find(section) + section.size(), c.sectionWords);
    Print(rtf + Lines("Zeile", 1, 150) + "}");
    const int pages = Pages();
    ASSERT_GE(pages, 3);
    for (int n = 1; n <= pages; ++n)
      EXPECT_NE(Text(n).find("Seite " + std::to_string(c.first + n - 1) + " von " + std::to_string(pages)),
                std::string::npos)
          << "page " << n << ": " << Text(n).substr(0, 80);
  }
}

TEST_F(PrintingTest, PicturesAreDrawnAtTheirSizeAndGreekLettersPrintAsText) {
  // 2880 x 1440 twips are 2 x 1 inches: 144 x 72 points.
  const std::string png = rtf_test::PngOf(40, 20, 0, 160 / 255.0, 0);
  Print(std::string(kPage) + "\\pard\\plain\\fs20 Bild\\par\r\n" +
        rtf_test::PictGroup(png, "\\picw40\\pich20\\picwgoal2880\\pichgoal1440") +
        "\\par\r\n\\pard {\\f1 {\\uc1\\u949 e}}{\\sub c2} = 2,0 und {\\uc1\\u968 y} = 0,4 % und {\\f1 g}\\par}");
  const std::string text = Text(1);
  for (const char* greek : {"\xce\xb5", "\xcf\x88", "\xce\xb3"})  // epsilon, psi, gamma
    EXPECT_NE(text.find(greek), std::string::npos) << greek << " in " << text;
  // one pixel a point
  const test_support::PagePixels r = test_support::RenderPdfPage(Pdf(), 1, 72, dir_);
  ASSERT_GT(r.width, 0) << "pdftoppm failed";
  int left = r.width, top = r.height, right = -1, bottom = -1;
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x) {
      const std::uint32_t p = r.At(x, y);
      const int red = p >> 16, green = (p >> 8) & 0xFF, blue = p & 0xFF;
      if (red < 40 && green > 130 && green < 190 && blue < 40) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x + 1);
        bottom = std::max(bottom, y + 1);
      }
    }
  // The picture at the left margin (70.9 pt), below the line above it; a point for the raster's edges.
  EXPECT_NEAR(right - left, 144, 2);
  EXPECT_NEAR(bottom - top, 72, 2);
  EXPECT_NEAR(left, 70.9, 2);
  EXPECT_GT(top, 60);
}

// An enhanced metafile, which the printing cannot draw, prints as its frame at its size with the name its writer
// gave it inside: 2880 x 1440 twips are 144 x 72 points.
TEST_F(PrintingTest, AMetafilePrintsAsItsFrameWithItsName) {
  std::string hex;
  for (unsigned char c : test_support::SmallEmf()) {
    char two[3];
    std::snprintf(two, sizeof two, "%02x", c);
    hex += two;
  }
  Print(std::string(kPage) + "\\pard\\plain\\fs20 Bild\\par\r\n" +
        "{\\pict{\\*\\picprop{\\sp{\\sn wzDescription}{\\sv Schnitt \\'e4u\\u223?.emf}}}\\emfblip\\picw5000\\pich2500"
        "\\picwgoal2880\\pichgoal1440\r\n" +
        hex + "}\\par}");
  EXPECT_NE(Text(1).find("Schnitt äuß.emf"), std::string::npos) << Text(1);
  const test_support::PagePixels r = test_support::RenderPdfPage(Pdf(), 1, 72, dir_);
  ASSERT_GT(r.width, 0) << "pdftoppm failed";
  // The frame's left edge: the longest dark column below the header; its height is the picture's.
  int bestX = -1, bestTop = -1, bestLength = 0;
  for (int x = 0; x < r.width / 2; ++x)
    for (int y = 60, run = 0; y < r.height; ++y) {
      run = (r.At(x, y) & 0xFF) < 100 ? run + 1 : 0;
      if (run > bestLength) {
        bestLength = run;
        bestX = x;
        bestTop = y - run + 1;
      }
    }
  EXPECT_NEAR(bestX, 70.9, 2);
  EXPECT_NEAR(bestLength, 72, 2);
  int top = 0;  // the frame's top edge from that corner along the width
  while (bestX + top < r.width && (r.At(bestX + top, bestTop) & 0xFF) < 100) ++top;
  EXPECT_NEAR(top, 144, 2);
}

// Characters that neither the code page nor the Symbol font holds are printed as themselves, as text that can be
// searched, in the words they stand in; beside them a Greek letter of the Symbol font and the euro sign.
TEST_F(PrintingTest, CharactersBeyondTheCodePagePrintAsText) {
  Print(std::string(kPage) +
        "\\pard\\plain\\fs20 \\u1046?\\u1091?\\u1082? \\u8776? \\u322?\\'f3d\\u378? "
        "Gr\\u337?\\'dfe {\\f1 W} \\'80\\par}");
  EXPECT_NE(Text(1).find("Жук ≈ łódź Grőße Ω €\n"), std::string::npos) << Text(1);
}

// The page is drawn into the PDF, not placed as a picture of itself: its texts are text in a font, its one picture
// is the only image, at the picture's own 40 x 20 pixels, and a page of text takes a few kilobytes.
TEST_F(PrintingTest, ThePageIsDrawnNotPhotographed) {
  if (!Installed("pdfimages") || !Installed("pdffonts")) GTEST_SKIP() << "poppler-utils are not installed";
  const std::string png = rtf_test::PngOf(40, 20, 0, 160 / 255.0, 0);
  std::string table;
  for (int i = 1; i <= 3; ++i)
    table += "\\trowd\\trgaph70\\clbrdrt\\brdrs\\clbrdrb\\brdrs\\cellx3000\\pard\\intbl\\fs20 Wert " +
             std::to_string(i) + "\\cell\\row\r\n";
  Print(std::string(kPage) + Lines("Zeile", 1, 20) + table +
        rtf_test::PictGroup(png, "\\picw40\\pich20\\picwgoal2880\\pichgoal1440") + "\\par}");
  // pdfimages lists a header of two lines, then one line per image: "page num type width height ...".
  const std::string images = Run("pdfimages -list '" + Pdf() + "'");
  std::istringstream lines(images);
  std::vector<std::pair<int, int>> sizes;
  int n = 0;
  for (std::string line; std::getline(lines, line);) {
    if (++n <= 2) continue;
    std::istringstream fields(line);
    int page = 0, num = 0, width = 0, height = 0;
    std::string type;
    if (fields >> page >> num >> type >> width >> height) sizes.emplace_back(width, height);
  }
  EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{40, 20}})) << images;
  // pdffonts lists two header lines, then the fonts the texts are drawn in.
  const std::string fonts = Run("pdffonts '" + Pdf() + "'");
  EXPECT_GE(std::count(fonts.begin(), fonts.end(), '\n'), 3) << fonts;
  EXPECT_NE(Text(1).find("Wert 3"), std::string::npos);
  // One page of text, three table rows and a small picture; a picture of the page at 300 dpi takes ten times more.
  EXPECT_LT(fs::file_size(Pdf()), 40000u);
}

// A table row taller than the printable height goes on over the pages it needs: every line of its long cell is
// printed, and no page's text runs into the foot margin.
TEST_F(PrintingTest, ARowTallerThanAPageBreaksAcrossPagesAndEveryLinePrints) {
  // 180 pieces of 50 characters: a note of 9,000 characters, at 10 points some 120 lines of 11.5 pt in a cell of
  // 3.5 inches, 1,380 pt: two pages of 728 pt and more.
  std::string note;
  for (int i = 1; i <= 180; ++i) {
    std::string piece = "Bewehrung " + std::to_string(i) + " ";
    piece += std::string(50 - piece.size() - 1, 'x') + " ";
    note += piece;
  }
  ASSERT_EQ(note.size(), 9000u);
  Print(std::string(kPage) + Lines("Zeile", 1, 3) +
        "\\trowd\\trgaph70\\cellx2500\\cellx7500\\pard\\intbl\\fs20 Hinweis\\cell " + note +
        "\\cell\\row\r\n\\pard\\plain\\fs20 Schluss\\par}");
  const std::string all = Text();
  int found = 0;
  for (std::size_t at = all.find("Bewehrung"); at != std::string::npos; at = all.find("Bewehrung", at + 1)) ++found;
  EXPECT_EQ(found, 180);
  for (int i : {1, 60, 61, 120, 121, 180})
    EXPECT_TRUE(std::regex_search(all, std::regex("Bewehrung " + std::to_string(i) + "\\s"))) << i;
  // No page holds the row: it starts on the first, below the three lines before it, as a word processor prints it.
  const std::string first = Text(1);
  EXPECT_NE(first.find("Zeile 3"), std::string::npos);
  EXPECT_TRUE(std::regex_search(first, std::regex("Bewehrung 1\\s"))) << first.substr(0, 200);
  const int pages = Pages();
  ASSERT_GE(pages, 3);
  // The foot margin starts at 841.9 - 56.7 = 785.2 pt; the lowest word of each page ends above it.
  for (int page = 1; page <= pages; ++page) {
    const std::string html =
        Run("pdftotext -bbox -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + Pdf() + "' -");
    const std::regex foot(R"rx(yMax="([0-9.]+)")rx");
    double lowest = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), foot); it != std::sregex_iterator(); ++it)
      lowest = std::max(lowest, std::stod((*it)[1]));
    EXPECT_LE(lowest, 785.2) << "page " << page;
  }
  EXPECT_NE(all.find("Schluss"), std::string::npos);
}

// Words of different sizes on one line stand on one baseline, as a word processor sets them.
TEST_F(PrintingTest, WordsOfDifferentSizesStandOnOneBaseline) {
  Print(std::string(kPage) + "\\pard\\plain\\fs20 klein \\fs56 GROSS\\fs20  mitte\\par}");
  const Box small = WordBox(1, "klein"), big = WordBox(1, "GROSS"), after = WordBox(1, "mitte");
  ASSERT_GT(small.right, 0);
  ASSERT_GT(big.right, 0);
  // A word's box reaches from the font's ascent above the baseline to its descent below, both in proportion to the
  // size: with one baseline B, top = B - a * size and foot = B + d * size, so that the feet of the 10-pt and the
  // 28-pt word lie (d / (a + d)) of their heights above B; with the tops aligned the feet would lie 18 pt * (a + d)
  // apart instead. The baseline is where foot - top splits in the ratio of the tops' and feet's differences.
  const double tops = big.top - small.top, feet = big.bottom - small.bottom;
  EXPECT_LT(tops, -5) << "the big word reaches higher";
  EXPECT_GT(feet, 0) << "and lower, by its larger descent";
  const double ratio = -tops / (feet - tops);  // a / (a + d), the same for both words of one font
  const double baseSmall = small.top + ratio * (small.bottom - small.top);
  const double baseBig = big.top + ratio * (big.bottom - big.top);
  EXPECT_NEAR(baseSmall, baseBig, 0.5);
  EXPECT_NEAR(after.bottom, small.bottom, 0.5) << "the words after the big one stand on the line as well";
  // The ascent is most of a Latin font's height: a / (a + d) between 0.7 and 0.9.
  EXPECT_GT(ratio, 0.7);
  EXPECT_LT(ratio, 0.9);
}

}  // namespace

namespace {

// The rows of a page from y0 to y1 (points; the page rendered at 150 dpi) that hold a line: a run of at least 200
// pixels (96 points) that are not white, which no word makes. Where the line's pixels are, in points.
constexpr double kPixelsAPoint = 150.0 / 72.0;
std::vector<double> RuledRows(const test_support::PagePixels& page, double from, double to) {
  const int y0 = int(from * kPixelsAPoint), y1 = int(to * kPixelsAPoint);
  std::vector<double> rows;
  for (int y = std::max(0, y0); y < std::min(y1, page.height); ++y) {
    int run = 0, longest = 0;
    for (int x = 0; x < page.width; ++x) {
      const std::uint32_t px = page.At(x, y);
      const bool ink = (px >> 16) < 0xE0 || ((px >> 8) & 0xFF) < 0xE0 || (px & 0xFF) < 0xE0;
      run = ink ? run + 1 : 0;
      longest = std::max(longest, run);
    }
    if (longest >= 200) rows.push_back(y / kPixelsAPoint);
  }
  return rows;
}

}  // namespace

// A document that ends with a table of values without borders (the paragraph after it kept the rows' "\intbl", as
// the editor stored it), followed by two headings and a framed picture row, as a report that begins with the
// position's document: the values print without any line, the headings outside any frame, and the frame round its
// own cell only, from above "Endsystem" to below it.
TEST_F(PrintingTest, ADocumentEndingWithATablePrintsNoLinesOfItsOwnAndNoFrameRoundWhatFollows) {
  const std::string def = "\\trowd\\trgaph28\\trpaddl28\\cellx4535\\cellx6236\\cellx9071";
  Print(std::string(kPage) + "{" + def + "\\pard\\intbl\\fs20\\b Betonstahl\\b0\\cell\\cell\\cell\\row\r\n" + def +
        "\\pard\\intbl Streckgrenze\\cell beta_s\\cell\\pard\\intbl\\qr 500\\cell\\row\r\n\\pard\\intbl\\qr\\par}\r\n"
        "\\pard\\plain\\s1\\keepn\\sb360\\fs28\\b Eingabedaten\\par\r\n"
        "\\pard\\plain\\s2\\keepn\\sb240\\fs24\\b Systemdarstellung\\par\r\n"
        "\\trowd\\trgaph70\\trleft0\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
        "\\clbrdrr\\brdrs\\brdrw10\\cellx3402\r\n\\pard\\intbl\\plain\\fs18\\line\\line\\line Endsystem\\cell\\row\r\n"
        "\\pard\\plain\\fs20 Ende\\par}");
  const Box values = WordBox(1, "Betonstahl"), heading = WordBox(1, "Systemdarstellung"),
            frame = WordBox(1, "Endsystem"), end = WordBox(1, "Ende");
  ASSERT_GT(values.top, 0) << Text(1);
  ASSERT_GT(heading.top, values.top) << Text(1);
  ASSERT_GT(frame.top, heading.bottom) << Text(1);
  const test_support::PagePixels page = test_support::RenderPdfPage(Pdf(), 1, 150, dir_);
  ASSERT_GT(page.width, 0);
  // From the values' first line to the middle of the heading's letters no line at all (the header's rule stands
  // above them; the frame's top stands right under the heading).
  const double headingMiddle = (heading.top + heading.bottom) / 2;
  const std::vector<double> above = RuledRows(page, values.top - 2, headingMiddle);
  EXPECT_TRUE(above.empty()) << above.size() << " ruled rows from " << above.front();
  // The frame's top between the heading and "Endsystem", its foot between "Endsystem" and the foot of "Ende".
  const std::vector<double> ruled = RuledRows(page, headingMiddle, end.bottom);
  ASSERT_FALSE(ruled.empty());
  EXPECT_LT(ruled.front(), frame.top - 20) << "three empty lines above the word";
  EXPECT_GT(ruled.back(), (frame.top + frame.bottom) / 2);
  EXPECT_LT(ruled.back() - ruled.front(), 80) << "no other line below the heading";
}
