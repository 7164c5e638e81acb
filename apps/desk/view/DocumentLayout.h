#pragma once
// The design view of a document as a text document Qt can lay out and draw: the headers, the
// main text with its tables, pictures and text boxes, and the footers, read from the object
// model, with the map between the drawn characters and the model's story positions.
//
// Caret stops are the places the caret can stand: before each drawn character that holds a
// position, and before each shown paragraph or cell mark. Positions that are not drawn (hidden
// text while it is not shown, field codes or results, row end marks, the cells a vertical merge
// covers) go to the next stop of their story.

#include <QString>
#include <QTextDocument>

#include <memory>
#include <optional>
#include <vector>

#include "host/word/Range.h"

namespace paperloom::word {
class Document;
}

namespace paperloom::desk::view {

struct StoryPosition {
    int story = 0;  // index into the layout's stories
    long position = 0;
    bool operator==(const StoryPosition&) const = default;
};

class DocumentLayout {
public:
    // Reads the document as its view settings show it; `pixelsPerPoint` scales the page. With
    // a `chunk`, the main text is read that many positions (rounded up to whole paragraphs and
    // tables) at a time: the first part now, the rest by Extend, so that a long document shows
    // at once. Text is only ever appended, so what is built stays valid.
    // With `from`, the main text starts at the paragraph or table holding that position (a
    // long document changed far from its start shows again without reading what lies before).
    explicit DocumentLayout(word::Document& document, long chunk = 0, long from = 0,
                            double pixelsPerPoint = 96.0 / 72.0);
    ~DocumentLayout();
    DocumentLayout(const DocumentLayout&) = delete;
    DocumentLayout& operator=(const DocumentLayout&) = delete;

    // Builds the next part (of `minimum` positions, or the chunk given at construction);
    // false once everything is built.
    bool Extend(long minimum = 0);
    bool Complete() const;
    // The main text's positions from MainBuiltFrom up to MainBuiltUntil are built.
    long MainBuiltFrom() const;
    long MainBuiltUntil() const;
    // The text-document positions of the line standing for the main text left out before
    // MainBuiltFrom (empty when nothing is left out).
    std::pair<int, int> LeftOutLine() const;

    QTextDocument& Text() noexcept { return text_; }
    const QTextDocument& Text() const noexcept { return text_; }
    // The width the text is laid out in (the page less its margins), in pixels.
    double TextWidth() const noexcept { return textWidth_; }

    int StoryCount() const noexcept { return static_cast<int>(stories_.size()); }
    // A range over the whole of a story (0 is the main text).
    word::Range StoryRange(int story) const;
    // The story `range` lies in; nullopt for a story the view does not show.
    std::optional<int> StoryOf(const word::Range& range) const;
    // A range of a story.
    word::Range RangeOf(int story, long start, long end) const;

    // Stops of a story in position order.
    const std::vector<long>& Stops(int story) const { return stories_[static_cast<std::size_t>(story)].stops; }
    // The text-document position of a story position: that of its stop, or of the next stop.
    int TextPosition(StoryPosition at) const;
    // The story position drawn at a text-document position (the nearest stop at or after it,
    // else before it).
    StoryPosition PositionAt(int textPosition) const;
    // The stop before or after `at` in its story (itself at either end).
    StoryPosition Step(StoryPosition at, int direction) const;
    // What the model's Range.Text reads for [start, end) of a story, as the view holds it.
    QString RetrievedText(int story, long start, long end) const;

private:
    class Builder;
    struct Item {
        long start = 0;
        long length = 0;
        QString text;  // as Range.Text reads it with the view's settings
    };
    struct Story {
        word::Range range;
        std::vector<long> stops;
        std::vector<int> stopText;  // text-document position of each stop
        std::vector<Item> items;    // in position order
    };
    struct Anchor {
        int textPosition = 0;
        int story = 0;
        long position = 0;
    };

    QTextDocument text_;
    std::unique_ptr<Builder> builder_;
    double textWidth_ = 0;
    std::vector<Story> stories_;
    std::vector<Anchor> byText_;  // every stop, in text-document order
};

}  // namespace paperloom::desk::view
