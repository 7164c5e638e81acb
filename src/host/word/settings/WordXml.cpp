#include "host/word/settings/WordXml.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include <unicode/unistr.h>

#include "host/AsciiText.h"
#include "host/docx/XmlCodec.h"

namespace paperloom::word::wml {
namespace {

using docx::xml::LocalPart;
using docx::xml::PrefixOf;

// Position of `local` in `order`, or -1 when the schema sequence does not list it.
int RankOf(Sequence order, std::string_view local) {
    if (local.empty()) return -1;
    const auto it = std::find(order.begin(), order.end(), local);
    return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

}  // namespace

Wml::Wml(const pugi::xml_document& document)
    : prefix_(PrefixOf(document.document_element().name())) {}

std::string Wml::Name(std::string_view local) const { return docx::xml::QualifiedName(prefix_, local); }

std::string_view Wml::LocalOf(const pugi::xml_node& node) const {
    if (node.type() != pugi::node_element) return {};
    const std::string_view name = node.name();
    if (PrefixOf(name) != prefix_) return {};
    return LocalPart(name);
}

std::string_view Wml::LocalOf(const pugi::xml_attribute& attribute) const {
    const std::string_view name = attribute.name();
    if (PrefixOf(name) != prefix_) return {};
    return LocalPart(name);
}

pugi::xml_node Wml::Child(const pugi::xml_node& parent, std::string_view local) const {
    if (!parent) return {};
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && LocalOf(child) == local) return child;
    }
    return {};
}

pugi::xml_attribute Wml::Attr(const pugi::xml_node& node, std::string_view local) const {
    if (!node) return {};
    return node.attribute(Name(local).c_str());
}

std::optional<std::string> Wml::Value(const pugi::xml_node& node, std::string_view local) const {
    const pugi::xml_attribute attribute = Attr(node, local);
    if (!attribute) return std::nullopt;
    return std::string(attribute.value());
}

void Wml::SetAttr(pugi::xml_node node, std::string_view local, std::string_view value) const {
    const std::string name = Name(local);
    pugi::xml_attribute attribute = node.attribute(name.c_str());
    if (!attribute) attribute = node.append_attribute(name.c_str());
    attribute.set_value(std::string(value).c_str());
}

void Wml::RemoveAttr(pugi::xml_node node, std::string_view local) const {
    node.remove_attribute(Name(local).c_str());
}

pugi::xml_node Wml::Ensure(pugi::xml_node parent, std::string_view local, Sequence order) const {
    if (pugi::xml_node existing = Child(parent, local)) return existing;
    return InsertOrdered(parent, local, order);
}

void Wml::InsertPoint(const pugi::xml_node& parent, std::string_view local, Sequence order,
                      pugi::xml_node& after, pugi::xml_node& before) const {
    const int rank = RankOf(order, local);
    after = {};
    before = {};
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        const int childRank = RankOf(order, LocalOf(child));
        if (childRank < 0) continue;
        if (rank >= 0 && childRank > rank) {
            before = child;
            break;
        }
        after = child;
    }
}

pugi::xml_node Wml::InsertOrdered(pugi::xml_node parent, std::string_view local,
                                  Sequence order) const {
    pugi::xml_node after;
    pugi::xml_node before;
    InsertPoint(parent, local, order, after, before);
    const std::string name = Name(local);
    if (after) return parent.insert_child_after(name.c_str(), after);
    if (before) return parent.insert_child_before(name.c_str(), before);
    return parent.append_child(name.c_str());
}

pugi::xml_node Wml::InsertCopyOrdered(pugi::xml_node parent, const pugi::xml_node& source,
                                      const Wml& sourceNames, Sequence order) const {
    const pugi::xml_node copy = InsertOrdered(parent, sourceNames.LocalOf(source), order);
    CopyInto(copy, source, sourceNames);
    return copy;
}

void Wml::RemoveAll(pugi::xml_node parent, std::string_view local) const {
    for (pugi::xml_node child = Child(parent, local); child; child = Child(parent, local)) {
        parent.remove_child(child);
    }
}

bool Wml::OnOff(const pugi::xml_node& parent, std::string_view local, bool absent) const {
    const pugi::xml_node element = Child(parent, local);
    if (!element) return absent;
    const auto value = Value(element, "val");
    if (!value) return true;
    return ParseOnOff(*value).value_or(true);
}

