#include "host/word/fieldcalc/TextFormatSwitch.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "host/AsciiText.h"

namespace paperloom::word::fieldcalc {
namespace {

std::string ToUtf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

// Transliterators are costly to build and not safe to share between threads: one per thread.
icu::Transliterator* WidthTransliterator(bool toHalfWidth) {
    thread_local std::array<std::unique_ptr<icu::Transliterator>, 2> cache;
    auto& slot = cache[toHalfWidth ? 0 : 1];
    if (!slot) {
        UErrorCode status = U_ZERO_ERROR;
        slot.reset(icu::Transliterator::createInstance(toHalfWidth ? "Fullwidth-Halfwidth" : "Halfwidth-Fullwidth",
                                                       UTRANS_FORWARD, status));
        if (U_FAILURE(status)) slot.reset();
    }
    return slot.get();
}

// Upper-cases the first letter of every word (or of the first word only); the rest is kept.
std::string CapitaliseWords(std::string_view text, bool everyWord) {
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    icu::UnicodeString out;
    bool atWordStart = true;
    bool done = false;
    for (int32_t i = 0; i < unicode.length();) {
        const UChar32 c = unicode.char32At(i);
        const int32_t next = unicode.moveIndex32(i, 1);
        if (u_isalnum(c)) {
            if (atWordStart && !done) {
                out.append(u_totitle(c));
                if (!everyWord) done = true;
            } else {
                out.append(c);
            }
            atWordStart = false;
        } else {
            out.append(c);
            atWordStart = u_isWhitespace(c) || c == '-' || c == '(' || c == '"' || c == '/';
        }
        i = next;
    }
    return ToUtf8(out);
}

}  // namespace

std::optional<TextFormat> TextFormatFromArgument(std::string_view argument) {
    static const std::array<std::pair<std::string_view, TextFormat>, 8> kFormats{{
        {"UPPER", TextFormat::Upper},
        {"LOWER", TextFormat::Lower},
        {"FIRSTCAP", TextFormat::FirstCap},
        {"CAPS", TextFormat::Caps},
        {"SBCHAR", TextFormat::SingleByte},
        {"DBCHAR", TextFormat::DoubleByte},
        {"MERGEFORMAT", TextFormat::MergeFormat},
        {"CHARFORMAT", TextFormat::CharFormat},
    }};
    const std::string upper = text::ToUpper(argument);
    for (const auto& [name, format] : kFormats)
        if (upper == name) return format;
    return std::nullopt;
}

std::string ApplyTextFormat(std::string_view text, TextFormat format) {
    const auto unicode = [&] {
        return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    };
    switch (format) {
        case TextFormat::Upper: return ToUtf8(unicode().toUpper(icu::Locale::getRoot()));
        case TextFormat::Lower: return ToUtf8(unicode().toLower(icu::Locale::getRoot()));
        case TextFormat::FirstCap: return CapitaliseWords(text, false);
        case TextFormat::Caps: return CapitaliseWords(text, true);
        case TextFormat::SingleByte:
        case TextFormat::DoubleByte: {
            icu::UnicodeString converted = unicode();
            if (icu::Transliterator* transliterator = WidthTransliterator(format == TextFormat::SingleByte))
                transliterator->transliterate(converted);
            return ToUtf8(converted);
        }
        case TextFormat::MergeFormat:
        case TextFormat::CharFormat: break;
    }
    return std::string(text);
}

}  // namespace paperloom::word::fieldcalc
