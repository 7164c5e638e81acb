#include "host/word/fields/FieldMarks.h"

#include <algorithm>
#include <limits>

namespace paperloom::word::fields {

using word::detail::Atom;
using word::detail::AtomKind;

std::vector<FieldMarks> FieldsStartingIn(word::detail::Story& story, long from, long to) {
    std::vector<FieldMarks> found;
    std::vector<FieldMarks> open;
    // No end: the walk stops once the last field begun in the range has closed, so the cost
    // follows the fields, not the story after them.
    story.Visit(from, std::numeric_limits<long>::max(), [&](const Atom& atom) {
        if (atom.length == 0 || atom.start < from) return true;
        if (atom.kind == AtomKind::FieldBegin) {
            if (atom.start >= to && open.empty()) return false;
            FieldMarks marks;
            marks.begin = atom.start;
            marks.beginMark = atom.node;
            marks.depth = static_cast<int>(open.size());
            open.push_back(marks);
        } else if (atom.kind == AtomKind::FieldSeparator) {
            if (!open.empty() && !open.back().separator) open.back().separator = atom.start;
        } else if (atom.kind == AtomKind::FieldEnd) {
            // An end whose begin lies before `from` closes nothing we track.
            if (open.empty()) return true;
            FieldMarks marks = open.back();
            open.pop_back();
            marks.end = atom.start;
            if (marks.begin < to) found.push_back(marks);
            if (open.empty() && atom.start >= to) return false;
        } else if (open.empty() && atom.start >= to) {
            return false;
        }
        return true;
    }, false);  // marks only: whether text is hidden is not asked
    std::sort(found.begin(), found.end(), [](const FieldMarks& a, const FieldMarks& b) { return a.begin < b.begin; });
    return found;
}

std::optional<FieldMarks> FirstFieldIn(word::detail::Story& story, long from, long to) {
    std::optional<long> first;
    story.Visit(from, to, [&](const Atom& atom) {
        if (atom.kind == AtomKind::FieldBegin && atom.start >= from && atom.start < to) {
            first = atom.start;
            return false;
        }
        return true;
    }, false);
    if (!first) return std::nullopt;
    auto fields = FieldsStartingIn(story, *first, *first + 1);
    if (fields.empty()) return std::nullopt;
    fields.front().depth = 0;
    return fields.front();
}

std::optional<FieldMarks> FieldAround(word::detail::Story& story, long pos) {
    const auto atom = story.AtomAt(pos);
    if (!atom || !atom->paragraph) return std::nullopt;
    const auto paragraphStart = story.PositionOf(atom->paragraph);
    if (!paragraphStart || *paragraphStart >= pos) return std::nullopt;
    std::optional<FieldMarks> around;
    for (const auto& field : FieldsStartingIn(story, *paragraphStart, pos))
        if (field.begin < pos && pos <= field.end) around = field;  // later ones lie inside
    return around;
}

std::vector<FieldMarks> ChildFields(word::detail::Story& story, long from, long to) {
    auto all = FieldsStartingIn(story, from, to);
    std::vector<FieldMarks> children;
    for (const auto& field : all)
        if (field.depth == 0 && field.end < to) children.push_back(field);
    return children;
}

bool NormaliseCodeRuns(word::detail::Story& story, const FieldMarks& field) {
    std::vector<pugi::xml_node> texts;
    bool nested = false;
    int depth = 0;
    std::vector<bool> inCode{true};
    story.Visit(field.CodeStart(), field.CodeEnd(), [&](const Atom& atom) {
        if (atom.start < field.CodeStart() || atom.start >= field.CodeEnd() || atom.length == 0) return true;
        switch (atom.kind) {
            case AtomKind::FieldBegin: ++depth; inCode.push_back(true); nested = true; break;
            case AtomKind::FieldSeparator: if (depth > 0) inCode.back() = false; break;
            case AtomKind::FieldEnd: if (depth > 0) { --depth; inCode.pop_back(); } break;
            case AtomKind::Text:
                if (inCode.back() && std::string_view(atom.node.name()) == "w:t") texts.push_back(atom.node);
                break;
            default: break;
        }
        return true;
    });
    for (auto node : texts) node.set_name("w:instrText");
    return nested;
}

}  // namespace paperloom::word::fields
