#pragma once
// Decides which engine serves a connection string:
//   a bare data-source name, DSN=, FILEDSN= or Driver= strings -> ODBC;
//   File Name=<data link file> -> the string inside the file, routed again;
//   Provider=Microsoft.Jet.OLEDB.4.0 (or ACE);Data Source=<file> -> by the file's format:
//     SQLite files built in, Access files through an installed MDB ODBC driver;
//   Provider=SQLite;Data Source=<file or :memory:> -> SQLite;
//   Provider=MSDASQL;... -> ODBC with the remaining keys.

#include <filesystem>
#include <string>
#include <string_view>

namespace paperloom::host::ado {

enum class ProviderKind { Odbc, Sqlite };

struct ProviderRoute {
    ProviderKind kind = ProviderKind::Odbc;
    std::string target;  // ODBC connection string, or the SQLite file path / ":memory:"

    // Identity of the database for the session pool.
    std::string Key() const { return (kind == ProviderKind::Odbc ? "odbc:" : "sqlite:") + target; }
};

struct RouterEnvironment {
    // Where installed ODBC drivers are listed; empty = ODBCSYSINI or /etc/odbcinst.ini.
    std::filesystem::path odbcinstIni;
};

// Throws HostError with a message that says what is wrong or missing.
ProviderRoute RouteConnectionString(std::string_view connectionString,
                                    const RouterEnvironment& environment = {});

// The name of the first installed ODBC driver whose section name contains `namePart`
// (without regard to case), or "" when there is none.
std::string FindInstalledOdbcDriver(std::string_view namePart, const RouterEnvironment& environment = {});

}  // namespace paperloom::host::ado
