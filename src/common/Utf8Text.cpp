#include "common/Utf8Text.h"

#include <unicode/utf8.h>

#include <cstdint>

namespace paperloom::utf8 {

std::vector<std::string_view> Characters(std::string_view text) {
    std::vector<std::string_view> pieces;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t offset = 0;
    while (offset < length) {
        const std::int32_t start = offset;
        UChar32 codePoint = 0;
        U8_NEXT(bytes, offset, length, codePoint);
        (void)codePoint;  // ill-formed sequences still advance offset, so every byte is kept
        pieces.push_back(text.substr(static_cast<std::size_t>(start),
                                     static_cast<std::size_t>(offset - start)));
    }
    return pieces;
}

std::size_t Length(std::string_view text) {
    return Characters(text).size();
}

std::string WithoutFirstAndLast(std::string_view text) {
    const auto pieces = Characters(text);
    if (pieces.size() < 2) {
        return {};
    }
    const std::size_t begin = pieces.front().size();
    const std::size_t end = text.size() - pieces.back().size();
    return std::string(text.substr(begin, end - begin));
}

}  // namespace paperloom::utf8
