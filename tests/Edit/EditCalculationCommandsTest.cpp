// The statistics and formula commands through the dialogs' models: a field of another kind at
// the cursor refused, a statistics field reopened and replaced in place, one in a floating text
// box found, the run-time's header computing it over the detail table; a formula inserted with
// its number format, in place of the one at the cursor, and nothing inserted when cancelled.

#include <gtest/gtest.h>

#include "EditDialogTestSupport.h"
#include "EditTestSupport.h"
#include "Edit/EditCommands.h"
#include "Edit/frmPLECalculator.h"
#include "Edit/frmPLEStatistics.h"
#include "Edit/modPLEFunction.h"
#include "common/modPLConst.h"

namespace paperloom::edit::test {
namespace {

using word::test::TextRun;

std::vector<std::string> Codes(const word::Fields& fields) {
    std::vector<std::string> codes;
    for (const auto& field : fields) codes.push_back(modPLEFunction::FieldCodeText(field));
    return codes;
}

class CalculationCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShopDatabase(folder.File("shop.db"));
        RunSqlite(folder.File("shop.db"),
                  "CREATE TABLE Lines (OrderId INTEGER, Item TEXT, Price INTEGER);"
                  "INSERT INTO Lines VALUES (1, 'pen', 100), (1, 'ink', 50), (1, 'pad', 25), (3, 'pad', 300);");
    }
    std::shared_ptr<word::Document> Open(const std::string& body) {
        const auto path = SaveBodyTemplate(folder.File("report.docx"), body, ShopSettings());
        return host.Application().Documents().Open(path);
    }
    // The caret just inside the field's shown value, in whichever story holds it.
    static void CaretIn(word::Document& doc, const word::Field& field) {
        auto caret = field.Result();
        caret.SetRange(caret.Start() + 1, caret.Start() + 1);
        doc.Selection().Select(caret);
    }
    static word::Range Find(word::Document& doc, const std::string& text) {
        auto range = doc.Content();
        auto find = range.Find();
        find.SetText(text);
        EXPECT_TRUE(find.Execute()) << text;
        return range;
    }
    static void Select(word::Document& doc, const std::string& text) { doc.Selection().Select(Find(doc, text)); }
    // The detail table "Lines" (Item, Price) in place of [LINES], made by the detail insert
    // command, with three data rows.
    void InsertLines(word::Document& doc) {
        Select(doc, "[LINES]");
        harness.forms.bind = [](clsPLEBindForm& page) {
            page.cboTable = "Lines";
            page.Control_Change();
            ASSERT_TRUE(page.cmdOK_Click());
        };
        harness.forms.detail = [](frmPLEDetailInsert& page) {
            for (const char* name : {"Item", "Price"}) {
                for (auto& column : page.lstColumns) column.blnSelected = false;
                for (auto& entry : page.lstDataFields) entry.blnSelected = entry.strText == name;
                page.cmdField_Click(frmPLEDetailInsert::CMD_ADD_SELECTED);
            }
            page.cboParentKey = "Id";
            page.cboChildKey = "OrderId";
            page.cboRowCount = "3";
            page.txtBookmark = "Lines";
            page.Control_Change();
            ASSERT_TRUE(page.cmdOK_Click());
        };
        ASSERT_TRUE(EditCommands(host, dialogs).DetailInsert());
    }
    // Answers the statistics dialog with a function over column b of Lines.
    void AnswerStatistics(const std::string& function, const std::string& picture = {}) {
        harness.forms.statistics = [function, picture](frmPLEStatistics& form) {
            form.SetFunction_(function);
            form.cboFunction_Click();
            form.cboBookmark = "Lines";
            form.cboColumn = "b";
            if (!picture.empty()) {
                form.cboFormatType_Click(0);
                form.cboFormat = picture;
            }
            ASSERT_TRUE(form.cmdOK_Click());
        };
    }
    std::optional<word::Field> Statistics() { return EditCommands(host, dialogs).Statistics(); }
    bool Formula() { return EditCommands(host, dialogs).Formula(); }

    ScratchFolder folder;
    word::test::ScratchConfig config;
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
    EditDialogHarness harness;
    EditDialogs dialogs;
};

