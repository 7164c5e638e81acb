#pragma once
// An OOXML package (.docx): the zip container, its parts, content types and relationships.
//
// Loading keeps every part as the bytes it was stored with; a part is parsed only when asked
// for as XML. Parts never asked for are written back byte for byte, so a document saved
// without changes is the document that was opened. Saving goes to a temporary file in the
// target's folder and is renamed over the target, so a failed save leaves the target intact.

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "host/HostError.h"

namespace paperloom::docx {

class AtomicFileWriter;
namespace zip {
class DeflatedSpill;
}

// A package that cannot be opened or saved: not a zip, a damaged or oversized entry,
// a missing main part, malformed XML, a failed write. The description says which.
class PackageError : public host::HostError {
public:
    explicit PackageError(const std::string& description, long number = 5981)
        : host::HostError(number, "Paperloom.Package", description) {}
};

// Relationship type URIs the document model uses.
namespace reltype {
inline constexpr std::string_view officeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
inline constexpr std::string_view styles =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
inline constexpr std::string_view settings =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";
inline constexpr std::string_view numbering =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/numbering";
inline constexpr std::string_view fontTable =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/fontTable";
inline constexpr std::string_view webSettings =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/webSettings";
inline constexpr std::string_view theme =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme";
inline constexpr std::string_view header =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/header";
inline constexpr std::string_view footer =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer";
inline constexpr std::string_view image =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
inline constexpr std::string_view hyperlink =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink";
inline constexpr std::string_view coreProperties =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
inline constexpr std::string_view extendedProperties =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
}  // namespace reltype

struct Relationship {
    std::string id;        // "rId7"
    std::string type;      // a reltype URI
    std::string target;    // as stored: relative to the source part's folder, or a URI
    bool external = false; // TargetMode="External"
};

// Limits that keep a hostile package from exhausting memory (zip bombs, absurd entry counts).
struct PackageLimits {
    std::size_t maxEntries = 10000;
    std::uint64_t maxEntrySize = 512ull << 20;     // uncompressed bytes of one part
    // Uncompressed bytes of one XML part (.xml, .rels): its tree takes several times as much,
    // and a print document holds a copy of the main text per record.
    std::uint64_t maxXmlPartSize = 256ull << 20;
    std::uint64_t maxTotalSize = 2048ull << 20;    // uncompressed bytes of all parts
    // Uncompressed / compressed, per entry of 1 MiB or more. Deflate reaches about 1032:1 on a
    // run of one byte value, so a lower limit would refuse sound parts (blank bitmaps).
    std::uint64_t maxCompressionRatio = 1100;
};

class Package {
public:
    // Opens a package file. Throws PackageError for anything that is not a readable .docx.
    static Package Open(const std::filesystem::path& path, const PackageLimits& limits = {});
    // The same from bytes in memory (used by the fuzz target and by tests).
    static Package OpenFromMemory(std::span<const std::byte> bytes, const PackageLimits& limits = {});
    // A new blank document: a small valid package with default styles and settings.
    static Package CreateBlank();

    Package(Package&&) noexcept;
    Package& operator=(Package&&) noexcept;
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;
    // A deep copy (every part, parsed or not).
    Package Clone() const;

    // Writes the package atomically: temporary file beside the target, then rename.
    // Throws PackageError and leaves any existing target untouched when the write fails
    // (read-only target or folder, disk full, ...).
    void Save(const std::filesystem::path& path) const;
    std::vector<std::byte> SaveToMemory() const;
    // Saves a package one of whose XML parts was partly written out while it was being made:
    // the nodes that came first among `container`'s children (an element of `spilledPart`) were
    // serialised into `spill` in order and then left the tree. The part is written as if they
    // were still there; every other part as Save writes it. `file` is committed at the end.
    void SaveWithSpill(AtomicFileWriter& file, std::string_view spilledPart, pugi::xml_node container,
                       zip::DeflatedSpill& spill) const;

    // Part names are package paths without the leading slash: "word/document.xml".
    // Every zip entry but folders, in save order: "[Content_Types].xml" first, then the
    // relationship parts and the rest as they were stored. Look-ups ignore case.
    std::vector<std::string> PartNames() const;
    bool HasPart(std::string_view name) const;
    // The part's bytes as they will be saved (serialises the XML of a parsed part; an XML part
    // holding what XML 1.0 forbids, such as bytes that are not UTF-8, is written anew).
    std::string PartBytes(std::string_view name) const;
    // The bytes of a part not handed out for writing, without a copy (pictures and other
    // binary parts); none for a part saved from its tree. Valid until the part changes.
    std::optional<std::string_view> StoredBytes(std::string_view name) const;
    // The parsed XML of a part; parsed on first use and from then on saved from this tree.
    // Throws PackageError when the part is missing or is not well-formed XML.
    // Whitespace-only text is kept as nodes, so walk children by element type.
    // The const form only reads: the part keeps its loaded bytes until the non-const form
    // hands the tree out for writing.
    pugi::xml_document& Xml(std::string_view name);
    const pugi::xml_document& Xml(std::string_view name) const;
    // Adds or replaces a part. The content type goes into [Content_Types].xml as an Override
    // unless the part's extension already has a matching Default. Replacing a part drops its
    // parsed tree: references from Xml() to it are no longer valid.
    void SetPartBytes(std::string_view name, std::string bytes, std::string_view contentType);
    pugi::xml_document& AddXmlPart(std::string_view name, std::string_view contentType);
    // Removes a part, its content-type override and its own relationships part.
    void RemovePart(std::string_view name);
    std::string ContentType(std::string_view name) const;
    // A free part name such as "word/media/image3.png" for stem "word/media/image", ext "png".
    std::string UniquePartName(std::string_view stem, std::string_view extension) const;

    // Relationships of a part ("" for the package itself).
    std::vector<Relationship> Relationships(std::string_view sourcePart) const;
    std::optional<Relationship> RelationshipById(std::string_view sourcePart, std::string_view id) const;
    // Adds a relationship and returns its new id.
    std::string AddRelationship(std::string_view sourcePart, std::string_view type,
                                std::string_view target, bool external = false);
    // An unknown id is ignored.
    void RemoveRelationship(std::string_view sourcePart, std::string_view id);
    // The part a relationship's target names, resolved against the source part's folder.
    static std::string ResolveTarget(std::string_view sourcePart, std::string_view target);
    // The target text that names `part` from `sourcePart` (relative path).
    static std::string RelativeTarget(std::string_view sourcePart, std::string_view part);

    // The main document part (the officeDocument relationship's target).
    std::string MainDocumentPart() const;
    // The first part the main document relates to with the given type, if any.
    std::optional<std::string> MainRelatedPart(std::string_view type) const;

private:
    struct Impl;
    explicit Package(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace paperloom::docx
