// The old path of platform/win/dialogs/msgboxwnd.h, kept for the includes that still name it.
#pragma once

#include "platform/win/dialogs/msgboxwnd.h"
