#pragma once
// The data-type code a field reports for an ODBC column type.

#include "host/ado/DataTypes.h"

#include <sql.h>
#include <sqlext.h>

namespace paperloom::host::ado::odbc {

// Types without a code of their own (intervals, driver-specific types) read as wide text.
DataTypeEnum AdoTypeFromSqlType(SQLSMALLINT sqlType, bool isUnsigned = false) noexcept;

}  // namespace paperloom::host::ado::odbc
