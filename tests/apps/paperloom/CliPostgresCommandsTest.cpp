// find by field, filter and sort through the program on a template bound to PostgreSQL (the
// tests' private server, reached through its ODBC driver): each value written by the field's
// kind as the server's types report it, and a stored filter or sort changing which records
// the template shows and in which order.

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "OdbcTestConfig.h"
#include "PgTestServer.h"

namespace paperloom::cli::test {
namespace {

namespace kit = templatekit;
namespace sk = templatekit::skeleton;

void MakeOrdersTemplate(const fs::path& path) {
    const std::string body = sk::Paragraph(sk::Run("注文 [ID] 店 [SHOP]")) + sk::Paragraph();
    kit::TemplateWriter writer(sk::MakeDocument(body, path.filename().string()));
    kit::HeaderBinding header;
    header.source = {"1", "PaperloomCliPgCommands", "", "", "2", "orders", "", ""};
    writer.WriteHeaderBinding(header);
    writer.ReplaceMarker("[ID]", kit::DataFieldCode("Id"));
    writer.ReplaceMarker("[SHOP]", kit::DataFieldCode("shop"));
    writer.SaveAs(path);
}

class CliPostgresCommands : public ::testing::Test {
protected:
    void SetUp() override {
        auto& config = paperloom::test::SharedOdbcTestConfig();
        if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
        auto* server = paperloom::test::SharedPgTestServer();
        if (!server) GTEST_SKIP() << "PostgreSQL is not installed";
        config.AddPgDataSource("PaperloomCliPgCommands", *server);
        server->RunSql(
            "DROP TABLE IF EXISTS orders;"
            "CREATE TABLE orders (\"Id\" int, shop text, qty int, placed date, note text);"
            "INSERT INTO orders VALUES (1, 'A', 5, '2024-03-01', 'first'), (2, 'B', 0, '2024-03-02', NULL),"
            " (3, 'A', 12, '2024-03-03', 'O''Brien'), (4, 'C', 7, '2024-03-04', 'late'),"
            " (5, 'B', 3, '2024-03-05', 'last');");
        MakeOrdersTemplate(scratch_ / "pg.docx");
    }
    CliResult Run(const std::vector<std::string>& args) { return RunCli(scratch_.Path(), args); }
    // The record number `find` reports, or -1 when it found nothing.
    long Found(std::vector<std::string> args, const std::string& templateName = "pg.docx") {
        args.insert(args.begin(), {"find", templateName});
        const CliResult result = Run(args);
        if (result.exitCode == 1) return -1;
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const auto at = result.out.find("record: ");
        if (at == std::string::npos) return 0;
        return std::stol(result.out.substr(at + 8));
    }

    Scratch scratch_;
};

TEST_F(CliPostgresCommands, FindByFieldWritesEachKindTheServerUnderstands) {
    EXPECT_EQ(Found({"--field", "shop", "--value", "B"}), 2);
    EXPECT_EQ(Found({"--field", "shop", "--value", "B", "--backward"}), 5);
    EXPECT_EQ(Found({"--field", "qty", "--value", "12"}), 3);
    EXPECT_EQ(Found({"--field", "placed", "--value", "2024/03/04"}), 4);
    EXPECT_EQ(Found({"--field", "note", "--blank"}), 2);
    EXPECT_EQ(Found({"--field", "note", "--value", "O'B"}), 3);  // the quote is text
    EXPECT_EQ(Found({"--field", "note", "--value", "nowhere"}), -1);
    EXPECT_NE(Run({"find", "pg.docx", "--field", "qty", "--value", "many"}).exitCode, 0);
}

TEST_F(CliPostgresCommands, FilterAndSortChangeWhichRecordsShowAndTheirOrder) {
    CliResult result = Run({"filter", "pg.docx", "shop = 'B'", "-o", "b.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("(2 records)"), std::string::npos) << result.out;
    EXPECT_EQ(Found({"--field", "shop", "--value", "A"}, "b.docx"), -1) << "the filter keeps shop A out";
    EXPECT_EQ(Found({"--field", "Id", "--value", "5"}, "b.docx"), 2);

    result = Run({"sort", "b.docx", "qty DESC", "-o", "bs.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = Run({"show", "bs.docx", "-o", "first.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("record: 1 of 2"), std::string::npos) << result.out;
    EXPECT_NE(DocumentText(scratch_ / "first.docx").find("注文 5"), std::string::npos) << "qty 3 before qty 0";
    result = Run({"show", "bs.docx", "--last", "-o", "last.docx"});
    EXPECT_NE(DocumentText(scratch_ / "last.docx").find("注文 2"), std::string::npos);

    // A sort the server refuses is not written.
    result = Run({"sort", "pg.docx", "nosuchcolumn", "-o", "bad.docx"});
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_FALSE(fs::exists(scratch_ / "bad.docx"));
}

}  // namespace
}  // namespace paperloom::cli::test
