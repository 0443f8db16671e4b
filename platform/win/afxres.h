// The old path of platform/win/resources/afxres.h, kept for the includes that still name it.
#pragma once

#include "platform/win/resources/afxres.h"
