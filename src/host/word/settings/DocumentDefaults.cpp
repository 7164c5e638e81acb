#include "host/word/settings/DocumentDefaults.h"

#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/SettingsParts.h"
#include "host/word/settings/WordXml.h"

namespace paperloom::word {
namespace {

constexpr double kSchemaDefaultFontSize = 10.0;

// Half-points of w:sz in run properties, if present and sensible.
std::optional<double> SizeOf(const wml::Wml& w, const pugi::xml_node& rPr) {
    const auto text = w.Value(w.Child(rPr, "sz"), "val");
    if (!text) return std::nullopt;
    const auto halfPoints = wml::ParseLong(*text);
    if (!halfPoints || *halfPoints < 1 || *halfPoints > 3276) return std::nullopt;
    return *halfPoints / 2.0;
}

}  // namespace

double DefaultFontSize(docx::Package& package) {
    const parts::PartRoot styles = parts::Open(package, parts::Styles());
    if (!styles) return kSchemaDefaultFontSize;
    const wml::Wml& w = styles.names;
    for (pugi::xml_node style = styles.root.first_child(); style; style = style.next_sibling()) {
        if (w.LocalOf(style) != "style") continue;
        if (w.Value(style, "type").value_or("") != "paragraph") continue;
        if (!wml::ParseOnOff(w.Value(style, "default").value_or("0")).value_or(false)) continue;
        if (const auto size = SizeOf(w, w.Child(style, "rPr"))) return *size;
        break;
    }
    const pugi::xml_node rPr = w.Child(w.Child(w.Child(styles.root, "docDefaults"), "rPrDefault"), "rPr");
    return SizeOf(w, rPr).value_or(kSchemaDefaultFontSize);
}

void CopyDocumentDefaults(docx::Package& destination, docx::Package& source) {
    if (&destination == &source) return;
    const parts::PartRoot from = parts::Open(source, parts::Styles());
    const pugi::xml_node defaults = from.names.Child(from.root, "docDefaults");
    if (!defaults && !parts::Find(destination, parts::Styles())) return;
    const parts::PartRoot to = parts::OpenOrCreate(destination, parts::Styles());
    to.names.ReplaceWithCopy(to.root, "docDefaults", defaults, from.names, wml::order::Styles());
}

}  // namespace paperloom::word
