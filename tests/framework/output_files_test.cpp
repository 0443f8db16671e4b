// Showing and printing a report: programs run with their output kept, the viewer that is missing or cannot be
// started, and the printer: "lp" with a default destination gets the PDF the program prints, and its failure is told.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/win/afx.h"
#include "platform/win/screen/screen.h"
#include "tests/support/argv_recorder.h"
#include "tests/support/dead_pid.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A screen nobody sits at: what the program starts for a person is started, boxes take their scripted answers.
class QuietScreen : public win::Screen {
 public:
  void Present() override {}
  bool WaitForInput(DWORD) override { return false; }
};

class OutputFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::path(testing::TempDir()) / ("output_" + std::string(info->name()) + "_" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "bin");
    // Only the stand-ins of the test are found, whatever this machine has installed.
    Set("PATH", (dir_ / "bin").c_str());
    Set("LPDEST", nullptr);
    Set("PRINTER", nullptr);
    Set("TMPDIR", dir_.c_str());
    win::msgbox::ClearLog();
    win::msgbox::ClearAnswers();
    win::msgbox::SetShowOnScreen(false);
    report_ = dir_ / "Pos 1.rtf";
    std::ofstream(report_) << "{\\rtf1\\ansi Bemessung der St\\'fctze\\par}";
  }
  void TearDown() override {
    win::SetScreen(nullptr);
    win::msgbox::SetShowOnScreen(true);
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second)
        setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        unsetenv(it->first.c_str());
    }
    fs::remove_all(dir_);
  }
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  // A shell script in the test's bin folder.
  void Program(const char* name, const std::string& body) {
    std::ofstream(dir_ / "bin" / name) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(dir_ / "bin" / name, fs::perms::owner_all);
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& box : win::msgbox::Log()) out.push_back(box.text);
    return out;
  }
  static bool WaitFor(const fs::path& file) {
    for (int i = 0; i < 1000 && ReadFile(file).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !ReadFile(file).empty();
  }

  fs::path dir_, report_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  QuietScreen screen_;
};

