#pragma once
// What a formula may read from the document around its field. The document model implements
// these over its tables and bookmarks; the computation itself knows no document.

#include <optional>
#include <string>
#include <string_view>

namespace paperloom::word::fieldcalc {

// 1-based, as cell references count.
struct CellPosition {
    int row = 1;
    int column = 1;
    bool operator==(const CellPosition&) const = default;
};

// The cells of one table. Rows may have different numbers of cells.
class TableCells {
public:
    virtual ~TableCells() = default;
    virtual int RowCount() const = 0;
    virtual int ColumnCount(int row) const = 0;
    // The cell's visible text without its end-of-cell mark; only called for existing cells.
    virtual std::string CellText(int row, int column) const = 0;
};

class FormulaContext {
public:
    virtual ~FormulaContext() = default;
    // The table that holds the field, or nullptr outside tables.
    virtual const TableCells* EnclosingTable() const { return nullptr; }
    // The cell of EnclosingTable() that holds the field.
    virtual std::optional<CellPosition> OwnCell() const { return std::nullopt; }
    // Bookmark names arrive as written in the formula; the document compares them without
    // regard to case, as it does for its bookmarks everywhere.
    // The first table that a bookmark of this name lies in, or nullptr.
    virtual const TableCells* BookmarkedTable(std::string_view /*bookmark*/) const { return nullptr; }
    // The text a bookmark encloses, or nothing when no bookmark has this name.
    virtual std::optional<std::string> BookmarkText(std::string_view /*bookmark*/) const { return std::nullopt; }
};

// A context without tables or bookmarks, for fields that only compute literals.
class EmptyFormulaContext final : public FormulaContext {};

}  // namespace paperloom::word::fieldcalc
