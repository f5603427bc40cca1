// The real-world modules beside the project: every song and effect module loads and plays a
// minute with its rows following the sequencer's rules; the damaged ones are rejected or play
// safely.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "music/block_render.h"
#include "music/player.h"
#include "music/sequencer.h"
#include "support/song_fixture.h"

namespace {

constexpr std::uint64_t MINUTE_FRAMES = 60 * 48000;

std::vector<std::filesystem::path> ModulesIn(const char* folder) {
    std::vector<std::filesystem::path> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::string(PLEMBY_SHARED_XM_DIR) + "/" + folder, error)) {
        if (entry.path().extension() == ".xm") paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// True when a cell of the row may have sent the song elsewhere than to the next row.
bool RowMayJump(int order, int row) {
    const PatternEntry& pattern = song.patterns[song.orders[order]];
    if (pattern.cells == nullptr || row >= pattern.rows) return false;
    for (int c = 0; c < song.numChannels; ++c) {
        const Cell& cell = pattern.cells[row * song.numChannels + c];
        if (cell.effect == FX('B') || cell.effect == FX('D')) return true;
        if (cell.effect == FX('E') && (cell.parameter >> 4) == 6 && (cell.parameter & 0x0F) != 0) {
            return true;
        }
    }
    return false;
}

bool NaturalNext(const RowMark& from, const RowMark& to) {
    const int rows = song.patterns[song.orders[from.order]].rows;
    if (from.row + 1 < rows) return to.order == from.order && to.row == from.row + 1;
    if (to.row != 0) return false;
    if (from.order + 1 < song.songLength) return to.order == from.order + 1;
    return to.order == (song.restartPosition < song.songLength ? song.restartPosition : 0);
}

void PlayAMinute(const std::filesystem::path& path) {
    SCOPED_TRACE(path.filename().string());
    ASSERT_NE(LoadSong(path.string().c_str(), 0, MUSIC_FROM_FILE), 0);
    const std::vector<RowMark> marks = PlayRows(MINUTE_FRAMES);
    ASSERT_GT(marks.size(), 10u);
    EXPECT_EQ(marks.front().order, 0);
    EXPECT_EQ(marks.front().row, 0);
    for (std::size_t i = 1; i < marks.size(); ++i) {
        const RowMark& from = marks[i - 1];
        const RowMark& to = marks[i];
        ASSERT_GT(to.frame, from.frame);
        ASSERT_LT(to.order, song.songLength);
        if (!NaturalNext(from, to)) {
            ASSERT_TRUE(RowMayJump(from.order, from.row))
                << "order " << from.order << " row " << from.row << " went to order " << to.order
                << " row " << to.row;
        }
    }
    ResetMusicPlayer();
}

TEST(SharedModules, SongsPlayAMinuteRowByRow) {
    const auto paths = ModulesIn("songs");
    if (paths.empty()) GTEST_SKIP() << "no shared songs";
    for (const auto& path : paths) PlayAMinute(path);
}

TEST(SharedModules, EffectModulesPlayAMinuteRowByRow) {
    const auto paths = ModulesIn("effects");
    if (paths.empty()) GTEST_SKIP() << "no shared effect modules";
    for (const auto& path : paths) PlayAMinute(path);
}

TEST(SharedModules, DamagedModulesAreRejectedOrPlaySafely) {
    const auto paths = ModulesIn("malformed");
    if (paths.empty()) GTEST_SKIP() << "no damaged modules";
    for (const auto& path : paths) {
        SCOPED_TRACE(path.filename().string());
        if (LoadSong(path.string().c_str(), 0, MUSIC_FROM_FILE) != 0) PlayRows(10 * 48000);
        ResetMusicPlayer();
    }
}

}  // namespace
