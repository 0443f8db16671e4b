// Whole-run regression: every position in tests/data is calculated and reported by the host program, as an
// engineer's run does it, and what comes out (every result record, the exported support reactions, the messages
// and the report's text) is compared with what is stored beside the position. A change of any number beyond
// the tolerance fails with the position, the record, the field and both values, so that a reviewer sees what
// moved. After a reviewed change, scripts/regenerate-regression.sh rewrites the stored texts (this program with
// KOLUMO_REGRESSION_UPDATE=1).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/viduv/viduv.h"
#include "tests/report/rtf_text.h"

namespace {

namespace fs = std::filesystem;

// Numbers agree within 1e-6 of their size, or 1e-6 absolute for values near zero. A number of the report printed
// with decimals may also differ by one unit in its last printed place (it rounds to two or three places; the
// result records carry the full values).
constexpr double kRelTol = 1e-6;
constexpr double kAbsTol = 1e-6;

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Number(double v) {
  if (v == 0.0) return "0";  // no "-0"
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.10g", v);
  return buffer;
}

// ---- the calculated position as text ---------------------------------------------------------------------

// Attributes of result records that are plain numbers; every other attribute of "result" is a binary column.
bool IsScalarAttribute(const std::string& name) {
  return name == "System" || name == "LK" || name == "Typ" || name == "OK";
}
// Binary columns of ints; all others hold doubles.
bool IsIntColumn(const std::string& name) {
  return name == "KNr" || name == "QuerNr" || name == "LKNr" || name == "NachTyp" || name == "Teilung";
}

// A column's values; an attribute that holds no binary data (a text a later version may add) as it stands.
std::string BinaryColumn(int attribute, const std::string& name) {
  const int bytes = VIDUV_GetBinDataByHandle(attribute, nullptr, 0);
  if (bytes <= 0) return VIDUV_GetStringByHandle(attribute);
  std::vector<unsigned char> data(std::size_t(std::max(bytes, 0)));
  if (bytes > 0) VIDUV_GetBinDataByHandle(attribute, data.data(), bytes);
  std::string text;
  if (IsIntColumn(name) && bytes % 4 == 0) {
    for (int i = 0; i < bytes / 4; ++i) {
      int v;
      std::memcpy(&v, data.data() + 4 * i, 4);
      text += (i ? " " : "") + std::to_string(v);
    }
  } else if (bytes % 8 == 0) {
    for (int i = 0; i < bytes / 8; ++i) {
      double v;
      std::memcpy(&v, data.data() + 8 * i, 8);
      text += (i ? " " : "") + Number(v);
    }
  } else {
    text = std::string("<") + std::to_string(bytes) + " bytes>";
  }
  return text;
}

// One line per result record ("Schnittgroessen[3] System=0 LK=1 Typ=3") and one per column of it, the column's
// name after a tab with its values.
void DumpResult(int result, std::vector<std::string>& lines) {
  std::vector<std::pair<std::string, int>> counts;
  for (int e = VIDUV_GetFirstChild(result); e; e = VIDUV_GetNextChild(e)) {
    const std::string name = VIDUV_GetElementName(e);
    auto it = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == name; });
    if (it == counts.end()) it = counts.insert(counts.end(), {name, 0});
    std::string head = name + "[" + std::to_string(it->second++) + "]";
    std::vector<std::string> columns;
    for (int a = VIDUV_GetFirstAttrHandle(e); a; a = VIDUV_GetNextAttrHandle(a)) {
      const std::string attr = VIDUV_GetAttrNameByHandle(a);
      if (IsScalarAttribute(attr))
        head += " " + attr + "=" + VIDUV_GetStringByHandle(a);
      else
        columns.push_back(attr + ":\t" + BinaryColumn(a, attr));
    }
    lines.push_back("result " + head);
    for (const std::string& c : columns) lines.push_back("result " + head + " " + c);
  }
}

// The elements below `element` (the exported values, a foundation position), one line per element: its path
// (elements named by their "desc" where they have one) and its attributes.
void DumpElements(int element, const std::string& path, std::vector<std::string>& lines) {
  for (int e = VIDUV_GetFirstChild(element); e; e = VIDUV_GetNextChild(e)) {
    std::string name = VIDUV_GetElementName(e);
    std::string attrs;
    for (int a = VIDUV_GetFirstAttrHandle(e); a; a = VIDUV_GetNextAttrHandle(a)) {
      const std::string attr = VIDUV_GetAttrNameByHandle(a);
      if (attr == "desc")
        name += "[" + std::string(VIDUV_GetStringByHandle(a)) + "]";
      else
        attrs += (attrs.empty() ? "" : " ") + attr + "=" + VIDUV_GetStringByHandle(a);
    }
    const std::string here = path + "/" + name;
    lines.push_back(here + ":\t" + attrs);
    DumpElements(e, here, lines);
  }
}

