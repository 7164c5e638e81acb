// The header field command through the dialog's model: the field at the cursor (or a whole
// field selected) is replaced rather than a second one added, a field in a grouped text box is
// found, nothing is written without a confirmed change, and the run-time refills the header
// only while it is connected.

#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "Edit/EditCommands.h"
#include "Edit/modPLEFunction.h"

namespace paperloom::edit::test {
namespace {

std::string CodeText(const word::Field& field) {
    auto code = field.Code();
    code.TextRetrievalMode().SetIncludeFieldCodes(true);
    return code.Text();
}

std::vector<std::string> Codes(const word::Fields& fields) {
    std::vector<std::string> codes;
    for (const auto& field : fields) codes.push_back(CodeText(field));
    return codes;
}

// Every field of the document: main text, then each floating text box (group items too).
std::vector<std::string> AllCodes(word::Document& doc) {
    auto codes = Codes(word::FieldsOf(doc));
    for (const auto& shape : doc.Shapes()) {
        const auto frames = shape.Type() == word::msoGroup ? shape.GroupItems() : word::GroupItems({shape});
        for (const auto& item : frames)
            for (auto code : Codes(word::FieldsOf(item.TextFrame().TextRange()))) codes.push_back(std::move(code));
    }
    return codes;
}

class HeadFieldCommandTest : public ::testing::Test {
protected:
    void SetUp() override { MakeShopDatabase(folder.File("shop.db")); }
    std::shared_ptr<word::Document> Open(const std::string& body, const Settings& settings) {
        const auto path = SaveBodyTemplate(folder.File("report.docx"), body, settings);
        return host.Application().Documents().Open(path);
    }
    // The caret just inside a field's shown value.
    static void CaretIn(word::Document& doc, const word::Field& field) {
        auto caret = field.Result().Duplicate();  // in the field's own story
        caret.SetRange(caret.Start() + 1, caret.Start() + 1);
        doc.Selection().Select(caret);
    }
    // Answers the dialog with a data field and a number format.
    void AnswerDataField(const std::string& name, const std::string& picture = {}) {
        forms.headField = [name, picture](frmPLEHeadField& form) {
            form.cboDataField = name;
            form.Control_Change();
            if (!picture.empty()) {
                form.cboFormatType_Click(0);
                form.cboFormat = picture;
            }
            form.cmdOK_Click();
        };
    }
    std::optional<word::Field> HeadField() { return EditCommands(host, dialogs).HeadField(); }

