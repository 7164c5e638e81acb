// Printing all records of the orders template for real: the office suite renders the print
// document into a print folder, and the PDF shows every record on pages of its own, order 3
// over three pages, and none of the hidden property text. Slow; label "office".

#include <gtest/gtest.h>

#include "PrintDocTestSupport.h"
#include "Run/modPLRFunction.h"
#include "Run/modPLRPrint.h"
#include "host/ui/PrintOfficeService.h"
#include "host/ui/UiServices.h"
#include "support/OfficeSuite.h"

namespace paperloom::run::test {
namespace {

namespace fs = std::filesystem;

TEST(PrintDocOffice, AllRecordsPrintIntoThePrintFolderPageByPage) {
    if (!paperloom::test::HaveOfficeSuite()) GTEST_SKIP() << "no office suite or poppler";
    ScratchFolder folder;
    MakeOrdersDatabase(folder.File("orders.db"));
    ui::PrintOptions options;
    options.printDir = folder.File("prints");
    fs::create_directories(options.printDir);
    const ui::ScopedServices scope(ui::UiServices{nullptr, nullptr, std::make_shared<RecordingProgress>(), nullptr,
                                                  std::make_shared<ui::OfficePrintService>(options)});

    word::Application app;
    BindingRegistry registry;
    const auto report = app.Documents().Open(SaveOrderTemplate(folder.File("orders.docx")));
    ASSERT_NE(modPLRFunction::OpenDocumentBind(registry, report), nullptr);
    EXPECT_EQ(modPLRFunction::BuildPrintDoc(app, registry, report, true, true), nullptr);
    EXPECT_EQ(app.Documents().Count(), 1);

    std::vector<fs::path> pdfs;
    for (const auto& entry : fs::directory_iterator(options.printDir)) pdfs.push_back(entry.path());
    ASSERT_EQ(pdfs.size(), 1u);
    const std::string shown = paperloom::test::PdfText(pdfs[0]);
    for (long order = 1; order <= kOrders; ++order) {
        EXPECT_NE(shown.find("顧客 " + Customer(order)), std::string::npos) << Customer(order);
    }
    EXPECT_NE(shown.find(Item(kLongOrder, kLongOrderLines)), std::string::npos);
    for (const char* hidden : {"DataSource", "ParentKey", "FieldType", "quote"}) {
        EXPECT_EQ(shown.find(hidden), std::string::npos) << hidden << " shown";
    }
    // pdftotext ends every page with a form feed.
    EXPECT_EQ(CountOf(shown, "\f"), kOrders + 2) << shown;
}

}  // namespace
}  // namespace paperloom::run::test
