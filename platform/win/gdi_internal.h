// The old path of platform/win/draw/gdi_internal.h, kept for the includes that still name it.
#pragma once

#include "platform/win/draw/gdi_internal.h"
