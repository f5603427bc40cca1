#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "server/verification_queue.h"

namespace {

namespace fs = std::filesystem;

constexpr unsigned WORKERS = 4;
constexpr int SENDERS = 4;
constexpr int ROUNDS = 3;

// The recorded games of the corpus, sent from four threads at once to four verifiers, each
// come out as they do checked one by one; a full queue turns a game away rather than holding it.
TEST(VerificationQueue, FourVerifiersAgreeWithOneAtATime) {
    std::vector<Replay> replays;
    for (const auto& entry : fs::directory_iterator(fs::path(PLEMBY_SOURCE_DIR) / "tests/replays")) {
        if (entry.path().extension() != ".plr") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        Replay replay;
        std::string reason;
        ASSERT_TRUE(DecodeReplay(bytes, replay, reason)) << reason;
        replays.push_back(std::move(replay));
    }
    ASSERT_GT(replays.size(), 10u);
    std::vector<CheckOutcome> alone;
    for (const Replay& replay : replays) alone.push_back(CheckGame(replay));

    VerificationQueue queue(WORKERS, replays.size() * SENDERS);
    std::vector<std::vector<std::future<CheckOutcome>>> pending(SENDERS);
    for (int round = 0; round < ROUNDS; ++round) {
        std::vector<std::thread> senders;
        for (int s = 0; s < SENDERS; ++s) {
            senders.emplace_back([&, s] {
                for (const Replay& replay : replays) {
                    auto outcome = queue.Submit(replay);
                    if (outcome) pending[static_cast<std::size_t>(s)].push_back(std::move(*outcome));
                }
            });
        }
        for (std::thread& sender : senders) sender.join();
        for (auto& futures : pending) {
            ASSERT_EQ(futures.size(), replays.size());
            for (std::size_t i = 0; i < futures.size(); ++i) {
                const CheckOutcome outcome = futures[i].get();
                ASSERT_EQ(outcome.index(), alone[i].index()) << i;
                if (const auto* game = std::get_if<CheckedGame>(&outcome)) {
                    const auto& expected = std::get<CheckedGame>(alone[i]);
                    EXPECT_EQ(game->score, expected.score);
                    EXPECT_EQ(game->rows, expected.rows);
                    EXPECT_EQ(game->level, expected.level);
                } else {
                    EXPECT_EQ(std::get<Refusal>(outcome).reason, std::get<Refusal>(alone[i]).reason);
                }
            }
            futures.clear();
        }
    }

    // No verifier, a queue of one: the second game is turned away.
    VerificationQueue stalled(0, 1);
    EXPECT_TRUE(stalled.Submit(replays.front()).has_value());
    EXPECT_FALSE(stalled.Submit(replays.front()).has_value());
    EXPECT_EQ(stalled.Length(), 1u);
}

}  // namespace
