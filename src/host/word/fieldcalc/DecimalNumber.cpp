#include "host/word/fieldcalc/DecimalNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace paperloom::word::fieldcalc {
namespace {

// Digits d1 d2 ... dn with the decimal point after `pointPosition` digits (may be negative or
// past the end).
struct Digits {
    bool negative = false;
    std::string digits;
    int pointPosition = 0;
};

// Parses the output of to_chars in scientific form: "-1.2345e+02".
Digits FromScientific(const char* first, const char* last) {
    Digits result;
    if (first != last && *first == '-') {
        result.negative = true;
        ++first;
    }
    int exponent = 0;
    for (const char* p = first; p != last; ++p) {
        if (*p >= '0' && *p <= '9') {
            result.digits += *p;
        } else if (*p == 'e' || *p == 'E') {
            ++p;
            const bool negativeExponent = p != last && *p == '-';
            if (p != last && (*p == '-' || *p == '+')) ++p;
            std::from_chars(p, last, exponent);
            if (negativeExponent) exponent = -exponent;
            break;
        }
    }
    result.pointPosition = 1 + exponent;
    return result;
}

Digits ShortestDigits(double value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    if (error != std::errc()) return {};
    return FromScientific(buffer, end);
}

// Adds one unit at the last digit of a digit string; returns true when it carried out of the
// first digit (the string then becomes "1" followed by zeros).
bool Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

std::string StripLeadingZeros(std::string digits) {
    const auto first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string{} : digits.substr(first);
}

}  // namespace

bool RoundedDecimal::IsZero() const {
    return integer.empty() && fraction.find_first_not_of('0') == std::string::npos;
}

RoundedDecimal RoundToDecimals(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 340);
    RoundedDecimal result;
    if (value == 0 || !std::isfinite(value)) {
        result.fraction.assign(static_cast<std::size_t>(decimals), '0');
        return result;
    }
    const Digits digits = ShortestDigits(value);
    // All digits up to `decimals` places, as one string with `pointPosition` integer digits.
    std::string kept;
    int integerDigits = digits.pointPosition;
    if (integerDigits < 0) {
        kept.assign(static_cast<std::size_t>(-integerDigits), '0');
        kept += digits.digits;
        integerDigits = 0;
    } else {
        kept = digits.digits;
        if (static_cast<int>(kept.size()) < integerDigits) kept.append(static_cast<std::size_t>(integerDigits) - kept.size(), '0');
    }
    const std::size_t wanted = static_cast<std::size_t>(integerDigits + decimals);
    bool roundUp = false;
    if (kept.size() > wanted) {
        roundUp = kept[wanted] >= '5';
        kept.resize(wanted);
    } else {
        kept.append(wanted - kept.size(), '0');
    }
    if (roundUp && Increment(kept)) ++integerDigits;
    result.integer = StripLeadingZeros(kept.substr(0, static_cast<std::size_t>(integerDigits)));
    result.fraction = kept.substr(static_cast<std::size_t>(integerDigits));
    result.negative = digits.negative && !result.IsZero();
    return result;
}

std::string FormatGeneralNumber(double value) {
    if (value == 0 || !std::isfinite(value)) return "0";
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    if (error != std::errc()) return "0";
    Digits digits = FromScientific(buffer, end);
    while (!digits.digits.empty() && digits.digits.back() == '0') digits.digits.pop_back();
    std::string text = digits.negative ? "-" : "";
    if (digits.pointPosition <= 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-digits.pointPosition), '0');
        text += digits.digits;
    } else if (static_cast<std::size_t>(digits.pointPosition) >= digits.digits.size()) {
        text += digits.digits;
        text.append(static_cast<std::size_t>(digits.pointPosition) - digits.digits.size(), '0');
    } else {
        text += digits.digits.substr(0, static_cast<std::size_t>(digits.pointPosition));
        text += '.';
        text += digits.digits.substr(static_cast<std::size_t>(digits.pointPosition));
    }
    return text;
}

}  // namespace paperloom::word::fieldcalc
