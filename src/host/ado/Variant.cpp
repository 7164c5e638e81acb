#include "host/ado/Variant.h"

#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <tuple>

#include <fmt/format.h>

#include "host/DebugLog.h"
#include "host/HostError.h"
#include "host/ado/AdoErrors.h"
#include "host/AsciiText.h"

namespace paperloom::host::ado {
namespace {

constexpr const char* kVariantSource = "Variant";

[[noreturn]] void ThrowTypeMismatch() {
    throw HostError(errors::kTypeMismatch, kVariantSource, "型が一致しません。");
}
[[noreturn]] void ThrowInvalidNull() {
    throw HostError(errors::kInvalidUseOfNull, kVariantSource, "Null の使い方が不正です。");
}

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's civil algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) noexcept {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) noexcept {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2 ? 1 : 0));
}

const long long kDayZero = DaysFromCivil(1899, 12, 30);

bool IsLeap(int y) noexcept { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) noexcept {
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[static_cast<std::size_t>(m - 1)];
}

// Replaces full-width digits, signs, point, comma, colon, slash and blank by their ASCII forms,
// which a Japanese-locale conversion accepts as the same characters.
std::string NarrowWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c0 = static_cast<unsigned char>(text[i]);
        if (c0 == 0xEF && i + 2 < text.size()) {
            const auto c1 = static_cast<unsigned char>(text[i + 1]);
            const auto c2 = static_cast<unsigned char>(text[i + 2]);
            // U+FF01..U+FF5E map to U+0021..U+007E: EF BC 81..BF and EF BD 80..9E.
            if (c1 == 0xBC && c2 >= 0x81 && c2 <= 0xBF) {
                out.push_back(static_cast<char>(c2 - 0x81 + 0x21));
                i += 2;
                continue;
            }
            if (c1 == 0xBD && c2 >= 0x80 && c2 <= 0x9E) {
                out.push_back(static_cast<char>(c2 - 0x80 + 0x60));
                i += 2;
                continue;
            }
        }
        if (c0 == 0xE3 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
            static_cast<unsigned char>(text[i + 2]) == 0x80) {  // U+3000 ideographic space
            out.push_back(' ');
            i += 2;
            continue;
        }
        out.push_back(text[i]);
    }
    return out;
}

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

// Formats a double with at most 15 significant digits, no trailing zeros, exponent form
// ("1.5E+20", "1E-07") outside the range the platform prints in full.
std::string FormatDouble(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0.0) return "0";
    std::string sci = fmt::format("{:.14e}", value);  // d.ddddddddddddddde[+-]xx
    const auto ePos = sci.find('e');
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                    exponent);
    const bool negative = sci[0] == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (IsDigit(sci[i])) digits.push_back(sci[i]);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -4) {  // the switch points of a "%.15G" rendering
        out += digits[0];
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += fmt::format("E{}{:02}", exponent < 0 ? '-' : '+', std::abs(exponent));
        return out;
    }
    if (exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        return out;
    }
    const auto intDigits = static_cast<std::size_t>(exponent + 1);
    if (digits.size() <= intDigits) {
        out += digits + std::string(intDigits - digits.size(), '0');
    } else {
        out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
    }
    return out;
}

std::string FormatDateTime(const DateTime& d) {
    const bool timeIsZero = d.hour == 0 && d.minute == 0 && d.second == 0;
    if (d.IsTimeOnly()) return fmt::format("{:02}:{:02}:{:02}", d.hour, d.minute, d.second);
    std::string out = fmt::format("{:04}/{:02}/{:02}", d.year, d.month, d.day);
    if (!timeIsZero) out += fmt::format(" {:02}:{:02}:{:02}", d.hour, d.minute, d.second);
    return out;
}

// Reads an unsigned decimal number of 1..maxDigits digits at pos.
std::optional<int> ReadNumber(std::string_view s, std::size_t& pos, std::size_t maxDigits) {
    const std::size_t start = pos;
    int value = 0;
    while (pos < s.size() && IsDigit(s[pos]) && pos - start < maxDigits) {
        value = value * 10 + (s[pos] - '0');
        ++pos;
    }
    if (pos == start || (pos < s.size() && IsDigit(s[pos]))) return std::nullopt;
    return value;
}

