// Value formatting shared by the header and detail fill: the replacement code of one value,
// and numbers formatted for table cells without a field.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Run/FieldFormat.h"
#include "host/word/fieldcalc/FieldComputer.h"

namespace paperloom::run {
namespace {

using host::ado::DateTime;
using host::ado::Decimal;
using host::ado::Variant;
using settingtypes::ColumnFieldType;

TEST(FieldFormat, ReplacementCodeOfOneValue) {
    EXPECT_EQ(GetFormatTypeHeadCode("\\#", Variant(1234.5), ColumnFieldType::None), "=1234.5");
    EXPECT_EQ(GetFormatTypeHeadCode("\\#", Variant(Decimal::FromText("-7.25")), ColumnFieldType::None), "=-7.25");
    EXPECT_EQ(GetFormatTypeHeadCode("\\@", Variant(DateTime::Date(2024, 1, 5)), ColumnFieldType::None), "quote \"2024/01/05\"");
    EXPECT_EQ(GetFormatTypeHeadCode("\\*", Variant("abc"), ColumnFieldType::None), "quote \"abc\"");
    // A missing number shows nothing; a missing text shows an empty text.
    EXPECT_EQ(GetFormatTypeHeadCode("\\#", Variant::Null(), ColumnFieldType::None), "quote");
    EXPECT_EQ(GetFormatTypeHeadCode("\\#", Variant(), ColumnFieldType::None), "quote");
    EXPECT_EQ(GetFormatTypeHeadCode("\\*", Variant::Null(), ColumnFieldType::None), "quote \"\"");
    // Without a switch: by field type.
    EXPECT_EQ(GetFormatTypeHeadCode("", Variant::Null(), ColumnFieldType::Expression), "quote");
    EXPECT_EQ(GetFormatTypeHeadCode("", Variant("a2*b2"), ColumnFieldType::Expression), "=a2*b2");
    EXPECT_EQ(GetFormatTypeHeadCode("", Variant(true), ColumnFieldType::None), "quote \"True\"");
    EXPECT_EQ(GetFormatTypeHeadCode("", Variant("/pics/a.png"), ColumnFieldType::Picture), "IncludePicture \"/pics/a.png\" \\d");
}

TEST(FieldFormat, QuotedValuesShowExactlyWhateverTheyHold) {
    const word::fieldcalc::FieldComputer computer;
    for (const std::string value : {"5\" pipe", "C:\\data\\", "a \\# b", "say \"hi\" \\* Upper", "\\\\server"}) {
        const auto code = GetFormatTypeHeadCode("\\*", Variant(value), ColumnFieldType::None);
        EXPECT_EQ(computer.Compute(code).text, value) << code;
        EXPECT_EQ(computer.Compute(code + " \\* Upper").text.size(), value.size()) << code;
    }
}

TEST(FieldFormat, ANumberFieldComputesNoTextAndFormatsOnlyNumbers) {
    const word::fieldcalc::FieldComputer computer;
    // Texts a number column may hold are shown as written, with or without a picture.
    for (const std::string text : {"6*7", "SUM(10,20)", "1=1", "Hello World", "=1+1", "12abc", " "}) {
        const Variant value(text);
        const auto code = GetFormatTypeHeadCode("\\#", value, ColumnFieldType::None);
        EXPECT_EQ(computer.Compute(code).text, text) << code;
        EXPECT_EQ(computer.Compute(code + " \\# \"#,##0\"").text, text) << code;
        EXPECT_EQ(GetFormatTypeHeadCode("\\#", value, ColumnFieldType::Data), code) << "a detail data column";
    }
    EXPECT_EQ(computer.Compute(GetFormatTypeHeadCode("\\#", Variant(""), ColumnFieldType::None)).text, "");
    EXPECT_EQ(computer.Compute(GetFormatTypeHeadCode("\\#", Variant(DateTime::Date(2024, 1, 5)), ColumnFieldType::None)).text,
              "2024/01/05");
    // Numbers, whether the value holds one or a text spelling one, are numbers.
    struct Case {
        Variant value;
        const char* shown;
    };
    for (const Case& c : {Case{Variant("42"), "42"}, Case{Variant("-1234.5"), "-1,235"}, Case{Variant(".5"), "1"},
                          Case{Variant("1E+3"), "1,000"}, Case{Variant(1234567LL), "1,234,567"},
                          Case{Variant(Decimal::FromText("2.5")), "3"}}) {
        const auto code = GetFormatTypeHeadCode("\\#", c.value, ColumnFieldType::Data);
        EXPECT_EQ(code.front(), '=') << code;
        EXPECT_EQ(computer.Compute(code + " \\# \"#,##0\"").text, c.shown) << code;
    }
    // A formula column and a statistic keep their formula.
    EXPECT_EQ(GetFormatTypeHeadCode("\\#", Variant("b2*c2"), ColumnFieldType::Expression), "=b2*c2");
    EXPECT_EQ(GetFormatTypeHeadCode("\\#", Variant("SUM(C2:C5)"), ColumnFieldType::Expression), "=SUM(C2:C5)");
}

TEST(FieldFormat, NumbersForTableCells) {
    struct Case {
        const char* picture;
        const char* value;
        const char* expected;
    };
    const std::vector<Case> cases{
        {"#,##0", "1234567.5", "1,234,568"},
        {"#,##0", "=999.5", "1,000"},
        {"#,##0", "123", "123"},
        {"#,##0.00", "1234.005", "1,234.01"},
        {"#,##0.00", "999999.995", "1,000,000.00"},
        {"0", "2.49", "2"},
        {"0", "2.5", "3"},
        {"0%", "12.5", "13%"},
        {"0.00", "2", "2.00"},
        {"0.00", "0.055", "0.06"},
        {"0.00", "0.5", "0.50"},
        {"0.00", "3.004", "3.00"},
        {"0.00%", "12.345", "12.35%"},
        {"0.00", ".5", "0.50"},
        // Negative values round their digits away from zero; a rounded zero has no sign.
        {"#,##0", "-1234.5", "-1,235"},
        {"#,##0", "-123", "-123"},
        {"0.00", "-0.004", "0.00"},
        {"0", "-0.5", "-1"},
        // Pictures and values left to a field.
        {"#,##0.0", "1", ""},
        {"\\#,##0", "1", ""},
        {"", "1", ""},
        {"0", "1.5E+20", ""},
        {"0", "abc", ""},
        {"0", "", ""},
        {"0", "=", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(FieldFormatToText(c.picture, c.value), c.expected) << c.picture << " " << c.value;
}

}  // namespace
}  // namespace paperloom::run
