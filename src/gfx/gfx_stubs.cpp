// Placeholders until the renderer lands; they let the shell link and run headless.
#include "gfx/load.h"
#include "gfx/renderer.h"
#include "platform/render_hooks.h"

bool CreateRenderer(int, int, std::uint8_t) { return true; }
void ClearBackBuffer() {}
void PresentFrame() {}
std::uint8_t ToggleFullscreen(std::uint8_t current) { return current ? 0 : 1; }
void ReleaseGraphics() {}
void LoadResources() {}
void OnRenderReset(bool) {}
