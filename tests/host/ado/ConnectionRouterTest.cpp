#include "host/ado/ConnectionRouter.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "host/HostError.h"
#include "host/ado/ConnectionString.h"
#include "host/ado/DataLinkFile.h"

namespace paperloom::host::ado {
namespace {

using testing::ScratchFolder;

long RouteError(const std::string& text, const RouterEnvironment& env = {}, std::string* message = nullptr) {
    try {
        (void)RouteConnectionString(text, env);
    } catch (const HostError& e) {
        if (message) *message = e.Description();
        return e.Number();
    }
    return 0;
}

TEST(ConnectionStringParse, QuotedAndBracedValuesKeepTheirSemicolons) {
    const auto cs = ConnectionString::Parse(
        " Provider = SQLite ; Data Source=\"a;b.db\"; Driver={My; Driver};PWD='it''s';Empty=;;Flag");
    EXPECT_EQ(cs.Get("provider"), "SQLite");
    EXPECT_EQ(cs.Get("DATA SOURCE"), "a;b.db");
    EXPECT_EQ(cs.Get("Driver"), "{My; Driver}");
    EXPECT_EQ(cs.Get("pwd"), "it's");
    EXPECT_EQ(cs.Get("Empty"), "");
    EXPECT_EQ(cs.Get("Flag"), "");
    EXPECT_FALSE(cs.Get("Missing"));
    EXPECT_EQ(ConnectionString::Parse(cs.Join({"provider"})).Get("Data Source"), "a;b.db");
}

TEST(ConnectionRouting, OdbcNamesAndStrings) {
    EXPECT_EQ(RouteConnectionString("売上DB").target, "DSN=売上DB");
    EXPECT_EQ(RouteConnectionString("売上DB").kind, ProviderKind::Odbc);
    EXPECT_EQ(RouteConnectionString("DSN=Sales;UID=a").target, "DSN=Sales;UID=a");
    EXPECT_EQ(RouteConnectionString("Driver={PostgreSQL Unicode};Server=x").kind, ProviderKind::Odbc);
    EXPECT_EQ(RouteConnectionString("Provider=MSDASQL;DSN=Sales").target, "DSN=Sales");
    EXPECT_EQ(RouteConnectionString("Provider=MSDASQL.1;Persist Security Info=False;Data Source=Sales").target,
              "DSN=Sales");
    EXPECT_EQ(RouteConnectionString(
                  "Provider=MSDASQL.1;Persist Security Info=True;User ID=sa;Password=pw;"
                  "Extended Properties=\"DSN=Sales;SERVER=db1\";Initial Catalog=shop")
                  .target,
              "DSN=Sales;SERVER=db1;DATABASE=shop;UID=sa;PWD=pw");
    EXPECT_EQ(RouteConnectionString("Provider=MSDASQL;Extended Properties=\"Driver={X};UID=u\";User ID=other").target,
              "Driver={X};UID=u");
    EXPECT_EQ(RouteError("Provider=MSDASQL"), 3001);
}

TEST(ConnectionRouting, DatabaseFilesOpenByTheirFormat) {
    ScratchFolder folder;
    const std::string db = folder.File("sales.db");
    testing::RunSqlite(db, "CREATE TABLE t(a);");
    const auto route =
        RouteConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + db + ";Persist Security Info=False");
    EXPECT_EQ(route.kind, ProviderKind::Sqlite);
    EXPECT_EQ(route.target, db);
    EXPECT_EQ(RouteConnectionString("Provider=SQLite;Data Source=" + db).target, db);
    EXPECT_EQ(RouteConnectionString("Provider=SQLite;Data Source=:memory:").target, ":memory:");

