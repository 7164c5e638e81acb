#include "host/docx/XmlCodec.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

#include <fmt/format.h>

#include "host/docx/Package.h"

namespace paperloom::docx::xml {
namespace {

bool StartsWithBom(std::string_view bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
           bytes.starts_with("\xFE\xFF");
}

bool IsXml10Control(unsigned value) { return value < 0x20 && value != '\t' && value != '\n' && value != '\r'; }

// A character XML 1.0 cannot hold, raw or referenced.
bool IsForbiddenCharacter(char32_t value) {
    return IsXml10Control(value) || (value >= 0xD800 && value <= 0xDFFF) || value == 0xFFFE || value == 0xFFFF ||
           value > 0x10FFFF;
}

constexpr char32_t kReplacement = 0xFFFD;

// The bytes a sequence starting with `lead` has in all, and the value bits of the lead; 0 for
// a byte that cannot start one (a continuation byte, an overlong or out-of-range lead).
std::pair<unsigned, char32_t> SequenceStart(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return {2, lead & 0x1Fu};
    if (lead >= 0xE0 && lead <= 0xEF) return {3, lead & 0x0Fu};
    if (lead >= 0xF0 && lead <= 0xF4) return {4, lead & 0x07u};
    return {0, 0};
}

// Whether `byte` may follow `lead` as the second byte: this rules out overlong forms,
// surrogates and values past U+10FFFF. Later bytes are any continuation byte.
bool ValidSecond(unsigned char lead, unsigned char byte) {
    switch (lead) {
    case 0xE0: return byte >= 0xA0 && byte <= 0xBF;
    case 0xED: return byte >= 0x80 && byte <= 0x9F;
    case 0xF0: return byte >= 0x90 && byte <= 0xBF;
    case 0xF4: return byte >= 0x80 && byte <= 0x8F;
    default: return byte >= 0x80 && byte <= 0xBF;
    }
}

// `value` is a character XML 1.0 may hold: the writer filters first, and a surrogate or a value
// past U+10FFFF would come out as bytes no reader takes.
void AppendUtf8(std::string& out, char32_t value) {
    assert(!IsForbiddenCharacter(value));
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

// The value of the numeric reference at `at` ("&#65;" or "&#x41;"), if it is one.
std::optional<char32_t> ReferenceAt(std::string_view bytes, std::size_t at) {
    std::size_t i = at + 2;
    const bool hex = i < bytes.size() && (bytes[i] == 'x' || bytes[i] == 'X');
    if (hex) ++i;
    std::uint64_t value = 0;
    const std::size_t digitsFrom = i;
    for (; i < bytes.size() && bytes[i] != ';'; ++i) {
        const char c = bytes[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return std::nullopt;
        value = std::min<std::uint64_t>(value * (hex ? 16 : 10) + digit, 0x110000);
    }
    if (i == digitsFrom || i == bytes.size()) return std::nullopt;
    return static_cast<char32_t>(value);
}

// Printable ASCII other than the ampersand: the writer passes it on as it is.
constexpr bool IsPlain(unsigned char byte) { return byte >= 0x20 && byte < 0x80 && byte != '&'; }

// IsPlain for the eight bytes at `p` at once, with the usual tests for a byte below a value and
// a zero byte (exact once bytes with the top bit set are ruled out): the scan for plain text is
// most of what saving a large document costs after the tree's own printing.
bool IsPlainWord(const unsigned char* p) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kTops = 0x8080808080808080u;
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    const std::uint64_t belowSpace = (word - kOnes * 0x20) & ~word;
    const std::uint64_t ampersands = word ^ (kOnes * '&');
    const std::uint64_t isAmpersand = (ampersands - kOnes) & ~ampersands;
    return ((word | belowSpace | isAmpersand) & kTops) == 0;
}

// Counts element depth on a walk the library makes without recursion.
class DepthCheck : public pugi::xml_tree_walker {
public:
    bool for_each(pugi::xml_node& node) override {
        tooDeep = node.type() == pugi::node_element && static_cast<std::size_t>(depth()) >= kMaxElementDepth;
        return !tooDeep;
    }
    bool tooDeep = false;
};

}  // namespace

void Xml10Writer::write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t i = 0;
    while (i < size) {
        // Stretches of plain printable ASCII, nothing held back, go out as they are: saving a
        // print document writes megabytes of them.
        if (sequenceLength_ == 0 && held_.empty()) {
            std::size_t plain = i;
            while (plain + 8 <= size && IsPlainWord(bytes + plain)) plain += 8;
            while (plain < size && IsPlain(bytes[plain])) ++plain;
            if (plain > i) {
                out_.append(reinterpret_cast<const char*>(bytes + i), plain - i);
                i = plain;
                continue;
            }
        }
        PutByte(bytes[i++]);
    }
}

void Xml10Writer::Finish() {
    if (sequenceLength_ != 0) {
        sequenceLength_ = 0;
        PutCodePoint(kReplacement);
    }
    FlushReference();
}

void Xml10Writer::FlushReference() {
    out_ += held_;
    held_.clear();
}

void Xml10Writer::PutByte(unsigned char byte) {
    if (sequenceLength_ != 0) {
        const bool fits = sequenceSeen_ == 1 ? ValidSecond(static_cast<unsigned char>(sequenceLead_), byte)
                                             : (byte >= 0x80 && byte <= 0xBF);
        if (fits) {
            sequenceValue_ = (sequenceValue_ << 6) | (byte & 0x3Fu);
            if (++sequenceSeen_ == sequenceLength_) {
                sequenceLength_ = 0;
                PutCodePoint(sequenceValue_);
            }
            return;
        }
        // The sequence broke off: it stands for one replacement, and this byte starts afresh.
        sequenceLength_ = 0;
        PutCodePoint(kReplacement);
    }
    if (byte < 0x80) {
        Put(static_cast<char>(byte));
        return;
    }
    const auto [length, bits] = SequenceStart(byte);
    if (length == 0) {
        PutCodePoint(kReplacement);
        return;
    }
    sequenceLength_ = length;
    sequenceSeen_ = 1;
    sequenceLead_ = byte;
    sequenceValue_ = bits;
}

void Xml10Writer::PutCodePoint(char32_t value) {
    FlushReference();
    AppendUtf8(out_, IsForbiddenCharacter(value) ? kReplacement : value);
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
        FlushReference();
    }
    if (c == '\r' && escapeCarriageReturns_) {
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

bool IsXml10Safe(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            if (IsXml10Control(byte)) return false;
            if (byte == '&' && i + 1 < bytes.size() && bytes[i + 1] == '#') {
                if (const auto value = ReferenceAt(bytes, i); value && IsForbiddenCharacter(*value)) return false;
            }
            ++i;
            continue;
        }
        const auto [length, bits] = SequenceStart(byte);
        if (length == 0 || i + length > bytes.size()) return false;
        char32_t value = bits;
        for (unsigned k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if (!(k == 1 ? ValidSecond(byte, next) : next >= 0x80 && next <= 0xBF)) return false;
            value = (value << 6) | (next & 0x3Fu);
        }
        if (IsForbiddenCharacter(value)) return false;
        i += length;
    }
    return true;
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
    DepthCheck depth;
    parsed.document->traverse(depth);
    if (depth.tooDeep) {
        throw PackageError(fmt::format("The part \"{}\" nests its elements more than {} levels deep; it is not "
                                       "accepted.",
                                       partName, kMaxElementDepth));
    }
    parsed.encoding.encoding = result.encoding;
    parsed.encoding.byteOrderMark = StartsWithBom(bytes);
    return parsed;
}

