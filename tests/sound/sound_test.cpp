#include "sound/sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "app/settings.h"
#include "common/random.h"
#include "platform/audio.h"
#include "sound/current_folder.h"
#include "sound/sound_system.h"
#include "sound/wav_builder.h"
#include "support/portable.h"

using namespace wav_builder;

namespace {

// Replacement sounds at the device rate, so that every output frame is one sample frame.
constexpr std::uint32_t CLICK_FRAMES = 4800;
constexpr std::int16_t CLICK_LEVEL = 10000;
constexpr std::uint32_t LINE_FRAMES = 2400;
constexpr std::int16_t LINE_LEVEL = 6000;

class SoundEffects : public ::testing::Test {
protected:
    void SetUp() override {
        OpenHeadlessAudio();
        folder.Write("#113",
                     StereoWav(48000, ConstantFrames(CLICK_FRAMES, CLICK_LEVEL, CLICK_LEVEL / 2)));
        folder.Write("#112", StereoWav(48000, ConstantFrames(LINE_FRAMES, LINE_LEVEL, LINE_LEVEL)));
        // Half the device rate: each sample frame lasts two output frames.
        folder.Write("#114", StereoWav(24000, ConstantFrames(100, 3000, 3000)));
        settings.soundOn = 1;
        settings.soundVolume = 25;
        ASSERT_TRUE(InitSound());
        LoadSounds();
    }
    void TearDown() override {
        ShutdownSound();
        CloseAudioOutput();
        settings = Settings{};
    }

    // The left channel of the next frames of output.
    std::vector<int> Pull(int frames) {
        std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
        PullAudio(out.data(), frames);
        std::vector<int> left;
        for (int i = 0; i < frames; ++i) left.push_back(out[2 * static_cast<std::size_t>(i)]);
        return left;
    }
    // How many frames sound before the output falls silent.
    int FramesUntilSilent() {
        int count = 0;
        while (count < 100000) {
            if (Pull(1)[0] == 0) return count;
            ++count;
        }
        return count;
    }

    TemporaryCurrentFolder folder;
};

int ExpectedLevel(int level, int step) {
    return static_cast<int>(std::lround(level * std::pow(10.0, (step - 25) * 200 / 2000.0)));
}

}  // namespace

TEST_F(SoundEffects, AllSixAreMade) {
    for (SoundId id : {SoundId::Hover, SoundId::Click, SoundId::LineClear, SoundId::Rotate,
                       SoundId::FourLines, SoundId::LevelUp}) {
        EXPECT_TRUE(SoundLoaded(id));
    }
}

TEST_F(SoundEffects, VolumeStepsAreTwoDecibelsEach) {
    for (int step : {25, 24, 13, 1}) {
        SCOPED_TRACE(step);
        settings.soundVolume = static_cast<std::uint8_t>(step);
        PlayEffect(SoundId::Click, ProgramRandom());
        std::vector<std::int16_t> out(4);
        PullAudio(out.data(), 2);
        EXPECT_NEAR(out[0], ExpectedLevel(CLICK_LEVEL, step), 1);
        EXPECT_NEAR(out[1], ExpectedLevel(CLICK_LEVEL / 2, step), 1);
        Pull(CLICK_FRAMES);  // to its end
    }
}

TEST_F(SoundEffects, SwitchedOffLeavesEverySoundAlone) {
    PlayEffect(SoundId::Click, ProgramRandom());
    Pull(100);
    // Were these starts made, they would set the playing click's volume, or start the line.
    settings.soundVolume = 0;
    PlayEffect(SoundId::Click, ProgramRandom());
    PlayEffect(SoundId::LineClear, ProgramRandom());
    settings.soundVolume = 1;
    settings.soundOn = 0;
    PlayEffect(SoundId::Click, ProgramRandom());
    PlayEffect(SoundId::LineClear, ProgramRandom());
    EXPECT_EQ(Pull(1)[0], CLICK_LEVEL);
    EXPECT_EQ(FramesUntilSilent(), static_cast<int>(CLICK_FRAMES) - 101);
}

TEST_F(SoundEffects, StartingAPlayingEffectKeepsItGoingAtTheNewVolume) {
    PlayEffect(SoundId::Click, ProgramRandom());
    Pull(1000);
    settings.soundVolume = 24;
    PlayEffect(SoundId::Click, ProgramRandom());
    EXPECT_NEAR(Pull(1)[0], ExpectedLevel(CLICK_LEVEL, 24), 1);             // one voice, not two
    EXPECT_EQ(FramesUntilSilent(), static_cast<int>(CLICK_FRAMES) - 1001);  // not restarted

    // Having ended, it plays again from its start.
    PlayEffect(SoundId::Click, ProgramRandom());
    EXPECT_EQ(FramesUntilSilent(), static_cast<int>(CLICK_FRAMES));
}

TEST_F(SoundEffects, DifferentEffectsSoundTogether) {
    PlayEffect(SoundId::Click, ProgramRandom());
    PlayEffect(SoundId::LineClear, ProgramRandom());
    EXPECT_EQ(Pull(1)[0], CLICK_LEVEL + LINE_LEVEL);
    Pull(LINE_FRAMES - 1);
    EXPECT_EQ(Pull(1)[0], CLICK_LEVEL);
}

