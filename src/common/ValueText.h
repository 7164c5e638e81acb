#pragma once
// How a typed comparison value reads: as a number, as a date or time, or as plain text.
// The filter editor writes dates between "#", numbers bare and everything else quoted.

#include <string_view>

namespace paperloom::valuetext {

// Decimal number with optional sign, fraction and exponent, blanks around allowed.
// Thousands separators are refused: the value goes into a statement unchanged.
bool ReadsAsNumber(std::string_view strValue);

// A calendar date (y/m/d, m/d/y, m/d with "/", "-" or "."; or y年m月d日 forms), a time
// (h:mm, h:mm:ss, with AM/PM, 午前/午後, 時分秒), or a date followed by a time.
// A bare number is never a date.
bool ReadsAsDate(std::string_view strValue);

}  // namespace paperloom::valuetext
