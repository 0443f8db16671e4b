#include "engine/progress.h"

namespace {
EngineProgress g_none;
EngineProgress* g_progress = &g_none;
}  // namespace

EngineProgress& Progress()
{
    return *g_progress;
}

EngineProgress* SetProgress(EngineProgress* progress)
{
    EngineProgress* previous = g_progress == &g_none ? nullptr : g_progress;
    g_progress = progress ? progress : &g_none;
    return previous;
}
