// Detail tables the kit writes: the property text of every first-row cell reads back through
// clsPLProperty as the run-time reads it, captions stay visible, break-row keys sit in the
// break column under the right column letters, and a bookmark names the table.

#include <gtest/gtest.h>

#include "KitTestSupport.h"
#include "TemplateKit.h"
#include "common/clsPLProperty.h"
#include "host/HostError.h"
#include "host/word/Document.h"

namespace paperloom::templatekit {
namespace {

namespace sk = skeleton;

DetailTable Lines() {
    DetailTable t;
    t.source = {"4", "sample.db", "", "", "2", "InvoiceDetails", "Quantity > 0", "Category, LineNo"};
    t.parentKey = "InvoiceID";
    t.childKey = "InvoiceID";
    t.autoAdjustRowCount = true;
    t.bookmark = "明細";
    t.columns = {
        {ColumnKind::Data, "Category", {}, true, true, "分類"},
        {ColumnKind::Support, "行番号", {}, false, false, "No."},
        {ColumnKind::Data, "UnitPrice", {"\\#", "\\#,##0"}, false, false, "単価"},
        {ColumnKind::Expression, "c*e", {"\\#", "#,##0"}, false, false, "金額"},
        {ColumnKind::Data, "Quantity", {}, false, false, "数量"},
    };
    t.breakRow = {{BreakCellKind::Caption, "小計", {}},
                  {},
                  {},
                  {BreakCellKind::Statistic, "SUM", {"\\#", "\"#,##0\""}},
                  {BreakCellKind::Statistic, "COUNT", {}}};
    return t;
}

std::string Get(std::string_view text, std::string_view key) {
    return clsPLProperty().GetPropertyFromText(text, key, "<absent>");
}

TEST(DetailTable, PropertyTextReadsBackPerCellWithTableKeysInTheFirstCell) {
    test::ScratchFolder folder;
    TemplateWriter writer(sk::MakeDocument(sk::Paragraph(sk::Run("明細:")) + sk::Paragraph()));
    const word::Range at = writer.Document().Range(4, 4);
    writer.AddDetailTable(at, Lines());
    const auto path = folder.Path() / "detail.docx";
    writer.SaveAs(path);

    auto doc = word::Document::Open(path);
    ASSERT_EQ(doc->Tables().Count(), 1);
    const word::Table table = doc->Tables().Item(1);
    EXPECT_EQ(table.Rows().Count(), 2);  // caption row and one data row
    const clsPLProperty property;
    const std::string detail = property.GetDetailProperties(table, *doc);
    EXPECT_EQ(Get(detail, "DataSourceType"), "4");
    EXPECT_EQ(Get(detail, "DataSource"), "sample.db");
    EXPECT_EQ(Get(detail, "RecordSourceType"), "2");
    EXPECT_EQ(Get(detail, "RecordSource"), "InvoiceDetails");
    EXPECT_EQ(Get(detail, "RSWhere"), "Quantity > 0");
    EXPECT_EQ(Get(detail, "RSOrder"), "Category, LineNo");
    EXPECT_EQ(Get(detail, "ParentKey"), "InvoiceID");
    EXPECT_EQ(Get(detail, "ChildKey"), "InvoiceID");
    EXPECT_EQ(Get(detail, "ColumnHeaders"), "True");
    EXPECT_EQ(Get(detail, "AutoAdjustRowCount"), "True");
    EXPECT_EQ(Get(detail, "UserName"), "<absent>");

    std::vector<std::string> columns;
    ASSERT_EQ(property.GetColumnProperties(table, *doc, columns), 5);
    EXPECT_EQ(columns[0], detail) << "cell (1,1) holds the table keys and column 1's in one text";
    EXPECT_EQ(Get(columns[0], "FieldType"), "1");
    EXPECT_EQ(Get(columns[0], "DataField"), "Category");
    EXPECT_EQ(Get(columns[0], "SkipSameValue"), "True");
    EXPECT_EQ(Get(columns[0], "Break"), "True");
    EXPECT_EQ(Get(columns[1], "FieldType"), "2");
    EXPECT_EQ(Get(columns[1], "DataField"), "行番号");
    EXPECT_EQ(Get(columns[1], "DataSource"), "<absent>");
    EXPECT_EQ(Get(columns[2], "FormatType"), "\\#");
    EXPECT_EQ(Get(columns[2], "Format"), "\\#,##0") << "Format comes back with single backslashes";
    EXPECT_EQ(Get(columns[3], "FieldType"), "3");
    EXPECT_EQ(Get(columns[3], "DataField"), "c*e");
    EXPECT_EQ(Get(columns[4], "FormatType"), "");
    EXPECT_EQ(Get(columns[4], "Break"), "False");

    // Break-row definitions: in the break column only, under each column's letters.
    EXPECT_EQ(Get(columns[0], "aBreakRowFieldType"), "キャプション");
    EXPECT_EQ(Get(columns[0], "aBreakRowFieldValue"), "小計");
    EXPECT_EQ(Get(columns[0], "aBreakRowFormatType"), "なし");
    EXPECT_EQ(Get(columns[0], "bBreakRowFieldType"), "<absent>");
    EXPECT_EQ(Get(columns[0], "dBreakRowFieldType"), "統計演算");
    EXPECT_EQ(Get(columns[0], "dBreakRowFieldValue"), "SUM");
    EXPECT_EQ(Get(columns[0], "dBreakRowFormatType"), "\\# (数値)");
    EXPECT_EQ(Get(columns[0], "dBreakRowFormat"), "#,##0") << "quotes of the picture are not stored";
    EXPECT_EQ(Get(columns[0], "eBreakRowFieldValue"), "COUNT");
    EXPECT_EQ(Get(columns[3], "dBreakRowFieldType"), "<absent>");

    // Captions stay the visible text of the first row; the property text is hidden.
    EXPECT_EQ(table.Cell(1, 1).Range().Text(), "分類\r\a");
    EXPECT_EQ(table.Cell(1, 4).Range().Text(), "金額\r\a");

    ASSERT_TRUE(doc->Bookmarks().Exists("明細"));
    EXPECT_TRUE(doc->Bookmarks().Item("明細").Range().InRange(table.Range()));
    EXPECT_TRUE(table.Range().InRange(doc->Bookmarks().Item("明細").Range()));
}

TEST(DetailTable, WritingAgainReplacesThePropertyTextAndKeepsTheCaptions) {
    const std::string body = sk::Table({{2000, 2000, 2000}, 3, true, true, {{"Item", "Qty"}}, {}}) + sk::Paragraph();
    TemplateWriter writer(sk::MakeDocument(body));
    const word::Table table = writer.TableAt(1);
    DetailTable first = Lines();
    first.columns.resize(2);
    first.bookmark.clear();
    writer.WriteDetailTable(table, first);
    DetailTable second = first;
    second.source.recordSource = "Lines";
    second.columnHeaders = false;
    second.columns[1] = {ColumnKind::Data, "Qty", {}, false, false, ""};
    writer.WriteDetailTable(table, second);

    const clsPLProperty property;
    std::vector<std::string> columns;
    ASSERT_EQ(property.GetColumnProperties(table, writer.Document(), columns), 3);
    EXPECT_EQ(columns[0], CellPropertyText(second, 1));
    EXPECT_EQ(columns[1], CellPropertyText(second, 2));
    EXPECT_EQ(columns[2], "");
    EXPECT_EQ(Get(columns[0], "ColumnHeaders"), "False");
    EXPECT_EQ(table.Cell(1, 1).Range().Text(), "Item\r\a");
    EXPECT_EQ(table.Cell(1, 2).Range().Text(), "Qty\r\a");
    EXPECT_FALSE(writer.Document().Bookmarks().Exists("明細"));

    DetailTable tooWide = first;
    tooWide.columns.resize(4);
    EXPECT_THROW(writer.WriteDetailTable(table, tooWide), host::HostError);
    DetailTable quoted = first;
    quoted.source.rsWhere = "Item = \"x\"";
    EXPECT_THROW(writer.WriteDetailTable(table, quoted), host::HostError) << "no value may break the text";
    EXPECT_EQ(property.GetDetailProperties(table, writer.Document()), CellPropertyText(second, 1));
}

TEST(DetailTable, OnlyTheFirstBreakColumnCarriesTheBreakRow) {
    DetailTable t = Lines();
    t.columns[2].breakColumn = true;
    EXPECT_NE(ColumnPropertyText(t, 1).find("aBreakRowFieldType"), std::string::npos);
    EXPECT_EQ(ColumnPropertyText(t, 3).find("BreakRowFieldType"), std::string::npos);
    EXPECT_EQ(ColumnPropertyText(t, 9), "");
    EXPECT_EQ(BreakRowFormatCaption({"\\@", "yyyy"}), "\\@ (日付／時刻)");
    EXPECT_EQ(BreakRowFormatCaption({}), "なし");
}

}  // namespace
}  // namespace paperloom::templatekit
