#include "host/word/fields/DocumentFormulaContext.h"

#include <algorithm>

#include "host/DebugLog.h"
#include "host/HostError.h"
#include "host/word/Bookmarks.h"
#include "host/word/detail/DocumentState.h"
#include "host/word/detail/RangeAccess.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word::fields {

namespace {

pugi::xml_node Enclosing(pugi::xml_node node, std::string_view name, pugi::xml_node stop) {
    for (auto n = node; n && n != stop; n = n.parent())
        if (xml::Is(n, name)) return n;
    return {};
}

}  // namespace

int StoryTableCells::RowCount() const { return static_cast<int>(story_.TableRows(table_).size()); }

pugi::xml_node StoryTableCells::Row(int row) const {
    const auto& rows = story_.TableRows(table_);
    if (row < 1 || static_cast<std::size_t>(row) > rows.size()) return {};
    return rows[static_cast<std::size_t>(row) - 1];
}

int StoryTableCells::ColumnCount(int row) const {
    int count = 0;
    for (auto cell : Row(row).children("w:tc")) {
        (void)cell;
        ++count;
    }
    return count;
}

std::string StoryTableCells::CellText(int row, int column) const {
    if (column < 1) return {};
    pugi::xml_node cell;
    int index = 0;
    for (auto c : Row(row).children("w:tc"))
        if (++index == column) {
            cell = c;
            break;
        }
    if (!cell) return {};
    const auto span = story_.SpanOf(cell);
    if (!span || span->second <= span->first) return {};
    std::string text = story_.Text(span->first, span->second - 1, {});
    // Paragraphs inside one cell read as one line of words.
    for (auto& c : text)
        if (c == '\r' || c == '\a' || c == '\v') c = ' ';
    return text;
}

DocumentFormulaContext::DocumentFormulaContext(std::shared_ptr<word::detail::DocumentState> doc,
                                               word::detail::Story& story, pugi::xml_node fieldNode)
    : doc_(std::move(doc)), story_(story) {
    cell_ = Enclosing(fieldNode, "w:tc", story.Root());
    if (cell_) enclosing_ = std::make_unique<StoryTableCells>(story, cell_.parent().parent());
}

std::optional<fieldcalc::CellPosition> DocumentFormulaContext::OwnCell() const {
    if (ownCell_) return *ownCell_;
    ownCell_.emplace();
    if (!cell_) return std::nullopt;
    const auto row = cell_.parent();
    const auto& rows = story_.TableRows(row.parent());
    // A row inside a content control counts as the table's last, as it always has.
    const auto found = std::find(rows.begin(), rows.end(), row);
    const int rowIndex = static_cast<int>(found - rows.begin()) + (found == rows.end() ? 0 : 1);
    int columnIndex = 0;
    for (auto c : row.children("w:tc")) {
        ++columnIndex;
        if (c == cell_) break;
    }
    ownCell_->emplace(fieldcalc::CellPosition{rowIndex, columnIndex});
    return **ownCell_;
}

const fieldcalc::TableCells* DocumentFormulaContext::BookmarkedTable(std::string_view bookmark) const {
    if (const auto it = bookmarked_.find(bookmark); it != bookmarked_.end()) return it->second.get();
    try {
        const auto bookmarks = word::detail::DocumentBookmarks(doc_);
        if (!bookmarks.Exists(bookmark)) return nullptr;
        const auto range = bookmarks.Item(bookmark).Range();
        auto& story = detail::RangeAccess::Of(range)->Live();
        pugi::xml_node table;
        // The table the bookmark starts in, or else the first table it encloses.
        if (const auto atom = story.AtomAt(range.Start())) table = Enclosing(atom->node, "w:tbl", story.Root());
        if (!table) {
            story.Visit(range.Start(), range.End(), [&](const word::detail::Atom& atom) {
                if (atom.start >= range.End()) return false;
                if (auto t = Enclosing(atom.node, "w:tbl", story.Root())) {
                    table = t;
                    return false;
                }
                return true;
            });
        }
        if (!table) return nullptr;
        auto cells = std::make_unique<StoryTableCells>(story, table);
        const auto* result = cells.get();
        bookmarked_.emplace(std::string(bookmark), std::move(cells));
        return result;
    } catch (const host::HostError&) {
        debuglog::Swallowed("DocumentFormulaContext.cpp: DocumentFormulaContext::BookmarkedTable");
        return nullptr;
    }
}

std::optional<std::string> DocumentFormulaContext::BookmarkText(std::string_view bookmark) const {
    try {
        const auto bookmarks = word::detail::DocumentBookmarks(doc_);
        if (!bookmarks.Exists(bookmark)) return std::nullopt;
        return bookmarks.Item(bookmark).Range().Text();
    } catch (const host::HostError&) {
        debuglog::Swallowed("DocumentFormulaContext.cpp: DocumentFormulaContext::BookmarkText");
        return std::nullopt;
    }
}

}  // namespace paperloom::word::fields
