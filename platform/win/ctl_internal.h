// The old path of platform/win/controls/ctl_internal.h, kept for the includes that still name it.
#pragma once

#include "platform/win/controls/ctl_internal.h"
