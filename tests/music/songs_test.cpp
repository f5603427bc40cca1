#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "music/player.h"
#include "music/block_render.h"
#include "music/sequencer.h"
#include "music/xm_module.h"

namespace {

struct SongFacts {
    int id;
    int channels;
    bool linear;
    double shortestLoopSeconds;
    double longestLoopSeconds;
};

constexpr SongFacts SONGS[] = {
    {109, 12, true, 60.0, 120.0},  // title and menu: calm, a minute or two
    {110, 9, false, 90.0, 130.0},  // the game: about two minutes
    {111, 4, true, 5.0, 30.0},     // game over: short
};

}  // namespace

TEST(Songs, LoadWithTheirTablesSpeedsAndTempos) {
    for (const SongFacts& facts : SONGS) {
        SCOPED_TRACE(facts.id);
        ASSERT_NE(LoadSong(MusicResource(facts.id), 0, 0), 0);
        EXPECT_EQ(song.numChannels, facts.channels);
        EXPECT_EQ((song.flags & SONG_LINEAR_FREQUENCIES) != 0, facts.linear);
        EXPECT_GE(song.defaultSpeed, 3);
        EXPECT_LE(song.defaultSpeed, 6);
        EXPECT_GE(song.defaultTempo, 112);
        EXPECT_LE(song.defaultTempo, 240);
        EXPECT_LT(song.restartPosition, song.songLength);
    }
    ResetMusicPlayer();
}

// Each song is played once round its loop: it must sound all the way, never clip, and come
// back to its restart position after as long as it should.
TEST(Songs, LoopRoundAtAGoodLevel) {
    for (const SongFacts& facts : SONGS) {
        SCOPED_TRACE(facts.id);
        ASSERT_NE(LoadSong(MusicResource(facts.id), 0, 0), 0);
        const int restart = song.restartPosition;
        const long maxBlocks =
            static_cast<long>((facts.longestLoopSeconds + 60.0) * OUTPUT_RATE / BLOCK_FRAMES);
        std::vector<std::int16_t> block(BLOCK_SAMPLES);
        long loopStartBlock = restart == 0 ? 0 : -1;
        long loopEndBlock = -1;
        int lastOrder = 0;
        int peak = 0;
        double sumSquares = 0.0;
        long quietSeconds = 0;
        double secondSquares = 0.0;
        for (long b = 0; b < maxBlocks && loopEndBlock < 0; ++b) {
            ASSERT_TRUE(RenderBlock(block.data()));
            for (std::int16_t s : block) {
                peak = std::max(peak, std::abs(static_cast<int>(s)));
                sumSquares += static_cast<double>(s) * s;
                secondSquares += static_cast<double>(s) * s;
            }
            if ((b + 1) % (OUTPUT_RATE / BLOCK_FRAMES) == 0) {
                // Under about -50 dB for a whole second counts as silence.
                if (std::sqrt(secondSquares / (OUTPUT_RATE * 2.0)) < 100.0) ++quietSeconds;
                secondSquares = 0.0;
            }
            const int order = songState.orderPosition;
            if (loopStartBlock < 0 && order == restart) loopStartBlock = b;
            if (order < lastOrder) loopEndBlock = b;
            lastOrder = order;
        }
        ASSERT_GE(loopEndBlock, 0) << "the song never came round";
        const double loopSeconds =
            static_cast<double>(loopEndBlock - loopStartBlock) * BLOCK_FRAMES / OUTPUT_RATE;
        EXPECT_GE(loopSeconds, facts.shortestLoopSeconds);
        EXPECT_LE(loopSeconds, facts.longestLoopSeconds);
        const double rms =
            std::sqrt(sumSquares / (static_cast<double>(loopEndBlock + 1) * BLOCK_SAMPLES));
        EXPECT_LT(peak, 32767);              // no clipping
        EXPECT_GT(rms, 32768.0 * 0.08);      // louder than about -22 dB
        EXPECT_LT(rms, 32768.0 * 0.25);      // softer than about -12 dB
        EXPECT_EQ(quietSeconds, 0);
    }
    ResetMusicPlayer();
}
