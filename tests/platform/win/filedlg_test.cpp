// File dialogs answered by the script, with the checks a user would meet; the desktop's "open" and sounds.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/dialogs/wintest.h"

namespace {

namespace fs = std::filesystem;

class FileDialogTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    dir = fs::temp_directory_path() / ("kolumo-fd-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "Stuetze.tqx") << "<x/>";
    win::shell::ClearLog();
  }
  void TearDown() override {
    fs::remove_all(dir);
    WindowTest::TearDown();
  }
  fs::path dir;
};

TEST_F(FileDialogTest, TheScriptedAnswerIsTheChosenFile) {
  win::script::QueueFileDialog((dir / "Stuetze.tqx").string());
  CFileDialog open(TRUE, "tqx", nullptr, OFN_FILEMUSTEXIST, "Positionen (*.tqx)|*.tqx|Alle Dateien (*.*)|*.*||");
  ASSERT_EQ(open.DoModal(), IDOK);
  EXPECT_EQ(open.GetPathName(), CString((dir / "Stuetze.tqx").string()));
  EXPECT_EQ(open.GetFileName(), CString("Stuetze.tqx"));
  EXPECT_EQ(open.GetFileTitle(), CString("Stuetze"));
  EXPECT_EQ(open.GetFileExt(), CString("tqx"));
  EXPECT_EQ(open.GetFolderPath(), CString(dir.string()));
  const auto& rec = win::script::Log().back();
  EXPECT_EQ(rec.kind, "file open");
  EXPECT_NE(rec.caption.find("*.tqx;*.*"), std::string::npos) << rec.caption;
  // An empty answer is Cancel.
  win::script::QueueFileDialog("");
  CFileDialog again(TRUE);
  EXPECT_EQ(again.DoModal(), IDCANCEL);
}

TEST_F(FileDialogTest, SavingAddsTheDefaultExtensionAndAsksBeforeReplacing) {
  struct Case {
    const char* typed;
    std::vector<int> boxAnswers;  // answers to the replace question, when it comes
    INT_PTR result;
    const char* chosen;  // file name, empty when cancelled
  };
  const Case cases[] = {
      {"Neu", {}, IDOK, "Neu.tqx"},               // extension added, no question for a new file
      {"Stuetze", {IDYES}, IDOK, "Stuetze.tqx"},  // exists: replaced on Yes
      {"Stuetze.tqx", {IDNO}, IDCANCEL, ""},      // exists: kept on No
  };
  for (const Case& c : cases) {
    for (int a : c.boxAnswers) win::msgbox::QueueAnswer(a);
    std::string initial = dir.string();
    win::script::QueueFileDialog(c.typed);
    CFileDialog save(FALSE, "tqx", nullptr, OFN_OVERWRITEPROMPT, "Positionen (*.tqx)|*.tqx||");
    save.m_ofn.lpstrInitialDir = initial.c_str();
    EXPECT_EQ(save.DoModal(), c.result) << c.typed;
    if (c.result == IDOK) {
      EXPECT_EQ(save.GetFileName(), CString(c.chosen)) << c.typed;
    }
    EXPECT_EQ(win::msgbox::Log().size(), c.boxAnswers.size()) << c.typed;
    win::msgbox::ClearLog();
  }
}

TEST_F(FileDialogTest, AMissingFileIsRefusedWithAMessage) {
  win::msgbox::QueueAnswer(IDOK);
  win::script::QueueFileDialog((dir / "fehlt.tqx").string());
  CFileDialog open(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST);
  EXPECT_EQ(open.DoModal(), IDCANCEL);
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_NE(win::msgbox::Log()[0].text.find("fehlt.tqx"), std::string::npos);
}

TEST_F(FileDialogTest, AnUnscriptedFileDialogFailsTheTest) {
  std::string seen;
  win::script::SetUnscriptedHandler([&](const win::script::ModalRecord& r) -> INT_PTR {
    seen = r.kind;
    return IDCANCEL;
  });
  CFileDialog open(TRUE);
  EXPECT_EQ(open.DoModal(), IDCANCEL);
  EXPECT_EQ(seen, "file open");
}

TEST_F(FileDialogTest, OpeningADocumentAndSoundsAreLogged) {
  std::string file = (dir / "Stuetze.tqx").string();
  SHELLEXECUTEINFO ok{};
  ok.cbSize = sizeof(ok);
  ok.fMask = SEE_MASK_FLAG_NO_UI;
  ok.lpVerb = "open";
  ok.lpFile = file.c_str();
  ok.nShow = 3;
  EXPECT_TRUE(ShellExecuteEx(&ok));
  EXPECT_GT(reinterpret_cast<std::intptr_t>(ok.hInstApp), 32);
  std::string missing = (dir / "weg.pdf").string();
  SHELLEXECUTEINFO bad = ok;
  bad.lpFile = missing.c_str();
  EXPECT_FALSE(ShellExecuteEx(&bad));
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(bad.hInstApp), SE_ERR_FNF);
  SHELLEXECUTEINFO web = ok;
  web.lpFile = "https://example.org/hilfe";
  EXPECT_TRUE(ShellExecuteEx(&web));
  EXPECT_TRUE(PlaySound("klick.wav", nullptr, SND_FILENAME | SND_ASYNC));
  EXPECT_EQ(win::shell::Log(), (std::vector<std::string>{"open " + file, "open " + missing,
                                                         "open https://example.org/hilfe", "sound klick.wav"}));
}

// The opener is started cleanly and left alone: it inherits no descriptor of the program's (here one left open on
// purpose as number 57) and no blocked signal, and what it leaves running (a viewer) may still write on its error
// stream after it ended with success: no box, and the write is not broken off. The mask is read by the shell's
// builtins: a child such as grep would find the shell waiting for it, with every signal blocked.
TEST_F(FileDialogTest, TheOpenerStartsCleanAndWhatItLeavesRunningMayStillWriteItsErrors) {
  const fs::path opener = dir / "oeffner", seen = dir / "seen", wrote = dir / "wrote";
  std::ofstream(opener) << "#!/bin/sh\n[ -e /proc/$$/fd/57 ] && echo geerbt > '" << seen.string() << "'\n"
                        << "while IFS= read -r l; do case \"$l\" in SigBlk:*) printf '%s\\n' \"$l\" >> '"
                        << seen.string() << "';; esac; done < /proc/$$/status\n"
                        << "(sleep 0.3; echo 'spaete Warnung' >&2 && touch '" << wrote.string() << "') &\nexit 0\n";
  fs::permissions(opener, fs::perms::owner_all);
  const int kept = ::dup2(::open("/dev/null", O_RDONLY), 57);
  sigset_t usr1, before;
  sigemptyset(&usr1);
  sigaddset(&usr1, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &usr1, &before);
  setenv("KOLUMO_OPENER", opener.c_str(), 1);
  win::msgbox::ClearLog();
  EXPECT_TRUE(win::shell::Open("https://example.org", "Die Adresse kann nicht geöffnet werden."));
  win::shell::SettleOpeners(5000);
  unsetenv("KOLUMO_OPENER");
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  ::close(kept);
  EXPECT_TRUE(win::msgbox::Log().empty());
  std::ifstream in(seen);
  const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(said, "SigBlk:\t0000000000000000\n");
  for (int i = 0; i < 300 && !fs::exists(wrote); ++i) usleep(10000);
  EXPECT_TRUE(fs::exists(wrote));
}

}  // namespace
