// The desktop's "open" and sounds, both logged. Every document or address goes to the opener by one routine.
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/win/base/paths.h"
#include "platform/win/base/process.h"
#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/screen/screen.h"
#include "platform/win/window/window.h"

namespace {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

// One opener started: filled by the thread that waits for it, read by the UI thread.
struct Started {
  std::mutex mutex;
  bool ended = false;
  bool endedInTime = false;  // within kSettle of its start
  int status = 0;            // exit status, or 128 + the signal's number
  bool signalled = false;
  std::string errors;  // what it wrote on its error stream (the first kKeptErrors bytes)
};

// An opener that still runs after this has opened what it was given (a viewer it runs in the foreground).
constexpr auto kSettle = std::chrono::seconds(5);
constexpr std::size_t kKeptErrors = 2000;

struct Waiting {
  std::shared_ptr<Started> started;
  std::string program, failure;
  SteadyClock::time_point since;
};

struct ShellState {
  std::vector<std::string> log;
  std::vector<Waiting> waiting;  // UI thread only
  UINT_PTR timer = 0;
};
ShellState& Sh() {
  static ShellState s;
  return s;
}

// Reads the opener's error stream while it runs and records how it ended; reaps it whenever that is. The stream is
// read to its end, also after the opener ended: a viewer it started keeps it and must never write into a closed pipe.
void Watch(pid_t pid, int errors, std::shared_ptr<Started> started) {
  const auto since = SteadyClock::now();
  std::string text;
  char buffer[512];
  auto keep = [&](ssize_t n) {
    if (n > 0 && text.size() < kKeptErrors) text.append(buffer, std::min<std::size_t>(n, kKeptErrors - text.size()));
  };
  bool open = true;
  int status = 0;
  for (;;) {
    if (open) {
      pollfd fd{errors, POLLIN, 0};
      if (::poll(&fd, 1, 50) > 0) {
        const ssize_t n = ::read(errors, buffer, sizeof buffer);
        keep(n);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
          ::close(errors);
          open = false;
        }
      }
    }
    const pid_t done = ::waitpid(pid, &status, open ? WNOHANG : 0);
    if (done == pid || (done < 0 && errno != EINTR)) break;
  }
  if (open) {
    // what it wrote just before it ended
    ::fcntl(errors, F_SETFL, O_NONBLOCK);
    ssize_t n;
    while ((n = ::read(errors, buffer, sizeof buffer)) > 0) keep(n);
  }
  {
    std::lock_guard lock(started->mutex);
    started->ended = true;
    started->endedInTime = SteadyClock::now() - since <= kSettle;
    started->signalled = WIFSIGNALED(status);
    started->status = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 0;
    started->errors = std::move(text);
  }
  if (open) {
    ::fcntl(errors, F_SETFL, 0);
    for (;;) {
      const ssize_t n = ::read(errors, buffer, sizeof buffer);
      if (n == 0 || (n < 0 && errno != EINTR)) break;
    }
    ::close(errors);
  }
}

std::string Trimmed(std::string text) {
  const std::size_t end = text.find_last_not_of(" \t\r\n");
  text.erase(end == std::string::npos ? 0 : end + 1);
  text.erase(0, std::min(text.size(), text.find_first_not_of(" \t\r\n")));
  return text;
}

// Why the opener did not open, in German: its own words on its error stream where it gave some; the meaning of the
// exit statuses the desktop's opener documents.
std::string WhyItFailed(const std::string& program, const Started& s) {
  std::string why = "Das Programm '" + program + "' ";
  if (s.signalled) {
    why += "wurde durch das Signal " + std::to_string(s.status - 128) + " beendet";
  } else {
    why += "endete mit dem Status " + std::to_string(s.status);
    if (s.status == 2) why += " (Datei nicht gefunden)";
    if (s.status == 3) why += " (ein benötigtes Programm fehlt)";
    if (s.status == 4) why += " (das Öffnen ist fehlgeschlagen)";
  }
  const std::string said = Trimmed(s.errors);
  return said.empty() ? why + "." : why + ":\n" + said;
}

std::string WhyNotStarted(const std::string& program, int error) {
  if (error == ENOENT) return "Das Programm '" + program + "' wurde nicht gefunden.";
  if (error == EACCES) return "Das Programm '" + program + "' ist nicht ausführbar.";
  return "Das Programm '" + program + "' konnte nicht gestartet werden (" + std::strerror(error) + ").";
}

