// The header field dialog's model: codes built from the boxes and read back into them, the
// format boxes following the chosen type, which boxes take input, the dirty and result flags,
// and the record source's fields as the field box's list.

#include <gtest/gtest.h>

#include "EditDialogTestSupport.h"
#include "Edit/frmPLEHeadField.h"
#include "common/modPLFunction.h"
#include "host/ado/Connection.h"
#include "support/TestFiles.h"

namespace paperloom::edit::test {
namespace {

using paperloom::test::RunSqlite;
using paperloom::test::ScratchFolder;
using F = frmPLEHeadField;

class HeadFieldTest : public ::testing::Test {
protected:
    void SetUp() override { form.Init(); }
    // The code read into a freshly initialised dialog, then built again.
    std::string RoundTrip(const std::string& code) {
        form.Init();
        form.SetFieldCode(code);
        return form.MakeFieldCode();
    }
    std::string TypeCaption() const {
        return form.cboFormatTypeIndex < 0 ? std::string()
                                           : form.cboFormatTypeList.at(static_cast<std::size_t>(form.cboFormatTypeIndex));
    }

    EditDialogHarness harness;
    F form;
};

TEST_F(HeadFieldTest, ACodeReadBackShowsItsSettingsAndBuildsTheSameCodeAgain) {
    const std::string price = "quote DataField Price \\# \"#,##0\"";
    form.SetFieldCode(price);
    EXPECT_EQ(form.optFieldType, F::OPT_DATA_FIELD);
    EXPECT_EQ(form.cboDataField, "Price");
    EXPECT_FALSE(form.chkPictureData);
    EXPECT_EQ(TypeCaption(), "\\# (数値)");
    EXPECT_EQ(form.cboFormat, "#,##0");
    EXPECT_TRUE(form.cboFormatEnabled);
    EXPECT_EQ(form.MakeFieldCode(), price);
    EXPECT_FALSE(form.IsDirty());  // reading a field back is no change

    // Backslashes are doubled in the code and single in the box; blanks stay inside the quotes.
    form.Init();
    form.SetFieldCode("quote DataField Price \\# \"\\\\#,##0\"");
    EXPECT_EQ(form.cboFormat, "\\#,##0");
    for (const std::string code : {"quote DataField Price \\# \"\\\\#,##0\"", "quote DataField Placed \\@ \"hh:mm:ss am/pm\"",
                                   "quote DataField Placed \\@ \"gggee年MM月dd日\"", "IncludePicture PictureField Photo",
                                   "quote DataField Note \\* \"Upper\""})
        EXPECT_EQ(RoundTrip(code), code);
    form.Init();
    form.SetFieldCode("IncludePicture PictureField Photo");
    EXPECT_TRUE(form.chkPictureData);
    EXPECT_EQ(form.cboDataField, "Photo");

    // Support fields keep their kind (a record number is not turned into a sequence number)
    // and read their switch from the third word.
    for (const std::string code : {"quote RecordIndex \\# \"0\"", "quote SequenceIndex", "quote DetailPage",
                                   "quote DetailPageMax \\# \"#,##0\""}) {
        EXPECT_EQ(RoundTrip(code), code);
        EXPECT_EQ(form.optFieldType, F::OPT_SUPPORT_FIELD) << code;
    }
    form.Init();
    form.SetFieldCode("quote RecordIndex \\# \"0\"");
    EXPECT_EQ(form.cboSupportField, "レコード番号");

    // An unknown switch leaves the type as it was; a code of another kind changes nothing.
    EXPECT_EQ(RoundTrip("quote DataField Price \\x \"0\""), "quote DataField Price");
    form.Init();
    form.cboDataField = "Kept";
    form.SetFieldCode("PAGE \\* MERGEFORMAT");
    form.SetFieldCode("");
    EXPECT_EQ(form.cboDataField, "Kept");
    EXPECT_EQ(form.optFieldType, F::OPT_DATA_FIELD);

    // Reading a field unticks the picture data first.
    form.chkPictureData_Click(true);
    form.SetFieldData(std::nullopt);
    EXPECT_FALSE(form.chkPictureData);
}

TEST_F(HeadFieldTest, ThePictureBoxFollowsTheFormatTypeAndNoneWritesNoSwitch) {
    EXPECT_EQ(form.cboFormatTypeList,
              (std::vector<std::string>{"\\# (数値)", "\\@ (日付／時刻)", "\\* (文字列)", "なし"}));
    EXPECT_EQ(form.cboFormatTypeIndex, 3);  // a new dialog starts at none
    EXPECT_FALSE(form.cboFormatEnabled);

    form.cboDataField = "Note";
    form.Control_Change();
    form.cboFormatType_Click(2);
    EXPECT_EQ(form.cboFormatList, (std::vector<std::string>{"Upper", "Lower", "sbchar"}));
    EXPECT_TRUE(form.cboFormatEnabled);
    EXPECT_EQ(form.MakeFieldCode(), "quote DataField Note");  // a type without a picture: no switch
    form.cboFormat = "Upper";
    EXPECT_EQ(form.MakeFieldCode(), "quote DataField Note \\* \"Upper\"");

    form.cboFormatType_Click(1);  // another type keeps the typed picture and offers its own list
    EXPECT_EQ(form.cboFormat, "Upper");
    EXPECT_EQ(form.cboFormatList.size(), 8u);
    EXPECT_NE(std::find(form.cboFormatList.begin(), form.cboFormatList.end(), "gge年M月d日"), form.cboFormatList.end());

    form.cboFormatType_Click(3);
    EXPECT_EQ(form.cboFormat, "");
    EXPECT_TRUE(form.cboFormatList.empty());
    EXPECT_FALSE(form.cboFormatEnabled);
    EXPECT_EQ(form.MakeFieldCode(), "quote DataField Note");
}

TEST_F(HeadFieldTest, TheOptionDecidesTheBoxesAndTheCode) {
    EXPECT_EQ(form.cboSupportFieldList, (std::vector<std::string>{"抽出番号"}));
    EXPECT_EQ(form.cboSupportField, "抽出番号");
    EXPECT_EQ(form.MakeFieldCode(), "");  // no field name: nothing to write

    form.cboDataField = "Photo";
    form.chkPictureData_Click(true);
    EXPECT_EQ(form.MakeFieldCode(), "IncludePicture PictureField Photo");
    EXPECT_TRUE(form.DataFieldEnabled());
    EXPECT_TRUE(form.PictureDataEnabled());
    EXPECT_FALSE(form.SupportFieldEnabled());

    form.optFieldType_Click(F::OPT_SUPPORT_FIELD);
    EXPECT_FALSE(form.DataFieldEnabled());
    EXPECT_FALSE(form.PictureDataEnabled());
    EXPECT_TRUE(form.SupportFieldEnabled());
    form.cboFormatType_Click(0);
    form.cboFormat = "#,##0";
    EXPECT_EQ(form.MakeFieldCode(), "quote SequenceIndex \\# \"#,##0\"");
    form.cboSupportField = "明細ページ最大番号";  // typed: the captions of every support field are known
    EXPECT_EQ(form.MakeFieldCode(), "quote DetailPageMax \\# \"#,##0\"");
    form.cboSupportField = "合計";  // no support field: nothing, rather than a field that shows nothing
    EXPECT_EQ(form.MakeFieldCode(), "");

    form.optFieldType_Click(7);  // no such option
    EXPECT_EQ(form.optFieldType, F::OPT_SUPPORT_FIELD);
}

TEST_F(HeadFieldTest, EveryUserChangeMakesItDirtyAndDoModalStartsAfresh) {
    const auto dirtyAfter = [&](const std::function<void()>& action) {
        form.Init();
        action();
        return form.IsDirty();
    };
    EXPECT_TRUE(dirtyAfter([&] { form.optFieldType_Click(F::OPT_SUPPORT_FIELD); }));
    EXPECT_TRUE(dirtyAfter([&] { form.Control_Change(); }));
    // Ticking the picture data or picking a format type changes the code as well.
    EXPECT_TRUE(dirtyAfter([&] { form.chkPictureData_Click(true); }));
    EXPECT_TRUE(dirtyAfter([&] { form.cboFormatType_Click(1); }));
    EXPECT_FALSE(dirtyAfter([&] { form.SetFieldCode("quote DataField Price \\# \"0\""); }));

    // Headless (no script for this dialog): closes as cancelled.
    EXPECT_FALSE(form.DoModal());
    int shown = 0;
    harness.forms.headField = [&](F& shownForm) {
        ++shown;
        EXPECT_EQ(shownForm.strCaption, "基本データ部のフィールド");
        EXPECT_EQ(shownForm.cboDataField, "Preset");  // Init was called just before: presets stay
        shownForm.cmdOK_Click();
    };
    form.Init();
    form.cboDataField = "Preset";
    EXPECT_TRUE(form.DoModal());
    // Without Init since the last DoModal the dialog is reset first (and its result with it).
    form.cboDataField = "Stale";
    harness.forms.headField = [&](F& shownForm) {
        ++shown;
        EXPECT_EQ(shownForm.cboDataField, "");
        EXPECT_FALSE(shownForm.Result());
        shownForm.cmdCancel_Click();
    };
    EXPECT_FALSE(form.DoModal());
    EXPECT_EQ(shown, 2);
}

TEST_F(HeadFieldTest, TheFieldListComesFromTheRecordSourceAndKeepsTheTypedName) {
    ScratchFolder folder;
    RunSqlite(folder.File("shop.db"), "CREATE TABLE Orders (Id INTEGER, Shop TEXT, Price REAL);");
    const auto connection = modPLFunction::OpenConnection("4", folder.File("shop.db").string(), "", "", "");
    ASSERT_TRUE(connection);
    form.cboDataField = "Typed";
    form.AddDataFields(connection, "2", "Orders");
    EXPECT_EQ(form.cboDataFieldList, (std::vector<std::string>{"Id", "Shop", "Price"}));
    EXPECT_EQ(form.cboDataField, "Typed");
    form.AddDataFields(connection, "2", "NoSuchTable");  // fails quietly: an empty list
    EXPECT_TRUE(form.cboDataFieldList.empty());
    form.AddDataFields(connection, "1", "SELECT Shop FROM Orders");
    EXPECT_EQ(form.cboDataFieldList, (std::vector<std::string>{"Shop"}));
    form.AddDataFields(nullptr, "2", "Orders");
    EXPECT_TRUE(form.cboDataFieldList.empty());
    EXPECT_EQ(form.cboDataField, "Typed");
    connection->Close();
}

}  // namespace
}  // namespace paperloom::edit::test
