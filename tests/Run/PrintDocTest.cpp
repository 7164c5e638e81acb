// Print documents end to end on an orders template and database: the current record or every
// record, detail pages of a fixed-size table, tables that grow instead, the first header and
// footer, unbound templates and empty record sources, text boxes, the working copy rebuilt
// every ten records, printing, and the clean-up when a build fails.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "PrintDocTestSupport.h"
#include "Run/modPLRFunction.h"
#include "Run/modPLRPrint.h"
#include "common/clsPLProperty.h"
#include "host/ui/PrintService.h"
#include "host/ui/UiServices.h"

namespace paperloom::run::test {
namespace {

using modPLRFunction::BuildPrintDoc;
using modPLRFunction::FindDocumentBind;
using modPLRFunction::OpenDocumentBind;

// Keeps the text of what it is asked to print, or fails as told.
class RecordingPrintService final : public ui::PrintService {
public:
    void RenderPdf(const std::filesystem::path&, const std::filesystem::path&) override {}
    void PrintDocument(const std::filesystem::path& document, const std::string&) override {
        if (!failure.empty()) throw host::HostError(4198, "test", failure);
        printedTexts.push_back(word::Document::Open(document)->Content().Text());
    }
    std::string failure;
    std::vector<std::string> printedTexts;
};

// The pages of a text, split at its page breaks.
std::vector<std::string> Pages(const std::string& text) {
    std::vector<std::string> pages(1);
    for (const char c : text) {
        if (c == '\f') {
            pages.emplace_back();
        } else {
            pages.back() += c;
        }
    }
    return pages;
}

class PrintDocTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeOrdersDatabase(folder_.File("orders.db"));
        services_ = std::make_unique<ui::ScopedServices>(ui::UiServices{nullptr, nullptr, progress_, nullptr, printer_});
    }

    std::shared_ptr<word::Document> OpenTemplate(const OrderTemplateOptions& options = {}) {
        auto report = app_.Documents().Open(SaveOrderTemplate(folder_.File("orders.docx"), options));
        if (options.bound) binding_ = OpenDocumentBind(registry_, report);
        return report;
    }

    std::shared_ptr<word::Document> Build(const std::shared_ptr<word::Document>& report, bool all,
                                          bool print = false) {
        return BuildPrintDoc(app_, registry_, report, all, print);
    }

    const std::vector<std::string>& Labels() const { return progress_->log->texts; }
    bool Labelled(const std::string& label) const {
        return std::find(Labels().begin(), Labels().end(), label) != Labels().end();
    }

    // The build left nothing behind but the print document it returned.
    void ExpectCleanedUp(const std::shared_ptr<word::Document>& report, long openDocuments) {
        EXPECT_TRUE(app_.ScreenUpdating());
        EXPECT_TRUE(report->Windows().Item(1).Visible());
        EXPECT_EQ(app_.Documents().Count(), openDocuments);
        EXPECT_EQ(registry_.Count(), binding_ ? 1 : 0) << "the working copy's clone is gone";
        EXPECT_FALSE(progress_->log->visible);
    }

    ScratchFolder folder_;
    word::Application app_;
    BindingRegistry registry_;
    std::shared_ptr<clsPLRDBBind> binding_;
    std::shared_ptr<RecordingProgress> progress_ = std::make_shared<RecordingProgress>();
    std::shared_ptr<RecordingPrintService> printer_ = std::make_shared<RecordingPrintService>();
    std::unique_ptr<ui::ScopedServices> services_;
};

