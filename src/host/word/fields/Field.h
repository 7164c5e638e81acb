#pragma once
// Fields of a story: Fields, Field, and the entry points that find them in a range, the main
// story of a document, or the selection.
//
// A Field handle follows its field across edits (it keeps a live span from the begin mark to
// past the end mark). Its Code range reads with field codes included; setting that range's
// text and updating computes a new result, and writing the old code back afterwards keeps the
// shown result until the next update.
//
// Update computes QUOTE, "=" and INCLUDEPICTURE fields; every other field keeps its result.
// Nested fields are updated first and their results stand in for them in the outer code.
// A field that cannot be computed shows an error text as its result.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/word/Range.h"

namespace paperloom::word {

namespace detail {
struct MarkAnchor;
struct RangeAccess;
}
namespace fields {
struct FieldMarks;
}

class Document;
class Fields;
class Selection;

// Field type numbers the add-ins compare.
enum WdFieldType : long {
    wdFieldEmpty = -1,
    wdFieldFormula = 34,
    wdFieldQuote = 35,
    wdFieldIncludePicture = 67,
};

class Field {
public:
    explicit Field(std::shared_ptr<detail::RangeData> span);

    // The type number from the code's first word (wdFieldEmpty for an empty code).
    long Type() const;
    // The code (field codes included in its text) and the result.
    word::Range Code() const;
    word::Range Result() const;
    // The whole field, marks included.
    word::Range Range() const;
    // Stores a new code as the file format stores codes; the result stays.
    void SetCode(std::string_view code);
    // Replaces the shown result by text, formatted like the old result's first character.
    void SetResult(std::string_view text);
    // Recomputes the result; false when the field shows an error afterwards.
    bool Update();
    void Delete();
    // Makes the document's selection cover the whole field.
    void Select();

private:
    friend struct detail::RangeAccess;
    // The field's span (brought up to date for a field found by its begin mark).
    const std::shared_ptr<detail::RangeData>& Data() const;

    friend Fields FieldsOf(const word::Range& range);
    // Where the marks stood when the story last had the stamp kept with them; shared by the
    // copies of a handle.
    struct FoundMarks;
    // A field found by its begin mark: `where` gives the document and story; `found`, where
    // its marks stand now.
    Field(std::shared_ptr<detail::RangeData> where, std::shared_ptr<detail::MarkAnchor> begin,
          const fields::FieldMarks& found);
    fields::FieldMarks Find() const;
    fields::FieldMarks Walk() const;

    std::shared_ptr<detail::RangeData> span_;
    // Collections hold many fields: each is found by its begin mark rather than kept as a live
    // span, which every edit would have to move.
    std::shared_ptr<detail::MarkAnchor> begin_;
    // Every step (reading the code, the result, setting them) needs the marks: walking to
    // them again is only needed after the story changed.
    std::shared_ptr<FoundMarks> found_;
};

class Fields {
public:
    // `depths`: how deep each field is nested among the others of the collection.
    Fields(std::shared_ptr<detail::RangeData> scope, std::vector<Field> items, std::vector<int> depths)
        : scope_(std::move(scope)), items_(std::move(items)), depths_(std::move(depths)) {}

    long Count() const { return static_cast<long>(items_.size()); }
    // 1-based; error 5941 outside 1..Count.
    Field Item(long index) const;
    // A field in place of `range` (the range's content goes). With `type` wdFieldEmpty the
    // code is `text`; otherwise the type's keyword, then `text`, and with `preserveFormatting`
    // the switch \* MERGEFORMAT. A non-empty code is updated.
    Field Add(const word::Range& range, long type = wdFieldEmpty, std::string_view text = {},
              bool preserveFormatting = false);
    // Updates every field of the collection (outermost first computing their nested fields);
    // 0 when all went well, else the index of the first field that shows an error.
    long Update();

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::shared_ptr<detail::RangeData> scope_;
    std::vector<Field> items_;
    std::vector<int> depths_;
};

// The fields that begin inside a range, in text order (nested fields included).
Fields FieldsOf(const word::Range& range);
// The fields of a document's main story.
Fields FieldsOf(const Document& document);
Fields FieldsOf(const Selection& selection);

// Replaces the selection by a formula field: "=" formula, then "\#" and the quoted picture
// when a number format is given; the field is computed and the selection ends after it.
void InsertFormula(Selection& selection, std::string formula = {}, std::string numberFormat = {});

}  // namespace paperloom::word
