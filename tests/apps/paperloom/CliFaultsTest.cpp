// The paperloom command when a detail table's records cannot be read, and when the header hands
// the detail link hostile values: a failing fill stops the command with the database's reason
// and a non-zero status and writes nothing at the output path; hostile values change nothing in
// the database and bring no rows of another table into the report.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "support/OdbcTestConfig.h"
#include "support/PgTestServer.h"

namespace paperloom::cli::test {
namespace {

namespace kit = templatekit;
namespace sk = templatekit::skeleton;

// A template showing an order (Id, Shop) and its lines (Item, Price, linked by Id = OrderId)
// from the sources given, in a table that grows with the lines.
fs::path MakeOrderTemplate(const fs::path& path, const kit::DataBinding& orders, const kit::DataBinding& lines) {
    const std::string body = sk::Paragraph(sk::Run("注文 [ID] 店 [SHOP]")) + sk::Paragraph(sk::Run("[LINES]")) +
                             sk::Paragraph();
    kit::TemplateWriter writer(sk::MakeDocument(body, path.filename().string()));
    kit::HeaderBinding header;
    header.source = orders;
    writer.WriteHeaderBinding(header);
    writer.ReplaceMarker("[ID]", kit::DataFieldCode("Id"));
    writer.ReplaceMarker("[SHOP]", kit::DataFieldCode("Shop"));
    kit::DetailTable table;
    table.source = lines;
    table.parentKey = "Id";
    table.childKey = "OrderId";
    table.autoAdjustRowCount = true;
    for (const char* field : {"Item", "Price"}) {
        kit::DetailColumn column;
        column.kind = kit::ColumnKind::Data;
        column.dataField = field;
        column.caption = field;
        table.columns.push_back(column);
    }
    table.bookmark = "明細";
    writer.AddDetailTable(writer.FindMarker("[LINES]"), table);
    writer.SaveAs(path);
    return path;
}

kit::DataBinding SqliteSource(const std::string& source, const std::string& order = {}) {
    return {"4", "shop.db", "", "", "2", source, "", order};
}

long CountRows(const fs::path& database, const std::string& table) {
    sqlite3* db = nullptr;
    sqlite3_open(database.c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    long count = -1;
    if (sqlite3_prepare_v2(db, ("SELECT COUNT(*) FROM " + table).c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        count = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return count;
}

#define EXPECT_STOPS_WITH(result, ...)                                                          \
    do {                                                                                       \
        const CliResult stopped = (result);                                                    \
        EXPECT_EQ(stopped.exitCode, 2) << stopped.out << stopped.err;                          \
        for (const std::string& expected : std::vector<std::string>{__VA_ARGS__})               \
            EXPECT_NE(stopped.err.find(expected), std::string::npos) << "missing " << expected \
                                                                      << " in: " << stopped.err; \
    } while (false)

class CliFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunSql(scratch_ / "shop.db",
               "CREATE TABLE Orders (Id INTEGER, Shop TEXT);"
               "INSERT INTO Orders VALUES (1, 'A'), (2, 'B'), (3, 'C'), (4, 'D');"
               "CREATE TABLE Lines (OrderId INTEGER, Item TEXT, Price INTEGER);"
               "INSERT INTO Lines VALUES (1, 'りんご', 100), (2, 'みかん', 50), (3, 'ぶどう', 300), (4, 'もも', 250);"
               // Order 3's lines raise (json() of text that is none); order 1's in the second view.
               "CREATE VIEW FailsForThree AS SELECT OrderId, Item, Price,"
               " json(CASE WHEN OrderId = 3 THEN 'not json' ELSE '0' END) AS Checked FROM Lines;"
               "CREATE VIEW FailsForOne AS SELECT OrderId, Item, Price,"
               " json(CASE WHEN OrderId = 1 THEN 'not json' ELSE '0' END) AS Checked FROM Lines;");
    }

    CliResult Run(const std::vector<std::string>& args) { return RunCli(scratch_.Path(), args); }

    Scratch scratch_;
};

TEST_F(CliFaultsTest, ARecordWhoseLinesFailStopsTheCommandAndWritesNothing) {
    MakeOrderTemplate(scratch_ / "three.docx", SqliteSource("Orders", "Id"), SqliteSource("FailsForThree"));
    EXPECT_STOPS_WITH(Run({"document", "three.docx", "-o", "all.docx"}), "\"明細\" cannot be filled for Id 3",
                      "malformed JSON");
    EXPECT_FALSE(fs::exists(scratch_ / "all.docx"));
    EXPECT_STOPS_WITH(Run({"document", "three.docx", "--record", "3", "-o", "one.docx"}), "malformed JSON");
    EXPECT_FALSE(fs::exists(scratch_ / "one.docx"));
    EXPECT_STOPS_WITH(Run({"show", "three.docx", "--record", "3", "-o", "view.docx"}), "malformed JSON");
    EXPECT_FALSE(fs::exists(scratch_ / "view.docx"));

    const CliResult fine = Run({"show", "three.docx", "--record", "2", "-o", "two.docx"});
    ASSERT_EQ(fine.exitCode, 0) << fine.err;
    EXPECT_NE(DocumentText(scratch_ / "two.docx").find("みかん"), std::string::npos);

    // The fill when the template opens is the one that fails: show still reports it.
    MakeOrderTemplate(scratch_ / "one.docx", SqliteSource("Orders", "Id"), SqliteSource("FailsForOne"));
    EXPECT_STOPS_WITH(Run({"show", "one.docx", "-o", "first.docx"}), "for Id 1", "malformed JSON");
    EXPECT_FALSE(fs::exists(scratch_ / "first.docx"));
    EXPECT_STOPS_WITH(Run({"find", "one.docx", "Shop = 'A'"}), "malformed JSON");
}

TEST_F(CliFaultsTest, AMissingDetailSourceIsAnErrorNotAnUnfilledTable) {
    MakeOrderTemplate(scratch_ / "missing.docx", SqliteSource("Orders", "Id"), SqliteSource("NoSuchLines"));
    EXPECT_STOPS_WITH(Run({"document", "missing.docx", "-o", "all.docx"}), "no such table: NoSuchLines");
    EXPECT_FALSE(fs::exists(scratch_ / "all.docx"));
}

TEST_F(CliFaultsTest, HostileHeaderValuesChangeNothingAndShowNothingForeign) {
    RunSql(scratch_ / "shop.db",
           "CREATE TABLE Secret (Code TEXT);"
           "INSERT INTO Secret VALUES ('TOP-SECRET');"
           "CREATE TABLE Keys (Pos INTEGER, Id TEXT, Shop TEXT);"
           "INSERT INTO Keys VALUES (1, '1', 'A'), (2, '0; DELETE FROM Secret', 'B'), (3, '0 OR 1=1', 'C'),"
           " (4, '0 UNION SELECT 0, Code, 0 FROM Secret', 'D');");
    // No sort in the lines' source: a pasted value would be the end of the statement.
    MakeOrderTemplate(scratch_ / "keys.docx", SqliteSource("Keys", "Pos"), SqliteSource("Lines"));
    for (int record = 1; record <= 4; ++record) {
        const std::string out = "view" + std::to_string(record) + ".docx";
        const CliResult shown = Run({"show", "keys.docx", "--record", std::to_string(record), "-o", out});
        ASSERT_EQ(shown.exitCode, 0) << shown.err;
        const std::string text = DocumentText(scratch_ / out);
        EXPECT_EQ(text.find("TOP-SECRET"), std::string::npos) << record;
        EXPECT_EQ(text.find("みかん"), std::string::npos) << "no lines of other orders: " << record;
        EXPECT_EQ(text.find("りんご") != std::string::npos, record == 1) << record;
        EXPECT_EQ(CountRows(scratch_ / "shop.db", "Secret"), 1) << record;
    }
    const CliResult all = Run({"document", "keys.docx", "-o", "all.docx"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    const std::string text = DocumentText(scratch_ / "all.docx");
    EXPECT_EQ(text.find("TOP-SECRET"), std::string::npos);
    EXPECT_EQ(text.find("みかん"), std::string::npos);
    EXPECT_EQ(CountRows(scratch_ / "shop.db", "Secret"), 1);
}

// The server of this test alone is stopped while order 3's lines are read: its view stops the
// server the moment it is asked for them.
// A header field whose column the record source lacks is left as it is and the fill goes on;
// the error swallowed there is traced in the debug log when PAPERLOOM_DEBUG_LOG names one, and
// nowhere when it is not set.
TEST_F(CliFaultsTest, ASwallowedFillErrorIsTracedOnlyWhenTheDebugLogIsOn) {
    RunSql(scratch_ / "shop.db", "CREATE VIEW OrdersWithoutShop AS SELECT Id FROM Orders;");
    MakeOrderTemplate(scratch_ / "order.docx", SqliteSource("OrdersWithoutShop", "Id"), SqliteSource("Lines"));
    const fs::path log = scratch_ / "debug.log";

    CliResult result = RunCli(scratch_.Path(), {"show", "order.docx", "-o", "quiet.docx"}, {{"PAPERLOOM_DEBUG_LOG", ""}});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.find("error ignored"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(log));

    result = RunCli(scratch_.Path(), {"show", "order.docx", "-o", "traced.docx"}, {{"PAPERLOOM_DEBUG_LOG", log.string()}});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string traced = ReadFile(log);
    EXPECT_NE(traced.find("paperloom: error ignored in clsPLRDBBindHeader.cpp: Step: "), std::string::npos) << traced;
    EXPECT_NE(traced.find("Shop"), std::string::npos) << "the error names the field: " << traced;
    // Traced, not shown: the output is the one made without the log.
    EXPECT_EQ(DocumentText(scratch_ / "traced.docx"), DocumentText(scratch_ / "quiet.docx"));
}

TEST(CliPostgresFaultsTest, AServerStoppedMidRunStopsTheCommandAndWritesNothing) {
    auto& config = paperloom::test::SharedOdbcTestConfig();
    if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
    if (!paperloom::test::PgTestServer::FindBinDir()) GTEST_SKIP() << "PostgreSQL is not installed";
    paperloom::test::PgTestServer server;
    config.AddPgDataSource("PaperloomCliStoppedPg", server);
    server.RunSql(
        "CREATE TABLE orders (id integer, shop text);"
        "INSERT INTO orders SELECT i, 'S' || i FROM generate_series(1, 6) AS i;"
        "CREATE TABLE line_rows (orderid integer, item text, price integer);"
        "INSERT INTO line_rows SELECT i, 'item-' || i, i * 10 FROM generate_series(1, 6) AS i;"
        "CREATE FUNCTION stop_server() RETURNS boolean LANGUAGE plpgsql VOLATILE AS $$ BEGIN"
        " EXECUTE format('COPY (SELECT 1) TO PROGRAM %L',"
        "  format('kill -INT $(head -1 %s/postmaster.pid)', current_setting('data_directory')));"
        " PERFORM pg_sleep(10); RETURN true; END $$;"
        "CREATE VIEW lines AS SELECT orderid, item, price,"
        " CASE WHEN orderid = 3 THEN stop_server() ELSE true END AS checked FROM line_rows;");

    Scratch scratch;
    const kit::DataBinding orders{"1", "PaperloomCliStoppedPg", paperloom::test::PgTestServer::kUser, "", "2",
                                  "orders", "", "id"};
    kit::DataBinding lines = orders;
    lines.recordSource = "lines";
    lines.rsOrder = "";
    MakeOrderTemplate(scratch / "pg.docx", orders, lines);
    const CliResult result = RunCli(scratch.Path(), {"document", "pg.docx", "-o", "all.docx"});
    EXPECT_EQ(result.exitCode, 2) << result.out << result.err;
    EXPECT_NE(result.err.find("\"明細\" cannot be filled for Id 3"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(scratch / "all.docx"));
}

}  // namespace
}  // namespace paperloom::cli::test
