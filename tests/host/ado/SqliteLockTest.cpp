// A SQLite file another program holds locked: a report waits a bounded time and then fails
// with "database is locked", neither hanging nor failing at once.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>

#include "TestFiles.h"
#include "host/HostError.h"
#include "host/ado/Connection.h"
#include "host/ado/Recordset.h"
#include "host/ado/SessionPool.h"

namespace paperloom::host::ado {
namespace {

TEST(SqliteLock, AReadWaitsForALockedFileAndThenSaysItIsLocked) {
    testing::ScratchFolder folder;
    const std::string path = folder.File("busy.db");
    testing::RunSqlite(path, "CREATE TABLE t(a); INSERT INTO t VALUES (1);");

    // The other program: an exclusive transaction on its own connection.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> other(raw, &sqlite3_close);
    ASSERT_EQ(sqlite3_exec(other.get(), "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    ::setenv("PAPERLOOM_QUERY_TIMEOUT", "1", 1);
    SessionPool::Instance().Clear();
    auto connection = std::make_shared<Connection>();
    const auto started = std::chrono::steady_clock::now();
    std::string description;
    try {
        connection->Open("Provider=SQLite;Data Source=" + path);
        Recordset rs;
        rs.Open("SELECT * FROM t", connection);
        ADD_FAILURE() << "read a file another connection holds exclusively";
    } catch (const HostError& error) {
        description = error.Description();
    }
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    ::unsetenv("PAPERLOOM_QUERY_TIMEOUT");
    EXPECT_NE(description.find("database is locked"), std::string::npos) << description;
    EXPECT_GE(waited, 0.8) << "gave up without waiting";
    EXPECT_LT(waited, 4.0) << "waited past the limit";

    // Released, the file reads again.
    ASSERT_EQ(sqlite3_exec(other.get(), "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    SessionPool::Instance().Clear();
    auto again = std::make_shared<Connection>();
    again->Open("Provider=SQLite;Data Source=" + path);
    Recordset rs;
    rs.Open("SELECT * FROM t", again);
    EXPECT_EQ(rs.RecordCount(), 1);
}

}  // namespace
}  // namespace paperloom::host::ado
