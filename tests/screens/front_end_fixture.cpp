#include "screens/front_end_fixture.h"

#include "app/shell.h"
#include "gfx/back_buffer.h"
#include "gfx/fade.h"
#include "gfx/textures.h"
#include "platform/clock.h"
#include "platform/clock_testing.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "platform/window.h"
#include "screens/front_end.h"
#include "screens/menu_controls.h"

namespace {
constexpr std::int64_t FRAME_MS = 20;
}  // namespace

void FrontEndTest::SetUp() {
    DrawingTest::SetUp();
    if (HasFatalFailure()) return;
    for (int i = 0; i < 10; ++i) {
        textures.LevelBackground[i] =
            SolidTexture(0xFF100000u + 0x10000u * static_cast<unsigned>(i), 64, 48);
    }
    textures.TitleBackground = SolidTexture(0xFF204060, 64, 48);
    textures.MenuBackground = SolidTexture(0xFF0000C0, 64, 48);
    textures.MenuHighlight = SolidTexture(0xFFFFFFFF);
    textures.OptionsBackground = background;
    textures.InfoBackground = SolidTexture(0xFF00C000, 64, 48);
    textures.HighScoresBackground = SolidTexture(0xFFC0C000, 64, 48);
    screenId = MainMenu;
    fade.CurrentBackground = textures.MenuBackground;
    fade.NextBackground = textures.TitleBackground;
    PointAt(0, 0);
    Release();
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
        case Controls:
            ControlsFrame();
            break;
        default:
            break;  // the play and high-score screens are not looked at here
    }
    AdvanceManualClock(FRAME_MS);
}

void FrontEndTest::Frames(int count) {
    for (int i = 0; i < count; ++i) Frame();
}

void FrontEndTest::TakeEvents() {
    while (PumpOneEvent()) {
    }
}

void FrontEndTest::Step(int frames) {
    for (int i = 0; i < frames; ++i) {
        TakeEvents();
        RunFrame();
        AdvanceManualClock(FRAME_MS);
    }
}

void FrontEndTest::TapKey(int vk) {
    ScriptKey(vk, true);
    Step();
    ScriptKey(vk, false);
    Step();
}

void FrontEndTest::PointAt(int x, int y) { ScriptPointer(x, y); }
void FrontEndTest::Press() { ScriptKey(VK_LBUTTON, true); }
void FrontEndTest::Release() { ScriptKey(VK_LBUTTON, false); }

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
