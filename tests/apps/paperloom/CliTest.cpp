// The paperloom program as a user runs it: bad input answered with a clear message and a
// non-zero status, templates never changed without --in-place, filled views and print
// documents of the right records, settings written where asked, and the describe report.

#include <gtest/gtest.h>

#include "CliTestSupport.h"

namespace paperloom::cli::test {
namespace {

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShopDatabase(scratch_ / "shop.db");
        MakeShopTemplate(templatePath_);
        original_ = ReadFile(templatePath_);
    }
    CliResult Run(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {}) {
        return RunCli(scratch_.Path(), args, env);
    }
    // The template's bytes are what the kit wrote.
    bool TemplateUnchanged() const { return ReadFile(templatePath_) == original_; }

    Scratch scratch_;
    fs::path templatePath_ = scratch_ / "order.docx";
    std::string original_;
};

#define EXPECT_FAILS_WITH(result, text)                                                   \
    do {                                                                                  \
        const CliResult r_ = (result);                                                    \
        EXPECT_NE(r_.exitCode, 0) << r_.out;                                              \
        EXPECT_NE(r_.err.find(text), std::string::npos) << "stderr: " << r_.err;          \
    } while (false)

TEST_F(Cli, BadArgumentsAndBadTemplatesAreRefusedClearlyAndTouchNothing) {
    EXPECT_NE(Run({}).exitCode, 0);
    EXPECT_NE(Run({"frobnicate", "order.docx"}).exitCode, 0);
    EXPECT_NE(Run({"show", "order.docx"}).exitCode, 0) << "-o is required";
    EXPECT_NE(Run({"show", "order.docx", "--record", "0", "-o", "v.docx"}).exitCode, 0);
    EXPECT_NE(Run({"options", "order.docx", "--copy-header", "maybe", "-o", "o.docx"}).exitCode, 0);
    EXPECT_NE(Run({"filter", "order.docx", "Shop = 'A'", "-o", "f.docx", "--in-place"}).exitCode, 0);

    EXPECT_FAILS_WITH(Run({"show", "missing.docx", "-o", "v.docx"}), "missing.docx does not exist");
    std::ofstream(scratch_ / "damaged.docx") << "PK this is no zip";
    EXPECT_FAILS_WITH(Run({"document", "damaged.docx", "-o", "d.docx"}), "damaged.docx cannot be read");
    EXPECT_FAILS_WITH(Run({"describe", "damaged.docx"}), "cannot be read");
    EXPECT_FAILS_WITH(Run({"show", "order.docx", "--record", "6", "-o", "v.docx"}), "There is no record 6");
    EXPECT_FAILS_WITH(Run({"show", "order.docx", "-o", "no-such-folder/v.docx"}), "does not exist");

    // Writing onto the template is refused unless --in-place says so, whatever the spelling.
    EXPECT_FAILS_WITH(Run({"show", "order.docx", "-o", "./order.docx"}), "is the template itself");
    EXPECT_FAILS_WITH(Run({"document", "order.docx", "-o", (scratch_ / "order.docx").string()}), "template itself");
    EXPECT_FAILS_WITH(Run({"sort", "order.docx", "Qty", "-o", "order.docx"}), "--in-place");
    EXPECT_FAILS_WITH(Run({"filter", "order.docx", "Shop = 'A'"}), "--in-place");
    EXPECT_FAILS_WITH(Run({"filter", "order.docx", "NoSuchColumn = 1", "--in-place"}), "no such column");

    // A template whose database is not there: said so, nothing written.
    MakeShopTemplate(scratch_ / "lost.docx", "gone.db");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show", "lost.docx", "-o", "v.docx"},
          std::vector<std::string>{"document", "lost.docx", "-o", "d.docx"},
          std::vector<std::string>{"find", "lost.docx", "Id = 1"}})
        EXPECT_FAILS_WITH(Run(args), "does not open");
    EXPECT_FALSE(fs::exists(scratch_ / "v.docx"));
    EXPECT_FALSE(fs::exists(scratch_ / "d.docx"));
    EXPECT_TRUE(TemplateUnchanged());
}

