#pragma once
// The property texts of a detail table: the table's own keys (stored in cell 1,1 before the
// keys of column 1) and the keys of each column, with the break-row definitions in the text of
// the break column.

#include <string>

#include "TemplateSettings.h"

namespace paperloom::templatekit {

// Table keys: data source, record source, link keys, ColumnHeaders, AutoAdjustRowCount.
std::string DetailPropertyText(const DetailTable& table);
// Keys of table column `column` (1-based); "" for a column of kind None or beyond the list.
std::string ColumnPropertyText(const DetailTable& table, long column);
// The text stored at the start of cell (1, column): for column 1 the table keys and its own.
std::string CellPropertyText(const DetailTable& table, long column);
// Stored caption of a format switch for break rows ("\# (数値)" ...); "なし" for none.
std::string BreakRowFormatCaption(const FieldFormat& format);

}  // namespace paperloom::templatekit
