// Print documents every reader opens: a copied first header, bytes XML 1.0 forbids in the
// template and in database values, text boxes whose legacy fallback shows each record's
// values, records that keep their own paragraphs around the page breaks between them, and
// templates nested too deeply for the model refused with an error instead of a crash.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PrintDocWellFormedSupport.h"
#include "Run/modPLRFunction.h"
#include "Run/modPLRPrint.h"
#include "host/HostError.h"
#include "host/docx/WellFormedXml.h"
#include "host/ui/UiServices.h"

namespace paperloom::run::test {
namespace {

using modPLRFunction::BuildPrintDoc;
using modPLRFunction::OpenDocumentBind;

constexpr long kRecords = 12;  // past the working copy rebuilt at record 10
constexpr std::string_view kReplacementText = "\xEF\xBF\xBD";

// The text of the w:t elements under `node`, in order.
std::string TextUnder(pugi::xml_node node) {
    std::string text;
    for (const auto& t : node.select_nodes(".//w:t")) text += t.node().text().get();
    return text;
}

std::vector<std::byte> FileBytes(const std::filesystem::path& path) {
    const std::string bytes = paperloom::test::ReadWholeFile(path);
    const auto* data = reinterpret_cast<const std::byte*>(bytes.data());
    return {data, data + bytes.size()};
}

class PrintDocWellFormedTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeHostileOrdersDatabase(folder_.File("orders.db"), kRecords);
        services_ = std::make_unique<ui::ScopedServices>(
            ui::UiServices{nullptr, nullptr, std::make_shared<RecordingProgress>(), nullptr, nullptr});
    }

    std::shared_ptr<word::Document> PrintAll(const TitledTemplateOptions& options) {
        report_ = app_.Documents().Open(SaveTitledTemplate(folder_.File("titled.docx"), options));
        EXPECT_NE(OpenDocumentBind(registry_, report_), nullptr);
        auto print = BuildPrintDoc(app_, registry_, report_, true, false);
        EXPECT_NE(print, nullptr);
        return print;
    }

    // The print document saved and read back as a package.
    docx::Package Saved(const std::shared_ptr<word::Document>& print, const std::string& name) {
        print->SaveAs(folder_.File(name));
        return docx::Package::Open(folder_.File(name));
    }

    ScratchFolder folder_;
    word::Application app_;
    BindingRegistry registry_;
    std::shared_ptr<word::Document> report_;
    std::unique_ptr<ui::ScopedServices> services_;
};

TEST_F(PrintDocWellFormedTest, ACopiedHeaderAndHostileTemplateAndDatabaseTextGiveWellFormedParts) {
    TitledTemplateOptions options;
    options.headerText = "株式会社ヘッダ";
    options.hostileBytes = true;
    const auto print = PrintAll(options);
    print->SaveAs(folder_.File("print.docx"));

    const auto bytes = FileBytes(folder_.File("print.docx"));
    EXPECT_GE(docx::testing::ExpectWellFormedParts(bytes), 8u);
    const auto reopened = word::Document::Open(folder_.File("print.docx"));
    const auto header = reopened->Sections().First().Headers().Item(word::wdHeaderFooterPrimary);
    ASSERT_TRUE(header.Exists());
    EXPECT_EQ(header.Range().Text(), "株式会社ヘッダ\r");

    // The hostile value shows as far as it is text: "C02", then replacements for what is not.
    const std::string text = reopened->Content().Text();
    const auto c02 = text.find("顧客 C02");
    ASSERT_NE(c02, std::string::npos) << text;
    EXPECT_NE(text.find(kReplacementText, c02), std::string::npos);
    EXPECT_NE(text.find("連番" + std::string(kReplacementText)), std::string::npos) << "the template's own bytes";
    for (long order = 1; order <= kRecords; ++order) EXPECT_NE(text.find("以上 " + std::to_string(order)), std::string::npos);

    // The template itself, saved unchanged, is mended too.
    report_->SaveAs(folder_.File("template-copy.docx"));
    docx::testing::ExpectWellFormedParts(FileBytes(folder_.File("template-copy.docx")));
}

