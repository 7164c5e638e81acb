#include "Run/FindCondition.h"

#include "common/ValueText.h"
#include "common/modPLConst.h"

namespace paperloom::run {
namespace {

constexpr int kNumber = 2;
constexpr int kDate = 7;
constexpr int kString = 8;
constexpr int kBoolean = 11;
constexpr int kVariant = 12;

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

bool ReadsAsBoolean(std::string_view value) {
    const std::string text = Trimmed(value);
    std::string upper;
    for (const char c : text) upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return upper == "TRUE" || upper == "FALSE" || valuetext::ReadsAsNumber(text);
}

FindCondition Refused(std::string_view message) { return {{}, message}; }

}  // namespace

std::string QuoteLikePattern(std::string_view strValue) {
    std::string pattern = "'%";
    for (const char c : strValue) {
        pattern += c;
        if (c == '\'') pattern += '\'';
    }
    return pattern + "%'";
}

FindCondition BuildFindCondition(std::string_view strDataField, int intFieldKind, std::string_view strValue,
                                 bool blnBlank) {
    const std::string field(strDataField);
    if (blnBlank) return {field + "=NULL", {}};
    const auto pattern = [&] { return FindCondition{field + " LIKE " + QuoteLikePattern(strValue), {}}; };
    // A plain value is one number or Boolean word: anything else would be read as more of the
    // condition than the user typed.
    switch (intFieldKind) {
    case kNumber:
        if (!valuetext::ReadsAsNumber(strValue)) return Refused(modPLConst::MSG_BAD_VALUE);
        return {field + "=" + Trimmed(strValue), {}};
    case kBoolean:
        if (!ReadsAsBoolean(strValue)) return Refused(modPLConst::MSG_BAD_VALUE);
        return {field + "=" + Trimmed(strValue), {}};
    case kDate:
        if (strValue.find('#') != std::string_view::npos || Trimmed(strValue).empty())
            return Refused(modPLConst::MSG_BAD_VALUE);
        return {field + "=#" + Trimmed(strValue) + "#", {}};
    case kString:
        return pattern();
    case kVariant:
        if (valuetext::ReadsAsNumber(strValue) && !valuetext::ReadsAsDate(strValue))
            return {field + "=" + Trimmed(strValue), {}};
        return pattern();
    default:
        return Refused(modPLConst::MSG_BAD_FIELD);
    }
}

}  // namespace paperloom::run
