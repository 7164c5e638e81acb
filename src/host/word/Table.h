#pragma once
// Tables of a story: Tables, Table, Rows, Row, Columns, Cell.
//
// A Table handle follows its table across edits elsewhere in the story (it keeps a live
// span of the table). Cell(row, column) counts the cells of the row as the word processor
// does; a cell that merged cells hide raises error 5991, one outside the table 5941.

#include <memory>
#include <optional>
#include <vector>

#include <pugixml.hpp>

#include "host/word/Range.h"

namespace paperloom::word {

class Table;

class Cell {
public:
    Cell(std::shared_ptr<detail::RangeData> table, long row, long column)
        : table_(std::move(table)), row_(row), column_(column) {}
    word::Range Range() const;
    long RowIndex() const { return row_; }
    long ColumnIndex() const { return column_; }

private:
    std::shared_ptr<detail::RangeData> table_;
    long row_;
    long column_;
};

class Row {
public:
    Row(std::shared_ptr<detail::RangeData> table, long index) : table_(std::move(table)), index_(index) {}
    long Index() const { return index_; }
    word::Range Range() const;
    long CellCount() const;
    void Delete();

private:
    std::shared_ptr<detail::RangeData> table_;
    long index_;
};

class Rows {
public:
    explicit Rows(std::shared_ptr<detail::RangeData> table) : table_(std::move(table)) {}
    long Count() const;
    Row Item(long index) const;
    Row First() const { return Item(1); }
    Row Last() const { return Item(Count()); }
    // Adds a row at the end (or before `beforeRow`), formatted like the row it copies: the
    // last row, or the row it goes before.
    Row Add(std::optional<long> beforeRow = std::nullopt);

private:
    std::shared_ptr<detail::RangeData> table_;
};

class Columns {
public:
    explicit Columns(std::shared_ptr<detail::RangeData> table) : table_(std::move(table)) {}
    long Count() const;

private:
    std::shared_ptr<detail::RangeData> table_;
};

class Table {
public:
    explicit Table(std::shared_ptr<detail::RangeData> data) : data_(std::move(data)) {}
    word::Range Range() const;
    word::Rows Rows() const { return word::Rows(data_); }
    word::Columns Columns() const { return word::Columns(data_); }
    word::Cell Cell(long row, long column) const;
    void Delete();
    // Tables nested directly in this table's cells.
    word::Tables Tables() const;
    // The table's element in the tree.
    pugi::xml_node Node() const;

private:
    friend struct detail::RangeAccess;
    const std::shared_ptr<detail::RangeData>& Data() const { return data_; }

    std::shared_ptr<detail::RangeData> data_;
};

class Tables {
public:
    Tables(std::shared_ptr<detail::RangeData> scope, std::vector<Table> items)
        : scope_(std::move(scope)), items_(std::move(items)) {}
    long Count() const { return static_cast<long>(items_.size()); }
    Table Item(long index) const;
    // A table of `rows` x `columns` empty cells in place of `range`.
    Table Add(const word::Range& range, long rows, long columns);
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::shared_ptr<detail::RangeData> scope_;
    std::vector<Table> items_;
};

namespace detail {
class DocumentState;
class Story;
// The tables of a story that overlap [start, end) (outermost tables only), in order.
std::vector<Table> TablesIn(const std::shared_ptr<RangeData>& range);
Table TableOf(const std::shared_ptr<DocumentState>& doc, Story& story, pugi::xml_node table);
// A table without rows (left behind when accepted revisions deleted them all) takes no
// position and shows nothing: it is no table of the document.
bool HasRows(pugi::xml_node table);
}  // namespace detail

}  // namespace paperloom::word
