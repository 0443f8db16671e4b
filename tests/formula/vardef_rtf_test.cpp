// The variable definitions as RTF: the report block and the text of the document part.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/rtfx/rtfx.h"
#include "tests/formula/vardef_test_support.h"
#include "tests/support/emf_sample.h"

using vardef_test::VarDefTest;

namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Groups of an RTF text balance: every '{' that is not escaped has its '}', and none closes below zero.
bool Balanced(const std::string& rtf) {
  int depth = 0;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;  // an escaped character or the first letter of a control word
      continue;
    }
    if (rtf[i] == '{') ++depth;
    if (rtf[i] == '}' && --depth < 0) return false;
  }
  return depth == 0;
}

// The PNG signature and header of a 2 x 3 picture: enough for the writer to size and embed it.
std::vector<unsigned char> TinyPng() {
  return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,
          0,    0,   2,   0,   0,    0,    3,    8,    2, 0, 0, 0,  0,   0,   0,   0};
}

class DocumentPartFake : public CSkribTarget {
 public:
  CString GetPositionFileName() const override { return file; }
  void TakeGeneratedText(const CString& rtf) override {
    text = rtf.str();
    ++taken;
  }
  CString file;
  std::string text;
  int taken = 0;
};

class VarDefRtfTest : public VarDefTest {
 protected:
  void SetUp() override {
    VarDefTest::SetUp();
    folder_ = std::filesystem::temp_directory_path() / ("vardef-rtf-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);  // pictures are written to the current folder
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
    VarDefTest::TearDown();
  }

  // The report block of the list as text.
  std::string Report(int variant = 0, std::vector<std::string>* failures = nullptr) {
    std::filesystem::path path = folder_ / "block.rtf";
    std::filesystem::remove(path);
    list.WriteRtf(path.c_str(), variant, failures);
    std::string rtf = ReadAll(path);
    EXPECT_TRUE(Balanced(rtf)) << rtf;
    return rtf;
  }

  // b = 0.3 m and h = 2*b with two digits.
  void AddBeam() {
    AddVariable(list, "b", "0.3");
    auto& h = AddVariable(list, "h", "2*b");
    h.desc = "Höhe";
    list.UpdateVariables();
  }

  CVarDefList list;
  std::filesystem::path folder_;
  std::filesystem::path previous_;
};

}  // namespace