// ---- the report as text ----------------------------------------------------------------------------------

// One line per non-empty line of the report's visible text, table cells apart by " | ", spaces collapsed, and what
// differs from run to run or from machine to machine (dates, times, file paths, the program's version) replaced
// by a mark.
std::vector<std::string> ReportLines(const std::string& rtf) {
  static const std::regex kDate(R"(\b\d{1,2}\.\d{1,2}\.(19|20)\d{2}\b)");
  static const std::regex kTime(R"(\b\d{1,2}:\d{2}(:\d{2})?\b(?![.\d]))");
  static const std::regex kUnixPath(R"((/[^\s|/,;]+){2,}/?)");
  static const std::regex kWindowsPath(R"([A-Za-z]:\\[^\s|,;]*)");
  static const std::regex kVersion(R"(\bV(ersion)? ?\d{4}\.\d{2}\b)");
  static const std::regex kCell(R"(\|)");
  static const std::regex kBrokenBar("\xC2\xA6");
  static const std::regex kSpaces(R"(\s+)");
  // The text's own bars ("|Ned|") pass the reader as broken bars, so that they stay apart from the cells' bars.
  std::string marked;
  for (char c : rtf) marked += c == '|' ? std::string("\\'a6") : std::string(1, c);
  std::vector<std::string> lines;
  std::istringstream in(report_test::VisibleText(marked));
  std::string line;
  while (std::getline(in, line)) {
    line = std::regex_replace(line, kCell, " | ");
    line = std::regex_replace(line, kBrokenBar, "|");
    line = std::regex_replace(line, kSpaces, " ");
    line = std::regex_replace(line, kDate, "<date>");
    line = std::regex_replace(line, kTime, "<time>");
    line = std::regex_replace(line, kWindowsPath, "<path>");
    line = std::regex_replace(line, kUnixPath, "<path>");
    line = std::regex_replace(line, kVersion, "<version>");
    const auto first = line.find_first_not_of(" |");
    if (first == std::string::npos) continue;  // empty, or an empty table row
    line.erase(line.find_last_not_of(' ') + 1);
    lines.push_back(line.substr(line.find_first_not_of(' ')));
  }
  return lines;
}

// ---- comparison ------------------------------------------------------------------------------------------

struct Token {
  bool number = false;
  double value = 0.0;
  double lastPlace = 0.0;  // one unit in the last printed decimal place; 0 for integers
  std::string text;
};

std::vector<Token> Tokenise(const std::string& line) {
  static const std::regex kNumber(R"([-+]?(\d+(\.\d+)?|\.\d+)([eE][-+]?\d+)?)");
  std::vector<Token> tokens;
  auto begin = std::sregex_iterator(line.begin(), line.end(), kNumber);
  std::size_t at = 0;
  for (auto it = begin; it != std::sregex_iterator(); ++it) {
    const std::size_t pos = std::size_t(it->position());
    if (pos > at) tokens.push_back({false, 0.0, 0.0, line.substr(at, pos - at)});
    Token t;
    t.number = true;
    t.text = it->str();
    t.value = std::strtod(t.text.c_str(), nullptr);
    const std::string mantissa = (*it)[1].str();
    const auto dot = mantissa.find('.');
    if (dot != std::string::npos) {
      const int decimals = int(mantissa.size() - dot - 1);
      const int exponent = (*it)[3].matched ? std::atoi((*it)[3].str().c_str() + 1) : 0;
      t.lastPlace = std::pow(10.0, exponent - decimals);
    }
    tokens.push_back(t);
    at = pos + std::size_t(it->length());
  }
  if (at < line.size()) tokens.push_back({false, 0.0, 0.0, line.substr(at)});
  return tokens;
}

bool Close(const Token& a, const Token& b, bool rounded) {
  double limit = std::max(kAbsTol, kRelTol * std::max(std::fabs(a.value), std::fabs(b.value)));
  if (rounded) limit = std::max({limit, 1.0001 * a.lastPlace, 1.0001 * b.lastPlace});
  return std::fabs(a.value - b.value) <= limit;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line))
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  return lines;
}

