// The column properties command through the dialog models on a detail table the insert command
// made: column 1 sharing its hidden run with the table's keys, captions replaced or appended,
// the sort written back to the table, a column turned to none losing its keys and its break
// row, and the run-time refilling the document only while UpdateDetail is "True".

#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "Edit/EditCommands.h"
#include "Edit/frmPLEBreak.h"
#include "Edit/frmPLEDetailColProp.h"
#include "common/clsPLProperty.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"

namespace paperloom::edit::test {
namespace {

using C = frmPLEDetailColProp;

class ColumnCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShopDatabase(folder.File("shop.db"));
        RunSqlite(folder.File("shop.db"),
                  "CREATE TABLE Lines (OrderId INTEGER, Item TEXT, Price INTEGER);"
                  "INSERT INTO Lines VALUES (1, 'pen', 100), (1, 'ink', 50), (3, 'pad', 300);");
    }
    // A template with a detail table of Item, Price, 行番号 and an empty column, linked Id ->
    // OrderId, three rows, bookmarked "Lines".
    std::shared_ptr<word::Document> OpenWithTable(Settings settings = ShopSettings()) {
        const auto path =
            SaveBodyTemplate(folder.File("report.docx"), ShopTemplateBody() + Para(word::test::TextRun("[LINES]")), settings);
        auto doc = host.Application().Documents().Open(path);
        auto range = doc->Content();
        auto find = range.Find();
        find.SetText("[LINES]");
        EXPECT_TRUE(find.Execute());
        doc->Selection().Select(range);
        forms.bind = [](clsPLEBindForm& page) {
            page.cboTable = "Lines";
            page.Control_Change();
            page.cmdOK_Click();
        };
        forms.detail = [](frmPLEDetailInsert& page) {
            const auto add = [&](int button, const std::string& field = {}) {
                for (auto& column : page.lstColumns) column.blnSelected = false;
                for (auto& entry : page.lstDataFields) entry.blnSelected = entry.strText == field;
                page.cmdField_Click(button);
            };
            add(frmPLEDetailInsert::CMD_ADD_SELECTED, "Item");
            add(frmPLEDetailInsert::CMD_ADD_SELECTED, "Price");
            add(frmPLEDetailInsert::CMD_ADD_SUPPORT);
            add(frmPLEDetailInsert::CMD_ADD_EMPTY);
            page.cboParentKey = "Id";
            page.cboChildKey = "OrderId";
            page.cboRowCount = "3";
            page.txtBookmark = "Lines";
            page.Control_Change();
            page.cmdOK_Click();
        };
        EditCommands(host, dialogs).DetailInsert();
        EXPECT_EQ(doc->Tables().Count(), 1);
        return doc;
    }
    void ColumnProperties(word::Document& doc, long column) {
        auto at = doc.Tables().Item(1).Cell(2, column).Range();
        at.Collapse(word::wdCollapseStart);
        doc.Selection().Select(at);
        EditCommands(host, dialogs).DetailColProp();
    }
    // The hidden property text of a header cell, read as the commands read it.
    static std::string Hidden(const word::Table& table, long column) {
        std::optional<word::Range> found;
        return clsPLProperty().GetProperties2(table.Cell(1, column).Range(), found) ? found->Text() : std::string();
    }
    // The cell's whole text with hidden text, without its end mark.
    static std::string Whole(const word::Table& table, long column) {
        auto cell = table.Cell(1, column).Range();
        cell.TextRetrievalMode().SetIncludeHiddenText(true);
        cell.SetEnd(cell.End() - 1);
        return cell.Text();
    }
    static std::string Visible(const word::Table& table, long column) {
        auto cell = table.Cell(1, column).Range();
        cell.SetEnd(cell.End() - 1);
        return cell.Text();
    }
    std::string Key(const std::string& text, const std::string& key) const {
        return prop.GetPropertyFromText(text, key, "<none>");
    }
    // Answers the sort editor with one ascending key.
    void SortBy(const std::string& field) {
        forms.sort = [field](clsPLSortEditor& editor) {
            editor.cmdEdit_Click(clsPLSortEditor::CMD_CLEAR);
            editor.Controls().strDataField = field;
            editor.cmdEdit_Click(clsPLSortEditor::CMD_ADD);
            editor.cmdOK_Click();
        };
    }

    ScratchFolder folder;
    word::test::ScratchConfig config;
    std::ostringstream log;
    ui::ScopedServices services{{std::make_shared<ui::HeadlessMessageService>(log), nullptr, nullptr, nullptr}};
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
    TestEditForms forms;
    ScopedEditForms scoped{&forms};
    EditDialogs dialogs;
    const clsPLProperty prop{};
};

