#pragma once
// Reading a cell's or bookmark's text as a number the way a reader of the document would:
// grouping separators, a currency sign, a percent sign, a sign or parentheses for negative
// amounts, and full-width digits are accepted. Anything else is not a number.

#include <optional>
#include <string_view>

namespace paperloom::word::fieldcalc {

// A percent sign keeps the number written before it ("12.5%" reads as 12.5): the system's
// own percent pictures append the sign without scaling, and a sum over such cells must add
// the numbers that are shown.
std::optional<double> ParseCellNumber(std::string_view text);

}  // namespace paperloom::word::fieldcalc
