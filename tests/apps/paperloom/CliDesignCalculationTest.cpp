// paperloom design statistics / formula: header statistics over a detail table with break rows
// and a formula over them, made from the command line and filled by show and document on
// invoices whose lines span several detail pages; bad input refused with the template untouched.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "CliTestSupport.h"
#include "common/modPLFunction.h"
#include "host/word/Application.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <regex>

namespace paperloom::cli::test {
namespace {

namespace kit = templatekit;
namespace sk = templatekit::skeleton;

void MakeSampleDatabase(const fs::path& path) {
    const fs::path sample = fs::path(PAPERLOOM_SOURCE_DIR) / "examples" / "sample";
    RunSql(path, ReadFile(sample / "schema.sql"));
    RunSql(path, ReadFile(sample / "data.sql"));
}

// The invoice number as a header data field, placeholders for the statistics, the formula and
// the lines.
fs::path MakePlainDocument(const fs::path& path) {
    const std::string body = sk::Paragraph(sk::Run("請求書 [NO]")) +
                             sk::Paragraph(sk::Run("合計 [SUM] 件数 [COUNT] 平均 [AVG] 税込 [TAX]")) +
                             sk::Paragraph(sk::Run("[LINES]")) + sk::Paragraph();
    kit::TemplateWriter writer(sk::MakeDocument(body, path.filename().string()));
    writer.ReplaceMarker("[NO]", kit::DataFieldCode("InvoiceNo"));
    writer.SaveAs(path);
    return path;
}

// One number the query returns.
double QueryNumber(const fs::path& database, const std::string& sql) {
    sqlite3* db = nullptr;
    double value = NAN;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
        sqlite3_exec(
            db, sql.c_str(),
            [](void* out, int, char** row, char**) {
                *static_cast<double*>(out) = row[0] ? std::stod(row[0]) : NAN;
                return 0;
            },
            &value, nullptr);
    sqlite3_close(db);
    return value;
}

// "1,234" -> 1234
double Number(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ','), text.end());
    return std::stod(text);
}

// The statistics line of each filled copy of the template in a document's text, in order.
struct Figures {
    std::string invoice;
    double sum = 0, count = 0, average = 0, tax = 0;
};
std::vector<Figures> FiguresIn(const std::string& text) {
    static const std::regex line("請求書 (\\S+)\\r合計 ([0-9,.]+) 件数 ([0-9,.]+) 平均 ([0-9,.]+) 税込 ([0-9,.]+)");
    std::vector<Figures> figures;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), line); it != std::sregex_iterator(); ++it)
        figures.push_back({(*it)[1], Number((*it)[2]), Number((*it)[3]), Number((*it)[4]), Number((*it)[5])});
    return figures;
}

class CliDesignCalculationTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeSampleDatabase(dir / "sample.db");
        MakePlainDocument(dir / "plain.docx");
    }
    CliResult Cli(const std::vector<std::string>& args) { return RunCli(dir.Path(), args); }
    void Design(std::vector<std::string> args) {
        args.insert(args.begin(), "design");
        args.push_back("--in-place");
        const auto result = Cli(args);
        ASSERT_EQ(result.exitCode, 0) << args[1] << ": " << result.err;
    }
    // A template of invoices with their lines by category (8 rows to a detail page), a break
    // row after each category with its subtotal, and the header's statistics over the amounts.
    void MakeTemplate() {
        ASSERT_EQ(Cli({"design", "bind", "plain.docx", "--data-source-type", "4", "--data-source", "sample.db",
                       "--record-source-type", "2", "--record-source", "InvoiceHeaders", "--order", "InvoiceID", "-o",
                       "t.docx"})
                      .exitCode,
                  0);
        Design({"insert-detail", "t.docx", "--at", "[LINES]", "--record-source-type", "2", "--record-source",
                "InvoiceDetails", "--order", "Category, LineNo", "--parent-key", "InvoiceID", "--child-key", "InvoiceID",
                "--rows", "8", "--bookmark", "Lines", "--column", "Category", "--column", "ProductName", "--column",
                "Quantity", "--column", "Amount"});
        Design({"column", "t.docx", "--table", "Lines", "--column", "1", "--break", "yes", "--break-row",
                "a=caption:小計", "--break-row", "d=SUM"});
        Design({"bookmark", "t.docx", "--add", "Total", "--at", " [SUM] "});
        Design({"statistics", "t.docx", "--at", "[SUM]", "--function", "SUM", "--table", "Lines", "--column", "d",
                "--format-type", "number", "--format", "#,##0"});
        Design({"statistics", "t.docx", "--at", "[COUNT]", "--function", "count", "--table", "Lines", "--column", "4"});
        Design({"statistics", "t.docx", "--at", "[AVG]", "--function", "AVERAGE", "--table", "Lines", "--column", "d",
                "--format-type", "\\#", "--format", "0.00"});
        Design({"formula", "t.docx", "--at", "[TAX]", "--expression", "=Total*1.1", "--format", "#,##0"});
    }
    Scratch dir;
};

