#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "server/sql.h"

// The server's tables, the same on SQLite and PostgreSQL: the names with their tokens' hashes,
// and the verified games with what the rules computed of them and their replays' bytes.

struct NamedPlayer {
    std::int64_t id = 0;
    std::string name;
};

// A verified game as the tables list it. `day` is the daily challenge's day (YYYY-MM-DD) whose
// table it entered, empty when none.
struct GameRecord {
    std::int64_t id = 0;
    std::string name;
    std::uint32_t score = 0;
    std::uint32_t lines = 0;  // every row removed, not the game's wrapping counter
    std::uint32_t level = 0;
    std::int64_t pausedMs = 0;
    std::int64_t playedMs = 0;
    std::uint32_t startLevel = 0;
    std::uint32_t garbageRows = 0;
    std::string day;
    std::int64_t submittedAt = 0;  // seconds since 1970, UTC
};

struct NewGame {
    std::int64_t playerId = 0;
    std::string replayHash;
    std::vector<std::uint8_t> replay;
    std::uint32_t seed = 0;
    GameRecord record;
};

// What storing a game came to: stored now, or the same replay already stored (by this player
// or another), with its record.
struct StoredGame {
    bool created = false;
    std::int64_t playerId = 0;
    GameRecord record;
};

class ScoreStore {
public:
    explicit ScoreStore(std::unique_ptr<SqlDatabase> database);

    // Brings the schema up to date: every numbered migration not yet run, in order, once,
    // whichever process gets there first.
    void Migrate();
    // The schema's version: the number of the last migration run.
    int SchemaVersion();

    // Gives `name` (compared by `key`, its upper-case form) to the holder of the token whose
    // hash is `tokenHash`; false when the name is taken.
    bool ClaimName(const std::string& name, const std::string& key, const std::string& tokenHash,
                   std::int64_t now);
    std::optional<NamedPlayer> PlayerByToken(const std::string& tokenHash);
    // The game already stored with these replay bytes, if any.
    std::optional<StoredGame> GameByReplay(const std::string& replayHash);
    // Stores a game unless the same replay is already stored; either way returns the stored one.
    StoredGame StoreGame(const NewGame& game);

    std::vector<GameRecord> AllTime(std::int64_t limit, std::int64_t offset);
    // Each name's best game of the day's challenge.
    std::vector<GameRecord> Daily(const std::string& day, std::int64_t limit, std::int64_t offset);
    std::optional<GameRecord> Game(std::int64_t id);
    std::optional<std::vector<std::uint8_t>> Replay(std::int64_t id);

    bool RemoveGame(std::int64_t id);
    // Removes the name, its token and all its games; false when there is no such name.
    bool RemoveName(const std::string& key);

    // The secret the daily seeds are made with: made once by whichever process comes first, then
    // the same for every process on this database.
    std::vector<std::uint8_t> DailySecret(const std::vector<std::uint8_t>& candidate);

private:
    std::unique_ptr<SqlDatabase> database_;
};

// A database as the command line names it: PostgreSQL for a postgresql:// URL, else SQLite in
// `dataFolder`/scores.sqlite.
std::unique_ptr<SqlDatabase> OpenDatabase(const std::string& dataFolder, const std::string& url);
std::string SqlitePath(const std::string& dataFolder);

// Copies the SQLite database at `from` to `to` with SQLite's online backup, while the server may
// be writing it. Returns an empty string on success, else what went wrong.
std::string BackupSqlite(const std::string& from, const std::string& to);
