// paperloom design field: header fields placed from the command line on a bound template (a
// number format, an era date, a record number, a picture), an existing field replaced when the
// text given lies in it, the values shown formatted by show, and bad input refused with the
// template untouched.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "CliTestSupport.h"
#include "host/word/Application.h"
#include "host/word/fields/Field.h"

namespace paperloom::cli::test {
namespace {

namespace sk = templatekit::skeleton;

void MakeSampleDatabase(const fs::path& path) {
    const fs::path sample = fs::path(PAPERLOOM_SOURCE_DIR) / "examples" / "sample";
    RunSql(path, ReadFile(sample / "schema.sql"));
    RunSql(path, ReadFile(sample / "data.sql"));
}

long long TotalOfInvoice(const fs::path& database, int invoice) {
    sqlite3* db = nullptr;
    long long total = -1;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT Total FROM InvoiceHeaders WHERE InvoiceID = ?", -1, &statement, nullptr) ==
            SQLITE_OK) {
            sqlite3_bind_int(statement, 1, invoice);
            if (sqlite3_step(statement) == SQLITE_ROW) total = sqlite3_column_int64(statement, 0);
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return total;
}

std::vector<std::string> FieldCodes(const fs::path& path) {
    auto doc = word::Document::Open(path);
    std::vector<std::string> codes;
    for (const auto& field : word::FieldsOf(*doc)) {
        auto code = field.Code();
        code.TextRetrievalMode().SetIncludeFieldCodes(true);
        codes.push_back(code.Text());
    }
    doc->Close();
    return codes;
}

class CliDesignFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeSampleDatabase(dir / "sample.db");
        const std::string body = sk::Paragraph(sk::Run("請求書 [NO]")) + sk::Paragraph(sk::Run("合計 [TOTAL] 円")) +
                                 sk::Paragraph(sk::Run("発行日 [DATE]")) + sk::Paragraph(sk::Run("No. [SEQ]"));
        sk::MakeDocument(body, "plain.docx")->SaveAs(dir / "plain.docx");
        const auto bound = Cli({"design", "bind", "plain.docx", "--data-source-type", "4", "--data-source", "sample.db",
                                "--record-source-type", "2", "--record-source", "InvoiceHeaders", "--order",
                                "InvoiceID", "--in-place"});
        ASSERT_EQ(bound.exitCode, 0) << bound.err;
    }
    CliResult Cli(const std::vector<std::string>& args) { return RunCli(dir.Path(), args); }
    CliResult Field(std::vector<std::string> args) {
        args.insert(args.begin(), {"design", "field", "plain.docx"});
        args.push_back("--in-place");
        return Cli(args);
    }
    Scratch dir;
};

