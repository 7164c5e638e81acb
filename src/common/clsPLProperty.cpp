#include "common/clsPLProperty.h"

#include "common/modPLConst.h"
#include "host/HostError.h"

#include <optional>

// Positions are byte offsets into UTF-8 text. Every delimiter the scanner looks for (blank,
// comma, equals sign, double quote) is ASCII and never occurs inside a multi-byte character,
// so byte positions give the same entries as character positions would.

namespace paperloom {
namespace {

constexpr char kBlank = ' ';
constexpr char kComma = ',';
constexpr char kEquals = '=';
constexpr char kQuote = '"';
constexpr auto npos = std::string_view::npos;

// From pos, passes blanks and the delimiter; the first other character is the result when
// the delimiter was seen on the way. npos otherwise or at the end of the text.
std::size_t SkipForward(std::string_view text, std::size_t pos, char delimiter) {
    bool seen = false;
    for (std::size_t i = pos; i < text.size(); ++i) {
        if (text[i] == delimiter) {
            seen = true;
        } else if (text[i] != kBlank) {
            return seen ? i : npos;
        }
    }
    return npos;
}

// Walks back from the character before pos over blanks and the delimiter. True when the first
// other character is reached after a delimiter; text that holds only blanks and delimiters
// before pos counts as the start of the text.
bool LookBack(std::string_view text, std::size_t pos, char delimiter) {
    bool seen = false;
    for (std::size_t i = pos; i-- > 0;) {
        if (text[i] == delimiter) {
            seen = true;
        } else if (text[i] != kBlank) {
            return seen;
        }
    }
    return true;
}

// Characters from start up to the first comma outside double quotes (or the end of the text);
// 0 when the text ends inside quotes.
std::size_t ValueLength(std::string_view text, std::size_t start) {
    bool inQuotes = false;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] == kQuote) {
            inQuotes = !inQuotes;
        } else if (text[i] == kComma && !inQuotes) {
            return i - start;
        }
    }
    return inQuotes ? 0 : text.size() - start;
}

struct KeyHit {
    std::size_t entryStart = 0;  // first character of the entry's key; the prefix ends here
    std::size_t keyEnd = 0;      // just after the searched key
    std::size_t valueStart = 0;  // the opening quote
};

// An entry's value opens with a double quote. A key followed by "=" and anything else (a
// damaged entry such as K=, or K=abc) is no entry: it is neither read nor rewritten, so a
// value set is always the value read back.
bool IsValueStart(std::string_view text, std::size_t pos) {
    return pos != npos && text[pos] == kQuote;
}

bool IsEntryStart(std::string_view text, std::size_t pos) {
    return pos == 0 || LookBack(text, pos, kComma);
}

std::optional<KeyHit> FindKey(std::string_view text, std::string_view key) {
    if (text.empty() || key.empty()) {
        return std::nullopt;
    }
    for (std::size_t hit = text.find(key); hit != npos; hit = text.find(key, hit + 1)) {
        if (!IsEntryStart(text, hit)) {
            continue;
        }
        const std::size_t keyEnd = hit + key.size();
        const std::size_t valueStart = SkipForward(text, keyEnd, kEquals);
        if (IsValueStart(text, valueStart)) {
            return KeyHit{hit, keyEnd, valueStart};
        }
    }
    return std::nullopt;
}

// As FindKey, but the key may be the tail of a longer key ("b" + "BreakRowFormat").
std::optional<KeyHit> FindKeyBySuffix(std::string_view text, std::string_view key) {
    if (text.empty() || key.empty()) {
        return std::nullopt;
    }
    for (std::size_t hit = text.find(key); hit != npos; hit = text.find(key, hit + 1)) {
        std::size_t entryStart = hit;
        while (entryStart > 0 && text[entryStart - 1] != kComma && text[entryStart - 1] != kBlank) {
            --entryStart;
        }
        if (!IsEntryStart(text, entryStart)) {
            continue;
        }
        const std::size_t keyEnd = hit + key.size();
        const std::size_t valueStart = SkipForward(text, keyEnd, kEquals);
        if (IsValueStart(text, valueStart)) {
            return KeyHit{entryStart, keyEnd, valueStart};
        }
    }
    return std::nullopt;
}

