#pragma once
// A saved print document cut into documents of whole pages, for rendering by several
// office-suite processes at once.
//
// The print document starts every record, and every further detail page of a record, after a
// hard page break at the end of a paragraph of the body. The text between two such breaks is a
// page group: its pages are laid out without regard to what comes before or after it, unless
// the document holds something counted across pages (page-number fields, numbered
// paragraphs, notes, headers that alternate or differ on a section's first page). A chunk is a
// copy of the document that keeps a run of page groups: its pages are the pages those groups
// have in the whole document.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

namespace paperloom::cli {

class PageChunks {
public:
    // Reads the document; PackageError when it cannot be read.
    explicit PageChunks(const std::filesystem::path& document);
    ~PageChunks();
    PageChunks(const PageChunks&) = delete;
    PageChunks& operator=(const PageChunks&) = delete;

    // The number of page groups (the page breaks at paragraph ends, plus one).
    std::size_t GroupCount() const;
    // Why chunks of this document would not have the pages of the whole, or "" when they
    // would.
    const std::string& Obstacle() const;
    // Writes the document holding page groups [first, last) (0-based) to `path`, with the
    // parts, styles, headers and footers of the whole and the section settings that govern
    // those groups there. The break after the last group is left out: it would start an
    // empty page. One chunk at a time: each write reuses the package read.
    void Write(std::size_t first, std::size_t last, const std::filesystem::path& path);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace paperloom::cli
