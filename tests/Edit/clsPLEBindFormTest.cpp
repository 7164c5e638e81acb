// The data bind dialog's model: presets, the SQL box prefill, the lists filled on drop-down
// from a SQLite file, an ODBC data source and the private PostgreSQL server, the connection
// test's three outcomes, the OK questions and the filter and sort editors.

#include <gtest/gtest.h>

#include "EditDialogTestSupport.h"
#include "support/OdbcTestConfig.h"
#include "support/PgTestServer.h"
#include "support/TestFiles.h"

namespace paperloom::edit::test {
namespace {

using paperloom::test::RunSqlite;
using paperloom::test::ScratchFolder;

class BindFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunSqlite(folder.File("shop.db"),
                  "CREATE TABLE orders (id INTEGER, shop TEXT, qty INTEGER);"
                  "INSERT INTO orders VALUES (1, 'A', 5), (2, 'B', 0);"
                  "CREATE TABLE customers (code TEXT, name TEXT);"
                  "CREATE VIEW big_orders AS SELECT * FROM orders WHERE qty > 3;");
        form.Init("基本データ部のデータ バインド", "OK", true, folder.Path().string());
    }
    std::string SqliteString() const { return "Provider=SQLite;Data Source=" + folder.File("shop.db").string(); }
    // Binds the form to the shop database as a connection string.
    void BindShop(std::string_view table) {
        form.SetDataSource("2", SqliteString());
        form.SetRecordSource("2", table, "", "");
    }

    ScratchFolder folder;
    EditDialogHarness harness;
    clsPLEBindForm form;
};

TEST_F(BindFormTest, PresetsSelectTheirOptionWithoutMakingTheDialogDirty) {
    form.SetDataSource("1", "Shop");
    EXPECT_EQ(form.GetDataSourceType(), 1);
    EXPECT_EQ(form.GetDataSource(), "Shop");
    form.SetDataSource("3", "/data/shop.udl");
    EXPECT_EQ(form.GetDataSourceType(), 3);
    EXPECT_EQ(form.cboDataSource, "");
    // A database file opens as the connection string that reaches it, next to the document.
    form.SetDataSource("4", "shop.mdb");
    EXPECT_EQ(form.GetDataSourceType(), 2);
    EXPECT_EQ(form.GetDataSource(), "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + folder.File("shop.mdb").string() +
                                        ";Persist Security Info=False");
    EXPECT_EQ(form.txtUDL, "");
    form.SetDataSource("x", "ignored");
    form.SetDataSource("9", "ignored");
    EXPECT_EQ(form.GetDataSourceType(), 2);

    form.SetRecordSource("4", "monthly", "a = 1", "b");
    EXPECT_EQ(form.GetRecordSourceType(), 4);
    EXPECT_EQ(form.GetRSWhere(), "a = 1");
    // SQL text stored with bare carriage returns shows as separate lines; CR LF stays single.
    form.SetRecordSource("1", "SELECT *\rFROM orders\r\nWHERE qty > 0", "kept?", "no");
    EXPECT_EQ(form.GetRecordSource(), "SELECT *\r\nFROM orders\r\nWHERE qty > 0");
    EXPECT_EQ(form.GetRSWhere(), "");
    EXPECT_EQ(form.cboProcedure, "");
    EXPECT_FALSE(form.IsDirty());
    EXPECT_FALSE(form.IsCleared());

    // Headless: the dialog closes as cancelled and stays clean.
    ScopedEditForms none(nullptr);
    ui::ScopedServices headless{ui::MakeHeadlessServices()};
    ui::RemoveForms();
    EXPECT_FALSE(form.DoModal());
}

TEST_F(BindFormTest, SqlBoxIsPrefilledFromTheTableOrProcedureChosenBefore) {
    form.SetRecordSource("2", "orders", "qty > 0", "shop, id DESC");
    form.optRecordSource_Click(clsPLEBindForm::OPT_RS_SQL);
    EXPECT_EQ(form.txtRecordSource, "SELECT * FROM orders\r\n WHERE qty > 0\r\n ORDER BY shop, id DESC");
    EXPECT_EQ(form.GetRecordSourceType(), 1);
    EXPECT_TRUE(form.IsDirty());
    EXPECT_FALSE(form.RecordSourceBoxEnabled(clsPLEBindForm::OPT_RS_TABLE));

    // A box that already holds text is left as it is.
    form.optRecordSource_Click(clsPLEBindForm::OPT_RS_TABLE);
    form.optRecordSource_Click(clsPLEBindForm::OPT_RS_SQL);
    EXPECT_EQ(form.txtRecordSource, "SELECT * FROM orders\r\n WHERE qty > 0\r\n ORDER BY shop, id DESC");

    form.Init("t", "OK", true, "");
    form.SetRecordSource("2", "orders", "", "id");
    form.optRecordSource_Click(clsPLEBindForm::OPT_RS_SQL);
    EXPECT_EQ(form.txtRecordSource, "SELECT * FROM orders\r\n ORDER BY id");

    form.Init("t", "OK", true, "");
    form.cboProcedure = "monthly_totals";
    form.optRecordSource_Click(clsPLEBindForm::OPT_RS_PROCEDURE);
    form.optRecordSource_Click(clsPLEBindForm::OPT_RS_SQL);
    EXPECT_EQ(form.txtRecordSource, "EXECUTE monthly_totals");
}

