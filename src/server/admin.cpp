#include "server/admin.h"

#include <charconv>
#include <exception>
#include <ostream>

#include "server/names.h"
#include "server/score_store.h"

namespace {

constexpr int DONE = 0;
constexpr int FAILED = 1;
constexpr int MISUSE = 2;

int RemoveGame(ScoreStore& store, const std::string& text, std::ostream& out, std::ostream& err) {
    std::int64_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size() || id <= 0) {
        err << "plemby-scores: remove-game takes a game's number\n";
        return MISUSE;
    }
    if (!store.RemoveGame(id)) {
        err << "plemby-scores: there is no game " << id << "\n";
        return FAILED;
    }
    out << "removed game " << id << "\n";
    return DONE;
}

int RemoveName(ScoreStore& store, const std::string& name, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> key = NameKey(name);
    if (!key) {
        err << "plemby-scores: '" << name << "' is not a name\n";
        return MISUSE;
    }
    if (!store.RemoveName(*key)) {
        err << "plemby-scores: there is no name " << *key << "\n";
        return FAILED;
    }
    out << "removed the name " << *key << ", its token and its games\n";
    return DONE;
}

}  // namespace

int RunAdminCommand(const ServerOptions& options, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& words = options.admin;
    const std::string& command = words.front();
    if (words.size() != 2 ||
        (command != "remove-game" && command != "remove-name" && command != "backup")) {
        err << "plemby-scores: admin takes remove-game ID, remove-name NAME or backup FILE\n";
        return MISUSE;
    }
    if (command == "backup") {
        if (!options.database.empty()) {
            err << "plemby-scores: back up a PostgreSQL database with pg_dump (see the README)\n";
            return MISUSE;
        }
        const std::string problem = BackupSqlite(SqlitePath(options.dataFolder), words[1]);
        if (!problem.empty()) {
            err << "plemby-scores: backup failed: " << problem << "\n";
            return FAILED;
        }
        out << "backed up " << SqlitePath(options.dataFolder) << " to " << words[1] << "\n";
        return DONE;
    }
    try {
        ScoreStore store(OpenDatabase(options.dataFolder, options.database));
        store.Migrate();
        return command == "remove-game" ? RemoveGame(store, words[1], out, err)
                                        : RemoveName(store, words[1], out, err);
    } catch (const std::exception& failure) {
        err << "plemby-scores: " << failure.what() << "\n";
        return FAILED;
    }
}
