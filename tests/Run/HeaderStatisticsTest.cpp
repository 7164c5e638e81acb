// Header statistics over a bookmarked detail table: the whole column without break rows, the
// runs of data rows between break rows, and in a print run also the copies of the table that
// earlier detail pages printed. The results are computed by the document's own formulas.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FillTestSupport.h"
#include "Run/modPLRFunction.h"
#include "Run/modPLRStatistics.h"
#include "host/word/fields/Field.h"

namespace paperloom::run::test {
namespace {

using word::test::HiddenRun;
using word::test::TextRun;

// Caption row, data 3 4 5, break row 12, data 10 20, break row 30, one unused row.
std::string BrokenTable() {
    return TableOfRuns({{HiddenRun("ColumnHeaders=\"True\", BrokenRows=\"5,8\", EffectiveRowCnt=\"7\"") + TextRun("Item"),
                         TextRun("Qty")},
                        {TextRun("a"), TextRun("3")},
                        {TextRun("b"), TextRun("4")},
                        {TextRun("c"), TextRun("5")},
                        {TextRun("subtotal"), TextRun("12")},
                        {TextRun("d"), TextRun("10")},
                        {TextRun("e"), TextRun("20")},
                        {TextRun("subtotal"), TextRun("30")},
                        {TextRun(""), TextRun("")}});
}

// No property text: only the fill's working data tells its rows (break row 4, 4 rows used).
std::string LooseTable() {
    return TableOfRuns({{TextRun("k"), TextRun("v")},
                        {TextRun("p"), TextRun("5")},
                        {TextRun("q"), TextRun("6")},
                        {TextRun("sum"), TextRun("99")},
                        {TextRun("r"), TextRun("7")}});
}

// No caption row and no break rows: the whole column counts.
std::string PlainTable() {
    return TableOfRuns({{HiddenRun("ColumnHeaders=\"False\", EffectiveRowCnt=\"2\"") + TextRun("x"), TextRun("1,500")},
                        {TextRun("y"), TextRun("2.5")}});
}

const std::vector<std::string> kCodes{
    "quote Statistics SUM tbl b",
    "quote Statistics COUNT tbl b",
    "quote Statistics AVERAGE tbl b \\# \"0.00\"",
    "quote Statistics MAX tbl b",
    "quote Statistics SUM plain b \\# \"#,##0.0\"",
    "quote Statistics SUM nosuch b",
    "quote Statistics SUM tbl",
    "quote Statistics SUM loose b",
};

class HeaderStatistics : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShopDatabase(folder.File("shop.db"));
        std::string body;
        for (const auto& code : kCodes) body += Para(FieldRuns(code, "?"));
        body += BrokenTable() + Para(TextRun("between")) + PlainTable() + Para(TextRun("and")) + LooseTable() + Para(TextRun("end"));
        auto design = word::test::MakeDocument(body, "Statistics.docx");
        auto tables = design->Tables();
        design->Bookmarks().Add("tbl", tables.Item(1).Range());
        design->Bookmarks().Add("plain", tables.Item(2).Range());
        design->Bookmarks().Add("loose", tables.Item(3).Range());
        for (const auto& [name, value] : ShopSettings()) design->Variables().SetValue(name, value);
        design->SaveAs(folder.File("Statistics.docx"));
        design->Close();

        doc = app.Documents().Open(folder.File("Statistics.docx"));
        binding = modPLRFunction::OpenDocumentBind(registry, doc);
        ASSERT_NE(binding, nullptr);
    }

    std::vector<std::string> Results() const {
        std::vector<std::string> results;
        for (const auto& field : word::FieldsOf(*doc)) results.push_back(field.Result().Text());
        return results;
    }
    std::vector<std::string> Codes() const {
        std::vector<std::string> codes;
        for (const auto& field : word::FieldsOf(*doc)) codes.push_back(field.Code().Text());
        return codes;
    }

