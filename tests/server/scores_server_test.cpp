#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include "replays/replay.h"
#include "server/scores_fixture.h"
#include "server/sql.h"

namespace {

using nlohmann::json;

const PlaySettings QUICK{10, 12, 6, 6, 6};  // start level, garbage rows, repeats
const PlaySettings DAILY{1, 0, 3, 4, 5};

std::string RunCommand(const std::string& command, int* status = nullptr) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
        output.append(buffer, read);
    }
    const int result = pclose(pipe);
    if (status != nullptr) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return output;
}

std::string Admin(const fs::path& data, const std::string& words, int* status) {
    return RunCommand(std::string(PLEMBY_SCORES_PROGRAM) + " admin --data " + data.string() + " " +
                   words + " 2>&1",
               status);
}

std::vector<std::uint8_t> Reencoded(const std::vector<std::uint8_t>& bytes,
                                    void (*change)(Replay&)) {
    Replay replay;
    std::string reason;
    EXPECT_TRUE(DecodeReplay(bytes, replay, reason)) << reason;
    change(replay);
    return EncodeReplay(replay);
}

std::size_t TableSize(httplib::Client& client) {
    const json table = GetJson(client, "/v1/tables/all-time?limit=1000");
    return table.is_object() ? table["games"].size() : 0;
}