// The height ("Kote") of row `row` of the record whose column line has the key, as " at Kote 1.75 m"; empty when
// the record has no heights.
std::string HeightOf(const std::vector<std::string>& lines, const std::string& key, int row) {
  const std::size_t space = key.rfind(' ');
  if (space == std::string::npos || row < 0) return "";
  const std::string prefix = key.substr(0, space) + " Kote:\t";
  for (const std::string& line : lines) {
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    std::istringstream values(line.substr(prefix.size()));
    std::string value;
    for (int i = 0; values >> value; ++i)
      if (i == row) return " at Kote " + value + " m";
  }
  return "";
}

// The line with every number replaced by "#": lines of one shape differ in their numbers only.
std::string Shape(const std::vector<Token>& tokens) {
  std::string shape;
  for (const Token& t : tokens) shape += t.number ? "#" : t.text;
  return shape;
}

// The numbers of two lines of one shape that differ beyond the tolerance. A line "key<TAB>values" (written with
// full precision) names its numbers by the key and their index among the values; a line of the report by its
// line number and its text.
void CompareNumbers(const std::vector<std::string>& stored, std::size_t l, const std::vector<Token>& a,
                    const std::vector<Token>& b, std::vector<std::string>& problems) {
  const std::size_t tab = stored[l].find('\t');
  const std::string key = tab == std::string::npos ? "" : stored[l].substr(0, tab);
  const std::size_t keyTokens = key.empty() ? 0 : Tokenise(key).size();
  int index = 0;
  for (std::size_t t = 0; t < a.size(); ++t) {
    if (!a[t].number) continue;
    const int i = t < keyTokens ? -1 : index++;
    if (Close(a[t], b[t], key.empty())) continue;
    std::string where = key.empty() ? "line " + std::to_string(l + 1) + " \"" + stored[l] + "\""
                                    : key.substr(0, key.size() - (key.back() == ':' ? 1 : 0));
    if (!key.empty() && i >= 0) where += "[" + std::to_string(i) + "]" + HeightOf(stored, key, i);
    problems.push_back(where + ": stored " + a[t].text + ", new " + b[t].text);
  }
}

// Compares the lines as a line diff does: lines of the same shape are paired along the longest common sequence
// and their numbers compared within the tolerance; a line without a partner is named as missing or added, so
// that one line more does not make every line after it differ.
std::vector<std::string> Compare(const std::vector<std::string>& stored, const std::vector<std::string>& fresh) {
  std::vector<std::vector<Token>> a, b;
  std::vector<std::string> sa, sb;
  for (const std::string& l : stored) sa.push_back(Shape(a.emplace_back(Tokenise(l))));
  for (const std::string& l : fresh) sb.push_back(Shape(b.emplace_back(Tokenise(l))));
  const std::size_t n = sa.size(), m = sb.size();
  // common[i][j]: length of the longest common sequence of shapes from stored line i and new line j on
  std::vector<std::vector<int>> common(n + 1, std::vector<int>(m + 1, 0));
  for (std::size_t i = n; i-- > 0;)
    for (std::size_t j = m; j-- > 0;)
      common[i][j] = sa[i] == sb[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
  std::vector<std::string> problems;
  std::size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && sa[i] == sb[j]) {
      if (stored[i] != fresh[j]) CompareNumbers(stored, i, a[i], b[j], problems);
      ++i, ++j;
    } else if (j == m || (i < n && common[i + 1][j] >= common[i][j + 1])) {
      problems.push_back("stored line " + std::to_string(i + 1) + " is missing: " + stored[i]);
      ++i;
    } else {
      problems.push_back("new line " + std::to_string(j + 1) + " is added: " + fresh[j]);
      ++j;
    }
  }
  return problems;
}

// ---- the run ---------------------------------------------------------------------------------------------

std::vector<std::string> Positions() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(KOLUMO_TEST_DATA, ec))
    if (entry.path().extension() == ".tqx") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct HostRun {
  int status = -1;
  std::vector<std::string> messages;
};

