#include "host/word/detail/Story.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <unordered_map>

#include "host/word/WordError.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word::detail {
namespace {

// Element names compared by length first: the walk asks this of every node it passes, and a
// library string comparison per question was a fifth of a print run.
template <std::size_t N>
bool NameIs(std::string_view name, const char (&literal)[N]) {
    return name == std::string_view(literal, N - 1);
}

constexpr std::string_view kTab = "\t";
constexpr std::string_view kLineBreak = "\v";
constexpr std::string_view kPageBreak = "\f";
constexpr std::string_view kColumnBreak = "\x0e";
constexpr std::string_view kObject = "\x01";
constexpr std::string_view kNoteReference = "\x02";
constexpr std::string_view kNoBreakHyphen = "\x1e";
constexpr std::string_view kSoftHyphen = "\x1f";
constexpr std::string_view kSymbol = "(";
constexpr std::string_view kFieldBegin = "\x13";
constexpr std::string_view kFieldSeparator = "\x14";
constexpr std::string_view kFieldEnd = "\x15";
constexpr std::string_view kParagraphMark = "\r";
constexpr std::string_view kSectionMark = "\f";
constexpr std::string_view kCellMark = "\r\a";

bool IsBookmarkMarker(std::string_view name) {
    return NameIs(name, "w:bookmarkStart") || NameIs(name, "w:bookmarkEnd");
}

bool IsBookmarkMarker(pugi::xml_node n) { return IsBookmarkMarker(n.name()); }

// Inline (floating shapes anchored to the text take no position) or not.
bool IsInlineObject(pugi::xml_node object) {
    if (xml::Is(object, "w:drawing")) return static_cast<bool>(object.child("wp:inline"));
    if (xml::Is(object, "w:object")) return true;
    if (xml::Is(object, "w:pict")) {
        for (auto shape : object.children()) {
            const std::string_view style = shape.attribute("style").value();
            if (style.find("position:absolute") != std::string_view::npos) return false;
        }
        return true;
    }
    if (xml::Is(object, "mc:AlternateContent")) {
        auto choice = object.child("mc:Choice");
        auto branch = choice ? choice : object.child("mc:Fallback");
        auto inner = branch.first_child();
        return inner && IsInlineObject(inner);
    }
    return false;
}

// Content controls and custom XML wrap blocks, rows, cells and runs without adding to the
// text: the story looks through them to what they hold. Empty for every other node.
pugi::xml_node WrappedContent(pugi::xml_node node, std::string_view name) {
    if (NameIs(name, "w:sdt")) return node.child("w:sdtContent");
    if (NameIs(name, "w:customXml")) return node;
    return {};
}

pugi::xml_node WrappedContent(pugi::xml_node node) { return WrappedContent(node, node.name()); }

// Emits the atoms of blocks, paragraphs and runs in story order.
class Walker {
public:
    Walker(Story& story, const std::function<bool(const Atom&)>& visit) : story_(story), visit_(visit) {}

    // Whole table rows can be passed over by their cached length: when only lengths are
    // wanted, when they end before `position`, or when they do not hold `node`.
    void SkipLengthsOnly() { lengthsOnly_ = true; }
    // Measuring only: whether text is hidden is not worked out.
    void WithoutHidden() { hiddenWanted_ = false; }
    // Measuring only: no atom is made or visited at all (the visitor would take every one).
    void MeasureOnly() {
        hiddenWanted_ = false;
        measureOnly_ = true;
    }
    void SkipBefore(long position) { skipBefore_ = position; }
    // Cells may be passed over by their cached lengths, like rows (only for nodes of the
    // story: the cache is keyed by node, and scratch trees come and go).
    void CachedCells() { cachedCells_ = true; }
    // Atoms ending before `position` (and markers before it) are neither made nor visited: the
    // caller's visitor would pass them over. Their hidden flags are so never worked out.
    void QuietBefore(long position) { quietBefore_ = position; }
    // The walk ends where it meets `node` (a child of a run); Stopped() tells whether it did,
    // and the position then stands where the node starts.
    void StopAt(pugi::xml_node node) { stopAt_ = node; }
    bool Stopped() const { return stopped_; }
    void SkipAround(pugi::xml_node node) {
        for (auto n = node; n; n = n.parent()) seekAncestors_.push_back(n);
    }

    // Returns false when the visitor stopped the walk.
    bool Block(pugi::xml_node block, long& pos, pugi::xml_node cellLast) {
        const DepthGuard guard(depth_);
        const std::string_view name = block.name();
        if (NameIs(name, "w:p")) return Paragraph(block, pos, block == cellLast);
        if (NameIs(name, "w:tbl")) return Table(block, pos);
        if (NameIs(name, "w:tr")) return Row(block, pos);
        if (NameIs(name, "w:tc")) return Blocks(block, pos, LastParagraph(block));
        if (const auto content = WrappedContent(block, name)) return Blocks(content, pos, cellLast);
        if (IsBookmarkMarker(name)) return Marker(block, {}, pos, 0);
        return true;
    }

    // The walk's loops go from sibling to sibling: the XML library's child ranges cost several
    // calls into it per child, and the walk passes every node of what it measures.
    bool Blocks(pugi::xml_node container, long& pos, pugi::xml_node cellLast) {
        for (auto child = container.first_child(); child; child = child.next_sibling())
            if (child.type() == pugi::node_element && !Block(child, pos, cellLast)) return false;
        return true;
    }

private:
    static pugi::xml_node LastParagraph(pugi::xml_node container) {
        for (auto child = container.last_child(); child; child = child.previous_sibling()) {
            const std::string_view name = child.name();
            if (NameIs(name, "w:p")) return child;
            if (const auto content = WrappedContent(child, name))
                if (auto p = LastParagraph(content)) return p;
        }
        return {};
    }

    bool Holds(pugi::xml_node node) const {
        return std::find(seekAncestors_.begin(), seekAncestors_.end(), node) != seekAncestors_.end();
    }

    bool Rows(pugi::xml_node container, long& pos, bool holdsTarget) {
        for (auto child = container.first_child(); child; child = child.next_sibling()) {
            const std::string_view name = child.name();
            if (NameIs(name, "w:tr")) {
                bool skip = lengthsOnly_ || (holdsTarget && !Holds(child));
                if (!skip && skipBefore_ >= 0 && pos < skipBefore_) skip = pos + story_.RowLength(child) <= skipBefore_;
                if (skip) {
                    pos += story_.RowLength(child);
                    continue;
                }
                if (!Row(child, pos)) return false;
            } else if (const auto content = WrappedContent(child, name)) {
                if (!Rows(content, pos, holdsTarget)) return false;
            } else if (IsBookmarkMarker(name)) {
                if (!Marker(child, {}, pos, 0)) return false;
            }
        }
        return true;
    }

    bool Cells(pugi::xml_node container, long& pos, bool holdsTarget) {
        for (auto child = container.first_child(); child; child = child.next_sibling()) {
            const std::string_view name = child.name();
            if (NameIs(name, "w:tc")) {
                if (cachedCells_) {
                    bool skip = measureOnly_ || (holdsTarget && !Holds(child));
                    if (!skip && skipBefore_ >= 0 && pos < skipBefore_)
                        skip = pos + story_.CellLength(child) <= skipBefore_;
                    if (skip) {
                        pos += story_.CellLength(child);
                        continue;
                    }
                }
                if (!Blocks(child, pos, LastParagraph(child))) return false;
            } else if (const auto content = WrappedContent(child, name)) {
                if (!Cells(content, pos, holdsTarget)) return false;
            } else if (IsBookmarkMarker(name)) {
                if (!Marker(child, {}, pos, 0)) return false;
            }
        }
        return true;
    }

    bool Table(pugi::xml_node table, long& pos) {
        return Rows(table, pos, Holds(table) && seekAncestors_.front() != table);
    }

    bool Row(pugi::xml_node row, long& pos) {
        if (!Cells(row, pos, Holds(row) && seekAncestors_.front() != row)) return false;
        if (Quiet(pos, 1)) {
            pos += 1;
            return true;
        }
        Atom atom;
        atom.kind = AtomKind::RowEnd;
        atom.node = row;
        atom.start = pos;
        atom.length = 1;
        atom.text = kCellMark;
        pos += 1;
        return visit_(atom);
    }

    bool Paragraph(pugi::xml_node p, long& pos, bool cellEnd) {
        paragraph_ = p;
        paragraphStart_ = pos;
        if (!Inline(p, pos)) return false;
        if (Quiet(pos, 1)) {
            pos += 1;
            return true;
        }
        Atom atom;
        atom.kind = cellEnd ? AtomKind::CellEnd : AtomKind::ParagraphMark;
        atom.node = p;
        atom.paragraph = p;
        atom.start = pos;
        atom.length = 1;
        atom.paragraphOffset = pos - paragraphStart_;
        atom.hidden = hiddenWanted_ && story_.MarkHidden(p);
        atom.text = cellEnd ? kCellMark : (p.child("w:pPr").child("w:sectPr") ? kSectionMark : kParagraphMark);
        pos += 1;
        return visit_(atom);
    }

