#pragma once
// A calendar date and time of day, as field values carry them (no time zone).

#include <optional>
#include <string_view>

namespace paperloom::word::fieldcalc {

struct DateTimeValue {
    int year = 1899;
    int month = 12;  // 1..12
    int day = 30;    // 1..31
    int hour = 0;    // 0..23
    int minute = 0;
    int second = 0;
    bool operator==(const DateTimeValue&) const = default;
};

// Reads the forms the run-time writes for date values: "yyyy/MM/dd" or "yyyy-MM-dd" (month and
// day may have one digit), optionally followed by a blank or "T" and "H:mm" or "H:mm:ss"; also a
// time alone. Rejects impossible dates (2023/02/29).
std::optional<DateTimeValue> ParseDateTimeText(std::string_view text);

// A serial day number (days since 1899-12-30, the fraction being the time of day), for
// numbers shown with a date picture.
std::optional<DateTimeValue> DateTimeFromSerial(double serial);

// 0 = Sunday .. 6 = Saturday.
int DayOfWeek(const DateTimeValue& value);

}  // namespace paperloom::word::fieldcalc
