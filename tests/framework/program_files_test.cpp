#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/basedata.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/base/paths.h"
#include "tests/support/argv_recorder.h"

namespace {

TEST(ProgramFiles, MissingHelpAndProgramFilesAreReportedByTheirFileSystemPath) {
  win::msgbox::ClearLog();
  BaseData::ShowHelpTopic("gibt_es_nicht.chm", "Thema.htm");
  BaseData::OpenProgramFile("help\\Dialoge gibt_es_nicht.pdf");
  ASSERT_EQ(win::msgbox::Log().size(), 2u);
  // the whole path, one kind of separator: what the user can look for
  EXPECT_NE(win::msgbox::Log()[0].text.find("'" + win::JoinPath(win::ExeDir(), "gibt_es_nicht.chm") + "'"),
            std::string::npos)
      << win::msgbox::Log()[0].text;
  EXPECT_EQ(win::msgbox::Log()[1].text,
            "Fehler beim Öffnen der Datei " + win::InstallRoot() + "/help/Dialoge gibt_es_nicht.pdf");
  for (const auto& box : win::msgbox::Log()) EXPECT_EQ(box.text.find('\\'), std::string::npos) << box.text;
  win::msgbox::ClearLog();
}

TEST(ProgramFiles, ViewerIsTheSettingsProgramWhenInstalled) {
  CRegSettings& settings = GetRegSettings();
  const CString saved = settings.annexoPath;
  settings.annexoPath = (std::filesystem::path(testing::TempDir()) / "kein_betrachter").c_str();
  EXPECT_EQ(GetViewerProgram(), "xdg-open");
  std::filesystem::path viewer = std::filesystem::path(testing::TempDir()) / ("betrachter " + std::to_string(getpid()));
  std::ofstream(viewer) << "#!/bin/sh\n";
  chmod(viewer.c_str(), 0755);
  settings.annexoPath = viewer.c_str();
  // the path as it stands: a blank in it is no place to split it
  EXPECT_EQ(GetViewerProgram(), CString(viewer.c_str()));
  settings.annexoPath = saved;
  std::filesystem::remove(viewer);
}

// What the desktop's opener gets for a help topic: a PDF's address with the topic's page name as named
// destination (blanks and umlauts as %XX of their UTF-8 bytes: "ä" is C3 A4), any other file or no topic the path.
TEST(ProgramFiles, HelpTopicsOpenAPdfAtTheirNamedDestination) {
  const struct {
    const char* path;
    const char* topic;
    const char* address;
  } cases[] = {
      {"/opt/k/bin/KOLUMO.pdf", "STB_Brandschutz.htm", "file:///opt/k/bin/KOLUMO.pdf#nameddest=STB_Brandschutz"},
      {"/opt/k/bin/tq-skrib.pdf", "/Visual_Basic_Script.htm",
       "file:///opt/k/bin/tq-skrib.pdf#nameddest=Visual_Basic_Script"},
      {"/opt/k/bin/script56.PDF", "/html/vsgrpfeatures.htm", "file:///opt/k/bin/script56.PDF#nameddest=vsgrpfeatures"},
      {"/opt/k b/Hilfe \xC3\xA4.pdf", "Last_\xC3\xBC" "bernahme.htm",
       "file:///opt/k%20b/Hilfe%20%C3%A4.pdf#nameddest=Last_%C3%BCbernahme"},
      {"/opt/k/bin/a#b.pdf", "x y.htm", "file:///opt/k/bin/a%23b.pdf#nameddest=x%20y"},
      {"/opt/k/bin/KOLUMO.chm", "STB_Brandschutz.htm", "/opt/k/bin/KOLUMO.chm"},
      {"/opt/k/bin/KOLUMO.pdf", nullptr, "/opt/k/bin/KOLUMO.pdf"},
      {"/opt/k/bin/KOLUMO.pdf", "", "/opt/k/bin/KOLUMO.pdf"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BaseData::HelpAddress(c.path, c.topic), c.address) << c.path << " " << (c.topic ? c.topic : "null");
}

// The help file of a topic is looked for in the program's folder, its PDF before the compiled file named; the
// opener (a recorder in its place on the search path) is handed the PDF at the topic.
TEST(ProgramFiles, ShowHelpTopicHandsTheOpenerThePdfBesideTheProgramAtItsTopic) {
  const std::string stem = "hilfe_test_" + std::to_string(getpid());
  const std::filesystem::path pdf = std::filesystem::path(win::ExeDir()) / (stem + ".pdf");
  const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / ("opener_" + stem);
  std::filesystem::create_directories(folder);
  const std::filesystem::path told = folder / "told";
  test_support::WriteArgvRecorder(folder / "xdg-open", told);
  std::ofstream(pdf) << "%PDF-1.4\n";
  EXPECT_EQ(BaseData::HelpFilePath((stem + ".chm").c_str()), CString(pdf.c_str()));
  // without its PDF the file named is looked for
  EXPECT_EQ(BaseData::HelpFilePath((stem + "_x.chm").c_str()),
            CString((std::filesystem::path(win::ExeDir()) / (stem + "_x.chm")).c_str()));

  const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (folder.string() + ":" + savedPath).c_str(), 1);
  win::msgbox::ClearLog();
  BaseData::ShowHelpTopic((stem + ".chm").c_str(), "/Kapitel_2.htm");
  setenv("PATH", savedPath.c_str(), 1);
  EXPECT_TRUE(win::msgbox::Log().empty());
  for (int i = 0; i < 1000 && test_support::RecordedArgv(told).size() < 2; ++i) usleep(10000);
  EXPECT_EQ(test_support::RecordedArgv(told),
            (std::vector<std::string>{(folder / "xdg-open").string(), "file://" + pdf.string() + "#nameddest=Kapitel_2"}));
  std::filesystem::remove(pdf);
  std::filesystem::remove_all(folder);
}

}  // namespace
