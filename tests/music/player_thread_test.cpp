#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "music/player.h"
#include "music/player_state.h"
#include "platform/audio.h"
#include "support/bounded_wait.h"
#include "support/xm_builder.h"

namespace {
using Block = std::array<std::int16_t, BLOCK_SAMPLES>;

std::vector<std::uint8_t> TestSong(const char* name, std::uint16_t rows, std::uint16_t speed) {
    std::vector<std::int8_t> tone;
    for (int i = 0; i < 32; ++i) tone.push_back(static_cast<std::int8_t>(i < 16 ? 80 : -80));
    XmModuleSketch sketch = OneNoteModule(tone, LOOP_FORWARD, 0, 32);
    sketch.name = name;
    sketch.patterns[0].rows = rows;
    sketch.speed = speed;
    return BuildXm(sketch);
}

bool Silent(const Block& block) {
    for (std::int16_t s : block) {
        if (s != 0) return false;
    }
    return true;
}

// Waits until the music thread has filled every block behind the play cursor (or the song
// has stopped), so that what is pulled next is what the player means to be heard.
::testing::AssertionResult WaitForThread() {
    const bool caughtUp = WaitUntil([] {
        const std::uint32_t playing =
            static_cast<std::uint32_t>((MusicOutputPosition() / RING_BLOCK_BYTES) % RING_BLOCKS);
        return musicPlayer.writeIndex.load(std::memory_order_acquire) == playing ||
               GetSongTitle()[0] == '\0';
    });
    if (caughtUp) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the music thread never filled the blocks behind the play position";
}

Block Pull() {
    Block block{};
    PullAudio(block.data(), BLOCK_FRAMES);
    return block;
}

// Silent blocks pulled, each once the thread has caught up, before one that sounds.
int BlocksUntilSound() {
    int blocks = 0;
    while (blocks <= 2 * RING_BLOCKS) {
        const ::testing::AssertionResult caughtUp = WaitForThread();
        if (!caughtUp) {
            ADD_FAILURE() << caughtUp.message();
            break;
        }
        if (!Silent(Pull())) break;
        ++blocks;
    }
    return blocks;
}

class PlayerThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetMusicPlayer();
        OpenHeadlessAudio();
    }
    void TearDown() override {
        ResetMusicPlayer();
        CloseAudioOutput();
    }

    int Play(const std::vector<std::uint8_t>& bytes, std::uint32_t flags = 0) {
        return PlayModule(bytes.data(), bytes.size(), flags | MUSIC_FROM_MEMORY);
    }
};
}  // namespace

TEST_F(PlayerThreadTest, StartReplaceAndStopRepeatedly) {
    const std::vector<std::uint8_t> first = TestSong("first", 16, 3);
    const std::vector<std::uint8_t> second = TestSong("second", 8, 2);
    for (int i = 0; i < 12; ++i) {
        ASSERT_NE(Play(first), 0);
        EXPECT_STREQ(GetSongTitle(), "first");
        EXPECT_FALSE(Silent(Pull()));  // sounds as soon as PlayModule returns
        SetMusicVolume(static_cast<std::uint32_t>(25 - i));
        PauseMusic();
        Pull();
        ResumeMusic();
        GetMusicLevels();
        GetMusicPosition();
        ASSERT_NE(Play(second), 0);  // replaces the first, from its start
        EXPECT_STREQ(GetSongTitle(), "second");
        JumpToOrder(0);
        Pull();
        std::this_thread::sleep_for(std::chrono::milliseconds(i % 3 * 4));
        if (i % 2 == 0) StopModule();
    }
    StopModule();
    EXPECT_STREQ(GetSongTitle(), "");
    EXPECT_TRUE(Silent(Pull()));
}

// A program ended by exit() while a song plays (Xlib ends it so when its display goes away)
// ends with the status it was given, not with an abort from the music thread's destructor.
TEST_F(PlayerThreadTest, ExitWhileASongPlaysEndsWithItsStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::vector<std::uint8_t> playing = TestSong("playing", 16, 3);
    EXPECT_EXIT(std::exit(Play(playing) != 0 ? 3 : 4), ::testing::ExitedWithCode(3), "");
}

