// Break rows of detail tables: one after each group with captions and statistics the update
// computes, the reserved last row of a fixed table across detail pages, stale break rows of
// an earlier fill, the definitions under column letters, and the break count statement.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DetailFillTestSupport.h"
#include "Run/clsPLRDBBindBreaks.h"
#include "Run/modPLRDetailTables.h"
#include "common/modPLFunction.h"

namespace paperloom::run::test {
namespace {

using Texts = std::vector<std::string>;

// Break on Item with: a "小計" caption, SUM of Qty, SUM of Price as "0.00", nothing in Note.
std::string BreakColumnProperties() {
    return PropertyText({{"FieldType", "1"},
                         {"DataField", "Item"},
                         {"Break", "True"},
                         {"aBreakRowFieldType", "キャプション"},
                         {"aBreakRowFieldValue", "小計"},
                         {"aBreakRowFormatType", "なし"},
                         {"bBreakRowFieldType", "統計演算"},
                         {"bBreakRowFieldValue", "SUM"},
                         {"bBreakRowFormatType", "なし"},
                         {"cBreakRowFieldType", "統計演算"},
                         {"cBreakRowFieldValue", "SUM"},
                         {"cBreakRowFormatType", "\\# (数値)"},
                         {"cBreakRowFormat", "0.00"}});
}

class BreakRowsTest : public DetailFixture {
protected:
    // Ann's lines without the cap: items Pen, Pen, Ink, Ink, Ink.
    DetailTableSpec BreakTable(long rows, bool autoAdjust, const std::string& where = "Item <> 'Cap'") {
        DetailTableSpec spec;
        spec.rows = rows;
        spec.detail = DetailKeys("Lines");
        spec.detail.emplace_back("AutoAdjustRowCount", autoAdjust ? "True" : "False");
        if (!where.empty()) spec.detail.emplace_back("RSWhere", where);
        spec.columnProperties = {BreakColumnProperties(), DataColumn("Qty"), DataColumn("Price"),
                                 DataColumn("CustName", {{"SkipSameValue", "True"}})};
        spec.captions = {"品名", "数量", "単価", "顧客"};
        return spec;
    }
};

TEST_F(BreakRowsTest, EachGroupEndsInABreakRowWhoseStatisticsTheUpdateComputes) {
    const auto binding = Bind(BreakTable(2, true));
    binding->SetDetailDatas(true);
    const auto table = Table();
    ASSERT_EQ(table.Rows().Count(), 8) << "caption, 5 records, 2 break rows";
    EXPECT_EQ(ColumnTexts(table, 1, 2, 8), (Texts{"Pen", "Pen", "小計", "Ink", "Ink", "Ink", "小計"}));
    EXPECT_EQ(CellFieldCodes(table, 4, 2), (Texts{"=SUM(b2:b3)"}));
    EXPECT_EQ(CellFieldCodes(table, 8, 2), (Texts{"=SUM(b5:b7)"}));
    EXPECT_EQ(CellFieldCodes(table, 8, 3), (Texts{"=SUM(c5:c7) \\# \"0.00\""}));
    EXPECT_EQ(CellText(table, 4, 2), "3");
    EXPECT_EQ(CellText(table, 8, 2), "12");
    EXPECT_EQ(CellText(table, 8, 3), "4.50");
    EXPECT_EQ(ColumnTexts(table, 4, 2, 8), (Texts{"Ann", "", "", "Ann", "", "", ""}))
        << "the first row after a break row shows its value again; a column without a definition "
           "stays empty in the break row";
    EXPECT_EQ(DetailKey("BrokenRows"), "4,8");
    EXPECT_EQ(DetailKey("EffectiveRowCnt"), "7");
    EXPECT_EQ(binding->BrokenRowsByTable().Item("Lines"), "4,8");
    EXPECT_EQ(binding->RowsUsedByTable().Item("Lines"), "7") << "2 break rows plus 5 records";
}

TEST_F(BreakRowsTest, ARefillLeavesNoStaleBreakRowBehind) {
    const auto binding = Bind(BreakTable(10, false));
    binding->SetDetailDatas(true);
    const auto table = Table();
    EXPECT_EQ(DetailKey("BrokenRows"), "4,8");

    binding->MoveNext(false);  // O'Brien: Hat, Hat
    binding->SetDetailDatas(true);
    EXPECT_EQ(DetailKey("BrokenRows"), "4");
    EXPECT_EQ(ColumnTexts(table, 1, 2, 5), (Texts{"Hat", "Hat", "小計", ""}));
    EXPECT_EQ(CellText(table, 4, 2), "15");
    for (long c = 1; c <= 4; ++c) {
        EXPECT_EQ(CellText(table, 8, c), "") << "column " << c;
        EXPECT_TRUE(CellFieldCodes(table, 8, c).empty()) << "column " << c;
    }
}

TEST_F(BreakRowsTest, FixedTableKeepsItsLastRowForTheBreakRowAcrossDetailPages) {
    // Pen Pen Ink Ink Ink Cap in a table of 4 data rows: 3 for records, 1 for a break row.
    const auto binding = Bind(BreakTable(5, false, ""));
    const auto table = Table();
    std::vector<word::Table> tables;
    std::vector<std::string> detail;
    std::vector<std::vector<std::string>> columns;
    long done = 0;
    std::vector<Texts> pages;
    bool more = true;
    for (long page = 1; more && page <= 5; ++page) {
        binding->GetDetailsAndProps(tables, detail, columns);
        DetailPrintContext context;
        context.blnPrintRun = true;
        context.blnRecordStart = page == 1;
        context.lngRecordsDone = done;
        binding->SetDetailData(tables[0], 4, detail[0], columns[0], true, page, nullptr, context);
        if (page == 1) {
            EXPECT_EQ(context.lngBreakRowCount, 3);
        }
        done += context.lngRecordsShown;
        more = context.blnMoreData;
        pages.push_back(ColumnTexts(table, 1, 2, 5));
    }
    EXPECT_EQ(done, 6);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0], (Texts{"Pen", "Pen", "小計", ""}));
    EXPECT_EQ(pages[1], (Texts{"Ink", "Ink", "Ink", "小計"}));
    EXPECT_EQ(pages[2], (Texts{"Cap", "小計", "", ""}));
}

