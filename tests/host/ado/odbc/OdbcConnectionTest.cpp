// The data-access objects over ODBC: connection strings as templates store them, client-side
// recordsets on rows from real drivers, and the session pool in front of a real server.
#include "OdbcTestConfig.h"
#include "PgTestServer.h"

#include "host/HostError.h"
#include "host/ado/Connection.h"
#include "host/ado/Recordset.h"
#include "host/ado/SessionPool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace paperloom::host::ado {
namespace {

using enum DataTypeEnum;

std::string FieldText(const Recordset& rs, const char* name) {
    return ToDisplayText(rs.Fields().Item(name).Value());
}

// The same sales data on both databases; the tests below must pass on either.
class OdbcRecordset : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        auto& config = test::SharedOdbcTestConfig();
        if (GetParam() == "PostgreSQL") {
            if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
            auto* server = test::SharedPgTestServer();
            if (!server) GTEST_SKIP() << "PostgreSQL is not installed";
            config.AddPgDataSource("PaperloomPgSales", *server);
            server->RunSql("DROP TABLE IF EXISTS sales; DROP FUNCTION IF EXISTS sales_of(text);");
            dataSource_ = "PaperloomPgSales";
        } else {
            if (!config.HasSqliteDriver()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
            const auto file = config.Directory() / "sales.db";
            std::filesystem::remove(file);
            config.AddSqliteDataSource("PaperloomSqliteSales", file);
            dataSource_ = "PaperloomSqliteSales";
        }
        SessionPool::Instance().Clear();
        connection_ = std::make_shared<Connection>();
        connection_->Open(dataSource_);  // a bare data-source name, as type "1" stores it
        Run("CREATE TABLE sales (id INTEGER, shop VARCHAR(10), item VARCHAR(40), "
            "qty INTEGER, price NUMERIC(12,2), ordered DATE)");
        Run("INSERT INTO sales VALUES (1, 'A', 'りんご', 3, 120.50, '2024-01-05')");
        Run("INSERT INTO sales VALUES (2, 'B', 'みかん', 10, 80, '2024-02-10')");
        Run("INSERT INTO sales VALUES (3, 'A', 'ぶどう', 1, 450.25, '2024-02-01')");
        Run("INSERT INTO sales VALUES (4, NULL, 'もも', 5, NULL, NULL)");
        Run("INSERT INTO sales VALUES (5, 'B', 'りんご', 7, 120.50, '2024-03-31')");
    }

    void TearDown() override {
        if (connection_) connection_->Close();
    }

    void Run(const std::string& statement) {
        connection_->Execute(statement, nullptr, CommandTypeEnum::adCmdText);
    }

    std::shared_ptr<Recordset> Open(const std::string& source,
                                    CommandTypeEnum type = CommandTypeEnum::adCmdText) {
        auto rs = std::make_shared<Recordset>();
        rs->Open(source, connection_, type);
        return rs;
    }

    std::string dataSource_;
    std::shared_ptr<Connection> connection_;
};

TEST_P(OdbcRecordset, NavigatesFindsFiltersAndSorts) {
    const auto rs = Open("SELECT * FROM sales ORDER BY id");
    ASSERT_EQ(rs->RecordCount(), 5);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_EQ(rs->Fields().Item("qty").Type(), adInteger);
    EXPECT_EQ(rs->Fields().Item("ordered").Type(), adDBDate);
    rs->MoveLast();
    EXPECT_EQ(FieldText(*rs, "id"), "5");
    rs->MovePrevious();
    const Variant bookmark = rs->Bookmark();
    rs->MoveFirst();
    rs->Move(0, bookmark);
    EXPECT_EQ(FieldText(*rs, "item"), "もも");
    // Nulls read as Null and show as empty text.
    EXPECT_TRUE(rs->Fields().Item("shop").Value().IsNull());
    EXPECT_EQ(FieldText(*rs, "price"), "");

    rs->MoveFirst();
    rs->Find("item = 'りんご'", 1);
    EXPECT_EQ(FieldText(*rs, "id"), "5");
    rs->Find("shop = 'A'", 0, SearchDirectionEnum::adSearchBackward);
    EXPECT_EQ(FieldText(*rs, "id"), "3");
    rs->Find("item = 'なし'");
    EXPECT_TRUE(rs->IsEOF());
    rs->MoveFirst();
    rs->Find("ordered >= #2024/02/05#");
    EXPECT_EQ(FieldText(*rs, "id"), "2");

    rs->SetFilter("shop = 'B'");
    EXPECT_EQ(rs->RecordCount(), 2);
    rs->SetFilter("");
    rs->SetSort("price DESC, id");
    EXPECT_EQ(FieldText(*rs, "id"), "3");
    rs->MoveNext();
    EXPECT_EQ(FieldText(*rs, "id"), "1");  // 120.50 ties broken by id
    // Exact decimals compare and show without binary rounding.
    EXPECT_EQ(FieldText(*rs, "price"), "120.5");
    rs->MoveLast();
    EXPECT_TRUE(rs->Fields().Item("price").Value().IsNull());
}

TEST_P(OdbcRecordset, StatementsWithDateLiteralsAndBlankComparisons) {
    // The idioms templates store are adapted before they reach the database.
    auto rs = Open("SELECT id FROM sales WHERE ordered < #2024/02/02# ORDER BY id");
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(FieldText(*rs, "id"), "1");
    rs = Open("SELECT id FROM sales WHERE shop =NULL ''");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(FieldText(*rs, "id"), "4");
    long affected = -1;
    connection_->Execute("UPDATE sales SET qty = qty + 1 WHERE shop = 'B'", &affected);
    EXPECT_EQ(affected, 2);
}

