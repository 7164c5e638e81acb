#pragma once
// Reading and rewriting the parts of one field in its story.

#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "host/word/detail/DocumentState.h"
#include "host/word/fields/FieldMarks.h"

namespace paperloom::word::fields {

// The field a live span covers; error 5825 when it is gone.
FieldMarks Locate(const word::detail::RangeData& span);

// The code as written, nested fields' marks and codes included.
std::string RawCode(word::detail::Story& story, const FieldMarks& field);
// The code as it is computed: each nested field stands for its shown result.
std::string EffectiveCode(word::detail::Story& story, const FieldMarks& field);

// Gives a field without result a separator; returns the field's marks afterwards.
FieldMarks EnsureSeparator(word::detail::Story& story, const FieldMarks& field);

// Replaces the code by `code`, stored in w:instrText runs formatted like the begin mark.
void WriteCode(word::detail::Story& story, const FieldMarks& field, std::string_view code);

// A copy of the run properties at a position, kept in `holder` (edits may remove the source).
pugi::xml_node CopyFormattingAt(word::detail::Story& story, long pos, pugi::xml_document& holder);
// The same for the begin mark of a field and for the first character of its code.
pugi::xml_node CopyFormattingOfBegin(word::detail::Story& story, const FieldMarks& field, pugi::xml_document& holder);
pugi::xml_node CopyFormattingOfCode(word::detail::Story& story, const FieldMarks& field, pugi::xml_document& holder);

// Replaces the result by text with the given run properties (none: like the separator).
void WriteResult(word::detail::Story& story, const FieldMarks& field, std::string_view text, pugi::xml_node look);

// Replaces the result by a prepared fragment (a picture).
void WriteResultFragment(word::detail::Story& story, const FieldMarks& field, word::detail::Fragment& fragment);

}  // namespace paperloom::word::fields
