#include "gfx/back_buffer.h"

#include "gfx/fade.h"
#include "gfx/textures.h"
#include "platform/sdl_renderer.h"
#include "platform/window.h"

bool CreateRenderer(int width, int height, std::uint8_t) {
    // The window already has its mode; presentation follows whatever size it has.
    return OpenRenderer(width, height);
}

void ClearBackBuffer() { ClearBackBufferPixels(0xFF000000); }

void PresentFrame() { PresentBackBuffer(); }

std::uint8_t ToggleFullscreen(std::uint8_t current) {
    const std::uint8_t next = current ? 0 : 1;
    SetWindowFullscreen(next != 0);
    RefreshPresentation();
    return next;
}

void CopyBackBufferToSnapshot() { CopyBackBufferInto(textures.GameOverSnapshot); }

void ReleaseGraphics() {
    CloseRenderer();
    ForgetTextures();
    ResetBackgroundSlots();
}

std::vector<std::uint32_t> ReadBackBuffer() { return ReadBackBufferPixels(); }

std::uint32_t BackBufferPixel(int x, int y) {
    if (x < 0 || y < 0 || x >= BACK_BUFFER_WIDTH || y >= BACK_BUFFER_HEIGHT) return 0;
    const std::vector<std::uint32_t> pixels = ReadBackBufferPixels();
    if (pixels.empty()) return 0;
    return pixels[static_cast<std::size_t>(y) * BACK_BUFFER_WIDTH + x];
}
