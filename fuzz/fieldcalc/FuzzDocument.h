#pragma once
// A small fixed table and bookmarks, so the fuzzed formulas reach the cell-reading paths.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/word/fieldcalc/FormulaContext.h"

namespace paperloom::word::fieldcalc::fuzzing {

class FuzzTable final : public TableCells {
public:
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    int ColumnCount(int row) const override {
        return row >= 1 && row <= RowCount() ? static_cast<int>(rows_[static_cast<std::size_t>(row - 1)].size()) : 0;
    }
    std::string CellText(int row, int column) const override {
        return rows_.at(static_cast<std::size_t>(row - 1)).at(static_cast<std::size_t>(column - 1));
    }

private:
    std::vector<std::vector<std::string>> rows_{
        {"品名", "数量", "金額"}, {"a", "1", "1,000"}, {"b", "", "¥2,500"}, {"c", "x"}, {"計", "1", "(3.5%)"}};
};

class FuzzContext final : public FormulaContext {
public:
    const TableCells* EnclosingTable() const override { return &table_; }
    std::optional<CellPosition> OwnCell() const override { return CellPosition{3, 2}; }
    const TableCells* BookmarkedTable(std::string_view name) const override {
        return name == "Detail1" || name == "d" ? &table_ : nullptr;
    }
    std::optional<std::string> BookmarkText(std::string_view name) const override {
        if (name == "Rate") return std::string("8%");
        if (name == "Label") return std::string("合計");
        return std::nullopt;
    }

private:
    FuzzTable table_;
};

}  // namespace paperloom::word::fieldcalc::fuzzing
