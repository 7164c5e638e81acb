// The statistics field dialog and the calculator as a user works them in the desktop host on
// the sample invoice template: the subtotal's statistics field reopened and changed, a new one
// written after the OK checks, a formula built from the lists and inserted with a picture.

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "DeskEditDialogsTestSupport.h"
#include "host/word/fields/Field.h"

namespace paperloom::desk {
namespace {

class DeskEditCalculationDialogsTest : public DeskEditDialogsTest {
protected:
    std::string CodeOf(const word::Field& field) const {
        auto code = field.Code();
        code.TextRetrievalMode().SetIncludeFieldCodes(true);
        return code.Text();
    }
    // The main text's field codes holding `part`.
    std::vector<std::string> CodesWith(const std::string& part) const {
        std::vector<std::string> codes;
        for (const auto& field : word::FieldsOf(*document_))
            if (const auto code = CodeOf(field); code.find(part) != std::string::npos) codes.push_back(code);
        return codes;
    }
    std::optional<word::Field> FieldWith(const std::string& part) const {
        for (const auto& field : word::FieldsOf(*document_))
            if (CodeOf(field).find(part) != std::string::npos) return field;
        return std::nullopt;
    }
    // The caret before the template's last paragraph mark.
    void CaretAtEnd() {
        auto end = document_->Content();
        end.SetRange(end.End() - 1, end.End() - 1);
        desk_->Host().Application().Selection().Select(end);
    }
};

TEST_F(DeskEditCalculationDialogsTest, TheSubtotalIsReopenedChangedAndANewStatisticsFieldWritten) {
    const auto subtotal = FieldWith("Statistics");
    ASSERT_TRUE(subtotal);
    auto caret = subtotal->Result();
    caret.SetRange(caret.Start() + 1, caret.Start() + 1);
    desk_->Host().Application().Selection().Select(caret);

    bool answered = false;
    WhenDialogShows("frmPLEStatistics", [&](QWidget& dialog) {
        answered = true;
        EXPECT_EQ(dialog.windowTitle(), U("統計演算フィールド"));
        EXPECT_EQ(Child<QComboBox>(dialog, "cboFunction").currentText(), U("SUM"));
        EXPECT_EQ(Child<QComboBox>(dialog, "cboBookmark").currentText(), U("明細"));
        EXPECT_EQ(Child<QComboBox>(dialog, "cboColumn").currentText(), U("f"));
        EXPECT_EQ(Child<QComboBox>(dialog, "cboFormatType").currentText(), U("\\# (数値)"));
        EXPECT_TRUE(Child<QComboBox>(dialog, "cboFormat").isEnabled());
        auto& column = Child<QComboBox>(dialog, "cboColumn");
        Pick(column, "d");
        EXPECT_EQ(column.count(), 6) << "the letters of the table's six columns";
        Pick(Child<QComboBox>(dialog, "cboFunction"), "COUNT");
        Pick(Child<QComboBox>(dialog, "cboFormatType"), "なし");
        EXPECT_FALSE(Child<QComboBox>(dialog, "cboFormat").isEnabled());
        Press(dialog, "cmdOK");
        EXPECT_FALSE(dialog.isVisible());
    });
    ClickEdit("ToolStatistics", answered);
    EXPECT_EQ(CodesWith("Statistics"), (std::vector<std::string>{"quote Statistics COUNT 明細 d"}));

    // A new one at the end: OK names what is missing until all three are chosen.
    CaretAtEnd();
    answered = false;
    WhenDialogShows("frmPLEStatistics", [&](QWidget& dialog) {
        answered = true;
        EXPECT_EQ(Child<QComboBox>(dialog, "cboFunction").currentIndex(), -1);
        EXPECT_EQ(Child<QComboBox>(dialog, "cboFormatType").currentText(), U("なし"));
        Press(dialog, "cmdOK");
        EXPECT_TRUE(Shown("統計関数が指定されてません")) << log_.str();
        Pick(Child<QComboBox>(dialog, "cboFunction"), "MAX");
        Press(dialog, "cmdOK");
        EXPECT_TRUE(Shown("ブックマークが指定されてません")) << log_.str();
        Pick(Child<QComboBox>(dialog, "cboBookmark"), "明細");
        Press(dialog, "cmdOK");
        EXPECT_TRUE(Shown("列が指定されてません")) << log_.str();
        EXPECT_TRUE(dialog.isVisible());
        Pick(Child<QComboBox>(dialog, "cboColumn"), "e");
        Pick(Child<QComboBox>(dialog, "cboFormatType"), "\\# (数値)");
        Pick(Child<QComboBox>(dialog, "cboFormat"), "#,##0");
        Press(dialog, "cmdOK");
        EXPECT_FALSE(dialog.isVisible());
    });
    ClickEdit("ToolStatistics", answered);
    EXPECT_EQ(CodesWith("Statistics"), (std::vector<std::string>{"quote Statistics COUNT 明細 d",
                                                                 "quote Statistics MAX 明細 e \\# \"#,##0\""}));
}

TEST_F(DeskEditCalculationDialogsTest, AFormulaIsBuiltFromTheListsAndInsertedWithItsPicture) {
    CaretAtEnd();
    const auto before = word::FieldsOf(*document_).Count();
    // Cancel inserts nothing.
    bool answered = false;
    WhenDialogShows("frmPLECalculator", [&](QWidget& dialog) {
        answered = true;
        EXPECT_EQ(dialog.windowTitle(), U("計算式"));
        Child<QLineEdit>(dialog, "txtCalc").setText("=1");
    });
    ClickEdit("ToolCalculator", answered);
    EXPECT_EQ(word::FieldsOf(*document_).Count(), before);

    answered = false;
    WhenDialogShows("frmPLECalculator", [&](QWidget& dialog) {
        answered = true;
        auto& formula = Child<QLineEdit>(dialog, "txtCalc");
        EXPECT_EQ(formula.text(), U("="));
        EXPECT_EQ(formula.cursorPosition(), 1);
        auto& functions = Child<QListWidget>(dialog, "lstFunction");
        functions.setCurrentItem(functions.findItems("SUM", Qt::MatchExactly).at(0));
        Press(dialog, "cmdFunction");
        EXPECT_EQ(formula.text(), U("=SUM()"));
        EXPECT_EQ(formula.cursorPosition(), 5);
        // A double click on the bookmark puts it between the parentheses.
        auto& bookmarks = Child<QListWidget>(dialog, "lstBookmark");
        const auto found = bookmarks.findItems(U("明細"), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        bookmarks.setCurrentItem(found.at(0));
        emit bookmarks.itemDoubleClicked(found.at(0));
        EXPECT_EQ(formula.cursorPosition(), 7);
        QTest::keyClicks(&formula, " f:f");
        EXPECT_EQ(formula.text(), U("=SUM(明細 f:f)"));
        Pick(Child<QComboBox>(dialog, "cboFormat"), "#,##0");
        Press(dialog, "cmdOK");
    });
    ClickEdit("ToolCalculator", answered);
    ASSERT_EQ(word::FieldsOf(*document_).Count(), before + 1);
    const auto inserted = FieldWith("f:f");
    ASSERT_TRUE(inserted);
    EXPECT_EQ(inserted->Type(), word::wdFieldFormula);
    EXPECT_EQ(CodeOf(*inserted), "=SUM(明細 f:f) \\# \"#,##0\"");
    EXPECT_FALSE(Shown("[error]")) << log_.str();
}

}  // namespace
}  // namespace paperloom::desk