bool Consume(std::string_view s, std::size_t& pos, std::string_view token) {
    if (s.substr(pos, token.size()) == token) {
        pos += token.size();
        return true;
    }
    return false;
}

// Time "H:mm[:ss]" or "H時m分[s秒]" at pos.
bool ParseTime(std::string_view s, std::size_t& pos, DateTime& out) {
    std::size_t p = pos;
    auto h = ReadNumber(s, p, 2);
    if (!h) return false;
    int minute = 0;
    int second = 0;
    if (Consume(s, p, ":")) {
        auto mi = ReadNumber(s, p, 2);
        if (!mi) return false;
        minute = *mi;
        if (Consume(s, p, ":")) {
            auto sec = ReadNumber(s, p, 2);
            if (!sec) return false;
            second = *sec;
            if (Consume(s, p, ".")) {  // fractional seconds are dropped
                while (p < s.size() && IsDigit(s[p])) ++p;
            }
        }
    } else if (Consume(s, p, "時")) {
        if (auto mi = ReadNumber(s, p, 2); mi && Consume(s, p, "分")) {
            minute = *mi;
            if (auto sec = ReadNumber(s, p, 2); sec && Consume(s, p, "秒")) second = *sec;
        }
    } else {
        return false;
    }
    if (*h > 23 || minute > 59 || second > 59) return false;
    out.hour = *h;
    out.minute = minute;
    out.second = second;
    out.hasTime = true;
    pos = p;
    return true;
}

// Date "M/d/yyyy", the order of date literals in statements written for the US locale.
bool ParseMonthDayYear(std::string_view s, std::size_t& pos, DateTime& out) {
    std::size_t p = pos;
    auto m = ReadNumber(s, p, 2);
    if (!m || !Consume(s, p, "/")) return false;
    auto d = ReadNumber(s, p, 2);
    if (!d || !Consume(s, p, "/")) return false;
    const std::size_t yearStart = p;
    auto y = ReadNumber(s, p, 4);
    if (!y || p - yearStart != 4) return false;
    if (*m < 1 || *m > 12 || *d < 1 || *d > DaysInMonth(*y, *m) || *y < 100) return false;
    out.year = *y;
    out.month = *m;
    out.day = *d;
    pos = p;
    return true;
}

// Date "y/M/d", "y-M-d", "y.M.d" or "y年M月d日" at pos; a two-digit year is 1930..2029.
bool ParseDate(std::string_view s, std::size_t& pos, DateTime& out) {
    if (ParseMonthDayYear(s, pos, out)) return true;
    std::size_t p = pos;
    const std::size_t yearStart = p;
    auto y = ReadNumber(s, p, 4);
    if (!y) return false;
    const std::size_t yearDigits = p - yearStart;
    if (yearDigits == 3) return false;
    int month = 0;
    int day = 0;
    if (Consume(s, p, "年")) {
        auto m = ReadNumber(s, p, 2);
        if (!m || !Consume(s, p, "月")) return false;
        auto d = ReadNumber(s, p, 2);
        if (!d || !Consume(s, p, "日")) return false;
        month = *m;
        day = *d;
    } else {
        if (p >= s.size() || (s[p] != '/' && s[p] != '-' && s[p] != '.')) return false;
        const char sep = s[p++];
        auto m = ReadNumber(s, p, 2);
        if (!m || p >= s.size() || s[p] != sep) return false;
        ++p;
        auto d = ReadNumber(s, p, 2);
        if (!d) return false;
        month = *m;
        day = *d;
    }
    int year = *y;
    if (yearDigits <= 2) year += year < 30 ? 2000 : 1900;
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    out.year = year;
    out.month = month;
    out.day = day;
    pos = p;
    return true;
}

}  // namespace

// ---- DateTime ----

bool DateTime::IsValid() const noexcept {
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month) && hour >= 0 && hour < 24 && minute >= 0 &&
           minute < 60 && second >= 0 && second < 60;
}

double DateTime::Serial() const noexcept {
    const auto days = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                                        static_cast<unsigned>(day)) -
                                          kDayZero);
    const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    // Before day zero the time still counts forward from midnight, as the platform stores it.
    return days >= 0 ? days + fraction : days - fraction;
}

