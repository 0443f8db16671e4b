// The old path of platform/win/screen/headless.h, kept for the includes that still name it.
#pragma once

#include "platform/win/screen/headless.h"
