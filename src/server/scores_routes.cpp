#include <httplib.h>

#include <chrono>
#include <nlohmann/json.hpp>

#include "server/daily.h"
#include "server/names.h"
#include "server/scores_app.h"
#include "server/submission.h"

namespace {

using nlohmann::json;

constexpr int OK = 200;
constexpr int CREATED = 201;
constexpr int BAD_REQUEST = 400;
constexpr int UNAUTHORIZED = 401;
constexpr int NOT_FOUND = 404;
constexpr int CONFLICT = 409;
constexpr int TOO_MANY = 429;
constexpr int UNAVAILABLE = 503;
constexpr std::int64_t TABLE_ROWS = 100;
constexpr std::int64_t MOST_TABLE_ROWS = 1000;
constexpr std::int64_t MOST_OFFSET = 1000000;
// A claimed name's request is a small JSON object.
constexpr std::size_t LARGEST_NAME_REQUEST = 1024;
// How long a request waits for its game's verification before it gives up (503): far beyond
// any game's few milliseconds, so only a stuck server reaches it.
constexpr auto LONGEST_VERIFICATION_WAIT = std::chrono::seconds(60);
constexpr int DATABASE_RETRY_SECONDS = 2;
constexpr int QUEUE_RETRY_SECONDS = 1;

void Answer(httplib::Response& res, int status, const json& body) {
    res.status = status;
    res.set_content(body.dump() + "\n", "application/json");
}

void Refuse(ScoresApp& app, httplib::Response& res, const Refusal& refusal,
            int retryAfter = 0) {
    app.metrics.CountRefusal(refusal.reason);
    if (retryAfter > 0) res.set_header("Retry-After", std::to_string(retryAfter));
    Answer(res, refusal.status, json{{"error", refusal.reason}, {"message", refusal.message}});
}

json RecordJson(const GameRecord& record) {
    return json{{"id", record.id},
                {"name", record.name},
                {"score", record.score},
                {"lines", record.lines},
                {"level", record.level},
                {"pausedMs", record.pausedMs},
                {"playedMs", record.playedMs},
                {"startLevel", record.startLevel},
                {"garbageRows", record.garbageRows},
                {"day", record.day.empty() ? json(nullptr) : json(record.day)},
                {"submittedAt", UtcTime(record.submittedAt)},
                {"replay", "/v1/games/" + std::to_string(record.id) + "/replay"}};
}

json TableJson(const std::string& table, const std::vector<GameRecord>& records,
               std::int64_t offset) {
    json rows = json::array();
    std::int64_t rank = offset;
    for (const GameRecord& record : records) {
        json row = RecordJson(record);
        row["rank"] = ++rank;
        rows.push_back(std::move(row));
    }
    return json{{"table", table}, {"offset", offset}, {"games", std::move(rows)}};
}

// A whole number from the query, within [0, most]; `fallback` when absent.
std::optional<std::int64_t> QueryNumber(const httplib::Request& req, const char* name,
                                        std::int64_t fallback, std::int64_t most) {
    if (!req.has_param(name)) return fallback;
    const std::string text = req.get_param_value(name);
    if (text.empty() || text.size() > 9) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > most) return std::nullopt;
    return value;
}

std::optional<std::int64_t> GameId(const std::string& text) {
    if (text.empty() || text.size() > 18 || (text.size() > 1 && text[0] == '0')) {
        return std::nullopt;
    }
    std::int64_t id = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        id = id * 10 + (c - '0');
    }
    return id;
}

// Runs a route, turning a database out of reach into 503 with Retry-After.
template <class Handler>
httplib::Server::Handler Guarded(ScoresApp& app, Handler handler) {
    return [&app, handler](const httplib::Request& req, httplib::Response& res) {
        try {
            handler(req, res);
        } catch (const DatabaseUnavailable& error) {
            std::fprintf(stderr, "plemby-scores: %s\n", error.what());
            Refuse(app, res,
                   Refusal{UNAVAILABLE, "database-unavailable",
                           "the scores cannot be reached now; try again shortly"},
                   DATABASE_RETRY_SECONDS);
        }
    };
}

