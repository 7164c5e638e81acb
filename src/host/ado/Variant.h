#pragma once
// The value a field, a bookmark or a filter operand holds: the kinds the add-ins test for
// (Empty, Null, Boolean, numbers, exact decimals, dates, text), with the conversions they rely on.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace paperloom::host::ado {

// A calendar value. A time of day alone is stored on 1899-12-30, the platform's day zero.
struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool hasTime = false;  // the source carried a time part (even 00:00:00)

    static DateTime Date(int y, int m, int d) { return {y, m, d, 0, 0, 0, false}; }
    static DateTime Timestamp(int y, int m, int d, int h, int mi, int s) {
        return {y, m, d, h, mi, s, true};
    }
    bool IsValid() const noexcept;
    bool IsTimeOnly() const noexcept { return year == 1899 && month == 12 && day == 30 && hasTime; }
    // Days since 1899-12-30 plus the fraction of the day, the platform's serial date.
    double Serial() const noexcept;
    static DateTime FromSerial(double serial);

    // Compares the instant only; hasTime does not take part.
    std::strong_ordering operator<=>(const DateTime& other) const noexcept;
    bool operator==(const DateTime& other) const noexcept { return (*this <=> other) == 0; }
};

// An exact decimal kept as normalised text: optional '-', integer digits without leading zeros,
// and a fraction without trailing zeros ("0", "-12.5", "1234.0001").
class Decimal {
public:
    Decimal() = default;
    // Accepts [+-]digits[.digits] with optional exponent; throws std::invalid_argument otherwise.
    static Decimal FromText(std::string_view text);
    static std::optional<Decimal> TryFromText(std::string_view text) noexcept;
    static Decimal FromInteger(std::int64_t value);

    const std::string& Text() const noexcept { return text_; }
    double ToDouble() const noexcept;
    bool IsNegative() const noexcept { return !text_.empty() && text_[0] == '-'; }

    std::strong_ordering operator<=>(const Decimal& other) const noexcept;
    bool operator==(const Decimal& other) const noexcept { return text_ == other.text_; }

private:
    explicit Decimal(std::string normalised) : text_(std::move(normalised)) {}
    std::string text_ = "0";
};

enum class VariantKind { Empty, Null, Boolean, Integer, Double, Decimal, DateTime, String };

class Variant {
public:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };

    Variant() = default;  // Empty
    static Variant Null() { return Variant(NullTag{}); }
    explicit Variant(NullTag tag) : value_(tag) {}
    Variant(bool value) : value_(value) {}
    Variant(int value) : value_(static_cast<std::int64_t>(value)) {}
    Variant(long value) : value_(static_cast<std::int64_t>(value)) {}
    Variant(long long value) : value_(static_cast<std::int64_t>(value)) {}
    Variant(double value) : value_(value) {}
    Variant(Decimal value) : value_(std::move(value)) {}
    Variant(DateTime value) : value_(value) {}
    Variant(std::string value) : value_(std::move(value)) {}
    Variant(std::string_view value) : value_(std::string(value)) {}
    Variant(const char* value) : value_(std::string(value)) {}

    VariantKind Kind() const noexcept { return static_cast<VariantKind>(value_.index()); }
    bool IsEmpty() const noexcept { return Kind() == VariantKind::Empty; }
    bool IsNull() const noexcept { return Kind() == VariantKind::Null; }
    bool IsNumber() const noexcept {
        const auto k = Kind();
        return k == VariantKind::Integer || k == VariantKind::Double || k == VariantKind::Decimal;
    }

    // Typed access; throws HostError 13 (type mismatch) for another kind.
    bool AsBoolean() const;
    std::int64_t AsInteger() const;
    double AsDouble() const;
    const Decimal& AsDecimal() const;
    const DateTime& AsDateTime() const;
    const std::string& AsString() const;

    // Direct access without conversion; nullptr when the kind differs.
    template <class T>
    const T* Get() const noexcept { return std::get_if<T>(&value_); }

    // Same kind and same value (Empty == Empty, Null == Null); not the platform's "=".
    bool operator==(const Variant& other) const = default;

private:
    using Storage = std::variant<std::monostate, NullTag, bool, std::int64_t, double, Decimal,
                                 DateTime, std::string>;
    Storage value_;
};

// Conversions as a Japanese-locale program of the platform performs them.
// Text of a value: numbers with at most 15 significant digits and no trailing zeros, dates as
// yyyy/MM/dd plus " HH:mm:ss" when there is a time, Booleans "True"/"False", Empty "".
// Null throws HostError 94 (invalid use of Null).
std::string CStr(const Variant& value);
// Text like CStr, but Null and Empty give "" (what callers do before showing a value).
std::string ToDisplayText(const Variant& value);
bool IsNumeric(const Variant& value);
bool IsDate(const Variant& value);
// Number from a value; throws HostError 13 when it is not numeric, 94 for Null.
double CDbl(const Variant& value);
// Boolean from a value: numbers (non-zero is True), "True"/"False" in any case, numeric text.
bool CBool(const Variant& value);
// Date from a value (dates, date text in the usual forms); throws HostError 13 otherwise.
DateTime CDate(const Variant& value);
// Parses date text ("2024/1/5", "2024-01-05 10:20:30", "10:20", "2024年1月5日"); nullopt otherwise.
std::optional<DateTime> ParseDateText(std::string_view text);
// Parses numeric text (blanks around, sign, digits, one '.', exponent, ',' separators).
std::optional<double> ParseNumericText(std::string_view text);

}  // namespace paperloom::host::ado