TEST_F(PrintDocTest, CurrentRecordGivesThatRecordOnlyAndLeavesTheTemplateAlone) {
    const auto report = OpenTemplate();
    ASSERT_NE(binding_, nullptr);
    binding_->MovePos(5);
    const std::string templateText = report->Content().Text();

    const auto print = Build(report, false);
    ASSERT_NE(print, nullptr);
    const std::string text = print->Content().Text();
    EXPECT_NE(text.find("顧客 C05 番号 5"), std::string::npos) << text;
    EXPECT_NE(text.find("連番 1 頁"), std::string::npos) << text;
    EXPECT_NE(text.find(Item(5, 1)), std::string::npos);
    EXPECT_EQ(CountOf(text, "顧客 C"), 1);
    EXPECT_EQ(text.find('\f'), std::string::npos) << "one record of one detail page";
    EXPECT_EQ(text.find("以上"), text.rfind("以上"));

    EXPECT_EQ(binding_->RecordSource()->Fields().Item("Id").Value().AsInteger(), 5);
    EXPECT_EQ(report->Content().Text(), templateText);
    EXPECT_TRUE(print->Windows().Item(1).Visible());
    EXPECT_FALSE(print->Saved());
    ExpectCleanedUp(report, 2);
    EXPECT_EQ(app_.ActiveDocument(), print) << "the print document left for the user is in front";
    EXPECT_TRUE(Labelled("印刷用文書の作成の準備中です..."));
    EXPECT_TRUE(Labelled("印刷用文書の作成中です...(1/1)"));

    // The print document is an ordinary document: saved, it opens again with the same text.
    print->SaveAs(folder_.File("print.docx"));
    EXPECT_EQ(word::Document::Open(folder_.File("print.docx"))->Content().Text(), text);
}

TEST_F(PrintDocTest, AllRecordsPageByPageWithDetailPagesAndAWorkingCopyRebuiltEveryTenRecords) {
    const auto report = OpenTemplate();
    ASSERT_NE(binding_, nullptr);
    binding_->MovePos(8);

    // Each working copy closes: count the records already in the print document then, and
    // check that the copy's clone left the registry before it.
    std::vector<long> recordsAtClose;
    const auto cookie = app_.OnDocumentBeforeClose([&](const std::shared_ptr<word::Document>& closing, bool&) {
        EXPECT_EQ(FindDocumentBind(registry_, *closing), nullptr);
        for (const auto& document : app_.Documents()) {
            if (document == closing || document == report || FindDocumentBind(registry_, *document)) continue;
            const std::string text = document->Content().Text();
            long records = 0;
            for (long order = 1; order <= kOrders; ++order) records += CountOf(text, "顧客 " + Customer(order)) > 0;
            recordsAtClose.push_back(records);
        }
    });
    const auto print = Build(report, true);
    app_.RemoveHandler(cookie);
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(recordsAtClose, (std::vector<long>{9, 19, 25}))
        << "copies rebuilt before records 10 and 20, the last one closed at the end";

    const auto pages = Pages(print->Content().Text());
    ASSERT_EQ(pages.size(), static_cast<std::size_t>(kOrders + 2)) << "order 3 takes three pages";
    std::size_t page = 0;
    for (long order = 1; order <= kOrders; ++order) {
        const long orderPages = order == kLongOrder ? 3 : 1;
        for (long detailPage = 1; detailPage <= orderPages; ++detailPage, ++page) {
            const std::string& text = pages[page];
            EXPECT_EQ(CountOf(text, "顧客 " + Customer(order) + " "), 1) << "page " << page << ": " << text;
            EXPECT_NE(text.find("連番 " + std::to_string(order) + " "), std::string::npos) << text;
            EXPECT_EQ(CountOf(text, "顧客 C"), 1) << text;
        }
    }
    // Order 3's 23 lines over its three pages, ten a page, none twice.
    for (long line = 1; line <= kLongOrderLines; ++line) {
        const std::string item = Item(kLongOrder, line) + "\r";
        const auto onPage = static_cast<std::size_t>(kLongOrder - 1 + (line - 1) / 10);
        EXPECT_EQ(CountOf(pages[onPage], item), 1) << item;
        long everywhere = 0;
        for (const auto& text : pages) everywhere += CountOf(text, item);
        EXPECT_EQ(everywhere, 1) << item;
    }
    EXPECT_NE(pages[kLongOrder - 1].find("頁 3"), std::string::npos) << "DetailPageMax shows the pages";
    EXPECT_NE(pages[0].find("頁 \r"), std::string::npos) << "and nothing for a single page: " << pages[0];

    EXPECT_TRUE(Labelled("印刷用文書の作成中です...(1/25)"));
    EXPECT_TRUE(Labelled("印刷用文書の作成中です...(3-1/25)"));
    EXPECT_TRUE(Labelled("印刷用文書の作成中です...(3-2/25)"));
    EXPECT_TRUE(Labelled("印刷用文書の作成中です...(3-3/25)"));
    EXPECT_FALSE(Labelled("印刷用文書の作成中です...(1-1/25)")) << "single pages are not counted";
    EXPECT_TRUE(Labelled("印刷用文書の作成中です...(25/25)"));

    EXPECT_EQ(binding_->RecordSource()->Fields().Item("Id").Value().AsInteger(), 8);
    ExpectCleanedUp(report, 2);
}

