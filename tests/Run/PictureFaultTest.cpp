// A picture a template shows from its records disappears while a print document is being
// built: the run finishes, the records before show the picture, the records after show the
// missing-picture text naming the file, and no record is lost.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PrintDocTestSupport.h"
#include "Run/modPLRFunction.h"
#include "Run/modPLRPrint.h"
#include "host/ui/UiServices.h"
#include "host/word/fields/TestImages.h"

namespace paperloom::run::test {
namespace {

constexpr long kStamps = 4;
constexpr const char* kMissing = "!画像ファイルが見つかりません";

// A progress service whose window removes a file when it is told the build reached a record.
class RemovingProgress final : public ui::ProgressService {
public:
    RemovingProgress(std::filesystem::path file, std::string atLabel)
        : file_(std::move(file)), atLabel_(std::move(atLabel)) {}
    std::unique_ptr<ui::ProgressWindow> CreateProgressWindow() override { return std::make_unique<Window>(*this); }
    bool removed = false;

private:
    class Window final : public ui::ProgressWindow {
    public:
        explicit Window(RemovingProgress& owner) : owner_(owner) {}
        void SetCaption(const std::string&) override {}
        void SetText(const std::string& text) override {
            if (!owner_.removed && text.find(owner_.atLabel_) != std::string::npos)
                owner_.removed = std::filesystem::remove(owner_.file_);
        }
        void SetValue(long, long) override {}
        void Show() override { visible_ = true; }
        void Hide() override { visible_ = false; }
        bool Visible() const override { return visible_; }

    private:
        RemovingProgress& owner_;
        bool visible_ = false;
    };

    std::filesystem::path file_;
    std::string atLabel_;
};

// Stamps 1..4, each showing the same seal picture: "印 <Id> [picture] 終".
std::filesystem::path SaveStampTemplate(ScratchFolder& folder) {
    RunSqlite(folder.File("stamps.db"),
              "CREATE TABLE Stamps (Id INTEGER, Seal TEXT);"
              "INSERT INTO Stamps VALUES (1, 'seal.png'), (2, 'seal.png'), (3, 'seal.png'), (4, 'seal.png');");
    kit::TemplateWriter writer(sk::MakeDocument(sk::Paragraph(sk::Run("印 [[id]] [[seal]] 終")), "stamps.docx"));
    kit::HeaderBinding header;
    header.source = {"4", "stamps.db", "", "", "2", "Stamps", "", "Id"};
    writer.WriteHeaderBinding(header);
    writer.ReplaceMarker("[[id]]", kit::DataFieldCode("Id"));
    writer.ReplaceMarker("[[seal]]", kit::PictureFieldCode("Seal"));
    const auto path = folder.File("stamps.docx");
    writer.SaveAs(path);
    return path;
}

// The pages of a text, split at its page breaks.
std::vector<std::string> Pages(const std::string& text) {
    std::vector<std::string> pages(1);
    for (const char c : text) {
        if (c == '\f') pages.emplace_back();
        else pages.back() += c;
    }
    return pages;
}

TEST(PictureFault, APictureRemovedMidRunShowsTheMissingPictureTextFromThatRecordOn) {
    ScratchFolder folder;
    word::test::WriteFile(folder.File("seal.png"), word::test::RedPng());
    const auto templatePath = SaveStampTemplate(folder);
    // Removed when the build reaches the third record.
    auto progress = std::make_shared<RemovingProgress>(folder.File("seal.png"), "(3/" + std::to_string(kStamps) + ")");
    ui::ScopedServices services(ui::UiServices{nullptr, nullptr, progress, nullptr, nullptr});

    word::Application app;
    BindingRegistry registry;
    auto report = app.Documents().Open(templatePath);
    ASSERT_NE(modPLRFunction::OpenDocumentBind(registry, report), nullptr);
    std::shared_ptr<word::Document> printDoc;
    ASSERT_NO_THROW(printDoc = modPLRFunction::BuildPrintDoc(app, registry, report, true, false));
    ASSERT_NE(printDoc, nullptr);
    ASSERT_TRUE(progress->removed) << "the build never reported the third record";

    const auto pages = Pages(printDoc->Content().Text());
    ASSERT_EQ(pages.size(), static_cast<std::size_t>(kStamps)) << printDoc->Content().Text();
    for (long stamp = 1; stamp <= kStamps; ++stamp) {
        const std::string& page = pages[static_cast<std::size_t>(stamp - 1)];
        EXPECT_NE(page.find("印 " + std::to_string(stamp)), std::string::npos) << "record " << stamp << " is there";
        EXPECT_NE(page.find("終"), std::string::npos) << "nothing after the picture is lost on page " << stamp;
        const bool missing = page.find(kMissing) != std::string::npos;
        EXPECT_EQ(missing, stamp >= 3) << "page " << stamp << ": " << page;
        if (missing) {
            EXPECT_NE(page.find(folder.File("seal.png").string()), std::string::npos) << page;
        }
    }
    // The records before the file went show the picture itself.
    long drawings = 0;
    const std::string body = printDoc->Package().PartBytes(printDoc->Package().MainDocumentPart());
    for (auto at = body.find("<w:drawing"); at != std::string::npos; at = body.find("<w:drawing", at + 1)) ++drawings;
    EXPECT_EQ(drawings, 2);
    printDoc->Close();
}

}  // namespace
}  // namespace paperloom::run::test
