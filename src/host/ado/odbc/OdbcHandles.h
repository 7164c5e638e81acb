#pragma once
// Owners of the three ODBC handle kinds. Each frees its handle exactly once; the connection
// also disconnects first when it was connected.

#include <sql.h>
#include <sqlext.h>

#include <string_view>

namespace paperloom::host::ado::odbc {

class EnvironmentHandle {
public:
    EnvironmentHandle();  // ODBC 3 behaviour
    ~EnvironmentHandle();
    EnvironmentHandle(const EnvironmentHandle&) = delete;
    EnvironmentHandle& operator=(const EnvironmentHandle&) = delete;

    SQLHENV Get() const noexcept { return handle_; }

private:
    SQLHENV handle_ = SQL_NULL_HENV;
};

class ConnectionHandle {
public:
    explicit ConnectionHandle(const EnvironmentHandle& environment);
    ~ConnectionHandle();
    ConnectionHandle(const ConnectionHandle&) = delete;
    ConnectionHandle& operator=(const ConnectionHandle&) = delete;

    // Connects without ever prompting; throws OdbcError with the driver's diagnostics.
    void DriverConnect(std::string_view connectionString);
    bool Connected() const noexcept { return connected_; }
    SQLHDBC Get() const noexcept { return handle_; }

private:
    SQLHDBC handle_ = SQL_NULL_HDBC;
    bool connected_ = false;
};

class StatementHandle {
public:
    explicit StatementHandle(const ConnectionHandle& connection);
    ~StatementHandle();
    StatementHandle(const StatementHandle&) = delete;
    StatementHandle& operator=(const StatementHandle&) = delete;

    SQLHSTMT Get() const noexcept { return handle_; }
    // Throws OdbcError with this statement's diagnostics unless `rc` succeeded.
    void Check(SQLRETURN rc, std::string_view context) const;

private:
    SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

}  // namespace paperloom::host::ado::odbc
