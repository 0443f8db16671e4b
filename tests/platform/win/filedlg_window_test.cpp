// The file dialog on a screen: folder, subfolders and the files its type filter lets through, a typed name or
// path, folders opened by Enter, and the questions it asks before it gives a name back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/win/dialogs/wintest.h"
#include "tests/platform/win/step_screen.h"

namespace {

namespace fs = std::filesystem;
using win::test::StepScreen;
using win::test::TextOf;

// The dialog's controls.
constexpr int kFolderField = 1088, kFiles = 1120, kFolders = 1121, kTypes = 1136, kName = 1152;

std::vector<std::string> Items(HWND dialog, int list) {
  std::vector<std::string> out;
  HWND l = GetDlgItem(dialog, list);
  const int n = int(SendMessage(l, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    char text[256] = {};
    SendMessage(l, LB_GETTEXT, WPARAM(i), LPARAM(text));
    out.push_back(text);
  }
  return out;
}

class FileDialogWindowTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    dir = fs::temp_directory_path() / ("kolumo-fdw-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "Vorlagen" / "Tabellenvorlagen");
    fs::create_directories(dir / ".versteckt");
    for (const char* name : {"Stuetze.tqx", "zweite.TQX", "bild.emf", "notiz.txt", ".verborgen.tqx"})
      std::ofstream(dir / name) << "x";
    std::ofstream(dir / "Vorlagen" / "Tabellenvorlagen" / "drei Spalten.ttp") << "<table/>";
    folder = dir.string();
  }
  void TearDown() override {
    fs::remove_all(dir);
    WindowTest::TearDown();
  }
  // An open dialog for positions (or every file) starting in the scratch folder.
  std::unique_ptr<CFileDialog> Positions(BOOL open, DWORD flags) {
    auto d =
        std::make_unique<CFileDialog>(open, "tqx", nullptr, flags, "Positionen (*.tqx)|*.tqx|Alle Dateien (*.*)|*.*||");
    d->m_ofn.lpstrInitialDir = folder.c_str();
    return d;
  }
  fs::path dir;
  std::string folder;
};

TEST_F(FileDialogWindowTest, TheListsShowTheFolderItsSubfoldersAndTheFilesOfTheChosenType) {
  StepScreen screen;
  std::vector<std::string> files, folders, allFiles, types;
  std::string shownFolder, caption;
  screen.Then([&](HWND dialog) {
    caption = TextOf(dialog);
    shownFolder = TextOf(GetDlgItem(dialog, kFolderField));
    files = Items(dialog, kFiles);
    folders = Items(dialog, kFolders);
    HWND combo = GetDlgItem(dialog, kTypes);
    for (int i = 0; i < int(SendMessage(combo, CB_GETCOUNT, 0, 0)); ++i) {
      char text[128] = {};
      SendMessage(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
      types.push_back(text);
    }
    // Alt+T goes to the type combo; Down chooses the next type
    win::input::KeyWith(VK_MENU, 'T');
    win::input::Key(VK_DOWN);
    allFiles = Items(dialog, kFiles);
    win::input::Key(VK_ESCAPE);
  });
  auto dialog = Positions(TRUE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST);
  EXPECT_EQ(dialog->DoModal(), IDCANCEL);
  EXPECT_EQ(caption, "Öffnen");
  EXPECT_EQ(shownFolder, folder);
  EXPECT_EQ(files, (std::vector<std::string>{"Stuetze.tqx", "zweite.TQX"})) << "either case, hidden ones not";
  EXPECT_EQ(folders, (std::vector<std::string>{"..", "Vorlagen"}));
  EXPECT_EQ(types, (std::vector<std::string>{"Positionen (*.tqx)", "Alle Dateien (*.*)"}));
  EXPECT_EQ(allFiles, (std::vector<std::string>{"bild.emf", "notiz.txt", "Stuetze.tqx", "zweite.TQX"}));
}

TEST_F(FileDialogWindowTest, ATypedNameOrPathIsTheChoice) {
  struct Case {
    std::string typed;
    fs::path chosen;
  };
  const Case cases[] = {
      {"Stuetze.tqx", dir / "Stuetze.tqx"},
      {"Stuetze", dir / "Stuetze.tqx"},  // the default extension
      {"  zweite.TQX ", dir / "zweite.TQX"},
      {"Vorlagen/Tabellenvorlagen/drei Spalten.ttp", dir / "Vorlagen" / "Tabellenvorlagen" / "drei Spalten.ttp"},
      {"Vorlagen\\Tabellenvorlagen\\drei Spalten.ttp", dir / "Vorlagen" / "Tabellenvorlagen" / "drei Spalten.ttp"},
      {(dir / "notiz.txt").string(), dir / "notiz.txt"},  // a whole path, whatever the type shown
  };
  for (const Case& c : cases) {
    StepScreen screen;
    screen.Then([&](HWND) { win::input::Type(c.typed + "\n"); });
    auto dialog = Positions(TRUE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST);
    ASSERT_EQ(dialog->DoModal(), IDOK) << c.typed;
    EXPECT_EQ(std::string(dialog->GetPathName().GetString()), c.chosen.string()) << c.typed;
    EXPECT_EQ(screen.Left(), 0u);
    EXPECT_TRUE(win::msgbox::Log().empty());
    EXPECT_TRUE(win::script::Log().back().onScreen);
  }
}

TEST_F(FileDialogWindowTest, EnterOnAFolderOpensItAndDotDotGoesBack) {
  StepScreen screen;
  std::string inVorlagen, inTabellen, back;
  std::vector<std::string> templates;
  // typed: the folder opens, the name field empties
  screen.Then([&](HWND dialog) {
    win::input::Type("Vorlagen\n");
    inVorlagen = TextOf(GetDlgItem(dialog, kFolderField));
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kName)), "");
  });
  // chosen in the folder list: Alt+O goes there, Down onto the first folder below ".."
  screen.Then([&](HWND dialog) {
    win::input::KeyWith(VK_MENU, 'O');
    win::input::Key(VK_DOWN);
    win::input::Key(VK_DOWN);
    win::input::Key(VK_RETURN);
    inTabellen = TextOf(GetDlgItem(dialog, kFolderField));
    templates = Items(dialog, kFiles);
  });
  // ".." by a double click
  screen.Then([&](HWND dialog) {
    HWND list = GetDlgItem(dialog, kFolders);
    const int row = int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
    win::input::DoubleClick(list, 10, row / 2);
    back = TextOf(GetDlgItem(dialog, kFolderField));
    win::input::Key(VK_ESCAPE);
  });
  CFileDialog dialog(TRUE, "*.ttp", nullptr, OFN_HIDEREADONLY | OFN_NOCHANGEDIR, "Tabellenvorlagen|*.ttp||");
  dialog.m_ofn.lpstrInitialDir = folder.c_str();
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(inVorlagen, (dir / "Vorlagen").string());
  EXPECT_EQ(inTabellen, (dir / "Vorlagen" / "Tabellenvorlagen").string());
  EXPECT_EQ(templates, std::vector<std::string>{"drei Spalten.ttp"});
  EXPECT_EQ(back, (dir / "Vorlagen").string());
}

