#include "host/ado/odbc/OdbcHandles.h"

#include <dlfcn.h>

#include "host/ado/odbc/OdbcError.h"
#include "host/ado/odbc/OdbcText.h"

namespace paperloom::host::ado::odbc {

namespace {

// Some drivers (SQLite's among them) load the driver manager's installer library to read their
// data source's entry and unload it again on every connection. Each unload drops what the
// library had read without freeing it, so a long session lost memory with every connection,
// and each load read the files again. Held loaded for the process, the library keeps its cache.
void HoldInstallerLibrary() {
    static void* const installer = dlopen("libodbcinst.so.2", RTLD_LAZY | RTLD_GLOBAL);
    (void)installer;  // absent on a system without it: the drivers then cannot load it either
}

}  // namespace

EnvironmentHandle::EnvironmentHandle() {
    HoldInstallerLibrary();
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle_)))
        throw OdbcError({}, "The ODBC driver manager could not allocate an environment.");
    const SQLRETURN rc = SQLSetEnvAttr(handle_, SQL_ATTR_ODBC_VERSION,
                                       reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!SQL_SUCCEEDED(rc)) {
        SQLFreeHandle(SQL_HANDLE_ENV, handle_);
        throw OdbcError({}, "The ODBC driver manager does not support ODBC 3.");
    }
}

EnvironmentHandle::~EnvironmentHandle() { SQLFreeHandle(SQL_HANDLE_ENV, handle_); }

ConnectionHandle::ConnectionHandle(const EnvironmentHandle& environment) {
    Check(SQLAllocHandle(SQL_HANDLE_DBC, environment.Get(), &handle_), SQL_HANDLE_ENV,
          environment.Get(), TextMode::Wide, "Allocating an ODBC connection");
}

ConnectionHandle::~ConnectionHandle() {
    if (connected_) SQLDisconnect(handle_);
    SQLFreeHandle(SQL_HANDLE_DBC, handle_);
}

void ConnectionHandle::DriverConnect(std::string_view connectionString, TextMode mode) {
    mode_ = mode;
    const WideString wide = ToWide(connectionString);  // also rejects broken UTF-8
    if (wide.size() > 32767 || connectionString.size() > 32767)
        throw OdbcError({}, "The ODBC connection string is longer than a driver accepts.");
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQL_ERROR;
    if (mode == TextMode::Wide) {
        WideString text = wide;
        rc = SQLDriverConnectW(handle_, nullptr, text.data(), static_cast<SQLSMALLINT>(text.size()),
                               nullptr, 0, &outLength, SQL_DRIVER_NOPROMPT);
    } else {
        std::string text(connectionString);
        rc = SQLDriverConnect(handle_, nullptr, reinterpret_cast<SQLCHAR*>(text.data()),
                              static_cast<SQLSMALLINT>(text.size()), nullptr, 0, &outLength,
                              SQL_DRIVER_NOPROMPT);
    }
    Check(rc, SQL_HANDLE_DBC, handle_, mode, "Connecting to the ODBC data source");
    connected_ = true;
}

StatementHandle::StatementHandle(const ConnectionHandle& connection)
    : mode_(connection.Mode()) {
    odbc::Check(SQLAllocHandle(SQL_HANDLE_STMT, connection.Get(), &handle_), SQL_HANDLE_DBC,
                connection.Get(), mode_, "Allocating an ODBC statement");
}

StatementHandle::~StatementHandle() { SQLFreeHandle(SQL_HANDLE_STMT, handle_); }

void StatementHandle::Check(SQLRETURN rc, std::string_view context) const {
    odbc::Check(rc, SQL_HANDLE_STMT, handle_, mode_, context);
}

}  // namespace paperloom::host::ado::odbc
