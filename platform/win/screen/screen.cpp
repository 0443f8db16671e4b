// The parts of a screen that do not depend on which screen it is: the wall clock and the way its input enters
// the window system (the input simulator's path, so that a test and a user press the same buttons).
#include "platform/win/screen/screen.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "platform/win/window/internal.h"

namespace win {

namespace {

class WallClock : public Clock {
 public:
  DWORD Now() override {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return DWORD(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace

std::unique_ptr<Clock> MakeWallClock() { return std::make_unique<WallClock>(); }

void DeliverScreenEvent(const ScreenEvent& e) {
  switch (e.kind) {
    case ScreenEvent::kKeyDown: input::KeyDown(e.vk); return;
    case ScreenEvent::kKeyUp: input::KeyUp(e.vk); return;
    case ScreenEvent::kText: input::Type(e.text); return;
    default: break;
  }
  // A window that went while its event was on the way takes nothing.
  if (!IsWindow(e.window)) return;
  if (e.kind == ScreenEvent::kClose) {
    PostMessage(e.window, WM_CLOSE, 0, 0);
    PumpMessages();
    return;
  }
  RECT r;
  GetWindowRect(e.window, &r);
  POINT p{r.left + e.x, r.top + e.y};
  ScreenToClient(e.window, &p);
  switch (e.kind) {
    case ScreenEvent::kMove: input::MouseMove(e.window, p.x, p.y); break;
    case ScreenEvent::kPress: input::MouseDown(e.window, p.x, p.y, e.button); break;
    case ScreenEvent::kRelease: input::MouseUp(e.window, p.x, p.y, e.button); break;
    case ScreenEvent::kWheel: input::Wheel(e.window, p.x, p.y, e.wheel); break;
    default: break;
  }
}

bool SaveWindowPngAtomic(HWND wnd, const std::string& path) {
  const std::string temporary = path + ".part";
  if (!SaveWindowPng(wnd, temporary)) {
    std::remove(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace win
