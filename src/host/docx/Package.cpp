#include "host/docx/Package.h"

#include <algorithm>
#include <cassert>
#include <fstream>
#include <iterator>
#include <unordered_map>

#include <fmt/format.h>

#include "host/docx/AtomicFile.h"
#include "host/docx/BlankDocument.h"
#include "host/docx/PartName.h"
#include "host/docx/XmlCodec.h"
#include "host/docx/XmlNames.h"
#include "host/docx/ZipArchive.h"
#include "host/docx/ZipStream.h"
#include "host/AsciiText.h"

namespace paperloom::docx {
namespace {

constexpr std::string_view kContentTypesPart = "[Content_Types].xml";
constexpr std::string_view kContentTypesNs = names::ns::contentTypes;
constexpr std::string_view kRelationshipsNs = names::ns::packageRelationships;
constexpr std::string_view kRelationshipsType = names::contenttype::relationships;

std::string PartNameAttribute(std::string_view part) { return "/" + partname::Normalize(part); }

// Main document content types of the word-processing formats (document, template, with macros).
bool IsWordMainContentType(std::string_view type) {
    return type.find("wordprocessingml") != std::string_view::npos ||
           type.find("application/vnd.ms-word.") != std::string_view::npos;
}

}  // namespace

struct Package::Impl {
    struct Part {
        std::string name;
        std::string bytes;  // as loaded; stale once `modified`
        mutable std::unique_ptr<pugi::xml_document> xml;
        mutable xml::Encoding encoding;
        bool modified = false;  // handed out for writing: saved from the tree
        std::time_t mtime = zip::kNoTime;
    };

    std::vector<std::unique_ptr<Part>> parts;  // zip entry order
    std::unordered_map<std::string, Part*> index;

    Part* Find(std::string_view name) const {
        const auto it = index.find(partname::FoldKey(name));
        return it == index.end() ? nullptr : it->second;
    }
    Part& Get(std::string_view name) const {
        Part* part = Find(name);
        if (!part) throw PackageError(fmt::format("The package has no part \"{}\".", partname::Normalize(name)));
        return *part;
    }
    // The name is new to the package (the zip reader refuses repeated names, the rest look
    // first): a second part under one key would be saved twice yet never found.
    Part& Add(std::string_view name, std::string bytes, std::time_t mtime = zip::kNoTime) {
        assert(!partname::Normalize(name).empty() && !Find(name));
        auto part = std::make_unique<Part>();
        part->name = partname::Normalize(name);
        part->bytes = std::move(bytes);
        part->mtime = mtime;
        Part& ref = *part;
        index[partname::FoldKey(name)] = &ref;
        parts.push_back(std::move(part));
        assert(index.size() == parts.size());
        return ref;
    }
    void Erase(std::string_view name) {
        const auto it = index.find(partname::FoldKey(name));
        if (it == index.end()) return;
        Part* doomed = it->second;
        index.erase(it);
        std::erase_if(parts, [doomed](const std::unique_ptr<Part>& p) { return p.get() == doomed; });
        assert(index.size() == parts.size());
    }

    // Readers expect [Content_Types].xml as the first entry; the rest keep their order.
    void ContentTypesFirst() {
        std::stable_partition(parts.begin(), parts.end(), [](const std::unique_ptr<Part>& p) {
            return partname::Equal(p->name, kContentTypesPart);
        });
    }

    static const pugi::xml_document& Parsed(const Part& part) {
        if (!part.xml) {
            xml::Parsed parsed = xml::Parse(part.bytes, part.name);
            part.xml = std::move(parsed.document);
            part.encoding = parsed.encoding;
        }
        return *part.xml;
    }
    static pugi::xml_document& ForWriting(Part& part) {
        Parsed(part);
        if (!part.modified) {
            part.modified = true;
            part.bytes.clear();
            part.bytes.shrink_to_fit();
        }
        return *part.xml;
    }
    static std::string Bytes(const Part& part) {
        // A part handed out for writing dropped its bytes: its tree is all there is.
        assert(!part.modified || part.xml);
        if (part.modified) return xml::Serialize(*part.xml, part.encoding);
        if (NeedsRewrite(part)) return Rewritten(part);
        return part.bytes;
    }

