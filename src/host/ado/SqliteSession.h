#pragma once
// The embedded provider: one SQLite database file (or an in-memory database) per session.

#include <chrono>
#include <memory>
#include <string>

#include "host/ado/DatabaseTimeouts.h"
#include "host/ado/Provider.h"

struct sqlite3;
struct sqlite3_stmt;

namespace paperloom::host::ado {

// ADO type code for a declared SQLite column type ("DATE", "DECIMAL(10,2)", "TEXT", ...);
// adEmpty when the declaration gives no hint and the values must decide.
DataTypeEnum DataTypeFromDeclaredType(std::string_view declared);

class SqliteSession final : public ProviderSession {
public:
    // Opens an existing file read-write (never creates one), or ":memory:". A file another
    // program holds locked is waited for up to `lockWait`. Throws HostError.
    explicit SqliteSession(const std::string& path,
                           std::chrono::milliseconds lockWait = DatabaseTimeouts::FromEnvironment().sqliteLockWait);
    ~SqliteSession() override;

    ResultSet Execute(const std::string& statement, CommandTypeEnum commandType) override;
    // Refuses, before running it, a statement SQLite's parser says would write, and text
    // holding a second statement.
    ResultSet Query(const std::string& source, CommandTypeEnum commandType) override;
    ResultSet OpenSchema(SchemaEnum schema) override;
    SqlDialect Dialect() const noexcept override { return SqlDialect::SQLite; }
    bool IsUsable() noexcept override;

private:
    struct Closer {
        void operator()(sqlite3* db) const noexcept;
    };
    ResultSet Run(const std::string& sql);
    ResultSet RunReadOnly(const std::string& sql);
    // Steps a prepared statement to its end; its rows go into `result` when `collect`.
    void StepInto(sqlite3_stmt* stmt, ResultSet& result, bool collect);
    [[noreturn]] void ThrowError(const std::string& context) const;

    std::unique_ptr<sqlite3, Closer> db_;
    std::string path_;
    std::chrono::milliseconds lockWait_;
    // The file's identity at open; a file replaced since then makes the session unusable, so
    // the pool does not serve the old database's rows.
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
};

}  // namespace paperloom::host::ado