    bool Inline(pugi::xml_node container, long& pos) {
        const DepthGuard guard(depth_);
        for (auto child = container.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) continue;
            const std::string_view name = child.name();
            if (NameIs(name, "w:pPr")) continue;  // the commonest child that holds no text
            if (NameIs(name, "w:r")) {
                if (!Run(child, pos)) return false;
            } else if (NameIs(name, "w:hyperlink") || NameIs(name, "w:smartTag") || NameIs(name, "w:ins") ||
                       NameIs(name, "w:moveTo") || NameIs(name, "w:dir") || NameIs(name, "w:bdo")) {
                if (!Inline(child, pos)) return false;
            } else if (const auto content = WrappedContent(child, name)) {
                if (!Inline(content, pos)) return false;
            } else if (IsBookmarkMarker(name)) {
                if (!Marker(child, paragraph_, pos, 0)) return false;
            }
        }
        return true;
    }

    bool Marker(pugi::xml_node node, pugi::xml_node paragraph, long pos, long) {
        if (Quiet(pos, 0)) return true;
        Atom atom;
        atom.kind = AtomKind::Marker;
        atom.node = node;
        atom.paragraph = paragraph;
        atom.start = pos;
        atom.paragraphOffset = paragraph ? pos - paragraphStart_ : 0;
        return visit_(atom);
    }

    // Whether the atom at [pos, pos + length) goes unmade (see MeasureOnly, QuietBefore).
    bool Quiet(long pos, long length) const {
        return measureOnly_ ||
               (quietBefore_ >= 0 && (pos + length < quietBefore_ || (length > 0 && pos + length == quietBefore_)));
    }

    // `hidden` is the run's flag once worked out (-1 before): only atoms made need it.
    bool Emit(AtomKind kind, pugi::xml_node node, long& pos, long length, std::string_view text,
              pugi::xml_node run, int& hidden) {
        if (Quiet(pos, length)) {
            pos += length;
            return true;
        }
        if (hidden < 0) hidden = hiddenWanted_ && Hidden(run) ? 1 : 0;
        Atom atom;
        atom.kind = kind;
        atom.node = node;
        atom.paragraph = paragraph_;
        atom.start = pos;
        atom.length = length;
        atom.paragraphOffset = pos - paragraphStart_;
        atom.hidden = hidden == 1;
        // A field nested in another's code is code as a whole, its result included.
        for (std::size_t i = fields_.size(); i > 0; --i)
            if (fields_[i - 1]) {
                atom.codeDepth = static_cast<int>(i);
                break;
            }
        atom.fieldDepth = static_cast<int>(fields_.size());
        atom.fieldCode = kind == AtomKind::Text && atom.codeDepth > 0;
        atom.text = text;
        pos += length;
        return visit_(atom);
    }

    bool Run(pugi::xml_node run, long& pos) {
        int hidden = -1;
        for (auto child = run.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) continue;
            if (stopAt_ && child == stopAt_) {
                stopped_ = true;
                return false;
            }
            const std::string_view cname = child.name();
            if (NameIs(cname, "w:rPr")) continue;  // the commonest child that holds no text
            bool go = true;
            const bool code = NameIs(cname, "w:instrText");
            if (code || NameIs(cname, "w:t")) {
                const std::string_view text = child.text().get();
                if (text.empty()) continue;
                if (code && !fields_.empty()) fields_.back() = true;
                go = Emit(AtomKind::Text, child, pos, xml::Utf16Length(text), text, run, hidden);
            } else if (const std::string_view name = cname; name == "w:tab" || name == "w:ptab") {
                go = Emit(AtomKind::Char, child, pos, 1, kTab, run, hidden);
            } else if (name == "w:br") {
                const std::string_view type = child.attribute("w:type").value();
                go = Emit(AtomKind::Char, child, pos, 1,
                          type == "page" ? kPageBreak : type == "column" ? kColumnBreak : kLineBreak,
                          run, hidden);
            } else if (name == "w:cr") {
                go = Emit(AtomKind::Char, child, pos, 1, kLineBreak, run, hidden);
            } else if (name == "w:noBreakHyphen") {
                go = Emit(AtomKind::Char, child, pos, 1, kNoBreakHyphen, run, hidden);
            } else if (name == "w:softHyphen") {
                go = Emit(AtomKind::Char, child, pos, 1, kSoftHyphen, run, hidden);
            } else if (name == "w:sym") {
                go = Emit(AtomKind::Char, child, pos, 1, kSymbol, run, hidden);
            } else if (name == "w:footnoteReference" || name == "w:endnoteReference") {
                go = Emit(AtomKind::Char, child, pos, 1, kNoteReference, run, hidden);
            } else if (name == "w:drawing" || name == "w:pict" || name == "w:object" ||
                       name == "mc:AlternateContent") {
                if (IsInlineObject(child)) go = Emit(AtomKind::Char, child, pos, 1, kObject, run, hidden);
            } else if (name == "w:fldChar") {
                const std::string_view type = child.attribute("w:fldCharType").value();
                if (type == "begin") {
                    go = Emit(AtomKind::FieldBegin, child, pos, 1, kFieldBegin, run, hidden);
                    fields_.push_back(true);
                } else if (type == "separate") {
                    if (!fields_.empty()) fields_.back() = false;
                    go = Emit(AtomKind::FieldSeparator, child, pos, 1, kFieldSeparator, run, hidden);
                } else if (type == "end") {
                    if (!fields_.empty()) fields_.pop_back();
                    go = Emit(AtomKind::FieldEnd, child, pos, 1, kFieldEnd, run, hidden);
                }
            }
            if (!go) return false;
        }
        return true;
    }

    // Whether a run is hidden; its paragraph's style is looked at once per paragraph.
    bool Hidden(pugi::xml_node run) {
        const int direct = story_.RunHiddenByItself(run);
        if (direct >= 0) return direct == 1;
        if (!paragraph_ || run.parent() != paragraph_) return story_.RunHidden(run);
        if (styledParagraph_ != paragraph_) {
            styledParagraph_ = paragraph_;
            paragraphStyleHidden_ = story_.ParagraphStyleHidden(paragraph_);
        }
        return paragraphStyleHidden_;
    }

    // Tables in cells and containers in paragraphs nest; a hostile file must not exhaust the
    // stack.
    struct DepthGuard {
        explicit DepthGuard(int& depth) : depth_(depth) {
            if (++depth_ > 256) {
                --depth_;
                throw WordError(errnum::commandNotAvailable, "The document nests tables or text too deeply.");
            }
        }
        ~DepthGuard() { --depth_; }
        DepthGuard(const DepthGuard&) = delete;
        DepthGuard& operator=(const DepthGuard&) = delete;
        int& depth_;
    };

    Story& story_;
    const std::function<bool(const Atom&)>& visit_;
    int depth_ = 0;
    bool lengthsOnly_ = false;
    bool cachedCells_ = false;
    bool hiddenWanted_ = true;
    bool measureOnly_ = false;
    long quietBefore_ = -1;
    pugi::xml_node styledParagraph_;
    bool paragraphStyleHidden_ = false;
    long skipBefore_ = -1;
    pugi::xml_node stopAt_;
    bool stopped_ = false;
    std::vector<pugi::xml_node> seekAncestors_;
    pugi::xml_node paragraph_;
    long paragraphStart_ = 0;
    std::vector<bool> fields_;  // per open field: still in its code
};

// w:fldSimple becomes begin/code/separator/result/end runs, so that every field has the same
// shape and its code can be edited by position.
void NormaliseSimpleFields(pugi::xml_node root) {
    std::vector<pugi::xml_node> simple;
    for (auto node : root.select_nodes(".//w:fldSimple")) simple.push_back(node.node());
    for (auto field = simple.rbegin(); field != simple.rend(); ++field) {
        auto f = *field;
        auto parent = f.parent();
        pugi::xml_node firstRun = f.child("w:r");
        auto makeRun = [&](const char* what) {
            auto run = parent.insert_child_before("w:r", f);
            if (auto rPr = firstRun.child("w:rPr")) run.append_copy(rPr);
            return run.append_child(what);
        };
        makeRun("w:fldChar").append_attribute("w:fldCharType") = "begin";
        auto instr = makeRun("w:instrText");
        instr.append_attribute("xml:space") = "preserve";
        xml::SetText(instr, f.attribute("w:instr").value());
        makeRun("w:fldChar").append_attribute("w:fldCharType") = "separate";
        while (auto child = f.first_child()) parent.insert_move_before(child, f);
        makeRun("w:fldChar").append_attribute("w:fldCharType") = "end";
        parent.remove_child(f);
    }
}

pugi::xml_node FirstContentChild(pugi::xml_node node) {
    for (auto child = node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && !xml::IsPropertyElement(child)) return child;
    return {};
}

