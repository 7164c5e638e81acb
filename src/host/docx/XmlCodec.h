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

// Writes what the XML writer produces so that XML 1.0 readers read it back. A carriage
// return in text came from "&#13;" (line ends were normalised on parsing) and is written
// raw, which reads back as a line feed: it goes back to a reference. Other control
// characters are written as references such as "&#27;", which XML 1.0 forbids, and one of
// them makes the office suite refuse the whole document: they are dropped. A "&#" in the
// output always comes from the writer, since a literal ampersand is written as "&amp;";
// bytes below 0x20 never occur inside a UTF-8 multi-byte sequence.
//
// Fixing the text on the way keeps one copy of a large part in memory instead of three. A
// started "&#digits" is held back until it is known whether it is one to drop, so a
// reference cut between two pieces of output is still found.
class Xml10Writer : public pugi::xml_writer {
public:
    explicit Xml10Writer(std::string& out) : out_(out) {}
    void write(const void* data, std::size_t size) override;
    // Writes out a reference still held back (the end of one element's text).
    void Finish();

private:
    // A reference is "&#", one to six digits and ";", as the writer makes them.
    static constexpr std::size_t kLongestHeld = 8;

    void Put(char c);
    unsigned ReferencedValue() const;

    std::string& out_;
    std::string held_;
};

// The element's name without its namespace prefix.
std::string_view LocalName(const pugi::xml_node& node);

}  // namespace paperloom::docx::xml
