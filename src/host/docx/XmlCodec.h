#pragma once
// Parsing a part's bytes into a pugixml tree that keeps everything needed to write the part
// back as the same XML, and writing it back.

#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace paperloom::docx::xml {

// How the part was stored, so it is written back the same way.
struct Encoding {
    pugi::xml_encoding encoding = pugi::encoding_utf8;
    bool byteOrderMark = false;
};

// Keeps the declaration, processing instructions, comments, the doctype and whitespace-only
// text (a w:t holding one blank must keep it).
inline constexpr unsigned int kParseFlags = pugi::parse_full | pugi::parse_ws_pcdata;

struct Parsed {
    std::unique_ptr<pugi::xml_document> document;
    Encoding encoding;
};

// Throws PackageError naming the part when the bytes are not well-formed XML with a root element.
Parsed Parse(std::string_view bytes, std::string_view partName);
std::string Serialize(const pugi::xml_document& document, const Encoding& encoding);
// A new document holding only <?xml version="1.0" encoding="UTF-8" standalone="yes"?>.
std::unique_ptr<pugi::xml_document> NewDocument();

// The element's name without its namespace prefix.
std::string_view LocalName(const pugi::xml_node& node);

}  // namespace paperloom::docx::xml