std::string Serialize(const pugi::xml_document& document, const Encoding& encoding) {
    std::string out;
    constexpr unsigned int flags = pugi::format_raw | pugi::format_no_declaration;
    // A part stored in another encoding is written as UTF-8, which every reader takes, so its
    // text goes through the same filter; its declaration says so.
    const bool utf8 = encoding.encoding == pugi::encoding_utf8;
    if (utf8 && encoding.byteOrderMark) out = "\xEF\xBB\xBF";
    // The prologue (declaration, doctype) keeps its raw line ends.
    Xml10Writer prologueWriter(out, false);
    Xml10Writer elementWriter(out);
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_declaration) {
            // Only the first node may be a declaration: a second one makes the part unreadable.
            if (node != document.first_child()) continue;
            if (!utf8) {
                pugi::xml_document copy;
                pugi::xml_node declaration = copy.append_copy(node);
                if (auto name = declaration.attribute("encoding")) name.set_value("UTF-8");
                declaration.print(prologueWriter, "", flags, pugi::encoding_utf8);
                prologueWriter.Finish();
                continue;
            }
        }
        Xml10Writer& writer = node.type() == pugi::node_element ? elementWriter : prologueWriter;
        node.print(writer, "", flags, pugi::encoding_utf8);
        writer.Finish();
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

std::string QualifiedName(std::string_view prefix, std::string_view local) {
    std::string name;
    name.reserve(prefix.size() + 1 + local.size());
    if (!prefix.empty()) name.append(prefix).push_back(':');
    return name.append(local);
}

std::string NameInPrefixOf(const pugi::xml_node& parent, std::string_view local) {
    return QualifiedName(PrefixOf(parent.name()), local);
}

std::string_view LocalName(const pugi::xml_node& node) { return LocalPart(node.name()); }

}  // namespace paperloom::docx::xml
