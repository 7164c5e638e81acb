#include "host/word/detail/WordXml.h"

#include "host/AsciiText.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace paperloom::word::xml {

long Utf16Length(std::string_view utf8) {
    // Every walk of a story measures every text node, so eight bytes are counted at a time:
    // one unit per byte that is not a continuation byte (10xxxxxx), one more per lead byte of
    // a four-byte sequence (11110xxx and above), which needs a surrogate pair.
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    const char* p = utf8.data();
    std::size_t left = utf8.size();
    long units = 0;
    while (left >= 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, p, 8);
        if ((chunk & kHigh) == 0) {
            units += 8;
        } else {
            const std::uint64_t continuation = chunk & ~(chunk << 1) & kHigh;
            const std::uint64_t fourByteLead = chunk & (chunk << 1) & (chunk << 2) & (chunk << 3) & kHigh;
            units += 8 - std::popcount(continuation) + std::popcount(fourByteLead);
        }
        p += 8;
        left -= 8;
    }
    for (; left > 0; --left, ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if ((c & 0xC0) == 0x80) continue;
        units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

std::size_t Utf8Offset(std::string_view utf8, long units) {
    std::size_t i = 0;
    while (i < utf8.size() && units > 0) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        units -= c >= 0xF0 ? 2 : 1;
        ++i;
        while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
}

bool Is(pugi::xml_node node, std::string_view name) {
    // Up to the first difference, without measuring the node's name first: asked of every
    // node a copy or an edit passes.
    const char* const own = node.name();
    for (std::size_t i = 0; i < name.size(); ++i)
        if (own[i] != name[i]) return false;
    return own[name.size()] == '\0';
}

int OnOff(pugi::xml_node element) {
    if (!element) return -1;
    const auto val = element.attribute("w:val");
    if (!val) return 1;
    // Text that is not an on/off value reads as on, as an element without a value does.
    return text::ParseOnOff(val.value()).value_or(true) ? 1 : 0;
}

static pugi::xml_node FirstChildProperties(pugi::xml_node parent, const char* name, bool create) {
    auto props = parent.child(name);
    if (!props && create) props = parent.prepend_child(name);
    return props;
}

pugi::xml_node RunProperties(pugi::xml_node run, bool create) {
    return FirstChildProperties(run, "w:rPr", create);
}

pugi::xml_node ParagraphProperties(pugi::xml_node paragraph, bool create) {
    return FirstChildProperties(paragraph, "w:pPr", create);
}

pugi::xml_node MarkProperties(pugi::xml_node paragraph, bool create) {
    auto pPr = ParagraphProperties(paragraph, create);
    if (!pPr) return {};
    auto rPr = pPr.child("w:rPr");
    if (!rPr && create) rPr = InsertOrdered(pPr, "w:rPr", {"w:rPr", "w:sectPr", "w:pPrChange"});
    return rPr;
}

pugi::xml_node InsertOrdered(pugi::xml_node parent, std::string_view name,
                             std::initializer_list<std::string_view> order) {
    // `order` lists `name` and the elements that must follow it.
    const std::string n(name);
    for (auto child : parent.children()) {
        if (std::find(order.begin(), order.end(), std::string_view(child.name())) != order.end())
            return parent.insert_child_before(n.c_str(), child);
    }
    return parent.append_child(n.c_str());
}

void SetVanish(pugi::xml_node rPr, bool hidden) {
    auto vanish = rPr.child("w:vanish");
    if (!hidden) {
        // A style may hide the text; an explicit "off" then wins over it.
        if (rPr.child("w:rStyle")) {
            if (!vanish)
                vanish = InsertOrdered(rPr, "w:vanish",
                                       {"w:webHidden", "w:color", "w:spacing", "w:w", "w:kern",
                                        "w:position", "w:sz", "w:szCs", "w:highlight", "w:u",
                                        "w:effect", "w:bdr", "w:shd", "w:fitText", "w:vertAlign",
                                        "w:rtl", "w:cs", "w:em", "w:lang", "w:eastAsianLayout",
                                        "w:specVanish", "w:oMath", "w:rPrChange"});
            vanish.remove_attributes();
            vanish.append_attribute("w:val") = "0";
        } else if (vanish) {
            rPr.remove_child(vanish);
        }
        return;
    }
    if (!vanish)
        vanish = InsertOrdered(rPr, "w:vanish",
                               {"w:webHidden", "w:color", "w:spacing", "w:w", "w:kern",
                                "w:position", "w:sz", "w:szCs", "w:highlight", "w:u", "w:effect",
                                "w:bdr", "w:shd", "w:fitText", "w:vertAlign", "w:rtl", "w:cs",
                                "w:em", "w:lang", "w:eastAsianLayout", "w:specVanish", "w:oMath",
                                "w:rPrChange"});
    vanish.remove_attributes();
}

void SetText(pugi::xml_node element, std::string_view text) {
    if (!text.empty()) {
        element.text().set(std::string(text).c_str());
        return;
    }
    for (auto child = element.first_child(); child;) {
        const auto next = child.next_sibling();
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) element.remove_child(child);
        child = next;
    }
}

pugi::xml_node AppendText(pugi::xml_node run, std::string_view text) {
    auto t = run.append_child("w:t");
    t.append_attribute("xml:space") = "preserve";
    SetText(t, text);
    return t;
}

bool IsPropertyElement(pugi::xml_node node) {
    const std::string_view n = node.name();
    return n.size() > 2 && n.substr(n.size() - 2) == "Pr" && n.starts_with("w:");
}

bool IsPlainRunText(std::string_view text) {
    return text.find_first_of("\r\n\t\v\f\x0e\a") == std::string_view::npos;
}

namespace {

bool StartsWithText(pugi::xml_node run) {
    if (!Is(run, "w:r")) return false;
    auto child = run.first_child();
    if (Is(child, "w:rPr")) child = child.next_sibling();
    return Is(child, "w:t") && *child.child_value() != '\0';
}

}  // namespace

bool TextReplaceableInPlace(pugi::xml_node t, std::string_view text) {
    if (text.empty() || !IsPlainRunText(text)) return false;
    const auto run = t.parent();
    const auto paragraph = run.parent();
    if (!Is(t, "w:t") || !Is(run, "w:r") || run.first_attribute() || !Is(paragraph, "w:p")) return false;
    // The paragraph: its properties, if any, the run, and the paragraph's end or a run of text.
    auto first = paragraph.first_child();
    const auto pPr = Is(first, "w:pPr") ? first : pugi::xml_node{};
    if (pPr) first = first.next_sibling();
    const auto next = run.next_sibling();
    if (first != run || (next && !StartsWithText(next))) return false;
    // The run: its properties, if any, and the text. New text takes the run's look, or else
    // the look of what follows it (the next run, the paragraph mark); the insert leaves out
    // revision marks.
    auto inner = run.first_child();
    if (Is(inner, "w:rPr")) {
        for (const char* revision : {"w:ins", "w:del", "w:moveFrom", "w:moveTo", "w:rPrChange"})
            if (inner.child(revision)) return false;
        inner = inner.next_sibling();
    } else if (next ? next.child("w:rPr") : pPr.child("w:rPr")) {
        return false;
    }
    if (inner != t || t.next_sibling()) return false;
    const auto space = t.first_attribute();
    if (!space || std::string_view(space.name()) != "xml:space" || std::string_view(space.value()) != "preserve" ||
        space.next_attribute())
        return false;
    const auto value = t.first_child();
    return value && value.type() == pugi::node_pcdata && !value.next_sibling();
}

}  // namespace paperloom::word::xml
