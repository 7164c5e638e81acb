// The column properties dialog's model: presets from stored codes, the option and break-control
// rules, the sort button, and the break button's preparation and read-back of the row break
// dialog (column names, one group of keys per column, backslashes doubled).

#include <gtest/gtest.h>

#include "EditDialogTestSupport.h"
#include "Edit/frmPLEBreak.h"
#include "Edit/frmPLEDetailColProp.h"
#include "common/clsPLProperty.h"
#include "host/HostError.h"
#include "support/TestFiles.h"

namespace paperloom::edit::test {
namespace {

using paperloom::test::RunSqlite;
using paperloom::test::ScratchFolder;
using C = frmPLEDetailColProp;

// The keys of the text in their order.
std::vector<std::string> Keys(const std::string& text) {
    std::vector<std::string> keys;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto equals = text.find('=', at);
        if (equals == std::string::npos) break;
        keys.push_back(text.substr(at, equals - at));
        const auto close = text.find('"', text.find('"', equals) + 1);
        at = close + 1;
        if (text.compare(at, 2, ", ") == 0) at += 2;
    }
    return keys;
}

class ColPropTest : public ::testing::Test {
protected:
    void SetUp() override { form.Init(); }
    void Sorted(const std::string& order = "Item") { form.SetRecordSource("", "", "", "", "", "", order); }

