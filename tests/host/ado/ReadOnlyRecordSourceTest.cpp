// Record sources are only read: a statement that would change the database, or text holding a
// second statement, is refused before anything runs and the file stays as it was; writing
// remains possible through Connection::Execute. Also the statement lexer behind the
// one-statement rule for ODBC, the password mask of every message and the time limits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "TestFiles.h"
#include "host/HostError.h"
#include "host/ado/AdoErrors.h"
#include "host/ado/Connection.h"
#include "host/ado/DatabaseTimeouts.h"
#include "host/ado/PasswordMask.h"
#include "host/ado/ReadOnlyQuery.h"
#include "host/ado/Recordset.h"
#include "host/ado/SessionPool.h"

namespace paperloom::host::ado {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ReadOnlyRecordSource : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = folder_.File("staff.db");
        testing::RunSqlite(path_,
                           "CREATE TABLE Staff(Id INTEGER, Name TEXT); "
                           "INSERT INTO Staff VALUES (1, '田中'), (2, '高橋'), (3, '伊藤');");
        original_ = Bytes(path_);
        SessionPool::Instance().Clear();
        connection_ = std::make_shared<Connection>();
        connection_->Open("Provider=SQLite;Data Source=" + path_);
    }

    // The error number and description of opening `source`, or 0 when it opened.
    long OpenError(const std::string& source, std::string* description,
                   CommandTypeEnum type = CommandTypeEnum::adCmdText) {
        try {
            Recordset rs;
            rs.Open(source, connection_, type);
        } catch (const HostError& error) {
            *description = error.Description();
            return error.Number();
        }
        return 0;
    }

    testing::ScratchFolder folder_;
    std::string path_;
    std::string original_;
    std::shared_ptr<Connection> connection_;
};

TEST_F(ReadOnlyRecordSource, WritingStatementsAreRefusedAndTheFileStaysAsItWas) {
    const std::string copy = folder_.File("copy.db");
    for (const std::string& statement : std::vector<std::string>{
             "DELETE FROM Staff", "DROP TABLE Staff", "UPDATE Staff SET Name = 'x'", "INSERT INTO Staff VALUES (9, 'x')",
          "PRAGMA journal_mode=WAL", "VACUUM", "VACUUM INTO '" + copy + "'", "CREATE TABLE t(a)",
          "PRAGMA user_version = 7", "WITH d AS (SELECT 1) DELETE FROM Staff",
          "INSERT INTO Staff VALUES (9, 'x') RETURNING *"}) {
        for (const auto type : {CommandTypeEnum::adCmdText, CommandTypeEnum::adCmdUnknown}) {
            // A lone word of unspecified type names a table.
            if (type == CommandTypeEnum::adCmdUnknown && statement.find(' ') == std::string::npos) continue;
            std::string description;
            EXPECT_EQ(OpenError(statement, &description, type), errors::kNotAllowed) << statement;
            EXPECT_NE(description.find("実行しません"), std::string::npos) << description;
        }
    }
    // The second statement never runs, whatever the first is; the check parses, never runs.
    for (const std::string statement :
         {"SELECT * FROM Staff; DELETE FROM Staff", "SELECT * FROM Staff WHERE 1=1; DELETE FROM Staff --",
          "SELECT 1; SELECT 2", "SELECT * FROM Staff; garbage that does not parse"}) {
        std::string description;
        EXPECT_EQ(OpenError(statement, &description), errors::kNotAllowed) << statement;
        EXPECT_NE(description.find("複数の SQL 文"), std::string::npos) << description;
    }
    connection_->Close();
    SessionPool::Instance().Clear();
    EXPECT_TRUE(Bytes(path_) == original_) << "the database file changed";
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_FALSE(fs::exists(path_ + "-wal"));
}

TEST_F(ReadOnlyRecordSource, ReadingStatementsTablesAndTrailingCommentsStillOpen) {
    for (const std::string statement :
         {"SELECT * FROM Staff", "SELECT * FROM Staff;", "  SELECT * FROM Staff ;; -- the staff\n",
          "/* list */ SELECT * FROM Staff /* done */", "SELECT * FROM Staff WHERE Name <> 'a;b' -- x; DELETE",
          "WITH s AS (SELECT * FROM Staff) SELECT * FROM s"}) {
        Recordset rs;
        ASSERT_NO_THROW(rs.Open(statement, connection_)) << statement;
        EXPECT_EQ(rs.RecordCount(), 3) << statement;
    }
    Recordset table;
    table.Open("Staff", connection_, CommandTypeEnum::adCmdTable);
    EXPECT_EQ(table.RecordCount(), 3);
    // A statement that reads nothing leaves the recordset closed, as before.
    Recordset none;
    none.Open("-- nothing", connection_);
    EXPECT_EQ(none.State(), ObjectStateEnum::adStateClosed);
}

TEST_F(ReadOnlyRecordSource, ExecuteIsTheWayToWrite) {
    long affected = 0;
    connection_->Execute("DELETE FROM Staff WHERE Id = 3; INSERT INTO Staff VALUES (4, '山本')", &affected);
    Recordset rs;
    rs.Open("SELECT * FROM Staff ORDER BY Id", connection_);
    ASSERT_EQ(rs.RecordCount(), 3);
    rs.MoveLast();
    EXPECT_EQ(rs.Fields().Item("Name").Value().AsString(), "山本");
}

