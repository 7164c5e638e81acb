#include "host/word/settings/Styles.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "host/DebugLog.h"
#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/SettingsError.h"
#include "host/word/settings/SettingsParts.h"
#include "host/word/settings/WordXml.h"

namespace paperloom::word {

using namespace settings_errors;

namespace {

using namespace std::string_view_literals;

constexpr std::array kTypeNames = {"paragraph"sv, "character"sv, "table"sv, "numbering"sv};

// Elements whose w:val names a style by id, wherever they stand in a WordprocessingML part.
constexpr std::array kStyleReferences = {"pStyle"sv,      "rStyle"sv,        "tblStyle"sv,
                                         "basedOn"sv,     "next"sv,          "link"sv,
                                         "numStyleLink"sv, "styleLink"sv,    "clickAndTypeStyle"sv,
                                         "defaultTableStyle"sv};

std::string IdOf(const wml::Wml& w, const pugi::xml_node& style) {
    return w.Value(style, "styleId").value_or("");
}

std::string NameOf(const wml::Wml& w, const pugi::xml_node& style) {
    if (auto name = w.Value(w.Child(style, "name"), "val")) return *name;
    return IdOf(w, style);
}

std::vector<pugi::xml_node> StyleNodes(const parts::PartRoot& styles) {
    std::vector<pugi::xml_node> nodes;
    for (pugi::xml_node child = styles.root.first_child(); child; child = child.next_sibling()) {
        if (styles.names.LocalOf(child) == "style") nodes.push_back(child);
    }
    return nodes;
}

pugi::xml_node FindById(const parts::PartRoot& styles, std::string_view id) {
    for (const pugi::xml_node& style : StyleNodes(styles)) {
        if (IdOf(styles.names, style) == id) return style;
    }
    return {};
}

pugi::xml_node FindByName(const parts::PartRoot& styles, std::string_view name) {
    for (const pugi::xml_node& style : StyleNodes(styles)) {
        if (wml::SameName(NameOf(styles.names, style), name)) return style;
    }
    return {};
}

pugi::xml_node FindByNameOrId(const parts::PartRoot& styles, std::string_view name) {
    if (pugi::xml_node style = FindByName(styles, name)) return style;
    return FindById(styles, name);
}

std::string_view TypeNameOf(const wml::Wml& w, const pugi::xml_node& style) {
    const auto type = w.Value(style, "type");
    for (const std::string_view name : kTypeNames) {
        if (type && *type == name) return name;
    }
    return "paragraph";  // the schema's default
}

bool IsDefault(const wml::Wml& w, const pugi::xml_node& style) {
    const auto value = w.Value(style, "default");
    return value && wml::ParseOnOff(*value).value_or(false);
}

pugi::xml_node DefaultOfType(const parts::PartRoot& styles, std::string_view typeName) {
    for (const pugi::xml_node& style : StyleNodes(styles)) {
        if (TypeNameOf(styles.names, style) == typeName && IsDefault(styles.names, style)) {
            return style;
        }
    }
    return {};
}

// An id not used by any style: the wanted one, else with 0, 1, 2 ... appended.
std::string UniqueId(const parts::PartRoot& styles, const std::string& wanted) {
    if (!FindById(styles, wanted)) return wanted;
    for (int n = 0;; ++n) {
        std::string candidate = wanted + std::to_string(n);
        if (!FindById(styles, candidate)) return candidate;
    }
}

// The id the word processor derives from a name: its ASCII letters and digits; names
// without any (Japanese names) get "a" and a number.
std::string IdFromName(std::string_view name) {
    std::string id;
    for (const char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)) && static_cast<unsigned char>(c) < 0x80) {
            id += c;
        }
    }
    return id.empty() ? std::string("a") : id;
}

bool IsWordprocessingPart(const docx::Package& package, const std::string& name) {
    const std::string type = package.ContentType(name);
    return type.find("wordprocessingml") != std::string::npos && type.ends_with("+xml");
}

