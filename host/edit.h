// `kolumo edit`: the column's input dialog in a window of the host, on a screen, with the annotation of its
// selected tab beside it; OK writes the position through the module's own save path, Cancel writes nothing.
#pragma once

#include <string>

#include "host/module.h"

namespace host {

// The outcome of an editing session.
enum class EditResult { kSaved, kCancelled, kFailed };

// Runs the editing window modally over the open position document (saved to its own file on OK). The window
// system's screen must have been chosen before; headless, the window takes scripted answers like any dialog.
// On kFailed `error` says why; the file is then as it was.
EditResult EditPosition(const Module& module, int document, std::string& error);

// The ids of the editing window's controls (for scripts and tests).
inline constexpr int kEditAnnotationId = 7102;

}  // namespace host