DateTime DateTime::FromSerial(double serial) {
    if (!std::isfinite(serial) || std::fabs(serial) > 3e6) ThrowTypeMismatch();
    auto days = static_cast<long long>(std::trunc(serial));
    auto seconds = static_cast<long long>(std::llround(std::fabs(serial - static_cast<double>(days)) * 86400.0));
    if (seconds >= 86400) {
        seconds -= 86400;
        days += serial >= 0 ? 1 : -1;
    }
    DateTime out;
    CivilFromDays(days + kDayZero, out.year, out.month, out.day);
    out.hour = static_cast<int>(seconds / 3600);
    out.minute = static_cast<int>(seconds / 60 % 60);
    out.second = static_cast<int>(seconds % 60);
    out.hasTime = serial != std::trunc(serial) || days == 0;
    return out;
}

std::strong_ordering DateTime::operator<=>(const DateTime& o) const noexcept {
    return std::tie(year, month, day, hour, minute, second) <=>
           std::tie(o.year, o.month, o.day, o.hour, o.minute, o.second);
}

// ---- Decimal ----

std::optional<Decimal> Decimal::TryFromText(std::string_view text) noexcept {
    try {
        std::string_view s = text::Trim(text, text::kBlanks);
        bool negative = false;
        if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
            negative = s[0] == '-';
            s.remove_prefix(1);
        }
        std::string digits;  // all mantissa digits
        long long pointPos = -1;  // digits before the point
        std::size_t i = 0;
        for (; i < s.size(); ++i) {
            if (IsDigit(s[i])) {
                digits.push_back(s[i]);
            } else if (s[i] == '.' && pointPos < 0) {
                pointPos = static_cast<long long>(digits.size());
            } else {
                break;
            }
        }
        if (digits.empty()) return std::nullopt;
        if (pointPos < 0) pointPos = static_cast<long long>(digits.size());
        if (i < s.size()) {
            if (s[i] != 'e' && s[i] != 'E') return std::nullopt;
            ++i;
            int exponent = 0;
            const char* first = s.data() + i + (i < s.size() && s[i] == '+' ? 1 : 0);
            auto [end, ec] = std::from_chars(first, s.data() + s.size(), exponent);
            if (ec != std::errc{} || end != s.data() + s.size() || exponent > 400 ||
                exponent < -400)
                return std::nullopt;
            pointPos += exponent;
        }
        // Pad so that the point lies within the digits.
        if (pointPos < 0) {
            digits.insert(0, static_cast<std::size_t>(-pointPos), '0');
            pointPos = 0;
        }
        if (pointPos > static_cast<long long>(digits.size()))
            digits.append(static_cast<std::size_t>(pointPos) - digits.size(), '0');
        std::string intPart = digits.substr(0, static_cast<std::size_t>(pointPos));
        std::string fracPart = digits.substr(static_cast<std::size_t>(pointPos));
        const auto firstNonZero = intPart.find_first_not_of('0');
        intPart = firstNonZero == std::string::npos ? "0" : intPart.substr(firstNonZero);
        while (!fracPart.empty() && fracPart.back() == '0') fracPart.pop_back();
        std::string out;
        if (negative && !(intPart == "0" && fracPart.empty())) out.push_back('-');
        out += intPart;
        if (!fracPart.empty()) out += "." + fracPart;
        return Decimal(std::move(out));
    } catch (...) {
        debuglog::Swallowed("Variant.cpp: Decimal::TryFromText");
        return std::nullopt;
    }
}

Decimal Decimal::FromText(std::string_view text) {
    auto value = TryFromText(text);
    if (!value) throw std::invalid_argument("not a decimal number: " + std::string(text));
    return std::move(*value);
}

Decimal Decimal::FromInteger(std::int64_t value) { return Decimal(std::to_string(value)); }

double Decimal::ToDouble() const noexcept {
    double value = 0;
    std::from_chars(text_.data(), text_.data() + text_.size(), value);
    return value;
}

