#include "server/score_store.h"

#include <chrono>
#include <filesystem>
#include <iterator>

namespace {

// The schema's changes, numbered from 1, in order; each runs once, on either backend. A change is
// only ever added at the end. The two dialects differ only in the words for an id that counts
// itself up and for bytes, written ID and BYTES here.
// clang-format off
constexpr const char* MIGRATIONS[] = {
    R"sql(
CREATE TABLE players (
    id ID,
    name TEXT NOT NULL,
    name_key TEXT NOT NULL UNIQUE,
    token_hash TEXT NOT NULL UNIQUE,
    created_at BIGINT NOT NULL);
CREATE TABLE games (
    id ID,
    player_id BIGINT NOT NULL REFERENCES players (id) ON DELETE CASCADE,
    replay_hash TEXT NOT NULL UNIQUE,
    score BIGINT NOT NULL,
    lines BIGINT NOT NULL,
    level BIGINT NOT NULL,
    paused_ms BIGINT NOT NULL,
    played_ms BIGINT NOT NULL,
    start_level BIGINT NOT NULL,
    garbage_rows BIGINT NOT NULL,
    seed BIGINT NOT NULL,
    day TEXT,
    submitted_at BIGINT NOT NULL,
    replay BYTES NOT NULL);
CREATE INDEX games_by_score ON games (score DESC, id);
CREATE INDEX games_by_day ON games (day, player_id, score DESC, id);
CREATE INDEX games_by_player ON games (player_id);
CREATE TABLE secrets (name TEXT PRIMARY KEY, value BYTES NOT NULL);
)sql",
};
// clang-format on

// A migration's text in `dialect`.
std::string InDialect(std::string text, SqlDialect dialect) {
    const bool sqlite = dialect == SqlDialect::Sqlite;
    const std::pair<std::string, std::string> words[] = {
        {" ID,", sqlite ? " INTEGER PRIMARY KEY AUTOINCREMENT," : " BIGSERIAL PRIMARY KEY,"},
        {" BYTES ", sqlite ? " BLOB " : " BYTEA "},
    };
    for (const auto& [word, meaning] : words) {
        for (std::size_t at = text.find(word); at != std::string::npos;
             at = text.find(word, at + meaning.size())) {
            text.replace(at, word.size(), meaning);
        }
    }
    return text;
}
constexpr int MIGRATION_COUNT = static_cast<int>(std::size(MIGRATIONS));

constexpr const char* RECORD_COLUMNS =
    "g.id, p.name, g.score, g.lines, g.level, g.paused_ms, g.played_ms, g.start_level, "
    "g.garbage_rows, COALESCE(g.day, ''), g.submitted_at";

GameRecord RecordOf(const SqlRow& row, std::size_t first = 0) {
    GameRecord record;
    record.id = IntAt(row, first);
    record.name = TextAt(row, first + 1);
    record.score = static_cast<std::uint32_t>(IntAt(row, first + 2));
    record.lines = static_cast<std::uint32_t>(IntAt(row, first + 3));
    record.level = static_cast<std::uint32_t>(IntAt(row, first + 4));
    record.pausedMs = IntAt(row, first + 5);
    record.playedMs = IntAt(row, first + 6);
    record.startLevel = static_cast<std::uint32_t>(IntAt(row, first + 7));
    record.garbageRows = static_cast<std::uint32_t>(IntAt(row, first + 8));
    record.day = TextAt(row, first + 9);
    record.submittedAt = IntAt(row, first + 10);
    return record;
}

std::vector<GameRecord> RecordsOf(const std::vector<SqlRow>& rows) {
    std::vector<GameRecord> records;
    records.reserve(rows.size());
    for (const SqlRow& row : rows) records.push_back(RecordOf(row));
    return records;
}

}  // namespace

ScoreStore::ScoreStore(std::unique_ptr<SqlDatabase> database) : database_(std::move(database)) {}

