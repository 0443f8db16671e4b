// The old path of platform/win/input/afxole.h, kept for the includes that still name it.
#pragma once

#include "platform/win/input/afxole.h"
