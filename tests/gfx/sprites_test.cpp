#include "gfx/sprites.h"

#include <cstdlib>

#include "gfx/back_buffer.h"
#include "gfx/fade.h"
#include "platform/render_hooks.h"
#include "platform/sdl_renderer.h"
#include "support/render_fixture.h"

namespace {

void ExpectNear(std::uint32_t pixel, int r, int g, int b, const char* what) {
    EXPECT_LE(std::abs(Red(pixel) - r), 2) << what << std::hex << " pixel " << pixel;
    EXPECT_LE(std::abs(Green(pixel) - g), 2) << what << std::hex << " pixel " << pixel;
    EXPECT_LE(std::abs(Blue(pixel) - b), 2) << what << std::hex << " pixel " << pixel;
}

using SpriteTest = RenderTest;

TEST_F(SpriteTest, TintModulatesColourAndOpacity) {
    Texture* white = SolidTexture(0xFFFFFFFF, 8, 8);
    ClearBackBuffer();
    BeginSprites();
    DrawSprite(white, nullptr, 10, 10, TINT_PANEL);
    DrawSprite(white, nullptr, 30, 10, 0xFFFF8000);
    DrawSprite(white, nullptr, 50, 10);
    EndSprites();
    ExpectNear(BackBufferPixel(12, 12), 192, 192, 192, "0xC0FFFFFF over black shows 75 %");
    ExpectNear(BackBufferPixel(32, 12), 255, 128, 0, "colour tint");
    ExpectNear(BackBufferPixel(52, 12), 255, 255, 255, "untinted");
    ExpectNear(BackBufferPixel(20, 12), 0, 0, 0, "between the sprites");
}

TEST_F(SpriteTest, SourceRectangleLandsAtThePositionAndLaterSpritesCoverEarlierOnes) {
    // Left half red, right half blue.
    Texture* halves = CreateImageTexture(
        MakePng(16, 8, [](int x, int) { return x < 8 ? 0xFFFF0000u : 0xFF0000FFu; }), 0, 0, false);
    Texture* green = SolidTexture(0xFF00FF00, 4, 4);
    ASSERT_EQ(TextureWidth(halves), 16);
    ClearBackBuffer();
    const SpriteRect rightHalf{8, 0, 16, 8};
    DrawSprite(halves, &rightHalf, 100, 200);
    DrawSprite(green, nullptr, 106, 206);
    ExpectNear(BackBufferPixel(100, 200), 0, 0, 255, "top-left of the rectangle");
    ExpectNear(BackBufferPixel(105, 205), 0, 0, 255, "inside");
    ExpectNear(BackBufferPixel(108, 200), 0, 0, 0, "right of the 8-texel rectangle");
    ExpectNear(BackBufferPixel(107, 207), 0, 255, 0, "the later sprite on top");
    ExpectNear(BackBufferPixel(99, 200), 0, 0, 0, "left of the position");
}

TEST_F(SpriteTest, MagentaKeyMakesOnlyOpaqueMagentaTransparent) {
    // Columns: opaque magenta, opaque yellow, half-transparent magenta.
    const auto png = MakePng(3, 1, [](int x, int) {
        return x == 0 ? 0xFFFF00FFu : x == 1 ? 0xFFFFFF00u : 0x80FF00FFu;
    });
    Texture* keyed = CreateImageTexture(png, 0, 0, true);
    Texture* plain = CreateImageTexture(png, 0, 0, false);
    ClearBackBufferPixels(0xFF0000FF);
    DrawSprite(keyed, nullptr, 0, 0);
    DrawSprite(plain, nullptr, 0, 1);
    ExpectNear(BackBufferPixel(0, 0), 0, 0, 255, "keyed magenta shows what lies under it");
    ExpectNear(BackBufferPixel(1, 0), 255, 255, 0, "other colours stay");
    ExpectNear(BackBufferPixel(2, 0), 128, 0, 255, "a translucent magenta keeps its alpha");
    ExpectNear(BackBufferPixel(0, 1), 255, 0, 255, "without the key magenta is drawn");
}

// A sprite cut from a picture with see-through pixels: a part that is opaque on every row is
// drawn as it is, and a part that takes in a see-through pixel, even one at its edge or on one
// of its rows only, still lets what lies under that pixel show.
TEST_F(SpriteTest, OnlyWhollyOpaqueCutsHideWhatLiesUnder) {
    // Red, but for column 4 on row 0 and column 6 on row 1.
    const auto seeThrough = [](int x, int y) { return (y == 0 && x == 4) || (y == 1 && x == 6); };
    Texture* picture = CreateImageTexture(
        MakePng(8, 2, [&](int x, int y) { return seeThrough(x, y) ? 0u : 0xFFFF0000u; }), 0, 0,
        false);
    const SpriteRect cuts[] = {{0, 0, 4, 2}, {0, 0, 5, 1}, {4, 0, 6, 1},
                               {5, 0, 8, 1}, {5, 0, 8, 2}, {0, 1, 6, 2}};
    for (const SpriteRect& cut : cuts) {
        ClearBackBufferPixels(0xFF0000FF);
        DrawSprite(picture, &cut, 100, 10);
        for (int y = cut.top; y < cut.bottom; ++y) {
            for (int x = cut.left; x < cut.right; ++x) {
                const std::uint32_t pixel = BackBufferPixel(100 + x - cut.left, 10 + y - cut.top);
                if (seeThrough(x, y)) {
                    ExpectNear(pixel, 0, 0, 255, "see-through");
                } else {
                    ExpectNear(pixel, 255, 0, 0, "opaque");
                }
            }
        }
    }
}

TEST_F(SpriteTest, UnusableImagesGiveTexturesThatDrawNothing) {
    // Bytes that no decoder takes for a picture. (Bytes that began as a PNG's signature does would
    // reach libpng, which rightly says on stderr what is wrong with them.)
    const std::uint8_t garbage[] = {'P', 'L', 'E', 'M', 'B', 'Y', 1, 2, 3, 4, 5};
    Texture* broken = CreateImageTexture(garbage, 0, 0, false);
    Texture* empty = CreateImageTexture({}, 1024, 768, false);
    Texture* huge = CreateImageTexture(
        MakePng(MAX_TEXTURE_SIDE + 1, 1, [](int, int) { return ~0u; }), 0, 0, false);
    for (Texture* t : {broken, empty, huge}) {
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(TextureWidth(t), 0);
        ClearBackBuffer();
        DrawSprite(t, nullptr, 0, 0);
        DrawTextureFullScreen(t, 255);
        EXPECT_EQ(BackBufferPixel(0, 0), 0xFF000000u);
    }
    DrawSprite(nullptr, nullptr, 0, 0);
}

TEST_F(SpriteTest, RequestedSizeScalesThePicture) {
    Texture* t =
        CreateImageTexture(MakePng(2, 2, [](int, int) { return 0xFF00FF00u; }), 320, 640, false);
    EXPECT_EQ(TextureWidth(t), 320);
    EXPECT_EQ(TextureHeight(t), 640);
    ClearBackBuffer();
    DrawSprite(t, nullptr, 0, 0);
    ExpectNear(BackBufferPixel(319, 639), 0, 255, 0, "the far corner is covered");
    ExpectNear(BackBufferPixel(320, 0), 0, 0, 0, "and nothing beyond it");
}

TEST_F(SpriteTest, SnapshotHoldsTheBackBufferAndEveryResetEmptiesItInTheSameSlot) {
    textures.GameOverSnapshot = CreateTargetTexture(BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT);
    Texture* red = SolidTexture(0xFFFF0000, 4, 4);
    ClearBackBuffer();
    DrawSprite(red, nullptr, 500, 400);
    CopyBackBufferToSnapshot();
    fade.CurrentBackground = textures.GameOverSnapshot;
    ClearBackBuffer();
    DrawBackground(0);
    ExpectNear(BackBufferPixel(501, 401), 255, 0, 0, "the snapshot's copy of the sprite");
    ExpectNear(BackBufferPixel(10, 10), 0, 0, 0, "the snapshot's black");

    for (const bool deviceReset : {false, true}) {
        CopyBackBufferToSnapshot();
        OnRenderReset(deviceReset);
        ASSERT_EQ(fade.CurrentBackground, textures.GameOverSnapshot);
        EXPECT_EQ(TextureWidth(fade.CurrentBackground), BACK_BUFFER_WIDTH) << "made again";
        EXPECT_EQ(BackBufferPixel(501, 401), 0xFF000000u) << "the back buffer is black again";
        DrawSprite(red, nullptr, 0, 0);
        DrawBackground(0);
        ExpectNear(BackBufferPixel(501, 401), 0, 0, 0, "the slot draws the new, empty target");
        DrawSprite(red, nullptr, 0, 0);
        ExpectNear(BackBufferPixel(1, 1), 255, 0, 0, "pictures still draw after the reset");
    }
    ForgetTextures();
}

}  // namespace

