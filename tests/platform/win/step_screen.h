// A screen whose user does one step per wait, in the window that is active then (a message box, a file dialog),
// through the input simulator. When the steps run out nothing more comes, as from a screen that was closed.
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "platform/win/afx.h"
#include "platform/win/screen/screen.h"

namespace win::test {

class StepScreen : public Screen {
 public:
  using Step = std::function<void(HWND active)>;
  StepScreen() { previous_ = SetScreen(this); }
  ~StepScreen() override { SetScreen(previous_); }
  StepScreen(const StepScreen&) = delete;
  StepScreen& operator=(const StepScreen&) = delete;

  void Then(Step step) { steps_.push_back(std::move(step)); }
  std::size_t Left() const { return steps_.size(); }

  void Present() override {}
  bool WaitForInput(DWORD) override {
    if (steps_.empty()) return false;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    step(GetActiveWindow());
    return true;
  }

 private:
  std::deque<Step> steps_;
  Screen* previous_ = nullptr;
};

// The children of a window of a class ("Button", "Static"), left to right.
inline std::vector<HWND> ChildrenOfClass(HWND parent, const char* className) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char name[64] = {};
    GetClassName(c, name, sizeof(name));
    if (std::string(name) == className) out.push_back(c);
  }
  std::stable_sort(out.begin(), out.end(), [](HWND a, HWND b) {
    RECT ra, rb;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.left < rb.left;
  });
  return out;
}

inline std::string TextOf(HWND wnd) {
  char text[512] = {};
  GetWindowText(wnd, text, sizeof(text));
  return text;
}

// Clicks the button of a window (a box, a dialog) that shows the text ("&Nein"); false when none does.
inline bool ClickButtonWithText(HWND top, const std::string& text) {
  for (HWND b : ChildrenOfClass(top, "Button"))
    if (TextOf(b) == text) {
      input::ClickCenter(b);
      return true;
    }
  return false;
}
}  // namespace win::test