void ScoreStore::Migrate() {
    const std::int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    database_->With([now](SqlConnection& sql) {
        sql.BeginExclusive();
        try {
            sql.Execute(
                "CREATE TABLE IF NOT EXISTS schema_migrations ("
                "version BIGINT PRIMARY KEY, applied_at BIGINT NOT NULL)");
            const auto rows = sql.Query("SELECT COALESCE(MAX(version), 0) FROM schema_migrations", {});
            for (auto version = IntAt(rows.at(0), 0); version < MIGRATION_COUNT; ++version) {
                sql.Execute(InDialect(MIGRATIONS[version], sql.Dialect()));
                sql.Query("INSERT INTO schema_migrations (version, applied_at) VALUES ($1, $2)",
                          {version + 1, now});
            }
            sql.Commit();
        } catch (...) {
            sql.Rollback();
            throw;
        }
    });
}

int ScoreStore::SchemaVersion() {
    int version = 0;
    database_->With([&](SqlConnection& sql) {
        version = static_cast<int>(
            IntAt(sql.Query("SELECT COALESCE(MAX(version), 0) FROM schema_migrations", {}).at(0), 0));
    });
    return version;
}

bool ScoreStore::ClaimName(const std::string& name, const std::string& key,
                           const std::string& tokenHash, std::int64_t now) {
    bool claimed = false;
    database_->With([&](SqlConnection& sql) {
        claimed = !sql.Query(
                          "INSERT INTO players (name, name_key, token_hash, created_at) "
                          "VALUES ($1, $2, $3, $4) ON CONFLICT DO NOTHING RETURNING id",
                          {name, key, tokenHash, now})
                       .empty();
    });
    return claimed;
}

std::optional<NamedPlayer> ScoreStore::PlayerByToken(const std::string& tokenHash) {
    std::optional<NamedPlayer> player;
    database_->With([&](SqlConnection& sql) {
        const auto rows =
            sql.Query("SELECT id, name FROM players WHERE token_hash = $1", {tokenHash});
        if (!rows.empty()) player = NamedPlayer{IntAt(rows[0], 0), TextAt(rows[0], 1)};
    });
    return player;
}

std::optional<StoredGame> ScoreStore::GameByReplay(const std::string& replayHash) {
    std::optional<StoredGame> stored;
    database_->With([&](SqlConnection& sql) {
        const auto rows = sql.Query(std::string("SELECT g.player_id, ") + RECORD_COLUMNS +
                                        " FROM games g JOIN players p ON p.id = g.player_id "
                                        "WHERE g.replay_hash = $1",
                                    {replayHash});
        if (!rows.empty()) stored = StoredGame{false, IntAt(rows[0], 0), RecordOf(rows[0], 1)};
    });
    return stored;
}

StoredGame ScoreStore::StoreGame(const NewGame& game) {
    std::optional<std::int64_t> id;
    database_->With([&](SqlConnection& sql) {
        const GameRecord& r = game.record;
        const auto rows = sql.Query(
            "INSERT INTO games (player_id, replay_hash, score, lines, level, paused_ms, "
            "played_ms, start_level, garbage_rows, seed, day, submitted_at, replay) "
            "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13) "
            "ON CONFLICT (replay_hash) DO NOTHING RETURNING id",
            {game.playerId, game.replayHash, std::int64_t{r.score}, std::int64_t{r.lines},
             std::int64_t{r.level}, r.pausedMs, r.playedMs, std::int64_t{r.startLevel},
             std::int64_t{r.garbageRows}, std::int64_t{game.seed},
             r.day.empty() ? SqlValue(nullptr) : SqlValue(r.day), r.submittedAt,
             Blob{game.replay}});
        if (!rows.empty()) id = IntAt(rows[0], 0);
    });
    if (id) {
        StoredGame stored{true, game.playerId, game.record};
        stored.record.id = *id;
        return stored;
    }
    // Someone stored the same replay first (a retry, or another process).
    std::optional<StoredGame> existing = GameByReplay(game.replayHash);
    if (!existing) throw DatabaseUnavailable("a stored game vanished while it was read");
    return *existing;
}

