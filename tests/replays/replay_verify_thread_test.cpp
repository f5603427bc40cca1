#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "replays/replay.h"
#include "replays/replay_verify.h"

namespace {

constexpr int THREADS = 4;

std::vector<Replay> CorpusReplays() {
    std::vector<Replay> replays;
    const std::string corpus = std::string(PLEMBY_SOURCE_DIR) + "/tests/replays";
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().extension() != ".plr") continue;
        const auto bytes = ReadSmallFile(entry.path().string(), MAX_REPLAY_BYTES);
        Replay replay;
        std::string reason;
        if (bytes && DecodeReplay(*bytes, replay, reason))
            replays.push_back(std::move(replay));
        else
            ADD_FAILURE() << entry.path() << ": " << reason;
    }
    return replays;
}

// Four threads verify the corpus's games at once, each game on a value of its own and each thread
// from another game on, and every verdict is the one the games give verified one by one.
TEST(ReplayVerifyThreads, FourThreadsVerifyTheCorpusAsOneDoes) {
    const std::vector<Replay> replays = CorpusReplays();
    ASSERT_GE(replays.size(), 20u);
    std::vector<ReplayVerdict> alone;
    for (const Replay& replay : replays) alone.push_back(VerifyReplay(replay));

    std::vector<std::vector<ReplayVerdict>> verdicts(THREADS,
                                                     std::vector<ReplayVerdict>(replays.size()));
    std::vector<std::thread> threads;
    for (int t = 0; t < THREADS; ++t) {
        threads.emplace_back([&replays, &verdicts, t] {
            for (std::size_t k = 0; k < replays.size(); ++k) {
                const std::size_t i = (k + static_cast<std::size_t>(t) * 5) % replays.size();
                verdicts[static_cast<std::size_t>(t)][i] = VerifyReplay(replays[i]);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();

    for (std::size_t i = 0; i < replays.size(); ++i) {
        EXPECT_TRUE(alone[i].matches) << "game " << i << ": " << alone[i].problem;
        for (int t = 0; t < THREADS; ++t) {
            const ReplayVerdict& v = verdicts[static_cast<std::size_t>(t)][i];
            EXPECT_EQ(v.matches, alone[i].matches) << "thread " << t << ", game " << i;
            EXPECT_TRUE(v.result == alone[i].result) << "thread " << t << ", game " << i;
            EXPECT_EQ(v.problem, alone[i].problem) << "thread " << t << ", game " << i;
        }
    }
}

}  // namespace
