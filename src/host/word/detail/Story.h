#pragma once
// A story: one independent sequence of character positions (the main text, a header or
// footer, the contents of a text box), over the WordprocessingML tree that holds it.
//
// Positions count as the word processor counts them: one per UTF-16 code unit of text, one per
// paragraph mark, end-of-cell mark and end-of-row mark, one per field mark (begin, separator,
// end), one per tab, break or inline picture. Anchored (floating) shapes take no position; the
// text of a text box is a story of its own.
//
// Cost: a per-story index of units (top-level blocks, and each row of a top-level table as a
// unit of its own) with their start positions answers "where is position p" by binary search.
// An edit measures again only the units it touched and moves the later ones by the change in
// length; the index is built lazily up to the position asked for. Reading or writing a cell of
// a long table therefore costs what its row holds, and appending at the end costs what the
// appended content costs.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "host/word/detail/NodeCache.h"
#include "host/word/detail/UnitIndex.h"

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
    std::unique_ptr<pugi::xml_document> tree;
    pugi::xml_node root;  // parent of the blocks
    bool openTail = false;

    Fragment() : tree(std::make_unique<pugi::xml_document>()) { root = tree->append_child("fragment"); }
    // Built beside the content of the tree it goes into (`document`: that tree's document
    // node), so that its blocks are moved in rather than copied again; it leaves the tree with
    // the fragment. Nothing may read that tree as a whole while it is there.
    explicit Fragment(pugi::xml_node document) { root = document.append_child("fragment"); }
    Fragment(Fragment&& other) noexcept
        : tree(std::move(other.tree)), root(std::exchange(other.root, {})), openTail(other.openTail) {}
    Fragment& operator=(Fragment&&) = delete;
    ~Fragment() {
        if (!tree && root) root.parent().remove_child(root);
    }
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
    void Kill() {
        root_ = {};
        index_.Clear();
        lengths_.Clear();
        tableRows_.Clear();
    }
    bool Edited() const { return edited_; }
    void ClearEdited() { edited_ = false; }
    // Moves on with every edit (positions, content or formatting): what was found in the story
    // at one stamp, such as where a field's marks stand, still holds while the stamp is the same.
    unsigned long EditStamp() const { return editStamp_; }

    long Length();
    std::string Text(long start, long end, TextOptions options);
    // Visits the atoms overlapping [start, end) (markers at the edges included) in order;
    // the visitor returns false to stop. Without `withHidden` the atoms' hidden flags are left
    // false: working them out is much of a walk, and most visitors never read them.
    void Visit(long start, long end, const std::function<bool(const Atom&)>& visit, bool withHidden = true);
    // The atom holding position `pos` (length > 0), if any; its hidden flag is not worked out.
    std::optional<Atom> AtomAt(long pos);
    // The unit of the index (top-level block, or row of a top-level table) holding `pos`, if
    // any: found without walking.
    pugi::xml_node UnitAt(long pos);
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
    // Gives the w:t or w:instrText node holding [pos, pos + length) new text, as deleting it
    // and inserting the text there again would, without splitting or measuring its paragraph
    // again; returns the new text's length.
    long ReplaceNodeText(pugi::xml_node textNode, long pos, long length, std::string_view text);
    void Delete(long start, long end);
    void SetHidden(long start, long end, bool hidden);
    // Character formatting of [start, end): the runs are split at both ends and `apply` gets
    // the run properties (created when missing) of every run and paragraph mark inside.
    void FormatRuns(long start, long end, const std::function<void(pugi::xml_node rPr)>& apply);
    // The paragraphs [start, end) touches (the caret's paragraph when empty), in order.
    std::vector<pugi::xml_node> ParagraphsIn(long start, long end);
    // Paragraph formatting: `apply` gets the paragraph properties (created when missing) of
    // every paragraph [start, end) touches.
    void FormatParagraphs(long start, long end, const std::function<void(pugi::xml_node pPr)>& apply);
    // Puts the story over a new tree (the document's parts restored from a snapshot): the
    // index starts again and every tracked span is kept within the new length.
    void Rebind(pugi::xml_node root);
    // Inserts a zero-length element (bookmark marker) at a position.
    pugi::xml_node InsertMarker(long pos, std::string_view name);
    // Splits the paragraph at `pos` so that a block can go before the returned paragraph.
    pugi::xml_node SplitParagraphAt(long pos);
    // For edits the model makes to the tree directly. A block-level node (table row, table,
    // bookmark marker) just put into the story at `pos`: the index takes it in and the spans
    // move; returns its length.
    long BlockInserted(pugi::xml_node node, long pos);
    // Removes a table row or a table from the story.
    void RemoveBlock(pugi::xml_node node);
    // Removes a bookmark marker, wherever it stands.
    void RemoveMarker(pugi::xml_node marker);
    // The rows of a table (w:tr children), remembered until rows come or go.
    const std::vector<pugi::xml_node>& TableRows(pugi::xml_node table);

    // The formatted copy of [start, end) as a fragment; with `home`, built in that document
    // (see Fragment).
    Fragment Extract(long start, long end, pugi::xml_node home = {});

    void Track(const std::shared_ptr<TrackedSpan>& span);
    // Where text asked for at `pos` goes: never after the story's last paragraph mark.
    long ClampInsert(long pos);
    // Length of any block-level node (w:p, w:tbl, w:tr, w:tc) as positions.
    long LengthOf(pugi::xml_node node) { return BlockLength(node); }
    // Length of a table row, remembered until an edit reaches into the row.
    long RowLength(pugi::xml_node row);
    // Length of a table cell, remembered until an edit reaches into the cell.
    long CellLength(pugi::xml_node cell);

    // Effective hidden flag of a run and of a paragraph mark.
    bool RunHidden(pugi::xml_node run);
    // What the run's own properties say: 1 hidden, 0 shown, -1 as its paragraph's style says.
    int RunHiddenByItself(pugi::xml_node run);
    bool ParagraphStyleHidden(pugi::xml_node paragraph);
    bool MarkHidden(pugi::xml_node paragraph);

