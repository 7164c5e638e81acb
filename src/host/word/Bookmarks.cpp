#include "host/word/Bookmarks.h"

#include <algorithm>
#include <optional>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "host/word/detail/DocumentState.h"
#include "host/word/detail/RangeAccess.h"
#include "host/word/WordError.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word {
namespace {

struct Located {
    detail::Story* story = nullptr;
    pugi::xml_node start;
    pugi::xml_node end;
};

std::vector<detail::Story*> BookmarkStories(detail::DocumentState& doc) {
    std::vector<detail::Story*> stories{&doc.Main()};
    for (bool footer : {false, true})
        for (long index : {wdHeaderFooterPrimary, wdHeaderFooterFirstPage, wdHeaderFooterEvenPages})
            if (auto* story = doc.HeaderFooter(footer, index, false)) stories.push_back(story);
    return stories;
}

// A bookmark inside a text box belongs to the box's story, not to the story the box is
// anchored in (which counts no position inside it). Null for one in a legacy copy of a box
// saved in both forms: the drawing form is the live one.
detail::Story* OwningStory(detail::DocumentState& doc, detail::Story& story, pugi::xml_node marker) {
    for (auto n = marker.parent(); n && n != story.Root(); n = n.parent()) {
        if (xml::Is(n, "mc:Fallback")) return nullptr;
        if (xml::Is(n, "w:txbxContent")) {
            for (auto outer = n.parent(); outer && outer != story.Root(); outer = outer.parent())
                if (xml::Is(outer, "mc:Fallback")) return nullptr;
            return &doc.TextBox(n, story.Part());
        }
    }
    return &story;
}

std::optional<Located> Locate(detail::DocumentState& doc, std::string_view name) {
    const auto folded = detail::FoldCase(name);
    for (auto* anchorStory : BookmarkStories(doc)) {
        for (auto hit : anchorStory->Root().select_nodes(".//w:bookmarkStart")) {
            const auto start = hit.node();
            if (detail::FoldCase(start.attribute("w:name").value()) != folded) continue;
            auto* story = OwningStory(doc, *anchorStory, start);
            if (!story) continue;
            Located found{story, start, {}};
            const std::string id = start.attribute("w:id").value();
            for (auto end : story->Root().select_nodes(".//w:bookmarkEnd"))
                if (id == end.node().attribute("w:id").value()) {
                    found.end = end.node();
                    break;
                }
            return found;
        }
    }
    return std::nullopt;
}

host::HostError BadName() { return WordError(errnum::badBookmarkName, "Bad bookmark name."); }

}  // namespace

bool Bookmarks::IsValidName(std::string_view name) {
    int32_t i = 0;
    int32_t count = 0;
    const auto* bytes = reinterpret_cast<const uint8_t*>(name.data());
    const auto length = static_cast<int32_t>(name.size());
    while (i < length) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) return false;
        const bool letter = u_isalpha(c);
        if (count == 0 ? !letter : !(letter || u_isdigit(c) || c == '_')) return false;
        ++count;
    }
    return count >= 1 && count <= 40;
}

Range Bookmark::Range() const {
    doc_->CheckOpen();
    const auto found = Locate(*doc_, name_);
    if (!found) throw ObjectDeleted();
    const auto start = found->story->PositionOf(found->start);
    const auto end = found->end ? found->story->PositionOf(found->end) : start;
    if (!start || !end) throw ObjectDeleted();
    return word::Range(detail::MakeRange(doc_, *found->story, *start, std::max(*start, *end)));
}

void Bookmark::Delete() {
    doc_->CheckOpen();
    const auto found = Locate(*doc_, name_);
    if (!found) throw ObjectDeleted();
    if (found->end) found->story->RemoveMarker(found->end);
    found->story->RemoveMarker(found->start);
    doc_->BookmarkNameRemoved(detail::FoldCase(name_));
    doc_->Changed();
}

Bookmark Bookmark::Copy(std::string_view name) const {
    const auto range = Range();
    auto all = detail::DocumentBookmarks(doc_);
    return all.Add(name, range);
}

