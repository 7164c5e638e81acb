#pragma once
// Small helpers shared by the driver tests: column lookup and text of a cell.

#include "host/ado/Provider.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace paperloom::host::ado::odbc::testing {

inline std::size_t ColumnIndex(const ResultSet& result, const std::string& name) {
    for (std::size_t i = 0; i < result.ColumnCount(); ++i)
        if (result.columns[i].name == name) return i;
    ADD_FAILURE() << "no column " << name;
    return 0;
}

inline const Variant& Cell(const ResultSet& result, std::size_t row, const std::string& column) {
    return result.At(row, ColumnIndex(result, column));
}

// Row index of the first row whose `column` holds the text `value`.
inline std::optional<std::size_t> FindRow(const ResultSet& result, const std::string& column,
                                          const std::string& value) {
    const std::size_t index = ColumnIndex(result, column);
    for (std::size_t row = 0; row < result.RowCount(); ++row)
        if (const auto* text = result.At(row, index).Get<std::string>(); text && *text == value)
            return row;
    return std::nullopt;
}

}  // namespace paperloom::host::ado::odbc::testing