// Renames every reference to a style id in the destination's WordprocessingML parts. All
// parts are read before any is changed, so a part that cannot be read changes nothing.
void RenameStyleReferences(docx::Package& package, const std::string& from, const std::string& to) {
    std::vector<std::pair<pugi::xml_node, wml::Wml>> references;
    for (const std::string& name : package.PartNames()) {
        if (!IsWordprocessingPart(package, name)) continue;
        pugi::xml_document& document = package.Xml(name);
        const wml::Wml w(document);
        std::vector<pugi::xml_node> stack{document.document_element()};
        while (!stack.empty()) {
            const pugi::xml_node node = stack.back();
            stack.pop_back();
            const std::string_view local = w.LocalOf(node);
            if (std::find(kStyleReferences.begin(), kStyleReferences.end(), local) !=
                    kStyleReferences.end() &&
                w.Value(node, "val") == from) {
                references.emplace_back(node, w);
            }
            for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
                if (child.type() == pugi::node_element) stack.push_back(child);
            }
        }
    }
    for (auto& [node, w] : references) w.SetAttr(node, "val", to);
}

long MaxIdOf(const parts::PartRoot& numbering, std::string_view element, std::string_view attribute) {
    long maximum = -1;
    for (pugi::xml_node child = numbering.root.first_child(); child; child = child.next_sibling()) {
        if (numbering.names.LocalOf(child) != element) continue;
        const auto value = numbering.names.Value(child, attribute);
        if (value) maximum = std::max(maximum, wml::ParseLong(*value).value_or(-1));
    }
    return maximum;
}

pugi::xml_node FindNumberingChild(const parts::PartRoot& numbering, std::string_view element,
                                  std::string_view attribute, std::string_view id) {
    for (pugi::xml_node child = numbering.root.first_child(); child; child = child.next_sibling()) {
        if (numbering.names.LocalOf(child) == element && numbering.names.Value(child, attribute) == id) {
            return child;
        }
    }
    return {};
}

}  // namespace

// ---- Style ---------------------------------------------------------------------------------

Style::Style(docx::Package& package, std::string styleId)
    : package_(&package), styleId_(std::move(styleId)) {}

namespace {

struct Located {
    parts::PartRoot styles;
    pugi::xml_node style;
};

Located Locate(docx::Package& package, const std::string& id) {
    Located located{parts::Open(package, parts::Styles()), {}};
    located.style = FindById(located.styles, id);
    if (!located.style) throw ObjectDeleted();
    return located;
}

std::string RelatedName(docx::Package& package, const std::string& id, std::string_view local) {
    const Located located = Locate(package, id);
    const auto related = located.styles.names.Value(located.styles.names.Child(located.style, local), "val");
    if (!related) return {};
    const pugi::xml_node target = FindById(located.styles, *related);
    return target ? NameOf(located.styles.names, target) : std::string{};
}

}  // namespace

std::string Style::NameLocal() const {
    const Located located = Locate(*package_, styleId_);
    return NameOf(located.styles.names, located.style);
}

WdStyleType Style::Type() const {
    const Located located = Locate(*package_, styleId_);
    const std::string_view type = TypeNameOf(located.styles.names, located.style);
    for (std::size_t i = 0; i < kTypeNames.size(); ++i) {
        if (kTypeNames[i] == type) return static_cast<WdStyleType>(i + 1);
    }
    return wdStyleTypeParagraph;
}

bool Style::InUse() const {
    Locate(*package_, styleId_);
    return true;  // defined in the styles part (see the header)
}

bool Style::BuiltIn() const {
    const Located located = Locate(*package_, styleId_);
    const auto custom = located.styles.names.Value(located.style, "customStyle");
    return !(custom && wml::ParseOnOff(*custom).value_or(false));
}

