// The X11 screen: every visible top-level window of the window system as an X window (pop-ups without a caption
// as override-redirect windows, which no window manager frames or moves), its pixels copied over on expose and
// after painting, and X mouse and keyboard input fed through the window system's input path.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/win/screen/screen.h"

namespace win {

// Opens the display that $DISPLAY names. nullptr, with a message naming DISPLAY, when it is not set or cannot be
// opened. With a picture path, SIGUSR1 makes the screen write the active window to that PNG file.
std::unique_ptr<Screen> OpenX11Screen(std::string& error, const std::string& picturePath = {});

// How a key event of X becomes input: the keysym, whether it was pressed, whether Control or Alt is held, and the
// text X made of it. Printable text without Control or Alt is typed as characters (on the press only); other
// keys become key presses and releases. nullopt for keys the window system has no use for.
std::optional<ScreenEvent> TranslateX11Key(unsigned long keysym, bool press, bool controlOrAlt,
                                           const std::string& text);

}  // namespace win