TEST_F(PrintDocTest, ATableThatGrowsNeverAddsPages) {
    OrderTemplateOptions options;
    options.autoAdjustRowCount = true;
    options.dataRows = 2;
    const auto report = OpenTemplate(options);
    ASSERT_NE(binding_, nullptr);
    binding_->MovePos(kLongOrder);

    const auto print = Build(report, false);
    const std::string text = print->Content().Text();
    EXPECT_EQ(text.find('\f'), std::string::npos) << text;
    for (long line = 1; line <= kLongOrderLines; ++line) EXPECT_EQ(CountOf(text, Item(kLongOrder, line) + "\r"), 1);
    EXPECT_EQ(print->Tables().Count(), 1);
    EXPECT_EQ(print->Tables().Item(1).Rows().Count(), kLongOrderLines + 1);
}

TEST_F(PrintDocTest, AFixedTableWithOnlyItsCaptionRowKeepsTheRecordOnOnePage) {
    // Its capacity is 0: counting its pages must not divide by it.
    const auto path = SaveOrderTemplate(folder_.File("orders.docx"), {});
    {
        const auto doc = word::Document::Open(path);
        const auto rows = doc->Tables().Item(1).Rows();
        for (long row = rows.Count(); row > 1; --row) rows.Item(row).Delete();
        doc->Save();
    }
    const auto report = app_.Documents().Open(path);
    binding_ = OpenDocumentBind(registry_, report);
    ASSERT_NE(binding_, nullptr);
    binding_->MovePos(kLongOrder);

    const auto print = Build(report, false);
    const std::string text = print->Content().Text();
    EXPECT_NE(text.find("顧客 C03"), std::string::npos);
    EXPECT_EQ(text.find('\f'), std::string::npos) << text;
}

TEST_F(PrintDocTest, FirstHeaderAndFooterAreCopiedOnlyWhenAskedFor) {
    OrderTemplateOptions options;
    options.headerText = "株式会社ヘッダ";
    options.footerText = "フッタ行";
    options.copyPrimaryHeader = true;
    options.copyPrimaryFooter = false;
    const auto report = OpenTemplate(options);

    const auto print = Build(report, false);
    const auto header = print->Sections().First().Headers().Item(word::wdHeaderFooterPrimary);
    ASSERT_TRUE(header.Exists());
    EXPECT_EQ(header.Range().Text(), report->Sections().First().Headers().Item(1).Range().Text());
    const auto footer = print->Sections().First().Footers().Item(word::wdHeaderFooterPrimary);
    EXPECT_TRUE(!footer.Exists() || footer.Range().Text().find("フッタ行") == std::string::npos);
}

TEST_F(PrintDocTest, WithoutTheOptionsTheDefaultEmptyHeaderStaysAndTheTemplateGetsNone) {
    OrderTemplateOptions options;
    options.footerText = "フッタ行";  // present in the template, not asked for
    options.copyPrimaryHeader = true;  // asked for, but the template has no header
    const auto report = OpenTemplate(options);

    const auto print = Build(report, false);
    const auto header = print->Sections().First().Headers().Item(word::wdHeaderFooterPrimary);
    EXPECT_TRUE(!header.Exists() || header.Range().Text() == "\r");
    EXPECT_FALSE(report->Sections().First().Headers().Item(word::wdHeaderFooterPrimary).Exists())
        << "the template is only read";
    const auto footer = print->Sections().First().Footers().Item(word::wdHeaderFooterPrimary);
    EXPECT_TRUE(!footer.Exists() || footer.Range().Text().find("フッタ行") == std::string::npos);
}

