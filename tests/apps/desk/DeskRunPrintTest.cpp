// Printing from the run-time add-in's toolbar in the desktop host, into a print folder: the
// current invoice and then all of them, each as one PDF job rendered by the office suite.

#include <cstdio>
#include <memory>

#include "DeskRunTestSupport.h"
#include "host/ui/PrintOfficeService.h"

namespace paperloom::desk {
namespace {

// The page count pdfinfo reads from a PDF; 0 when it cannot.
int Pages(const fs::path& pdf) {
    const std::string command = "pdfinfo '" + pdf.string() + "' 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return 0;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get()))
        if (std::string_view(line).starts_with("Pages:")) return std::atoi(line + 6);
    return 0;
}

std::vector<fs::path> Jobs(const fs::path& folder) {
    std::vector<fs::path> jobs;
    for (const auto& entry : fs::directory_iterator(folder)) jobs.push_back(entry.path());
    std::sort(jobs.begin(), jobs.end(), [](const fs::path& a, const fs::path& b) {
        return fs::last_write_time(a) < fs::last_write_time(b);
    });
    return jobs;
}

using DeskRunPrintTest = DeskRunCommandsTest;

TEST_F(DeskRunPrintTest, PrintCurrentAndAllWriteOneJobEachIntoThePrintFolder) {
    if (std::system("command -v soffice >/dev/null && command -v pdfinfo >/dev/null") != 0)
        GTEST_SKIP() << "the office suite or pdfinfo is not installed";
    test::ScratchFolder jobs{"paperloom-desk-print"};
    ui::PrintOptions options;
    options.printDir = jobs.Path();
    ui::UiServices printing;
    printing.print = std::make_shared<ui::OfficePrintService>(options);
    const ui::ScopedServices scoped(std::move(printing));
    const auto windows = desk_->Windows().size();

    Click("ToolHeadLast");
    messages_->QueueAnswer(ui::vbOK);
    Click("ToolPrintCurrent");
    ASSERT_EQ(Jobs(jobs.Path()).size(), 1u) << log_.str();
    const int current = Pages(Jobs(jobs.Path())[0]);
    EXPECT_GE(current, 1);

    messages_->QueueAnswer(ui::vbOK);
    Click("MenuDocAll");  // the print-all entry (its tag is crossed with document-all)
    const auto printed = Jobs(jobs.Path());
    ASSERT_EQ(printed.size(), 2u) << log_.str();
    EXPECT_GE(Pages(printed[1]), 25) << "every invoice, each from a new page";
    EXPECT_EQ(desk_->Windows().size(), windows) << "a printed document is closed again";
    EXPECT_EQ(log_.str().find("エラー"), std::string::npos) << log_.str();
    EXPECT_EQ(Record(), 25) << "printing leaves the record shown";
}

}  // namespace
}  // namespace paperloom::desk
