#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "server/scores_fixture.h"

namespace {

using nlohmann::json;

constexpr int CLIENTS = 16;
constexpr int GAMES_EACH = 2;
// Each game is sent until it is answered 201 or 200, at most this many times.
constexpr int MOST_ATTEMPTS = 600;
constexpr auto RETRY_PAUSE = std::chrono::milliseconds(100);
// Server processes all on one address: the rates would only slow the test.
const std::vector<std::string> NO_RATES = {"--address-rate", "0", "--name-rate", "0"};

struct Sent {
    std::vector<json> answered;  // the record each game was answered with
    std::atomic<int> count = 0;
    std::atomic<int> unavailable = 0;  // 503s seen
    std::atomic<int> unanswered = 0;   // connections that failed
    std::mutex mutex;
    std::vector<std::string> faults;
};

// Games of the CPU player with fresh seeds, from a high start level over garbage rows so that
// they end fast.
std::vector<std::vector<std::uint8_t>> FreshGames(int count) {
    std::random_device device;
    std::vector<std::vector<std::uint8_t>> games;
    while (static_cast<int>(games.size()) < count) {
        const PlaySettings play{10, static_cast<std::uint8_t>(10 + games.size() % 6), 5, 6, 4};
        auto game = CpuGame(device(), play);
        if (!game.empty()) games.push_back(std::move(game));
    }
    return games;
}

// Sixteen clients, each under its own name on the server `port(client)` gives, send their
// games; `fault` runs once half the games are answered, while the clients keep sending.
void SendFromSixteenClients(const std::vector<std::vector<std::uint8_t>>& games,
                            const std::function<std::uint16_t(int)>& port,
                            const std::function<void(Sent&)>& fault, Sent& sent) {
    sent.answered.assign(games.size(), nullptr);
    std::vector<std::string> tokens;
    for (int c = 0; c < CLIENTS; ++c) {
        httplib::Client client("127.0.0.1", port(c));
        tokens.push_back(ClaimName(client, "FAULT CLIENT " + std::to_string(c)));
        ASSERT_FALSE(tokens.back().empty());
    }
    std::vector<std::thread> clients;
    for (int c = 0; c < CLIENTS; ++c) {
        clients.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", port(c));
            client.set_read_timeout(60);
            for (std::size_t g = static_cast<std::size_t>(c); g < games.size(); g += CLIENTS) {
                int attempt = 0;
                for (; attempt < MOST_ATTEMPTS; ++attempt) {
                    const auto answer = SendGame(client, tokens[static_cast<std::size_t>(c)],
                                                 games[g]);
                    if (!answer) {
                        ++sent.unanswered;
                    } else if (answer->status == 201 || answer->status == 200) {
                        sent.answered[g] = json::parse(answer->body);
                        ++sent.count;
                        break;
                    } else if (answer->status == 503) {
                        ++sent.unavailable;
                    } else {
                        const std::lock_guard lock(sent.mutex);
                        sent.faults.push_back(std::to_string(answer->status) + " " + answer->body);
                        break;
                    }
                    std::this_thread::sleep_for(RETRY_PAUSE);
                }
                if (attempt == MOST_ATTEMPTS) {
                    const std::lock_guard lock(sent.mutex);
                    sent.faults.push_back("a game was never answered");
                }
            }
        });
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (sent.count < static_cast<int>(games.size()) / 2 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    fault(sent);
    for (std::thread& client : clients) client.join();
}

// Every game answered is in the table once, with what it was answered with, and no other
// game is.
void ExpectTableHoldsTheAnsweredGames(const json& table, const Sent& sent) {
    ASSERT_TRUE(table.is_object());
    std::map<std::int64_t, json> rows;
    for (json row : table["games"]) {
        row.erase("rank");
        const auto id = row["id"].get<std::int64_t>();
        EXPECT_EQ(rows.count(id), 0u) << "game " << id << " listed twice";
        rows[id] = row;
    }
    std::set<std::int64_t> answered;
    for (const json& record : sent.answered) {
        ASSERT_TRUE(record.is_object());
        const auto id = record["id"].get<std::int64_t>();
        answered.insert(id);
        ASSERT_EQ(rows.count(id), 1u) << "answered game " << id << " is not in the table";
        EXPECT_EQ(rows[id], record);
    }
    EXPECT_EQ(answered.size(), sent.answered.size()) << "two games answered as one";
    EXPECT_EQ(rows.size(), answered.size()) << "the table holds games nobody was answered for";
}

// The server killed outright while sixteen clients send games, then started again: what it
// answered for is kept, once, and nothing else.
TEST(ScoresFaults, KilledServerKeepsEveryAnsweredGame) {
    const auto games = FreshGames(CLIENTS * GAMES_EACH);
    TempFolder folder("plemby-scores-kill");
    ScoresProcess server(folder.Path() / "data", NO_RATES);
    ASSERT_TRUE(server.Start()) << server.Log();
    Sent sent;
    SendFromSixteenClients(
        games, [&](int) { return server.Port(); },
        [&](Sent&) {
            server.Kill();
            EXPECT_TRUE(server.Start()) << server.Log();
        },
        sent);
    EXPECT_TRUE(sent.faults.empty()) << sent.faults.front();
    ASSERT_EQ(sent.count, static_cast<int>(games.size()));
    httplib::Client client = server.Client();
    ExpectTableHoldsTheAnsweredGames(GetJson(client, "/v1/tables/all-time?limit=1000"), sent);
    EXPECT_EQ(server.Stop(), 0);
}

// Two server processes on one PostgreSQL take games from sixteen clients while the database is
// stopped and started under them: the clients see 503 and send again, nothing answered is lost,
// and both servers list the same tables.
TEST(ScoresFaults, TwoServersOnOnePostgresKeepEveryGameThroughARestart) {
    PostgresCluster postgres;
    ASSERT_TRUE(postgres.Create()) << postgres.Problem();
    const auto games = FreshGames(CLIENTS * GAMES_EACH);
    TempFolder folder("plemby-scores-pg");
    std::vector<std::string> args = NO_RATES;
    args.insert(args.end(), {"--database", postgres.Url()});
    ScoresProcess first(folder.Path() / "first", args);
    ScoresProcess second(folder.Path() / "second", args);
    ASSERT_TRUE(first.Start()) << first.Log();
    ASSERT_TRUE(second.Start()) << second.Log();
    Sent sent;
    SendFromSixteenClients(
        games, [&](int c) { return c % 2 == 0 ? first.Port() : second.Port(); },
        [&](Sent& progress) {
            postgres.Stop();
            // The clients are told the database is away before it comes back.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
            while (progress.unavailable == 0 && progress.count < static_cast<int>(games.size()) &&
                   std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            EXPECT_TRUE(postgres.Start()) << postgres.Problem();
        },
        sent);
    EXPECT_TRUE(sent.faults.empty()) << sent.faults.front();
    ASSERT_EQ(sent.count, static_cast<int>(games.size()));
    EXPECT_GT(sent.unavailable, 0);
    httplib::Client one = first.Client();
    httplib::Client two = second.Client();
    const json table = GetJson(one, "/v1/tables/all-time?limit=1000");
    ExpectTableHoldsTheAnsweredGames(table, sent);
    EXPECT_EQ(GetJson(two, "/v1/tables/all-time?limit=1000"), table);
    const json daily = GetJson(one, "/v1/daily");
    EXPECT_EQ(GetJson(two, "/v1/daily"), daily) << "the two servers' daily seeds differ";
    EXPECT_EQ(first.Stop(), 0);
    EXPECT_EQ(second.Stop(), 0);
}

}  // namespace
