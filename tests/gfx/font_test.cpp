#include "gfx/font.h"

#include <string>

#include "gfx/back_buffer.h"
#include "gfx/sprites.h"
#include "platform/sdl_renderer.h"
#include "support/render_fixture.h"

namespace {

// A sheet whose every glyph cell has its own colour: red 0x40 + 0x40 x row, green 16 x cell;
// the tiles above the glyphs are grey.
std::uint32_t CellColour(int row, int cell) {
    return 0xFF000000u | static_cast<std::uint32_t>(0x40 + 0x40 * row) << 16 |
           static_cast<std::uint32_t>(16 * cell) << 8 | 0x20u;
}

class FontTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        textures.SpriteSheet = CreateImageTexture(
            MakePng(
                256, 128,
                [](int x, int y) { return y < 32 ? 0xFF808080u : CellColour(y / 32 - 1, x / 16); }),
            256, 128, true);
        ClearBackBuffer();
        BeginSprites();
    }
    void TearDown() override {
        EndSprites();
        ForgetTextures();
        RenderTest::TearDown();
    }

    // What the 16 x 32 place at (x, y) shows: "r<row>c<cell>", "-" when nothing was drawn.
    static std::string CellAt(int x, int y) {
        const std::uint32_t p = BackBufferPixel(x + 8, y + 16);
        if (p == 0xFF000000u) return "-";
        if (Blue(p) != 0x20) return "?";
        return "r" + std::to_string((Red(p) - 0x40) / 0x40) + "c" + std::to_string(Green(p) / 16);
    }
    static std::string Cells(int x, int y, int count) {
        std::string out;
        for (int i = 0; i < count; ++i) out += (i ? " " : "") + CellAt(x + 16 * i, y);
        return out;
    }
};

TEST_F(FontTest, CodesMapToTheirCells) {
    const struct {
        std::uint8_t code;
        const char* cell;
    } cases[] = {
        {0, "r0c0"},     {9, "r0c9"},     {'0', "r0c0"},   {'5', "r0c5"},   {'9', "r0c9"},
        {0x50, "r0c10"}, {0x2F, "r0c11"}, {0x2D, "r0c12"}, {0x2B, "r0c13"}, {0x0A, "r0c10"},
        {0x0F, "r0c15"}, {0x71, "r1c0"},  {0x80, "r1c15"}, {0x81, "r2c0"},  {0x8A, "r2c9"},
        {0x8B, "r2c10"}, {0x10, "-"},     {0x8C, "-"},     {0x70, "-"},     {0xFF, "-"},
        {'A', "-"},
    };
    int x = 0;
    for (const auto& c : cases) {
        DrawGlyph(c.code, x, 100);
        EXPECT_EQ(CellAt(x, 100), c.cell) << "code 0x" << std::hex << int{c.code};
        x += 32;
    }
}

TEST_F(FontTest, TextDrawsExactlyLengthGlyphsSixteenPixelsApart) {
    const std::uint8_t label[] = {0x7C, 0x75, 0x86, 0x75, 0x7C};  // LEVEL
    DrawText(label, 3, 200, 300);
    EXPECT_EQ(Cells(200, 300, 4), "r1c11 r1c4 r2c5 -");
    DrawText(label, 0, 200, 400);
    EXPECT_EQ(CellAt(200, 400), "-");
}

TEST_F(FontTest, NumbersAreSixCellsWithLeadingZerosBlank) {
    DrawNumber(0, 0, 0);
    DrawNumber(7, 0, 40);
    DrawNumber(100, 0, 80);
    DrawNumber(1234567, 0, 120);
    DrawNumber(999999, 0, 160);
    const std::string blank = "r0c10";
    EXPECT_EQ(Cells(0, 0, 7), "r0c10 r0c10 r0c10 r0c10 r0c10 r0c10 -");
    EXPECT_EQ(Cells(0, 40, 6), "r0c10 r0c10 r0c10 r0c10 r0c10 r0c7");
    EXPECT_EQ(Cells(0, 80, 6), "r0c10 r0c10 r0c10 r0c1 r0c0 r0c0");
    EXPECT_EQ(Cells(0, 120, 6), "r0c2 r0c3 r0c4 r0c5 r0c6 r0c7");
    EXPECT_EQ(Cells(0, 160, 6), "r0c9 r0c9 r0c9 r0c9 r0c9 r0c9");
}

}  // namespace
