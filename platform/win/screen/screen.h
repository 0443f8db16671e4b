// Where the window system's windows are shown and where input comes from. Headless (no screen) is the default:
// windows live only as pictures, input comes from the input simulator and modal answers from scripts. A screen
// (the X11 one) shows the top-level windows and feeds what the user does through the same input path; the modal
// loop above it is the same code in both cases.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/win/screen/clipforms.h"
#include "platform/win/winapi.h"

#ifndef INFINITE
#define INFINITE 0xFFFFFFFFu
#endif

namespace win {

class Screen {
 public:
  virtual ~Screen() = default;
  // Brings what is shown up to date with the top-level windows (created, moved, repainted, hidden, destroyed).
  virtual void Present() = 0;
  // Waits at most timeoutMs (INFINITE: no limit) for input and delivers it through the input path. False when
  // no input can come any more (the connection is gone).
  virtual bool WaitForInput(DWORD timeoutMs) = 0;
  // The screen's size in pixels; {0, 0}: unknown (the window system then assumes a common desktop's).
  virtual SIZE Size() const { return SIZE{0, 0}; }
  // The clipboard shared with the other programs on the screen: what the program put on its clipboard (text, and RTF
  // where it has formats), which the screen now offers them; and what another program offers now (nullopt when no
  // other program holds the clipboard; a form it does not give, or gives beyond kMaxClipboardBytes, is left empty).
  virtual void OfferClipboard(const ClipboardContent& content) {}
  virtual std::optional<ClipboardContent> OtherProgramsClipboard() { return std::nullopt; }
};

// Installs the screen (the caller keeps it alive; nullptr: headless). Returns the previous one.
Screen* SetScreen(Screen* screen);
Screen* CurrentScreen();

// A run in which no window is ever seen (a program without a display, as against a test that looks at headless
// windows as pictures): resource pictures are not painted and dialog units come without a font, so that such a run
// loads no font for its windows and calls on no font configuration of the system. Off by default.
void SetNothingShown(bool nothingShown);
bool NothingShown();

// The window system's clock. Without one installed the clock is the test clock, which moves only by AdvanceClock;
// a screen installs the wall clock. AdvanceClock still adds to either.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual DWORD Now() = 0;
};
// Installs the clock (the caller keeps it alive; nullptr: the test clock). Returns the previous one.
Clock* SetClock(Clock* clock);
// Milliseconds since it was made, from a monotonic clock.
std::unique_ptr<Clock> MakeWallClock();

// Milliseconds until the next timer falls due (0 when one is due), INFINITE without timers.
DWORD NextTimerDelay();

// Lets the input the screen holds in, then dispatches everything queued; without a screen only the latter. For
// long work on the UI thread that must stay responsive (a progress dialog's steps).
void ProcessPendingInput();

// One thing the user did, as a screen reports it. Mouse points are relative to the top-left corner of the
// top-level window's whole rectangle (frame included), where the screen's own window lies.
struct ScreenEvent {
  enum Kind { kMove, kPress, kRelease, kWheel, kKeyDown, kKeyUp, kText, kClose };
  Kind kind = kMove;
  HWND window = nullptr;  // the top-level window (mouse, close)
  int x = 0, y = 0;
  UINT button = VK_LBUTTON;  // kPress, kRelease
  int wheel = 0;             // kWheel: WHEEL_DELTA per notch, positive away from the user
  UINT vk = 0;               // kKeyDown, kKeyUp
  std::string text;          // kText: UTF-8 characters typed
};
// Feeds the event through the input path of the input simulator (hit test, capture, focus, translation).
void DeliverScreenEvent(const ScreenEvent& event);

// Writes a picture of the window to the path (through a temporary file renamed into place, so that a reader never
// sees half a picture). False when it cannot be written.
bool SaveWindowPngAtomic(HWND wnd, const std::string& path);

}  // namespace win
