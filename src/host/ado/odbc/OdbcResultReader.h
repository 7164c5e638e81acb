#pragma once
// Reads the current result of an executed statement into a client-side snapshot: column
// descriptions with their data-type codes, then every row, NULLs as Null.

#include "host/ado/Provider.h"
#include "host/ado/odbc/OdbcHandles.h"

namespace paperloom::host::ado::odbc {

// Describes the `columnCount` (> 0) result columns of `statement`.
std::vector<ColumnInfo> DescribeColumns(const StatementHandle& statement, SQLSMALLINT columnCount);

// Fetches all remaining rows of the current result.
ResultSet ReadResultSet(const StatementHandle& statement, SQLSMALLINT columnCount);

// Runs the statement's results forward to the first one with columns and reads it; a statement
// without rows reports the number of records it affected instead.
ResultSet ReadFirstResult(const StatementHandle& statement);

}  // namespace paperloom::host::ado::odbc