std::vector<GameRecord> ScoreStore::AllTime(std::int64_t limit, std::int64_t offset) {
    std::vector<GameRecord> records;
    database_->With([&](SqlConnection& sql) {
        records = RecordsOf(sql.Query(std::string("SELECT ") + RECORD_COLUMNS +
                                          " FROM games g JOIN players p ON p.id = g.player_id "
                                          "ORDER BY g.score DESC, g.id LIMIT $1 OFFSET $2",
                                      {limit, offset}));
    });
    return records;
}

std::vector<GameRecord> ScoreStore::Daily(const std::string& day, std::int64_t limit,
                                          std::int64_t offset) {
    std::vector<GameRecord> records;
    database_->With([&](SqlConnection& sql) {
        records = RecordsOf(sql.Query(
            std::string("SELECT ") + RECORD_COLUMNS +
                " FROM (SELECT g0.*, ROW_NUMBER() OVER (PARTITION BY g0.player_id "
                "ORDER BY g0.score DESC, g0.id) AS place FROM games g0 WHERE g0.day = $1) g "
                "JOIN players p ON p.id = g.player_id WHERE g.place = 1 "
                "ORDER BY g.score DESC, g.id LIMIT $2 OFFSET $3",
            {day, limit, offset}));
    });
    return records;
}

std::optional<GameRecord> ScoreStore::Game(std::int64_t id) {
    std::optional<GameRecord> record;
    database_->With([&](SqlConnection& sql) {
        const auto rows = sql.Query(std::string("SELECT ") + RECORD_COLUMNS +
                                        " FROM games g JOIN players p ON p.id = g.player_id "
                                        "WHERE g.id = $1",
                                    {id});
        if (!rows.empty()) record = RecordOf(rows[0]);
    });
    return record;
}

std::optional<std::vector<std::uint8_t>> ScoreStore::Replay(std::int64_t id) {
    std::optional<std::vector<std::uint8_t>> bytes;
    database_->With([&](SqlConnection& sql) {
        const auto rows = sql.Query("SELECT replay FROM games WHERE id = $1", {id});
        if (!rows.empty()) bytes = BytesAt(rows[0], 0);
    });
    return bytes;
}

bool ScoreStore::RemoveGame(std::int64_t id) {
    bool removed = false;
    database_->With([&](SqlConnection& sql) {
        removed = !sql.Query("DELETE FROM games WHERE id = $1 RETURNING id", {id}).empty();
    });
    return removed;
}

bool ScoreStore::RemoveName(const std::string& key) {
    bool removed = false;
    database_->With([&](SqlConnection& sql) {
        sql.Execute("BEGIN");
        try {
            sql.Query("DELETE FROM games WHERE player_id IN "
                      "(SELECT id FROM players WHERE name_key = $1)",
                      {key});
            removed = !sql.Query("DELETE FROM players WHERE name_key = $1 RETURNING id", {key})
                           .empty();
            sql.Commit();
        } catch (...) {
            sql.Rollback();
            throw;
        }
    });
    return removed;
}

std::vector<std::uint8_t> ScoreStore::DailySecret(const std::vector<std::uint8_t>& candidate) {
    std::vector<std::uint8_t> secret;
    database_->With([&](SqlConnection& sql) {
        sql.Query("INSERT INTO secrets (name, value) VALUES ('daily', $1) ON CONFLICT DO NOTHING",
                  {Blob{candidate}});
        const auto rows = sql.Query("SELECT value FROM secrets WHERE name = 'daily'", {});
        if (!rows.empty()) secret = BytesAt(rows[0], 0);
    });
    if (secret.empty()) throw DatabaseUnavailable("the daily secret cannot be read");
    return secret;
}

std::string SqlitePath(const std::string& dataFolder) {
    return (std::filesystem::path(dataFolder) / "scores.sqlite").string();
}

std::unique_ptr<SqlDatabase> OpenDatabase(const std::string& dataFolder, const std::string& url) {
    if (!url.empty()) return OpenPostgres(url);
    return OpenSqlite(SqlitePath(dataFolder));
}