class RegressionTest : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "regression-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    // an installation root as the main job lays it out: every entry of the data folder
    root_ = folder_ / "root";
    fs::create_directory(root_);
    for (const auto& entry : fs::directory_iterator(KOLUMO_SOURCE_DIR "/data"))
      fs::create_directory_symlink(entry.path(), root_ / entry.path().filename());
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs the host in the scratch folder (so that a protocol written into the current folder would show); its
  // messages come on stderr, with the scratch folder's name replaced.
  HostRun Host(const std::string& command, const std::string& file) const {
    // without DISPLAY: a calculation would show its progress dialog on a screen
    const std::string line = "cd " + Quote(folder_.string()) +
                             " && env -u DISPLAY KOLUMO_ROOT=" + Quote(root_.string()) + " " + Quote(KOLUMO_HOST) +
                             " " + command + " " + Quote(file) + " >stdout 2>stderr";
    HostRun run;
    const int raw = std::system(line.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::string err = report_test::ReadFile(folder_ / "stderr");
    for (std::size_t at; (at = err.find(folder_.string())) != std::string::npos;)
      err.replace(at, folder_.string().size(), "<dir>");
    std::istringstream in(err);
    for (std::string l; std::getline(in, l);)
      if (!l.empty()) run.messages.push_back(l);
    return run;
  }

  fs::path folder_;
  fs::path root_;
};

void WriteLines(const fs::path& path, const std::string& header, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << header;
  for (const std::string& l : lines) out << l << '\n';
}

// `said`: the host's messages, whole (a sanitizer's report or an engine message explains many a difference).
void Check(const std::string& position, const char* what, const fs::path& storedPath,
           const std::vector<std::string>& fresh, const std::string& said) {
  ASSERT_TRUE(fs::exists(storedPath)) << storedPath << " is missing; run scripts/regenerate-regression.sh";
  const std::vector<std::string> problems = Compare(Lines(report_test::ReadFile(storedPath)), fresh);
  if (problems.empty()) return;
  std::string text;
  const std::size_t shown = std::min<std::size_t>(problems.size(), 40);
  for (std::size_t i = 0; i < shown; ++i) text += "  " + problems[i] + "\n";
  if (shown < problems.size()) text += "  ... and " + std::to_string(problems.size() - shown) + " more\n";
  ADD_FAILURE() << position << ".tqx, " << what << ": " << problems.size() << " difference(s) from "
                << storedPath.filename().string() << "\n"
                << text << (said.empty() ? "" : "  messages of the host:\n" + said);
}

TEST_P(RegressionTest, CalculationAndReportMatchTheStoredOnes) {
  const std::string name = GetParam();
  const fs::path data = KOLUMO_TEST_DATA;
  const std::string file = name + ".tqx";
  fs::copy_file(data / file, folder_ / file);

  std::vector<std::string> results;
  const HostRun calc = Host("calc", file);
  results.push_back("calc exit:\t" + std::to_string(calc.status));
  for (const std::string& m : calc.messages) results.push_back("calc message:\t" + m);
  const HostRun report = Host("report", file);
  results.push_back("report exit:\t" + std::to_string(report.status));
  for (const std::string& m : report.messages) results.push_back("report message:\t" + m);

  const int doc = VIDUV_OpenDoc((folder_ / file).c_str());
  ASSERT_NE(doc, 0) << VIDUV_GetLastError();
  const int root = VIDUV_GetRootElement(doc);
  if (const int result = VIDUV_FindFirstChild(root, "result")) DumpResult(result, results);
  if (const int exports = VIDUV_FindFirstChild(root, "exports")) DumpElements(exports, "exports", results);
  VIDUV_CloseDoc(doc);
  // what else the runs wrote (pictures, the engine's protocol, a foundation position), and the positions whole
  std::vector<std::string> written;
  for (const auto& entry : fs::directory_iterator(folder_)) {
    const std::string f = entry.path().filename().string();
    if (f != file && f != "root" && f != "stdout" && f != "stderr") written.push_back(f);
  }
  std::sort(written.begin(), written.end());
  for (const std::string& f : written) {
    results.push_back("written:\t" + f);
    if (fs::path(f).extension() != ".tqx") continue;
    if (const int other = VIDUV_OpenDoc((folder_ / f).c_str())) {
      DumpElements(VIDUV_GetRootElement(other), f, results);
      VIDUV_CloseDoc(other);
    }
  }
  for (std::string& line : results)
    for (std::size_t at; (at = line.find(folder_.string())) != std::string::npos;)
      line.replace(at, folder_.string().size(), "<dir>");

  const fs::path rtf = folder_ / (name + ".rtf");
  const std::vector<std::string> reportText =
      fs::exists(rtf) ? ReportLines(report_test::ReadFile(rtf)) : std::vector<std::string>{};

  const fs::path storedResults = data / (name + ".results.txt");
  const fs::path storedReport = data / (name + ".report.txt");
  const char* update = std::getenv("KOLUMO_REGRESSION_UPDATE");
  if (update && std::string(update) == "1") {
    const std::string header = "# " + file + ": written by scripts/regenerate-regression.sh; do not edit.\n";
    WriteLines(storedResults, header, results);
    WriteLines(storedReport, header, reportText);
    return;
  }
  std::string said;
  for (const HostRun* run : {&calc, &report})
    for (const std::string& m : run->messages) said += "    " + m + "\n";
  Check(name, "results", storedResults, results, said);
  Check(name, "report", storedReport, reportText, said);
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Positions, RegressionTest, testing::ValuesIn(Positions()), TestName);