TEST_F(BindFormTest, TableListComesFromTheSqliteFileAndKeepsTheTypedText) {
    BindShop("ord");
    form.cboTable_DropDown();
    // In the rowset's order, views included.
    EXPECT_EQ(form.cboTableList, (std::vector<std::string>{"big_orders", "customers", "orders"}));
    EXPECT_EQ(form.cboTable, "ord");
    EXPECT_FALSE(form.IsDirty());
    form.cboProcedure_DropDown();
    EXPECT_TRUE(form.cboProcedureList.empty());
    EXPECT_TRUE(harness.TakeShown().empty());

    // A data source that does not open: the shared error report, and an empty list.
    form.SetDataSource("2", "Provider=SQLite;Data Source=" + folder.File("missing/none.db").string());
    form.cboTable_DropDown();
    EXPECT_TRUE(form.cboTableList.empty());
    EXPECT_EQ(harness.TakeShown().size(), 1u);
    // No data source at all: nothing is tried.
    form.SetDataSource("1", "");
    form.cboTable_DropDown();
    EXPECT_TRUE(harness.TakeShown().empty());
}

TEST_F(BindFormTest, OdbcDataSourcesAndTheirTablesAreListed) {
    auto& config = paperloom::test::SharedOdbcTestConfig();
    if (!config.HasSqliteDriver()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
    config.AddSqliteDataSource("PaperloomEditShop", folder.File("shop.db"));
    form.cboDataSource = "Pap";
    form.cboDataSource_DropDown();
    const auto& list = form.cboDataSourceList;
    EXPECT_EQ(std::count(list.begin(), list.end(), "PaperloomEditShop"), 1) << "listed once, as user and system";
    EXPECT_EQ(form.cboDataSource, "Pap");
    EXPECT_FALSE(form.IsDirty());

    form.SetDataSource("1", "PaperloomEditShop");
    form.cboTable_DropDown();
    EXPECT_NE(std::find(form.cboTableList.begin(), form.cboTableList.end(), "customers"), form.cboTableList.end());
}

TEST_F(BindFormTest, PostgresTablesAndProceduresAreListed) {
    auto& config = paperloom::test::SharedOdbcTestConfig();
    if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
    auto* server = paperloom::test::SharedPgTestServer();
    if (server == nullptr) GTEST_SKIP() << "PostgreSQL is not installed";
    config.AddPgDataSource("PaperloomEditPg", *server);
    server->RunSql(
        "DROP TABLE IF EXISTS edit_invoices; CREATE TABLE edit_invoices (id integer, total numeric);"
        "CREATE OR REPLACE FUNCTION edit_invoice_total(i integer) RETURNS numeric"
        " AS 'SELECT total FROM edit_invoices WHERE id = i' LANGUAGE sql;");
    form.SetDataSource("1", "PaperloomEditPg");
    form.txtUserName = paperloom::test::PgTestServer::kUser;
    form.cboTable_DropDown();
    form.cboProcedure_DropDown();
    EXPECT_NE(std::find(form.cboTableList.begin(), form.cboTableList.end(), "edit_invoices"), form.cboTableList.end());
    EXPECT_NE(std::find(form.cboProcedureList.begin(), form.cboProcedureList.end(), "edit_invoice_total"),
              form.cboProcedureList.end());
    EXPECT_TRUE(harness.TakeShown().empty());
}

TEST_F(BindFormTest, ConnectionTestHasThreeOutcomes) {
    form.SetDataSource("2", "Provider=SQLite;Data Source=" + folder.File("nowhere/x.db").string());
    form.cboTable = "orders";
    form.cmdTest_Click();
    auto shown = harness.TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("データ ソース、ユーザ名、パスワードの設定に不正があります\n\nエラー内容\n ", 0), 0u) << shown[0];

    BindShop("no_such_table");
    form.cmdTest_Click();
    shown = harness.TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("レコード ソースの設定に不正があります\n\nエラー内容\n ", 0), 0u) << shown[0];

    // The held filter takes part: a bad column is the record source's fault.
    form.SetRecordSource("2", "orders", "nosuch = 1", "");
    form.cmdTest_Click();
    EXPECT_EQ(harness.TakeShown().at(0).rfind("レコード ソースの設定に不正があります", 0), 0u);

    form.SetRecordSource("2", "orders", "qty > 0", "id");
    form.cmdTest_Click();
    EXPECT_EQ(harness.TakeShown(), std::vector<std::string>{"テストは無事に完了しました!"});

    // A statement that would change the database is refused, not run.
    form.SetRecordSource("1", "DELETE FROM orders", "", "");
    form.cmdTest_Click();
    EXPECT_EQ(harness.TakeShown().at(0).rfind("レコード ソースの設定に不正があります", 0), 0u);
    form.SetRecordSource("2", "orders", "", "");
    form.cmdTest_Click();
    EXPECT_EQ(harness.TakeShown(), std::vector<std::string>{"テストは無事に完了しました!"});
    form.optRecordSource_Click(clsPLEBindForm::OPT_RS_TABLE);
    form.cboTable = "orders";
    form.cboTable_DropDown();
    EXPECT_FALSE(form.cboTableList.empty());
}

