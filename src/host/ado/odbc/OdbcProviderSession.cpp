#include "host/ado/odbc/OdbcProviderSession.h"

#include "host/DebugLog.h"
#include "host/ado/AdoErrors.h"
#include "host/ado/ReadOnlyQuery.h"
#include "host/ado/odbc/OdbcConnectionString.h"
#include "host/ado/odbc/OdbcDriverLibrary.h"
#include "host/ado/odbc/OdbcError.h"
#include "host/ado/odbc/OdbcResultReader.h"
#include "host/ado/odbc/OdbcSchema.h"
#include "host/ado/odbc/OdbcSession.h"
#include "host/ado/odbc/OdbcText.h"
#include "host/AsciiText.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <vector>

namespace paperloom::host::ado::odbc {

namespace {

using Clock = std::chrono::steady_clock;

SQLPOINTER Seconds(std::chrono::seconds limit) {
    return reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(std::max<long long>(limit.count(), 0)));
}

// A failure after waiting out a limit says which limit it was and how to change it: the
// drivers' own words ("timeout expired", "canceling statement") do not.
[[noreturn]] void ThrowWithTimeHint(const OdbcError& error, Clock::duration waited, std::chrono::seconds limit,
                                    const char* variable, const char* what) {
    const std::string& state = error.SqlState();
    const bool timeoutState = state == "HYT00" || state == "HYT01" || state == "57014";
    if (!timeoutState && waited + std::chrono::milliseconds(500) < limit) throw error;
    throw OdbcError(state, error.Description() + "\n" + what + std::to_string(limit.count()) +
                               " 秒以内に応答しませんでした (上限は環境変数 " + variable + " で秒数を指定できます)。");
}

// Autocommit off for one read: whatever the statement did is rolled back when it ends, so a
// record source leaves the database as it was. Drivers without transactions keep autocommit
// and rely on the statement checks alone.
class RollbackOnlyTransaction {
public:
    explicit RollbackOnlyTransaction(const ConnectionHandle& connection) : connection_(connection) {
        active_ = SQL_SUCCEEDED(SQLSetConnectAttrW(connection_.Get(), SQL_ATTR_AUTOCOMMIT,
                                                   reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF),
                                                   SQL_IS_UINTEGER));
    }
    ~RollbackOnlyTransaction() {
        if (!active_) return;
        SQLEndTran(SQL_HANDLE_DBC, connection_.Get(), SQL_ROLLBACK);
        SQLSetConnectAttrW(connection_.Get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                           SQL_IS_UINTEGER);
    }
    RollbackOnlyTransaction(const RollbackOnlyTransaction&) = delete;
    RollbackOnlyTransaction& operator=(const RollbackOnlyTransaction&) = delete;

    bool Active() const noexcept { return active_; }

private:
    const ConnectionHandle& connection_;
    bool active_ = false;
};

// A single word (letters of any script, digits, "_", "$", ".") that may name a table.
bool IsBareName(const std::string& text) {
    return !text.empty() && std::none_of(text.begin(), text.end(), [](unsigned char c) {
        return c < 0x80 && !std::isalnum(c) && c != '_' && c != '$' && c != '.';
    });
}

}  // namespace

std::string TableStatement(const std::string& table, const std::string& identifierQuote) {
    const std::string name(text::Trim(table));
    const bool quoted = !name.empty() && (name.front() == '"' || name.front() == '[' ||
                                          name.front() == '`');
    if (identifierQuote.empty() || identifierQuote == " " || quoted)
        return "SELECT * FROM " + name;
    std::string statement = "SELECT * FROM " + identifierQuote;
    for (char c : name) {
        statement += c;
        if (identifierQuote.size() == 1 && c == identifierQuote[0]) statement += c;
    }
    return statement + identifierQuote;
}

std::string CallStatement(const std::string& procedure) {
    const std::string name(text::Trim(procedure));
    if (!name.empty() && name.front() == '{') return name;
    // An explicit empty argument list: psqlODBC does not find the end of a name written in
    // other than ASCII letters by itself.
    if (name.find('(') == std::string::npos) return "{call " + name + "()}";
    return "{call " + name + "}";
}

SqlDialect DialectFromProductName(const std::string& productName) noexcept {
    try {
        const std::string lower = text::ToLower(productName);
        if (lower.find("postgres") != std::string::npos) return SqlDialect::PostgreSQL;
        if (lower.find("sqlite") != std::string::npos) return SqlDialect::SQLite;
    } catch (...) {
        debuglog::Swallowed("OdbcProviderSession.cpp: DialectFromProductName");
    }
    return SqlDialect::GenericOdbc;
}