private:
    // The work of Delete and Extract below the unit index, one class each (Story.cpp).
    class Deletion;
    class Extraction;
    // A block-level node with its place in the story.
    struct BlockSpan {
        pugi::xml_node node;
        long start = 0;
        long length = 0;
        long End() const { return start + length; }
    };
    // The blocks of a container from `pos` on, content controls and custom XML looked
    // through; returns the container's end.
    long ChildBlocks(pugi::xml_node container, long pos, std::vector<BlockSpan>& out);

    bool EnsureBlock(long pos);        // true when a unit holds pos (start <= pos < end)
    std::size_t BlockIndex(long pos);  // index of the unit holding pos (ensured)
    void Invalidate(std::size_t index);
    void EnsureAll();
    // Units: what the index holds. A top-level table with content is no unit itself: its
    // children are.
    bool IsSplitTable(pugi::xml_node node) const;
    pugi::xml_node FirstUnitFrom(pugi::xml_node node) const;  // node or the first unit inside it
    pugi::xml_node LastUnitOf(pugi::xml_node node) const;
    pugi::xml_node NextUnit(pugi::xml_node unit) const;  // the first unit for none
    pugi::xml_node PreviousUnit(pugi::xml_node node) const;
    pugi::xml_node UnitOf(pugi::xml_node node) const;  // the unit holding node, if any
    std::optional<std::size_t> UnitIndexOf(pugi::xml_node unit);  // indexed on demand
    pugi::xml_node NodeAfter(std::size_t index) const;
    // After an edit: the units from `first` up to (not including) the unit `after` are measured
    // again; without `after` in the index, the index ends at `first`.
    void Reindex(std::size_t first, pugi::xml_node after);
    void TableRowsChanged(pugi::xml_node table, pugi::xml_node row, bool added);

    long BlockLength(pugi::xml_node block);
    InsertionPoint SplitAt(long pos);
    InsertionPoint SplitAt(long pos, const std::optional<Atom>& atom);  // `atom`: AtomAt(pos)
    std::optional<std::pair<long, long>> Locate(pugi::xml_node node, bool startOnly);
    InsertionPoint SplitParagraph(pugi::xml_node paragraph, long offset);
    // The run new text at `pos` takes its look from; `here` and `before` are the atoms at pos
    // and pos - 1.
    pugi::xml_node ReferenceRun(long pos, const std::optional<Atom>& here, const std::optional<Atom>& before,
                                pugi::xml_node& paragraphOut);
    // InsertFragment with the atom at `pos` known (the tree unchanged since it was found).
    long InsertFragment(long pos, Fragment& fragment, const std::optional<Atom>* atPos);
    void DeleteInline(pugi::xml_node paragraph, long from, long to);
    // Text inserted at a range's start joins the range; blocks inserted there go before it.
    void ShiftInsert(long pos, long length, bool beforeRangesAtPos = false);
    void ShiftDelete(long start, long end);
    void ForgetRowsAround(pugi::xml_node node);

    StoryHost& host_;
    std::string part_;
    pugi::xml_node root_;
    long storyType_;
    UnitIndex index_;
    // Cached lengths of table rows and cells; dropped for the rows and cells an edit reaches,
    // and all at once (a new generation) when rows or tables leave the tree.
    NodeCache<long> lengths_;
    // Rows by table; dropped with the table's rows as they change, all at once when tables leave.
    NodeCache<std::vector<pugi::xml_node>> tableRows_;
    bool complete_ = false;
    bool edited_ = false;
    unsigned long editStamp_ = 0;
    std::vector<std::weak_ptr<TrackedSpan>> spans_;
};

}  // namespace paperloom::word::detail
