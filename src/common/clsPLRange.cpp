#include "common/clsPLRange.h"

#include "host/word/Range.h"
#include "host/word/fields/Field.h"

#include <algorithm>
#include <string>
#include <vector>

namespace paperloom {
namespace {

bool StartsWithParagraphMark(const std::string& text) {
    return !text.empty() && text.front() == '\r';
}

// The range over the text inserted at the start of a collapsed range.
word::Range InsertAt(word::Range at, std::string_view text) {
    const long lengthBefore = at.StoryLength();
    at.InsertBefore(text);
    const long inserted = at.StoryLength() - lengthBefore;
    const long start = at.Start();
    at.SetRange(start, start + inserted);
    return at;
}

// Turns the copy's fields into their results, formatted as the source's results are, except
// picture fields, which keep the source's code. The copy's fields stand in the source's order.
// A field nested in one already replaced went with it; one nested in a picture field is
// handled like any other.
void FreezeFields(const word::Range& copy, const word::Range& source) {
    const word::Fields sourceFields = word::FieldsOf(source);
    const word::Fields copyFields = word::FieldsOf(copy);
    const long count = std::min(sourceFields.Count(), copyFields.Count());
    std::vector<word::Range> replaced;  // source spans of the fields replaced so far
    for (long i = 1; i <= count; ++i) {
        const word::Field from = sourceFields.Item(i);
        const word::Range fromSpan = from.Range();
        if (!replaced.empty() && fromSpan.InRange(replaced.back())) {
            continue;
        }
        word::Field to = copyFields.Item(i);
        if (from.Type() == word::wdFieldIncludePicture) {
            to.SetCode(from.Code().Text());
        } else {
            to.Range().SetFormattedText(from.Result());
            replaced.push_back(fromSpan);
        }
    }
}

}  // namespace

void clsPLRange::InsertBeforeHiddenText(std::string_view strTarget, const word::Range& rangeTarget) const {
    if (strTarget.empty()) {
        return;
    }
    auto at = rangeTarget.Duplicate();
    at.Collapse(word::wdCollapseStart);
    InsertAt(at, strTarget).Font().SetHidden(true);
}

void clsPLRange::AppendText(std::string_view strTarget, word::Range& rangeTarget) const {
    auto at = rangeTarget.Duplicate();
    if (at.End() > 0) {
        at.TextRetrievalMode().SetIncludeHiddenText(true);
        at.SetStart(at.End() - 1);
        // A paragraph or end-of-cell mark closes the content: the text goes before it.
        at.Collapse(StartsWithParagraphMark(at.Text()) ? word::wdCollapseStart : word::wdCollapseEnd);
    }
    if (strTarget.empty()) {
        rangeTarget.SetRange(at.Start(), at.Start());
        return;
    }
    const word::Range appended = InsertAt(at, strTarget);
    rangeTarget.SetRange(appended.Start(), appended.End());
    // The new text takes the look of what precedes it, which may be the hidden property text.
    rangeTarget.Font().SetHidden(false);
}

void clsPLRange::ClearNotHiddenText(const word::Range& rangeTarget) const {
    auto visible = rangeTarget.Duplicate();
    visible.Find().ClearFormatting();
    visible.Find().Font().SetHidden(false);
    if (!visible.Find().Execute()) {
        return;
    }
    std::string text = visible.Text();
    if (StartsWithParagraphMark(text)) {
        return;
    }
    // The end-of-cell mark belongs to the table, not to the content.
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\a") == 0) {
        visible.SetEnd(visible.End() - 1);
    }
    if (visible.End() > visible.Start()) {
        visible.Delete();
    }
}

void clsPLRange::AppendRangeToPrintDoc(const word::Range& rangeDestination, const word::Range& rangeSource,
                                       long /*lngSeqIndex*/) const {
    auto copy = rangeDestination.Duplicate();
    copy.Collapse(word::wdCollapseEnd);
    // Plain fields become their results as the copy is made; others are replaced after it.
    if (!copy.SetFormattedTextAsResults(rangeSource)) FreezeFields(copy, rangeSource);

    // Property text and other hidden runs do not belong in a print document. A hidden run that
    // begins with a paragraph mark is left, so paragraphs are not merged.
    auto hidden = copy.Duplicate();
    hidden.TextRetrievalMode().SetIncludeHiddenText(true);
    hidden.Find().ClearFormatting();
    hidden.Find().Font().SetHidden(true);
    while (hidden.Find().Execute()) {
        if (!StartsWithParagraphMark(hidden.Text())) {
            hidden.Delete();
        }
    }

    auto last = copy.Duplicate();
    last.TextRetrievalMode().SetIncludeHiddenText(true);
    last.Collapse(word::wdCollapseEnd);
    if (last.End() > copy.Start()) {
        last.SetStart(last.End() - 1);
        if (last.Text() == "\r") {
            last.Delete();
        }
    }
}

void clsPLRange::CopyRange(const word::Range& rangeDestination, const word::Range& rangeSource) const {
    auto copy = rangeDestination.Duplicate();
    copy.Collapse(word::wdCollapseEnd);
    copy.SetFormattedText(rangeSource);
    if (copy.End() <= copy.Start()) {
        return;
    }
    auto last = copy.Duplicate();
    last.SetStart(last.End() - 1);
    last.Delete();
}

}  // namespace paperloom
