// Connections routed to ODBC, served by the SQLite ODBC driver where it is installed, so the
// routed strings, the pool and the recordset are exercised through a real driver manager.

#include <gtest/gtest.h>

#include <cstdlib>

#include "TestFiles.h"
#include "host/HostError.h"
#include "host/ado/Connection.h"
#include "host/ado/ConnectionRouter.h"
#include "host/ado/Recordset.h"
#include "host/ado/SessionPool.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define PAPERLOOM_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/lsan_interface.h>
#define PAPERLOOM_LSAN 1
#endif
#endif

namespace paperloom::host::ado {
namespace {

using testing::ScratchFolder;

// The SQLite ODBC driver leaks the attributes it reads from a data-source entry, inside the
// driver library itself; those allocations are not this program's to free.
class DriverLeaksIgnored {
public:
#ifdef PAPERLOOM_LSAN
    DriverLeaksIgnored() { __lsan_disable(); }
    ~DriverLeaksIgnored() { __lsan_enable(); }
#else
    DriverLeaksIgnored() {}  // NOLINT: user-provided so that a const instance is allowed
#endif
    DriverLeaksIgnored(const DriverLeaksIgnored&) = delete;
    DriverLeaksIgnored& operator=(const DriverLeaksIgnored&) = delete;
};

class OdbcRoute : public ::testing::Test {
protected:
    void SetUp() override {
        driver_ = FindInstalledOdbcDriver("SQLite3");
        if (driver_.empty()) GTEST_SKIP() << "the SQLite3 ODBC driver is not installed";
        path_ = folder_.File("odbc.db");
        testing::RunSqlite(path_, R"sql(
            CREATE TABLE Customers(Code INTEGER PRIMARY KEY, Name VARCHAR(40), Since DATE);
            INSERT INTO Customers VALUES (1, '山田商店', '2020-04-01'), (2, '佐藤工業', '2021-10-15'),
                                         (3, 'ＡＢＣ物産', NULL);
        )sql");
    }

    std::string DriverString() const { return "Driver={" + driver_ + "};Database=" + path_; }

    ScratchFolder folder_;
    std::string driver_;
    std::string path_;
};

TEST_F(OdbcRoute, DriverStringsOpenThroughTheDriverManager) {
    auto c = std::make_shared<Connection>();
    c->Open(DriverString());
    auto rs = std::make_shared<Recordset>();
    rs->Open("SELECT * FROM Customers WHERE Since >= #2021/01/01# OR Since =NULL '' ORDER BY Code", c);
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->Fields().Item("Name").Value().AsString(), "佐藤工業");
    rs->MoveNext();
    EXPECT_EQ(rs->Fields().Item("Name").Value().AsString(), "ＡＢＣ物産");
    EXPECT_TRUE(rs->Fields().Item("Since").Value().IsNull());
    rs->MovePrevious();
    rs->Find("Name LIKE '*工業'");
    EXPECT_EQ(rs->AbsolutePosition(), 1);

    auto tables = c->OpenSchema(SchemaEnum::adSchemaTables);
    tables->Find("TABLE_NAME = 'Customers'");
    EXPECT_FALSE(tables->IsEOF());
}

TEST_F(OdbcRoute, DataSourceNamesAndDataLinkFilesReachTheSameDatabase) {
    // A user data source written for this test only.
    folder_.Write("odbc.ini", "[PaperloomTestSales]\nDriver=" + driver_ + "\nDatabase=" + path_ + "\n");
    ::setenv("ODBCINI", folder_.File("odbc.ini").c_str(), 1);
    const DriverLeaksIgnored ignored;
    Connection byName;
    try {
        byName.Open("PaperloomTestSales");
    } catch (const HostError& e) {
        ::unsetenv("ODBCINI");
        GTEST_SKIP() << "the driver manager does not read ODBCINI here: " << e.Description();
    }
    EXPECT_EQ(byName.Execute("SELECT count(*) AS n FROM Customers")->Fields().Item(0L).Value().AsInteger(), 3);
    folder_.Write("sales.udl", testing::Utf16DataLink("Provider=MSDASQL.1;Persist Security Info=False;Data Source=PaperloomTestSales"));
    Connection byLink;
    byLink.Open("File Name=" + folder_.File("sales.udl"));
    EXPECT_EQ(byLink.Execute("SELECT Name FROM Customers WHERE Code = 1")->Fields().Item(0L).Value().AsString(),
              "山田商店");
    ::unsetenv("ODBCINI");
}

TEST_F(OdbcRoute, RepeatedOpensReuseOneLogin) {
    auto& pool = SessionPool::Instance();
    const std::size_t before = pool.OpenedCount();
    for (int i = 0; i < 500; ++i) {
        Connection c;
        c.Open(DriverString(), "reader", "secret");
        ASSERT_EQ(c.Execute("SELECT Code FROM Customers")->RecordCount(), 3);
    }
    EXPECT_EQ(pool.OpenedCount() - before, 1u);
}

TEST_F(OdbcRoute, RejectedStatementsCarryTheDriversMessage) {
    Connection c;
    c.Open(DriverString());
    try {
        c.Execute("SELECT Nope FROM Customers");
        FAIL() << "the statement must fail";
    } catch (const HostError& e) {
        EXPECT_NE(e.Description().find("Nope"), std::string::npos) << e.Description();
    }
    Connection missing;
    EXPECT_THROW(missing.Open("DSN=NoSuchDataSourceForPaperloom"), HostError);
    EXPECT_EQ(missing.State(), ObjectStateEnum::adStateClosed);
}

}  // namespace
}  // namespace paperloom::host::ado