bool HasContentBefore(pugi::xml_node node) {
    for (auto s = node.previous_sibling(); s; s = s.previous_sibling())
        if (s.type() == pugi::node_element && !xml::IsPropertyElement(s)) return true;
    return false;
}

// A copy of paragraph properties for a new paragraph: never the section break it may end.
void CopyParagraphProperties(pugi::xml_node from, pugi::xml_node toParagraph) {
    auto pPr = from.child("w:pPr");
    if (auto old = toParagraph.child("w:pPr")) toParagraph.remove_child(old);
    if (!pPr) return;
    auto copy = toParagraph.prepend_copy(pPr);
    if (auto sect = copy.child("w:sectPr")) copy.remove_child(sect);
    if (auto change = copy.child("w:pPrChange")) copy.remove_child(change);
}

// Run properties fit for new text: revision marks are not copied.
void CleanRunProperties(pugi::xml_node rPr) {
    for (const char* name : {"w:ins", "w:del", "w:moveFrom", "w:moveTo", "w:rPrChange"})
        while (auto n = rPr.child(name)) rPr.remove_child(n);
}

}  // namespace

Story::Story(StoryHost& host, std::string part, pugi::xml_node root, long storyType)
    : host_(host), part_(std::move(part)), root_(root), storyType_(storyType) {
    NormaliseSimpleFields(root_);
}

bool Story::RunHidden(pugi::xml_node run) {
    const int direct = RunHiddenByItself(run);
    if (direct >= 0) return direct == 1;
    auto p = run.parent();
    while (p && !xml::Is(p, "w:p")) p = p.parent();
    return ParagraphStyleHidden(p);
}

int Story::RunHiddenByItself(pugi::xml_node run) {
    // One pass over the run's properties: this is asked of every run on every walk.
    pugi::xml_node vanish;
    pugi::xml_node style;
    for (auto property = run.child("w:rPr").first_child(); property; property = property.next_sibling()) {
        const std::string_view name = property.name();
        if (!vanish && NameIs(name, "w:vanish")) vanish = property;
        else if (!style && NameIs(name, "w:rStyle")) style = property;
    }
    const int direct = xml::OnOff(vanish);
    if (direct >= 0) return direct;
    if (style && host_.StyleHidden(style.attribute("w:val").value())) return 1;
    return -1;
}

bool Story::ParagraphStyleHidden(pugi::xml_node paragraph) {
    if (auto pStyle = paragraph.child("w:pPr").child("w:pStyle"))
        return host_.StyleHidden(pStyle.attribute("w:val").value());
    return false;
}

bool Story::MarkHidden(pugi::xml_node paragraph) {
    const auto pPr = paragraph.child("w:pPr");
    const int direct = xml::OnOff(pPr.child("w:rPr").child("w:vanish"));
    if (direct >= 0) return direct == 1;
    if (auto pStyle = pPr.child("w:pStyle")) return host_.StyleHidden(pStyle.attribute("w:val").value());
    return false;
}

long Story::BlockLength(pugi::xml_node block) {
    if (xml::Is(block, "w:tc")) return CellLength(block);
    long pos = 0;
    const std::function<bool(const Atom&)> none = [](const Atom&) { return true; };
    Walker walker(*this, none);
    walker.MeasureOnly();
    walker.CachedCells();
    if (!xml::Is(block, "w:tr")) walker.SkipLengthsOnly();
    walker.Block(block, pos, {});
    return pos;
}

long Story::RowLength(pugi::xml_node row) {
    if (const long* known = lengths_.Find(row)) return *known;
    long pos = 0;
    const std::function<bool(const Atom&)> none = [](const Atom&) { return true; };
    Walker walker(*this, none);
    walker.MeasureOnly();
    walker.CachedCells();
    walker.Block(row, pos, {});
    lengths_.Store(row, pos);
    return pos;
}

long Story::CellLength(pugi::xml_node cell) {
    if (const long* known = lengths_.Find(cell)) return *known;
    long pos = 0;
    const std::function<bool(const Atom&)> none = [](const Atom&) { return true; };
    Walker walker(*this, none);
    walker.MeasureOnly();
    walker.CachedCells();
    walker.Block(cell, pos, {});
    lengths_.Store(cell, pos);
    return pos;
}

void Story::ForgetRowsAround(pugi::xml_node node) {
    for (auto n = node; n && n != root_; n = n.parent())
        if (xml::Is(n, "w:tr") || xml::Is(n, "w:tc")) lengths_.Forget(n);
}

bool Story::IsSplitTable(pugi::xml_node node) const {
    if (!xml::Is(node, "w:tbl") || node.parent() != root_) return false;
    for (auto child = node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element) return true;
    return false;
}

pugi::xml_node Story::FirstUnitFrom(pugi::xml_node node) const {
    while (node && node.type() != pugi::node_element) node = node.next_sibling();
    if (!IsSplitTable(node)) return node;
    auto child = node.first_child();
    while (child.type() != pugi::node_element) child = child.next_sibling();
    return child;
}

pugi::xml_node Story::LastUnitOf(pugi::xml_node node) const {
    if (!IsSplitTable(node)) return node;
    auto child = node.last_child();
    while (child.type() != pugi::node_element) child = child.previous_sibling();
    return child;
}

pugi::xml_node Story::NextUnit(pugi::xml_node unit) const {
    if (!unit) return FirstUnitFrom(root_.first_child());
    auto next = unit.next_sibling();
    while (next && next.type() != pugi::node_element) next = next.next_sibling();
    const bool inTable = unit.parent() != root_;
    if (next) return inTable ? next : FirstUnitFrom(next);
    return inTable ? FirstUnitFrom(unit.parent().next_sibling()) : pugi::xml_node{};
}

pugi::xml_node Story::PreviousUnit(pugi::xml_node node) const {
    auto previous = node.previous_sibling();
    while (previous && previous.type() != pugi::node_element) previous = previous.previous_sibling();
    const bool inTable = node.parent() != root_;
    if (previous) return inTable ? previous : LastUnitOf(previous);
    return inTable ? PreviousUnit(node.parent()) : pugi::xml_node{};
}

pugi::xml_node Story::UnitOf(pugi::xml_node node) const {
    for (auto n = node; n && n != root_; n = n.parent()) {
        const auto parent = n.parent();
        if (parent == root_) return IsSplitTable(n) ? pugi::xml_node{} : n;
        if (xml::Is(parent, "w:tbl") && parent.parent() == root_) return n;
    }
    return {};
}

std::optional<std::size_t> Story::UnitIndexOf(pugi::xml_node unit) {
    if (!unit) return std::nullopt;
    if (const auto found = index_.Find(unit)) return found;
    while (!complete_) {
        EnsureBlock(index_.EndOfAll());
        if (const auto found = index_.Find(unit)) return found;
    }
    return std::nullopt;
}

pugi::xml_node Story::NodeAfter(std::size_t index) const {
    return index + 1 < index_.Size() ? index_.Node(index + 1) : pugi::xml_node{};
}

bool Story::EnsureBlock(long pos) {
    if (!root_) throw ObjectDeleted();
    while (!complete_ && index_.EndOfAll() <= pos) {
        const auto next = NextUnit(index_.Empty() ? pugi::xml_node{} : index_.Node(index_.Size() - 1));
        if (!next) {
            complete_ = true;
            break;
        }
        index_.Append(next, BlockLength(next));
    }
    return index_.EndOfAll() > pos;
}

std::size_t Story::BlockIndex(long pos) {
    if (index_.EndOfAll() <= pos) {
        if (!complete_) EnsureBlock(pos);
        if (index_.Empty()) return 0;
        if (index_.EndOfAll() <= pos) return index_.Size() - 1;
    }
    return index_.FirstEndingAfter(pos);
}

void Story::EnsureAll() {
    if (!root_) throw ObjectDeleted();
    while (!complete_) EnsureBlock(index_.EndOfAll());
}

void Story::Invalidate(std::size_t index) {
    ++editStamp_;
    index_.Truncate(index);
    complete_ = false;
}

void Story::Reindex(std::size_t first, pugi::xml_node after) {
    edited_ = true;
    ++editStamp_;
    first = std::min(first, index_.Size());
    const auto last = after ? index_.Find(after) : std::nullopt;
    if (!last || *last < first) {
        Invalidate(first);
        return;
    }
    const long start = first == 0 ? 0 : index_.End(first - 1);
    std::vector<std::pair<pugi::xml_node, long>> units;
    for (auto unit = NextUnit(first == 0 ? pugi::xml_node{} : index_.Node(first - 1)); unit != after;
         unit = NextUnit(unit)) {
        if (!unit) {  // `after` left the story after all: measure again from `first` on demand
            Invalidate(first);
            return;
        }
        units.emplace_back(unit, BlockLength(unit));
    }
    index_.Replace(first, *last, start, units);
}

long Story::Length() {
    EnsureAll();
    return index_.EndOfAll();
}

