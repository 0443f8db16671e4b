// The macro, search, replace and settings dialogs, driven as the engineer would.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "editor/macrodlg.h"
#include "editor/searchdlg.h"
#include "editor/settingsdlg.h"
#include "framework/regsettings.h"
#include "platform/tqscript/tqscript.h"
#include "tests/editor/editor_test_util.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

class SmallDialogTest : public win::test::WindowTest {
 protected:
  void TearDown() override {
    TQSCRIPT_SetEditor(nullptr);
    WindowTest::TearDown();
  }
};

TEST_F(SmallDialogTest, MacroFilesGoThroughTheEditorAndAFailedWriteKeepsTheOldFile) {
  const std::string dir = editortest::ScratchDir("macros");
  const std::string user = dir + "/benutzer.bas";
  std::ofstream(user) << "Function Alt()\nEnd Function\n";
  std::vector<std::string> seen;
  TQSCRIPT_SetEditor([&](int session, const std::string& text, const std::string&, int line, int column) {
    EXPECT_EQ(session, 7);
    EXPECT_EQ(line, -1);
    EXPECT_EQ(column, -1);
    seen.push_back(text);
    return text + "' bearbeitet\n";
  });
  DlgVBS dlg;
  dlg.m_nSession = 7;
  dlg.m_sUserFile = user.c_str();
  dlg.m_sMacroText = "Function Doc()";
  win::script::QueueDialog([&](CDialog& d) {
    auto& m = static_cast<DlgVBS&>(d);
    editortest::SavePicture(m.m_hWnd, "macro-dialog");
    m.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MACRO_EDIT_USER, BN_CLICKED), 0);
    EXPECT_EQ(Slurp(user), "Function Alt()\nEnd Function\n' bearbeitet\n");
    // A file marked read-only (mode 444, which root too is held to) is refused with a box that names it, and kept
    // byte for byte; the dialog stays, and once the mark is gone the same button saves.
    const std::string saved = Slurp(user);
    fs::permissions(user, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::size_t boxes = win::msgbox::Log().size();
    win::msgbox::QueueAnswer(IDOK);
    m.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MACRO_EDIT_USER, BN_CLICKED), 0);
    EXPECT_EQ(Slurp(user), saved);
    ASSERT_EQ(win::msgbox::Log().size(), boxes + 1);
    const std::string box = win::msgbox::Log().back().text;
    EXPECT_NE(box.find("\"" + user + "\""), std::string::npos) << box;
    EXPECT_NE(box.find("schreibgeschützt"), std::string::npos) << box;
    EXPECT_NE(box.find("unverändert"), std::string::npos) << box;
    EXPECT_EQ(fs::status(user).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_TRUE(m.IsWindowVisible());
    fs::permissions(user, fs::perms::owner_write, fs::perm_options::add);
    m.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MACRO_EDIT_USER, BN_CLICKED), 0);
    EXPECT_EQ(Slurp(user), saved + "' bearbeitet\n");
    EXPECT_EQ(win::msgbox::Log().size(), boxes + 1);
    // A file that does not exist yet starts empty and is created.
    m.SetDlgItemText(IDC_MACRO_USER_FILE, (dir + "/neu.bas").c_str());
    m.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MACRO_EDIT_USER, BN_CLICKED), 0);
    EXPECT_EQ(Slurp(dir + "/neu.bas"), "' bearbeitet\n");
    m.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MACRO_EDIT_DOCUMENT, BN_CLICKED), 0);
    // Browsing picks the user file.
    win::script::QueueFileDialog(user);
    m.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MACRO_BROWSE_USER, BN_CLICKED), 0);
    CString shown;
    m.GetDlgItemText(IDC_MACRO_USER_FILE, shown);
    EXPECT_EQ(std::string(shown), user);
    m.SendMessage(WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(std::string(dlg.m_sMacroText), "Function Doc()' bearbeitet\n");
  // the refused edit and the next try both start from the file as it stands
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(seen[1], seen[2]);
  EXPECT_EQ(seen[3], "");
}

TEST_F(SmallDialogTest, AMacroFileThatRunsOutOfRoomOrIsLeftUnchangedIsKept) {
  // Files may grow to 64 bytes only: writing 1000 bytes fails part-way, as on a full disk. Removing the old
  // file first and writing in its place would leave a cut file; the old 3 bytes must stay, and nothing beside them.
  const std::string dir = editortest::ScratchDir("full");
  const std::string path = dir + "/makros.bas";
  std::ofstream(path) << "alt";
  std::string returned = std::string(1000, 'x');
  TQSCRIPT_SetEditor([&](int, const std::string&, const std::string&, int, int) { return returned; });
  DlgVBS dlg;
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = before;
  small.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  win::msgbox::QueueAnswer(IDOK);
  const bool written = dlg.EditMacroFile(path.c_str());
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  ASSERT_FALSE(win::msgbox::Log().empty());
  EXPECT_NE(win::msgbox::Log().back().text.find(path), std::string::npos);
  EXPECT_EQ(Slurp(path), "alt");
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir)) left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"makros.bas"});
  // What the editor gives back unchanged is not written: a read-only file is then no reason for a box.
  fs::permissions(path, fs::perms::owner_read);
  returned = "alt";
  const std::size_t boxes = win::msgbox::Log().size();
  EXPECT_TRUE(dlg.EditMacroFile(path.c_str()));
  EXPECT_EQ(win::msgbox::Log().size(), boxes);
  EXPECT_EQ(Slurp(path), "alt");
}

