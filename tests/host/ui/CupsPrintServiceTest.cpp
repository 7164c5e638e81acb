// The print service against a real print server: a private CUPS scheduler whose printers write
// their jobs into folders, the real lp and lpstat, and a stand-in for the office suite (so the
// bytes that arrive are known). Label "cups".

#include <gtest/gtest.h>

#include "host/HostError.h"
#include "host/ui/PrintOfficeService.h"
#include "support/CupsTestServer.h"
#include "support/TestFiles.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace paperloom::ui {
namespace {

namespace fs = std::filesystem;
using paperloom::test::CupsTestServer;
using namespace std::chrono_literals;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sets variables for the life of the object and puts the old values back.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const std::map<std::string, std::string>& changes) {
        for (const auto& [name, value] : changes) {
            const char* old = std::getenv(name.c_str());
            saved_.emplace(name, old ? std::optional<std::string>(old) : std::nullopt);
            Set(name, value.empty() ? std::nullopt : std::optional<std::string>(value));
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) Set(name, value);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    static void Set(const std::string& name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

// A PDF of `pages` empty pages, each object where the cross-reference table says.
std::string PdfOfPages(int pages) {
    std::vector<std::string> objects{"<< /Type /Catalog /Pages 2 0 R >>"};
    std::string kids;
    for (int n = 0; n < pages; ++n) kids += std::to_string(3 + n) + " 0 R ";
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
    for (int n = 0; n < pages; ++n) objects.emplace_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>");
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t n = 0; n < objects.size(); ++n) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(n + 1) + " 0 obj\n" + objects[n] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

// The page count pdfinfo reads, or -1.
int PageCount(const fs::path& pdf) {
    const std::string command = "pdfinfo '" + pdf.string() + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return -1;
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) output += buffer;
    const auto at = output.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(output.c_str() + at + 6);
}

bool PopplerInstalled() { return std::system("command -v pdfinfo pdfseparate pdfunite >/dev/null 2>&1") == 0; }

class CupsPrintServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!CupsTestServer::Available()) GTEST_SKIP() << "the print server (cups-daemon, cups-client) is not installed";
        server_.emplace();
        environment_.emplace(server_->Environment());
    }
    void TearDown() override {
        environment_.reset();
        server_.reset();
    }

    // Printing through the real spooler, with a suite stand-in that "renders" a document as
    // "%PDF-1.4 " + its bytes.
    PrintOptions Options(const std::string& printer) {
        const fs::path office = scratch_.Path() / "office";
        std::ofstream(office) << R"(#!/bin/sh
out=""; prev=""
for a in "$@"; do [ "$prev" = "--outdir" ] && out="$a"; prev="$a"; done
{ printf '%%PDF-1.4 '; cat "$a"; } > "$out/$(basename "$a" .docx).pdf"
)";
        fs::permissions(office, fs::perms::owner_all);
        PrintOptions options;
        options.officeProgram = office.string();
        options.printer = printer;
        options.timeout = 60s;
        return options;
    }
    // A suite stand-in that "renders" a document as its bytes, for documents that are PDFs.
    PrintOptions CopyingOptions(const std::string& printer) {
        PrintOptions options = Options(printer);
        std::ofstream(options.officeProgram, std::ios::trunc) << R"(#!/bin/sh
out=""; prev=""
for a in "$@"; do [ "$prev" = "--outdir" ] && out="$a"; prev="$a"; done
cat "$a" > "$out/$(basename "$a" .docx).pdf"
)";
        return options;
    }
    fs::path Document(const std::string& text) {
        const fs::path path = scratch_.Path() / "report.docx";
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::string PrintError(const std::string& printer) {
        try {
            OfficePrintService(Options(printer)).PrintDocument(Document("x"), "job");
        } catch (const host::HostError& error) {
            return error.Description();
        }
        return "(no error)";
    }

    paperloom::test::ScratchFolder scratch_{"paperloom-cupstest"};
    std::optional<CupsTestServer> server_;
    std::optional<ScopedEnvironment> environment_;
};

