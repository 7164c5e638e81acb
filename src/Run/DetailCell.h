#pragma once
// Writing one cell of a detail table: the visible content (text or one field) is replaced,
// while the hidden property text a first-row cell starts with stays in place.

#include <string>
#include <string_view>

#include "host/word/Table.h"

namespace paperloom::run {

// Removes the cell's fields and its visible content, keeping hidden text at its start.
void ClearCellContent(const word::Cell& cell);

// Replaces the visible content by plain text (a NUL in it is written as U+FFFD).
void WriteCellText(const word::Cell& cell, std::string_view text);
// The same for the cell at (row, column) of the table; a table fill writes every cell again
// for every record.
void WriteCellText(const word::Table& table, long row, long column, std::string_view text);

// Replaces the visible content by one field with the code, computed at once (a NUL in the code,
// from a value, is written as U+FFFD).
void WriteCellField(const word::Cell& cell, std::string_view code);

// The cell's text as shown (field results, no hidden text, no end-of-cell mark). The caller
// keeps the view from displaying hidden text meanwhile.
std::string VisibleCellText(const word::Cell& cell);

}  // namespace paperloom::run