long Story::ClampInsert(long pos) {
    if (!root_) throw ObjectDeleted();
    if (pos < 0) return 0;
    // Measured only up to `pos`: an edit in the middle of a long story does not re-measure
    // the rest.
    if (EnsureBlock(pos)) return pos;
    // Nothing goes after the story's last paragraph mark: text added at the end of the
    // story lands before it, as in the word processor.
    return std::max(0L, Length() - 1);
}

void Story::Visit(long start, long end, const std::function<bool(const Atom&)>& visit, bool withHidden) {
    if (!root_) throw ObjectDeleted();
    if (start < 0) start = 0;
    auto index = BlockIndex(start);
    // Markers standing right at `start` live in earlier zero-length units.
    while (index > 0 && index <= index_.Size() && index_.End(index - 1) >= start && index_.Length(index - 1) == 0)
        --index;
    bool stopped = false;
    const std::function<bool(const Atom&)> filter = [&](const Atom& atom) {
        if (atom.start > end || (atom.start == end && atom.length > 0 && end > start)) {
            stopped = true;
            return false;
        }
        if (atom.start + atom.length < start || (atom.length > 0 && atom.start + atom.length == start))
            return true;
        if (!visit(atom)) {
            stopped = true;
            return false;
        }
        return true;
    };
    Walker walker(*this, filter);
    walker.CachedCells();
    if (!withHidden) walker.WithoutHidden();
    walker.SkipBefore(start);
    if (end >= start) walker.QuietBefore(start);
    for (;; ++index) {
        if (index >= index_.Size()) {
            if (complete_) break;
            EnsureBlock(index_.EndOfAll());
            if (index >= index_.Size()) break;
        }
        if (index_.Start(index) > end) break;
        long pos = index_.Start(index);
        walker.Block(index_.Node(index), pos, {});
        if (stopped) break;
    }
}

pugi::xml_node Story::UnitAt(long pos) {
    if (pos < 0 || !EnsureBlock(pos)) return {};
    return index_.Node(BlockIndex(pos));
}

std::optional<Atom> Story::AtomAt(long pos) {
    std::optional<Atom> found;
    Visit(
        pos, pos + 1,
        [&](const Atom& atom) {
            if (atom.length > 0 && atom.start <= pos && pos < atom.start + atom.length) {
                found = atom;
                return false;
            }
            return true;
        },
        false);
    return found;
}

std::string Story::Text(long start, long end, TextOptions options) {
    std::string out;
    if (end <= start) return out;
    Visit(start, end, [&](const Atom& atom) {
        if (atom.length == 0) return true;
        if (atom.hidden && !options.includeHidden) return true;
        const bool codePart = (atom.fieldCode && atom.codeDepth > options.enclosingFields) || atom.kind == AtomKind::FieldBegin ||
                              atom.kind == AtomKind::FieldSeparator || atom.kind == AtomKind::FieldEnd;
        if (codePart && !options.includeFieldCodes) return true;
        if (atom.kind == AtomKind::Text) {
            const long from = std::max(start, atom.start) - atom.start;
            const long to = std::min(end, atom.start + atom.length) - atom.start;
            const auto b = xml::Utf8Offset(atom.text, from);
            const auto e = xml::Utf8Offset(atom.text, to);
            out.append(atom.text.substr(b, e - b));
        } else {
            out.append(atom.text);
        }
        return true;
    });
    return out;
}

std::optional<std::pair<long, long>> Story::Locate(pugi::xml_node node, bool startOnly) {
    if (IsSplitTable(node)) {
        const auto first = UnitIndexOf(FirstUnitFrom(node.first_child()));
        const auto last = UnitIndexOf(LastUnitOf(node));
        if (!first || !last) return std::nullopt;
        return std::make_pair(index_.Start(*first), index_.End(*last));
    }
    const auto unit = UnitOf(node);
    const auto index = UnitIndexOf(unit);
    if (!index) return std::nullopt;
    // A unit that is a paragraph, a row or a marker spans its indexed extent.
    if (node == unit && (xml::Is(node, "w:p") || xml::Is(node, "w:tr") || IsBookmarkMarker(node)))
        return std::make_pair(index_.Start(*index), index_.End(*index));
    // A cell of a row that is a unit (every cell a table fill reads or writes): it starts where
    // the cells before it end, measured without making atoms.
    if (xml::Is(node, "w:tc") && node.parent() == unit && xml::Is(unit, "w:tr")) {
        if (const long length = BlockLength(node); length > 0) {
            long start = index_.Start(*index);
            for (auto before = unit.first_child(); before != node; before = before.next_sibling())
                if (before.type() == pugi::node_element) start += BlockLength(before);
            return std::make_pair(start, start + length);
        }
    }
    // A field mark in a paragraph the index holds (where fields are found by their marks): it
    // starts where what stands before it in the paragraph ends, measured without atoms.
    if (startOnly && xml::Is(unit, "w:p") && xml::Is(node, "w:fldChar")) {
        const std::string_view type = node.attribute("w:fldCharType").value();
        if (type == "begin" || type == "separate" || type == "end") {
            const std::function<bool(const Atom&)> none = [](const Atom&) { return true; };
            Walker walker(*this, none);
            walker.MeasureOnly();
            walker.StopAt(node);
            long pos = index_.Start(*index);
            walker.Block(unit, pos, {});
            if (walker.Stopped()) return std::make_pair(pos, pos + 1);
        }
    }
    std::optional<long> first;
    long last = 0;
    const std::function<bool(const Atom&)> visit = [&](const Atom& atom) {
        for (auto n = atom.node; n && n != unit.parent(); n = n.parent()) {
            if (n == node) {
                if (!first) first = atom.start;
                last = atom.start + atom.length;
                return !startOnly;
            }
        }
        return !first;  // past the node: stop
    };
    Walker walker(*this, visit);
    walker.WithoutHidden();  // only where the node is matters
    walker.CachedCells();
    walker.SkipAround(node);
    long pos = index_.Start(*index);
    walker.Block(unit, pos, {});
    if (!first) return std::nullopt;
    return std::make_pair(*first, last);
}

std::optional<std::pair<long, long>> Story::SpanOf(pugi::xml_node node) {
    if ((xml::Is(node, "w:tbl") || xml::Is(node, "w:tr")) && !IsSplitTable(node) && UnitOf(node) != node) {
        // Rows of nested tables are measured from their cached lengths rather than walked.
        const auto start = Locate(node, true);
        if (!start) return std::nullopt;
        return std::make_pair(start->first, start->first + BlockLength(node));
    }
    return Locate(node, false);
}

std::optional<long> Story::PositionOf(pugi::xml_node node) {
    const auto start = Locate(node, true);
    if (!start) return std::nullopt;
    return start->first;
}

void Story::Track(const std::shared_ptr<TrackedSpan>& span) {
    if (spans_.size() > 64 && spans_.size() % 64 == 0)
        std::erase_if(spans_, [](const auto& w) { return w.expired(); });
    spans_.push_back(span);
}

void Story::ShiftInsert(long pos, long length, bool beforeRangesAtPos) {
    ++editStamp_;
    if (length == 0) return;
    std::erase_if(spans_, [](const auto& w) { return w.expired(); });
    for (auto& weak : spans_) {
        auto span = weak.lock();
        if (span->start > pos || (beforeRangesAtPos && span->start == pos)) span->start += length;
        if (span->end > pos) span->end += length;
        if (span->end < span->start) span->end = span->start;
        if (span->limit && *span->limit > pos) *span->limit += length;
    }
}

void Story::ShiftDelete(long start, long end) {
    ++editStamp_;
    if (end <= start) return;
    const auto map = [&](long x) { return x <= start ? x : (x >= end ? x - (end - start) : start); };
    std::erase_if(spans_, [](const auto& w) { return w.expired(); });
    for (auto& weak : spans_) {
        auto span = weak.lock();
        span->start = map(span->start);
        span->end = map(span->end);
        if (span->limit) span->limit = map(*span->limit);
    }
}

const std::vector<pugi::xml_node>& Story::TableRows(pugi::xml_node table) {
    auto& rows = tableRows_.Slot(table);
    if (rows.empty())
        for (auto row : table.children("w:tr")) rows.push_back(row);
    return rows;
}

void Story::TableRowsChanged(pugi::xml_node table, pugi::xml_node row, bool added) {
    auto* const known = tableRows_.Find(table);
    if (!known) return;
    auto& rows = *known;
    // Rows come and go mostly at the end of a table; anything else is read again.
    const bool last = !row.next_sibling("w:tr");
    if (added && last && !rows.empty() && rows.back() == row.previous_sibling("w:tr")) rows.push_back(row);
    else if (!added && last && !rows.empty() && rows.back() == row) rows.pop_back();
    else tableRows_.Forget(table);
}