TEST_F(OutputFilesTest, ACapturedRunKeepsExitStatusOutputAndErrorApart) {
  const CapturedRun both = RunCaptured({"/bin/sh", "-c", "echo aus; echo fehler >&2; exit 5"}, 10000);
  EXPECT_EQ(both.startError, 0);
  EXPECT_EQ(both.exitCode, 5);
  EXPECT_EQ(both.out, "aus\n");
  EXPECT_EQ(both.err, "fehler\n");
  EXPECT_FALSE(both.timedOut);

  // Entries given override the own environment; the others are inherited.
  Set("KOLUMO_A", "alt");
  Set("KOLUMO_B", "geerbt");
  const CapturedRun env = RunCaptured({"/bin/sh", "-c", "echo $KOLUMO_A $KOLUMO_B"}, 10000, {"KOLUMO_A=neu"});
  EXPECT_EQ(env.out, "neu geerbt\n");

  // More than a pipe holds on both streams at once: read as it comes, kept up to 64 KiB each.
  const CapturedRun much = RunCaptured({"/bin/sh", "-c",
                                        "i=0; while [ $i -lt 3000 ]; do echo 0123456789012345678901234567890123456789; "
                                        "echo 0123456789012345678901234567890123456789 >&2; i=$((i+1)); done"},
                                       20000);
  EXPECT_EQ(much.exitCode, 0);
  EXPECT_EQ(much.out.size(), 64u * 1024u);
  EXPECT_EQ(much.err.size(), 64u * 1024u);

  const CapturedRun missing = RunCaptured({"gibt-es-nicht"}, 10000);
  EXPECT_EQ(missing.startError, ENOENT);

  const auto start = std::chrono::steady_clock::now();
  const CapturedRun slow = RunCaptured({"/bin/sh", "-c", "exec /bin/sleep 30"}, 300);
  EXPECT_TRUE(slow.timedOut);
  EXPECT_EQ(slow.exitCode, 128 + 9);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(OutputFilesTest, APrinterIsLpWithADefaultDestination) {
  struct Case {
    const char* what;
    bool lp;
    const char* lpdest;
    const char* printer;
    const char* lpstat;  // the stand-in's output and status, nullptr: no lpstat
    bool expected;
    const char* whyNot;
  };
  const Case cases[] = {
      {"no lp at all", false, "buero", nullptr, nullptr, false, "\"lp\" wurde nicht gefunden"},
      {"lp, nothing names a destination", true, nullptr, nullptr, nullptr, false, "kein Standarddrucker"},
      {"LPDEST names one", true, "buero", nullptr, nullptr, true, ""},
      {"PRINTER names one", true, nullptr, "buero", nullptr, true, ""},
      {"an empty PRINTER names none", true, nullptr, "", nullptr, false, "kein Standarddrucker"},
      {"lpstat names the default", true, nullptr, nullptr, "echo 'system default destination: buero'", true, ""},
      {"lpstat has none", true, nullptr, nullptr, "echo 'no system default destination'", false,
       "kein Standarddrucker"},
      {"lpstat fails", true, nullptr, nullptr, "echo 'system default destination: x'; exit 1", false,
       "kein Standarddrucker"},
      // the words looked for are asked in the untranslated language
      {"lpstat in another language", true, nullptr, nullptr,
       "[ \"$LC_ALL\" = C ] && echo 'system default destination: buero' || echo 'Standardziel: buero'", true, ""},
  };
  for (const Case& c : cases) {
    fs::remove(dir_ / "bin" / "lp");
    fs::remove(dir_ / "bin" / "lpstat");
    if (c.lp) Program("lp", "exit 0");
    if (c.lpstat) Program("lpstat", c.lpstat);
    Set("LPDEST", c.lpdest);
    Set("PRINTER", c.printer);
    std::string whyNot;
    EXPECT_EQ(HasDefaultPrinter(&whyNot), c.expected) << c.what;
    if (!c.expected) {
      EXPECT_NE(whyNot.find(c.whyNot), std::string::npos) << c.what << ": " << whyNot;
    }
  }
}

// The spooler gets the PDF that the program prints itself, never the RTF; nothing is left behind, nothing asked.
TEST_F(OutputFilesTest, WithAPrinterLpGetsThePrintedPdf) {
  // The stand-in keeps its arguments and a copy of the last one (the file), as the spooler takes its own copy.
  Program("lp", "printf '%s|' \"$@\" > '" + (dir_ / "lp-args").string() + "'\n" +
                    "for f; do :; done; /bin/cp \"$f\" '" + (dir_ / "lp-file").string() + "'");
  Set("PRINTER", "buero");
  std::string windowsPath = report_.string();
  std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
  PrintFile(windowsPath.c_str());
  EXPECT_TRUE(Boxes().empty()) << Boxes().front();
  const std::string args = ReadFile(dir_ / "lp-args");
  ASSERT_EQ(args.rfind("-t|Pos 1.rtf|", 0), 0u) << args;
  const std::string handed = args.substr(std::string("-t|Pos 1.rtf|").size(), args.size() - 14);
  EXPECT_EQ(fs::path(handed).extension(), ".pdf") << args;
  EXPECT_EQ(args.find(".rtf|", 13), std::string::npos) << "the RTF went to the spooler: " << args;
  const std::string printed = ReadFile(dir_ / "lp-file");
  EXPECT_EQ(printed.substr(0, 5), "%PDF-");
  EXPECT_NE(printed.find("%%EOF"), std::string::npos);
  EXPECT_FALSE(fs::exists(handed)) << "the spooled PDF stays behind";
  EXPECT_FALSE(fs::exists(dir_ / "Pos 1.pdf")) << "with a printer no PDF is written beside the report";
  EXPECT_TRUE(fs::exists(report_));
}

TEST_F(OutputFilesTest, ASpoolerFailureIsShownWithItsStatusAndMessage) {
  struct Case {
    const char* lp;
    std::vector<std::string> told;
  };
  const Case cases[] = {
      {"echo 'lp: The printer or class does not exist.' >&2; exit 1",
       {"Status 1", "lp: The printer or class does not exist.", report_.string()}},
      // without a message on stderr its standard output is told
      {"echo 'Auftrag abgelehnt'; exit 4", {"Status 4", "Auftrag abgelehnt"}},
      {"exit 2", {"Status 2."}},
  };
  Set("LPDEST", "buero");
  for (const Case& c : cases) {
    Program("lp", c.lp);
    win::msgbox::ClearLog();
    PrintFile(report_.c_str());
    ASSERT_EQ(Boxes().size(), 1u) << c.lp;
    for (const std::string& part : c.told) EXPECT_NE(Boxes()[0].find(part), std::string::npos) << Boxes()[0];
    EXPECT_NE(Boxes()[0].find("nicht gedruckt"), std::string::npos) << Boxes()[0];
    EXPECT_NE(win::msgbox::Log()[0].caption, "Error");
  }
  // An "lp" that is there but cannot be started: the system's reason within the message, no bare "Error" box.
  std::ofstream(dir_ / "bin" / "lp") << "kein Programm\n";
  win::msgbox::ClearLog();
  PrintFile(report_.c_str());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("\"lp\" konnte nicht gestartet werden (" + std::string(std::strerror(ENOEXEC)) + ")"),
            std::string::npos)
      << Boxes()[0];
  EXPECT_NE(win::msgbox::Log()[0].caption, "Error");
  // the temporary PDFs are gone on every road
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_NE(entry.path().filename().string().rfind("kolumo-druck-", 0), 0u) << entry.path();
}

