#include "ParallelPdf.h"

#include "PageChunks.h"

#include "host/HostError.h"
#include "host/ui/PrintProcess.h"
#include "host/ui/UiServices.h"

#include <stdlib.h>

#include <fmt/format.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace paperloom::cli {
namespace {

namespace fs = std::filesystem;

constexpr long kPrintFailed = 4198;  // the word processor's "command failed", as printing reports
constexpr const char* kSource = "Paperloom.Print";

// A private folder for the chunks and their PDFs, removed however the rendering ends.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "paperloom-pdf-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw host::HostError(kPrintFailed, kSource,
                                  "Cannot create a work folder for rendering in " + fs::temp_directory_path().string() + ".");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

struct Chunk {
    std::size_t first = 0;  // page groups [first, last)
    std::size_t last = 0;
    fs::path document;
    fs::path pdf;
};

// What a chunk holds, for messages: its records when every page group is a record.
std::string ChunkName(const Chunk& chunk, std::size_t index, std::size_t count, bool groupsAreRecords,
                      long firstRecord) {
    if (groupsAreRecords)
        return fmt::format("part {} of {} (records {}-{})", index + 1, count, firstRecord + static_cast<long>(chunk.first),
                           firstRecord + static_cast<long>(chunk.last) - 1);
    const std::string from = chunk.first == 0 ? "the start" : fmt::format("page break {}", chunk.first);
    const std::string to = index + 1 == count ? "the end" : fmt::format("page break {}", chunk.last);
    return fmt::format("part {} of {} (from {} to {})", index + 1, count, from, to);
}

void RenderWhole(const fs::path& document, const fs::path& pdf, const ui::PrintOptions& print) {
    ui::OfficePrintService service(print);
    service.RenderPdf(document, pdf);
}

// Shows which chunks are done, from whichever process finished one.
class ChunkProgress {
public:
    ChunkProgress(std::size_t chunks, unsigned processes) : chunks_(static_cast<long>(chunks)) {
        window_ = ui::Progress().CreateProgressWindow();
        window_->SetCaption("PDF");
        window_->SetText(fmt::format("rendering {} parts with {} office-suite processes", chunks, processes));
        window_->SetValue(0, chunks_);
        window_->Show();
    }
    ~ChunkProgress() {
        try {
            window_->Hide();
        } catch (...) {  // a progress line that cannot be cleared is no reason to fail
        }
    }
    ChunkProgress(const ChunkProgress&) = delete;
    ChunkProgress& operator=(const ChunkProgress&) = delete;

    void Done() {
        const std::lock_guard lock(mutex_);
        window_->SetValue(++done_, chunks_);
    }
    void Joining() {
        const std::lock_guard lock(mutex_);
        window_->SetText("joining the parts");
    }

private:
    std::mutex mutex_;
    std::unique_ptr<ui::ProgressWindow> window_;
    long chunks_;
    long done_ = 0;
};

// The page count qpdf reads from a PDF; nothing when it cannot read one.
std::optional<long> PageCount(const fs::path& qpdf, const fs::path& pdf, const fs::path& folder,
                              std::chrono::milliseconds timeout) {
    const fs::path log = folder / "pages.txt";
    std::error_code ignored;
    fs::remove(log, ignored);
    const ui::ProcessResult result = ui::RunProcess({qpdf.string(), "--show-npages", pdf.string()}, timeout, log);
    if (result.timedOut || result.exitCode != 0) return std::nullopt;
    std::ifstream in(log);
    long pages = -1;
    if (!(in >> pages) || pages < 0) return std::nullopt;
    return pages;
}

}  // namespace

unsigned DefaultPdfJobs() { return std::max(1U, std::thread::hardware_concurrency()); }

