// What the program writes from hostile values and to places that are not plain files: texts in
// number columns shown as written (never computed), a NUL inside a text, a picture path with a
// double quote, record numbers out of range, and -o naming a device, a pipe or a link.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <future>

#include "CliTestSupport.h"
#include "host/word/fields/TestImages.h"

namespace paperloom::cli::test {
namespace {

namespace kit = templatekit;
namespace sk = templatekit::skeleton;

long CountOf(const std::string& text, const std::string& needle) {
    long count = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++count;
    return count;
}

// Values rows carry in a column declared INTEGER: texts a formula would compute, and numbers.
const std::vector<std::string> kHostileTexts{"6*7", "SUM(10,20)", "1=1", "Hello World", "=1+1"};

class CliValues : public ::testing::Test {
protected:
    CliResult Run(const std::vector<std::string>& args) { return RunCli(scratch_.Path(), args); }

    // One record per value: header "値 <Amount> 書式 <Amount \# #,##0> 注 <Note> 絵 <Picture>",
    // and a table of the record's lines with the amount formatted and a column computing
    // twice the quantity.
    void MakeValuesTemplate(const std::string& values, const std::string& lines) {
        RunSql(scratch_ / "values.db",
               "CREATE TABLE Items (Id INTEGER, Amount INTEGER, Note TEXT, Picture TEXT);"
               "CREATE TABLE Lines (ItemId INTEGER, LineNo INTEGER, Amount INTEGER, Qty INTEGER);"
               "INSERT INTO Items VALUES " + values + ";"
               "INSERT INTO Lines VALUES " + lines + ";");
        const std::string body = sk::Paragraph(sk::Run("値 [A] 書式 [F] 注 [N] 絵 [P] 終")) +
                                 sk::Paragraph(sk::Run("[LINES]")) + sk::Paragraph();
        kit::TemplateWriter writer(sk::MakeDocument(body, "values.docx"));
        kit::HeaderBinding header;
        header.source = {"4", "values.db", "", "", "2", "Items", "", "Id"};
        writer.WriteHeaderBinding(header);
        writer.ReplaceMarker("[A]", kit::DataFieldCode("Amount"));
        writer.ReplaceMarker("[F]", kit::DataFieldCode("Amount", {"\\#", "#,##0"}));
        writer.ReplaceMarker("[N]", kit::DataFieldCode("Note"));
        writer.ReplaceMarker("[P]", kit::PictureFieldCode("Picture"));
        kit::DetailTable table;
        table.source = {"4", "values.db", "", "", "2", "Lines", "", "LineNo"};
        table.parentKey = "Id";
        table.childKey = "ItemId";
        table.autoAdjustRowCount = true;
        table.columns = {{kit::ColumnKind::Data, "Amount", {"\\#", "#,##0"}, false, false, "額"},
                         {kit::ColumnKind::Data, "Qty", {}, false, false, "数"},
                         {kit::ColumnKind::Expression, "b*2", {"\\#", "0"}, false, false, "倍"}};
        writer.AddDetailTable(writer.FindMarker("[LINES]"), table);
        writer.SaveAs(scratch_ / "values.docx");
    }

