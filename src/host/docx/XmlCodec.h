#pragma once
// Parsing a part's bytes into a pugixml tree that keeps everything needed to write the part
// back as the same XML, and writing it back.

#include <cstddef>
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
// The tree holds whatever bytes it was given (a template's text is not checked on parsing, a
// database value is set as it comes): a byte sequence that is not UTF-8 becomes U+FFFD, and
// so do U+FFFE and U+FFFF, which XML 1.0 does not allow either (the replacement is also a
// valid name character, so an element name stays one).
//
// Fixing the text on the way keeps one copy of a large part in memory instead of three. A
// started "&#digits" or a started multi-byte sequence is held back until it is complete, so
// one cut between two pieces of output is still found.
class Xml10Writer : public pugi::xml_writer {
public:
    // `escapeCarriageReturns` is off for the prologue: a doctype keeps its raw line ends.
    explicit Xml10Writer(std::string& out, bool escapeCarriageReturns = true)
        : out_(out), escapeCarriageReturns_(escapeCarriageReturns) {}
    void write(const void* data, std::size_t size) override;
    // Writes out what is still held back (the end of one node's output).
    void Finish();

private:
    // A reference is "&#", one to six digits and ";", as the writer makes them.
    static constexpr std::size_t kLongestHeld = 8;

    void PutByte(unsigned char byte);
    // A character past ASCII, decoded (or the replacement).
    void PutCodePoint(char32_t value);
    // An ASCII character.
    void Put(char c);
    void FlushReference();
    unsigned ReferencedValue() const;

    std::string& out_;
    bool escapeCarriageReturns_;
    std::string held_;
    // A multi-byte sequence under way: its bytes so far, and how many it needs in all.
    char32_t sequenceValue_ = 0;
    unsigned sequenceLead_ = 0;
    unsigned sequenceSeen_ = 0;
    unsigned sequenceLength_ = 0;
};

// True when `bytes` can be written as they are: UTF-8 throughout, no character XML 1.0
// forbids, raw or as a numeric reference. A part that is not needs writing again.
bool IsXml10Safe(std::string_view bytes);

// How deep elements may nest in a part. Real documents stay far below; walks over deeper
// trees (the XML library's own removal of a subtree among them) would exhaust the stack.
inline constexpr std::size_t kMaxElementDepth = 512;

// Element names. A part names each namespace with whatever prefix it declares; the host
// reads an element by its local name within the prefix the part uses for that namespace, and
// writes new elements with that same prefix, so a part never mixes two prefixes for one
// namespace. ("w:p" -> prefix "w", local "p"; "Types" -> no prefix, local "Types".)
constexpr std::string_view PrefixOf(std::string_view qualified) noexcept {
    const std::size_t colon = qualified.find(':');
    return colon == std::string_view::npos ? std::string_view{} : qualified.substr(0, colon);
}

constexpr std::string_view LocalPart(std::string_view qualified) noexcept {
    const std::size_t colon = qualified.find(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

// "prefix:local", or local alone for no prefix.
std::string QualifiedName(std::string_view prefix, std::string_view local);
// A name for a new child of `parent` in the parent's own prefix ("Override" or "ct:Override").
std::string NameInPrefixOf(const pugi::xml_node& parent, std::string_view local);

// The element's name without its namespace prefix.
std::string_view LocalName(const pugi::xml_node& node);

}  // namespace paperloom::docx::xml
