// The old path of platform/win/base/paths.h, kept for the includes that still name it.
#pragma once

#include "platform/win/base/paths.h"
