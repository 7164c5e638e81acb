// document --pdf on a long run: the print document rendered in parts by several office-suite
// processes and joined into one PDF with the pages of a one-process rendering, in record order;
// a part that fails is named and leaves nothing behind. Slow; label "office".

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fmt/format.h>

#include <fstream>
#include <set>
#include <sstream>

#include "CliTestSupport.h"
#include "support/OfficeSuite.h"

namespace paperloom::cli::test {
namespace {

#define REQUIRE_OFFICE_AND_QPDF()                                                                      \
    if (!paperloom::test::HaveOfficeSuite() || !paperloom::test::HaveProgram("qpdf") ||                \
        !paperloom::test::HaveProgram("unzip"))                                                        \
    GTEST_SKIP() << "no office suite, poppler, qpdf or unzip"

constexpr int kOrders = 160;  // three parts of at least fifty records each

// The shop's five orders and more up to kOrders, order N noting "note-N" (four digits); the
// order noting `failing` instead has a note the stand-in office suite refuses.
void MakeManyOrders(const Scratch& scratch, int failing = 0) {
    MakeShopDatabase(scratch / "shop.db");
    RunSql(scratch / "shop.db",
           fmt::format("INSERT INTO Orders WITH RECURSIVE n(i) AS (SELECT 6 UNION ALL SELECT i + 1 FROM n WHERE i < {}) "
                       "SELECT i, 'A', i, CASE i WHEN {} THEN 'REFUSED' ELSE printf('note-%04d', i) END FROM n;",
                       kOrders, failing));
    MakeShopTemplate(scratch / "order.docx");
}

// An office suite in front of the real one that logs each call and refuses a document
// holding "REFUSED"; returns the folder to put first in PATH.
fs::path StandInOfficeSuite(const Scratch& scratch) {
    const fs::path bin = scratch / "bin";
    fs::create_directories(bin);
    const std::string real = [] {
        for (const char* dir : {"/usr/bin", "/usr/local/bin", "/opt/libreoffice/program"})
            if (fs::exists(fs::path(dir) / "soffice")) return (fs::path(dir) / "soffice").string();
        return std::string("soffice");
    }();
    std::ofstream script(bin / "soffice");
    script << "#!/bin/sh\n"
           << "for last; do :; done\n"
           << "echo \"$*\" >> '" << (scratch / "office-calls.log").string() << "'\n"
           << "if unzip -p \"$last\" word/document.xml | grep -q REFUSED; then echo 'cannot render' >&2; exit 1; fi\n"
           << "exec '" << real << "' \"$@\"\n";
    script.close();
    ::chmod((bin / "soffice").c_str(), 0755);
    return bin;
}

std::map<std::string, std::string> Environment(const Scratch& scratch, const fs::path& bin) {
    fs::create_directories(scratch / "tmp");
    const char* path = std::getenv("PATH");
    return {{"PATH", bin.string() + ":" + (path ? path : "/usr/bin:/bin")}, {"TMPDIR", (scratch / "tmp").string()}};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The profile folder each office-suite call was given.
std::set<std::string> Profiles(const fs::path& log) {
    std::set<std::string> profiles;
    for (const auto& line : Lines(ReadFile(log))) {
        const auto at = line.find("-env:UserInstallation=");
        if (at != std::string::npos) profiles.insert(line.substr(at, line.find(' ', at) - at));
    }
    return profiles;
}

std::vector<std::string> Pages(const std::string& text) {
    std::vector<std::string> pages;
    std::size_t start = 0;
    for (auto at = text.find('\f'); at != std::string::npos; at = text.find('\f', start)) {
        pages.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    return pages;
}

TEST(CliParallelPdf, ALongRunRenderedInPartsHasTheWholeRunsPagesInRecordOrder) {
    REQUIRE_OFFICE_AND_QPDF();
    const Scratch scratch;
    MakeManyOrders(scratch);
    const fs::path bin = StandInOfficeSuite(scratch);
    const auto env = Environment(scratch, bin);

    CliResult result = RunCli(scratch.Path(), {"document", "order.docx", "--pdf", "parts.pdf", "--jobs", "3"}, env);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto calls = Lines(ReadFile(scratch / "office-calls.log"));
    EXPECT_EQ(calls.size(), 3U) << "three parts of 53 or 54 records";
    EXPECT_EQ(Profiles(scratch / "office-calls.log").size(), 3U) << "a profile per process";
    ASSERT_EQ(paperloom::test::PdfPages(scratch / "parts.pdf"), kOrders);
    const auto pages = Pages(paperloom::test::PdfText(scratch / "parts.pdf"));
    ASSERT_EQ(pages.size(), static_cast<std::size_t>(kOrders));
    const char* firstNotes[] = {"first", "none", "bulk", "late", "last"};
    for (int i = 1; i <= kOrders; ++i) {
        const std::string note = i <= 5 ? firstNotes[i - 1] : fmt::format("note-{:04d}", i);
        EXPECT_NE(pages[i - 1].find(note), std::string::npos) << "page " << i << ": " << pages[i - 1];
    }

    // One process renders the same pages.
    fs::remove(scratch / "office-calls.log");
    result = RunCli(scratch.Path(), {"document", "order.docx", "--pdf", "whole.pdf", "--jobs", "1"}, env);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Lines(ReadFile(scratch / "office-calls.log")).size(), 1U);
    const auto whole = Pages(paperloom::test::PdfText(scratch / "whole.pdf"));
    ASSERT_EQ(whole.size(), pages.size());
    for (std::size_t i = 0; i < whole.size(); ++i) EXPECT_EQ(whole[i], pages[i]) << "page " << i + 1;

    // A short run is one part whatever --jobs says.
    fs::remove(scratch / "office-calls.log");
    result = RunCli(scratch.Path(), {"document", "order.docx", "--record", "7", "--pdf", "one.pdf", "--jobs", "2"}, env);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Lines(ReadFile(scratch / "office-calls.log")).size(), 1U);
    EXPECT_TRUE(fs::is_empty(scratch / "tmp")) << "work folders are removed";
}

TEST(CliParallelPdf, APartThatFailsIsNamedAndNothingIsLeftBehind) {
    REQUIRE_OFFICE_AND_QPDF();
    const Scratch scratch;
    MakeManyOrders(scratch, 120);
    const fs::path bin = StandInOfficeSuite(scratch);
    const auto env = Environment(scratch, bin);
    std::ofstream(scratch / "old.pdf") << "the old PDF";

    const CliResult result = RunCli(scratch.Path(), {"document", "order.docx", "--pdf", "old.pdf", "--jobs", "3"}, env);
    EXPECT_EQ(result.exitCode, 2);
    // Parts of 53, 53 and 54 records: order 120 is in the third.
    EXPECT_NE(result.err.find("part 3 of 3 (records 107-160)"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("cannot render"), std::string::npos) << "the suite's own words: " << result.err;
    EXPECT_EQ(ReadFile(scratch / "old.pdf"), "the old PDF");
    EXPECT_TRUE(fs::is_empty(scratch / "tmp")) << "work folders are removed";

    // A slice names the run's record numbers: 110 records in two parts of 55.
    const CliResult slice =
        RunCli(scratch.Path(), {"document", "order.docx", "--records", "51-160", "--pdf", "old.pdf", "--jobs", "3"}, env);
    EXPECT_EQ(slice.exitCode, 2);
    EXPECT_NE(slice.err.find("part 2 of 2 (records 106-160)"), std::string::npos) << slice.err;
    EXPECT_EQ(ReadFile(scratch / "old.pdf"), "the old PDF");
}

}  // namespace
}  // namespace paperloom::cli::test
