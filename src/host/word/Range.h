#pragma once
// A contiguous span of one story, and its facets (Font, TextRetrievalMode, Find, Characters).
//
// A Range is a cheap handle: copies share one live span, which every edit of the story
// adjusts (text inserted before the range shifts it, text inserted inside grows it, deleted
// text shrinks it). Duplicate() makes an independent span.
//
// Text: paragraph marks read "\r", end-of-cell and end-of-row marks "\r\a" (one position
// each), page breaks "\f", line breaks "\v", tabs "\t", inline pictures "\x01". Hidden text
// is left out unless TextRetrievalMode().IncludeHiddenText() is on or the document's view shows
// hidden text. Field codes and the field marks (chr 19, 20, 21) are left out unless
// TextRetrievalMode().IncludeFieldCodes() is on; a field's result is always in the text.

#include <memory>
#include <string>
#include <string_view>

#include "host/word/Constants.h"

namespace paperloom::word {

namespace detail {
struct RangeData;
struct RangeAccess;
}

class Document;
class Tables;
class Bookmarks;
class Range;

class Font {
public:
    explicit Font(std::shared_ptr<detail::RangeData> data) : data_(std::move(data)) {}
    // wdTrue when every character is hidden, wdFalse when none is, wdUndefined when mixed.
    long Hidden() const;
    void SetHidden(bool hidden);

    // Character formatting as it shows (direct formatting, then the character style, the
    // paragraph style and the document's defaults). Over mixed text the flags and numbers read
    // wdUndefined and the names "". Setting formats every character of the range (paragraph
    // marks included); a flag set off where a style turns it on is written off explicitly.
    long Bold() const;
    void SetBold(bool bold);
    long Italic() const;
    void SetItalic(bool italic);
    long Underline() const;  // WdUnderline
    void SetUnderline(long underline);
    std::string Name() const;  // Latin text
    void SetName(std::string_view name);
    std::string NameFarEast() const;  // East Asian text
    void SetNameFarEast(std::string_view name);
    float Size() const;  // points
    void SetSize(float points);
    long Color() const;  // 0xBBGGRR or wdColorAutomatic
    void SetColor(long color);

private:
    std::shared_ptr<detail::RangeData> data_;
};

// The formatting of the paragraphs a range touches (the caret's paragraph when collapsed).
class ParagraphFormat {
public:
    explicit ParagraphFormat(std::shared_ptr<detail::RangeData> data) : data_(std::move(data)) {}
    // WdParagraphAlignment; wdUndefined when the paragraphs differ.
    long Alignment() const;
    void SetAlignment(long alignment);

private:
    std::shared_ptr<detail::RangeData> data_;
};

class TextRetrievalMode {
public:
    explicit TextRetrievalMode(std::shared_ptr<detail::RangeData> data) : data_(std::move(data)) {}
    bool IncludeHiddenText() const;
    void SetIncludeHiddenText(bool include);
    bool IncludeFieldCodes() const;
    void SetIncludeFieldCodes(bool include);

private:
    std::shared_ptr<detail::RangeData> data_;
};

// Find by formatting (and optionally by text). On success the range it came from is
// redefined to the found text; executing again continues after it, up to where the first
// search ended.
// The formatting a Find looks for.
class FindFont {
public:
    explicit FindFont(std::shared_ptr<detail::RangeData> data) : data_(std::move(data)) {}
    // wdUndefined while the find does not look at the hidden flag.
    long Hidden() const;
    void SetHidden(bool hidden);

private:
    std::shared_ptr<detail::RangeData> data_;
};

class Find {
public:
    explicit Find(std::shared_ptr<detail::RangeData> data) : data_(std::move(data)) {}
    void ClearFormatting();
    FindFont Font() { return FindFont(data_); }
    void SetText(std::string_view text);
    std::string Text() const;
    bool Execute();

private:
    std::shared_ptr<detail::RangeData> data_;
};

class Characters {
public:
    explicit Characters(std::shared_ptr<detail::RangeData> data) : data_(std::move(data)) {}
    long Count() const;
    Range Item(long index) const;
    Range First() const;
    Range Last() const;

private:
    std::shared_ptr<detail::RangeData> data_;
};

class Range {
public:
    explicit Range(std::shared_ptr<detail::RangeData> data) : data_(std::move(data)) {}

    std::string Text() const;
    void SetText(std::string_view text);
    // The formatted content; setting it replaces this range with a formatted copy of another
    // range (from any document: pictures, styles and numbering it uses come along).
    Range FormattedText() const { return *this; }
    void SetFormattedText(const Range& source);
    // SetFormattedText whose copy shows the results of its fields in their place, when that
    // can be done on the copy as it is made: the source is a whole story and its fields are
    // plain ones (marks, codes and results in runs of their own, none nested, none a picture
    // field). False when the copy was made as SetFormattedText makes it, fields and all.
    bool SetFormattedTextAsResults(const Range& source);
    Range Duplicate() const;

    long Start() const;
    long End() const;
    void SetStart(long start);
    void SetEnd(long end);
    void SetRange(long start, long end);
    long StoryLength() const;
    long StoryType() const;

    word::Font Font() const { return word::Font(data_); }
    word::ParagraphFormat ParagraphFormat() const { return word::ParagraphFormat(data_); }
    word::TextRetrievalMode TextRetrievalMode() const { return word::TextRetrievalMode(data_); }
    word::Find Find() const { return word::Find(data_); }
    word::Characters Characters() const { return word::Characters(data_); }
    word::Tables Tables() const;
    word::Bookmarks Bookmarks() const;
    std::shared_ptr<word::Document> Document() const;

    bool InRange(const Range& other) const;
    bool IsEqual(const Range& other) const;
    void Collapse(long direction = wdCollapseStart);
    void InsertBefore(std::string_view text);
    void InsertAfter(std::string_view text);
    // Replaces the range with a break; the range then covers the break.
    void InsertBreak(long type = wdPageBreak);
    // Deletes the range's content; returns the number of positions removed.
    long Delete();

private:
    friend struct detail::RangeAccess;
    const std::shared_ptr<detail::RangeData>& Data() const { return data_; }
    bool CopyFormatted(const Range& source, bool asResults);

    std::shared_ptr<detail::RangeData> data_;
};

}  // namespace paperloom::word
