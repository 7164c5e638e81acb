// A header field and a column's blanking and break row set through the designer's windows, and
// the same set by 'paperloom design field' and 'design column' on the template file: both give
// the same field code and the same hidden settings in every column of the detail table.

#include <QCheckBox>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "DeskEditDialogsTestSupport.h"
#include "common/clsPLProperty.h"
#include "host/word/Table.h"
#include "host/word/fields/Field.h"

namespace paperloom::desk {
namespace {

std::vector<std::string> FieldCodes(word::Document& document) {
    std::vector<std::string> codes;
    for (const auto& field : word::FieldsOf(document)) {
        auto code = field.Code();
        code.TextRetrievalMode().SetIncludeFieldCodes(true);
        codes.push_back(code.Text());
    }
    return codes;
}

std::vector<std::string> ColumnSettings(word::Document& document) {
    std::vector<std::string> texts;
    const auto table = document.Bookmarks().Item("明細").Range().Tables().Item(1);
    clsPLProperty().GetColumnProperties(table, document, texts);
    return texts;
}

class DeskEditSameSettingsTest : public DeskEditDialogsTest {
protected:
    void RunCli(const QStringList& arguments) {
        QProcess cli;
        cli.setWorkingDirectory(QString::fromStdString(folder_.Path().string()));
        cli.start(PAPERLOOM_CLI, arguments);
        ASSERT_TRUE(cli.waitForFinished(60000));
        ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    }
};

TEST_F(DeskEditSameSettingsTest, TheWindowsAndTheCommandLineWriteTheSameFieldAndColumn) {
    // The window: an era date field in place of the text 備考 ...
    auto placeholder = document_->Content();
    auto find = placeholder.Find();
    find.SetText("備考");
    ASSERT_TRUE(find.Execute());
    desk_->Host().Application().Selection().Select(placeholder);
    bool fieldAnswered = false;
    WhenDialogShows("frmPLEHeadField", [&](QWidget& dialog) {
        fieldAnswered = true;
        Pick(Child<QComboBox>(dialog, "cboDataField"), "IssueDate");
        Pick(Child<QComboBox>(dialog, "cboFormatType"), "\\@ (日付／時刻)");
        Pick(Child<QComboBox>(dialog, "cboFormat"), "gge年M月d日");
        Press(dialog, "cmdOK");
    });
    ClickEdit("ToolHeadField", fieldAnswered);

    // ... and blanking with a break row summing the quantities after each group of column 2.
    const auto table = document_->Bookmarks().Item("明細").Range().Tables().Item(1);
    auto cell = table.Cell(2, 2).Range();
    cell.Collapse(word::wdCollapseStart);
    desk_->Host().Application().Selection().Select(cell);
    bool columnAnswered = false;
    WhenDialogShows("frmPLEDetailColProp", [&](QWidget& dialog) {
        columnAnswered = true;
        Child<QCheckBox>(dialog, "chkSkip").click();
        Child<QCheckBox>(dialog, "chkBreak").click();
        WhenDialogShows("frmPLEBreak", [&](QWidget& breaks) {
            auto& list = Child<QTreeWidget>(breaks, "lstColCondition");
            auto* quantity = list.topLevelItem(3);
            list.scrollToItem(quantity);
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(quantity).center());
            Child<QRadioButton>(breaks, "optFieldType_1").click();
            Pick(Child<QComboBox>(breaks, "cboCalc"), "SUM");
            Pick(Child<QComboBox>(breaks, "cboFormatType"), "\\# (数値)");
            Pick(Child<QComboBox>(breaks, "cboFormat"), "#,##0");
            Press(breaks, "cmdUpdate");
            Press(breaks, "cmdOK");
        });
        Press(dialog, "cmdBreak");
        Press(dialog, "cmdOK");
    });
    ClickEdit("ToolDetailColProp", columnAnswered);

    // The command line, on the template file the window opened (not saved since).
    RunCli({"design", "field", "invoice.docx", "--at", U("備考"), "--data-field", "IssueDate", "--format-type", "\\@",
            "--format", U("gge年M月d日"), "-o", "cli.docx"});
    RunCli({"design", "column", "cli.docx", "--table", U("明細"), "--column", "2", "--skip-same", "yes", "--break",
            "yes", "--break-row", "4=SUM:\\#:#,##0", "--in-place"});
    const auto made = desk_->Host().Application().Documents().Open(folder_.File("cli.docx"), false);

    const auto windowCodes = FieldCodes(*document_);
    EXPECT_NE(std::find(windowCodes.begin(), windowCodes.end(), "quote DataField IssueDate \\@ \"gge年M月d日\""),
              windowCodes.end())
        << ::testing::PrintToString(windowCodes);
    EXPECT_EQ(windowCodes, FieldCodes(*made));
    const auto windowColumns = ColumnSettings(*document_);
    ASSERT_GE(windowColumns.size(), 4u);
    EXPECT_NE(windowColumns[1].find("bBreakRowFieldType"), std::string::npos) << windowColumns[1];
    EXPECT_EQ(windowColumns, ColumnSettings(*made));
}

}  // namespace
}  // namespace paperloom::desk
