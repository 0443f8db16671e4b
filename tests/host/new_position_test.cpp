// "kolumo new": a new position starts from the default input (the user's template, else the installation's), whose
// report chapters are the shipped example's; a report with no chapter chosen says where they are chosen.
#include <regex>

#include "tests/host/host_run.h"
#include "tests/report/rtf_text.h"

namespace {

using namespace host_test;

constexpr const char* kTemplateName = "TQ-KOLUMO Vorbelegung.tqx";
constexpr const char* kNoChapter = "Keine Ausgabe gewählt";

// The element of a position file that starts with `tag` ("<Ausgabe "), up to its end; empty when there is none.
std::string ElementOf(const std::string& text, const std::string& tag) {
  const std::size_t at = text.find(tag);
  if (at == std::string::npos) return "";
  return text.substr(at, text.find('>', at) + 1 - at);
}

// Every output switch of the position off.
std::string WithoutChapters(std::string text) {
  const std::string ausgabe = ElementOf(text, "<Ausgabe ");
  const std::string off = std::regex_replace(ausgabe, std::regex("((num|graf)_[A-Za-z_]+)=\"1\""), "$1=\"0\"");
  return text.replace(text.find(ausgabe), ausgabe.size(), off);
}

class NewPositionTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    // the user's data folder of the test alone: a template in the real one must not decide the result
    common_ = folder_ / "common";
    fs::create_directories(common_);
    prefix_ = "env KOLUMO_COMMON_DATA=" + Quote(common_.string()) + " ";
  }
  fs::path UserTemplate() const { return common_ / "ormi" / "Vorlagen" / kTemplateName; }
  static std::string Example() { return Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx"); }
  std::string ReportText(const std::string& position) {
    const HostRun run = Host({"report", position});
    EXPECT_EQ(run.status, 0) << run.err;
    std::string rtf = position;
    rtf.replace(rtf.size() - 4, 4, ".rtf");
    return report_test::VisibleText(Slurp(rtf));
  }

  fs::path common_;
};

TEST_F(NewPositionTest, ANewPositionHasTheExamplesChaptersAndNoColumn) {
  const HostRun made = Host({"new", Path("neu.tqx")});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_TRUE(made.err.empty()) << made.err;
  const std::string neu = Slurp(Path("neu.tqx"));
  const std::string ausgabe = ElementOf(neu, "<Ausgabe ");
  ASSERT_FALSE(ausgabe.empty());
  EXPECT_EQ(ausgabe, ElementOf(Example(), "<Ausgabe "));
  EXPECT_NE(ausgabe.find("num_System=\"1\""), std::string::npos);
  // an empty column: no field, no results, and a position of its own, not a template
  EXPECT_NE(ElementOf(neu, "<system ").find("nFields=\"0\""), std::string::npos) << ElementOf(neu, "<system ");
  EXPECT_EQ(neu.find("<Schnittgroessen"), std::string::npos);
  EXPECT_NE(ElementOf(neu, "<info ").find("bIsTemplate=\"0\""), std::string::npos);
  // the shipped template is marked as one: read, it takes the design code of the user's settings
  const std::string vorlage = Slurp(fs::path(KOLUMO_DATA_DIR) / "Vorlagen" / kTemplateName);
  EXPECT_NE(ElementOf(vorlage, "<info ").find("bIsTemplate=\"1\""), std::string::npos);

  const std::string text = ReportText(Path("neu.tqx"));
  EXPECT_NE(text.find("Eingabedaten Ortbetonstütze"), std::string::npos) << text;
  EXPECT_NE(text.find("Keine Ergebnisse vorhanden"), std::string::npos) << text;
  EXPECT_EQ(text.find(kNoChapter), std::string::npos) << text;
}

TEST_F(NewPositionTest, AnEmptyColumnIsRefusedWithTheInputChecksMessage) {
  ASSERT_EQ(Host({"new", Path("neu.tqx")}).status, 0);
  const std::string before = Slurp(Path("neu.tqx"));
  const HostRun calc = Host({"calc", Path("neu.tqx")});
  EXPECT_EQ(calc.status, 1);
  EXPECT_NE(calc.err.find("Die Eingabe kann so nicht berechnet werden"), std::string::npos) << calc.err;
  EXPECT_NE(calc.err.find("kein Feld"), std::string::npos) << calc.err;
  EXPECT_EQ(calc.err.find("runtime error"), std::string::npos) << calc.err;
  EXPECT_EQ(Slurp(Path("neu.tqx")), before);
}