TEST_F(PrintDocTest, AnUnboundTemplateGivesAPlainCopyWithoutPropertyText) {
    OrderTemplateOptions options;
    options.bound = false;
    const auto report = OpenTemplate(options);

    const auto print = Build(report, true);
    ASSERT_NE(print, nullptr);
    const std::string text = print->Content().Text();
    EXPECT_NE(text.find("顧客"), std::string::npos);
    EXPECT_NE(text.find("以上"), std::string::npos);
    EXPECT_EQ(text.find('\f'), std::string::npos);
    auto all = print->Content();
    all.TextRetrievalMode().SetIncludeHiddenText(true);
    EXPECT_EQ(all.Text().find("DataSource"), std::string::npos) << "hidden property text is dropped";
    EXPECT_EQ(word::FieldsOf(*print).Count(), 0) << "fields become their results";
    ExpectCleanedUp(report, 2);
}

TEST_F(PrintDocTest, AnEmptyRecordSourceGivesAnEmptyDocumentWithTheTemplatesPageSetup) {
    OrderTemplateOptions options;
    options.recordFilter = "Id > 100";
    options.headerText = "株式会社ヘッダ";
    options.copyPrimaryHeader = true;
    const auto report = OpenTemplate(options);
    ASSERT_NE(binding_, nullptr);
    ASSERT_TRUE(binding_->IsEOF());
    // A page size no new document has.
    report->PageSetup().SetPageWidth(500);

    const auto print = Build(report, true);
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->Content().Text(), "\r");
    EXPECT_FLOAT_EQ(print->PageSetup().PageWidth(), 500);
    EXPECT_NE(print->Sections().First().Headers().Item(1).Range().Text().find("株式会社ヘッダ"), std::string::npos);
    EXPECT_TRUE(Labelled("印刷用文書の作成中です...(0/0)") || Labelled("印刷用文書の作成中です..."));
}

TEST_F(PrintDocTest, TextBoxesShowTheirOwnRecord) {
    OrderTemplateOptions options;
    options.textBox = true;
    options.detailTable = false;
    const auto report = OpenTemplate(options);
    ASSERT_NE(binding_, nullptr);

    const auto print = Build(report, true);
    const auto shapes = print->Shapes();
    ASSERT_EQ(shapes.Count(), kOrders);
    for (long order = 1; order <= kOrders; ++order) {
        EXPECT_EQ(shapes.Item(order).TextFrame().TextRange().Text(), "箱 " + Customer(order) + "\r");
    }
    // The template's own box keeps its field.
    EXPECT_EQ(word::FieldsOf(report->Shapes().Item(1).TextFrame().TextRange()).Count(), 1);
}

TEST_F(PrintDocTest, AnInvisibleTemplateShowsNoProgressAndHidesNothing) {
    const auto report = app_.Documents().Open(SaveOrderTemplate(folder_.File("orders.docx")), false);
    binding_ = OpenDocumentBind(registry_, report);
    ASSERT_NE(binding_, nullptr);
    const auto other = app_.Documents().Add();

    const auto print = Build(report, false);
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(progress_->log->shows, 0);
    EXPECT_TRUE(Labels().empty());
    EXPECT_TRUE(print->Windows().Item(1).Visible()) << "as the application made it";
    EXPECT_FALSE(report->Windows().Item(1).Visible());
    EXPECT_TRUE(other->Windows().Item(1).Visible());
    EXPECT_TRUE(app_.ScreenUpdating());
    EXPECT_EQ(app_.Documents().Count(), 3);
}