TEST_F(PlayerThreadTest, GameSongsPlayFromTheBuiltInResources) {
    for (int id : {109, 110, 111}) {
        ASSERT_NE(PlayModule(MusicResource(id), 0, 0), 0) << id;
        for (int b = 0; b < 4; ++b) {
            ASSERT_TRUE(WaitForThread());
            Pull();
        }
        EXPECT_GT(GetMusicTimeMs(), 0u);
    }
    EXPECT_EQ(PlayModule(MusicResource(108), 0, 0), 0);
    EXPECT_STREQ(GetSongTitle(), "");
}

TEST_F(PlayerThreadTest, PauseSilencesWithinFifteenBlocksAndResumeGoesOn) {
    ASSERT_NE(Play(TestSong("song", 64, 6)), 0);
    EXPECT_FALSE(Silent(Pull()));
    ASSERT_TRUE(WaitForThread());
    PauseMusic();
    // The block at the cursor and the 15 queued behind it were rendered before the pause.
    int blocksBeforeSilence = 0;
    while (!Silent(Pull())) {
        ASSERT_TRUE(WaitForThread());
        ASSERT_LE(++blocksBeforeSilence, 16);
    }
    const std::uint32_t elapsed = GetMusicTimeMs();
    const std::uint32_t position = GetMusicPosition();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(WaitForThread());
        EXPECT_TRUE(Silent(Pull()));
    }
    EXPECT_EQ(GetMusicTimeMs(), elapsed);
    EXPECT_EQ(GetMusicPosition(), position);
    EXPECT_EQ(GetMusicLevels(), 0u);

    ResumeMusic();
    EXPECT_LE(BlocksUntilSound(), RING_BLOCKS);
    EXPECT_GT(GetMusicTimeMs(), elapsed);
}

TEST_F(PlayerThreadTest, StartPausedPrefillsSilence) {
    ASSERT_NE(Play(TestSong("song", 64, 6), MUSIC_START_PAUSED), 0);
    // Each block is pulled once the thread has refilled the one before, as a device that
    // plays in real time lets it: pulled all at once, the ring would be played round before
    // the thread wakes, and the count below would depend on when it does.
    for (int i = 0; i < RING_BLOCKS; ++i) {
        ASSERT_TRUE(WaitForThread());
        EXPECT_TRUE(Silent(Pull()));
    }
    EXPECT_EQ(GetMusicTimeMs(), 0u);
    ResumeMusic();
    EXPECT_LE(BlocksUntilSound(), RING_BLOCKS);
}

TEST_F(PlayerThreadTest, SongWithoutLoopStopsItself) {
    // Four rows of 960 frames end inside the first 16 blocks: the start fails.
    EXPECT_EQ(Play(TestSong("short", 4, 1), MUSIC_NO_LOOP), 0);
    EXPECT_STREQ(GetSongTitle(), "");

    ASSERT_NE(Play(TestSong("long", 32, 1), MUSIC_NO_LOOP), 0);  // 30 blocks
    int blocks = 0;
    while (GetSongTitle()[0] != '\0') {
        ASSERT_TRUE(WaitForThread());
        Pull();
        ASSERT_LT(++blocks, 64);
    }
    EXPECT_EQ(GetMusicTimeMs(), 0u);
    EXPECT_TRUE(Silent(Pull()));  // the output stopped at once
    ASSERT_NE(Play(TestSong("again", 32, 1)), 0);
    EXPECT_FALSE(Silent(Pull()));
}

TEST_F(PlayerThreadTest, SelfStopRacesWithPlayAndStop) {
    const std::vector<std::uint8_t> ending =
        TestSong("ending", 20, 1);  // ends just after the prefill
    const std::vector<std::uint8_t> other = TestSong("other", 16, 3);
    for (int i = 0; i < 16; ++i) {
        ASSERT_NE(Play(ending, MUSIC_NO_LOOP), 0);
        for (int b = 0; b < 2 + i % 3; ++b) Pull();
        std::this_thread::sleep_for(std::chrono::milliseconds(i % 4 * 3));
        if (i % 2 == 0) {
            ASSERT_NE(Play(other), 0);
            EXPECT_STREQ(GetSongTitle(), "other");
        } else {
            StopModule();
            EXPECT_STREQ(GetSongTitle(), "");
        }
    }
}
