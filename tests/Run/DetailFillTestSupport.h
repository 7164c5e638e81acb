#pragma once
// Detail-table templates for the fill tests, made the way the designer makes them: a table
// added through the document host, captions in the first row, property text written as
// hidden text at the start of the first-row cells, a bookmark over the table; the header
// settings in the document variables. The database is a SQLite file beside the template.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Run/clsPLRDBBind.h"
#include "RunTestSupport.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "host/word/Application.h"
#include "host/word/fields/Field.h"

namespace paperloom::run::test {

// Property text from key/value pairs, in the order given.
inline std::string PropertyText(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string text;
    for (const auto& [key, value] : entries) clsPLProperty().SetPropertyToText(text, key, value);
    return text;
}

// A detail table: its table-level keys, one property text and caption per column.
struct DetailTableSpec {
    long rows = 5;
    std::vector<std::pair<std::string, std::string>> detail;
    std::vector<std::string> columnProperties;
    std::vector<std::string> captions;  // written into row 1 when not empty
    std::string bookmark = "Lines";
};

// Header settings, a paragraph, then the table; saved to path.
inline std::filesystem::path SaveDetailTemplate(const std::filesystem::path& path, const Settings& header,
                                                const DetailTableSpec& spec) {
    auto doc = word::Document::Blank();
    auto variables = doc->Variables();
    for (const auto& [name, value] : header) variables.SetValue(name, value);
    doc->Range(0, 0).InsertBefore("Report\r");
    const long columns = static_cast<long>(spec.columnProperties.size());
    auto end = doc->Content();
    end.Collapse(word::wdCollapseEnd);
    end.SetRange(end.Start() - 1, end.Start() - 1);
    const auto table = doc->Tables().Add(end, spec.rows, columns);
    const clsPLRange range;
    for (long c = 1; c <= columns; ++c) {
        if (c <= static_cast<long>(spec.captions.size()) && !spec.captions[c - 1].empty()) {
            auto cell = table.Cell(1, c).Range();
            range.AppendText(spec.captions[c - 1], cell);
        }
        std::string properties = spec.columnProperties[c - 1];
        if (c == 1) {
            // Cell (1, 1) holds the table's keys and column 1's keys in one text.
            std::string detail = PropertyText(spec.detail);
            if (!properties.empty()) detail += ", " + properties;
            properties = detail;
        }
        if (!properties.empty()) range.InsertBeforeHiddenText(properties, table.Cell(1, c).Range());
    }
    if (!spec.bookmark.empty()) doc->Bookmarks().Add(spec.bookmark, table.Range());
    doc->SaveAs(path);
    doc->Close();
    return path;
}

// The detail keys of a table on the test database next to the template.
inline std::vector<std::pair<std::string, std::string>> DetailKeys(const std::string& source,
                                                                   const std::string& order = "Id") {
    return {{"DataSourceType", "4"}, {"DataSource", "shop.db"}, {"RecordSourceType", "2"},
            {"RecordSource", source}, {"ParentKey", "Id"},     {"ChildKey", "CustId"},
            {"RSOrder", order}};
}

// A column's property text: a data field with optional extras.
inline std::string DataColumn(const std::string& field,
                              const std::vector<std::pair<std::string, std::string>>& extra = {},
                              const std::string& type = "1") {
    std::vector<std::pair<std::string, std::string>> entries{{"FieldType", type}, {"DataField", field}};
    entries.insert(entries.end(), extra.begin(), extra.end());
    return PropertyText(entries);
}

// Customers (header, by Id):  1 Ann, 2 O'Brien, 3 Carl, 4 Dora (no lines), 5 Eve
// Lines (detail):            Ann 6 lines (Id 1..6), O'Brien 2 (Id 7, 8), Carl 23 (Id 101..123),
//                            Eve 500 (Id 1001..1500)
//   Ann's lines:  Item  Pen Pen Ink Ink Ink Cap   Qty 1..6   Price 1.5 each
inline void MakeCustomerDatabase(const std::filesystem::path& path) {
    std::string sql =
        "CREATE TABLE Customers (Id INTEGER, Name VARCHAR(20));"
        "INSERT INTO Customers VALUES (1, 'Ann'), (2, 'O''Brien'), (3, 'Carl'), (4, 'Dora');"
        "CREATE TABLE Lines (Id INTEGER, CustId INTEGER, CustName VARCHAR(20), Item VARCHAR(20), Qty INTEGER,"
        " Price REAL, Amount REAL, Placed DATE);"
        "INSERT INTO Lines VALUES (1, 1, 'Ann', 'Pen', 1, 1.5, 1234.4, '2024-01-05'),"
        " (2, 1, 'Ann', 'Pen', 2, 1.5, 1234567.5, '2024-02-10'), (3, 1, 'Ann', 'Ink', 3, 1.5, 0, '2024-03-15'),"
        " (4, 1, 'Ann', 'Ink', 4, 1.5, 10, '2024-04-20'), (5, 1, 'Ann', 'Ink', 5, 1.5, 20, NULL),"
        " (6, 1, 'Ann', 'Cap', 6, 1.5, 30, '2024-06-30'),"
        " (7, 2, 'O''Brien', 'Hat', 7, 2.0, 1, '2024-07-01'), (8, 2, 'O''Brien', 'Hat', 8, 2.0, 2, '2024-07-02');";
    for (int i = 1; i <= 23; ++i) {
        sql += "INSERT INTO Lines VALUES (" + std::to_string(100 + i) + ", 3, 'Carl', 'Box', " + std::to_string(i) +
               ", 1.0, 1, '2024-08-01');";
    }
    // Eve (5): 500 lines, Qty 1..500, for the large fills.
    sql += "INSERT INTO Customers VALUES (5, 'Eve');"
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500)"
           " INSERT INTO Lines SELECT 1000 + i, 5, 'Eve', 'Box', i, 1.0, i, '2024-09-01' FROM n;";
    RunSqlite(path, sql);
}