// ---- the comparison itself ---------------------------------------------------------------------------------

TEST(RegressionCompareTest, NumbersWithinTheToleranceAgreeAndOthersAreNamed) {
  struct Case {
    const char* stored;
    const char* fresh;
    std::size_t problems;
  } cases[] = {
      {"x My:\t100 2", "x My:\t100.00009 2", 0},  // 9e-7 relative
      {"x My:\t100 2", "x My:\t100.0002 2", 1},   // 2e-6 relative
      {"x My:\t0 2", "x My:\t4e-7 2", 0},         // near zero: absolute
      {"x My:\t0 2", "x My:\t3e-6 2", 1},
      {"x My:\t-0.5", "x My:\t0.5", 1},                     // a sign is a change
      {"N | -1905.03 | 0.276", "N | -1905.04 | 0.277", 0},  // one unit in the last printed place
      {"N | -1905.03 | 0.276", "N | -1905.05 | 0.276", 1},
      {"LK 1", "LK 2", 1},            // integers: no rounding allowance
      {"x:\t12.56", "x:\t12.57", 1},  // full-precision values: none either
      {"Rechteck", "Kreis", 2},       // one missing, one added
      {"a:\t1 2", "a:\t1 2 3", 2},    // a value more
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.stored) + " / " + c.fresh);
    EXPECT_EQ(Compare({c.stored}, {c.fresh}).size(), c.problems);
  }
  // the message names the record, the field, the row and both values
  const std::vector<std::string> p = Compare({"result Schnittgroessen[3] System=0 LK=1 Typ=3 My:\t1 2 3"},
                                             {"result Schnittgroessen[3] System=0 LK=1 Typ=3 My:\t1 2 3.5"});
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0], "result Schnittgroessen[3] System=0 LK=1 Typ=3 My[2]: stored 3, new 3.5");
  const std::vector<std::string> withHeights = {"r[0] LK=1 Kote:\t0 1.75 3.5", "r[0] LK=1 My:\t0 -28.35 -56.7"};
  EXPECT_EQ(Compare(withHeights, {withHeights[0], "r[0] LK=1 My:\t0 -28.4 -56.7"}),
            std::vector<std::string>{"r[0] LK=1 My[1] at Kote 1.75 m: stored -28.35, new -28.4"});
  // a line more is named alone; the lines after it are still paired
  EXPECT_EQ(Compare({"a", "N 1.5", "b 2"}, {"a", "x", "N 1.5", "b 2.5"}),
            (std::vector<std::string>{"new line 2 is added: x", "line 3 \"b 2\": stored 2, new 2.5"}));
}

TEST(RegressionCompareTest, ReportTextDropsFormattingPicturesAndWhatVariesBetweenRuns) {
  const std::string rtf =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\header Seite {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}"
      "\\pard\\plain\\fs20 St\\'fctze\\par{\\pict\\pngblip 89504e47}"
      "\\trowd\\cellx100 1.35\\cell -3.10\\cell\\row "
      "Berechnet am 07.12.2026 um 12:19 in /tmp/regression-ab12/pos.tqx, V 2012.01\\par "
      "LK 1:1.35*(1) |Ned|\\par\\par}";
  EXPECT_EQ(ReportLines(rtf),
            (std::vector<std::string>{"Seite 1", "Stütze", "1.35 | -3.10 |",
                                      "Berechnet am <date> um <time> in <path>, <version>", "LK 1:1.35*(1) |Ned|"}));
}

}  // namespace
