// The keyboard's and the mouse's state, shared by the default window behaviour, the keyboard calls and the input
// simulator.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>

#include "platform/win/winapi.h"

namespace win::detail {

// The virtual key that carries a typed character in its lParam (a Unicode packet).
inline constexpr UINT kVkPacket = 0xE7;

struct InputState {
  std::array<bool, 256> keys{};
  POINT cursor{0, 0};
  // Double clicks: the last button press.
  HWND lastDownWnd = nullptr;
  UINT lastDownButton = 0;
  DWORD lastDownTime = 0;
  POINT lastDownPt{-100, -100};
  bool lastWasDouble = false;
  bool hasLastDown = false;
  // What the system itself does while the left button stays down on a window's frame (moving or sizing the
  // window, scrolling its scroll bar): it gets every mouse event at its screen point instead of the windows, the
  // release last.
  std::function<void(UINT clientMsg, POINT screen)> follow;
  // The window whose button press is being handled, and whether a modal window that opened meanwhile ended it.
  HWND pressed = nullptr;
  bool pressCancelled = false;
  HWND mouseWindow = nullptr;
  HWND leaveTracked = nullptr;
  HCURSOR cursorHandle = nullptr;
  std::map<std::uintptr_t, UINT> cursorIds;
  RECT clip{0, 0, 0, 0};
  bool clipped = false;
  // The caret.
  HWND caretWnd = nullptr;
  POINT caretPos{0, 0};
};

InputState& In();

}  // namespace win::detail