// No printer: the report is printed into a PDF beside it and the message names that file and why; a file that is
// no report cannot be printed and the message says so.
TEST_F(OutputFilesTest, WithoutAPrinterAReportIsPrintedIntoAPdfBesideIt) {
  Program("lp", "touch '" + (dir_ / "lp-ran").string() + "'");  // lp without a default destination
  fs::path text = dir_ / "notiz.txt";
  std::ofstream(text) << "Bemessung";
  PrintFile(report_.c_str());
  PrintFile(text.c_str());
  const fs::path pdf = dir_ / "Pos 1.pdf";
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_EQ(ReadFile(pdf).substr(0, 5), "%PDF-");
  EXPECT_FALSE(fs::exists(dir_ / "lp-ran")) << "lp was asked to print without a destination";
  EXPECT_FALSE(fs::exists(dir_ / "notiz.pdf"));
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_NE(Boxes()[0].find("'" + pdf.string() + "'"), std::string::npos) << Boxes()[0];
  EXPECT_NE(Boxes()[0].find("kein Standarddrucker"), std::string::npos) << Boxes()[0];
  EXPECT_NE(Boxes()[1].find("keine RTF-Ausgabe"), std::string::npos) << Boxes()[1];
  EXPECT_NE(Boxes()[1].find(text.string()), std::string::npos);
  EXPECT_EQ(PdfBesideFile("C:\\Pos.1\\stuetze.rtf"), "C:\\Pos.1\\stuetze.pdf");
  EXPECT_EQ(PdfBesideFile("/tmp/a.b/ohne"), "/tmp/a.b/ohne.pdf");
}

// On a screen the viewer is started with the report; when there is none, or it cannot be started, a German message
// names the report, which stays, and the program, never a bare "Error" with the system's words.
TEST_F(OutputFilesTest, AViewerThatIsMissingOrCannotStartIsNamedWithTheReport) {
  CRegSettings& settings = GetRegSettings();
  const CString savedViewer = settings.annexoPath;
  win::SetScreen(&screen_);

  // No viewer set and no opener of the desktop: what is looked for is named, not the suite's own viewer, which this
  // platform does not have.
  settings.annexoPath = CRegSettings::DefaultViewerPath();
  OpenWithViewer(report_.c_str());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("Die Datei '" + report_.string() + "' ist geschrieben"), std::string::npos) << Boxes()[0];
  EXPECT_NE(Boxes()[0].find("\"xdg-open\""), std::string::npos) << Boxes()[0];
  EXPECT_NE(Boxes()[0].find("(PATH)"), std::string::npos) << Boxes()[0];
  EXPECT_EQ(Boxes()[0].find("annexo"), std::string::npos) << Boxes()[0];
  win::msgbox::ClearLog();

  const fs::path own = dir_ / "annexo.exe";
  settings.annexoPath = own.c_str();
  // Neither the settings' viewer, set to one that is missing, nor the desktop's opener.
  OpenWithViewer(report_.c_str());
  ASSERT_EQ(Boxes().size(), 1u);
  const std::string none = Boxes()[0];
  EXPECT_NE(none.find("'" + report_.string() + "'"), std::string::npos) << none;
  EXPECT_NE(none.find("\"xdg-open\""), std::string::npos) << none;
  EXPECT_NE(none.find(own.string()), std::string::npos) << none;
  EXPECT_NE(none.find("PATH"), std::string::npos) << none;
  EXPECT_NE(win::msgbox::Log()[0].caption, "Error");
  EXPECT_TRUE(fs::exists(report_));

  // The settings' viewer is there but cannot be started (a folder with the program's name).
  fs::create_directories(own);
  win::msgbox::ClearLog();
  OpenWithViewer(report_.c_str());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].find("'" + report_.string() + "'"), std::string::npos) << Boxes()[0];
  EXPECT_NE(Boxes()[0].find("'" + own.string() + "'"), std::string::npos) << Boxes()[0];
  EXPECT_NE(Boxes()[0].find("nicht gestartet"), std::string::npos) << Boxes()[0];
  fs::remove(own);

  // The desktop's opener gets the report, and nothing is said.
  Program("xdg-open", "printf '%s\\n' \"$@\" > '" + (dir_ / "opened").string() + "'");
  win::msgbox::ClearLog();
  OpenWithViewer(report_.c_str());
  EXPECT_TRUE(Boxes().empty()) << Boxes().front();
  ASSERT_TRUE(WaitFor(dir_ / "opened"));
  EXPECT_EQ(ReadFile(dir_ / "opened"), report_.string() + "\n");
  settings.annexoPath = savedViewer;
}

