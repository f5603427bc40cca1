// The CPU player's strength and speed: 50 games from level 1 without a screen, each stopped at
// 3,000 rows removed or one hour of game time, first at the default settings, then with the
// fastest repeats. Rows, score and top level are shown as the median, lowest and highest game;
// pieces per second count the CPU time of the whole games, the rules' frames included.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/random.h"
#include "common/settings.h"
#include "cpu_player/cpu_game.h"

namespace {

constexpr int GAMES = 50;

template <typename T>
struct Spread {
    T median, lowest, highest;
};

template <typename T>
Spread<T> SpreadOf(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

void PlayGames(benchmark::State& state, const Settings& played, const char* name) {
    // PLEMBY_CPU_GAMES plays fewer games, for a quick look while the player is tuned.
    const char* wanted = std::getenv("PLEMBY_CPU_GAMES");
    const int games = wanted != nullptr ? std::max(1, std::atoi(wanted)) : GAMES;
    std::vector<std::uint32_t> rows, scores, levels;
    std::uint64_t pieces = 0, overs = 0, clears[5] = {};
    for (auto _ : state) {
        for (int i = 0; i < games; ++i) {
            settings = played;
            SeedRandom(static_cast<std::uint32_t>(1000 + i));
            const CpuGameResult result = PlayCpuGame(CpuGameLimits{}, ProgramRandom());
            rows.push_back(result.rows);
            scores.push_back(result.score);
            levels.push_back(result.topLevel);
            pieces += result.pieces;
            overs += result.gameOver ? 1 : 0;
            for (int n = 1; n <= 4; ++n) clears[n] += result.clears[n];
        }
    }
    settings = Settings{};
    const auto r = SpreadOf(rows);
    const auto s = SpreadOf(scores);
    const auto l = SpreadOf(levels);
    state.counters["rows_median"] = r.median;
    state.counters["rows_min"] = r.lowest;
    state.counters["rows_max"] = r.highest;
    state.counters["score_median"] = s.median;
    state.counters["top_level_median"] = l.median;
    state.counters["pieces_per_s"] =
        benchmark::Counter(static_cast<double>(pieces), benchmark::Counter::kIsRate);
    std::printf(
        "%s: %d games, rows removed median %u (lowest %u, highest %u); score median %u "
        "(lowest %u, highest %u); top level median %u (lowest %u, highest %u); %llu game overs, "
        "the rest stopped at a limit; clears of 1/2/3/4 rows: %llu/%llu/%llu/%llu\n",
        name, games, r.median, r.lowest, r.highest, s.median, s.lowest, s.highest, l.median,
        l.lowest, l.highest, static_cast<unsigned long long>(overs),
        static_cast<unsigned long long>(clears[1]), static_cast<unsigned long long>(clears[2]),
        static_cast<unsigned long long>(clears[3]), static_cast<unsigned long long>(clears[4]));
}

void BM_CpuPlayerDefaultSettings(benchmark::State& state) {
    PlayGames(state, Settings{}, "default settings (repeats 6, 6, 6)");
}
BENCHMARK(BM_CpuPlayerDefaultSettings)->Iterations(1)->Unit(benchmark::kSecond);

void BM_CpuPlayerFastestRepeats(benchmark::State& state) {
    Settings fastest;
    fastest.moveRepeat = Lowest(&Settings::moveRepeat);
    fastest.rotateRepeat = Lowest(&Settings::rotateRepeat);
    fastest.dropRepeat = Lowest(&Settings::dropRepeat);
    PlayGames(state, fastest, "fastest repeats (1, 1, 1)");
}
BENCHMARK(BM_CpuPlayerFastestRepeats)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