TEST_F(BindFormTest, OkAsksAboutEmptySourcesWithTheCaptionsWording) {
    // Everything empty: No to the first question keeps the dialog open.
    EXPECT_FALSE(form.cmdOK_Click());
    EXPECT_EQ(harness.TakeShown(),
              std::vector<std::string>{"データ ソースが設定されていませんが、終了してもよろしいですか"});
    // Yes to both closes a cleared dialog: the header command then removes the binding.
    harness.messages->QueueAnswer(ui::vbYes);
    harness.messages->QueueAnswer(ui::vbYes);
    EXPECT_TRUE(form.cmdOK_Click());
    EXPECT_EQ(harness.TakeShown(),
              (std::vector<std::string>{"データ ソースが設定されていませんが、終了してもよろしいですか",
                                        "レコード ソースが設定されていませんが、終了してもよろしいですか"}));
    EXPECT_TRUE(form.Result());
    EXPECT_TRUE(form.IsCleared());
    EXPECT_EQ(form.GetRecordSourceType(), 2);

    // As the wizard's first page the questions speak of moving on.
    form.Init("明細データ部の挿入(1/2)", "次へ", false, "");
    form.SetDataSource("1", "Shop");
    harness.messages->QueueAnswer(ui::vbNo);
    EXPECT_FALSE(form.cmdOK_Click());
    EXPECT_EQ(harness.TakeShown(),
              std::vector<std::string>{"レコード ソースが設定されていませんが、次へ移動してもよろしいですか"});
    form.cboTable = "orders";
    EXPECT_TRUE(form.cmdOK_Click());
    EXPECT_TRUE(harness.TakeShown().empty());
    EXPECT_FALSE(form.IsCleared());
}

TEST_F(BindFormTest, FilterAndSortEditorsWorkOnTheRecordSourcesFields) {
    BindShop("orders");
    form.SetRecordSource("2", "orders", "qty > 0", "");
    harness.forms.filter = [&](clsPLFilterEditor& editor) {
        EXPECT_EQ(editor.Caption(), "基本データ部の抽出");
        EXPECT_EQ(editor.DataFieldList(), (std::vector<std::string>{"id", "shop", "qty"}));
        ASSERT_EQ(editor.Conditions().size(), 1u);
        EXPECT_EQ(editor.Conditions()[0].strDataField, "qty");
        editor.Controls().blnOr = true;
        editor.Controls().strDataField = "shop";
        editor.cboComparisonOperator_Click(0);
        editor.Controls().strValue = "A";
        ASSERT_FALSE(editor.cmdEdit_Click(clsPLFilterEditor::CMD_ADD));
        ASSERT_FALSE(editor.cmdOK_Click());
    };
    form.cmdRSWhere_Click();
    const std::string filter = form.GetRSWhere();
    EXPECT_NE(filter.find("shop"), std::string::npos) << filter;
    EXPECT_LT(filter.find("qty > 0"), filter.find("Or")) << filter;
    EXPECT_LT(filter.find("Or"), filter.find("shop =")) << filter;
    EXPECT_TRUE(form.IsDirty());

    // A cancelled editor changes nothing; the detail's captions.
    clsPLEBindForm detail;
    detail.Init("明細データ部の挿入(1/2)", "次へ", false, "");
    detail.SetDataSource("2", SqliteString());
    detail.SetRecordSource("2", "orders", "", "id");
    std::string caption;
    harness.forms.sort = [&](clsPLSortEditor& editor) {
        caption = editor.Caption();
        editor.Clear();
        editor.cmdCancel_Click();
    };
    detail.cmdRSOrder_Click();
    EXPECT_EQ(caption, "明細データ部のソート");
    EXPECT_EQ(detail.GetRSOrder(), "id");
    EXPECT_FALSE(detail.IsDirty());
}

}  // namespace
}  // namespace paperloom::edit::test
