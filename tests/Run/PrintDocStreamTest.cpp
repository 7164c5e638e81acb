// Print documents written into their file while they are built hold, part for part, what the
// print document built in memory and then saved holds: with detail pages, a bookmarked detail
// table (kept once, as in memory), text boxes in both forms, a copied first header, hostile
// bytes, the working copy rebuilt every tenth record, and the bundled samples. Slices of the
// records put together give the whole run's records; a target that cannot be written is
// refused before the build and stays as it was.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "PrintDocWellFormedSupport.h"
#include "Run/modPLRFunction.h"
#include "Run/modPLRPrint.h"
#include "host/HostError.h"
#include "host/ui/UiServices.h"
#ifdef PAPERLOOM_TEST_SAMPLES
#include "Samples.h"
#endif

namespace paperloom::run::test {
namespace {

using modPLRFunction::BuildPrintDoc;
using modPLRFunction::OpenDocumentBind;
using modPLRFunction::PrintDocFile;
using modPLRFunction::WritePrintDoc;

// A new document's properties carry the time it was made, which two builds need not share.
std::string WithoutTimes(std::string xml) {
    for (const std::string element : {"dcterms:created", "dcterms:modified"}) {
        const auto from = xml.find("<" + element);
        const auto to = xml.find("</" + element + ">");
        if (from != std::string::npos && to != std::string::npos) xml.erase(from, to + element.size() + 3 - from);
    }
    return xml;
}

std::map<std::string, std::string> Parts(const std::filesystem::path& path) {
    const std::string stored = paperloom::test::ReadWholeFile(path);
    std::map<std::string, std::string> parts;
    for (auto& entry : docx::zip::Read(std::as_bytes(std::span(stored.data(), stored.size())), docx::PackageLimits{}))
        parts[entry.name] = entry.name == "docProps/core.xml" ? WithoutTimes(entry.data) : std::move(entry.data);
    return parts;
}

// The shown text of the main part, and its page breaks.
struct BodyText {
    std::string text;
    long pageBreaks = 0;
};

BodyText MainText(const std::filesystem::path& path) {
    const auto parts = Parts(path);
    pugi::xml_document document;
    const std::string& xml = parts.at("word/document.xml");
    EXPECT_TRUE(document.load_buffer(xml.data(), xml.size()));
    BodyText body;
    for (const auto& node : document.select_nodes("//w:t | //w:br[@w:type='page']")) {
        if (std::string_view(node.node().name()) == "w:br") ++body.pageBreaks;
        else body.text += node.node().text().get();
    }
    return body;
}

class PrintDocStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        services_ = std::make_unique<ui::ScopedServices>(
            ui::UiServices{nullptr, nullptr, std::make_shared<RecordingProgress>(), nullptr, nullptr});
    }

    std::shared_ptr<word::Document> Open(const std::filesystem::path& path) {
        auto report = app_.Documents().Open(path);
        EXPECT_NE(OpenDocumentBind(registry_, report), nullptr);
        return report;
    }

    // Built in memory and saved, then written while built; both compared part by part.
    void ExpectSameBothWays(const std::filesystem::path& templatePath, const std::string& name) {
        SCOPED_TRACE(name);
        const auto report = Open(templatePath);
        const auto inMemory = BuildPrintDoc(app_, registry_, report, true, false);
        ASSERT_NE(inMemory, nullptr);
        inMemory->SaveAs(folder_.File(name + "-memory.docx"));
        inMemory->Close();
        const long documents = app_.Documents().Count();

        const long written = WritePrintDoc(app_, registry_, report, {folder_.File(name + "-streamed.docx")});
        EXPECT_GT(written, 0);
        // The print document written into its file is not left open.
        EXPECT_EQ(app_.Documents().Count(), documents);

        const auto memory = Parts(folder_.File(name + "-memory.docx"));
        const auto streamed = Parts(folder_.File(name + "-streamed.docx"));
        ASSERT_EQ(memory.size(), streamed.size());
        for (const auto& [part, bytes] : memory) {
            ASSERT_TRUE(streamed.contains(part)) << part;
            EXPECT_TRUE(streamed.at(part) == bytes) << part << " differs (" << bytes.size() << " against "
                                                    << streamed.at(part).size() << " bytes)";
        }
        report->Close();
    }

    ScratchFolder folder_;
    word::Application app_;
    BindingRegistry registry_;
    std::unique_ptr<ui::ScopedServices> services_;
};

