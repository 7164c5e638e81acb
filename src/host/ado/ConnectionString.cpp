#include "host/ado/ConnectionString.h"

#include <algorithm>

#include "host/ado/ValueCompare.h"
#include "host/AsciiText.h"

namespace paperloom::host::ado {
namespace {

}  // namespace

ConnectionString ConnectionString::Parse(std::string_view text) {
    ConnectionString out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t keyStart = i;
        while (i < text.size() && text[i] != '=' && text[i] != ';') ++i;
        const std::string_view key = text::Trim(text.substr(keyStart, i - keyStart));
        std::string value;
        if (i < text.size() && text[i] == '=') {
            ++i;
            while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
            if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                // Quoted: a doubled quote stands for one; the value ends at the closing quote.
                const char quote = text[i++];
                while (i < text.size()) {
                    if (text[i] == quote) {
                        if (i + 1 < text.size() && text[i + 1] == quote) {
                            value.push_back(quote);
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    value.push_back(text[i++]);
                }
                while (i < text.size() && text[i] != ';') ++i;
            } else if (i < text.size() && text[i] == '{') {
                const std::size_t start = i;
                while (i < text.size() && text[i] != '}') ++i;
                if (i < text.size()) ++i;
                value = std::string(text.substr(start, i - start));
                while (i < text.size() && text[i] != ';') ++i;
            } else {
                const std::size_t start = i;
                while (i < text.size() && text[i] != ';') ++i;
                value = std::string(text::Trim(text.substr(start, i - start)));
            }
        }
        if (i < text.size()) ++i;  // the ';'
        if (!key.empty()) out.entries_.push_back({std::string(key), std::move(value)});
    }
    return out;
}

std::optional<std::string> ConnectionString::Get(std::string_view key) const {
    for (const auto& e : entries_)
        if (CompareTextNoCase(e.key, key) == 0) return e.value;
    return std::nullopt;
}

std::string ConnectionString::Join(const std::vector<std::string_view>& without) const {
    std::string out;
    for (const auto& e : entries_) {
        const bool skip = std::any_of(without.begin(), without.end(),
                                      [&](std::string_view k) { return CompareTextNoCase(k, e.key) == 0; });
        if (skip) continue;
        if (!out.empty()) out.push_back(';');
        out += e.key;
        out.push_back('=');
        const bool needsQuotes = e.value.find(';') != std::string::npos && e.value.front() != '{';
        if (needsQuotes) {
            out.push_back('"');
            for (char c : e.value) {
                if (c == '"') out.push_back('"');
                out.push_back(c);
            }
            out.push_back('"');
        } else {
            out += e.value;
        }
    }
    return out;
}

}  // namespace paperloom::host::ado
