// A template made entirely from the command line: a plain document bound, its lines table
// inserted, header fields with a number and an era date format, the category column blanked
// with a break row of a caption and a formatted sum, the amount column formatted, the table's
// row count left to the fill. show and document then fill it as the sample database says.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <map>

#include "CliTestSupport.h"
#include "host/word/Application.h"
#include "host/word/Table.h"

namespace paperloom::cli::test {
namespace {

namespace kit = templatekit;
namespace sk = templatekit::skeleton;

using Rows = std::vector<std::vector<std::string>>;

// Every row the statement returns, as texts.
Rows Query(const fs::path& database, const std::string& sql) {
    sqlite3* db = nullptr;
    Rows rows;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
        sqlite3_exec(
            db, sql.c_str(),
            [](void* out, int columns, char** row, char**) {
                auto& all = *static_cast<Rows*>(out);
                all.emplace_back();
                for (int c = 0; c < columns; ++c) all.back().push_back(row[c] ? row[c] : "");
                return 0;
            },
            &rows, nullptr);
    sqlite3_close(db);
    return rows;
}

// A whole number as the picture #,##0 shows it.
std::string Grouped(const std::string& number) {
    std::string digits = std::to_string(std::llround(std::stod(number)));
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

// The visible text of every cell of the document's first table, row by row.
Rows TableRows(const fs::path& path) {
    auto doc = word::Document::Open(path);
    const auto table = doc->Tables().Item(1);
    Rows rows;
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

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
    return count;
}

class CliDesignEndToEndTest : public ::testing::Test {
protected:
    CliResult Cli(const std::vector<std::string>& args) { return RunCli(dir.Path(), args); }
    void Design(const std::vector<std::string>& args) {
        const auto result = Cli(args);
        ASSERT_EQ(result.exitCode, 0) << ::testing::PrintToString(args) << "\n" << result.err;
    }
    Scratch dir;
};

TEST_F(CliDesignEndToEndTest, ATemplateMadeOnlyByCommandsShowsFormatsBlankingAndBreakRows) {
    const fs::path sample = fs::path(PAPERLOOM_SOURCE_DIR) / "examples" / "sample";
    const fs::path db = dir / "sample.db";
    RunSql(db, ReadFile(sample / "schema.sql"));
    RunSql(db, ReadFile(sample / "data.sql"));
    const std::string body = sk::Paragraph(sk::Run("請求書 [NO]")) + sk::Paragraph(sk::Run("発行日 [DATE]")) +
                             sk::Paragraph(sk::Run("合計 [TOTAL]")) + sk::Paragraph(sk::Run("[LINES]")) +
                             sk::Paragraph();
    kit::TemplateWriter(sk::MakeDocument(body, "draft.docx")).SaveAs(dir / "draft.docx");

    Design({"design", "bind", "draft.docx", "--data-source-type", "4", "--data-source", "sample.db",
            "--record-source-type", "2", "--record-source", "InvoiceHeaders", "--order", "InvoiceID", "-o",
            "made.docx"});
    Design({"design", "insert-detail", "made.docx", "--at", "[LINES]", "--record-source-type", "2", "--record-source",
            "InvoiceDetails", "--order", "Category, LineNo", "--parent-key", "InvoiceID", "--child-key", "InvoiceID",
            "--rows", "2", "--bookmark", "Lines", "--column", "Category:分類", "--column", "ProductName:品名",
            "--column", "Amount:金額", "--in-place"});
    Design({"design", "field", "made.docx", "--at", "[NO]", "--data-field", "InvoiceNo", "--in-place"});
    Design({"design", "field", "made.docx", "--at", "[DATE]", "--data-field", "IssueDate", "--format-type", "\\@",
            "--format", "gge年M月d日", "--in-place"});
    Design({"design", "field", "made.docx", "--at", "[TOTAL]", "--data-field", "Total", "--format-type", "\\#",
            "--format", "#,##0", "--in-place"});
    Design({"design", "column", "made.docx", "--table", "Lines", "--column", "1", "--skip-same", "yes", "--break", "yes",
            "--break-row", "a=caption:小計", "--break-row", "c=SUM:\\#:#,##0", "--in-place"});
    Design({"design", "column", "made.docx", "--table", "Lines", "--column", "3", "--format-type", "\\#", "--format",
            "#,##0", "--in-place"});
    // Two data rows were inserted; the fill grows the table to each invoice's lines.
    Design({"design", "detail", "made.docx", "--table", "Lines", "--auto-adjust", "yes", "--in-place"});

    // The first invoice: number, era date, grouped total; its lines by category, the category
    // shown once per group, each group closed by its subtotal.
    const auto shown = Cli({"show", "made.docx", "--record", "1", "-o", "shown.docx"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const auto header = Query(db, "SELECT InvoiceNo, IssueDate, Total FROM InvoiceHeaders WHERE InvoiceID = 1").at(0);
    const int year = std::stoi(header[1].substr(0, 4));
    ASSERT_GT(year, 2019) << "the expected era date below is 令和 from its second year";
    const std::string era = "令和" + std::to_string(year - 2018) + "年" + std::to_string(std::stoi(header[1].substr(5, 2))) +
                            "月" + std::to_string(std::stoi(header[1].substr(8, 2))) + "日";
    const std::string text = DocumentText(dir / "shown.docx");
    for (const auto& value : {"請求書 " + header[0], "発行日 " + era, "合計 " + Grouped(header[2])})
        EXPECT_NE(text.find(value), std::string::npos) << value << "\n" << text;

    Rows expected{{"分類", "品名", "金額"}};
    const auto lines =
        Query(db, "SELECT Category, ProductName, Amount FROM InvoiceDetails WHERE InvoiceID = 1 ORDER BY Category, LineNo");
    ASSERT_GT(lines.size(), 3u);
    double sum = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool first = i == 0 || lines[i][0] != lines[i - 1][0];
        expected.push_back({first ? lines[i][0] : "", lines[i][1], Grouped(lines[i][2])});
        sum += std::stod(lines[i][2]);
        if (i + 1 == lines.size() || lines[i + 1][0] != lines[i][0]) {
            expected.push_back({"小計", "", Grouped(std::to_string(sum))});
            sum = 0;
        }
    }
    Rows rows = TableRows(dir / "shown.docx");
    // Rows the fill left over stay empty.
    while (rows.size() > expected.size() && rows.back() == std::vector<std::string>(3)) rows.pop_back();
    EXPECT_EQ(rows, expected);

    // Every invoice: its number and total, and one subtotal per category of its lines.
    const auto documented = Cli({"document", "made.docx", "-o", "all.docx"});
    ASSERT_EQ(documented.exitCode, 0) << documented.err;
    const std::string all = DocumentText(dir / "all.docx");
    for (const auto& invoice : Query(db, "SELECT InvoiceNo, Total FROM InvoiceHeaders")) {
        EXPECT_NE(all.find("請求書 " + invoice[0]), std::string::npos) << invoice[0];
        EXPECT_NE(all.find("合計 " + Grouped(invoice[1])), std::string::npos) << invoice[0];
    }
    const auto groups = Query(db, "SELECT COUNT(*) FROM (SELECT DISTINCT InvoiceID, Category FROM InvoiceDetails "
                                  "WHERE InvoiceID IN (SELECT InvoiceID FROM InvoiceHeaders))");
    EXPECT_EQ(Count(all, "小計"), std::stoul(groups.at(0).at(0)));

    // describe reads back what the commands wrote.
    const auto described = Cli({"describe", "made.docx"});
    ASSERT_EQ(described.exitCode, 0) << described.err;
    for (const char* written : {"DataField IssueDate, format \\@ \"gge年M月d日\"", "DataField Total, format \\# \"#,##0\"",
                                 "SkipSameValue \"True\", Break \"True\"", "break row c: 統計演算 \"SUM\"",
                                 "AutoAdjustRowCount: True"})
        EXPECT_NE(described.out.find(written), std::string::npos) << written << "\n" << described.out;
}

}  // namespace
}  // namespace paperloom::cli::test
