// The run-time add-in's commands as a user gives them in the desktop host: the real toolbar
// buttons clicked on the sample invoice template, the dialogs' own widgets typed into and
// pressed, message boxes answered by script.

#include "DeskRunTestSupport.h"

namespace paperloom::desk {
namespace {

TEST_F(DeskRunCommandsTest, NavigationButtonsAndTheMoveDialogStepThroughTheInvoices) {
    ASSERT_EQ(Record(), 1);
    Click("ToolHeadPrev");
    EXPECT_EQ(Record(), 1);
    Click("ToolHeadNext");
    EXPECT_EQ(Record(), 2);
    Click("ToolHeadLast");
    EXPECT_EQ(Record(), 25);
    Click("ToolHeadNext");
    EXPECT_EQ(Record(), 25);
    Click("MenuHeadFirst");
    EXPECT_EQ(Record(), 1);

    ClickWithDialog("ToolHeadMove", [&](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("基本データ部を任意のレコードへ移動"));
        auto& number = Child<QLineEdit>(dialog, "txtRecordIndex");
        const auto moveTo = [&](const char* text) {
            number.setText(QString::fromUtf8(text));
            Press(dialog, "cmdMove");
            return Record();
        };
        const std::string first = Text();
        EXPECT_EQ(moveTo("7"), 7);
        EXPECT_NE(Text(), first) << "the view shows the record moved to";
        EXPECT_EQ(moveTo("0"), 1);
        EXPECT_EQ(moveTo("99"), 25);
        EXPECT_EQ(moveTo("abc"), 25);
        EXPECT_TRUE(Shown("レコード番号を設定してください")) << log_.str();
        EXPECT_TRUE(dialog.isVisible()) << "the move dialog stays open";
    });
    EXPECT_EQ(messages_->PendingAnswers(), 0u);
}

TEST_F(DeskRunCommandsTest, TheFindDialogFindsAsksToWrapAndRestores) {
    ClickWithDialog("ToolHeadFind", [&](QWidget& dialog) {
        auto& field = Child<QComboBox>(dialog, "cboDataField");
        EXPECT_GT(field.count(), 5) << "the record source's fields";
        field.setEditText("CustomerName");
        Child<QLineEdit>(dialog, "txtComparisonValue").setText(QString::fromUtf8("商事"));
        Press(dialog, "cmdFind");
        const long found = Record();
        EXPECT_GT(found, 1);
        EXPECT_NE(Text().find("商事"), std::string::npos);
        // Nothing past the last match: asked to go on from the first, declined, put back.
        Child<QLineEdit>(dialog, "txtComparisonValue").setText(QString::fromUtf8("どこにもない名前"));
        messages_->QueueAnswer(ui::vbNo);
        Press(dialog, "cmdFind");
        EXPECT_TRUE(Shown("最終レコードまで検索しました。先頭レコードから再度検索しますか?")) << log_.str();
        EXPECT_EQ(Record(), found);
        // Backward by number from a record before it: asked, answered yes, found from the last.
        field.setEditText("InvoiceID");
        Child<QLineEdit>(dialog, "txtComparisonValue").setText("20");
        Child<QRadioButton>(dialog, "optSearchDirection_1").setChecked(true);
        messages_->QueueAnswer(ui::vbYes);
        Press(dialog, "cmdFind");
        EXPECT_TRUE(Shown("先頭レコードまで検索しました。最終レコードから再度検索しますか?")) << log_.str();
        EXPECT_EQ(Record(), 20);
        // A field the record source lacks.
        field.setEditText("Nope");
        Press(dialog, "cmdFind");
        EXPECT_TRUE(Shown("フィールド名、フィールドタイプが不正です")) << log_.str();
    });
}

TEST_F(DeskRunCommandsTest, FilterSortAndOptionsDialogsWriteTheTemplateAndShowTheNewFirstRecord) {
    Click("ToolHeadLast");
    const std::string last = Text();
    ClickWithDialog("ToolHeadFilter", [&](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("基本データ部の抽出"));
        Child<QComboBox>(dialog, "cboDataField").setEditText("InvoiceID");
        auto& comparison = Child<QComboBox>(dialog, "cboComparisonOperator");
        comparison.setCurrentIndex(4);  // <=
        emit comparison.activated(4);
        Child<QLineEdit>(dialog, "txtComparisonValue").setText("3");
        Press(dialog, "cmdEdit_0");
        EXPECT_EQ(Child<QTreeWidget>(dialog, "lstCondition").topLevelItemCount(), 1);
        Press(dialog, "cmdOK");
    });
    EXPECT_NE(Variable("HeadFilter").find("InvoiceID <= "), std::string::npos) << Variable("HeadFilter");
    Click("ToolHeadLast");
    EXPECT_EQ(Record(), 3) << "three invoices pass the filter";

    ClickWithDialog("ToolHeadFilter", [&](QWidget& dialog) {
        Press(dialog, "cmdEdit_3");  // clear
        Press(dialog, "cmdOK");
    });
    EXPECT_EQ(Variable("HeadFilter"), "<none>");