TEST_F(SoundEffects, EachPlaysAtItsOwnRate) {
    PlayEffect(SoundId::Hover, ProgramRandom());
    EXPECT_EQ(Pull(1)[0], 3000);
    EXPECT_NEAR(FramesUntilSilent(), 199, 1);

    // A rising ramp at half the device rate: every other output frame lies halfway between
    // two sample frames and takes the mean of the two.
    std::vector<std::uint8_t> ramp;
    for (int frame = 0; frame < 8; ++frame) {
        PutLe16(ramp, static_cast<std::uint32_t>(1000 * frame));
        PutLe16(ramp, static_cast<std::uint32_t>(1000 * frame));
    }
    folder.Write("#906", Riff({Chunk("fmt ", FmtData(1, 2, 24000, 16)), Chunk("data", ramp)}));
    CSound* halfRate = LoadSound("#906");
    ASSERT_NE(halfRate, nullptr);
    halfRate->Play(0, 0, 0, KEEP_FREQUENCY, 0, ProgramRandom());
    EXPECT_EQ(Pull(6), (std::vector<int>{0, 500, 1000, 1500, 2000, 2500}));
    delete halfRate;

    // A CD-rate sound lasts as long at the device rate: 4410 frames are a tenth of a second.
    folder.Write("#907", StereoWav(44100, ConstantFrames(4410, 2000, 2000)));
    CSound* cdRate = LoadSound("#907");
    ASSERT_NE(cdRate, nullptr);
    cdRate->Play(0, 0, 0, KEEP_FREQUENCY, 0, ProgramRandom());
    EXPECT_NEAR(FramesUntilSilent(), 4800, 1);
    delete cdRate;
}

TEST_F(SoundEffects, SeveralBuffersPlayTheSameSoundAtOnce) {
    CSoundSystem system;
    ASSERT_EQ(system.Initialize(DSSCL_PRIORITY), S_OK);
    CSound* sound = nullptr;
    ASSERT_EQ(system.CreateSound(&sound, "#112", DSBCAPS_CTRLVOLUME, GUID_NULL, 2), S_OK);
    ASSERT_NE(sound, nullptr);
    Random random(7);
    EXPECT_EQ(sound->Play(0, 0, 0, KEEP_FREQUENCY, 0, random), S_OK);
    EXPECT_EQ(sound->Play(0, 0, 0, KEEP_FREQUENCY, 0, random), S_OK);
    EXPECT_EQ(random.Draws(), 0u);  // an idle buffer was found both times
    EXPECT_EQ(sound->Play(0, 0, 0, KEEP_FREQUENCY, 0, random), S_OK);
    EXPECT_EQ(random.Draws(), 1u);  // both busy: one drawn from the generator it was handed
    EXPECT_EQ(Pull(1)[0], 2 * LINE_LEVEL);
    delete sound;
}

TEST_F(SoundEffects, SoundsThatCannotPlayAreNotMade) {
    folder.Write("#900", Riff({Chunk("fmt ", FmtData(1, 2, 44100, 16))}));
    folder.Write("#901", StereoWav(44100, {}));
    folder.Write("#902", Riff({Chunk("fmt ", FmtData(1, 2, 44100, 24)),
                               Chunk("data", std::vector<std::uint8_t>(60, 0))}));
    // A data size far beyond what the file holds is refused, not allocated.
    folder.Write("#903", Riff({Chunk("fmt ", FmtData(1, 2, 44100, 16)),
                               Chunk("data", {1, 2, 3, 4}, 0x7FFFFFF0)}));
    for (const char* name : {"#900", "#901", "#902", "#903", "#904"}) {
        EXPECT_EQ(LoadSound(name), nullptr) << name;
    }
    // A short 8-bit mono sound plays, centred on silence.
    folder.Write("#905", Riff({Chunk("fmt ", FmtData(1, 1, 48000, 8)),
                               Chunk("data", std::vector<std::uint8_t>(10, 128 + 64))}));
    CSound* sound = LoadSound("#905");
    ASSERT_NE(sound, nullptr);
    sound->Play(0, 0, 0, KEEP_FREQUENCY, 0, ProgramRandom());
    EXPECT_EQ(Pull(1)[0], 64 * 256);
    delete sound;
}

// No sound card: the drivers' own complaints (ALSA prints several lines) stay off the terminal;
// the player reads one line that the game runs silent, and the sound manager still stands.
TEST(SoundWithoutDevice, StartsSilentWithOneLineAndIgnoresEffects) {
    CloseAudioOutput();
    SetEnvironment("SDL_AUDIODRIVER", "alsa");
    SetEnvironment("AUDIODEV", "hw:9,0");  // no such card
    testing::internal::CaptureStderr();
    const bool opened = OpenAudioOutput();
    const std::string said = testing::internal::GetCapturedStderr();
    SetEnvironment("SDL_AUDIODRIVER", "dummy");
    SetEnvironment("AUDIODEV", nullptr);
    ASSERT_FALSE(opened);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("plemby: no sound device"), std::string::npos) << said;

    EXPECT_TRUE(InitSound());
    LoadSounds();
    EXPECT_FALSE(SoundLoaded(SoundId::Click));
    EXPECT_EQ(LoadSound("#113"), nullptr);
    PlayEffect(SoundId::Click, ProgramRandom());
    PlayEffect(SoundId::LevelUp, ProgramRandom());
    ShutdownSound();
}