    // An XML part as loaded that XML 1.0 readers would refuse (bytes that are not UTF-8, a
    // forbidden character): it is written from its tree, through the same filter as edited
    // parts. Sound parts keep their bytes exactly.
    static bool NeedsRewrite(const Part& part) {
        return partname::IsXmlPartName(part.name) && !xml::IsXml10Safe(part.bytes);
    }
    static std::string Rewritten(const Part& part) {
        try {
            if (part.xml) return xml::Serialize(*part.xml, part.encoding);
            const xml::Parsed parsed = xml::Parse(part.bytes, part.name);
            return xml::Serialize(*parsed.document, parsed.encoding);
        } catch (const PackageError&) {
            return part.bytes;  // not XML at all: nothing to mend, it goes as it came
        }
    }

    pugi::xml_node ContentTypesRoot() {
        Part* part = Find(kContentTypesPart);
        if (!part) {
            Part& created = Add(kContentTypesPart, {});
            created.xml = xml::NewDocument();
            created.modified = true;
            created.xml->append_child("Types").append_attribute("xmlns") = kContentTypesNs.data();
            part = &created;
        }
        return ForWriting(*part).document_element();
    }

    // The element of [Content_Types].xml whose attribute `key` equals `value`, ignoring case.
    static pugi::xml_node FindContentTypeEntry(pugi::xml_node root, std::string_view element, const char* key,
                                               std::string_view value) {
        for (pugi::xml_node node : root.children()) {
            if (node.type() == pugi::node_element && xml::LocalName(node) == element &&
                partname::FoldKey(node.attribute(key).value()) == partname::FoldKey(value)) {
                return node;
            }
        }
        return {};
    }

    std::string ContentTypeOf(std::string_view name) const {
        const Part* part = Find(kContentTypesPart);
        if (!part) return {};
        const pugi::xml_node root = Parsed(*part).document_element();
        if (auto o = FindContentTypeEntry(root, "Override", "PartName", PartNameAttribute(name))) {
            return o.attribute("ContentType").value();
        }
        if (auto d = FindContentTypeEntry(root, "Default", "Extension", partname::Extension(name))) {
            return d.attribute("ContentType").value();
        }
        return {};
    }

    void SetContentType(std::string_view name, std::string_view type) {
        if (partname::Equal(name, kContentTypesPart) || type.empty()) return;
        pugi::xml_node root = ContentTypesRoot();
        const std::string partName = PartNameAttribute(name);
        pugi::xml_node override = FindContentTypeEntry(root, "Override", "PartName", partName);
        const pugi::xml_node def = FindContentTypeEntry(root, "Default", "Extension", partname::Extension(name));
        if (def && def.attribute("ContentType").value() == type) {
            if (override) root.remove_child(override);
            return;
        }
        if (!override) {
            override = root.append_child(xml::NameInPrefixOf(root, "Override").c_str());
            override.append_attribute("PartName") = partName.c_str();
            override.append_attribute("ContentType");
        }
        override.attribute("ContentType") = std::string(type).c_str();
    }

    void RemoveContentType(std::string_view name) {
        Part* part = Find(kContentTypesPart);
        if (!part) return;
        const pugi::xml_node root = Parsed(*part).document_element();
        if (FindContentTypeEntry(root, "Override", "PartName", PartNameAttribute(name))) {
            pugi::xml_node writable = ContentTypesRoot();
            writable.remove_child(FindContentTypeEntry(writable, "Override", "PartName", PartNameAttribute(name)));
        }
    }

    std::vector<Relationship> RelationshipsOf(std::string_view source) const {
        std::vector<Relationship> out;
        const Part* part = Find(partname::RelationshipsPartOf(source));
        if (!part) return out;
        for (pugi::xml_node node : Parsed(*part).document_element().children()) {
            if (node.type() != pugi::node_element || xml::LocalName(node) != "Relationship") continue;
            Relationship r;
            r.id = node.attribute("Id").value();
            r.type = node.attribute("Type").value();
            r.target = node.attribute("Target").value();
            r.external = text::EqualsNoCase(node.attribute("TargetMode").value(), "External");
            out.push_back(std::move(r));
        }
        return out;
    }

