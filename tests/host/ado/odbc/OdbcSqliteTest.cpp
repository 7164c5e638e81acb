// The provider against the SQLite ODBC driver, through a data source of a private odbc.ini.
#include "OdbcTestHelpers.h"
#include "OdbcTestConfig.h"

#include "host/HostError.h"
#include "host/ado/AdoErrors.h"
#include "host/ado/odbc/OdbcSession.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace paperloom::host::ado::odbc {
namespace {

using namespace testing;
using enum DataTypeEnum;

class OdbcSqlite : public ::testing::Test {
protected:
    void SetUp() override {
        auto& config = test::SharedOdbcTestConfig();
        if (!config.HasSqliteDriver()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        database_ = config.Directory() / (std::string(info->name()) + ".db");
        std::filesystem::remove(database_);
        // A fresh data source name per test (names are at most 32 characters).
        static int counter = 0;
        const std::string name = "PaperloomSqlite" + std::to_string(++counter);
        config.AddSqliteDataSource(name, database_);
        session_ = OpenOdbcSession("DSN=" + name, "", "");
    }

    ResultSet Sql(const std::string& statement) {
        return session_->Execute(statement, CommandTypeEnum::adCmdText);
    }

    std::filesystem::path database_;
    std::unique_ptr<ProviderSession> session_;
};

TEST_F(OdbcSqlite, ReadsTypesNullsDatesDecimalsAndJapaneseText) {
    Sql("CREATE TABLE 受注 (番号 INTEGER, 大きい BIGINT, 率 DOUBLE, 金額 NUMERIC(12,2), "
        "日付 DATE, 時刻 TIME, 登録 TIMESTAMP, 名前 VARCHAR(40), 備考 TEXT, 画像 BLOB)");
    Sql("INSERT INTO 受注 VALUES (1, 9007199254740993, 0.5, 1234.50, '2024-01-05', '13:45:10', "
        "'2024-02-29 23:59:58', '山田 太郎', 'メモ', x'00FF41')");
    Sql("INSERT INTO 受注 VALUES (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)");
    const ResultSet result = Sql("SELECT * FROM 受注 ORDER BY 番号 DESC");
    ASSERT_EQ(result.RowCount(), 2u);
    ASSERT_EQ(result.ColumnCount(), 10u);
    EXPECT_EQ(result.columns[0].name, "番号");
    EXPECT_EQ(result.columns[0].type, adInteger);
    EXPECT_EQ(result.columns[1].type, adBigInt);
    EXPECT_EQ(result.columns[2].type, adDouble);
    EXPECT_EQ(result.columns[4].type, adDBDate);
    EXPECT_EQ(result.columns[5].type, adDBTime);
    EXPECT_EQ(result.columns[6].type, adDBTimeStamp);

    EXPECT_EQ(Cell(result, 0, "番号"), Variant(1));
    EXPECT_EQ(Cell(result, 0, "大きい"), Variant(9007199254740993LL));  // beyond a double
    EXPECT_EQ(Cell(result, 0, "率"), Variant(0.5));
    EXPECT_EQ(CStr(Cell(result, 0, "金額")), "1234.5");
    EXPECT_EQ(Cell(result, 0, "日付"), Variant(DateTime::Date(2024, 1, 5)));
    EXPECT_EQ(Cell(result, 0, "時刻"), Variant(DateTime{1899, 12, 30, 13, 45, 10, true}));
    EXPECT_EQ(Cell(result, 0, "登録"), Variant(DateTime::Timestamp(2024, 2, 29, 23, 59, 58)));
    EXPECT_EQ(Cell(result, 0, "名前"), Variant("山田 太郎"));
    EXPECT_EQ(Cell(result, 0, "備考"), Variant("メモ"));
    EXPECT_EQ(Cell(result, 0, "画像"), Variant(std::string("\0\xff" "A", 3)));
    for (std::size_t column = 0; column < result.ColumnCount(); ++column)
        EXPECT_TRUE(result.At(1, column).IsNull()) << result.columns[column].name;
}

TEST_F(OdbcSqlite, LongValuesAreReadWhole) {
    Sql("CREATE TABLE t (body TEXT, data BLOB)");
    std::string text;
    for (int i = 0; i < 3000; ++i) text += "あいう" + std::to_string(i % 10);
    Sql("INSERT INTO t VALUES ('" + text + "', randomblob(20000))");
    const ResultSet result = Sql("SELECT body, data, length(data) AS n FROM t");
    ASSERT_EQ(result.RowCount(), 1u);
    EXPECT_EQ(Cell(result, 0, "body").AsString(), text);
    EXPECT_EQ(Cell(result, 0, "data").AsString().size(), 20000u);
}

TEST_F(OdbcSqlite, ValuesTheirColumnTypeCannotHoldStayReadable) {
    // The engine stores any value in any column; such a row must not make the table unreadable.
    Sql("CREATE TABLE t (id INTEGER, n INTEGER, d DATE, x NUMERIC(8,2))");
    Sql("INSERT INTO t VALUES (1, 'abc', 'not a date', 'n/a')");
    Sql("INSERT INTO t VALUES (2, 5, '2024-12-31', 1.25)");
    const ResultSet result = Sql("SELECT * FROM t ORDER BY id");
    ASSERT_EQ(result.RowCount(), 2u);
    EXPECT_EQ(Cell(result, 1, "n"), Variant(5));
    EXPECT_EQ(Cell(result, 1, "d"), Variant(DateTime::Date(2024, 12, 31)));
    EXPECT_EQ(CStr(Cell(result, 1, "x")), "1.25");  // the driver has no exact decimals
    // The driver itself turns what it cannot convert into NULL; the row still reads.
    EXPECT_EQ(Cell(result, 0, "id"), Variant(1));
}

TEST_F(OdbcSqlite, ReportsRecordsAffected) {
    Sql("CREATE TABLE t (a INTEGER)");
    Sql("INSERT INTO t VALUES (1)");
    Sql("INSERT INTO t VALUES (2)");
    Sql("INSERT INTO t VALUES (3)");
    EXPECT_EQ(Sql("UPDATE t SET a = a + 10 WHERE a >= 2").recordsAffected, 2);
    EXPECT_EQ(Sql("DELETE FROM t WHERE a = 99").recordsAffected, 0);
    EXPECT_EQ(Sql("SELECT a FROM t ORDER BY a").RowCount(), 3u);
}

TEST_F(OdbcSqlite, TableAndUnknownCommandTypes) {
    Sql("CREATE TABLE \"顧客 一覧\" (id INTEGER, name TEXT)");
    Sql("INSERT INTO \"顧客 一覧\" VALUES (7, '佐藤')");
    const ResultSet table = session_->Execute("顧客 一覧", CommandTypeEnum::adCmdTable);
    ASSERT_EQ(table.RowCount(), 1u);
    EXPECT_EQ(Cell(table, 0, "name"), Variant("佐藤"));

    Sql("CREATE TABLE plain (id INTEGER)");
    EXPECT_EQ(session_->Execute("plain", CommandTypeEnum::adCmdUnknown).ColumnCount(), 1u);
    EXPECT_EQ(session_->Execute("SELECT 1 AS one", CommandTypeEnum::adCmdUnknown).RowCount(), 1u);
    EXPECT_THROW(session_->Execute("missing_table", CommandTypeEnum::adCmdTable), HostError);
    EXPECT_THROW(session_->Execute("  ", CommandTypeEnum::adCmdTable), HostError);
}

TEST_F(OdbcSqlite, RejectedStatementCarriesTheDatabaseMessage) {
    try {
        Sql("SELECT * FROM 存在しない表");
        FAIL() << "expected an error";
    } catch (const HostError& error) {
        EXPECT_NE(error.Description().find("存在しない表"), std::string::npos)
            << error.Description();
        EXPECT_NE(error.Description().find("SQLSTATE"), std::string::npos);
        EXPECT_EQ(error.Number(), errors::kProviderFailed);
    }
    EXPECT_THROW(Sql(""), HostError);
    // The session survives a rejected statement.
    EXPECT_EQ(Sql("SELECT 2 AS two").RowCount(), 1u);
}

TEST_F(OdbcSqlite, SchemaListsTablesViewsAndColumnTypes) {
    Sql("CREATE TABLE 商品 (コード INTEGER, 名称 VARCHAR(20), 単価 NUMERIC(10,2))");
    Sql("CREATE VIEW 高額商品 AS SELECT * FROM 商品 WHERE 単価 > 1000");
    const ResultSet tables = session_->OpenSchema(SchemaEnum::adSchemaTables);
    const auto table = FindRow(tables, "TABLE_NAME", "商品");
    const auto view = FindRow(tables, "TABLE_NAME", "高額商品");
    ASSERT_TRUE(table && view);
    EXPECT_EQ(Cell(tables, *table, "TABLE_TYPE"), Variant("TABLE"));
    EXPECT_EQ(Cell(tables, *view, "TABLE_TYPE"), Variant("VIEW"));

    const ResultSet columns = session_->OpenSchema(SchemaEnum::adSchemaColumns);
    const auto code = FindRow(columns, "COLUMN_NAME", "コード");
    const auto name = FindRow(columns, "COLUMN_NAME", "名称");
    ASSERT_TRUE(code && name);
    EXPECT_EQ(Cell(columns, *code, "TABLE_NAME"), Variant("商品"));
    EXPECT_EQ(Cell(columns, *code, "DATA_TYPE"), Variant(static_cast<int>(adInteger)));
    EXPECT_EQ(Cell(columns, *name, "ORDINAL_POSITION"), Variant(2));

    // No procedures in this engine: an empty list with the expected columns, not an error.
    const ResultSet procedures = session_->OpenSchema(SchemaEnum::adSchemaProcedures);
    EXPECT_EQ(procedures.RowCount(), 0u);
    ColumnIndex(procedures, "PROCEDURE_NAME");
    EXPECT_EQ(session_->Dialect(), SqlDialect::SQLite);
    EXPECT_TRUE(session_->IsUsable());
}

TEST_F(OdbcSqlite, DriverConnectionStringWithoutDataSourceName) {
    Sql("CREATE TABLE t (a INTEGER)");
    Sql("INSERT INTO t VALUES (42)");
    const auto direct = OpenOdbcSession(
        "Driver={" + std::string(test::OdbcTestConfig::kSqliteDriver) + "};Database=" +
            database_.string(),
        "ignored-user", "");
    const ResultSet result = direct->Execute("SELECT a FROM t", CommandTypeEnum::adCmdText);
    ASSERT_EQ(result.RowCount(), 1u);
    EXPECT_EQ(result.At(0, 0), Variant(42));
}

TEST_F(OdbcSqlite, DatabaseInAFolderWithAJapaneseName) {
    const auto folder = database_.parent_path() / "売上 データ";
    std::filesystem::create_directories(folder);
    const auto file = folder / "台帳.db";
    std::filesystem::remove(file);
    const std::string driver = "Driver={" + std::string(test::OdbcTestConfig::kSqliteDriver) +
                               "};Database=" + file.string();
    OpenOdbcSession(driver, "", "")->Execute("CREATE TABLE t (a TEXT)", CommandTypeEnum::adCmdText);
    // The file must exist under its own name, not a mangled one.
    EXPECT_TRUE(std::filesystem::exists(file));
    auto& config = test::SharedOdbcTestConfig();
    config.AddSqliteDataSource("PaperloomSqliteJapanesePath", file);
    const ResultSet tables = OpenOdbcSession("DSN=PaperloomSqliteJapanesePath", "", "")
                                 ->OpenSchema(SchemaEnum::adSchemaTables);
    EXPECT_TRUE(FindRow(tables, "TABLE_NAME", "t"));
}

TEST(OdbcConnect, UnknownDataSourceGivesAClearError) {
    test::SharedOdbcTestConfig();
    try {
        OpenOdbcSession("DSN=NoSuchPaperloomSource", "user", "password");
        FAIL() << "expected an error";
    } catch (const HostError& error) {
        EXPECT_NE(error.Description().find("IM002"), std::string::npos) << error.Description();
        EXPECT_EQ(error.Description().find("password"), std::string::npos);
    }
    EXPECT_THROW(OpenOdbcSession("Driver={No Such Driver}", "", ""), HostError);
}

}  // namespace
}  // namespace paperloom::host::ado::odbc