void Say(const std::string& failure, const std::string& why) {
  if (failure.empty()) return;
  AfxMessageBox((failure + "\n" + why).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// The openers that ended: a failure is said, once; those that count as opened are no longer watched. Boxes come
// after the list is settled, so that a box's own message loop finds nothing twice.
void Deliver() {
  ShellState& s = Sh();
  std::vector<std::pair<std::string, std::string>> said;
  const auto now = SteadyClock::now();
  std::erase_if(s.waiting, [&](const Waiting& w) {
    std::lock_guard lock(w.started->mutex);
    if (!w.started->ended) return now - w.since > kSettle;
    if (w.started->endedInTime && (w.started->status != 0 || w.started->signalled))
      said.emplace_back(w.failure, WhyItFailed(w.program, *w.started));
    return true;
  });
  if (s.waiting.empty() && s.timer) {
    ::KillTimer(nullptr, s.timer);
    s.timer = 0;
  }
  for (const auto& [failure, why] : said) Say(failure, why);
}

void OnOpenerTimer(HWND, UINT, UINT_PTR, DWORD) { Deliver(); }

}  // namespace

namespace win::shell {

std::string OpenerProgram() {
  const char* own = std::getenv("KOLUMO_OPENER");
  return own && *own ? own : "xdg-open";
}

bool Open(const std::string& target, const std::string& failure) {
  Sh().log.push_back("open " + target);
  const char* own = std::getenv("KOLUMO_OPENER");
  if (!(own && *own) && !win::CurrentScreen()) return true;
  const std::string program = OpenerProgram();
  int errors[2];
  if (::pipe2(errors, O_CLOEXEC) != 0) {
    Say(failure, WhyNotStarted(program, errno));
    return false;
  }
  const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  pid_t pid = -1;
  const int error = win::SpawnProgram({program, target}, pid, win::ChildStreams{nothing, nothing, errors[1]});
  if (nothing >= 0) ::close(nothing);
  ::close(errors[1]);
  if (error) {
    ::close(errors[0]);
    Say(failure, WhyNotStarted(program, error));
    return false;
  }
  auto started = std::make_shared<Started>();
  try {
    std::thread(Watch, pid, errors[0], started).detach();
  } catch (const std::system_error&) {
    ::close(errors[0]);
    return true;  // started; how it ends is not known
  }
  ShellState& s = Sh();
  s.waiting.push_back(Waiting{started, program, failure, SteadyClock::now()});
  // made anew each time: a window system started afresh (as tests do) has dropped the one before
  if (s.timer) ::KillTimer(nullptr, s.timer);
  s.timer = ::SetTimer(nullptr, 0, 50, &OnOpenerTimer);
  return true;
}

void SettleOpeners(DWORD ms) {
  const auto until = SteadyClock::now() + std::chrono::milliseconds(ms);
  auto allEnded = [] {
    return std::all_of(Sh().waiting.begin(), Sh().waiting.end(), [](const Waiting& w) {
      std::lock_guard lock(w.started->mutex);
      return w.started->ended;
    });
  };
  while (!allEnded() && SteadyClock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  Deliver();
}

const std::vector<std::string>& Log() { return Sh().log; }
void ClearLog() { Sh().log.clear(); }

}  // namespace win::shell

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) {
  if (!info || !info->lpFile || !*info->lpFile) return FALSE;
  const std::string file = info->lpFile;
  auto fail = [&](int code) {
    info->hInstApp = reinterpret_cast<HINSTANCE>(std::intptr_t(code));
    return FALSE;
  };
  const bool address = file.find("://") != std::string::npos || file.rfind("mailto:", 0) == 0;
  std::error_code ec;
  if (!address && !fs::exists(win::ToFsPath(file), ec)) {
    Sh().log.push_back("open " + file);
    return fail(SE_ERR_FNF);
  }
  // the shell's own box unless the caller says its failures itself
  const std::string failure =
      info->fMask & SEE_MASK_FLAG_NO_UI ? std::string() : "'" + file + "' kann nicht geöffnet werden.";
  if (!win::shell::Open(file, failure)) return fail(SE_ERR_NOASSOC);
  info->hInstApp = reinterpret_cast<HINSTANCE>(std::intptr_t(33));
  return TRUE;
}

BOOL PlaySound(LPCSTR sound, HMODULE, DWORD flags) {
  std::string name = !sound ? "(stop)"
                     : (flags & SND_RESOURCE) == SND_RESOURCE && IS_INTRESOURCE(sound)
                         ? "#" + std::to_string(reinterpret_cast<std::uintptr_t>(sound))
                         : std::string(sound);
  Sh().log.push_back("sound " + name);
  return TRUE;
}
