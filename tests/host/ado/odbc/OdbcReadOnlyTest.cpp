// Record sources through ODBC are only read, on SQLite's driver and on PostgreSQL: statements
// that would write, and a second statement after the first, are refused and the data stays as
// it was; reading statements, tables and procedures that only read still open.
#include "OdbcTestConfig.h"
#include "PgTestServer.h"

#include "host/HostError.h"
#include "host/ado/Connection.h"
#include "host/ado/Recordset.h"
#include "host/ado/SessionPool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace paperloom::host::ado {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class OdbcReadOnly : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        auto& config = test::SharedOdbcTestConfig();
        SessionPool::Instance().Clear();
        connection_ = std::make_shared<Connection>();
        if (Postgres()) {
            if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
            server_ = test::SharedPgTestServer();
            if (!server_) GTEST_SKIP() << "PostgreSQL is not installed";
            config.AddPgDataSource("PaperloomPgReadOnly", *server_);
            server_->RunSql(
                "DROP TABLE IF EXISTS staff CASCADE; CREATE TABLE staff (id int, name text);"
                "INSERT INTO staff VALUES (1, '田中'), (2, '高橋'), (3, '伊藤');"
                "CREATE OR REPLACE FUNCTION staff_list() RETURNS SETOF staff LANGUAGE sql "
                "AS $$ SELECT * FROM staff ORDER BY id $$;"
                "CREATE OR REPLACE FUNCTION staff_purge() RETURNS SETOF staff LANGUAGE sql "
                "AS $$ DELETE FROM staff RETURNING * $$;");
            connection_->Open("PaperloomPgReadOnly");
        } else {
            if (!config.HasSqliteDriver()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
            file_ = config.Directory() / "readonly.db";
            fs::remove(file_);
            config.AddSqliteDataSource("PaperloomSqliteReadOnly", file_);
            connection_->Open("PaperloomSqliteReadOnly");
            connection_->Execute("CREATE TABLE staff (id INTEGER, name VARCHAR(20))");
            connection_->Execute("INSERT INTO staff VALUES (1, '田中'), (2, '高橋'), (3, '伊藤')");
            original_ = Bytes(file_);
        }
    }
    void TearDown() override {
        if (connection_) connection_->Close();
        SessionPool::Instance().Clear();
    }

    bool Postgres() const { return GetParam() == "PostgreSQL"; }

    long Count() {
        Recordset rs;
        rs.Open("SELECT * FROM staff", connection_);
        return rs.RecordCount();
    }

    std::string Refusal(const std::string& source, CommandTypeEnum type = CommandTypeEnum::adCmdText) {
        try {
            Recordset rs;
            rs.Open(source, connection_, type);
        } catch (const HostError& error) {
            return error.Description();
        }
        return {};
    }

    test::PgTestServer* server_ = nullptr;
    fs::path file_;
    std::string original_;
    std::shared_ptr<Connection> connection_;
};

TEST_P(OdbcReadOnly, WritingStatementsAreRefusedAndTheDataStays) {
    std::vector<std::string> writes = {"DELETE FROM staff", "DROP TABLE staff", "UPDATE staff SET name = 'x'",
                                       "INSERT INTO staff VALUES (9, 'x')"};
    const fs::path copy = fs::temp_directory_path() / "paperloom-odbc-vacuum-copy.db";
    fs::remove(copy);
    if (Postgres()) {
        writes.insert(writes.end(), {"VACUUM staff", "WITH d AS (DELETE FROM staff RETURNING *) SELECT * FROM d",
                                     "SELECT * FROM staff_purge()"});
    } else {
        writes.insert(writes.end(), {"PRAGMA journal_mode=WAL", "VACUUM INTO '" + copy.string() + "'",
                                     "INSERT INTO staff VALUES (9, 'x') RETURNING *"});
    }
    for (const auto& statement : writes) EXPECT_NE(Refusal(statement), "") << statement << " was run";
    for (const std::string statement :
         {"SELECT * FROM staff; DELETE FROM staff", "SELECT * FROM staff WHERE 1=1; DELETE FROM staff --"}) {
        EXPECT_NE(Refusal(statement).find("複数の SQL 文"), std::string::npos) << statement;
    }
    if (Postgres()) {
        EXPECT_NE(Refusal("staff_purge", CommandTypeEnum::adCmdStoredProc), "");
    }

    EXPECT_EQ(Count(), 3);
    if (!Postgres()) {
        connection_->Close();
        SessionPool::Instance().Clear();
        EXPECT_TRUE(Bytes(file_) == original_) << "the database file changed";
        EXPECT_FALSE(fs::exists(copy));
    }
}

TEST_P(OdbcReadOnly, ReadsTablesAndProceduresAndExecuteStillWrites) {
    EXPECT_EQ(Count(), 3);
    Recordset table;
    table.Open("staff", connection_, CommandTypeEnum::adCmdTable);
    EXPECT_EQ(table.RecordCount(), 3);
    Recordset trailing;
    trailing.Open("SELECT * FROM staff WHERE name <> 'a;b'; -- the staff", connection_);
    EXPECT_EQ(trailing.RecordCount(), 3);
    if (Postgres()) {
        Recordset procedure;
        procedure.Open("staff_list", connection_, CommandTypeEnum::adCmdStoredProc);
        EXPECT_EQ(procedure.RecordCount(), 3);
    }
    // A rejected read leaves the session in a state to read and write again.
    EXPECT_NE(Refusal("DELETE FROM staff"), "");
    connection_->Execute("DELETE FROM staff WHERE id = 3");
    EXPECT_EQ(Count(), 2);
}

INSTANTIATE_TEST_SUITE_P(Drivers, OdbcReadOnly, ::testing::Values("SQLite", "PostgreSQL"));

}  // namespace
}  // namespace paperloom::host::ado
