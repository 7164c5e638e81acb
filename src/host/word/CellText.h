#pragma once
// Writing a table cell's text in place: a table fill writes every cell again for every record.

#include <string_view>

#include "host/word/Table.h"

namespace paperloom::word {

// Writes `text` (without breaks, tabs or marks) over the text of the cell at (row, column)
// when it holds one paragraph of one plain run: in that run, leaving what setting the text
// of the cell's range without its end mark would. False, the cell untouched, for any other
// cell or text; a missing cell or one merged cells hide raises as Table::Cell does.
bool ReplaceLoneRunText(const Table& table, long row, long column, std::string_view text);

}  // namespace paperloom::word