TEST_F(Cli, ShowFillsTheTemplateWithTheRecordAskedForAndLeavesTheTemplateAlone) {
    CliResult result = Run({"show", "order.docx", "--record", "3", "-o", "view.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("record: 3 of 5"), std::string::npos) << result.out;
    std::string text = DocumentText(scratch_ / "view.docx");
    EXPECT_NE(text.find("bulk"), std::string::npos) << text;
    EXPECT_NE(text.find("12"), std::string::npos);
    EXPECT_NE(text.find("ぶどう"), std::string::npos) << "the detail table shows the record's lines";
    EXPECT_EQ(text.find("first"), std::string::npos);

    result = Run({"show", "order.docx", "-o", "first.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    text = DocumentText(scratch_ / "first.docx");
    EXPECT_NE(text.find("first"), std::string::npos) << text;
    EXPECT_NE(text.find("りんご"), std::string::npos);
    EXPECT_TRUE(TemplateUnchanged());
    // The add-in was registered in the test's own configuration folder on first use.
    EXPECT_NE(ReadFile(scratch_ / "config" / "addins.xml").find("OsPLRun.conPLRun"), std::string::npos);
}

TEST_F(Cli, DocumentHoldsAllRecordsOrTheOneAskedFor) {
    CliResult result = Run({"document", "order.docx", "-o", "all.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("records: 5 (all)"), std::string::npos) << result.out;
    std::string text = DocumentText(scratch_ / "all.docx");
    for (const char* note : {"first", "none", "bulk", "late", "last"}) EXPECT_NE(text.find(note), std::string::npos) << note;
    EXPECT_NE(text.find("もも"), std::string::npos);

    result = Run({"document", "order.docx", "--record", "4", "-o", "four.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    text = DocumentText(scratch_ / "four.docx");
    EXPECT_NE(text.find("late"), std::string::npos) << text;
    for (const char* note : {"first", "none", "bulk", "last"}) EXPECT_EQ(text.find(note), std::string::npos) << note;
    EXPECT_TRUE(TemplateUnchanged());
}

TEST_F(Cli, DocumentWritesASliceOfTheRecordsInTheirOrder) {
    CliResult result = Run({"document", "order.docx", "--records", "2-3", "-o", "two.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("records: 2 (2-3)"), std::string::npos) << result.out;
    std::string text = DocumentText(scratch_ / "two.docx");
    for (const char* note : {"none", "bulk"}) EXPECT_NE(text.find(note), std::string::npos) << note;
    for (const char* note : {"first", "late", "last"}) EXPECT_EQ(text.find(note), std::string::npos) << note;

    // A last record past the end stops at the end.
    result = Run({"document", "order.docx", "--records", "4-99", "-o", "end.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("records: 2 (4-5)"), std::string::npos) << result.out;

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--records", "6-7"}, {"--records", "3-2"}, {"--records", "0-2"}, {"--records", "2"},
             {"--records", "a-b"}, {"--records", "1-2", "--current"}, {"--records", "1-2", "--record", "2"}}) {
        std::vector<std::string> args{"document", "order.docx", "-o", "bad.docx"};
        args.insert(args.end(), bad.begin(), bad.end());
        result = Run(args);
        EXPECT_NE(result.exitCode, 0) << bad[1];
        EXPECT_NE(result.err.find("record"), std::string::npos) << result.err;
        EXPECT_FALSE(fs::exists(scratch_ / "bad.docx")) << bad[1];
    }
    EXPECT_TRUE(TemplateUnchanged());
}

TEST_F(Cli, FilterSortAndOptionsWriteACopyOrTheTemplateOnlyWhenAsked) {
    CliResult result = Run({"filter", "order.docx", "Shop = 'B'", "-o", "b.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("(2 records)"), std::string::npos) << result.out;
    EXPECT_TRUE(TemplateUnchanged());
    EXPECT_NE(Run({"filter", "b.docx"}).out.find("HeadFilter: \"Shop = 'B'\""), std::string::npos);
    EXPECT_NE(Run({"filter", "order.docx"}).out.find("HeadFilter: (none)"), std::string::npos);
    // The copy documents only the filtered records.
    ASSERT_EQ(Run({"document", "b.docx", "-o", "b-all.docx"}).exitCode, 0);
    std::string text = DocumentText(scratch_ / "b-all.docx");
    EXPECT_NE(text.find("none"), std::string::npos);
    EXPECT_NE(text.find("last"), std::string::npos);
    EXPECT_EQ(text.find("bulk"), std::string::npos) << text;

    // Sort in place (a template whose record source has no order of its own, which would come
    // first), then show the first record of the new order.
    MakeShopTemplate(scratch_ / "unordered.docx", "shop.db", "");
    result = Run({"sort", "unordered.docx", "Qty DESC", "--in-place"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(Run({"show", "unordered.docx", "-o", "sorted.docx"}).exitCode, 0);
    EXPECT_NE(DocumentText(scratch_ / "sorted.docx").find("bulk"), std::string::npos);
    ASSERT_EQ(Run({"sort", "unordered.docx", "--clear", "--in-place"}).exitCode, 0);
    EXPECT_NE(Run({"sort", "unordered.docx"}).out.find("HeadSort: (none)"), std::string::npos);
    EXPECT_TRUE(TemplateUnchanged());

    // Options: shown with their defaults; a change writes all three.
    result = Run({"options", "order.docx"});
    EXPECT_EQ(result.out, "UpdateDetail: True\nCopyPrimaryHeader: False\nCopyPrimaryFooter: False\n");
    const std::string before = ReadFile(templatePath_);
    ASSERT_EQ(Run({"options", "order.docx", "--update-detail", "off", "--copy-footer", "on", "-o", "opt.docx"}).exitCode, 0);
    EXPECT_EQ(ReadFile(templatePath_), before);
    auto copy = word::Document::Open(scratch_ / "opt.docx");
    EXPECT_EQ(copy->Variables().Item("UpdateDetail").Value(), "False");
    EXPECT_EQ(copy->Variables().Item("CopyPrimaryHeader").Value(), "False");
    EXPECT_EQ(copy->Variables().Item("CopyPrimaryFooter").Value(), "True");
    copy->Close();
    ASSERT_EQ(Run({"options", "order.docx", "--copy-header", "on", "--in-place"}).exitCode, 0);
    EXPECT_FALSE(TemplateUnchanged());
    EXPECT_EQ(Run({"options", "order.docx"}).out, "UpdateDetail: True\nCopyPrimaryHeader: True\nCopyPrimaryFooter: False\n");
}

TEST_F(Cli, FindReportsTheRecordFoundOrExitsOneWhenNoneMatches) {
    CliResult result = Run({"find", "order.docx", "Shop = 'C'", "-o", "found.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Note: late"), std::string::npos) << result.out;
    EXPECT_NE(DocumentText(scratch_ / "found.docx").find("late"), std::string::npos);

    result = Run({"find", "order.docx", "Shop = 'Z'"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_NE(result.out.find("not found"), std::string::npos);
    EXPECT_TRUE(TemplateUnchanged());
}

TEST_F(Cli, FindByFieldWritesTheValueByTheFieldsKind) {
    RunSql(scratch_ / "shop.db", "UPDATE Orders SET Note = NULL WHERE Id = 2");
    struct Case {
        std::vector<std::string> args;
        std::string record;
        std::string shown;
    };
    const Case cases[] = {
        {{"--field", "Note", "--value", "at"}, "record: 4 of 5", "Note: late"},  // text matches inside
        {{"--field", "Shop", "--value", "B", "--backward"}, "record: 5 of 5", "Note: last"},
        {{"--field", "Qty", "--value", "12"}, "record: 3 of 5", "Note: bulk"},
        {{"--field", "Note", "--blank"}, "record: 2 of 5", "Shop: B"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"find", "order.docx"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliResult result = Run(args);
        EXPECT_EQ(result.exitCode, 0) << c.args[1] << ": " << result.err;
        EXPECT_NE(result.out.find(c.record), std::string::npos) << result.out;
        EXPECT_NE(result.out.find(c.shown), std::string::npos) << result.out;
    }
    // A quote in the value is part of the text looked for, not of the statement.
    CliResult result = Run({"find", "order.docx", "--field", "Note", "--value", "x' OR 'a'='a"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_FAILS_WITH(Run({"find", "order.docx", "--field", "Qty", "--value", "1 OR Qty=0"}), "cannot be compared");
    EXPECT_FAILS_WITH(Run({"find", "order.docx", "--field", "Missing", "--value", "1"}), "no field \"Missing\"");
    EXPECT_FAILS_WITH(Run({"find", "order.docx", "--field", "Note"}), "--value TEXT or --blank");
    EXPECT_FAILS_WITH(Run({"find", "order.docx", "--value", "x"}), "--field");
    EXPECT_TRUE(TemplateUnchanged());
}

TEST_F(Cli, ShowStepsAsTheNavigationButtonsFromTheRecordNamed) {
    const std::pair<std::vector<std::string>, std::string> steps[] = {
        {{"--last"}, "record: 5 of 5"},          {{"--next"}, "record: 2 of 5"},
        {{"--record", "5", "--next"}, "record: 5 of 5"},  // stays on the last
        {{"--record", "3", "--previous"}, "record: 2 of 5"},
        {{"--previous"}, "record: 1 of 5"},      // stays on the first
        {{"--first"}, "record: 1 of 5"}};
    for (const auto& [step, expected] : steps) {
        std::vector<std::string> args{"show", "order.docx", "-o", "step.docx"};
        args.insert(args.end(), step.begin(), step.end());
        const CliResult result = Run(args);
        ASSERT_EQ(result.exitCode, 0) << step.back() << ": " << result.err;
        EXPECT_NE(result.out.find(expected), std::string::npos) << step.back() << ": " << result.out;
    }
    EXPECT_NE(DocumentText(scratch_ / "step.docx").find("first"), std::string::npos);
    EXPECT_FAILS_WITH(Run({"show", "order.docx", "--first", "--last", "-o", "x.docx"}), "excludes");
    EXPECT_FAILS_WITH(Run({"show", "order.docx", "--last", "--record", "2", "-o", "x.docx"}), "excludes");
    EXPECT_TRUE(TemplateUnchanged());
}

TEST_F(Cli, SettingTestsPrintWhatTheyFillOrWhyTheyCannot) {
    CliResult result = Run({"test", "detail", "order.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("detail test: record 1 of 5"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("(明細): "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("みかん\t50"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("りんご\t100"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Note: first"), std::string::npos) << result.out;

    result = Run({"test", "header", "order.docx", "--record", "4", "-o", "tested.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("header test: record 4 of 5"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Note: late"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("明細"), std::string::npos) << "the header test fills no table";
    EXPECT_NE(DocumentText(scratch_ / "tested.docx").find("late"), std::string::npos);

    // The lines' table gone: the detail test names what failed, the header test still works.
    RunSql(scratch_ / "shop.db", "DROP TABLE Lines");
    result = Run({"test", "detail", "order.docx"});
    EXPECT_EQ(result.exitCode, 2) << result.out;
    EXPECT_NE(result.err.find("Lines"), std::string::npos) << result.err;
    EXPECT_EQ(Run({"test", "header", "order.docx"}).exitCode, 0);
    EXPECT_FAILS_WITH(Run({"test", "footer", "order.docx"}), "footer");
    EXPECT_TRUE(TemplateUnchanged());
}

TEST_F(Cli, DescribeReportsBindingsFieldsAndDetailTablesAndWhetherTheyOpen) {
    CliResult result = Run({"describe", "order.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string& out = result.out;
    EXPECT_NE(out.find("record source: type 2, Orders"), std::string::npos) << out;
    EXPECT_NE(out.find("opens: yes, 5 records"), std::string::npos) << out;
    EXPECT_NE(out.find("{quote DataField Note}"), std::string::npos) << out;
    EXPECT_NE(out.find("table 1 (bookmark 明細)"), std::string::npos) << out;
    EXPECT_NE(out.find("link: Id = OrderId"), std::string::npos) << out;
    EXPECT_NE(out.find("opens: yes, 4 records"), std::string::npos) << out;

    MakeShopTemplate(scratch_ / "lost.docx", "gone.db");
    result = Run({"describe", "lost.docx"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("opens: no, the data source does not open"), std::string::npos) << result.out;
    EXPECT_TRUE(TemplateUnchanged());
}

TEST_F(Cli, WithoutTheOfficeSuitePdfAndPrintSayWhatToInstall) {
    // An empty PATH hides the office suite (and the spooler) from the program.
    const std::map<std::string, std::string> noOffice{{"PATH", (scratch_ / "empty-bin").string()}};
    EXPECT_FAILS_WITH(Run({"document", "order.docx", "-o", "d.docx", "--pdf", "d.pdf"}, noOffice),
                      "libreoffice-writer-nogui");
    EXPECT_FAILS_WITH(Run({"print", "order.docx", "--print-dir", "printed"}, noOffice), "fonts-noto-cjk");
    EXPECT_FALSE(fs::exists(scratch_ / "d.pdf"));
    EXPECT_FALSE(fs::exists(scratch_ / "printed") && !fs::is_empty(scratch_ / "printed"));

    // A suite but no spooler: a printer named on the command line is not silently replaced by
    // the print folder of the environment.
    fs::create_directories(scratch_ / "bin");
    std::ofstream(scratch_ / "bin" / "soffice") << "#!/bin/sh\nexit 0\n";
    fs::permissions(scratch_ / "bin" / "soffice", fs::perms::owner_all);
    EXPECT_FAILS_WITH(Run({"print", "order.docx", "--printer", "Office"},
                          {{"PATH", (scratch_ / "bin").string()}, {"PAPERLOOM_PRINT_DIR", (scratch_ / "printed").string()}}),
                      "cups-client");
}

}  // namespace
}  // namespace paperloom::cli::test
