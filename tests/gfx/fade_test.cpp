#include "gfx/fade.h"

#include <algorithm>
#include <cstdlib>

#include "app/load_resources.h"
#include "app/shell.h"
#include "gfx/back_buffer.h"
#include "gfx/textures.h"
#include "platform/clock.h"
#include "platform/clock_testing.h"
#include "platform/sdl_renderer.h"
#include "support/render_fixture.h"

namespace {

constexpr std::int64_t FRAME_MS = 20;

class FadeTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        black = SolidTexture(0xFF000000);
        white = SolidTexture(0xFFFFFFFF);
    }

    // One frame: clear, the background, then the next frame's time.
    static int Frame(std::uint32_t interval) {
        ClearBackBuffer();
        DrawBackground(interval);
        AdvanceManualClock(FRAME_MS);
        return Red(BackBufferPixel(512, 384));
    }

    Texture* black = nullptr;
    Texture* white = nullptr;
};

TEST_F(FadeTest, IntervalZeroShowsFourToTwoFiftyTwoOverSixtyThreeFramesThenTheNewPicture) {
    fade.CurrentBackground = black;
    fade.NextBackground = white;
    fade.FadeActive = 1;
    for (int frame = 1; frame <= 63; ++frame) {
        EXPECT_EQ(fade.FadeActive, 1) << "frame " << frame;
        EXPECT_LE(std::abs(Frame(0) - 4 * frame), 1) << "frame " << frame;
    }
    EXPECT_EQ(fade.FadeActive, 0);
    EXPECT_EQ(fade.FadeAlpha, 0);
    EXPECT_EQ(fade.CurrentBackground, white);
    EXPECT_EQ(fade.NextBackground, black) << "the old picture stays named";
    EXPECT_EQ(Frame(0), 255) << "the 64th frame shows the new picture alone";
    EXPECT_EQ(Frame(0), 255);
}

TEST_F(FadeTest, IntervalFortyEightStepsEveryThirdFrameAndOnceAfterALongPause) {
    fade.CurrentBackground = black;
    fade.NextBackground = white;
    fade.FadeActive = 1;
    fade.LastFadeStep = NowMs() - 1000;
    std::uint8_t expected = 0;
    for (int frame = 1; frame <= 9; ++frame) {
        if (frame % 3 == 1) expected = static_cast<std::uint8_t>(expected + 4);
        Frame(48);
        EXPECT_EQ(fade.FadeAlpha, expected) << "frame " << frame;
    }
    AdvanceManualClock(10000);  // paused: nothing drawn, the clock runs on
    Frame(48);
    EXPECT_EQ(fade.FadeAlpha, expected + 4);
    Frame(48);
    EXPECT_EQ(fade.FadeAlpha, expected + 4);
    // The whole fade from a fresh start lasts 187 frames.
    fade.FadeAlpha = 0;
    fade.LastFadeStep = NowMs() - 48;
    int frames = 0;
    while (fade.FadeActive && frames < 1000) {
        Frame(48);
        ++frames;
    }
    EXPECT_EQ(frames, 187);
}

TEST_F(FadeTest, AFadeStartedDuringAnotherGoesOnFromItsOpacity) {
    Texture* grey = SolidTexture(0xFF808080);
    fade.CurrentBackground = black;
    fade.NextBackground = white;
    fade.FadeActive = 1;
    for (int i = 0; i < 10; ++i) Frame(0);
    fade.NextBackground = grey;
    fade.FadeActive = 1;
    Frame(0);
    EXPECT_EQ(fade.FadeAlpha, 44);
    while (fade.FadeActive) Frame(0);
    EXPECT_EQ(fade.CurrentBackground, grey);
    EXPECT_EQ(fade.NextBackground, black);
}

TEST_F(FadeTest, StartUpFadesTheTitleInFromBlack) {
    LoadResources();
    EXPECT_EQ(screenId, Title);
    EXPECT_EQ(fade.CurrentBackground, textures.BlackScreen);
    EXPECT_EQ(fade.NextBackground, textures.TitleBackground);
    EXPECT_EQ(fade.FadeActive, 1);
    for (Texture* t : textures.LevelBackground) EXPECT_NE(t, nullptr);
    ASSERT_NE(textures.GameOverSnapshot, nullptr);
    EXPECT_EQ(TextureWidth(textures.GameOverSnapshot), BACK_BUFFER_WIDTH);

    // The title as it stands alone, then the first frame at 4/255 of it over black.
    ClearBackBuffer();
    DrawTextureFullScreen(textures.TitleBackground, 255);
    const auto title = ReadBackBuffer();
    ASSERT_TRUE(std::any_of(title.begin(), title.end(), [](std::uint32_t p) {
        return Red(p) > 128;
    })) << "the title picture is built in";
    ClearBackBuffer();
    DrawBackground(0);
    const auto first = ReadBackBuffer();
    ASSERT_EQ(first.size(), title.size());
    for (std::size_t i = 0; i < first.size(); i += 4099) {
        EXPECT_LE(std::abs(Red(first[i]) - Red(title[i]) * 4 / 255), 1) << "pixel " << i;
        EXPECT_LE(std::abs(Green(first[i]) - Green(title[i]) * 4 / 255), 1) << "pixel " << i;
    }
    ForgetTextures();
}

}  // namespace
