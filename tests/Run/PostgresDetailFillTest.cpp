// A detail table on a private PostgreSQL server through ODBC: the child key's type comes from
// the server's column list, a text key holding a quote still links, break rows and their
// sums come out as on SQLite, and the server counts the break groups.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DetailFillTestSupport.h"
#include "OdbcTestConfig.h"
#include "PgTestServer.h"
#include "Run/modPLRDetailTables.h"
#include "common/modPLFunction.h"

namespace paperloom::run::test {
namespace {

using Texts = std::vector<std::string>;

TEST(PostgresDetailFillTest, LinkedLinesWithBreakRowsFromTheServer) {
    auto& config = paperloom::test::SharedOdbcTestConfig();
    if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
    auto* server = paperloom::test::SharedPgTestServer();
    if (server == nullptr) GTEST_SKIP() << "PostgreSQL is not installed";
    config.AddPgDataSource("PaperloomDetailPg", *server);
    server->RunSql(
        "DROP TABLE IF EXISTS detail_customers; DROP TABLE IF EXISTS detail_lines;"
        "CREATE TABLE detail_customers (id integer, name varchar(20));"
        "INSERT INTO detail_customers VALUES (1, 'Ann'), (2, 'O''Brien');"
        "CREATE TABLE detail_lines (id integer, cust_name varchar(20), item varchar(20), qty integer);"
        "INSERT INTO detail_lines VALUES (1, 'Ann', 'Pen', 1), (2, 'O''Brien', 'Hat', 2), (3, 'O''Brien', 'Hat', 3),"
        " (4, 'O''Brien', 'Cap', 4), (5, 'Ann', 'Ink', 5);");

    const Settings header{{"DataSourceType", "1"},
                          {"DataSource", "PaperloomDetailPg"},
                          {"UserName", paperloom::test::PgTestServer::kUser},
                          {"RecordSourceType", "2"},
                          {"RecordSource", "detail_customers"},
                          {"RSOrder", "id"}};
    DetailTableSpec spec;
    spec.rows = 2;
    spec.detail = {{"DataSourceType", "1"},
                   {"DataSource", "PaperloomDetailPg"},
                   {"UserName", paperloom::test::PgTestServer::kUser},
                   {"RecordSourceType", "2"},
                   {"RecordSource", "detail_lines"},
                   {"ParentKey", "name"},
                   {"ChildKey", "cust_name"},
                   {"RSOrder", "id"},
                   {"AutoAdjustRowCount", "True"}};
    spec.columnProperties = {PropertyText({{"FieldType", "1"},
                                           {"DataField", "item"},
                                           {"Break", "True"},
                                           {"aBreakRowFieldType", "キャプション"},
                                           {"aBreakRowFieldValue", "計"},
                                           {"bBreakRowFieldType", "統計演算"},
                                           {"bBreakRowFieldValue", "SUM"}}),
                             DataColumn("qty")};
    spec.captions = {"品名", "数量"};

    ScratchFolder folder;
    word::Application app;
    const auto doc = app.Documents().Open(SaveDetailTemplate(folder.File("Report.docx"), header, spec));
    clsPLRDBBind binding;
    ASSERT_TRUE(binding.DBConnect(doc));
    ASSERT_TRUE(binding.DBOpen());
    binding.MovePos(2);  // O'Brien
    binding.SetDetailDatas(true);

    const auto table = doc->Tables().Item(1);
    ASSERT_EQ(table.Rows().Count(), 6);
    EXPECT_EQ(ColumnTexts(table, 1, 2, 6), (Texts{"Hat", "Hat", "計", "Cap", "計"}));
    EXPECT_EQ(ColumnTexts(table, 2, 2, 6), (Texts{"2", "3", "5", "4", "4"}));
    EXPECT_EQ(clsPLProperty().GetPropertyFromText(clsPLProperty().GetDetailProperties(table, *doc), "BrokenRows", ""),
              "4,6");

    const auto connection = modPLFunction::OpenConnection("1", "PaperloomDetailPg",
                                                          paperloom::test::PgTestServer::kUser, "", "");
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(binding.GetBreakRowCount(connection, "2", "detail_lines", "cust_name='O''Brien'", "item"), 2);
    EXPECT_EQ(binding.GetBreakRowCount(connection, "2", "detail_lines", "", "item"), 4);
    EXPECT_EQ(binding.GetBreakRowCount(connection, "2", "no_such_table", "", "item"), 0);
}

}  // namespace
}  // namespace paperloom::run::test
