// The header field dialog as a user works it in the desktop host: the caret in a header field
// of the sample invoice template, the designer's header field button clicked, the field kind,
// field name and format picked in the window, and the field written in its place.

#include <QCheckBox>
#include <QRadioButton>

#include "DeskEditDialogsTestSupport.h"
#include "host/word/fields/Field.h"

namespace paperloom::desk {
namespace {

std::string CodeOf(const word::Field& field) {
    auto code = field.Code();
    code.TextRetrievalMode().SetIncludeFieldCodes(true);
    return code.Text();
}

class DeskEditFieldDialogTest : public DeskEditDialogsTest {
protected:
    // The caret inside the shown value of the first field whose code holds `text`.
    void CaretInField(const std::string& text) {
        for (const auto& field : word::FieldsOf(*document_)) {
            if (CodeOf(field).find(text) == std::string::npos) continue;
            auto caret = field.Result().Duplicate();
            caret.SetRange(caret.Start() + 1, caret.Start() + 1);
            desk_->Host().Application().Selection().Select(caret);
            return;
        }
        FAIL() << text << " is in no field of the template";
    }
    std::vector<std::string> Codes() {
        std::vector<std::string> codes;
        for (const auto& field : word::FieldsOf(*document_)) codes.push_back(CodeOf(field));
        return codes;
    }
};

TEST_F(DeskEditFieldDialogTest, AFieldAndItsFormatPickedInTheWindowReplaceTheFieldAtTheCaret) {
    const auto before = Codes();
    const auto at = std::find(before.begin(), before.end(), "quote DataField Subject");
    ASSERT_NE(at, before.end()) << ::testing::PrintToString(before);
    const auto index = static_cast<std::size_t>(at - before.begin());

    // Cancel leaves the document as it was.
    CaretInField("DataField Subject");
    bool answered = false;
    WhenDialogShows("frmPLEHeadField", [&](QWidget& dialog) {
        answered = true;
        Child<QComboBox>(dialog, "cboDataField").setEditText("Total");
        emit Child<QComboBox>(dialog, "cboDataField").lineEdit()->textEdited("Total");
    });
    ClickEdit("ToolHeadField", answered);
    EXPECT_EQ(Codes(), before);

    CaretInField("DataField Subject");
    answered = false;
    WhenDialogShows("frmPLEHeadField", [&](QWidget& dialog) {
        answered = true;
        EXPECT_EQ(dialog.windowTitle(), U("基本データ部のフィールド"));
        EXPECT_EQ(Child<QRadioButton>(dialog, "optFieldType_0").text(), U("データ フィールド(&D)"));
        EXPECT_EQ(Child<QRadioButton>(dialog, "optFieldType_1").text(), U("サポート フィールド(&S)"));
        EXPECT_EQ(Child<QCheckBox>(dialog, "chkPictureData").text(), U("画像データ(&P)"));
        // Preset from the field at the caret.
        EXPECT_TRUE(Child<QRadioButton>(dialog, "optFieldType_0").isChecked());
        auto& field = Child<QComboBox>(dialog, "cboDataField");
        EXPECT_EQ(field.currentText(), U("Subject"));
        auto& support = Child<QComboBox>(dialog, "cboSupportField");
        EXPECT_FALSE(support.isEnabled());
        auto& type = Child<QComboBox>(dialog, "cboFormatType");
        auto& picture = Child<QComboBox>(dialog, "cboFormat");
        EXPECT_EQ(type.currentText(), U("なし"));
        EXPECT_FALSE(picture.isEnabled());

        // The support option greys the field box and the picture data, and back.
        Child<QRadioButton>(dialog, "optFieldType_1").click();
        EXPECT_TRUE(support.isEnabled());
        EXPECT_EQ(support.currentText(), U("抽出番号"));
        EXPECT_FALSE(field.isEnabled());
        EXPECT_EQ(field.palette().color(QPalette::Base), field.palette().color(QPalette::Button));
        EXPECT_FALSE(Child<QCheckBox>(dialog, "chkPictureData").isEnabled());
        Child<QRadioButton>(dialog, "optFieldType_0").click();
        EXPECT_TRUE(field.isEnabled());

        // The header record source's fields to pick from; the text type's pictures, then the
        // number type's.
        Pick(field, "Total");
        Pick(type, "\\* (文字列)");
        EXPECT_EQ(picture.count(), 3);
        EXPECT_EQ(picture.itemText(0), U("Upper"));
        Pick(type, "\\# (数値)");
        EXPECT_TRUE(picture.isEnabled());
        Pick(picture, "#,##0");
        Press(dialog, "cmdOK");
        EXPECT_FALSE(dialog.isVisible());
    });
    ClickEdit("ToolHeadField", answered);

    auto after = Codes();
    ASSERT_EQ(after.size(), before.size()) << "the field is replaced, not a second one added";
    EXPECT_EQ(after[index], "quote DataField Total \\# \"#,##0\"");
    // The run-time refilled the header: the first invoice's total with thousands separated.
    const auto shown = word::FieldsOf(*document_).Item(static_cast<long>(index) + 1).Result().Text();
    EXPECT_NE(shown.find(','), std::string::npos) << shown;
    after[index] = before[index];
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace paperloom::desk
