// `paperloom print` to a real print server: a private CUPS scheduler whose printers write their
// jobs into folders, and the bundled sample invoices rendered by the office suite. The job that
// arrives is the PDF a reader would get: its pages and its text. Slow; labels "cups", "office".

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "Samples.h"
#include "support/CupsTestServer.h"
#include "support/OfficeSuite.h"

namespace paperloom::cli::test {
namespace {

using paperloom::test::CupsTestServer;
using namespace std::chrono_literals;

class CliPrintServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!CupsTestServer::Available()) GTEST_SKIP() << "the print server (cups-daemon, cups-client) is not installed";
        if (!paperloom::test::HaveOfficeSuite()) GTEST_SKIP() << "no office suite or poppler";
        server_.emplace();
        files_ = samples::MakeSamples(scratch_ / "samples", true);
    }

    CliResult Print(const std::vector<std::string>& args) {
        std::vector<std::string> all{"print"};
        all.insert(all.end(), args.begin(), args.end());
        return RunCli(scratch_.Path(), all, server_->Environment());
    }

    Scratch scratch_;
    std::optional<CupsTestServer> server_;
    samples::SampleFiles files_;
};

TEST_F(CliPrintServerTest, AnInvoiceReachesTheNamedPrinterAsAPdfWithItsPagesAndText) {
    server_->AddPrinter("Office");
    server_->AddPrinter("Front", true);

    // Invoice 7 of the fixed ten-row statement: 23 lines on 3 detail pages.
    const CliResult result = Print({files_.invoicePages.string(), "--record", "7", "--printer", "Office"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("to Office"), std::string::npos) << result.out;
    const auto jobs = server_->WaitForJobs("Office", 1);
    ASSERT_EQ(jobs.size(), 1U) << server_->Log();
    EXPECT_EQ(ReadFile(jobs[0].file).substr(0, 5), "%PDF-");
    EXPECT_EQ(paperloom::test::PdfPages(jobs[0].file), 3);
    const std::string text = paperloom::test::PdfText(jobs[0].file);
    EXPECT_NE(text.find("INV-2024-007"), std::string::npos) << text.substr(0, 2000);
    EXPECT_EQ(text.find("INV-2024-008"), std::string::npos) << "only the record asked for";
    EXPECT_FALSE(jobs[0].title.empty());
    EXPECT_TRUE(server_->WaitForJobs("Front", 1, 1s).empty()) << "the default printer got a job too";
}

TEST_F(CliPrintServerTest, WithoutAPrinterTheDefaultPrintsAndAnUnknownOneIsRefusedWithThePrintersThereAre) {
    server_->AddPrinter("Office");
    server_->AddPrinter("Front", true);

    CliResult result = Print({files_.invoice.string(), "--record", "2"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("the default printer"), std::string::npos) << result.out;
    const auto jobs = server_->WaitForJobs("Front", 1);
    ASSERT_EQ(jobs.size(), 1U) << server_->Log();
    EXPECT_EQ(paperloom::test::PdfPages(jobs[0].file), 1);
    EXPECT_NE(paperloom::test::PdfText(jobs[0].file).find("INV-2024-002"), std::string::npos);

    // Refused before anything is rendered or sent, with the printers there are.
    result = Print({files_.invoice.string(), "--printer", "Ofice"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("no printer named \"Ofice\""), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("Front (default)"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("Office"), std::string::npos) << result.err;
    EXPECT_TRUE(server_->WaitForJobs("Office", 1, 1s).empty());
    EXPECT_EQ(server_->WaitForJobs("Front", 2, 1s).size(), 1U);
}

}  // namespace
}  // namespace paperloom::cli::test
