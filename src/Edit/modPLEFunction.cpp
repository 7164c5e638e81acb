#include "Edit/modPLEFunction.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/modPLFunction.h"
#include "host/word/Constants.h"

namespace paperloom::modPLEFunction {
namespace {

constexpr std::array<std::string_view, 6> kHeaderKeywords = {"PictureField", "DataField",     "RecordIndex",
                                                             "SequenceIndex", "DetailPage", "DetailPageMax"};

// The range widened one position to the left, so it takes in the field's opening mark.
word::Range WidenedLeft(const word::Range& range) {
    auto widened = range.Duplicate();
    if (widened.Start() > 0) widened.SetStart(widened.Start() - 1);
    return widened;
}

// The selection inside the range, or the range inside the selection (same story only).
bool Overlaps(const word::Range& range, const word::Range& selection) {
    return selection.InRange(range) || range.InRange(selection);
}

bool IsCalcField(const word::Field& field) {
    const long type = field.Type();
    return type == word::wdFieldQuote || type == word::wdFieldFormula;
}

}  // namespace

std::string FieldCodeText(const word::Field& fldTarget) {
    auto code = fldTarget.Code();
    code.TextRetrievalMode().SetIncludeFieldCodes(true);
    return code.Text();
}

bool IsDataField(const word::Field& fldTarget) {
    if (fldTarget.Type() != word::wdFieldQuote) return false;
    std::vector<std::string> words;
    if (modPLFunction::SplitTokens(FieldCodeText(fldTarget), words, "") < 2) return false;
    for (const auto keyword : kHeaderKeywords)
        if (words[1] == keyword) return true;
    return false;
}

std::optional<word::Field> FindDataFieldIn(const word::Fields& fldsTarget, const word::Selection& selTarget) {
    const word::Range selection = selTarget.Range();
    std::optional<std::string> firstSelectedCode;
    if (const auto selected = word::FieldsOf(selection); selected.Count() > 0)
        firstSelectedCode = FieldCodeText(selected.Item(1));

    for (const auto& field : fldsTarget) {
        if (Overlaps(WidenedLeft(field.Result()), selection) && IsDataField(field)) return field;
        if (firstSelectedCode && FieldCodeText(field) == *firstSelectedCode) return field;
    }
    for (const auto& field : fldsTarget)
        if (Overlaps(WidenedLeft(field.Code()), selection) && IsDataField(field)) return field;
    return std::nullopt;
}

std::optional<word::Field> GetDataFieldAtCursor(const word::Fields& fldsTarget, const word::Selection& selTarget) {
    if (auto found = FindDataFieldIn(fldsTarget, selTarget)) return found;
    auto story = selTarget.Range();
    story.SetRange(0, story.StoryLength());
    const auto storyFields = word::FieldsOf(story);
    if (storyFields.Count() == 0) return std::nullopt;
    return FindDataFieldIn(storyFields, selTarget);
}

std::optional<word::Field> FindFieldInShapes(const word::Shapes& shpsTarget, const word::Selection& selTarget,
                                             const FieldLookup& lookup) {
    const auto inFrame = [&](const word::Shape& shape) -> std::optional<word::Field> {
        const auto frame = shape.TextFrame();
        if (!frame.HasText()) return std::nullopt;
        return lookup(word::FieldsOf(frame.TextRange()), selTarget);
    };
    for (const auto& shape : shpsTarget) {
        if (shape.Type() == word::msoGroup) {
            for (const auto& item : shape.GroupItems())
                if (auto found = inFrame(item)) return found;
        } else if (auto found = inFrame(shape)) {
            return found;
        }
    }
    return std::nullopt;
}

std::optional<word::Field> GetCalcFieldAtCursor(const word::Fields& fldsTarget, const word::Selection& selTarget) {
    const word::Range selection = selTarget.Range();
    for (const auto& field : fldsTarget)
        if (Overlaps(WidenedLeft(field.Result()), selection) && IsCalcField(field)) return field;
    for (const auto& field : fldsTarget)
        if (Overlaps(WidenedLeft(field.Code()), selection) && IsCalcField(field)) return field;
    if (const auto selected = word::FieldsOf(selection); selected.Count() > 0) {
        if (const auto first = selected.Item(1); IsCalcField(first)) return first;
    }
    return std::nullopt;
}

}  // namespace paperloom::modPLEFunction