TEST_F(PrintDocWellFormedTest, TheTextBoxFallbackShowsEveryRecordsOwnValues) {
    const auto print = PrintAll({});
    const auto package = Saved(print, "print.docx");
    const auto boxes = package.Xml("word/document.xml").select_nodes("//mc:AlternateContent");
    ASSERT_EQ(boxes.size(), static_cast<std::size_t>(kRecords));
    long order = 0;
    for (const auto& box : boxes) {
        ++order;
        const auto drawn = box.node().select_node("mc:Choice//w:txbxContent").node();
        const auto legacy = box.node().select_node("mc:Fallback//v:textbox/w:txbxContent").node();
        ASSERT_TRUE(drawn && legacy) << "order " << order;
        EXPECT_NE(TextUnder(drawn).find("箱 " + Customer(order)), std::string::npos) << TextUnder(drawn);
        EXPECT_EQ(TextUnder(legacy), TextUnder(drawn)) << "order " << order;
    }
}

TEST_F(PrintDocWellFormedTest, EveryRecordKeepsItsOwnParagraphsAroundThePageBreaks) {
    const auto print = PrintAll({});
    const auto package = Saved(print, "print.docx");
    long titles = 0;
    long closings = 0;
    for (const auto& found : package.Xml("word/document.xml").select_nodes("/w:document/w:body/w:p")) {
        const auto paragraph = found.node();
        const std::string text = TextUnder(paragraph);
        const std::string align = paragraph.child("w:pPr").child("w:jc").attribute("w:val").value();
        const bool title = text.find("顧客 ") != std::string::npos;
        const bool closing = text.find("以上 ") != std::string::npos;
        EXPECT_FALSE(title && closing) << "two records ran into one paragraph: " << text;
        if (title) {
            ++titles;
            EXPECT_EQ(align, "center") << text;
        }
        if (closing) {
            ++closings;
            EXPECT_EQ(align, "right") << text;
        }
    }
    EXPECT_EQ(titles, kRecords);
    EXPECT_EQ(closings, kRecords);
    // Each record is a page of its own still.
    const std::string text = print->Content().Text();
    EXPECT_EQ(CountOf(text, "\f"), kRecords - 1);
    EXPECT_EQ(text.find("\f\r\r"), std::string::npos) << "no empty paragraph between the records";
}

// The template's main part with `paragraph` added before its last paragraph.
std::filesystem::path NestedTemplate(const std::filesystem::path& path, const std::string& paragraph) {
    SaveTitledTemplate(path, {false, "", false});
    RewriteEntry(path, "word/document.xml", "<w:sectPr", paragraph + "<w:sectPr");
    return path;
}

TEST_F(PrintDocWellFormedTest, ATemplateNestedTooDeeplyIsAnErrorNotACrash) {
    // Runs nested 200,000 deep: any walk that recurses without a limit would overflow the stack.
    std::string runs;
    constexpr int kDeep = 200000;
    runs.reserve(kDeep * 11 + 64);
    runs += "<w:p>";
    for (int i = 0; i < kDeep; ++i) runs += "<w:r>";
    runs += "<w:t>x</w:t>";
    for (int i = 0; i < kDeep; ++i) runs += "</w:r>";
    runs += "</w:p>";
    const auto deep = NestedTemplate(folder_.File("deep.docx"), runs);
    try {
        app_.Documents().Open(deep);
        ADD_FAILURE() << "a template nested 200,000 deep was opened";
    } catch (const host::HostError& error) {
        EXPECT_NE(error.Description().find("levels deep"), std::string::npos) << error.Description();
    }
    EXPECT_EQ(app_.Documents().Count(), 0);

    // Within what the package reads, deeper than the text model walks: refused when the print
    // document is built, which cleans up after itself.
    std::string links = "<w:p>";
    for (int i = 0; i < 300; ++i) links += "<w:hyperlink>";
    links += "<w:r><w:t>x</w:t></w:r>";
    for (int i = 0; i < 300; ++i) links += "</w:hyperlink>";
    links += "</w:p>";
    const auto report = app_.Documents().Open(NestedTemplate(folder_.File("links.docx"), links));
    EXPECT_THROW(
        {
            OpenDocumentBind(registry_, report);
            BuildPrintDoc(app_, registry_, report, true, false);
        },
        host::HostError);
    EXPECT_EQ(app_.Documents().Count(), 1);
}

}  // namespace
}  // namespace paperloom::run::test
