// The provider against a private PostgreSQL server through psqlODBC's Unicode driver.
#include "OdbcTestHelpers.h"
#include "OdbcTestConfig.h"
#include "PgTestServer.h"

#include "host/HostError.h"
#include "host/ado/AdoErrors.h"
#include "host/ado/odbc/OdbcSession.h"

#include <gtest/gtest.h>

namespace paperloom::host::ado::odbc {
namespace {

using namespace testing;
using enum DataTypeEnum;

class OdbcPostgres : public ::testing::Test {
protected:
    void SetUp() override {
        auto& config = test::SharedOdbcTestConfig();
        if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC (psqlodbcw.so) is not installed";
        server_ = test::SharedPgTestServer();
        if (server_ == nullptr) GTEST_SKIP() << "PostgreSQL is not installed";
        config.AddPgDataSource("PaperloomPg", *server_);
        session_ = OpenOdbcSession("DSN=PaperloomPg", "", "");
        Sql("DROP SCHEMA public CASCADE; CREATE SCHEMA public;");
    }

    ResultSet Sql(const std::string& statement) {
        return session_->Execute(statement, CommandTypeEnum::adCmdText);
    }

    test::PgTestServer* server_ = nullptr;
    std::unique_ptr<ProviderSession> session_;
};

TEST_F(OdbcPostgres, ReadsTypesNullsDatesDecimalsAndJapaneseText) {
    Sql("CREATE TABLE 受注 (番号 integer, 小 smallint, 大 bigint, 率 real, 倍 double precision, "
        "金額 numeric(20,6), 日付 date, 時刻 time, 登録 timestamp, 済 boolean, "
        "名前 varchar(40), 備考 text, 記号 char(3), 画像 bytea, 識別 uuid)");
    Sql("INSERT INTO 受注 VALUES (1, -2, 9007199254740993, 1.1, 0.1, 12345678901234.123456, "
        "'2024-01-05', '13:45:10', '2024-02-29 23:59:58', true, '山田 太郎', '𠮷野家のメモ', "
        "'ab', '\\x00ff41', 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11')");
    Sql("INSERT INTO 受注 (番号) VALUES (NULL)");
    const ResultSet result = Sql("SELECT * FROM 受注 ORDER BY 番号 NULLS LAST");
    ASSERT_EQ(result.RowCount(), 2u);
    ASSERT_EQ(result.ColumnCount(), 15u);
    const DataTypeEnum expected[] = {adInteger, adSmallInt, adBigInt, adSingle, adDouble,
                                     adNumeric, adDBDate, adDBTime, adDBTimeStamp, adBoolean,
                                     adVarWChar, adLongVarWChar, adWChar, adLongVarBinary, adGUID};
    for (std::size_t i = 0; i < result.ColumnCount(); ++i)
        EXPECT_EQ(result.columns[i].type, expected[i]) << result.columns[i].name;
    EXPECT_EQ(result.columns[0].name, "番号");

    EXPECT_EQ(Cell(result, 0, "番号"), Variant(1));
    EXPECT_EQ(Cell(result, 0, "小"), Variant(-2));
    EXPECT_EQ(Cell(result, 0, "大"), Variant(9007199254740993LL));
    EXPECT_EQ(CStr(Cell(result, 0, "率")), "1.1");
    EXPECT_EQ(Cell(result, 0, "倍"), Variant(0.1));
    // Every digit of an exact decimal survives; a double would round the last ones away.
    EXPECT_EQ(Cell(result, 0, "金額").AsDecimal().Text(), "12345678901234.123456");
    EXPECT_EQ(Cell(result, 0, "日付"), Variant(DateTime::Date(2024, 1, 5)));
    EXPECT_EQ(Cell(result, 0, "時刻"), Variant(DateTime{1899, 12, 30, 13, 45, 10, true}));
    EXPECT_EQ(Cell(result, 0, "登録"), Variant(DateTime::Timestamp(2024, 2, 29, 23, 59, 58)));
    EXPECT_EQ(Cell(result, 0, "済"), Variant(true));
    EXPECT_EQ(Cell(result, 0, "名前"), Variant("山田 太郎"));
    EXPECT_EQ(Cell(result, 0, "備考"), Variant("𠮷野家のメモ"));
    EXPECT_EQ(Cell(result, 0, "記号"), Variant("ab "));
    EXPECT_EQ(Cell(result, 0, "画像"), Variant(std::string("\0\xff" "A", 3)));
    EXPECT_EQ(ToDisplayText(Cell(result, 0, "識別")).size(), 36u);
    for (std::size_t column = 0; column < result.ColumnCount(); ++column)
        EXPECT_TRUE(result.At(1, column).IsNull()) << result.columns[column].name;
}

TEST_F(OdbcPostgres, ManyRowsAndLongText) {
    Sql("CREATE TABLE t AS SELECT g AS id, repeat('漢字', g % 5000) AS body "
        "FROM generate_series(1, 3000) g");
    const ResultSet result = Sql("SELECT id, body FROM t ORDER BY id");
    ASSERT_EQ(result.RowCount(), 3000u);
    EXPECT_EQ(result.At(2999, 0), Variant(3000));
    EXPECT_EQ(result.At(2999, 1).AsString().size(), 3000u * 2 * 3);
    EXPECT_EQ(Sql("UPDATE t SET body = '' WHERE id <= 10").recordsAffected, 10);
}

TEST_F(OdbcPostgres, BatchGivesItsFirstRowsAndEmptyResultsStayOpen) {
    Sql("CREATE TABLE t (a integer)");
    const ResultSet batch = Sql("INSERT INTO t VALUES (1), (2); SELECT a FROM t ORDER BY a");
    ASSERT_EQ(batch.RowCount(), 2u);
    EXPECT_EQ(batch.At(1, 0), Variant(2));
    // A query without rows still describes its columns.
    const ResultSet none = Sql("SELECT a, a * 2 AS twice FROM t WHERE a > 100");
    EXPECT_EQ(none.RowCount(), 0u);
    ASSERT_EQ(none.ColumnCount(), 2u);
    EXPECT_EQ(none.columns[1].name, "twice");
    EXPECT_EQ(Sql("DELETE FROM t WHERE a > 100").recordsAffected, 0);
}

TEST_F(OdbcPostgres, StoredProceduresThroughTheCallEscape) {
    Sql("CREATE TABLE orders (id integer, customer text, amount numeric(10,2))");
    Sql("INSERT INTO orders VALUES (1, '佐藤', 100.50), (2, '鈴木', 20), (3, '佐藤', 7.25)");
    Sql("CREATE FUNCTION orders_of(who text) RETURNS TABLE (id integer, amount numeric) "
        "LANGUAGE sql AS $$ SELECT id, amount FROM orders WHERE customer = who ORDER BY id $$");
    Sql("CREATE FUNCTION all_orders() RETURNS SETOF orders LANGUAGE sql "
        "AS $$ SELECT * FROM orders ORDER BY id $$");
    Sql("CREATE FUNCTION order_total() RETURNS numeric LANGUAGE sql "
        "AS $$ SELECT sum(amount) FROM orders $$");

    const ResultSet all = session_->Execute("all_orders", CommandTypeEnum::adCmdStoredProc);
    ASSERT_EQ(all.RowCount(), 3u);
    EXPECT_EQ(Cell(all, 2, "customer"), Variant("佐藤"));

    const ResultSet some =
        session_->Execute("orders_of('佐藤')", CommandTypeEnum::adCmdStoredProc);
    ASSERT_EQ(some.RowCount(), 2u);
    EXPECT_EQ(Cell(some, 1, "id"), Variant(3));

    const ResultSet total = session_->Execute("order_total", CommandTypeEnum::adCmdStoredProc);
    ASSERT_EQ(total.RowCount(), 1u);
    EXPECT_EQ(total.At(0, 0).AsDecimal().Text(), "127.75");

    EXPECT_THROW(session_->Execute("no_such_function", CommandTypeEnum::adCmdStoredProc),
                 HostError);

    const ResultSet procedures = session_->OpenSchema(SchemaEnum::adSchemaProcedures);
    EXPECT_TRUE(FindRow(procedures, "PROCEDURE_NAME", "orders_of"));
    EXPECT_TRUE(FindRow(procedures, "PROCEDURE_NAME", "order_total"));
    // The database's own functions are not offered.
    EXPECT_FALSE(FindRow(procedures, "PROCEDURE_NAME", "now"));

    const ResultSet columns = session_->OpenSchema(SchemaEnum::adSchemaProcedureColumns);
    bool found = false;
    for (std::size_t row = 0; row < columns.RowCount(); ++row)
        if (Cell(columns, row, "PROCEDURE_NAME") == Variant("orders_of") &&
            Cell(columns, row, "COLUMN_NAME") == Variant("amount")) {
            found = true;
            EXPECT_EQ(Cell(columns, row, "DATA_TYPE"), Variant(static_cast<int>(adNumeric)));
        }
    EXPECT_TRUE(found) << "result column of the table function";
    // The input parameter is not a result column.
    for (std::size_t row = 0; row < columns.RowCount(); ++row)
        EXPECT_NE(Cell(columns, row, "COLUMN_NAME"), Variant("who"));
}

TEST_F(OdbcPostgres, ProcedureListsCoverEveryUserSchemaOnce) {
    // "_" is a wildcard in catalog patterns: "a_b" must not also match "axb".
    Sql("DROP SCHEMA IF EXISTS a_b CASCADE; DROP SCHEMA IF EXISTS axb CASCADE; "
        "DROP SCHEMA IF EXISTS 会計 CASCADE");
    Sql("CREATE SCHEMA a_b; CREATE SCHEMA axb; CREATE SCHEMA 会計");
    Sql("CREATE FUNCTION a_b.f_under() RETURNS TABLE (k integer) LANGUAGE sql AS $$ SELECT 1 $$");
    Sql("CREATE FUNCTION axb.f_plain() RETURNS TABLE (k integer) LANGUAGE sql AS $$ SELECT 2 $$");
    Sql("CREATE FUNCTION 会計.月次() RETURNS TABLE (金額 numeric) LANGUAGE sql AS $$ SELECT 3.0 $$");
    const ResultSet procedures = session_->OpenSchema(SchemaEnum::adSchemaProcedures);
    for (const char* name : {"f_under", "f_plain", "月次"}) {
        int count = 0;
        for (std::size_t row = 0; row < procedures.RowCount(); ++row)
            if (Cell(procedures, row, "PROCEDURE_NAME") == Variant(name)) ++count;
        EXPECT_EQ(count, 1) << name;
    }
    const ResultSet columns = session_->OpenSchema(SchemaEnum::adSchemaProcedureColumns);
    const auto amount = FindRow(columns, "COLUMN_NAME", "金額");
    ASSERT_TRUE(amount);
    EXPECT_EQ(Cell(columns, *amount, "PROCEDURE_SCHEMA"), Variant("会計"));
    EXPECT_EQ(session_->Execute("会計.月次", CommandTypeEnum::adCmdStoredProc).RowCount(), 1u);
}

TEST_F(OdbcPostgres, TablesSchemaAndTableCommand) {
    Sql("CREATE TABLE \"Orders\" (id integer, 品名 varchar(10), price numeric(8,2))");
    Sql("CREATE TABLE lower_case (id integer)");
    Sql("CREATE VIEW big_orders AS SELECT * FROM \"Orders\" WHERE price > 100");
    Sql("INSERT INTO \"Orders\" VALUES (1, '机', 120)");

    const ResultSet tables = session_->OpenSchema(SchemaEnum::adSchemaTables);
    ASSERT_TRUE(FindRow(tables, "TABLE_NAME", "Orders"));
    ASSERT_TRUE(FindRow(tables, "TABLE_NAME", "big_orders"));
    EXPECT_EQ(Cell(tables, *FindRow(tables, "TABLE_NAME", "big_orders"), "TABLE_TYPE"),
              Variant("VIEW"));
    EXPECT_FALSE(FindRow(tables, "TABLE_NAME", "pg_class"));

    const ResultSet columns = session_->OpenSchema(SchemaEnum::adSchemaColumns);
    const auto name = FindRow(columns, "COLUMN_NAME", "品名");
    ASSERT_TRUE(name);
    EXPECT_EQ(Cell(columns, *name, "TABLE_NAME"), Variant("Orders"));
    EXPECT_EQ(Cell(columns, *name, "DATA_TYPE"), Variant(static_cast<int>(adVarWChar)));
    const auto price = FindRow(columns, "COLUMN_NAME", "price");
    ASSERT_TRUE(price);
    EXPECT_EQ(Cell(columns, *price, "DATA_TYPE"), Variant(static_cast<int>(adNumeric)));
    EXPECT_EQ(Cell(columns, *price, "NUMERIC_SCALE"), Variant(2));

    // The catalog name (mixed case) opens quoted; a name typed in another case still opens.
    EXPECT_EQ(session_->Execute("Orders", CommandTypeEnum::adCmdTable).RowCount(), 1u);
    EXPECT_EQ(session_->Execute("LOWER_CASE", CommandTypeEnum::adCmdTable).ColumnCount(), 1u);
    EXPECT_EQ(session_->Execute("public.big_orders", CommandTypeEnum::adCmdTable).RowCount(), 1u);
    EXPECT_EQ(session_->Dialect(), SqlDialect::PostgreSQL);
}

TEST_F(OdbcPostgres, RejectedStatementNamesTheDatabaseMessage) {
    try {
        Sql("SELECT * FROM 存在しない表");
        FAIL() << "expected an error";
    } catch (const HostError& error) {
        EXPECT_NE(error.Description().find("存在しない表"), std::string::npos)
            << error.Description();
        EXPECT_NE(error.Description().find("42P01"), std::string::npos) << error.Description();
        EXPECT_EQ(error.Number(), errors::kProviderFailed);
    }
    // Autocommit: the failed statement leaves no aborted transaction behind.
    EXPECT_EQ(Sql("SELECT 1 AS one").RowCount(), 1u);
}

TEST_F(OdbcPostgres, LoginFromSeparateUserAndUnreachableServer) {
    const std::string driver = std::string("Driver={") + test::OdbcTestConfig::kPgDriver + "};" +
                               "Servername=127.0.0.1;Port=" + std::to_string(server_->Port()) +
                               ";Database=paperloom";
    const auto session = OpenOdbcSession(driver, "paperloom", "unused");
    EXPECT_EQ(session->Execute("SELECT current_user AS u", CommandTypeEnum::adCmdText).At(0, 0),
              Variant("paperloom"));

    // The separate user name wins over the data source's own; an unknown role is refused.
    try {
        OpenOdbcSession("DSN=PaperloomPg", "誰でもない", "");
        FAIL() << "expected an error";
    } catch (const HostError& error) {
        EXPECT_NE(error.Description().find("誰でもない"), std::string::npos) << error.Description();
    }

    // Nothing listens on port 1 of the loopback address.
    const std::string nowhere = std::string("Driver={") + test::OdbcTestConfig::kPgDriver +
                                "};Servername=127.0.0.1;Port=1;Database=paperloom";
    try {
        OpenOdbcSession(nowhere, "paperloom", "");
        FAIL() << "expected an error";
    } catch (const HostError& error) {
        EXPECT_NE(error.Description().find("SQLSTATE"), std::string::npos) << error.Description();
    }
}

TEST_F(OdbcPostgres, SessionKilledOnTheServerIsNotUsable) {
    EXPECT_TRUE(session_->IsUsable());
    const Variant pid = Sql("SELECT pg_backend_pid() AS pid").At(0, 0);
    server_->RunSql("SELECT pg_terminate_backend(" + CStr(pid) + ")");
    EXPECT_FALSE(session_->IsUsable());
    EXPECT_THROW(Sql("SELECT 1"), HostError);
}

}  // namespace
}  // namespace paperloom::host::ado::odbc
