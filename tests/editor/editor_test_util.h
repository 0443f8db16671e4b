// What the editor's dialog tests share: a window-system fixture and pictures written where the run asks.
#pragma once

#include <cstdlib>
#include <string>

#include "platform/win/dialogs/wintest.h"

namespace editortest {

inline void SavePicture(HWND wnd, const char* name) {
  if (const char* dir = std::getenv("KOLUMO_PICTURES")) win::SaveWindowPng(wnd, std::string(dir) + "/" + name + ".png");
}

// A folder of its own under the temporary folder, emptied first.
std::string ScratchDir(const std::string& name);

}  // namespace editortest
