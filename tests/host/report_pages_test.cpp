// The example's report as a reader prints it: converted to PDF by the office suite and read page by page. Every
// page carries the page header with the position and "Seite n von N"; a page that shows rows of a height table
// shows that table's header and unit rows above them; no table title is left at the foot of a page.
#include <cairo-ft.h>
#include <cairo.h>

#include <regex>
#include <set>

#include "tests/host/host_run.h"
#include "tests/report/rtf_cells.h"

namespace {

using namespace host_test;

bool Installed(const char* program) {
  return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const std::size_t first = line.find_first_not_of(" \t\f");
    if (first == std::string::npos) continue;
    line.erase(0, first);
    line.erase(line.find_last_not_of(" \t") + 1);
    lines.push_back(line);
  }
  return lines;
}

class ReportPagesTest : public HostTest {};

// Word widths in the font this machine draws for the report's Arial (the one the office suite here prints with),
// in twips at 9 pt, from unrounded advances (a printer's, not a 9-pixel screen's).
class Schrift {
 public:
  Schrift() : flaeche_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)), cr_(cairo_create(flaeche_)) {
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr_, o);
    cairo_font_options_destroy(o);
  }
  ~Schrift() {
    cairo_destroy(cr_);
    cairo_surface_destroy(flaeche_);
  }
  Schrift(const Schrift&) = delete;
  Schrift& operator=(const Schrift&) = delete;

  // The family this machine draws for "Arial" (fonts-liberation gives one with Arial's widths): a failure names it.
  std::string Familie() {
    cairo_select_font_face(cr_, "Arial", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_scaled_font_t* font = cairo_get_scaled_font(cr_);
    std::string name = "(unknown)";
    if (cairo_scaled_font_get_type(font) != CAIRO_FONT_TYPE_FT) return name;
    if (FT_Face face = cairo_ft_scaled_font_lock_face(font)) {
      if (face->family_name) name = face->family_name;
      if (face->style_name) name += std::string(" ") + face->style_name;
      cairo_ft_scaled_font_unlock_face(font);
    }
    return name;
  }

  double operator()(const std::string& text, bool fett) {
    cairo_select_font_face(cr_, "Arial", CAIRO_FONT_SLANT_NORMAL,
                           fett ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, 9.0);
    cairo_text_extents_t e;
    cairo_text_extents(cr_, text.c_str(), &e);
    // the office suite sets bold a little wider than the face's advances ("Knoten" broke with half a twip to
    // spare), regular text to the twip
    return e.x_advance * 20.0 * (fett ? 1.02 : 1.0);
  }

 private:
  cairo_surface_t* flaeche_;
  cairo_t* cr_;
};