namespace {

TEST_F(SpriteTest, BuiltInPicturesLoadAtTheirSizesWithTheirMagentaTransparent) {
    LoadTextures();
    const struct {
        Texture* texture;
        int w, h;
    } sizes[] = {{textures.SpriteSheet, 256, 128},       {textures.PanelTexture, 320, 640},
                 {textures.BlackScreen, 320, 640},       {textures.TitleBackground, 1024, 768},
                 {textures.MenuHighlight, 1024, 768},    {textures.LevelBackground[9], 1024, 768},
                 {textures.GameOverSnapshot, 1024, 768}, {textures.InfoBackground, 1024, 768},
                 {textures.GhostTiles, 256, 32}};
    for (const auto& s : sizes) {
        EXPECT_EQ(TextureWidth(s.texture), s.w);
        EXPECT_EQ(TextureHeight(s.texture), s.h);
    }
    ClearBackBufferPixels(0xFF0000FF);
    const SpriteRect tile0{0, 0, 32, 32};
    DrawSprite(textures.SpriteSheet, &tile0, 100, 100);
    DrawSprite(textures.MenuHighlight, nullptr, 0, 0);
    const auto pixels = ReadBackBuffer();
    int blue = 0;
    for (int y = 100; y < 132; ++y) {
        for (int x = 100; x < 132; ++x) blue += pixels[y * BACK_BUFFER_WIDTH + x] == 0xFF0000FFu;
    }
    EXPECT_EQ(blue, 32 * 32) << "tile 0 and the highlight's background are see-through";
    ForgetTextures();
}

}  // namespace
