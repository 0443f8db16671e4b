#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "framework/basedata.h"
#include "framework/regsettings.h"
#include "framework/utilities.h"
#include "platform/win/msgbox.h"

namespace {

TEST(ProgramFiles, MissingHelpAndProgramFilesAreReported) {
  win::msgbox::ClearLog();
  BaseData::ShowHelpTopic("gibt_es_nicht.chm", "Thema.htm");
  BaseData::OpenProgramFile("help\\gibt_es_nicht.pdf");
  ASSERT_EQ(win::msgbox::Log().size(), 2u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("gibt_es_nicht.chm"), std::string::npos);
  EXPECT_NE(win::msgbox::Log()[1].text.find("Fehler beim Öffnen der Datei "), std::string::npos);
  EXPECT_NE(win::msgbox::Log()[1].text.find("help\\gibt_es_nicht.pdf"), std::string::npos);
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
  EXPECT_EQ(GetViewerProgram(), CString("\"") + viewer.c_str() + "\"");
  settings.annexoPath = saved;
  std::filesystem::remove(viewer);
}

}  // namespace
