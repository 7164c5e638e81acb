#include "host/word/Range.h"

#include "host/word/Bookmarks.h"
#include "host/word/Document.h"
#include "host/word/detail/DocumentState.h"
#include "host/word/detail/FormattedCopy.h"
#include "host/word/Table.h"
#include "host/word/WordError.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word {

using detail::Atom;
using detail::AtomKind;

namespace {

detail::TextOptions Options(const detail::RangeData& data) {
    return {data.includeHidden || data.doc->ShowHiddenText(), data.includeFieldCodes, data.enclosingFields};
}

// The w:t of a paragraph's first run holding exactly `atom`, as xml::TextReplaceableInPlace
// says: every cell of a detail table is written so for every record (and the hidden settings
// before a cell's text), and the long way splits and measures its paragraph twice.
pugi::xml_node FirstRunText(const Atom& atom, std::string_view text) {
    if (atom.kind != AtomKind::Text || atom.fieldDepth != 0 || !xml::Is(atom.node, "w:t")) return {};
    const auto t = atom.node;
    if (t.parent().parent() != atom.paragraph || !xml::TextReplaceableInPlace(t, text) ||
        xml::Utf16Length(t.child_value()) != atom.length)
        return {};
    return t;
}

}  // namespace

// --- Font -------------------------------------------------------------------------------

long Font::Hidden() const {
    auto& story = data_->Live();
    bool any = false;
    bool all = true;
    story.Visit(data_->span->start, data_->span->end, [&](const Atom& atom) {
        if (atom.length == 0 || atom.kind == AtomKind::RowEnd) return true;
        if (atom.start + atom.length <= data_->span->start || atom.start >= data_->span->end) return true;
        if (atom.hidden) any = true;
        else all = false;
        return !(any && !all);
    });
    if (!any) return wdFalse;
    return all ? wdTrue : wdUndefined;
}

void Font::SetHidden(bool hidden) {
    data_->Live().SetHidden(data_->span->start, data_->span->end, hidden);
    data_->doc->Changed();
}

// --- TextRetrievalMode ------------------------------------------------------------------

bool TextRetrievalMode::IncludeHiddenText() const { return data_->includeHidden; }
void TextRetrievalMode::SetIncludeHiddenText(bool include) { data_->includeHidden = include; }
bool TextRetrievalMode::IncludeFieldCodes() const { return data_->includeFieldCodes; }
void TextRetrievalMode::SetIncludeFieldCodes(bool include) { data_->includeFieldCodes = include; }

// --- Find -------------------------------------------------------------------------------

long FindFont::Hidden() const {
    if (!data_->findHidden) return wdUndefined;
    return *data_->findHidden ? wdTrue : wdFalse;
}

void FindFont::SetHidden(bool hidden) { data_->findHidden = hidden; }

void Find::ClearFormatting() {
    data_->findHidden.reset();
    data_->span->limit.reset();
}

void Find::SetText(std::string_view text) { data_->findText = text; }
std::string Find::Text() const { return data_->findText; }

bool Find::Execute() {
    auto& story = data_->Live();
    auto& span = *data_->span;
    // A fresh search covers the range; after a hit it goes on from the end of the hit up to
    // where the first search ended.
    long searchFrom = span.end;
    if (!span.limit) {
        span.limit = span.end;
        searchFrom = span.start;
    }
    const long to = *span.limit;
    if (searchFrom >= to) {
        span.limit.reset();
        return false;
    }
    const bool byText = !data_->findText.empty();
    if (byText) {
        // Text search over what Text would show, formatting ignored unless asked for.
        const auto options = detail::TextOptions{true, false};
        std::vector<std::pair<long, std::string>> chars;  // position, character
        story.Visit(searchFrom, to, [&](const Atom& atom) {
            if (atom.length == 0 || atom.start >= to) return true;
            if (data_->findHidden && atom.hidden != *data_->findHidden) return true;
            if (atom.fieldCode && !options.includeFieldCodes) return true;
            if (atom.kind == AtomKind::Text) {
                for (long i = std::max(0L, searchFrom - atom.start); i < atom.length && atom.start + i < to; ++i) {
                    const auto b = xml::Utf8Offset(atom.text, i);
                    const auto e = xml::Utf8Offset(atom.text, i + 1);
                    chars.emplace_back(atom.start + i, std::string(atom.text.substr(b, e - b)));
                }
            } else {
                chars.emplace_back(atom.start, std::string(atom.text.substr(0, 1)));
            }
            return true;
        });
        std::string flat;
        std::vector<long> at;
        for (const auto& [pos, c] : chars) {
            for (char ch : c) {
                flat.push_back(ch);
                at.push_back(pos);
            }
        }
        const auto hit = flat.find(data_->findText);
        if (hit == std::string::npos) {
            span.limit.reset();
            return false;
        }
        const auto last = hit + data_->findText.size() - 1;
        span.start = at[hit];
        long endPos = at[last] + 1;
        for (const auto& [pos, c] : chars)
            if (pos == at[last]) endPos = pos + (static_cast<unsigned char>(c[0]) >= 0xF0 ? 2 : 1);
        span.end = endPos;
        return true;
    }
    if (!data_->findHidden) {
        span.limit.reset();
        return false;
    }
    const bool wanted = *data_->findHidden;
    long hitStart = -1;
    long hitEnd = -1;
    story.Visit(searchFrom, to, [&](const Atom& atom) {
        if (atom.length == 0 || atom.kind == AtomKind::RowEnd) return hitStart < 0;
        const long s = std::max(atom.start, searchFrom);
        const long e = std::min(atom.start + atom.length, to);
        if (s >= e) return true;
        if (atom.hidden != wanted) return hitStart < 0;
        if (hitStart < 0) hitStart = s;
        hitEnd = e;
        // A found stretch ends with a paragraph mark.
        return atom.kind != AtomKind::ParagraphMark && atom.kind != AtomKind::CellEnd;
    });
    if (hitStart < 0) {
        span.limit.reset();
        return false;
    }
    span.start = hitStart;
    span.end = hitEnd;
    return true;
}

