#pragma once
// Range edits that keep the hidden property text of a cell apart from its visible content,
// and the copies that append template content to another range (print documents). Keeps no
// state; every operation works on a duplicate of the range it is given unless it says
// otherwise. Document errors pass to the caller unchanged.

#include <string_view>

namespace paperloom::word {
class Range;
}

namespace paperloom {

class clsPLRange {
public:
    // Inserts the text at the start of the range and makes the inserted characters hidden.
    void InsertBeforeHiddenText(std::string_view strTarget, const word::Range& rangeTarget) const;

    // Appends the text as visible text at the end of the range's content, before a closing
    // paragraph or end-of-cell mark; rangeTarget is moved to cover exactly the appended text.
    void AppendText(std::string_view strTarget, word::Range& rangeTarget) const;

    // Deletes the first run of visible text in the range (up to, not including, an end-of-cell
    // mark), keeping the hidden property text. A run that begins with a paragraph mark stays.
    void ClearNotHiddenText(const word::Range& rangeTarget) const;

    // Appends a copy of the source at the end of the destination; the copy's fields become
    // plain text with their results' formatting, except picture fields, which keep their
    // code. Then removes every hidden run of the copy that does not begin with a paragraph
    // mark, and a paragraph mark the copy ends with. lngSeqIndex (the record's sequence
    // number) is not used here. The document's selection is left where it was.
    void AppendRangeToPrintDoc(const word::Range& rangeDestination, const word::Range& rangeSource,
                               long lngSeqIndex) const;

    // Appends a formatted copy of the source at the end of the destination and removes the
    // copy's last character (whatever it is). An empty source appends and removes nothing.
    void CopyRange(const word::Range& rangeDestination, const word::Range& rangeSource) const;
};

}  // namespace paperloom
