#include "music/block_render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "music/player.h"
#include "music/player_state.h"
#include "music/sequencer.h"
#include "music/vector_code.h"
#include "music/xm_module.h"
#include "support/xm_builder.h"

namespace {
using Block = std::array<std::int16_t, BLOCK_SAMPLES>;

std::vector<std::int8_t> Tone() {
    std::vector<std::int8_t> values;
    for (int i = 0; i < 32; ++i) values.push_back(static_cast<std::int8_t>(i < 16 ? 90 : -90));
    return values;
}

// One looping note: sound in every block.
std::vector<std::uint8_t> ToneModule(std::uint16_t tempo = 125) {
    XmModuleSketch sketch = OneNoteModule(Tone(), LOOP_FORWARD, 0, 32);
    sketch.tempo = tempo;
    return BuildXm(sketch);
}

std::vector<Block> Render(int blocks) {
    std::vector<Block> out(static_cast<std::size_t>(blocks));
    for (Block& block : out) EXPECT_TRUE(RenderBlock(block.data()));
    return out;
}

bool Silent(const Block& block) {
    for (std::int16_t s : block) {
        if (s != 0) return false;
    }
    return true;
}

class RenderTest : public ::testing::Test {
protected:
    void Load(const std::vector<std::uint8_t>& bytes, std::uint32_t flags = 0) {
        module = bytes;
        ASSERT_NE(LoadSong(module.data(), module.size(), flags | MUSIC_FROM_MEMORY), 0);
    }
    std::vector<std::uint8_t> module;
};
}  // namespace

TEST(ConvertTest, RoundsClipsAndScales) {
    std::array<std::int32_t, BLOCK_SAMPLES> sums{};
    sums[0] = 534763560;  // 16320 x 32767.5: rounds up to 32768, clipped
    sums[1] = -534763560;
    sums[2] = 8159;
    sums[3] = -8159;
    sums[4] = 8160;
    sums[5] = -8160;
    sums[6] = INT32_MIN;
    sums[7] = 16320 * 100 + 8159;
    Block out{};
    std::uint32_t levels[2] = {0, 0};
    ConvertBlock(sums.data(), out.data(), 32768, levels);
    EXPECT_EQ(std::vector<int>(out.begin(), out.begin() + 8),
              (std::vector<int>{32767, -32767, 0, 0, 1, -1, -32767, 100}));
    EXPECT_EQ(levels[0], 32767u + 0 + 1 + 32767);
    EXPECT_EQ(levels[1], 32767u + 0 + 1 + 100);

    ConvertBlock(sums.data(), out.data(), 16384, levels);
    EXPECT_EQ(out[0], 16383);
    EXPECT_EQ(out[7], 50);
    ConvertBlock(sums.data(), out.data(), VOLUME_TABLE[0], levels);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
}

TEST(ConvertTest, MatchesTheRoundedDivisionOverTheWholeRange) {
    // Sums near every rounding and clipping edge, and a spread over the whole 32-bit range.
    std::array<std::int32_t, BLOCK_SAMPLES> sums{};
    const std::int64_t edges[] = {0,     8159,      8160,      16320,     24479,
                                  24480, 534757439, 534765599, 534765600, INT32_MAX};
    std::size_t n = 0;
    for (const std::int64_t edge : edges) {
        for (const std::int64_t offset : {-1, 0, 1}) {
            const std::int64_t v = std::clamp<std::int64_t>(edge + offset, 0, INT32_MAX);
            sums[n++] = static_cast<std::int32_t>(v);
            sums[n++] = static_cast<std::int32_t>(-v);
        }
    }
    sums[n++] = INT32_MIN;
    std::uint32_t x = 12345;
    while (n < sums.size()) {
        x = x * 1664525u + 1013904223u;
        // Half of them within the range that does not clip.
        sums[n] = static_cast<std::int32_t>(n % 2 == 0 ? x : x >> 2);
        ++n;
    }
    // Every build: the AVX2 one falls back to the baseline one where the processor lacks it.
    for (const std::uint32_t volume : {1u, 130u, 5193u, 20675u, 32767u, 32768u}) {
        for (const CodeBuild build : {CodeBuild::PORTABLE, CodeBuild::BASELINE, CodeBuild::AVX2}) {
            UseCodeBuild(build);
            Block out{};
            std::uint32_t levels[2] = {0, 0};
            ConvertBlock(sums.data(), out.data(), volume, levels);
            std::uint32_t expected[2] = {0, 0};
            for (std::size_t i = 0; i < sums.size(); ++i) {
                const std::int64_t magnitude = std::abs(std::int64_t{sums[i]});
                std::int64_t q = magnitude / 16320 + (magnitude % 16320 >= 8160 ? 1 : 0);
                q = (std::min<std::int64_t>(q, 32767) * volume) >> 15;
                ASSERT_EQ(out[i], sums[i] < 0 ? -q : q) << sums[i] << " at volume " << volume;
                expected[i % 2] += static_cast<std::uint32_t>(q);
            }
            EXPECT_EQ(levels[0], expected[0]);
            EXPECT_EQ(levels[1], expected[1]);
        }
    }
    UseCodeBuild(CodeBuild::AVX2);
}