std::strong_ordering Decimal::operator<=>(const Decimal& other) const noexcept {
    const bool neg = IsNegative();
    if (neg != other.IsNegative()) return neg ? std::strong_ordering::less : std::strong_ordering::greater;
    auto split = [](std::string_view t) {
        if (!t.empty() && t[0] == '-') t.remove_prefix(1);
        const auto dot = t.find('.');
        return std::pair{t.substr(0, dot), dot == std::string_view::npos ? std::string_view{} : t.substr(dot + 1)};
    };
    auto [ai, af] = split(text_);
    auto [bi, bf] = split(other.text_);
    std::strong_ordering magnitude = ai.size() <=> bi.size();
    if (magnitude == 0) magnitude = ai.compare(bi) <=> 0;
    if (magnitude == 0) magnitude = af.compare(bf) <=> 0;  // no trailing zeros: plain compare works
    if (neg) return 0 <=> magnitude;
    return magnitude;
}

// ---- Variant ----

bool Variant::AsBoolean() const {
    if (auto b = Get<bool>()) return *b;
    ThrowTypeMismatch();
}

std::int64_t Variant::AsInteger() const {
    if (auto i = Get<std::int64_t>()) return *i;
    if (auto b = Get<bool>()) return *b ? -1 : 0;
    ThrowTypeMismatch();
}

double Variant::AsDouble() const {
    switch (Kind()) {
        case VariantKind::Integer: return static_cast<double>(*Get<std::int64_t>());
        case VariantKind::Double: return *Get<double>();
        case VariantKind::Decimal: return Get<Decimal>()->ToDouble();
        case VariantKind::Boolean: return *Get<bool>() ? -1.0 : 0.0;
        default: ThrowTypeMismatch();
    }
}

const Decimal& Variant::AsDecimal() const {
    if (auto d = Get<Decimal>()) return *d;
    ThrowTypeMismatch();
}

const DateTime& Variant::AsDateTime() const {
    if (auto d = Get<DateTime>()) return *d;
    ThrowTypeMismatch();
}

const std::string& Variant::AsString() const {
    if (auto s = Get<std::string>()) return *s;
    ThrowTypeMismatch();
}

// ---- conversions ----

std::string CStr(const Variant& value) {
    switch (value.Kind()) {
        case VariantKind::Empty: return {};
        case VariantKind::Null: ThrowInvalidNull();
        case VariantKind::Boolean: return *value.Get<bool>() ? "True" : "False";
        case VariantKind::Integer: return std::to_string(*value.Get<std::int64_t>());
        case VariantKind::Double: return FormatDouble(*value.Get<double>());
        case VariantKind::Decimal: return value.Get<Decimal>()->Text();
        case VariantKind::DateTime: return FormatDateTime(*value.Get<DateTime>());
        case VariantKind::String: return *value.Get<std::string>();
    }
    return {};
}

std::string ToDisplayText(const Variant& value) {
    return value.IsNull() ? std::string{} : CStr(value);
}

std::optional<double> ParseNumericText(std::string_view text) {
    const std::string narrow = NarrowWidth(text);
    std::string_view s = text::Trim(narrow, text::kBlanks);
    if (s.empty()) return std::nullopt;
    std::string plain;
    plain.reserve(s.size());
    bool negative = false;
    bool parenthesised = false;
    if (s.front() == '(' && s.back() == ')') {  // accounting form of a negative number
        parenthesised = true;
        s = text::Trim(s.substr(1, s.size() - 2), text::kBlanks);
    }
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s = text::Trim(s.substr(1), text::kBlanks);
    } else if (!s.empty() && (s.back() == '+' || s.back() == '-')) {
        negative = s.back() == '-';
        s = text::Trim(s.substr(0, s.size() - 1), text::kBlanks);
    }
    if (parenthesised && negative) return std::nullopt;
    // A leading currency sign: the yen sign in its Latin-1, full-width and code-page 932 (backslash)
    // forms, or the dollar sign.
    for (std::string_view sign : {std::string_view("\xC2\xA5"), std::string_view("\xEF\xBF\xA5"),
                                  std::string_view("\\"), std::string_view("$")}) {
        if (s.substr(0, sign.size()) == sign) {
            s = text::Trim(s.substr(sign.size()), text::kBlanks);
            break;
        }
    }
    bool seenDigit = false;
    bool seenPoint = false;
    bool seenExponent = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (IsDigit(c)) {
            seenDigit = true;
            plain.push_back(c);
        } else if (c == ',' && !seenPoint && !seenExponent && seenDigit) {
            continue;  // group separator
        } else if (c == '.' && !seenPoint && !seenExponent) {
            seenPoint = true;
            plain.push_back(c);
        } else if ((c == 'e' || c == 'E') && seenDigit && !seenExponent) {
            seenExponent = true;
            plain.push_back('e');
            if (i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) plain.push_back(s[++i]);
            if (i + 1 >= s.size() || !IsDigit(s[i + 1])) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit) return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc{} || end != plain.data() + plain.size()) return std::nullopt;
    return (negative || parenthesised) ? -value : value;
}

