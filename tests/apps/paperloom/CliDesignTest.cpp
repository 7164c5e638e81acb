// paperloom design: a plain document made into a template by the command line against the
// sample database, filled by show and document; bad input refused with the template untouched.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "CliTestSupport.h"
#include "support/OdbcTestConfig.h"
#include "common/clsPLProperty.h"
#include "host/word/Application.h"

namespace paperloom::cli::test {
namespace {

namespace kit = templatekit;
namespace sk = templatekit::skeleton;

// The sample database, built from the SQL the samples are made from.
void MakeSampleDatabase(const fs::path& path) {
    const fs::path sample = fs::path(PAPERLOOM_SOURCE_DIR) / "examples" / "sample";
    RunSql(path, ReadFile(sample / "schema.sql"));
    RunSql(path, ReadFile(sample / "data.sql"));
}

// A plain document: the invoice number and customer as header data fields (as the header field
// command places them), placeholder texts for the lines, and a text box and a page header
// holding other placeholders.
fs::path MakePlainDocument(const fs::path& path) {
    const std::string body = sk::Paragraph(sk::Run("請求書 [NO] [CUSTOMER]")) + sk::Paragraph(sk::Run("[LINES]")) +
                             sk::Paragraph(sk::TextBox(sk::Paragraph(sk::Run("[BOX]")), {})) + sk::Paragraph();
    kit::TemplateWriter writer(sk::MakeDocument(body, path.filename().string()));
    writer.ReplaceMarker("[NO]", kit::DataFieldCode("InvoiceNo"));
    writer.ReplaceMarker("[CUSTOMER]", kit::DataFieldCode("CustomerName"));
    writer.SaveAs(path);
    return path;
}

// The first column of every row the statement returns, as text.
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

class CliDesignTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeSampleDatabase(dir / "sample.db");
        MakePlainDocument(dir / "plain.docx");
    }
    CliResult Cli(const std::vector<std::string>& args) { return RunCli(dir.Path(), args); }
    CliResult Bind(const std::string& in, const std::vector<std::string>& write) {
        std::vector<std::string> args{"design", "bind", in, "--data-source-type", "4", "--data-source", "sample.db",
                                      "--record-source-type", "2", "--record-source", "InvoiceHeaders",
                                      "--order", "InvoiceID"};
        args.insert(args.end(), write.begin(), write.end());
        return Cli(args);
    }
    std::vector<std::string> InsertArgs(const std::string& in) {
        return {"design", "insert-detail", in, "--at", "[LINES]", "--record-source-type", "2", "--record-source",
                "InvoiceDetails", "--order", "LineNo", "--parent-key", "InvoiceID", "--child-key", "InvoiceID",
                "--rows", "3", "--bookmark", "Lines", "--column", "ProductName:品名", "--caption-column", "備考",
                "--column", "Quantity"};
    }
    Scratch dir;
};

