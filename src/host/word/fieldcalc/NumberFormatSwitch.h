#pragma once
// The numbering arguments of the \* switch, for numeric results: Arabic, ArabicDash, Roman,
// roman, ALPHABETIC, alphabetic, Hex, hex, Ordinal. The value is rounded to a whole number
// first; values a numbering cannot show (Roman numerals past 3999, letters for 0) fall back
// to Arabic digits.

#include <optional>
#include <string>
#include <string_view>

namespace paperloom::word::fieldcalc {

// Whether the argument names a numbering (case matters only for roman/Roman, alphabetic/
// ALPHABETIC and hex/Hex, as it picks the letter case).
bool IsNumberingArgument(std::string_view argument);

// The value in the numbering; nothing when the argument is not a numbering.
std::optional<std::string> FormatNumbering(double value, std::string_view argument);

}  // namespace paperloom::word::fieldcalc