TEST_F(ColumnCommandTest, ColumnOneKeepsTheTablesKeysAndItsOwnInOneHiddenRun) {
    const auto doc = OpenWithTable();
    const auto table = doc->Tables().Item(1);
    const std::string tableBefore = Hidden(table, 1);
    SortBy("Item");
    forms.columnProp = [&](C& form) {
        // Preset from the column's keys and the table's record source.
        EXPECT_EQ(form.optFieldType, C::OPT_DATA);
        EXPECT_EQ(form.cboDataField, "Item");
        EXPECT_EQ(form.cboDataFieldList, (std::vector<std::string>{"OrderId", "Item", "Price"}));
        EXPECT_EQ(form.txtCaption, "Item");
        EXPECT_FALSE(form.chkBreakEnabled);  // the table has no sort yet
        EXPECT_FALSE(form.IsDirty());
        form.cmdSort_Click();
        form.chkSkip = true;
        form.chkSkip_Click();
        form.chkBreak = true;
        form.chkBreak_Click();
        forms.rowBreak = [](frmPLEBreak& dialog) {
            ASSERT_EQ(dialog.lstColCondition.size(), 4u);
            EXPECT_EQ(dialog.lstColCondition[2].strText, "行番号");
            EXPECT_EQ(dialog.lstColCondition[3].strText, "d");  // no caption: its letters
            dialog.lstColCondition_Click(1);
            dialog.optFieldType_Click(frmPLEBreak::OPT_STATISTICS);
            dialog.cboFormatType_Click(0);
            dialog.cboFormat = "#,##0";
            dialog.cmdUpdate_Click();
            dialog.cmdOK_Click();
        };
        form.cmdBreak_Click();
        form.cmdOK_Click();
    };
    ColumnProperties(*doc, 1);
    EXPECT_EQ(forms.columnPropShown, 1);

    const std::string hidden = Hidden(table, 1);
    EXPECT_EQ(Whole(table, 1), hidden + "Item") << "one hidden run, then the caption";
    for (const std::string key : {"DataSourceType", "DataSource", "RecordSource", "ParentKey", "ChildKey",
                                  "ColumnHeaders", "AutoAdjustRowCount"})
        EXPECT_EQ(Key(hidden, key), Key(tableBefore, key)) << key;
    EXPECT_EQ(Key(hidden, "RSOrder"), "Item ASC");
    EXPECT_EQ(Key(hidden, "FieldType"), "1");
    EXPECT_EQ(Key(hidden, "DataField"), "Item");
    EXPECT_EQ(Key(hidden, "SkipSameValue"), "True");
    EXPECT_EQ(Key(hidden, "Break"), "True");
    EXPECT_EQ(Key(hidden, "bBreakRowFieldType"), "統計演算");
    EXPECT_EQ(Key(hidden, "bBreakRowFieldValue"), "SUM");
    EXPECT_EQ(Key(hidden, "bBreakRowFormatType"), "\\# (数値)");
    EXPECT_EQ(Key(hidden, "dBreakRowFieldType"), "");
    EXPECT_EQ(Hidden(table, 2), "FieldType=\"1\", DataField=\"Price\", FormatType=\"\", Format=\"\"");

    // Cancel writes nothing.
    const std::string whole = Whole(table, 1);
    forms.columnProp = [](C& form) {
        form.optFieldType_Click(C::OPT_NONE);
        form.cmdCancel_Click();
    };
    ColumnProperties(*doc, 1);
    EXPECT_EQ(Whole(table, 1), whole);
}

TEST_F(ColumnCommandTest, CaptionsAreReplacedOrAppendedAndTheSortGoesToTheTable) {
    const auto doc = OpenWithTable();
    const auto table = doc->Tables().Item(1);
    SortBy("Price");
    forms.columnProp = [](C& form) {
        EXPECT_EQ(form.txtCaption, "Price");
        form.txtCaption = "金額";
        form.cboFormatType_Click(0);
        form.cboFormat = "#,##0";
        form.Control_Change();
        form.cmdSort_Click();
        form.cmdOK_Click();
    };
    ColumnProperties(*doc, 2);
    EXPECT_EQ(Visible(table, 2), "金額");
    EXPECT_EQ(Whole(table, 2), Hidden(table, 2) + "金額");
    EXPECT_EQ(Key(Hidden(table, 2), "FormatType"), "\\#");
    EXPECT_EQ(Key(Hidden(table, 2), "Format"), "#,##0");
    EXPECT_EQ(Key(Hidden(table, 2), "RSOrder"), "<none>");
    EXPECT_EQ(Key(Hidden(table, 1), "RSOrder"), "Price ASC");
    EXPECT_EQ(Visible(table, 1), "Item");

    // The empty column had neither caption nor keys: both are added.
    forms.columnProp = [](C& form) {
        EXPECT_EQ(form.txtCaption, "");
        EXPECT_EQ(form.optFieldType, C::OPT_NONE);
        form.optFieldType_Click(C::OPT_EXPRESSION);
        form.txtExpression = "b*2";
        form.txtCaption = "倍額";
        form.cmdOK_Click();
    };
    ColumnProperties(*doc, 4);
    EXPECT_EQ(Visible(table, 4), "倍額");
    const std::string added = Hidden(table, 4);
    EXPECT_EQ(Whole(table, 4), added + "倍額");
    EXPECT_EQ(Key(added, "FieldType"), "3");
    EXPECT_EQ(Key(added, "DataField"), "b*2");
    EXPECT_EQ(Key(added, "FormatType"), "");  // a type without a picture is none
}

