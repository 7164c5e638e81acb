#include "host/ado/PasswordMask.h"

#include <array>

#include "host/AsciiText.h"

namespace paperloom::host::ado {
namespace {

constexpr std::array<std::string_view, 2> kPasswordKeys = {"PWD", "Password"};

bool IsWordByte(char c) noexcept {
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 0x80;
}

// The length of a password key with its "=" at `at` ("PWD =", "password="), or 0.
std::size_t KeyLength(std::string_view text, std::size_t at) noexcept {
    if (at > 0 && IsWordByte(text[at - 1])) return 0;
    for (const std::string_view key : kPasswordKeys) {
        if (!text::StartsWithNoCase(text.substr(at), key)) continue;
        std::size_t i = at + key.size();
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i < text.size() && text[i] == '=') return i + 1 - at;
    }
    return 0;
}

// Where the value starting at `at` ends (one past it).
std::size_t ValueEnd(std::string_view text, std::size_t at) noexcept {
    if (at >= text.size()) return at;
    const char first = text[at];
    if (first == '{' || first == '"' || first == '\'') {
        const char close = first == '{' ? '}' : first;
        std::size_t i = at + 1;
        while (i < text.size()) {
            if (text[i] == close) {
                if (i + 1 < text.size() && text[i + 1] == close) {
                    i += 2;  // a doubled closer stands for one inside the value
                    continue;
                }
                return i + 1;
            }
            ++i;
        }
        return text.size();  // unbalanced: the rest may all be the password
    }
    std::size_t i = at;
    while (i < text.size() && text[i] != ';' && text[i] != '\n' && text[i] != '\r') ++i;
    return i;
}

std::string MaskKeyedValues(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t key = KeyLength(text, i);
        if (key == 0) {
            out.push_back(text[i++]);
            continue;
        }
        out.append(text.substr(i, key));
        std::size_t value = i + key;
        while (value < text.size() && (text[value] == ' ' || text[value] == '\t')) out.push_back(text[value++]);
        const std::size_t end = ValueEnd(text, value);
        if (end > value) out.append(kMaskedPassword);
        i = end;
    }
    return out;
}

std::string MaskKnown(std::string text, std::string_view password) {
    if (password.empty()) return text;
    const bool standAloneOnly = password.size() < 4;
    std::size_t at = 0;
    while ((at = text.find(password, at)) != std::string::npos) {
        const std::size_t end = at + password.size();
        const bool alone = (at == 0 || !IsWordByte(text[at - 1])) && (end == text.size() || !IsWordByte(text[end]));
        if (standAloneOnly && !alone) {
            at = end;
            continue;
        }
        text.replace(at, password.size(), kMaskedPassword);
        at += kMaskedPassword.size();
    }
    return text;
}

}  // namespace

std::string MaskPasswords(std::string_view text, std::initializer_list<std::string_view> knownPasswords) {
    std::string out = MaskKeyedValues(text);
    for (const std::string_view password : knownPasswords) {
        // A password that is part of the mask itself would mask forever.
        if (password.find_first_not_of('*') == std::string_view::npos) continue;
        out = MaskKnown(std::move(out), password);
    }
    return out;
}

}  // namespace paperloom::host::ado
