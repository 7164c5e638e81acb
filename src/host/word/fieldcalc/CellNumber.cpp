#include "host/word/fieldcalc/CellNumber.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

namespace paperloom::word::fieldcalc {
namespace {

// Replaces full-width digits and signs by their ASCII forms and drops blanks, so the rest of
// the parser sees one alphabet.
std::string Normalise(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        // U+FF01..U+FF5E are EF BC 81..EF BD 9E: full-width ASCII.
        if (c == 0xEF && i + 2 < text.size()) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            const auto b2 = static_cast<unsigned char>(text[i + 2]);
            int code = -1;
            if (b1 == 0xBC && b2 >= 0x81 && b2 <= 0xBF) code = 0xFF00 + (b2 - 0x80);
            if (b1 == 0xBD && b2 >= 0x80 && b2 <= 0x9E) code = 0xFF40 + (b2 - 0x80);
            if (code >= 0) {
                out += static_cast<char>(code - 0xFF00 + 0x20);
                i += 3;
                continue;
            }
            if (b1 == 0xBF && b2 == 0xA5) {  // U+FFE5 full-width yen
                out += '\\';
                i += 3;
                continue;
            }
        }
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA0) {
            i += 2;  // no-break space
            continue;
        }
        if (c == 0xE3 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
            static_cast<unsigned char>(text[i + 2]) == 0x80) {
            i += 3;  // ideographic space
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\a' || c == 0x07) {
            ++i;
            continue;
        }
        out += static_cast<char>(c);
        ++i;
    }
    return out;
}

bool StripPrefix(std::string& text, std::string_view prefix) {
    if (text.compare(0, prefix.size(), prefix) != 0) return false;
    text.erase(0, prefix.size());
    return true;
}

bool StripCurrency(std::string& text) {
    for (std::string_view sign : {"\\", "$", "\xC2\xA5" /* ¥ */, "\xE2\x82\xAC" /* € */, "\xC2\xA3" /* £ */})
        if (StripPrefix(text, sign)) return true;
    return false;
}

bool StripSuffixCurrency(std::string& text) {
    for (std::string_view sign : {"\xE5\x86\x86" /* 円 */, "\xE2\x82\xAC"}) {
        if (text.size() >= sign.size() && text.compare(text.size() - sign.size(), sign.size(), sign) == 0) {
            text.erase(text.size() - sign.size());
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<double> ParseCellNumber(std::string_view raw) {
    std::string text = Normalise(raw);
    if (text.empty()) return std::nullopt;

    bool negative = false;
    if (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
        negative = true;
        text = text.substr(1, text.size() - 2);
    }
    StripCurrency(text);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = negative != (text.front() == '-');
        text.erase(0, 1);
    }
    StripCurrency(text);
    if (!text.empty() && text.back() == '%') text.pop_back();
    StripSuffixCurrency(text);
    if (text.empty()) return std::nullopt;

    // Digits with grouping commas in the integer part only, then an optional fraction.
    std::string digits;
    std::size_t i = 0;
    bool anyDigit = false;
    while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == ',')) {
        if (text[i] == ',') {
            if (!anyDigit || i + 1 >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i + 1])))
                return std::nullopt;
        } else {
            digits += text[i];
            anyDigit = true;
        }
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        digits += '.';
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            digits += text[i++];
            anyDigit = true;
        }
    }
    if (!anyDigit || i != text.size()) return std::nullopt;

    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

}  // namespace paperloom::word::fieldcalc
