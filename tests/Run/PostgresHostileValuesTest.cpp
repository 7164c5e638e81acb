// Hostile header values on a private PostgreSQL server: a number key given text, a text key
// given quotes, neither runs a second statement nor shows rows of another table.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DetailFillTestSupport.h"
#include "OdbcTestConfig.h"
#include "PgTestServer.h"
#include "common/modPLFunction.h"
#include "host/ado/Recordset.h"

namespace paperloom::run::test {
namespace {

using Texts = std::vector<std::string>;

TEST(PostgresHostileValuesTest, HeaderValuesNeverBecomeStatements) {
    auto& config = paperloom::test::SharedOdbcTestConfig();
    if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
    auto* server = paperloom::test::SharedPgTestServer();
    if (server == nullptr) GTEST_SKIP() << "PostgreSQL is not installed";
    config.AddPgDataSource("PaperloomHostilePg", *server);
    server->RunSql(
        "DROP TABLE IF EXISTS hostile_keys; DROP TABLE IF EXISTS hostile_lines; DROP TABLE IF EXISTS hostile_secret;"
        "CREATE TABLE hostile_secret (code varchar(20));"
        "INSERT INTO hostile_secret VALUES ('TOP-SECRET');"
        "CREATE TABLE hostile_keys (pos integer, id text, name text);"
        "INSERT INTO hostile_keys VALUES (1, '1', 'Ann'), (2, '0; DELETE FROM hostile_secret', 'x'' OR ''1''=''1'),"
        " (3, '0 OR 1=1', 'y''; DELETE FROM hostile_secret; --'),"
        " (4, '0 UNION SELECT 0, code, code FROM hostile_secret', 'z');"
        "CREATE TABLE hostile_lines (cust_id integer, cust_name varchar(20), item varchar(20));"
        "INSERT INTO hostile_lines VALUES (1, 'Ann', 'Pen'), (1, 'Ann', 'Ink'), (2, 'Bob', 'Hat');");

    const auto lines = [](const std::string& parentKey, const std::string& childKey) {
        DetailTableSpec spec;
        spec.rows = 2;
        spec.detail = {{"DataSourceType", "1"},        {"DataSource", "PaperloomHostilePg"},
                       {"UserName", paperloom::test::PgTestServer::kUser},
                       {"RecordSourceType", "2"},      {"RecordSource", "hostile_lines"},
                       {"ParentKey", parentKey},       {"ChildKey", childKey},
                       {"RSOrder", "item"},            {"AutoAdjustRowCount", "True"}};
        spec.columnProperties = {DataColumn("item")};
        spec.captions = {"品名"};
        return spec;
    };
    const Settings header{{"DataSourceType", "1"},
                          {"DataSource", "PaperloomHostilePg"},
                          {"UserName", paperloom::test::PgTestServer::kUser},
                          {"RecordSourceType", "2"},
                          {"RecordSource", "hostile_keys"},
                          {"RSOrder", "pos"}};
    const auto secretRows = [] {
        const auto connection = modPLFunction::OpenConnection("1", "PaperloomHostilePg",
                                                              paperloom::test::PgTestServer::kUser, "", "");
        host::ado::Recordset rows;
        rows.Open("SELECT COUNT(*) FROM hostile_secret", connection);
        return static_cast<long>(host::ado::CDbl(rows.Fields().Item(0L).Value()));
    };

    ScratchFolder folder;
    word::Application app;
    for (const auto& [parentKey, childKey] : {std::pair<std::string, std::string>{"id", "cust_id"}, {"name", "cust_name"}}) {
        const auto doc = app.Documents().Open(
            SaveDetailTemplate(folder.File("Report-" + childKey + ".docx"), header, lines(parentKey, childKey)));
        clsPLRDBBind binding;
        ASSERT_TRUE(binding.DBConnect(doc));
        ASSERT_TRUE(binding.DBOpen());
        binding.SetDetailDatas(true);
        const auto table = doc->Tables().Item(1);
        EXPECT_EQ(ColumnTexts(table, 1, 2, table.Rows().Count()), (Texts{"Ink", "Pen"})) << childKey;
        for (long record = 2; record <= 4; ++record) {
            binding.MovePos(record);
            binding.SetDetailDatas(true);
            EXPECT_EQ(ColumnTexts(table, 1, 2, table.Rows().Count()), (Texts{""})) << childKey << " " << record;
            EXPECT_EQ(secretRows(), 1) << childKey << " " << record;
        }
    }
}

}  // namespace
}  // namespace paperloom::run::test