TEST_F(CalculationCommandsTest, AFieldOfAnotherKindAtTheCursorIsRefusedAndNothingChanges) {
    const auto doc = Open(ShopTemplateBody() + Para(FieldRuns("=2*3", "6")));
    const auto before = Codes(word::FieldsOf(*doc));
    int shown = 0;
    harness.forms.statistics = [&](frmPLEStatistics&) { ++shown; };
    for (long index : {3L, 1L}) {  // the formula field, then a header data field
        CaretIn(*doc, word::FieldsOf(*doc).Item(index));
        EXPECT_FALSE(Statistics());
        EXPECT_EQ(harness.TakeShown(), (std::vector<std::string>{"統計演算フィールドではありません。"}));
    }
    EXPECT_EQ(harness.messages->Shown().back().request.icon, ui::MessageIcon::Critical);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(Codes(word::FieldsOf(*doc)), before);
}

TEST_F(CalculationCommandsTest, AStatisticsFieldIsWrittenThenReopenedAndReplacedInPlace) {
    auto registration = RunRegistration(PAPERLOOM_RUN_LIBRARY);
    host.Registry().Register(registration);
    host.Startup();
    const auto doc = Open(Para(TextRun("合計 [SUM] 件数 [COUNT]")) + Para(TextRun("[LINES]")));
    InsertLines(*doc);

    // A new field at the selection; the run-time computes it over the table of order 1.
    Select(*doc, "[SUM]");
    AnswerStatistics("SUM", "#,##0");
    const auto sum = Statistics();
    ASSERT_TRUE(sum);
    EXPECT_EQ(modPLEFunction::FieldCodeText(*sum), "quote Statistics SUM Lines b \\# \"#,##0\"");
    Select(*doc, "[COUNT]");
    AnswerStatistics("COUNT");
    ASSERT_TRUE(Statistics());
    EXPECT_EQ(Codes(word::FieldsOf(*doc)),
              (std::vector<std::string>{"quote Statistics SUM Lines b \\# \"#,##0\"", "quote Statistics COUNT Lines b"}));
    EXPECT_EQ(Shown(*doc), (std::vector<std::string>{"175", "3"}));

    // The cursor inside the first: the dialog opens preset with it, and OK replaces it there.
    CaretIn(*doc, word::FieldsOf(*doc).Item(1));
    harness.forms.statistics = [](frmPLEStatistics& form) {
        EXPECT_EQ(form.cboFunction, "SUM");
        EXPECT_EQ(form.cboBookmark, "Lines");
        EXPECT_EQ(form.cboColumn, "b");
        EXPECT_EQ(form.cboFormat, "#,##0");
        EXPECT_EQ(form.cboBookmarkList, (std::vector<std::string>{"Lines"}));
        form.cboColumn_DropDown();
        EXPECT_EQ(form.cboColumnList, (std::vector<std::string>{"a", "b"}));
        form.SetFunction_("AVERAGE");
        form.cboFunction_Click();
        ASSERT_TRUE(form.cmdOK_Click());
    };
    ASSERT_TRUE(Statistics());
    EXPECT_EQ(Codes(word::FieldsOf(*doc)), (std::vector<std::string>{"quote Statistics AVERAGE Lines b \\# \"#,##0\"",
                                                                      "quote Statistics COUNT Lines b"}));
    EXPECT_NE(doc->Content().Text().find("合計 58 件数 3"), std::string::npos) << doc->Content().Text();

    // Cancel, or OK without a change, leaves it.
    CaretIn(*doc, word::FieldsOf(*doc).Item(2));
    harness.forms.statistics = [](frmPLEStatistics& form) { ASSERT_TRUE(form.cmdOK_Click()); };
    EXPECT_FALSE(Statistics());
    harness.forms.statistics = nullptr;
    EXPECT_FALSE(Statistics());
    EXPECT_EQ(word::FieldsOf(*doc).Count(), 2);
    host.Shutdown();
}

