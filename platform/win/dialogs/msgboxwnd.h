// Message boxes and file dialogs as windows of our own, for a person at the screen (not for use outside
// platform/win: the public calls are those of msgbox.h and afxdlgs.h).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/winapi.h"

namespace win::detail {

struct ButtonSpec {
  int id;
  std::string text;
};
// The buttons of a box's type, left to right.
std::vector<ButtonSpec> MessageBoxButtons(UINT type);
// What Escape and the close box answer (0: nothing, the box stays).
int MessageBoxEscapeAnswer(UINT type);
// Shows the box modal over its owner until a button is pressed; returns that button's id. Without any input
// to come (the screen went), the default answer.
int RunMessageBoxWindow(HWND owner, const std::string& text, const std::string& caption, UINT type, int defaultAnswer);

// Runs a dialog made for the screen modal over its owner (disabled meanwhile) until it ends, with the focus on
// the control given; destroys it and returns its end code (gone: when no input can come any more). A user given
// acts on the shown dialog first (a test's script).
INT_PTR RunOwnModal(HWND dialog, HWND owner, HWND focus, INT_PTR gone, const std::function<void()>& user = nullptr);

// What a typed file name means in a folder: the whole path (default extension added where it belongs) and,
// when the dialog must not accept it, why (a message for the user).
struct FileChoice {
  std::string path;
  std::string refusal;
  bool askOverwrite = false;  // the file exists and the caller wants to be asked
};
FileChoice ResolveFileName(const OPENFILENAME& ofn, bool open, const std::string& folder, const std::string& typed);
// The overwrite question for a path.
std::string OverwriteQuestion(const std::string& path);

// Shows the file dialog over its owner; the chosen path (checked as ResolveFileName says, the overwrite
// question asked), empty when cancelled. filterIndex is the 1-based type chosen. The answer comes from the name
// typed (picked in the list and confirmed), from the script, or else from the person at the screen.
std::string RunFileDialogWindow(OPENFILENAME& ofn, bool open, const std::string& title, DWORD& filterIndex,
                                const std::string* typed, const std::function<void(HWND)>* script);

}  // namespace win::detail
