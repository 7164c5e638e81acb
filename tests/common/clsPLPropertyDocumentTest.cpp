// Property text in the hidden text of table cells, written the way the designer writes it and
// read back after the document is saved and reopened; document variables.

#include <gtest/gtest.h>

#include "CommonTestSupport.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "host/HostError.h"
#include "host/word/Document.h"

namespace paperloom {
namespace {

using test::DocumentWithBody;
using test::DocumentWithTable;
using test::FullText;

// The designer's write cycle: read the found hidden text (or start from ""), set the keys,
// write back in place or insert as new hidden text.
void WriteProperties(const word::Range& cell, const std::vector<std::pair<std::string, std::string>>& entries) {
    const clsPLProperty property;
    std::optional<word::Range> found;
    std::string text;
    if (property.GetProperties2(cell, found)) {
        text = found->Text();
    }
    for (const auto& [key, value] : entries) property.SetPropertyToText(text, key, value);
    if (found) {
        found->SetText(text);
    } else {
        clsPLRange().InsertBeforeHiddenText(text, cell);
    }
}

bool ShowsHiddenText(word::Document& doc) {
    return doc.Windows().Item(1).View().ShowHiddenText();
}

TEST(CellProperties, WrittenSavedReopenedAndReadBackIdentically) {
    const test::TempFolder folder;
    auto doc = DocumentWithTable(2, 3);
    auto table = doc->Tables().Item(1);
    table.Cell(1, 1).Range().SetText("品名");
    table.Cell(1, 3).Range().SetText("金額");
    WriteProperties(table.Cell(1, 1).Range(), {{"DataSourceType", "4"}, {"RecordSource", "明細, 2024"}});
    WriteProperties(table.Cell(1, 1).Range(), {{"FieldType", "1"}, {"DataField", "品名"}});
    WriteProperties(table.Cell(1, 3).Range(), {{"FieldType", "1"}, {"Format", "\\#,##0"}});
    // Rewriting replaces the text in place: still one entry per key.
    WriteProperties(table.Cell(1, 3).Range(), {{"FieldType", "3"}});
    const clsPLProperty property;
    const std::string detail = property.GetDetailProperties(table, *doc);
    EXPECT_EQ(detail, R"(DataSourceType="4", RecordSource="明細, 2024", FieldType="1", DataField="品名")");
    std::vector<std::string> columns;
    ASSERT_EQ(property.GetColumnProperties(table, *doc, columns), 3);
    ASSERT_EQ(columns.size(), 3U);
    EXPECT_EQ(columns[0], detail);
    EXPECT_EQ(columns[1], "");
    EXPECT_EQ(columns[2], R"(FieldType="3", Format="\\#,##0")");
    EXPECT_EQ(property.GetPropertyFromText(columns[2], "Format", ""), "\\#,##0");
    // The visible captions are untouched.
    EXPECT_EQ(table.Cell(1, 1).Range().Text(), "品名\r\a");

    const auto path = folder.Path() / "template.docx";
    doc->SaveAs(path);
    auto reopened = word::Document::Open(path);
    auto again = reopened->Tables().Item(1);
    EXPECT_EQ(property.GetDetailProperties(again, *reopened), detail);
    std::vector<std::string> columnsAgain{"stale"};
    EXPECT_EQ(property.GetColumnProperties(again, *reopened, columnsAgain), 3);
    EXPECT_EQ(columnsAgain, columns);
    EXPECT_EQ(again.Cell(1, 1).Range().Text(), "品名\r\a");
    EXPECT_EQ(again.Cell(1, 3).Range().Text(), "金額\r\a");
}

TEST(CellProperties, DisplayOfHiddenTextIsSwitchedOffForTheReadAndRestored) {
    auto doc = DocumentWithTable(1, 2);
    auto table = doc->Tables().Item(1);
    table.Cell(1, 1).Range().SetText("見出し");
    WriteProperties(table.Cell(1, 1).Range(), {{"ParentKey", "ID"}});
    doc->Windows().Item(1).View().SetShowHiddenText(true);
    const clsPLProperty property;
    // While displayed, the plain read sees no property text at all ...
    std::string raw;
    EXPECT_FALSE(property.GetProperties(table.Cell(1, 1).Range(), raw));
    // ... so the table reads switch the display off and put it back.
    EXPECT_EQ(property.GetDetailProperties(table, *doc), R"(ParentKey="ID")");
    EXPECT_TRUE(ShowsHiddenText(*doc));
    std::vector<std::string> columns;
    EXPECT_EQ(property.GetColumnProperties(table, *doc, columns), 2);
    EXPECT_EQ(columns[0], R"(ParentKey="ID")");
    EXPECT_TRUE(ShowsHiddenText(*doc));
    doc->Windows().Item(1).View().SetShowHiddenText(false);
    EXPECT_EQ(property.GetDetailProperties(table, *doc), R"(ParentKey="ID")");
    EXPECT_FALSE(ShowsHiddenText(*doc));
}

TEST(CellProperties, DisplayIsRestoredWhenAReadFails) {
    // Row 1 has two cells spanning three grid columns: column 3 of row 1 does not exist.
    const std::string xml =
        "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid><w:gridCol w:w=\"2000\"/>"
        "<w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/></w:tblGrid>"
        "<w:tr><w:tc><w:tcPr><w:gridSpan w:val=\"2\"/></w:tcPr><w:p/></w:tc><w:tc><w:p/></w:tc></w:tr>"
        "<w:tr><w:tc><w:p/></w:tc><w:tc><w:p/></w:tc><w:tc><w:p/></w:tc></w:tr></w:tbl><w:p/>";
    auto doc = DocumentWithBody(xml);
    auto table = doc->Tables().Item(1);
    ASSERT_EQ(table.Columns().Count(), 3);
    doc->Windows().Item(1).View().SetShowHiddenText(true);
    std::vector<std::string> columns{"kept"};
    EXPECT_THROW(clsPLProperty().GetColumnProperties(table, *doc, columns), host::HostError);
    EXPECT_TRUE(ShowsHiddenText(*doc));
    EXPECT_EQ(columns, std::vector<std::string>{"kept"});
}

TEST(CellProperties, WhatGetPropertiesFindsInACell) {
    const clsPLProperty property;
    auto doc = DocumentWithTable(1, 4);
    auto table = doc->Tables().Item(1);
    std::string text = "unchanged";
    // No hidden text.
    table.Cell(1, 1).Range().SetText("visible");
    EXPECT_FALSE(property.GetProperties(table.Cell(1, 1).Range(), text));
    EXPECT_EQ(text, "unchanged");
    // Only hidden text: the whole hidden text of the first paragraph.
    clsPLRange().InsertBeforeHiddenText(R"(A="1", B="x,y")", table.Cell(1, 2).Range());
    EXPECT_TRUE(property.GetProperties(table.Cell(1, 2).Range(), text));
    EXPECT_EQ(text, R"(A="1", B="x,y")");
    // Hidden text only after the first paragraph: nothing stands at the start.
    table.Cell(1, 3).Range().SetText("first\rsecond");
    auto second = table.Cell(1, 3).Range();
    second.SetStart(second.Start() + 6);
    clsPLRange().InsertBeforeHiddenText(R"(C="3")", second);
    ASSERT_EQ(FullText(table.Cell(1, 3).Range()), "first\rC=\"3\"second\r\a");
    text = "unchanged";
    EXPECT_FALSE(property.GetProperties(table.Cell(1, 3).Range(), text));
    EXPECT_EQ(text, "unchanged");
    // Visible text that is a repeat of the property text's last character is not eaten.
    table.Cell(1, 4).Range().SetText("\"\"");
    clsPLRange().InsertBeforeHiddenText(R"(D="4")", table.Cell(1, 4).Range());
    EXPECT_TRUE(property.GetProperties(table.Cell(1, 4).Range(), text));
    EXPECT_EQ(text, R"(D="4")");
}

TEST(CellProperties, GetProperties2CoversHiddenTextAcrossParagraphs) {
    auto doc = DocumentWithTable(1, 1);
    auto cell = doc->Tables().Item(1).Cell(1, 1).Range();
    cell.SetText("A\rCaption");
    auto firstParagraph = cell.Duplicate();
    firstParagraph.SetEnd(firstParagraph.Start() + 2);  // "A" and its paragraph mark
    firstParagraph.Font().SetHidden(true);
    std::optional<word::Range> found;
    ASSERT_TRUE(clsPLProperty().GetProperties2(cell, found));
    EXPECT_EQ(found->Start(), cell.Start());
    EXPECT_EQ(FullText(*found), "A\r");
    std::optional<word::Range> none;
    auto plain = DocumentWithTable(1, 1);
    EXPECT_FALSE(clsPLProperty().GetProperties2(plain->Tables().Item(1).Cell(1, 1).Range(), none));
    EXPECT_FALSE(none);
}

TEST(DocumentVariables, MissingReadsAsDefaultAndDeletingTwiceIsNoError) {
    auto doc = DocumentWithTable(1, 1);
    const clsPLProperty property;
    EXPECT_EQ(property.GetDocVariable("UpdateDetail", *doc, "True"), "True");
    doc->Variables().SetValue("RecordSource", "SELECT * FROM 受注");
    EXPECT_EQ(property.GetDocVariable("RecordSource", *doc, ""), "SELECT * FROM 受注");
    // An empty value is a value, not the default.
    doc->Variables().SetValue("RSWhere", "");
    EXPECT_EQ(property.GetDocVariable("RSWhere", *doc, "default"), "");
    property.DeleteDocVariable("RecordSource", *doc);
    EXPECT_EQ(property.GetDocVariable("RecordSource", *doc, "gone"), "gone");
    EXPECT_NO_THROW(property.DeleteDocVariable("RecordSource", *doc));
    EXPECT_NO_THROW(property.DeleteDocVariable("", *doc));
    EXPECT_EQ(property.GetDocVariable("", *doc, "d"), "d");
}

}  // namespace
}  // namespace paperloom
