// The old path of platform/win/base/afxcoll.h, kept for the includes that still name it.
#pragma once

#include "platform/win/base/afxcoll.h"
