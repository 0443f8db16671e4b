// The progress display the engine reports to (EngineProgress, installed through the engine's entry).
#pragma once

#include "engine/input.h"

// The display in use (a no-op one unless another was installed).
EngineProgress& Progress();