Bookmark Bookmarks::Item(long index) const {
    if (index < 1 || index > Count()) throw NoSuchMember();
    return Bookmark(doc_, names_[static_cast<std::size_t>(index) - 1]);
}

Bookmark Bookmarks::Item(std::string_view name) const {
    doc_->CheckOpen();
    const auto found = Locate(*doc_, name);
    if (!found) throw NoSuchMember();
    return Bookmark(doc_, found->start.attribute("w:name").value());
}

bool Bookmarks::Exists(std::string_view name) const {
    doc_->CheckOpen();
    return doc_->BookmarkNameUsed(detail::FoldCase(name));
}

Bookmark Bookmarks::Add(std::string_view name, const Range& range) {
    doc_->CheckOpen();
    if (!IsValidName(name)) throw BadName();
    const auto& data = detail::RangeAccess::Of(range);
    auto& story = data->Live();
    if (data->doc != doc_) throw WordError(errnum::badParameter, "The range belongs to another document.");
    const long start = data->span->start;
    const long end = data->span->end;
    if (Exists(name)) Bookmark(doc_, std::string(name)).Delete();

    const long id = doc_->NextBookmarkId();
    const std::string idText = std::to_string(id);
    auto startNode = story.InsertMarker(start, "w:bookmarkStart");
    startNode.append_attribute("w:id") = idText.c_str();
    startNode.append_attribute("w:name") = std::string(name).c_str();
    pugi::xml_node endNode;
    if (end == start) {
        endNode = startNode.parent().insert_child_after("w:bookmarkEnd", startNode);
        story.BlockInserted(endNode, start);
    } else {
        endNode = story.InsertMarker(end, "w:bookmarkEnd");
    }
    endNode.append_attribute("w:id") = idText.c_str();
    doc_->BookmarkNameAdded(detail::FoldCase(name));
    doc_->Changed();
    names_.emplace_back(name);
    return Bookmark(doc_, std::string(name));
}

namespace detail {

Bookmarks DocumentBookmarks(const std::shared_ptr<DocumentState>& doc) {
    std::vector<std::pair<std::string, std::string>> named;  // folded, name
    for (auto start : doc->Main().Root().select_nodes(".//w:bookmarkStart")) {
        const std::string name = start.node().attribute("w:name").value();
        if (name.empty() || name[0] == '_') continue;  // the word processor's own hidden marks
        named.emplace_back(FoldCase(name), name);
    }
    std::sort(named.begin(), named.end());
    std::vector<std::string> names;
    for (auto& [folded, name] : named) names.push_back(std::move(name));
    return Bookmarks(doc, std::move(names));
}

Bookmarks RangeBookmarks(const std::shared_ptr<RangeData>& range) {
    auto& story = range->Live();
    const long start = range->span->start;
    const long end = range->span->end;
    std::vector<std::pair<long, std::string>> found;
    std::map<std::string, std::pair<long, std::string>> open;  // id -> start, name
    // Only markers are read: the walk does not work out which text is hidden (a detail table's
    // first bookmark is looked for in every record's fill).
    story.Visit(start, end, [&](const Atom& atom) {
        if (atom.kind != AtomKind::Marker) return true;
        if (xml::Is(atom.node, "w:bookmarkStart")) {
            open[atom.node.attribute("w:id").value()] = {atom.start, atom.node.attribute("w:name").value()};
        } else if (const auto it = open.find(atom.node.attribute("w:id").value()); it != open.end()) {
            if (it->second.first >= start && atom.start <= end && !it->second.second.empty() &&
                it->second.second[0] != '_')
                found.emplace_back(it->second.first, it->second.second);
            open.erase(it);
        }
        return true;
    }, false);
    std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (auto& [pos, name] : found) names.push_back(std::move(name));
    return Bookmarks(range->doc, std::move(names));
}

}  // namespace detail

Bookmarks Range::Bookmarks() const { return detail::RangeBookmarks(data_); }

}  // namespace paperloom::word