TEST(StatementLexer, FindsASecondStatementOnlyOutsideQuotesAndComments) {
    using enum SqlDialect;
    for (const SqlDialect dialect : {SQLite, PostgreSQL, GenericOdbc}) {
        EXPECT_FALSE(HasFurtherStatements("SELECT 'a;b', \"c;d\" FROM t", dialect));
        EXPECT_FALSE(HasFurtherStatements("SELECT 1 -- ; DELETE FROM t", dialect));
        EXPECT_FALSE(HasFurtherStatements("SELECT 1 /* ; DELETE */ ;  ;\n-- end\n/* end */", dialect));
        EXPECT_FALSE(HasFurtherStatements("SELECT 'it''s; fine'", dialect));
        EXPECT_FALSE(HasFurtherStatements("SELECT 1;", dialect));
        EXPECT_TRUE(HasFurtherStatements("SELECT 1; DELETE FROM t", dialect));
        EXPECT_TRUE(HasFurtherStatements("SELECT * FROM t WHERE 1=1; DELETE FROM t --", dialect));
        EXPECT_TRUE(HasFurtherStatements("SELECT 'a' ; /* x */ DROP TABLE t", dialect));
        EXPECT_EQ(FirstStatementEnd("SELECT ';'; x", dialect), 10u);
    }
    // PostgreSQL: dollar-quoted bodies, E'' escapes, nested comments; $1 is a parameter.
    EXPECT_FALSE(HasFurtherStatements("SELECT $$a;b$$, $tag$ ; $$ ; $tag$", PostgreSQL));
    EXPECT_FALSE(HasFurtherStatements("SELECT E'it\\'s; fine'", PostgreSQL));
    EXPECT_FALSE(HasFurtherStatements("SELECT 1 /* a /* b */ ; */", PostgreSQL));
    EXPECT_TRUE(HasFurtherStatements("SELECT $1; DELETE FROM t", PostgreSQL));
    EXPECT_TRUE(HasFurtherStatements("SELECT 'a\\'; DELETE FROM t --'", PostgreSQL));
    // Brackets quote names on SQLite and file databases.
    EXPECT_FALSE(HasFurtherStatements("SELECT [a;b] FROM t", SQLite));
    EXPECT_TRUE(HasFurtherStatements("SELECT arr[1]; DELETE FROM t", PostgreSQL));
}

TEST(PasswordMask, HidesEveryFormOfPasswordAndKeepsTheRest) {
    const std::string text =
        "Driver={PostgreSQL Unicode};Server=db;UID=sato;pwd={se;cr}}et};Port=5432\n"
        "Provider=MSDASQL;PASSWORD='p;w''d';User ID=x\nDSN=a;Password = \"q;\"\"r\";PwD=plain value;x=1";
    const std::string masked = MaskPasswords(text);
    for (const char* secret : {"se;cr", "cr}}et", "p;w", "w''d", "q;", "\"r", "plain value"})
        EXPECT_EQ(masked.find(secret), std::string::npos) << secret << " in " << masked;
    for (const char* kept : {"Driver={PostgreSQL Unicode}", "UID=sato", "Port=5432", "User ID=x", "DSN=a", "x=1",
                             "pwd=********;", "PASSWORD=********;", "Password = ********;"})
        EXPECT_NE(masked.find(kept), std::string::npos) << kept << " missing from " << masked;
    // An unterminated brace may all be the password.
    EXPECT_EQ(MaskPasswords("PWD={abc;def"), "PWD=********");
    // Words that merely contain the key, and prose about passwords, stay.
    EXPECT_EQ(MaskPasswords("MyPWD=1; password authentication failed"), "MyPWD=1; password authentication failed");
    // The password given beside the string, wherever it appears.
    EXPECT_EQ(MaskPasswords("login for TopSecret7 failed (TopSecret7)", {"TopSecret7"}),
              "login for ******** failed (********)");
    // A short one only where it stands alone, so the message stays readable.
    EXPECT_EQ(MaskPasswords("user abc: abc failed", {"abc"}), "user ********: ******** failed");
    EXPECT_EQ(MaskPasswords("abcdef", {"abc"}), "abcdef");
    EXPECT_EQ(MaskPasswords("nothing", {""}), "nothing");
}

TEST(DatabaseTimeouts, ComeFromTheEnvironmentWhenValid) {
    ::unsetenv("PAPERLOOM_LOGIN_TIMEOUT");
    ::unsetenv("PAPERLOOM_QUERY_TIMEOUT");
    DatabaseTimeouts defaults = DatabaseTimeouts::FromEnvironment();
    EXPECT_EQ(defaults.login.count(), 30);
    EXPECT_EQ(defaults.query.count(), 300);
    EXPECT_EQ(defaults.sqliteLockWait.count(), 5000);
    ::setenv("PAPERLOOM_LOGIN_TIMEOUT", "7", 1);
    ::setenv("PAPERLOOM_QUERY_TIMEOUT", "2", 1);
    const DatabaseTimeouts set = DatabaseTimeouts::FromEnvironment();
    EXPECT_EQ(set.login.count(), 7);
    EXPECT_EQ(set.query.count(), 2);
    EXPECT_EQ(set.sqliteLockWait.count(), 2000) << "the lock wait never outlasts the query limit";
    for (const char* bad : {"0", "-5", "ten", "3s", ""}) {
        ::setenv("PAPERLOOM_QUERY_TIMEOUT", bad, 1);
        EXPECT_EQ(DatabaseTimeouts::FromEnvironment().query.count(), 300) << bad;
    }
    ::unsetenv("PAPERLOOM_LOGIN_TIMEOUT");
    ::unsetenv("PAPERLOOM_QUERY_TIMEOUT");
}

}  // namespace
}  // namespace paperloom::host::ado
