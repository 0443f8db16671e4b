// The old path of platform/win/controls/afxctl.h, kept for the includes that still name it.
#pragma once

#include "platform/win/controls/afxctl.h"