// --- Characters -------------------------------------------------------------------------

long Characters::Count() const {
    data_->Live();
    return data_->span->end - data_->span->start;
}

Range Characters::Item(long index) const {
    auto& story = data_->Live();
    if (index < 1 || index > Count()) throw NoSuchMember();
    const long pos = data_->span->start + index - 1;
    return Range(detail::MakeRange(data_->doc, story, pos, pos + 1));
}

Range Characters::First() const { return Item(1); }
Range Characters::Last() const { return Item(Count()); }

// --- Range ------------------------------------------------------------------------------

std::string Range::Text() const {
    auto& story = data_->Live();
    return story.Text(data_->span->start, data_->span->end, Options(*data_));
}

void Range::SetText(std::string_view text) {
    auto& story = data_->Live();
    auto& span = *data_->span;
    // The new text looks like the first character it replaces.
    pugi::xml_document keep;
    pugi::xml_node look;
    if (span.end > span.start) {
        const auto atom = story.AtomAt(span.start);
        if (atom && atom->start == span.start && atom->length == span.end - span.start)
            if (const auto t = FirstRunText(*atom, text)) {
                span.end = span.start + story.ReplaceNodeText(t, span.start, atom->length, text);
                span.limit.reset();
                data_->doc->Changed();
                return;
            }
        const auto rPr = atom && atom->kind == AtomKind::Text ? atom->node.parent().child("w:rPr")
                                                              : story.FormattingAt(span.start);
        if (rPr) look = keep.append_copy(rPr);
    }
    story.Delete(span.start, span.end);
    const long pos = story.ClampInsert(span.start);
    const long inserted = story.InsertText(pos, text, look);
    span.start = pos;
    span.end = pos + inserted;
    span.limit.reset();
    data_->doc->Changed();
}

void Range::SetFormattedText(const Range& source) { CopyFormatted(source, false); }

bool Range::SetFormattedTextAsResults(const Range& source) { return CopyFormatted(source, true); }

bool Range::CopyFormatted(const Range& source, bool asResults) {
    auto& story = data_->Live();
    auto& from = source.data_->Live();
    // Text boxes edited in the source go into the copy in both their forms alike.
    source.data_->doc->SyncTextBoxCopies();
    // Into another document the copy is made in the tree it goes into, and moved into place
    // from there instead of copied a second time. That tree's bookmark names are gathered
    // first: gathering them reads the whole tree, which must not see the copy on its way.
    pugi::xml_node home;
    if (source.data_->doc != data_->doc) {
        data_->doc->BookmarkNameUsed({});
        home = story.Root().root();
    }
    const auto& sourceSpan = *source.data_->span;
    auto fragment = from.Extract(sourceSpan.start, sourceSpan.end, home);
    // Only a whole story's copy holds exactly the fields the source range has, whole.
    asResults = asResults && sourceSpan.start == 0 && sourceSpan.end == from.Length();
    std::vector<pugi::xml_node> fieldMarks;
    detail::PrepareFragment(fragment, *source.data_->doc, from.Part(), *data_->doc, story.Part(),
                            asResults ? &fieldMarks : nullptr);
    const bool shown = asResults && detail::ShowFieldResults(fragment, fieldMarks);
    auto& span = *data_->span;
    story.Delete(span.start, span.end);
    const long pos = story.ClampInsert(span.start);
    const long inserted = story.InsertFragment(pos, fragment);
    span.start = pos;
    span.end = pos + inserted;
    span.limit.reset();
    data_->doc->Changed();
    return shown;
}

