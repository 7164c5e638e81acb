// paperloom design column: a detail table made by the command line gets blanking, a break row
// with a caption and a formatted sum, a format and a caption; show and document fill it with
// the groups of the sample database. Bad input is refused with the template untouched.

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "common/clsPLProperty.h"
#include "host/word/Application.h"

namespace paperloom::cli::test {
namespace {

namespace kit = templatekit;
namespace sk = templatekit::skeleton;

// The visible text of every cell of the document's first table, row by row.
std::vector<std::vector<std::string>> TableRows(const fs::path& path) {
    auto doc = word::Document::Open(path);
    const auto table = doc->Tables().Item(1);
    std::vector<std::vector<std::string>> rows;
    for (long row = 1; row <= table.Rows().Count(); ++row) {
        rows.emplace_back();
        for (long column = 1; column <= table.Columns().Count(); ++column) {
            auto cell = table.Cell(row, column).Range();
            cell.SetEnd(cell.End() - 1);
            rows.back().push_back(cell.Text());
        }
    }
    doc->Close();
    return rows;
}

class CliDesignColumnTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path sample = fs::path(PAPERLOOM_SOURCE_DIR) / "examples" / "sample";
        RunSql(dir / "sample.db", ReadFile(sample / "schema.sql"));
        RunSql(dir / "sample.db", ReadFile(sample / "data.sql"));
        const std::string body = sk::Paragraph(sk::Run("請求書 [NO]")) + sk::Paragraph(sk::Run("[LINES]")) + sk::Paragraph();
        kit::TemplateWriter writer(sk::MakeDocument(body, "plain.docx"));
        writer.ReplaceMarker("[NO]", kit::DataFieldCode("InvoiceNo"));
        writer.SaveAs(dir / "t.docx");
        ASSERT_EQ(Cli({"design", "bind", "t.docx", "--data-source-type", "4", "--data-source", "sample.db",
                       "--record-source-type", "2", "--record-source", "InvoiceHeaders", "--order", "InvoiceID",
                       "--in-place"})
                      .exitCode,
                  0);
        const auto inserted = Cli({"design", "insert-detail", "t.docx", "--at", "[LINES]", "--record-source-type", "2",
                                   "--record-source", "InvoiceDetails", "--parent-key", "InvoiceID", "--child-key",
                                   "InvoiceID", "--rows", "12", "--bookmark", "Lines", "--column", "Category:分類",
                                   "--column", "ProductName:品名", "--column", "Quantity:数量", "--column", "Amount",
                                   "--in-place"});
        ASSERT_EQ(inserted.exitCode, 0) << inserted.err;
    }
    CliResult Cli(const std::vector<std::string>& args) { return RunCli(dir.Path(), args); }
    std::vector<std::string> Column(std::vector<std::string> more) {
        std::vector<std::string> args{"design", "column", "t.docx", "--table", "Lines"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    std::vector<std::string> ColumnTexts() {
        auto doc = word::Document::Open(dir / "t.docx");
        std::vector<std::string> texts;
        clsPLProperty().GetColumnProperties(doc->Tables().Item(1), *doc, texts);
        doc->Close();
        return texts;
    }
    Scratch dir;
};

TEST_F(CliDesignColumnTest, BlankingAndABreakRowWithACaptionAndASumShowInTheFilledTable) {
    const auto grouped = Cli(Column({"--column", "1", "--order", "Category, LineNo", "--skip-same", "yes", "--break",
                                     "yes", "--break-row", "a=caption:小計", "--break-row", "4=sum:number:#,##0",
                                     "--break-row", "c=none", "--in-place"}));
    ASSERT_EQ(grouped.exitCode, 0) << grouped.err;
    EXPECT_NE(grouped.out.find("d: 統計演算 SUM \\# (数値) #,##0"), std::string::npos) << grouped.out;
    const auto formatted = Cli(Column({"--column", "4", "--format-type", "\\#", "--format", "#,##0", "--caption",
                                       "金額(円)", "--in-place"}));
    ASSERT_EQ(formatted.exitCode, 0) << formatted.err;

    const auto texts = ColumnTexts();
    const clsPLProperty prop;
    EXPECT_EQ(prop.GetPropertyFromText(texts[0], "RSOrder", ""), "Category ASC,LineNo ASC");  // as the sort editor writes it
    EXPECT_EQ(prop.GetPropertyFromText(texts[0], "ParentKey", ""), "InvoiceID");  // the table's keys stay
    EXPECT_EQ(prop.GetPropertyFromText(texts[0], "SkipSameValue", ""), "True");
    EXPECT_EQ(prop.GetPropertyFromText(texts[0], "Break", ""), "True");
    EXPECT_EQ(prop.GetPropertyFromText(texts[0], "aBreakRowFieldValue", ""), "小計");
    EXPECT_EQ(prop.GetPropertyFromText(texts[0], "dBreakRowFieldType", ""), "統計演算");
    EXPECT_EQ(prop.GetPropertyFromText(texts[0], "bBreakRowFieldType", "-"), "");
    EXPECT_EQ(prop.GetPropertyFromText(texts[3], "FormatType", ""), "\\#");
    EXPECT_EQ(prop.GetPropertyFromText(texts[3], "DataField", ""), "Amount");  // kept: not given

    const auto shown = Cli({"show", "t.docx", "--record", "1", "-o", "shown.docx"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const auto rows = TableRows(dir / "shown.docx");
    ASSERT_GE(rows.size(), 7u);
    using Row = std::vector<std::string>;
    EXPECT_EQ(rows[0], (Row{"分類", "品名", "数量", "金額(円)"}));
    EXPECT_EQ(rows[1], (Row{"サービス", "会議室利用料 (1時間)", "1", "3,000"}));
    EXPECT_EQ(rows[2], (Row{"", "出張設置作業", "3", "45,000"})) << "the repeated category is blank";
    EXPECT_EQ(rows[3], (Row{"小計", "", "", "48,000"}));
    EXPECT_EQ(rows[4], (Row{"文具", "ホッチキス No.10", "1", "650"}));
    EXPECT_EQ(rows[5], (Row{"小計", "", "", "650"}));
    EXPECT_EQ(rows[6][0], "機器");

    const auto documented = Cli({"document", "t.docx", "-o", "all.docx"});
    ASSERT_EQ(documented.exitCode, 0) << documented.err;
    const std::string all = DocumentText(dir / "all.docx");
    EXPECT_NE(all.find("48,000"), std::string::npos) << "invoice 1's services";
    EXPECT_NE(all.find("24,500"), std::string::npos) << "invoice 2's one group of paper";
}

TEST_F(CliDesignColumnTest, BadInputIsRefusedAndTheTemplateStaysByteForByte) {
    const std::string before = ReadFile(dir / "t.docx");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {Column({"--column", "9", "--in-place"}), "--column 9 is not a column of Lines: it has columns 1 to 4"},
        {{"design", "column", "t.docx", "--table", "Nope", "--column", "1", "--in-place"}, "has no bookmark \"Nope\""},
        {Column({"--column", "2", "--data-field", "Nope", "--in-place"}), "--data-field \"Nope\" is not a field"},
        {Column({"--column", "2", "--order", "Nope DESC", "--in-place"}), "--order \"Nope\" is not a field"},
        {Column({"--column", "1", "--break", "yes", "--in-place"}), "--break yes needs a sorted detail"},
        {Column({"--column", "1", "--skip-same", "yes", "--no-field", "--order", "LineNo", "--in-place"}),
         "--skip-same yes needs a column with content"},
        {Column({"--column", "1", "--order", "LineNo", "--break", "yes", "--break-row", "e=SUM", "--in-place"}),
         "the table has columns 1 to 4"},
        {Column({"--column", "1", "--order", "LineNo", "--break", "yes", "--break-row", "a=MEDIAN", "--in-place"}),
         "\"MEDIAN\" is not none"},
        {Column({"--column", "1", "--break-row", "a=none", "--in-place"}), "only with --break yes"},
        {Column({"--column", "1", "--format-type", "number", "--in-place"}), "--format-type needs --format"},
        {Column({"--column", "1", "--support", "合計", "--in-place"}), "is not a support field"},
        {Column({"--column", "1", "--expression", "a\"b", "--in-place"}), "holds a double quote"},
        {Column({"--column", "1"}), "Give -o OUT.docx"},
    };
    for (const auto& [args, message] : cases) {
        const auto result = Cli(args);
        EXPECT_EQ(result.exitCode, 2) << message;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(ReadFile(dir / "t.docx"), before) << message;
    }

    // A column turned to none loses its keys; its caption stays, and the table's keys too.
    const auto none = Cli(Column({"--column", "1", "--no-field", "-o", "none.docx"}));
    ASSERT_EQ(none.exitCode, 0) << none.err;
    auto doc = word::Document::Open(dir / "none.docx");
    std::vector<std::string> texts;
    clsPLProperty().GetColumnProperties(doc->Tables().Item(1), *doc, texts);
    EXPECT_EQ(texts[0].find("FieldType"), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("ParentKey=\"InvoiceID\""), std::string::npos) << texts[0];
    EXPECT_NE(doc->Content().Text().find("分類"), std::string::npos);
    doc->Close();
}

}  // namespace
}  // namespace paperloom::cli::test
