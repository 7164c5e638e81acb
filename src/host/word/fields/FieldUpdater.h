#pragma once
// Computes fields in place: nested fields first, then the field's own code through the field
// computation, and writes the result (text, picture or a visible error) into the story.

#include <memory>

#include "host/word/detail/DocumentState.h"
#include "host/word/fieldcalc/FieldComputer.h"
#include "host/word/fields/FieldMarks.h"

namespace paperloom::word::fields {

class FieldUpdater {
public:
    explicit FieldUpdater(std::shared_ptr<word::detail::DocumentState> doc);

    // Updates the field that `span` covers; false when it shows an error afterwards.
    // Never throws for a field that cannot be computed; a deleted field raises 5825.
    bool Update(const word::detail::RangeData& span);
    // Updates the field whose begin mark stands at `begin`.
    bool Update(word::detail::Story& story, long begin) { return UpdateAt(story, begin, 0); }
    // Updates the field whose marks stand where `field` says (found in the story as it is).
    bool Update(word::detail::Story& story, const FieldMarks& field) { return UpdateAt(story, field, 0); }

private:
    bool UpdateAt(word::detail::Story& story, long begin, int depth);
    bool UpdateAt(word::detail::Story& story, FieldMarks field, int depth);
    // Updates the fields nested directly in [from, to) of the field at `begin`.
    bool UpdateNested(word::detail::Story& story, const std::shared_ptr<word::detail::TrackedSpan>& outer,
                      bool inCode, int depth);

    std::shared_ptr<word::detail::DocumentState> doc_;
    fieldcalc::FieldComputer computer_;
};

}  // namespace paperloom::word::fields
