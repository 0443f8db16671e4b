// The old path of platform/win/window/internal.h, kept for the includes that still name it.
#pragma once

#include "platform/win/window/internal.h"
