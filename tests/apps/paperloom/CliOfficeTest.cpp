// The paperloom program rendering through the office suite: printing into a print folder, and
// the bundled sample invoices as one PDF with the right pages and the Japanese text readable.
// Slow; label "office".

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "CliTestSupport.h"
#include "Samples.h"
#include "support/OfficeSuite.h"

namespace paperloom::cli::test {
namespace {

#define REQUIRE_OFFICE() \
    if (!paperloom::test::HaveOfficeSuite()) GTEST_SKIP() << "no office suite or poppler"

std::vector<fs::path> Pdfs(const fs::path& folder) {
    std::vector<fs::path> files;
    if (fs::is_directory(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".pdf") files.push_back(entry.path());
    return files;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

TEST(CliOffice, PrintingIntoAPrintFolderLeavesOnePdfPerJob) {
    REQUIRE_OFFICE();
    const Scratch scratch;
    MakeShopDatabase(scratch / "shop.db");
    MakeShopTemplate(scratch / "order.docx");
    const std::string original = ReadFile(scratch / "order.docx");

    CliResult result = RunCli(scratch.Path(), {"print", "order.docx", "--print-dir", "printed"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto pdfs = Pdfs(scratch / "printed");
    ASSERT_EQ(pdfs.size(), 1U);
    EXPECT_EQ(paperloom::test::PdfPages(pdfs[0]), 5) << "one page per order";
    const std::string all = paperloom::test::PdfText(pdfs[0]);
    for (const char* note : {"first", "none", "bulk", "late", "last"}) EXPECT_NE(all.find(note), std::string::npos) << note;
    EXPECT_NE(all.find("みかん"), std::string::npos) << all;

    // The print folder from the environment; one record.
    result = RunCli(scratch.Path(), {"print", "order.docx", "--record", "2"},
                    {{"PAPERLOOM_PRINT_DIR", (scratch / "printed").string()}});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    pdfs = Pdfs(scratch / "printed");
    ASSERT_EQ(pdfs.size(), 2U) << "the second job does not replace the first";
    const auto second = paperloom::test::PdfText(pdfs[0]) == all ? pdfs[1] : pdfs[0];
    EXPECT_EQ(paperloom::test::PdfPages(second), 1);
    const std::string one = paperloom::test::PdfText(second);
    EXPECT_NE(one.find("none"), std::string::npos) << one;
    EXPECT_EQ(one.find("bulk"), std::string::npos) << one;
    EXPECT_EQ(ReadFile(scratch / "order.docx"), original);
}

TEST(CliOffice, TheSampleInvoicesBecomeOnePdfWithTheirPagesValuesAndJapaneseText) {
    REQUIRE_OFFICE();
    const Scratch scratch;
    const samples::SampleFiles files = samples::MakeSamples(scratch / "samples", true);

    // The fixed ten-row statement: 24 invoices of at most 10 lines on a page each, and the
    // invoice of 23 lines on 3 detail pages.
    CliResult result = RunCli(scratch.Path(), {"document", files.invoicePages.string(), "-o", "pages.docx", "--pdf", "pages.pdf"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(paperloom::test::PdfPages(scratch / "pages.pdf"), 27);
    result = RunCli(scratch.Path(), {"document", files.invoicePages.string(), "--record", "7", "--pdf", "seven.pdf"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(paperloom::test::PdfPages(scratch / "seven.pdf"), 3);
    EXPECT_NE(paperloom::test::PdfText(scratch / "seven.pdf").find("INV-2024-007"), std::string::npos);

    result = RunCli(scratch.Path(), {"document", files.invoice.string(), "-o", "invoices.docx", "--pdf", "invoices.pdf"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("records: 25 (all)"), std::string::npos) << result.out;
    const long pages = paperloom::test::PdfPages(scratch / "invoices.pdf");
    EXPECT_GE(pages, 25) << "every invoice starts on a page of its own";
    EXPECT_LE(pages, 27);
    const std::string text = paperloom::test::PdfText(scratch / "invoices.pdf");
    EXPECT_NE(text.find("INV-2024-001"), std::string::npos) << text.substr(0, 2000);
    EXPECT_NE(text.find("INV-2024-025"), std::string::npos);
    EXPECT_NE(text.find("258,467"), std::string::npos) << "the first invoice's total, formatted";
    // Japanese text came out as text (a font with the glyphs was used), not as empty boxes.
    EXPECT_GE(Count(text, "株式会社九州ロジテック"), 1U);
    EXPECT_NE(text.find("ボールペン"), std::string::npos);
    EXPECT_NE(text.find("小計"), std::string::npos) << "subtotal rows of the category breaks";
}

}  // namespace
}  // namespace paperloom::cli::test