    EditDialogHarness harness;
    frmPLEBreak rowBreak;
    C form{rowBreak};
    const clsPLProperty prop{};
};

TEST_F(ColPropTest, BreakAndBlankingNeedASortAndAColumnWithContent) {
    // Stored ticks do not survive an unsorted detail.
    form.SetDataField("1", "Item");
    form.SetSkipSameValue("True");
    form.SetBreakValue("True");
    EXPECT_FALSE(form.chkSkip);
    EXPECT_FALSE(form.chkBreak);
    EXPECT_FALSE(form.chkSkipEnabled);
    EXPECT_FALSE(form.chkBreakEnabled);
    EXPECT_FALSE(form.cmdBreakEnabled);

    // A sort chosen in the sort editor enables them.
    harness.forms.sort = [&](clsPLSortEditor& editor) {
        EXPECT_EQ(editor.Caption(), "明細データ部のソート");
        editor.Controls().strDataField = "Item";
        editor.Controls().intSortIndex = 1;
        editor.cmdEdit_Click(clsPLSortEditor::CMD_ADD);
        editor.cmdOK_Click();
    };
    form.cmdSort_Click();
    EXPECT_EQ(form.GetRSOrder(), "Item DESC");
    EXPECT_TRUE(form.IsDirty());
    EXPECT_TRUE(form.chkSkipEnabled);
    EXPECT_TRUE(form.chkBreakEnabled);
    form.chkBreak = true;
    form.chkBreak_Click();
    EXPECT_TRUE(form.cmdBreakEnabled);

    // Choosing none unticks and disables them again, and empties the format.
    form.cboFormatType_Click(0);
    form.cboFormat = "#,##0";
    form.optFieldType_Click(C::OPT_NONE);
    EXPECT_FALSE(form.chkBreak);
    EXPECT_FALSE(form.chkBreakEnabled);
    EXPECT_FALSE(form.cmdBreakEnabled);
    EXPECT_FALSE(form.cboFormatTypeEnabled);
    EXPECT_EQ(form.GetFieldType(), "0");
    EXPECT_EQ(form.GetDataField(), "");
    EXPECT_EQ(form.GetFormatType(), "");
    EXPECT_EQ(form.cboFormat, "");

    // A sort emptied in the editor disables them too.
    form.optFieldType_Click(C::OPT_EXPRESSION);
    EXPECT_TRUE(form.chkSkipEnabled);
    harness.forms.sort = [](clsPLSortEditor& editor) {
        editor.cmdEdit_Click(clsPLSortEditor::CMD_CLEAR);
        editor.cmdOK_Click();
    };
    form.cmdSort_Click();
    EXPECT_EQ(form.GetRSOrder(), "");
    EXPECT_FALSE(form.chkSkipEnabled);
}

TEST_F(ColPropTest, StoredCodesSelectTheirOptionWithoutMakingTheDialogDirty) {
    Sorted();
    form.SetDataField("4", "Photo");
    EXPECT_EQ(form.optFieldType, C::OPT_DATA);
    EXPECT_EQ(form.cboDataField, "Photo");
    EXPECT_TRUE(form.chkPictureData);
    EXPECT_TRUE(form.PictureDataEnabled());
    EXPECT_EQ(form.GetFieldType(), "4");
    EXPECT_EQ(form.GetDataField(), "Photo");

    form.SetDataField("2", "行番号");
    EXPECT_EQ(form.optFieldType, C::OPT_SUPPORT);
    EXPECT_FALSE(form.chkPictureData);
    EXPECT_EQ(form.cboDataField, "");
    EXPECT_EQ(form.GetDataField(), "行番号");
    EXPECT_TRUE(form.SupportFieldEnabled());
    EXPECT_FALSE(form.DataFieldEnabled());

    form.SetDataField("3", "d*e");
    EXPECT_EQ(form.GetFieldType(), "3");
    EXPECT_EQ(form.txtExpression, "d*e");
    form.SetDataField("x", "Price");  // not a number: a data field
    EXPECT_EQ(form.GetFieldType(), "1");
    EXPECT_EQ(form.GetDataField(), "Price");
    EXPECT_EQ(form.txtExpression, "");
    form.SetSkipSameValue("True");
    EXPECT_EQ(form.GetSkipSameValue(), "True");
    form.SetFormatType("\\@");
    EXPECT_EQ(form.GetFormatType(), "\\@");
    EXPECT_FALSE(form.IsDirty());

    // A code outside 0 to 4 is a damaged template: the command reports it.
    EXPECT_THROW(form.SetDataField("7", "x"), host::HostError);

    form.optFieldType_Click(C::OPT_DATA);
    EXPECT_TRUE(form.IsDirty());
    // OK refuses what the property text cannot hold.
    form.cboDataField = "a\"b";
    EXPECT_FALSE(form.cmdOK_Click());
    EXPECT_EQ(harness.TakeShown().size(), 1u);
    form.cboDataField = "Price";
    EXPECT_TRUE(form.cmdOK_Click());
}

TEST_F(ColPropTest, TheBreakListNamesColumnsByCaptionOrLettersAndLoadsTheStoredCells) {
    Sorted();
    form.SetColumnCaptions({"A", "", "C"});
    form.SetPropsString(
        "FieldType=\"1\", aBreakRowFieldType=\"キャプション\", aBreakRowFieldValue=\"小計\", "
        "cBreakRowFieldType=\"統計演算\", cBreakRowFieldValue=\"SUM\", cBreakRowFormatType=\"\\# (数値)\", "
        "cBreakRowFormat=\"\\\\#,##0\"",
        "ColumnHeaders=\"True\"");
    std::vector<BreakListItem> shown;
    harness.forms.rowBreak = [&](frmPLEBreak& dialog) { shown = dialog.lstColCondition; };
    form.cmdBreak_Click();
    EXPECT_EQ(shown, (std::vector<BreakListItem>{{"A", "キャプション", "小計", "なし", ""},
                                                 {"b", "なし", "", "なし", ""},
                                                 {"C", "統計演算", "SUM", "\\# (数値)", "\\#,##0"}}));
    EXPECT_FALSE(form.IsDirty());  // cancelled: nothing changes

    // Without a caption row every column goes by its letters.
    form.SetPropsString(form.GetColPropsString(), "ColumnHeaders=\"False\"");
    form.cmdBreak_Click();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].strText, "a");
    EXPECT_EQ(shown[2].strText, "c");
}