TEST_P(OdbcRecordset, TablesAndSchemaLists) {
    const auto table = Open("sales", CommandTypeEnum::adCmdTable);
    EXPECT_EQ(table->RecordCount(), 5);

    const auto tables = connection_->OpenSchema(SchemaEnum::adSchemaTables);
    std::set<std::string> names;
    for (; !tables->IsEOF(); tables->MoveNext()) names.insert(FieldText(*tables, "TABLE_NAME"));
    EXPECT_TRUE(names.count("sales"));

    const auto columns = connection_->OpenSchema(SchemaEnum::adSchemaColumns);
    columns->Find("TABLE_NAME='sales'");
    bool sawQty = false;
    while (!columns->IsEOF()) {
        if (FieldText(*columns, "COLUMN_NAME") == "qty") {
            sawQty = true;
            EXPECT_EQ(columns->Fields().Item("DATA_TYPE").Value(), Variant(static_cast<int>(adInteger)));
        }
        columns->Find("TABLE_NAME='sales'", 1);
    }
    EXPECT_TRUE(sawQty);
}

TEST_P(OdbcRecordset, RejectedStatementKeepsTheConnection) {
    try {
        Open("SELECT missing_column FROM nowhere");
        FAIL() << "expected an error";
    } catch (const HostError& error) {
        EXPECT_NE(error.Description().find("nowhere"), std::string::npos) << error.Description();
    }
    EXPECT_EQ(Open("SELECT id FROM sales")->RecordCount(), 5);
}

INSTANTIATE_TEST_SUITE_P(Drivers, OdbcRecordset, ::testing::Values("SQLite", "PostgreSQL"));

TEST(OdbcConnection, UnknownDataSourceNameFailsClearly) {
    test::SharedOdbcTestConfig();
    Connection connection;
    try {
        connection.Open("NoSuchPaperloomSource", "user", "pw");
        FAIL() << "expected an error";
    } catch (const HostError& error) {
        EXPECT_NE(error.Description().find("IM002"), std::string::npos) << error.Description();
    }
    EXPECT_EQ(connection.State(), ObjectStateEnum::adStateClosed);
}

TEST(OdbcConnection, StoredProcedureOnPostgreSQL) {
    auto& config = test::SharedOdbcTestConfig();
    auto* server = test::SharedPgTestServer();
    if (!server || !config.HasPgDriver()) GTEST_SKIP() << "PostgreSQL or psqlODBC missing";
    config.AddPgDataSource("PaperloomPgProc", *server);
    server->RunSql(
        "DROP TABLE IF EXISTS staff CASCADE; CREATE TABLE staff (id int, name text, dept text);"
        "INSERT INTO staff VALUES (1, '田中', '営業'), (2, '高橋', '経理'), (3, '伊藤', '営業');"
        "CREATE OR REPLACE FUNCTION staff_list() RETURNS SETOF staff LANGUAGE sql "
        "AS $$ SELECT * FROM staff ORDER BY id $$;");
    auto connection = std::make_shared<Connection>();
    connection->Open("DSN=PaperloomPgProc");
    auto rs = std::make_shared<Recordset>();
    rs->Open("staff_list", connection, CommandTypeEnum::adCmdStoredProc);
    ASSERT_EQ(rs->RecordCount(), 3);
    rs->SetFilter("dept = '営業'");
    EXPECT_EQ(rs->RecordCount(), 2);
    rs->MoveLast();
    EXPECT_EQ(FieldText(*rs, "name"), "伊藤");

    const auto procedures = connection->OpenSchema(SchemaEnum::adSchemaProcedures);
    procedures->Find("PROCEDURE_NAME='staff_list'");
    EXPECT_FALSE(procedures->IsEOF());
}

TEST(OdbcConnection, ThousandOpensOfOneDataSourceLogInOnce) {
    auto& config = test::SharedOdbcTestConfig();
    auto* server = test::SharedPgTestServer();
    if (!server || !config.HasPgDriver()) GTEST_SKIP() << "PostgreSQL or psqlODBC missing";
    config.AddPgDataSource("PaperloomPgPool", *server);
    SessionPool::Instance().Clear();
    const std::size_t openedBefore = SessionPool::Instance().OpenedCount();
    std::set<std::string> backends;
    for (int i = 0; i < 1000; ++i) {
        Connection connection;
        connection.Open("PaperloomPgPool", "paperloom", "");
        const auto rs = connection.Execute("SELECT pg_backend_pid() AS pid");
        backends.insert(FieldText(*rs, "pid"));
        connection.Close();
    }
    EXPECT_EQ(backends.size(), 1u);
    EXPECT_EQ(SessionPool::Instance().OpenedCount() - openedBefore, 1u);

    // A pooled session whose backend was killed is replaced, not handed out broken.
    server->RunSql("SELECT pg_terminate_backend(" + *backends.begin() + ")");
    Connection again;
    again.Open("PaperloomPgPool", "paperloom", "");
    EXPECT_NE(FieldText(*again.Execute("SELECT pg_backend_pid() AS pid"), "pid"), *backends.begin());
}

}  // namespace
}  // namespace paperloom::host::ado