TEST_F(PrintDocTest, PrintingHandsTheDocumentToThePrinterAndClosesIt) {
    const auto report = OpenTemplate();
    ASSERT_NE(binding_, nullptr);
    binding_->MovePos(2);

    EXPECT_EQ(Build(report, false, true), nullptr);
    ASSERT_EQ(printer_->printedTexts.size(), 1u);
    EXPECT_NE(printer_->printedTexts[0].find("顧客 C02"), std::string::npos);
    EXPECT_TRUE(Labelled("印刷データの作成中です...(1/1)"));
    ExpectCleanedUp(report, 1);
    // Every window was hidden while the run's documents closed; the template is in front again,
    // so the next command finds an active document.
    EXPECT_EQ(app_.ActiveDocument(), report);
}

TEST_F(PrintDocTest, APrinterFailureComesAfterTheCleanUp) {
    const auto report = OpenTemplate();
    printer_->failure = "no printer";
    try {
        Build(report, false, true);
        FAIL() << "the printer's error must reach the caller";
    } catch (const host::HostError& error) {
        EXPECT_EQ(error.Number(), 4198);
        EXPECT_NE(error.Description().find("no printer"), std::string::npos) << error.Description();
    }
    ExpectCleanedUp(report, 1);
    EXPECT_EQ(app_.ActiveDocument(), report);
}

TEST_F(PrintDocTest, AnErrorDuringTheRecordLoopStillCleansUpBeforeItReachesTheCaller) {
    const auto report = OpenTemplate();
    ASSERT_NE(binding_, nullptr);
    const auto other = app_.Documents().Add();
    progress_->log->failOn = "(3-2/";
    try {
        Build(report, true);
        FAIL() << "the progress window's error must reach the caller";
    } catch (const host::HostError& error) {
        EXPECT_EQ(error.Number(), 1004);
        EXPECT_EQ(error.Source(), "RecordingProgress");
    }
    // The half-built print document and the working copy are gone, unsaved; every window
    // shows again and screen updating is back on.
    ExpectCleanedUp(report, 2);
    EXPECT_TRUE(other->Windows().Item(1).Visible());
    EXPECT_EQ(app_.ActiveDocument(), other) << "the document in front before the run";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()), {}), 2);
    EXPECT_EQ(binding_->RecordSource()->Fields().Item("Id").Value().AsInteger(), 1);
}

TEST(PrintDocPages, CapacitiesLeaveOutTheCaptionRow) {
    auto doc = sk::MakeDocument(sk::Paragraph(sk::Run("x")));
    const auto at = doc->Content();
    auto table = doc->Tables().Add(at, 11, 2);
    const std::vector<word::Table> tables{table, table, table};
    std::vector<long> capacities;
    EXPECT_EQ(modPLRFunction::GetDetailCapacities(capacities, tables,
                                                  {R"(ColumnHeaders="True")", R"(ColumnHeaders="False")", ""}),
              3);
    EXPECT_EQ(capacities, (std::vector<long>{10, 11, 10}));
}

TEST(PrintDocPages, OnlyTablesThatKeepTheirRowsPaginate) {
    using modPLRFunction::CountDetailPages;
    const std::string fixed = R"(AutoAdjustRowCount="False")";
    EXPECT_EQ(CountDetailPages({10}, {23}, {fixed}), 3);
    EXPECT_EQ(CountDetailPages({10}, {20}, {fixed}), 2);
    EXPECT_EQ(CountDetailPages({10}, {0}, {fixed}), 1);
    EXPECT_EQ(CountDetailPages({10, 4}, {23, 17}, {fixed, fixed}), 5) << "the largest of the tables";
    EXPECT_EQ(CountDetailPages({10}, {230}, {R"(AutoAdjustRowCount="True")"}), 1);
    EXPECT_EQ(CountDetailPages({10}, {230}, {""}), 1);
    EXPECT_EQ(CountDetailPages({10}, {230}, {R"(AutoAdjustRowCount="false")"}), 1) << "exactly \"False\"";
    EXPECT_EQ(CountDetailPages({0}, {5}, {fixed}), 1) << "a table without data rows cannot paginate";
    EXPECT_EQ(CountDetailPages({}, {}, {}), 1);
}

}  // namespace
}  // namespace paperloom::run::test