void Wml::SetOnOff(pugi::xml_node parent, std::string_view local, bool on, Sequence order) const {
    if (!on) {
        RemoveAll(parent, local);
        return;
    }
    pugi::xml_node element = Ensure(parent, local, order);
    RemoveAttr(element, "val");
}

void Wml::CopyInto(pugi::xml_node target, const pugi::xml_node& source,
                   const Wml& sourceNames) const {
    for (pugi::xml_attribute attribute = source.first_attribute(); attribute;
         attribute = attribute.next_attribute()) {
        const std::string_view name = attribute.name();
        if (PrefixOf(name) == "xml") {
            target.append_attribute(attribute.name()).set_value(attribute.value());
            continue;
        }
        const std::string_view local = sourceNames.LocalOf(attribute);
        if (local.empty()) continue;
        target.append_attribute(Name(local).c_str()).set_value(attribute.value());
    }
    for (pugi::xml_node child = source.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            target.append_child(child.type()).set_value(child.value());
            continue;
        }
        if (child.type() != pugi::node_element) continue;
        const std::string_view local = sourceNames.LocalOf(child);
        if (local.empty()) continue;
        CopyInto(target.append_child(Name(local).c_str()), child, sourceNames);
    }
}

pugi::xml_node Wml::AppendCopy(pugi::xml_node parent, const pugi::xml_node& source,
                               const Wml& sourceNames) const {
    pugi::xml_node copy = parent.append_child(Name(sourceNames.LocalOf(source)).c_str());
    CopyInto(copy, source, sourceNames);
    return copy;
}

pugi::xml_node Wml::InsertCopyAfter(pugi::xml_node parent, const pugi::xml_node& after,
                                    const pugi::xml_node& source, const Wml& sourceNames) const {
    const std::string name = Name(sourceNames.LocalOf(source));
    pugi::xml_node copy = after ? parent.insert_child_after(name.c_str(), after)
                                : parent.prepend_child(name.c_str());
    CopyInto(copy, source, sourceNames);
    return copy;
}

pugi::xml_node Wml::ReplaceWithCopy(pugi::xml_node destination, std::string_view local,
                                    const pugi::xml_node& source, const Wml& sourceNames,
                                    Sequence order) const {
    RemoveAll(destination, local);
    if (!source) return {};
    pugi::xml_node copy = InsertOrdered(destination, local, order);
    CopyInto(copy, source, sourceNames);
    return copy;
}

std::string FoldCase(std::string_view text) {
    icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    unicode.foldCase();
    std::string out;
    unicode.toUTF8String(out);
    return out;
}

std::string NameKey(std::string_view name) {
    const bool ascii = std::all_of(name.begin(), name.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? text::ToLower(name) : FoldCase(name);
}

bool SameName(std::string_view a, std::string_view b) {
    const auto ascii = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    if (ascii(a) && ascii(b)) {
        return text::EqualsNoCase(a, b);
    }
    return FoldCase(a) == FoldCase(b);
}

std::optional<bool> ParseOnOff(std::string_view text) {
    return text::ParseOnOff(text);
}

std::optional<long> ParseLong(std::string_view text) {
    text = text::Trim(text, text::kSpace);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<double> ParseTwips(std::string_view text) {
    text = text::Trim(text, text::kSpace);
    if (text.empty()) return std::nullopt;
    double factor = 1.0;  // twips per unit
    const std::string lower = text::ToLower(text);
    std::string_view number = text;
    struct Unit {
        std::string_view suffix;
        double twips;
    };
    static constexpr Unit kUnits[] = {{"mm", 1440.0 / 25.4}, {"cm", 1440.0 / 2.54},
                                      {"in", 1440.0},        {"pt", 20.0},
                                      {"pc", 240.0},         {"pi", 240.0}};
    for (const Unit& unit : kUnits) {
        if (lower.size() > unit.suffix.size() &&
            std::string_view(lower).substr(lower.size() - unit.suffix.size()) == unit.suffix) {
            factor = unit.twips;
            number = text.substr(0, text.size() - unit.suffix.size());
            break;
        }
    }
    if (!number.empty() && number.front() == '+') number.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc{} || end != number.data() + number.size() || number.empty()) {
        return std::nullopt;
    }
    if (!std::isfinite(value)) return std::nullopt;
    return value * factor;
}

std::string TwipsText(double twips) {
    return std::to_string(std::lround(twips));
}

}  // namespace paperloom::word::wml
