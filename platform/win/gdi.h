// The old path of platform/win/draw/gdi.h, kept for the includes that still name it.
#pragma once

#include "platform/win/draw/gdi.h"