// Polls `path` until it answers `status`, for at most a minute.
bool WaitForStatus(httplib::Client& client, const char* path, int status) {
    for (int i = 0; i < 600; ++i) {
        const auto answer = client.Get(path);
        if (answer && answer->status == status) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// A raw connection to the server, for what a well-behaved client never sends.
class RawConnection {
public:
    explicit RawConnection(std::uint16_t port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        timeval patience{60, 0};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    }
    ~RawConnection() { close(fd_); }
    bool Send(const std::string& text) {
        return connected_ && send(fd_, text.data(), text.size(), MSG_NOSIGNAL) ==
                                 static_cast<ssize_t>(text.size());
    }
    // Everything until the server closes the connection (or a minute passes).
    std::string ReadToClose() {
        std::string text;
        char buffer[4096];
        for (;;) {
            const ssize_t got = recv(fd_, buffer, sizeof buffer, 0);
            if (got <= 0) return text;
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }

private:
    int fd_;
    bool connected_ = false;
};

// A player's road and the operator's: a name, a game sent and sent again, the tables, the
// daily challenge, the page in a browser, the counters, a backup taken while the server runs,
// the removal of a game and of a name, and a clean stop.
TEST(ScoresServer, PlayerAndOperatorRoad) {
    TempFolder folder("plemby-scores");
    ScoresProcess server(folder.Path() / "data");
    ASSERT_TRUE(server.Start()) << server.Log();
    httplib::Client client = server.Client();

    const std::string token = ClaimName(client, "Road Runner 1");
    ASSERT_EQ(token.size(), 43u);
    const std::vector<std::uint8_t> game = CpuGame(0x1234567, QUICK);
    ASSERT_FALSE(game.empty());
    auto sent = SendGame(client, token, game);
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->status, 201) << sent->body;
    const json record = json::parse(sent->body);
    EXPECT_EQ(record["name"], "ROAD RUNNER 1");
    Replay replay;
    std::string reason;
    ASSERT_TRUE(DecodeReplay(game, replay, reason));
    EXPECT_EQ(record["score"], replay.result.score);
    EXPECT_EQ(record["level"], replay.result.level);
    EXPECT_EQ(record["lines"].get<std::uint32_t>() % 256, replay.result.lines);
    EXPECT_EQ(record["startLevel"], 10);
    EXPECT_TRUE(record["day"].is_null());

    // The same game again: the record already stored, no second row.
    sent = SendGame(client, token, game);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->status, 200);
    EXPECT_EQ(json::parse(sent->body)["id"], record["id"]);
    EXPECT_EQ(TableSize(client), 1u);
    const std::string id = std::to_string(record["id"].get<std::int64_t>());
    EXPECT_EQ(GetJson(client, "/v1/games/" + id), record);
    const auto bytes = client.Get(("/v1/games/" + id + "/replay").c_str());
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->body, std::string(game.begin(), game.end()));

    // Today's challenge: its seed and settings put a game in today's table too, and each name's
    // best counts there once.
    const json daily = GetJson(client, "/v1/daily");
    ASSERT_TRUE(daily.is_object());
    const auto seed = daily["seed"].get<std::uint32_t>();
    const std::string dailyToken = ClaimName(client, "DAILY");
    std::vector<std::int64_t> dailyScores;
    for (const std::uint8_t repeat : {3, 7}) {
        PlaySettings play = DAILY;
        play.moveRepeat = repeat;
        sent = SendGame(client, dailyToken, DroppingGame(seed, play));
        ASSERT_TRUE(sent);
        ASSERT_EQ(sent->status, 201) << sent->body;
        EXPECT_EQ(json::parse(sent->body)["day"], daily["date"]);
        dailyScores.push_back(json::parse(sent->body)["score"]);
    }
    const json today = GetJson(client, "/v1/tables/daily/" + daily["date"].get<std::string>());
    ASSERT_EQ(today["games"].size(), 1u);
    EXPECT_EQ(today["games"][0]["score"], *std::max_element(dailyScores.begin(), dailyScores.end()));
    EXPECT_EQ(TableSize(client), 3u);

    // The page, as a browser shows it: both tables with their rows.
    const std::string page = RunCommand("chromium --headless=new --no-sandbox --disable-gpu "
                                 "--dump-dom http://127.0.0.1:" +
                                 std::to_string(server.Port()) + "/ 2>/dev/null");
    EXPECT_NE(page.find("<table id=\"all-time\">"), std::string::npos) << page;
    EXPECT_NE(page.find("<td class=\"name\">ROAD RUNNER 1</td>"), std::string::npos) << page;
    EXPECT_NE(page.find("<td class=\"name\">DAILY</td>"), std::string::npos) << page;
    EXPECT_NE(page.find("<table id=\"daily\">"), std::string::npos) << page;

    const auto metrics = client.Get("/metrics");
    ASSERT_TRUE(metrics);
    EXPECT_NE(metrics->body.find("plemby_requests_total{route=\"/v1/games\",status=\"201\"} 3"),
              std::string::npos)
        << metrics->body;
    EXPECT_NE(metrics->body.find("plemby_verifications_total{outcome=\"accepted\"} 3"),
              std::string::npos);
    EXPECT_NE(metrics->body.find("plemby_verification_queue_length 0"), std::string::npos);

    // The operator: a backup while the server runs, then a game and a name removed.
    int status = -1;
    const fs::path backup = folder.Path() / "backup.sqlite";
    Admin(folder.Path() / "data", "backup " + backup.string(), &status);
    EXPECT_EQ(status, 0);
    std::int64_t backedUp = 0;
    OpenSqlite(backup.string())->With([&](SqlConnection& sql) {
        backedUp = IntAt(sql.Query("SELECT COUNT(*) FROM games", {}).at(0), 0);
    });
    EXPECT_EQ(backedUp, 3);
    Admin(folder.Path() / "data", "remove-game " + id, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(client.Get(("/v1/games/" + id).c_str())->status, 404);
    Admin(folder.Path() / "data", "remove-name daily", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(TableSize(client), 0u);
    EXPECT_FALSE(ClaimName(client, "Daily").empty());
    Admin(folder.Path() / "data", "remove-game 999", &status);
    EXPECT_EQ(status, 1);

    // Every request made one line of log, and no token is in it.
    const std::string log = server.Log();
    EXPECT_NE(log.find("POST /v1/games 201"), std::string::npos) << log;
    EXPECT_EQ(log.find(token), std::string::npos);
    EXPECT_EQ(log.find("127.0.0.1 "), std::string::npos);

    // SIGTERM while a game is half sent: the request is finished, then the server stops.
    const std::vector<std::uint8_t> last = CpuGame(0x7E57, QUICK);
    const std::string body(last.begin(), last.end());
    RawConnection raw(server.Port());
    ASSERT_TRUE(raw.Send("POST /v1/games HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " + token +
                         "\r\nContent-Type: application/vnd.plemby.replay\r\nConnection: "
                         "close\r\nContent-Length: " +
                         std::to_string(body.size()) + "\r\n\r\n" +
                         body.substr(0, body.size() / 2)));
    EXPECT_TRUE(WaitForStatus(client, "/health", 200));
    server.Terminate();
    for (int i = 0; i < 600 && server.Log().find("stopping") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(raw.Send(body.substr(body.size() / 2)));
    const std::string answer = raw.ReadToClose();
    EXPECT_EQ(answer.rfind("HTTP/1.1 201", 0), 0u) << answer;
    EXPECT_EQ(server.Stop(), 0) << server.Log();
}

// Each kind of bad input gets its status, nothing of it is stored, and the server serves the
// next request.
TEST(ScoresServer, BadInputIsRefusedAndNothingIsStored) {
    TempFolder folder("plemby-scores");
    ScoresProcess server(folder.Path() / "data", {"--address-rate", "10", "--name-rate", "50"});
    ASSERT_TRUE(server.Start()) << server.Log();
    httplib::Client client = server.Client();
    const std::string token = ClaimName(client, "BAD INPUT");
    const std::string other = ClaimName(client, "SOMEONE ELSE");
    ASSERT_FALSE(token.empty());
    const std::vector<std::uint8_t> game = CpuGame(0xBADF00D, QUICK);
    ASSERT_FALSE(game.empty());
    const std::vector<std::uint8_t> theirGame = CpuGame(0xC0FFEE, QUICK);
    ASSERT_EQ(SendGame(client, other, theirGame)->status, 201);

    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        int status;
        const char* reason;
    };
    std::vector<std::uint8_t> newer = game;
    newer[4] = 2;
    std::vector<std::uint8_t> unfinished = Reencoded(game, [](Replay& r) {
        r.frames.resize(r.frames.size() / 2);
        std::size_t readings = 0;
        for (const ReplayFrame& f : r.frames) readings += f.readingCount;
        r.readings.resize(readings);
    });
    const std::vector<Case> cases = {
        {"not a replay", {'h', 'e', 'l', 'l', 'o'}, 422, "unreadable-replay"},
        {"a newer format", newer, 422, "unsupported-version"},
        {"a result that differs", Reencoded(game, [](Replay& r) { r.result.score += 100; }), 422,
         "result-differs"},
        {"other actions", Reencoded(game, [](Replay& r) {
             for (std::size_t i = 5; i < r.frames.size(); i += 3) r.frames[i].actions ^= 0x04;
         }), 422, "not-as-recorded"},
        {"a stalled clock", Reencoded(game, [](Replay& r) {
             for (std::int64_t& reading : r.readings) {
                 reading = r.readings.front() + (reading - r.readings.front()) / 2;
             }
         }), 422, "stalled-clock"},
        {"extra draws", Reencoded(game, [](Replay& r) { r.frames[3].drawsBeforeActions = 9; }), 422,
         "extra-draws"},
        {"an unfinished game", unfinished, 422, "unfinished-game"},
        {"an abandoned game", Reencoded(game, [](Replay& r) {
             r.result.ending = GameEnding::Abandoned;
         }), 422, "unfinished-game"},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.bytes.empty()) << c.what;
        const auto sent = SendGame(client, token, c.bytes);
        ASSERT_TRUE(sent) << c.what;
        EXPECT_EQ(sent->status, c.status) << c.what << ": " << sent->body;
        EXPECT_EQ(json::parse(sent->body)["error"], c.reason) << c.what << ": " << sent->body;
    }
    // Tokens: none, malformed, unknown.
    const std::string body(game.begin(), game.end());
    auto posted = client.Post("/v1/games", body, "application/vnd.plemby.replay");
    EXPECT_EQ(posted->status, 401);
    posted = client.Post("/v1/games", {{"Authorization", "Bearer x' OR 1=1 --"}}, body,
                         "application/vnd.plemby.replay");
    EXPECT_EQ(posted->status, 401);
    EXPECT_EQ(SendGame(client, std::string(43, 'A'), game)->status, 401);
    posted = client.Post("/v1/games", {{"Authorization", "Bearer " + token}}, body, "text/plain");
    EXPECT_EQ(posted->status, 415);
    // Names: taken (in any case), impossible, malformed requests.
    EXPECT_EQ(client.Post("/v1/players", R"({"name":"bad input"})", "application/json")->status,
              409);
    for (const char* request : {R"({"name":" LEADING"})", R"({"name":"ROBERT'); DROP TABLE"})",
                                R"({"name":"ABCDEFGHIJKLMNOPQRSTUVWXYZA"})", R"({"name":""})",
                                R"({"name":5})", "{", "[]"}) {
        EXPECT_EQ(client.Post("/v1/players", request, "application/json")->status, 400) << request;
    }
    // Ids and dates are checked before they reach the database.
    EXPECT_EQ(client.Get("/v1/games/1%20OR%201=1")->status, 404);
    EXPECT_EQ(client.Get("/v1/games/99999999999999999999")->status, 404);
    EXPECT_EQ(client.Get("/v1/tables/daily/2026-02-30")->status, 400);
    EXPECT_EQ(client.Get("/v1/tables/all-time?limit=-1")->status, 400);
    // Another name's game: 409, and it stays theirs.
    const auto theirs = GetJson(client, "/v1/tables/all-time");
    EXPECT_EQ(SendGame(client, token, theirGame)->status, 409);
    EXPECT_EQ(GetJson(client, "/v1/tables/all-time"), theirs);

    // A body larger than any replay is refused from its length, before it is sent.
    {
        RawConnection raw(server.Port());
        ASSERT_TRUE(raw.Send("POST /v1/games HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " +
                             token + "\r\nContent-Type: application/vnd.plemby.replay\r\n"
                                     "Connection: close\r\nContent-Length: 1073741824\r\n\r\n"));
        const std::string answer = raw.ReadToClose();
        EXPECT_EQ(answer.rfind("HTTP/1.1 413", 0), 0u) << answer;
    }
    // A request that stalls half-way: the server serves others meanwhile and then drops it.
    {
        RawConnection slow(server.Port());
        ASSERT_TRUE(slow.Send("POST /v1/games HTTP/1.1\r\nHost: x\r\nContent-Le"));
        EXPECT_EQ(client.Get("/health")->status, 200);
        const std::string answer = slow.ReadToClose();
        EXPECT_EQ(answer.find("201"), std::string::npos) << answer;
    }
    EXPECT_EQ(TableSize(client), 1u);

    // A flood from one address: 429 with Retry-After, and served again after the wait.
    int limited = 0;
    std::string retryAfter;
    for (int i = 0; i < 400 && limited == 0; ++i) {
        const auto answer = client.Get("/v1/daily");
        ASSERT_TRUE(answer);
        if (answer->status == 429) {
            ++limited;
            retryAfter = answer->get_header_value("Retry-After");
        }
    }
    EXPECT_EQ(limited, 1);
    ASSERT_FALSE(retryAfter.empty());
    EXPECT_GE(std::stoi(retryAfter), 1);
    EXPECT_TRUE(WaitForStatus(client, "/v1/daily", 200));
    EXPECT_EQ(server.Stop(), 0);
}

}  // namespace

