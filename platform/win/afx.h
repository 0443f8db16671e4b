// The module's MFC-style base: strings, objects with run-time classes, files and collections.
#pragma once

#include "platform/win/base/afxcoll.h"
#include "platform/win/base/afxobj.h"
#include "platform/win/base/afxstr.h"
#include "platform/win/base/handles.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/base/paths.h"
#include "platform/win/base/wintypes.h"
// The window system: windows with message maps, dialogs, controls, drawing.
#include "platform/win/controls/afxbar.h"
#include "platform/win/controls/afxctl.h"
#include "platform/win/dialogs/afxdlgs.h"
#include "platform/win/draw/afxgdi.h"
#include "platform/win/input/afxole.h"
#include "platform/win/window/afxwnd.h"
#include "platform/win/screen/headless.h"
#include "platform/win/resources/resources.h"
#include "platform/win/winapi.h"
