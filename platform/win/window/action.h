// Actions of the person: the handling of one input message (a key, a click, a posted command) and the making of a
// dialog. The window system marks where one begins and ends; the module holds what belongs to one action (its
// budget of macro time) through the opener it installs.
#pragma once

#include <functional>
#include <memory>

#include "platform/win/base/wintypes.h"

namespace win {

// own: the action stands for itself (an input message; whatever an action it interrupts holds is set aside);
// else it belongs to the action open around it, if any. What the opener returns is held until the action ends.
using ActionOpener = std::function<std::shared_ptr<void>(bool own)>;
// nullptr: actions hold nothing (the default).
void SetActionOpener(ActionOpener opener);

class ActionScope {
 public:
  explicit ActionScope(bool own);
  ~ActionScope();
  ActionScope(const ActionScope&) = delete;
  ActionScope& operator=(const ActionScope&) = delete;

 private:
  std::shared_ptr<void> held_;
};

// Whether a queued message is an action of the person of its own: keys, mouse buttons and the wheel, and commands
// (a menu's choice is posted as one).
bool IsPersonsAction(UINT message);

}  // namespace win
