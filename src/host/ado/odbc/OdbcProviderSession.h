#pragma once
// One ODBC login as a provider session: statements, tables and procedure calls, schema lists.

#include "host/ado/Provider.h"
#include "host/ado/odbc/OdbcHandles.h"

#include <string>

namespace paperloom::host::ado::odbc {

class OdbcProviderSession final : public ProviderSession {
public:
    explicit OdbcProviderSession(const std::string& connectionString);

    ResultSet Execute(const std::string& statement, CommandTypeEnum commandType) override;
    ResultSet OpenSchema(SchemaEnum schema) override;
    SqlDialect Dialect() const noexcept override { return dialect_; }
    bool IsUsable() noexcept override;

private:
    ResultSet Run(const std::string& statement);
    ResultSet OpenTable(const std::string& table);
    ResultSet CallProcedure(const std::string& procedure);
    std::string GetInfoText(SQLUSMALLINT infoType) const;

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
