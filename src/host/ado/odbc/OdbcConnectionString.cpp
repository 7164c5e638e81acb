#include "host/ado/odbc/OdbcConnectionString.h"

#include <algorithm>
#include <initializer_list>

#include "host/AsciiText.h"

namespace paperloom::host::ado::odbc {

namespace {

}  // namespace

std::vector<ConnectionAttribute> ParseConnectionString(std::string_view text) {
    std::vector<ConnectionAttribute> attributes;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t equals = text.find('=', pos);
        const std::size_t semicolon = text.find(';', pos);
        if (equals == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < equals)) {
            // A segment without "=" carries no attribute.
            if (semicolon == std::string_view::npos) break;
            pos = semicolon + 1;
            continue;
        }
        std::string keyword(text::Trim(text.substr(pos, equals - pos)));
        std::size_t valueStart = equals + 1;
        while (valueStart < text.size() && text[valueStart] == ' ') ++valueStart;
        std::string value;
        if (valueStart < text.size() && text[valueStart] == '{') {
            std::size_t i = valueStart + 1;
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == '}') {
                    if (i + 1 < text.size() && text[i + 1] == '}') {
                        value += '}';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                value += text[i++];
            }
            if (!closed) {  // unbalanced brace: the rest is the value
                pos = text.size();
            } else {
                const std::size_t next = text.find(';', i);
                pos = next == std::string_view::npos ? text.size() : next + 1;
            }
        } else {
            const std::size_t end = text.find(';', valueStart);
            value = std::string(text::Trim(text.substr(valueStart, end == std::string_view::npos
                                                                  ? std::string_view::npos
                                                                  : end - valueStart)));
            pos = end == std::string_view::npos ? text.size() : end + 1;
        }
        if (!keyword.empty()) attributes.emplace_back(std::move(keyword), std::move(value));
    }
    return attributes;
}

std::optional<std::string> FindAttribute(std::string_view text, std::string_view keyword) {
    for (auto& [key, value] : ParseConnectionString(text))
        if (text::EqualsNoCase(key, keyword)) return value;
    return std::nullopt;
}

std::string QuoteAttributeValue(std::string_view value) {
    const bool needsBraces = value.find_first_of(";{}=") != std::string_view::npos ||
                             (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!needsBraces) return std::string(value);
    std::string quoted = "{";
    for (char c : value) {
        quoted += c;
        if (c == '}') quoted += '}';
    }
    quoted += '}';
    return quoted;
}

std::string WithCredentials(std::string_view connectionString, std::string_view user,
                            std::string_view password) {
    std::string result(connectionString);
    const auto append = [&result](std::string_view keyword, std::string_view value) {
        while (!result.empty() && (result.back() == ' ')) result.pop_back();
        if (!result.empty() && result.back() != ';') result += ';';
        result += keyword;
        result += '=';
        result += QuoteAttributeValue(value);
    };
    const auto attributes = ParseConnectionString(connectionString);
    // Drivers also take the spelled-out keywords; any of them means the string has its own.
    const auto has = [&attributes](std::initializer_list<std::string_view> keywords) {
        return std::any_of(attributes.begin(), attributes.end(), [&](const ConnectionAttribute& a) {
            return std::any_of(keywords.begin(), keywords.end(), [&](std::string_view keyword) {
                return text::EqualsNoCase(a.first, keyword);
            });
        });
    };
    if (!user.empty() && !has({"UID", "User ID", "Username", "User"})) append("UID", user);
    if (!password.empty() && !has({"PWD", "Password"})) append("PWD", password);
    return result;
}

}  // namespace paperloom::host::ado::odbc
