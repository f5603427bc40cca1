#include "app/settings.h"
#include "app/shell.h"
#include "gfx/fade.h"
#include "gfx/textures.h"
#include "music/player.h"
#include "music/player_state.h"
#include "platform/audio.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "screens/front_end_fixture.h"
#include "screens/menu_controls.h"
#include "screens/menu_controls_testing.h"
#include "sound/current_folder.h"
#include "sound/sound.h"
#include "sound/wav_builder.h"

namespace {

// Glyph cells as glyphRow * 16 + cell.
constexpr int DIGIT_0 = 0;
constexpr int PLUS_SIGN = 13;
constexpr int LETTER_L = 16 + 11;
constexpr int LETTER_N = 16 + 13;
constexpr int LETTER_O = 16 + 14;
constexpr int FULLSCREEN_SWITCH = 0;
constexpr int SOUND_SWITCH = 2;

class OptionsTest : public FrontEndTest {
protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        screenId = Options;
        fade.CurrentBackground = textures.OptionsBackground;
    }

    // A press and release at (x, y), with a frame for each.
    void Click(int x, int y) {
        PointAt(x, y);
        Press();
        Frame();
        Release();
        Frame();
    }

    void StartFadeFromMenu() {
        fade.CurrentBackground = textures.BlackScreen;
        fade.NextBackground = textures.OptionsBackground;
        fade.FadeActive = 1;
    }
};

TEST_F(OptionsTest, ControlsLeaveOutTheirFirstColumnAndRowAndTakeInTheirLast) {
    const struct {
        int x, y;
        bool inside;
    } points[] = {{900, 120, false}, {920, 112, false}, {901, 113, true},
                  {947, 143, true},  {948, 120, false}, {920, 144, false}};
    for (const auto& p : points) {
        settings.fullscreen = 0;
        ResetFrontEndState();
        Click(p.x, p.y);
        EXPECT_EQ(settings.fullscreen, p.inside ? 1 : 0) << p.x << ", " << p.y;
        EXPECT_EQ(frontEnd.optionsHoverArmed[FULLSCREEN_SWITCH], p.inside ? 0 : 1)
            << p.x << ", " << p.y;
    }
    // The sound volume's buttons are taller than the others.
    settings.soundVolume = 10;
    Click(958 + 15, 312 + 41);
    EXPECT_EQ(settings.soundVolume, 11);
    Click(958 + 15, 312 + 42);
    EXPECT_EQ(settings.soundVolume, 11);
}

TEST_F(OptionsTest, APressActsOnceAndTheLatchClearsOnlyOverAControlWithTheButtonUp) {
    // Dragging from one control onto another acts on the first only.
    PointAt(920, 200);
    Press();
    Frame();
    EXPECT_EQ(settings.soundOn, 0);
    Frames(3);
    EXPECT_EQ(settings.soundOn, 0) << "a held press acts once";
    PointAt(920, 160);
    Frame();
    EXPECT_EQ(settings.musicOn, 1);

    // Released outside every control, the latch stays and a press dragged in does nothing.
    PointAt(700, 300);
    Release();
    Frame();
    Press();
    Frame();
    PointAt(920, 200);
    Frame();
    EXPECT_EQ(settings.soundOn, 0);

    // With the latch clear, a press dragged in from outside acts on its first frame inside.
    Release();
    Frame();
    PointAt(700, 300);
    Press();
    Frame();
    PointAt(920, 200);
    Frame();
    EXPECT_EQ(settings.soundOn, 1);
    EXPECT_EQ(frontEnd.optionsHoverArmed[SOUND_SWITCH], 0);
}

TEST_F(OptionsTest, ReturnAndEscapeWaitForTheFadeWhileTheSettingControlsDoNot) {
    StartFadeFromMenu();
    frontEnd.pressLatch = 0;
    Click(966, 448);  // rotation faster, during the fade
    EXPECT_EQ(settings.rotateRepeat, 5);
    Click(900, 640);  // the rotation direction waits
    EXPECT_EQ(settings.rotateReversed, 0);
    PointAt(600, 720);
    Press();
    ScriptKey(VK_ESCAPE, true);
    Frames(58);  // 62 of the fade's 63 frames
    EXPECT_EQ(screenId, Options);
    Frame();
    EXPECT_EQ(screenId, MainMenu) << "the frame that ends the fade returns";
    EXPECT_EQ(fade.CurrentBackground, textures.MenuBackground);
}