PdfRendering RenderPdfInParallel(const fs::path& document, const fs::path& pdf, const ParallelPdfOptions& options) {
    const unsigned jobs = options.jobs == 0 ? DefaultPdfJobs() : options.jobs;
    PdfRendering how;
    const auto renderWhole = [&](std::string because) {
        how.wholeBecause = std::move(because);
        RenderWhole(document, pdf, options.print);
        return how;
    };

    auto pages = std::make_unique<PageChunks>(document);
    const std::size_t groups = pages->GroupCount();
    const std::size_t minimum = std::max<std::size_t>(1, options.minGroupsPerChunk);
    const std::size_t maximum = std::max(minimum, options.maxGroupsPerChunk);
    // No part longer than the maximum, a part for every process where each gets the minimum,
    // and then whole rounds: every process renders as many parts as the others.
    std::size_t count = (groups + maximum - 1) / maximum;
    if (jobs > 1) count = std::max(count, std::min<std::size_t>(jobs, groups / minimum));
    if (count > jobs) count = std::max(count, std::min(groups / minimum, (count + jobs - 1) / jobs * jobs));
    if (count <= 1) return renderWhole(jobs > 1 ? "it is short" : "");
    if (!pages->Obstacle().empty()) return renderWhole(pages->Obstacle());
    const auto qpdf = ui::FindProgram(options.joinProgram);
    if (!qpdf) {
        if (options.jobs > 1)
            throw host::HostError(kPrintFailed, kSource,
                                  fmt::format("Rendering with {} processes joins their PDFs with {}, which is not "
                                              "installed. Install the package qpdf, or give --jobs 1.",
                                              options.jobs, options.joinProgram));
        return renderWhole(options.joinProgram + " is not installed");
    }
    const unsigned processes = static_cast<unsigned>(std::min<std::size_t>(jobs, count));
    const bool groupsAreRecords = options.records > 0 && static_cast<std::size_t>(options.records) == groups;

    const ScratchFolder scratch;
    std::vector<Chunk> chunks(count);
    for (std::size_t i = 0; i < count; ++i) {
        chunks[i].first = groups * i / count;
        chunks[i].last = groups * (i + 1) / count;
        chunks[i].document = scratch.Path() / fmt::format("part-{}.docx", i + 1);
        chunks[i].pdf = scratch.Path() / fmt::format("part-{}.pdf", i + 1);
        pages->Write(chunks[i].first, chunks[i].last, chunks[i].document);
    }
    pages.reset();  // the whole document's tree is not needed while the parts render

    ChunkProgress progress(count, processes);
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex errorMutex;
    std::optional<std::size_t> failedChunk;
    std::exception_ptr error;
    {
        std::vector<std::jthread> workers;
        for (unsigned p = 0; p < processes; ++p) {
            workers.emplace_back([&] {
                std::size_t i = 0;
                try {
                    // A service per process: its own work folder and office-suite profile.
                    ui::OfficePrintService service(options.print);
                    for (i = next++; i < count && !failed; i = next++) {
                        service.RenderPdf(chunks[i].document, chunks[i].pdf);
                        progress.Done();
                    }
                } catch (...) {
                    const std::lock_guard lock(errorMutex);
                    // The first part in order is named when several fail.
                    if (!failedChunk || i < *failedChunk) {
                        failedChunk = std::min(i, count - 1);
                        error = std::current_exception();
                    }
                    failed = true;
                }
            });
        }
    }
    if (error) {
        const std::string name = ChunkName(chunks[*failedChunk], *failedChunk, count, groupsAreRecords, options.firstRecord);
        try {
            std::rethrow_exception(error);
        } catch (const host::HostError& cause) {
            throw host::HostError(cause.Number(), cause.Source(),
                                  fmt::format("The PDF's {} could not be rendered: {}", name, cause.Description()));
        } catch (const std::exception& cause) {
            throw host::HostError(kPrintFailed, kSource,
                                  fmt::format("The PDF's {} could not be rendered: {}", name, cause.what()));
        }
    }

    progress.Joining();
    const fs::path joined = scratch.Path() / "joined.pdf";
    const fs::path log = scratch.Path() / "join.log";
    // Each part's pages keep their own resources: looking for resources they do not use
    // would take longer than the join itself.
    std::vector<std::string> argv{qpdf->string(), "--warning-exit-0", "--remove-unreferenced-resources=no", "--empty",
                                  "--pages"};
    long expected = 0;
    for (std::size_t i = 0; i < count; ++i) {
        argv.push_back(chunks[i].pdf.string());
        const auto chunkPages = PageCount(*qpdf, chunks[i].pdf, scratch.Path(), options.print.timeout);
        if (!chunkPages)
            throw host::HostError(kPrintFailed, kSource,
                                  fmt::format("The PDF of the {} cannot be read.",
                                              ChunkName(chunks[i], i, count, groupsAreRecords, options.firstRecord)));
        expected += *chunkPages;
    }
    argv.push_back("--");
    argv.push_back(joined.string());
    const ui::ProcessResult result = ui::RunProcess(argv, options.print.timeout, log);
    if (result.timedOut || result.exitCode != 0)
        throw host::HostError(kPrintFailed, kSource,
                              fmt::format("The {} rendered parts could not be joined into one PDF ({}, exit status {}). {}",
                                          count, options.joinProgram, result.exitCode, ui::LogTail(log)));
    if (PageCount(*qpdf, joined, scratch.Path(), options.print.timeout) != expected)
        throw host::HostError(kPrintFailed, kSource,
                              fmt::format("The joined PDF does not have the {} pages of its parts.", expected));
    ui::ReplaceFileAtomically(joined, pdf);
    how.chunks = count;
    how.processes = processes;
    return how;
}

}  // namespace paperloom::cli
