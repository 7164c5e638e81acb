#pragma once
// What a story holds, for drawing it: its paragraphs with their runs, tables with their rows and
// cells, inline pictures and the text boxes anchored in its paragraphs, each with the story
// positions it covers and its formatting resolved (document defaults, styles, direct
// formatting).
//
// Every position of the story appears exactly once: in a piece, as a paragraph's mark or as a
// row's end mark. Whether a piece is shown follows the document's view: hidden text only while
// the view shows hidden text; field codes and the field braces instead of field results while
// it shows field codes.

#include <memory>
#include <string>
#include <vector>

#include "host/word/Range.h"

// In a namespace of its own: these are plain values read out for drawing, not the model's
// handles of the same names.
namespace paperloom::word::layout {

enum class Underline { None, Single, Double, Thick, Dotted, Dashed, Wavy };

struct CharacterFormat {
    std::string latinFont;
    std::string eastAsianFont;
    double size = 10.5;  // points
    bool bold = false;
    bool italic = false;
    bool strike = false;
    Underline underline = Underline::None;
    std::string color;    // "RRGGBB"; empty for automatic
    std::string shading;  // "RRGGBB" behind the text (highlight or run shading); empty for none

    bool operator==(const CharacterFormat&) const = default;
};

enum class PieceKind {
    Text,
    Tab,
    LineBreak,
    PageBreak,
    ColumnBreak,
    Picture,  // an inline picture: imagePart, width, height
    Object,   // another inline object (chart, embedded object, inline text box)
    Symbol,   // symbol, note reference, special hyphens
    FieldBegin,
    FieldSeparator,
    FieldEnd,
};

struct Piece {
    PieceKind kind = PieceKind::Text;
    long start = 0;
    long length = 0;      // positions (UTF-16 code units for text)
    std::string text;     // UTF-8; for Text pieces the characters, otherwise what Range.Text reads
    CharacterFormat format;
    bool hidden = false;
    bool fieldCode = false;  // part of a field's code
    int fieldDepth = 0;      // fields open around the piece
    bool shown = true;       // drawn in the current view
    bool inResult = false;   // shown as a field's result (drawn with field shading)
    std::string imagePart;   // Picture: the image part's name, empty when it has none
    std::string imageLink;   // Picture: the file a linked picture shows (as stored), if linked
    double width = 0;        // Picture, Object: points
    double height = 0;
};

enum class Alignment { Left, Center, Right, Justify, Distribute };

struct ParagraphFormat {
    Alignment alignment = Alignment::Left;
    double leftIndent = 0;   // points
    double rightIndent = 0;
    double firstLine = 0;    // negative for a hanging indent
    double spaceBefore = 0;
    double spaceAfter = 0;
    double lineSpacing = 1;  // a multiple of single spacing
};

struct Border {
    bool present = false;
    double width = 0.5;  // points
    std::string color;   // "RRGGBB"; empty for automatic
};

struct Borders {
    Border top, left, bottom, right;
};

struct ParagraphLayout;
struct TableLayout;

struct Block {
    std::unique_ptr<ParagraphLayout> paragraph;  // exactly one of the two is set
    std::unique_ptr<TableLayout> table;
};

struct ParagraphLayout {
    long start = 0;
    long mark = 0;              // position of the paragraph mark (the cell end mark in a cell)
    bool cellEnd = false;       // the mark ends a table cell
    bool sectionBreak = false;  // the paragraph ends a section
    bool markHidden = false;
    bool markShown = true;
    ParagraphFormat format;
    CharacterFormat markFormat;
    std::vector<Piece> pieces;
    // The text boxes anchored in the paragraph: a range over each one's own story.
    std::vector<Range> textBoxes;
};

enum class VerticalMerge { None, Restart, Continue };

struct CellLayout {
    long start = 0;
    long end = 0;        // after the cell's end mark
    int gridColumn = 0;  // first grid column the cell covers
    int span = 1;        // grid columns covered
    double width = 0;    // points; 0 when the cell gives none
    VerticalMerge verticalMerge = VerticalMerge::None;
    std::string shading;  // "RRGGBB"; empty for none
    Borders borders;      // the table's borders where the cell gives none of its own
    std::vector<Block> blocks;
};

struct RowLayout {
    long start = 0;
    long endMark = 0;  // position of the row's end mark
    double height = 0;  // points; 0 for automatic
    std::vector<CellLayout> cells;
};

struct TableLayout {
    long start = 0;
    long end = 0;
    double indent = 0;
    Alignment alignment = Alignment::Left;
    std::vector<double> grid;  // column widths in points
    std::vector<RowLayout> rows;
};

struct StoryLayout {
    long length = 0;  // of the whole story
    long start = 0;   // of what was read
    long end = 0;     // after what was read
    std::vector<Block> blocks;

    // The story `range` lies in, read as a whole.
    static StoryLayout Read(const Range& range);
    // Part of it, for a long story shown a piece at a time: the top-level blocks (paragraphs,
    // whole tables) from `start`, which must be where one begins (0, or the `end` of the part
    // read before), until at least `minimum` positions are read or the story ends.
    static StoryLayout ReadPart(const Range& range, long start, long minimum);
    // Where the top-level block (paragraph or whole table) holding `position` begins, for
    // ReadPart to start at.
    static long BlockStart(const Range& range, long position);
};

// The text the model gives for a piece in Range.Text with the view's settings (empty when the
// retrieval leaves the piece out).
std::string RetrievedText(const Piece& piece, bool showHidden);

}  // namespace paperloom::word::layout