TEST_F(CliDesignFieldTest, FormattedFieldsAreWrittenAndShowTheFormattedValues) {
    auto total = Field({"--at", "[TOTAL]", "--data-field", "Total", "--format-type", "\\#", "--format", "#,##0"});
    ASSERT_EQ(total.exitCode, 0) << total.err;
    EXPECT_NE(total.out.find("quote DataField Total \\# \"#,##0\""), std::string::npos) << total.out;
    ASSERT_EQ(Field({"--at", "[DATE]", "--data-field", "IssueDate", "--format-type", "date", "--format", "gge年M月d日"})
                  .exitCode,
              0);
    ASSERT_EQ(Field({"--at", "[SEQ]", "--support", "レコード番号"}).exitCode, 0);
    ASSERT_EQ(Field({"--at", "[NO]", "--data-field", "InvoiceNo"}).exitCode, 0);
    EXPECT_EQ(FieldCodes(dir / "plain.docx"),
              (std::vector<std::string>{"quote DataField InvoiceNo", "quote DataField Total \\# \"#,##0\"",
                                        "quote DataField IssueDate \\@ \"gge年M月d日\"", "quote RecordIndex"}));

    // Invoice 2: issued 2024-01-27; its total from the sample data.
    const auto shown = Cli({"show", "plain.docx", "--record", "2", "-o", "shown.docx"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const std::string text = DocumentText(dir / "shown.docx");
    EXPECT_NE(text.find("INV-2024-002"), std::string::npos) << text;
    EXPECT_NE(text.find("発行日 令和6年1月27日"), std::string::npos) << text;
    EXPECT_NE(text.find("No. 2"), std::string::npos) << text;
    // The total as the sample database has it, thousands separated.
    std::string sum = std::to_string(TotalOfInvoice(dir / "sample.db", 2));
    for (auto at = sum.size(); at > 3; at -= 3) sum.insert(at - 3, ",");
    ASSERT_GT(sum.size(), 3u);
    EXPECT_NE(text.find("合計 " + sum + " 円"), std::string::npos) << text;
}

TEST_F(CliDesignFieldTest, TextInAFieldReplacesThatFieldInsteadOfAddingOne) {
    ASSERT_EQ(Field({"--at", "[TOTAL]", "--data-field", "Total", "--format-type", "\\#", "--format", "0"}).exitCode, 0);
    // What the field shows in the template is the text to give.
    std::string result;
    {
        auto doc = word::Document::Open(dir / "plain.docx");
        result = word::FieldsOf(*doc).Item(1).Result().Text();
        doc->Close();
    }
    ASSERT_FALSE(result.empty());
    const auto replaced = Field({"--at", result, "--data-field", "SubTotal", "--format-type", "number", "--format",
                                 "#,##0"});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_EQ(FieldCodes(dir / "plain.docx"), (std::vector<std::string>{"quote DataField SubTotal \\# \"#,##0\""}));

    ASSERT_EQ(Field({"--at", "[DATE]", "--data-field", "Stamp", "--picture"}).exitCode, 0);
    EXPECT_EQ(FieldCodes(dir / "plain.docx").back(), "IncludePicture PictureField Stamp");
}

TEST_F(CliDesignFieldTest, BadInputIsRefusedAndTheTemplateStaysByteForByte) {
    const std::string before = ReadFile(dir / "plain.docx");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--at", "[TOTAL]", "--data-field", "Totl"}, "--data-field \"Totl\" is not a field of its record source (fields: InvoiceID"},
        {{"--at", "[SEQ]", "--support", "合計"}, "--support \"合計\" is not a support field (support fields: レコード番号 (RecordIndex), 抽出番号"},
        {{"--at", "[TOTAL]", "--data-field", "Total", "--format-type", "\\x", "--format", "0"}, "--format-type must be"},
        {{"--at", "[TOTAL]", "--data-field", "Total", "--format", "0"}, "--format needs --format-type"},
        {{"--at", "[TOTAL]", "--data-field", "Total", "--format-type", "\\#"}, "--format-type needs --format"},
        {{"--at", "[TOTAL]", "--data-field", "Total", "--format-type", "\\#", "--format", "0\"0"}, "cannot contain a double quote"},
        {{"--at", "[TOTAL]"}, "Give either --data-field NAME or --support CAPTION"},
        {{"--at", "[TOTAL]", "--data-field", "Total", "--support", "抽出番号"}, "Give either --data-field"},
        {{"--at", "[SEQ]", "--support", "抽出番号", "--picture"}, "--picture goes with --data-field"},
        {{"--at", "[DATE]", "--data-field", "Stamp", "--picture", "--format-type", "\\*", "--format", "Upper"},
         "A picture field takes no --format-type"},
        {{"--at", "[NOWHERE]", "--data-field", "Total"}, "does not occur"},
        {{"--at", "", "--data-field", "Total"}, "--at is empty"},
    };
    for (const auto& [args, message] : cases) {
        const auto result = Field(args);
        EXPECT_EQ(result.exitCode, 2) << message;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(ReadFile(dir / "plain.docx"), before) << message;
    }
    // Neither -o nor --in-place; a data field on a template without a binding.
    const auto unwritten = Cli({"design", "field", "plain.docx", "--at", "[NO]", "--support", "抽出番号"});
    EXPECT_EQ(unwritten.exitCode, 2);
    EXPECT_NE(unwritten.err.find("Give -o OUT.docx"), std::string::npos) << unwritten.err;
    sk::MakeDocument(sk::Paragraph(sk::Run("[NO]")), "unbound.docx")->SaveAs(dir / "unbound.docx");
    const std::string unboundBefore = ReadFile(dir / "unbound.docx");
    const auto unbound =
        Cli({"design", "field", "unbound.docx", "--at", "[NO]", "--data-field", "InvoiceNo", "--in-place"});
    EXPECT_EQ(unbound.exitCode, 2);
    EXPECT_NE(unbound.err.find("has no header binding"), std::string::npos) << unbound.err;
    EXPECT_EQ(ReadFile(dir / "unbound.docx"), unboundBefore);
    // A support field needs no binding.
    const auto support =
        Cli({"design", "field", "unbound.docx", "--at", "[NO]", "--support", "SequenceIndex", "-o", "numbered.docx"});
    ASSERT_EQ(support.exitCode, 0) << support.err;
    EXPECT_EQ(FieldCodes(dir / "numbered.docx"), (std::vector<std::string>{"quote SequenceIndex"}));
    EXPECT_EQ(ReadFile(dir / "unbound.docx"), unboundBefore);
}

}  // namespace
}  // namespace paperloom::cli::test
