#include <gtest/gtest.h>

#include "FakeFormulaContext.h"
#include "host/word/fieldcalc/FieldError.h"
#include "host/word/fieldcalc/FormulaEvaluator.h"

namespace paperloom::word::fieldcalc {
namespace {

using testing::FakeFormulaContext;
using testing::FakeTable;

FieldErrorKind ErrorOf(const std::string& formula, const FormulaContext& context) {
    try {
        EvaluateFormula(formula, context);
    } catch (const FieldError& error) {
        return error.Kind();
    }
    ADD_FAILURE() << formula << " computed without error";
    return FieldErrorKind::Unexpected;
}

TEST(FormulaTest, ArithmeticAndPrecedence) {
    const EmptyFormulaContext none;
    const std::pair<const char*, double> cases[] = {
        {"1+2*3", 7},          {"(1+2)*3", 9},      {"2^3^2", 64},        {"-2^2", 4},
        {"10/4", 2.5},         {"50%", 0.5},        {"200*10%", 20},      {"1-2-3", -4},
        {"3>2", 1},            {"3<2", 0},          {"2<=2", 1},          {"2>=3", 0},
        {"2=2", 1},            {"2<>2", 0},         {"1+1=2", 1},         {".5+1", 1.5},
        {"1.5E+3", 1500},      {"2e-2", 0.02},      {"+5", 5},            {"--5", 5},
        {" 1 + 2 ", 3},        {"1234567.5", 1234567.5},
    };
    for (const auto& [formula, expected] : cases)
        EXPECT_DOUBLE_EQ(EvaluateFormula(formula, none), expected) << formula;
}

TEST(FormulaTest, FunctionsInEitherCase) {
    const EmptyFormulaContext none;
    const std::pair<const char*, double> cases[] = {
        {"ABS(-3)", 3},             {"and(1,0)", 0},          {"AND(1,2)", 1},        {"AVERAGE(1,2,6)", 3},
        {"COUNT(1,2,3)", 3},        {"FALSE", 0},             {"FALSE()", 0},         {"TRUE", 1},
        {"IF(1>2,10,20)", 20},      {"IF(2>1,10,20)", 10},    {"INT(7.9)", 7},        {"INT(-7.9)", -7},
        {"MAX(1,5,3)", 5},          {"MIN(4,2,8)", 2},        {"MOD(7,3)", 1},        {"NOT(0)", 1},
        {"NOT(3)", 0},              {"OR(0,0)", 0},           {"Or(0,1)", 1},         {"PRODUCT(2,3,4)", 24},
        {"ROUND(2.345,2)", 2.35},   {"ROUND(-2.5,0)", -3},    {"ROUND(1234,-2)", 1200}, {"ROUND(1.005,2)", 1.01},
        {"SIGN(-4)", -1},           {"SIGN(0)", 0},           {"SUM(1,2,3)", 6},      {"sum(1;2)", 3},
        {"DEFINED(1/0)", 0},        {"DEFINED(1)", 1},        {"DEFINED(Nowhere)", 0}, {"IF(TRUE,1,1/0)", 1},
    };
    for (const auto& [formula, expected] : cases)
        EXPECT_DOUBLE_EQ(EvaluateFormula(formula, none), expected) << formula;
}

TEST(FormulaTest, ErrorsAreReportedByKind) {
    const EmptyFormulaContext none;
    EXPECT_EQ(ErrorOf("1/0", none), FieldErrorKind::ZeroDivide);
    EXPECT_EQ(ErrorOf("MOD(1,0)", none), FieldErrorKind::ZeroDivide);
    EXPECT_EQ(ErrorOf("1+", none), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("(1+2", none), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("1+2)", none), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("", none), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("SUM", none), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("ABS(1,2)", none), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("IF(1,2)", none), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("FOO(1)", none), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("1 # 2", none), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("12abc", none), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("Total", none), FieldErrorKind::UndefinedBookmark);
    EXPECT_EQ(ErrorOf("SUM(ABOVE)", none), FieldErrorKind::NotInTable);
    EXPECT_EQ(ErrorOf("SUM(b1:b3)", none), FieldErrorKind::NotInTable);
    EXPECT_EQ(ErrorOf("10^400", none), FieldErrorKind::Overflow);
    EXPECT_EQ(ErrorOf(std::string(5000, '(') + "1" + std::string(5000, ')'), none), FieldErrorKind::Syntax);
    std::string longChain = "1";
    for (int i = 0; i < 5000; ++i) longChain += "+1";
    EXPECT_EQ(ErrorOf(longChain, none), FieldErrorKind::Syntax);
}

class TableFormulaTest : public ::testing::Test {
protected:
    // A detail table: header row, data rows 2-4, a break row 5 (holding its own sum), data
    // rows 6-7 and a total row 8 that holds the field.
    FakeTable detail{{
        {"品名", "数量", "金額"},
        {"りんご", "2", "1,200"},
        {"みかん", "", "¥800"},
        {"ぶどう", "3", "2,000円"},
        {"小計", "5", "4,000"},
        {"もも", "1", "(500)"},
        {"なし", "x", "$1,000.50"},
        {"合計", "", ""},
    }};
    FakeTable other{{
        {"品名", "金額"},
        {"いちご", "100"},
        {"メロン", "300"},
        {"小計", "400"},
    }};
    FakeFormulaContext context;