TEST_F(CupsPrintServiceTest, JobsReachTheNamedPrinterOrTheDefaultWithTheirTitleAndBytes) {
    server_->AddPrinter("Office");
    server_->AddPrinter("Label", true);

    OfficePrintService(Options("Office")).PrintDocument(Document("first"), "請求書 3月.docx");
    auto jobs = server_->WaitForJobs("Office", 1);
    ASSERT_EQ(jobs.size(), 1U) << server_->Log();
    EXPECT_EQ(Read(jobs[0].file), "%PDF-1.4 first");
    EXPECT_EQ(jobs[0].title, "請求書 3月");

    // No printer named: the server's default; the other printer gets nothing more.
    OfficePrintService(Options("")).PrintDocument(Document("second"), "Document2");
    jobs = server_->WaitForJobs("Label", 1);
    ASSERT_EQ(jobs.size(), 1U) << server_->Log();
    EXPECT_EQ(Read(jobs[0].file), "%PDF-1.4 second");
    EXPECT_EQ(jobs[0].title, "Document2");
    EXPECT_EQ(server_->WaitForJobs("Office", 2, 1s).size(), 1U);
}

TEST_F(CupsPrintServiceTest, AnUnknownPrinterOrNoDefaultIsAnErrorListingTheServersPrinters) {
    std::string message = PrintError("Office");
    EXPECT_NE(message.find("has no printers"), std::string::npos) << message;

    server_->AddPrinter("Office");
    server_->AddPrinter("Label");
    message = PrintError("");
    EXPECT_NE(message.find("no default printer"), std::string::npos) << message;
    EXPECT_NE(message.find("Label"), std::string::npos) << message;
    EXPECT_NE(message.find("Office"), std::string::npos) << message;

    server_->AddPrinter("Archive", true);
    message = PrintError("Ofice");
    EXPECT_NE(message.find("no printer named \"Ofice\""), std::string::npos) << message;
    EXPECT_NE(message.find("Archive (default)"), std::string::npos) << message;
    EXPECT_NE(message.find("Office"), std::string::npos) << message;
    for (const char* printer : {"Office", "Label", "Archive"})
        EXPECT_TRUE(server_->WaitForJobs(printer, 1, 1s).empty()) << printer << " printed a refused job";
}

TEST_F(CupsPrintServiceTest, ASelectionOfPagesReachesThePrinterAndThePrintFolderWithOnlyThosePages) {
    if (!PopplerInstalled()) GTEST_SKIP() << "poppler-utils is not installed";
    server_->AddPrinter("Office", true);
    const fs::path document = Document(PdfOfPages(6));
    ASSERT_EQ(PageCount(document), 6);

    PrintOptions options = CopyingOptions("Office");
    options.pages = PageSelection::Parse("5, 2-3");
    OfficePrintService(options).PrintDocument(document, "invoice");
    auto jobs = server_->WaitForJobs("Office", 1);
    ASSERT_EQ(jobs.size(), 1U) << server_->Log();
    EXPECT_EQ(PageCount(jobs[0].file), 3);
    EXPECT_EQ(jobs[0].title, "invoice");

    // Pages past the end are left out; the default printer when none is named.
    options = CopyingOptions("");
    options.pages = PageSelection::Parse("6-9");
    OfficePrintService(options).PrintDocument(document, "tail");
    jobs = server_->WaitForJobs("Office", 2);
    ASSERT_EQ(jobs.size(), 2U) << server_->Log();
    EXPECT_EQ(PageCount(jobs[1].file), 1);

    // None of them in the document: an error, and no job.
    options.pages = PageSelection::Parse("7-");
    try {
        OfficePrintService(options).PrintDocument(document, "nothing");
        ADD_FAILURE() << "printed pages the document does not have";
    } catch (const host::HostError& error) {
        EXPECT_NE(error.Description().find("6 pages"), std::string::npos) << error.Description();
    }
    EXPECT_EQ(server_->WaitForJobs("Office", 3, 2s).size(), 2U);

    // The print folder gets the same pages.
    options = CopyingOptions("");
    options.printDir = scratch_.Path() / "out";
    options.pages = PageSelection::Parse("1,4-");
    OfficePrintService(options).PrintDocument(document, "folder");
    EXPECT_EQ(PageCount(options.printDir / "folder.pdf"), 4);
}

}  // namespace
}  // namespace paperloom::ui