namespace {

// HTTPS: the server with a certificate from an authority the test makes answers curl, which
// checks the certificate against that authority and refuses it without.
TEST(ScoresServer, HttpsWithACertificateFromTheTestsOwnAuthority) {
    TempFolder folder("plemby-scores-tls");
    const std::string dir = folder.Path().string();
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    int status = -1;
    const std::string made = RunCommand(
        "cd " + dir + " && openssl req -x509" + key +
            " -keyout ca.key -out ca.pem -days 2 -subj '/CN=Plemby test authority' 2>&1 && "
            "openssl req" + key + " -keyout server.key -out server.csr -subj '/CN=127.0.0.1' 2>&1 && "
            "printf 'subjectAltName=IP:127.0.0.1\\nbasicConstraints=CA:FALSE\\n' > server.ext && "
            "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial "
            "-out server.pem -days 2 -extfile server.ext 2>&1",
        &status);
    ASSERT_EQ(status, 0) << made;
    ScoresProcess server(folder.Path() / "data",
                         {"--tls-cert", dir + "/server.pem", "--tls-key", dir + "/server.key"});
    ASSERT_TRUE(server.Start()) << server.Log();
    const std::string url = "https://127.0.0.1:" + std::to_string(server.Port());
    const std::string health =
        RunCommand("curl -sS --max-time 60 --cacert " + dir + "/ca.pem " + url + "/health 2>&1",
                   &status);
    EXPECT_EQ(status, 0) << health;
    EXPECT_NE(health.find("\"status\":\"ok\""), std::string::npos) << health;
    const std::string claimed = RunCommand(
        "curl -sS --max-time 60 --cacert " + dir + "/ca.pem -H 'Content-Type: application/json' "
            "-d '{\"name\":\"OVER TLS\"}' " + url + "/v1/players 2>&1",
        &status);
    EXPECT_NE(claimed.find("\"token\""), std::string::npos) << claimed;
    // Without the authority, curl does not trust the server.
    RunCommand("curl -sS --max-time 60 " + url + "/health 2>&1", &status);
    EXPECT_EQ(status, 60);
    EXPECT_EQ(server.Stop(), 0) << server.Log();
}

}  // namespace
