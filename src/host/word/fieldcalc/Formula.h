#pragma once
// The parsed form of an "=" field's formula: numbers, operators, function calls and
// references to table cells and bookmarks.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace paperloom::word::fieldcalc {

// A rectangle of cells; a missing row bound means whole columns, a missing column bound whole
// rows. All bounds are 1-based and inclusive.
struct CellRangeSpec {
    std::optional<int> firstRow, lastRow;
    std::optional<int> firstColumn, lastColumn;
    bool singleCell = false;  // written as one cell ("A3"), not as a range
};

struct FormulaNode {
    enum class Kind {
        Number,         // number
        Negate,         // children[0]
        Percent,        // children[0] / 100
        Binary,         // op, children[0..1]
        Call,           // name (upper case), children = arguments
        Cells,          // range in the field's own table
        BookmarkCells,  // name = bookmark, range in the table it covers
        Bookmark,       // name = bookmark, its text read as a number
        CellOrBookmark, // name = a cell-like name ("A3"); a cell inside a table, else a bookmark
        Direction,      // name = ABOVE, BELOW, LEFT or RIGHT
    };
    Kind kind = Kind::Number;
    double number = 0;
    std::string op;
    std::string name;
    CellRangeSpec range;
    std::vector<std::unique_ptr<FormulaNode>> children;
    int height = 1;  // longest path to a leaf; bounded so evaluation cannot exhaust the stack
};

using FormulaNodePtr = std::unique_ptr<FormulaNode>;

// Parses a formula (the text after "=" and before the switches). Throws FieldError(Syntax)
// naming the offending token.
FormulaNodePtr ParseFormula(const std::string& text);

// The column number of column letters ("a" 1, "z" 26, "aa" 27), either case; 0 if not letters.
int ColumnNumberFromLetters(const std::string& letters);

}  // namespace paperloom::word::fieldcalc
