// The example's report writes its signs as text: per mille and per cent signs in the units, Greek letters as
// Unicode with the Symbol letter for old readers, so a PDF made from it can be searched for them.
#include <algorithm>
#include <cstdlib>

#include "tests/host/host_run.h"
#include "tests/report/rtf_text.h"

namespace {

using namespace host_test;

class SymbolsReportTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", Path("Stuetze.tqx"));
    ASSERT_EQ(Host({"calc", Path("Stuetze.tqx")}).status, 0);
    ASSERT_EQ(Host({"report", Path("Stuetze.tqx")}).status, 0);
    rtf_ = Slurp(Path("Stuetze.rtf"));
  }
  std::string rtf_;
};

// What an engineer searches for, in the order of the report: the concrete's strains and partial factors with
// their units, the inclination psi of the example's imperfection (-0.40 and 0.40 per cent as typed), the
// rotations theta and the ultimate strains in their tables.
const char* const kShown[] = {
    "|εc2|εc2u|γG|γA|",
    "|[‰]|[‰]|",
    "Explizite Vorgabe der Schiefstellung ψ : um die x-Achse = -0.40 %, um die y-Achse = 0.40 %",
    "|θy|θx|",
    "|ε1,u|ε2,u|εs,u|αu|",
    "|ε1,Ri|ε2,Ri|εs,Ri|σs,Ri|"};

TEST_F(SymbolsReportTest, SignsAndGreekLettersAreTextWithTheSymbolFontAsFallback) {
  ASSERT_TRUE(report_test::GroupsBalanced(rtf_));
  const std::string text = report_test::VisibleText(rtf_);
  std::size_t at = 0;
  for (const char* shown : kShown) {
    const std::size_t found = text.find(shown, at);
    EXPECT_NE(found, std::string::npos) << shown;
    if (found != std::string::npos) at = found;
  }
  for (const char* word : {"prom.", "proz.", "%{"}) EXPECT_EQ(text.find(word), std::string::npos) << word;
  // an old reader gets epsilon from the Symbol font's "e"
  EXPECT_NE(rtf_.find("{\\f2 {\\uc1\\u949 e}}"), std::string::npos);
}

// The shear diagrams beside the report are titled by their force (the picture file escapes the blank as %20).
TEST_F(SymbolsReportTest, ShearDiagramsAreTitledQuerkraft) {
  const std::string diagramm = Slurp(Path("Stuetze.Schnitt-LK1-Typ3-BZ0.p2d"));
  ASSERT_FALSE(diagramm.empty());
  EXPECT_NE(diagramm.find("Querkraft%20Vx"), std::string::npos);
  EXPECT_NE(diagramm.find("Querkraft%20Vy"), std::string::npos);
  EXPECT_EQ(diagramm.find("Querkraftkraft"), std::string::npos);
}

// Every file the report leaves beside the position is what its name's extension says, told by its first bytes.
TEST_F(SymbolsReportTest, FilesBesideTheReportAreWhatTheirExtensionSays) {
  const std::pair<const char*, std::string> kKopf[] = {
      {".rtf", "{\\rtf1"}, {".bmp", "BM"}, {".png", "\x89PNG\r\n\x1a\n"}, {".p2d", "PLOTWERK-2D 1\n"}};
  int bilder = 0;
  for (const auto& entry : fs::directory_iterator(folder_)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("Stuetze.", 0) != 0 || name == "Stuetze.tqx" || name.find("kolumoorg") != std::string::npos)
      continue;
    const std::string ext = entry.path().extension().string();
    const auto kopf = std::find_if(std::begin(kKopf), std::end(kKopf), [&](const auto& k) { return ext == k.first; });
    ASSERT_NE(kopf, std::end(kKopf)) << "unexpected file beside the report: " << name;
    EXPECT_EQ(Slurp(entry.path().string()).substr(0, kopf->second.size()), kopf->second) << name;
    bilder += ext == ".rtf" ? 0 : 1;
  }
  // the example draws its final system and the section-force diagrams of its combinations
  EXPECT_GE(bilder, 2);
}

// The PDF a word processor makes of the report holds the signs as text, and the words of the input tables whole.
TEST_F(SymbolsReportTest, ThePdfOfTheReportCanBeSearchedForTheSigns) {
  if (std::system("command -v soffice >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no soffice or pdftotext";
  const std::string profile = "file://" + Path("lo-profile");
  const std::string convert = "cd " + Quote(folder_.string()) + " && soffice -env:UserInstallation=" + profile +
                              " --headless --convert-to pdf Stuetze.rtf >/dev/null 2>&1 && pdftotext Stuetze.pdf "
                              "Stuetze.txt";
  ASSERT_EQ(std::system(convert.c_str()), 0);
  const std::string text = Slurp(Path("Stuetze.txt"));
  for (const char* shown : {"ε", "γ", "ψ", "θ", "‰", "= -0.40 %", "Schubmodul", "Eigengewicht Stütze"})
    EXPECT_NE(text.find(shown), std::string::npos) << shown;
}

}  // namespace