long Story::BlockInserted(pugi::xml_node node, long pos) {
    if (!root_) throw ObjectDeleted();
    ForgetRowsAround(node.parent());
    if (xml::Is(node, "w:tr")) TableRowsChanged(node.parent(), node, true);
    const long length = BlockLength(node);
    const auto unit = UnitOf(node);
    if (unit && unit != node) {
        // Inside a unit (a row of a nested table, a marker in a paragraph): that unit grows.
        if (length > 0)
            if (const auto index = index_.Find(unit)) Reindex(*index, NodeAfter(*index));
    } else {
        // Units of its own: they go between the units around them. Past the index, the
        // index finds them when it gets there.
        const auto previous = PreviousUnit(node);
        const auto before = previous ? index_.Find(previous) : std::optional<std::size_t>(std::nullopt);
        if (!previous || before) Reindex(previous ? *before + 1 : 0, NextUnit(LastUnitOf(node)));
    }
    ShiftInsert(pos, length, true);
    return length;
}

void Story::RemoveBlock(pugi::xml_node node) {
    if (!root_) throw ObjectDeleted();
    const auto span = SpanOf(node);
    const auto unit = UnitOf(node);
    std::optional<std::size_t> first;
    pugi::xml_node after;
    if (unit && unit != node) {
        first = index_.Find(unit);
        if (first) after = NodeAfter(*first);
    } else {
        const auto previous = PreviousUnit(node);
        const auto before = previous ? index_.Find(previous) : std::optional<std::size_t>(std::nullopt);
        if (!previous || before) {
            first = previous ? *before + 1 : 0;
            after = NextUnit(LastUnitOf(node));
        }
    }
    host_.BeforeRemove(node);
    ForgetRowsAround(node.parent());
    lengths_.NewGeneration();  // the storage of removed rows may be reused by new nodes
    if (xml::Is(node, "w:tr") && !node.select_node(".//w:tbl")) TableRowsChanged(node.parent(), node, false);
    else tableRows_.NewGeneration();
    node.parent().remove_child(node);
    if (first) Reindex(*first, after);
    else edited_ = true;
    if (span) ShiftDelete(span->first, span->second);
}

void Story::RemoveMarker(pugi::xml_node marker) {
    if (!root_) throw ObjectDeleted();
    const auto unit = UnitOf(marker);
    if (unit != marker) {  // inside a paragraph or row: takes no position there
        marker.parent().remove_child(marker);
        return;
    }
    const auto index = index_.Find(marker);
    const auto after = index ? NodeAfter(*index) : pugi::xml_node{};
    marker.parent().remove_child(marker);
    if (index) Reindex(*index, after);
}

// --- splitting ---------------------------------------------------------------------------

InsertionPoint Story::SplitParagraph(pugi::xml_node paragraph, long offset) {
    std::optional<Atom> target;
    long pos = 0;
    const std::function<bool(const Atom&)> visit = [&](const Atom& atom) {
        if (atom.paragraph != paragraph || atom.length == 0) return true;
        if (atom.kind == AtomKind::ParagraphMark || atom.kind == AtomKind::CellEnd) return false;
        if (atom.paragraphOffset + atom.length > offset) {
            target = atom;
            return false;
        }
        return true;
    };
    Walker walker(*this, visit);
    walker.WithoutHidden();  // only where the offset falls matters
    walker.QuietBefore(offset);  // positions count from the paragraph's start here
    walker.Block(paragraph, pos, {});
    if (!target) return {paragraph, {}};

    pugi::xml_node x = target->node;
    const long inside = offset - target->paragraphOffset;
    if (target->kind == AtomKind::Text && inside > 0) {
        const std::string text = x.text().get();
        const auto cut = xml::Utf8Offset(text, inside);
        auto rest = x.parent().insert_child_after(x.name(), x);
        rest.append_attribute("xml:space") = "preserve";
        xml::SetText(rest, std::string_view(text).substr(cut));
        xml::SetText(x, std::string_view(text).substr(0, cut));
        if (!x.attribute("xml:space")) x.append_attribute("xml:space") = "preserve";
        x = rest;
    }
    while (x.parent() != paragraph) {
        auto container = x.parent();
        if (xml::Is(container, "w:sdtContent")) {
            auto sdt = container.parent();
            if (!HasContentBefore(x)) {
                x = sdt;
                continue;
            }
            auto clone = sdt.parent().insert_child_after("w:sdt", sdt);
            if (auto sdtPr = sdt.child("w:sdtPr")) {
                auto copy = clone.append_copy(sdtPr);
                if (auto id = copy.child("w:id")) copy.remove_child(id);
            }
            auto content = clone.append_child("w:sdtContent");
            for (auto n = x; n;) {
                auto next = n.next_sibling();
                content.append_move(n);
                n = next;
            }
            x = clone;
            continue;
        }
        if (!HasContentBefore(x)) {
            x = container;
            continue;
        }
        auto clone = container.parent().insert_child_after(container.name(), container);
        for (auto attr : container.attributes()) clone.append_attribute(attr.name()) = attr.value();
        for (auto child : container.children())
            if (xml::IsPropertyElement(child)) clone.append_copy(child);
        for (auto n = x; n;) {
            auto next = n.next_sibling();
            clone.append_move(n);
            n = next;
        }
        x = clone;
    }
    // Text inserted where a bookmark starts stays outside it, as a range's start would.
    while (x.previous_sibling() && xml::Is(x.previous_sibling(), "w:bookmarkStart")) x = x.previous_sibling();
    return {paragraph, x};
}

InsertionPoint Story::SplitAt(long pos) { return SplitAt(pos, AtomAt(pos)); }

InsertionPoint Story::SplitAt(long pos, const std::optional<Atom>& atom) {
    if (!atom) {
        // An empty story still has its paragraph.
        for (auto p : root_.select_nodes(".//w:p")) return {p.node(), {}};
        auto p = root_.prepend_child("w:p");
        Invalidate(0);
        edited_ = true;
        return {p, {}};
    }
    if (atom->kind == AtomKind::RowEnd) {
        auto lastCell = atom->node.last_child();
        while (lastCell && !xml::Is(lastCell, "w:tc")) lastCell = lastCell.previous_sibling();
        pugi::xml_node p;
        for (auto child = lastCell.last_child(); child; child = child.previous_sibling())
            if (xml::Is(child, "w:p")) {
                p = child;
                break;
            }
        if (!p) p = lastCell.append_child("w:p");
        return {p, {}};
    }
    return SplitParagraph(atom->paragraph, atom->paragraphOffset + (pos - atom->start));
}

pugi::xml_node Story::SplitParagraphAt(long pos) {
    pos = ClampInsert(pos);
    const auto index = BlockIndex(pos);
    const auto after = NodeAfter(index);
    const auto point = SplitAt(pos);
    auto p = point.paragraph;
    bool hasLeft = false;
    for (auto c = p.first_child(); c && c != point.before; c = c.next_sibling())
        if (!xml::IsPropertyElement(c)) hasLeft = true;
    if (!hasLeft) return p;
    auto left = p.parent().insert_child_before("w:p", p);
    CopyParagraphProperties(p, left);
    for (auto c = FirstContentChild(p); c && c != point.before;) {
        auto next = c.next_sibling();
        left.append_move(c);
        c = next;
    }
    ForgetRowsAround(p);
    Reindex(index, after);
    ShiftInsert(pos, 1, true);
    return p;
}

pugi::xml_node Story::ReferenceRun(long pos, const std::optional<Atom>& here, const std::optional<Atom>& before,
                                   pugi::xml_node& paragraphOut) {
    if (!here) return {};
    paragraphOut = here->paragraph;
    if (!paragraphOut && here->kind == AtomKind::RowEnd) return {};
    const long offset = here->paragraphOffset + (pos - here->start);
    if (offset > 0) {
        if (before && before->paragraph == paragraphOut && before->kind != AtomKind::ParagraphMark &&
            before->kind != AtomKind::CellEnd)
            return before->node.parent();
    }
    if (here->kind == AtomKind::ParagraphMark || here->kind == AtomKind::CellEnd) return {};
    return here->node.parent();
}

// --- edits -------------------------------------------------------------------------------

pugi::xml_node Story::FormattingAt(long pos) {
    const auto atom = AtomAt(pos);
    if (!atom) return {};
    if (atom->kind == AtomKind::ParagraphMark || atom->kind == AtomKind::CellEnd)
        return atom->node.child("w:pPr").child("w:rPr");
    if (atom->kind == AtomKind::RowEnd) return {};
    return atom->node.parent().child("w:rPr");
}

