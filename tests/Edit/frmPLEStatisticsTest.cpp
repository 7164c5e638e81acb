// The statistics field dialog: the code it writes with and without a format, the same field
// read back, the column list of a bookmark over one or two tables, and the OK checks in order.

#include <gtest/gtest.h>

#include "EditDialogTestSupport.h"
#include "Edit/frmPLEStatistics.h"
#include "Edit/modPLEFunction.h"
#include "common/modPLFunction.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/Table.h"

namespace paperloom::edit::test {
namespace {

// A document with two tables, "Detail1" over the first (3 columns), "Both" over both (the
// second has 2 columns), and a bookmark "Alone" over plain text.
class StatisticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        document = app.Documents().Add();
        auto content = document->Content();
        content.InsertAfter("before\rfirst\rbetween\rsecond\rafter");
        const auto first = document->Tables().Add(Find("first"), 3, 3);
        const auto second = document->Tables().Add(Find("second"), 2, 2);
        document->Bookmarks().Add("Detail1", first.Range());
        auto both = first.Range();
        both.SetRange(first.Range().Start(), second.Range().End());
        document->Bookmarks().Add("Both", both);
        document->Bookmarks().Add("Alone", Find("before"));
        form.AddBookmarks(document);
        form.Init(std::nullopt);
    }
    word::Range Find(const std::string& text) {
        auto range = document->Content();
        auto find = range.Find();
        find.SetText(text);
        EXPECT_TRUE(find.Execute()) << text;
        return range;
    }
    // A statistics field at the end of the text written by the dialog; its code's tokens.
    std::vector<std::string> Write() {
        auto end = document->Content();
        end.SetRange(end.End() - 1, end.End() - 1);
        field = word::FieldsOf(end).Add(end, word::wdFieldEmpty);
        form.SetFieldCode(*field);
        std::vector<std::string> tokens;
        modPLFunction::SplitTokens(modPLEFunction::FieldCodeText(*field), tokens, "");
        return tokens;
    }
    void SumOverColumnC() {
        form.SetFunction_("SUM");
        form.cboFunction_Click();
        form.cboBookmark = "Detail1";
        form.cboColumn = "c";
    }

    EditDialogHarness harness;
    word::Application app;
    std::shared_ptr<word::Document> document;
    frmPLEStatistics form;
    std::optional<word::Field> field;
};

TEST_F(StatisticsTest, TheCodeHasSevenTokensWithAFormatAndFiveWithoutAndReadsBackTheSame) {
    EXPECT_EQ(form.cboFunctionList,
              (std::vector<std::string>{"AVERAGE", "COUNT", "MAX", "MIN", "PRODUCT", "SUM"}));
    SumOverColumnC();
    form.cboFormatType_Click(0);
    form.cboFormat = "#,##0";
    const auto tokens = Write();
    EXPECT_EQ(tokens, (std::vector<std::string>{"quote", "Statistics", "SUM", "Detail1", "c", "\\#", "\"#,##0\""}));
    EXPECT_EQ(field->Type(), word::wdFieldQuote);

    // Reopened on its own field: the same choices, not yet changed.
    form.Init(field);
    EXPECT_EQ(form.cboFunction, "SUM");
    EXPECT_EQ(form.cboBookmark, "Detail1");
    EXPECT_EQ(form.cboColumn, "c");
    EXPECT_EQ(form.cboFormatTypeIndex, 0);
    EXPECT_EQ(form.cboFormat, "#,##0");
    EXPECT_TRUE(form.cboFormatEnabled);
    EXPECT_FALSE(form.IsDirty());

    // Without a format (type "なし", or a type with no picture): five tokens.
    form.cboFormatType_Click(3);
    EXPECT_EQ(Write().size(), 5u);
    form.Init(std::nullopt);
    SumOverColumnC();
    form.cboFormatType_Click(0);
    EXPECT_EQ(Write().size(), 5u);

    // A picture with a backslash is written doubled and read back single.
    form.cboFormat = "\\#,##0";
    EXPECT_EQ(Write().back(), "\"\\\\#,##0\"");
    form.Init(field);
    EXPECT_EQ(form.cboFormat, "\\#,##0");
    EXPECT_EQ(form.MakeFieldCode_(), "SUM Detail1 c \\# \"\\\\#,##0\"");
}

