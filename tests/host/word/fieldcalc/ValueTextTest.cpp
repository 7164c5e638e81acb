// Reading cell texts as numbers and dates, and writing numbers as decimal digits.

#include <gtest/gtest.h>

#include <cmath>

#include "host/word/fieldcalc/CellNumber.h"
#include "host/word/fieldcalc/DateTimeValue.h"
#include "host/word/fieldcalc/DecimalNumber.h"

namespace paperloom::word::fieldcalc {
namespace {

TEST(CellNumberTest, ReadsNumbersAsTheyAreShown) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"12", 12},          {" 1,234,567 ", 1234567}, {"1,234.50", 1234.5}, {"-5", -5},
        {"(1,000)", -1000},  {"$12.50", 12.5},         {"\\1,234", 1234},     {"¥1,234", 1234},
        {"￥1,234", 1234},   {"1,234円", 1234},        {"-$5", -5},          {"$-5", -5},
        {"12.5%", 12.5},     {"１２３", 123},          {".5", 0.5},          {"0", 0},
        {"+7", 7},           {"1 234", 1234},          {"12\r\a", 12},
    };
    for (const Case& c : cases) {
        const auto value = ParseCellNumber(c.text);
        ASSERT_TRUE(value.has_value()) << c.text;
        EXPECT_DOUBLE_EQ(*value, c.value) << c.text;
    }
}

TEST(CellNumberTest, RejectsTextThatIsNotANumber) {
    for (const char* text : {"", "   ", "abc", "12abc", "1,2,", ",12", "1.2.3", "$", "%", "--5", "1e5", "12 pcs",
                             "合計", "()", "1,,000"})
        EXPECT_FALSE(ParseCellNumber(text).has_value()) << text;
}

TEST(DecimalNumberTest, RoundsHalfAwayFromZeroOnDecimalDigits) {
    struct Case {
        double value;
        int decimals;
        const char* integer;
        const char* fraction;
        bool negative;
    };
    const Case cases[] = {
        {1234567.5, 0, "1234568", "", false}, {0.055, 2, "", "06", false}, {2.675, 2, "2", "68", false},
        {1.005, 2, "1", "01", false},         {-2.5, 0, "3", "", true},    {-0.4, 0, "", "", false},
        {0.999, 2, "1", "00", false},         {99.995, 2, "100", "00", false}, {1e20, 0, "100000000000000000000", "", false},
        {1.5e-7, 3, "", "000", false},        {0, 2, "", "00", false},     {12.345, 2, "12", "35", false},
    };
    for (const Case& c : cases) {
        const RoundedDecimal rounded = RoundToDecimals(c.value, c.decimals);
        EXPECT_EQ(rounded.integer, c.integer) << c.value;
        EXPECT_EQ(rounded.fraction, c.fraction) << c.value;
        EXPECT_EQ(rounded.negative, c.negative) << c.value;
    }
}

TEST(DecimalNumberTest, GeneralNumbersHaveNoBinaryArtefactsOrExponents) {
    EXPECT_EQ(FormatGeneralNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatGeneralNumber(1234567), "1234567");
    EXPECT_EQ(FormatGeneralNumber(-2.5), "-2.5");
    EXPECT_EQ(FormatGeneralNumber(1e20), "100000000000000000000");
    EXPECT_EQ(FormatGeneralNumber(1.5e-5), "0.000015");
    EXPECT_EQ(FormatGeneralNumber(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FormatGeneralNumber(0), "0");
}

TEST(DateTimeValueTest, ReadsTheFormsTheRunTimeWrites) {
    EXPECT_EQ(ParseDateTimeText("2023/04/01"), (DateTimeValue{2023, 4, 1, 0, 0, 0}));
    EXPECT_EQ(ParseDateTimeText("2023-4-1"), (DateTimeValue{2023, 4, 1, 0, 0, 0}));
    EXPECT_EQ(ParseDateTimeText("2023/04/01 13:05:09"), (DateTimeValue{2023, 4, 1, 13, 5, 9}));
    EXPECT_EQ(ParseDateTimeText("2023-04-01T07:30"), (DateTimeValue{2023, 4, 1, 7, 30, 0}));
    EXPECT_EQ(ParseDateTimeText(" 9:15:00 "), (DateTimeValue{1899, 12, 30, 9, 15, 0}));
    for (const char* bad : {"", "2023/02/29", "2023/13/01", "2023/04/01 25:00", "2023/04-01", "23/04/01",
                            "2023/04/01x", "2023/04/0112:00", "yesterday"})
        EXPECT_FALSE(ParseDateTimeText(bad).has_value()) << bad;
    EXPECT_TRUE(ParseDateTimeText("2024/02/29").has_value());
}

TEST(DateTimeValueTest, SerialDaysCountFromTheEndOf1899) {
    EXPECT_EQ(DateTimeFromSerial(45017), (DateTimeValue{2023, 4, 1, 0, 0, 0}));
    EXPECT_EQ(DateTimeFromSerial(45017.75), (DateTimeValue{2023, 4, 1, 18, 0, 0}));
    EXPECT_EQ(DateTimeFromSerial(0), (DateTimeValue{1899, 12, 30, 0, 0, 0}));
    EXPECT_FALSE(DateTimeFromSerial(1e12).has_value());
    EXPECT_FALSE(DateTimeFromSerial(std::nan("")).has_value());
    EXPECT_EQ(DayOfWeek({2023, 4, 1, 0, 0, 0}), 6);  // Saturday
}

}  // namespace
}  // namespace paperloom::word::fieldcalc
