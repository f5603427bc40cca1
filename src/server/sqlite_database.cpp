#include <sqlite3.h>

#include <mutex>

#include "server/sql.h"

namespace {

constexpr int BUSY_TIMEOUT_MS = 10000;

class SqliteConnection final : public SqlConnection {
public:
    explicit SqliteConnection(const std::string& path) {
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            const std::string message = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            db_ = nullptr;
            throw DatabaseUnavailable("cannot open " + path + ": " + message);
        }
        sqlite3_busy_timeout(db_, BUSY_TIMEOUT_MS);
        Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;");
    }
    ~SqliteConnection() override { sqlite3_close(db_); }
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    SqlDialect Dialect() const override { return SqlDialect::Sqlite; }

    std::vector<SqlRow> Query(std::string_view sql, const std::vector<SqlValue>& params) override {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement,
                               nullptr) != SQLITE_OK) {
            Fail("prepare");
        }
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owned(statement, sqlite3_finalize);
        for (std::size_t i = 0; i < params.size(); ++i) {
            const std::string name = "$" + std::to_string(i + 1);
            const int index = sqlite3_bind_parameter_index(statement, name.c_str());
            if (index == 0) continue;
            Bind(statement, index, params[i]);
        }
        std::vector<SqlRow> rows;
        for (;;) {
            const int step = sqlite3_step(statement);
            if (step == SQLITE_DONE) break;
            if (step != SQLITE_ROW) Fail("step");
            SqlRow row;
            const int columns = sqlite3_column_count(statement);
            for (int c = 0; c < columns; ++c) row.push_back(Column(statement, c));
            rows.push_back(std::move(row));
        }
        return rows;
    }

    void Execute(std::string_view sql) override {
        const std::string text(sql);
        if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            Fail("execute");
        }
    }
    void BeginExclusive() override { Execute("BEGIN IMMEDIATE"); }
    void Commit() override { Execute("COMMIT"); }
    void Rollback() override { sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); }

    sqlite3* Handle() { return db_; }

private:
    [[noreturn]] void Fail(const char* what) {
        throw DatabaseUnavailable(std::string("sqlite ") + what + ": " + sqlite3_errmsg(db_));
    }

    void Bind(sqlite3_stmt* statement, int index, const SqlValue& value) {
        int result = SQLITE_OK;
        if (std::holds_alternative<std::nullptr_t>(value)) {
            result = sqlite3_bind_null(statement, index);
        } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
            result = sqlite3_bind_int64(statement, index, *number);
        } else if (const auto* text = std::get_if<std::string>(&value)) {
            result = sqlite3_bind_text64(statement, index, text->data(), text->size(),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
        } else {
            const auto& blob = std::get<Blob>(value).bytes;
            result = sqlite3_bind_blob64(statement, index, blob.data(), blob.size(),
                                         SQLITE_TRANSIENT);
        }
        if (result != SQLITE_OK) Fail("bind");
    }

    static SqlValue Column(sqlite3_stmt* statement, int c) {
        switch (sqlite3_column_type(statement, c)) {
            case SQLITE_INTEGER:
                return static_cast<std::int64_t>(sqlite3_column_int64(statement, c));
            case SQLITE_TEXT: {
                const auto* text = sqlite3_column_text(statement, c);
                return std::string(reinterpret_cast<const char*>(text),
                                   static_cast<std::size_t>(sqlite3_column_bytes(statement, c)));
            }
            case SQLITE_BLOB: {
                const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, c));
                const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, c));
                return Blob{std::vector<std::uint8_t>(data, data + size)};
            }
            default:
                return nullptr;
        }
    }

    sqlite3* db_ = nullptr;
};

// One connection, taken in turn: SQLite serialises its writers anyway, and the server's
// statements are short.
class SqliteDatabase final : public SqlDatabase {
public:
    explicit SqliteDatabase(const std::string& path) : connection_(path) {}
    void With(const std::function<void(SqlConnection&)>& work) override {
        const std::lock_guard lock(mutex_);
        work(connection_);
    }

private:
    std::mutex mutex_;
    SqliteConnection connection_;
};

}  // namespace

std::unique_ptr<SqlDatabase> OpenSqlite(const std::string& path) {
    return std::make_unique<SqliteDatabase>(path);
}

std::int64_t IntAt(const SqlRow& row, std::size_t column) {
    const auto* number = std::get_if<std::int64_t>(&row.at(column));
    return number != nullptr ? *number : 0;
}

std::string TextAt(const SqlRow& row, std::size_t column) {
    const auto* text = std::get_if<std::string>(&row.at(column));
    return text != nullptr ? *text : std::string();
}

std::vector<std::uint8_t> BytesAt(const SqlRow& row, std::size_t column) {
    const auto* blob = std::get_if<Blob>(&row.at(column));
    return blob != nullptr ? blob->bytes : std::vector<std::uint8_t>();
}

std::string BackupSqlite(const std::string& from, const std::string& to) {
    sqlite3* source = nullptr;
    sqlite3* target = nullptr;
    std::string problem;
    if (sqlite3_open_v2(from.c_str(), &source, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        problem = "cannot open " + from + ": " + sqlite3_errmsg(source);
    } else if (sqlite3_open(to.c_str(), &target) != SQLITE_OK) {
        problem = "cannot open " + to + ": " + sqlite3_errmsg(target);
    } else {
        sqlite3_busy_timeout(source, BUSY_TIMEOUT_MS);
        sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
        if (backup == nullptr) {
            problem = sqlite3_errmsg(target);
        } else {
            // All pages in one step: the copy is one consistent picture of the database.
            int step = SQLITE_OK;
            do {
                step = sqlite3_backup_step(backup, -1);
                if (step == SQLITE_BUSY || step == SQLITE_LOCKED) sqlite3_sleep(50);
            } while (step == SQLITE_OK || step == SQLITE_BUSY || step == SQLITE_LOCKED);
            sqlite3_backup_finish(backup);
            if (step != SQLITE_DONE) problem = sqlite3_errmsg(target);
        }
    }
    sqlite3_close(source);
    sqlite3_close(target);
    return problem;
}
