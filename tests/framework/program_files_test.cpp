#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "framework/basedata.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/base/paths.h"

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

}  // namespace
