#pragma once
// Checks that every XML part of a saved package is what a strict XML 1.0 reader accepts:
// one declaration at most, at the start; UTF-8 throughout (checked with ICU's decoder, not the
// package's own); no character XML 1.0 forbids, raw or as a numeric reference; and a tree
// pugixml parses. The parts are read from the zip as stored, not through the package, which
// would mend them on the way.

#include <gtest/gtest.h>
#include <unicode/utf8.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "host/docx/Package.h"
#include "host/docx/ZipArchive.h"

namespace paperloom::docx::testing {

inline bool ForbiddenInXml(std::int64_t c) {
    return (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFE ||
           c == 0xFFFF || c > 0x10FFFF;
}

// "" when the part is well-formed XML 1.0, else what is wrong with it.
inline std::string XmlFault(std::string_view bytes) {
    std::string_view text = bytes;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    const auto declaration = text.find("<?xml ");
    if (declaration != std::string_view::npos && declaration != 0) return "a declaration not at the start";
    if (declaration == 0 && text.find("<?xml ", 1) != std::string_view::npos) return "two declarations";
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto length = static_cast<std::int32_t>(bytes.size());
    for (std::int32_t i = 0; i < length;) {
        const std::int32_t at = i;
        UChar32 c = 0;
        U8_NEXT(data, i, length, c);
        if (c < 0) return "bytes that are not UTF-8 at offset " + std::to_string(at);
        if (ForbiddenInXml(c)) return "character " + std::to_string(c) + " at offset " + std::to_string(at);
        if (c == '&' && i < length && data[i] == '#') {
            const bool hex = i + 1 < length && data[i + 1] == 'x';
            std::int64_t value = 0;
            for (std::int32_t k = i + (hex ? 2 : 1); k < length && data[k] != ';' && value <= 0x110000; ++k)
                value = value * (hex ? 16 : 10) +
                        (data[k] <= '9' ? data[k] - '0' : (data[k] | 0x20) - 'a' + 10);
            if (ForbiddenInXml(value)) return "a reference to character " + std::to_string(value);
        }
    }
    pugi::xml_document tree;
    const auto parsed = tree.load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_declaration);
    if (!parsed) return std::string("not parsed: ") + parsed.description();
    if (!tree.document_element()) return "no root element";
    return {};
}

inline bool IsXmlPart(std::string_view name) { return name.ends_with(".xml") || name.ends_with(".rels"); }

// Every XML part of the saved package, checked; returns how many there were.
inline std::size_t ExpectWellFormedParts(std::span<const std::byte> packageBytes) {
    std::size_t checked = 0;
    for (const auto& entry : zip::Read(packageBytes, PackageLimits{})) {
        if (!IsXmlPart(entry.name)) continue;
        ++checked;
        EXPECT_EQ(XmlFault(entry.data), "") << entry.name;
    }
    return checked;
}

}  // namespace paperloom::docx::testing
