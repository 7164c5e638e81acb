// Document.PrintOut: what the print service is handed (a copy of the document as it stands,
// unsaved edits included, without touching the document's own file), how its failures come
// back, and a real rendering of Japanese text through the office suite.

#include <gtest/gtest.h>

#include "host/HostError.h"
#include "host/docx/Package.h"
#include "host/ui/PrintOfficeService.h"
#include "host/ui/UiServices.h"
#include "host/word/Document.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

namespace paperloom::word {
namespace {

namespace fs = std::filesystem;

class Scratch {
public:
    Scratch() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("paperloom-printout-test-" + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// Keeps what it is asked to print, or fails as told.
class RecordingPrintService final : public ui::PrintService {
public:
    void RenderPdf(const fs::path&, const fs::path&) override {}
    void PrintDocument(const fs::path& document, const std::string& jobName) override {
        if (!failure.empty()) throw host::HostError(4198, "test", failure);
        printedPath = document;
        printedText = Document::Open(document)->Content().Text();
        job = jobName;
    }
    std::string failure;
    fs::path printedPath;
    std::string printedText;
    std::string job;
};

TEST(PrintOut, PrintsACopyOfTheDocumentAsItStandsAndLeavesItsFileAlone) {
    const Scratch scratch;
    auto service = std::make_shared<RecordingPrintService>();
    const ui::ScopedServices scope({nullptr, nullptr, nullptr, nullptr, service});

    const fs::path file = scratch.Path() / "見積書.docx";
    {
        auto original = Document::Blank();
        original->Content().InsertAfter("saved text");
        original->SaveAs(file);
    }
    auto doc = Document::Open(file);
    doc->Content().InsertAfter(" and an edit");
    doc->SetSaved(false);
    const auto before = fs::last_write_time(file);

    doc->PrintOut();
    EXPECT_EQ(service->job, "見積書.docx");
    EXPECT_NE(service->printedText.find("saved text and an edit"), std::string::npos) << service->printedText;
    EXPECT_NE(service->printedPath, file);
    EXPECT_FALSE(fs::exists(service->printedPath)) << "the temporary copy is removed";
    EXPECT_EQ(doc->FullName(), file.string());
    EXPECT_FALSE(doc->Saved());
    EXPECT_EQ(fs::last_write_time(file), before);

    service->failure = "the printer is on fire";
    try {
        doc->PrintOut();
        FAIL() << "no error";
    } catch (const host::HostError& error) {
        EXPECT_EQ(error.Number(), 4198);
        EXPECT_NE(error.Description().find("見積書.docx could not be printed"), std::string::npos) << error.Description();
        EXPECT_NE(error.Description().find("the printer is on fire"), std::string::npos);
    }
    doc->Close();
    EXPECT_THROW(doc->PrintOut(), host::HostError);
}

TEST(PrintOutOffice, JapaneseTextReachesThePrintFolderAsText) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0 || std::system("command -v pdftotext >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no office suite or pdftotext";
    const Scratch scratch;
    ui::PrintOptions options;
    options.printDir = scratch.Path() / "printed";
    const ui::ScopedServices scope({nullptr, nullptr, nullptr, nullptr, std::make_shared<ui::OfficePrintService>(options)});

    auto doc = Document::Blank("請求書");
    doc->Content().InsertAfter("御請求金額 12,345円");
    doc->PrintOut();
    const fs::path pdf = options.printDir / "請求書.pdf";
    ASSERT_TRUE(fs::exists(pdf));
    const fs::path text = scratch.Path() / "text.txt";
    ASSERT_EQ(std::system(("pdftotext '" + pdf.string() + "' '" + text.string() + "'").c_str()), 0);
    std::FILE* in = std::fopen(text.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    std::string extracted(4096, '\0');
    extracted.resize(std::fread(extracted.data(), 1, extracted.size(), in));
    std::fclose(in);
    // Text, not boxes: the glyphs came from a font with Japanese in it.
    // (pdftotext may put a blank where the font changes between digits and kanji.)
    EXPECT_NE(extracted.find("御請求金額"), std::string::npos) << extracted;
    EXPECT_NE(extracted.find("12,345"), std::string::npos) << extracted;
    EXPECT_NE(extracted.find("円"), std::string::npos) << extracted;
}

}  // namespace
}  // namespace paperloom::word