TEST_F(VarDefRtfTest, ReportFlagClearWritesNoFile) {
  AddBeam();
  list.bReport = FALSE;
  std::filesystem::path path = folder_ / "none.rtf";
  list.WriteRtf(path.c_str(), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(VarDefRtfTest, CalculationLineOfAnExpression) {
  AddBeam();
  std::string report = Report(0);
  EXPECT_NE(report.find("\\ql h = 2*b = 0.60 m"), std::string::npos) << report;
  EXPECT_NE(report.find("\\ql b = 0.30 m"), std::string::npos);
  EXPECT_NE(report.find("\\ql H\\'f6he"), std::string::npos);  // the description line, escaped as Windows-1252
  std::string part = Report(1);
  EXPECT_NE(part.find("\\ql\\cf2 h = 2*b = 0.60\\cf1  m"), std::string::npos) << part;
}

TEST_F(VarDefRtfTest, CalculationAndSumAndTakenOverLines) {
  auto& r = Add<CVarDefWertUebernahme>(list).GetImport();
  r.varPath = "a\\b\\c";
  r.varName = "Az";
  r.unit = "kN";
  r.value = 12.345;
  auto& calc = Add<CVarDefBerechnung>(list);
  SetFormula(calc.value, "Az/2");
  calc.unit = "kN";
  calc.digits = 1;
  auto& sum = Add<CVarDefSummeTabelle>(list);
  sum.varName = "S";
  sum.unit = "kN";
  sum.digits = 3;
  list.UpdateVariables();
  // Az/2 = 6.1725 -> 6.2; S = 12.345 + 6.1725 = 18.5175 -> 18.518 (running sum of value, calculation)
  std::string report = Report(0);
  EXPECT_NE(report.find("\\ql a - b - c"), std::string::npos) << report;
  EXPECT_NE(report.find("\\ql Az = 12.35 kN"), std::string::npos);
  EXPECT_NE(report.find("\\ql Az/2 = 6.2 kN"), std::string::npos);
  EXPECT_NE(report.find("\\ql S = 18.518 kN"), std::string::npos);
  std::string part = Report(1);
  EXPECT_NE(part.find("\\ql\\cf2 Az == 12.35\\cf1  kN"), std::string::npos) << part;
}

TEST_F(VarDefRtfTest, PlainCalculationShowsItsNumber) {
  auto& calc = Add<CVarDefBerechnung>(list);
  calc.value = 3.0;
  calc.unit = "m";
  EXPECT_NE(Report(0).find("\\ql 3 = 3.00 m"), std::string::npos);
}

TEST_F(VarDefRtfTest, HeadingClosesTheValueLayout) {
  AddVariable(list, "a", "1");
  auto& heading = Add<CVarDefUeberschrift>(list);
  heading.title = "Lasten";
  heading.format = 1;
  AddVariable(list, "c", "2");
  list.UpdateVariables();
  std::string report = Report(0);
  std::size_t firstRow = report.find("\\trowd");
  std::size_t title = report.find("\\b \\ql Lasten");
  if (title == std::string::npos) title = report.find("\\b Lasten");
  std::size_t secondRow = report.find("\\trowd", firstRow + 1);
  ASSERT_NE(firstRow, std::string::npos);
  ASSERT_NE(title, std::string::npos) << report;
  ASSERT_NE(secondRow, std::string::npos);
  EXPECT_LT(firstRow, title);
  EXPECT_LT(title, secondRow);
  EXPECT_NE(report.find("\\row", secondRow), std::string::npos);
}

TEST_F(VarDefRtfTest, PageBreakOnlyInTheReport) {
  AddBeam();
  list.bPageBreak = TRUE;
  EXPECT_NE(Report(0).find("{\\page}"), std::string::npos);
  EXPECT_EQ(Report(1).find("\\page"), std::string::npos);
}

TEST_F(VarDefRtfTest, PictureGoesThroughAScratchFileOfItsOwn) {
  auto png = TinyPng();
  auto& picture = Add<CVarDefAbbildung>(list);
  picture.SetFileBuffer(png.data(), unsigned(png.size()));
  picture.fileName = "C:\\plaene.v2\\plan.png";
  picture.dWidth = 5.0;
  picture.dHeight = 7.5;
  Add<CVarDefAbbildung>(list).fileName = "empty.png";  // no buffer: nothing
  // A file of the engineer's that carries the name a fixed scratch file would have.
  { std::ofstream(folder_ / "temp.png") << "eigene Datei"; }
  std::filesystem::path scratch = folder_ / "scratch";
  std::filesystem::create_directories(scratch);
  const char* oldTmp = std::getenv("TMPDIR");
  std::string savedTmp = oldTmp ? oldTmp : "";
  ::setenv("TMPDIR", scratch.c_str(), 1);
  std::string report = Report(0);
  if (oldTmp)
    ::setenv("TMPDIR", savedTmp.c_str(), 1);
  else
    ::unsetenv("TMPDIR");

  // 5 cm x 7.5 cm = 2835 x 4252 twips; the picture's own size is 2 x 3 pixels.
  EXPECT_NE(report.find("\\pngblip\\picw2\\pich3\\picwgoal2835\\pichgoal4252"), std::string::npos) << report;
  EXPECT_EQ(report.find("\\pngblip", report.find("\\pngblip") + 1), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(scratch));
  EXPECT_EQ(ReadAll(folder_ / "temp.png"), "eigene Datei");
  EXPECT_EQ(Report(1).find("\\pict"), std::string::npos);  // the document part leaves pictures out
}

// Every picture reaches the report whatever its kind: a PNG, an EMF picture and a sketch (always an EMF) go in, the
// metafiles as they are under the names they are known by; a picture of no kind the report takes (a GIF) is named
// with the reason, and the pictures around it still go in.
TEST_F(VarDefRtfTest, PicturesOfEveryKindReachTheReportAndOneThatCannotIsNamed) {
  const auto png = TinyPng();
  const auto emf = test_support::SmallEmf();
  const std::string gif = "GIF89a\x01\x00\x01\x00\x00\x00\x00;";
  Add<CVarDefUeberschrift>(list).title = "Abbildungen";
  auto& first = Add<CVarDefAbbildung>(list);
  first.SetFileBuffer(png.data(), unsigned(png.size()));
  first.fileName = "plan.png";
  auto& metafile = Add<CVarDefAbbildung>(list);
  metafile.SetFileBuffer(emf.data(), unsigned(emf.size()));
  metafile.fileName = "C:\\plaene\\schnitt.emf";
  metafile.dWidth = 10.0;
  auto& unknown = Add<CVarDefAbbildung>(list);
  unknown.SetFileBuffer(gif.data(), unsigned(gif.size()));
  unknown.fileName = "foto.gif";
  auto& sketch = Add<CVarDefKritzl>(list);
  sketch.SetFileBuffer(emf.data(), unsigned(emf.size()));
  std::vector<std::string> failures;
  const std::string report = Report(0, &failures);

  EXPECT_NE(report.find("\\pngblip\\picw2\\pich3"), std::string::npos);
  // 10 cm wide = 5669 twips, half as high as wide as its frame of 5000 x 2500 (5 cm = 2835 twips)
  EXPECT_NE(report.find("{\\sv schnitt.emf}}}\\emfblip\\picw5000\\pich2500\\picwgoal5669\\pichgoal2835\r\n01000000"
                        "58000000"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("{\\sv Kritzl}}}\\emfblip\\picw5000\\pich2500"), std::string::npos) << report;
  EXPECT_EQ(report.find("4749463839"), std::string::npos);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].rfind("foto.gif: Bildformat nicht lesbar", 0), 0u) << failures[0];
}

// A picture of the table above the size a report takes is named with its size for the report's box, and the pictures
// around it still go in.
TEST_F(VarDefRtfTest, APictureAboveTheReportsSizeIsNamedWithItsSize) {
  std::vector<unsigned char> large = TinyPng();
  large.resize(std::size_t(rtfx::kMostPictureBytes) + 1024 * 1024);  // 17 MiB
  auto& photo = Add<CVarDefAbbildung>(list);
  photo.SetFileBuffer(large.data(), unsigned(large.size()));
  photo.fileName = "C:\\fotos\\baustelle.png";
  const auto png = TinyPng();
  auto& plan = Add<CVarDefAbbildung>(list);
  plan.SetFileBuffer(png.data(), unsigned(png.size()));
  plan.fileName = "plan.png";
  std::vector<std::string> failures;
  const std::string report = Report(0, &failures);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0], "C:\\fotos\\baustelle.png: Bild zu groß: 17,0 MB, im Bericht höchstens 16 MB je Bild");
  EXPECT_EQ(report.find("\\pict"), report.rfind("\\pict"));  // the plan alone
  EXPECT_NE(report.find("\\pngblip\\picw2\\pich3"), std::string::npos);
  EXPECT_LT(report.size(), std::size_t(1024 * 1024));
}

