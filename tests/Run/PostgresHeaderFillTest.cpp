// The header fill of a template bound to a private PostgreSQL server through a named ODBC data
// source: the server's numeric, date, text and Boolean columns (and their Nulls) show in the
// template's formats, statistics of a detail table compute, and the codes come back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FillTestSupport.h"
#include "OdbcTestConfig.h"
#include "PgTestServer.h"
#include "Run/modPLRFunction.h"
#include "host/word/fields/Field.h"

namespace paperloom::run::test {
namespace {

using word::test::HiddenRun;
using word::test::TextRun;

const std::vector<std::string> kCodes{
    "quote DataField name \\* Upper",
    "quote DataField price \\# \"#,##0.00\"",
    "quote DataField placed \\@ \"yyyy/MM/dd\"",
    "quote DataField paid",
    "quote DataField memo",
    "quote DataField qty \\# \"0\"",
    "quote RecordIndex",
    "quote Statistics SUM lines b",
};

std::vector<std::string> Results(const word::Document& doc) {
    std::vector<std::string> results;
    for (const auto& field : word::FieldsOf(doc)) results.push_back(field.Result().Text());
    return results;
}

std::vector<std::string> Codes(const word::Document& doc) {
    std::vector<std::string> codes;
    for (const auto& field : word::FieldsOf(doc)) codes.push_back(field.Code().Text());
    return codes;
}

TEST(PostgresHeaderFill, ServerValuesInTheTemplatesFormats) {
    auto& config = paperloom::test::SharedOdbcTestConfig();
    if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
    auto* server = paperloom::test::SharedPgTestServer();
    if (server == nullptr) GTEST_SKIP() << "PostgreSQL is not installed";
    config.AddPgDataSource("PaperloomHeaderPg", *server);
    server->RunSql(
        "DROP TABLE IF EXISTS header_items;"
        "CREATE TABLE header_items (id integer, name varchar(40), price numeric(12,2), placed date,"
        " paid boolean, memo text, qty integer);"
        "INSERT INTO header_items VALUES (1, 'caf\xC3\xA9 \"noir\"', 1234.5, '2024-03-15', true, NULL, NULL),"
        " (2, '桜', 0.125, '2023-12-31', false, 'note', 7);");

    ScratchFolder folder;
    std::string body;
    for (const auto& code : kCodes) body += Para(FieldRuns(code, "?"));
    body += TableOfRuns({{HiddenRun("ColumnHeaders=\"True\", BrokenRows=\"3\", EffectiveRowCnt=\"3\"") + TextRun("k"),
                          TextRun("v")},
                         {TextRun("a"), TextRun("4")},
                         {TextRun("sum"), TextRun("4")},
                         {TextRun("b"), TextRun("6")}}) +
            Para(TextRun("end"));
    {
        auto design = word::test::MakeDocument(body, "PgHeader.docx");
        design->Bookmarks().Add("lines", design->Tables().Item(1).Range());
        const Settings settings{{"DataSourceType", "1"},
                                {"DataSource", "PaperloomHeaderPg"},
                                {"UserName", paperloom::test::PgTestServer::kUser},
                                {"RecordSourceType", "2"},
                                {"RecordSource", "header_items"},
                                {"RSOrder", "id"}};
        for (const auto& [name, value] : settings) design->Variables().SetValue(name, value);
        design->SaveAs(folder.File("PgHeader.docx"));
        design->Close();
    }

    word::Application app;
    const auto doc = app.Documents().Open(folder.File("PgHeader.docx"));
    BindingRegistry registry;
    const auto binding = modPLRFunction::OpenDocumentBind(registry, doc);
    ASSERT_NE(binding, nullptr);
    binding->MoveFirst();
    binding->SetHeadDatas();
    EXPECT_EQ(Results(*doc), (std::vector<std::string>{"CAFÉ \"NOIR\"", "1,234.50", "2024/03/15", "True", "", "",
                                                       "1", "10"}));
    EXPECT_EQ(Codes(*doc), kCodes);

    binding->MoveNext(false);
    binding->SetHeadDatas();
    EXPECT_EQ(Results(*doc), (std::vector<std::string>{"桜", "0.13", "2023/12/31", "False", "note", "7", "2", "10"}));
    EXPECT_EQ(Codes(*doc), kCodes);
    modPLRFunction::CloseDocumentBind(registry, *doc);
}

}  // namespace
}  // namespace paperloom::run::test
