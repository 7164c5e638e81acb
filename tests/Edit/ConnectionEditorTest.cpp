// The connection string editor and the data link file chooser: strings read into a driver and
// keywords and built back, the test's answers, and .udl files created, changed and refused.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "EditDialogTestSupport.h"
#include "host/ado/DataLinkFile.h"
#include "support/OdbcTestConfig.h"
#include "support/TestFiles.h"

namespace paperloom::edit::test {
namespace {

using paperloom::test::RunSqlite;
using paperloom::test::ScratchFolder;

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ConnectionEditorTest, StringsAreReadIntoKeywordsAndBuiltBack) {
    EXPECT_EQ(ConnectionEditor::ParseConnectionString("Driver={A;B}};C}; Database = x ;Flag;PWD={ p }"),
              (std::vector<ConnectionKeyword>{{"Driver", "A;B};C"}, {"Database", "x"}, {"Flag", ""}, {"PWD", " p "}}));

    EditDialogHarness harness;
    ConnectionEditor editor;
    editor.Init("Provider=SQLite;Data Source=/tmp/a b.db");
    EXPECT_TRUE(editor.IsSqlite());
    EXPECT_EQ(editor.GetConnectionString(), "Provider=SQLite;Data Source=/tmp/a b.db");

    // A string for no known driver keeps its keywords.
    editor.Init("DSN=Shop;UID=me");
    EXPECT_EQ(editor.cboDriver, -1);
    EXPECT_EQ(editor.GetConnectionString(), "DSN=Shop;UID=me");

    auto& config = paperloom::test::SharedOdbcTestConfig();
    if (!config.HasPgDriver()) GTEST_SKIP() << "psqlODBC is not installed";
    editor.Init("Driver={PostgreSQL Unicode};Database=shop;UID=me;Timeout=5");
    ASSERT_GT(editor.cboDriver, 0);
    EXPECT_EQ(editor.lstKeywords,
              (std::vector<ConnectionKeyword>{
                  {"Servername", ""}, {"Port", ""}, {"Database", "shop"}, {"UID", "me"}, {"PWD", ""}, {"Timeout", "5"}}));
    editor.SetKeywordValue(4, "a;b");
    EXPECT_EQ(editor.GetConnectionString(), "Driver={PostgreSQL Unicode};Database=shop;UID=me;PWD={a;b};Timeout=5");
    // Another driver offers its own keywords and keeps the values typed for shared ones.
    editor.cboDriver_Click(0);
    EXPECT_EQ(editor.GetConnectionString(), "");
    EXPECT_FALSE(editor.cmdOK_Click());
    EXPECT_EQ(harness.TakeShown(), std::vector<std::string>{"データベース ファイルを指定してください"});
}

TEST(ConnectionEditorTest, TestSaysWhetherTheConnectionOpens) {
    ScratchFolder folder;
    RunSqlite(folder.File("shop.db"), "CREATE TABLE t (a INTEGER);");
    EditDialogHarness harness;
    ConnectionEditor editor;
    editor.Init("Provider=SQLite;Data Source=" + folder.File("shop.db").string());
    editor.cmdTest_Click();
    EXPECT_EQ(harness.TakeShown(), std::vector<std::string>{"接続に成功しました"});
    editor.SetKeywordValue(0, folder.File("missing/x.db").string());
    editor.cmdTest_Click();
    const auto shown = harness.TakeShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].rfind("接続できませんでした\n\nエラー内容\n ", 0), 0u) << shown[0];
}

TEST(DataLinkEditorTest, CreatesChangesAndRefusesFiles) {
    ScratchFolder folder;
    RunSqlite(folder.File("shop.db"), "CREATE TABLE orders (id INTEGER);");
    EditDialogHarness harness;
    const std::string sqlite = "Provider=SQLite;Data Source=" + folder.File("shop.db").string();
    const auto udl = folder.File("shop.udl");

    DataLinkEditor chooser;
    chooser.Init(udl.string());
    EXPECT_EQ(chooser.lblStatus, "新しいファイルを作成します");
    EXPECT_FALSE(chooser.cmdOK_Click());  // a new file needs its string
    EXPECT_EQ(harness.TakeShown(), std::vector<std::string>{"接続文字列を指定してください"});
    // The string made in the connection editor.
    harness.forms.connection = [&](ConnectionEditor& editor) {
        editor.cboDriver_Click(0);
        editor.SetKeywordValue(0, folder.File("shop.db").string());
        ASSERT_TRUE(editor.cmdOK_Click());
    };
    chooser.cmdEdit_Click();
    EXPECT_EQ(chooser.txtConnection, sqlite);
    ASSERT_TRUE(chooser.cmdOK_Click());
    const std::string bytes = ReadBytes(udl);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFE[\0", 4));
    EXPECT_EQ(host::ado::ReadDataLinkFile(udl), sqlite);

    // The bind dialog connects through the file it chose.
    clsPLEBindForm form;
    form.Init("t", "OK", true, "");
    form.SetDataSource("3", folder.File("old.udl").string());
    harness.forms.dataLink = [&](DataLinkEditor& e) {
        EXPECT_EQ(e.lblStatus, "新しいファイルを作成します");
        e.SetPath(udl.string());
        EXPECT_EQ(e.txtConnection, sqlite);
        ASSERT_TRUE(e.cmdOK_Click());
    };
    form.cmdUDL_Click();
    EXPECT_EQ(form.txtUDL, udl.string());
    form.cboTable = "orders";
    form.cmdTest_Click();
    EXPECT_EQ(harness.TakeShown(), std::vector<std::string>{"テストは無事に完了しました!"});

    // A string over several lines cannot be kept in the file; the file stays as it was.
    chooser.Init(udl.string());
    chooser.txtConnection_Change("Provider=SQLite;\nData Source=x");
    EXPECT_FALSE(chooser.cmdOK_Click());
    EXPECT_EQ(harness.TakeShown().size(), 1u);
    EXPECT_EQ(ReadBytes(udl), bytes);

    // A file that is not a data link is not handed on unread.
    folder.Write("bad.udl", "not a link");
    chooser.Init(folder.File("bad.udl").string());
    EXPECT_FALSE(chooser.lblStatus.empty());
    EXPECT_FALSE(chooser.cmdOK_Click());
}

}  // namespace
}  // namespace paperloom::edit::test
