#include "Run/FieldFormat.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "common/modPLFieldCode.h"
#include "common/modPLRPictureField.h"
#include "host/ado/DataTypes.h"

namespace paperloom::run {

using host::ado::DataTypeEnum;
using host::ado::Variant;
using settingtypes::ColumnFieldType;

namespace {

bool IsFormatSwitch(std::string_view token) { return token == "\\#" || token == "\\@" || token == "\\*"; }

// A value inside the double quotes of a QUOTE code: backslashes and quotes are escaped the
// way the field reader unescapes them, so a value such as  5" pipe  or  C:\data\  shows as it
// is instead of ending the quoted text early or losing a backslash.
std::string QuotedValue(std::string_view value) {
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

std::string ValueText(const Variant& value) { return ShownText(host::ado::ToDisplayText(value)); }

// A plain decimal number as values give it: [+-]digits[.digits][E[+-]digits], or .digits.
bool IsPlainNumber(std::string_view text) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) ++i;
        return i > start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa = digits() || mantissa;
    }
    if (!mantissa) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (!digits()) return false;
    }
    return i == text.size();
}

// A value goes into a number field as a number only when it is one: a database may hold any
// text in a numeric column, and "6*7" or "1=1" must show as written, not be computed.
bool IsNumberValue(const Variant& value) {
    if (value.IsNumber()) return true;
    const std::string* text = value.Get<std::string>();
    return text != nullptr && IsPlainNumber(*text);
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Adds one to a digit string; "99" becomes "100".
std::string Increment(std::string digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return digits;
        }
        *it = '0';
    }
    return "1" + digits;
}

std::string Grouped(const std::string& digits) {
    std::string grouped;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

struct NumberPictureRule {
    std::string_view picture;
    bool grouping;
    bool twoDecimals;
    bool percent;
};

constexpr std::array<NumberPictureRule, 6> kHandledPictures{{
    {"#,##0", true, false, false},
    {"#,##0.00", true, true, false},
    {"0", false, false, false},
    {"0%", false, false, true},
    {"0.00", false, true, false},
    {"0.00%", false, true, true},
}};

}  // namespace

std::string ShownText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        if (c == '\0') shown += "\xEF\xBF\xBD";
        else shown += c;
    }
    return shown;
}

std::string GetFormatType(const std::vector<std::string>& straryCodeTokens) {
    for (std::size_t i = 2; i < straryCodeTokens.size(); ++i)
        if (IsFormatSwitch(straryCodeTokens[i])) return straryCodeTokens[i];
    return {};
}

std::string GetFormatTypeFromDBType(int intDBType) {
    switch (intDBType) {
        case 2: case 3: case 4: case 5: case 6: case 14: case 16: case 17: case 18: case 19: case 20: case 21:
        case 131: case 139:
            return "\\#";
        case 7: case 64: case 133: case 134: case 135: case 137:
            return "\\@";
        case 8: case 129: case 130: case 200: case 201: case 202: case 203:
            return "\\*";
        default:
            return {};
    }
}

namespace {

// A QUOTE code showing the value's text.
std::string Quoted(const Variant& value) {
    return std::string(modPLFieldCode::QUOTE_WORD) + " " + QuotedValue(ValueText(value));
}

}  // namespace

std::string GetFormatTypeHeadCode(std::string_view strFormatType, const Variant& vntValue, ColumnFieldType fieldType) {
    const bool missing = vntValue.IsNull() || vntValue.IsEmpty();
    std::string code;
    if (strFormatType == "\\#") {
        // A formula column's value is the template's own formula; a data value is a number
        // or shown as the text it is.
        code = fieldType == ColumnFieldType::Expression || missing || IsNumberValue(vntValue)
                   ? "=" + ValueText(vntValue)
                   : Quoted(vntValue);
    } else if (strFormatType == "\\@" || strFormatType == "\\*") {
        code = Quoted(vntValue);
    } else if (missing) {
        code = modPLFieldCode::QUOTE_WORD;
    } else if (fieldType == ColumnFieldType::Expression) {
        code = "=" + ValueText(vntValue);
    } else if (fieldType == ColumnFieldType::Picture) {
        // No document is at hand here: a relative path resolves against the fallback folder.
        code = modPLRPictureField::MakePictureFieldCode(ValueText(vntValue), "");
    } else {
        code = Quoted(vntValue);
    }
    // "=" alone is a missing number: show nothing rather than a syntax error.
    return code == "=" ? std::string(modPLFieldCode::QUOTE_WORD) : code;
}

// Rounding works on the digits of the magnitude, half away from zero, and the sign goes back
// in front: -2.5 with "0" gives -3, -1234.5 with "#,##0" gives -1,235. A value that rounds to
// zero shows no sign. Texts that are not plain decimal numbers (exponents, words) give "",
// so the caller falls back to a field, which formats them in full.
std::string FieldFormatToText(std::string_view strFormat, std::string_view sValue) {
    const auto rule = std::find_if(kHandledPictures.begin(), kHandledPictures.end(),
                                   [&](const NumberPictureRule& r) { return r.picture == strFormat; });
    if (rule == kHandledPictures.end()) return {};

    std::string_view value = sValue;
    if (!value.empty() && value.front() == '=') value.remove_prefix(1);
    bool negative = false;
    if (!value.empty() && (value.front() == '-' || value.front() == '+')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    const std::size_t dot = value.find('.');
    std::string integer(value.substr(0, dot));
    std::string fraction(dot == std::string_view::npos ? std::string_view{} : value.substr(dot + 1));
    if ((integer.empty() && fraction.empty()) || !AllDigits(integer) || !AllDigits(fraction)) return {};
    if (integer.empty()) integer = "0";
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size() - 1));

    std::string shownFraction;
    if (rule->twoDecimals) {
        shownFraction = fraction.substr(0, 2);
        shownFraction.resize(2, '0');
        if (fraction.size() > 2 && fraction[2] >= '5') {
            shownFraction = Increment(shownFraction);
            if (shownFraction.size() > 2) {  // "99" rounded up carries into the integer part
                shownFraction = "00";
                integer = Increment(integer);
            }
        }
    } else if (!fraction.empty() && fraction[0] >= '5') {
        integer = Increment(integer);
    }

    const bool zero = integer == "0" && shownFraction.find_first_not_of('0') == std::string::npos;
    std::string text = negative && !zero ? "-" : "";
    text += rule->grouping ? Grouped(integer) : integer;
    if (rule->twoDecimals) text += "." + shownFraction;
    if (rule->percent) text += '%';
    return text;
}

}  // namespace paperloom::run
