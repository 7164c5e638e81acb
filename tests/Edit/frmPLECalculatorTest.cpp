// The calculator: functions and bookmarks inserted at the caret, the formula field at the cursor
// loaded with its picture (a ready-made one selected, another added on top), and cancel.

#include <gtest/gtest.h>

#include "EditDialogTestSupport.h"
#include "Edit/frmPLECalculator.h"
#include "host/word/Application.h"
#include "host/word/Document.h"

namespace paperloom::edit::test {
namespace {

class CalculatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        document = app.Documents().Add();
        auto content = document->Content();
        content.InsertAfter("合計 [F] [G] です");
        document->Bookmarks().Add("Total", Find("合計"));
        document->Bookmarks().Add("Lines", Find("です"));
    }
    word::Range Find(const std::string& text) {
        auto range = document->Content();
        auto find = range.Find();
        find.SetText(text);
        EXPECT_TRUE(find.Execute()) << text;
        return range;
    }
    // A field with this code in place of a placeholder, the caret inside its shown value.
    void FieldWithCode(const std::string& code, const std::string& at = "[F]") {
        const auto field = word::FieldsOf(document->Content()).Add(Find(at), word::wdFieldEmpty, code);
        const auto result = field.Result();
        document->Selection().SetRange(result.Start(), result.Start());
    }
    // Shows the dialog; `work` stands for the user, who then presses OK.
    void Show(std::function<void(frmPLECalculator&)> work) {
        harness.forms.calculator = [work](frmPLECalculator& shown) {
            work(shown);
            shown.cmdOK_Click();
        };
        form.DoModal(document);
    }
    static void Pick(std::vector<std::string>& list, int& index, const std::string& entry) {
        const auto at = std::find(list.begin(), list.end(), entry);
        ASSERT_NE(at, list.end()) << entry;
        index = static_cast<int>(at - list.begin());
    }

    EditDialogHarness harness;
    word::Application app;
    std::shared_ptr<word::Document> document;
    frmPLECalculator form;
};

TEST_F(CalculatorTest, FunctionsAndBookmarksGoInAtTheCaret) {
    Show([](frmPLECalculator& shown) {
        EXPECT_EQ(shown.txtCalc, "=");
        EXPECT_EQ(shown.txtCalcSelStart, 1u);
        ASSERT_EQ(shown.lstFunction.size(), 18u);
        EXPECT_EQ(shown.lstFunction.front(), "ABS");
        EXPECT_EQ(shown.lstFunction.back(), "TRUE");
        EXPECT_EQ(shown.lstBookmark, (std::vector<std::string>{"Lines", "Total"}));
        EXPECT_EQ(shown.cboFormatList.size(), 7u);

        Pick(shown.lstFunction, shown.lstFunctionIndex, "SUM");
        shown.cmdFunction_Click();
        EXPECT_EQ(shown.txtCalc, "=SUM()");
        EXPECT_EQ(shown.txtCalcSelStart, 5u) << "between the parentheses";
        Pick(shown.lstBookmark, shown.lstBookmarkIndex, "Lines");
        shown.cmdBookmark_Click();
        EXPECT_EQ(shown.txtCalc, "=SUM(Lines)");
        EXPECT_EQ(shown.txtCalcSelStart, 10u) << "after the name";

        // Typed text moves the caret; an insertion goes where it is now.
        shown.txtCalc_Change("=SUM(Lines)/2", 13);
        Pick(shown.lstFunction, shown.lstFunctionIndex, "ROUND");
        shown.cmdFunction_Click();
        EXPECT_EQ(shown.txtCalc, "=SUM(Lines)/2ROUND()");
        shown.txtCalc_SelChange(0);
        Pick(shown.lstBookmark, shown.lstBookmarkIndex, "Total");
        shown.cmdBookmark_Click();
        EXPECT_EQ(shown.txtCalc, "Total=SUM(Lines)/2ROUND()");

        // A caret inside a character's bytes falls back to the character's start; one beyond
        // the text stops at its end; nothing selected inserts nothing.
        shown.txtCalc_Change("=合計", 2);
        shown.cmdBookmark_Click();
        EXPECT_EQ(shown.txtCalc, "=Total合計");
        shown.txtCalc_SelChange(99);
        EXPECT_EQ(shown.txtCalcSelStart, shown.txtCalc.size());
        shown.lstFunctionIndex = -1;
        shown.cmdFunction_Click();
        EXPECT_EQ(shown.txtCalc, "=Total合計");
    });
    EXPECT_EQ(form.txtCalc, "=Total合計") << "OK keeps the formula for the command";
    EXPECT_TRUE(harness.TakeShown().empty());
}

TEST_F(CalculatorTest, AFieldsPictureIsSelectedOrAddedOnTop) {
    // The currency picture, stored with its backslash doubled, is the ready-made entry.
    FieldWithCode("=SUM(Lines) \\# \"\\\\#,##0\"");
    Show([](frmPLECalculator& shown) {
        EXPECT_EQ(shown.txtCalc, "=SUM(Lines) ");
        EXPECT_EQ(shown.cboFormat, "\\#,##0");
        EXPECT_EQ(shown.cboFormatList.size(), 7u);
        EXPECT_EQ(shown.cboFormatList.at(2), "\\#,##0");
    });
    ASSERT_TRUE(form.LoadedField());
}

TEST_F(CalculatorTest, AnUnknownPictureGoesOnTopAndTheNextShowingStartsAfresh) {
    FieldWithCode("=Total*2 \\# \"0.000\"");
    Show([](frmPLECalculator& shown) {
        EXPECT_EQ(shown.txtCalc, "=Total*2 ");
        ASSERT_EQ(shown.cboFormatList.size(), 8u);
        EXPECT_EQ(shown.cboFormatList.front(), "0.000");
        EXPECT_EQ(shown.cboFormatList.at(1), "#,##0");
        EXPECT_EQ(shown.cboFormat, "0.000");
    });

    // Away from the field: "=" and the ready-made pictures again.
    document->Selection().SetRange(0, 0);
    Show([](frmPLECalculator& shown) {
        EXPECT_EQ(shown.txtCalc, "=");
        EXPECT_EQ(shown.cboFormat, "");
        EXPECT_EQ(shown.cboFormatList.size(), 7u);
    });
    EXPECT_FALSE(form.LoadedField());

    // A formula without a picture loads whole, trimmed.
    FieldWithCode("  =MAX(Lines)  ", "[G]");
    Show([](frmPLECalculator& shown) { EXPECT_EQ(shown.txtCalc, "=MAX(Lines)"); });
}

TEST_F(CalculatorTest, CancelAndHeadlessLeaveNoFormula) {
    harness.forms.calculator = [](frmPLECalculator& shown) {
        shown.txtCalc_Change("=1+1", 4);
        shown.cmdCancel_Click();
    };
    form.DoModal(document);
    EXPECT_EQ(form.txtCalc, "");
    harness.forms.calculator = nullptr;
    form.DoModal(document);
    EXPECT_EQ(form.txtCalc, "") << "forms that do not show it close it as cancelled";
    // No document open: nothing to list or load.
    harness.forms.calculator = [](frmPLECalculator& shown) {
        EXPECT_TRUE(shown.lstBookmark.empty());
        shown.txtCalc_Change("=2", 2);
        shown.cmdOK_Click();
    };
    form.DoModal(nullptr);
    EXPECT_EQ(form.txtCalc, "=2");
}

}  // namespace
}  // namespace paperloom::edit::test
