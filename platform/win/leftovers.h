// The old path of platform/win/base/leftovers.h, kept for the includes that still name it.
#pragma once

#include "platform/win/base/leftovers.h"
