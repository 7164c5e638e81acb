#pragma once
// One ODBC login as a provider session: statements, tables and procedure calls, schema lists.

#include "host/ado/DatabaseTimeouts.h"
#include "host/ado/Provider.h"
#include "host/ado/odbc/OdbcHandles.h"

#include <string>

namespace paperloom::host::ado::odbc {

class OdbcProviderSession final : public ProviderSession {
public:
    // Logs in within `timeouts.login`; every statement is limited to `timeouts.query`.
    explicit OdbcProviderSession(const std::string& connectionString,
                                 const DatabaseTimeouts& timeouts = DatabaseTimeouts::FromEnvironment());

    ResultSet Execute(const std::string& statement, CommandTypeEnum commandType) override;
    // Reads inside a transaction that is always rolled back (declared read-only on PostgreSQL),
    // after refusing a second statement and, before running it, one the driver describes as
    // returning no columns.
    ResultSet Query(const std::string& source, CommandTypeEnum commandType) override;
    ResultSet OpenSchema(SchemaEnum schema) override;
    SqlDialect Dialect() const noexcept override { return dialect_; }
    bool IsUsable() noexcept override;

private:
    enum class Access { ReadWrite, ReadOnly };
    ResultSet Run(const std::string& statement, Access access);
    ResultSet RunStatement(const std::string& statement, Access access);
    ResultSet OpenTable(const std::string& table, Access access);
    ResultSet CallProcedure(const std::string& procedure, Access access);
    ResultSet Dispatch(const std::string& statement, CommandTypeEnum commandType, Access access);
    std::string GetInfoText(SQLUSMALLINT infoType) const;

    DatabaseTimeouts timeouts_;
    EnvironmentHandle environment_;
    ConnectionHandle connection_;
    SqlDialect dialect_ = SqlDialect::GenericOdbc;
    std::string identifierQuote_;
};

// The statement a table opens with: the name quoted as one identifier unless it already
// carries quotes or brackets, or the driver has no quote character.
std::string TableStatement(const std::string& table, const std::string& identifierQuote);

// The call escape for a procedure name, with or without an argument list.
std::string CallStatement(const std::string& procedure);

// What the database product name reported by the driver means for statement rewriting.
SqlDialect DialectFromProductName(const std::string& productName) noexcept;

}  // namespace paperloom::host::ado::odbc
