#pragma once
// The \# switch: formats a number by a picture such as "#,##0.00" or "$#,##0;($#,##0);-".
//
//   0   digit, shown even when it is a leading or trailing zero
//   #   digit, left out when it would be a leading (or, after the point, trailing) zero
//   x   digit; left of the point it drops every digit further left, right of it it rounds there
//   .   decimal point          ,  grouping by thousands (anywhere among the integer digits)
//   -   minus when negative, blank otherwise     +  plus, minus, or blank for zero
//   ;   separates the sections for positive; negative; zero values
//   'text'  literal text       any other character stands for itself
//
// The value is rounded half away from zero at the number of decimal places shown, on its
// decimal digits. A negative value formatted by the positive section gets a leading minus
// unless the section places a sign itself. A percent sign is literal (the value is not
// scaled). A backslash is shown as the yen sign: pictures carry it for the currency sign,
// which shares that code in the templates' legacy encoding.

#include <string>
#include <string_view>

namespace paperloom::word::fieldcalc {

std::string FormatNumberPicture(double value, std::string_view picture);

}  // namespace paperloom::word::fieldcalc
