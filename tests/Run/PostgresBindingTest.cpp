// A template bound to a private PostgreSQL server through a named ODBC data source: the
// run-time filter and sort reach the server, find and clone work on its rows.

#include <gtest/gtest.h>

#include <vector>

#include "OdbcTestConfig.h"
#include "PgTestServer.h"
#include "Run/modPLRFunction.h"
#include "RunTestSupport.h"

namespace paperloom::run::test {
namespace {

TEST(PostgresBindingTest, TemplateOnAnOdbcDataSource) {
    auto& config = paperloom::test::SharedOdbcTestConfig();
    if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
    auto* server = paperloom::test::SharedPgTestServer();
    if (server == nullptr) GTEST_SKIP() << "PostgreSQL is not installed";
    config.AddPgDataSource("PaperloomRunPg", *server);
    server->RunSql(
        "DROP TABLE IF EXISTS orders;"
        "CREATE TABLE orders (id integer, shop varchar(10), qty integer, placed date, paid boolean);"
        "INSERT INTO orders VALUES (1, 'A', 5, '2024-01-05', true), (2, 'B', 0, '2024-02-10', false),"
        " (3, 'A', 12, '2024-03-15', true), (4, 'C', 7, '2024-04-20', false), (5, 'A', 3, '2024-05-25', true);");

    ScratchFolder folder;
    word::Application app;
    const auto report = app.Documents().Open(SaveTemplate(folder.File("Report.docx"),
                                                          {{"DataSourceType", "1"},
                                                           {"DataSource", "PaperloomRunPg"},
                                                           {"UserName", paperloom::test::PgTestServer::kUser},
                                                           {"RecordSourceType", "2"},
                                                           {"RecordSource", "orders"},
                                                           {"HeadFilter", "shop = 'A'"},
                                                           {"HeadSort", "qty DESC"}}));
    BindingRegistry registry;
    const auto binding = modPLRFunction::OpenDocumentBind(registry, report);
    ASSERT_NE(binding, nullptr);
    const auto id = [](const clsPLRDBBind& b) {
        return static_cast<long>(b.RecordSource()->Fields().Item("id").Value().AsInteger());
    };

    std::vector<long> ids;
    for (binding->MoveFirst(); !binding->IsEOF(); binding->MoveNext(true)) ids.push_back(id(*binding));
    EXPECT_EQ(ids, (std::vector<long>{3, 1, 5}));
    EXPECT_EQ(binding->GetFieldType("qty"), clsPLRDBBind::kFieldKindNumber);
    EXPECT_EQ(binding->GetFieldType("placed"), clsPLRDBBind::kFieldKindDate);
    EXPECT_EQ(binding->GetFieldType("shop"), clsPLRDBBind::kFieldKindString);
    EXPECT_EQ(binding->GetFieldType("paid"), clsPLRDBBind::kFieldKindBoolean);

    binding->MoveFirst();
    EXPECT_TRUE(binding->Find("placed < #2024/02/01#", 1, true));
    EXPECT_EQ(id(*binding), 1);

    const auto print = app.Documents().Add();
    const auto clone = modPLRFunction::CloneDocumentBind(registry, print, report);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(id(*clone), 1);
    modPLRFunction::CloseDocumentBind(registry, *print);
    EXPECT_EQ(binding->DataSource()->State(), host::ado::ObjectStateEnum::adStateOpen);

    // A filter the server rejects leaves the document unbound.
    modPLRFunction::CloseDocumentBind(registry, *report);
    report->Variables().SetValue("HeadFilter", "nosuchcolumn = 1");
    EXPECT_EQ(modPLRFunction::OpenDocumentBind(registry, report), nullptr);
    EXPECT_EQ(registry.Count(), 0);
}

}  // namespace
}  // namespace paperloom::run::test