// The text behind an entry's value: from the comma that ends it, or "" when the entry runs to
// the end. An unterminated value swallows the rest of the text, as the reader sees it.
std::string_view RestAfterValue(std::string_view text, const KeyHit& hit) {
    const std::size_t length = ValueLength(text, hit.valueStart);
    if (length == 0) {
        return {};
    }
    return text.substr(hit.valueStart + length);
}

// rest begins with the comma that separated the entry; drop it and the blanks after it.
std::string_view AfterSeparator(std::string_view rest) {
    std::size_t i = rest.find(kComma);
    i = (i == npos) ? 0 : i + 1;
    while (i < rest.size() && rest[i] == kBlank) {
        ++i;
    }
    return rest.substr(i);
}

std::string WithoutEntry(std::string_view text, const KeyHit& hit) {
    const std::string_view rest = RestAfterValue(text, hit);
    std::string_view prefix = text.substr(0, hit.entryStart);
    if (rest.empty() && prefix.empty()) {
        return {};
    }
    if (prefix.empty()) {
        return std::string(AfterSeparator(rest));
    }
    if (!rest.empty()) {
        return std::string(prefix).append(AfterSeparator(rest));
    }
    while (!prefix.empty() && (prefix.back() == kBlank || prefix.back() == kComma)) {
        prefix.remove_suffix(1);
    }
    return std::string(prefix);
}

std::string DoubleBackslashes(std::string_view value) {
    std::string result;
    result.reserve(value.size());
    for (const char c : value) {
        result.push_back(c);
        if (c == '\\') {
            result.push_back('\\');
        }
    }
    return result;
}

std::string HalveDoubledBackslashes(std::string_view value) {
    std::string result;
    result.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        result.push_back(value[i]);
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == '\\') {
            ++i;
        }
    }
    return result;
}

}  // namespace

std::string clsPLProperty::GetPropertyFromText(std::string_view strSource,
                                               std::string_view strPropName,
                                               std::string_view strDefaultVlaue) const {
    const auto hit = FindKey(strSource, strPropName);
    if (!hit) {
        return std::string(strDefaultVlaue);
    }
    std::string_view value = strSource.substr(hit->valueStart, ValueLength(strSource, hit->valueStart));
    // Blanks before the separating comma belong to the separator, not the value.
    while (!value.empty() && value.back() == kBlank) {
        value.remove_suffix(1);
    }
    if (value.size() < 2 || value.front() != kQuote || value.back() != kQuote) {
        return std::string(strDefaultVlaue);
    }
    value = value.substr(1, value.size() - 2);
    if (strPropName == modPLConst::PROP_FORMAT) {
        return HalveDoubledBackslashes(value);
    }
    return std::string(value);
}

void clsPLProperty::SetPropertyToText(std::string& strDestination, std::string_view strPropName,
                                      std::string_view strPropValue) const {
    if (strPropName.empty()) {
        return;
    }
    if (strPropValue.find(kQuote) != npos) {
        throw host::HostError(5, "clsPLProperty",
                              "A property value cannot hold a double quote: " + std::string(strPropName));
    }
    const std::string value = strPropName == modPLConst::PROP_FORMAT ? DoubleBackslashes(strPropValue)
                                                                     : std::string(strPropValue);
    const std::string quoted = std::string(1, kEquals) + kQuote + value + kQuote;
    if (strDestination.empty()) {
        strDestination = std::string(strPropName) + quoted;
        return;
    }
    const auto hit = FindKey(strDestination, strPropName);
    if (!hit) {
        strDestination += ", ";
        strDestination += strPropName;
        strDestination += quoted;
        return;
    }
    const std::string rest(RestAfterValue(strDestination, *hit));
    strDestination = strDestination.substr(0, hit->keyEnd) + quoted + rest;
}

void clsPLProperty::DeletePropertyFromText(std::string& strDestination,
                                           std::string_view strPropName) const {
    if (const auto hit = FindKey(strDestination, strPropName)) {
        strDestination = WithoutEntry(strDestination, *hit);
    }
}

void clsPLProperty::DeletePropertiesFromText(std::string& strDestination,
                                             std::string_view strPropName) const {
    std::string work = strDestination;
    // Every pass removes at least the key itself, so the loop ends.
    while (const auto hit = FindKeyBySuffix(work, strPropName)) {
        work = WithoutEntry(work, *hit);
    }
    strDestination = std::move(work);
}

}  // namespace paperloom