TEST_F(ColPropTest, TheBreakDialogsAnswerIsStoredAsOneGroupOfKeysPerColumnInColumnOrder) {
    Sorted();
    form.SetColumnCaptions({"品名", "数量", "金額"});
    // Keys of columns d and e are left over from a wider table; b's came before a's.
    form.SetPropsString("FieldType=\"1\", DataField=\"Item\", bBreakRowFieldType=\"キャプション\", "
                        "aBreakRowFormat=\"\", dBreakRowFieldType=\"統計演算\", eBreakRowFormatType=\"なし\", "
                        "SkipSameValue=\"True\"",
                        "");
    harness.forms.rowBreak = [](frmPLEBreak& dialog) {
        dialog.lstColCondition_Click(2);
        dialog.optFieldType_Click(frmPLEBreak::OPT_STATISTICS);
        dialog.SetUpCalcCombo("SUM");
        dialog.cboFormatType_Click(0);
        dialog.cboFormat = "\\#,##0";
        dialog.cmdUpdate_Click();
        dialog.lstColCondition_Click(0);
        dialog.optFieldType_Click(frmPLEBreak::OPT_CAPTION);
        dialog.txtCaption = "小計";
        dialog.cmdUpdate_Click();
        dialog.lstColCondition_Click(1);
        EXPECT_EQ(dialog.optFieldType, frmPLEBreak::OPT_CAPTION);  // as stored
        dialog.cmdClear_Click();
        EXPECT_TRUE(dialog.cmdOK_Click());
    };
    form.cmdBreak_Click();
    EXPECT_TRUE(form.IsDirty());
    const std::string text = form.GetColPropsString();
    EXPECT_EQ(Keys(text), (std::vector<std::string>{
                              "FieldType", "DataField", "SkipSameValue",
                              "aBreakRowFieldType", "aBreakRowFieldValue", "aBreakRowFormatType", "aBreakRowFormat",
                              "bBreakRowFieldType", "bBreakRowFieldValue", "bBreakRowFormatType", "bBreakRowFormat",
                              "cBreakRowFieldType", "cBreakRowFieldValue", "cBreakRowFormatType", "cBreakRowFormat"}))
        << text;
    EXPECT_EQ(prop.GetPropertyFromText(text, "aBreakRowFieldValue", "-"), "小計");
    EXPECT_EQ(prop.GetPropertyFromText(text, "bBreakRowFieldType", "-"), "");  // "なし" is stored empty
    EXPECT_EQ(prop.GetPropertyFromText(text, "bBreakRowFormatType", "-"), "なし");
    EXPECT_EQ(prop.GetPropertyFromText(text, "cBreakRowFieldType", "-"), "統計演算");
    EXPECT_EQ(prop.GetPropertyFromText(text, "cBreakRowFormat", "-"), "\\\\#,##0");  // backslashes doubled

    // Read back into the dialog, the picture has its single backslash again.
    std::vector<BreakListItem> shown;
    harness.forms.rowBreak = [&](frmPLEBreak& dialog) { shown = dialog.lstColCondition; };
    form.cmdBreak_Click();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].strFormat, "\\#,##0");

    // Removing the break props leaves the column's own keys.
    form.DeleteBreakProps();
    EXPECT_EQ(form.GetColPropsString(), "FieldType=\"1\", DataField=\"Item\", SkipSameValue=\"True\"");
}

TEST_F(ColPropTest, TheFieldListComesFromTheDetailRecordSource) {
    ScratchFolder folder;
    RunSqlite(folder.File("lines.db"), "CREATE TABLE Lines (OrderId INTEGER, Item TEXT, Price INTEGER);");
    form.Init(folder.Path().string());
    form.cboDataField = "typed";
    form.AddDataFields("4", "lines.db", "", "", "2", "Lines");
    EXPECT_EQ(form.cboDataFieldList, (std::vector<std::string>{"OrderId", "Item", "Price"}));
    EXPECT_EQ(form.cboDataField, "typed");
    // Nothing to open: the list stays as it is.
    form.AddDataFields("4", "lines.db", "", "", "2", "");
    form.AddDataFields("4", "missing.db", "", "", "2", "Lines");
    EXPECT_EQ(form.cboDataFieldList.size(), 3u);
}

}  // namespace
}  // namespace paperloom::edit::test
