#pragma once
// Text helpers every layer shares. Keywords, names, switches and connection-string keys are
// ASCII; bytes of other scripts (UTF-8 lead and continuation bytes) pass through every helper
// unchanged, so none of them depends on the process locale.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace paperloom::text {

// Sets of characters to trim.
inline constexpr std::string_view kSpace = " ";
inline constexpr std::string_view kBlanks = " \t";
inline constexpr std::string_view kWhitespace = " \t\r\n";

constexpr char ToLower(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char ToUpper(char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string ToLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = ToLower(c);
    return out;
}

inline std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = ToUpper(c);
    return out;
}

constexpr bool EqualsNoCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToLower(a[i]) != ToLower(b[i])) return false;
    }
    return true;
}

constexpr bool StartsWithNoCase(std::string_view text, std::string_view prefix) noexcept {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

constexpr bool EndsWithNoCase(std::string_view text, std::string_view suffix) noexcept {
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// Byte offset of the first occurrence of `what`, or npos; an empty `what` is found at 0.
constexpr std::size_t FindNoCase(std::string_view text, std::string_view what) noexcept {
    if (what.size() > text.size()) return std::string_view::npos;
    for (std::size_t at = 0; at + what.size() <= text.size(); ++at) {
        if (EqualsNoCase(text.substr(at, what.size()), what)) return at;
    }
    return std::string_view::npos;
}

constexpr bool ContainsNoCase(std::string_view text, std::string_view what) noexcept {
    return FindNoCase(text, what) != std::string_view::npos;
}

constexpr std::string_view TrimStart(std::string_view text, std::string_view chars = kWhitespace) noexcept {
    while (!text.empty() && chars.find(text.front()) != std::string_view::npos) text.remove_prefix(1);
    return text;
}

constexpr std::string_view TrimEnd(std::string_view text, std::string_view chars = kWhitespace) noexcept {
    while (!text.empty() && chars.find(text.back()) != std::string_view::npos) text.remove_suffix(1);
    return text;
}

constexpr std::string_view Trim(std::string_view text, std::string_view chars = kWhitespace) noexcept {
    return TrimEnd(TrimStart(text, chars), chars);
}

// An on/off value as XML settings and options write it ("true", "1", "on", "false", "0",
// "off", letter case ignored); nothing for any other text.
constexpr std::optional<bool> ParseOnOff(std::string_view text) noexcept {
    if (EqualsNoCase(text, "true") || text == "1" || EqualsNoCase(text, "on")) return true;
    if (EqualsNoCase(text, "false") || text == "0" || EqualsNoCase(text, "off")) return false;
    return std::nullopt;
}

}  // namespace paperloom::text
