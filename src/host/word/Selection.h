#pragma once
// The selection of a document's window: a range the user (or a command) works at.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/word/Range.h"
#include "host/word/Table.h"

namespace paperloom::word {

class Cells {
public:
    explicit Cells(std::vector<Cell> cells) : cells_(std::move(cells)) {}
    long Count() const { return static_cast<long>(cells_.size()); }
    const Cell& Item(long index) const;

private:
    std::vector<Cell> cells_;
};

class Selection {
public:
    explicit Selection(std::shared_ptr<detail::RangeData> data) : data_(std::move(data)) {}
    // A range over what is selected (a separate range: moving it leaves the selection).
    word::Range Range() const { return word::Range(data_).Duplicate(); }
    long Start() const { return word::Range(data_).Start(); }
    long End() const { return word::Range(data_).End(); }
    void SetRange(long start, long end) { word::Range(data_).SetRange(start, end); }
    void Collapse(long direction = wdCollapseStart) { word::Range(data_).Collapse(direction); }
    std::string Text() const { return word::Range(data_).Text(); }
    // Replace what is selected; the selection then covers the new content.
    void SetText(std::string_view text) { word::Range(data_).SetText(text); }
    void SetFormattedText(const word::Range& source) { word::Range(data_).SetFormattedText(source); }
    word::Tables Tables() const { return word::Range(data_).Tables(); }
    word::Bookmarks Bookmarks() const;
    // The table cells the selection touches, in order.
    word::Cells Cells() const;
    // Moves the selection; only wdGoToBookmark (with a name) is supported.
    word::Range GoTo(long what, long which = 0, long count = 0, std::string_view name = {});
    // Selects a range of the same document.
    void Select(const word::Range& range);

private:
    std::shared_ptr<detail::RangeData> data_;
};

}  // namespace paperloom::word
