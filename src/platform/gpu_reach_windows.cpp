#include "platform/gpu_reach.h"
#include "platform/renderer_choice.h"

bool GpuWithinReach(SDL_Window*) { return true; }

// Windows has no device folder of render nodes.
bool RenderNodeWithinReach(const char*) { return false; }