TEST_F(ReportPagesTest, EveryPageHasItsHeaderAndEveryTablePageItsHeaderRows) {
  for (const char* program : {"soffice", "pdftotext", "pdfinfo"})
    if (!Installed(program)) GTEST_SKIP() << program << " is not installed";
  // the office suite breaks lines and pages in the font the machine has for Arial
  SCOPED_TRACE("Arial is drawn here in " + Schrift().Familie());
  const std::string position = Path("Stuetze.tqx");
  std::ofstream(position, std::ios::binary) << Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  for (const char* command : {"calc", "report"}) {
    const HostRun run = Host({command, position});
    ASSERT_EQ(run.status, 0) << command << ": " << run.err;
  }
  // the report lies beside the position, named after it (lower-cased where the file system asks for it)
  const std::string stem = fs::exists(Path("Stuetze.rtf")) ? "Stuetze" : "stuetze";
  ASSERT_TRUE(fs::exists(Path(stem + ".rtf")));
  // A profile of its own, so that a running office suite or a parallel test does not hold the conversion.
  const std::string convert = "cd " + Quote(folder_.string()) +
                              " && timeout 300 soffice -env:UserInstallation=file://" + folder_.string() +
                              "/office --headless --convert-to pdf " + stem + ".rtf >/dev/null 2>&1";
  ASSERT_EQ(std::system(convert.c_str()), 0);
  ASSERT_EQ(std::system(("pdfinfo " + Quote(Path(stem + ".pdf")) + " >" + Quote(Path("info.txt"))).c_str()), 0);
  std::smatch m;
  const std::string info = Slurp(Path("info.txt"));
  ASSERT_TRUE(std::regex_search(info, m, std::regex(R"(Pages:\s+(\d+))")));
  const int pages = std::stoi(m[1]);
  ASSERT_GT(pages, 1);

  std::vector<std::vector<std::string>> page(pages + 1);
  for (int n = 1; n <= pages; ++n) {
    const std::string out = Path("seite.txt");
    const std::string cmd = "pdftotext -layout -f " + std::to_string(n) + " -l " + std::to_string(n) + " " +
                            Quote(Path(stem + ".pdf")) + " " + Quote(out);
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    page[n] = Lines(Slurp(out));
  }

  // A row of a height table: the height and at least two more numbers ("7.70 -1905.03 0.00 ...").
  const std::regex row(R"(^-?\d+\.\d+(\s+-?\d+\.\d+){2,})");
  const std::regex date(R"(\b\d{2}\.\d{2}\.\d{4}\b)");
  std::set<std::string> titles;  // the lines just above a table's first header row
  for (int n = 1; n <= pages; ++n)
    for (std::size_t i = 3; i < page[n].size(); ++i)
      if (page[n][i].rfind("Kote h", 0) == 0) titles.insert(page[n][i - 1]);
  ASSERT_FALSE(titles.empty());
  int tablePages = 0;
  for (int n = 1; n <= pages; ++n) {
    SCOPED_TRACE("page " + std::to_string(n));
    const std::vector<std::string>& lines = page[n];
    ASSERT_GE(lines.size(), 3u);
    EXPECT_NE(lines[0].find("TQ-KOLUMO"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("Seite " + std::to_string(n) + " von " + std::to_string(pages)), std::string::npos)
        << lines[0];
    EXPECT_EQ(lines[1].rfind("Position Stuetze - St\xC3\xBCtze B/3", 0), 0u) << lines[1];
    EXPECT_TRUE(std::regex_search(lines[1], date)) << lines[1];
    bool header = false, units = false, rows = false;
    for (std::size_t i = 2; i < lines.size(); ++i) {
      if (lines[i].rfind("Kote h", 0) == 0)
        header = true;
      else if (lines[i].rfind("[m]", 0) == 0)
        units = header;
      else if (std::regex_search(lines[i], row)) {
        rows = true;
        EXPECT_TRUE(header && units) << "a table row without its header rows above it: " << lines[i];
        if (!(header && units)) break;
      }
    }
    tablePages += rows;
    if (n < pages) {
      EXPECT_EQ(titles.count(lines.back()), 0u) << "a table title at the foot of the page: " << lines.back();
    }
  }
  // the example's results fill many pages of height tables; none found means the text was not read
  EXPECT_GT(tablePages, 10);
}

// Every table of the example's report, with every result table switched on, holds its words: no column so narrow
// that a reader breaks a word, a number or a unit inside its cell, measured in the font the office suite here
// prints the report with.
TEST_F(ReportPagesTest, EveryWordFitsItsTableCell) {
  const std::string position = Path("Stuetze.tqx");
  std::string text = Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  text = std::regex_replace(text, std::regex(R"re(( num_\w+)="0")re"), "$1=\"1\"");
  ASSERT_NE(text.find(" num_FundLastw=\"1\""), std::string::npos);
  std::ofstream(position, std::ios::binary) << text;
  for (const char* command : {"calc", "report"}) {
    const HostRun run = Host({command, position});
    ASSERT_EQ(run.status, 0) << command << ": " << run.err;
  }
  const std::string stem = fs::exists(Path("Stuetze.rtf")) ? "Stuetze" : "stuetze";
  const std::string rtf = Slurp(Path(stem + ".rtf"));
  // the load hand-over tables are there, so their columns were measured too
  ASSERT_NE(rtf.find("Lastweiterleitung"), std::string::npos);
  ASSERT_NE(rtf.find("extremal"), std::string::npos);
  Schrift schrift;
  // a digit has a width in every font: a measure of 0 would let every cell pass
  ASSERT_GT(schrift("0", false), 50.0) << schrift.Familie();
  for (const report_test::EngerZelle& z : report_test::EngeZellen(rtf, std::ref(schrift)))
    ADD_FAILURE() << "\"" << z.wort << "\" needs " << z.breit << " twips, its cell holds " << z.verfuegbar
                  << " (measured in " << schrift.Familie() << ", the font this machine gives for Arial)";
}

// A load text with a long word ("Zwischendecke") in the narrow text columns of the load tables: the column is
// widened from the room its neighbours do not need, so the word stays whole.
TEST_F(ReportPagesTest, LongWordOfALoadTextStaysWhole) {
  const std::string position = Path("Stuetze.tqx");
  std::string text = Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"Decke über EG, ständig", "Zwischendecke"},
                                 {"Wind auf Fassade", "Zwischendecke Wind"}}) {
    const std::size_t at = text.find("desc=\"" + from + "\"");
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at + 6, from.size(), to);
  }
  std::ofstream(position, std::ios::binary) << text;
  const HostRun run = Host({"report", position});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string stem = fs::exists(Path("Stuetze.rtf")) ? "Stuetze" : "stuetze";
  const std::string rtf = Slurp(Path(stem + ".rtf"));
  // the word stands in the point loads' text column and in the line loads'
  ASSERT_NE(report_test::VisibleText(rtf).find("|Zwischendecke|"), std::string::npos);
  ASSERT_NE(report_test::VisibleText(rtf).find("|Zwischendecke Wind|"), std::string::npos);
  Schrift schrift;
  ASSERT_GT(schrift("0", false), 50.0) << schrift.Familie();
  for (const report_test::EngerZelle& z : report_test::EngeZellen(rtf, std::ref(schrift)))
    ADD_FAILURE() << "\"" << z.wort << "\" needs " << z.breit << " twips, its cell holds " << z.verfuegbar
                  << " (measured in " << schrift.Familie() << ", the font this machine gives for Arial)";
}

}  // namespace
