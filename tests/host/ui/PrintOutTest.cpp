// Document.PrintOut: what the print service is handed (a copy of the document as it stands,
// unsaved edits included, without touching the document's own file) and how its failures come
// back. Real rendering is tested through the paperloom command.

#include <gtest/gtest.h>

#include "host/HostError.h"
#include "host/ui/UiServices.h"
#include "host/word/Document.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <memory>
#include <random>

namespace paperloom::word {
namespace {

namespace fs = std::filesystem;

class Scratch : public paperloom::test::ScratchFolder {
public:
    Scratch() : ScratchFolder("paperloom-printout-test") {}
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

}  // namespace
}  // namespace paperloom::word