long Story::InsertText(long pos, std::string_view text, pugi::xml_node runProperties) {
    if (text.empty()) return 0;
    pos = ClampInsert(pos);
    // The characters at and before the caret, asked for their look, whether the text goes into
    // a field's code and (the first) where the paragraph splits.
    const auto here = AtomAt(pos);
    const auto before = pos > 0 ? AtomAt(pos - 1) : std::nullopt;
    pugi::xml_node paragraph;
    const auto reference = ReferenceRun(pos, here, before, paragraph);
    pugi::xml_node rPr = reference ? reference.child("w:rPr") : paragraph.child("w:pPr").child("w:rPr");
    if (runProperties) rPr = runProperties;
    // Text typed into a field's code is code: the field keeps it as its instruction. Text in
    // the result of a field nested in a code stays result text.
    bool code = false;
    if (before)
        code = before->kind == AtomKind::FieldBegin ||
               (before->kind == AtomKind::Text && before->fieldCode && before->codeDepth == before->fieldDepth);
    // Plain text at a paragraph's end (an emptied cell of a new table row) is the run the
    // fragment below would append there: made in place, the paragraph is neither split nor
    // measured again.
    if (here && (here->kind == AtomKind::ParagraphMark || here->kind == AtomKind::CellEnd) && here->start == pos &&
        xml::IsPlainRunText(text)) {
        auto run = paragraph.append_child("w:r");
        if (rPr) {
            auto copy = run.append_copy(rPr);
            copy.set_name("w:rPr");
            CleanRunProperties(copy);
        }
        auto t = xml::AppendText(run, {});
        if (code) t.set_name("w:instrText");
        return ReplaceNodeText(t, pos, 0, text);  // the text, and the positions after it moved
    }

    Fragment fragment;
    fragment.openTail = true;
    auto newParagraph = [&] {
        auto p = fragment.root.append_child("w:p");
        if (paragraph) CopyParagraphProperties(paragraph, p);
        return p;
    };
    auto p = newParagraph();
    pugi::xml_node run;
    std::string pending;
    auto newRun = [&] {
        run = p.append_child("w:r");
        if (rPr) {
            auto copy = run.append_copy(rPr);
            copy.set_name("w:rPr");
            CleanRunProperties(copy);
        }
    };
    auto flush = [&] {
        if (pending.empty()) return;
        if (!run) newRun();
        auto t = xml::AppendText(run, pending);
        if (code) t.set_name("w:instrText");
        pending.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            flush();
            p = newParagraph();
            run = {};
            continue;
        }
        if (c == '\t' || c == '\v' || c == '\f' || c == '\x0e') {
            flush();
            if (!run) newRun();
            if (c == '\t') {
                run.append_child("w:tab");
            } else {
                auto br = run.append_child("w:br");
                if (c == '\f') br.append_attribute("w:type") = "page";
                if (c == '\x0e') br.append_attribute("w:type") = "column";
            }
            continue;
        }
        if (c == '\a') continue;  // cell marks are structure, not text
        pending.push_back(c);
    }
    flush();
    return InsertFragment(pos, fragment, &here);
}

long Story::InsertFragment(long pos, Fragment& fragment) { return InsertFragment(pos, fragment, nullptr); }

long Story::ReplaceNodeText(pugi::xml_node textNode, long pos, long length, std::string_view text) {
    xml::SetText(textNode, text);
    const long added = xml::Utf16Length(text);
    edited_ = true;
    // The rows and cells around the node change by what its text did: their remembered lengths
    // move with it instead of being measured again for the next cell of the row.
    const long change = added - length;
    for (auto n = textNode.parent(); n && n != root_; n = n.parent())
        if (const std::string_view name = n.name(); NameIs(name, "w:tr") || NameIs(name, "w:tc"))
            if (long* known = lengths_.Find(n)) *known += change;
    // Only the unit's length changes; the units after it move.
    const auto unit = UnitOf(textNode);
    const auto at = unit ? index_.Find(unit) : std::nullopt;
    if (at && *at + 1 < index_.Size()) {
        index_.Replace(*at, *at + 1, index_.Start(*at), {{unit, index_.Length(*at) + change}});
    } else if (at) {
        // The last unit indexed (the row a table fill is writing): indexed again as it is now.
        const long now = index_.Length(*at) + change;
        index_.Truncate(*at);
        index_.Append(unit, now);
    } else {
        Invalidate(0);
    }
    ShiftDelete(pos, pos + length);
    ShiftInsert(pos, added);
    return added;
}

long Story::InsertFragment(long pos, Fragment& fragment, const std::optional<Atom>* atPos) {
    std::vector<pugi::xml_node> blocks;
    for (auto child : fragment.root.children())
        if (child.type() == pugi::node_element) blocks.push_back(child);
    if (blocks.empty()) return 0;
    if (fragment.openTail && !xml::Is(blocks.back(), "w:p")) fragment.openTail = false;

    pos = ClampInsert(pos);
    const auto index = BlockIndex(pos);
    const auto after = NodeAfter(index);
    // Edits to the tree leave the index as it is until it is made again below.
    const auto afterAt = after ? index_.Find(after) : std::nullopt;
    const auto point = atPos ? SplitAt(pos, *atPos) : SplitAt(pos);
    auto p = point.paragraph;
    // A fragment built in this story's tree is moved in: it is measured first, while it is
    // still whole, when the index cannot tell what came in.
    const bool move = !fragment.tree && fragment.root.root() == root_.root();
    std::optional<long> fragmentLength;
    const auto measureFragment = [&] {
        const std::function<bool(const Atom&)> none = [](const Atom&) { return true; };
        Walker walker(*this, none);
        walker.MeasureOnly();
        long length = 0;
        walker.Blocks(fragment.root, length, {});
        return length;
    };
    if (move && !afterAt) fragmentLength = measureFragment();
    auto insertRuns = [move](pugi::xml_node into, pugi::xml_node from, pugi::xml_node before) {
        for (auto c = from.first_child(); c;) {
            const auto next = c.next_sibling();
            if (!xml::Is(c, "w:pPr")) {
                if (move) before ? into.insert_move_before(c, before) : into.append_move(c);
                else before ? into.insert_copy_before(c, before) : into.append_copy(c);
            }
            c = next;
        }
    };

    long splitMark = 0;
    if (blocks.size() == 1 && fragment.openTail) {
        insertRuns(p, blocks[0], point.before);
    } else {
        auto parent = p.parent();
        bool hasLeft = false;
        for (auto c = p.first_child(); c && c != point.before; c = c.next_sibling())
            if (!xml::IsPropertyElement(c)) hasLeft = true;
        std::size_t first = 0;
        if (hasLeft) {
            auto left = parent.insert_child_before("w:p", p);
            CopyParagraphProperties(p, left);
            for (auto c = FirstContentChild(p); c && c != point.before;) {
                auto next = c.next_sibling();
                left.append_move(c);
                c = next;
            }
            if (xml::Is(blocks[0], "w:p")) {
                insertRuns(left, blocks[0], {});
                if (auto old = left.child("w:pPr")) left.remove_child(old);
                if (auto pPr = blocks[0].child("w:pPr")) left.prepend_copy(pPr);
                first = 1;
            } else {
                splitMark = 1;  // the split leaves a paragraph mark before the table
            }
        }
        const std::size_t whole = blocks.size() - (fragment.openTail ? 1 : 0);
        for (std::size_t i = first; i < whole; ++i) {
            if (move) parent.insert_move_before(blocks[i], p);
            else parent.insert_copy_before(blocks[i], p);
        }
        if (fragment.openTail) insertRuns(p, blocks.back(), FirstContentChild(p));
    }
    ForgetRowsAround(p);
    const long afterStart = afterAt ? index_.Start(*afterAt) : 0;
    Reindex(index, after);
    // What came in is what the units before `after` grew by, as measured again; only without
    // such a unit is the copy (left as it was) measured on its own.
    long length = 0;
    if (const auto afterNow = afterAt ? index_.Find(after) : std::nullopt) {
        length = index_.Start(*afterNow) - afterStart;
    } else {
        length = fragmentLength ? *fragmentLength : measureFragment();
        if (fragment.openTail) length -= 1;
        length += splitMark;
    }
    ShiftInsert(pos, length);
    return length;
}

void Story::DeleteInline(pugi::xml_node paragraph, long from, long to) {
    if (to <= from) return;
    ForgetRowsAround(paragraph);
    const auto high = SplitParagraph(paragraph, to);
    const auto low = SplitParagraph(paragraph, from);
    for (auto c = low.before; c && c != high.before;) {
        auto next = c.next_sibling();
        if (!IsBookmarkMarker(c) && !xml::IsPropertyElement(c)) {
            host_.BeforeRemove(c);
            paragraph.remove_child(c);
        }
        c = next;
    }
}

// --- deleting ----------------------------------------------------------------------------

long Story::ChildBlocks(pugi::xml_node container, long pos, std::vector<BlockSpan>& out) {
    for (auto child = container.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        if (const auto content = WrappedContent(child)) {
            pos = ChildBlocks(content, pos, out);
            continue;
        }
        const long length = BlockLength(child);
        out.push_back({child, pos, length});
        pos += length;
    }
    return pos;
}

// Deletes [start, end) from the story: the blocks the range reaches lose what lies inside it,
// tables wholly inside go as one, cell and row marks stay, and a paragraph whose mark goes
// takes in the paragraph after it. The spans removed move the tracked ranges at the end.
class Story::Deletion {
public:
    // [start, end) is a non-empty range before the story's last paragraph mark.
    Deletion(Story& story, long start, long end) : story_(story), start_(start), end_(end) {
        assert(0 <= start && start < end);
    }

