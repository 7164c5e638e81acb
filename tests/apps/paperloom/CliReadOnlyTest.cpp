// Opening, filling and describing a template only reads its database, as a user runs the
// program: record sources, filters and detail sources that would write are refused with the
// reason, and the database (SQLite file or PostgreSQL table) is left exactly as it was. No
// password of a connection string or of the template's own setting is ever printed.

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "CliTestSupport.h"
#include "OdbcTestConfig.h"
#include "PgTestServer.h"

namespace paperloom::cli::test {
namespace {

namespace kit = templatekit;
namespace sk = templatekit::skeleton;

// A template showing an order's Id, with a detail table of its lines when `lines` is given.
void MakeTemplate(const fs::path& path, const kit::HeaderBinding& header,
                  const std::optional<kit::DataBinding>& lines = std::nullopt) {
    const std::string body = sk::Paragraph(sk::Run("注文 [ID]")) + sk::Paragraph(sk::Run("[LINES]")) + sk::Paragraph();
    kit::TemplateWriter writer(sk::MakeDocument(body, path.filename().string()));
    writer.WriteHeaderBinding(header);
    writer.ReplaceMarker("[ID]", kit::DataFieldCode("Id"));
    if (lines) {
        kit::DetailTable table;
        table.source = *lines;
        table.parentKey = "Id";
        table.childKey = "OrderId";
        table.dataRows = 1;
        kit::DetailColumn item;
        item.kind = kit::ColumnKind::Data;
        item.dataField = "Item";
        table.columns = {item};
        writer.AddDetailTable(writer.FindMarker("[LINES]"), table);
    }
    writer.SaveAs(path);
}

kit::HeaderBinding Header(const std::string& type, const std::string& source, const std::string& recordSourceType,
                          const std::string& recordSource) {
    kit::HeaderBinding header;
    header.source = {type, source, "", "", recordSourceType, recordSource, "", ""};
    return header;
}

class CliReadOnly : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShopDatabase(scratch_ / "shop.db");
        original_ = ReadFile(scratch_ / "shop.db");
    }
    CliResult Run(const std::vector<std::string>& args) { return RunCli(scratch_.Path(), args); }
    bool DatabaseUnchanged() const { return ReadFile(scratch_ / "shop.db") == original_; }

    Scratch scratch_;
    std::string original_;
};

TEST_F(CliReadOnly, WritingRecordSourcesAreRefusedAndTheDatabaseStaysAsItWas) {
    const fs::path copy = scratch_ / "copy.db";
    for (const std::string& statement :
         std::vector<std::string>{"DELETE FROM Orders", "DROP TABLE Orders", "UPDATE Orders SET Qty = 0",
                                  "INSERT INTO Orders VALUES (9, 'Z', 1, 'x')", "PRAGMA journal_mode=WAL",
                                  "VACUUM INTO '" + copy.string() + "'", "SELECT * FROM Orders; DELETE FROM Orders"}) {
        MakeTemplate(scratch_ / "w.docx", Header("4", "shop.db", "1", statement));
        const CliResult described = Run({"describe", "w.docx"});
        EXPECT_EQ(described.exitCode, 0) << described.err;
        EXPECT_NE(described.out.find("opens: no, the record source (" + statement + ") does not open: レコード ソース"),
                  std::string::npos)
            << described.out;
        for (const char* command : {"show", "document"}) {
            const CliResult run = Run({command, "w.docx", "-o", "out.docx"});
            EXPECT_EQ(run.exitCode, 2) << statement;
            EXPECT_NE(run.err.find("レコード ソース"), std::string::npos) << run.err;
        }
        EXPECT_TRUE(DatabaseUnchanged()) << statement;
    }
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_FALSE(fs::exists(scratch_ / "out.docx"));

    // A reading statement still opens.
    MakeTemplate(scratch_ / "r.docx", Header("4", "shop.db", "1", "SELECT * FROM Orders WHERE Qty > 0;"));
    EXPECT_NE(Run({"describe", "r.docx"}).out.find("opens: yes, 4 records"), std::string::npos);
}

