#include "host/word/fieldcalc/NumberFormatSwitch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include <fmt/format.h>

#include "host/word/fieldcalc/DecimalNumber.h"
#include "host/AsciiText.h"

namespace paperloom::word::fieldcalc {
namespace {

enum class Numbering { Arabic, ArabicDash, Roman, Alphabetic, Hex, Ordinal };

std::optional<Numbering> NumberingOf(std::string_view argument) {
    const std::string upper = text::ToUpper(argument);
    if (upper == "ARABIC") return Numbering::Arabic;
    if (upper == "ARABICDASH") return Numbering::ArabicDash;
    if (upper == "ROMAN") return Numbering::Roman;
    if (upper == "ALPHABETIC") return Numbering::Alphabetic;
    if (upper == "HEX") return Numbering::Hex;
    if (upper == "ORDINAL") return Numbering::Ordinal;
    return std::nullopt;
}

bool StartsLower(std::string_view argument) {
    return !argument.empty() && argument.front() >= 'a' && argument.front() <= 'z';
}

std::string Roman(long long value) {
    static constexpr std::array<std::pair<int, const char*>, 13> kNumerals{{
        {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
        {40, "XL"}, {10, "X"}, {9, "IX"}, {5, "V"}, {4, "IV"}, {1, "I"},
    }};
    std::string text;
    for (const auto& [amount, numeral] : kNumerals) {
        while (value >= amount) {
            text += numeral;
            value -= amount;
        }
    }
    return text;
}

// 1 a, 26 z, 27 aa, 53 aaa: the letter repeated once more for every round of the alphabet.
std::string Alphabetic(long long value) {
    const long long round = (value - 1) / 26;
    const char letter = static_cast<char>('A' + (value - 1) % 26);
    return std::string(static_cast<std::size_t>(round + 1), letter);
}

std::string Ordinal(long long value) {
    const long long lastTwo = std::llabs(value) % 100;
    const long long last = std::llabs(value) % 10;
    const char* suffix = "th";
    if (lastTwo < 11 || lastTwo > 13) {
        if (last == 1) suffix = "st";
        else if (last == 2) suffix = "nd";
        else if (last == 3) suffix = "rd";
    }
    return fmt::format("{}{}", value, suffix);
}

}  // namespace

bool IsNumberingArgument(std::string_view argument) { return NumberingOf(argument).has_value(); }

std::optional<std::string> FormatNumbering(double value, std::string_view argument) {
    const auto numbering = NumberingOf(argument);
    if (!numbering) return std::nullopt;
    const RoundedDecimal rounded = RoundToDecimals(value, 0);
    // Past the range of whole numbers the digits are the only faithful form.
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) return (rounded.negative ? "-" : "") + (rounded.integer.empty() ? "0" : rounded.integer);
    const long long whole = std::llround(value);
    switch (*numbering) {
        case Numbering::Arabic: return fmt::format("{}", whole);
        case Numbering::ArabicDash: return fmt::format("- {} -", whole);
        case Numbering::Roman:
            if (whole < 1 || whole > 3999) return fmt::format("{}", whole);
            return StartsLower(argument) ? [](std::string text) {
                std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(c + 32); });
                return text;
            }(Roman(whole)) : Roman(whole);
        case Numbering::Alphabetic: {
            if (whole < 1 || whole > 780) return fmt::format("{}", whole);
            std::string text = Alphabetic(whole);
            if (StartsLower(argument)) std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(c + 32); });
            return text;
        }
        case Numbering::Hex:
            if (whole < 0) return fmt::format("{}", whole);
            return argument == "hex" ? fmt::format("{:x}", whole) : fmt::format("{:X}", whole);
        case Numbering::Ordinal: return Ordinal(whole);
    }
    return std::nullopt;
}

}  // namespace paperloom::word::fieldcalc
