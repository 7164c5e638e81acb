// The row break settings' model: rows loaded into the boxes (unknown functions and empty types
// included), the option rules, and what update, clear and reset store in the list.

#include <gtest/gtest.h>

#include "EditDialogTestSupport.h"
#include "Edit/frmPLEBreak.h"

namespace paperloom::edit::test {
namespace {

using B = frmPLEBreak;

class BreakTest : public ::testing::Test {
protected:
    void Load(std::vector<BreakListItem> rows) {
        form.lstColCondition = std::move(rows);
        form.Init();
    }
    std::string TypeCaption() const {
        return form.cboFormatTypeIndex < 0 ? std::string()
                                           : form.cboFormatTypeList.at(static_cast<std::size_t>(form.cboFormatTypeIndex));
    }

    EditDialogHarness harness;
    B form;
};

TEST_F(BreakTest, RowsLoadIntoTheBoxesWithUnknownFunctionsAsSumAndEmptyTypesAsNone) {
    Load({{"品名", "キャプション", "小計", "なし", ""},
          {"b", "統計演算", "MEDIAN", "\\# (数値)", "#,##0"},
          {"c", "統計演算", "COUNT", "なし", ""},
          {"d", "", "left over", "", ""}});
    // Row 1 is loaded by Init.
    EXPECT_EQ(form.lstSelected, 0);
    EXPECT_EQ(form.optFieldType, B::OPT_CAPTION);
    EXPECT_EQ(form.txtCaption, "小計");
    EXPECT_TRUE(form.CaptionEnabled());
    EXPECT_FALSE(form.CalcEnabled());
    EXPECT_EQ(TypeCaption(), "なし");
    EXPECT_FALSE(form.cboFormatEnabled);

    form.lstColCondition_Click(1);  // a damaged template's function
    EXPECT_EQ(form.optFieldType, B::OPT_STATISTICS);
    EXPECT_EQ(form.CalcText(), "SUM");
    EXPECT_EQ(form.txtCaption, "");
    EXPECT_EQ(TypeCaption(), "\\# (数値)");
    EXPECT_EQ(form.cboFormat, "#,##0");
    EXPECT_TRUE(form.cboFormatEnabled);

    form.lstColCondition_Click(2);
    EXPECT_EQ(form.CalcText(), "COUNT");

    // A row stored without a type is "none": option 2, format type box disabled.
    form.lstColCondition_Click(3);
    EXPECT_EQ(form.optFieldType, B::OPT_NONE);
    EXPECT_FALSE(form.FormatTypeEnabled());
    EXPECT_FALSE(form.CaptionEnabled());
    EXPECT_FALSE(form.CalcEnabled());
    EXPECT_EQ(B::GetFieldType(form.lstColCondition[3]), "");
    EXPECT_EQ(B::GetFieldType(form.lstColCondition[0]), "キャプション");

    // An empty list resets the boxes.
    Load({});
    EXPECT_EQ(form.lstSelected, -1);
    EXPECT_EQ(form.txtCaption, "");
    EXPECT_EQ(form.CalcText(), "SUM");
    EXPECT_EQ(TypeCaption(), "なし");
}

TEST_F(BreakTest, UpdateClearAndResetStoreWhatTheRowShowsAndMakeTheDialogDirty) {
    Load({{"a", "なし", "", "なし", ""}, {"b", "なし", "", "なし", ""}, {"c", "キャプション", "計", "なし", ""}});
    EXPECT_FALSE(form.IsDirty());

    // A function with a number format.
    form.lstColCondition_Click(1);
    form.optFieldType_Click(B::OPT_STATISTICS);
    form.SetUpCalcCombo("AVERAGE");
    form.cboFormatType_Click(0);
    form.cboFormat = "#,##0.00";
    form.cmdUpdate_Click();
    EXPECT_EQ(form.lstColCondition[1], (BreakListItem{"b", "統計演算", "AVERAGE", "\\# (数値)", "#,##0.00"}));
    EXPECT_TRUE(form.IsDirty());

    // A format type chosen without a picture is stored as none.
    form.lstColCondition_Click(0);
    form.optFieldType_Click(B::OPT_CAPTION);
    form.txtCaption = "合計";
    form.cboFormatType_Click(1);
    form.cmdUpdate_Click();
    EXPECT_EQ(form.lstColCondition[0], (BreakListItem{"a", "キャプション", "合計", "なし", ""}));

    // Choosing none empties the boxes and the row.
    form.lstColCondition_Click(2);
    form.optFieldType_Click(B::OPT_NONE);
    EXPECT_EQ(form.txtCaption, "");
    form.cmdUpdate_Click();
    EXPECT_EQ(form.lstColCondition[2], (BreakListItem{"c", "なし", "", "なし", ""}));

    form.lstColCondition_Click(1);
    form.cmdClear_Click();
    EXPECT_EQ(form.lstColCondition[1], (BreakListItem{"b", "なし", "", "なし", ""}));
    EXPECT_EQ(form.lstColCondition[0].strFieldType, "キャプション");  // clear touches the selected row only
    form.cmdReset_Click();
    for (const auto& row : form.lstColCondition) EXPECT_EQ(B::GetFieldType(row), "") << row.strText;
}

TEST_F(BreakTest, OkRefusesAQuoteTheTemplateCannotStoreAndDoModalClosesAsCancelledWithoutWindows) {
    Load({{"a", "キャプション", "the \"end\"", "なし", ""}});
    EXPECT_FALSE(form.cmdOK_Click());
    EXPECT_EQ(harness.TakeShown().size(), 1u);
    form.lstColCondition[0].strFieldValue = "end";
    EXPECT_TRUE(form.cmdOK_Click());

    bool shown = false;
    harness.forms.rowBreak = [&](B& dialog) {
        shown = true;
        EXPECT_FALSE(dialog.IsDirty());  // cleared as it shows
        dialog.cmdReset_Click();
        EXPECT_TRUE(dialog.cmdOK_Click());
    };
    form.cmdReset_Click();
    EXPECT_TRUE(form.DoModal());
    EXPECT_TRUE(shown);
    EXPECT_TRUE(form.IsDirty());
    harness.forms.rowBreak = nullptr;
    EXPECT_FALSE(form.DoModal());
}

}  // namespace
}  // namespace paperloom::edit::test
