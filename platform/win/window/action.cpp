#include "platform/win/window/action.h"

#include <utility>

#include "platform/win/window/window.h"

namespace win {

namespace {
ActionOpener& Opener() {
  static ActionOpener opener;
  return opener;
}
}  // namespace

void SetActionOpener(ActionOpener opener) { Opener() = std::move(opener); }

ActionScope::ActionScope(bool own) {
  if (const ActionOpener& opener = Opener()) held_ = opener(own);
}

// What the action holds goes before anything else of the scope's caller does.
ActionScope::~ActionScope() { held_.reset(); }

bool IsPersonsAction(UINT message) {
  return (message >= WM_KEYDOWN && message <= WM_SYSCHAR) || (message >= WM_LBUTTONDOWN && message <= WM_MOUSEWHEEL) ||
         (message >= WM_NCLBUTTONDOWN && message <= WM_NCMBUTTONDOWN) || message == WM_COMMAND ||
         message == WM_SYSCOMMAND;
}

}  // namespace win
