#include "screens/front_end_fixture.h"

#include "app/settings.h"
#include "app/shell.h"
#include "game/game_state.h"
#include "game/play_screen.h"
#include "gfx/fade.h"
#include "gfx/renderer.h"
#include "gfx/textures.h"
#include "platform/clock.h"
#include "platform/keys.h"
#include "platform/render.h"
#include "screens/front_end.h"
#include "screens/menu_controls.h"

namespace {

constexpr std::int64_t FRAME_MS = 20;
constexpr std::uint32_t MAGENTA = 0xFFFF00FF;
constexpr int BLANK_GLYPH = 10;

std::uint32_t GlyphColour(int glyph) {
    return 0xFF000000u | static_cast<std::uint32_t>(60 + 60 * (glyph / 16)) << 8 |
           static_cast<std::uint32_t>(8 + 16 * (glyph % 16));
}

std::uint32_t SheetPixel(int x, int y) {
    if (y < 32) return MAGENTA;
    const int glyph = (y - 32) / 32 * 16 + x / 16;
    return glyph == BLANK_GLYPH ? MAGENTA : GlyphColour(glyph);
}

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

void FrontEndTest::SetUp() {
    RenderTest::SetUp();
    for (int i = 0; i < 10; ++i)
        LevelBackground[i] = SolidTexture(0xFF100000u + 0x10000u * i, 64, 48);
    SpriteSheet = CreateImageTexture(MakePng(256, 128, SheetPixel), 256, 128, true);
    const auto black = MakePng(320, 640, [](int, int) { return 0xFF000000u; });
    PanelTexture = CreateImageTexture(black, 320, 640, false);
    BlackScreen = CreateImageTexture(black, 0, 0, false);
    TitleBackground = SolidTexture(0xFF204060, 64, 48);
    MenuBackground = SolidTexture(0xFF0000C0, 64, 48);
    MenuHighlight = SolidTexture(0xFFFFFFFF);
    OptionsBackground = SolidTexture(0xFF808080, 64, 48);
    InfoBackground = SolidTexture(0xFF00C000, 64, 48);
    HighScoresBackground = SolidTexture(0xFFC0C000, 64, 48);
    GameOverSnapshot = CreateTargetTexture(1024, 768);
    settings = Settings{};
    ResetGameStartupState();
    ResetFrontEndState();
    fromMenu = 0;
    screenId = MainMenu;
    CurrentBackground = MenuBackground;
    NextBackground = TitleBackground;
    PointAt(0, 0);
    Release();
}

void FrontEndTest::TearDown() {
    StopInputScript();
    RenderTest::TearDown();
}

void FrontEndTest::Frame() {
    ClearBackBuffer();
    switch (screenId) {
        case Title:
            TitleFrame();
            break;
        case MainMenu:
            MainMenuFrame();
            break;
        case Options:
            OptionsFrame();
            break;
        case GameOver:
            GameOverFrame();
            break;
        case Info:
            InfoFrame();
            break;
        default:
            break;  // the play and high-score screens are not looked at here
    }
    AdvanceManualClock(FRAME_MS);
}

void FrontEndTest::Frames(int count) {
    for (int i = 0; i < count; ++i) Frame();
}

void FrontEndTest::FinishFade() {
    for (int i = 0; i < 300 && FadeActive; ++i) Frame();
    ASSERT_EQ(FadeActive, 0);
}

void FrontEndTest::PointAt(int x, int y) { ScriptPointer(x, y); }
void FrontEndTest::Press() { ScriptKey(VK_LBUTTON, true); }
void FrontEndTest::Release() { ScriptKey(VK_LBUTTON, false); }

int FrontEndTest::GlyphAt(int x, int y) const {
    const std::uint32_t p = BackBufferPixel(x + 8, y + 16);
    for (int glyph = 0; glyph < 48; ++glyph) {
        if (glyph != BLANK_GLYPH && p == GlyphColour(glyph)) return glyph;
    }
    return -1;
}

int FrontEndTest::NumberAt(int x, int y) const {
    int value = 0;
    for (int i = 0; i < 6; ++i) {
        const int glyph = GlyphAt(x + 16 * i, y);
        if (glyph >= 0 && glyph <= 9) {
            value = value * 10 + glyph;
        } else if (value != 0) {
            return -1;
        }
    }
    return value;
}