TEST_F(NewPositionTest, TheUsersTemplateComesFirstWithoutItsResults) {
  // a calculated position kept as the user's default input
  fs::create_directories(UserTemplate().parent_path());
  const HostRun calculated = [&] {
    fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", UserTemplate());
    return Host({"calc", UserTemplate().string()});
  }();
  ASSERT_EQ(calculated.status, 0) << calculated.err;
  const std::string vorlage = Slurp(UserTemplate());
  ASSERT_NE(vorlage.find("<Schnittgroessen"), std::string::npos);
  ASSERT_EQ(vorlage.find("<exports />"), std::string::npos);

  const HostRun made = Host({"new", Path("neu.tqx")});
  ASSERT_EQ(made.status, 0) << made.err;
  const std::string neu = Slurp(Path("neu.tqx"));
  EXPECT_NE(ElementOf(neu, "<system ").find("nFields=\"2\""), std::string::npos) << ElementOf(neu, "<system ");
  EXPECT_NE(neu.find("Stütze B/3"), std::string::npos);
  // the module writes its empty result and export elements; nothing of the template's is in them
  EXPECT_EQ(neu.find("<Schnittgroessen"), std::string::npos);
  EXPECT_NE(neu.find("<exports />"), std::string::npos);
  EXPECT_EQ(Slurp(UserTemplate()), vorlage) << "the template is only read";
}

TEST_F(NewPositionTest, AnUnusableTemplateIsNamedAndNothingIsWritten) {
  fs::create_directories(UserTemplate().parent_path());
  const std::string other = "<?xml version=\"1.0\"?><root progname=\"TREPPE\"><info/><input/></root>";
  for (const std::string& text : {other, std::string("<?xml version=\"1.0\"?><root progname=\"KOLUMO\"><info>")}) {
    std::ofstream(UserTemplate(), std::ios::binary) << text;
    const HostRun made = Host({"new", Path("neu.tqx")});
    EXPECT_EQ(made.status, 1) << text;
    EXPECT_NE(made.err.find(kTemplateName), std::string::npos) << made.err;
    EXPECT_FALSE(fs::exists(Path("neu.tqx")));
  }
}

TEST_F(NewPositionTest, WithoutAnyTemplateTheEmptyColumnIsMadeAndItsReportSaysWhereChaptersAreChosen) {
  // an installation root without templates
  fs::remove(root_ / "Vorlagen");
  const HostRun made = Host({"new", Path("neu.tqx")});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_NE(made.err.find(kTemplateName), std::string::npos) << made.err;
  const std::string text = ReportText(Path("neu.tqx"));
  const std::size_t said = text.find(kNoChapter);
  ASSERT_NE(said, std::string::npos) << text;
  EXPECT_NE(text.find("\"Steuerung der numerische Ausgabe\"", said), std::string::npos) << text;
  EXPECT_NE(text.find("\"Steuerung der grafischen Ausgabe\"", said), std::string::npos) << text;
}

TEST_F(NewPositionTest, ACalculatedPositionWithNoChapterChosenSaysSoToo) {
  std::ofstream(Path("leer.tqx"), std::ios::binary) << WithoutChapters(Example());
  const std::string text = ReportText(Path("leer.tqx"));
  EXPECT_NE(text.find(kNoChapter), std::string::npos) << text;
  EXPECT_EQ(text.find("Ergebnisdaten"), std::string::npos) << text;
  // one switch on: the chapter, not the note
  std::string eins = WithoutChapters(Example());
  const std::size_t riss = eins.find("num_Riss=\"0\"");
  ASSERT_NE(riss, std::string::npos);
  std::ofstream(Path("riss.tqx"), std::ios::binary) << eins.replace(riss, 12, "num_Riss=\"1\"");
  const std::string mitRiss = ReportText(Path("riss.tqx"));
  EXPECT_EQ(mitRiss.find(kNoChapter), std::string::npos) << mitRiss;
  EXPECT_NE(mitRiss.find("Ergebnisdaten"), std::string::npos) << mitRiss;
}

}  // namespace
