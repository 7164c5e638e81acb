#include "host/word/fields/DocumentFormulaContext.h"

#include "host/HostError.h"
#include "host/word/Bookmarks.h"
#include "host/word/DocumentState.h"
#include "host/word/WordXml.h"

namespace paperloom::word::fields {

namespace {

pugi::xml_node Enclosing(pugi::xml_node node, std::string_view name, pugi::xml_node stop) {
    for (auto n = node; n && n != stop; n = n.parent())
        if (xml::Is(n, name)) return n;
    return {};
}

}  // namespace

StoryTableCells::StoryTableCells(word::detail::Story& story, pugi::xml_node table) : story_(story) {
    for (auto row : table.children("w:tr")) {
        auto& cells = rows_.emplace_back();
        for (auto cell : row.children("w:tc")) cells.push_back(cell);
    }
}

int StoryTableCells::RowCount() const { return static_cast<int>(rows_.size()); }

int StoryTableCells::ColumnCount(int row) const {
    if (row < 1 || row > RowCount()) return 0;
    return static_cast<int>(rows_[static_cast<std::size_t>(row) - 1].size());
}

std::string StoryTableCells::CellText(int row, int column) const {
    if (column < 1 || column > ColumnCount(row)) return {};
    const auto cell = rows_[static_cast<std::size_t>(row) - 1][static_cast<std::size_t>(column) - 1];
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
    : doc_(std::move(doc)) {
    const auto cell = Enclosing(fieldNode, "w:tc", story.Root());
    if (!cell) return;
    const auto row = cell.parent();
    const auto table = row.parent();
    enclosing_ = std::make_unique<StoryTableCells>(story, table);
    int rowIndex = 0;
    for (auto r : table.children("w:tr")) {
        ++rowIndex;
        if (r == row) break;
    }
    int columnIndex = 0;
    for (auto c : row.children("w:tc")) {
        ++columnIndex;
        if (c == cell) break;
    }
    ownCell_ = fieldcalc::CellPosition{rowIndex, columnIndex};
}

const fieldcalc::TableCells* DocumentFormulaContext::BookmarkedTable(std::string_view bookmark) const {
    if (const auto it = bookmarked_.find(bookmark); it != bookmarked_.end()) return it->second.get();
    try {
        const auto bookmarks = word::detail::DocumentBookmarks(doc_);
        if (!bookmarks.Exists(bookmark)) return nullptr;
        const auto range = bookmarks.Item(bookmark).Range();
        auto& story = range.Data()->Live();
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
        return nullptr;
    }
}

std::optional<std::string> DocumentFormulaContext::BookmarkText(std::string_view bookmark) const {
    try {
        const auto bookmarks = word::detail::DocumentBookmarks(doc_);
        if (!bookmarks.Exists(bookmark)) return std::nullopt;
        return bookmarks.Item(bookmark).Range().Text();
    } catch (const host::HostError&) {
        return std::nullopt;
    }
}

}  // namespace paperloom::word::fields
