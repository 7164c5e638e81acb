#pragma once
// A story: one independent sequence of character positions (the main text, a header or
// footer, the contents of a text box), over the WordprocessingML tree that holds it.
//
// Positions count as the word processor counts them: one per UTF-16 code unit of text, one per
// paragraph mark, end-of-cell mark and end-of-row mark, one per field mark (begin, separator,
// end), one per tab, break or inline picture. Anchored (floating) shapes take no position; the
// text of a text box is a story of its own.
//
// Cost: a per-story index of top-level blocks with cumulative lengths answers "where is
// position p" by binary search. An edit invalidates the index only from the block it touches,
// and the index is rebuilt lazily up to the position asked for, so appending at the end costs
// what the appended content costs.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

namespace paperloom::word::detail {

enum class AtomKind {
    Text,            // a stretch of characters in one w:t or w:instrText
    Char,            // one character standing for an element: tab, break, inline object
    FieldBegin,      // chr(19)
    FieldSeparator,  // chr(20)
    FieldEnd,        // chr(21)
    ParagraphMark,   // "\r" ("\f" when the paragraph ends a section)
    CellEnd,         // the last paragraph mark of a cell, "\r\a"
    RowEnd,          // "\r\a"
    Marker,          // zero-length: bookmark start or end
};

struct Atom {
    AtomKind kind = AtomKind::Marker;
    pugi::xml_node node;       // w:t, w:instrText, the run child, w:p, w:tr or the marker
    pugi::xml_node paragraph;  // enclosing w:p (none for RowEnd and block-level markers)
    long start = 0;            // story position
    long length = 0;
    long paragraphOffset = 0;  // offset of `start` from the start of `paragraph`
    bool hidden = false;
    bool fieldCode = false;    // inside a field's code (between begin and separator)
    int codeDepth = 0;         // nesting depth of the innermost open field still in its code
    int fieldDepth = 0;        // fields open around the atom
    std::string_view text;     // what Text shows with every option on
};

struct TextOptions {
    bool includeHidden = false;
    bool includeFieldCodes = false;
    // Codes of the fields this deep around the range do not hide it: a nested field's result
    // reads even when the field sits in another field's code.
    int enclosingFields = 0;
};

// Formatting lookups the tree alone cannot answer (styles live in another part).
class StoryHost {
public:
    virtual ~StoryHost() = default;
    virtual bool StyleHidden(std::string_view styleId) = 0;
    // Called before a subtree leaves the story for good (removed table rows, tables).
    virtual void BeforeRemove(pugi::xml_node subtree) = 0;
};

// Content on its way into a story: blocks (w:p, w:tbl) in a scratch tree. With `openTail` the
// last paragraph has no mark of its own: its runs join the paragraph they are inserted into.
struct Fragment {
    std::unique_ptr<pugi::xml_document> tree = std::make_unique<pugi::xml_document>();
    pugi::xml_node root;  // parent of the blocks
    bool openTail = false;

    Fragment() { root = tree->append_child("fragment"); }
};

// A point between paragraph-level children where content can be inserted.
struct InsertionPoint {
    pugi::xml_node paragraph;
    pugi::xml_node before;  // insert before this child; null means at the end of the paragraph
};

// Live range ends in this story; every edit adjusts them.
struct TrackedSpan {
    long start = 0;
    long end = 0;
    std::optional<long> limit;  // the end of a running find
};

class Story {
public:
    Story(StoryHost& host, std::string part, pugi::xml_node root, long storyType);
    Story(const Story&) = delete;
    Story& operator=(const Story&) = delete;

    const std::string& Part() const { return part_; }
    pugi::xml_node Root() const { return root_; }
    long StoryType() const { return storyType_; }
    bool Alive() const { return static_cast<bool>(root_); }
    void Kill() { root_ = {}; blocks_.clear(); indexOf_.clear(); rowLengths_.clear(); }
    bool Edited() const { return edited_; }
    void ClearEdited() { edited_ = false; }