    void Run() {
        const auto& index = story_.index_;
        const auto first = story_.BlockIndex(start_);
        const auto last = story_.BlockIndex(end_ - 1);
        const auto top = TopBlocks(first, last);
        // The units the edit may change: a table that goes takes its zero-length units with
        // it, and a paragraph whose mark goes takes in the markers and the paragraph after it.
        std::size_t reindexFrom = first;
        while (reindexFrom > 0 && TableGoes(index.Node(reindexFrom - 1))) --reindexFrom;
        std::size_t reindexTo = last + 1;
        while (reindexTo < index.Size() && (index.Length(reindexTo) == 0 || TableGoes(index.Node(reindexTo))))
            ++reindexTo;
        if (reindexTo < index.Size() && xml::Is(index.Node(reindexTo), "w:p")) ++reindexTo;
        const auto untouched = reindexTo < index.Size() ? index.Node(reindexTo) : pugi::xml_node{};

        Blocks(top, start_, end_);
        story_.Reindex(reindexFrom, untouched);
        std::sort(removed_.begin(), removed_.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
        for (const auto& [a, b] : removed_) story_.ShiftDelete(a, b);
    }

private:
    // A paragraph mark the range reached, or none for a table or row between paragraphs.
    struct Mark {
        pugi::xml_node paragraph;
        long pos = 0;
        bool remove = false;
    };

    // The units [first, last] as blocks: a top-level table wholly inside the range goes as one
    // block; of the others only the rows touched are visited.
    std::vector<BlockSpan> TopBlocks(std::size_t first, std::size_t last) {
        const auto& index = story_.index_;
        std::vector<BlockSpan> top;
        for (auto i = first; i <= last && i < index.Size(); ++i) {
            const auto node = index.Node(i);
            const auto parent = node.parent();
            if (parent != story_.root_) {
                if (!wholeTables_.empty() && wholeTables_.back() == parent) continue;
                if (const auto table = story_.Locate(parent, false);
                    table && start_ <= table->first && end_ >= table->second) {
                    wholeTables_.push_back(parent);
                    top.push_back({parent, table->first, table->second - table->first});
                    continue;
                }
            }
            top.push_back({node, index.Start(i), index.Length(i)});
        }
        return top;
    }

    bool TableGoes(pugi::xml_node unit) const {
        return std::find(wholeTables_.begin(), wholeTables_.end(), unit.parent()) != wholeTables_.end();
    }

    // Deletes [a, b) from blocks laid end to end (the top-level ones, or a cell's).
    void Blocks(const std::vector<BlockSpan>& blocks, long a, long b) {
        std::vector<Mark> marks;
        std::vector<pugi::xml_node> tables;
        for (const auto& block : blocks) {
            if (block.length == 0 || block.End() <= a || block.start >= b) continue;
            if (const auto content = WrappedContent(block.node)) {
                std::vector<BlockSpan> inner;
                story_.ChildBlocks(content, block.start, inner);
                Blocks(inner, a, b);
            } else if (xml::Is(block.node, "w:p")) {
                marks.push_back(Paragraph(block, a, b));
            } else if (xml::Is(block.node, "w:tbl")) {
                marks.emplace_back();
                if (a <= block.start && b >= block.End()) {
                    tables.push_back(block.node);
                    removed_.emplace_back(block.start, block.End());
                } else {
                    TableContents(block, a, b);
                }
            } else if (xml::Is(block.node, "w:tr")) {
                marks.emplace_back();
                RowContents(block.node, block.start, a, b);
            }
        }
        RemoveTables(tables);
        JoinParagraphs(marks);
    }

    // The text of a paragraph inside [a, b); whether its mark goes is left to JoinParagraphs.
    Mark Paragraph(const BlockSpan& block, long a, long b) {
        const long markPos = block.End() - 1;
        const long lo = std::max(a, block.start) - block.start;
        const long hi = std::min(b, markPos) - block.start;
        const bool markGoes = a <= markPos && b > markPos;
        if (markGoes) story_.ForgetRowsAround(block.node);
        if (lo == 0 && markGoes) {
            // The whole paragraph goes, shapes anchored in it included.
            for (auto c = FirstContentChild(block.node); c;) {
                auto next = c.next_sibling();
                if (!IsBookmarkMarker(c)) {
                    story_.host_.BeforeRemove(c);
                    c.parent().remove_child(c);
                }
                c = next;
            }
            if (hi > 0) removed_.emplace_back(block.start, block.start + hi);
        } else if (lo < hi) {
            story_.DeleteInline(block.node, lo, hi);
            removed_.emplace_back(block.start + lo, block.start + hi);
        }
        return {block.node, markPos, markGoes};
    }

    // A table the range reaches part of: only cell contents go; cell and row marks stay.
    void TableContents(const BlockSpan& table, long a, long b) {
        long pos = table.start;
        for (auto row : table.node.children("w:tr")) {
            const long rowLength = story_.RowLength(row);
            if (pos + rowLength > a && pos < b) RowContents(row, pos, a, b);
            pos += rowLength;
        }
    }

    // The contents of the cells of a row that [a, b) reaches; the others are passed over by
    // their lengths.
    void RowContents(pugi::xml_node row, long pos, long a, long b) {
        for (auto cell = row.child("w:tc"); cell; cell = cell.next_sibling("w:tc")) {
            const long cellStart = pos;
            pos += story_.CellLength(cell);
            const long cellMark = pos - 1;
            if (cellMark <= a || cellStart >= b) continue;
            std::vector<BlockSpan> blocks;
            story_.ChildBlocks(cell, cellStart, blocks);
            Blocks(blocks, std::max(a, cellStart), std::min(b, cellMark));
        }
    }

    void RemoveTables(const std::vector<pugi::xml_node>& tables) {
        if (tables.empty()) return;
        // The storage of removed rows and tables may be reused by new nodes.
        story_.lengths_.NewGeneration();
        story_.tableRows_.NewGeneration();
        for (auto table : tables) {
            story_.host_.BeforeRemove(table);
            table.parent().remove_child(table);
        }
    }

    // Each paragraph whose mark goes takes in the markers after it and the next paragraph's
    // content and look; a chain of such paragraphs joins into the first.
    void JoinParagraphs(const std::vector<Mark>& marks) {
        pugi::xml_node target;
        for (std::size_t i = 0; i < marks.size(); ++i) {
            const auto& mark = marks[i];
            if (!mark.paragraph) {
                target = {};
                continue;
            }
            auto p = target ? target : mark.paragraph;
            target = {};
            if (!mark.remove) continue;
            auto next = p.next_sibling();
            while (next && (next.type() != pugi::node_element || IsBookmarkMarker(next))) {
                auto after = next.next_sibling();
                if (next.type() == pugi::node_element) p.append_move(next);
                next = after;
            }
            if (!next || !xml::Is(next, "w:p")) continue;
            Join(p, next);
            removed_.emplace_back(mark.pos, mark.pos + 1);
            if (i + 1 < marks.size() && marks[i + 1].paragraph == next) target = p;
        }
    }

    // Moves the content of `next` into `p` and removes `next`.
    void Join(pugi::xml_node p, pugi::xml_node next) {
        const bool nextEmpty = !FirstContentChild(next);
        auto pPr = p.child("w:pPr");
        auto nextPPr = next.child("w:pPr");
        for (auto c = FirstContentChild(next); c;) {
            auto after = c.next_sibling();
            p.append_move(c);
            c = after;
        }
        if (nextEmpty && FirstContentChild(p)) {
            // Joining an empty paragraph keeps this paragraph's look; only a section break the
            // other one ended survives.
            if (pPr) {
                if (auto sect = pPr.child("w:sectPr")) pPr.remove_child(sect);
            }
            if (auto sect = nextPPr.child("w:sectPr")) {
                xml::ParagraphProperties(p, true);
                p.child("w:pPr").append_move(sect);
            }
        } else {
            if (pPr) p.remove_child(pPr);
            if (nextPPr) p.prepend_move(nextPPr);
        }
        story_.host_.BeforeRemove(next);
        next.parent().remove_child(next);
    }

    Story& story_;
    const long start_;
    const long end_;
    std::vector<pugi::xml_node> wholeTables_;
    std::vector<std::pair<long, long>> removed_;
};

void Story::Delete(long start, long end) {
    if (!root_) throw ObjectDeleted();
    start = std::max(0L, start);
    if (start >= end) return;
    // The story's last paragraph mark is never deleted. Only an end at or past the story's
    // end needs the whole story measured.
    if (!EnsureBlock(end)) end = std::min(end, Length() - 1);
    if (start >= end) return;
    Deletion(*this, start, end).Run();
}

void Story::SetHidden(long start, long end, bool hidden) {
    FormatRuns(start, end, [hidden](pugi::xml_node properties) { xml::SetVanish(properties, hidden); });
}

void Story::FormatRuns(long start, long end, const std::function<void(pugi::xml_node)>& apply) {
    const long length = Length();
    start = std::max(0L, start);
    end = std::min(end, length);
    if (start >= end) return;
    if (end < length) SplitAt(end);
    SplitAt(start);
    std::vector<pugi::xml_node> runs;
    std::vector<pugi::xml_node> marks;
    Visit(start, end, [&](const Atom& atom) {
        if (atom.length == 0 || atom.start < start || atom.start >= end) return true;
        switch (atom.kind) {
        case AtomKind::ParagraphMark:
        case AtomKind::CellEnd:
            marks.push_back(atom.node);
            break;
        case AtomKind::RowEnd:
        case AtomKind::Marker:
            break;
        default:
            if (runs.empty() || runs.back() != atom.node.parent()) runs.push_back(atom.node.parent());
        }
        return true;
    });
    for (auto run : runs) apply(xml::RunProperties(run, true));
    for (auto p : marks) apply(xml::MarkProperties(p, true));
    edited_ = true;
    ++editStamp_;
}

std::vector<pugi::xml_node> Story::ParagraphsIn(long start, long end) {
    const long length = Length();
    start = std::clamp(start, 0L, std::max(0L, length - 1));
    end = std::clamp(std::max(end, start + 1), 0L, length);
    std::vector<pugi::xml_node> paragraphs;
    Visit(start, end, [&](const Atom& atom) {
        if (atom.length == 0 || atom.start >= end || !atom.paragraph) return true;
        if (atom.start + atom.length <= start) return true;
        if (std::find(paragraphs.begin(), paragraphs.end(), atom.paragraph) == paragraphs.end())
            paragraphs.push_back(atom.paragraph);
        return true;
    });
    return paragraphs;
}

void Story::FormatParagraphs(long start, long end, const std::function<void(pugi::xml_node)>& apply) {
    for (auto p : ParagraphsIn(start, end)) apply(xml::ParagraphProperties(p, true));
    edited_ = true;
    ++editStamp_;
}

void Story::Rebind(pugi::xml_node root) {
    ++editStamp_;
    root_ = root;
    index_.Clear();
    lengths_.Clear();
    tableRows_.Clear();
    complete_ = false;
    edited_ = false;
    const long length = Length();
    std::erase_if(spans_, [](const std::weak_ptr<TrackedSpan>& s) { return s.expired(); });
    for (const auto& weak : spans_) {
        const auto span = weak.lock();
        span->start = std::clamp(span->start, 0L, length);
        span->end = std::clamp(span->end, span->start, length);
        span->limit.reset();
    }
}

pugi::xml_node Story::InsertMarker(long pos, std::string_view name) {
    const std::string element(name);
    const long length = Length();
    if (pos >= length) {
        // After the last paragraph mark: a block-level marker at the end of the story.
        pugi::xml_node before = root_.child("w:sectPr");
        auto marker = before ? root_.insert_child_before(element.c_str(), before)
                             : root_.append_child(element.c_str());
        BlockInserted(marker, length);
        return marker;
    }
    auto point = SplitAt(std::max(0L, pos));
    return point.before ? point.paragraph.insert_child_before(element.c_str(), point.before)
                        : point.paragraph.append_child(element.c_str());
}

// --- copying ----------------------------------------------------------------------------

// The formatted copy of [start, end): blocks wholly inside are copied as they are, a paragraph
// reached in part loses the rest of its content, and a table reached in part gives the rows
// touched or, when the range lies inside one cell, that cell's paragraphs.
class Story::Extraction {
public:
    Extraction(Story& story, long start, long end, pugi::xml_node home)
        : story_(story), start_(start), end_(end), fragment_(home ? Fragment(home) : Fragment()) {
        assert(0 <= start && start < end);
    }

