// The old path of platform/win/print/print.h, kept for the includes that still name it.
#pragma once

#include "platform/win/print/print.h"
