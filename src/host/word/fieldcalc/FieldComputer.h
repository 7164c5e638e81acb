#pragma once
// Computes the result of one field from its code. The document model calls this for every
// field it updates, after it has replaced nested fields by their results:
//
//   FieldComputer computer;
//   FieldResult result = computer.Compute(code, contextOfThisField);
//   switch (result.kind) { Keep: leave the result; Text/Error: show result.text;
//                          Picture: insert the picture of result.picture }
//
// QUOTE, "=" and INCLUDEPICTURE are computed; every other field keeps its current result.
// Compute never throws: a field that cannot be computed gets an error text as its result.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/word/fieldcalc/FieldCode.h"
#include "host/word/fieldcalc/FormulaContext.h"

namespace paperloom::word::fieldcalc {

// What an INCLUDEPICTURE field asks the document model to insert.
struct IncludePictureRequest {
    std::string path;                   // as written, doubled backslashes halved
    bool linked = false;                // \d: link to the file instead of storing it
    std::vector<FieldSwitch> switches;  // all switches of the code, in order

    // The path with both "\" and "/" taken as separators, written with "/" (templates come
    // from a system that writes "\").
    std::string PortablePath() const;
};

struct FieldResult {
    enum class Kind { Keep, Text, Picture, Error };
    Kind kind = Kind::Keep;
    std::string text;  // the result to show (Text) or the error text (Error)
    std::optional<IncludePictureRequest> picture;
    FieldType type = FieldType::Empty;
    bool mergeFormat = false;  // \* MERGEFORMAT: keep the formatting of the old result
    bool charFormat = false;   // \* CHARFORMAT: format like the first letter of the type name
};

// The result text of a number or text under the general switches of a code (\#, \@, \*).
// Throws FieldError for an unknown \* argument.
struct FormattedResult {
    std::string text;
    bool mergeFormat = false;
    bool charFormat = false;
};
FormattedResult FormatNumberResult(double value, const std::vector<FieldSwitch>& switches, const std::string& locale);
FormattedResult FormatTextResult(const std::string& value, const std::vector<FieldSwitch>& switches, const std::string& locale);

class FieldComputer {
public:
    struct Options {
        std::string locale = "ja_JP";  // weekday and month names of date pictures
    };

    FieldComputer() = default;
    explicit FieldComputer(Options options) : options_(std::move(options)) {}

    FieldResult Compute(std::string_view code, const FormulaContext& context) const noexcept;

    // For fields that only use literals (no cells, no bookmarks).
    FieldResult Compute(std::string_view code) const noexcept;

private:
    Options options_;
};

}  // namespace paperloom::word::fieldcalc