    std::string message;
    EXPECT_EQ(RouteError("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder.File("none.mdb"), {}, &message),
              -2147467259);
    EXPECT_NE(message.find("none.mdb"), std::string::npos);
    EXPECT_NE(RouteError("Provider=SQLite;Data Source=" + folder.File("none.db")), 0);

    folder.Write("notes.mdb", "just some text, not a database at all");
    EXPECT_NE(RouteError("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder.File("notes.mdb"), {}, &message), 0);
    EXPECT_NE(message.find("形式"), std::string::npos);
}

TEST(ConnectionRouting, AccessFilesNeedAnInstalledMdbDriver) {
    ScratchFolder folder;
    std::string header(4, '\0');
    header += "Standard Jet DB";
    header += std::string(100, '\0');
    folder.Write("old.mdb", header);
    const std::string cs = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder.File("old.mdb");

    folder.Write("none.ini", "[ODBC]\nTrace=No\n[PostgreSQL Unicode]\nDriver=psqlodbcw.so\n");
    std::string message;
    EXPECT_EQ(RouteError(cs, {folder.Path() / "none.ini"}, &message), 3706);
    EXPECT_NE(message.find("odbc-mdbtools"), std::string::npos);

    folder.Write("with.ini", "[PostgreSQL Unicode]\nDriver=x\n [MDBTools]\nDriver=libmdbodbc.so\n");
    const auto route = RouteConnectionString(cs, {folder.Path() / "with.ini"});
    EXPECT_EQ(route.kind, ProviderKind::Odbc);
    EXPECT_EQ(route.target, "Driver={MDBTools};DBQ=" + folder.File("old.mdb"));
}

TEST(ConnectionRouting, DataLinkFilesAreReadAndRoutedRelativeToTheirFolder) {
    ScratchFolder folder;
    testing::RunSqlite(folder.File("data.db"), "CREATE TABLE t(a);");
    folder.Write("sales.udl", testing::Utf16DataLink("Provider=SQLite;Data Source=data.db"));
    const auto route = RouteConnectionString("File Name=" + folder.File("sales.udl"));
    EXPECT_EQ(route.kind, ProviderKind::Sqlite);
    EXPECT_EQ(route.target, (folder.Path() / "data.db").string());

    folder.Write("dsn.udl", testing::Utf16DataLink("Provider=MSDASQL.1;Persist Security Info=False;Data Source=Sales"));
    EXPECT_EQ(RouteConnectionString("File Name=" + folder.File("dsn.udl")).target, "DSN=Sales");

    folder.Write("loop.udl", testing::Utf16DataLink("File Name=" + folder.File("loop.udl")));
    EXPECT_EQ(RouteError("File Name=" + folder.File("loop.udl")), 3001);
    EXPECT_NE(RouteError("File Name=" + folder.File("missing.udl")), 0);
    folder.Write("plain.udl", "no header\r\nProvider=SQLite;Data Source=x\r\n");
    EXPECT_NE(RouteError("File Name=" + folder.File("plain.udl")), 0);
}

TEST(DataLinkText, DecodesEachEncodingAndSkipsComments) {
    EXPECT_EQ(ParseDataLinkText("\xEF\xBB\xBF[oledb]\n;c\n\nDSN=a\n", "x"), "DSN=a");
    EXPECT_EQ(ParseDataLinkText(std::string("\xFE\xFF\0[\0o\0l\0e\0d\0b\0]\0\n\0D\0=\x30\xA2", 24), "x"),
              "D=\xE3\x82\xA2");  // big-endian, with a katakana letter
    EXPECT_EQ(Utf16ToUtf8(std::string("\x3D\xD8\x00\xDE", 4), false), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::string("\x3D\xD8", 2), false), "\xEF\xBF\xBD");
    EXPECT_THROW((void)ParseDataLinkText("[oledb]\n; only comments\n", "x"), HostError);
}

TEST(ConnectionRouting, BadStringsFailWithClearErrors) {
    std::string message;
    EXPECT_EQ(RouteError("", {}, &message), 3001);
    EXPECT_EQ(RouteError("   "), 3001);
    EXPECT_EQ(RouteError("Provider=SQLOLEDB;Data Source=srv", {}, &message), 3706);
    EXPECT_NE(message.find("SQLOLEDB"), std::string::npos);
    EXPECT_EQ(RouteError("User ID=a;Password=hunter2", {}, &message), 3001);
    EXPECT_EQ(message.find("hunter2"), std::string::npos) << message;  // never shown back
    EXPECT_EQ(RouteError("Provider=SQLite"), 3001);
    EXPECT_EQ(RouteError("a;b"), 3001);
}

}  // namespace
}  // namespace paperloom::host::ado