TEST_F(SmallDialogTest, DirectionIsFreeOnlyWithoutTheWholeText) {
  DlgSearch search;
  EXPECT_EQ(search.m_nDirection, 0);
  EXPECT_EQ(search.m_bWholeText, 1);
  search.m_sText = "As";
  win::script::QueueDialog([](CDialog& d) {
    EXPECT_FALSE(d.GetDlgItem(IDC_FIND_UP)->IsWindowEnabled());
    win::input::ClickCenter(d.GetDlgItem(IDC_FIND_WHOLE_TEXT)->m_hWnd);
    EXPECT_TRUE(d.GetDlgItem(IDC_FIND_DOWN)->IsWindowEnabled());
    win::input::ClickCenter(d.GetDlgItem(IDC_FIND_DOWN)->m_hWnd);
    win::input::ClickCenter(d.GetDlgItem(IDC_FIND_CASE)->m_hWnd);
    editortest::SavePicture(d.m_hWnd, "search-dialog");
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  ASSERT_EQ(search.DoModal(), IDOK);
  EXPECT_EQ(search.m_nDirection, 1);
  EXPECT_EQ(search.m_bMatchCase, 1);
  EXPECT_EQ(search.m_bWholeText, 0);
  EXPECT_EQ(std::string(search.m_sText), "As");

  DlgReplace replace;
  EXPECT_EQ(replace.m_nDirection, 1);
  win::script::QueueDialog([](CDialog& d) {
    EXPECT_FALSE(d.GetDlgItem(IDC_FIND_DOWN)->IsWindowEnabled());
    d.GetDlgItem(IDC_FIND_TEXT)->SetFocus();
    win::input::Type("b = 0,30");
    d.GetDlgItem(IDC_REPLACE_TEXT)->SetFocus();
    win::input::Type("b = 0,35");
    win::input::ClickCenter(d.GetDlgItem(IDC_REPLACE_ASK)->m_hWnd);
    editortest::SavePicture(d.m_hWnd, "replace-dialog");
    win::input::ClickCenter(d.GetDlgItem(IDOK)->m_hWnd);
  });
  ASSERT_EQ(replace.DoModal(), IDOK);
  EXPECT_EQ(std::string(replace.m_sText), "b = 0,30");
  EXPECT_EQ(std::string(replace.m_sReplacement), "b = 0,35");
  EXPECT_EQ(replace.m_bAsk, 1);
  EXPECT_EQ(replace.m_nDirection, 1);
}

TEST_F(SmallDialogTest, SettingsComeFromAndGoToTheRegistry) {
  const std::string dir = editortest::ScratchDir("settings");
  const char* before = std::getenv("ORMI_REGISTRY");
  const std::string old = before ? before : "";
  setenv("ORMI_REGISTRY", (dir + "/registry.xml").c_str(), 1);
  GetRegSettings().WriteInt("Skrib", "bGenErrors", 0);
  GetRegSettings().WriteInt("Skrib", "bVariableOverwritten", 0);
  DlgSettings dlg;
  dlg.m_nFirstPage = 3;
  win::script::QueueDialog([](CDialog& d) {
    // Error notes off: the two kinds are disabled but keep their values.
    EXPECT_FALSE(d.IsDlgButtonChecked(IDC_SETTINGS_ERRORS));
    EXPECT_FALSE(d.GetDlgItem(IDC_SETTINGS_UNKNOWN)->IsWindowEnabled());
    EXPECT_TRUE(d.IsDlgButtonChecked(IDC_SETTINGS_UNKNOWN));
    EXPECT_FALSE(d.IsDlgButtonChecked(IDC_SETTINGS_OVERWRITTEN));
    EXPECT_EQ(d.GetDlgItemInt(IDC_SETTINGS_FIRST_PAGE), 3u);
    win::input::ClickCenter(d.GetDlgItem(IDC_SETTINGS_ERRORS)->m_hWnd);
    EXPECT_TRUE(d.GetDlgItem(IDC_SETTINGS_OVERWRITTEN)->IsWindowEnabled());
    win::input::ClickCenter(d.GetDlgItem(IDC_SETTINGS_LT_HIDE)->m_hWnd);
    editortest::SavePicture(d.m_hWnd, "settings-dialog");
    // A first page of 0 is refused with a message and the dialog stays.
    d.SetDlgItemText(IDC_SETTINGS_FIRST_PAGE, "0");
    win::msgbox::QueueAnswer(IDOK);
    d.SendMessage(WM_COMMAND, IDOK, 0);
    d.SetDlgItemText(IDC_SETTINGS_FIRST_PAGE, "12");
    d.SendMessage(WM_COMMAND, IDOK, 0);
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_nFirstPage, 12);
  int value = -1;
  GetRegSettings().ReadInt("Skrib", "bGenErrors", &value, -1);
  EXPECT_EQ(value, 1);
  GetRegSettings().ReadInt("Skrib", "ltHide", &value, -1);
  EXPECT_EQ(value, 1);
  GetRegSettings().ReadInt("Skrib", "bVariableOverwritten", &value, -1);
  EXPECT_EQ(value, 0);
  if (before)
    setenv("ORMI_REGISTRY", old.c_str(), 1);
  else
    unsetenv("ORMI_REGISTRY");
}

}  // namespace
