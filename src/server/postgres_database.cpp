#include <libpq-fe.h>

#include <mutex>

#include "server/sql.h"

namespace {

// Type identifiers of the columns the server reads (pg_type's oids).
constexpr Oid BOOL_OID = 16;
constexpr Oid BYTEA_OID = 17;
constexpr Oid INT8_OID = 20;
constexpr Oid INT2_OID = 21;
constexpr Oid INT4_OID = 23;
constexpr int BINARY = 1;
constexpr int TEXT = 0;
// Every process that migrates takes this lock first, so that two never change the schema at once.
constexpr std::int64_t SCHEMA_LOCK = 0x706C656D6279;  // "plemby"
constexpr std::size_t IDLE_CONNECTIONS = 16;

std::int64_t BigEndian(const char* bytes, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) value = (value << 8) | static_cast<std::uint8_t>(bytes[i]);
    // Sign-extend the narrower integers.
    const int unused = 64 - 8 * size;
    return static_cast<std::int64_t>(value << unused) >> unused;
}

class PostgresConnection final : public SqlConnection {
public:
    explicit PostgresConnection(const std::string& url) {
        const char* keys[] = {"dbname", "connect_timeout", nullptr};
        const char* values[] = {url.c_str(), "5", nullptr};
        conn_ = PQconnectdbParams(keys, values, 1);
        if (conn_ == nullptr || PQstatus(conn_) != CONNECTION_OK) {
            const std::string message = conn_ != nullptr ? PQerrorMessage(conn_) : "out of memory";
            PQfinish(conn_);
            conn_ = nullptr;
            throw DatabaseUnavailable("cannot connect to PostgreSQL: " + message);
        }
        PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
    }
    ~PostgresConnection() override { PQfinish(conn_); }
    PostgresConnection(const PostgresConnection&) = delete;
    PostgresConnection& operator=(const PostgresConnection&) = delete;

    bool Healthy() const { return PQstatus(conn_) == CONNECTION_OK; }
    SqlDialect Dialect() const override { return SqlDialect::Postgres; }

    std::vector<SqlRow> Query(std::string_view sql, const std::vector<SqlValue>& params) override {
        std::vector<std::string> texts(params.size());
        std::vector<const char*> values(params.size(), nullptr);
        std::vector<int> lengths(params.size(), 0);
        std::vector<int> formats(params.size(), TEXT);
        for (std::size_t i = 0; i < params.size(); ++i) {
            if (const auto* number = std::get_if<std::int64_t>(&params[i])) {
                texts[i] = std::to_string(*number);
                values[i] = texts[i].c_str();
            } else if (const auto* text = std::get_if<std::string>(&params[i])) {
                values[i] = text->c_str();
            } else if (const auto* blob = std::get_if<Blob>(&params[i])) {
                values[i] = reinterpret_cast<const char*>(blob->bytes.data());
                lengths[i] = static_cast<int>(blob->bytes.size());
                formats[i] = BINARY;
            }
        }
        const std::string text(sql);
        PGresult* result =
            PQexecParams(conn_, text.c_str(), static_cast<int>(params.size()), nullptr,
                         values.data(), lengths.data(), formats.data(), BINARY);
        std::unique_ptr<PGresult, void (*)(PGresult*)> owned(result, PQclear);
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) Fail(result);
        std::vector<SqlRow> rows;
        const int count = PQntuples(result);
        const int columns = PQnfields(result);
        for (int r = 0; r < count; ++r) {
            SqlRow row;
            for (int c = 0; c < columns; ++c) row.push_back(Column(result, r, c));
            rows.push_back(std::move(row));
        }
        return rows;
    }

    void Execute(std::string_view sql) override {
        const std::string text(sql);
        PGresult* result = PQexec(conn_, text.c_str());
        std::unique_ptr<PGresult, void (*)(PGresult*)> owned(result, PQclear);
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) Fail(result);
    }

    void BeginExclusive() override {
        Execute("BEGIN");
        Query("SELECT pg_advisory_xact_lock($1)", {SCHEMA_LOCK});
    }
    void Commit() override { Execute("COMMIT"); }
    void Rollback() override {
        if (Healthy()) PQclear(PQexec(conn_, "ROLLBACK"));
    }

private:
    [[noreturn]] void Fail(const PGresult* result) {
        std::string message = result != nullptr ? PQresultErrorMessage(result) : "";
        if (message.empty()) message = PQerrorMessage(conn_);
        while (!message.empty() && message.back() == '\n') message.pop_back();
        throw DatabaseUnavailable("PostgreSQL: " + message);
    }

    static SqlValue Column(const PGresult* result, int r, int c) {
        if (PQgetisnull(result, r, c) != 0) return nullptr;
        const char* data = PQgetvalue(result, r, c);
        const int size = PQgetlength(result, r, c);
        switch (PQftype(result, c)) {
            case INT8_OID:
            case INT4_OID:
            case INT2_OID:
            case BOOL_OID:
                return BigEndian(data, size);
            case BYTEA_OID:
                return Blob{std::vector<std::uint8_t>(data, data + size)};
            default:
                return std::string(data, static_cast<std::size_t>(size));
        }
    }

    PGconn* conn_ = nullptr;
};

class PostgresDatabase final : public SqlDatabase {
public:
    explicit PostgresDatabase(std::string url) : url_(std::move(url)) {}

    void With(const std::function<void(SqlConnection&)>& work) override {
        // A connection whose work threw (mid-transaction, or its server gone) is closed, not
        // handed out again.
        std::unique_ptr<PostgresConnection> connection = Take();
        work(*connection);
        Give(std::move(connection));
    }

private:
    std::unique_ptr<PostgresConnection> Take() {
        {
            const std::lock_guard lock(mutex_);
            if (!idle_.empty()) {
                std::unique_ptr<PostgresConnection> connection = std::move(idle_.back());
                idle_.pop_back();
                if (connection->Healthy()) return connection;
            }
        }
        return std::make_unique<PostgresConnection>(url_);
    }

    void Give(std::unique_ptr<PostgresConnection> connection) {
        if (!connection->Healthy()) return;
        const std::lock_guard lock(mutex_);
        if (idle_.size() < IDLE_CONNECTIONS) idle_.push_back(std::move(connection));
    }

    std::string url_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<PostgresConnection>> idle_;
};

}  // namespace

std::unique_ptr<SqlDatabase> OpenPostgres(const std::string& url) {
    return std::make_unique<PostgresDatabase>(url);
}
