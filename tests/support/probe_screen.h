// The X display of a screen test's probe program, set up as the host sets up its own: a wall clock, the screen made
// current, and message boxes and dialogs not echoed (what a person answers at the screen is no script's). Both are
// let go when the object goes.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "platform/win/afx.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/screen/x11screen.h"

namespace test_support {

class ProbeScreen {
 public:
  // False, with the reason on standard error, when the display cannot be opened. With a picture path, SIGUSR1 makes
  // the program write its own picture of its windows there.
  bool Open(const char* program, const std::string& picture) {
    std::string error;
    screen_ = win::OpenX11Screen(error, picture);
    if (!screen_) {
      std::fprintf(stderr, "%s: %s\n", program, error.c_str());
      return false;
    }
    clock_ = win::MakeWallClock();
    win::SetClock(clock_.get());
    win::SetScreen(screen_.get());
    win::msgbox::SetEchoStream(stderr);
    win::script::SetEchoStream(stderr);
    return true;
  }
  ~ProbeScreen() {
    if (!screen_) return;
    win::SetScreen(nullptr);
    win::SetClock(nullptr);
  }
  win::Screen& screen() { return *screen_; }

 private:
  std::unique_ptr<win::Screen> screen_;
  std::unique_ptr<win::Clock> clock_;
};

}  // namespace test_support
