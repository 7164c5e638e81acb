// The header fill on real templates and a SQLite database: engine fields in the main text and
// in text boxes show the current record's values in their formats, keep their design-time
// codes, survive save and reopen, and follow navigation; other fields are Word's.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../host/word/fields/TestImages.h"
#include "FillTestSupport.h"
#include "Run/modPLRFunction.h"
#include "host/word/fields/Field.h"

namespace paperloom::run::test {
namespace {

using word::test::TextRun;

void MakeItemsDatabase(const std::filesystem::path& path) {
    RunSqlite(path,
              "CREATE TABLE Items (Id INTEGER, Name TEXT, Price REAL, Placed DATE, Paid BOOLEAN, Memo TEXT,"
              " Qty INTEGER, Pic TEXT);"
              "INSERT INTO Items VALUES (1, 'Apple \"Fuji\"', 1234567.5, '2024-01-05', 1, NULL, NULL, 'pic.png');"
              "INSERT INTO Items VALUES (2, 'Pear', 980, '2024-02-10', 0, 'ripe', 12, NULL);");
}

Settings ItemsSettings() {
    return {{"DataSourceType", "4"}, {"DataSource", "items.db"}, {"RecordSourceType", "2"},
            {"RecordSource", "Items"}, {"RSOrder", "Id"}};
}

// Main text fields, in order (index in the comments).
std::string HeaderBody() {
    return Para(TextRun("Name: ") + FieldRuns("quote DataField Name", "design")) +                // 1
           Para(FieldRuns("quote DataField Price \\# \"#,##0\"", "0")) +                          // 2
           Para(FieldRuns("quote DataField Placed \\@ \"yyyy年MM月dd日\"", "date")) +             // 3
           Para(FieldRuns("quote DataField Paid") + FieldRuns("quote DataField Memo", "m") +      // 4, 5
                FieldRuns("quote DataField Qty \\# \"0\"", "q")) +                                // 6
           Para(FieldRuns("quote RecordIndex") + FieldRuns("quote SequenceIndex") +                // 7, 8
                FieldRuns("quote DetailPageMax \\# \"0\"")) +                                       // 9
           Para(FieldRuns("IncludePicture PictureField Pic")) +                                      // 10
           Para(FieldRuns("QUOTE DataField Name", "upper")) +                                        // 11
           Para(FieldRuns("quote DataField NoSuchColumn", "kept") + FieldRuns("quote DataField")) +  // 12, 13
           Para(GroupedTextBoxes({Para(FieldRuns("quote DataField Name")),
                                  Para(FieldRuns("quote RecordIndex \\* Arabic"))}) +
                LegacyTextBox(Para(FieldRuns("quote DataField Price \\# \"#,##0.00\""))) +
                LegacyTextBox("<w:p/>"));
}

const std::vector<std::string> kDesignCodes{
    "quote DataField Name",
    "quote DataField Price \\# \"#,##0\"",
    "quote DataField Placed \\@ \"yyyy年MM月dd日\"",
    "quote DataField Paid",
    "quote DataField Memo",
    "quote DataField Qty \\# \"0\"",
    "quote RecordIndex",
    "quote SequenceIndex",
    "quote DetailPageMax \\# \"0\"",
    "IncludePicture PictureField Pic",
    "QUOTE DataField Name",
    "quote DataField NoSuchColumn",
    "quote DataField",
};

struct FieldState {
    std::string code;
    std::string result;
    bool operator==(const FieldState&) const = default;
};

void PrintTo(const FieldState& state, std::ostream* os) { *os << "{" << state.code << " | " << state.result << "}"; }

std::vector<FieldState> States(const word::Fields& fields) {
    std::vector<FieldState> states;
    for (const auto& field : fields) states.push_back({field.Code().Text(), field.Result().Text()});
    return states;
}

std::vector<std::string> Codes(const std::vector<FieldState>& states) {
    std::vector<std::string> codes;
    for (const auto& s : states) codes.push_back(s.code);
    return codes;
}

std::vector<std::string> Results(const std::vector<FieldState>& states) {
    std::vector<std::string> results;
    for (const auto& s : states) results.push_back(s.result);
    return results;
}

// The fields of each text box (group items first, in order).
std::vector<std::vector<FieldState>> BoxStates(const word::Document& doc) {
    std::vector<std::vector<FieldState>> boxes;
    for (const auto& shape : doc.Shapes()) {
        if (shape.Type() == word::msoGroup) {
            for (const auto& item : shape.GroupItems()) boxes.push_back(States(word::FieldsOf(item.TextFrame().TextRange())));
        } else {
            boxes.push_back(States(word::FieldsOf(shape.TextFrame().TextRange())));
        }
    }
    return boxes;
}

class HeaderFill : public ::testing::Test {
protected:
    void SetUp() override {
        MakeItemsDatabase(folder.File("items.db"));
        word::test::WriteFile(folder.File("pic.png"), word::test::RedPng());
        path = SaveBodyTemplate(folder.File("Header.docx"), HeaderBody(), ItemsSettings());
        doc = app.Documents().Open(path);
        binding = modPLRFunction::OpenDocumentBind(registry, doc);
        ASSERT_NE(binding, nullptr);
        binding->MoveFirst();
    }

