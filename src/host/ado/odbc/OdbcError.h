#pragma once
// Driver diagnostics turned into the host's error object. The description carries the driver's
// own message and SQLSTATE so that a rejected statement or a wrong data source explains itself.

#include "host/HostError.h"
#include "host/ado/AdoErrors.h"
#include "host/ado/odbc/OdbcHandles.h"

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>

namespace paperloom::host::ado::odbc {

class OdbcError : public HostError {
public:
    OdbcError(std::string sqlState, std::string description);

    // Five-character SQLSTATE of the first diagnostic record ("" when the driver gave none).
    const std::string& SqlState() const noexcept { return sqlState_; }

private:
    std::string sqlState_;
};

// Reads every diagnostic record of the handle. `context` says what was being attempted and
// starts the description when the driver gave no records at all.
[[noreturn]] void ThrowDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle, TextMode mode,
                                   std::string_view context);

// Throws unless `rc` is SQL_SUCCESS or SQL_SUCCESS_WITH_INFO.
inline void Check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, TextMode mode,
                  std::string_view context) {
    if (!SQL_SUCCEEDED(rc)) ThrowDiagnostics(handleType, handle, mode, context);
}

}  // namespace paperloom::host::ado::odbc
