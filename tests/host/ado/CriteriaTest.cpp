#include "host/ado/Criteria.h"

#include <gtest/gtest.h>

#include "host/HostError.h"
#include "host/ado/SortOrder.h"
#include "host/ado/ValueCompare.h"

namespace paperloom::host::ado {
namespace {

const std::vector<ColumnInfo> kColumns = {
    {"Name", DataTypeEnum::adVarWChar}, {"Qty", DataTypeEnum::adInteger},
    {"Day", DataTypeEnum::adDBDate},    {"Price", DataTypeEnum::adNumeric},
    {"商品名", DataTypeEnum::adVarWChar}};

struct Row {
    std::vector<Variant> cells;
};

Row MakeRow(Variant name, Variant qty, Variant day, Variant price, Variant item) {
    return Row{{std::move(name), std::move(qty), std::move(day), std::move(price), std::move(item)}};
}

bool Matches(const std::string& filter, const Row& row, bool find = false) {
    Criteria c = find ? Criteria::ParseFind(filter) : Criteria::ParseFilter(filter);
    c.Bind(kColumns);
    return c.Matches(row.cells.data());
}

long ErrorNumberOf(const std::string& filter, bool find = false) {
    try {
        Criteria c = find ? Criteria::ParseFind(filter) : Criteria::ParseFilter(filter);
        c.Bind(kColumns);
    } catch (const HostError& e) {
        return e.Number();
    }
    return 0;
}

const Row kApple = MakeRow("Apple", 5, DateTime::Date(2024, 1, 5), Decimal::FromText("120.50"), "りんご");
const Row kNulls = MakeRow(Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null());

TEST(FindCriteria, ComparesEachKindOfValue) {
    EXPECT_TRUE(Matches("Name = 'apple'", kApple, true));  // text ignores case
    EXPECT_TRUE(Matches("Qty>=5", kApple, true));
    EXPECT_FALSE(Matches("Qty > 5", kApple, true));
    EXPECT_TRUE(Matches("Qty <> 4", kApple, true));
    EXPECT_TRUE(Matches("Day = #2024/01/05#", kApple, true));
    EXPECT_TRUE(Matches("Day < #2024-1-6#", kApple, true));
    EXPECT_TRUE(Matches("Price = 120.5", kApple, true));
    EXPECT_TRUE(Matches("Price > 120.49999999999999999", kApple, true));
    EXPECT_TRUE(Matches("Qty = '5'", kApple, true));
    EXPECT_TRUE(Matches("商品名 = 'りんご'", kApple, true));
    EXPECT_TRUE(Matches("[商品名] LIKE '%ん%'", kApple, true));
    EXPECT_TRUE(Matches("Qty > -3", kApple, true));
    EXPECT_TRUE(Matches("Price < 1,000", kApple, true));
    EXPECT_TRUE(Matches("Name = 'O''Brien'", MakeRow("O'Brien", 1, 1, 1, 1), true));
}

TEST(FindCriteria, LikeTakesBothWildcardsAndIgnoresCase) {
    EXPECT_TRUE(Matches("Name LIKE 'A*'", kApple, true));
    EXPECT_TRUE(Matches("Name like '%PL%'", kApple, true));
    EXPECT_TRUE(Matches("Name LIKE '*e'", kApple, true));
    EXPECT_FALSE(Matches("Name LIKE 'B%'", kApple, true));
    EXPECT_FALSE(Matches("Name LIKE 'App'", kApple, true));
    EXPECT_TRUE(MatchLike("", "%"));
    EXPECT_TRUE(MatchLike("abcabc", "%b%c"));
    EXPECT_FALSE(MatchLike("abcab", "%b%c"));
}

TEST(FindCriteria, NullsMatchOnlyNullComparisons) {
    EXPECT_TRUE(Matches("Name = NULL", kNulls, true));
    EXPECT_TRUE(Matches("Name=NULL", kNulls, true));
    EXPECT_FALSE(Matches("Name = NULL", kApple, true));
    EXPECT_TRUE(Matches("Name <> NULL", kApple, true));
    EXPECT_FALSE(Matches("Qty < 10", kNulls, true));
    EXPECT_FALSE(Matches("Qty <> 10", kNulls, true));
    EXPECT_FALSE(Matches("Name LIKE '%'", kNulls, true));
    EXPECT_TRUE(Matches("Name IS NULL", kNulls, true));
}

TEST(FindCriteria, RejectsTextItCannotParse) {
    for (const char* bad : {"", "Name", "Name =", "Name = 'open", "= 5", "Name = #not a date#",
                            "Qty = 5 AND Name = 'x'", "Qty == 5", "Name LIKE 5", "Qty < NULL", "Qty = abc",
                            "(Qty = 5)", "Name ! 'x'"}) {
        EXPECT_EQ(ErrorNumberOf(bad, true), 3001) << bad;
    }
    EXPECT_EQ(ErrorNumberOf("Missing = 1", true), 3265);
}

TEST(FilterText, AndBindsTighterThanOrAndParenthesesRegroup) {
    const Row row = MakeRow("Apple", 5, Variant::Null(), 1, "x");
    EXPECT_TRUE(Matches("Name = 'Pear' AND Qty = 1 OR Qty = 5", row));
    EXPECT_FALSE(Matches("Name = 'Pear' AND (Qty = 1 OR Qty = 5)", row));
    EXPECT_TRUE(Matches("((Name = 'Apple')) and (Qty > 1 or Qty = NULL)", row));
    EXPECT_EQ(ErrorNumberOf("(Qty = 1"), 3001);
    EXPECT_EQ(ErrorNumberOf("Qty = 1)"), 3001);
    EXPECT_EQ(ErrorNumberOf("Qty = 1 AND"), 3001);
    EXPECT_EQ(ErrorNumberOf(std::string(200, '(') + "Qty = 1" + std::string(200, ')')), 3001);
}

TEST(FilterText, ReadsTheConditionEditorsTextWithBlankRunsAndBlankComparisons) {
    // The editor writes empty sub-items as blanks, and blank tests as =NULL '' / <>NULL ''.
    const std::string text = "  Name Like 'A*'   And  Qty >= 5  Or  (Price =NULL '' )";
    EXPECT_TRUE(Matches(text, kApple));
    EXPECT_TRUE(Matches(text, kNulls));
    EXPECT_FALSE(Matches("  Name <>NULL '' ", kNulls));
    EXPECT_TRUE(Matches("  Name <>NULL '' ", kApple));
    EXPECT_TRUE(Matches(" Day >= #2024/01/01# And Day <= #2024/12/31# ", kApple));
}

TEST(FilterText, LongChainsDoNotRecurse) {
    std::string text = "Qty = 5";
    for (int i = 0; i < 20000; ++i) text += " AND Qty = 5";
    EXPECT_TRUE(Matches(text, kApple));
}

TEST(SortText, ParsesKeysAndRejectsBadDirections) {
    const SortOrder order = SortOrder::Parse("Day ASC,Qty DESC, [商品名] , Name desc");
    ASSERT_EQ(order.Keys().size(), 4u);
    EXPECT_FALSE(order.Keys()[0].descending);
    EXPECT_TRUE(order.Keys()[1].descending);
    EXPECT_EQ(order.Keys()[2].field, "商品名");
    EXPECT_TRUE(order.Keys()[3].descending);
    EXPECT_TRUE(SortOrder::Parse("  ").Empty());
    for (const char* bad : {"Qty UP", "Qty ASC,", ",Qty", "[Qty"}) {
        EXPECT_THROW(SortOrder::Parse(bad), HostError) << bad;
    }
    SortOrder unknown = SortOrder::Parse("Nope");
    try {
        unknown.Bind(kColumns);
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.Number(), 3265);
    }
}

TEST(SortCompare, NullsFirstThenValuesInTheirOwnOrder) {
    EXPECT_TRUE(CompareForSort(Variant::Null(), Variant(-5)) < 0);
    EXPECT_TRUE(CompareForSort(Variant(2), Variant(10)) < 0);
    EXPECT_TRUE(CompareForSort(Variant(Decimal::FromText("2.5")), Variant(3)) < 0);
    EXPECT_TRUE(CompareForSort(Variant("abc"), Variant("ABD")) < 0);
    EXPECT_TRUE(CompareForSort(Variant("abc"), Variant("ABC")) == 0);
    EXPECT_TRUE(CompareForSort(Variant(DateTime::Date(2023, 12, 31)), Variant(DateTime::Date(2024, 1, 1))) < 0);
}

}  // namespace
}  // namespace paperloom::host::ado
