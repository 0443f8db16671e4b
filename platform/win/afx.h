// The module's MFC-style base: strings, objects with run-time classes, files and collections.
#pragma once

#include "platform/win/afxcoll.h"
#include "platform/win/afxobj.h"
#include "platform/win/afxstr.h"
#include "platform/win/handles.h"
#include "platform/win/msgbox.h"
#include "platform/win/paths.h"
#include "platform/win/wintypes.h"
// The window system: windows with message maps, dialogs, controls, drawing.
#include "platform/win/afxbar.h"
#include "platform/win/afxctl.h"
#include "platform/win/afxdlgs.h"
#include "platform/win/afxgdi.h"
#include "platform/win/afxole.h"
#include "platform/win/afxwnd.h"
#include "platform/win/headless.h"
#include "platform/win/resources.h"
#include "platform/win/winapi.h"