// The settings' viewer is started as its path stands, with the report as its one argument, whatever either holds
// (blanks, quotes, dollar signs, semicolons, line ends; a backslash parts folders, as everywhere in a path), and no
// shell reads them. Quoted into one command line and split again, a path with a quote was cut into another program
// and arguments.
TEST_F(OutputFilesTest, TheViewerIsStartedAsItsPathStandsWithTheReportAsItsOneArgument) {
  CRegSettings& settings = GetRegSettings();
  const CString savedViewer = settings.annexoPath;
  win::SetScreen(&screen_);
  const fs::path told = dir_ / "argv";
  const struct {
    std::string folder;  // of the viewer and of the report
    std::string viewer;
    std::string report;
  } cases[] = {
      {"opt/my \"best\" view", "viewer", "Pos 1.rtf"},
      {"a $HOME; b", "\"view\" er", "x;$(touch gemacht) 'q'.rtf"},
      {"zeile\nzwei", "v\"", "\"ende\".rtf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder + "/" + c.viewer);
    const fs::path folder = dir_ / c.folder;
    fs::create_directories(folder);
    const fs::path viewer = folder / c.viewer, report = folder / c.report;
    test_support::WriteArgvRecorder(viewer, told);
    std::ofstream(report) << "{\\rtf1 Bericht\\par}";
    fs::remove(told);
    // set with backslashes between its folders, as the settings may hold it
    std::string set = viewer.string();
    std::replace(set.begin(), set.end(), '/', '\\');
    settings.annexoPath = set.c_str();
    win::msgbox::ClearLog();
    OpenWithViewer(report.c_str());
    EXPECT_TRUE(Boxes().empty()) << Boxes().front();
    ASSERT_TRUE(WaitFor(told)) << "the viewer did not run";
    EXPECT_EQ(test_support::RecordedArgv(told), (std::vector<std::string>{viewer.string(), report.string()}));
  }
  EXPECT_FALSE(fs::exists(dir_ / "gemacht"));
  EXPECT_FALSE(fs::exists(dir_ / "a $HOME; b" / "gemacht"));
  settings.annexoPath = savedViewer;
}

// A print killed before it removed the file it gave the spooler leaves its folder in the temporary folder; the
// next print removes the marked folders of processes that are gone, and nothing else: not a print at work, not the
// user's folder or file of such a name.
TEST_F(OutputFilesTest, TheSpoolersFilesOfAKilledPrintAreRemovedByTheNextPrint) {
  const std::string dead = std::to_string(test_support::DeadPid()), parent = std::to_string(::getppid());
  const struct {
    std::string name;
    bool ours;
    bool removed;
  } entries[] = {
      {"kolumo-druck-" + dead + "-a1B2c3", true, true},
      {"kolumo-druck-" + parent + "-a1B2c3", true, false},  // a print at work
      {"kolumo-druck-" + dead + "-u5er00", false, false},
      {"kolumo-druck-" + dead + "-a1B2c3.pdf", false, false},  // the name the spooler's file had
  };
  for (const auto& e : entries) {
    if (e.ours) {
      ASSERT_TRUE(test_support::LeaveScratchFolder(dir_, e.name));
    } else if (e.name.size() > 4 && e.name.compare(e.name.size() - 4, 4, ".pdf") == 0) {
      std::ofstream(dir_ / e.name) << "x";
    } else {
      fs::create_directory(dir_ / e.name);
      std::ofstream(dir_ / e.name / "Druck.pdf") << "x";
    }
  }
  Set("LPDEST", "buero");
  Program("lp", "exit 0");
  PrintFile(report_.c_str());
  EXPECT_TRUE(Boxes().empty()) << Boxes().front();
  for (const auto& e : entries) EXPECT_EQ(fs::exists(dir_ / e.name), !e.removed) << e.name;
}

}  // namespace