    // The target part of the first internal relationship of `type` from `source`, read
    // straight from the relationships part: asked on every copy and field update, so no list
    // of all relationships is made for it.
    std::optional<std::string> RelatedPart(std::string_view source, std::string_view type) const {
        const Part* part = Find(partname::RelationshipsPartOf(source));
        if (!part) return std::nullopt;
        for (pugi::xml_node node : Parsed(*part).document_element().children()) {
            if (node.type() != pugi::node_element || xml::LocalName(node) != "Relationship") continue;
            if (std::string_view(node.attribute("Type").value()) != type) continue;
            if (text::EqualsNoCase(node.attribute("TargetMode").value(), "External")) continue;
            return partname::Resolve(source, node.attribute("Target").value());
        }
        return std::nullopt;
    }

    void Validate() const {
        if (!Find(kContentTypesPart)) {
            throw PackageError("The package has no [Content_Types].xml; it is not a .docx document.");
        }
        if (xml::LocalName(Parsed(*Find(kContentTypesPart)).document_element()) != "Types") {
            throw PackageError("The package's [Content_Types].xml is not a content-types list.");
        }
        const std::string packageRels = partname::RelationshipsPartOf("");
        if (!Find(packageRels)) {
            throw PackageError("The package has no _rels/.rels; it is not a .docx document.");
        }
        Parsed(Get(packageRels));
        std::optional<std::string> main;
        for (const Relationship& r : RelationshipsOf("")) {
            if (r.type == reltype::officeDocument && !r.external) {
                main = partname::Resolve("", r.target);
                break;
            }
        }
        if (!main) {
            for (const Relationship& r : RelationshipsOf("")) {
                if (r.type.ends_with("/officeDocument")) {
                    throw PackageError(
                        "The package is a Strict Open XML document, which is not supported; save it as an "
                        "ordinary .docx document.");
                }
            }
            throw PackageError("The package names no main document part; it is not a .docx document.");
        }
        const Part* mainPart = Find(*main);
        if (!mainPart) {
            throw PackageError(fmt::format("The package's main document part \"{}\" is missing.", *main));
        }
        const std::string type = ContentTypeOf(*main);
        if (!IsWordMainContentType(type)) {
            throw PackageError(fmt::format(
                "The package is not a word-processing document (its main part has the content type \"{}\").", type));
        }
        Parsed(*mainPart);
        if (const Part* rels = Find(partname::RelationshipsPartOf(*main))) Parsed(*rels);
    }
};

Package::Package(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Package::Package(Package&&) noexcept = default;
Package& Package::operator=(Package&&) noexcept = default;
Package::~Package() = default;

Package Package::Open(const std::filesystem::path& path, const PackageLimits& limits) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PackageError(fmt::format("Cannot open \"{}\": the file does not exist or cannot be read.",
                                            path.string()));
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) throw PackageError(fmt::format("Cannot read \"{}\".", path.string()));
    if (static_cast<std::uint64_t>(size) > limits.maxTotalSize) {
        throw PackageError(fmt::format("\"{}\" is larger than {} bytes.", path.string(), limits.maxTotalSize));
    }
    in.seekg(0, std::ios::beg);
    std::vector<std::byte> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        throw PackageError(fmt::format("Cannot read \"{}\".", path.string()));
    }
    return OpenFromMemory(bytes, limits);
}

Package Package::OpenFromMemory(std::span<const std::byte> bytes, const PackageLimits& limits) {
    auto impl = std::make_unique<Impl>();
    for (zip::Entry& entry : zip::Read(bytes, limits)) {
        impl->Add(entry.name, std::move(entry.data), entry.mtime);
    }
    impl->ContentTypesFirst();
    impl->Validate();
    return Package(std::move(impl));
}

Package Package::CreateBlank() {
    auto impl = std::make_unique<Impl>();
    for (auto& [name, bytes] : blank::Parts()) impl->Add(name, std::move(bytes));
    return Package(std::move(impl));
}

Package Package::Clone() const {
    auto impl = std::make_unique<Impl>();
    for (const auto& part : impl_->parts) {
        Impl::Part& copy = impl->Add(part->name, part->bytes, part->mtime);
        copy.modified = part->modified;
        copy.encoding = part->encoding;
        if (part->xml) {
            copy.xml = std::make_unique<pugi::xml_document>();
            copy.xml->reset(*part->xml);
        }
    }
    return Package(std::move(impl));
}

