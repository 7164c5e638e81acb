#pragma once
// Rewrites the idioms of stored record-source statements that a target database does not
// accept, at the moment the statement is sent. The stored text itself never changes.
//   #2024/01/05#          -> a date literal of the dialect
//   Name =NULL ''         -> Name IS NULL      (a comparison with NULL is never true)
//   Name <>NULL ''        -> Name IS NOT NULL
//   LIKE 'A*'             -> LIKE 'A%'         (only when the pattern has no % or _)
//   [Field Name]          -> "Field Name"      (PostgreSQL and generic ODBC)
// Nothing inside quoted literals or quoted identifiers is touched.

#include <string>
#include <string_view>

#include "host/ado/Provider.h"

namespace paperloom::host::ado {

std::string AdaptStatement(std::string_view statement, SqlDialect dialect);

}  // namespace paperloom::host::ado