std::string Style::BaseStyle() const { return RelatedName(*package_, styleId_, "basedOn"); }
std::string Style::NextParagraphStyle() const { return RelatedName(*package_, styleId_, "next"); }
std::string Style::LinkStyle() const { return RelatedName(*package_, styleId_, "link"); }

// ---- Styles --------------------------------------------------------------------------------

long Styles::Count() const {
    return static_cast<long>(StyleNodes(parts::Open(*package_, parts::Styles())).size());
}

Style Styles::Item(long index) const {
    const parts::PartRoot styles = parts::Open(*package_, parts::Styles());
    const std::vector<pugi::xml_node> nodes = StyleNodes(styles);
    if (index < 1 || index > static_cast<long>(nodes.size())) throw NoSuchMember();
    return Style(*package_, IdOf(styles.names, nodes[static_cast<std::size_t>(index - 1)]));
}

Style Styles::Item(std::string_view name) const {
    const parts::PartRoot styles = parts::Open(*package_, parts::Styles());
    const pugi::xml_node style = FindByNameOrId(styles, name);
    if (!style) throw NoSuchMember();
    return Style(*package_, IdOf(styles.names, style));
}

bool Styles::Exists(std::string_view name) const {
    return static_cast<bool>(FindByNameOrId(parts::Open(*package_, parts::Styles()), name));
}

Style Styles::Add(std::string_view name, WdStyleType type) {
    if (name.empty() || type < wdStyleTypeParagraph || type > wdStyleTypeList) {
        throw ValueOutOfRange();
    }
    if (Exists(name)) {
        throw WordError(errnum::commandFailed,
                            "This style name already exists or is reserved for a built-in style.");
    }
    const parts::PartRoot styles = parts::OpenOrCreate(*package_, parts::Styles());
    const wml::Wml& w = styles.names;
    const std::string_view typeName = kTypeNames[static_cast<std::size_t>(type - 1)];
    const std::string id = UniqueId(styles, IdFromName(name));
    const pugi::xml_node base = DefaultOfType(styles, typeName);

    pugi::xml_node style = w.InsertOrdered(styles.root, "style", wml::order::Styles());
    w.SetAttr(style, "type", typeName);
    w.SetAttr(style, "customStyle", "1");
    w.SetAttr(style, "styleId", id);
    w.SetAttr(style.append_child(w.Name("name").c_str()), "val", name);
    if (base && type != wdStyleTypeList) {
        w.SetAttr(style.append_child(w.Name("basedOn").c_str()), "val", IdOf(w, base));
    }
    if (type == wdStyleTypeParagraph) style.append_child(w.Name("qFormat").c_str());
    return Style(*package_, id);
}

std::vector<Style> Styles::All() const {
    const parts::PartRoot styles = parts::Open(*package_, parts::Styles());
    std::vector<Style> all;
    for (const pugi::xml_node& style : StyleNodes(styles)) {
        all.emplace_back(*package_, IdOf(styles.names, style));
    }
    return all;
}

// ---- StyleOrganizer ------------------------------------------------------------------------

StyleOrganizer::StyleOrganizer(docx::Package& source, docx::Package& destination)
    : source_(&source), destination_(&destination) {}

void StyleOrganizer::BuildIndexes() {
    const auto build = [](Index& index, const parts::PartRoot& styles) {
        index = {};
        for (const pugi::xml_node& style : StyleNodes(styles)) {
            index.byId.emplace(IdOf(styles.names, style), style);
            index.byName.emplace(wml::NameKey(NameOf(styles.names, style)), style);
        }
    };
    build(sourceIndex_, parts::Open(*source_, parts::Styles()));
    build(destinationIndex_, parts::Open(*destination_, parts::Styles()));
}

void StyleOrganizer::Copy(std::string_view styleName) {
    const parts::PartRoot from = parts::Open(*source_, parts::Styles());
    const pugi::xml_node style = FindByNameOrId(from, styleName);
    if (!style) throw NoSuchMember();
    if (source_ == destination_) return;
    BuildIndexes();
    CopyStyle(IdOf(from.names, style), true);
}