std::vector<std::byte> Package::SaveToMemory() const {
    // Serialised parts must outlive the views handed to the zip writer.
    std::vector<std::string> serialised;
    serialised.reserve(impl_->parts.size());
    std::vector<zip::EntryView> entries;
    entries.reserve(impl_->parts.size());
    const auto add = [&](const Impl::Part& part) {
        std::string_view data = part.bytes;
        if (part.modified) data = serialised.emplace_back(Impl::Bytes(part));
        else if (Impl::NeedsRewrite(part)) data = serialised.emplace_back(Impl::Rewritten(part));
        entries.push_back({part.name, data, part.mtime});
    };
    // Readers expect the content types first.
    if (const Impl::Part* types = impl_->Find(kContentTypesPart)) add(*types);
    for (const auto& part : impl_->parts) {
        if (!partname::Equal(part->name, kContentTypesPart)) add(*part);
    }
    return zip::Write(entries);
}

void Package::SaveWithSpill(AtomicFileWriter& file, std::string_view spilledPart, pugi::xml_node container,
                            zip::DeflatedSpill& spill) const {
    const Impl::Part& spilled = impl_->Get(spilledPart);
    // The part's text with a mark where the written-out nodes belong, cut there. An XML comment
    // cannot occur inside text or an attribute, so the first one found is the mark.
    static constexpr char kMark[] = "paperloom:written-out-nodes";
    pugi::xml_node mark = container.prepend_child(pugi::node_comment);
    mark.set_value(kMark);
    std::string text;
    try {
        text = Impl::Bytes(spilled);
    } catch (...) {
        container.remove_child(mark);
        throw;
    }
    container.remove_child(mark);
    const std::string marked = fmt::format("<!--{}-->", kMark);
    const std::size_t at = text.find(marked);
    if (at == std::string::npos)
        throw PackageError(fmt::format("The part \"{}\" cannot be written: its written-out text has no place.",
                                       spilled.name));
    spill.Finish(std::string_view(text).substr(at + marked.size()));
    const std::string_view head = std::string_view(text).substr(0, at);

    zip::StreamWriter writer(file);
    const auto add = [&](const Impl::Part& part) {
        if (&part == &spilled) {
            writer.AddSpilled(part.name, head, spill, part.mtime);
            return;
        }
        if (part.modified) writer.Add(part.name, Impl::Bytes(part), part.mtime);
        else if (Impl::NeedsRewrite(part)) writer.Add(part.name, Impl::Rewritten(part), part.mtime);
        else writer.Add(part.name, part.bytes, part.mtime);
    };
    if (const Impl::Part* types = impl_->Find(kContentTypesPart)) add(*types);
    for (const auto& part : impl_->parts) {
        if (!partname::Equal(part->name, kContentTypesPart)) add(*part);
    }
    writer.Finish();
    file.Commit();
}

void Package::Save(const std::filesystem::path& path) const {
    const std::vector<std::byte> bytes = SaveToMemory();
    WriteFileAtomically(path, bytes);
}

std::vector<std::string> Package::PartNames() const {
    std::vector<std::string> names;
    names.reserve(impl_->parts.size());
    for (const auto& part : impl_->parts) names.push_back(part->name);
    return names;
}

bool Package::HasPart(std::string_view name) const { return impl_->Find(name) != nullptr; }

std::string Package::PartBytes(std::string_view name) const { return Impl::Bytes(impl_->Get(name)); }

std::optional<std::string_view> Package::StoredBytes(std::string_view name) const {
    const Impl::Part& part = impl_->Get(name);
    if (part.modified || Impl::NeedsRewrite(part)) return std::nullopt;
    return std::string_view(part.bytes);
}

pugi::xml_document& Package::Xml(std::string_view name) { return Impl::ForWriting(impl_->Get(name)); }

const pugi::xml_document& Package::Xml(std::string_view name) const { return Impl::Parsed(impl_->Get(name)); }

void Package::SetPartBytes(std::string_view name, std::string bytes, std::string_view contentType) {
    if (partname::Normalize(name).empty()) throw PackageError("A part needs a name.");
    if (Impl::Part* part = impl_->Find(name)) {
        part->bytes = std::move(bytes);
        part->xml.reset();
        part->encoding = {};
        part->modified = false;
    } else {
        impl_->Add(name, std::move(bytes));
    }
    impl_->SetContentType(name, contentType);
}

