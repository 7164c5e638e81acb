#include "common/clsPLBaseForm.h"
#include "common/clsPLSortEditor.h"

#include <gtest/gtest.h>

namespace paperloom {
namespace {

void AddKey(clsPLSortEditor& editor, std::string field, bool descending) {
    editor.Controls().strDataField = std::move(field);
    editor.Controls().intSortIndex = descending ? 1 : 0;
    ASSERT_EQ(editor.cmdEdit_Click(clsPLSortEditor::CMD_ADD), std::nullopt);
}

TEST(SortText, LoadsAndWritesBackIdentically) {
    clsPLSortEditor editor;
    editor.Init("基本データ部のソート");
    editor.SetSort("Date ASC,Qty DESC");
    ASSERT_EQ(editor.Conditions().size(), 2u);
    EXPECT_EQ(editor.Conditions()[0].strDataField, "Date");
    EXPECT_EQ(editor.Conditions()[0].strSortCaption, "昇順");
    EXPECT_EQ(editor.Conditions()[1].strDataField, "Qty");
    EXPECT_EQ(editor.Conditions()[1].strSortCaption, "降順");
    EXPECT_EQ(editor.GetSort(), "Date ASC,Qty DESC");
    EXPECT_TRUE(editor.Conditions()[0].blnSelected);
    EXPECT_EQ(editor.Controls().strDataField, "Date");
    EXPECT_EQ(editor.Controls().intSortIndex, 0);
}

TEST(SortText, BlanksAfterCommasAndJapaneseFields) {
    clsPLSortEditor editor;
    editor.Init("");
    editor.SetSort("Date ASC,  Qty DESC , 日付 ASC");
    ASSERT_EQ(editor.Conditions().size(), 3u);
    EXPECT_EQ(editor.Conditions()[1].strSortCaption, "降順");
    EXPECT_EQ(editor.Conditions()[2].strDataField, "日付");
    EXPECT_EQ(editor.GetSort(), "Date ASC,Qty DESC,日付 ASC");
}

TEST(SortText, LowerCaseDirectionLosesItsWord) {
    clsPLSortEditor editor;
    editor.Init("");
    editor.SetSort("Date asc");
    ASSERT_EQ(editor.Conditions().size(), 1u);
    EXPECT_EQ(editor.Conditions()[0].strSortCaption, "");
    EXPECT_EQ(editor.GetSort(), "Date ");
    EXPECT_EQ(editor.Controls().intSortIndex, 1);  // anything but ascending shows descending
}

TEST(SortText, SingleTokenOrEmptyLeavesTheList) {
    clsPLSortEditor editor;
    editor.Init("");
    editor.SetSort("A DESC");
    editor.SetSort("Date");
    editor.SetSort("");
    ASSERT_EQ(editor.Conditions().size(), 1u);
    EXPECT_EQ(editor.GetSort(), "A DESC");
}

TEST(SortText, OddTokenCountLoadsTheLastFieldWithoutDirection) {
    clsPLSortEditor editor;
    editor.Init("");
    editor.SetSort("Date ASC,Qty");
    ASSERT_EQ(editor.Conditions().size(), 2u);
    EXPECT_EQ(editor.Conditions()[1].strDataField, "Qty");
    EXPECT_EQ(editor.Conditions()[1].strSortCaption, "");
}

TEST(SortText, KeysWithoutDirectionSurviveAWriteAndRead) {
    clsPLSortEditor editor;
    editor.Init("");
    editor.SetSort("Date asc,Qty desc");
    EXPECT_EQ(editor.GetSort(), "Date ,Qty ");
    clsPLSortEditor reader;
    reader.Init("");
    reader.SetSort(editor.GetSort());
    ASSERT_EQ(reader.Conditions().size(), 2u);
    EXPECT_EQ(reader.Conditions()[1].strDataField, "Qty");
    EXPECT_EQ(reader.GetSort(), "Date ,Qty ");
    // without commas the words pair up as written
    reader.SetSort("Date ASC Qty DESC");
    ASSERT_EQ(reader.Conditions().size(), 2u);
    EXPECT_EQ(reader.GetSort(), "Date ASC,Qty DESC");
    // a quoted field keeps its comma
    reader.SetSort("'a,b' DESC,c ASC");
    ASSERT_EQ(reader.Conditions().size(), 2u);
    EXPECT_EQ(reader.Conditions()[0].strDataField, "'a,b'");
}

TEST(SortCaptions, BothWaysExactly) {
    EXPECT_EQ(clsPLSortEditor::SortCapToSort("昇順"), "ASC");
    EXPECT_EQ(clsPLSortEditor::SortCapToSort("降順"), "DESC");
    EXPECT_EQ(clsPLSortEditor::SortCapToSort("x"), "");
    EXPECT_EQ(clsPLSortEditor::SortToSortCap("ASC"), "昇順");
    EXPECT_EQ(clsPLSortEditor::SortToSortCap("DESC"), "降順");
    EXPECT_EQ(clsPLSortEditor::SortToSortCap("Desc"), "");
}

TEST(SortButtons, AddChangeRemoveClearWithDirtyFlag) {
    clsPLSortEditor editor;
    editor.Init("");
    editor.BeginModal();
    EXPECT_EQ(editor.cmdEdit_Click(clsPLSortEditor::CMD_ADD)->strText, "データフィールドを設定してください");
    EXPECT_FALSE(editor.IsDirty());
    AddKey(editor, "A", false);
    AddKey(editor, "B", true);
    AddKey(editor, "C", false);
    EXPECT_TRUE(editor.IsDirty());
    EXPECT_EQ(editor.GetSort(), "A ASC,B DESC,C ASC");
    EXPECT_TRUE(editor.Conditions()[2].blnSelected);

    editor.lstCondition_ItemClick(1);
    EXPECT_EQ(editor.Controls().strDataField, "B");
    EXPECT_EQ(editor.Controls().intSortIndex, 1);
    editor.Controls().intSortIndex = 0;
    editor.cmdEdit_Click(clsPLSortEditor::CMD_CHANGE);
    EXPECT_EQ(editor.GetSort(), "A ASC,B ASC,C ASC");

    editor.Controls().strDataField.clear();
    EXPECT_TRUE(editor.cmdEdit_Click(clsPLSortEditor::CMD_CHANGE).has_value());

    editor.SelectRow(0, true);
    editor.cmdEdit_Click(clsPLSortEditor::CMD_REMOVE);
    ASSERT_EQ(editor.Conditions().size(), 1u);
    EXPECT_EQ(editor.Conditions()[0].strDataField, "C");
    EXPECT_TRUE(editor.Conditions()[0].blnSelected);
    EXPECT_EQ(editor.Controls().strDataField, "C");

    editor.BeginModal();
    editor.cmdEdit_Click(clsPLSortEditor::CMD_CLEAR);
    EXPECT_TRUE(editor.IsCleared());
    EXPECT_TRUE(editor.IsDirty());
    EXPECT_EQ(editor.GetSort(), "");
}

TEST(SortButtons, OkAndCancel) {
    clsPLSortEditor editor;
    editor.Init("明細データ部のソート");
    editor.BeginModal();
    editor.cmdOK_Click();
    EXPECT_TRUE(editor.Result());
    editor.BeginModal();
    EXPECT_FALSE(editor.Result());
    editor.cmdCancel_Click();
    EXPECT_FALSE(editor.Result());
    EXPECT_EQ(editor.Caption(), "明細データ部のソート");
}

TEST(BaseForm, CentresOnTheWorkArea) {
    const clsPLBaseForm form([] { return WorkArea{100, 50, 1600, 900}; });
    EXPECT_FLOAT_EQ(form.GetCenterLeftPos(400), 700);
    EXPECT_FLOAT_EQ(form.GetCenterTopPos(300), 350);
    const clsPLBaseForm noArea(nullptr);
    EXPECT_FLOAT_EQ(noArea.GetCenterLeftPos(400), -200);
}

}  // namespace
}  // namespace paperloom
