#pragma once
// The PDF of a long print document, rendered by several office-suite processes at once: the
// document is cut at its page breaks into chunks of whole page groups (each record, or each
// detail page of a record, starts after one), every process renders its chunks with a profile
// of its own, and the chunks' PDFs are joined in order with qpdf. Short documents, and
// documents whose pages depend on the pages before them (page numbers, numbered lists, notes),
// are rendered whole by one process.

#include <cstddef>
#include <filesystem>
#include <string>

#include "host/ui/PrintOfficeService.h"

namespace paperloom::cli {

struct ParallelPdfOptions {
    // The office suite and its time limit per rendering.
    ui::PrintOptions print;
    // Office-suite processes at most; 0 for one per core.
    unsigned jobs = 0;
    // The number of records, when the document holds all records of a run: chunks are then
    // named by their records in messages. 0 when not known.
    long records = 0;
    // The number of the document's first record (a slice of a run starts later).
    long firstRecord = 1;
    // A chunk holds at least this many page groups: below twice as many, one process renders
    // everything, as starting a second costs more than it saves.
    std::size_t minGroupsPerChunk = 50;
    // And at most this many, so no rendering lays out an unbounded document or runs into the
    // time limit; with one process too, which then renders the chunks one after the other.
    std::size_t maxGroupsPerChunk = 500;
    std::string joinProgram = "qpdf";
};

struct PdfRendering {
    std::size_t chunks = 1;
    unsigned processes = 1;
    // Why one process rendered it all, when it did with more allowed ("" otherwise).
    std::string wholeBecause;
};

// Renders `document` (a saved .docx) into `pdf`, which is replaced atomically. HostError when
// a program is missing or a rendering or the join fails; a failed chunk is named with its
// records. Nothing is left in the temporary folder either way.
PdfRendering RenderPdfInParallel(const std::filesystem::path& document, const std::filesystem::path& pdf,
                                 const ParallelPdfOptions& options);

// One office-suite process per core, and at least one.
unsigned DefaultPdfJobs();

}  // namespace paperloom::cli
