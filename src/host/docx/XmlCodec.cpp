#include "host/docx/XmlCodec.h"

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
    if (encoding.byteOrderMark) flags |= pugi::format_write_bom;
    document.save(writer, "", flags, encoding.encoding);
    // A carriage return in text came from "&#13;" (line ends in the source were normalised
    // on parsing); written raw it would read back as a line feed, so it goes back to a
    // character reference.
    if (encoding.encoding == pugi::encoding_utf8 && out.find('\r') != std::string::npos) {
        std::string escaped;
        escaped.reserve(out.size() + 64);
        for (const char c : out) {
            if (c == '\r') {
                escaped += "&#13;";
            } else {
                escaped += c;
            }
        }
        out = std::move(escaped);
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
