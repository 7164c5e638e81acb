// Header values that look like SQL never become SQL: the link to a detail table writes them as
// one literal of the child key's kind, so a key value holding a second statement, an OR or a
// UNION matches nothing, leaves the database as it was and shows no rows of another table.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "DetailFillTestSupport.h"
#include "Run/LinkCondition.h"
#include "common/modPLFunction.h"
#include "host/ado/Recordset.h"

namespace paperloom::run::test {
namespace {

using host::ado::DateTime;
using host::ado::Variant;
using Texts = std::vector<std::string>;

TEST(LinkConditionTest, HostileValuesStayOneLiteralOfTheKeysKind) {
    const auto link = [](KeyKind kind, const Variant& value) { return MakeLinkCondition("K", kind, value); };
    using Link = std::optional<std::string>;
    // A number key takes numbers only; text that is not one equals no key and asks nothing.
    EXPECT_EQ(link(KeyKind::Number, Variant(7L)), Link("K=7"));
    EXPECT_EQ(link(KeyKind::Number, Variant(-1.5)), Link("K=-1.5"));
    EXPECT_EQ(link(KeyKind::Number, Variant(" 12 ")), Link("K=12"));
    EXPECT_EQ(link(KeyKind::Number, Variant("-2.5E+3")), Link("K=-2.5E+3"));
    for (const char* hostile : {"0; DELETE FROM Secret", "0 OR 1=1", "0 UNION SELECT 1", "1 --", "0x10"})
        EXPECT_EQ(link(KeyKind::Number, Variant(hostile)), std::nullopt) << hostile;
    EXPECT_EQ(link(KeyKind::Number, Variant(std::numeric_limits<double>::infinity())), std::nullopt);
    EXPECT_EQ(link(KeyKind::Number, Variant(DateTime::Date(2024, 1, 5))), std::nullopt);
    // Other kinds (identifiers, binary, undeclared) quote what is not a number.
    EXPECT_EQ(link(KeyKind::Other, Variant(5L)), Link("K=5"));
    EXPECT_EQ(link(KeyKind::Other, Variant("0 OR 1=1")), Link("K='0 OR 1=1'"));
    EXPECT_EQ(link(KeyKind::Other, Variant(std::numeric_limits<double>::quiet_NaN())), Link("K='NaN'"));
    // Text doubles its quotes.
    EXPECT_EQ(link(KeyKind::Text, Variant("a' OR '1'='1")), Link("K='a'' OR ''1''=''1'"));
    EXPECT_EQ(link(KeyKind::Text, Variant(5L)), Link("K='5'"));
    // A date literal only from a real date.
    EXPECT_EQ(link(KeyKind::Date, Variant(DateTime::Timestamp(2024, 1, 5, 10, 20, 30))),
              Link("K=#2024/01/05 10:20:30#"));
    EXPECT_EQ(link(KeyKind::Date, Variant("2024-01-05")), Link("K=#2024/01/05#"));
    EXPECT_EQ(link(KeyKind::Date, Variant("2024-01-05# OR 1=1 OR #2024-01-01")),
              Link("K='2024-01-05# OR 1=1 OR #2024-01-01'"));
    EXPECT_EQ(link(KeyKind::Date, Variant(12L)), Link("K='12'"));
    // A NUL would end the statement early on some databases: no statement at all.
    EXPECT_EQ(link(KeyKind::Text, Variant(std::string("a\0b", 3))), std::nullopt);

    EXPECT_EQ(KindOfType(host::ado::DataTypeEnum::adBigInt), KeyKind::Number);
    EXPECT_EQ(KindOfType(host::ado::DataTypeEnum::adGUID), KeyKind::Other);
    EXPECT_EQ(KindOfValue(Variant(2.5)), KeyKind::Number);
    for (const char* number : {"0", "+1", "-1", "1.", ".5", "1e9", "2.5E-3"}) EXPECT_TRUE(IsPlainNumber(number)) << number;
    for (const char* other : {"", "-", ".", "e5", "1e", "1e+", "1 ", "0x10", "1;", "Infinity", "NaN", "1,000"})
        EXPECT_FALSE(IsPlainNumber(other)) << other;
}

// Header keys as text, child keys as numbers or dates: the values the header hands over are
// hostile, the database beside them holds a table the report must never touch or show.
class HostileValuesTest : public DetailFixture {
protected:
    void SetUp() override {
        DetailFixture::SetUp();
        RunSqlite(folder_.File("shop.db"),
                  "CREATE TABLE Secret (Code VARCHAR(20), Qty INTEGER);"
                  "INSERT INTO Secret VALUES ('TOP-SECRET', 99);"
                  "CREATE TABLE Keys (Pos INTEGER, Id TEXT, Day TEXT);"
                  "INSERT INTO Keys VALUES (1, '1', '2024-01-05'), (2, '0; DELETE FROM Secret', '2024-01-05# OR 1=1 OR #2024-01-01'),"
                  " (3, '0 OR 1=1', 'x'), (4, '0 UNION SELECT 0, 0, Code, Code, Qty, 0, 0, NULL FROM Secret', 'y'),"
                  " (5, '2', '2024-07-01');");
    }