long StyleOrganizer::CopyAll() {
    if (source_ == destination_) return 0;
    BuildIndexes();
    std::vector<std::string> ids;
    const parts::PartRoot from = parts::Open(*source_, parts::Styles());
    for (const pugi::xml_node& style : StyleNodes(from)) ids.push_back(IdOf(from.names, style));
    long copied = 0;
    for (const std::string& id : ids) {
        try {
            if (!CopyStyle(id, true).empty()) ++copied;
        } catch (const std::exception&) {
            debuglog::Swallowed("Styles.cpp: StyleOrganizer::CopyAll");
            // Skipped; the other styles are still copied.
        }
    }
    return copied;
}

std::string StyleOrganizer::CopyStyle(const std::string& sourceId, bool replace) {
    if (!replace) {
        if (const auto known = styleIds_.find(sourceId); known != styleIds_.end()) return known->second;
    }
    const auto found = sourceIndex_.byId.find(sourceId);
    if (found == sourceIndex_.byId.end()) return {};
    const pugi::xml_node sourceStyle = found->second;
    const parts::PartRoot from = parts::Open(*source_, parts::Styles());
    const bool created = !parts::Find(*destination_, parts::Styles());
    const parts::PartRoot to = parts::OpenOrCreate(*destination_, parts::Styles());
    if (created) destinationIndex_ = {};
    const wml::Wml& w = to.names;

    const std::string nameKey = wml::NameKey(NameOf(from.names, sourceStyle));
    const auto named = destinationIndex_.byName.find(nameKey);
    const pugi::xml_node existing = named == destinationIndex_.byName.end() ? pugi::xml_node{} : named->second;
    if (existing && !replace) {
        return styleIds_[sourceId] = IdOf(w, existing);
    }
    const auto idTaken = [&](const std::string& id) { return destinationIndex_.byId.count(id) > 0; };
    std::string destinationId;
    if (existing) {
        destinationId = IdOf(w, existing);
        // Taking the source's id keeps content copied from the source pointing at this style.
        if (destinationId != sourceId && !idTaken(sourceId)) {
            try {
                RenameStyleReferences(*destination_, destinationId, sourceId);
                destinationIndex_.byId.erase(destinationId);
                destinationId = sourceId;
            } catch (const docx::PackageError&) {
                // A part that is not readable XML: keep the destination's id.
            }
        }
    } else {
        destinationId = sourceId;
        for (int n = 0; idTaken(destinationId); ++n) destinationId = sourceId + std::to_string(n);
    }
    styleIds_[sourceId] = destinationId;

    pugi::xml_node copy =
        existing ? w.InsertCopyAfter(to.root, existing, sourceStyle, from.names)
                 : w.InsertCopyOrdered(to.root, sourceStyle, from.names, wml::order::Styles());
    if (existing) {
        destinationIndex_.byId.erase(IdOf(w, existing));
        copy.parent().remove_child(existing);
    }
    w.SetAttr(copy, "styleId", destinationId);
    destinationIndex_.byId[destinationId] = copy;
    destinationIndex_.byName[nameKey] = copy;

    for (const std::string_view local : {"basedOn"sv, "next"sv, "link"sv}) {
        pugi::xml_node reference = w.Child(copy, local);
        if (!reference) continue;
        const std::string target = w.Value(reference, "val").value_or("");
        const std::string mapped = target == sourceId ? destinationId : CopyStyle(target, false);
        if (mapped.empty()) {
            copy.remove_child(reference);  // the source's own reference dangles
        } else {
            w.SetAttr(reference, "val", mapped);
        }
    }

    // Lists the style's paragraphs are numbered with.
    std::vector<pugi::xml_node> numIds;
    std::vector<pugi::xml_node> stack{copy};
    while (!stack.empty()) {
        const pugi::xml_node node = stack.back();
        stack.pop_back();
        if (w.LocalOf(node) == "numId" && w.LocalOf(node.parent()) == "numPr") numIds.push_back(node);
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (child.type() == pugi::node_element) stack.push_back(child);
        }
    }
    for (pugi::xml_node numId : numIds) {
        const std::string value = w.Value(numId, "val").value_or("0");
        if (value != "0") w.SetAttr(numId, "val", CopyNumbering(value));
    }

    // One default style per type.
    if (IsDefault(w, copy)) {
        for (const pugi::xml_node& other : StyleNodes(to)) {
            if (other != copy && IsDefault(w, other) && TypeNameOf(w, other) == TypeNameOf(w, copy)) {
                w.RemoveAttr(copy, "default");
                break;
            }
        }
    }
    return destinationId;
}

