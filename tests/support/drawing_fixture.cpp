#include "support/drawing_fixture.h"

#include "gfx/fade.h"
#include "gfx/renderer.h"
#include "gfx/textures.h"
#include "platform/render.h"

#include <SDL_image.h>

namespace {

constexpr std::uint32_t MAGENTA = 0xFFFF00FF;
constexpr std::uint32_t GREY = 0xFF808080;
constexpr std::uint32_t BLACK = 0xFF000000;

std::uint32_t Rgb(int r, int g, int b) {
    return 0xFF000000u | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(b);
}
// Tiles have red, glyphs none.
std::uint32_t TileColour(int value) { return Rgb(30 * value, 200, 0); }
std::uint32_t GlyphColour(int glyphRow, int cell) { return Rgb(0, 60 + 60 * glyphRow, 8 + 16 * cell); }

std::uint32_t SheetColour(int x, int y) {
    if (y < 32) return x < 32 ? MAGENTA : TileColour(x / 32);
    // The last column of every glyph cell is see-through, as the spaces around real letters are.
    if (x % 16 == 15) return MAGENTA;
    return GlyphColour((y - 32) / 32, x / 16);
}
std::uint32_t PanelColour(int, int) { return BLACK; }
std::uint32_t GreyColour(int, int) { return GREY; }

// Encodes a picture as PNG, the form the game's pictures come in.
std::vector<std::uint8_t> EncodePng(int w, int h, std::uint32_t (*colour)(int x, int y)) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(surface->pixels) +
                                                     y * surface->pitch);
        for (int x = 0; x < w; ++x) row[x] = colour(x, y);
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(w) * h * 4 + 4096);
    SDL_RWops* rw = SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
    IMG_SavePNG_RW(surface, rw, 0);
    bytes.resize(static_cast<std::size_t>(SDL_RWtell(rw)));
    SDL_RWclose(rw);
    SDL_FreeSurface(surface);
    return bytes;
}

int Channel(std::uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

}  // namespace

int GlyphOf(std::uint8_t b) {
    if (b >= 0x30 && b <= 0x39) b = static_cast<std::uint8_t>(b - 0x30);
    if (b >= 0x71 && b <= 0x80) return 16 + b - 0x71;
    if (b >= 0x81 && b <= 0x8B) return 32 + b - 0x81;
    if (b == 0x50) return 10;
    if (b == 0x2F) return 11;
    if (b == 0x2D) return 12;
    if (b == 0x2B) return 13;
    return b;
}

void DrawingTest::SetUp() {
    // The software renderer only: probing Mesa's EGL leaks.
    setenv("SDL_VIDEO_EGL_DRIVER", "none", 0);
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    window = SDL_CreateWindow("test", 0, 0, 1024, 768, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    ASSERT_TRUE(OpenRenderer(window, 1024, 768));

    const auto sheet = EncodePng(256, 128, SheetColour);
    const auto panel = EncodePng(320, 640, PanelColour);
    const auto grey = EncodePng(64, 48, GreyColour);
    SpriteSheet = CreateImageTexture(sheet, 256, 128, true);
    PanelTexture = CreateImageTexture(panel, 320, 640, false);
    BlackScreen = CreateImageTexture(panel, 0, 0, false);
    background = CreateImageTexture(grey, 1024, 768, false);
    GameOverSnapshot = CreateTargetTexture(1024, 768);
    ResetBackgroundSlots();
    CurrentBackground = background;
    ClearBackBuffer();
}

void DrawingTest::TearDown() {
    ReleaseGraphics();
    if (window != nullptr) SDL_DestroyWindow(window);
}

void DrawingTest::Capture() { captured = ReadBackBuffer(); }

std::uint32_t DrawingTest::Pixel(int x, int y) const {
    if (captured.empty() || x < 0 || y < 0 || x >= 1024 || y >= 768) return 0;
    return captured[static_cast<std::size_t>(y) * 1024 + static_cast<std::size_t>(x)];
}

int DrawingTest::GlyphAt(int x, int y) const {
    const std::uint32_t p = Pixel(x + 8, y + 16);
    const int g = Channel(p, 8);
    const int b = Channel(p, 0);
    if (Channel(p, 16) != 0 || g < 60 || (g - 60) % 60 != 0 || (b - 8) % 16 != 0) return -1;
    return (g - 60) / 60 * 16 + (b - 8) / 16;
}

int DrawingTest::TileAt(int x, int y) const {
    const std::uint32_t p = Pixel(x + 16, y + 16);
    for (int v = 1; v <= 7; ++v) {
        if (p == TileColour(v)) return v;
    }
    return 0;
}

bool DrawingTest::PanelAt(int x, int y) const {
    // Black at three quarters over grey 128 leaves about 32.
    const int r = Channel(Pixel(x, y), 16);
    return r >= 24 && r <= 40 && Pixel(x, y) == Rgb(r, r, r);
}

bool DrawingTest::BackgroundAt(int x, int y) const { return Pixel(x, y) == GREY; }