TEST_F(RenderTest, MasterVolumeScalesTheOutputAndSurvivesSongs) {
    Load(ToneModule());  // never set: unity
    const std::vector<Block> unity = Render(4);
    ASSERT_FALSE(Silent(unity[1]));

    for (std::uint32_t step : {0u, 13u, 26u, 1000u}) {
        SetMusicVolume(step);
        Load(ToneModule());  // a volume set before the song stays in force
        const std::vector<Block> scaled = Render(4);
        const std::uint32_t volume = VOLUME_TABLE[std::min(step, 25u)];
        for (int b = 0; b < 4; ++b) {
            for (int i = 0; i < BLOCK_SAMPLES; ++i) {
                const int q = (std::abs(unity[b][i]) * static_cast<int>(volume)) >> 15;
                ASSERT_EQ(scaled[b][i], unity[b][i] < 0 ? -q : q) << step << " " << b << " " << i;
            }
        }
    }
    SetMusicVolume(0);
    EXPECT_GT(GetMusicTimeMs(), 0u);  // silenced, the song still runs
}

TEST_F(RenderTest, PauseHoldsTheSongWhereItStands) {
    Load(ToneModule());
    const std::vector<Block> straight = Render(6);

    Load(ToneModule());
    std::vector<Block> played = Render(2);
    const std::uint32_t elapsed = GetMusicTimeMs();
    const std::uint32_t position = GetMusicPosition();
    PauseMusic();
    for (const Block& block : Render(3)) EXPECT_TRUE(Silent(block));
    EXPECT_EQ(GetMusicTimeMs(), elapsed);
    EXPECT_EQ(GetMusicPosition(), position);
    ResumeMusic();
    for (const Block& block : Render(4)) played.push_back(block);
    EXPECT_TRUE(std::equal(straight.begin(), straight.end(), played.begin()));

    // Started paused: silence, and the song begins at its start on resume.
    Load(ToneModule(), MUSIC_START_PAUSED);
    for (const Block& block : Render(16)) EXPECT_TRUE(Silent(block));
    EXPECT_EQ(songState.orderPosition, 0);
    EXPECT_EQ(songState.tick, 0);
    ResumeMusic();
    const std::vector<Block> resumed = Render(6);
    EXPECT_TRUE(std::equal(straight.begin(), straight.end(), resumed.begin()));
}

TEST_F(RenderTest, ElapsedTimeCountsEachSlice) {
    Load(ToneModule(32));  // 3750 frames a tick: one slice of 1024 frames, 21 ms
    Render(1);
    EXPECT_EQ(GetMusicTimeMs(), 21u);
    Load(ToneModule(240));  // 500 frames a tick: slices of 500, 500 and 24 frames
    Render(1);
    EXPECT_EQ(GetMusicTimeMs(), 20u);
    Render(1);  // 476 + 500 + 48
    EXPECT_EQ(GetMusicTimeMs(), 40u);
}

TEST_F(RenderTest, PositionsLevelsAndJumps) {
    XmModuleSketch sketch = OneNoteModule(Tone(), LOOP_FORWARD, 0, 32);
    sketch.name = "Jumpy\x07";
    sketch.songLength = 3;
    sketch.orders = {0, 1, 0};
    sketch.patterns.push_back(XmPattern{});
    sketch.speed = 1;
    Load(BuildXm(sketch));
    EXPECT_STREQ(GetSongTitle(), "Jumpy");
    Render(1);  // 960 frames a row: rows 0 and 1 have started
    EXPECT_EQ(GetMusicPosition(), 1u);
    EXPECT_EQ(GetMusicLevels(), 0u);  // this block's levels stand in the next entry
    const std::uint32_t levels = musicPlayer.blockInfo[1].levels.load();
    EXPECT_GT(levels >> 16, 0u);
    EXPECT_EQ(levels >> 16, levels & 0xFFFF);  // the middle: both sides alike
    JumpToOrder(1);                            // at the next row, not within this one
    EXPECT_EQ(songState.orderPosition, 0);
    Render(1);
    EXPECT_EQ(musicPlayer.blockInfo[1].position.load(), 1u << 16);
    JumpToOrder(3);  // beyond the song: order 0
    Render(1);
    EXPECT_EQ(musicPlayer.blockInfo[2].position.load(), 0u);  // order 0, row 0
    StopModule();
    EXPECT_STREQ(GetSongTitle(), "");
    EXPECT_EQ(GetMusicPosition(), 0u);
    EXPECT_EQ(GetMusicTimeMs(), 0u);
}

TEST_F(RenderTest, SongWithoutLoopStopsAtItsEnd) {
    XmModuleSketch sketch = OneNoteModule(Tone(), LOOP_FORWARD, 0, 32);
    sketch.speed = 1;  // four rows of 960 frames; the last row's tick falls in block 2
    Load(BuildXm(sketch), MUSIC_NO_LOOP);
    Block block{};
    EXPECT_TRUE(RenderBlock(block.data()));
    EXPECT_TRUE(RenderBlock(block.data()));
    EXPECT_FALSE(RenderBlock(block.data()));
    EXPECT_FALSE(RenderBlock(block.data()));
    EXPECT_STREQ(GetSongTitle(), "");

    Load(BuildXm(sketch));  // looping: goes on at the restart position
    Render(8);
}

TEST_F(RenderTest, SharedModulesLoadAlikeFromFileAndMemory) {
    const std::filesystem::path dir = PLEMBY_SHARED_XM_DIR;
    if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no shared modules";
    int loaded = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".xm") continue;
        const std::string path = entry.path().string();
        const int fromFile = LoadSong(path.c_str(), 0, MUSIC_FROM_FILE);
        const std::string title = GetSongTitle();
        const std::uint16_t patterns = song.patternCount;
        std::ifstream in(path, std::ios::binary);
        module.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        EXPECT_EQ(LoadSong(module.data(), module.size(), MUSIC_FROM_MEMORY), fromFile) << path;
        if (fromFile == 0) continue;
        ++loaded;
        EXPECT_EQ(GetSongTitle(), title) << path;
        EXPECT_EQ(song.patternCount, patterns) << path;
        Render(20);
    }
    EXPECT_GT(loaded, 0);
}