TEST_F(BreakRowsTest, ATableWithNoRoomBesideItsBreakRowAsksForNoEndlessPages) {
    const auto binding = Bind(BreakTable(2, false));  // caption and one row, kept for the break
    std::vector<word::Table> tables;
    std::vector<std::string> detail;
    std::vector<std::vector<std::string>> columns;
    binding->GetDetailsAndProps(tables, detail, columns);
    DetailPrintContext context;
    context.blnPrintRun = true;
    context.blnRecordStart = true;
    binding->SetDetailData(tables[0], 1, detail[0], columns[0], true, 1, nullptr, context);
    EXPECT_EQ(context.lngRecordsShown, 0);
    EXPECT_FALSE(context.blnMoreData);
    EXPECT_EQ(context.lngRowsNeeded, 7);
}

TEST_F(BreakRowsTest, GroupsAreCountedAsTheFillMeetsThemNotAsTheDatabaseGroupsThem) {
    // Ordered so that values come back (Pen Ink Cap | Pen Ink Ink), the database sees 3
    // distinct items but the fill needs a break row after each of 5 runs.
    auto spec = BreakTable(2, true, "");
    spec.detail = DetailKeys("Lines", "Id % 2, Id");
    spec.detail.emplace_back("AutoAdjustRowCount", "True");
    const auto binding = Bind(spec);
    binding->SetDetailDatas(true);
    const auto table = Table();
    EXPECT_EQ(DetailKey("BrokenRows"), "3,5,7,9,12");
    EXPECT_EQ(table.Rows().Count(), 12) << "6 records and 5 runs: every record shown";
    EXPECT_EQ(CellText(table, 6, 1), "Cap");
    EXPECT_EQ(CellText(table, 11, 1), "Ink");
}

