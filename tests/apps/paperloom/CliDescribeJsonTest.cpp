// `paperloom describe --json`: one JSON object a script can read, with the facts of the text
// report (bindings, whether they open, options, fields, detail tables) and never a password.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliTestSupport.h"

namespace paperloom::cli::test {
namespace {

using nlohmann::json;

class CliDescribeJson : public ::testing::Test {
protected:
    void SetUp() override { MakeShopDatabase(scratch_ / "shop.db"); }

    json Describe(const std::string& name) {
        const CliResult result = RunCli(scratch_.Path(), {"describe", name, "--json"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        try {
            return json::parse(result.out);
        } catch (const json::exception& error) {
            ADD_FAILURE() << "not JSON (" << error.what() << "):\n" << result.out;
            return json::object();
        }
    }

    Scratch scratch_;
};

TEST_F(CliDescribeJson, ReportsTheBindingsOptionsFieldsAndDetailTablesTheTextReportShows) {
    MakeShopTemplate(scratch_ / "order.docx");
    const json report = Describe("order.docx");
    EXPECT_EQ(report["template"], "order.docx");

    const json& header = report["header"];
    EXPECT_EQ(header["dataSourceType"], "4");
    EXPECT_EQ(header["dataSource"], "shop.db");
    EXPECT_EQ(header["recordSource"], "Orders");
    EXPECT_EQ(header["order"], "Id");
    EXPECT_TRUE(header["where"].is_null());
    EXPECT_EQ(header["passwordSet"], false);
    EXPECT_EQ(header["check"]["opens"], true);
    EXPECT_EQ(header["check"]["recordCount"], 5);

    // The same fields as the text report, in its order.
    const std::string text = RunCli(scratch_.Path(), {"describe", "order.docx"}).out;
    ASSERT_TRUE(report["fields"].is_array());
    EXPECT_NE(text.find("fields: " + std::to_string(report["fields"].size()) + "\n"), std::string::npos) << text;
    long index = 0;
    for (const json& field : report["fields"]) {
        EXPECT_EQ(field["index"], ++index);
        EXPECT_NE(text.find("{" + field["code"].get<std::string>() + "}"), std::string::npos) << field.dump();
    }

    ASSERT_EQ(report["details"].size(), 1U);
    const json& lines = report["details"][0];
    EXPECT_EQ(lines["bookmark"], "明細");
    EXPECT_EQ(lines["source"]["recordSource"], "Lines");
    EXPECT_EQ(lines["parentKey"], "Id");
    EXPECT_EQ(lines["childKey"], "OrderId");
    EXPECT_EQ(lines["columns"], 2);
    EXPECT_EQ(lines["check"]["recordCount"], 4);
    EXPECT_NE(lines["columnProperties"][1]["properties"].get<std::string>().find("DataField=\"Price\""),
              std::string::npos);

    // Options as stored and as read: unset ones with their defaults, then one written.
    EXPECT_TRUE(report["options"]["UpdateDetail"]["stored"].is_null());
    EXPECT_EQ(report["options"]["UpdateDetail"]["value"], true);
    ASSERT_EQ(RunCli(scratch_.Path(), {"options", "order.docx", "--update-detail", "off", "-o", "off.docx"}).exitCode, 0);
    const json changed = Describe("off.docx");
    EXPECT_EQ(changed["options"]["UpdateDetail"]["stored"], "False");
    EXPECT_EQ(changed["options"]["UpdateDetail"]["value"], false);
    EXPECT_EQ(changed["options"]["CopyPrimaryHeader"]["value"], false);
}

TEST_F(CliDescribeJson, BindingsThatDoNotOpenCarryTheReasonAndNoPasswordAppearsAnywhere) {
    namespace kit = templatekit;
    namespace sk = templatekit::skeleton;
    const std::string secret = "hunter22secret";
    kit::TemplateWriter writer(sk::MakeDocument(sk::Paragraph(sk::Run("[LINES]")) + sk::Paragraph(), "locked.docx"));
    kit::HeaderBinding header;
    header.source = {"2", "Driver={No Such Driver};Server=db;UID=clerk;PWD=" + secret, "clerk", secret,
                     "2", "Orders", "", ""};
    writer.WriteHeaderBinding(header);
    kit::DetailTable lines;
    lines.source = {"2", "Driver={No Such Driver};PWD=" + secret + ";", "clerk", secret, "2", "Lines", "", ""};
    lines.parentKey = "Id";
    lines.childKey = "OrderId";
    lines.dataRows = 1;
    kit::DetailColumn item;
    item.kind = kit::ColumnKind::Data;
    item.dataField = "Item";
    lines.columns = {item};
    writer.AddDetailTable(writer.FindMarker("[LINES]"), lines);
    writer.SaveAs(scratch_ / "locked.docx");

    const CliResult result = RunCli(scratch_.Path(), {"describe", "locked.docx", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.find(secret), std::string::npos) << result.out;
    const json report = json::parse(result.out);
    EXPECT_EQ(report["header"]["passwordSet"], true);
    EXPECT_EQ(report["header"]["userName"], "clerk");
    EXPECT_EQ(report["header"]["check"]["opens"], false);
    EXPECT_TRUE(report["header"]["check"]["recordCount"].is_null());
    EXPECT_FALSE(report["header"]["check"]["problem"].get<std::string>().empty());
    ASSERT_EQ(report["details"].size(), 1U);
    EXPECT_EQ(report["details"][0]["check"]["opens"], false);
    EXPECT_EQ(report["details"][0]["source"]["passwordSet"], true);

    // A template bound to nothing.
    kit::TemplateWriter(sk::MakeDocument(sk::Paragraph(sk::Run("plain")), "plain.docx")).SaveAs(scratch_ / "plain.docx");
    const json plain = Describe("plain.docx");
    EXPECT_TRUE(plain["header"].is_null());
    EXPECT_TRUE(plain["details"].empty());
}

// Every setting the designer's commands write can be read back: header fields with their
// formats, each column's keys with its break row, the run-time's last fill, in both forms, and
// the detail's password in neither.
TEST_F(CliDescribeJson, ColumnsBreakRowsAndHeaderFieldFormatsAreReadBackInBothForms) {
    namespace kit = templatekit;
    namespace sk = templatekit::skeleton;
    const std::string secret = "detail-pw-77";
    kit::TemplateWriter writer(
        sk::MakeDocument(sk::Paragraph(sk::Run("[QTY] [SEQ]")) + sk::Paragraph(sk::Run("[LINES]")) + sk::Paragraph(),
                         "settings.docx"));
    kit::HeaderBinding header;
    header.source = {"4", "shop.db", "", "", "2", "Orders", "", "Id"};
    writer.WriteHeaderBinding(header);
    writer.ReplaceMarker("[QTY]", kit::DataFieldCode("Qty", {"\\#", "#,##0"}));
    writer.ReplaceMarker("[SEQ]", kit::SequenceIndexCode());
    kit::DetailTable lines;
    lines.source = {"4", "shop.db", "clerk", secret, "2", "Lines", "", "Item"};
    lines.parentKey = "Id";
    lines.childKey = "OrderId";
    lines.dataRows = 2;
    lines.columns = {{kit::ColumnKind::Data, "Item", {}, true, true, "品目"},
                     {kit::ColumnKind::Data, "Price", {"\\#", "#,##0"}, false, false, "価格"},
                     {kit::ColumnKind::None, "", {}, false, false, "メモ"}};
    lines.breakRow = {{kit::BreakCellKind::Caption, "小計", {}}, {kit::BreakCellKind::Statistic, "SUM", {"\\#", "#,##0"}}};
    writer.AddDetailTable(writer.FindMarker("[LINES]"), lines);
    writer.SaveAs(scratch_ / "settings.docx");

    const json report = Describe("settings.docx");
    const json& qty = report["fields"][0]["header"];
    EXPECT_EQ(qty["kind"], "DataField");
    EXPECT_EQ(qty["name"], "Qty");
    EXPECT_EQ(qty["formatType"], "\\#");
    EXPECT_EQ(qty["format"], "#,##0");
    EXPECT_EQ(report["fields"][1]["header"]["kind"], "SupportField");

    ASSERT_EQ(report["details"].size(), 1U);
    const json& columns = report["details"][0]["columnSettings"];
    ASSERT_EQ(columns.size(), 3U);
    EXPECT_EQ(columns[0]["caption"], "品目");
    EXPECT_EQ(columns[0]["fieldType"], "1");
    EXPECT_EQ(columns[0]["dataField"], "Item");
    EXPECT_EQ(columns[0]["skipSameValue"], "True");
    EXPECT_EQ(columns[0]["break"], "True");
    ASSERT_EQ(columns[0]["breakRow"].size(), 2U);
    EXPECT_EQ(columns[0]["breakRow"][0]["column"], "a");
    EXPECT_EQ(columns[0]["breakRow"][0]["fieldValue"], "小計");
    EXPECT_EQ(columns[0]["breakRow"][1]["column"], "b");
    EXPECT_EQ(columns[0]["breakRow"][1]["fieldValue"], "SUM");
    EXPECT_EQ(columns[0]["breakRow"][1]["format"], "#,##0");
    EXPECT_EQ(columns[1]["formatType"], "\\#");
    EXPECT_EQ(columns[1]["format"], "#,##0");
    EXPECT_TRUE(columns[1]["breakRow"].empty());
    EXPECT_TRUE(columns[2]["fieldType"].is_null()) << "a column without content stores no keys";
    EXPECT_EQ(columns[2]["caption"], "メモ");
    EXPECT_TRUE(report["details"][0]["brokenRows"].is_null());

    // The run-time's fill writes what it did; both reports show it, and the text report every
    // column key by name. The password stays out of both.
    ASSERT_EQ(RunCli(scratch_.Path(), {"show", "settings.docx", "--record", "1", "-o", "filled.docx"}).exitCode, 0);
    const json filled = Describe("filled.docx");
    EXPECT_FALSE(filled["details"][0]["effectiveRowCnt"].is_null());
    const CliResult text = RunCli(scratch_.Path(), {"describe", "filled.docx"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    for (const std::string expected :
         {"     DataField Qty, format \\# \"#,##0\"", "      a \"品目\": FieldType \"1\", DataField \"Item\"",
          "SkipSameValue \"True\", Break \"True\"", "        break row b: 統計演算 \"SUM\", format",
          "      b \"価格\": FieldType \"1\", DataField \"Price\", FormatType \"\\#\", Format \"#,##0\"",
          "      c \"メモ\": no settings", "    last fill: BrokenRows "})
        EXPECT_NE(text.out.find(expected), std::string::npos) << expected << "\n" << text.out;
    const CliResult json = RunCli(scratch_.Path(), {"describe", "filled.docx", "--json"});
    for (const auto& out : {text.out, json.out}) EXPECT_EQ(out.find(secret), std::string::npos) << out;
}

}  // namespace
}  // namespace paperloom::cli::test