pugi::xml_document& Package::AddXmlPart(std::string_view name, std::string_view contentType) {
    SetPartBytes(name, {}, contentType);
    Impl::Part& part = impl_->Get(name);
    part.xml = xml::NewDocument();
    part.modified = true;
    return *part.xml;
}

void Package::RemovePart(std::string_view name) {
    const std::string rels = partname::RelationshipsPartOf(name);
    impl_->Erase(name);
    impl_->RemoveContentType(name);
    if (impl_->Find(rels)) {
        impl_->Erase(rels);
        impl_->RemoveContentType(rels);
    }
}

std::string Package::ContentType(std::string_view name) const { return impl_->ContentTypeOf(name); }

std::string Package::UniquePartName(std::string_view stem, std::string_view extension) const {
    for (std::size_t n = 1;; ++n) {
        std::string candidate = fmt::format("{}{}.{}", partname::Normalize(stem), n, extension);
        if (!HasPart(candidate)) return candidate;
    }
}

std::vector<Relationship> Package::Relationships(std::string_view sourcePart) const {
    return impl_->RelationshipsOf(sourcePart);
}

std::optional<Relationship> Package::RelationshipById(std::string_view sourcePart, std::string_view id) const {
    for (Relationship& r : impl_->RelationshipsOf(sourcePart)) {
        if (r.id == id) return std::move(r);
    }
    return std::nullopt;
}

std::string Package::AddRelationship(std::string_view sourcePart, std::string_view type, std::string_view target,
                                     bool external) {
    const std::string relsName = partname::RelationshipsPartOf(sourcePart);
    if (!impl_->Find(relsName)) {
        pugi::xml_document& doc = AddXmlPart(relsName, kRelationshipsType);
        doc.append_child("Relationships").append_attribute("xmlns") = kRelationshipsNs.data();
    }
    pugi::xml_node root = Impl::ForWriting(impl_->Get(relsName)).document_element();

    // Ids follow the rIdN pattern, one above the highest in use.
    unsigned long highest = 0;
    std::vector<std::string> ids;
    for (pugi::xml_node node : root.children()) {
        if (node.type() != pugi::node_element) continue;
        const std::string_view id = node.attribute("Id").value();
        ids.emplace_back(id);
        if (id.size() > 3 && id.starts_with("rId") &&
            std::all_of(id.begin() + 3, id.end(), [](char c) { return c >= '0' && c <= '9'; }) && id.size() < 12) {
            highest = std::max(highest, std::stoul(std::string(id.substr(3))));
        }
    }
    std::string id;
    for (unsigned long n = highest + 1;; ++n) {
        id = fmt::format("rId{}", n);
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) break;
    }

    pugi::xml_node rel = root.append_child(xml::NameInPrefixOf(root, "Relationship").c_str());
    rel.append_attribute("Id") = id.c_str();
    rel.append_attribute("Type") = std::string(type).c_str();
    rel.append_attribute("Target") = std::string(target).c_str();
    if (external) rel.append_attribute("TargetMode") = "External";
    return id;
}

void Package::RemoveRelationship(std::string_view sourcePart, std::string_view id) {
    const std::string relsName = partname::RelationshipsPartOf(sourcePart);
    if (!RelationshipById(sourcePart, id)) return;
    pugi::xml_node root = Impl::ForWriting(impl_->Get(relsName)).document_element();
    for (pugi::xml_node node : root.children()) {
        if (node.type() == pugi::node_element && node.attribute("Id").value() == id) {
            root.remove_child(node);
            return;
        }
    }
}

std::string Package::ResolveTarget(std::string_view sourcePart, std::string_view target) {
    return partname::Resolve(sourcePart, target);
}

std::string Package::RelativeTarget(std::string_view sourcePart, std::string_view part) {
    return partname::Relative(sourcePart, part);
}

std::string Package::MainDocumentPart() const {
    if (auto main = impl_->RelatedPart("", reltype::officeDocument)) return std::move(*main);
    throw PackageError("The package names no main document part.");
}

std::optional<std::string> Package::MainRelatedPart(std::string_view type) const {
    return impl_->RelatedPart(MainDocumentPart(), type);
}

}  // namespace paperloom::docx