std::string StyleOrganizer::CopyNumbering(const std::string& sourceNumId) {
    if (const auto known = numIds_.find(sourceNumId); known != numIds_.end()) return known->second;
    const parts::PartRoot from = parts::Open(*source_, parts::Numbering());
    const pugi::xml_node num = FindNumberingChild(from, "num", "numId", sourceNumId);
    if (!num) return "0";
    const std::string abstractId =
        CopyAbstractNumbering(from.names.Value(from.names.Child(num, "abstractNumId"), "val").value_or(""));
    if (abstractId.empty()) return "0";

    const parts::PartRoot to = parts::OpenOrCreate(*destination_, parts::Numbering());
    const std::string numId = std::to_string(std::max(MaxIdOf(to, "num", "numId"), 0L) + 1);
    pugi::xml_node copy = to.names.InsertCopyOrdered(to.root, num, from.names, wml::order::Numbering());
    to.names.SetAttr(copy, "numId", numId);
    pugi::xml_node abstractRef = to.names.Child(copy, "abstractNumId");
    if (!abstractRef) abstractRef = copy.prepend_child(to.names.Name("abstractNumId").c_str());
    to.names.SetAttr(abstractRef, "val", abstractId);
    return numIds_[sourceNumId] = numId;
}

std::string StyleOrganizer::CopyAbstractNumbering(const std::string& sourceAbstractId) {
    if (const auto known = abstractIds_.find(sourceAbstractId); known != abstractIds_.end()) {
        return known->second;
    }
    const parts::PartRoot from = parts::Open(*source_, parts::Numbering());
    const pugi::xml_node abstractNum =
        FindNumberingChild(from, "abstractNum", "abstractNumId", sourceAbstractId);
    if (!abstractNum) return {};

    const parts::PartRoot to = parts::OpenOrCreate(*destination_, parts::Numbering());
    const wml::Wml& w = to.names;
    const std::string abstractId = std::to_string(MaxIdOf(to, "abstractNum", "abstractNumId") + 1);
    abstractIds_[sourceAbstractId] = abstractId;
    pugi::xml_node copy = w.InsertCopyOrdered(to.root, abstractNum, from.names, wml::order::Numbering());
    w.SetAttr(copy, "abstractNumId", abstractId);
    // Links to list styles and picture bullets would point at definitions not copied.
    w.RemoveAll(copy, "numStyleLink");
    w.RemoveAll(copy, "styleLink");
    for (pugi::xml_node level = copy.first_child(); level; level = level.next_sibling()) {
        if (w.LocalOf(level) != "lvl") continue;
        w.RemoveAll(level, "lvlPicBulletId");
        if (pugi::xml_node pStyle = w.Child(level, "pStyle")) {
            const std::string mapped = CopyStyle(w.Value(pStyle, "val").value_or(""), false);
            if (mapped.empty()) {
                level.remove_child(pStyle);
            } else {
                w.SetAttr(pStyle, "val", mapped);
            }
        }
    }
    return abstractId;
}

void OrganizerCopy(docx::Package& source, docx::Package& destination, std::string_view styleName) {
    StyleOrganizer(source, destination).Copy(styleName);
}

}  // namespace paperloom::word
