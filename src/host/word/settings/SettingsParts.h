#pragma once
// Finding (and on first write creating) the parts that hold document settings: settings.xml,
// styles.xml, webSettings.xml and numbering.xml, each related from the main document part.
// Readers never create a part; a missing part reads as the defaults.

#include <optional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "host/docx/Package.h"
#include "host/word/settings/WordXml.h"

namespace paperloom::word::parts {

struct PartKind {
    std::string_view relationshipType;
    std::string_view contentType;
    std::string_view rootLocalName;  // "settings"
    std::string_view defaultName;    // "settings.xml", beside the main document part
};

const PartKind& Settings();
const PartKind& Styles();
const PartKind& WebSettings();
const PartKind& Numbering();

// The part's name, if the main document relates to one that exists in the package.
std::optional<std::string> Find(const docx::Package& package, const PartKind& kind);
// The root element of the part, or an empty node when the part is missing.
pugi::xml_node Root(docx::Package& package, const PartKind& kind);
// The root element, creating the part (with its relationship and content type) when missing.
pugi::xml_node EnsureRoot(docx::Package& package, const PartKind& kind);

// A part's root element with the names of its WordprocessingML prefix.
struct PartRoot {
    pugi::xml_node root;  // empty when the part is missing
    wml::Wml names{std::string("w")};
    explicit operator bool() const { return static_cast<bool>(root); }
};
PartRoot Open(docx::Package& package, const PartKind& kind);
PartRoot OpenOrCreate(docx::Package& package, const PartKind& kind);

// The main document's w:body, or an empty node.
pugi::xml_node Body(docx::Package& package);
// The section properties of the `index`-th section (1-based) in document order: the
// paragraph-level w:sectPr elements end sections, the body's last w:sectPr ends the last one.
pugi::xml_node SectionProperties(docx::Package& package, long index);
// The same, creating the body's final w:sectPr when the document has none at all.
pugi::xml_node EnsureSectionProperties(docx::Package& package, long index);
// Number of sections (at least 1 for a document with a body).
long SectionCount(docx::Package& package);

}  // namespace paperloom::word::parts
