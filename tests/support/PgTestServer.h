#pragma once
// A private PostgreSQL server for tests: initdb + pg_ctl in a temporary folder, listening on a
// free port of 127.0.0.1 only, trust authentication for the user "paperloom", UTF8 encoding and
// its unix socket inside the folder. Stopping removes the folder; a watchdog process does the
// same if the test process dies without cleaning up.

#include <filesystem>
#include <optional>
#include <string>

namespace paperloom::test {

class PgTestServer {
public:
    static constexpr const char* kUser = "paperloom";
    static constexpr const char* kDatabase = "paperloom";
    static constexpr const char* kHost = "127.0.0.1";

    // The newest installed server's bin folder (initdb, pg_ctl, psql), if any.
    static std::optional<std::filesystem::path> FindBinDir();

    // Starts the server and creates the database; throws std::runtime_error with the server's
    // log when it cannot.
    PgTestServer();
    ~PgTestServer();
    PgTestServer(const PgTestServer&) = delete;
    PgTestServer& operator=(const PgTestServer&) = delete;

    int Port() const noexcept { return port_; }
    const std::filesystem::path& Directory() const noexcept { return directory_; }

    // Runs statements through psql, stopping at the first error (throws with psql's output).
    void RunSql(const std::string& sql) const;

    // Attribute list for the psqlODBC driver ("Servername=...;Port=...;...").
    std::string OdbcAttributes() const;

private:
    void Start();
    void Stop() noexcept;

    std::filesystem::path bin_;
    std::filesystem::path directory_;
    std::filesystem::path data_;
    int port_ = 0;
    int watchdogPipe_ = -1;
    int watchdogPid_ = -1;
};

// One server per test process, started on first use and stopped at exit. Returns nullptr when
// PostgreSQL is not installed (tests then skip); throws when it is installed but fails.
PgTestServer* SharedPgTestServer();

}  // namespace paperloom::test
