#include "common/modPLFunction.h"
#include "host/HostError.h"

#include <gtest/gtest.h>

namespace paperloom::modPLFunction {
namespace {

std::vector<std::string> Tokens(std::string_view text, std::string_view delimiter = "") {
    std::vector<std::string> tokens;
    SplitTokens(text, tokens, delimiter);
    return tokens;
}

using Strings = std::vector<std::string>;

TEST(ConnectionString, EachDataSourceType) {
    EXPECT_EQ(MakeConnectionString("1", "Sales"), "Sales");
    EXPECT_EQ(MakeConnectionString("2", "DSN=Sales;UID=a"), "DSN=Sales;UID=a");
    EXPECT_EQ(MakeConnectionString("3", "/data/sales.udl"), "File Name=/data/sales.udl");
    EXPECT_EQ(MakeConnectionString("4", "sales.mdb"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=sales.mdb;Persist Security Info=False");
    EXPECT_EQ(MakeConnectionString("5", "x"), "");
    EXPECT_EQ(MakeConnectionString("abc", "x"), "");
    EXPECT_EQ(MakeConnectionString("", "x"), "");
    EXPECT_EQ(MakeConnectionString("1", ""), "");
}

TEST(ConnectionString, ValueOfAKey) {
    const std::string text = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb;Persist Security Info=False";
    EXPECT_EQ(GetConnectionStringValue("Provider", text), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(GetConnectionStringValue("Data Source", text), "a.mdb");
    EXPECT_EQ(GetConnectionStringValue("Persist Security Info", text), "False");
    EXPECT_EQ(GetConnectionStringValue("provider", text), "");
    EXPECT_EQ(GetConnectionStringValue("UID", text), "");
    EXPECT_EQ(GetConnectionStringValue("", text), "");
    EXPECT_EQ(GetConnectionStringValue("Provider", ""), "");
    EXPECT_EQ(GetConnectionStringValue("DSN", "DSN"), "");
}

TEST(DataSourcePath, RelativePathsJoinTheDocumentsFolder) {
    const std::string relative = MakeConnectionString("4", "sales.sqlite");
    EXPECT_EQ(ResolveDataSourcePath(relative, "/home/u/docs", "/tmp/print"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/home/u/docs/sales.sqlite;Persist Security Info=False");
    EXPECT_EQ(ResolveDataSourcePath(relative, "", "/tmp/print"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/tmp/print/sales.sqlite;Persist Security Info=False");
    EXPECT_EQ(ResolveDataSourcePath(MakeConnectionString("4", "db\\sales.mdb"), "C:\\docs", ""),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\docs\\db\\sales.mdb;Persist Security Info=False");
    // never saved and no fallback folder: the name stays relative instead of moving to the root
    EXPECT_EQ(ResolveDataSourcePath(relative, "", ""), relative);
}

TEST(DataSourcePath, AbsoluteAndForeignStringsStay) {
    for (const char* path : {"/srv/sales.sqlite", "C:\\db\\sales.mdb", "d:/db.mdb", "\\\\server\\share\\s.mdb"}) {
        const std::string text = MakeConnectionString("4", path);
        EXPECT_EQ(ResolveDataSourcePath(text, "/home/u", "/tmp"), text) << path;
    }
    EXPECT_EQ(ResolveDataSourcePath("DSN=Sales;Data Source=x.db", "/home/u", ""), "DSN=Sales;Data Source=x.db");
    EXPECT_EQ(ResolveDataSourcePath("Provider=SQLite;Data Source=x.db", "/home/u", ""),
              "Provider=SQLite;Data Source=x.db");
    EXPECT_EQ(ResolveDataSourcePath("Provider=Microsoft.Jet.OLEDB.4.0", "/home/u", ""),
              "Provider=Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(ResolveDataSourcePath("Provider=Microsoft.Jet.OLEDB.4.0;data source=x.mdb", "/d", ""),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/x.mdb;");
}

TEST(RecordSourceStatement, TableWithEveryCondition) {
    std::string type = "2";
    EXPECT_EQ(MakeRecordSourceStatement(type, "Orders", "Qty > 0", "Date", "Shop = 'A'", "Qty DESC"),
              "SELECT * FROM Orders WHERE (Shop = 'A') AND Qty > 0 ORDER BY Date,Qty DESC");
    EXPECT_EQ(type, "1");
}

TEST(RecordSourceStatement, TableAloneAndPartialConditions) {
    std::string type = "2";
    EXPECT_EQ(MakeRecordSourceStatement(type, "Orders", "", "", "", ""), "Orders");
    EXPECT_EQ(type, "2");
    EXPECT_EQ(MakeRecordSourceStatement(type, "Orders", "", "Date", "", ""), "SELECT * FROM Orders ORDER BY Date");
    EXPECT_EQ(type, "1");
    type = "2";
    EXPECT_EQ(MakeRecordSourceStatement(type, "Orders", "", "", "Shop = 'A'", ""),
              "SELECT * FROM Orders WHERE Shop = 'A'");
    type = "2";
    EXPECT_EQ(MakeRecordSourceStatement(type, "Orders", "", "", "", "Qty"), "SELECT * FROM Orders ORDER BY Qty");
}

TEST(RecordSourceStatement, CommandTextIgnoresStoredConditions) {
    std::string type = "1";
    EXPECT_EQ(MakeRecordSourceStatement(type, "SELECT * FROM Orders", "Qty > 0", "Date", "", ""),
              "SELECT * FROM Orders");
    EXPECT_EQ(MakeRecordSourceStatement(type, "SELECT * FROM Orders", "", "", "F", ""),
              "SELECT * FROM Orders WHERE F");
    EXPECT_EQ(type, "1");
    std::string procedure = "4";
    EXPECT_EQ(MakeRecordSourceStatement(procedure, "GetOrders", "Qty > 0", "", "", ""), "GetOrders");
    EXPECT_EQ(procedure, "4");
}

TEST(FilterInStatement, WhereGoesBeforeAnExistingOrderBy) {
    EXPECT_EQ(AddFilterToStatement("SELECT * FROM Orders ORDER BY Date", "F"),
              "SELECT * FROM Orders WHERE F ORDER BY Date");
    EXPECT_EQ(AddFilterToStatement("select *\r\nfrom Orders\torder by Date", "F"),
              "select *\r\nfrom Orders WHERE F\torder by Date");
}

TEST(FilterInStatement, AndedBeforeAnExistingCondition) {
    EXPECT_EQ(AddFilterToStatement("SELECT * FROM T where a = 1", "b = 2"), "SELECT * FROM T where (b = 2) AND a = 1");
    // an OR condition keeps its meaning: the filter applies to every alternative
    EXPECT_EQ(AddFilterToStatement("SELECT * FROM T WHERE a = 1 Or a = 2 ORDER BY a", "b = 2"),
              "SELECT * FROM T WHERE (b = 2) AND (a = 1 Or a = 2) ORDER BY a");
    EXPECT_EQ(AddFilterToStatement("SELECT * FROM T WHERE (a = 1 OR a = 2) AND c = 3", "b"),
              "SELECT * FROM T WHERE (b) AND (a = 1 OR a = 2) AND c = 3");
    EXPECT_EQ(AddFilterToStatement("SELECT * FROM T WHERE a = 1 OR b = 2", "F"),
              "SELECT * FROM T WHERE (F) AND (a = 1 OR b = 2)");
}

TEST(FilterInStatement, DroppedWithoutFromOrTable) {
    EXPECT_EQ(AddFilterToStatement("EXECUTE GetOrders", "F"), "EXECUTE GetOrders");
    EXPECT_EQ(AddFilterToStatement("Orders", "F"), "Orders");
    EXPECT_EQ(AddFilterToStatement("SELECT * FROM ", "F"), "SELECT * FROM");
    EXPECT_EQ(AddFilterToStatement("SELECT * FROM", "F"), "SELECT * FROM");
    EXPECT_EQ(AddFilterToStatement("", "F"), "");
    EXPECT_EQ(AddFilterToStatement("SELECT * FROM T", ""), "SELECT * FROM T");
}

TEST(FilterInStatement, QuotedKeywordsAreNotKeywords) {
    EXPECT_EQ(AddFilterToStatement("SELECT 'where from' AS w FROM T", "F"),
              "SELECT 'where from' AS w FROM T WHERE F");
}

TEST(SortInStatement, AppendsOrAdds) {
    EXPECT_EQ(AddSortToStatement("SELECT * FROM T", "a DESC"), "SELECT * FROM T ORDER BY a DESC");
    EXPECT_EQ(AddSortToStatement("SELECT * FROM T order  by b", "a DESC"), "SELECT * FROM T order  by b,a DESC");
    EXPECT_EQ(AddSortToStatement("SELECT 'order by' FROM T", "a"), "SELECT 'order by' FROM T ORDER BY a");
    EXPECT_EQ(AddSortToStatement("SELECT * FROM T", ""), "SELECT * FROM T");
}

TEST(TableName, FromStatementShapes) {
    EXPECT_EQ(GetTableNameFromStatement("Orders"), "Orders");
    EXPECT_EQ(GetTableNameFromStatement("SELECT * FROM Orders"), "Orders");
    EXPECT_EQ(GetTableNameFromStatement("select a from 受注 where a=1"), "受注");
    EXPECT_EQ(GetTableNameFromStatement("EXECUTE GetOrders"), "");
    EXPECT_EQ(GetTableNameFromStatement("SELECT a, b FROM"), "");
    EXPECT_EQ(GetTableNameFromStatement(""), "");
}

TEST(ExecuteStatement, AnyLetterCase) {
    EXPECT_TRUE(IsExecuteStatement("EXECUTE GetOrders"));
    EXPECT_TRUE(IsExecuteStatement("execute GetOrders 1"));
    EXPECT_FALSE(IsExecuteStatement("SELECT * FROM Orders"));
    EXPECT_FALSE(IsExecuteStatement(""));
}

TEST(Tokens, DelimitersAndQuotes) {
    EXPECT_EQ(Tokens("quote  DataField\tPrice\r\n"), (Strings{"quote", "DataField", "Price"}));
    EXPECT_EQ(Tokens(R"(quote DataField 時刻 \@ "hh:mm:ss am/pm")"),
              (Strings{"quote", "DataField", "時刻", R"(\@)", R"("hh:mm:ss am/pm")"}));
    EXPECT_EQ(Tokens("Name Like 'A B*' And"), (Strings{"Name", "Like", "'A B*'", "And"}));
    // both quote characters toggle the same flag
    EXPECT_EQ(Tokens(R"(a"b c'd e' f)"), (Strings{R"(a"b c'd)", "e' f"}));
    EXPECT_EQ(Tokens("Date ASC,Qty DESC", ","), (Strings{"Date", "ASC", "Qty", "DESC"}));
    EXPECT_EQ(Tokens("Date ASC, Qty DESC", ","), (Strings{"Date", "ASC", "Qty", "DESC"}));
    EXPECT_EQ(Tokens("日付、数量", "、"), (Strings{"日付", "数量"}));
}

TEST(Tokens, EmptyTextKeepsTheOldArray) {
    std::vector<std::string> tokens = {"old"};
    EXPECT_EQ(SplitTokens("", tokens, ""), 0);
    EXPECT_EQ(SplitTokens("   ", tokens, ""), 0);
    EXPECT_EQ(tokens, Strings{"old"});
    EXPECT_EQ(SplitTokens("a b", tokens, ""), 2);
    EXPECT_EQ(tokens, (Strings{"a", "b"}));
}

TEST(Tokens, KeepingDelimitersGivesTheTextBack) {
    std::vector<std::string> tokens;
    const std::string text = "SELECT  *\tFROM 'a b'  WHERE x=1";
    EXPECT_EQ(SplitTokensKeepDelimiters(text, tokens, ""), 11);
    EXPECT_EQ(tokens, (Strings{"SELECT", "  ", "*", "\t", "FROM", " ", "'a b'", "  ", "WHERE", " ", "x=1"}));
    std::string joined;
    for (const auto& token : tokens) {
        joined += token;
    }
    EXPECT_EQ(joined, text);
    EXPECT_EQ(SplitTokensKeepDelimiters(" a", tokens, ""), 2);
    EXPECT_EQ(tokens, (Strings{" ", "a"}));
}

TEST(Flags, TextAndBack) {
    EXPECT_TRUE(TextToFlag("True"));
    EXPECT_TRUE(TextToFlag("true"));
    EXPECT_TRUE(TextToFlag("-1"));
    EXPECT_FALSE(TextToFlag("False"));
    EXPECT_FALSE(TextToFlag(""));
    EXPECT_FALSE(TextToFlag("0"));
    EXPECT_FALSE(TextToFlag("はい"));
    EXPECT_EQ(FlagToText(true), "True");
    EXPECT_EQ(FlagToText(false), "False");
    EXPECT_TRUE(TextToFlag(FlagToText(true)));
    EXPECT_FALSE(TextToFlag(FlagToText(false)));
}

TEST(Columns, Letters) {
    EXPECT_EQ(ColumnLetters(1), "a");
    EXPECT_EQ(ColumnLetters(2), "b");
    EXPECT_EQ(ColumnLetters(26), "z");
    EXPECT_EQ(ColumnLetters(27), "aa");
    EXPECT_EQ(ColumnLetters(28), "ab");
    EXPECT_EQ(ColumnLetters(52), "az");
    EXPECT_EQ(ColumnLetters(53), "ba");
    EXPECT_EQ(ColumnLetters(702), "zz");
    EXPECT_EQ(ColumnLetters(703), "aaa");
    EXPECT_THROW(ColumnLetters(0), host::HostError);
    EXPECT_THROW(ColumnLetters(-3), host::HostError);
}

TEST(BookmarkName, ExistingValidAndRejected) {
    std::string error;
    int adds = 0;
    const auto exists = [](std::string_view name) { return name == "Detail1"; };
    const auto add = [&adds](std::string_view name) {
        ++adds;
        if (name.empty() || name.front() == '1') {
            throw host::HostError(5941, "Word", "Bad bookmark name");
        }
    };
    EXPECT_FALSE(IsInvalidBookmarkName("Detail1", exists, add, error));
    EXPECT_EQ(adds, 0);
    EXPECT_FALSE(IsInvalidBookmarkName("Detail2", exists, add, error));
    EXPECT_TRUE(error.empty());
    EXPECT_TRUE(IsInvalidBookmarkName("1st", exists, add, error));
    EXPECT_EQ(error, "Bad bookmark name");
}

TEST(ErrorReport, SourceNumberInHexAndDescription) {
    EXPECT_EQ(MakeErrorReportText("OsPLRun", 91, "Object not set"), "OsPLRunエラー(5B)\n\nObject not set");
    EXPECT_EQ(MakeErrorReportText("ADODB", -2147217843, "Login failed"), "ADODBエラー(80040E4D)\n\nLogin failed");
    const auto report = MakeErrorReport(host::HostError(5941, "Word", "メンバーが見つかりません", "help.chm", 12));
    EXPECT_EQ(report.strText, "Wordエラー(1735)\n\nメンバーが見つかりません");
    EXPECT_EQ(report.strHelpFile, "help.chm");
    EXPECT_EQ(report.lngHelpContext, 12);
}

TEST(DefaultFolder, EmptyNeverOverwrites) {
    SetDefaultFolder("/srv/templates");
    SetDefaultFolder("");
    EXPECT_EQ(GetDefaultFolder(), "/srv/templates");
    SetDefaultFolder("/other");
    EXPECT_EQ(GetDefaultFolder(), "/other");
}

}  // namespace
}  // namespace paperloom::modPLFunction
