#pragma once
// A document stand-in for formula tests: tables given as rows of cell texts, bookmarks that
// cover a table or hold a text.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/word/fieldcalc/FormulaContext.h"

namespace paperloom::word::fieldcalc::testing {

class FakeTable final : public TableCells {
public:
    FakeTable() = default;
    explicit FakeTable(std::vector<std::vector<std::string>> rows) : rows_(std::move(rows)) {}

    int RowCount() const override { return static_cast<int>(rows_.size()); }
    int ColumnCount(int row) const override {
        return row >= 1 && row <= RowCount() ? static_cast<int>(rows_[static_cast<std::size_t>(row - 1)].size()) : 0;
    }
    std::string CellText(int row, int column) const override {
        ++reads;
        return rows_.at(static_cast<std::size_t>(row - 1)).at(static_cast<std::size_t>(column - 1));
    }

    mutable int reads = 0;

private:
    std::vector<std::vector<std::string>> rows_;
};

class FakeFormulaContext final : public FormulaContext {
public:
    const TableCells* EnclosingTable() const override { return ownTable; }
    std::optional<CellPosition> OwnCell() const override { return ownCell; }
    const TableCells* BookmarkedTable(std::string_view name) const override {
        const auto it = bookmarkedTables.find(std::string(name));
        return it == bookmarkedTables.end() ? nullptr : it->second;
    }
    std::optional<std::string> BookmarkText(std::string_view name) const override {
        const auto it = bookmarkTexts.find(std::string(name));
        if (it == bookmarkTexts.end()) return std::nullopt;
        return it->second;
    }

    const TableCells* ownTable = nullptr;
    std::optional<CellPosition> ownCell;
    std::map<std::string, const TableCells*> bookmarkedTables;
    std::map<std::string, std::string> bookmarkTexts;
};

}  // namespace paperloom::word::fieldcalc::testing