std::optional<DateTime> ParseDateText(std::string_view text) {
    const std::string narrow = NarrowWidth(text);
    const std::string_view s = text::Trim(narrow, text::kBlanks);
    if (s.empty()) return std::nullopt;
    DateTime out;  // day zero
    std::size_t pos = 0;
    if (ParseDate(s, pos, out)) {
        if (pos < s.size()) {
            if (s[pos] != ' ' && s[pos] != 'T') return std::nullopt;
            while (pos < s.size() && (s[pos] == ' ' || s[pos] == 'T')) ++pos;
            if (!ParseTime(s, pos, out)) return std::nullopt;
        }
    } else {
        pos = 0;
        if (!ParseTime(s, pos, out)) return std::nullopt;
    }
    // A trailing zone or fraction marker of a timestamp is tolerated only as "Z".
    if (pos < s.size() && s.substr(pos) != "Z") return std::nullopt;
    return out;
}

bool IsNumeric(const Variant& value) {
    switch (value.Kind()) {
        case VariantKind::Empty:
        case VariantKind::Boolean:
        case VariantKind::Integer:
        case VariantKind::Double:
        case VariantKind::Decimal: return true;
        case VariantKind::String: return ParseNumericText(*value.Get<std::string>()).has_value();
        case VariantKind::Null:
        case VariantKind::DateTime: return false;
    }
    return false;
}

bool IsDate(const Variant& value) {
    if (value.Kind() == VariantKind::DateTime) return true;
    if (auto s = value.Get<std::string>()) return ParseDateText(*s).has_value();
    return false;
}

double CDbl(const Variant& value) {
    switch (value.Kind()) {
        case VariantKind::Empty: return 0.0;
        case VariantKind::Null: ThrowInvalidNull();
        case VariantKind::DateTime: return value.Get<DateTime>()->Serial();
        case VariantKind::String: {
            if (auto d = ParseNumericText(*value.Get<std::string>())) return *d;
            ThrowTypeMismatch();
        }
        default: return value.AsDouble();
    }
}

bool CBool(const Variant& value) {
    switch (value.Kind()) {
        case VariantKind::Empty: return false;
        case VariantKind::Null: ThrowInvalidNull();
        case VariantKind::Boolean: return *value.Get<bool>();
        case VariantKind::String: {
            const std::string narrow = NarrowWidth(*value.Get<std::string>());
            const std::string lower = text::ToLower(text::Trim(narrow, text::kBlanks));
            if (lower == "true" || lower == "#true#") return true;
            if (lower == "false" || lower == "#false#") return false;
            if (auto d = ParseNumericText(lower)) return *d != 0.0;
            ThrowTypeMismatch();
        }
        case VariantKind::DateTime: return value.Get<DateTime>()->Serial() != 0.0;
        default: return value.AsDouble() != 0.0;
    }
}

DateTime CDate(const Variant& value) {
    switch (value.Kind()) {
        case VariantKind::DateTime: return *value.Get<DateTime>();
        case VariantKind::Null: ThrowInvalidNull();
        case VariantKind::String: {
            const auto& text = *value.Get<std::string>();
            if (auto d = ParseDateText(text)) return *d;
            if (auto n = ParseNumericText(text)) return DateTime::FromSerial(*n);
            ThrowTypeMismatch();
        }
        case VariantKind::Empty: return DateTime{};
        default: return DateTime::FromSerial(value.AsDouble());
    }
}

}  // namespace paperloom::host::ado
