// paperloom design bookmark: bookmarks listed, added over a text (a name in other letters moves
// the one bookmark), renamed (also only in letter case) and deleted, each written to a copy or
// in place; bad names and missing texts or bookmarks refused with the template untouched.

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "host/word/Application.h"
#include "host/word/Bookmarks.h"
#include "host/word/Document.h"

namespace paperloom::cli::test {
namespace {

namespace sk = templatekit::skeleton;

class CliDesignBookmarkTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string body = sk::Paragraph(sk::Run("請求書 [LINES]")) +
                                 sk::Paragraph(sk::TextBox(sk::Paragraph(sk::Run("[BOX]")), {})) + sk::Paragraph();
        templatekit::TemplateWriter(sk::MakeDocument(body, "plain.docx")).SaveAs(dir / "plain.docx");
    }
    CliResult Cli(const std::vector<std::string>& args) { return RunCli(dir.Path(), args); }
    CliResult Bookmark(const std::string& file, std::vector<std::string> args) {
        args.insert(args.begin(), {"design", "bookmark", file});
        return Cli(args);
    }
    std::string List(const std::string& file) {
        const auto listed = Bookmark(file, {"--list"});
        EXPECT_EQ(listed.exitCode, 0) << listed.err;
        return listed.out;
    }
    // The text the bookmark covers, read back by the document model.
    std::string Covered(const std::string& file, const std::string& name) {
        word::Application app;
        const auto doc = app.Documents().Open(dir / file);
        const std::string text = doc->Bookmarks().Item(name).Range().Text();
        doc->Close(word::wdDoNotSaveChanges);
        return text;
    }
    Scratch dir;
};

TEST_F(CliDesignBookmarkTest, AddsMovesRenamesAndDeletesAsTheBookmarkManagerDoes) {
    EXPECT_EQ(List("plain.docx"), "");
    auto added = Bookmark("plain.docx", {"--add", "Lines", "--at", "[LINES]", "-o", "a.docx"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_NE(added.out.find("bookmark Lines over \"[LINES]\""), std::string::npos) << added.out;
    EXPECT_EQ(List("a.docx"), "Lines\n");
    EXPECT_EQ(Covered("a.docx", "Lines"), "[LINES]");

    // The same name in other letters moves the bookmark into the text box: still one.
    auto moved = Bookmark("a.docx", {"--add", "LINES", "--at", "[BOX]", "--in-place"});
    ASSERT_EQ(moved.exitCode, 0) << moved.err;
    EXPECT_NE(moved.out.find("moved; it was Lines"), std::string::npos) << moved.out;
    EXPECT_EQ(List("a.docx"), "LINES\n");
    EXPECT_EQ(Covered("a.docx", "lines"), "[BOX]");

    ASSERT_EQ(Bookmark("a.docx", {"--add", "Title", "--at", "請求書", "--in-place"}).exitCode, 0);
    auto caseOnly = Bookmark("a.docx", {"--rename", "lines", "Lines", "--in-place"});
    ASSERT_EQ(caseOnly.exitCode, 0) << caseOnly.err;
    EXPECT_EQ(List("a.docx"), "Lines\nTitle\n");
    EXPECT_EQ(Covered("a.docx", "Lines"), "[BOX]");

    auto renamed = Bookmark("a.docx", {"--rename", "LINES", "明細1", "-o", "b.docx"});
    ASSERT_EQ(renamed.exitCode, 0) << renamed.err;
    EXPECT_EQ(List("b.docx"), "Title\n明細1\n");
    EXPECT_EQ(Covered("b.docx", "明細1"), "[BOX]");
    EXPECT_EQ(List("a.docx"), "Lines\nTitle\n") << "-o leaves the template as it was";

    auto deleted = Bookmark("b.docx", {"--delete", "title", "--in-place"});
    ASSERT_EQ(deleted.exitCode, 0) << deleted.err;
    EXPECT_EQ(List("b.docx"), "明細1\n");
    word::Application app;
    EXPECT_NE(app.Documents().Open(dir / "b.docx")->Content().Text().find("請求書"), std::string::npos)
        << "the text stays";
}

TEST_F(CliDesignBookmarkTest, RefusesBadRequestsAndLeavesTheTemplateUntouched) {
    ASSERT_EQ(Bookmark("plain.docx", {"--add", "Lines", "--at", "[LINES]", "--in-place"}).exitCode, 0);
    ASSERT_EQ(Bookmark("plain.docx", {"--add", "Box", "--at", "[BOX]", "--in-place"}).exitCode, 0);
    const std::string before = ReadFile(dir / "plain.docx");
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
        {{"--add", "1st", "--at", "[LINES]", "-o", "x.docx"}, "not a bookmark name"},
        {{"--add", std::string(41, 'a'), "--at", "[LINES]", "-o", "x.docx"}, "not a bookmark name"},
        {{"--add", "Has_Space ", "--at", "[LINES]", "-o", "x.docx"}, "not a bookmark name"},
        {{"--add", "Other", "-o", "x.docx"}, "--at"},
        {{"--add", "Other", "--at", "[NOWHERE]", "-o", "x.docx"}, "does not occur"},
        {{"--delete", "Missing", "-o", "x.docx"}, "no bookmark Missing; it has Box, Lines"},
        {{"--rename", "Missing", "New", "-o", "x.docx"}, "no bookmark Missing"},
        {{"--rename", "Lines", "box", "-o", "x.docx"}, "already has a bookmark Box"},
        {{"--rename", "Lines", "Lines", "-o", "x.docx"}, "already named"},
        {{"--rename", "Lines", "9x", "-o", "x.docx"}, "not a bookmark name"},
        {{"--add", "Other", "--at", "[LINES]"}, "-o"},
        {{"--list", "-o", "x.docx"}, "changes nothing"},
        {{"-o", "x.docx"}, "Give one of"},
        {{"--delete", "Lines", "-o", "plain.docx"}, ""},
    };
    for (const auto& [args, message] : refused) {
        const auto result = Bookmark("plain.docx", args);
        std::string shown;
        for (const auto& arg : args) shown += arg + " ";
        EXPECT_NE(result.exitCode, 0) << shown;
        EXPECT_NE(result.err.find(message), std::string::npos) << shown << ": " << result.err;
        EXPECT_FALSE(fs::exists(dir / "x.docx")) << shown;
    }
    EXPECT_EQ(ReadFile(dir / "plain.docx"), before);
    EXPECT_NE(Bookmark("missing.docx", {"--list"}).exitCode, 0);
}

}  // namespace
}  // namespace paperloom::cli::test