TEST_F(StatisticsTest, OnlyAStatisticsFieldAndAKnownFunctionAreLoaded) {
    auto end = document->Content();
    end.SetRange(end.End() - 1, end.End() - 1);
    const auto dataField = word::FieldsOf(end).Add(end, word::wdFieldEmpty, "quote DataField Price \\# \"0\"");
    form.Init(dataField);
    EXPECT_EQ(form.cboFunction, "");
    EXPECT_EQ(form.cboBookmark, "");
    EXPECT_EQ(form.cboFormatTypeIndex, 3);

    // Function names match exactly.
    form.SetFunction_("sum");
    EXPECT_EQ(form.cboFunction, "");
    form.SetFunction_("MEDIAN");
    EXPECT_EQ(form.cboFunction, "");
    form.SetFunction_("PRODUCT");
    EXPECT_EQ(form.cboFunction, "PRODUCT");
}

TEST_F(StatisticsTest, TheColumnListShowsTheLettersOfEveryTableInTheBookmark) {
    EXPECT_EQ(form.cboBookmarkList, (std::vector<std::string>{"Alone", "Both", "Detail1"}));
    form.cboColumn_DropDown();
    EXPECT_TRUE(form.cboColumnList.empty()) << "no bookmark chosen";

    form.cboBookmark = "Both";
    form.cboColumn = "b";
    form.cboColumn_DropDown();
    EXPECT_EQ(form.cboColumnList, (std::vector<std::string>{"a", "b", "c", "a", "b"}));
    EXPECT_EQ(form.cboColumn, "b") << "the box's text stays";

    form.cboBookmark = "Detail1";
    form.cboColumn_DropDown();
    EXPECT_EQ(form.cboColumnList, (std::vector<std::string>{"a", "b", "c"}));
    // A bookmark over text, or one the document does not have, offers no columns.
    for (const char* name : {"Alone", "Missing"}) {
        form.cboBookmark = name;
        form.cboColumn_DropDown();
        EXPECT_TRUE(form.cboColumnList.empty()) << name;
    }

    // Init empties the boxes but keeps the bookmarks the command added.
    form.Init(std::nullopt);
    EXPECT_EQ(form.cboBookmark, "");
    EXPECT_TRUE(form.cboColumnList.empty());
    EXPECT_EQ(form.cboBookmarkList.size(), 3u);
    form.AddBookmarks(nullptr);
    EXPECT_TRUE(form.cboBookmarkList.empty());
}

TEST_F(StatisticsTest, OKNamesTheFirstMissingChoiceAndKeepsTheDialogOpen) {
    bool accepted = false;
    harness.forms.statistics = [&](frmPLEStatistics& shown) {
        EXPECT_FALSE(shown.cmdOK_Click());
        shown.SetFunction_("COUNT");
        EXPECT_FALSE(shown.cmdOK_Click());
        shown.cboBookmark = "Detail1";
        EXPECT_FALSE(shown.cmdOK_Click());
        shown.cboColumn = "a";
        accepted = shown.cmdOK_Click();
    };
    EXPECT_TRUE(form.DoModal());
    EXPECT_TRUE(accepted);
    EXPECT_EQ(harness.TakeShown(), (std::vector<std::string>{"統計関数が指定されてません", "ブックマークが指定されてません",
                                                             "列が指定されてません"}));
    EXPECT_EQ(harness.messages->Shown().back().request.icon, ui::MessageIcon::Critical);

    // Cancel, and forms that do not show the dialog, close it as cancelled.
    harness.forms.statistics = [](frmPLEStatistics& shown) { shown.cmdCancel_Click(); };
    EXPECT_FALSE(form.DoModal());
    harness.forms.statistics = nullptr;
    EXPECT_FALSE(form.DoModal());
}

TEST_F(StatisticsTest, OnlyTheUsersChoicesMakeItDirty) {
    form.cboFormatType_Click(1);
    EXPECT_FALSE(form.IsDirty()) << "a format type alone applies to the picture box";
    EXPECT_EQ(form.cboFormatList.front(), "yyyy/MM/dd");
    form.cboFormat_Change();
    EXPECT_TRUE(form.IsDirty());
    form.Init(std::nullopt);
    EXPECT_FALSE(form.IsDirty());
    form.cboColumn_Click();
    EXPECT_TRUE(form.IsDirty());
}

}  // namespace
}  // namespace paperloom::edit::test
