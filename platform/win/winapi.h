// The Win32-style calls of the window system with the names and values that the module's code uses, declared by
// concern in the sub-folders' headers and gathered here.
#pragma once

#include "platform/win/base/rects.h"
#include "platform/win/base/wintypes.h"
#include "platform/win/controls/controls.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/draw/gdi.h"
#include "platform/win/input/input.h"
#include "platform/win/resources/imagelist.h"
#include "platform/win/resources/menus.h"
#include "platform/win/window/dialog.h"
#include "platform/win/window/window.h"
