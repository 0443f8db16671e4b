// The old path of platform/win/base/afxgeom.h, kept for the includes that still name it.
#pragma once

#include "platform/win/base/afxgeom.h"
