#include "host/ui/PrintOfficeService.h"

#include "host/HostError.h"
#include "host/ui/PrintDestinations.h"
#include "host/ui/PrintProcess.h"

#include <unistd.h>

#include <fmt/format.h>

#include <cstdlib>
#include <memory>
#include <random>

namespace paperloom::ui {
namespace {

namespace fs = std::filesystem;

constexpr long kPrintFailed = 4198;  // the word processor's "command failed"
constexpr const char* kSource = "Paperloom.Print";

host::HostError PrintError(std::string description) {
    return host::HostError(kPrintFailed, kSource, std::move(description));
}

std::string WithLog(std::string message, const fs::path& log) {
    if (const std::string tail = LogTail(log); !tail.empty()) message += fmt::format(" Output: {}", tail);
    return message;
}

std::string Seconds(std::chrono::milliseconds duration) {
    return fmt::format("{:g}", std::chrono::duration<double>(duration).count());
}

}  // namespace

PrintOptions PrintOptionsFromEnvironment() {
    PrintOptions options;
    if (const char* dir = std::getenv("PAPERLOOM_PRINT_DIR"); dir && *dir) options.printDir = dir;
    return options;
}

OfficePrintService::OfficePrintService(PrintOptions options) : options_(std::move(options)) {}

OfficePrintService::~OfficePrintService() {
    if (!work_.empty()) {
        std::error_code ignored;
        fs::remove_all(work_, ignored);
    }
}

const fs::path& OfficePrintService::WorkFolder() {
    if (work_.empty()) {
        std::string pattern = (fs::temp_directory_path() / "paperloom-print-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw PrintError("Cannot create a work folder for printing in " + fs::temp_directory_path().string() + ".");
        work_ = pattern;
    }
    return work_;
}

void OfficePrintService::CheckPrograms(bool printing) {
    if (!FindProgram(options_.officeProgram))
        throw PrintError(fmt::format(
            "The office suite ({}) is not installed, so documents cannot be rendered or printed. Install the "
            "packages libreoffice-writer-nogui and fonts-noto-cjk (apt-get install libreoffice-writer-nogui "
            "fonts-noto-cjk).",
            options_.officeProgram));
    if (printing && options_.printDir.empty() && !FindProgram(options_.spoolProgram))
        throw PrintError(fmt::format(
            "The print spooler's client ({}) is not installed. Install the package cups-client, or set a print "
            "folder (PAPERLOOM_PRINT_DIR) to receive PDF files instead.",
            options_.spoolProgram));
    if (printing && !options_.pages.All())
        for (const auto& program : {options_.pdfSplitProgram, options_.pdfJoinProgram})
            if (!FindProgram(program))
                throw PrintError(fmt::format("Printing some pages only needs {}, which is not installed. Install the "
                                             "package poppler-utils, or print every page.",
                                             program));
    if (printing && options_.printDir.empty()) CheckPrinter();
}

void OfficePrintService::CheckPrinter() {
    if (printerChecked_) return;
    const auto status = FindProgram(options_.statusProgram);
    if (!status) return;
    CheckPrintDestination(QueryPrintDestinations(*status, options_.timeout, WorkFolder()), options_.printer);
    printerChecked_ = true;
}

fs::path OfficePrintService::Render(const fs::path& document) {
    CheckPrograms(false);
    const auto office = FindProgram(options_.officeProgram);
    std::error_code ec;
    if (!fs::is_regular_file(document, ec)) throw PrintError("There is no document to render at " + document.string() + ".");

    const fs::path& work = WorkFolder();
    // The suite names its output after its input and reads options from odd names: it gets a
    // plain copy under a fixed name, so any document name is safe.
    const fs::path input = work / "document.docx";
    const fs::path output = work / "document.pdf";
    const fs::path log = work / "office.log";
    fs::remove(output, ec);
    fs::remove(log, ec);
    fs::copy_file(document, input, fs::copy_options::overwrite_existing, ec);
    if (ec) throw PrintError(fmt::format("Cannot copy {} for rendering: {}.", document.string(), ec.message()));

    const ProcessResult result =
        RunProcess({office.value().string(), "--headless", "--norestore", "--nologo", "--nodefault", "--nolockcheck",
                    "-env:UserInstallation=file://" + (work / "profile").string(), "--convert-to", "pdf", "--outdir",
                    work.string(), input.string()},
                   options_.timeout, log);
    fs::remove(input, ec);
    if (result.timedOut)
        throw PrintError(WithLog(fmt::format("The office suite did not finish rendering {} within {} seconds.",
                                             document.filename().string(), Seconds(options_.timeout)),
                                 log));
    if (result.exitCode != 0 || !fs::is_regular_file(output, ec) || fs::file_size(output, ec) == 0)
        throw PrintError(WithLog(fmt::format("The office suite could not render {} to PDF (exit status {}).",
                                             document.filename().string(), result.exitCode),
                                 log));
    return output;
}

void OfficePrintService::RenderPdf(const fs::path& document, const fs::path& pdf) {
    const std::lock_guard lock(mutex_);
    const fs::path rendered = Render(document);
    ReplaceFileAtomically(rendered, pdf);
    std::error_code ignored;
    fs::remove(rendered, ignored);
}

void OfficePrintService::PrintDocument(const fs::path& document, const std::string& jobName) {
    const std::lock_guard lock(mutex_);
    // A printer that is not there is reported before the document is rendered.
    CheckPrograms(true);
    const fs::path rendered = Render(document);
    std::error_code ignored;
    try {
        const fs::path selected = SelectPages(rendered);
        if (selected != rendered) fs::rename(selected, rendered);
        if (!options_.printDir.empty()) {
            fs::create_directories(options_.printDir, ignored);
            if (!fs::is_directory(options_.printDir, ignored))
                throw PrintError("The print folder " + options_.printDir.string() + " does not exist and cannot be created.");
            PublishFileUniquely(rendered, options_.printDir, SafeFileStem(jobName));
        } else {
            Spool(rendered, jobName);
        }
    } catch (...) {
        fs::remove(rendered, ignored);
        throw;
    }
    fs::remove(rendered, ignored);
}

void OfficePrintService::RunPdfTool(const std::string& program, std::vector<std::string> arguments,
                                    const std::string& what) {
    const fs::path log = WorkFolder() / "pages.log";
    std::error_code ignored;
    fs::remove(log, ignored);
    arguments.insert(arguments.begin(), FindProgram(program).value_or(program).string());
    const ProcessResult result = RunProcess(arguments, options_.timeout, log);
    if (result.timedOut || result.exitCode != 0)
        throw PrintError(WithLog(fmt::format("The pages to print could not be {} ({}, exit status {}).", what, program,
                                             result.exitCode),
                                 log));
}

fs::path OfficePrintService::SelectPages(const fs::path& pdf) {
    if (options_.pages.All()) return pdf;
    const fs::path folder = WorkFolder() / "pages";
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder, ignored);
    // Removes the single pages however this ends.
    const std::unique_ptr<const fs::path, void (*)(const fs::path*)> cleanup(&folder, [](const fs::path* path) {
        std::error_code ec;
        fs::remove_all(*path, ec);
    });
    RunPdfTool(options_.pdfSplitProgram, {pdf.string(), (folder / "page-%d.pdf").string()}, "separated");
    int pageCount = 0;
    while (fs::is_regular_file(folder / fmt::format("page-{}.pdf", pageCount + 1), ignored)) ++pageCount;
    const std::vector<int> pages = options_.pages.PagesOf(pageCount);
    if (pages.empty())
        throw PrintError(fmt::format("None of the pages {} is in the document, which has {} page{}.",
                                     options_.pages.Text(), pageCount, pageCount == 1 ? "" : "s"));
    if (static_cast<int>(pages.size()) == pageCount) return pdf;
    std::vector<std::string> arguments;
    for (const int page : pages) arguments.push_back((folder / fmt::format("page-{}.pdf", page)).string());
    const fs::path selected = WorkFolder() / "selected.pdf";
    fs::remove(selected, ignored);
    arguments.push_back(selected.string());
    RunPdfTool(options_.pdfJoinProgram, std::move(arguments), "joined");
    return selected;
}

void OfficePrintService::Spool(const fs::path& pdf, const std::string& jobName) {
    CheckPrograms(true);
    const auto spooler = FindProgram(options_.spoolProgram);
    std::vector<std::string> argv{spooler.value().string()};
    if (!options_.printer.empty()) {
        argv.push_back("-d");
        argv.push_back(options_.printer);
    }
    argv.push_back("-t");
    argv.push_back(SafeFileStem(jobName));
    argv.push_back("--");
    argv.push_back(pdf.string());
    const fs::path log = WorkFolder() / "spool.log";
    std::error_code ignored;
    fs::remove(log, ignored);
    const ProcessResult result = RunProcess(argv, options_.timeout, log);
    if (result.timedOut)
        throw PrintError(WithLog(fmt::format("The print spooler did not accept the job within {} seconds.",
                                             Seconds(options_.timeout)),
                                 log));
    if (result.exitCode != 0)
        throw PrintError(WithLog(fmt::format("The print spooler refused the job{} (exit status {}).",
                                             options_.printer.empty() ? "" : " for printer " + options_.printer,
                                             result.exitCode),
                                 log));
}

}  // namespace paperloom::ui