OdbcProviderSession::OdbcProviderSession(const std::string& connectionString, const DatabaseTimeouts& timeouts)
    : timeouts_(timeouts), connection_(environment_) {
    // Limits a driver does not support are left to it (the calls then fail harmlessly).
    SQLSetConnectAttrW(connection_.Get(), SQL_ATTR_LOGIN_TIMEOUT, Seconds(timeouts_.login), 0);
    SQLSetConnectAttrW(connection_.Get(), SQL_ATTR_CONNECTION_TIMEOUT, Seconds(timeouts_.query), 0);
    const auto started = Clock::now();
    try {
        connection_.DriverConnect(connectionString, DetectTextMode(environment_, connectionString));
    } catch (const OdbcError& error) {
        ThrowWithTimeHint(error, Clock::now() - started, timeouts_.login, "PAPERLOOM_LOGIN_TIMEOUT",
                          "データベース サーバーが ");
    }
    dialect_ = DialectFromProductName(GetInfoText(SQL_DBMS_NAME));
    identifierQuote_ = GetInfoText(SQL_IDENTIFIER_QUOTE_CHAR);
}

std::string OdbcProviderSession::GetInfoText(SQLUSMALLINT infoType) const {
    std::vector<SQLWCHAR> buffer(256);
    SQLSMALLINT bytes = 0;
    SQLRETURN rc = SQLGetInfoW(connection_.Get(), infoType, buffer.data(),
                               static_cast<SQLSMALLINT>(buffer.size() * sizeof(SQLWCHAR)), &bytes);
    if (!SQL_SUCCEEDED(rc)) return {};
    const auto units = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(bytes, 0)) /
                                                 sizeof(SQLWCHAR),
                                             buffer.size() - 1);
    return FromWide(buffer.data(), units);
}

ResultSet OdbcProviderSession::Run(const std::string& statement, Access access) {
    if (access == Access::ReadWrite) return RunStatement(statement, access);
    RollbackOnlyTransaction transaction(connection_);
    // PostgreSQL refuses every write of a read-only transaction with its own clear message.
    if (transaction.Active() && dialect_ == SqlDialect::PostgreSQL)
        RunStatement("SET TRANSACTION READ ONLY", Access::ReadWrite);
    return RunStatement(statement, access);
}

ResultSet OdbcProviderSession::RunStatement(const std::string& statement, Access access) {
    if (text::Trim(statement).empty())
        ThrowAdoError(errors::kInvalidArgument, kConnectionSource, "The statement is empty.");
    WideString wide = ToWide(statement);  // also rejects broken UTF-8 in either mode
    if (statement.size() > static_cast<std::size_t>(INT_MAX))
        ThrowAdoError(errors::kInvalidArgument, kConnectionSource, "The statement is too long.");
    StatementHandle handle(connection_);
    SQLSetStmtAttrW(handle.Get(), SQL_ATTR_QUERY_TIMEOUT, Seconds(timeouts_.query), 0);
    std::string narrow = statement;
    const auto started = Clock::now();
    SQLRETURN rc = SQL_ERROR;
    try {
        if (access == Access::ReadOnly) {
            // Prepared and described first: a statement without result columns is no read and
            // is refused before it runs.
            rc = handle.Mode() == TextMode::Wide
                     ? SQLPrepareW(handle.Get(), wide.data(), static_cast<SQLINTEGER>(wide.size()))
                     : SQLPrepare(handle.Get(), reinterpret_cast<SQLCHAR*>(narrow.data()),
                                  static_cast<SQLINTEGER>(narrow.size()));
            handle.Check(rc, "Preparing the statement");
            SQLSMALLINT columns = 0;
            handle.Check(SQLNumResultCols(handle.Get(), &columns), "Describing the statement");
            if (columns <= 0) ThrowWritingStatement(kConnectionSource);
            rc = SQLExecute(handle.Get());
        } else if (handle.Mode() == TextMode::Wide) {
            rc = SQLExecDirectW(handle.Get(), wide.data(), static_cast<SQLINTEGER>(wide.size()));
        } else {
            rc = SQLExecDirect(handle.Get(), reinterpret_cast<SQLCHAR*>(narrow.data()),
                               static_cast<SQLINTEGER>(narrow.size()));
        }
        // SQL_NO_DATA: a searched UPDATE or DELETE that matched no rows.
        if (rc != SQL_NO_DATA) handle.Check(rc, "Executing the statement");
    } catch (const OdbcError& error) {
        ThrowWithTimeHint(error, Clock::now() - started, timeouts_.query, "PAPERLOOM_QUERY_TIMEOUT",
                          "データベースが ");
    }
    if (rc == SQL_NO_DATA) {
        ResultSet none;
        none.recordsAffected = 0;
        return none;
    }
    return ReadFirstResult(handle);
}

