// Opens a package from arbitrary bytes, touches every part, and saves it back. Anything but
// a clean PackageError on open is a fault, and so is a saved package that does not reopen.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "host/docx/Package.h"

using paperloom::docx::Package;
using paperloom::docx::PackageError;
using paperloom::docx::PackageLimits;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PackageLimits limits;
    limits.maxEntries = 2000;
    limits.maxEntrySize = 16u << 20;
    limits.maxTotalSize = 64u << 20;

    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    std::optional<Package> pkg;
    try {
        pkg.emplace(Package::OpenFromMemory(bytes, limits));
    } catch (const PackageError&) {
        return 0;
    }

    const std::string main = pkg->MainDocumentPart();
    for (const std::string& name : pkg->PartNames()) {
        (void)pkg->ContentType(name);
        try {
            pugi::xml_document& doc = pkg->Xml(name);
            (void)doc.document_element().name();
            for (const auto& rel : pkg->Relationships(name)) {
                (void)Package::ResolveTarget(name, rel.target);
            }
        } catch (const PackageError&) {
            // Not XML: kept as bytes.
        }
    }
    (void)pkg->MainRelatedPart(paperloom::docx::reltype::styles);
    (void)pkg->AddRelationship(main, paperloom::docx::reltype::image, "media/fuzz.png");

    const std::vector<std::byte> saved = pkg->SaveToMemory();
    try {
        const Package again = Package::OpenFromMemory(saved, limits);
        if (again.PartNames() != pkg->PartNames()) std::abort();
    } catch (const PackageError&) {
        std::abort();
    }
    return 0;
}