void ClaimName(ScoresApp& app, const httplib::Request& req, httplib::Response& res) {
    if (req.body.size() > LARGEST_NAME_REQUEST) {
        Refuse(app, res, Refusal{413, "too-large", "a name's request is a small JSON object"});
        return;
    }
    const json body = json::parse(req.body, nullptr, false);
    if (body.is_discarded() || !body.is_object() || !body.contains("name") ||
        !body["name"].is_string()) {
        Refuse(app, res, Refusal{BAD_REQUEST, "malformed", "send {\"name\": \"YOUR NAME\"}"});
        return;
    }
    const std::string name = body["name"].get<std::string>();
    const std::optional<std::string> key = NameKey(name);
    if (!key) {
        Refuse(app, res,
               Refusal{BAD_REQUEST, "bad-name",
                       "a name is 1 to 26 letters, digits and spaces, with no space at either "
                       "end"});
        return;
    }
    const std::string token = NewToken();
    if (!app.store.ClaimName(*key, *key, TokenHash(token), UnixNow())) {
        Refuse(app, res, Refusal{CONFLICT, "name-taken", "that name is taken"});
        return;
    }
    res.set_header("Cache-Control", "no-store");
    Answer(res, CREATED, json{{"name", *key}, {"token", token}});
}

void SubmitGame(ScoresApp& app, const httplib::Request& req, httplib::Response& res) {
    SubmissionOrRefusal read = ReadSubmission(
        {req.body, req.get_header_value("Content-Type"), req.get_header_value("Authorization")});
    if (const auto* refusal = std::get_if<Refusal>(&read)) {
        Refuse(app, res, *refusal);
        return;
    }
    Submission& submission = std::get<Submission>(read);
    const std::optional<NamedPlayer> player = app.store.PlayerByToken(TokenHash(submission.token));
    if (!player) {
        Refuse(app, res, Refusal{UNAUTHORIZED, "unknown-token", "no name has this token"});
        return;
    }
    if (const std::int64_t wait = app.nameLimit.Take("name:" + player->name); wait > 0) {
        Refuse(app, res, Refusal{TOO_MANY, "name-rate", "too many games under this name"},
               static_cast<int>(wait));
        return;
    }
    const std::string replayHash = ReplayHash(submission.bytes);
    auto answerStored = [&](const StoredGame& stored) {
        if (stored.playerId != player->id) {
            Refuse(app, res,
                   Refusal{CONFLICT, "replay-taken", "this game is already in the tables under "
                                                     "another name"});
            return;
        }
        res.set_header("Location", "/v1/games/" + std::to_string(stored.record.id));
        Answer(res, stored.created ? CREATED : OK, RecordJson(stored.record));
    };
    if (const std::optional<StoredGame> stored = app.store.GameByReplay(replayHash)) {
        answerStored(*stored);
        return;
    }

    const auto started = std::chrono::steady_clock::now();
    std::optional<std::future<CheckOutcome>> pending = app.queue.Submit(submission.replay);
    if (!pending) {
        Refuse(app, res,
               Refusal{UNAVAILABLE, "queue-full", "the server is busy verifying games"},
               QUEUE_RETRY_SECONDS);
        return;
    }
    if (pending->wait_for(LONGEST_VERIFICATION_WAIT) != std::future_status::ready) {
        Refuse(app, res, Refusal{UNAVAILABLE, "verification-late", "the server is too busy"},
               QUEUE_RETRY_SECONDS);
        return;
    }
    const CheckOutcome outcome = pending->get();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (const auto* refusal = std::get_if<Refusal>(&outcome)) {
        app.metrics.CountVerification(refusal->reason, seconds);
        Refuse(app, res, *refusal);
        return;
    }
    app.metrics.CountVerification("accepted", seconds);
    const CheckedGame& checked = std::get<CheckedGame>(outcome);
    const std::int64_t now = UnixNow();
    NewGame game;
    game.playerId = player->id;
    game.replayHash = replayHash;
    game.replay = std::move(submission.bytes);
    game.seed = submission.replay.start.randomState;
    game.record.name = player->name;
    game.record.score = checked.score;
    game.record.lines = checked.rows;
    game.record.level = checked.level;
    game.record.pausedMs = checked.pausedMs;
    game.record.playedMs = checked.playedMs;
    game.record.startLevel = submission.replay.start.play.startLevel;
    game.record.garbageRows = submission.replay.start.play.garbageRows;
    game.record.submittedAt = now;
    if (const auto day = DailyDayOf(submission.replay.start, app.dailySecret, now)) {
        game.record.day = DayText(*day);
    }
    const StoredGame stored = app.store.StoreGame(game);
    if (stored.created) app.metrics.CountStoredGame();
    answerStored(stored);
}