TEST_F(CalculationCommandsTest, AStatisticsFieldInAGroupedTextBoxIsFoundAndReplacedThere) {
    const auto doc = Open(ShopTemplateBody() +
                          Para(GroupedTextBoxes({Para(TextRun("no field")),
                                                 Para(FieldRuns("quote Statistics MAX Lines b", "?"))})));
    const auto box = doc->Shapes().Item(1).GroupItems().Item(2).TextFrame().TextRange();
    CaretIn(*doc, word::FieldsOf(box).Item(1));
    harness.forms.statistics = [](frmPLEStatistics& form) {
        EXPECT_EQ(form.cboFunction, "MAX");
        form.SetFunction_("MIN");
        form.cboFunction_Click();
        ASSERT_TRUE(form.cmdOK_Click());
    };
    ASSERT_TRUE(Statistics()) << ::testing::PrintToString(harness.TakeShown());
    const auto after = doc->Shapes().Item(1).GroupItems().Item(2).TextFrame().TextRange();
    EXPECT_EQ(Codes(word::FieldsOf(after)), (std::vector<std::string>{"quote Statistics MIN Lines b"}));
    EXPECT_EQ(Codes(word::FieldsOf(*doc)), (std::vector<std::string>{"quote DataField Shop", "quote DataField Id"}));
}

TEST_F(CalculationCommandsTest, AFormulaIsInsertedWithItsNumberFormatAndReplacesTheOneAtTheCursor) {
    const auto doc = Open(Para(TextRun("値 [A] と [B]")));
    // Cancelled, or emptied: nothing is inserted.
    Select(*doc, "[A]");
    harness.forms.calculator = [](frmPLECalculator& form) {
        form.txtCalc_Change("=1+1", 4);
        form.cmdCancel_Click();
    };
    EXPECT_FALSE(Formula());
    harness.forms.calculator = [](frmPLECalculator& form) {
        form.txtCalc_Change("", 0);
        form.cmdOK_Click();
    };
    EXPECT_FALSE(Formula());
    EXPECT_EQ(word::FieldsOf(*doc).Count(), 0);
    EXPECT_NE(doc->Content().Text().find("[A]"), std::string::npos);

    harness.forms.calculator = [](frmPLECalculator& form) {
        form.txtCalc_Change("=1234.5*2", 9);
        form.cboFormat = form.cboFormatList.at(1);  // "#,##0.00"
        form.cmdOK_Click();
    };
    EXPECT_TRUE(Formula());
    ASSERT_EQ(word::FieldsOf(*doc).Count(), 1);
    auto field = word::FieldsOf(*doc).Item(1);
    EXPECT_EQ(field.Type(), word::wdFieldFormula);
    EXPECT_EQ(modPLEFunction::FieldCodeText(field), "=1234.5*2 \\# \"#,##0.00\"");
    EXPECT_EQ(field.Result().Text(), "2,469.00");
    EXPECT_EQ(doc->Content().Text().find("[A]"), std::string::npos);

    // Reopened inside it: preset with its formula and picture, and replaced, not nested.
    CaretIn(*doc, field);
    harness.forms.calculator = [](frmPLECalculator& form) {
        EXPECT_EQ(form.txtCalc, "=1234.5*2 ");
        EXPECT_EQ(form.cboFormat, "#,##0.00");
        form.txtCalc_Change("=1234.5*3", 9);
        form.cmdOK_Click();
    };
    EXPECT_TRUE(Formula());
    ASSERT_EQ(word::FieldsOf(*doc).Count(), 1);
    EXPECT_EQ(word::FieldsOf(*doc).Item(1).Result().Text(), "3,703.50");
    EXPECT_NE(doc->Content().Text().find("値 3,703.50 と [B]"), std::string::npos) << doc->Content().Text();

    // Inside a field of another kind the calculator shows its code, and that field stays.
    const auto quote = word::FieldsOf(*doc).Add(Find(*doc, "[B]"), word::wdFieldEmpty, "quote 12");
    CaretIn(*doc, quote);
    harness.forms.calculator = [](frmPLECalculator& form) {
        EXPECT_EQ(form.txtCalc, "quote 12");
        form.txtCalc_Change("=2", 2);
        form.cmdOK_Click();
    };
    EXPECT_TRUE(Formula());
    EXPECT_EQ(Codes(word::FieldsOf(*doc)).at(1), "quote 12");
}

}  // namespace
}  // namespace paperloom::edit::test