inline Settings CustomerSettings() {
    return {{"DataSourceType", "4"},
            {"DataSource", "shop.db"},
            {"RecordSourceType", "2"},
            {"RecordSource", "Customers"},
            {"RSOrder", "Id"}};
}

// The visible text of a cell: field results, no hidden text, no end-of-cell mark.
inline std::string CellText(const word::Table& table, long row, long column) {
    auto range = table.Cell(row, column).Range();
    range.TextRetrievalMode().SetIncludeHiddenText(false);
    std::string text = range.Text();
    while (!text.empty() && (text.back() == '\a' || text.back() == '\r')) text.pop_back();
    return text;
}

// The visible texts of one column, rows from..to.
inline std::vector<std::string> ColumnTexts(const word::Table& table, long column, long from, long to) {
    std::vector<std::string> texts;
    for (long r = from; r <= to; ++r) texts.push_back(CellText(table, r, column));
    return texts;
}

// Codes of the fields in a cell.
inline std::vector<std::string> CellFieldCodes(const word::Table& table, long row, long column) {
    std::vector<std::string> codes;
    for (const auto& field : word::FieldsOf(table.Cell(row, column).Range())) {
        auto code = field.Code();
        code.TextRetrievalMode().SetIncludeFieldCodes(true);
        std::string text = code.Text();
        while (!text.empty() && text.front() == ' ') text.erase(text.begin());
        while (!text.empty() && text.back() == ' ') text.pop_back();
        codes.push_back(text);
    }
    return codes;
}

// A template with one detail table beside the customer database, opened and bound.
class DetailFixture : public ::testing::Test {
protected:
    void SetUp() override { MakeCustomerDatabase(folder_.File("shop.db")); }

    std::shared_ptr<clsPLRDBBind> Bind(const DetailTableSpec& spec, const Settings& header = CustomerSettings(),
                                       const std::string& name = "Report.docx") {
        doc_ = app_.Documents().Open(SaveDetailTemplate(folder_.File(name), header, spec));
        auto binding = std::make_shared<clsPLRDBBind>();
        EXPECT_TRUE(binding->DBConnect(doc_));
        EXPECT_TRUE(binding->DBOpen());
        return binding;
    }

    word::Table Table() const { return doc_->Tables().Item(1); }
    std::string DetailProperties() const { return clsPLProperty().GetDetailProperties(Table(), *doc_); }
    std::string DetailKey(const std::string& key) const {
        return clsPLProperty().GetPropertyFromText(DetailProperties(), key, "<absent>");
    }

    ScratchFolder folder_;
    word::Application app_;
    std::shared_ptr<word::Document> doc_;
};

}  // namespace paperloom::run::test
