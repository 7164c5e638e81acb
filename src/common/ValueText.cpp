#include "common/ValueText.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "host/AsciiText.h"

namespace paperloom::valuetext {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

// Small decimal numbers only: dates and times never need more than four digits.
std::optional<int> SmallNumber(std::string_view text) {
    if (!AllDigits(text) || text.size() > 4) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool ValidDay(int year, int month, int day) {
    static constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) {
        return false;
    }
    if (month == 2 && day == 29) {
        return IsLeapYear(year);
    }
    return day <= kDays[static_cast<std::size_t>(month - 1)];
}

std::vector<std::string_view> SplitOn(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos
                                                                          : at - start));
        if (at == std::string_view::npos) {
            return parts;
        }
        start = at + 1;
    }
}

// Two-digit years stand for a year of this or the previous century; any is valid for checks.
int FullYear(int year, std::size_t digits) {
    return digits <= 2 ? 2000 + year : year;
}

bool ReadsAsNumericDate(std::string_view text) {
    for (const char separator : {'/', '-', '.'}) {
        if (text.find(separator) == std::string_view::npos) {
            continue;
        }
        const auto parts = SplitOn(text, separator);
        std::vector<int> numbers;
        for (const auto part : parts) {
            const auto number = SmallNumber(part);
            if (!number) {
                return false;
            }
            numbers.push_back(*number);
        }
        if (parts.size() == 3) {
            // year first, or month/day/year
            const bool yearFirst = parts[2].size() <= 2 &&
                                   ValidDay(FullYear(numbers[0], parts[0].size()), numbers[1], numbers[2]);
            const bool yearLast = parts[0].size() <= 2 &&
                                  ValidDay(FullYear(numbers[2], parts[2].size()), numbers[0], numbers[1]);
            return yearFirst || yearLast;
        }
        if (parts.size() == 2 && separator != '.') {
            if (parts[0].size() >= 3) {
                return numbers[1] >= 1 && numbers[1] <= 12;  // year and month
            }
            return ValidDay(2000, numbers[0], numbers[1]);  // month and day
        }
        return false;
    }
    return false;
}

// "2000年1月2日", "2000年1月", "1月2日"
bool ReadsAsKanjiDate(std::string_view text) {
    static constexpr std::string_view kYear = "年";
    static constexpr std::string_view kMonth = "月";
    static constexpr std::string_view kDay = "日";
    std::optional<int> year;
    std::optional<int> month;
    std::optional<int> day;
    std::size_t yearDigits = 0;
    if (const auto at = text.find(kYear); at != std::string_view::npos) {
        year = SmallNumber(text.substr(0, at));
        yearDigits = at;
        if (!year) {
            return false;
        }
        text.remove_prefix(at + kYear.size());
    }
    const auto monthAt = text.find(kMonth);
    if (monthAt == std::string_view::npos) {
        return false;
    }
    month = SmallNumber(text.substr(0, monthAt));
    if (!month) {
        return false;
    }
    text.remove_prefix(monthAt + kMonth.size());
    if (text.empty()) {
        return year.has_value() && *month >= 1 && *month <= 12;
    }
    if (text.size() <= kDay.size() || text.substr(text.size() - kDay.size()) != kDay) {
        return false;
    }
    day = SmallNumber(text.substr(0, text.size() - kDay.size()));
    return day && ValidDay(year ? FullYear(*year, yearDigits) : 2000, *month, *day);
}

bool ReadsAsTime(std::string_view text) {
    bool twelveHour = false;
    for (const std::string_view marker : {"午前", "午後"}) {
        if (text.substr(0, marker.size()) == marker) {
            text = text::Trim(text.substr(marker.size()), text::kBlanks);
            twelveHour = true;
        }
    }
    if (!twelveHour && text.size() >= 2) {
        const std::string_view tail = text.substr(text.size() - 2);
        if (text::EqualsNoCase(tail, "AM") || text::EqualsNoCase(tail, "PM")) {
            text = text::Trim(text.substr(0, text.size() - 2), text::kBlanks);
            twelveHour = true;
        }
    }
    std::vector<std::string_view> parts;
    if (text.find(':') != std::string_view::npos) {
        parts = SplitOn(text, ':');
    } else if (const auto hourAt = text.find("時"); hourAt != std::string_view::npos) {
        parts.push_back(text.substr(0, hourAt));
        std::string_view rest = text.substr(hourAt + std::string_view("時").size());
        for (const std::string_view unit : {"分", "秒"}) {
            if (rest.empty()) {
                break;
            }
            const auto at = rest.find(unit);
            if (at == std::string_view::npos) {
                return false;
            }
            parts.push_back(rest.substr(0, at));
            rest.remove_prefix(at + unit.size());
        }
        if (!rest.empty()) {
            return false;
        }
    } else {
        return false;
    }
    if (parts.empty() || parts.size() > 3) {
        return false;
    }
    const std::array<int, 3> limits = {twelveHour ? 12 : 23, 59, 59};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const auto number = SmallNumber(parts[i]);
        if (!number || parts[i].size() > 2 || *number > limits[i]) {
            return false;
        }
    }
    return true;
}

bool ReadsAsDateOnly(std::string_view text) {
    return ReadsAsNumericDate(text) || ReadsAsKanjiDate(text);
}

}  // namespace

bool ReadsAsNumber(std::string_view strValue) {
    std::string_view text = text::Trim(strValue, text::kBlanks);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    std::size_t digits = 0;
    std::size_t i = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        const std::size_t exponentStart = i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        if (i == exponentStart) {
            return false;
        }
    }
    return i == text.size();
}

bool ReadsAsDate(std::string_view strValue) {
    const std::string_view text = text::Trim(strValue, text::kBlanks);
    if (text.empty() || ReadsAsNumber(text)) {
        return false;
    }
    if (ReadsAsDateOnly(text) || ReadsAsTime(text)) {
        return true;
    }
    const auto blank = text.find(' ');
    if (blank == std::string_view::npos) {
        return false;
    }
    return ReadsAsDateOnly(text.substr(0, blank)) && ReadsAsTime(text::Trim(text.substr(blank + 1), text::kBlanks));
}

}  // namespace paperloom::valuetext