    document_->Variables().Delete("RSOrder");  // the template's own order keys come before the sort
    ClickWithDialog("MenuHeadSort", [&](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("基本データ部のソート"));
        Child<QComboBox>(dialog, "cboDataField").setEditText("InvoiceNo");
        Child<QRadioButton>(dialog, "optSort_1").setChecked(true);
        Child<QRadioButton>(dialog, "optSort_1").click();
        Press(dialog, "cmdEdit_0");
        Press(dialog, "cmdOK");
    });
    EXPECT_EQ(Variable("HeadSort"), "InvoiceNo DESC");
    EXPECT_EQ(Record(), 1);
    EXPECT_EQ(Text(), last) << "the first record is now the invoice that was last";

    ClickWithDialog("ToolOption", [&](QWidget& dialog) {
        EXPECT_TRUE(Child<QCheckBox>(dialog, "chkUpdateDetail").isChecked());
        Child<QCheckBox>(dialog, "chkCopyPrimaryFooter").click();
        Press(dialog, "cmdOK");
    });
    EXPECT_EQ(Variable("UpdateDetail"), "True");
    EXPECT_EQ(Variable("CopyPrimaryFooter"), "True");
    ClickWithDialog("MenuOption", [&](QWidget& dialog) {
        EXPECT_TRUE(Child<QCheckBox>(dialog, "chkCopyPrimaryFooter").isChecked()) << "read back";
        EXPECT_FALSE(Child<QCheckBox>(dialog, "chkCopyPrimaryHeader").isChecked());
    });
}

TEST_F(DeskRunCommandsTest, TheSettingTestsFillFromTheDatabaseAsItIsNow) {
    const std::string before = Text();
    ASSERT_NE(before.find("ホッチキス"), std::string::npos) << before;
    test::RunSqlite(folder_.File("sample.db"), "DELETE FROM InvoiceLines");
    Click("ToolHeadTest");  // the header refilled from the record as read: the lines stay
    EXPECT_EQ(Text(), before);
    messages_->QueueAnswer(ui::vbOK);
    Click("MenuDetailTest");
    EXPECT_TRUE(Shown("明細データ部にデータを設定します"));
    EXPECT_EQ(Text().find("ホッチキス"), std::string::npos) << "the detail table read again: no lines now";
    EXPECT_FALSE(Shown("エラー")) << log_.str();
    EXPECT_EQ(Record(), 1);
}

TEST_F(DeskRunCommandsTest, ConfirmationsCancelAnErrorIsShownAndDocumentingOpensAWindow) {
    const auto windows = desk_->Windows().size();
    const long documents = desk_->Application().Documents().Count();
    messages_->QueueAnswer(ui::vbCancel);
    Click("ToolPrintAll");
    messages_->QueueAnswer(ui::vbCancel);
    Click("ToolDocAll");
    messages_->QueueAnswer(ui::vbCancel);
    Click("ToolDetailTest");
    EXPECT_EQ(desk_->Windows().size(), windows);
    EXPECT_EQ(desk_->Application().Documents().Count(), documents);
    EXPECT_TRUE(Shown("印刷を開始します") && Shown("印刷用文書を作成します") && Shown("明細データ部にデータを設定します"));

    // A filter the database refuses: the error box, and the next command works.
    ClickWithDialog("ToolHeadFilter", [&](QWidget& dialog) {
        Child<QComboBox>(dialog, "cboDataField").setEditText("Nope");
        auto& comparison = Child<QComboBox>(dialog, "cboComparisonOperator");
        comparison.setCurrentIndex(0);
        emit comparison.activated(0);
        Child<QLineEdit>(dialog, "txtComparisonValue").setText("1");
        Press(dialog, "cmdEdit_0");
        Press(dialog, "cmdOK");
    });
    EXPECT_TRUE(Shown("does not open again")) << log_.str();
    ClickWithDialog("ToolHeadFilter", [&](QWidget& dialog) {
        Press(dialog, "cmdEdit_3");
        Press(dialog, "cmdOK");
    });
    Click("ToolHeadLast");
    EXPECT_EQ(Record(), 25);

    // Confirmed: the print document of every invoice opens in a window of its own.
    messages_->QueueAnswer(ui::vbOK);
    Click("ToolDocAll");
    ASSERT_EQ(desk_->Windows().size(), windows + 1) << "the print document opens in a window of its own";
    const std::string printed = desk_->Windows().back()->Document()->Content().Text();
    EXPECT_GT(printed.size(), 20 * Text().size()) << "all 25 invoices";
}

TEST_F(DeskRunCommandsTest, DocumentingTheCurrentRecordOpensItsPrintDocumentAndKeepsTheView) {
    Click("ToolHeadNext");
    Click("ToolHeadNext");
    ASSERT_EQ(Record(), 3);
    const auto windows = desk_->Windows().size();
    messages_->QueueAnswer(ui::vbOK);
    Click("ToolDocCurrent");
    ASSERT_EQ(desk_->Windows().size(), windows + 1) << log_.str();
    const std::string printed = desk_->Windows().back()->Document()->Content().Text();
    // Invoice 3: みなと印刷, due 令和6年3月31日 (invoice 2 has the same customer, due in February).
    EXPECT_NE(printed.find("みなと印刷"), std::string::npos) << printed;
    EXPECT_NE(printed.find("令和6年3月31日"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("令和6年2月29日"), std::string::npos);
    EXPECT_EQ(printed.find("九州ロジテック"), std::string::npos);
    EXPECT_EQ(printed.find("北海フーズ"), std::string::npos);
    EXPECT_EQ(Record(), 3) << "the template stays on the record it showed";
}

}  // namespace
}  // namespace paperloom::desk
