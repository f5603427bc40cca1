#include "platform/gpu_reach.h"

// The page draws through the browser's WebGL, which the browser itself puts on the GPU where
// there is one (and emulates where there is none). Only that renderer draws into the canvas at
// the screen's own density: SDL's software renderer fills one page pixel per picture pixel.
bool GpuWithinReach(SDL_Window*) { return true; }
