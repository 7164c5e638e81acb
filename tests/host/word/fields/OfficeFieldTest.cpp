// A template whose fields were computed and given their design-time codes back opens in the
// office suite showing the computed results. Slow; label "office".

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "FieldTestSupport.h"
#include "TestImages.h"
#include "host/word/fields/Field.h"

namespace paperloom::word {
namespace {

namespace fs = std::filesystem;

// Runs a program with its output in `log`; true when it exits with 0.
bool RunProgram(const std::vector<std::string>& args, const fs::path& log) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::alarm(600);  // a hung conversion must not hang the test run
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) < 0) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Have(const char* program) {
    return ::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(OfficeFields, ComputedResultsShowAfterTheCodesAreWrittenBack) {
    if (!Have("soffice") || !Have("pdftotext") || !Have("pdfimages")) GTEST_SKIP() << "office suite or poppler missing";
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

    ASSERT_TRUE(RunProgram({"soffice", "--headless", "--norestore",
                     "-env:UserInstallation=file://" + (folder.Path() / "profile").string(), "--convert-to", "pdf",
                     "--outdir", folder.Path().string(), (folder.Path() / "template.docx").string()},
                    folder.Path() / "office.log"))
        << ReadAll(folder.Path() / "office.log");
    const auto pdf = folder.Path() / "template.pdf";
    ASSERT_TRUE(fs::exists(pdf)) << ReadAll(folder.Path() / "office.log");
    ASSERT_TRUE(RunProgram({"pdftotext", "-layout", pdf.string(), (folder.Path() / "template.txt").string()},
                    folder.Path() / "poppler.log"));
    const auto text = ReadAll(folder.Path() / "template.txt");
    EXPECT_NE(text.find("PAPERLOOM TRADING"), std::string::npos) << text;
    EXPECT_NE(text.find("9,876,543"), std::string::npos) << text;
    EXPECT_NE(text.find("1,234"), std::string::npos) << text;
    EXPECT_EQ(text.find("DataField"), std::string::npos) << text;
    ASSERT_TRUE(RunProgram({"pdfimages", "-list", pdf.string()}, folder.Path() / "images.txt"));
    const auto images = ReadAll(folder.Path() / "images.txt");
    EXPECT_NE(images.find("image"), std::string::npos) << images;
    EXPECT_NE(images.find("30    20"), std::string::npos) << images;  // the embedded picture
    EXPECT_NE(images.find("   4     4"), std::string::npos) << images;  // the linked one
}

}  // namespace
}  // namespace paperloom::word
