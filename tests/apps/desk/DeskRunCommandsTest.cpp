// The run-time add-in's commands as a user gives them in the desktop host: the real toolbar
// buttons clicked on the sample invoice template, the dialogs' own widgets typed into and
// pressed, message boxes answered by script.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <sstream>

#include "DeskTestSupport.h"
#include "Samples.h"
#include "common/clsPLProperty.h"
#include "host/ui/FormsService.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/addins/COMAddIns.h"
#include "host/word/settings/Variables.h"

namespace paperloom::desk {
namespace {

namespace fs = std::filesystem;

template <typename Widget>
Widget& Child(QWidget& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(QString::fromUtf8(name));
    if (!widget) throw std::runtime_error(std::string("no control ") + name + " in " + dialog.objectName().toStdString());
    return *widget;
}

void Press(QWidget& dialog, const char* button) { Child<QPushButton>(dialog, button).click(); }

class DeskRunCommandsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::TestApplication(); }

    void SetUp() override {
        samples::MakeSamples(folder_.Path(), false);
        word::AddInRegistry registry(folder_.File("addins.xml"));
        word::AddInRegistration run;
        run.progId = "OsPLRun.conPLRun";
        run.libraryPath = PAPERLOOM_RUN_LIBRARY;
        run.loadBehavior = 3;
        registry.Register(run);
        desk_ = std::make_unique<DeskApplication>(folder_.Path());
        desk_->Start();
        document_ = desk_->Open(folder_.File("invoice.docx"));
        ASSERT_NE(document_, nullptr);
        window_ = desk_->WindowOf(*document_);
        ASSERT_NE(window_, nullptr);
        test::Settle();
    }
    void TearDown() override {
        desk_.reset();
        test::Settle();
    }

    // Clicks the toolbar button (or menu entry) the control's tag names.
    void Click(const char* tag) {
        QAction* action = test::ActionNamed(*window_, QString::fromUtf8(tag));
        ASSERT_NE(action, nullptr) << tag;
        action->trigger();
        test::Settle();
    }
    // Clicks, answering the dialog that opens with `answer`.
    void ClickWithDialog(const char* tag, std::function<void(QWidget&)> answer) {
        bool answered = false;
        test::WhenModalShows([&](QWidget& dialog) {
            answered = true;
            try {
                answer(dialog);
            } catch (const std::exception& error) {
                ADD_FAILURE() << error.what();
            }
            if (dialog.isVisible()) Press(dialog, "cmdCancel");
        });
        Click(tag);
        EXPECT_TRUE(answered) << tag << " showed no dialog";
    }
    long Record() {
        word::DispArgs args{document_};
        return desk_->Host().COMAddIns().Item("OsPLRun.conPLRun").Object()->Invoke("RecordIndex", args).AsLong();
    }
    std::string Variable(const char* name) { return clsPLProperty().GetDocVariable(name, *document_, "<none>"); }
    std::string Text() { return document_->Content().Text(); }
    bool Shown(const std::string& text) const { return log_.str().find(text) != std::string::npos; }

    test::ScratchFolder folder_{"paperloom-desk-run"};
    std::ostringstream log_;
    std::shared_ptr<ui::HeadlessMessageService> messages_ = std::make_shared<ui::HeadlessMessageService>(log_);
    ui::ScopedServices services_{{messages_, nullptr, nullptr, nullptr, nullptr, ui::MakeLibraryFormsService()}};
    std::unique_ptr<DeskApplication> desk_;
    std::shared_ptr<word::Document> document_;
    DocumentWindow* window_ = nullptr;
};

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

}  // namespace
}  // namespace paperloom::desk
