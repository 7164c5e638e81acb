// Page 2 of the detail insert wizard: the column buttons with their insertion point, letters
// and the data fields' order, the fields and keys read from the record source, the OK checks,
// and the pass back to page 1 that keeps page 1's entries and page 2's keys.

#include <gtest/gtest.h>

#include "EditDialogTestSupport.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "support/TestFiles.h"

namespace paperloom::edit::test {
namespace {

using paperloom::test::RunSqlite;
using paperloom::test::ScratchFolder;
using W = frmPLEDetailInsert;

class DetailInsertTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunSqlite(folder.File("shop.db"),
                  "CREATE TABLE orders (id INTEGER, shop TEXT, qty INTEGER);"
                  "CREATE TABLE lines (order_id INTEGER, item TEXT, price REAL);");
        document = app.Documents().Add();
        wizard.Init(document, folder.Path().string());
    }
    std::string Shop() const { return "Provider=SQLite;Data Source=" + folder.File("shop.db").string(); }
    void AddLines() { wizard.AddFields("2", Shop(), "", "", "2", "lines"); }
    std::string Columns() const {
        std::string out;
        for (const auto& c : wizard.lstColumns)
            out += c.strLetter + ":" + c.strContent + (c.blnSelected ? "*" : "") + " ";
        return out;
    }
    std::string DataFields() const {
        std::string out;
        for (const auto& f : wizard.lstDataFields) out += f.strText + (f.blnSelected ? "*" : "") + " ";
        return out;
    }
    void SelectData(const std::string& name) {
        for (auto& f : wizard.lstDataFields) f.blnSelected = f.strText == name;
    }
    void SelectColumns(std::initializer_list<std::size_t> rows) {
        for (auto& c : wizard.lstColumns) c.blnSelected = false;
        for (const auto row : rows) wizard.lstColumns.at(row).blnSelected = true;
    }

    ScratchFolder folder;
    EditDialogHarness harness;
    word::Application app;
    std::shared_ptr<word::Document> document;
    W wizard;
};

TEST_F(DetailInsertTest, FieldsKeysAndDefaultBookmarkComeFromTheRecordSource) {
    wizard.AddParentDataFields(nullptr, "2", "orders");
    EXPECT_TRUE(wizard.cboParentKeyList.empty());
    AddLines();
    EXPECT_EQ(DataFields(), "order_id* item price ");
    EXPECT_EQ(wizard.cboChildKeyList, (std::vector<std::string>{"order_id", "item", "price"}));
    EXPECT_EQ(wizard.txtBookmark, "lines");
    EXPECT_EQ(wizard.cboRowCount, "8");
    EXPECT_EQ(wizard.cboRowCountList.size(), 32u);
    // A typed bookmark name stays; a statement gives the table after FROM.
    wizard.txtBookmark = "";
    wizard.AddFields("2", Shop(), "", "", "1", "SELECT item, price FROM lines WHERE price > 0");
    EXPECT_EQ(DataFields(), "item* price ");
    EXPECT_EQ(wizard.txtBookmark, "lines");
    // A data source that does not open leaves the lists empty.
    wizard.AddFields("2", "Provider=SQLite;Data Source=" + folder.File("none/x.db").string(), "", "", "2", "lines");
    EXPECT_EQ(DataFields(), "");
    EXPECT_TRUE(wizard.cboChildKeyList.empty());
}

TEST_F(DetailInsertTest, ColumnButtonsKeepOrderLettersAndSelection) {
    AddLines();
    SelectData("price");
    wizard.cmdField_Click(W::CMD_ADD_SELECTED);
    EXPECT_EQ(DataFields(), "order_id item* ");  // the last entry when the place is past the end
    SelectData("order_id");
    wizard.cmdField_Click(W::CMD_ADD_SELECTED);  // before the selected column "price"
    EXPECT_EQ(Columns(), "a:order_id* b:price ");
    EXPECT_EQ(DataFields(), "item* ");
    // Removed data fields go back in the record source's order.
    SelectColumns({0, 1});
    wizard.cmdField_Click(W::CMD_REMOVE_SELECTED);
    EXPECT_EQ(DataFields(), "order_id item* price ");
    EXPECT_EQ(Columns(), "");

    // The row number twice, then an empty column before the selected b and c.
    wizard.cmdField_Click(W::CMD_ADD_ALL);
    EXPECT_EQ(DataFields(), "");
    EXPECT_EQ(Columns(), "a:order_id b:item c:price* ");
    SelectColumns({});
    wizard.cmdField_Click(W::CMD_ADD_SUPPORT);
    SelectColumns({});
    wizard.cmdField_Click(W::CMD_ADD_SUPPORT);
    SelectColumns({1, 2});
    wizard.cmdField_Click(W::CMD_ADD_EMPTY);
    EXPECT_EQ(Columns(), "a:order_id b:空の列* c:item d:price e:行番号 f:行番号 ");
    // The new column goes before the selected one.
    wizard.txtExpression = "=d*2";
    wizard.cmdField_Click(W::CMD_ADD_EXPRESSION);
    EXPECT_EQ(Columns(), "a:order_id b:=d*2* c:空の列 d:item e:price f:行番号 g:行番号 ");
    EXPECT_TRUE(wizard.IsDirty());

    EXPECT_EQ(wizard.GetFieldType(1), 1);
    EXPECT_EQ(wizard.GetFieldType(2), 3);
    EXPECT_EQ(wizard.GetFieldType(3), 0);
    EXPECT_EQ(wizard.GetFieldType(6), 2);
    EXPECT_EQ(wizard.GetCaption(2), "計算式");
    EXPECT_EQ(wizard.GetDataField(2), "=d*2");
    EXPECT_EQ(wizard.GetCaption(3), "");
    EXPECT_EQ(wizard.GetCaption(7), "行番号");
    for (const long outside : {0L, 8L, -1L}) {
        EXPECT_EQ(wizard.GetFieldType(outside), 0);
        EXPECT_EQ(wizard.GetCaption(outside), "");
    }

    // Removing from the middle selects the entry before it and renews the letters after it.
    SelectColumns({3, 4});
    wizard.cmdField_Click(W::CMD_REMOVE_SELECTED);
    EXPECT_EQ(Columns(), "a:order_id b:=d*2 c:空の列* d:行番号 e:行番号 ");
    EXPECT_EQ(DataFields(), "item price ");
    // Remove all refills the data fields from the record source.
    wizard.cmdField_Click(W::CMD_REMOVE_ALL);
    EXPECT_EQ(Columns(), "");
    EXPECT_EQ(DataFields(), "order_id* item price ");
}

