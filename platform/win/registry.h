// The old path of platform/win/base/registry.h, kept for the includes that still name it.
#pragma once

#include "platform/win/base/registry.h"
