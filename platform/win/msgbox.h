// The old path of platform/win/dialogs/msgbox.h, kept for the includes that still name it.
#pragma once

#include "platform/win/dialogs/msgbox.h"
