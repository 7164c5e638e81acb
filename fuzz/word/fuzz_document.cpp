// Opens arbitrary bytes as a document and does what a report run does with a template: reads
// the text of every story, every table cell and text box, copies the whole body into another
// document, saves the copy and opens it again. A clean error is fine anywhere; a crash, a hang
// or a saved copy that does not open again is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <optional>
#include <span>

#include <unicode/utf8.h>

#include "host/docx/Package.h"
#include "host/word/Constants.h"
#include "host/word/Document.h"
#include "host/word/Sections.h"
#include "host/word/Shapes.h"
#include "host/word/Table.h"

using namespace paperloom;

namespace {

docx::PackageLimits FuzzLimits() {
    docx::PackageLimits limits;
    limits.maxEntries = 2000;
    limits.maxEntrySize = 16u << 20;
    limits.maxTotalSize = 64u << 20;
    return limits;
}

void ReadStories(const word::Document& doc) {
    (void)doc.Content().Text();
    const auto tables = doc.Tables();
    for (long t = 1; t <= tables.Count() && t <= 8; ++t) {
        const auto table = tables.Item(t);
        const auto rows = table.Rows();
        for (long r = 1; r <= rows.Count() && r <= 8; ++r) {
            for (long c = 1; c <= rows.Item(r).CellCount() && c <= 8; ++c) {
                try {
                    (void)table.Cell(r, c).Range().Text();
                } catch (const std::exception&) {
                    // A cell merged away has no range of its own.
                }
            }
        }
    }
    const auto shapes = doc.Shapes();
    for (long s = 1; s <= shapes.Count() && s <= 8; ++s) {
        const auto frame = shapes.Item(s).TextFrame();
        if (frame.HasText()) (void)frame.TextRange().Text();
    }
    const auto section = doc.Sections().Item(1);
    for (const bool footer : {false, true}) {
        const auto story = footer ? section.Footers().Item(word::wdHeaderFooterPrimary)
                                  : section.Headers().Item(word::wdHeaderFooterPrimary);
        if (story.Exists()) (void)story.Range().Text();
    }
}

// Every XML part saved must be what a strict XML 1.0 reader takes: UTF-8 throughout and no
// character XML 1.0 forbids.
bool WellFormedText(const std::string& bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto length = static_cast<std::int32_t>(bytes.size());
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(data, i, length, c);
        if (c < 0 || (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || c == 0xFFFE || c == 0xFFFF) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const docx::PackageLimits limits = FuzzLimits();
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    std::shared_ptr<word::Document> source;
    try {
        source = word::Document::Create(docx::Package::OpenFromMemory(bytes, limits), "fuzz.docx");
        ReadStories(*source);
    } catch (const std::exception&) {
        return 0;
    }

    std::vector<std::byte> saved;
    try {
        const auto copy = word::Document::Blank("copy.docx");
        auto end = copy->Content();
        end.Collapse(word::wdCollapseEnd);
        end.SetFormattedText(source->Content());
        ReadStories(*copy);
        saved = copy->Package().SaveToMemory();
    } catch (const std::exception&) {
        return 0;
    }
    try {
        auto package = docx::Package::OpenFromMemory(saved, limits);
        for (const std::string& name : package.PartNames()) {
            if (package.ContentType(name).ends_with("xml") && !WellFormedText(package.PartBytes(name))) std::abort();
        }
        const auto again = word::Document::Create(std::move(package), "again.docx");
        ReadStories(*again);
    } catch (const std::exception&) {
        std::abort();
    }
    return 0;
}
