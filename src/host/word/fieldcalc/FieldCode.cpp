#include "host/word/fieldcalc/FieldCode.h"

#include <algorithm>
#include <array>
#include <utility>

#include "host/AsciiText.h"

namespace paperloom::word::fieldcalc {
namespace {

constexpr std::string_view kCodeBlanks = " \t\r\n\v\f";

bool IsBlank(char c) { return kCodeBlanks.find(c) != std::string_view::npos; }

// Length of the UTF-8 sequence that starts with `lead` (1 for stray continuation bytes).
std::size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

FieldType FieldTypeFromName(std::string_view name) {
    static const std::array<std::pair<std::string_view, FieldType>, 14> kTypes{{
        {"=", FieldType::Formula},
        {"QUOTE", FieldType::Quote},
        {"INCLUDEPICTURE", FieldType::IncludePicture},
        {"MERGEFIELD", FieldType::MergeField},
        {"DOCVARIABLE", FieldType::DocVariable},
        {"PAGE", FieldType::Page},
        {"NUMPAGES", FieldType::NumPages},
        {"DATE", FieldType::Date},
        {"TIME", FieldType::Time},
        {"REF", FieldType::Ref},
        {"IF", FieldType::If},
        {"SEQ", FieldType::Seq},
        {"HYPERLINK", FieldType::Hyperlink},
        {"TOC", FieldType::Toc},
    }};
    if (name.empty()) return FieldType::Empty;
    const std::string upper = text::ToUpper(name);
    for (const auto& [typeName, type] : kTypes)
        if (upper == typeName) return type;
    return FieldType::Unknown;
}

std::vector<FieldToken> TokenizeFieldCode(std::string_view code) {
    std::vector<FieldToken> tokens;
    std::size_t i = 0;
    while (i < code.size()) {
        if (IsBlank(code[i])) {
            ++i;
            continue;
        }
        FieldToken token;
        token.begin = i;
        if (code[i] == '"') {
            token.kind = FieldToken::Kind::Quoted;
            const std::size_t open = i;
            // A value ending in a backslash ("C:\data\") would escape its closing quote and
            // swallow the switches after it; when escaped quotes leave the text unclosed,
            // read it again with a backslash before a quote taken literally.
            for (const bool escapedQuotes : {true, false}) {
                token.text.clear();
                i = open + 1;
                while (i < code.size() && code[i] != '"') {
                    if (code[i] == '\\' && i + 1 < code.size() &&
                        (code[i + 1] == '\\' || (escapedQuotes && code[i + 1] == '"')))
                        ++i;
                    token.text += code[i++];
                }
                if (i < code.size()) break;
            }
            if (i < code.size()) ++i;  // closing quote; an unclosed quote runs to the end
        } else if (code[i] == '\\') {
            token.kind = FieldToken::Kind::Switch;
            token.text = "\\";
            ++i;
            if (i < code.size() && !IsBlank(code[i])) {
                const std::size_t length = std::min(Utf8Length(static_cast<unsigned char>(code[i])), code.size() - i);
                token.text.append(code.substr(i, length));
                i += length;
            }
        } else {
            while (i < code.size() && !IsBlank(code[i])) {
                // A general switch written straight after a word ("=SUM(a1:a3)\#") ends it.
                if (code[i] == '\\' && i + 1 < code.size() &&
                    (code[i + 1] == '#' || code[i + 1] == '@' || code[i + 1] == '*'))
                    break;
                if (code[i] == '\\' && i + 1 < code.size() && code[i + 1] == '\\') ++i;
                token.text += code[i++];
            }
        }
        token.end = i;
        tokens.push_back(std::move(token));
    }
    return tokens;
}

FieldCode FieldCode::Parse(std::string_view code) {
    FieldCode parsed;
    parsed.code_ = std::string(code);
    std::string_view text = text::Trim(code, kCodeBlanks);
    const std::size_t offset = static_cast<std::size_t>(text.data() - code.data());

    std::size_t argumentsStart = 0;
    if (!text.empty() && text.front() == '=') {
        parsed.typeName_ = "=";
        argumentsStart = offset + 1;
    } else {
        std::size_t end = 0;
        while (end < text.size() && !IsBlank(text[end]) && text[end] != '\\' && text[end] != '"') ++end;
        parsed.typeName_ = std::string(text.substr(0, end));
        argumentsStart = offset + end;
    }
    parsed.type_ = FieldTypeFromName(parsed.typeName_);

    parsed.tokens_ = TokenizeFieldCode(std::string_view(parsed.code_).substr(argumentsStart));
    for (auto& token : parsed.tokens_) {
        token.begin += argumentsStart;
        token.end += argumentsStart;
    }

    std::size_t argumentsEnd = parsed.code_.size();
    bool inSwitches = false;
    for (std::size_t t = 0; t < parsed.tokens_.size(); ++t) {
        const FieldToken& token = parsed.tokens_[t];
        if (token.kind == FieldToken::Kind::Switch) {
            if (!inSwitches) argumentsEnd = token.begin;
            inSwitches = true;
            FieldSwitch fieldSwitch{token.text, std::nullopt};
            if (t + 1 < parsed.tokens_.size() && parsed.tokens_[t + 1].kind != FieldToken::Kind::Switch) {
                fieldSwitch.argument = parsed.tokens_[t + 1].text;
                ++t;
            }
            parsed.switches_.push_back(std::move(fieldSwitch));
        } else if (!inSwitches) {
            parsed.arguments_.push_back(token);
        }
    }
    parsed.argumentText_ = std::string(text::Trim(std::string_view(parsed.code_).substr(
        argumentsStart, argumentsEnd > argumentsStart ? argumentsEnd - argumentsStart : 0), kCodeBlanks));
    return parsed;
}

std::string FieldCode::QuotedText() const {
    if (arguments_.empty()) return {};
    const std::string_view code(code_);
    // Clean: every quoted argument ends where a blank or the end follows and no bare word
    // holds a quote. Otherwise the value carried quotes of its own.
    bool clean = true;
    for (const FieldToken& token : arguments_) {
        if (token.kind == FieldToken::Kind::Quoted) {
            const bool closed = token.end - token.begin >= 2 && code[token.end - 1] == '"';
            if (!closed || (token.end < code.size() && !IsBlank(code[token.end]))) clean = false;
        } else if (token.text.find('"') != std::string::npos) {
            clean = false;
        }
    }
    if (clean) {
        std::string joined;
        for (const FieldToken& token : arguments_) {
            if (!joined.empty() || &token != &arguments_.front()) joined += ' ';
            joined += token.text;
        }
        return joined;
    }
    std::string_view raw = code.substr(arguments_.front().begin, arguments_.back().end - arguments_.front().begin);
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') raw = raw.substr(1, raw.size() - 2);
    else if (!raw.empty() && raw.front() == '"') raw.remove_prefix(1);
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size() && (raw[i + 1] == '\\' || raw[i + 1] == '"')) ++i;
        text += raw[i];
    }
    return text;
}

bool FieldCode::HasSwitch(std::string_view name) const {
    const std::string upper = text::ToUpper(name);
    return std::any_of(switches_.begin(), switches_.end(),
                       [&](const FieldSwitch& s) { return text::ToUpper(s.name) == upper; });
}

}  // namespace paperloom::word::fieldcalc
