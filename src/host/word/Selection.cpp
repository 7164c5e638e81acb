#include "host/word/Selection.h"

#include "host/word/Bookmarks.h"
#include "host/word/detail/DocumentState.h"
#include "host/word/detail/RangeAccess.h"
#include "host/word/WordError.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word {

const Cell& Cells::Item(long index) const {
    if (index < 1 || index > Count()) throw NoSuchMember();
    return cells_[static_cast<std::size_t>(index) - 1];
}

Bookmarks Selection::Bookmarks() const { return word::Range(data_).Bookmarks(); }

Cells Selection::Cells() const {
    auto& story = data_->Live();
    std::vector<Cell> cells;
    std::vector<pugi::xml_node> seen;
    const long start = data_->span->start;
    const long end = std::max(data_->span->end, start + 1);
    story.Visit(start, end, [&](const detail::Atom& atom) {
        if (atom.length == 0) return true;
        pugi::xml_node cell;
        for (auto n = atom.node; n && n != story.Root(); n = n.parent())
            if (xml::Is(n, "w:tc")) {
                cell = n;
                break;
            }
        if (!cell || (!seen.empty() && seen.back() == cell)) return true;
        seen.push_back(cell);
        auto row = cell.parent();
        auto table = row.parent();
        long column = 0;
        for (auto c = cell; c; c = c.previous_sibling("w:tc")) ++column;
        long rowIndex = 0;
        for (auto r = row; r; r = r.previous_sibling("w:tr")) ++rowIndex;
        const auto handle = detail::TableOf(data_->doc, story, table);
        cells.emplace_back(detail::RangeAccess::Of(handle), rowIndex, column);
        return true;
    });
    return word::Cells(std::move(cells));
}

Range Selection::GoTo(long what, long, long, std::string_view name) {
    if (what != wdGoToBookmark) throw WordError(errnum::commandNotAvailable, "This command is not available.");
    auto bookmark = detail::DocumentBookmarks(data_->doc).Item(name);
    Select(bookmark.Range());
    return Range();
}

void Selection::Select(const word::Range& range) {
    const auto& other = detail::RangeAccess::Of(range);
    if (other->doc != data_->doc) throw WordError(errnum::badParameter, "The range belongs to another document.");
    if (other->story != data_->story) {
        auto moved = detail::MakeRange(data_->doc, *other->story, other->span->start, other->span->end);
        data_->story = moved->story;
        data_->span = moved->span;
        return;
    }
    data_->span->start = other->span->start;
    data_->span->end = other->span->end;
    data_->span->limit.reset();
}

}  // namespace paperloom::word
