#include "host/word/fieldcalc/DateTimePicture.h"

#include <gtest/gtest.h>

namespace paperloom::word::fieldcalc {
namespace {

TEST(DateTimePictureTest, ReadyMadePictures) {
    const DateTimeValue afternoon{2023, 4, 1, 13, 5, 9};
    const std::pair<const char*, const char*> cases[] = {
        {"yyyy/MM/dd", "2023/04/01"},
        {"yy/M/d", "23/4/1"},
        {"yyyy年MM月dd日", "2023年04月01日"},
        {"gge年M月d日", "令和5年4月1日"},
        {"gggee年MM月dd日", "令和05年04月01日"},
        {"hh:mm:ss", "01:05:09"},
        {"hh時mm分ss秒", "01時05分09秒"},
        {"hh:mm:ss am/pm", "01:05:09 pm"},
    };
    for (const auto& [picture, expected] : cases)
        EXPECT_EQ(FormatDateTimePicture(afternoon, picture), expected) << picture;
}

TEST(DateTimePictureTest, HoursNamesAndLiterals) {
    const DateTimeValue morning{2023, 4, 1, 0, 7, 0};
    EXPECT_EQ(FormatDateTimePicture(morning, "h:mm AM/PM"), "12:07 AM");
    EXPECT_EQ(FormatDateTimePicture(morning, "H:mm"), "0:07");
    EXPECT_EQ(FormatDateTimePicture({2023, 4, 1, 23, 59, 59}, "HH:mm:ss"), "23:59:59");
    EXPECT_EQ(FormatDateTimePicture(morning, "dddd"), "土曜日");
    EXPECT_EQ(FormatDateTimePicture(morning, "M/d(ddd)"), "4/1(土)");
    EXPECT_EQ(FormatDateTimePicture(morning, "dddd", "en_US"), "Saturday");
    EXPECT_EQ(FormatDateTimePicture(morning, "MMMM d, yyyy", "en_US"), "April 1, 2023");
    EXPECT_EQ(FormatDateTimePicture(morning, "'yyyy:' yyyy"), "yyyy: 2023");
    EXPECT_EQ(FormatDateTimePicture({2005, 1, 9, 0, 0, 0}, "yy.MM.dd"), "05.01.09");
}

// The era changes on its first day and its first year shows as 1.
TEST(DateTimePictureTest, JapaneseErasOfTheLastThreeErasAndTheirFirstDays) {
    const std::pair<DateTimeValue, const char*> cases[] = {
        {{2019, 5, 1, 0, 0, 0}, "令和1年5月1日"},
        {{2019, 4, 30, 0, 0, 0}, "平成31年4月30日"},
        {{2023, 12, 31, 0, 0, 0}, "令和5年12月31日"},
        {{1989, 1, 8, 0, 0, 0}, "平成1年1月8日"},
        {{1989, 1, 7, 0, 0, 0}, "昭和64年1月7日"},
        {{2000, 2, 29, 0, 0, 0}, "平成12年2月29日"},
        {{1926, 12, 25, 0, 0, 0}, "昭和1年12月25日"},
        {{1926, 12, 24, 0, 0, 0}, "大正15年12月24日"},
        {{1970, 6, 15, 0, 0, 0}, "昭和45年6月15日"},
        {{1912, 7, 30, 0, 0, 0}, "大正1年7月30日"},
        {{1912, 7, 29, 0, 0, 0}, "明治45年7月29日"},
    };
    for (const auto& [date, expected] : cases)
        EXPECT_EQ(FormatDateTimePicture(date, "gge年M月d日"), expected) << expected;
}

TEST(DateTimePictureTest, EraLetterAndPaddedEraYear) {
    EXPECT_EQ(FormatDateTimePicture({2023, 4, 1, 0, 0, 0}, "ge"), "令5");
    EXPECT_EQ(FormatDateTimePicture({1990, 4, 1, 0, 0, 0}, "g"), "平");
    EXPECT_EQ(FormatDateTimePicture({1960, 4, 1, 0, 0, 0}, "g"), "昭");
    EXPECT_EQ(FormatDateTimePicture({2019, 5, 1, 0, 0, 0}, "gggee"), "令和01");
    EXPECT_EQ(FormatDateTimePicture({1989, 1, 8, 0, 0, 0}, "ggee年"), "平成01年");
}

}  // namespace
}  // namespace paperloom::word::fieldcalc
