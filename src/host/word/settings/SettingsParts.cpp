#include "host/word/settings/SettingsParts.h"

#include <string>
#include <vector>

#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/WordXml.h"

namespace paperloom::word::parts {
namespace {

const PartKind kSettings{
    docx::reltype::settings,
    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml", "settings",
    "settings.xml"};
const PartKind kStyles{
    docx::reltype::styles,
    "application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml", "styles",
    "styles.xml"};
const PartKind kWebSettings{
    docx::reltype::webSettings,
    "application/vnd.openxmlformats-officedocument.wordprocessingml.webSettings+xml",
    "webSettings", "webSettings.xml"};
const PartKind kNumbering{
    docx::reltype::numbering,
    "application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml", "numbering",
    "numbering.xml"};

std::string FolderOf(std::string_view part) {
    const auto slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string{} : std::string(part.substr(0, slash + 1));
}

// Paragraph-level section properties in document order, then the body's own.
void CollectSections(const wml::Wml& w, const pugi::xml_node& container,
                     std::vector<pugi::xml_node>& found) {
    for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
        const std::string_view local = w.LocalOf(child);
        if (local == "p") {
            if (pugi::xml_node sectPr = w.Child(w.Child(child, "pPr"), "sectPr")) {
                found.push_back(sectPr);
            }
        } else if (local == "sdt") {
            CollectSections(w, w.Child(child, "sdtContent"), found);
        } else if (local == "customXml" || local == "smartTag") {
            CollectSections(w, child, found);
        }
    }
}

std::vector<pugi::xml_node> Sections(docx::Package& package) {
    std::vector<pugi::xml_node> found;
    const pugi::xml_node body = Body(package);
    if (!body) return found;
    const wml::Wml w(package.Xml(package.MainDocumentPart()));
    CollectSections(w, body, found);
    if (pugi::xml_node last = w.Child(body, "sectPr")) found.push_back(last);
    return found;
}

}  // namespace

const PartKind& Settings() { return kSettings; }
const PartKind& Styles() { return kStyles; }
const PartKind& WebSettings() { return kWebSettings; }
const PartKind& Numbering() { return kNumbering; }

std::optional<std::string> Find(const docx::Package& package, const PartKind& kind) {
    auto name = package.MainRelatedPart(kind.relationshipType);
    if (name && package.HasPart(*name)) return name;
    return std::nullopt;
}

pugi::xml_node Root(docx::Package& package, const PartKind& kind) {
    const auto name = Find(package, kind);
    if (!name) return {};
    return package.Xml(*name).document_element();
}

pugi::xml_node EnsureRoot(docx::Package& package, const PartKind& kind) {
    if (pugi::xml_node root = Root(package, kind)) return root;
    const std::string main = package.MainDocumentPart();
    std::string name = FolderOf(main) + std::string(kind.defaultName);
    if (package.HasPart(name)) {
        const std::string stem = name.substr(0, name.size() - 4);  // without ".xml"
        name = package.UniquePartName(stem, "xml");
    }
    // A relationship whose target is missing is replaced rather than left dangling.
    for (const docx::Relationship& rel : package.Relationships(main)) {
        if (rel.type == kind.relationshipType && !rel.external) {
            package.RemoveRelationship(main, rel.id);
        }
    }
    pugi::xml_document& document = package.AddXmlPart(name, kind.contentType);
    pugi::xml_node root = document.append_child(("w:" + std::string(kind.rootLocalName)).c_str());
    root.append_attribute("xmlns:w").set_value(std::string(wml::kMainNamespace).c_str());
    root.append_attribute("xmlns:r").set_value(std::string(wml::kRelationshipsNamespace).c_str());
    package.AddRelationship(main, kind.relationshipType, docx::Package::RelativeTarget(main, name));
    return root;
}

PartRoot Open(docx::Package& package, const PartKind& kind) {
    const auto name = Find(package, kind);
    if (!name) return {};
    pugi::xml_document& document = package.Xml(*name);
    return {document.document_element(), wml::Wml(document)};
}

PartRoot OpenOrCreate(docx::Package& package, const PartKind& kind) {
    EnsureRoot(package, kind);
    return Open(package, kind);
}

pugi::xml_node Body(docx::Package& package) {
    pugi::xml_document& document = package.Xml(package.MainDocumentPart());
    const wml::Wml w(document);
    return w.Child(document.document_element(), "body");
}

pugi::xml_node SectionProperties(docx::Package& package, long index) {
    const std::vector<pugi::xml_node> sections = Sections(package);
    if (index < 1 || index > static_cast<long>(sections.size())) return {};
    return sections[static_cast<std::size_t>(index - 1)];
}

pugi::xml_node EnsureSectionProperties(docx::Package& package, long index) {
    if (pugi::xml_node existing = SectionProperties(package, index)) return existing;
    if (index != 1 || !Sections(package).empty()) return {};
    pugi::xml_node body = Body(package);
    if (!body) return {};
    const wml::Wml w(package.Xml(package.MainDocumentPart()));
    return w.Ensure(body, "sectPr", wml::order::Body());
}

long SectionCount(docx::Package& package) {
    const auto count = static_cast<long>(Sections(package).size());
    return count == 0 && Body(package) ? 1 : count;
}

}  // namespace paperloom::word::parts