    ScratchFolder folder;
    std::filesystem::path path;
    word::Application app;
    std::shared_ptr<word::Document> doc;
    BindingRegistry registry;
    std::shared_ptr<clsPLRDBBind> binding;
};

const std::vector<std::string> kFirstRecord{
    "Apple \"Fuji\"", "1,234,568", "2024年01月05日", "True", "", "", "1", "-1", "-1", "\x01", "DataField Name", "DataField NoSuchColumn", ""};

TEST_F(HeaderFill, EngineFieldsShowTheRecordAndKeepTheirCodes) {
    binding->SetHeadDatas();
    const auto states = States(word::FieldsOf(*doc));
    EXPECT_EQ(Codes(states), kDesignCodes);
    EXPECT_EQ(Results(states), kFirstRecord);

    const auto boxes = BoxStates(*doc);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0], (std::vector<FieldState>{{"quote DataField Name", "Apple \"Fuji\""}}));
    EXPECT_EQ(boxes[1], (std::vector<FieldState>{{"quote RecordIndex \\* Arabic", "1"}}));
    EXPECT_EQ(boxes[2], (std::vector<FieldState>{{"quote DataField Price \\# \"#,##0.00\"", "1,234,567.50"}}));
    EXPECT_TRUE(boxes[3].empty());

    // The picture is linked from the template's folder, not stored.
    const auto& package = doc->Package();
    bool linked = false;
    for (const auto& rel : package.Relationships(package.MainDocumentPart()))
        linked = linked || (rel.external && rel.target == "file://" + folder.File("pic.png").string());
    EXPECT_TRUE(linked);

    // Saved and opened again: the template still carries its design codes and shows the values.
    doc->Save();
    auto reopened = word::Document::Open(path);
    const auto saved = States(word::FieldsOf(*reopened));
    EXPECT_EQ(Codes(saved), kDesignCodes);
    EXPECT_EQ(Results(saved), kFirstRecord);
    EXPECT_EQ(BoxStates(*reopened)[2], boxes[2]);
}

TEST_F(HeaderFill, NavigationAndARefreshShowTheNextRecord) {
    binding->SetHeadDatas();
    binding->MoveNext(false);
    binding->SetHeadDatas();
    const auto states = States(word::FieldsOf(*doc));
    EXPECT_EQ(Codes(states), kDesignCodes);
    const std::vector<std::string> second{"Pear", "980", "2024年02月10日", "False", "ripe", "12", "2", "-1", "-1",
                                          // An empty path names the folder alone, which is no picture.
                                          Results(states)[9], "DataField Name", "DataField NoSuchColumn", ""};
    EXPECT_EQ(Results(states), second);
    EXPECT_NE(Results(states)[9], "\x01");
    EXPECT_EQ(BoxStates(*doc)[0], (std::vector<FieldState>{{"quote DataField Name", "Pear"}}));
    EXPECT_EQ(BoxStates(*doc)[1], (std::vector<FieldState>{{"quote RecordIndex \\* Arabic", "2"}}));
}

TEST_F(HeaderFill, PrintRunNumbersAndDetailPageCount) {
    const auto fillForPrint = [&](long sequence, long detailPages) {
        std::vector<word::Fields> fields;
        std::vector<clsPLRReturnField> nativeFields;
        binding->SetHeadData(sequence, detailPages, &fields, &nativeFields, true);
        // Between the steps the engine fields carry computed codes.
        EXPECT_EQ(word::FieldsOf(*doc).Item(8).Code().Text(), "=" + std::to_string(sequence));
        binding->UpdateHeadFields(fields);
        binding->SetHeadDataTerminate(fields, nativeFields);
        EXPECT_TRUE(fields.empty());
        EXPECT_TRUE(nativeFields.empty());
        return Results(States(word::FieldsOf(*doc)));
    };
    auto results = fillForPrint(7, 3);
    EXPECT_EQ(results[7], "7");
    EXPECT_EQ(results[8], "3");
    results = fillForPrint(8, 1);
    EXPECT_EQ(results[7], "8");
    EXPECT_EQ(results[8], "");  // a single detail page shows no count
    EXPECT_EQ(Codes(States(word::FieldsOf(*doc))), kDesignCodes);
}

TEST_F(HeaderFill, NothingChangesWithoutAnOpenRecordSource) {
    const auto before = States(word::FieldsOf(*doc));
    binding->DBClose();
    binding->SetHeadDatas();
    EXPECT_EQ(States(word::FieldsOf(*doc)), before);
}

TEST(HeaderFillReturnField, RestoresCodeAndResult) {
    auto doc = word::test::MakeDocument(Para(FieldRuns("quote \"a\"", "shown")));
    auto field = word::FieldsOf(*doc).Item(1);
    clsPLRReturnField returnField;
    EXPECT_THROW(returnField.GetField(), host::HostError);
    returnField.SetTarget(field, "quote \"a\"");
    field.SetCode("quote \"b\"");
    field.Update();
    EXPECT_EQ(field.Result().Text(), "b");
    returnField.ReturnOriginalCode();
    EXPECT_EQ(field.Code().Text(), "quote \"a\"");
    EXPECT_EQ(field.Result().Text(), "b");
    returnField.ReturnResult();
    EXPECT_EQ(field.Result().Text(), "shown");
}

}  // namespace
}  // namespace paperloom::run::test
