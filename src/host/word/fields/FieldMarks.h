#pragma once
// Where a field's marks stand in its story. Fields nest: an inner field lies wholly inside the
// code or the result of the field around it.

#include <optional>
#include <vector>

#include "host/word/detail/Story.h"

namespace paperloom::word::fields {

struct FieldMarks {
    long begin = 0;
    std::optional<long> separator;  // none for a field that has no result yet
    long end = 0;
    int depth = 0;  // 0 for a field in the open text, 1 inside another field ...
    pugi::xml_node beginMark;  // the begin mark's w:fldChar

    // The code lies between the begin mark and the separator (or the end mark).
    long CodeStart() const { return begin + 1; }
    long CodeEnd() const { return separator ? *separator : end; }
    long ResultStart() const { return separator ? *separator + 1 : end; }
    long ResultEnd() const { return end; }
};

// The complete fields whose begin mark lies in [from, to), in the order of their begin marks
// (an outer field before the fields inside it). Marks without a partner are ignored.
std::vector<FieldMarks> FieldsStartingIn(word::detail::Story& story, long from, long to);

// The field whose begin mark is the first one at or after `from` and before `to`, if any.
std::optional<FieldMarks> FirstFieldIn(word::detail::Story& story, long from, long to);

// The innermost field with begin < pos <= end whose begin lies in the paragraph holding
// `pos` (fields rarely span paragraphs; looking further back would cost the whole story).
std::optional<FieldMarks> FieldAround(word::detail::Story& story, long pos);

// The fields nested directly inside [from, to) of an enclosing field (depth one below it).
std::vector<FieldMarks> ChildFields(word::detail::Story& story, long from, long to);

// Code text written as ordinary text runs (w:t) inside a code becomes w:instrText, which is
// how the file format stores codes; positions do not change. True when fields are nested in
// the code.
bool NormaliseCodeRuns(word::detail::Story& story, const FieldMarks& field);

}  // namespace paperloom::word::fields
