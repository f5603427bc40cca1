#include "support/drawing_fixture.h"

#include "gfx/back_buffer.h"
#include "gfx/fade.h"
#include "gfx/textures.h"
#include "platform/sdl_renderer.h"

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
std::uint32_t GlyphColour(int glyphRow, int cell) {
    return Rgb(0, 60 + 60 * glyphRow, 8 + 16 * cell);
}

std::uint32_t SheetColour(int x, int y) {
    if (y < 32) return x < 32 ? MAGENTA : TileColour(x / 32);
    // The last column of every glyph cell is see-through, as the spaces around real letters are.
    if (x % 16 == 15) return MAGENTA;
    return GlyphColour((y - 32) / 32, x / 16);
}

// Ghost tiles are half see-through, in colours no other sprite has.
std::uint32_t GhostColour(int x, int) {
    return x < 32 ? 0 : 0x80000000u | (Rgb(30 * (x / 32), 90, 250) & 0xFFFFFF);
}

int Channel(std::uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

}  // namespace

void DrawingTest::SetUp() {
    RenderTest::SetUp();
    if (HasFatalFailure()) return;
    textures.SpriteSheet = CreateImageTexture(MakePng(256, 128, SheetColour), 256, 128, true);
    textures.GhostTiles = CreateImageTexture(MakePng(256, 32, GhostColour), 256, 32, false);
    textures.PanelTexture = SolidTexture(BLACK, 320, 640);
    textures.BlackScreen = textures.PanelTexture;
    background = SolidTexture(GREY, 64, 48);
    textures.GameOverSnapshot = CreateTargetTexture(1024, 768);
    fade.CurrentBackground = background;
    ClearBackBuffer();
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
