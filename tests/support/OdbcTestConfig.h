#pragma once
// A private ODBC configuration for tests: odbcinst.ini and odbc.ini in a temporary folder, with
// the driver manager pointed at them through ODBCSYSINI and ODBCINI. The system's own files
// are never read or written.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace paperloom::test {

class PgTestServer;

class OdbcTestConfig {
public:
    static constexpr const char* kSqliteDriver = "SQLite3";
    static constexpr const char* kPgDriver = "PostgreSQL Unicode";

    // The driver library in the multiarch ODBC folder (or another usual place), if installed.
    static std::optional<std::filesystem::path> FindDriverLibrary(std::string_view fileName);

    OdbcTestConfig();
    ~OdbcTestConfig();
    OdbcTestConfig(const OdbcTestConfig&) = delete;
    OdbcTestConfig& operator=(const OdbcTestConfig&) = delete;

    bool HasSqliteDriver() const noexcept { return !sqliteDriver_.empty(); }
    bool HasPgDriver() const noexcept { return !pgDriver_.empty(); }
    const std::filesystem::path& Directory() const noexcept { return directory_; }

    // Defines a data source and rewrites odbc.ini. Drivers cache what they read, so a name
    // keeps its first definition: defining it again the same way does nothing, differently
    // throws std::logic_error (use a new name for another database).
    void AddDataSource(const std::string& name, const std::string& driver,
                       const std::map<std::string, std::string>& attributes);
    void AddSqliteDataSource(const std::string& name, const std::filesystem::path& database);
    void AddPgDataSource(const std::string& name, const PgTestServer& server);

private:
    void WriteDataSources() const;

    std::filesystem::path directory_;
    std::filesystem::path sqliteDriver_;
    std::filesystem::path pgDriver_;
    std::map<std::string, std::map<std::string, std::string>> dataSources_;
    std::optional<std::string> previousSysIni_;
    std::optional<std::string> previousIni_;
};

// One configuration per test process, made on first use and removed at exit.
OdbcTestConfig& SharedOdbcTestConfig();

}  // namespace paperloom::test
