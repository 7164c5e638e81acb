#pragma once
// The designer's lookup of a header data field: the field at (or selected by) the cursor,
// searched in a field collection and then in the story that holds the selection.

#include <functional>
#include <optional>
#include <string>

#include "host/word/Selection.h"
#include "host/word/Shapes.h"
#include "host/word/fields/Field.h"

namespace paperloom::modPLEFunction {

// The field's code as text (the codes of fields nested in it included).
std::string FieldCodeText(const word::Field& fldTarget);

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

// A lookup run on the fields of one text range, e.g. GetDataFieldAtCursor.
using FieldLookup = std::function<std::optional<word::Field>(const word::Fields&, const word::Selection&)>;

// The floating shapes in index order (a group's items in place of the group): the lookup runs
// on the fields of each text frame that has text, and the first field it finds ends the search.
std::optional<word::Field> FindFieldInShapes(const word::Shapes& shpsTarget, const word::Selection& selTarget,
                                             const FieldLookup& lookup);

// The statistics or formula field at the cursor: the first QUOTE or formula field whose result,
// then (second pass) whose code, widened by its opening mark, holds the selection or lies inside
// it; failing both, the selection's first field when it is one of those kinds.
std::optional<word::Field> GetCalcFieldAtCursor(const word::Fields& fldsTarget, const word::Selection& selTarget);

}  // namespace paperloom::modPLEFunction