TEST(BreakDefinitionsTest, KeysUnderColumnLettersUpToTwoLetters) {
    std::string text;
    const clsPLProperty property;
    property.SetPropertyToText(text, "aBreakRowFieldType", "キャプション");
    property.SetPropertyToText(text, "aBreakRowFieldValue", "計");
    property.SetPropertyToText(text, "aaBreakRowFieldType", "統計演算");
    property.SetPropertyToText(text, "aaBreakRowFieldValue", "AVERAGE");
    property.SetPropertyToText(text, "aaBreakRowFormatType", "\\# (数値)");
    property.SetPropertyToText(text, "aaBreakRowFormat", "#,##0");
    const auto definitions = ReadBreakDefinitions(27, text);
    ASSERT_EQ(definitions.size(), 27u);
    EXPECT_EQ(definitions[0].strFieldType, "キャプション");
    EXPECT_EQ(definitions[0].strFieldValue, "計");
    EXPECT_EQ(definitions[0].strFormat, "") << "aBreakRowFormat is not found inside aaBreakRowFormat";
    EXPECT_EQ(definitions[1].strFieldType, "");
    EXPECT_EQ(definitions[26].strFieldType, "統計演算");
    EXPECT_EQ(definitions[26].strFieldValue, "AVERAGE");
    EXPECT_EQ(definitions[26].strFormat, "#,##0");

    EXPECT_EQ(BreakFormatSwitch("\\# (数値)"), "\\#");
    EXPECT_EQ(BreakFormatSwitch("\\@ (日付／時刻)"), "\\@");
    EXPECT_EQ(BreakFormatSwitch("\\* (文字列)"), "\\*");
    EXPECT_EQ(BreakFormatSwitch("なし"), "");
    EXPECT_EQ(BreakFormatSwitch(""), "");
}

class BreakCountTest : public DetailFixture {
protected:
    long Count(const std::string& type, const std::string& source, const std::string& where,
               const std::string& field) {
        const auto connection = modPLFunction::OpenConnection("4", folder_.File("shop.db").string(), "", "", "");
        EXPECT_NE(connection, nullptr);
        return clsPLRDBBind().GetBreakRowCount(connection, type, source, where, field);
    }
};

TEST_F(BreakCountTest, StatementSelectsTheBreakFieldAndGroupsByIt) {
    EXPECT_EQ(MakeBreakCountStatement("2", "Lines", "CustId=1", "Item"),
              "SELECT COUNT(BREAKCOUNTSET.Item) FROM (SELECT Item FROM Lines WHERE CustId=1  GROUP BY Item) AS "
              "BREAKCOUNTSET");
    EXPECT_EQ(MakeBreakCountStatement("1", "SELECT Id, Qty FROM Lines", "CustId=1", "Item"),
              "SELECT COUNT(BREAKCOUNTSET.Item) FROM (SELECT Id, Qty, Item FROM Lines WHERE CustId=1  GROUP BY "
              "Item) AS BREAKCOUNTSET");
    EXPECT_EQ(MakeBreakCountStatement("2", "Lines", "", "Item"),
              "SELECT COUNT(BREAKCOUNTSET.Item) FROM (SELECT Item FROM Lines  GROUP BY Item) AS BREAKCOUNTSET");
}

TEST_F(BreakCountTest, CountsDistinctValuesAndZeroWhenThereIsNothingToCount) {
    EXPECT_EQ(Count("2", "Lines", "CustId=1", "Item"), 3);
    EXPECT_EQ(Count("1", "SELECT Id, Qty FROM Lines", "CustId=1 AND Item <> 'Cap'", "Item"), 2);
    EXPECT_EQ(Count("2", "Lines", "", "Item"), 5) << "Pen, Ink, Cap, Hat, Box";
    EXPECT_EQ(Count("2", "Lines", "CustId=1", ""), 0) << "no break field";
    EXPECT_EQ(Count("2", "NoSuchTable", "CustId=1", "Item"), 0) << "a failing query";
    EXPECT_EQ(Count("2", "Lines", "CustId=1", "NoSuchField"), 0);
}

}  // namespace
}  // namespace paperloom::run::test