TEST_F(CliDesignTest, APlainDocumentBecomesATemplateThatShowsEachInvoiceWithItsLines) {
    const std::string plainBefore = ReadFile(dir / "plain.docx");
    auto bound = Bind("plain.docx", {"-o", "bound.docx"});
    ASSERT_EQ(bound.exitCode, 0) << bound.err;
    EXPECT_EQ(ReadFile(dir / "plain.docx"), plainBefore);  // -o leaves the template alone

    auto args = InsertArgs("bound.docx");
    args.push_back("--in-place");
    auto inserted = Cli(args);
    ASSERT_EQ(inserted.exitCode, 0) << inserted.err;

    // What the commands wrote, as describe reports it and as stored.
    auto described = Cli({"describe", "bound.docx"});
    ASSERT_EQ(described.exitCode, 0) << described.err;
    EXPECT_NE(described.out.find("InvoiceHeaders"), std::string::npos) << described.out;
    EXPECT_NE(described.out.find("InvoiceDetails"), std::string::npos) << described.out;
    {
        auto doc = word::Document::Open(dir / "bound.docx");
        const clsPLProperty prop;
        EXPECT_EQ(prop.GetDocVariable("RecordSource", *doc, ""), "InvoiceHeaders");
        EXPECT_EQ(prop.GetDocVariable("RSOrder", *doc, ""), "InvoiceID");
        EXPECT_EQ(prop.GetDocVariable("DataSourceType", *doc, ""), "2");  // a database file opens as a connection string
        ASSERT_EQ(doc->Tables().Count(), 1);
        const auto table = doc->Tables().Item(1);
        EXPECT_EQ(table.Rows().Count(), 4);
        EXPECT_EQ(table.Columns().Count(), 3);
        std::vector<std::string> columns;
        prop.GetColumnProperties(table, *doc, columns);
        EXPECT_EQ(prop.GetPropertyFromText(columns[0], "ParentKey", ""), "InvoiceID");
        EXPECT_EQ(prop.GetPropertyFromText(columns[0], "RSOrder", ""), "LineNo");
        EXPECT_EQ(prop.GetPropertyFromText(columns[0], "DataField", ""), "ProductName");
        EXPECT_EQ(columns[1], "");  // the caption-only column carries no property text
        EXPECT_EQ(prop.GetPropertyFromText(columns[2], "DataField", ""), "Quantity");
        EXPECT_TRUE(doc->Bookmarks().Exists("Lines"));
        const std::string text = doc->Content().Text();
        EXPECT_EQ(text.find("[LINES]"), std::string::npos);
        for (const char* caption : {"品名", "備考", "Quantity"}) EXPECT_NE(text.find(caption), std::string::npos) << caption;
        doc->Close();
    }

    const fs::path db = dir / "sample.db";
    auto shown = Cli({"show", "bound.docx", "--record", "2", "-o", "shown.docx"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const std::string second = DocumentText(dir / "shown.docx");
    EXPECT_NE(second.find(Query(db, "SELECT InvoiceNo FROM Invoices WHERE InvoiceID = 2")[0]), std::string::npos);
    EXPECT_NE(second.find(Query(db, "SELECT CustomerName FROM InvoiceHeaders WHERE InvoiceID = 2")[0]),
              std::string::npos);
    const auto lines2 = Query(db, "SELECT ProductName FROM InvoiceDetails WHERE InvoiceID = 2 ORDER BY LineNo");
    ASSERT_FALSE(lines2.empty());
    for (const auto& name : lines2) EXPECT_NE(second.find(name), std::string::npos) << name;
    for (const auto& name : Query(db, "SELECT ProductName FROM InvoiceDetails WHERE InvoiceID = 1 AND ProductName NOT IN "
                                      "(SELECT ProductName FROM InvoiceDetails WHERE InvoiceID = 2)"))
        EXPECT_EQ(second.find(name), std::string::npos) << name << " belongs to invoice 1 only";

    auto documented = Cli({"document", "bound.docx", "-o", "all.docx"});
    ASSERT_EQ(documented.exitCode, 0) << documented.err;
    const std::string all = DocumentText(dir / "all.docx");
    for (const auto& number : Query(db, "SELECT InvoiceNo FROM Invoices")) EXPECT_NE(all.find(number), std::string::npos);
    const auto lastLines = Query(db, "SELECT ProductName FROM InvoiceDetails WHERE InvoiceID = 25 ORDER BY LineNo");
    for (const auto& name : lastLines) EXPECT_NE(all.find(name), std::string::npos) << name;
}

TEST_F(CliDesignTest, BadInputIsRefusedAndTheTemplateStaysByteForByte) {
    ASSERT_EQ(Bind("plain.docx", {"--in-place"}).exitCode, 0);
    const std::string before = ReadFile(dir / "plain.docx");
    const auto with = [&](std::vector<std::string> args, const std::string& option, const std::string& value) {
        for (std::size_t i = 0; i + 1 < args.size(); ++i)
            if (args[i] == option) {
                args[i + 1] = value;
                break;
            }
        args.push_back("--in-place");
        return args;
    };
    const auto insert = InsertArgs("plain.docx");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {with(insert, "--at", "[NOWHERE]"), "does not occur"},
        {with(insert, "--parent-key", "Nope"), "--parent-key \"Nope\" is not a field"},
        {with(insert, "--child-key", "Nope"), "--child-key \"Nope\" is not a field"},
        {with(insert, "--column", "Nope"), "--column \"Nope\" is not a field"},
        {with(insert, "--rows", "three"), "--rows must be a whole number"},
        {with(insert, "--rows", "0"), "--rows must be from 1"},
        {with(insert, "--bookmark", "1bad"), "is not a bookmark name"},
        {with(insert, "--record-source", "NoSuchTable"), "record source \"NoSuchTable\" does not open"},
        {with(insert, "--record-source-type", "3"), "--record-source-type must be"},
        {{"design", "bind", "plain.docx", "--data-source-type", "4", "--data-source", "missing.db",
          "--record-source-type", "2", "--record-source", "Invoices", "--in-place"},
         "data source does not open"},
        {{"design", "bind", "plain.docx", "--data-source-type", "4", "--data-source", "sample.db",
          "--record-source-type", "1", "--record-source", "SELECT * FROM Invoices", "--where", "InvoiceID > 3",
          "--in-place"},
         "--where and --order go with a table"},
        {{"design", "bind", "plain.docx", "--data-source-type", "4", "--data-source", "sample.db",
          "--record-source-type", "2", "--record-source", "Invoices"},
         "Give -o OUT.docx"},
    };
    for (const auto& [args, message] : cases) {
        const auto result = Cli(args);
        EXPECT_EQ(result.exitCode, 2) << message;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(ReadFile(dir / "plain.docx"), before) << message;
    }
    // A second table under a bookmark the template already has would take the bookmark away
    // from the first.
    auto first = InsertArgs("plain.docx");
    first.push_back("--in-place");
    ASSERT_EQ(Cli(first).exitCode, 0);
    const std::string withTable = ReadFile(dir / "plain.docx");
    auto again = with(InsertArgs("plain.docx"), "--at", "[BOX]");
    const auto twice = Cli(again);
    EXPECT_EQ(twice.exitCode, 2);
    EXPECT_NE(twice.err.find("already has a bookmark"), std::string::npos) << twice.err;
    EXPECT_EQ(ReadFile(dir / "plain.docx"), withTable);
}

TEST_F(CliDesignTest, PlaceholdersInTextBoxesAndHeadersAreFoundAndClearRemovesTheBinding) {
    ASSERT_EQ(Bind("plain.docx", {"--in-place"}).exitCode, 0);
    auto args = InsertArgs("plain.docx");
    args[4] = "[BOX]";
    args.insert(args.end(), {"-o", "boxed.docx"});
    const auto boxed = Cli(args);
    ASSERT_EQ(boxed.exitCode, 0) << boxed.err;
    {
        auto doc = word::Document::Open(dir / "boxed.docx");
        EXPECT_EQ(doc->Tables().Count(), 0);  // not in the main text
        const auto frame = doc->Shapes().Item(1).TextFrame().TextRange();
        EXPECT_EQ(frame.Tables().Count(), 1);
        EXPECT_EQ(frame.Text().find("[BOX]"), std::string::npos);
        doc->Close();
    }

    // And in the page header.
    {
        auto doc = word::Document::Open(dir / "plain.docx");
        doc->Sections().First().Headers().Item(word::wdHeaderFooterPrimary).Range().SetText("[HEAD]");
        doc->SaveAs(dir / "headed.docx");
        doc->Close();
    }
    args[2] = "headed.docx";
    args[4] = "[HEAD]";
    args.back() = "headed-out.docx";
    const auto headed = Cli(args);
    ASSERT_EQ(headed.exitCode, 0) << headed.err;
    {
        auto doc = word::Document::Open(dir / "headed-out.docx");
        const auto header = doc->Sections().First().Headers().Item(word::wdHeaderFooterPrimary).Range();
        EXPECT_EQ(header.Tables().Count(), 1);
        EXPECT_EQ(header.Text().find("[HEAD]"), std::string::npos);
        doc->Close();
    }

    // Passwords are stored but never printed, also inside a connection string.
    const auto secret = Cli({"design", "bind", "plain.docx", "--data-source-type", "2", "--data-source",
                             "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=sample.db;PWD=s3cret-pw", "--user", "me",
                             "--password", "other-pw", "--record-source-type", "2", "--record-source", "Invoices",
                             "--in-place"});
    ASSERT_EQ(secret.exitCode, 0) << secret.err;
    EXPECT_EQ(secret.out.find("s3cret-pw"), std::string::npos) << secret.out;
    EXPECT_EQ(secret.out.find("other-pw"), std::string::npos) << secret.out;

    const auto cleared = Cli({"design", "bind", "plain.docx", "--clear", "--in-place"});
    ASSERT_EQ(cleared.exitCode, 0) << cleared.err;
    auto doc = word::Document::Open(dir / "plain.docx");
    for (const char* name : {"DataSourceType", "DataSource", "UserName", "Password", "RecordSourceType", "RecordSource",
                             "RSWhere", "RSOrder"})
        EXPECT_FALSE(doc->Variables().Exists(name)) << name;
    doc->Close();
    EXPECT_EQ(Cli({"design", "bind", "plain.docx", "--clear", "--record-source", "X", "--in-place"}).exitCode, 2);
}

TEST_F(CliDesignTest, FieldsListsTheRecordSourceInItsOrder) {
    const auto fields = Cli({"design", "fields", "--data-source-type", "4", "--data-source", "sample.db",
                             "--record-source-type", "2", "--record-source", "InvoiceDetails"});
    ASSERT_EQ(fields.exitCode, 0) << fields.err;
    EXPECT_EQ(fields.out, "InvoiceID\nLineNo\nCategory\nProductName\nPicture\nUnit\nQuantity\nUnitPrice\nAmount\n");
    const auto missing = Cli({"design", "fields", "--data-source-type", "4", "--data-source", "sample.db",
                              "--record-source-type", "2", "--record-source", "Nope"});
    EXPECT_EQ(missing.exitCode, 2);
}

TEST_F(CliDesignTest, AnOdbcDataSourceIsListedAndBindsByItsName) {
    paperloom::test::OdbcTestConfig odbc;  // the program inherits its ODBCINI and ODBCSYSINI
    if (!odbc.HasSqliteDriver()) GTEST_SKIP() << "the SQLite ODBC driver is not installed";
    odbc.AddSqliteDataSource("DesignSample", dir / "sample.db");
    const auto sources = Cli({"design", "sources"});
    ASSERT_EQ(sources.exitCode, 0) << sources.err;
    EXPECT_NE(sources.out.find("DesignSample\n"), std::string::npos) << sources.out;

    const auto bound = Cli({"design", "bind", "plain.docx", "--data-source-type", "1", "--data-source", "DesignSample",
                            "--record-source-type", "2", "--record-source", "InvoiceHeaders", "-o", "odbc.docx"});
    ASSERT_EQ(bound.exitCode, 0) << bound.err;
    const auto shown = Cli({"show", "odbc.docx", "--record", "3", "-o", "shown.docx"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_NE(DocumentText(dir / "shown.docx").find("INV-2024-003"), std::string::npos);
}

}  // namespace
}  // namespace paperloom::cli::test
