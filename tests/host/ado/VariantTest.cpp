#include "host/ado/Variant.h"

#include <gtest/gtest.h>

#include "host/HostError.h"

namespace paperloom::host::ado {
namespace {

TEST(VariantText, NumbersKeepAtMostFifteenSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(CStr(Variant(1.5)), "1.5");
    EXPECT_EQ(CStr(Variant(100.0)), "100");
    EXPECT_EQ(CStr(Variant(0.1 + 0.2)), "0.3");
    EXPECT_EQ(CStr(Variant(-0.0)), "0");
    EXPECT_EQ(CStr(Variant(1.0 / 3.0)), "0.333333333333333");
    EXPECT_EQ(CStr(Variant(123456789012345678.0)), "1.23456789012346E+17");
    EXPECT_EQ(CStr(Variant(0.0001)), "0.0001");
    EXPECT_EQ(CStr(Variant(0.00001)), "1E-05");
    EXPECT_EQ(CStr(Variant(-0.000123)), "-0.000123");
    EXPECT_EQ(CStr(Variant(-0.0000123)), "-1.23E-05");
    EXPECT_EQ(CStr(Variant(1e-12)), "1E-12");
    EXPECT_EQ(CStr(Variant(-2.5e20)), "-2.5E+20");
    EXPECT_EQ(CStr(Variant(999999999999999.0)), "999999999999999");
    EXPECT_EQ(CStr(Variant(9223372036854775807LL)), "9223372036854775807");
    EXPECT_EQ(CStr(Variant(Decimal::FromText("1234567890123456789.0100"))), "1234567890123456789.01");
}

TEST(VariantText, DatesBooleansEmptyAndNull) {
    EXPECT_EQ(CStr(Variant(DateTime::Date(2024, 1, 5))), "2024/01/05");
    EXPECT_EQ(CStr(Variant(DateTime::Timestamp(2024, 1, 5, 9, 5, 3))), "2024/01/05 09:05:03");
    // Midnight shows the date alone, a time on day zero the time alone.
    EXPECT_EQ(CStr(Variant(DateTime::Timestamp(2024, 1, 5, 0, 0, 0))), "2024/01/05");
    EXPECT_EQ(CStr(Variant(DateTime::Timestamp(1899, 12, 30, 13, 0, 0))), "13:00:00");
    EXPECT_EQ(CStr(Variant(true)), "True");
    EXPECT_EQ(CStr(Variant(false)), "False");
    EXPECT_EQ(CStr(Variant()), "");
    try {
        (void)CStr(Variant::Null());
        FAIL() << "Null has no text";
    } catch (const HostError& e) {
        EXPECT_EQ(e.Number(), 94);
    }
    EXPECT_EQ(ToDisplayText(Variant::Null()), "");
}

TEST(VariantTests, IsNumericAcceptsNumberTextInJapaneseAndAsciiForms) {
    EXPECT_TRUE(IsNumeric(Variant("123")));
    EXPECT_TRUE(IsNumeric(Variant(" -1,234.5 ")));
    EXPECT_TRUE(IsNumeric(Variant("１２３")));  // full-width digits
    EXPECT_TRUE(IsNumeric(Variant("1e3")));
    EXPECT_TRUE(IsNumeric(Variant()));
    EXPECT_TRUE(IsNumeric(Variant(true)));
    EXPECT_FALSE(IsNumeric(Variant("")));
    EXPECT_FALSE(IsNumeric(Variant("12abc")));
    EXPECT_FALSE(IsNumeric(Variant("1.2.3")));
    EXPECT_FALSE(IsNumeric(Variant(",5")));
    EXPECT_FALSE(IsNumeric(Variant("e5")));
    EXPECT_FALSE(IsNumeric(Variant::Null()));
    EXPECT_FALSE(IsNumeric(Variant(DateTime::Date(2024, 1, 1))));
    EXPECT_DOUBLE_EQ(CDbl(Variant("(12)")), -12.0);
    EXPECT_DOUBLE_EQ(CDbl(Variant("¥1,000")), 1000.0);
    EXPECT_DOUBLE_EQ(CDbl(Variant("-\\1,000")), -1000.0);  // the yen sign of code page 932
    EXPECT_DOUBLE_EQ(CDbl(Variant("￥5")), 5.0);
    EXPECT_FALSE(IsNumeric(Variant("¥")));
}

TEST(VariantTests, IsDateAcceptsTheUsualFormsAndRejectsImpossibleDates) {
    EXPECT_TRUE(IsDate(Variant("2024/1/5")));
    EXPECT_TRUE(IsDate(Variant("2024-01-05 10:20:30")));
    EXPECT_TRUE(IsDate(Variant("2024年1月5日")));
    EXPECT_TRUE(IsDate(Variant("10:20")));
    EXPECT_TRUE(IsDate(Variant("２０２４/１/５")));
    EXPECT_TRUE(IsDate(Variant("2024/02/29")));
    EXPECT_FALSE(IsDate(Variant("2023/02/29")));
    EXPECT_FALSE(IsDate(Variant("2024/13/01")));
    EXPECT_FALSE(IsDate(Variant("25:00")));
    EXPECT_FALSE(IsDate(Variant("2024/1/5 x")));
    EXPECT_FALSE(IsDate(Variant("2000")));
    EXPECT_FALSE(IsDate(Variant(20240105)));

    const DateTime d = CDate(Variant("24/3/9 7:08:09"));
    EXPECT_EQ(d, DateTime::Timestamp(2024, 3, 9, 7, 8, 9));
    EXPECT_EQ(CDate(Variant("99/3/9")).year, 1999);
    // Month first with a four-digit year, as statements written for the US locale have it.
    EXPECT_EQ(CDate(Variant("1/5/2024")), DateTime::Date(2024, 1, 5));
    EXPECT_EQ(CDate(Variant("12/31/2023 23:59:59")), DateTime::Timestamp(2023, 12, 31, 23, 59, 59));
    EXPECT_FALSE(IsDate(Variant("13/5/2024")));
}

TEST(VariantTests, BooleanFromText) {
    EXPECT_TRUE(CBool(Variant("True")));
    EXPECT_TRUE(CBool(Variant("true")));
    EXPECT_FALSE(CBool(Variant("FALSE")));
    EXPECT_TRUE(CBool(Variant("-1")));
    EXPECT_FALSE(CBool(Variant("0")));
    EXPECT_TRUE(CBool(Variant(2.5)));
    EXPECT_THROW((void)CBool(Variant("yes")), HostError);
}

TEST(DateTimeSerial, RoundTripsAroundDayZeroAndLeapYears) {
    EXPECT_DOUBLE_EQ(DateTime::Date(1899, 12, 30).Serial(), 0.0);
    EXPECT_DOUBLE_EQ(DateTime::Date(1900, 1, 1).Serial(), 2.0);
    EXPECT_DOUBLE_EQ(DateTime::Timestamp(1899, 12, 29, 6, 0, 0).Serial(), -1.25);
    for (const DateTime d : {DateTime::Timestamp(2000, 2, 29, 23, 59, 59), DateTime::Date(1800, 3, 1),
                             DateTime::Timestamp(9999, 12, 31, 12, 0, 0)}) {
        EXPECT_EQ(DateTime::FromSerial(d.Serial()), d) << CStr(Variant(d));
    }
    EXPECT_EQ(DateTime::FromSerial(-1.25), DateTime::Timestamp(1899, 12, 29, 6, 0, 0));
    EXPECT_THROW((void)DateTime::FromSerial(1e300), HostError);
}

TEST(DecimalValue, NormalisesAndOrdersExactly) {
    EXPECT_EQ(Decimal::FromText("+007.500").Text(), "7.5");
    EXPECT_EQ(Decimal::FromText("-0.000").Text(), "0");
    EXPECT_EQ(Decimal::FromText(".5").Text(), "0.5");
    EXPECT_EQ(Decimal::FromText("1.5e3").Text(), "1500");
    EXPECT_EQ(Decimal::FromText("15e-4").Text(), "0.0015");
    EXPECT_FALSE(Decimal::TryFromText("1e999999"));
    EXPECT_FALSE(Decimal::TryFromText("abc"));
    EXPECT_FALSE(Decimal::TryFromText("1.2.3"));
    EXPECT_LT(Decimal::FromText("-10"), Decimal::FromText("-9.99"));
    EXPECT_LT(Decimal::FromText("9.99"), Decimal::FromText("10"));
    EXPECT_LT(Decimal::FromText("0.1"), Decimal::FromText("0.11"));
    EXPECT_GT(Decimal::FromText("-0.1"), Decimal::FromText("-0.11"));
    // Values a double cannot tell apart stay distinct.
    EXPECT_LT(Decimal::FromText("12345678901234567890.1"), Decimal::FromText("12345678901234567890.2"));
}

TEST(VariantTests, TypedAccessRejectsOtherKinds) {
    EXPECT_THROW((void)Variant("x").AsDouble(), HostError);
    EXPECT_THROW((void)Variant(1).AsString(), HostError);
    EXPECT_DOUBLE_EQ(Variant(Decimal::FromText("2.25")).AsDouble(), 2.25);
    EXPECT_EQ(Variant(1), Variant(1));
    EXPECT_NE(Variant(1), Variant(1.0));
}

}  // namespace
}  // namespace paperloom::host::ado