Range Range::Duplicate() const {
    auto& story = data_->Live();
    auto copy = detail::MakeRange(data_->doc, story, data_->span->start, data_->span->end);
    copy->includeHidden = data_->includeHidden;
    copy->includeFieldCodes = data_->includeFieldCodes;
    copy->enclosingFields = data_->enclosingFields;
    return Range(copy);
}

long Range::Start() const { return data_->span->start; }
long Range::End() const { return data_->span->end; }

void Range::SetStart(long start) { SetRange(start, std::max(start, data_->span->end)); }
void Range::SetEnd(long end) { SetRange(std::min(end, data_->span->start), end); }

void Range::SetRange(long start, long end) {
    auto& story = data_->Live();
    const long length = story.Length();
    start = std::clamp(start, 0L, length);
    end = std::clamp(end, 0L, length);
    if (end < start) std::swap(start, end);
    data_->span->start = start;
    data_->span->end = end;
    data_->span->limit.reset();
}

long Range::StoryLength() const { return data_->Live().Length(); }
long Range::StoryType() const { return data_->Live().StoryType(); }

std::shared_ptr<Document> Range::Document() const { return data_->doc->Owner(); }

bool Range::InRange(const Range& other) const {
    return data_->story == other.data_->story && data_->span->start >= other.data_->span->start &&
           data_->span->end <= other.data_->span->end;
}

bool Range::IsEqual(const Range& other) const {
    return data_->story == other.data_->story && data_->span->start == other.data_->span->start &&
           data_->span->end == other.data_->span->end;
}

void Range::Collapse(long direction) {
    data_->Live();
    if (direction == wdCollapseStart) data_->span->end = data_->span->start;
    else data_->span->start = data_->span->end;
    data_->span->limit.reset();
}

void Range::InsertBefore(std::string_view text) {
    auto& story = data_->Live();
    const long pos = story.ClampInsert(data_->span->start);
    story.InsertText(pos, text);
    data_->span->start = pos;
    data_->doc->Changed();
}

void Range::InsertAfter(std::string_view text) {
    auto& story = data_->Live();
    auto& span = *data_->span;
    const long oldStart = span.start;
    long pos = story.ClampInsert(span.end);
    // A range ending with a cell's (or row's) mark takes the text inside, before that mark.
    if (span.end > span.start && pos == span.end) {
        const auto last = story.AtomAt(span.end - 1);
        if (last && (last->kind == detail::AtomKind::CellEnd || last->kind == detail::AtomKind::RowEnd))
            pos = span.end - 1;
    }
    const long inserted = story.InsertText(pos, text);
    span.start = std::min(oldStart, pos);
    span.end = std::max(span.end, pos + inserted);
    data_->doc->Changed();
}

void Range::InsertBreak(long type) {
    auto& story = data_->Live();
    switch (type) {
    case wdPageBreak: SetText("\f"); return;
    case wdLineBreak: SetText("\v"); return;
    case wdColumnBreak: SetText("\x0e"); return;
    case wdSectionBreakNextPage:
    case wdSectionBreakContinuous: break;
    default: throw WordError(errnum::badParameter, "Bad parameter.");
    }
    SetText("\r");
    // The new paragraph mark ends a section with the properties of the document's last one.
    const auto mark = story.AtomAt(data_->span->start);
    auto body = story.Root();
    auto last = body.child("w:sectPr");
    if (!mark || !last || story.StoryType() != wdMainTextStory) return;
    auto pPr = xml::ParagraphProperties(mark->node, true);
    auto sect = xml::InsertOrdered(pPr, "w:sectPr", {"w:sectPr", "w:pPrChange"});
    for (auto child : last.children()) sect.append_copy(child);
    for (auto attr : last.attributes()) sect.append_attribute(attr.name()) = attr.value();
    auto typeNode = sect.child("w:type");
    if (!typeNode)
        typeNode = xml::InsertOrdered(sect, "w:type",
                                      {"w:type", "w:pgSz", "w:pgMar", "w:paperSrc", "w:pgBorders",
                                       "w:lnNumType", "w:pgNumType", "w:cols", "w:formProt", "w:vAlign",
                                       "w:noEndnote", "w:titlePg", "w:textDirection", "w:bidi",
                                       "w:rtlGutter", "w:docGrid", "w:printerSettings", "w:sectPrChange"});
    typeNode.remove_attributes();
    typeNode.append_attribute("w:val") = type == wdSectionBreakNextPage ? "nextPage" : "continuous";
}

long Range::Delete() {
    auto& story = data_->Live();
    auto& span = *data_->span;
    const long before = span.end - span.start;
    story.Delete(span.start, span.end);
    data_->doc->Changed();
    return before - (span.end - span.start);
}

}  // namespace paperloom::word