    void PrintRunFill() {
        std::vector<word::Fields> fields;
        std::vector<clsPLRReturnField> nativeFields;
        binding->SetHeadData(1, 3, &fields, &nativeFields, true);
        binding->UpdateHeadFields(fields);
        binding->SetHeadDataTerminate(fields, nativeFields);
    }

    ScratchFolder folder;
    word::Application app;
    std::shared_ptr<word::Document> doc;
    BindingRegistry registry;
    std::shared_ptr<clsPLRDBBind> binding;
};

TEST_F(HeaderStatistics, BookmarkedTablesAreFoundByExactName) {
    const auto table = modPLRFunction::FindTableByBookmark(*doc, "plain");
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(table->Rows().Count(), 2);
    EXPECT_EQ(modPLRFunction::FindTableByBookmark(*doc, "tbl")->Rows().Count(), 9);
    EXPECT_FALSE(modPLRFunction::FindTableByBookmark(*doc, "Plain").has_value());
    EXPECT_FALSE(modPLRFunction::FindTableByBookmark(*doc, "nosuch").has_value());
}

TEST_F(HeaderStatistics, BreakRowsAreLeftOutOnScreen) {
    binding->SetHeadDatas();
    const auto results = Results();
    EXPECT_EQ(results[0], "42");     // 3+4+5+10+20, not the subtotals again
    EXPECT_EQ(results[1], "5");
    EXPECT_EQ(results[2], "8.40");
    EXPECT_EQ(results[3], "20");
    EXPECT_EQ(results[4], "1,502.5");  // whole column of a table without break rows
    EXPECT_NE(results[5], "?");        // the whole-column formula over a missing bookmark: an error text
    EXPECT_EQ(results[6], "Statistics SUM tbl");  // too few tokens: the code is left to Word
    EXPECT_EQ(results[7], "117");                 // nothing tells of break rows on screen
    EXPECT_EQ(Codes(), kCodes);
}

TEST_F(HeaderStatistics, PrintRunCoversEveryPrintedCopyOfTheRecord) {
    PrintedTableCopy first;
    first.lngFirstDataRow = 2;
    first.lngRowsUsed = 3;
    first.cellTexts = {{"Item", "Qty"}, {"x", "1,000"}, {"y", "2"}, {"z", "n/a"}};
    PrintedTableCopy second;
    second.lngFirstDataRow = 2;
    second.lngRowsUsed = 4;
    second.lngBrokenRows = {4};
    second.cellTexts = {{"Item", "Qty"}, {"p", "7"}, {"q", "8"}, {"subtotal", "15"}, {"r", "9"}};
    binding->PrintedCopies()["tbl"] = {first, second};
    binding->BrokenRowsByTable().SetItem("loose", "4");
    binding->RowsUsedByTable().SetItem("loose", "4");

    PrintRunFill();
    const auto results = Results();
    EXPECT_EQ(results[0], "1068");  // 1000+2 + 7+8+9 + 42
    EXPECT_EQ(results[1], "10");
    EXPECT_EQ(results[2], "106.80");  // sum of sums over sum of counts
    EXPECT_EQ(results[3], "1000");
    EXPECT_EQ(results[4], "1,502.5");  // no printed copies of that table
    EXPECT_EQ(results[7], "18");       // the fill's working data stands in for the property text
    EXPECT_EQ(Codes(), kCodes);
}

TEST_F(HeaderStatistics, LongPrintedPagesStayWithinTheFunctionArguments) {
    PrintedTableCopy page;
    page.lngFirstDataRow = 1;
    page.lngRowsUsed = 450;
    page.cellTexts.assign(450, {"", "2"});
    binding->PrintedCopies()["tbl"] = {page};
    PrintRunFill();
    const auto results = Results();
    EXPECT_EQ(results[0], "942");  // 900 + 42
    EXPECT_EQ(results[1], "455");
}

}  // namespace
}  // namespace paperloom::run::test