TEST_F(OptionsTest, TheClickOnReturnDoesNotGoOnToTheMenuItemBeneathIt) {
    Click(966, 280);  // a change released over its button clears the latch
    ASSERT_EQ(frontEnd.pressLatch, 0);
    PointAt(600, 720);
    Press();
    Frame();
    ASSERT_EQ(screenId, MainMenu);
    Frames(3);
    EXPECT_EQ(screenId, MainMenu) << "the high-score item lies under the return button";
}

TEST_F(OptionsTest, RestoreDefaultsActsInEveryFrameWhileHeldAndBringsTheDisplayBack) {
    settings.fullscreen = 1;
    settings.musicOn = 0;
    settings.musicVolume = 3;
    settings.garbageRows = 7;
    frontEnd.pressLatch = 1;  // restore does not look at the latch
    PointAt(900, 720);
    Press();
    Frame();
    const Settings defaults{};
    EXPECT_EQ(settings.fullscreen, 0);
    EXPECT_EQ(settings.musicOn, 1);
    EXPECT_EQ(settings.musicVolume, 25);
    EXPECT_EQ(settings.garbageRows, defaults.garbageRows);
    settings.startLevel = 9;
    Frame();
    EXPECT_EQ(settings.startLevel, 1);
    EXPECT_EQ(frontEnd.pressLatch, 1);
}

TEST_F(OptionsTest, TheMusicSwitchPausesAndResumesAndRestoringTheDefaultsPlaysAgain) {
    musicPlayer.paused = 0;
    Click(920, 160);
    EXPECT_EQ(settings.musicOn, 0);
    EXPECT_EQ(musicPlayer.paused, 1);
    Click(920, 160);
    EXPECT_EQ(settings.musicOn, 1);
    EXPECT_EQ(musicPlayer.paused, 0);

    // Switched off, then restored: the switch says on, so the music plays again.
    Click(920, 160);
    ASSERT_EQ(musicPlayer.paused, 1);
    Click(900, 720);
    EXPECT_EQ(settings.musicOn, 1);
    EXPECT_EQ(musicPlayer.paused, 0);

    // A stored value other than 0 or 1 neither pauses nor resumes.
    settings.musicOn = 2;
    Click(920, 160);
    EXPECT_EQ(settings.musicOn, 0);
    EXPECT_EQ(musicPlayer.paused, 0);

    // A volume above the range only comes down, and the player hears each step.
    settings.musicVolume = 30;
    Click(966, 280);
    EXPECT_EQ(settings.musicVolume, 30);
    Click(886, 280);
    EXPECT_EQ(settings.musicVolume, 29);
    settings.musicVolume = 2;
    Click(886, 280);
    EXPECT_EQ(settings.musicVolume, 1);
    EXPECT_EQ(musicPlayer.masterVolume, VOLUME_TABLE[1]);
    SetMusicVolume(MAX_VOLUME_STEP);
}