void Table(ScoresApp& app, const httplib::Request& req, httplib::Response& res,
           const std::optional<std::string>& day) {
    const auto limit = QueryNumber(req, "limit", TABLE_ROWS, MOST_TABLE_ROWS);
    const auto offset = QueryNumber(req, "offset", 0, MOST_OFFSET);
    if (!limit || !offset) {
        Refuse(app, res,
               Refusal{BAD_REQUEST, "bad-query", "limit is 0 to 1000, offset 0 to 1000000"});
        return;
    }
    if (day) {
        Answer(res, OK, TableJson("daily/" + *day, app.store.Daily(*day, *limit, *offset), *offset));
    } else {
        Answer(res, OK, TableJson("all-time", app.store.AllTime(*limit, *offset), *offset));
    }
}

}  // namespace

void AddScoreRoutes(httplib::Server& server, ScoresApp& app) {
    server.Get("/health", Guarded(app, [&app](const httplib::Request&, httplib::Response& res) {
                   Answer(res, OK, json{{"status", "ok"}, {"schema", app.store.SchemaVersion()}});
               }));
    server.Post("/v1/players", Guarded(app, [&app](const httplib::Request& req,
                                                   httplib::Response& res) {
                    ClaimName(app, req, res);
                }));
    server.Post("/v1/games", Guarded(app, [&app](const httplib::Request& req,
                                                 httplib::Response& res) {
                    SubmitGame(app, req, res);
                }));
    server.Get("/v1/tables/all-time",
               Guarded(app, [&app](const httplib::Request& req, httplib::Response& res) {
                   Table(app, req, res, std::nullopt);
               }));
    server.Get(R"(/v1/tables/daily/([^/]+))",
               Guarded(app, [&app](const httplib::Request& req, httplib::Response& res) {
                   const std::string text = req.matches[1];
                   const auto day = ParseDay(text);
                   if (!day) {
                       Refuse(app, res, Refusal{BAD_REQUEST, "bad-date", "a date is YYYY-MM-DD"});
                       return;
                   }
                   Table(app, req, res, DayText(*day));
               }));
    server.Get(R"(/v1/games/([^/]+))",
               Guarded(app, [&app](const httplib::Request& req, httplib::Response& res) {
                   const auto id = GameId(req.matches[1]);
                   const auto record = id ? app.store.Game(*id) : std::nullopt;
                   if (!record) {
                       Refuse(app, res, Refusal{NOT_FOUND, "no-game", "no such game"});
                       return;
                   }
                   Answer(res, OK, RecordJson(*record));
               }));
    server.Get(R"(/v1/games/([^/]+)/replay)",
               Guarded(app, [&app](const httplib::Request& req, httplib::Response& res) {
                   const auto id = GameId(req.matches[1]);
                   const auto bytes = id ? app.store.Replay(*id) : std::nullopt;
                   if (!bytes) {
                       Refuse(app, res, Refusal{NOT_FOUND, "no-game", "no such game"});
                       return;
                   }
                   res.set_header("Content-Disposition",
                                  "attachment; filename=\"game-" + std::to_string(*id) + ".plr\"");
                   res.set_content(std::string(bytes->begin(), bytes->end()),
                                   std::string(REPLAY_MEDIA_TYPE).c_str());
               }));
    server.Get("/v1/daily", [&app](const httplib::Request&, httplib::Response& res) {
        const std::int64_t today = DayNumber(UnixNow());
        Answer(res, OK,
               json{{"date", DayText(today)},
                    {"seed", DailySeed(app.dailySecret, today)},
                    {"startLevel", DAILY_START_LEVEL},
                    {"garbageRows", DAILY_GARBAGE_ROWS},
                    {"table", "/v1/tables/daily/" + DayText(today)},
                    {"submitBefore", UtcTime((today + 2) * 24 * 60 * 60)}});
    });
    server.Get("/metrics", [&app](const httplib::Request&, httplib::Response& res) {
        res.set_content(app.metrics.Text(app.queue.Length(), app.queue.Capacity(),
                                         app.queue.Workers(), app.openConnections.load()),
                        "text/plain; version=0.0.4");
    });
    server.Get("/", Guarded(app, [&app](const httplib::Request&, httplib::Response& res) {
                   const std::string day = DayText(DayNumber(UnixNow()));
                   res.set_content(ScoresPage(app.store.AllTime(TABLE_ROWS, 0),
                                              app.store.Daily(day, TABLE_ROWS, 0), day),
                                   "text/html; charset=utf-8");
               }));
}
