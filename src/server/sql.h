#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The one way the server talks to a database: statements with numbered parameters ($1, $2, ...)
// that are always bound, never spliced into the text, on either backend.

struct Blob {
    std::vector<std::uint8_t> bytes;
};
using SqlValue = std::variant<std::nullptr_t, std::int64_t, std::string, Blob>;
using SqlRow = std::vector<SqlValue>;

// The database cannot be reached or failed under us: the request may be tried again later.
class DatabaseUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class SqlDialect { Sqlite, Postgres };

class SqlConnection {
public:
    virtual ~SqlConnection() = default;
    virtual SqlDialect Dialect() const = 0;
    // Runs one statement and returns its rows. Throws DatabaseUnavailable.
    virtual std::vector<SqlRow> Query(std::string_view sql, const std::vector<SqlValue>& params) = 0;
    // Runs statements without parameters (a schema change).
    virtual void Execute(std::string_view sql) = 0;
    // Starts a transaction that no other writer can interleave with; Commit or Rollback end it.
    virtual void BeginExclusive() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
};

// Hands out connections: one at a time for SQLite, a small pool for PostgreSQL.
class SqlDatabase {
public:
    virtual ~SqlDatabase() = default;
    // Runs `work` with a connection that no other thread uses meanwhile.
    virtual void With(const std::function<void(SqlConnection&)>& work) = 0;
};

// SQLite in the file `path` (made when missing), in WAL mode.
std::unique_ptr<SqlDatabase> OpenSqlite(const std::string& path);
// PostgreSQL at `url` (a libpq connection URI); connections are made on demand, and made again
// after the server went away.
std::unique_ptr<SqlDatabase> OpenPostgres(const std::string& url);

// Column readers for rows whose types the statement fixes.
std::int64_t IntAt(const SqlRow& row, std::size_t column);
std::string TextAt(const SqlRow& row, std::size_t column);
std::vector<std::uint8_t> BytesAt(const SqlRow& row, std::size_t column);