TEST_F(VarDefRtfTest, BracesInTheEngineersTextStayText) {
  auto& v = AddVariable(list, "x", "1", "{kN}");
  v.desc = "Klammer { offen \\ und";
  Add<CVarDefFreierText>(list).text = "}{";
  list.UpdateVariables();
  std::string report = Report(0);  // Report checks the balance
  EXPECT_NE(report.find("\\{kN\\}"), std::string::npos);
}

TEST_F(VarDefRtfTest, DocumentPartTakesTheTextWithItsColour) {
  AddBeam();
  DocumentPartFake part;
  part.file = (folder_ / "x.tqx").c_str();
  // the report of a position named "x.tmp": the text is made elsewhere and leaves it as it is
  { std::ofstream(folder_ / "x.tmp.rtf") << "Bericht von x.tmp"; }
  list.CreateSkribText(part);
  EXPECT_EQ(part.taken, 1);
  EXPECT_NE(part.text.find("\\red7\\green13\\blue255"), std::string::npos);
  EXPECT_EQ(part.text.find("\\red0\\green0\\blue255"), std::string::npos);
  EXPECT_NE(part.text.find("\\ql\\cf2 h = 2*b = 0.60\\cf1  m"), std::string::npos);
  EXPECT_TRUE(Balanced(part.text));
  std::ifstream kept(folder_ / "x.tmp.rtf");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "Bericht von x.tmp");
  for (const auto& entry : std::filesystem::directory_iterator(folder_))
    EXPECT_EQ(entry.path().filename().string().rfind(".kolumo-", 0), std::string::npos) << entry.path();
}

struct FormatCase {
  int format;
  int textHeight;
  const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << "format " << c.format << ", height " << c.textHeight; }

class FormatEntryTextTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatEntryTextTest, PrefixesOfTheHigherBitComeFirst) {
  CString text = "T";
  CVarDefList::FormatEntryText(text, GetParam().format, GetParam().textHeight);
  EXPECT_EQ(text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Bits, FormatEntryTextTest,
                         testing::Values(FormatCase{0, 0, "T"}, FormatCase{1, 0, "\\b T"},
                                         FormatCase{1 | 4, 0, "\\ul \\b T"},
                                         FormatCase{63, 0, "\\qj \\qr \\qc \\ul \\i \\b T"},
                                         FormatCase{2, 12, "\\fs24 \\i T"}, FormatCase{0, -3, "\\fs-6 T"}));

// The report prints a definition that failed with why, never with the number kept for it; the document part keeps
// the formula, whose text defines the name again.
TEST_F(VarDefRtfTest, AFailedDefinitionIsPrintedWithWhy) {
  auto& a = AddVariable(list, "a", "1/0", "kN");
  a.value.m_dValue = 777;
  auto& taken = Add<CVarDefWertUebernahme>(list).GetImport();
  taken.varPath = "EX\\c";
  taken.varName = "c";
  taken.unit = "kN";
  taken.value = 555;
  taken.failure = "c = 2/0: Division durch Null.";
  auto& sum = Add<CVarDefSummeTabelle>(list);
  sum.varName = "S";
  sum.unit = "kN";
  const std::string report = Report(0);
  EXPECT_NE(report.find("\\ql a = 1/0: Division durch Null."), std::string::npos) << report;
  EXPECT_NE(report.find("\\ql c = EX\\\\c: Definition in EX fehlgeschlagen: c = 2/0: Division durch Null."),
            std::string::npos)
      << report;
  // the sum adds both and fails with the first
  const std::size_t first = report.find("\\ql a = 1/0: Division durch Null.");
  EXPECT_NE(report.find("\\ql a = 1/0: Division durch Null.", first + 1), std::string::npos) << report;
  for (const char* number : {"777", "555", " kN"}) EXPECT_EQ(report.find(number), std::string::npos) << number;
  const std::string part = Report(1);
  EXPECT_NE(part.find("\\ql\\cf2 a = 1/0 = 777.00\\cf1  kN"), std::string::npos) << part;
}
