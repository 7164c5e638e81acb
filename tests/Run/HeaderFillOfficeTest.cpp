// A filled template as the office suite shows it: the header is filled from a SQLite record,
// saved, converted to PDF headless, and the PDF's text must hold the record's values in their
// formats (main text, a text box, a statistic over a table with break rows) and none of the
// design-time codes. Slow; label "office".

#include <gtest/gtest.h>

#include "FillTestSupport.h"
#include "Run/modPLRFunction.h"
#include "Skeleton.h"
#include "support/OfficeSuite.h"

namespace paperloom::run::test {
namespace {

namespace fs = std::filesystem;
namespace skeleton = templatekit::skeleton;

TEST(HeaderFillOffice, TheSuiteShowsTheFilledValues) {
    if (!paperloom::test::HaveOfficeSuite()) GTEST_SKIP() << "no office suite or poppler";
    ScratchFolder folder;
    RunSqlite(folder.File("lines.db"),
              "CREATE TABLE Orders (Id INTEGER, Customer TEXT, Total REAL, Placed DATE);"
              "INSERT INTO Orders VALUES (1, 'Kestrel Supplies', 1234567.5, '2024-01-05');"
              "INSERT INTO Orders VALUES (2, 'Osprey Trading', 42, '2024-06-30');");

    const std::string body =
        skeleton::Paragraph(skeleton::Run("Customer: ") + FieldRuns("quote DataField Customer \\* Upper", "NAME")) +
        skeleton::Paragraph(skeleton::Run("Total: ") + FieldRuns("quote DataField Total \\# \"#,##0.00\"", "0.00")) +
        skeleton::Paragraph(skeleton::Run("Placed: ") + FieldRuns("quote DataField Placed \\@ \"dd.MM.yyyy\"", "date")) +
        skeleton::Paragraph(skeleton::Run("Order no. ") + FieldRuns("quote RecordIndex", "0")) +
        skeleton::Paragraph(skeleton::Run("Quantity total: ") + FieldRuns("quote Statistics SUM lines b", "0") +
                            skeleton::Run(" average: ") +
                            FieldRuns("quote Statistics AVERAGE lines b \\# \"0.00\"", "0")) +
        skeleton::Paragraph(skeleton::TextBox(skeleton::Paragraph(skeleton::Run("Box: ") +
                                                                  FieldRuns("quote DataField Customer", "box")),
                                              {0, 0, 220, 40})) +
        skeleton::Paragraph() + skeleton::Paragraph() +
        TableOfRuns({{word::test::HiddenRun("ColumnHeaders=\"True\", BrokenRows=\"4\", EffectiveRowCnt=\"4\"") +
                          skeleton::Run("Item"),
                      skeleton::Run("Qty")},
                     {skeleton::Run("bolts"), skeleton::Run("11")},
                     {skeleton::Run("nuts"), skeleton::Run("22")},
                     {skeleton::Run("subtotal"), skeleton::Run("33")},
                     {skeleton::Run("washers"), skeleton::Run("44")}}) +
        skeleton::Paragraph(skeleton::Run("end of report"));
    {
        auto design = skeleton::MakeDocument(body, "Order.docx");
        design->Bookmarks().Add("lines", design->Tables().Item(1).Range());
        const Settings settings{{"DataSourceType", "4"}, {"DataSource", "lines.db"}, {"RecordSourceType", "2"},
                                {"RecordSource", "Orders"}, {"RSOrder", "Id"}};
        for (const auto& [name, value] : settings) design->Variables().SetValue(name, value);
        design->SaveAs(folder.File("Order.docx"));
        design->Close();
    }

    word::Application app;
    const auto doc = app.Documents().Open(folder.File("Order.docx"));
    BindingRegistry registry;
    const auto binding = modPLRFunction::OpenDocumentBind(registry, doc);
    ASSERT_NE(binding, nullptr);
    binding->MoveLast();
    binding->SetHeadDatas();
    binding->MoveFirst();
    binding->SetHeadDatas();
    doc->SaveAs(folder.File("Filled.docx"));

    const auto pdf = paperloom::test::ConvertToPdf(folder.File("Filled.docx"), folder.Path());
    ASSERT_TRUE(pdf) << "see " << folder.File("office.log");
    const std::string shown = paperloom::test::PdfText(*pdf);
    for (const char* expected : {"Customer: KESTREL SUPPLIES", "Total: 1,234,567.50", "Placed: 05.01.2024",
                                 "Order no. 1", "Quantity total: 77", "average: 25.67", "Box: Kestrel Supplies"}) {
        EXPECT_NE(shown.find(expected), std::string::npos) << expected << " missing from:\n" << shown;
    }
    for (const char* absent : {"DataField", "Statistics", "RecordIndex", "Osprey", "ColumnHeaders"}) {
        EXPECT_EQ(shown.find(absent), std::string::npos) << absent << " shown in:\n" << shown;
    }
}

}  // namespace
}  // namespace paperloom::run::test
