// The first seconds of the built-in songs, as checksums: a change to the player that alters
// what the game's music sounds like shows here (a deliberate change updates the numbers).
#include <gtest/gtest.h>

#include <cstdint>

#include "music/block_render.h"
#include "music/player.h"
#include "music/vector_code.h"
#include "platform/resources.h"
#include "support/song_fixture.h"

namespace {

constexpr std::uint64_t CHECKED_FRAMES = 3 * 48000;

std::uint64_t RenderChecksum(int id) {
    EXPECT_NE(LoadSong(MusicResource(id), 0, 0), 0) << id;
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the little-endian samples
    RenderSongFrames(
        CHECKED_FRAMES,
        [&hash](const std::int16_t* samples, int frames) {
            for (int i = 0; i < 2 * frames; ++i) {
                const auto value = static_cast<std::uint16_t>(samples[i]);
                for (const int shift : {0, 8}) {
                    hash ^= (value >> shift) & 0xFF;
                    hash *= 1099511628211ull;
                }
            }
        },
        nullptr);
    ResetMusicPlayer();
    return hash;
}

TEST(SongChecksum, FirstSecondsOfTheBuiltInSongs) {
    const std::pair<int, std::uint64_t> songs[] = {
        {109, 0x7434a3175c4ce480ull},
        {110, 0x6997bdcb557448bbull},
        {111, 0xacb5d5957b7493f0ull},
    };
    for (const auto& [id, expected] : songs) {
        if (FindResource("RCDATA", id).empty()) GTEST_SKIP() << "song " << id << " is missing";
    }
    // Every build of the render's hot loops gives the same samples.
    for (const CodeBuild build : {CodeBuild::PORTABLE, CodeBuild::BASELINE, CodeBuild::AVX2}) {
        UseCodeBuild(build);
        for (const auto& [id, expected] : songs) {
            const std::uint64_t got = RenderChecksum(id);
            EXPECT_EQ(got, expected) << "song " << id << " build " << static_cast<int>(build)
                                     << std::hex << ": 0x" << got;
        }
    }
    UseCodeBuild(CodeBuild::AVX2);
}

}  // namespace
