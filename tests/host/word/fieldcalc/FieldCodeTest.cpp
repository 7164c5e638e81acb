#include "host/word/fieldcalc/FieldCode.h"

#include <gtest/gtest.h>

namespace paperloom::word::fieldcalc {
namespace {

TEST(FieldCodeTest, TypeNumbersFromTheFirstWordInAnyCase) {
    EXPECT_EQ(FieldCode::Parse(" QUOTE \"a\" ").Type(), FieldType::Quote);
    EXPECT_EQ(FieldCode::Parse("quote").Type(), FieldType::Quote);
    EXPECT_EQ(FieldCode::Parse("=1+2").Type(), FieldType::Formula);
    EXPECT_EQ(FieldCode::Parse(" = SUM(ABOVE) ").Type(), FieldType::Formula);
    EXPECT_EQ(FieldCode::Parse("IncludePicture \"a.png\" \\d").Type(), FieldType::IncludePicture);
    EXPECT_EQ(FieldCode::Parse("MERGEFIELD Name").Type(), FieldType::MergeField);
    EXPECT_EQ(FieldCode::Parse("DocVariable x").Type(), FieldType::DocVariable);
    EXPECT_EQ(FieldCode::Parse("PAGE \\* MERGEFORMAT").Type(), FieldType::Page);
    EXPECT_EQ(FieldCode::Parse("NUMPAGES").Type(), FieldType::NumPages);
    EXPECT_EQ(FieldCode::Parse("DATE \\@ \"yyyy\"").Type(), FieldType::Date);
    EXPECT_EQ(FieldCode::Parse("TIME").Type(), FieldType::Time);
    EXPECT_EQ(FieldCode::Parse("REF bm \\h").Type(), FieldType::Ref);
    EXPECT_EQ(FieldCode::Parse("IF 1 = 1 \"a\" \"b\"").Type(), FieldType::If);
    EXPECT_EQ(FieldCode::Parse("SEQ Figure").Type(), FieldType::Seq);
    EXPECT_EQ(FieldCode::Parse("HYPERLINK \"http://x\"").Type(), FieldType::Hyperlink);
    EXPECT_EQ(FieldCode::Parse("TOC \\o \"1-3\"").Type(), FieldType::Toc);
    EXPECT_EQ(FieldCode::Parse("FORMTEXT").Type(), FieldType::Unknown);
    EXPECT_EQ(FieldCode::Parse("   ").Type(), FieldType::Empty);
    EXPECT_EQ(static_cast<int>(FieldType::Quote), 35);
    EXPECT_EQ(static_cast<int>(FieldType::Formula), 34);
    EXPECT_EQ(static_cast<int>(FieldType::IncludePicture), 67);
}

TEST(FieldCodeTest, QuotedArgumentsKeepBlanksAndHalveEscapes) {
    const FieldCode code = FieldCode::Parse(R"(quote "a  b" \# "\\#,##0" \* Upper)");
    ASSERT_EQ(code.Arguments().size(), 1u);
    EXPECT_EQ(code.Arguments()[0].text, "a  b");
    EXPECT_EQ(code.Arguments()[0].kind, FieldToken::Kind::Quoted);
    ASSERT_EQ(code.Switches().size(), 2u);
    EXPECT_EQ(code.Switches()[0].name, "\\#");
    EXPECT_EQ(code.Switches()[0].argument, "\\#,##0");
    EXPECT_EQ(code.Switches()[1].name, "\\*");
    EXPECT_EQ(code.Switches()[1].argument, "Upper");
}

TEST(FieldCodeTest, SwitchesWithAndWithoutArguments) {
    const FieldCode code = FieldCode::Parse(R"(INCLUDEPICTURE "C:\\img\\a.png" \d \* MERGEFORMAT)");
    ASSERT_EQ(code.Switches().size(), 2u);
    EXPECT_EQ(code.Switches()[0].name, "\\d");
    EXPECT_FALSE(code.Switches()[0].argument.has_value());
    EXPECT_EQ(code.Switches()[1].argument, "MERGEFORMAT");
    EXPECT_TRUE(code.HasSwitch("\\D"));
    EXPECT_EQ(code.Arguments()[0].text, "C:\\img\\a.png");

    // A picture written without quotes, right after the switch.
    const FieldCode tight = FieldCode::Parse("=5 \\#0.00");
    ASSERT_EQ(tight.Switches().size(), 1u);
    EXPECT_EQ(tight.Switches()[0].argument, "0.00");
    EXPECT_EQ(tight.ArgumentText(), "5");

    const FieldCode glued = FieldCode::Parse("=SUM(c3:c7)\\# \"#,##0\"");
    EXPECT_EQ(glued.ArgumentText(), "SUM(c3:c7)");
    ASSERT_EQ(glued.Switches().size(), 1u);
    EXPECT_EQ(glued.Switches()[0].argument, "#,##0");
}

TEST(FieldCodeTest, FormulaTextEndsAtTheFirstSwitch) {
    EXPECT_EQ(FieldCode::Parse("= SUM( Detail1 c:c ) \\# \"#,##0\"").ArgumentText(), "SUM( Detail1 c:c )");
    EXPECT_EQ(FieldCode::Parse("=1234567.5 \\# \"#,##0\"").ArgumentText(), "1234567.5");
    EXPECT_EQ(FieldCode::Parse("=").ArgumentText(), "");
}

TEST(FieldCodeTest, QuoteTextForms) {
    EXPECT_EQ(FieldCode::Parse("quote \"abc\"").QuotedText(), "abc");
    EXPECT_EQ(FieldCode::Parse("quote ").QuotedText(), "");
    EXPECT_EQ(FieldCode::Parse("quote \"\" \\@ \"yyyy/MM/dd\"").QuotedText(), "");
    EXPECT_EQ(FieldCode::Parse("QUOTE two words").QuotedText(), "two words");
    EXPECT_EQ(FieldCode::Parse("QUOTE \"say \\\"hi\\\"\"").QuotedText(), "say \"hi\"");
    // A value carrying unescaped quotes keeps them and the switch after it still counts.
    const FieldCode quoted = FieldCode::Parse("quote \"5\" disk\" \\* Upper");
    EXPECT_EQ(quoted.QuotedText(), "5\" disk");
    ASSERT_EQ(quoted.Switches().size(), 1u);
    EXPECT_EQ(quoted.Switches()[0].argument, "Upper");
    EXPECT_EQ(FieldCode::Parse("quote \"He said \"hi\" ok\"").QuotedText(), "He said \"hi\" ok");
    // A value ending in a backslash keeps it and the switch after it.
    const FieldCode folder = FieldCode::Parse(R"(quote "C:\data\" \* Upper)");
    EXPECT_EQ(folder.QuotedText(), "C:\\data\\");
    ASSERT_EQ(folder.Switches().size(), 1u);
    EXPECT_EQ(folder.Switches()[0].argument, "Upper");
    EXPECT_EQ(FieldCode::Parse(R"(quote "C:\temp\new")").QuotedText(), "C:\\temp\\new");
    // Japanese text passes through untouched.
    EXPECT_EQ(FieldCode::Parse("quote \"株式会社　東京\"").QuotedText(), "株式会社　東京");
}

TEST(FieldCodeTest, TokenizerSurvivesBrokenCodes) {
    EXPECT_EQ(TokenizeFieldCode("\"unclosed").size(), 1u);
    EXPECT_EQ(TokenizeFieldCode("\\").size(), 1u);
    EXPECT_EQ(TokenizeFieldCode("a \\\xE3\x81\x82 b").at(1).text, "\\\xE3\x81\x82");
    EXPECT_TRUE(TokenizeFieldCode("").empty());
    EXPECT_EQ(FieldCode::Parse("quote \"x\" \\#").Switches().at(0).argument, std::nullopt);
}

}  // namespace
}  // namespace paperloom::word::fieldcalc