// The amounts of the data rows of the first detail table and of its break rows.
struct ShownTable {
    std::vector<double> data, breaks;
};
ShownTable AmountsShown(const fs::path& path) {
    auto doc = word::Document::Open(path);
    ShownTable shown;
    const auto table = doc->Tables().Item(1);
    for (long row = 2; row <= table.Rows().Count(); ++row) {
        const std::string category = table.Cell(row, 1).Range().Text();
        const std::string amount = table.Cell(row, 4).Range().Text();
        if (amount.find_first_of("0123456789") == std::string::npos) continue;
        (category.find("小計") != std::string::npos ? shown.breaks : shown.data).push_back(Number(amount));
    }
    doc->Close();
    return shown;
}

TEST_F(CliDesignCalculationTest, HeaderStatisticsLeaveOutBreakRowsOnScreenAndAcrossDetailPages) {
    MakeTemplate();
    const fs::path db = dir / "sample.db";
    {
        auto doc = word::Document::Open(dir / "t.docx");
        std::vector<std::string> codes;
        for (const auto& field : word::FieldsOf(*doc)) {
            auto code = field.Code();
            code.TextRetrievalMode().SetIncludeFieldCodes(true);
            codes.push_back(code.Text());
        }
        EXPECT_EQ(codes, (std::vector<std::string>{"quote DataField InvoiceNo",
                                                   "quote Statistics SUM Lines d \\# \"#,##0\"",
                                                   "quote Statistics COUNT Lines d",
                                                   "quote Statistics AVERAGE Lines d \\# \"0.00\"",
                                                   "=Total*1.1 \\# \"#,##0\""}));
        doc->Close();
    }

    // On screen invoice 7 shows its first detail page, a subtotal among its rows; the header
    // counts the data rows only.
    auto shown = Cli({"show", "t.docx", "--record", "7", "-o", "shown.docx"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const auto table = AmountsShown(dir / "shown.docx");
    ASSERT_FALSE(table.breaks.empty());
    ASSERT_LT(table.data.size(), QueryNumber(db, "SELECT COUNT(*) FROM InvoiceDetails WHERE InvoiceID = 7"));
    const auto onScreen = FiguresIn(DocumentText(dir / "shown.docx"));
    ASSERT_EQ(onScreen.size(), 1u);
    double sum = 0;
    for (const double amount : table.data) sum += amount;
    EXPECT_EQ(onScreen[0].invoice, "INV-2024-007");
    EXPECT_EQ(onScreen[0].sum, sum);
    EXPECT_EQ(onScreen[0].count, static_cast<double>(table.data.size()));
    EXPECT_NEAR(onScreen[0].average, sum / static_cast<double>(table.data.size()), 0.005);
    EXPECT_NEAR(onScreen[0].tax, std::round(sum * 1.1), 0.5);

    // Printed, each detail page's copy counts the pages so far; the last copy of every invoice
    // shows the invoice's own figures.
    auto documented = Cli({"document", "t.docx", "-o", "all.docx"});
    ASSERT_EQ(documented.exitCode, 0) << documented.err;
    const auto copies = FiguresIn(DocumentText(dir / "all.docx"));
    std::map<std::string, std::vector<Figures>> byInvoice;
    for (const auto& copy : copies) byInvoice[copy.invoice].push_back(copy);
    ASSERT_EQ(byInvoice.size(), static_cast<std::size_t>(QueryNumber(db, "SELECT COUNT(*) FROM Invoices")));
    ASSERT_GE(byInvoice.at("INV-2024-007").size(), 3u) << "invoice 7 spans several detail pages";
    for (const auto& [invoice, pages] : byInvoice) {
        SCOPED_TRACE(invoice);
        const std::string of = "FROM InvoiceDetails d JOIN Invoices i ON i.InvoiceID = d.InvoiceID WHERE i.InvoiceNo = '" +
                               invoice + "'";
        const double total = QueryNumber(db, "SELECT SUM(Amount) " + of);
        const double lines = QueryNumber(db, "SELECT COUNT(*) " + of);
        const auto& last = pages.back();
        EXPECT_EQ(last.sum, total);
        EXPECT_EQ(last.count, lines);
        EXPECT_NEAR(last.average, total / lines, 0.005) << "the sums over the counts, not an average of averages";
        EXPECT_NEAR(last.tax, std::round(total * 1.1), 0.5);
        for (std::size_t page = 1; page < pages.size(); ++page) {
            EXPECT_LT(pages[page - 1].sum, pages[page].sum);
            EXPECT_LT(pages[page - 1].count, pages[page].count);
        }
    }
}

TEST_F(CliDesignCalculationTest, AFieldIsReplacedInPlaceAndBadInputLeavesTheTemplateByteForByte) {
    MakeTemplate();
    // Inside the count field's shown text: that field is replaced, not joined by another.
    auto replaced = Cli({"design", "statistics", "t.docx", "--at", "COUNT Lines", "--function", "MAX", "--table",
                         "Lines", "--column", "c", "-o", "max.docx"});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err;
    EXPECT_NE(replaced.out.find("quote Statistics MAX Lines c"), std::string::npos) << replaced.out;
    {
        auto doc = word::Document::Open(dir / "max.docx");
        EXPECT_EQ(word::FieldsOf(*doc).Count(), 5);
        doc->Close();
    }
    auto formula = Cli({"design", "formula", "t.docx", "--at", "件数", "--expression", "=6*7", "--format", "0.0", "-o",
                        "formula.docx"});
    ASSERT_EQ(formula.exitCode, 0) << formula.err;
    EXPECT_NE(formula.out.find("=6*7 \\# \"0.0\" (shows 42.0)"), std::string::npos) << formula.out;

    const std::string before = ReadFile(dir / "t.docx");
    const auto statistics = [](std::vector<std::string> more) {
        std::vector<std::string> args{"design", "statistics", "t.docx", "--at", "平均", "--function", "SUM",
                                      "--table", "Lines", "--column", "d"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const auto replace = [](std::vector<std::string> args, const std::string& option, const std::string& value) {
        *(std::find(args.begin(), args.end(), option) + 1) = value;
        return args;
    };
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {replace(statistics({"--in-place"}), "--function", "MEDIAN"), "--function \"MEDIAN\" is not one of"},
        {replace(statistics({"--in-place"}), "--table", "Nowhere"), "no bookmark \"Nowhere\""},
        {replace(statistics({"--in-place"}), "--table", "Total"), "The bookmark \"Total\" holds no table"},
        {replace(statistics({"--in-place"}), "--column", "e"), "has columns 1 to 4 (a to d)"},
        {replace(statistics({"--in-place"}), "--column", "0"), "--column \"0\" is not a column"},
        {replace(statistics({"--in-place"}), "--at", "[NOWHERE]"), "\"[NOWHERE]\" does not occur"},
        {statistics({"--format", "#,##0", "--in-place"}), "Give --format-type and --format together"},
        {statistics({"--format-type", "money", "--format", "0", "--in-place"}), "is not a format type"},
        {statistics({"--format-type", "number", "--format", "0\"", "--in-place"}), "holds a double quote"},
        {statistics({}), "Give -o OUT.docx"},
        // The text lies in the formula field: it is not a statistics field.
        {replace(statistics({"--in-place"}), "--at", "数値ではありません"), "統計演算フィールドではありません。"},
        {{"design", "formula", "t.docx", "--at", "平均", "--expression", " ", "--in-place"}, "--expression is empty"},
        {{"design", "formula", "t.docx", "--at", "平均", "--expression", "=1 \\# 0", "--in-place"}, "holds \\#"},
        {{"design", "formula", "t.docx", "--at", "[NOWHERE]", "--expression", "=1", "--in-place"}, "does not occur"},
    };
    for (const auto& [args, message] : cases) {
        const auto result = Cli(args);
        EXPECT_NE(result.exitCode, 0) << message;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(ReadFile(dir / "t.docx"), before) << message;
    }
}

}  // namespace
}  // namespace paperloom::cli::test