TEST_F(ColumnCommandTest, AColumnTurnedToNoneLosesItsKeysAndItsBreakRow) {
    const auto doc = OpenWithTable();
    const auto table = doc->Tables().Item(1);
    const std::string tableBefore = Hidden(table, 1);
    SortBy("Item");
    forms.columnProp = [&](C& form) {
        form.cmdSort_Click();
        form.chkBreak = true;
        form.chkBreak_Click();
        forms.rowBreak = [](frmPLEBreak& dialog) {
            dialog.lstColCondition_Click(0);
            dialog.optFieldType_Click(frmPLEBreak::OPT_CAPTION);
            dialog.txtCaption = "計";
            dialog.cmdUpdate_Click();
            dialog.cmdOK_Click();
        };
        form.cmdBreak_Click();
        form.cmdOK_Click();
    };
    ColumnProperties(*doc, 1);
    ASSERT_EQ(Key(Hidden(table, 1), "aBreakRowFieldValue"), "計");

    forms.columnProp = [](C& form) {
        EXPECT_TRUE(form.chkBreak);  // as stored, the table being sorted now
        form.optFieldType_Click(C::OPT_NONE);
        form.cmdOK_Click();
    };
    ColumnProperties(*doc, 1);
    std::string expected = tableBefore;
    prop.SetPropertyToText(expected, "RSOrder", "Item ASC");
    for (const std::string key : {"FieldType", "DataField", "FormatType", "Format"})
        prop.DeletePropertyFromText(expected, key);
    EXPECT_EQ(Hidden(table, 1), expected) << "the table's keys stay, the column's and the break row's go";
    EXPECT_EQ(Visible(table, 1), "Item");

    // A column whose only keys were its own keeps no hidden text; its caption stays.
    forms.columnProp = [](C& form) {
        form.optFieldType_Click(C::OPT_NONE);
        form.cmdOK_Click();
    };
    ColumnProperties(*doc, 2);
    EXPECT_EQ(Hidden(table, 2), "");
    EXPECT_EQ(Whole(table, 2), "Price");
}

TEST_F(ColumnCommandTest, TheRunTimeRefillsOnlyWhileUpdateDetailIsTrueAndTheCursorMustBeInATable) {
    auto registration = RunRegistration(PAPERLOOM_RUN_LIBRARY);
    host.Registry().Register(registration);
    host.Startup();
    ASSERT_TRUE(host.COMAddIns().Item("OsPLRun.conPLRun").Connect());
    auto settings = ShopSettings();
    settings["UpdateDetail"] = "False";
    const auto doc = OpenWithTable(settings);
    const auto shown = [&] { return doc->Tables().Item(1).Range().Text().find("pen") != std::string::npos; };
    ASSERT_FALSE(shown());
    forms.columnProp = [](C& form) {
        form.txtCaption = "品目";
        form.Control_Change();
        form.cmdOK_Click();
    };
    ColumnProperties(*doc, 1);
    EXPECT_EQ(Visible(doc->Tables().Item(1), 1), "品目");
    EXPECT_FALSE(shown()) << "no refresh call while UpdateDetail is False";
    doc->Variables().SetValue("UpdateDetail", "True");
    ColumnProperties(*doc, 1);
    EXPECT_TRUE(shown());

    // Outside a table: the message, and no dialog.
    const int before = forms.columnPropShown;
    auto start = doc->Content();
    start.Collapse(word::wdCollapseStart);
    doc->Selection().Select(start);
    EditCommands(host, dialogs).DetailColProp();
    EXPECT_EQ(forms.columnPropShown, before);
    EXPECT_NE(log.str().find("カーソルを対象の表の列に移動してください"), std::string::npos) << log.str();
}

}  // namespace
}  // namespace paperloom::edit::test