    void SetUp() override {
        context.ownTable = &detail;
        context.ownCell = CellPosition{8, 3};
        context.bookmarkedTables["Detail1"] = &detail;
        context.bookmarkedTables["Detail2"] = &other;
        context.bookmarkedTables["明細"] = &other;
        context.bookmarkTexts["Rate"] = "8%";
        context.bookmarkTexts["Label"] = "合計";
        context.bookmarkTexts["Blank"] = "";
    }
};

TEST_F(TableFormulaTest, CellsOfTheOwnTable) {
    const std::pair<const char*, double> cases[] = {
        {"C2", 1200},              {"c2+c3", 2000},           {"SUM(c2:c4)", 4000},       {"SUM(C2:c4)", 4000},
        {"SUM(c4:c2)", 4000},      {"SUM(b2:c2)", 1202},      {"SUM(c:c)", 4000 + 4000 - 500 + 1000.5},
        {"COUNT(b:b)", 4},         {"AVERAGE(b2:b4)", 2.5},   {"SUM(2:2)", 1202},         {"B3", 0},
        {"MAX(c2:c7)", 4000},      {"MIN(c:c)", -500},        {"SUM(R2C3:R4C3)", 4000},   {"R2C2*10", 20},
        {"SUM(ABOVE)", 4000 + 4000 - 500 + 1000.5},           {"SUM(LEFT)", 0},           {"COUNT(ABOVE)", 6},
        {"SUM(c2:c99)", 4000 + 4000 - 500 + 1000.5},          {"PRODUCT(b2,b4)", 6},      {"A1", 0},
    };
    for (const auto& [formula, expected] : cases)
        EXPECT_DOUBLE_EQ(EvaluateFormula(formula, context), expected) << formula;
}

TEST_F(TableFormulaTest, DirectionsFromTheFieldsCell) {
    context.ownCell = CellPosition{5, 2};
    EXPECT_DOUBLE_EQ(EvaluateFormula("SUM(ABOVE)", context), 5);
    EXPECT_DOUBLE_EQ(EvaluateFormula("SUM(BELOW)", context), 1);
    EXPECT_DOUBLE_EQ(EvaluateFormula("SUM(RIGHT)", context), 4000);
    EXPECT_DOUBLE_EQ(EvaluateFormula("COUNT(LEFT)", context), 0);
}

// Break rows: the statistic covers the data rows of one group, SUM over rows 2 to 4.
TEST_F(TableFormulaTest, BreakRowStatistics) {
    EXPECT_DOUBLE_EQ(EvaluateFormula("SUM(c2:c4)", context), 4000);
    EXPECT_DOUBLE_EQ(EvaluateFormula("COUNT(b2:b4)", context), 2);
    EXPECT_DOUBLE_EQ(EvaluateFormula("AVERAGE(c2:c4)", context), 4000.0 / 3);
}

TEST_F(TableFormulaTest, BookmarkedTables) {
    const std::pair<const char*, double> cases[] = {
        {"SUM( Detail1 c:c )", 4000 + 4000 - 500 + 1000.5},
        {"sum(Detail2 B2:b3)", 400},
        {"SUM( Detail1 c2:c9 )", 4000 + 4000 - 500 + 1000.5},
        {"Detail2 b3", 300},
        {"SUM(SUM( Detail1 c2:c4),SUM( Detail1 c6:c7))", 4000 - 500 + 1000.5},
        {"SUM(COUNT( Detail1 c2:c4),COUNT( Detail1 c6:c7))", 5},
        // The average over two tables' runs is their total over their count, not the mean of
        // the two means.
        {"(SUM( Detail1 c2:c4)+SUM( Detail2 b2:b3))/(COUNT( Detail1 c2:c4)+COUNT( Detail2 b2:b3))",
         (4000.0 + 400) / 5},
        {"Rate+1", 9},
        {"Blank+1", 1},
        {"SUM(\xE3\x80\x80明細 b2:b3\xE3\x80\x80)", 400},
    };
    for (const auto& [formula, expected] : cases)
        EXPECT_DOUBLE_EQ(EvaluateFormula(formula, context), expected) << formula;
}

TEST_F(TableFormulaTest, BookmarkAndCellErrors) {
    EXPECT_EQ(ErrorOf("SUM( Missing c:c )", context), FieldErrorKind::UndefinedBookmark);
    EXPECT_EQ(ErrorOf("Label+1", context), FieldErrorKind::NotANumber);
    EXPECT_EQ(ErrorOf("D2", context), FieldErrorKind::CellOutOfRange);
    EXPECT_EQ(ErrorOf("c99", context), FieldErrorKind::CellOutOfRange);
    EXPECT_EQ(ErrorOf("c0", context), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("c2:c4+1", context), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("SUM(c2:)", context), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("SUM(c2:4)", context), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("SUM(R2C0:R4C3)", context), FieldErrorKind::Syntax);
    EXPECT_EQ(ErrorOf("R0C1", context), FieldErrorKind::UndefinedBookmark);
    EXPECT_DOUBLE_EQ(EvaluateFormula("DEFINED(Missing)", context), 0);
    EXPECT_DOUBLE_EQ(EvaluateFormula("DEFINED(Rate)", context), 1);
}

TEST_F(TableFormulaTest, CellNamesOutsideATableAreBookmarks) {
    context.ownTable = nullptr;
    context.ownCell.reset();
    context.bookmarkTexts["a1"] = "7";
    EXPECT_DOUBLE_EQ(EvaluateFormula("a1*2", context), 14);
    EXPECT_EQ(ErrorOf("b2", context), FieldErrorKind::UndefinedBookmark);
}

}  // namespace
}  // namespace paperloom::word::fieldcalc
