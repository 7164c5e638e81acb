#include "host/docx/XmlCodec.h"

#include <algorithm>

#include <fmt/format.h>

#include "host/docx/Package.h"

namespace paperloom::docx::xml {
namespace {

class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, std::size_t size) override {
        out_.append(static_cast<const char*>(data), size);
    }

private:
    std::string& out_;
};

bool StartsWithBom(std::string_view bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
           bytes.starts_with("\xFE\xFF");
}

bool IsXml10Control(unsigned value) { return value < 0x20 && value != '\t' && value != '\n' && value != '\r'; }

// Fixes what the XML writer produces but XML 1.0 readers would not read back. A carriage
// return in text came from "&#13;" (line ends were normalised on parsing) and is written
// raw, which reads back as a line feed: it goes back to a reference. Other control
// characters are written as references such as "&#27;", which XML 1.0 forbids, and one of
// them makes the office suite refuse the whole document: they are dropped. A "&#" in the
// output always comes from the writer, since a literal ampersand is written as "&amp;";
// bytes below 0x20 never occur inside a UTF-8 multi-byte sequence.
std::string EscapeForXml10(std::string out) {
    if (out.find('\r') == std::string::npos && out.find("&#") == std::string::npos) return out;
    std::string fixed;
    fixed.reserve(out.size() + 64);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char c = out[i];
        if (c == '\r') {
            fixed += "&#13;";
            continue;
        }
        if (IsXml10Control(static_cast<unsigned char>(c))) continue;
        if (c == '&' && i + 2 < out.size() && out[i + 1] == '#') {
            std::size_t end = i + 2;
            unsigned value = 0;
            while (end < out.size() && end < i + 8 && out[end] >= '0' && out[end] <= '9') {
                value = value * 10 + static_cast<unsigned>(out[end] - '0');
                ++end;
            }
            if (end > i + 2 && end < out.size() && out[end] == ';' && IsXml10Control(value)) {
                i = end;
                continue;
            }
        }
        fixed += c;
    }
    return fixed;
}

}  // namespace

Parsed Parse(std::string_view bytes, std::string_view partName) {
    Parsed parsed;
    parsed.document = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        parsed.document->load_buffer(bytes.data(), bytes.size(), kParseFlags, pugi::encoding_auto);
    if (!result) {
        throw PackageError(fmt::format("The part \"{}\" is not well-formed XML: {} at offset {}.", partName,
                                       result.description(), result.offset));
    }
    if (!parsed.document->document_element()) {
        throw PackageError(fmt::format("The part \"{}\" holds no XML element.", partName));
    }
    parsed.encoding.encoding = result.encoding;
    parsed.encoding.byteOrderMark = StartsWithBom(bytes);
    return parsed;
}

std::string Serialize(const pugi::xml_document& document, const Encoding& encoding) {
    std::string out;
    StringWriter writer(out);
    unsigned int flags = pugi::format_raw | pugi::format_no_declaration;
    if (encoding.encoding != pugi::encoding_utf8) {
        if (encoding.byteOrderMark) flags |= pugi::format_write_bom;
        document.save(writer, "", flags, encoding.encoding);
        return out;
    }
    if (encoding.byteOrderMark) out = "\xEF\xBB\xBF";
    // The prologue (declaration, doctype) is written as it is: a doctype keeps its raw line ends.
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element) {
            node.print(writer, "", flags, pugi::encoding_utf8);
            continue;
        }
        std::string element;
        StringWriter elementWriter(element);
        node.print(elementWriter, "", flags, pugi::encoding_utf8);
        out += EscapeForXml10(std::move(element));
    }
    return out;
}

std::unique_ptr<pugi::xml_document> NewDocument() {
    auto document = std::make_unique<pugi::xml_document>();
    pugi::xml_node decl = document->append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    decl.append_attribute("standalone") = "yes";
    return document;
}

std::string_view LocalName(const pugi::xml_node& node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace paperloom::docx::xml