    ScratchFolder folder;
    word::test::ScratchConfig config;
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
    TestEditForms forms;
    ScopedEditForms scoped{&forms};
    EditDialogs dialogs;
};

TEST_F(HeadFieldCommandTest, TheFieldAtTheCursorIsReplacedNotDuplicated) {
    const auto doc = Open(ShopTemplateBody(), ShopSettings());
    CaretIn(*doc, word::FieldsOf(*doc).Item(2));
    forms.headField = [](frmPLEHeadField& form) {
        // Preset from the field found, with the header record source's fields to pick from.
        EXPECT_EQ(form.cboDataField, "Id");
        EXPECT_EQ(form.cboDataFieldList.size(), 10u);
        EXPECT_EQ(form.cboDataFieldList.at(3), "Price");
        EXPECT_FALSE(form.IsDirty());
        form.cboDataField = "Price";
        form.Control_Change();
        form.cboFormatType_Click(0);
        form.cboFormat = "#,##0.00";
        form.cmdOK_Click();
    };
    ASSERT_TRUE(HeadField());
    EXPECT_EQ(forms.headFieldShown, 1);
    EXPECT_EQ(Codes(word::FieldsOf(*doc)),
              (std::vector<std::string>{"quote DataField Shop", "quote DataField Price \\# \"#,##0.00\""}));

    // Read back the next time: the dialog shows what was written.
    CaretIn(*doc, word::FieldsOf(*doc).Item(2));
    forms.headField = [](frmPLEHeadField& form) {
        EXPECT_EQ(form.cboDataField, "Price");
        EXPECT_EQ(form.cboFormatTypeIndex, 0);
        EXPECT_EQ(form.cboFormat, "#,##0.00");
        form.cmdOK_Click();  // OK without a change writes nothing
    };
    EXPECT_FALSE(HeadField());
    EXPECT_EQ(word::FieldsOf(*doc).Count(), 2);
}

TEST_F(HeadFieldCommandTest, APictureFieldAtTheCursorIsReadBackAndReplaced) {
    const auto doc = Open(Para(FieldRuns("IncludePicture PictureField Photo", "photo") + word::test::TextRun(" x")),
                          ShopSettings());
    CaretIn(*doc, word::FieldsOf(*doc).Item(1));
    forms.headField = [](frmPLEHeadField& form) {
        EXPECT_EQ(form.cboDataField, "Photo");
        EXPECT_TRUE(form.chkPictureData);
        form.chkPictureData_Click(false);  // the same field shown as text
        form.cmdOK_Click();
    };
    ASSERT_TRUE(HeadField());
    EXPECT_EQ(Codes(word::FieldsOf(*doc)), (std::vector<std::string>{"quote DataField Photo"}));
}

TEST_F(HeadFieldCommandTest, AWholeFieldOfAnotherKindSelectedIsTheFieldReplaced) {
    const auto doc = Open(Para(word::test::TextRun("Page ") + FieldRuns("PAGE", "1") + word::test::TextRun(" end")),
                          ShopSettings());
    word::FieldsOf(*doc).Item(1).Select();
    forms.headField = [](frmPLEHeadField& form) {
        EXPECT_EQ(form.cboDataField, "");  // not a data field: nothing to read back
        form.optFieldType_Click(frmPLEHeadField::OPT_SUPPORT_FIELD);
        form.cmdOK_Click();
    };
    ASSERT_TRUE(HeadField());
    EXPECT_EQ(Codes(word::FieldsOf(*doc)), (std::vector<std::string>{"quote SequenceIndex"}));
    auto text = doc->Content();
    EXPECT_EQ(text.Text().substr(0, 5), "Page ");
    EXPECT_NE(text.Text().find(" end"), std::string::npos);
}

TEST_F(HeadFieldCommandTest, AFieldInAGroupedTextBoxIsFoundBeforeLaterShapesWithText) {
    const auto doc = Open(Para(word::test::TextRun("Title")) +
                              Para(GroupedTextBoxes({Para(word::test::TextRun("label")),
                                                     Para(FieldRuns("quote DataField Shop", "?"))})) +
                              Para(LegacyTextBox(Para(FieldRuns("quote DataField Note", "?")))),
                          ShopSettings());
    const auto group = doc->Shapes().Item(1).GroupItems();
    const auto boxFields = word::FieldsOf(group.Item(2).TextFrame().TextRange());
    ASSERT_EQ(boxFields.Count(), 1);
    CaretIn(*doc, boxFields.Item(1));
    AnswerDataField("Qty");
    ASSERT_TRUE(HeadField());
    EXPECT_EQ(AllCodes(*doc), (std::vector<std::string>{"quote DataField Qty", "quote DataField Note"}));

    // The search itself: group items in order, frames without text skipped, the first field
    // found ends it (the later box's field is never looked at).
    std::vector<std::string> looked;
    const auto firstField = [&](const word::Fields& fields, const word::Selection&) -> std::optional<word::Field> {
        looked.push_back(std::to_string(fields.Count()));
        if (fields.Count() == 0) return std::nullopt;
        return fields.Item(1);
    };
    const auto found = modPLEFunction::FindFieldInShapes(doc->Shapes(), doc->Selection(), firstField);
    ASSERT_TRUE(found);
    EXPECT_EQ(CodeText(*found), "quote DataField Qty");
    EXPECT_EQ(looked, (std::vector<std::string>{"0", "1"}));

    // No lookup answer anywhere: nothing.
    looked.clear();
    const auto none = [&](const word::Fields& fields, const word::Selection&) -> std::optional<word::Field> {
        looked.push_back(std::to_string(fields.Count()));
        return std::nullopt;
    };
    EXPECT_FALSE(modPLEFunction::FindFieldInShapes(doc->Shapes(), doc->Selection(), none));
    EXPECT_EQ(looked, (std::vector<std::string>{"0", "1", "1"}));
}

TEST_F(HeadFieldCommandTest, NothingIsWrittenWithoutAConfirmedChangeOrAFieldName) {
    const auto doc = Open(ShopTemplateBody() + Para(word::test::TextRun("[HERE]")), ShopSettings());
    const auto before = AllCodes(*doc);
    const auto caretInFirst = [&] { CaretIn(*doc, word::FieldsOf(*doc).Item(1)); };
    caretInFirst();
    forms.headField = [](frmPLEHeadField& form) {
        form.cboDataField = "Qty";
        form.Control_Change();
        form.cmdCancel_Click();
    };
    EXPECT_FALSE(HeadField());
    // An emptied field box: the field found is kept, not deleted.
    caretInFirst();
    forms.headField = [](frmPLEHeadField& form) {
        form.cboDataField.clear();
        form.Control_Change();
        form.cmdOK_Click();
    };
    EXPECT_FALSE(HeadField());
    EXPECT_EQ(AllCodes(*doc), before);
    EXPECT_EQ(forms.headFieldShown, 2);

    // Plain text selected: a new field takes its place; an unbound template offers no fields.
    auto range = doc->Content();
    auto find = range.Find();
    find.SetText("[HERE]");
    ASSERT_TRUE(find.Execute());
    doc->Selection().Select(range);
    doc->Variables().SetValue("DataSource", "");
    forms.headField = [](frmPLEHeadField& form) {
        EXPECT_TRUE(form.cboDataFieldList.empty());
        form.cboDataField = "Note";
        form.chkPictureData_Click(true);
        form.cmdOK_Click();
    };
    const auto added = HeadField();
    ASSERT_TRUE(added);
    EXPECT_EQ(added->Type(), word::wdFieldIncludePicture);
    EXPECT_EQ(AllCodes(*doc), (std::vector<std::string>{"quote DataField Shop", "quote DataField Id",
                                                         "IncludePicture PictureField Note"}));
    EXPECT_EQ(doc->Content().Text().find("[HERE]"), std::string::npos);
}

TEST_F(HeadFieldCommandTest, TheRunTimeRefillsTheHeaderOnlyWhileItIsConnected) {
    for (const bool connected : {false, true}) {
        SCOPED_TRACE(connected ? "connected" : "registered only");
        word::test::ScratchConfig ownConfig;
        word::AddInHost ownHost{std::make_shared<word::Application>(), ownConfig.Path()};
        auto registration = RunRegistration(PAPERLOOM_RUN_LIBRARY);
        if (!connected) registration.loadBehavior = 0;
        ownHost.Registry().Register(registration);
        ownHost.Startup();
        const auto path = SaveBodyTemplate(folder.File("bound.docx"), ShopTemplateBody(), ShopSettings());
        const auto doc = ownHost.Application().Documents().Open(path);
        CaretIn(*doc, word::FieldsOf(*doc).Item(2));
        AnswerDataField("Price", "0.00");
        ASSERT_TRUE(EditCommands(ownHost, dialogs).HeadField());
        // The first record's price, formatted, only when the run-time refilled the header.
        const auto shown = Shown(*doc);
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[1] == "1.50", connected) << shown[1];
        ownHost.Shutdown();
    }
}

}  // namespace
}  // namespace paperloom::edit::test
