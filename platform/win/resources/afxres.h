// Standard command and string ids of the framework (the edit commands and the application title).
#pragma once

#include "platform/win/base/wintypes.h"

inline constexpr UINT ID_EDIT_CLEAR = 0xE120, ID_EDIT_COPY = 0xE122, ID_EDIT_CUT = 0xE123, ID_EDIT_PASTE = 0xE125,
                      ID_EDIT_SELECT_ALL = 0xE12A, ID_EDIT_UNDO = 0xE12B;
inline constexpr UINT AFX_IDS_APP_TITLE = 0xE000;