    Scratch scratch_;
};

TEST_F(CliValues, TextsInNumberColumnsShowAsWrittenAndNumbersKeepTheirFormat) {
    std::string values;
    std::string lines;
    for (std::size_t i = 0; i < kHostileTexts.size(); ++i) {
        const std::string id = std::to_string(i + 1);
        values += (i ? ", (" : "(") + id + ", '" + kHostileTexts[i] + "', NULL, NULL)";
        lines += (i ? ", (" : "(") + id + ", 1, '" + kHostileTexts[i] + "', 21)";
    }
    values += ", (9, 1234567, NULL, NULL)";
    lines += ", (9, 1, 7654321, 50)";
    MakeValuesTemplate(values, lines);

    const CliResult result = Run({"document", "values.docx", "-o", "all.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // Without the picture fields' text, which names the scratch folder (and its random digits).
    std::string text = DocumentText(scratch_ / "all.docx");
    for (auto at = text.find("絵 "); at != std::string::npos; at = text.find("絵 ", at + 1))
        text.erase(at, text.find(" 終", at) - at);
    for (const std::string& value : kHostileTexts) {
        // The plain field, the formatted field and the table cell all show the text itself.
        EXPECT_EQ(CountOf(text, value), 3) << value << " in\n" << text;
    }
    for (const char* computed : {"値 42 ", "値 30 ", "値 1 ", "値 2 "})
        EXPECT_EQ(text.find(computed), std::string::npos) << computed;
    EXPECT_EQ(text.find("!構文エラー"), std::string::npos) << "no field shows a syntax error:\n" << text;
    // Real numbers are still numbers: formatted in the header and the table, and computed with.
    EXPECT_NE(text.find("値 1234567 書式 1,234,567"), std::string::npos) << text;
    EXPECT_NE(text.find("7,654,321"), std::string::npos) << text;
    EXPECT_NE(text.find("100"), std::string::npos) << "the formula column computes 50*2";
    EXPECT_EQ(CountOf(text, "42"), 5) << "21*2 in each row whose amount is a text:\n" << text;
}

TEST_F(CliValues, ANulInsideATextKeepsWhatFollowsIt) {
    MakeValuesTemplate("(1, 5, 'before' || char(0) || 'after', NULL)", "(1, 1, 1, 1)");
    const CliResult result = Run({"show", "values.docx", "-o", "view.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string text = DocumentText(scratch_ / "view.docx");
    const auto before = text.find("before");
    ASSERT_NE(before, std::string::npos) << text;
    const auto after = text.find("after");
    ASSERT_NE(after, std::string::npos) << "the text was cut at the NUL:\n" << text;
    const std::string between = text.substr(before + 6, after - before - 6);
    EXPECT_TRUE(between.empty() || between == "\xEF\xBF\xBD") << "between: [" << between << "]";
    EXPECT_NE(text.find("after 絵"), std::string::npos) << "nothing after the value is lost";
}

TEST_F(CliValues, APicturePathWithAQuoteStaysOnePath) {
    fs::create_directories(scratch_ / "pics");
    word::test::WriteFile(scratch_ / "pics" / "red \"seal\".png", word::test::RedPng());
    // A path that tries to close the quotes and add switches of its own.
    MakeValuesTemplate("(1, 5, 'n', 'pics/red \"seal\".png'), (2, 6, 'm', 'pics/none.png\" \\* Upper \"x')",
                       "(1, 1, 1, 1)");
    CliResult result = Run({"show", "values.docx", "-o", "one.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto document = word::Document::Open(scratch_ / "one.docx");
    bool linked = false;
    const auto& package = document->Package();
    for (const auto& rel : package.Relationships(package.MainDocumentPart()))
        linked = linked || (rel.external && rel.target.find("seal") != std::string::npos);
    EXPECT_TRUE(linked) << "the picture whose name holds quotes is found";
    EXPECT_EQ(document->Content().Text().find("!画像"), std::string::npos) << document->Content().Text();
    document->Close();

    result = Run({"show", "values.docx", "--record", "2", "-o", "two.docx"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string text = DocumentText(scratch_ / "two.docx");
    // The whole value is the path looked for; no switch from the data applied to it.
    EXPECT_NE(text.find("none.png\" \\* Upper \"x"), std::string::npos) << text;
}

TEST_F(CliValues, RecordNumbersOutOfRangeAreRefusedInPlainWords) {
    MakeShopDatabase(scratch_ / "shop.db");
    MakeShopTemplate(scratch_ / "order.docx");
    const auto fails = [&](const std::vector<std::string>& args, const std::string& message) {
        const CliResult result = Run(args);
        EXPECT_EQ(result.exitCode, 2) << result.out;
        EXPECT_NE(result.err.find(message), std::string::npos) << "stderr: " << result.err;
        EXPECT_EQ(result.err.find("1797"), std::string::npos) << result.err;
    };
    fails({"show", "order.docx", "--record", "0", "-o", "v.docx"}, "--record must be 1 or more");
    fails({"document", "order.docx", "--record=-3", "-o", "v.docx"}, "--record must be 1 or more");
    fails({"print", "order.docx", "--record", "0"}, "--record must be 1 or more");
    fails({"show", "order.docx", "--record", "2.5", "-o", "v.docx"}, "--record must be a whole number");
    fails({"show", "order.docx", "--record", "99999999999999999999", "-o", "v.docx"},
          "--record 99999999999999999999 is too large");
    fails({"document", "order.docx", "--record", "9223372036854775807", "-o", "v.docx"},
          "There is no record 9223372036854775807: the record source has 5 records");
    fails({"show", "order.docx", "--record", "6", "-o", "v.docx"}, "There is no record 6");
    EXPECT_FALSE(fs::exists(scratch_ / "v.docx"));
    EXPECT_EQ(Run({"show", "order.docx", "--record", "+5", "-o", "v.docx"}).exitCode, 0);
}

TEST_F(CliValues, OutputsThatAreNotFilesAreWrittenThroughOrRefusedButNeverReplaced) {
    MakeShopDatabase(scratch_ / "shop.db");
    MakeShopTemplate(scratch_ / "order.docx");

    // A device node of the test's own, so a regression cannot take the system's null device.
    const fs::path null = scratch_ / "null";
    if (::mknod(null.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) {
        const CliResult result = Run({"document", "order.docx", "-o", null.string()});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_TRUE(fs::is_character_file(null));
    }

    // A named pipe streams the document to its reader.
    const fs::path fifo = scratch_ / "out.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto received = std::async(std::launch::async, [&] { return ReadFile(fifo); });
    CliResult result = Run({"show", "order.docx", "-o", fifo.string()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string streamed = received.get();
    EXPECT_EQ(streamed.substr(0, 2), "PK");
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A link to standard output: the document goes there, the report to standard error, and
    // the link stays a link.
    fs::create_symlink("/proc/self/fd/1", scratch_ / "stdout.docx");
    result = Run({"show", "order.docx", "-o", "stdout.docx"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, 2), "PK") << "standard output holds the document alone";
    EXPECT_NE(result.err.find("view: "), std::string::npos) << result.err;
    EXPECT_TRUE(fs::is_symlink(scratch_ / "stdout.docx"));
    std::ofstream(scratch_ / "copy.docx", std::ios::binary) << result.out;
    EXPECT_NE(DocumentText(scratch_ / "copy.docx").find("first"), std::string::npos);

    // A PDF is rendered from a saved file, which a pipe is not: refused before any work.
    result = Run({"document", "order.docx", "-o", fifo.string(), "--pdf", "d.pdf"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.err.find("is not a file"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace paperloom::cli::test
