// The editing window of "kolumo edit" without a screen, its user a script: Escape, "Abbrechen" and the close box
// end it at once while the position is as it was opened; once something was entered they ask first, and No keeps
// the window open with the input in it. A save that fails, and a position that another program saved meanwhile, keep
// the window open too.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/edit.h"
#include "tests/host/edit_window_fixture.h"
#include "host/module.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/wintest.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

enum class Way { kEscape, kCancelButton, kCloseBox };

// What the user does to leave the window.
void Leave(CDialog& window, Way way) {
  switch (way) {
    case Way::kEscape:
      window.GetDlgItem(host::kEditAnnotationId)->SetFocus();
      win::input::Key(VK_ESCAPE);
      break;
    case Way::kCancelButton: {
      CRect button;
      window.GetDlgItem(IDCANCEL)->GetClientRect(&button);
      win::input::Click(window.GetDlgItem(IDCANCEL)->m_hWnd, button.CenterPoint().x, button.CenterPoint().y);
      break;
    }
    case Way::kCloseBox: window.PostMessage(WM_CLOSE); break;
  }
  win::PumpMessages();
}

using edit_window_test::Descendant;
using edit_window_test::EditWindowTest;

struct Case {
  const char* name;
  Way way;
};
const Case kWays[] = {{"Escape", Way::kEscape}, {"Abbrechen", Way::kCancelButton}, {"close box", Way::kCloseBox}};

TEST_F(EditWindowTest, LeavingAnUnchangedPositionAsksNothing) {
  for (const Case& c : kWays) {
    SCOPED_TRACE(c.name);
    win::script::QueueDialog([&](CDialog& window) { Leave(window, c.way); });
    EXPECT_EQ(Edit(), host::EditResult::kCancelled);
    EXPECT_TRUE(win::msgbox::Log().empty());
  }
}

TEST_F(EditWindowTest, LeavingAChangedPositionAsksAndNoKeepsTheWindow) {
  const std::string original = Slurp(file_);
  for (const Case& c : kWays) {
    SCOPED_TRACE(c.name);
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDNO);
    win::msgbox::QueueAnswer(IDYES);
    win::script::QueueDialog([&](CDialog& window) {
      window.SetDlgItemText(host::kEditAnnotationId, "Geprueft");
      Leave(window, c.way);
      // No: the window is still there, with what was entered
      EXPECT_TRUE(window.IsWindowVisible());
      CString kept;
      window.GetDlgItemText(host::kEditAnnotationId, kept);
      EXPECT_EQ(kept, "Geprueft");
      Leave(window, c.way);
      EXPECT_FALSE(window.IsWindowVisible());
    });
    EXPECT_EQ(Edit(), host::EditResult::kCancelled);
    ASSERT_EQ(win::msgbox::Log().size(), 2u);
    EXPECT_EQ(win::msgbox::Log()[0].text, "Die Position wurde geändert.\nSollen die Änderungen verworfen werden?");
    EXPECT_EQ(win::msgbox::Log()[0].type & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_EQ(Slurp(file_), original);
  }
}

// The input dialog's tab strip inside the editing window.
HWND TabsOf(HWND window) {
  HWND found = nullptr;
  std::function<void(HWND)> look = [&](HWND parent) {
    for (HWND c = GetWindow(parent, GW_CHILD); c && !found; c = GetWindow(c, GW_HWNDNEXT)) {
      char name[32] = {};
      GetClassName(c, name, sizeof name);
      if (std::string(name) == "SysTabControl32")
        found = c;
      else
        look(c);
    }
  };
  look(window);
  return found;
}

