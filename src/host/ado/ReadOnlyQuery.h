#pragma once
// The rules a record source opened for a report follows on every provider: one statement, and
// nothing that changes the database. The providers enforce them with their own means (SQLite
// asks its parser, ODBC sessions read inside a transaction that is rolled back); the lexing and
// the messages are shared here.

#include <string_view>

#include "host/ado/Provider.h"

namespace paperloom::host::ado {

// Offset of the ';' ending the first statement of `sql` (quotes, comments and, for
// PostgreSQL, dollar-quoted bodies and E'' escapes respected), or sql.size() when there is none.
std::size_t FirstStatementEnd(std::string_view sql, SqlDialect dialect);

// True when something other than blanks, comments and ';' follows the first statement.
bool HasFurtherStatements(std::string_view sql, SqlDialect dialect);

// HostError kNotAllowed: the record source holds more than one statement.
[[noreturn]] void ThrowSeveralStatements(const std::string& source);
// HostError kNotAllowed: the record source would change the database (or reads no rows).
[[noreturn]] void ThrowWritingStatement(const std::string& source);

}  // namespace paperloom::host::ado