    long Length();
    std::string Text(long start, long end, TextOptions options);
    // Visits the atoms overlapping [start, end) (markers at the edges included) in order;
    // the visitor returns false to stop.
    void Visit(long start, long end, const std::function<bool(const Atom&)>& visit);
    // The atom holding position `pos` (length > 0), if any.
    std::optional<Atom> AtomAt(long pos);
    // Start position of a node in the story (a marker, w:p, w:tbl, w:tr, w:tc).
    std::optional<long> PositionOf(pugi::xml_node node);
    // Start and end position of a block-level node (w:p, w:tbl, w:tr, w:tc) in this story.
    std::optional<std::pair<long, long>> SpanOf(pugi::xml_node node);

    // Edits. Every edit adjusts the tracked spans.
    // New text takes the formatting of the character before it (or `runProperties`).
    long InsertText(long pos, std::string_view text, pugi::xml_node runProperties = {});
    // The run properties of the character at `pos` (a paragraph mark's own), if any.
    pugi::xml_node FormattingAt(long pos);
    long InsertFragment(long pos, Fragment& fragment);
    void Delete(long start, long end);
    void SetHidden(long start, long end, bool hidden);
    // Inserts a zero-length element (bookmark marker) at a position.
    pugi::xml_node InsertMarker(long pos, std::string_view name);
    // Splits the paragraph at `pos` so that a block can go before the returned paragraph.
    pugi::xml_node SplitParagraphAt(long pos);
    // For edits the model makes to the tree directly (table rows): the story's lengths from
    // the block holding `node` on are rebuilt, and the spans shift by `delta` from `pos`.
    void StructureChanged(pugi::xml_node node, long pos, long delta);

    // The formatted copy of [start, end) as a fragment.
    Fragment Extract(long start, long end);

    void Track(const std::shared_ptr<TrackedSpan>& span);
    // Where text asked for at `pos` goes: never after the story's last paragraph mark.
    long ClampInsert(long pos);
    // Length of any block-level node (w:p, w:tbl, w:tr, w:tc) as positions.
    long LengthOf(pugi::xml_node node) { return BlockLength(node); }
    // Length of a table row, remembered until an edit reaches into the row.
    long RowLength(pugi::xml_node row);

    // Effective hidden flag of a run and of a paragraph mark.
    bool RunHidden(pugi::xml_node run);
    bool MarkHidden(pugi::xml_node paragraph);

private:
    struct Block {
        pugi::xml_node node;
        long start = 0;
        long length = 0;
    };
    const Block* EnsureBlock(long pos);  // block with start <= pos < end, or nullptr
    std::size_t BlockIndex(long pos);    // index of the block holding pos (ensured)
    void Invalidate(std::size_t index);
    void EnsureAll();
    std::size_t TopBlockIndexOf(pugi::xml_node node);
    pugi::xml_node TopLevelOf(pugi::xml_node node) const;

    long BlockLength(pugi::xml_node block);
    InsertionPoint SplitAt(long pos);
    std::optional<std::pair<long, long>> Locate(pugi::xml_node node, bool startOnly);
    InsertionPoint SplitParagraph(pugi::xml_node paragraph, long offset);
    pugi::xml_node ReferenceRun(long pos, pugi::xml_node& paragraphOut);
    void DeleteInline(pugi::xml_node paragraph, long from, long to);
    // Text inserted at a range's start joins the range; blocks inserted there go before it.
    void ShiftInsert(long pos, long length, bool beforeRangesAtPos = false);
    void ShiftDelete(long start, long end);
    void Touched(std::size_t blockIndex);
    void ForgetRowsAround(pugi::xml_node node);

    StoryHost& host_;
    std::string part_;
    pugi::xml_node root_;
    long storyType_;
    std::vector<Block> blocks_;
    std::unordered_map<const void*, std::size_t> indexOf_;
    // Cached row lengths; dropped for a row an edit reaches, and wholesale when rows or
    // tables leave the tree (their storage may be reused by new nodes).
    std::unordered_map<const void*, long> rowLengths_;
    bool complete_ = false;
    bool edited_ = false;
    std::vector<std::weak_ptr<TrackedSpan>> spans_;
};

}  // namespace paperloom::word::detail
