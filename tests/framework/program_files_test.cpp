#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "framework/basedata.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/screen/screen.h"
#include "platform/win/base/paths.h"
#include "tests/support/argv_recorder.h"

namespace {

// A help file that is not there is said by one message, whether a topic or a dialog's help asks for it, naming the
// file looked for: for a compiled help file the PDF that ships in its place.
TEST(ProgramFiles, MissingHelpFilesAreNamedByOneMessageWithTheFileLookedFor) {
  win::msgbox::ClearLog();
  BaseData::ShowHelpTopic("gibt_es_nicht.chm", "Thema.htm");
  BaseData::OpenProgramFile("help\\Dialoge gibt_es_nicht.pdf");
  ASSERT_EQ(win::msgbox::Log().size(), 2u);
  // the whole path, one kind of separator: what the user can look for
  EXPECT_EQ(win::msgbox::Log()[0].text,
            "Die Hilfedatei '" + win::JoinPath(win::ExeDir(), "gibt_es_nicht.pdf") + "' wurde nicht gefunden.");
  EXPECT_EQ(win::msgbox::Log()[1].text,
            "Die Hilfedatei '" + win::InstallRoot() + "/help/Dialoge gibt_es_nicht.pdf' wurde nicht gefunden.");
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
      {"/opt/k b/Hilfe \xC3\xA4.pdf",
       "Last_\xC3\xBC"
       "bernahme.htm",
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
  // without either the PDF is the file looked for; a compiled file alone is taken as it is
  const std::filesystem::path chm = std::filesystem::path(win::ExeDir()) / (stem + "_x.chm");
  EXPECT_EQ(BaseData::HelpFilePath((stem + "_x.chm").c_str()),
            CString((std::filesystem::path(win::ExeDir()) / (stem + "_x.pdf")).c_str()));
  std::ofstream(chm) << "ITSF";
  EXPECT_EQ(BaseData::HelpFilePath((stem + "_x.chm").c_str()), CString(chm.c_str()));
  std::filesystem::remove(chm);

  // on a desktop (a screen) without an opener of its own the desktop's opener on the search path gets it
  struct Desktop : win::Screen {
    void Present() override {}
    bool WaitForInput(DWORD) override { return true; }
  } desktop;
  win::Screen* const previous = win::SetScreen(&desktop);
  const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (folder.string() + ":" + savedPath).c_str(), 1);
  unsetenv("KOLUMO_OPENER");
  win::msgbox::ClearLog();
  BaseData::ShowHelpTopic((stem + ".chm").c_str(), "/Kapitel_2.htm");
  win::shell::SettleOpeners(5000);
  setenv("PATH", savedPath.c_str(), 1);
  win::SetScreen(previous);
  EXPECT_TRUE(win::msgbox::Log().empty());
  for (int i = 0; i < 1000 && test_support::RecordedArgv(told).size() < 2; ++i) usleep(10000);
  EXPECT_EQ(
      test_support::RecordedArgv(told),
      (std::vector<std::string>{(folder / "xdg-open").string(), "file://" + pdf.string() + "#nameddest=Kapitel_2"}));
  std::filesystem::remove(pdf);
  std::filesystem::remove_all(folder);
}

// Help goes to the same opener as every other file or address: the program $KOLUMO_OPENER names gets the topic's
// help and a dialog's help file, and an opener that fails is said with the help file's name and the opener's reason.
TEST(ProgramFiles, HelpGoesToTheOwnOpenerAndItsFailureIsSaidWithItsReason) {
  const std::string stem = "hilfe_opener_" + std::to_string(getpid());
  const std::filesystem::path pdf = std::filesystem::path(win::ExeDir()) / (stem + ".pdf");
  const std::filesystem::path dialogHelp = std::filesystem::path(win::InstallRoot()) / "help" / (stem + ".pdf");
  const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / ("own_" + stem);
  std::filesystem::create_directories(folder);
  std::filesystem::create_directories(dialogHelp.parent_path());
  std::ofstream(pdf) << "%PDF-1.4\n";
  std::ofstream(dialogHelp) << "%PDF-1.4\n";
  const std::filesystem::path opener = folder / "oeffner", told = folder / "told";
  const struct {
    const char* name;
    std::function<void()> ask;
    std::string address, file;
  } asks[] = {
      {"a topic", [&] { BaseData::ShowHelpTopic((stem + ".chm").c_str(), "Kapitel_3.htm"); },
       "file://" + pdf.string() + "#nameddest=Kapitel_3", pdf.string()},
      {"a dialog's help", [&] { BaseData::OpenProgramFile(("help\\" + stem + ".pdf").c_str()); }, dialogHelp.string(),
       dialogHelp.string()},
  };
  setenv("KOLUMO_OPENER", opener.c_str(), 1);
  for (const bool fails : {false, true}) {
    test_support::WriteArgvRecorder(opener, told);
    if (fails) std::ofstream(opener, std::ios::app) << "echo 'Kein Betrachter für PDF' >&2\nexit 3\n";
    for (const auto& ask : asks) {
      SCOPED_TRACE(std::string(ask.name) + (fails ? ", failing" : ""));
      std::filesystem::remove(told);
      win::msgbox::ClearLog();
      if (fails) win::msgbox::QueueAnswer(IDOK);
      ask.ask();
      win::shell::SettleOpeners(5000);
      EXPECT_EQ(test_support::RecordedArgv(told), (std::vector<std::string>{opener.string(), ask.address}));
      if (!fails) {
        EXPECT_TRUE(win::msgbox::Log().empty());
        continue;
      }
      ASSERT_EQ(win::msgbox::Log().size(), 1u);
      EXPECT_EQ(win::msgbox::Log()[0].text, "Die Hilfedatei '" + ask.file +
                                                "' kann nicht geöffnet werden.\nDas Programm '" + opener.string() +
                                                "' endete mit dem Status 3 (ein benötigtes Programm fehlt):\n"
                                                "Kein Betrachter für PDF");
    }
  }
  unsetenv("KOLUMO_OPENER");
  win::msgbox::ClearLog();
  std::filesystem::remove(pdf);
  std::filesystem::remove(dialogHelp);
  std::filesystem::remove_all(folder);
}

}  // namespace
