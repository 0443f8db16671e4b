// The old path of platform/win/window/afxwnd.h, kept for the includes that still name it.
#pragma once

#include "platform/win/window/afxwnd.h"
