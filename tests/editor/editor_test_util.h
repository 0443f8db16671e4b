// What the editor's dialog tests share: a window-system fixture and pictures written where the run asks.
#pragma once

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "platform/win/dialogs/wintest.h"

namespace editortest {

inline void SavePicture(HWND wnd, const char* name) {
  if (const char* dir = std::getenv("KOLUMO_PICTURES")) win::SaveWindowPng(wnd, std::string(dir) + "/" + name + ".png");
}

// The installation root set to the source tree's data for a scope; `reload` runs after the root is set and again after
// it is given back, so that what was read from the root follows it.
class SourceDataRoot {
 public:
  explicit SourceDataRoot(std::function<void()> reload = nullptr) : reload_(std::move(reload)) {
    if (const char* before = std::getenv("KOLUMO_ROOT")) before_ = before;
    ::setenv("KOLUMO_ROOT", KOLUMO_SOURCE_DIR "/data", 1);
    if (reload_) reload_();
  }
  ~SourceDataRoot() {
    if (before_)
      ::setenv("KOLUMO_ROOT", before_->c_str(), 1);
    else
      ::unsetenv("KOLUMO_ROOT");
    if (reload_) reload_();
  }
  SourceDataRoot(const SourceDataRoot&) = delete;
  SourceDataRoot& operator=(const SourceDataRoot&) = delete;

 private:
  std::function<void()> reload_;
  std::optional<std::string> before_;
};

// A folder of its own under the temporary folder, emptied first.
std::string ScratchDir(const std::string& name);

}  // namespace editortest
