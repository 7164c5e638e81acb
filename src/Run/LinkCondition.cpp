#include "Run/LinkCondition.h"

#include <cmath>

namespace paperloom::run {
namespace {

using host::ado::DataTypeEnum;
using host::ado::DateTime;
using host::ado::Variant;
using host::ado::VariantKind;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The date a value stands for: a date value, or text in one of the usual date forms.
std::optional<DateTime> RealDate(const Variant& value) {
    std::optional<DateTime> date;
    if (value.Kind() == VariantKind::DateTime) {
        date = value.AsDateTime();
    } else if (value.Kind() == VariantKind::String) {
        date = host::ado::ParseDateText(value.AsString());
    }
    if (date && !date->IsValid()) return std::nullopt;
    return date;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The value as a number literal; nothing when it is not a number.
std::optional<std::string> NumberLiteral(const Variant& value) {
    switch (value.Kind()) {
        case VariantKind::Integer:
        case VariantKind::Decimal:
        case VariantKind::Boolean:
            // Digits, or the words True and False: nothing else can come out of these kinds.
            return host::ado::CStr(value);
        case VariantKind::Double:
            if (std::isfinite(value.AsDouble())) return host::ado::CStr(value);
            break;
        case VariantKind::String:
            if (const auto text = TrimBlanks(value.AsString()); IsPlainNumber(text)) return std::string(text);
            break;
        default:
            break;
    }
    return std::nullopt;
}

}  // namespace

KeyKind KindOfType(DataTypeEnum type) {
    switch (type) {
        case DataTypeEnum::adBSTR:
        case DataTypeEnum::adChar:
        case DataTypeEnum::adWChar:
        case DataTypeEnum::adVarChar:
        case DataTypeEnum::adLongVarChar:
        case DataTypeEnum::adVarWChar:
        case DataTypeEnum::adLongVarWChar:
            return KeyKind::Text;
        case DataTypeEnum::adDate:
        case DataTypeEnum::adDBDate:
        case DataTypeEnum::adDBTime:
        case DataTypeEnum::adDBTimeStamp:
            return KeyKind::Date;
        case DataTypeEnum::adSmallInt:
        case DataTypeEnum::adInteger:
        case DataTypeEnum::adSingle:
        case DataTypeEnum::adDouble:
        case DataTypeEnum::adCurrency:
        case DataTypeEnum::adDecimal:
        case DataTypeEnum::adTinyInt:
        case DataTypeEnum::adUnsignedTinyInt:
        case DataTypeEnum::adUnsignedSmallInt:
        case DataTypeEnum::adUnsignedInt:
        case DataTypeEnum::adBigInt:
        case DataTypeEnum::adUnsignedBigInt:
        case DataTypeEnum::adNumeric:
            return KeyKind::Number;
        default:
            return KeyKind::Other;
    }
}

KeyKind KindOfValue(const Variant& value) {
    switch (value.Kind()) {
        case VariantKind::String:
            return KeyKind::Text;
        case VariantKind::DateTime:
            return KeyKind::Date;
        case VariantKind::Integer:
        case VariantKind::Double:
        case VariantKind::Decimal:
            return KeyKind::Number;
        default:
            return KeyKind::Other;
    }
}

std::string QuotedText(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    quoted += '\'';
    return quoted;
}

bool IsPlainNumber(std::string_view text) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == text.size();
}

std::optional<std::string> MakeLinkCondition(std::string_view childKey, KeyKind kind, const Variant& parentValue) {
    const std::string text = host::ado::ToDisplayText(parentValue);
    // Statement text ends at a NUL for some databases: such a value would cut the statement short.
    if (text.find('\0') != std::string::npos) return std::nullopt;
    std::string literal;
    switch (kind) {
        case KeyKind::Text:
            literal = QuotedText(text);
            break;
        case KeyKind::Date:
            if (const auto date = RealDate(parentValue)) {
                literal = "#" + host::ado::CStr(Variant(*date)) + "#";
            } else {
                literal = QuotedText(text);
            }
            break;
        case KeyKind::Number:
            // Text that is not a number equals no number: asking the database would only fail.
            if (auto number = NumberLiteral(parentValue)) {
                literal = std::move(*number);
            } else {
                return std::nullopt;
            }
            break;
        case KeyKind::Other:
            literal = NumberLiteral(parentValue).value_or(QuotedText(text));
            break;
    }
    return std::string(childKey) + "=" + literal;
}

}  // namespace paperloom::run
