#pragma once
// The embedded provider: one SQLite database file (or an in-memory database) per session.

#include <memory>
#include <string>

#include "host/ado/Provider.h"

struct sqlite3;

namespace paperloom::host::ado {

// ADO type code for a declared SQLite column type ("DATE", "DECIMAL(10,2)", "TEXT", ...);
// adEmpty when the declaration gives no hint and the values must decide.
DataTypeEnum DataTypeFromDeclaredType(std::string_view declared);

class SqliteSession final : public ProviderSession {
public:
    // Opens an existing file read-write (never creates one), or ":memory:". Throws HostError.
    explicit SqliteSession(const std::string& path);
    ~SqliteSession() override;

    ResultSet Execute(const std::string& statement, CommandTypeEnum commandType) override;
    ResultSet OpenSchema(SchemaEnum schema) override;
    SqlDialect Dialect() const noexcept override { return SqlDialect::SQLite; }
    bool IsUsable() noexcept override;

private:
    struct Closer {
        void operator()(sqlite3* db) const noexcept;
    };
    ResultSet Run(const std::string& sql);
    std::unique_ptr<sqlite3, Closer> db_;
    std::string path_;
    // The file's identity at open; a file replaced since then makes the session unusable, so
    // the pool does not serve the old database's rows.
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
};

}  // namespace paperloom::host::ado
