// The office suite opens a print document made of a template with a copied first header, a
// text box in both its forms, and bytes XML 1.0 forbids in the template and in a database
// value, and shows every record on a page of its own. Slow; label "office".

#include <gtest/gtest.h>

#include "PrintDocWellFormedSupport.h"
#include "Run/modPLRFunction.h"
#include "Run/modPLRPrint.h"
#include "host/ui/UiServices.h"

namespace paperloom::run::test {
namespace {

TEST(PrintDocWellFormedOffice, AHostilePrintDocumentWithACopiedHeaderRendersEveryRecord) {
    if (!paperloom::test::HaveOfficeSuite()) GTEST_SKIP() << "no office suite or poppler";
    constexpr long kRecords = 4;
    ScratchFolder folder;
    MakeHostileOrdersDatabase(folder.File("orders.db"), kRecords);
    const ui::ScopedServices scope(
        ui::UiServices{nullptr, nullptr, std::make_shared<RecordingProgress>(), nullptr, nullptr});

    word::Application app;
    BindingRegistry registry;
    TitledTemplateOptions options;
    options.headerText = "株式会社ヘッダ";
    options.hostileBytes = true;
    const auto report = app.Documents().Open(SaveTitledTemplate(folder.File("titled.docx"), options));
    ASSERT_NE(modPLRFunction::OpenDocumentBind(registry, report), nullptr);
    const auto print = modPLRFunction::BuildPrintDoc(app, registry, report, true, false);
    ASSERT_NE(print, nullptr);
    print->SaveAs(folder.File("print.docx"));

    std::filesystem::create_directories(folder.File("pdf"));
    const auto pdf = paperloom::test::ConvertToPdf(folder.File("print.docx"), folder.File("pdf"));
    ASSERT_TRUE(pdf) << paperloom::test::ReadWholeFile(folder.File("pdf") / "office.log");
    const std::string shown = paperloom::test::PdfText(*pdf);
    // pdftotext ends every page with a form feed: one page a record, none left empty.
    EXPECT_EQ(CountOf(shown, "\f"), kRecords) << shown;
    EXPECT_EQ(CountOf(shown, "株式会社ヘッダ"), kRecords) << "the copied header on every page";
    for (long order = 1; order <= kRecords; ++order) {
        EXPECT_NE(shown.find("顧客 " + Customer(order)), std::string::npos) << Customer(order) << "\n" << shown;
        EXPECT_NE(shown.find("箱 " + Customer(order)), std::string::npos) << "the text box of " << Customer(order);
        EXPECT_NE(shown.find("以上 " + std::to_string(order)), std::string::npos);
    }
}

}  // namespace
}  // namespace paperloom::run::test