TEST_F(FileDialogWindowTest, ADoubleClickOnAFileChoosesIt) {
  StepScreen screen;
  screen.Then([&](HWND dialog) {
    HWND list = GetDlgItem(dialog, kFiles);
    const int row = int(SendMessage(list, LB_GETITEMHEIGHT, 0, 0));
    win::input::DoubleClick(list, 10, row + row / 2);  // the second file
  });
  auto dialog = Positions(TRUE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST);
  ASSERT_EQ(dialog->DoModal(), IDOK);
  EXPECT_EQ(std::string(dialog->GetPathName().GetString()), (dir / "zweite.TQX").string());
}

TEST_F(FileDialogWindowTest, ATypedPatternShowsTheFilesItMatches) {
  StepScreen screen;
  std::vector<std::string> files;
  screen.Then([&](HWND dialog) {
    win::input::Type("*.EMF\n");
    files = Items(dialog, kFiles);
    win::input::Key(VK_ESCAPE);
  });
  auto dialog = Positions(TRUE, OFN_HIDEREADONLY);
  EXPECT_EQ(dialog->DoModal(), IDCANCEL);
  EXPECT_EQ(files, std::vector<std::string>{"bild.emf"});
}

TEST_F(FileDialogWindowTest, AMissingFileIsNamedAndTheDialogStaysOpen) {
  StepScreen screen;
  std::string boxText;
  screen.Then([](HWND) { win::input::Type("fehlt\n"); });
  screen.Then([&](HWND box) {
    boxText = TextOf(win::test::ChildrenOfClass(box, "Static").back());
    win::input::Key(VK_RETURN);
  });
  screen.Then([](HWND dialog) {
    SetDlgItemText(dialog, kName, "");
    win::input::Type("Stuetze\n");
  });
  auto dialog = Positions(TRUE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST);
  ASSERT_EQ(dialog->DoModal(), IDOK);
  EXPECT_EQ(boxText, "Die Datei " + (dir / "fehlt.tqx").string() + " wurde nicht gefunden.");
  EXPECT_EQ(std::string(dialog->GetPathName().GetString()), (dir / "Stuetze.tqx").string());
}

