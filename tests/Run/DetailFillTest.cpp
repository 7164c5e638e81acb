// The detail fill on real templates and a SQLite database: rows per page with a caption row,
// tables that adjust their rows to the records, repeated-value blanking, row formulas,
// formats, text link keys, tables left alone or emptied when their source fails, and the detail
// pages of a print run.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DetailFillTestSupport.h"
#include "FillTestSupport.h"
#include "Run/modPLRDetailTables.h"
#include "host/HostError.h"

namespace paperloom::run::test {
namespace {

using Texts = std::vector<std::string>;

class DetailFillTest : public DetailFixture {
protected:
    // Item and Qty of the linked lines, caption row, rows rows in all.
    DetailTableSpec ItemQtyTable(long rows, bool autoAdjust) {
        DetailTableSpec spec;
        spec.rows = rows;
        spec.detail = DetailKeys("Lines");
        spec.detail.emplace_back("AutoAdjustRowCount", autoAdjust ? "True" : "False");
        spec.columnProperties = {DataColumn("Item"), DataColumn("Qty")};
        spec.captions = {"品名", "数量"};
        return spec;
    }

    // Fills the table for one detail page of a print run.
    DetailPrintContext FillPage(clsPLRDBBind& binding, long page, long recordsDone, long baseRows) {
        std::vector<word::Table> tables;
        std::vector<std::string> detail;
        std::vector<std::vector<std::string>> columns;
        binding.GetDetailsAndProps(tables, detail, columns);
        DetailPrintContext context;
        context.blnPrintRun = true;
        context.blnRecordStart = page == 1;
        context.lngRecordsDone = recordsDone;
        binding.SetDetailData(tables.at(0), baseRows, detail.at(0), columns.at(0), true, page, nullptr, context);
        return context;
    }
};

TEST_F(DetailFillTest, FixedTableShowsWhatFitsAndClearsWhatALaterRecordLeavesOver) {
    const auto binding = Bind(ItemQtyTable(5, false));
    binding->SetDetailDatas(true);
    const auto table = Table();
    EXPECT_EQ(table.Rows().Count(), 5);
    EXPECT_EQ(CellText(table, 1, 1), "品名") << "the caption row stays";
    EXPECT_EQ(ColumnTexts(table, 2, 2, 5), (Texts{"1", "2", "3", "4"})) << "4 of Ann's 6 lines";
    EXPECT_EQ(DetailKey("EffectiveRowCnt"), "4");
    EXPECT_EQ(DetailKey("BrokenRows"), "");
    EXPECT_EQ(DetailKey("RecordSource"), "Lines") << "the table's own keys stay";
    EXPECT_EQ(binding->BrokenRowsByTable().Item("Lines"), "");
    EXPECT_EQ(binding->RowsUsedByTable().Item("Lines"), "6") << "no break rows plus 6 records";

    binding->MoveNext(false);  // O'Brien: 2 lines
    binding->SetDetailDatas(true);
    EXPECT_EQ(ColumnTexts(table, 1, 2, 5), (Texts{"Hat", "Hat", "", ""}));
    EXPECT_EQ(ColumnTexts(table, 2, 2, 5), (Texts{"7", "8", "", ""}));
    EXPECT_EQ(DetailKey("EffectiveRowCnt"), "2") << DetailProperties();
    EXPECT_EQ(binding->RowsUsedByTable().Count(), 1) << "the entry is replaced, not added";

    binding->MovePos(4);  // Dora: no lines
    binding->SetDetailDatas(true);
    EXPECT_EQ(ColumnTexts(table, 2, 2, 5), (Texts{"", "", "", ""}));
    EXPECT_EQ(table.Rows().Count(), 5);
}

TEST_F(DetailFillTest, WithoutACaptionRowTheFirstRowHoldsBothItsSettingsAndTheFirstRecord) {
    auto spec = ItemQtyTable(3, false);
    spec.detail.emplace_back("ColumnHeaders", "False");
    spec.captions.clear();
    const auto binding = Bind(spec);
    const auto table = Table();
    for (int refill = 0; refill < 2; ++refill) {
        binding->SetDetailDatas(true);
        EXPECT_EQ(ColumnTexts(table, 1, 1, 3), (Texts{"Pen", "Pen", "Ink"}));
        EXPECT_EQ(ColumnTexts(table, 2, 1, 3), (Texts{"1", "2", "3"}));
    }
    std::vector<std::string> columns;
    clsPLProperty().GetColumnProperties(table, *doc_, columns);
    EXPECT_EQ(columns.at(1), DataColumn("Qty")) << "column 2's settings stay in front of its value";
    EXPECT_EQ(DetailKey("DataField"), "Item");
    EXPECT_EQ(DetailKey("EffectiveRowCnt"), "3");
}

TEST_F(DetailFillTest, AdjustingTableGrowsAndShrinksToTheRecordsButKeepsItsFirstDataRow) {
    const auto binding = Bind(ItemQtyTable(2, true));
    const auto table = Table();
    binding->SetDetailDatas(true);
    EXPECT_EQ(table.Rows().Count(), 7);
    EXPECT_EQ(ColumnTexts(table, 2, 2, 7), (Texts{"1", "2", "3", "4", "5", "6"}));

    binding->MoveNext(false);
    binding->SetDetailDatas(true);
    EXPECT_EQ(table.Rows().Count(), 3);
    EXPECT_EQ(ColumnTexts(table, 1, 1, 3), (Texts{"品名", "Hat", "Hat"}));

    binding->MovePos(4);
    binding->SetDetailDatas(true);
    EXPECT_EQ(table.Rows().Count(), 2);
    EXPECT_EQ(CellText(table, 2, 2), "");
    EXPECT_EQ(DetailKey("EffectiveRowCnt"), "0");

    binding->MovePos(3);  // Carl: 23 lines
    binding->SetDetailDatas(true);
    EXPECT_EQ(table.Rows().Count(), 24);
    EXPECT_EQ(CellText(table, 24, 2), "23");
}

TEST_F(DetailFillTest, FiveHundredLinesFillAGrowingTableCompletely) {
    auto spec = ItemQtyTable(2, true);
    spec.columnProperties = {DataColumn("Item", {{"SkipSameValue", "True"}}), DataColumn("Qty"),
                             DataColumn("Amount", {{"FormatType", "\\#"}, {"Format", "#,##0"}})};
    spec.captions = {"品名", "数量", "金額"};
    const auto binding = Bind(spec);
    binding->MovePos(5);
    binding->SetDetailDatas(true);
    const auto table = Table();
    ASSERT_EQ(table.Rows().Count(), 501);
    EXPECT_EQ(CellText(table, 2, 1), "Box");
    EXPECT_EQ(CellText(table, 501, 1), "");
    EXPECT_EQ(CellText(table, 501, 2), "500");
    EXPECT_EQ(DetailKey("EffectiveRowCnt"), "500");

    binding->MovePos(1);
    binding->SetDetailDatas(true);
    EXPECT_EQ(table.Rows().Count(), 7);
}

TEST_F(DetailFillTest, RepeatedValuesAreBlankedExceptOnTheFirstRowOfEachPage) {
    auto spec = ItemQtyTable(4, false);  // 3 data rows per page
    spec.columnProperties = {DataColumn("Item", {{"SkipSameValue", "True"}}), DataColumn("Qty"),
                             DataColumn("Price", {{"SkipSameValue", "True"}})};
    spec.captions = {"品名", "数量", "単価"};
    const auto binding = Bind(spec);
    const auto table = Table();

    binding->SetDetailDatas(true);
    EXPECT_EQ(ColumnTexts(table, 1, 2, 4), (Texts{"Pen", "", "Ink"}));
    EXPECT_EQ(ColumnTexts(table, 3, 2, 4), (Texts{"1.5", "", ""}));

    const auto page1 = FillPage(*binding, 1, 0, 3);
    EXPECT_TRUE(page1.blnMoreData);
    EXPECT_EQ(page1.lngRecordsShown, 3);
    const auto page2 = FillPage(*binding, 2, 3, 3);
    EXPECT_EQ(ColumnTexts(table, 1, 2, 4), (Texts{"Ink", "", "Cap"})) << "a new page shows its first value";
    EXPECT_EQ(ColumnTexts(table, 3, 2, 4), (Texts{"1.5", "", ""}));
    EXPECT_FALSE(page2.blnMoreData);
}

TEST_F(DetailFillTest, ExpressionColumnBecomesARowFormulaComputedByTheUpdate) {
    auto spec = ItemQtyTable(2, true);
    spec.columnProperties = {DataColumn("Qty"), DataColumn("Price"), DataColumn("A*B", {}, "3")};
    spec.captions = {"数量", "単価", "金額"};
    const auto binding = Bind(spec);
    binding->SetDetailDatas(false);
    const auto table = Table();
    EXPECT_EQ(CellFieldCodes(table, 4, 3), (Texts{"=A4*B4"}));

    modPLRFunction::UpdateAllFields(*doc_);
    EXPECT_EQ(CellText(table, 4, 3), "4.5") << "3 x 1.5";
    EXPECT_EQ(CellText(table, 7, 3), "9");
}

TEST_F(DetailFillTest, MakeRowFormulaAppendsTheRowToColumnLettersOnly) {
    EXPECT_EQ(modPLRFunction::MakeRowFormula(3, "A*B+10"), "A3*B3+10");
    EXPECT_EQ(modPLRFunction::MakeRowFormula(12, "(a + bc) / 2.5 - c"), "(a12 + bc12) / 2.5 - c12");
    EXPECT_EQ(modPLRFunction::MakeRowFormula(4, ""), "");
}

TEST_F(DetailFillTest, FormatsGivePlainTextWhereTheyCanAndAFieldOtherwise) {
    auto spec = ItemQtyTable(2, true);
    spec.columnProperties = {
        DataColumn("Amount", {{"FormatType", "\\#"}, {"Format", "#,##0"}}),
        DataColumn("Placed", {{"FormatType", "\\@"}, {"Format", "yyyy年M月d日"}}),
        DataColumn("行番号", {}, "2"),
        DataColumn("Item", {}, "4"),
    };
    spec.captions = {"金額", "日付", "No", "写真"};
    const auto binding = Bind(spec);
    binding->SetDetailDatas(true);
    const auto table = Table();

    EXPECT_EQ(ColumnTexts(table, 1, 2, 3), (Texts{"1,234", "1,234,568"}));
    EXPECT_TRUE(CellFieldCodes(table, 2, 1).empty()) << "a number picture the fill can apply is plain text";

    EXPECT_EQ(CellFieldCodes(table, 2, 2), (Texts{"quote \"2024/01/05\" \\@ \"yyyy年M月d日\""}));
    EXPECT_EQ(CellText(table, 2, 2), "2024年1月5日");
    EXPECT_EQ(CellText(table, 6, 2), "") << "line 5 has no date";
    EXPECT_TRUE(CellFieldCodes(table, 6, 2).empty());

    EXPECT_EQ(ColumnTexts(table, 3, 2, 7), (Texts{"1", "2", "3", "4", "5", "6"}));

    const auto picture = CellFieldCodes(table, 2, 4);
    ASSERT_EQ(picture.size(), 1u);
    EXPECT_EQ(picture[0].rfind("IncludePicture \"", 0), 0u) << picture[0];
    EXPECT_NE(picture[0].find("Pen\" \\d"), std::string::npos) << picture[0];
}

TEST_F(DetailFillTest, TextKeyWithASingleQuoteLinksItsOwnLines) {
    auto spec = ItemQtyTable(4, false);
    spec.detail = {{"DataSourceType", "4"}, {"DataSource", "shop.db"}, {"RecordSourceType", "1"},
                   {"RecordSource", "SELECT * FROM Lines ORDER BY Id"}, {"ParentKey", "Name"},
                   {"ChildKey", "CustName"}, {"AutoAdjustRowCount", "False"}};
    const auto binding = Bind(spec);
    binding->MovePos(2);
    binding->SetDetailDatas(true);
    EXPECT_EQ(ColumnTexts(Table(), 2, 2, 4), (Texts{"7", "8", ""}));
}

TEST_F(DetailFillTest, AKeyWhoseTypeTheSchemaDoesNotTellIsWrittenByTheHeaderValue) {
    RunSqlite(folder_.File("shop.db"),
              "CREATE TABLE Notes (CustName, Memo);"
              "INSERT INTO Notes VALUES ('Ann', 'a'), ('O''Brien', 'b1'), ('O''Brien', 'b2');");
    DetailTableSpec spec;
    spec.rows = 2;
    spec.detail = {{"DataSourceType", "4"}, {"DataSource", "shop.db"}, {"RecordSourceType", "2"},
                   {"RecordSource", "Notes"}, {"ParentKey", "Name"}, {"ChildKey", "custname"},
                   {"AutoAdjustRowCount", "True"}};
    spec.columnProperties = {DataColumn("Memo")};
    const auto binding = Bind(spec);
    binding->MovePos(2);
    binding->SetDetailDatas(true);
    EXPECT_EQ(ColumnTexts(Table(), 1, 1, Table().Rows().Count()), (Texts{"", "b1", "b2"}));
}

TEST_F(DetailFillTest, TablesWithoutSettingsStayAsTheyWereAndAFailingSourceShowsNoRows) {
    DetailTableSpec plain;
    plain.columnProperties = {"", ""};
    plain.captions = {"x", "y"};
    const auto binding = Bind(plain);
    auto cell = Table().Cell(3, 2).Range();
    clsPLRange().AppendText("keep", cell);
    binding->SetDetailDatas(true);
    EXPECT_EQ(CellText(Table(), 3, 2), "keep");
    EXPECT_EQ(DetailKey("EffectiveRowCnt"), "<absent>");

    auto failing = ItemQtyTable(3, true);
    failing.detail = DetailKeys("NoSuchTable");
    failing.detail.emplace_back("AutoAdjustRowCount", "True");
    const auto second = Bind(failing, CustomerSettings(), "Failing.docx");
    auto other = Table().Cell(2, 1).Range();
    clsPLRange().AppendText("old", other);
    // A source that fails is an error, and the table keeps nothing it showed before.
    EXPECT_THROW(second->SetDetailDatas(true), host::HostError);
    EXPECT_EQ(Table().Rows().Count(), 2);
    EXPECT_EQ(CellText(Table(), 2, 1), "");
    EXPECT_EQ(DetailKey("EffectiveRowCnt"), "0");
}

TEST_F(DetailFillTest, PrintRunPagesShowTheNextRecordsAndRememberWhatWasPrinted) {
    const auto binding = Bind(ItemQtyTable(11, false));
    binding->MovePos(3);  // Carl: 23 lines
    const auto table = Table();

    const auto page1 = FillPage(*binding, 1, 0, 10);
    EXPECT_EQ(page1.lngRowsNeeded, 23);
    EXPECT_EQ(page1.lngRecordsShown, 10);
    EXPECT_TRUE(page1.blnMoreData);
    EXPECT_EQ(ColumnTexts(table, 2, 2, 11), (Texts{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));

    const auto page2 = FillPage(*binding, 2, 10, 10);
    EXPECT_EQ(page2.lngRecordsShown, 10);
    EXPECT_EQ(ColumnTexts(table, 2, 2, 11), (Texts{"11", "12", "13", "14", "15", "16", "17", "18", "19", "20"}));
    ASSERT_EQ(binding->PrintedCopies()["Lines"].size(), 1u) << "page 1 as printed";
    const auto& copy = binding->PrintedCopies()["Lines"][0];
    EXPECT_EQ(copy.lngFirstDataRow, 2);
    EXPECT_EQ(copy.lngRowsUsed, 10);
    EXPECT_EQ(copy.cellTexts.at(10).at(1), "10");
    EXPECT_EQ(copy.cellTexts.at(0).at(0), "品名");

    const auto page3 = FillPage(*binding, 3, 20, 10);
    EXPECT_EQ(page3.lngRecordsShown, 3);
    EXPECT_FALSE(page3.blnMoreData);
    EXPECT_EQ(ColumnTexts(table, 2, 2, 11), (Texts{"21", "22", "23", "", "", "", "", "", "", ""}));
    EXPECT_EQ(binding->PrintedCopies()["Lines"].size(), 2u);

    binding->MovePos(1);
    FillPage(*binding, 1, 0, 10);
    EXPECT_TRUE(binding->PrintedCopies()["Lines"].empty()) << "a new record forgets the old copies";
}

TEST_F(DetailFillTest, PrintRunKeepsAFixedTableInOneBlockAndAnAdjustingTableOnItsFirstPage) {
    const auto binding = Bind(ItemQtyTable(4, false));
    const auto table = Table();
    table.Rows().Add();
    table.Rows().Add();  // 5 data rows: more than one block of 3
    FillPage(*binding, 1, 0, 3);
    EXPECT_EQ(table.Rows().Count(), 4) << "back to one block of 3 data rows";

    const auto adjusting = Bind(ItemQtyTable(2, true), CustomerSettings(), "Adjusting.docx");
    const auto first = FillPage(*adjusting, 1, 0, 1);
    EXPECT_FALSE(first.blnMoreData);
    EXPECT_EQ(Table().Rows().Count(), 7);
    const auto second = FillPage(*adjusting, 2, 6, 1);
    EXPECT_EQ(second.lngRecordsShown, 0);
    EXPECT_EQ(Table().Rows().Count(), 2);
    EXPECT_EQ(CellText(Table(), 2, 2), "");
}

TEST_F(DetailFillTest, WithoutPageStatisticsAPrintRunGrowsWholeBlocksCopiedFromTheFirst) {
    auto spec = ItemQtyTable(4, false);  // one block of 3 data rows
    spec.columnProperties.push_back("");
    spec.captions.push_back("単位");
    const auto binding = Bind(spec);
    auto unit = Table().Cell(2, 3).Range();
    clsPLRange().AppendText("個", unit);

    std::vector<word::Table> tables;
    std::vector<std::string> detail;
    std::vector<std::vector<std::string>> columns;
    binding->GetDetailsAndProps(tables, detail, columns);
    DetailPrintContext context;
    context.blnPrintRun = true;
    context.blnRecordStart = true;
    binding->SetDetailData(tables[0], 3, detail[0], columns[0], false, 1, nullptr, context);
    const auto table = Table();
    EXPECT_EQ(table.Rows().Count(), 7) << "two blocks hold Ann's 6 lines";
    EXPECT_EQ(ColumnTexts(table, 2, 2, 7), (Texts{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(CellText(table, 5, 3), "個") << "the new block copies the first block's rows";
    EXPECT_FALSE(context.blnMoreData);
}

TEST(DetailTablesTest, TablesAndFieldsOfTextBoxesAreCollectedAndUpdated) {
    const std::string boxTable = TableOfRuns({{word::test::TextRun("in box")}});
    const std::string body = TableOfRuns({{word::test::TextRun("main")}}) +
                             Para(GroupedTextBoxes({boxTable + Para(FieldRuns("= 2*3", "0"))})) +
                             Para(LegacyTextBox(Para(word::test::TextRun("no table"))));
    const auto doc = word::test::MakeDocument(body);
    std::vector<word::Table> tables;
    EXPECT_EQ(modPLRFunction::CollectDetailTables(tables, doc->Content()), 2);
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(CellText(tables[1], 1, 1), "in box");

    modPLRFunction::UpdateAllFields(*doc);
    const auto box = doc->Shapes().Item(1).GroupItems().Item(1);
    EXPECT_NE(box.TextFrame().TextRange().Text().find('6'), std::string::npos);
}

}  // namespace
}  // namespace paperloom::run::test
