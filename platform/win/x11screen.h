// The old path of platform/win/screen/x11screen.h, kept for the includes that still name it.
#pragma once

#include "platform/win/screen/x11screen.h"
