#include "host/word/fieldcalc/NumberPicture.h"

#include <gtest/gtest.h>

#include <string>

namespace paperloom::word::fieldcalc {
namespace {

struct PictureCase {
    const char* picture;
    double value;
    const char* expected;
};

TEST(NumberPictureTest, ReadyMadePictures) {
    const PictureCase cases[] = {
        {"#,##0", 1234567.5, "1,234,568"},
        {"#,##0", 999, "999"},
        {"#,##0", 0, "0"},
        {"#,##0", -1234, "-1,234"},
        {"#,##0.00", 1234.5, "1,234.50"},
        {"#,##0.00", 0.005, "0.01"},
        {"\\#,##0", 1234, "¥1,234"},
        {"\\#,##0", -1234, "-¥1,234"},
        {"0", 2.5, "3"},
        {"0", -2.5, "-3"},
        {"0", -0.4, "0"},
        {"0%", 12, "12%"},
        {"0.00", 2, "2.00"},
        {"0.00", 0.055, "0.06"},
        {"0.00%", 12.345, "12.35%"},
        {"0.00", 1.005, "1.01"},
        {"#,##0", 1e15, "1,000,000,000,000,000"},
    };
    for (const PictureCase& c : cases)
        EXPECT_EQ(FormatNumberPicture(c.value, c.picture), c.expected) << c.picture << " " << c.value;
}

TEST(NumberPictureTest, PlaceholdersLiteralsAndSigns) {
    const PictureCase cases[] = {
        {"00000", 42, "00042"},
        {"000'-'0000", 1234567, "123-4567"},
        {"000-0000", 1234567, "123 4567"},
        {"$#,##0.00", 5, "$5.00"},
        {"'合計: '#,##0' 円'", 1500, "合計: 1,500 円"},
        {"#,##0個", 12, "12個"},
        {"#.##", 3.1, "3.1"},
        {"#.##", 3, "3"},
        {"0.0#", 3.1, "3.1"},
        {"0.0#", 3.14159, "3.14"},
        {".00", 12.5, "12.50"},
        {"x##", 492492, "492"},
        {"0.00x", 0.125, "0.125"},
        {"0.0x", 0.125, "0.13"},
        {"+0", 5, "+5"},
        {"+0", -5, "-5"},
        {"+0", 0, " 0"},
        {"-0", 5, " 5"},
        {"-0", -5, "-5"},
        {"0,000", 1234567, "1,234,567"},
        {"", 5, ""},
        {"abc", 5, "abc"},
    };
    for (const PictureCase& c : cases)
        EXPECT_EQ(FormatNumberPicture(c.value, c.picture), c.expected) << c.picture << " " << c.value;
}

TEST(NumberPictureTest, PicturesWithMorePlacesThanADoubleHolds) {
    const std::string manyPlaces = "0." + std::string(400, '0');
    const std::string shown = FormatNumberPicture(1.5, manyPlaces);
    EXPECT_EQ(shown, "1.5" + std::string(399, '0'));
    EXPECT_EQ(FormatNumberPicture(1.5, "0." + std::string(400, '#')), "1.5");
    EXPECT_EQ(FormatNumberPicture(1e300, "0").size(), 301u);
}

TEST(NumberPictureTest, SectionsForPositiveNegativeAndZero) {
    const PictureCase cases[] = {
        {"#,##0;(#,##0)", -1234, "(1,234)"},
        {"#,##0;(#,##0)", 1234, "1,234"},
        {"#,##0;-#,##0;'ゼロ'", 0, "ゼロ"},
        {"#,##0;-#,##0;'ゼロ'", -3, "-3"},
        {"$#,##0.00;($#,##0.00);'-'", 0, "-"},
        // A negative value that rounds to zero is zero, not negative.
        {"0.00;(0.00)", -0.001, "0.00"},
        {"0.00;(0.00);'なし'", -0.001, "なし"},
        {"0;'neg;ative'", -1, "neg;ative"},
    };
    for (const PictureCase& c : cases)
        EXPECT_EQ(FormatNumberPicture(c.value, c.picture), c.expected) << c.picture << " " << c.value;
}

}  // namespace
}  // namespace paperloom::word::fieldcalc