TEST_F(PrintDocStreamTest, WrittenWhileBuiltEqualsBuiltInMemoryPartByPart) {
    MakeOrdersDatabase(folder_.File("orders.db"));
    ExpectSameBothWays(SaveOrderTemplate(folder_.File("orders.docx")), "orders");

    OrderTemplateOptions boxed;
    boxed.textBox = true;
    boxed.headerText = "ヘッダ";
    boxed.copyPrimaryHeader = true;
    boxed.dataRows = 2;
    ExpectSameBothWays(SaveOrderTemplate(folder_.File("boxed.docx"), boxed), "boxed");

    std::filesystem::create_directories(folder_.File("hostile"));
    MakeHostileOrdersDatabase(folder_.File("hostile/orders.db"), 12);
    TitledTemplateOptions titled;
    titled.headerText = "株式会社ヘッダ";
    titled.hostileBytes = true;
    ExpectSameBothWays(SaveTitledTemplate(folder_.File("hostile/titled.docx"), titled), "titled");

#ifdef PAPERLOOM_TEST_SAMPLES
    const auto samples = samples::MakeSamples(folder_.File("samples"), false);
    ExpectSameBothWays(samples.invoice, "invoice");
    ExpectSameBothWays(samples.invoicePages, "invoice-pages");
#endif
}

TEST_F(PrintDocStreamTest, SlicesOfTheRecordsPutTogetherGiveTheWholeRun) {
    MakeOrdersDatabase(folder_.File("orders.db"));
    const auto report = Open(SaveOrderTemplate(folder_.File("orders.docx")));
    ASSERT_EQ(WritePrintDoc(app_, registry_, report, {folder_.File("all.docx")}), kOrders);
    // Record 3 runs over three detail pages; record 10 starts a new working copy.
    ASSERT_EQ(WritePrintDoc(app_, registry_, report, {folder_.File("a.docx"), 1, 3}), 3);
    ASSERT_EQ(WritePrintDoc(app_, registry_, report, {folder_.File("b.docx"), 4, 11}), 8);
    // A last record past the end stops at the end.
    ASSERT_EQ(WritePrintDoc(app_, registry_, report, {folder_.File("c.docx"), 12, 1000}), kOrders - 11);
    // A slice past the end holds no record.
    EXPECT_EQ(WritePrintDoc(app_, registry_, report, {folder_.File("none.docx"), kOrders + 1, kOrders + 5}), 0);

    const BodyText whole = MainText(folder_.File("all.docx"));
    BodyText joined;
    for (const char* slice : {"a.docx", "b.docx", "c.docx"}) {
        const BodyText part = MainText(folder_.File(slice));
        joined.text += part.text;
        joined.pageBreaks += part.pageBreaks;
    }
    EXPECT_EQ(joined.text, whole.text);
    // Between two slices the page break that separates their records is not written.
    EXPECT_EQ(joined.pageBreaks + 2, whole.pageBreaks);
    // Records keep their numbers in a slice: the sequence number shows 4 on the slice's first.
    EXPECT_NE(MainText(folder_.File("b.docx")).text.find("連番 4 "), std::string::npos);
    // The template's own binding was not moved by any of it.
    EXPECT_EQ(modPLRFunction::FindDocumentBind(registry_, *report)->GetRecordIndex(), 1);
}

TEST_F(PrintDocStreamTest, ATargetThatCannotBeWrittenIsRefusedAndKept) {
    MakeOrdersDatabase(folder_.File("orders.db"), 3);
    const auto report = Open(SaveOrderTemplate(folder_.File("orders.docx")));
    const long documents = app_.Documents().Count();

    std::filesystem::create_directory(folder_.File("folder.docx"));
    EXPECT_THROW(WritePrintDoc(app_, registry_, report, {folder_.File("folder.docx")}), host::HostError);
    EXPECT_TRUE(std::filesystem::is_directory(folder_.File("folder.docx")));

    const auto kept = folder_.File("kept.docx");
    std::ofstream(kept) << "earlier";
    std::filesystem::permissions(kept, std::filesystem::perms::owner_read);
    EXPECT_THROW(WritePrintDoc(app_, registry_, report, {kept}), host::HostError);
    EXPECT_EQ(paperloom::test::ReadWholeFile(kept), "earlier");
    // The failed builds closed what they opened and left no temporary file.
    EXPECT_EQ(app_.Documents().Count(), documents);
    long files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.File(""))) ++files;
    EXPECT_EQ(files, 4);  // orders.db, orders.docx, folder.docx, kept.docx
}

}  // namespace
}  // namespace paperloom::run::test
