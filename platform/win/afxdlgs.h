// The old path of platform/win/dialogs/afxdlgs.h, kept for the includes that still name it.
#pragma once

#include "platform/win/dialogs/afxdlgs.h"
