// The detail properties dialog as a user works it in the desktop host: the caret in the sample
// invoice's lines table, the designer's detail properties button clicked, the sort changed
// through the sort editor on the first tab, a check box and the child key's list on the
// second, and the table's property text written back with the columns' own keys kept.

#include <QCheckBox>
#include <QRadioButton>
#include <QTabWidget>

#include "DeskEditDialogsTestSupport.h"
#include "common/clsPLProperty.h"
#include "host/word/Bookmarks.h"
#include "host/word/Table.h"

namespace paperloom::desk {
namespace {

class DeskEditDetailPropDialogTest : public DeskEditDialogsTest {
protected:
    word::Table Lines() { return document_->Bookmarks().Item("明細").Range().Tables().Item(1); }
    void CaretInLines() {
        auto caret = Lines().Cell(2, 2).Range();
        caret.SetRange(caret.Start(), caret.Start());
        desk_->Host().Application().Selection().Select(caret);
    }
    std::vector<std::string> Columns() {
        std::vector<std::string> columns;
        clsPLProperty().GetColumnProperties(Lines(), *document_, columns);
        return columns;
    }
};

TEST_F(DeskEditDetailPropDialogTest, TheSortAndAnOptionChangedInTheWindowAreWrittenIntoTheTable) {
    const auto before = Columns();
    const clsPLProperty prop;
    ASSERT_EQ(prop.GetPropertyFromText(before.at(0), "AutoAdjustRowCount", ""), "True");

    // Cancel leaves the table as it was.
    CaretInLines();
    bool answered = false;
    WhenDialogShows("frmPLEDetailProp", [&](QWidget& dialog) {
        answered = true;
        auto& headers = Child<QCheckBox>(dialog, "chkColumnHeaders");
        headers.click();
        Child<QTabWidget>(dialog, "tabDetailProp").setCurrentIndex(1);
    });
    ClickEdit("ToolDetailProp", answered);
    EXPECT_EQ(Columns(), before);

    CaretInLines();
    answered = false;
    WhenDialogShows("frmPLEDetailProp", [&](QWidget& dialog) {
        answered = true;
        EXPECT_EQ(dialog.windowTitle(), U("明細データ部のプロパティ"));
        auto& tabs = Child<QTabWidget>(dialog, "tabDetailProp");
        EXPECT_EQ(tabs.currentIndex(), 0) << "every showing starts on the first tab";
        EXPECT_EQ(tabs.tabText(0), U("データ バインド"));
        EXPECT_EQ(tabs.tabText(1), U("全般"));
        EXPECT_FALSE(tabs.isAncestorOf(&Child<QPushButton>(dialog, "cmdTest"))) << "the test button is below the tabs";
        // The table's own database file, shown as the connection string that opens it.
        EXPECT_TRUE(Child<QRadioButton>(dialog, "optDataSource_1").isChecked());
        EXPECT_EQ(Child<QLineEdit>(dialog, "txtConnection").text().toStdString(), Jet());
        EXPECT_EQ(Child<QComboBox>(dialog, "cboTable").currentText(), U("InvoiceDetails"));
        Press(dialog, "cmdTest");
        EXPECT_TRUE(Shown("テストは無事に完了しました!")) << log_.str();

        // The sort: the detail's own editor, its fields, the held sort replaced.
        WhenDialogShows("frmPLSort", [&](QWidget& sort) {
            EXPECT_EQ(sort.windowTitle(), U("明細データ部のソート"));
            Press(sort, "cmdEdit_3");
            Pick(Child<QComboBox>(sort, "cboDataField"), "Quantity");
            Child<QRadioButton>(sort, "optSort_1").click();
            Press(sort, "cmdEdit_0");
            Press(sort, "cmdOK");
        });
        Press(dialog, "cmdRSOrder");

        tabs.setCurrentIndex(1);
        EXPECT_EQ(Child<QComboBox>(dialog, "cboParentKey").currentText(), U("InvoiceID"));
        EXPECT_EQ(Child<QComboBox>(dialog, "cboBookmark").currentText(), U("明細"));
        // The child key's list comes from the record source on the first tab.
        Pick(Child<QComboBox>(dialog, "cboChildKey"), "InvoiceID");
        EXPECT_GT(Child<QComboBox>(dialog, "cboChildKey").count(), 5);
        auto& adjust = Child<QCheckBox>(dialog, "chkAutoAdjustRowCount");
        EXPECT_TRUE(adjust.isChecked());
        adjust.click();
        Press(dialog, "cmdOK");
        EXPECT_FALSE(dialog.isVisible()) << log_.str();
    });
    ClickEdit("ToolDetailProp", answered);

    const auto after = Columns();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(prop.GetPropertyFromText(after[0], "AutoAdjustRowCount", ""), "False");
    EXPECT_EQ(prop.GetPropertyFromText(after[0], "RSOrder", ""), "Quantity DESC");
    EXPECT_EQ(prop.GetPropertyFromText(after[0], "ColumnHeaders", ""), "True");
    EXPECT_EQ(prop.GetPropertyFromText(after[0], "ChildKey", ""), "InvoiceID");
    EXPECT_EQ(prop.GetPropertyFromText(after[0], "DataSource", ""), Jet());
    // Column a's own keys, its break row among them, and the other columns stay.
    for (const char* key : {"FieldType", "DataField", "SkipSameValue", "Break", "aBreakRowFieldValue", "fBreakRowFormat"})
        EXPECT_EQ(prop.GetPropertyFromText(after[0], key, "?"), prop.GetPropertyFromText(before[0], key, "!")) << key;
    for (std::size_t c = 1; c < after.size(); ++c) EXPECT_EQ(after[c], before[c]) << c;
    EXPECT_EQ(document_->Bookmarks().Count(), 1) << "the listed bookmark picked: nothing added";
}

}  // namespace
}  // namespace paperloom::desk