    Settings KeyHeader() const {
        return {{"DataSourceType", "4"}, {"DataSource", "shop.db"}, {"RecordSourceType", "2"}, {"RecordSource", "Keys"},
                {"RSOrder", "Pos"}};
    }

    // Lines linked by CustId (INTEGER) or by Placed (DATE), adjusting to the records.
    DetailTableSpec Linked(const std::string& parentKey, const std::string& childKey) const {
        DetailTableSpec spec;
        spec.rows = 2;
        spec.detail = {{"DataSourceType", "4"}, {"DataSource", "shop.db"}, {"RecordSourceType", "2"},
                       {"RecordSource", "Lines"},  {"ParentKey", parentKey},   {"ChildKey", childKey},
                       {"RSOrder", "Id"},          {"AutoAdjustRowCount", "True"}};
        spec.columnProperties = {DataColumn("Item"), DataColumn("Qty")};
        spec.captions = {"品名", "数量"};
        return spec;
    }

    Texts Items() const { return ColumnTexts(Table(), 1, 2, Table().Rows().Count()); }

    long SecretRows() const {
        const auto connection = modPLFunction::OpenConnection("4", folder_.File("shop.db").string(), "", "", "");
        host::ado::Recordset rows;
        rows.Open("SELECT COUNT(*) FROM Secret", connection);
        return static_cast<long>(host::ado::CDbl(rows.Fields().Item(0L).Value()));
    }
};

TEST_F(HostileValuesTest, NumericChildKeyMatchesNothingForTextThatIsNotANumber) {
    const auto binding = Bind(Linked("Id", "CustId"), KeyHeader());
    binding->SetDetailDatas(true);
    EXPECT_EQ(Items(), (Texts{"Pen", "Pen", "Ink", "Ink", "Ink", "Cap"})) << "'1' still links as the number 1";

    for (long record = 2; record <= 4; ++record) {
        binding->MovePos(record);
        binding->SetDetailDatas(true);
        EXPECT_EQ(Items(), (Texts{""})) << "record " << record;
        EXPECT_EQ(DetailKey("EffectiveRowCnt"), "0") << "record " << record;
        EXPECT_EQ(SecretRows(), 1) << "record " << record;
    }
    binding->MovePos(5);
    binding->SetDetailDatas(true);
    EXPECT_EQ(Items(), (Texts{"Hat", "Hat"}));
}

TEST_F(HostileValuesTest, DateChildKeyIsWrittenOnlyFromARealDate) {
    const auto binding = Bind(Linked("Day", "Placed"), KeyHeader());
    binding->SetDetailDatas(true);
    EXPECT_EQ(Items(), (Texts{"Pen"})) << "the line placed on 2024-01-05";
    binding->MovePos(2);
    binding->SetDetailDatas(true);
    EXPECT_EQ(Items(), (Texts{""})) << "not every line of every day";
    binding->MovePos(5);
    binding->SetDetailDatas(true);
    EXPECT_EQ(Items(), (Texts{"Hat"}));
}

TEST_F(HostileValuesTest, AProcedureLikeSourceFiltersOnTheRecordsetWithTheSameLiteral) {
    // An EXECUTE statement is filtered on its rows, not in its text: the quoted value matches nothing there too.
    RunSqlite(folder_.File("shop.db"), "CREATE VIEW EXECUTE_LINES AS SELECT * FROM Lines;");
    auto spec = Linked("Id", "CustId");
    spec.detail[3].second = "SELECT * FROM EXECUTE_LINES";
    spec.detail[2].second = "1";
    const auto binding = Bind(spec, KeyHeader());
    binding->MovePos(3);
    binding->SetDetailDatas(true);
    EXPECT_EQ(Items(), (Texts{""}));
    binding->MovePos(5);
    binding->SetDetailDatas(true);
    EXPECT_EQ(Items(), (Texts{"Hat", "Hat"}));
}

}  // namespace
}  // namespace paperloom::run::test
