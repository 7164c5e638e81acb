#include "host/word/fieldcalc/FieldComputer.h"

#include <gtest/gtest.h>

#include "FakeFormulaContext.h"
#include "host/word/fieldcalc/FieldError.h"

namespace paperloom::word::fieldcalc {
namespace {

using testing::FakeFormulaContext;
using testing::FakeTable;

struct CodeCase {
    const char* code;
    const char* shown;
};

void ExpectResults(const FieldComputer& computer, const FormulaContext& context, std::initializer_list<CodeCase> cases) {
    for (const CodeCase& c : cases) {
        const FieldResult result = computer.Compute(c.code, context);
        EXPECT_EQ(result.kind, FieldResult::Kind::Text) << c.code << " -> " << result.text;
        EXPECT_EQ(result.text, c.shown) << c.code;
    }
}

// Codes as the run-time writes them for data, record-number and statistics fields.
TEST(FieldComputerTest, NumberFieldsWithPictures) {
    const FieldComputer computer;
    ExpectResults(computer, EmptyFormulaContext{}, {
        {"=1234567.5 \\# \"#,##0\"", "1,234,568"},
        {"=1234.5 \\# \"#,##0.00\"", "1,234.50"},
        {"=1234 \\# \"\\\\#,##0\"", "¥1,234"},
        {"=7 \\# \"0\"", "7"},
        {"=12 \\# \"0%\"", "12%"},
        {"=2 \\# \"0.00\"", "2.00"},
        {"=0.055 \\# \"0.00\"", "0.06"},
        {"=12.345 \\# \"0.00%\"", "12.35%"},
        {"=-1 \\# \"#,##0\"", "-1"},
        {"=42", "42"},
        {"=1/3", "0.333333333333333"},
        {"= 0.1 + 0.2", "0.3"},
        {"=-5 \\# \"#,##0;(#,##0)\"", "(5)"},
        {"=3 \\# 0.0", "3.0"},
        {"=5 \\* MERGEFORMAT", "5"},
        {"=45017 \\@ \"yyyy/MM/dd\"", "2023/04/01"},
        {"=1234.5 \\#", "1234.5"},
        {"=1234.5 \\# \"\"", "1234.5"},
    });
}

TEST(FieldComputerTest, QuoteFieldsWithSwitches) {
    const FieldComputer computer;
    ExpectResults(computer, EmptyFormulaContext{}, {
        {"quote \"abc def\" \\* Upper", "ABC DEF"},
        {"quote \"ABC Def\" \\* \"Lower\"", "abc def"},
        {"quote \"hello big world\" \\* FirstCap", "Hello big world"},
        {"quote \"hello big world\" \\* Caps", "Hello Big World"},
        {"quote \"ＡＢＣ１２３　アイウ\" \\* sbchar", "ABC123 ｱｲｳ"},
        {"quote \"ABC123 ｱｲｳ\" \\* DBCHAR", "ＡＢＣ１２３　アイウ"},
        {"quote \"äbc\" \\* Upper", "ÄBC"},
        {"quote \"abc\" \\* upper \\* MERGEFORMAT", "ABC"},
        {"quote \"2023/04/01\" \\@ \"yyyy年MM月dd日\"", "2023年04月01日"},
        {"quote \"2019-05-01\" \\@ \"gge年M月d日\"", "令和1年5月1日"},
        {"quote \"1989/01/07 10:30:00\" \\@ \"gggee年MM月dd日 HH:mm\"", "昭和64年01月07日 10:30"},
        {"quote \"2023/04/01 13:05:09\" \\@ \"hh:mm:ss am/pm\"", "01:05:09 pm"},
        {"quote \"\" \\@ \"yyyy/MM/dd\"", ""},
        {"quote \"not a date\" \\@ \"yyyy/MM/dd\"", "not a date"},
        {"quote \"1,234\" \\# \"0.00\"", "1234.00"},
        {"quote \"abc\" \\# \"0.00\"", "abc"},
        {"quote \"2023/04/01\" \\@", "2023/04/01"},
        {"quote ", ""},
        {"quote", ""},
        {"QUOTE \"東京\"", "東京"},
        {"quote \"He said \"hi\"\" \\* Upper", "HE SAID \"HI\""},
    });
}

TEST(FieldComputerTest, FormulasOverTablesAndBookmarks) {
    FakeTable first{{
        {"品名", "金額"}, {"a", "100"}, {"b", "200"}, {"c", "300"}, {"d", "400"}, {"e", "500"},
        {"計", "1,500"}, {"f", "1,000"},
    }};
    FakeTable second{{{"品名", "金額"}, {"g", "50"}, {"h", ""}, {"i", "150"}}};
    FakeFormulaContext context;
    context.ownTable = &first;
    context.ownCell = CellPosition{7, 2};
    context.bookmarkedTables["Detail1"] = &first;
    context.bookmarkedTables["Detail2"] = &second;
    const FieldComputer computer;
    ExpectResults(computer, context, {
        {"=SUM(b2:b6)", "1500"},
        {"=SUM(B2:B6) \\# \"#,##0\"", "1,500"},
        {"=AVERAGE(b2:b6)", "300"},
        {"=COUNT(b2:b6)", "5"},
        {"=SUM(ABOVE) \\# \"#,##0\"", "1,500"},
        // A whole column also counts the break row's own result; the run-time builds runs.
        {"=SUM( Detail1 b:b ) \\# \"#,##0\"", "4,000"},
        {"=AVERAGE( Detail2 b:b )", "100"},
        {"=(SUM( Detail1 b2:b6)+SUM( Detail1 b8:b8)+SUM( Detail2 b2:b4))/"
         "(COUNT( Detail1 b2:b6)+COUNT( Detail1 b8:b8)+COUNT( Detail2 b2:b4)) \\# \"#,##0.00\"",
         "337.50"},
        {"=SUM(COUNT( Detail1 b2:b6),COUNT( Detail2 b2:b4))", "7"},
        {"=(SUM( Detail1 b2:b6)+SUM( Detail2 b2:b4) ) / (COUNT( Detail1 b2:b6)+COUNT( Detail2 b2:b4)) \\# \"0.0\"",
         "242.9"},
        {"=MAX(MAX( Detail1 b2:b6),MAX( Detail2 b2:b4))", "500"},
        {"=SUM(b2:b6)\\# \"#,##0\"", "1,500"},
    });
}

TEST(FieldComputerTest, ErrorsBecomeVisibleResults) {
    const FieldComputer computer;
    const std::pair<const char*, FieldErrorKind> cases[] = {
        {"=1/0", FieldErrorKind::ZeroDivide},
        {"=1+", FieldErrorKind::Syntax},
        {"=", FieldErrorKind::Syntax},
        {"=Price*2", FieldErrorKind::UndefinedBookmark},
        {"=SUM(ABOVE)", FieldErrorKind::NotInTable},
        {"quote \"a\" \\* Shout", FieldErrorKind::UnknownSwitch},
        {"=1 \\* Shout", FieldErrorKind::UnknownSwitch},
        {"=(-8)^0.5", FieldErrorKind::Overflow},
        {"INCLUDEPICTURE \"\" \\d", FieldErrorKind::NoPicturePath},
        {"INCLUDEPICTURE", FieldErrorKind::NoPicturePath},
    };
    for (const auto& [code, kind] : cases) {
        const FieldResult result = computer.Compute(code);
        EXPECT_EQ(result.kind, FieldResult::Kind::Error) << code;
        EXPECT_EQ(result.text.rfind(FieldErrorText(kind), 0), 0u) << code << " -> " << result.text;
        EXPECT_EQ(result.text.front(), '!') << code;
    }
    EXPECT_EQ(computer.Compute("=Price*2").text, "!未定義のブックマーク, Price");
    EXPECT_EQ(computer.Compute("=1/0").text, "!ゼロ除算");
}

TEST(FieldComputerTest, OtherFieldsKeepTheirResult) {
    const FieldComputer computer;
    for (const char* code : {"PAGE", "DATE \\@ \"yyyy\"", "MERGEFIELD Name", "FORMTEXT", "", "REF x \\h",
                             "quote\"", "IF 1 = 1 \"a\" \"b\""}) {
        const FieldResult result = computer.Compute(code);
        if (std::string_view(code) == "quote\"") continue;  // a quote field, computed
        EXPECT_EQ(result.kind, FieldResult::Kind::Keep) << code;
    }
    EXPECT_EQ(computer.Compute("PAGE").type, FieldType::Page);
}

TEST(FieldComputerTest, IncludePictureRequests) {
    const FieldComputer computer;
    const FieldResult linked = computer.Compute(R"(IncludePicture "C:\\data\\img\\photo 1.png" \d)");
    ASSERT_EQ(linked.kind, FieldResult::Kind::Picture);
    ASSERT_TRUE(linked.picture.has_value());
    EXPECT_EQ(linked.picture->path, "C:\\data\\img\\photo 1.png");
    EXPECT_EQ(linked.picture->PortablePath(), "C:/data/img/photo 1.png");
    EXPECT_TRUE(linked.picture->linked);
    EXPECT_EQ(linked.type, FieldType::IncludePicture);

    const FieldResult embedded = computer.Compute("INCLUDEPICTURE \"images/a.png\" \\* MERGEFORMAT");
    ASSERT_EQ(embedded.kind, FieldResult::Kind::Picture);
    EXPECT_FALSE(embedded.picture->linked);
    EXPECT_TRUE(embedded.mergeFormat);
    EXPECT_EQ(embedded.picture->PortablePath(), "images/a.png");
    ASSERT_EQ(embedded.picture->switches.size(), 1u);

    const FieldResult share = computer.Compute(R"(INCLUDEPICTURE "\\\\server\\share\\b.jpg" \d)");
    EXPECT_EQ(share.picture->path, "\\\\server\\share\\b.jpg");
    EXPECT_EQ(share.picture->PortablePath(), "//server/share/b.jpg");

    const FieldResult unquoted = computer.Compute("INCLUDEPICTURE C:\\\\img\\\\c.png \\d");
    EXPECT_EQ(unquoted.picture->path, "C:\\img\\c.png");
}

TEST(FieldComputerTest, NumberingsOfTheTextSwitch) {
    const FieldComputer computer;
    ExpectResults(computer, EmptyFormulaContext{}, {
        {"=1999 \\* Roman", "MCMXCIX"},
        {"=14 \\* roman", "xiv"},
        {"=0 \\* Roman", "0"},
        {"=28 \\* ALPHABETIC", "BB"},
        {"=3 \\* alphabetic", "c"},
        {"=458 \\* Hex", "1CA"},
        {"=2.6 \\* Arabic", "3"},
        {"=7 \\* ArabicDash", "- 7 -"},
        {"=1 \\* Ordinal", "1st"},
        {"=12 \\* Ordinal", "12th"},
        {"=23 \\* Ordinal", "23rd"},
        {"=4 \\* roman \\* Upper", "IV"},
        {"=4 \\# \"00\" \\* roman", "04"},
        {"quote \"12\" \\* Roman", "XII"},
        {"quote \"abc\" \\* Roman", "abc"},
    });
}

TEST(FieldComputerTest, MergeFormatIsReportedNotShown) {
    const FieldResult result = FieldComputer{}.Compute("quote \"x\" \\* MERGEFORMAT \\* CHARFORMAT");
    EXPECT_EQ(result.text, "x");
    EXPECT_TRUE(result.mergeFormat);
    EXPECT_TRUE(result.charFormat);
}

TEST(FieldComputerTest, LocaleChoosesNames) {
    const FieldComputer english(FieldComputer::Options{"en_US"});
    EXPECT_EQ(english.Compute("quote \"2023/04/01\" \\@ \"dddd, MMMM d\"").text, "Saturday, April 1");
    EXPECT_EQ(FieldComputer{}.Compute("quote \"2023/04/01\" \\@ \"M月d日(ddd)\"").text, "4月1日(土)");
}

}  // namespace
}  // namespace paperloom::word::fieldcalc
