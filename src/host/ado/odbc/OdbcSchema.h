#pragma once
// Schema lists from the ODBC catalog functions, renamed and retyped as the data-access layer
// reports them (column names such as TABLE_NAME, DATA_TYPE as data-type codes).

#include "host/ado/Provider.h"
#include "host/ado/odbc/OdbcHandles.h"

namespace paperloom::host::ado::odbc {

ResultSet ReadSchema(const ConnectionHandle& connection, SchemaEnum schema, SqlDialect dialect);

}  // namespace paperloom::host::ado::odbc
