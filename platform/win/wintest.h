// The old path of platform/win/dialogs/wintest.h, kept for the includes that still name it.
#pragma once

#include "platform/win/dialogs/wintest.h"