TEST_F(CliReadOnly, FiltersAndDetailSourcesCannotSlipInASecondStatement) {
    kit::HeaderBinding header = Header("4", "shop.db", "2", "Orders");
    header.headFilter = "1=1; DELETE FROM Orders --";
    kit::DataBinding lines{"4", "shop.db", "", "", "1", "DELETE FROM Lines", "", ""};
    MakeTemplate(scratch_ / "f.docx", header, lines);
    const CliResult described = Run({"describe", "f.docx"});
    EXPECT_EQ(described.exitCode, 0) << described.err;
    EXPECT_NE(described.out.find("複数の SQL 文"), std::string::npos) << described.out;
    EXPECT_NE(described.out.find("(DELETE FROM Lines) does not open"), std::string::npos) << described.out;
    EXPECT_NE(Run({"show", "f.docx", "-o", "out.docx"}).exitCode, 0);

    // A filter given on the command line is tried before it is stored, and refused.
    MakeTemplate(scratch_ / "plain.docx", Header("4", "shop.db", "2", "Orders"), lines);
    const CliResult filtered = Run({"filter", "plain.docx", "1=1; DELETE FROM Orders --", "-o", "g.docx"});
    EXPECT_NE(filtered.exitCode, 0);
    EXPECT_FALSE(fs::exists(scratch_ / "g.docx"));
    // Filling runs into the refused detail source and says so.
    const CliResult documented = Run({"document", "plain.docx", "-o", "out.docx"});
    EXPECT_NE(documented.err.find("DELETE FROM Lines"), std::string::npos) << documented.err;
    EXPECT_TRUE(DatabaseUnchanged());
}

// A TCP port on 127.0.0.1 nobody listens on.
int ClosedPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

TEST_F(CliReadOnly, PasswordsAreNeverPrinted) {
    const std::string port = std::to_string(ClosedPort());
    const std::vector<std::pair<std::string, std::string>> sources = {
        {"2", "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=" + port + ";UID=sato;pwd={se;cr}}et};"},
        {"2", "Server=db;PASSWORD='p;w''d';UID=sato"},
        {"2", "Provider=MSDASQL;Data Source=NoSuchPaperloomDsn;User ID=sato;Password=\"q;\"\"r\""},
        {"1", "NoSuchPaperloomDsn"}};
    for (const auto& [type, source] : sources) {
        kit::HeaderBinding header = Header(type, source, "2", "Orders");
        header.source.userName = "sato";
        header.source.password = "TopSecret7";
        MakeTemplate(scratch_ / "p.docx", header);
        const CliResult described = Run({"describe", "p.docx"});
        const CliResult shown = Run({"show", "p.docx", "-o", "out.docx"});
        EXPECT_NE(shown.exitCode, 0);
        EXPECT_NE(described.out.find("opens: no"), std::string::npos) << described.out;
        const std::string printed = described.out + described.err + shown.out + shown.err;
        for (const char* secret : {"se;cr", "cr}}et", "p;w", "w''d", "q;", "\"r", "TopSecret7"})
            EXPECT_EQ(printed.find(secret), std::string::npos) << secret << " printed:\n" << printed;
        if (source.find("pwd=") != std::string::npos) {
            EXPECT_NE(described.out.find("pwd=********"), std::string::npos) << described.out;
        }
    }
}

TEST_F(CliReadOnly, PostgresRecordSourcesThatWriteAreRefused) {
    auto& config = paperloom::test::SharedOdbcTestConfig();
    if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
    auto* server = paperloom::test::SharedPgTestServer();
    if (!server) GTEST_SKIP() << "PostgreSQL is not installed";
    config.AddPgDataSource("PaperloomCliPg", *server);
    server->RunSql("DROP TABLE IF EXISTS orders; CREATE TABLE orders (\"Id\" int, shop text);"
                   "INSERT INTO orders VALUES (1, 'A'), (2, 'B'), (3, 'C');");
    const std::string unchanged =
        "DO $$ BEGIN IF (SELECT count(*) FROM orders) <> 3 THEN RAISE EXCEPTION 'orders changed'; END IF; END $$;";
    for (const std::string statement : {"DELETE FROM orders", "DROP TABLE orders", "VACUUM orders",
                                        "WITH d AS (DELETE FROM orders RETURNING *) SELECT * FROM d",
                                        "SELECT * FROM orders; DELETE FROM orders"}) {
        MakeTemplate(scratch_ / "pg.docx", Header("1", "PaperloomCliPg", "1", statement));
        const CliResult described = Run({"describe", "pg.docx"});
        EXPECT_NE(described.out.find("opens: no"), std::string::npos) << described.out;
        EXPECT_NE(Run({"show", "pg.docx", "-o", "out.docx"}).exitCode, 0) << statement;
        EXPECT_NO_THROW(server->RunSql(unchanged)) << statement;
    }
    kit::HeaderBinding header = Header("1", "PaperloomCliPg", "2", "orders");
    header.headFilter = "1=1; DELETE FROM orders --";
    MakeTemplate(scratch_ / "pgf.docx", header);
    EXPECT_NE(Run({"describe", "pgf.docx"}).out.find("複数の SQL 文"), std::string::npos);
    EXPECT_NO_THROW(server->RunSql(unchanged));
    MakeTemplate(scratch_ / "pgr.docx", Header("1", "PaperloomCliPg", "2", "orders"));
    EXPECT_NE(Run({"describe", "pgr.docx"}).out.find("opens: yes, 3 records"), std::string::npos);
}

}  // namespace
}  // namespace paperloom::cli::test
