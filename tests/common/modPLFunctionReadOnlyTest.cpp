// Record sources opened from template settings only read, and say why when they are refused;
// the error box never shows a connection string's password.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>

#include "CommonTestSupport.h"
#include "common/modPLFunction.h"
#include "host/ado/AdoErrors.h"
#include "host/ado/Connection.h"
#include "host/ado/Recordset.h"
#include "host/ado/SessionPool.h"

namespace paperloom::modPLFunction {
namespace {

std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ReadOnlyRecordSources, AWritingSourceOrFilterGivesTheReasonAndChangesNothing) {
    test::TempFolder folder;
    const auto path = folder.Path() / "staff.db";
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> guard(db, &sqlite3_close);
        ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE Staff (ID INTEGER, Name TEXT); INSERT INTO Staff VALUES (1, 'a');",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
    }
    const std::string original = Bytes(path);
    host::ado::SessionPool::Instance().Clear();
    const auto attempt = TryOpenConnection("4", path.string(), "", "", folder.Path().string());
    ASSERT_TRUE(attempt.connection);

    const auto written = TryOpenRecordset(attempt.connection, "1", "DELETE FROM Staff", "", "", "", "");
    EXPECT_FALSE(written.recordset);
    ASSERT_TRUE(written.error);
    EXPECT_EQ(written.error->Number(), host::ado::errors::kNotAllowed);
    EXPECT_EQ(OpenRecordset(attempt.connection, "1", "DROP TABLE Staff", "", "", "", ""), nullptr);

    const auto filtered = TryOpenRecordset(attempt.connection, "2", "Staff", "", "", "1=1; DELETE FROM Staff --", "");
    ASSERT_TRUE(filtered.error);
    EXPECT_NE(filtered.error->Description().find("複数の SQL 文"), std::string::npos);

    const auto read = TryOpenRecordset(attempt.connection, "2", "Staff", "", "", "ID = 1", "");
    ASSERT_TRUE(read.recordset);
    EXPECT_FALSE(read.error);
    EXPECT_EQ(read.recordset->RecordCount(), 1);
    // Nothing to open is neither a recordset nor an error.
    const auto nothing = TryOpenRecordset(attempt.connection, "x", "Staff", "", "", "", "");
    EXPECT_FALSE(nothing.recordset || nothing.error);

    attempt.connection->Close();
    host::ado::SessionPool::Instance().Clear();
    EXPECT_TRUE(Bytes(path) == original);
}

TEST(ReadOnlyRecordSources, TheErrorBoxMasksPasswords) {
    const std::string text = MakeErrorReportText(
        "ADODB", -2147467259, "Login failed: DSN=Sales;UID=sato;PWD={a;b}}c};Server=x; Password='d;e'");
    EXPECT_EQ(text, "ADODBエラー(80004005)\n\nLogin failed: DSN=Sales;UID=sato;PWD=********;Server=x; Password=********");
    // Nor does the password stored beside the string, whatever key the string repeats it under.
    const auto attempt = TryOpenConnection("2", "Server=db;PWD=Zebra42;Secret=Quiet99", "sato", "Quiet99", "");
    ASSERT_TRUE(attempt.error);
    const std::string& description = attempt.error->Description();
    EXPECT_NE(description.find("Server=db"), std::string::npos) << description;
    EXPECT_EQ(description.find("Zebra42"), std::string::npos) << description;
    EXPECT_EQ(description.find("Quiet99"), std::string::npos) << description;
}

}  // namespace
}  // namespace paperloom::modPLFunction