TEST_F(FileDialogWindowTest, SavingOverAFileAsksAndNoKeepsTheDialogOpen) {
  StepScreen screen;
  std::vector<std::string> question;
  screen.Then([](HWND) { win::input::Type("Stuetze\n"); });
  screen.Then([&](HWND box) {
    question.push_back(TextOf(win::test::ChildrenOfClass(box, "Static").back()));
    win::input::Key(VK_ESCAPE);  // No
  });
  screen.Then([](HWND dialog) {
    SetDlgItemText(dialog, kName, "");
    win::input::Type("Stuetze\n");
  });
  screen.Then([&](HWND box) {
    question.push_back(TextOf(win::test::ChildrenOfClass(box, "Static").back()));
    win::input::ClickCenter(GetDlgItem(box, IDYES));
  });
  auto dialog = Positions(FALSE, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  ASSERT_EQ(dialog->DoModal(), IDOK);
  EXPECT_EQ(std::string(dialog->GetPathName().GetString()), (dir / "Stuetze.tqx").string());
  const std::string asked = "Stuetze.tqx ist bereits vorhanden.\nMöchten Sie sie ersetzen?";
  EXPECT_EQ(question, (std::vector<std::string>{asked, asked}));
  // without the flag the caller asks itself: no question
  StepScreen again;
  again.Then([](HWND) { win::input::Type("Stuetze\n"); });
  auto quiet = Positions(FALSE, OFN_HIDEREADONLY);
  ASSERT_EQ(quiet->DoModal(), IDOK);
  EXPECT_EQ(win::msgbox::Log().size(), 2u);
}

TEST_F(FileDialogWindowTest, TheChosenTypeComesBackAndAProposedNameIsInTheField) {
  StepScreen screen;
  std::string proposed;
  screen.Then([&](HWND dialog) {
    proposed = TextOf(GetDlgItem(dialog, kName));
    win::input::KeyWith(VK_MENU, 'T');
    win::input::Key(VK_DOWN);
    win::input::KeyWith(VK_MENU, 'N');
    win::input::Key(VK_RETURN);
  });
  const std::string start = (dir / "notiz.txt").string();
  CFileDialog dialog(TRUE, nullptr, start.c_str(), OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                     "Positionen (*.tqx)|*.tqx|Alle Dateien (*.*)|*.*||");
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(proposed, "notiz.txt");
  EXPECT_EQ(dialog.m_ofn.nFilterIndex, 2u);
  EXPECT_EQ(std::string(dialog.GetPathName().GetString()), start);
}

TEST_F(FileDialogWindowTest, AMissingStartFolderGivesWayToTheNearestOneAbove) {
  StepScreen screen;
  std::string shown;
  screen.Then([&](HWND dialog) {
    shown = TextOf(GetDlgItem(dialog, kFolderField));
    win::input::Key(VK_ESCAPE);
  });
  const std::string start = folder + "\\vorlagen\\Tabellenvorlagen\\";  // no such folder: case differs
  CFileDialog dialog(TRUE, "*.ttp", nullptr, OFN_HIDEREADONLY, "Tabellenvorlagen|*.ttp||");
  dialog.m_ofn.lpstrInitialDir = start.c_str();
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(shown, folder);
}

// The default extension comes as "tqx", ".tqx" or "*.tqx" from the callers: each adds ".tqx", with or without
// a screen.
TEST_F(FileDialogWindowTest, TheDefaultExtensionIsAddedInEachSpelling) {
  for (const char* ext : {"ttp", ".ttp", "*.ttp"}) {
    win::script::QueueFileDialog("neu");
    CFileDialog scripted(FALSE, ext, nullptr, OFN_HIDEREADONLY, "Tabellenvorlagen|*.ttp||");
    scripted.m_ofn.lpstrInitialDir = folder.c_str();
    ASSERT_EQ(scripted.DoModal(), IDOK) << ext;
    EXPECT_EQ(std::string(scripted.GetPathName().GetString()), (dir / "neu.ttp").string()) << ext;

    StepScreen screen;
    screen.Then([](HWND) { win::input::Type("neu\n"); });
    CFileDialog shown(FALSE, ext, nullptr, OFN_HIDEREADONLY, "Tabellenvorlagen|*.ttp||");
    shown.m_ofn.lpstrInitialDir = folder.c_str();
    ASSERT_EQ(shown.DoModal(), IDOK) << ext;
    EXPECT_EQ(std::string(shown.GetPathName().GetString()), (dir / "neu.ttp").string()) << ext;
  }
}

TEST_F(FileDialogWindowTest, ThePictureShowsTheListsAndButtons) {
  StepScreen screen;
  screen.Then([&](HWND dialog) {
    EXPECT_TRUE(win::SaveWindowPng(dialog, testing::TempDir() + "/filedialog.png"));
    const win::Image image = win::RenderWindow(dialog);
    RECT frame;
    GetWindowRect(dialog, &frame);
    // ink on the first file's row, on the row of the first folder (below ".."), and on each button
    const int row = int(SendDlgItemMessage(dialog, kFiles, LB_GETITEMHEIGHT, 0, 0));
    for (int id : {kFiles, kFolders, int(IDOK), int(IDCANCEL)}) {
      RECT r;
      GetWindowRect(GetDlgItem(dialog, id), &r);
      OffsetRect(&r, -frame.left, -frame.top);
      const bool button = id == IDOK || id == IDCANCEL;
      const int top = button ? r.top + 3 : id == kFiles ? r.top + 1 : r.top + 1 + row;
      const int bottom = button ? r.bottom - 3 : top + row;
      int dark = 0;
      for (int y = top; y < bottom; ++y)
        for (int x = r.left + 3; x < r.right - 3; ++x) {
          COLORREF c = image.At(x, y);
          if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++dark;
        }
      EXPECT_GT(dark, 10) << id;
    }
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDOK)), "OK");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDCANCEL)), "Abbrechen");
    win::input::Key(VK_ESCAPE);
  });
  auto dialog = Positions(TRUE, OFN_HIDEREADONLY);
  EXPECT_EQ(dialog->DoModal(), IDCANCEL);
}

}  // namespace
