// The common controls, each in a file of its own, registered together.
#include "platform/win/controls/ctl_internal.h"

namespace win::detail {

void RegisterCommonControls() {
  RegisterProgressControl();
  RegisterSpinControl();
  RegisterTabControl();
  RegisterTreeControl();
  RegisterTooltipControl();
}

}  // namespace win::detail
