// The module's MFC-style base: strings, objects with run-time classes, files and collections.
#pragma once

#include "platform/win/afxcoll.h"
#include "platform/win/afxobj.h"
#include "platform/win/afxstr.h"
#include "platform/win/handles.h"
#include "platform/win/msgbox.h"
#include "platform/win/paths.h"
#include "platform/win/wintypes.h"