ResultSet OdbcProviderSession::OpenTable(const std::string& table, Access access) {
    if (text::Trim(table).empty())
        ThrowAdoError(errors::kInvalidArgument, kConnectionSource, "The table name is empty.");
    try {
        return Run(TableStatement(table, identifierQuote_), access);
    } catch (const OdbcError&) {
        // The quoted name is the exact catalog name; a name typed as the database folds it
        // (or a schema-qualified one) only works unquoted.
        const std::string plain = "SELECT * FROM " + std::string(text::Trim(table));
        if (plain == TableStatement(table, identifierQuote_)) throw;
        try {
            return Run(plain, access);
        } catch (const OdbcError&) {
        }
        throw;
    }
}

ResultSet OdbcProviderSession::CallProcedure(const std::string& procedure, Access access) {
    if (text::Trim(procedure).empty())
        ThrowAdoError(errors::kInvalidArgument, kConnectionSource, "The procedure name is empty.");
    return Run(CallStatement(procedure), access);
}

ResultSet OdbcProviderSession::Dispatch(const std::string& statement, CommandTypeEnum commandType, Access access) {
    switch (commandType) {
        case CommandTypeEnum::adCmdTable: return OpenTable(statement, access);
        case CommandTypeEnum::adCmdStoredProc: return CallProcedure(statement, access);
        case CommandTypeEnum::adCmdUnknown:
            try {
                return Run(statement, access);
            } catch (const OdbcError&) {
                // A lone name is most likely a table.
                if (!IsBareName(std::string(text::Trim(statement)))) throw;
                try {
                    return OpenTable(statement, access);
                } catch (const OdbcError&) {
                }
                throw;
            }
        case CommandTypeEnum::adCmdText: break;
    }
    return Run(statement, access);
}

ResultSet OdbcProviderSession::Execute(const std::string& statement, CommandTypeEnum commandType) {
    return Dispatch(statement, commandType, Access::ReadWrite);
}

ResultSet OdbcProviderSession::Query(const std::string& source, CommandTypeEnum commandType) {
    const bool statement = commandType == CommandTypeEnum::adCmdText || commandType == CommandTypeEnum::adCmdUnknown;
    if (!statement) return Dispatch(source, commandType, Access::ReadOnly);
    if (HasFurtherStatements(source, dialect_)) ThrowSeveralStatements(kConnectionSource);
    // Only blanks and comments follow the ';': sent without them, since drivers that prepare
    // one statement (SQLite's) take the rest for a second one.
    return Dispatch(source.substr(0, FirstStatementEnd(source, dialect_)), commandType, Access::ReadOnly);
}

ResultSet OdbcProviderSession::OpenSchema(SchemaEnum schema) {
    return ReadSchema(connection_, schema, dialect_);
}

bool OdbcProviderSession::IsUsable() noexcept {
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (SQL_SUCCEEDED(SQLGetConnectAttrW(connection_.Get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0,
                                         nullptr)) &&
        dead == SQL_CD_TRUE)
        return false;
    // The attribute only learns of a lost server after a failed call; a server database gets
    // a round trip. Other engines answer "SELECT 1" differently, so they keep the attribute.
    if (dialect_ != SqlDialect::PostgreSQL) return true;
    try {
        StatementHandle handle(connection_);
        SQLSetStmtAttrW(handle.Get(), SQL_ATTR_QUERY_TIMEOUT, Seconds(timeouts_.query), 0);
        WideString ping = ToWide("SELECT 1");
        return SQL_SUCCEEDED(
            SQLExecDirectW(handle.Get(), ping.data(), static_cast<SQLINTEGER>(ping.size())));
    } catch (...) {
        debuglog::Swallowed("OdbcProviderSession.cpp: OdbcProviderSession::IsUsable");
        return false;
    }
}

}  // namespace paperloom::host::ado::odbc

namespace paperloom::host::ado {

std::unique_ptr<ProviderSession> OpenOdbcSession(const std::string& odbcConnectionString,
                                                 const std::string& user,
                                                 const std::string& password) {
    return std::make_unique<odbc::OdbcProviderSession>(
        odbc::WithCredentials(odbcConnectionString, user, password));
}

}  // namespace paperloom::host::ado
