#pragma once
// Owners of the three ODBC handle kinds. Each frees its handle exactly once; the connection
// also disconnects first when it was connected.

#include <sql.h>
#include <sqlext.h>

#include <string_view>

namespace paperloom::host::ado::odbc {

// How text crosses the driver manager for one connection. Drivers with wide entry points take
// UTF-16 unchanged; for the others the driver manager would narrow wide text unit by unit and
// lose every non-ASCII character, so they get UTF-8 through the narrow calls.
enum class TextMode { Wide, Utf8 };

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
    void DriverConnect(std::string_view connectionString, TextMode mode);
    bool Connected() const noexcept { return connected_; }
    TextMode Mode() const noexcept { return mode_; }
    SQLHDBC Get() const noexcept { return handle_; }

private:
    SQLHDBC handle_ = SQL_NULL_HDBC;
    bool connected_ = false;
    TextMode mode_ = TextMode::Wide;
};

class StatementHandle {
public:
    explicit StatementHandle(const ConnectionHandle& connection);
    ~StatementHandle();
    StatementHandle(const StatementHandle&) = delete;
    StatementHandle& operator=(const StatementHandle&) = delete;

    SQLHSTMT Get() const noexcept { return handle_; }
    TextMode Mode() const noexcept { return mode_; }
    // Throws OdbcError with this statement's diagnostics unless `rc` succeeded.
    void Check(SQLRETURN rc, std::string_view context) const;

private:
    SQLHSTMT handle_ = SQL_NULL_HSTMT;
    TextMode mode_ = TextMode::Wide;
};

}  // namespace paperloom::host::ado::odbc
