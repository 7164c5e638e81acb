#pragma once
// Printing: saved documents rendered to PDF and handed to the system's print spooler, or
// dropped as PDF files into a print folder where a machine has no printer.

#include <filesystem>
#include <string>

namespace paperloom::ui {

class PrintService {
public:
    virtual ~PrintService() = default;
    // Renders the saved document at `document` to a PDF at `pdf`; an existing file there is
    // replaced all at once, never left half written.
    virtual void RenderPdf(const std::filesystem::path& document, const std::filesystem::path& pdf) = 0;
    // Prints the saved document. `jobName` names the job for the spooler, and the PDF in a
    // print folder.
    virtual void PrintDocument(const std::filesystem::path& document, const std::string& jobName) = 0;
};

}  // namespace paperloom::ui