void ClickTab(HWND tabs, int tab) {
  RECT r{};
  ASSERT_TRUE(SendMessage(tabs, TCM_GETITEMRECT, WPARAM(tab), LPARAM(&r)));
  win::input::Click(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  win::PumpMessages();
  ASSERT_EQ(SendMessage(tabs, TCM_GETCURSEL, 0, 0), tab);
}

std::string AnnotationLine(CDialog& window) {
  CString text;
  window.GetDlgItemText(host::kEditAnnotationId, text);
  return text.GetString();
}

// Looking at every page (the results tab calculates the position again, giving the stored results) changes nothing.
TEST_F(EditWindowTest, LookingAtEveryPageIsNoChange) {
  const std::string original = Slurp(file_);
  win::script::QueueDialog([&](CDialog& window) {
    HWND tabs = TabsOf(window.m_hWnd);
    ASSERT_NE(tabs, nullptr);
    for (int tab : {0, 1, 2, 3, 4, 5, 1}) ClickTab(tabs, tab);
    Leave(window, Way::kCancelButton);
  });
  EXPECT_EQ(Edit(), host::EditResult::kCancelled);
  EXPECT_TRUE(win::msgbox::Log().empty());
  EXPECT_EQ(Slurp(file_), original);
}

// The annotation line shows the selected tab's annotation: an untouched line is no change and never overwrites
// another tab's annotation; a typed one goes to its own tab.
TEST_F(EditWindowTest, TheAnnotationLineBelongsToTheSelectedTab) {
  std::string text = Slurp(file_);
  const std::string empty = "Anmerkung_3=\"\"";
  ASSERT_NE(text.find(empty), std::string::npos);
  text.replace(text.find(empty), empty.size(), "Anmerkung_3=\"Imperfektion geprüft\"");
  std::ofstream(file_, std::ios::binary) << text;
  std::vector<std::string> shown;
  win::script::QueueDialog([&](CDialog& window) {
    HWND tabs = TabsOf(window.m_hWnd);
    ASSERT_NE(tabs, nullptr);
    shown.push_back(AnnotationLine(window));  // the system tab's, empty
    ClickTab(tabs, 3);
    shown.push_back(AnnotationLine(window));
    ClickTab(tabs, 1);
    shown.push_back(AnnotationLine(window));
    Leave(window, Way::kCancelButton);
  });
  EXPECT_EQ(Edit(), host::EditResult::kCancelled);
  EXPECT_TRUE(win::msgbox::Log().empty()) << "nothing was changed";
  EXPECT_EQ(shown, (std::vector<std::string>{"", "Imperfektion geprüft", ""}));

  // Typed on the control values tab, then the tab changed before OK: the text stays with its tab.
  win::script::QueueDialog([&](CDialog& window) {
    HWND tabs = TabsOf(window.m_hWnd);
    ASSERT_NE(tabs, nullptr);
    ClickTab(tabs, 1);
    CEdit* line = static_cast<CEdit*>(window.GetDlgItem(host::kEditAnnotationId));
    line->SetFocus();
    win::input::Type("Werte");
    ClickTab(tabs, 3);
    EXPECT_EQ(AnnotationLine(window), "Imperfektion geprüft");
    window.SendMessage(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(Edit(), host::EditResult::kSaved);
  const std::string saved = Slurp(file_);
  EXPECT_NE(saved.find("Anmerkung_1=\"Werte\""), std::string::npos);
  EXPECT_NE(saved.find("Anmerkung_3=\"Imperfektion geprüft\""), std::string::npos);
}

CRect ScreenRect(HWND wnd) {
  CRect r;
  GetWindowRect(wnd, &r);
  return r;
}

// The window's bottom-right corner dragged 500 pixels right and 300 down, as a person sizes it by its frame: the
// input dialog and the preview share the new width as they shared the first (the input dialog its share of the
// 500 pixels), both take the 300 pixels of height, and so its tabs, its pages and the preview's output view grow;
// the annotation line and the buttons stay below the input dialog. Made smaller than it opened, it keeps that size.
TEST_F(EditWindowTest, TheWindowSizedByItsFrameLaysOutTheInputDialogAndThePreviewLarger) {
  constexpr int kIdOutputView = 10002;
  win::script::QueueDialog([&](CDialog& window) {
    HWND tabs = TabsOf(window.m_hWnd);
    ASSERT_NE(tabs, nullptr);
    HWND input = GetParent(tabs), output = Descendant(window.m_hWnd, kIdOutputView);
    ASSERT_NE(output, nullptr);
    HWND preview = GetParent(output), page = nullptr;
    for (HWND c = GetWindow(input, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (c != tabs && GetWindow(c, GW_CHILD) && IsWindowVisible(c)) page = c;
    ASSERT_NE(page, nullptr) << "no page shown";
    const HWND watched[] = {input,
                            tabs,
                            page,
                            preview,
                            output,
                            window.GetDlgItem(host::kEditAnnotationId)->m_hWnd,
                            window.GetDlgItem(IDOK)->m_hWnd};
    std::vector<CRect> before;
    for (HWND w : watched) before.push_back(ScreenRect(w));
    const CRect frame = ScreenRect(window.m_hWnd);
    CRect client;
    window.GetClientRect(&client);
    const int inputDx = 500 * before[0].Width() / client.Width();
    CPoint corner(frame.right - 2, frame.bottom - 2);
    window.ScreenToClient(&corner);
    win::input::Drag(window.m_hWnd, corner.x, corner.y, corner.x + 500, corner.y + 300, 5);
    EXPECT_EQ(ScreenRect(window.m_hWnd).Size(), CSize(frame.Width() + 500, frame.Height() + 300));
    struct Grown {
      const char* what;
      int width, height;  // growth
    };
    const Grown grown[] = {{"input dialog", inputDx, 300},
                           {"tabs", inputDx, 300},
                           {"page", inputDx, 300},
                           {"preview", 500 - inputDx, 300},
                           {"output view", 500 - inputDx, 300}};
    for (std::size_t i = 0; i < std::size(grown); ++i) {
      const CRect now = ScreenRect(watched[i]);
      EXPECT_EQ(now.Width() - before[i].Width(), grown[i].width) << grown[i].what;
      EXPECT_EQ(now.Height() - before[i].Height(), grown[i].height) << grown[i].what;
    }
    EXPECT_EQ(ScreenRect(watched[5]).top - before[5].top, 300) << "the annotation line moves down";
    EXPECT_EQ(ScreenRect(watched[5]).Width() - before[5].Width(), inputDx) << "and grows with the input dialog";
    EXPECT_EQ(ScreenRect(watched[6]).TopLeft() - before[6].TopLeft(), CSize(inputDx, 300)) << "OK";
    EXPECT_EQ(ScreenRect(preview).left, ScreenRect(input).right) << "the preview stands beside the input dialog";
    // Dragged far inside the opened size: the window keeps the size it opened with.
    corner = CPoint(ScreenRect(window.m_hWnd).right - 2, ScreenRect(window.m_hWnd).bottom - 2);
    window.ScreenToClient(&corner);
    win::AdvanceClock(1000);
    win::input::Drag(window.m_hWnd, corner.x, corner.y, corner.x - 1200, corner.y - 900, 5);
    EXPECT_EQ(ScreenRect(window.m_hWnd).Size(), frame.Size());
    for (std::size_t i = 0; i < std::size(watched); ++i)
      EXPECT_EQ(ScreenRect(watched[i]).Size(), before[i].Size()) << i;
    Leave(window, Way::kCancelButton);
  });
  EXPECT_EQ(Edit(), host::EditResult::kCancelled);
}

// A limit on the size of the files this process writes, for the life of the object.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &before_);
    const rlimit limit{bytes, before_.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &before_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit before_{};
};

// The lock of the position held by another open file of it, as another run's save holds it between its comparison
// and its rename, for the life of the object.
class HeldLock {
 public:
  explicit HeldLock(const std::string& file) : fd_(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {
    EXPECT_EQ(::flock(fd_, LOCK_EX), 0);
  }
  ~HeldLock() { ::close(fd_); }
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;

 private:
  int fd_;
};

// A save that fails says why in a box and keeps the window open with what was entered, the file as it was: OK once
// the cause is gone saves it, "Abbrechen" leaves without. The causes: a file-size limit below the position (as a
// full disk), the position's lock held by another save for good, which OK waits for a few seconds only, and the
// position marked read-only (mode 444, which does not stop root: the save looks at the mode).
TEST_F(EditWindowTest, AFailedSaveSaysWhyAndKeepsTheWindowOpen) {
  const std::string original = Slurp(file_);
  // beyond the limit a write fails with its reason instead of ending the process, as in the host
  std::signal(SIGXFSZ, SIG_IGN);
  enum class Cause { kFull, kLocked, kReadOnly };
  const struct {
    const char* name;
    Cause cause;
    bool okAgain;
    const char* why;
  } cases[] = {
      {"full: OK again once there is room", Cause::kFull, true, "File too large"},
      {"full: Abbrechen after the failed save", Cause::kFull, false, "File too large"},
      {"locked: OK again once it is let go", Cause::kLocked, true,
       "ein anderes Programm speichert sie gerade (es hält ihre Sperre seit mehr als 3 s); sie bleibt, wie sie ist"},
      {"locked: Abbrechen after the failed save", Cause::kLocked, false,
       "ein anderes Programm speichert sie gerade (es hält ihre Sperre seit mehr als 3 s); sie bleibt, wie sie ist"},
      {"read-only: OK again once it may be written", Cause::kReadOnly, true,
       "sie ist schreibgeschützt; sie bleibt, wie sie ist"},
      {"read-only: Abbrechen after the failed save", Cause::kReadOnly, false,
       "sie ist schreibgeschützt; sie bleibt, wie sie ist"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(file_, std::ios::binary) << original;
    win::msgbox::ClearLog();
    win::msgbox::QueueAnswer(IDOK);
    if (!c.okAgain) win::msgbox::QueueAnswer(IDYES);  // throw the changes away
    win::script::QueueDialog([&](CDialog& window) {
      window.SetDlgItemText(host::kEditAnnotationId, "Geprueft");
      {
        std::optional<FileSizeLimit> limit;
        std::optional<HeldLock> lock;
        if (c.cause == Cause::kFull)
          limit.emplace(1024);
        else if (c.cause == Cause::kLocked)
          lock.emplace(file_);
        else
          fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        ::alarm(60);  // a save that waits for ever ends the test instead of holding it
        const auto start = std::chrono::steady_clock::now();
        window.SendMessage(WM_COMMAND, IDOK);
        win::PumpMessages();
        ::alarm(0);
        if (c.cause == Cause::kLocked) {
          EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << "OK waited too long";
        }
      }
      EXPECT_TRUE(window.IsWindowVisible()) << "the window ended with the failed save";
      EXPECT_EQ(AnnotationLine(window), "Geprueft");
      EXPECT_EQ(Slurp(file_), original);
      fs::permissions(file_, fs::perms::owner_write, fs::perm_options::add);
      if (c.okAgain)
        window.SendMessage(WM_COMMAND, IDOK);
      else
        Leave(window, Way::kCancelButton);
    });
    EXPECT_EQ(Edit(), c.okAgain ? host::EditResult::kSaved : host::EditResult::kCancelled);
    const auto& log = win::msgbox::Log();
    ASSERT_GE(log.size(), 1u);
    // German throughout, the system's own reason (the full disk's) as the system words it.
    EXPECT_EQ(log[0].text.rfind("Die Position konnte nicht gespeichert werden:\nDie Datei \"" + file_ +
                                    "\" kann nicht geschrieben werden: " + c.why + "\n",
                                0),
              0u)
        << log[0].text;
    EXPECT_EQ(log[0].type & MB_ICONMASK, UINT(MB_ICONSTOP));
    EXPECT_EQ(log.size(), c.okAgain ? 1u : 2u);
    EXPECT_EQ(Slurp(file_).find("Anmerkung_2=\"Geprueft\"") != std::string::npos, c.okAgain);
  }
}

// A position that another program saved while the window was open (a calculation's results): OK asks before it
// replaces that; "Nein" keeps the file and the window, "Ja" saves what was entered. Saved meanwhile with the same
// bytes, the position is no change, and OK asks nothing.
TEST_F(EditWindowTest, OkAsksBeforeReplacingAPositionChangedOnDisk) {
  const std::string original = Slurp(file_);
  std::string calculated = original;
  const std::string empty = "Anmerkung_3=\"\"";
  ASSERT_NE(calculated.find(empty), std::string::npos);
  calculated.replace(calculated.find(empty), empty.size(), "Anmerkung_3=\"von der Berechnung\"");
  const struct {
    const char* name;
    const std::string& meanwhile;
    bool asked;
  } cases[] = {{"saved with the same bytes", original, false}, {"saved by another program", calculated, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(file_, std::ios::binary) << original;
    win::msgbox::ClearLog();
    if (c.asked) {
      win::msgbox::QueueAnswer(IDNO);
      win::msgbox::QueueAnswer(IDYES);
    }
    win::script::QueueDialog([&](CDialog& window) {
      window.SetDlgItemText(host::kEditAnnotationId, "Geprueft");
      const std::string other = file_ + ".anders";
      std::ofstream(other, std::ios::binary) << c.meanwhile;
      std::rename(other.c_str(), file_.c_str());
      window.SendMessage(WM_COMMAND, IDOK);
      win::PumpMessages();
      if (!c.asked) return;
      EXPECT_TRUE(window.IsWindowVisible()) << "\"Nein\" ended the window";
      EXPECT_EQ(Slurp(file_), calculated) << "\"Nein\" replaced the other program's file";
      window.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(Edit(), host::EditResult::kSaved);
    const auto& log = win::msgbox::Log();
    ASSERT_EQ(log.size(), c.asked ? 2u : 0u);
    for (const auto& box : log) {
      EXPECT_EQ(box.text.rfind("Die Position wurde seit dem Öffnen auf dem Datenträger geändert", 0), 0u) << box.text;
      EXPECT_EQ(box.type & MB_TYPEMASK, UINT(MB_YESNO));
      EXPECT_EQ(box.type & MB_DEFMASK, UINT(MB_DEFBUTTON2)) << "\"Nein\" is the default";
    }
    const std::string saved = Slurp(file_);
    EXPECT_NE(saved.find("Anmerkung_2=\"Geprueft\""), std::string::npos);
    EXPECT_EQ(saved.find("von der Berechnung"), std::string::npos);
  }
}

// Answers given beforehand (kolumo --answer): a question that offers the answer takes it; a notice takes its one
// button whatever was given; a question without it ends the run with status 2, saying which answer and which box.
TEST(AnswersGivenBeforehand, AQuestionThatDoesNotOfferTheAnswerEndsTheRun) {
  const struct {
    int given;
    UINT type;
    int answer;  // 0: the run ends
  } cases[] = {
      {IDYES, MB_YESNO | MB_DEFBUTTON2, IDYES},
      {IDCANCEL, MB_YESNOCANCEL, IDCANCEL},
      {IDYES, MB_OK, IDOK},
      {IDCANCEL, MB_OK | MB_ICONSTOP, IDOK},
      {IDOK, MB_YESNO | MB_DEFBUTTON2, 0},
      {IDNO, MB_OKCANCEL, 0},
      {IDCANCEL, MB_YESNO, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "answer " << c.given << ", box " << c.type);
    EXPECT_EXIT(
        {
          host::InitMessageBoxes(c.given);
          std::exit(AfxMessageBox("Weiter?", c.type) == c.answer ? 0 : 3);
        },
        testing::ExitedWithCode(c.answer ? 0 : 2), c.answer ? "" : "which the message box does not offer.*Weiter\\?");
  }
}

// A run given its answer beforehand ("kolumo --answer ok edit") whose OK meets the question about a position changed
// on disk: OK is none of its answers. Taken as "Nein", the window would stay and every OK ask again, for ever; the
// run ends with status 2 and says why, the position as the other program left it.
TEST_F(EditWindowTest, AnAnswerGivenBeforehandThatAQuestionDoesNotOfferEndsTheRun) {
  const std::string calculated = Slurp(file_) + "\n";
  EXPECT_EXIT(
      {
        ::alarm(60);  // a run that never ends fails the test instead of holding it
        host::InitMessageBoxes(IDOK);
        win::script::QueueDialog([&](CDialog& window) {
          window.SetDlgItemText(host::kEditAnnotationId, "Geprueft");
          std::ofstream(file_, std::ios::binary) << calculated;
          for (int ok = 0; ok < 3; ++ok) {
            window.SendMessage(WM_COMMAND, IDOK);
            win::PumpMessages();
          }
        });
        Edit();
        std::exit(0);
      },
      testing::ExitedWithCode(2),
      "kolumo: --answer gives OK, which the message box does not offer \\(Yes/No\\); the run ends here: Die "
      "Position wurde seit dem");
  EXPECT_EQ(Slurp(file_), calculated);
}

}  // namespace

// A load given by a name the position defines nowhere: the window says so when it opens and again at OK, naming
// the load, and OK saves the position all the same, with the load's formula.
TEST_F(EditWindowTest, OkSaysWhichInputsNameWhatIsDefinedNowhereAndSaves) {
  std::string position = Slurp(file_);
  const std::string roof = "desc=\"Dach, ständig\"", end = "val5=\"0\" />";
  const std::size_t load = position.find(roof);
  ASSERT_NE(load, std::string::npos);
  const std::size_t at = position.find(end, load);
  ASSERT_NE(at, std::string::npos);
  position.replace(at, end.size(), "val5=\"0\"><val0 exp=\"NXX\" /></load>");
  std::ofstream(file_, std::ios::binary) << position;
  const std::string problem = "Endsystem, Last 2 (\"Dach, ständig\"): val0 = \"NXX\": 'NXX' nicht definiert";
  win::msgbox::QueueAnswer(IDOK);
  win::msgbox::QueueAnswer(IDOK);
  std::size_t opening = 0;
  win::script::QueueDialog([&](CDialog& window) {
    opening = win::msgbox::Log().size();
    window.SetDlgItemText(host::kEditAnnotationId, "Geprueft");
    window.SendMessage(WM_COMMAND, IDOK);
    win::PumpMessages();
  });
  EXPECT_EQ(Edit(), host::EditResult::kSaved);
  EXPECT_EQ(opening, 1u) << "the box when it opens";
  const auto& log = win::msgbox::Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].text, problem);
  EXPECT_EQ(log[1].text,
            "Diese Eingaben nennen einen Namen ohne Wert. Die Position wird gespeichert; berechnet wird "
            "sie erst, wenn die Namen definiert sind:\n\n" +
                problem);
  const std::string saved = Slurp(file_);
  EXPECT_NE(saved.find("Anmerkung_2=\"Geprueft\""), std::string::npos);
  EXPECT_NE(saved.find("<val0 exp=\"NXX\""), std::string::npos);
}
