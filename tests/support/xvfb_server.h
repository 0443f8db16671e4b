// A virtual X server of a test's own, for tests that show windows on a screen when none is given: started with
// -displayfd (the server picks a free display), DISPLAY set to it while it runs, stopped and DISPLAY restored when
// the object goes. Header-only: only the screen tests include it.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

extern char** environ;

namespace kolumo::test {

class XvfbServer {
 public:
  XvfbServer() = default;
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;
  ~XvfbServer() { Stop(); }

  // True once a server answers on the display now in DISPLAY. A display that a server started at the same moment
  // also reports refuses us: a new server is tried then.
  bool Start(const std::string& size = "1280x1024") {
    if (const char* old = std::getenv("DISPLAY")) oldDisplay_ = old;
    for (int attempt = 0; attempt < 3; ++attempt) {
      std::string display;
      if (!Spawn(size, display)) continue;
      setenv("DISPLAY", (":" + display).c_str(), 1);
      if (std::system("xdotool getdisplaygeometry >/dev/null 2>&1") == 0) return true;
      Stop();
    }
    return false;
  }

  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    if (oldDisplay_)
      setenv("DISPLAY", oldDisplay_->c_str(), 1);
    else
      unsetenv("DISPLAY");
  }

 private:
  bool Spawn(const std::string& size, std::string& display) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // the read end first: it may be the descriptor 3 that the write end becomes
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string screen = size + "x24";
    const char* argv[] = {"Xvfb",         "-displayfd", "3",   "-screen",  "0",
                          screen.c_str(), "-nolisten",  "tcp", "-noreset", nullptr};
    const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
      pid_ = -1;
      close(fds[0]);
      return false;
    }
    // The server writes the display's number and a line end once it listens; give it ten seconds.
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    char c;
    while (std::chrono::steady_clock::now() < deadline) {
      const ssize_t n = read(fds[0], &c, 1);
      if (n == 1 && c == '\n') break;
      if (n == 1)
        display += c;
      else if (n == 0)
        break;
      else
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    close(fds[0]);
    if (display.empty()) {
      Stop();
      return false;
    }
    return true;
  }

  pid_t pid_ = -1;
  std::optional<std::string> oldDisplay_;
};

}  // namespace kolumo::test