    Fragment Run() {
        const auto& index = story_.index_;
        const auto first = story_.BlockIndex(start_);
        const auto last = story_.BlockIndex(end_ - 1);
        for (auto i = first; i <= last && i < index.Size(); ++i) {
            const auto node = index.Node(i);
            if (node.parent() == story_.root_) {
                Block(node, index.Start(i), index.End(i));
                continue;
            }
            const auto table = node.parent();
            const auto span = story_.Locate(table, false);
            auto to = i + 1;
            while (to <= last && to < index.Size() && index.Node(to).parent() == table) ++to;
            if (span && start_ <= span->first && end_ >= span->second) fragment_.root.append_copy(table);
            else TopLevelRows(table, i, to);
            i = to - 1;
        }
        // Paragraph ids, which must stay unique in the document the copy goes to, are dropped
        // by the copy's preparation, in the pass it makes over the copy anyway.
        return std::move(fragment_);
    }

private:
    // The blocks of a container laid end to end from `pos`.
    void Blocks(pugi::xml_node container, long pos) {
        for (auto child : container.children()) {
            if (child.type() != pugi::node_element) continue;
            const long length = story_.BlockLength(child);
            Block(child, pos, pos + length);
            pos += length;
        }
    }

    void Block(pugi::xml_node node, long blockStart, long blockEnd) {
        if (blockEnd <= start_ || blockStart >= end_) {
            if (blockEnd == blockStart && blockStart >= start_ && blockStart < end_ && IsBookmarkMarker(node))
                fragment_.root.append_copy(node);
            return;
        }
        const bool whole = start_ <= blockStart && end_ >= blockEnd;
        if (xml::Is(node, "w:p")) {
            auto copy = fragment_.root.append_copy(node);
            if (!whole)
                Trim(copy, std::max(start_, blockStart) - blockStart, std::min(end_, blockEnd - 1) - blockStart,
                     end_ >= blockEnd);
        } else if (xml::Is(node, "w:tbl")) {
            if (whole) fragment_.root.append_copy(node);
            else NestedTable(node, blockStart);
        } else if (const auto content = WrappedContent(node)) {
            Blocks(content, blockStart);
        }
    }

    // A table inside a cell the range reaches part of.
    void NestedTable(pugi::xml_node table, long pos) {
        std::vector<pugi::xml_node> rows;
        for (auto row : table.children("w:tr")) {
            const long rowStart = pos;
            const long rowLength = story_.RowLength(row);
            if (pos + rowLength <= start_ || pos >= end_) {
                pos += rowLength;
                continue;
            }
            for (auto cell : row.children("w:tc")) {
                const long cellStart = pos;
                pos += story_.BlockLength(cell);
                if (InsideOneCell(cellStart, pos)) {
                    Blocks(cell, cellStart);
                    return;
                }
            }
            pos += 1;
            if (pos > start_ && rowStart < end_) rows.push_back(row);
        }
        CopyTable(table, rows);
    }

    // The units [from, to) of a top-level table the range reaches part of.
    void TopLevelRows(pugi::xml_node table, std::size_t from, std::size_t to) {
        const auto& index = story_.index_;
        std::vector<pugi::xml_node> rows;
        for (auto i = from; i < to; ++i) {
            const auto row = index.Node(i);
            if (!xml::Is(row, "w:tr")) continue;
            long pos = index.Start(i);
            for (auto cell : row.children("w:tc")) {
                const long cellStart = pos;
                pos += story_.BlockLength(cell);
                if (InsideOneCell(cellStart, pos)) {
                    Blocks(cell, cellStart);
                    return;
                }
            }
            if (index.End(i) > start_ && index.Start(i) < end_) rows.push_back(row);
        }
        CopyTable(table, rows);
    }

    bool InsideOneCell(long cellStart, long cellEnd) const { return start_ >= cellStart && end_ <= cellEnd; }

    // A copy of a table's properties and grid with the given rows.
    void CopyTable(pugi::xml_node table, const std::vector<pugi::xml_node>& rows) {
        auto copy = fragment_.root.append_child("w:tbl");
        for (auto child : table.children())
            if (!xml::Is(child, "w:tr")) copy.append_copy(child);
        for (auto row : rows) copy.append_copy(row);
    }

    // A paragraph copied in part: its content outside [lo, hi) is cut away from the copy.
    void Trim(pugi::xml_node copy, long lo, long hi, bool withMark) {
        const long contentLength = story_.BlockLength(copy) - 1;
        if (hi < contentLength) {
            const auto high = story_.SplitParagraph(copy, hi);
            for (auto c = high.before; c;) {
                auto next = c.next_sibling();
                copy.remove_child(c);
                c = next;
            }
        }
        if (lo > 0) {
            const auto low = story_.SplitParagraph(copy, lo);
            for (auto c = FirstContentChild(copy); c && c != low.before;) {
                auto next = c.next_sibling();
                if (!xml::IsPropertyElement(c)) copy.remove_child(c);
                c = next;
            }
        }
        if (!withMark) fragment_.openTail = true;
    }

    Story& story_;
    const long start_;
    const long end_;
    Fragment fragment_;
};

Fragment Story::Extract(long start, long end, pugi::xml_node home) {
    const long length = Length();
    start = std::max(0L, start);
    end = std::min(end, length);
    if (start >= end) return home ? Fragment(home) : Fragment();
    return Extraction(*this, start, end, home).Run();
}

}  // namespace paperloom::word::detail
