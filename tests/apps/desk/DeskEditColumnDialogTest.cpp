// The column properties and row break windows as a user works them in the desktop host: the
// column button clicked in a column of the sample invoice's detail table, blanking and break
// ticked, a SUM set on another column in the row break window, both confirmed.

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "DeskEditDialogsTestSupport.h"
#include "common/clsPLProperty.h"
#include "host/word/Table.h"

namespace paperloom::desk {
namespace {

class DeskEditColumnDialogTest : public DeskEditDialogsTest {
protected:
    word::Table Details() { return document_->Bookmarks().Item("明細").Range().Tables().Item(1); }
    void SelectColumn(long column) {
        auto at = Details().Cell(2, column).Range();
        at.Collapse(word::wdCollapseStart);
        desk_->Host().Application().Selection().Select(at);
    }
    std::string ColumnText(long column) {
        std::vector<std::string> texts;
        clsPLProperty().GetColumnProperties(Details(), *document_, texts);
        return texts.at(static_cast<std::size_t>(column - 1));
    }
};

TEST_F(DeskEditColumnDialogTest, BlankingAndABreakRowWithASumAreSetThroughBothWindows) {
    SelectColumn(2);
    bool answered = false;
    bool breakShown = false;
    WhenDialogShows("frmPLEDetailColProp", [&](QWidget& dialog) {
        answered = true;
        EXPECT_EQ(dialog.windowTitle(), U("明細データ部の列のプロパティ"));
        EXPECT_TRUE(Child<QRadioButton>(dialog, "optFieldType_0").isChecked());
        EXPECT_EQ(Child<QComboBox>(dialog, "cboDataField").currentText(), U("ProductName"));
        EXPECT_EQ(Child<QLineEdit>(dialog, "txtCaption").text(), U("品名"));
        EXPECT_FALSE(Child<QLineEdit>(dialog, "txtExpression").isEnabled());
        auto& skip = Child<QCheckBox>(dialog, "chkSkip");
        auto& rowBreak = Child<QCheckBox>(dialog, "chkBreak");
        EXPECT_TRUE(skip.isEnabled()) << "the sample's details are sorted";
        EXPECT_FALSE(rowBreak.isChecked());
        EXPECT_FALSE(Child<QPushButton>(dialog, "cmdBreak").isEnabled());
        skip.click();
        rowBreak.click();
        EXPECT_TRUE(Child<QPushButton>(dialog, "cmdBreak").isEnabled());

        WhenDialogShows("frmPLEBreak", [&](QWidget& breaks) {
            breakShown = true;
            EXPECT_EQ(breaks.windowTitle(), U("行ブレーク設定"));
            auto& list = Child<QTreeWidget>(breaks, "lstColCondition");
            ASSERT_EQ(list.columnCount(), 5);
            ASSERT_EQ(list.topLevelItemCount(), 6);
            EXPECT_EQ(list.topLevelItem(0)->text(0), U("分類"));
            EXPECT_EQ(list.topLevelItem(3)->text(1), U("なし"));  // this column has no break row yet
            // Row 4 (数量): a SUM with a number format.
            auto* quantity = list.topLevelItem(3);
            list.scrollToItem(quantity);
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(quantity).center());
            EXPECT_TRUE(Child<QRadioButton>(breaks, "optFieldType_2").isChecked());
            EXPECT_FALSE(Child<QComboBox>(breaks, "cboFormatType").isEnabled());
            Child<QRadioButton>(breaks, "optFieldType_1").click();
            EXPECT_TRUE(Child<QComboBox>(breaks, "cboCalc").isEnabled());
            EXPECT_FALSE(Child<QLineEdit>(breaks, "txtCaption").isEnabled());
            Pick(Child<QComboBox>(breaks, "cboCalc"), "SUM");
            Pick(Child<QComboBox>(breaks, "cboFormatType"), "\\# (数値)");
            Pick(Child<QComboBox>(breaks, "cboFormat"), "#,##0");
            Press(breaks, "cmdUpdate");
            // The list is drawn again from the model after the update.
            auto* updated = list.topLevelItem(3);
            EXPECT_EQ(updated->text(1), U("統計演算"));
            EXPECT_EQ(updated->text(2), U("SUM"));
            EXPECT_EQ(updated->text(3), U("\\# (数値)"));
            EXPECT_EQ(updated->text(4), U("#,##0"));
            Press(breaks, "cmdOK");
            EXPECT_FALSE(breaks.isVisible());
        });
        Press(dialog, "cmdBreak");
        Press(dialog, "cmdOK");
        EXPECT_FALSE(dialog.isVisible());
    });
    ClickEdit("ToolDetailColProp", answered);
    EXPECT_TRUE(breakShown);

    const clsPLProperty prop;
    const std::string text = ColumnText(2);
    EXPECT_EQ(prop.GetPropertyFromText(text, "DataField", ""), "ProductName");
    EXPECT_EQ(prop.GetPropertyFromText(text, "SkipSameValue", ""), "True");
    EXPECT_EQ(prop.GetPropertyFromText(text, "Break", ""), "True");
    EXPECT_EQ(prop.GetPropertyFromText(text, "dBreakRowFieldType", ""), "統計演算");
    EXPECT_EQ(prop.GetPropertyFromText(text, "dBreakRowFieldValue", ""), "SUM");
    EXPECT_EQ(prop.GetPropertyFromText(text, "dBreakRowFormatType", ""), "\\# (数値)");
    EXPECT_EQ(prop.GetPropertyFromText(text, "dBreakRowFormat", ""), "#,##0");
    EXPECT_EQ(prop.GetPropertyFromText(text, "aBreakRowFieldType", "-"), "");
    EXPECT_EQ(prop.GetPropertyFromText(text, "fBreakRowFieldType", "-"), "");
    // Column 1 keeps its own break settings and the table's keys.
    EXPECT_EQ(prop.GetPropertyFromText(ColumnText(1), "aBreakRowFieldValue", ""), "小計");
    EXPECT_EQ(prop.GetPropertyFromText(ColumnText(1), "ParentKey", ""), "InvoiceID");
}

TEST_F(DeskEditColumnDialogTest, NoneEmptiesTheFormatAndCancelLeavesTheColumnAsItWas) {
    SelectColumn(5);
    const std::string before = ColumnText(5);
    bool answered = false;
    WhenDialogShows("frmPLEDetailColProp", [&](QWidget& dialog) {
        answered = true;
        EXPECT_EQ(Child<QComboBox>(dialog, "cboFormatType").currentText(), U("\\# (数値)"));
        EXPECT_EQ(Child<QComboBox>(dialog, "cboFormat").currentText(), U("#,##0"));
        Child<QRadioButton>(dialog, "optFieldType_3").click();
        EXPECT_EQ(Child<QComboBox>(dialog, "cboFormatType").currentText(), U("なし"));
        EXPECT_FALSE(Child<QComboBox>(dialog, "cboFormatType").isEnabled());
        EXPECT_FALSE(Child<QComboBox>(dialog, "cboFormat").isEnabled());
        EXPECT_FALSE(Child<QCheckBox>(dialog, "chkSkip").isEnabled());
        EXPECT_FALSE(Child<QComboBox>(dialog, "cboDataField").isEnabled());
        Press(dialog, "cmdCancel");
    });
    ClickEdit("ToolDetailColProp", answered);
    EXPECT_EQ(ColumnText(5), before);
}

}  // namespace
}  // namespace paperloom::desk
