#pragma once
// The print service over the office suite: documents are rendered to PDF by the suite running
// headless, then handed to the spooler (lp) or dropped into a print folder.
//
// The service keeps one private suite profile for its lifetime, so runs of several processes
// at once never share (and lock) a profile; calls on one service run one at a time.

#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "host/ui/PageSelection.h"
#include "host/ui/PrintService.h"

namespace paperloom::ui {

struct PrintOptions {
    // Non-empty: printing writes a PDF per job into this folder instead of spooling.
    std::filesystem::path printDir;
    // The spooler's printer; "" for its default.
    std::string printer;
    // The programs, by name (looked up in PATH) or path.
    std::string officeProgram = "soffice";
    std::string spoolProgram = "lp";
    // Lists the spooler's printers and its default (lpstat), so a wrong printer is reported
    // before the work; "" (or a program that is not installed) leaves that to the spooler.
    std::string statusProgram = "lpstat";
    // The pages each printed document keeps. They are cut from the rendered PDF before it is
    // spooled or dropped into the print folder, so every queue (raw ones too) and the print
    // folder get only those pages.
    PageSelection pages;
    // Split a PDF into pages and join pages into one PDF (poppler-utils); used only when
    // `pages` is not every page.
    std::string pdfSplitProgram = "pdfseparate";
    std::string pdfJoinProgram = "pdfunite";
    // The longest a rendering or spooling may take before it is abandoned.
    std::chrono::milliseconds timeout = std::chrono::minutes(5);
};

// The defaults with the print folder from PAPERLOOM_PRINT_DIR, where it is set.
PrintOptions PrintOptionsFromEnvironment();

class OfficePrintService final : public PrintService {
public:
    explicit OfficePrintService(PrintOptions options);
    ~OfficePrintService() override;
    OfficePrintService(const OfficePrintService&) = delete;
    OfficePrintService& operator=(const OfficePrintService&) = delete;

    void RenderPdf(const std::filesystem::path& document, const std::filesystem::path& pdf) override;
    void PrintDocument(const std::filesystem::path& document, const std::string& jobName) override;

    const PrintOptions& Options() const { return options_; }
    // Raises the error rendering or printing would raise for a missing program (the suite, and
    // the spooler when no print folder is set) or, when spooling, for a printer the print
    // server does not have (or no default printer), so a caller can refuse before long work.
    // `printing`: check for printing, not only rendering. The printer is asked about once.
    void CheckPrograms(bool printing);

private:
    // Renders into the work folder; returns the PDF's path there.
    std::filesystem::path Render(const std::filesystem::path& document);
    // The rendered PDF cut down to the selected pages; `pdf` itself when every page is kept.
    std::filesystem::path SelectPages(const std::filesystem::path& pdf);
    void RunPdfTool(const std::string& program, std::vector<std::string> arguments, const std::string& what);
    const std::filesystem::path& WorkFolder();
    void Spool(const std::filesystem::path& pdf, const std::string& jobName);
    void CheckPrinter();

    PrintOptions options_;
    std::mutex mutex_;
    std::filesystem::path work_;
    bool printerChecked_ = false;
};

}  // namespace paperloom::ui
