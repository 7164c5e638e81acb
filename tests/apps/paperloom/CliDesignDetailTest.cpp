// paperloom design detail: a detail table inserted by the command line gets another filter,
// sort and options, which the run-time then fills with; the column settings sharing the first
// cell stay; --clear removes only the table's keys; bad input leaves the template byte for byte.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "CliTestSupport.h"
#include "common/clsPLProperty.h"
#include "host/word/Application.h"
#include "host/word/Bookmarks.h"

namespace paperloom::cli::test {
namespace {

namespace kit = templatekit;
namespace sk = templatekit::skeleton;

const std::vector<std::string> kTableKeys{"DataSourceType", "DataSource",   "UserName",     "Password",
                                          "RecordSourceType", "RecordSource", "RSWhere",      "RSOrder",
                                          "ParentKey",      "ChildKey",     "ColumnHeaders", "AutoAdjustRowCount"};

std::vector<std::string> Query(const fs::path& database, const std::string& sql) {
    sqlite3* db = nullptr;
    std::vector<std::string> values;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
        sqlite3_exec(
            db, sql.c_str(),
            [](void* out, int, char** row, char**) {
                static_cast<std::vector<std::string>*>(out)->push_back(row[0] ? row[0] : "");
                return 0;
            },
            &values, nullptr);
    sqlite3_close(db);
    return values;
}

// Cell (1, c) property texts of the first table.
std::vector<std::string> Columns(const fs::path& path) {
    auto doc = word::Document::Open(path);
    std::vector<std::string> columns;
    clsPLProperty().GetColumnProperties(doc->Tables().Item(1), *doc, columns);
    doc->Close();
    return columns;
}

class CliDesignDetailTest : public ::testing::Test {
protected:
    // The sample database; a document bound to its invoices with a lines table of product and
    // quantity (3 data rows, sorted by line) put in by the command line, and a paragraph under
    // a bookmark of its own.
    void SetUp() override {
        const fs::path sample = fs::path(PAPERLOOM_SOURCE_DIR) / "examples" / "sample";
        RunSql(dir / "sample.db", ReadFile(sample / "schema.sql"));
        RunSql(dir / "sample.db", ReadFile(sample / "data.sql"));
        const std::string body = sk::Paragraph(sk::Run("請求書 [NO]")) + sk::Paragraph(sk::Run("[LINES]")) +
                                 sk::Paragraph(sk::Run("備考")) + sk::Paragraph();
        kit::TemplateWriter writer(sk::MakeDocument(body, "lines.docx"));
        writer.ReplaceMarker("[NO]", kit::DataFieldCode("InvoiceNo"));
        writer.SaveAs(dir / "lines.docx");
        {
            auto doc = word::Document::Open(dir / "lines.docx");
            auto note = doc->Content();
            auto find = note.Find();
            find.SetText("備考");
            EXPECT_TRUE(find.Execute());
            doc->Bookmarks().Add("Note", note);
            doc->SaveAs(dir / "lines.docx");
            doc->Close();
        }
        const auto bound = Cli({"design", "bind", "lines.docx", "--data-source-type", "4", "--data-source", "sample.db",
                                "--record-source-type", "2", "--record-source", "InvoiceHeaders", "--order", "InvoiceID",
                                "--in-place"});
        ASSERT_EQ(bound.exitCode, 0) << bound.err;
        const auto inserted = Cli({"design", "insert-detail", "lines.docx", "--at", "[LINES]", "--record-source-type", "2",
                                   "--record-source", "InvoiceDetails", "--order", "LineNo", "--parent-key", "InvoiceID",
                                   "--child-key", "InvoiceID", "--rows", "3", "--bookmark", "Lines", "--column",
                                   "ProductName", "--column", "Quantity", "--in-place"});
        ASSERT_EQ(inserted.exitCode, 0) << inserted.err;
    }
    CliResult Cli(const std::vector<std::string>& args) { return RunCli(dir.Path(), args); }
    Scratch dir;
};

TEST_F(CliDesignDetailTest, AnotherFilterSortAndOptionsAreWrittenAndFilledWithColumnOneKept) {
    const auto before = Columns(dir / "lines.docx");
    const clsPLProperty prop;
    const auto changed = Cli({"design", "detail", "lines.docx", "--table", "Lines", "--where", "Quantity >= 5", "--order",
                              "Quantity DESC", "--auto-adjust", "yes", "-o", "changed.docx"});
    ASSERT_EQ(changed.exitCode, 0) << changed.err;
    EXPECT_NE(changed.out.find("RSWhere: Quantity >= 5\n"), std::string::npos) << changed.out;
    const auto after = Columns(dir / "changed.docx");
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(prop.GetPropertyFromText(after[0], "RSWhere", ""), "Quantity >= 5");
    EXPECT_EQ(prop.GetPropertyFromText(after[0], "RSOrder", ""), "Quantity DESC");
    EXPECT_EQ(prop.GetPropertyFromText(after[0], "AutoAdjustRowCount", ""), "True");
    EXPECT_EQ(prop.GetPropertyFromText(after[0], "ColumnHeaders", ""), "True");
    // Not given: kept. The database file stays named relative to the template.
    for (const char* key : {"RecordSource", "ParentKey", "ChildKey", "DataSource"})
        EXPECT_EQ(prop.GetPropertyFromText(after[0], key, "?"), prop.GetPropertyFromText(before[0], key, "!")) << key;
    // Column 1's own keys in the same hidden run, and column 2, as they were.
    for (const char* key : {"FieldType", "DataField", "FormatType", "Format"})
        EXPECT_EQ(prop.GetPropertyFromText(after[0], key, "?"), prop.GetPropertyFromText(before[0], key, "!")) << key;
    EXPECT_EQ(after[1], before[1]);

    const auto shown = Cli({"show", "changed.docx", "--record", "1", "-o", "shown.docx"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const std::string text = DocumentText(dir / "shown.docx");
    const fs::path db = dir / "sample.db";
    const auto kept = Query(db, "SELECT ProductName FROM InvoiceDetails WHERE InvoiceID = 1 AND Quantity >= 5");
    ASSERT_FALSE(kept.empty());
    for (const auto& name : kept) EXPECT_NE(text.find(name), std::string::npos) << name;
    const auto dropped = Query(db, "SELECT ProductName FROM InvoiceDetails WHERE InvoiceID = 1 AND ProductName NOT IN "
                                   "(SELECT ProductName FROM InvoiceDetails WHERE InvoiceID = 1 AND Quantity >= 5)");
    ASSERT_FALSE(dropped.empty());
    for (const auto& name : dropped) EXPECT_EQ(text.find(name), std::string::npos) << name << " is filtered out";

    // describe reads the same settings back.
    const auto described = Cli({"describe", "changed.docx"});
    ASSERT_EQ(described.exitCode, 0) << described.err;
    EXPECT_NE(described.out.find("record source filter: Quantity >= 5"), std::string::npos) << described.out;
    EXPECT_NE(described.out.find("AutoAdjustRowCount: True"), std::string::npos) << described.out;
}

TEST_F(CliDesignDetailTest, ClearRemovesTheTwelveKeysAndKeepsTheColumns) {
    const auto before = Columns(dir / "lines.docx");
    const auto cleared = Cli({"design", "detail", "lines.docx", "--table", "Lines", "--clear", "--in-place"});
    ASSERT_EQ(cleared.exitCode, 0) << cleared.err;
    const auto after = Columns(dir / "lines.docx");
    const clsPLProperty prop;
    for (const auto& key : kTableKeys) EXPECT_EQ(prop.GetPropertyFromText(after[0], key, "<none>"), "<none>") << key;
    EXPECT_EQ(prop.GetPropertyFromText(after[0], "DataField", ""), "ProductName");
    EXPECT_EQ(after[1], before[1]);

    // Bound again from nothing: the table takes the header's data source.
    const auto rebound = Cli({"design", "detail", "lines.docx", "--table", "Lines", "--record-source-type", "2",
                              "--record-source", "InvoiceDetails", "--parent-key", "InvoiceID", "--child-key",
                              "InvoiceID", "--in-place"});
    ASSERT_EQ(rebound.exitCode, 0) << rebound.err;
    EXPECT_EQ(prop.GetPropertyFromText(Columns(dir / "lines.docx")[0], "DataSource", ""),
              prop.GetPropertyFromText(before[0], "DataSource", "!"));
}

TEST_F(CliDesignDetailTest, BadInputIsRefusedAndTheTemplateStaysByteForByte) {
    const std::string before = ReadFile(dir / "lines.docx");
    const auto detail = [](std::vector<std::string> more) {
        std::vector<std::string> args{"design", "detail", "lines.docx"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {detail({"--table", "Nope", "--auto-adjust", "yes", "--in-place"}), "has no bookmark \"Nope\""},
        {detail({"--table", "Note", "--auto-adjust", "yes", "--in-place"}), "holds no table"},
        {detail({"--table", "Lines", "--in-place"}), "Give a setting to change"},
        {detail({"--table", "Lines", "--child-key", "Nope", "--in-place"}), "--child-key \"Nope\" is not a field"},
        {detail({"--table", "Lines", "--parent-key", "Nope", "--in-place"}), "--parent-key \"Nope\" is not a field"},
        // The kept child key is checked against the new record source too.
        {detail({"--table", "Lines", "--record-source", "Products", "--order", "", "--in-place"}),
         "--child-key \"InvoiceID\""},
        {detail({"--table", "Lines", "--record-source", "NoSuchTable", "--in-place"}),
         "record source \"NoSuchTable\" does not open"},
        {detail({"--table", "Lines", "--record-source-type", "1", "--record-source", "SELECT * FROM InvoiceDetails",
                 "--in-place"}),
         "--where and --order go with a table"},
        {detail({"--table", "Lines", "--data-source-type", "4", "--in-place"}), "together"},
        {detail({"--table", "Lines", "--data-source-type", "4", "--data-source", "missing.db", "--in-place"}),
         "data source does not open"},
        {detail({"--table", "Lines", "--where", "Unit = \"個\"", "--in-place"}), "double quote"},
        {detail({"--table", "Lines", "--auto-adjust", "maybe", "--in-place"}), "--auto-adjust"},
        {detail({"--table", "Lines", "--clear", "--order", "LineNo", "--in-place"}), "excludes"},
        {detail({"--table", "Lines", "--auto-adjust", "yes"}), "Give -o OUT.docx"},
    };
    for (const auto& [args, message] : cases) {
        const auto result = Cli(args);
        EXPECT_EQ(result.exitCode, 2) << message;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(ReadFile(dir / "lines.docx"), before) << message;
    }
}

}  // namespace
}  // namespace paperloom::cli::test
