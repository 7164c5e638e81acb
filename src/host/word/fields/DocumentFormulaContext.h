#pragma once
// What a formula field reads from its document: the table around it and bookmarked tables
// and texts, read from the live tree at the moment the field is computed.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "host/word/fieldcalc/FormulaContext.h"

namespace paperloom::word::detail {
class DocumentState;
class Story;
}  // namespace paperloom::word::detail

namespace paperloom::word::fields {

// The cells of one w:tbl in a story; a cell's text is its visible text without field codes.
// Rows come from the story's remembered list and cells are looked up when read, so a formula
// that reads a few cells of a long table costs what it reads.
class StoryTableCells final : public fieldcalc::TableCells {
public:
    StoryTableCells(word::detail::Story& story, pugi::xml_node table) : story_(story), table_(table) {}
    int RowCount() const override;
    int ColumnCount(int row) const override;
    std::string CellText(int row, int column) const override;

private:
    pugi::xml_node Row(int row) const;  // none outside 1..RowCount

    word::detail::Story& story_;
    pugi::xml_node table_;
};

class DocumentFormulaContext final : public fieldcalc::FormulaContext {
public:
    // The context of a field whose begin mark is `fieldNode` (a w:fldChar) in `story`.
    DocumentFormulaContext(std::shared_ptr<word::detail::DocumentState> doc, word::detail::Story& story,
                           pugi::xml_node fieldNode);

    const fieldcalc::TableCells* EnclosingTable() const override { return enclosing_.get(); }
    std::optional<fieldcalc::CellPosition> OwnCell() const override;
    const fieldcalc::TableCells* BookmarkedTable(std::string_view bookmark) const override;
    std::optional<std::string> BookmarkText(std::string_view bookmark) const override;

private:
    std::shared_ptr<word::detail::DocumentState> doc_;
    word::detail::Story& story_;
    std::unique_ptr<StoryTableCells> enclosing_;
    pugi::xml_node cell_;
    // Found when first asked for: only ABOVE, LEFT and their kind need it.
    mutable std::optional<std::optional<fieldcalc::CellPosition>> ownCell_;
    mutable std::map<std::string, std::unique_ptr<StoryTableCells>, std::less<>> bookmarked_;
};

}  // namespace paperloom::word::fields
