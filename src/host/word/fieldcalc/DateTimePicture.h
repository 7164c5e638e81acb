#pragma once
// The \@ switch: formats a date and time by a picture such as "yyyy/MM/dd" or "gge年M月d日".
//
//   yy yyyy   year, two or four digits      M MM MMM MMMM   month, name abbreviated or full
//   d dd      day                           ddd dddd        weekday, abbreviated or full
//   h hh      hour 1-12                     H HH            hour 0-23
//   m mm      minute                        s ss            second
//   am/pm AM/PM  the half of the day, in the case written
//   g         first letter of the Japanese era name (令)   gg ggg  the era name (令和)
//   e ee      year of the Japanese era (the era's first year shows as 1)
//   'text'    literal text; any other character stands for itself
//
// Eras and their start dates come from ICU's Japanese calendar; weekday and month names from
// the locale (Japanese by default).

#include <string>
#include <string_view>

#include "host/word/fieldcalc/DateTimeValue.h"

namespace paperloom::word::fieldcalc {

std::string FormatDateTimePicture(const DateTimeValue& value, std::string_view picture,
                                  const std::string& locale = "ja_JP");

}  // namespace paperloom::word::fieldcalc