TEST_F(OptionsTest, ValuesShowAsThePlayerReadsThem) {
    settings.moveRepeat = 10;
    settings.rotateRepeat = 1;
    settings.musicVolume = 0;
    settings.soundVolume = 17;
    settings.startLevel = 0;  // only a stored record can hold it
    settings.rotateReversed = 1;
    settings.musicOn = 2;
    Frame();
    Capture();
    EXPECT_EQ(NumberAt(848, 392), 1);
    EXPECT_EQ(NumberAt(848, 432), 10);
    EXPECT_EQ(NumberAt(848, 472), 5);
    EXPECT_EQ(NumberAt(848, 312), 17);
    EXPECT_EQ(GlyphAt(928, 272), DIGIT_0) << "the zero label";
    EXPECT_EQ(GlyphAt(928, 542), DIGIT_0);
    EXPECT_EQ(GlyphAt(958, 392), PLUS_SIGN) << "the increase button";
    EXPECT_EQ(GlyphAt(908, 152), LETTER_O) << "any nonzero switch shows on";
    EXPECT_EQ(GlyphAt(908 + 16, 152), LETTER_N);
    EXPECT_EQ(GlyphAt(900 + 32, 192), -1) << "no third glyph: on, not off";
    EXPECT_EQ(GlyphAt(878, 622), LETTER_L);
    EXPECT_EQ(GlyphAt(878 + 64, 622), -1) << "the four-glyph direction label";

    // The buttons at their limits change nothing; the music switch from 2 only clears it.
    frontEnd.pressLatch = 0;
    Click(886, 400);
    Click(966, 440);
    Click(920, 160);
    EXPECT_EQ(settings.moveRepeat, 10);
    EXPECT_EQ(settings.rotateRepeat, 1);
    EXPECT_EQ(settings.musicOn, 0);
    Click(966, 550);
    EXPECT_EQ(settings.startLevel, 1);
    Click(886, 550);
    EXPECT_EQ(settings.startLevel, 1) << "the decrease stops at level 1";
}

// The options screen with sounds to hear: a quiet hover and a loud click, both at the device
// rate and long enough to outlast a frame.
class OptionsSoundTest : public OptionsTest {
protected:
    static constexpr std::int16_t HOVER_LEVEL = 1000;
    static constexpr std::int16_t CLICK_LEVEL = 10000;
    static constexpr std::uint32_t SOUND_FRAMES = 4800;

    void SetUp() override {
        OptionsTest::SetUp();
        OpenHeadlessAudio();
        using namespace wav_builder;
        folder.Write("#114", StereoWav(48000, ConstantFrames(SOUND_FRAMES, HOVER_LEVEL, 0)));
        folder.Write("#113", StereoWav(48000, ConstantFrames(SOUND_FRAMES, CLICK_LEVEL, 0)));
        ASSERT_TRUE(InitSound());
        LoadSounds();
    }
    void TearDown() override {
        ShutdownSound();
        CloseAudioOutput();
        OptionsTest::TearDown();
    }

    // The level of the sounds that the last frame started; they are then played to their end.
    int Heard() {
        std::vector<std::int16_t> out(2 * std::size_t{SOUND_FRAMES});
        PullAudio(out.data(), static_cast<int>(SOUND_FRAMES));
        return out[0];
    }

    TemporaryCurrentFolder folder;
};

TEST_F(OptionsSoundTest, TheClickSoundsWithTheSettingsFromBeforeThePress) {
    // Entering with the button held and the latch clear: the hover and the click together.
    PointAt(920, 200);
    Press();
    Frame();
    EXPECT_EQ(settings.soundOn, 0);
    EXPECT_EQ(Heard(), HOVER_LEVEL + CLICK_LEVEL) << "switching sound off still clicks";
    Release();
    Frame();
    Press();
    Frame();
    EXPECT_EQ(settings.soundOn, 1);
    EXPECT_EQ(Heard(), 0) << "switching it on does not";

    // The volume buttons click at the old volume: 48 dB down from step 1, nothing from 0.
    settings.soundVolume = 1;
    Release();
    PointAt(886, 330);
    Frame();
    EXPECT_NEAR(Heard(), HOVER_LEVEL / 251, 1);
    Press();
    Frame();
    EXPECT_EQ(settings.soundVolume, 0);
    EXPECT_NEAR(Heard(), CLICK_LEVEL / 251, 1);
    Release();
    PointAt(966, 330);
    Frame();
    Press();
    Frame();
    EXPECT_EQ(settings.soundVolume, 1);
    EXPECT_EQ(Heard(), 0);

    // The hover sounds once per entry, not while the pointer stays.
    settings.soundVolume = 25;
    Release();
    PointAt(920, 130);
    Frame();
    EXPECT_EQ(Heard(), HOVER_LEVEL);
    Frames(3);
    EXPECT_EQ(Heard(), 0);
}

}  // namespace
