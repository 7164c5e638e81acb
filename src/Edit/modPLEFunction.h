#pragma once
// The designer's lookup of a header data field: the field at (or selected by) the cursor,
// searched in a field collection and then in the story that holds the selection.

#include <optional>

#include "host/word/Selection.h"
#include "host/word/fields/Field.h"

namespace paperloom::modPLEFunction {

// A QUOTE field whose second code word is one of the engine's header keywords
// (PictureField, DataField, RecordIndex, SequenceIndex, DetailPage, DetailPageMax).
bool IsDataField(const word::Field& fldTarget);

// Two passes over the fields in index order. First pass: a data field whose result, widened by
// its opening mark, holds the selection or lies inside it; or, when the selection holds
// fields, any field whose code text equals that of the selection's first field. Second pass:
// the same range test with the field's code instead of its result. Nothing when none fits.
std::optional<word::Field> FindDataFieldIn(const word::Fields& fldsTarget, const word::Selection& selTarget);

// FindDataFieldIn over the collection, then over every field of the selection's story (main
// text, header, footer or text box).
std::optional<word::Field> GetDataFieldAtCursor(const word::Fields& fldsTarget, const word::Selection& selTarget);

}  // namespace paperloom::modPLEFunction
