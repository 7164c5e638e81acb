#include "common/clsPLFilterEditor.h"

#include <gtest/gtest.h>

namespace paperloom {
namespace {

using Msg = modPLConst::PLMessage;

// Fills the controls as a user would and presses Add.
void AddCondition(clsPLFilterEditor& editor, bool blnOr, int open, std::string field, int comparison,
                  std::string value, int close) {
    auto& controls = editor.Controls();
    controls.blnOr = blnOr;
    controls.intOpenParenthesisIndex = open;
    controls.strDataField = std::move(field);
    editor.cboComparisonOperator_Click(comparison);
    if (controls.blnValueEnabled) {
        controls.strValue = std::move(value);
    }
    controls.intCloseParenthesisIndex = close;
    ASSERT_EQ(editor.cmdEdit_Click(clsPLFilterEditor::CMD_ADD), std::nullopt);
}

constexpr int kEquals = 0;
constexpr int kGreaterOrEqual = 5;
constexpr int kIsBlank = 6;
constexpr int kLike = 8;

TEST(FilterText, WrittenWithBlanksQuotesAndOperators) {
    clsPLFilterEditor editor;
    editor.Init("基本データ部の抽出");
    AddCondition(editor, false, 0, "Name", kLike, "A*", 0);
    AddCondition(editor, false, 0, "Price", kGreaterOrEqual, "100", 0);
    EXPECT_EQ(editor.GetFilter(), "  Name Like 'A*'  And  Price >= 100 ");
    EXPECT_EQ(editor.Conditions()[0].strLogicalOperator, "");
    EXPECT_EQ(editor.Conditions()[1].strLogicalOperator, "And");
}

TEST(FilterText, ValueKinds) {
    clsPLFilterEditor editor;
    editor.Init("");
    AddCondition(editor, false, 0, "Year", kEquals, "2000", 0);
    AddCondition(editor, true, 0, "Code", kEquals, "abc", 0);
    AddCondition(editor, true, 0, "Day", kEquals, "2000/01/31", 0);
    AddCondition(editor, true, 0, "Memo", kIsBlank, "ignored", 0);
    AddCondition(editor, true, 0, "Name", kEquals, "O'Brien", 0);
    EXPECT_EQ(editor.GetFilter(),
              "  Year = 2000  Or  Code = 'abc'  Or  Day = #2000/01/31#  Or  Memo =NULL ''  Or  Name = 'O''Brien' ");
}

TEST(FilterText, RoundTripKeepsEveryRow) {
    clsPLFilterEditor editor;
    editor.Init("");
    AddCondition(editor, false, 2, "都市", kEquals, "New York", 0);
    AddCondition(editor, true, 0, "Day", kGreaterOrEqual, "2000/1/2 10:30", 1);
    AddCondition(editor, false, 0, "Qty", 3, "-1.5", 1);
    AddCondition(editor, false, 1, "Memo", 7, "", 0);
    AddCondition(editor, true, 0, "Name", kLike, "O'Brien 東京", 1);
    const std::string text = editor.GetFilter();
    const auto rows = editor.Conditions();

    clsPLFilterEditor reader;
    reader.Init("");
    reader.SetFilter(text);
    ASSERT_EQ(reader.Conditions().size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        FilterCondition expected = rows[i];
        expected.blnSelected = i == 0;
        EXPECT_EQ(reader.Conditions()[i], expected) << "row " << i;
    }
    EXPECT_EQ(reader.GetFilter(), text);
    EXPECT_TRUE(reader.CheckParenthesis());
    // the first row is selected and shown
    EXPECT_EQ(reader.Controls().strDataField, "都市");
    EXPECT_EQ(reader.Controls().intOpenParenthesisIndex, 2);
}

TEST(FilterText, TextValuesMayHoldTheOtherQuote) {
    clsPLFilterEditor editor;
    editor.Init("");
    AddCondition(editor, false, 0, "Size", kEquals, "5\" wide", 0);
    AddCondition(editor, false, 0, "Name", kEquals, "O'Brien", 0);
    const std::string text = editor.GetFilter();
    EXPECT_EQ(text, "  Size = '5\" wide'  And  Name = 'O''Brien' ");
    clsPLFilterEditor reader;
    reader.Init("");
    reader.SetFilter(text);
    ASSERT_EQ(reader.Conditions().size(), 2u);
    EXPECT_EQ(reader.Conditions()[0].strValue, "5\" wide");
    EXPECT_EQ(reader.Conditions()[1].strValue, "O'Brien");
    // a hand-typed identifier in double quotes stays one token
    reader.SetFilter("\"Order Date\" >= #2000/1/1#");
    ASSERT_EQ(reader.Conditions().size(), 1u);
    EXPECT_EQ(reader.Conditions()[0].strDataField, "\"Order Date\"");
    EXPECT_EQ(reader.Conditions()[0].strValue, "2000/1/1");
}

TEST(FilterText, ReadsHandTypedText) {
    clsPLFilterEditor editor;
    editor.Init("");
    editor.SetFilter("Shop = 'A' Or (Qty > 10 And Qty < 20 )");
    ASSERT_EQ(editor.Conditions().size(), 3u);
    EXPECT_EQ(editor.Conditions()[0].strValue, "A");
    EXPECT_EQ(editor.Conditions()[1].strLogicalOperator, "Or");
    EXPECT_EQ(editor.Conditions()[1].strOpenParenthesis, "(Qty");  // the grammar wants blanks
    EXPECT_EQ(editor.Conditions()[2].strComparisonCaption, "<");
    EXPECT_EQ(editor.Conditions()[2].strCloseParenthesis, ")");
    // blank comparisons read back with an empty value; unknown operators give no caption
    editor.SetFilter(" Memo <>NULL '' And X ~ 'q' And Y = '");
    ASSERT_EQ(editor.Conditions().size(), 3u);
    EXPECT_EQ(editor.Conditions()[0].strComparisonCaption, "空白でない");
    EXPECT_EQ(editor.Conditions()[0].strValue, "");
    EXPECT_EQ(editor.Conditions()[1].strComparisonCaption, "");
    EXPECT_EQ(editor.Conditions()[2].strValue, "");
}

TEST(FilterText, KeywordsInAnyCaseJoinConditions) {
    clsPLFilterEditor editor;
    editor.Init("");
    editor.SetFilter("InvoiceID <= 10 AND Total > 50000 or Shop = 'and'");
    ASSERT_EQ(editor.Conditions().size(), 3u);
    EXPECT_EQ(editor.Conditions()[0].strDataField, "InvoiceID");
    EXPECT_EQ(editor.Conditions()[0].strValue, "10");
    EXPECT_EQ(editor.Conditions()[1].strLogicalOperator, "And");
    EXPECT_EQ(editor.Conditions()[1].strDataField, "Total");
    EXPECT_EQ(editor.Conditions()[1].strValue, "50000");
    EXPECT_EQ(editor.Conditions()[2].strLogicalOperator, "Or");
    EXPECT_EQ(editor.Conditions()[2].strValue, "and");
}

TEST(FilterText, EmptyTextLeavesTheList) {
    clsPLFilterEditor editor;
    editor.Init("");
    AddCondition(editor, false, 0, "A", kEquals, "1", 0);
    editor.SetFilter("");
    editor.SetFilter("   ");
    EXPECT_EQ(editor.Conditions().size(), 1u);
    clsPLFilterEditor empty;
    empty.Init("");
    EXPECT_EQ(empty.GetFilter(), "");
}

TEST(FilterOperators, CaptionsBothWays) {
    const std::vector<std::pair<std::string, std::string>> table = {
        {"=", "="},   {"等しくない", "<>"}, {"<", "<"},           {">", ">"},           {"<=", "<="},
        {">=", ">="}, {"空白である", "=NULL"}, {"空白でない", "<>NULL"}, {"Like", "Like"}};
    for (const auto& [caption, op] : table) {
        EXPECT_EQ(clsPLFilterEditor::CompCapToCompOp(caption), op);
        EXPECT_EQ(clsPLFilterEditor::CompOpToCompCap(op), caption);
    }
    EXPECT_EQ(clsPLFilterEditor::CompCapToCompOp("LIKE"), "");
    EXPECT_EQ(clsPLFilterEditor::CompOpToCompCap("like"), "");
    EXPECT_EQ(clsPLFilterEditor::CompOpToCompCap(""), "");
}

TEST(FilterParentheses, CheckAndOkMessage) {
    clsPLFilterEditor editor;
    editor.Init("");
    editor.BeginModal();
    AddCondition(editor, false, 2, "A", kEquals, "1", 0);
    AddCondition(editor, false, 0, "B", kEquals, "2", 1);
    EXPECT_FALSE(editor.CheckParenthesis());
    const auto message = editor.cmdOK_Click();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->strText, "括弧の対応が合っていません");
    EXPECT_EQ(message->icon, modPLConst::PLMessageIcon::Critical);
    EXPECT_FALSE(editor.Result());
    AddCondition(editor, false, 0, "C", kEquals, "3", 1);
    EXPECT_TRUE(editor.CheckParenthesis());
    EXPECT_EQ(editor.cmdOK_Click(), std::nullopt);
    EXPECT_TRUE(editor.Result());
    editor.cmdCancel_Click();
    EXPECT_FALSE(editor.Result());
}

TEST(FilterButtons, EmptyFieldStopsAddAndChange) {
    clsPLFilterEditor editor;
    editor.Init("");
    editor.BeginModal();
    const Msg expected{"データフィールドを設定してください", modPLConst::PLMessageIcon::Critical};
    EXPECT_EQ(editor.cmdEdit_Click(clsPLFilterEditor::CMD_ADD), expected);
    EXPECT_EQ(editor.cmdEdit_Click(clsPLFilterEditor::CMD_CHANGE), expected);
    EXPECT_TRUE(editor.IsCleared());
    EXPECT_FALSE(editor.IsDirty());
}

TEST(FilterButtons, ChangeTheLastSelectedRow) {
    clsPLFilterEditor editor;
    editor.Init("");
    editor.BeginModal();
    AddCondition(editor, false, 0, "A", kEquals, "1", 0);
    AddCondition(editor, false, 0, "B", kEquals, "2", 0);
    AddCondition(editor, false, 0, "C", kEquals, "3", 0);
    EXPECT_TRUE(editor.IsDirty());
    editor.BeginModal();
    EXPECT_FALSE(editor.IsDirty());
    editor.lstCondition_ItemClick(0);
    editor.SelectRow(1, true);
    EXPECT_EQ(editor.Controls().strDataField, "A");
    editor.Controls().strDataField = "X";
    editor.Controls().blnOr = true;
    EXPECT_EQ(editor.cmdEdit_Click(clsPLFilterEditor::CMD_CHANGE), std::nullopt);
    EXPECT_EQ(editor.Conditions()[0].strDataField, "A");
    EXPECT_EQ(editor.Conditions()[1].strDataField, "X");
    EXPECT_EQ(editor.Conditions()[1].strLogicalOperator, "Or");
    EXPECT_TRUE(editor.IsDirty());
    // the first row never gets a logical operator
    editor.lstCondition_ItemClick(0);
    editor.Controls().blnOr = true;
    editor.cmdEdit_Click(clsPLFilterEditor::CMD_CHANGE);
    EXPECT_EQ(editor.Conditions()[0].strLogicalOperator, "");
}

TEST(FilterButtons, RemoveRowsAndReselect) {
    clsPLFilterEditor editor;
    editor.Init("");
    AddCondition(editor, false, 0, "A", kEquals, "1", 0);
    AddCondition(editor, true, 0, "B", kEquals, "2", 0);
    AddCondition(editor, false, 0, "C", kEquals, "3", 0);
    AddCondition(editor, false, 0, "D", kEquals, "4", 0);
    editor.lstCondition_ItemClick(0);
    editor.SelectRow(2, true);
    editor.BeginModal();
    EXPECT_EQ(editor.cmdEdit_Click(clsPLFilterEditor::CMD_REMOVE), std::nullopt);
    ASSERT_EQ(editor.Conditions().size(), 2u);
    EXPECT_EQ(editor.Conditions()[0].strDataField, "B");
    EXPECT_EQ(editor.Conditions()[0].strLogicalOperator, "");  // new first row
    EXPECT_TRUE(editor.Conditions()[0].blnSelected);
    EXPECT_FALSE(editor.Conditions()[1].blnSelected);
    EXPECT_EQ(editor.Controls().strDataField, "B");
    EXPECT_FALSE(editor.Controls().blnOr);
    EXPECT_TRUE(editor.IsDirty());
    EXPECT_EQ(editor.GetFilter(), "  B = 2  And  D = 4 ");

    // removing the last row selects the row now last
    editor.lstCondition_ItemClick(1);
    editor.cmdEdit_Click(clsPLFilterEditor::CMD_REMOVE);
    ASSERT_EQ(editor.Conditions().size(), 1u);
    EXPECT_TRUE(editor.Conditions()[0].blnSelected);

    // nothing selected: nothing removed
    editor.SelectRow(0, false);
    editor.cmdEdit_Click(clsPLFilterEditor::CMD_REMOVE);
    EXPECT_EQ(editor.Conditions().size(), 1u);
}

TEST(FilterButtons, ClearEmptiesAndMarksDirty) {
    clsPLFilterEditor editor;
    editor.Init("");
    AddCondition(editor, false, 0, "A", kEquals, "1", 0);
    editor.BeginModal();
    editor.cmdEdit_Click(clsPLFilterEditor::CMD_CLEAR);
    EXPECT_TRUE(editor.IsCleared());
    EXPECT_TRUE(editor.IsDirty());
    EXPECT_EQ(editor.GetFilter(), "");
}

TEST(FilterControls, BlankComparisonsDisableTheValue) {
    clsPLFilterEditor editor;
    editor.Init("");
    editor.Controls().strValue = "abc";
    editor.cboComparisonOperator_Click(kIsBlank);
    EXPECT_FALSE(editor.Controls().blnValueEnabled);
    EXPECT_EQ(editor.Controls().strValue, "");
    editor.cboComparisonOperator_Click(kLike);
    EXPECT_TRUE(editor.Controls().blnValueEnabled);
    editor.SetFilter("Memo =NULL ''");
    EXPECT_FALSE(editor.Controls().blnValueEnabled);
    EXPECT_EQ(editor.Controls().intComparisonIndex, kIsBlank);
}

TEST(FilterControls, InitResetsListControlsAndKeepsFieldList) {
    clsPLFilterEditor editor;
    editor.Init("x");
    AddCondition(editor, true, 1, "A", kEquals, "1", 0);
    editor.SetDataFieldList({"A", "B"});
    editor.Init("明細データ部の抽出");
    EXPECT_EQ(editor.Caption(), "明細データ部の抽出");
    EXPECT_TRUE(editor.IsCleared());
    EXPECT_FALSE(editor.Controls().blnOr);
    EXPECT_EQ(editor.Controls().strDataField, "");
    EXPECT_EQ(editor.Controls().intComparisonIndex, -1);
    EXPECT_EQ(editor.DataFieldList().size(), 2u);
}

}  // namespace
}  // namespace paperloom
