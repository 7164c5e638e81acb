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


}  // namespace

void Xml10Writer::write(const void* data, std::size_t size) {
    const char* text = static_cast<const char*>(data);
    for (std::size_t i = 0; i < size; ++i) Put(text[i]);
}

void Xml10Writer::Finish() {
    out_ += held_;
    held_.clear();
}

void Xml10Writer::Put(char c) {
    if (!held_.empty()) {
        if (held_.size() == 1) {
            if (c == '#') {
                held_ += c;
                return;
            }
        } else if (c >= '0' && c <= '9' && held_.size() < kLongestHeld) {
            held_ += c;
            return;
        } else if (c == ';' && held_.size() > 2) {
            if (!IsXml10Control(ReferencedValue())) out_.append(held_).push_back(';');
            held_.clear();
            return;
        }
        Finish();
    }
    if (c == '\r') {
        out_ += "&#13;";
    } else if (c == '&') {
        held_ = c;
    } else if (!IsXml10Control(static_cast<unsigned char>(c))) {
        out_ += c;
    }
}

unsigned Xml10Writer::ReferencedValue() const {
    unsigned value = 0;
    for (std::size_t i = 2; i < held_.size(); ++i) value = value * 10 + static_cast<unsigned>(held_[i] - '0');
    return value;
}

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
    Xml10Writer elementWriter(out);
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element) {
            node.print(writer, "", flags, pugi::encoding_utf8);
            continue;
        }
        node.print(elementWriter, "", flags, pugi::encoding_utf8);
        elementWriter.Finish();
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
