// The drag loop: the mouse carries offered data from window to window until the left button is let go (the drop) or
// Escape ends it (nothing dropped). Each window it passes whose drop target is registered (or whose ancestor's is)
// is asked what it would do with the data under the pointer, with the keys held then.
#pragma once

#include "platform/win/input/afxole.h"

namespace win::detail {

// Runs the drag from where the pointer is now; input comes from the screen. DROPEFFECT_NONE when it was cancelled,
// let go where no target takes it, or there is no screen to bring input.
DROPEFFECT RunDragLoop(const COleDataSource& source, DROPEFFECT allowed);

// The drop on a target that took the data with the effect: through OnDropEx, else OnDrop. The effect done.
DROPEFFECT DropOn(COleDropTarget& target, CWnd* wnd, COleDataObject* data, DROPEFFECT effect, DROPEFFECT allowed,
                  CPoint point);

}  // namespace win::detail