TEST_F(DetailInsertTest, OkChecksColumnsKeysAndTheBookmarkName) {
    AddLines();
    EXPECT_FALSE(wizard.cmdOK_Click());
    EXPECT_EQ(harness.TakeShown(), std::vector<std::string>{"表示する列が設定されていません"});
    wizard.cmdField_Click(W::CMD_ADD_ALL);
    // Missing keys: No stays; Yes goes on to the next question.
    EXPECT_FALSE(wizard.cmdOK_Click());
    harness.messages->QueueAnswer(ui::vbYes);
    EXPECT_FALSE(wizard.cmdOK_Click());
    EXPECT_EQ(harness.TakeShown(),
              (std::vector<std::string>{"基本データ部リンクキー フィールドが設定されていませんが、終了してもよろしいですか",
                                        "基本データ部リンクキー フィールドが設定されていませんが、終了してもよろしいですか",
                                        "明細データ部リンクキー フィールドが設定されていませんが、終了してもよろしいですか"}));
    wizard.cboParentKey = "id";
    wizard.cboChildKey = "order_id";
    // A name the document refuses shows its error text and keeps the wizard open.
    wizard.txtBookmark = "1 bad name";
    EXPECT_FALSE(wizard.cmdOK_Click());
    EXPECT_EQ(harness.TakeShown().size(), 1u);
    EXPECT_EQ(document->Bookmarks().Count(), 0);
    wizard.txtBookmark = "lines";
    EXPECT_TRUE(wizard.cmdOK_Click());
    EXPECT_EQ(wizard.Result(), W::RESULT_OK);
    EXPECT_EQ(document->Bookmarks().Count(), 0) << "the check leaves no bookmark behind";
}

TEST_F(DetailInsertTest, BackReturnsToPageOneWithItsEntries) {
    clsPLEBindForm page1;
    page1.Init(W::kPage1Caption, clsPLEBindForm::kNextCaption, false, folder.Path().string());
    page1.SetDataSource("2", Shop());
    int pass = 0;
    harness.forms.bind = [&](clsPLEBindForm& f) {
        if (++pass == 1) {
            f.cboTable = "lines";
            f.Control_Change();
        } else {
            // Page 1 as the user left it.
            EXPECT_EQ(f.cboTable, "lines");
            EXPECT_EQ(f.GetDataSource(), Shop());
            f.cboTable = "orders";
        }
        ASSERT_TRUE(f.cmdOK_Click());
    };
    harness.forms.detail = [&](W& w) {
        if (pass == 1) {
            w.cboParentKey = "id";
            w.cboChildKey = "order_id";
            w.cboRowCount = "3";
            w.cmdField_Click(W::CMD_ADD_ALL);
            w.cmdBack_Click();
        } else {
            w.cmdCancel_Click();
        }
    };
    // The detail insert's loop over the two pages.
    int result = W::RESULT_BACK;
    while (result == W::RESULT_BACK) {
        ASSERT_TRUE(page1.DoModal());
        wizard.AddFields(std::to_string(page1.GetDataSourceType()), page1.GetDataSource(), page1.txtUserName,
                         page1.txtPassword, std::to_string(page1.GetRecordSourceType()), page1.GetRecordSource());
        if (pass == 2) {
            // Page 2 starts its columns afresh; keys, row count and bookmark stay.
            EXPECT_EQ(Columns(), "");
            EXPECT_EQ(DataFields(), "id* shop qty ");
            EXPECT_EQ(wizard.cboParentKey, "id");
            EXPECT_EQ(wizard.cboChildKey, "") << "the child key belongs to the record source chosen again";
            EXPECT_EQ(wizard.cboRowCount, "3");
            EXPECT_EQ(wizard.txtBookmark, "lines");
        }
        result = wizard.DoModal();
    }
    EXPECT_EQ(result, W::RESULT_CANCEL);
    EXPECT_EQ(pass, 2);
}

}  // namespace
}  // namespace paperloom::edit::test
