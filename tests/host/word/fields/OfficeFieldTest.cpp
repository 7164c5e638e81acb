// A template whose fields were computed and given their design-time codes back opens in the
// office suite showing the computed results. Slow; label "office".

#include <gtest/gtest.h>

#include <memory>

#include "FieldTestSupport.h"
#include "TestImages.h"
#include "host/word/fields/Field.h"
#include "support/OfficeSuite.h"

namespace paperloom::word {
namespace {

namespace fs = std::filesystem;

TEST(OfficeFields, ComputedResultsShowAfterTheCodesAreWrittenBack) {
    if (!paperloom::test::HaveOfficeSuite() || !paperloom::test::HaveProgram("pdfimages"))
        GTEST_SKIP() << "office suite or poppler missing";
    test::TempFolder folder;
    test::WriteFile(folder.Path() / "logo.png", test::RedPng());
    test::WriteFile(folder.Path() / "photo.gif", test::SmallGif());
    const std::string body =
        test::P("Report") + test::FieldParagraph("quote DataField Customer \\* Upper", "Customer") +
        test::FieldParagraph("quote DataField Price \\# \"#,##0\"", "Price") +
        test::TableXml({{test::TextRun("Qty")}, {test::TextRun("1200")}, {test::TextRun("34")},
                        {test::FieldRuns("quote Statistics SUM Detail1 a:a \\# \"#,##0\"", "0")}}) +
        test::FieldParagraph("IncludePicture PictureField Logo", "Logo") +
        test::FieldParagraph("IncludePicture PictureField Photo", "Photo") + test::P("End");
    {
        auto doc = test::MakeDocument(body);
        doc->SaveAs(folder.Path() / "template.docx");
    }
    auto doc = Document::Open(folder.Path() / "template.docx");
    auto fields = FieldsOf(*doc);
    ASSERT_EQ(fields.Count(), 5);
    // The run-time's round: remember the codes, write computed codes, update, write back.
    std::vector<std::string> design;
    for (const auto& field : fields) design.push_back(field.Code().Text());
    fields.Item(1).Code().SetText("quote \"paperloom trading\" \\* Upper");
    fields.Item(2).Code().SetText("= 9876543 \\# \"#,##0\"");
    fields.Item(3).Code().SetText("=SUM(ABOVE) \\# \"#,##0\"");
    fields.Item(4).Code().SetText("IncludePicture \"logo.png\"");
    fields.Item(5).Code().SetText("IncludePicture \"" + (folder.Path() / "photo.gif").string() + "\" \\d");
    EXPECT_EQ(fields.Update(), 0);
    for (long i = 1; i <= fields.Count(); ++i) fields.Item(i).Code().SetText(design[static_cast<std::size_t>(i) - 1]);
    doc->Save();

    const auto pdf = paperloom::test::ConvertToPdf(folder.Path() / "template.docx", folder.Path());
    ASSERT_TRUE(pdf) << paperloom::test::ReadWholeFile(folder.Path() / "office.log");
    const auto text = paperloom::test::PdfText(*pdf);
    EXPECT_NE(text.find("PAPERLOOM TRADING"), std::string::npos) << text;
    EXPECT_NE(text.find("9,876,543"), std::string::npos) << text;
    EXPECT_NE(text.find("1,234"), std::string::npos) << text;
    EXPECT_EQ(text.find("DataField"), std::string::npos) << text;
    ASSERT_TRUE(paperloom::test::RunProgram({"pdfimages", "-list", pdf->string()}, folder.Path() / "images.txt"));
    const auto images = paperloom::test::ReadWholeFile(folder.Path() / "images.txt");
    EXPECT_NE(images.find("image"), std::string::npos) << images;
    EXPECT_NE(images.find("30    20"), std::string::npos) << images;  // the embedded picture
    EXPECT_NE(images.find("   4     4"), std::string::npos) << images;  // the linked one
}

}  // namespace
}  // namespace paperloom::word
