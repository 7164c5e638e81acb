#include "common/clsPLProperty.h"
#include "common/modPLConst.h"
#include "host/HostError.h"

#include <gtest/gtest.h>

namespace paperloom {
namespace {

const clsPLProperty property;

std::string Get(std::string_view text, std::string_view key, std::string_view def = "<none>") {
    return property.GetPropertyFromText(text, key, def);
}

TEST(PropertyTextRead, FindsEntriesWhereverTheyStand) {
    const std::string text = R"(A="1", B="2", C="3")";
    EXPECT_EQ(Get(text, "A"), "1");
    EXPECT_EQ(Get(text, "B"), "2");
    EXPECT_EQ(Get(text, "C"), "3");
    EXPECT_EQ(Get(text, "D", "dflt"), "dflt");
}

TEST(PropertyTextRead, AcceptsBlanksAroundCommaAndEquals) {
    const std::string text = R"(A  =  "1"  ,   B= "2",C ="3")";
    EXPECT_EQ(Get(text, "A"), "1");
    EXPECT_EQ(Get(text, "B"), "2");
    EXPECT_EQ(Get(text, "C"), "3");
}

TEST(PropertyTextRead, KeysAreWholeAndCaseSensitive) {
    const std::string text = R"(FormatType="\#", Format="#,##0")";
    EXPECT_EQ(Get(text, "Format"), "#,##0");
    EXPECT_EQ(Get(text, "Type", "dflt"), "dflt");
    EXPECT_EQ(Get(text, "format", "dflt"), "dflt");
    EXPECT_EQ(Get(R"(bBreakRowFormat="0", Format="x")", "Format"), "x");
    EXPECT_EQ(Get(R"(bBreakRowFormat="0")", "Format", "dflt"), "dflt");
}

TEST(PropertyTextRead, ValuesKeepCommasAndJapanese) {
    EXPECT_EQ(Get(R"(Format="#,##0.00", DataField="単価")", "Format"), "#,##0.00");
    EXPECT_EQ(Get(R"(Format="#,##0.00", DataField="単価")", "DataField"), "単価");
    EXPECT_EQ(Get(R"(BrokenRows="3,7,12")", "BrokenRows"), "3,7,12");
}

TEST(PropertyTextRead, EmptyValueIsNotTheDefault) {
    EXPECT_EQ(Get(R"(A="", B="2")", "A", "dflt"), "");
    EXPECT_EQ(Get(R"(B="2", A="")", "A", "dflt"), "");
}

TEST(PropertyTextRead, DamagedEntriesReadAsDefault) {
    EXPECT_EQ(Get(R"(A="1, B="2")", "A", "dflt"), "dflt");   // odd quotes: A never ends
    EXPECT_EQ(Get(R"(A="1", B="2)", "B", "dflt"), "dflt");   // unterminated
    EXPECT_EQ(Get(R"(A="1", B="2)", "A", "dflt"), "1");
    EXPECT_EQ(Get(R"(A=abc, B="2")", "A", "dflt"), "dflt");  // no quotes at all
    EXPECT_EQ(Get(R"(A="x"y, B="2")", "A", "dflt"), "dflt");
    EXPECT_EQ(Get(R"(A "1")", "A", "dflt"), "dflt");          // no equals sign
    EXPECT_EQ(Get(R"(A=)", "A", "dflt"), "dflt");
    EXPECT_EQ(Get("", "A", "dflt"), "dflt");
    EXPECT_EQ(Get(R"(A="1")", "", "dflt"), "dflt");
}

TEST(PropertyTextRead, BlanksBeforeTheCommaAreNotPartOfTheValue) {
    EXPECT_EQ(Get(R"(A="1"   , B="2")", "A"), "1");
    EXPECT_EQ(Get(R"(A="1"   )", "A"), "1");
}

TEST(PropertyTextRead, KeyNotAtAnEntryStartIsSkipped) {
    // "B" occurs inside A's value before the real entry
    EXPECT_EQ(Get(R"(A="xB", B="2")", "B"), "2");
    EXPECT_EQ(Get(R"(XA="9", A="1")", "A"), "1");
}

TEST(PropertyTextFormat, BackslashesAreDoubledOnlyForFormat) {
    std::string text;
    property.SetPropertyToText(text, "Format", R"(\#,##0)");
    EXPECT_EQ(text, R"(Format="\\#,##0")");
    EXPECT_EQ(Get(text, "Format"), R"(\#,##0)");

    std::string plain;
    property.SetPropertyToText(plain, "FormatType", R"(\#)");
    EXPECT_EQ(plain, R"(FormatType="\#")");
    EXPECT_EQ(Get(plain, "FormatType"), R"(\#)");

    std::string number;
    property.SetPropertyToText(number, "Format", "#,##0");
    EXPECT_EQ(Get(number, "Format"), "#,##0");

    std::string twice;
    property.SetPropertyToText(twice, "Format", R"(\\x)");
    EXPECT_EQ(Get(twice, "Format"), R"(\\x)");
}

TEST(PropertyTextWrite, NewAndExistingKeys) {
    std::string text;
    property.SetPropertyToText(text, "A", "1");
    EXPECT_EQ(text, R"(A="1")");
    property.SetPropertyToText(text, "B", "2");
    EXPECT_EQ(text, R"(A="1", B="2")");
    property.SetPropertyToText(text, "C", "3");
    property.SetPropertyToText(text, "B", "two, too");
    EXPECT_EQ(text, R"(A="1", B="two, too", C="3")");
    property.SetPropertyToText(text, "A", "");
    EXPECT_EQ(text, R"(A="", B="two, too", C="3")");
    property.SetPropertyToText(text, "C", "三");
    EXPECT_EQ(text, R"(A="", B="two, too", C="三")");
}

TEST(PropertyTextWrite, BlanksAroundOldEqualsDisappear) {
    std::string text = R"(A  =  "1"  , B="2")";
    property.SetPropertyToText(text, "A", "x");
    EXPECT_EQ(text, R"(A="x", B="2")");
}

TEST(PropertyTextWrite, UnterminatedOldValueIsReplacedWithEverythingAfterIt) {
    std::string text = R"(A="1", B="2, C="3")";
    property.SetPropertyToText(text, "B", "x");
    EXPECT_EQ(text, R"(A="1", B="x")");
    EXPECT_EQ(Get(text, "B"), "x");
}

TEST(PropertyTextWrite, DamagedEntriesWithoutQuotesAreNotRewrittenButShadowed) {
    // found by fuzzing: a key with "=" and no quoted value must not hide the entry written after it
    std::string text = R"(A gg  ,B="x,  " ,C=)";
    property.SetPropertyToText(text, "C", "new");
    EXPECT_EQ(text, R"(A gg  ,B="x,  " ,C=, C="new")");
    EXPECT_EQ(Get(text, "C"), "new");
    std::string unquoted = R"(A=abc, B="1")";
    property.SetPropertyToText(unquoted, "A", "2");
    EXPECT_EQ(Get(unquoted, "A"), "2");
    property.DeletePropertyFromText(unquoted, "A");
    EXPECT_EQ(unquoted, R"(A=abc, B="1")");
}

TEST(PropertyTextWrite, EmptyKeyChangesNothingAndQuotesAreRefused) {
    std::string text = R"(A="1")";
    property.SetPropertyToText(text, "", "x");
    EXPECT_EQ(text, R"(A="1")");
    EXPECT_THROW(property.SetPropertyToText(text, "B", R"(say "hi")"), host::HostError);
    EXPECT_EQ(text, R"(A="1")");
}

TEST(PropertyTextDelete, OnlyFirstMiddleLast) {
    std::string only = R"(A="1")";
    property.DeletePropertyFromText(only, "A");
    EXPECT_EQ(only, "");

    std::string first = R"(A="1", B="2", C="3")";
    property.DeletePropertyFromText(first, "A");
    EXPECT_EQ(first, R"(B="2", C="3")");

    std::string middle = R"(A="1", B="2", C="3")";
    property.DeletePropertyFromText(middle, "B");
    EXPECT_EQ(middle, R"(A="1", C="3")");

    std::string last = R"(A="1", B="2", C="3")";
    property.DeletePropertyFromText(last, "C");
    EXPECT_EQ(last, R"(A="1", B="2")");
}

TEST(PropertyTextDelete, ValuesWithCommasAndLooseBlanks) {
    std::string text = R"(A="1,2"  ,   B="x, y" ,C="3")";
    property.DeletePropertyFromText(text, "B");
    EXPECT_EQ(text, R"(A="1,2"  ,   C="3")");
    EXPECT_EQ(Get(text, "A"), "1,2");
    EXPECT_EQ(Get(text, "C"), "3");
}

TEST(PropertyTextDelete, OnlyTheFirstEntryAndOnlyExactKeys) {
    std::string text = R"(FormatType="\#", Format="0", Format="1")";
    property.DeletePropertyFromText(text, "Format");
    EXPECT_EQ(text, R"(FormatType="\#", Format="1")");
    std::string unchanged = R"(A="1")";
    property.DeletePropertyFromText(unchanged, "B");
    property.DeletePropertyFromText(unchanged, "");
    EXPECT_EQ(unchanged, R"(A="1")");
    std::string empty;
    property.DeletePropertyFromText(empty, "A");
    EXPECT_EQ(empty, "");
}

TEST(PropertyTextDelete, UnterminatedEntryGoesWithItsTail) {
    std::string text = R"(A="1", B="2, C="3")";
    property.DeletePropertyFromText(text, "B");
    EXPECT_EQ(text, R"(A="1")");
}

TEST(PropertyTextDeleteBySuffix, RemovesEveryColumnsBreakRowFormat) {
    std::string text =
        R"(FieldType="1", aBreakRowFormatType="\#", aBreakRowFormat="#,##0", )"
        R"(bBreakRowFormat="0", Break="True", aaBreakRowFormat="0.00")";
    property.DeletePropertiesFromText(text, "BreakRowFormat");
    EXPECT_EQ(text, R"(FieldType="1", aBreakRowFormatType="\#", Break="True")");
}

TEST(PropertyTextDeleteBySuffix, FirstOnlyAndAbsent) {
    std::string first = R"(aBreakRowFieldType="キャプション", Break="True")";
    property.DeletePropertiesFromText(first, "BreakRowFieldType");
    EXPECT_EQ(first, R"(Break="True")");

    std::string all = R"(aBreakRowFieldValue="SUM", bBreakRowFieldValue="計")";
    property.DeletePropertiesFromText(all, "BreakRowFieldValue");
    EXPECT_EQ(all, "");

    std::string none = R"(Break="True")";
    property.DeletePropertiesFromText(none, "BreakRowFormat");
    EXPECT_EQ(none, R"(Break="True")");
    property.DeletePropertiesFromText(none, "");
    EXPECT_EQ(none, R"(Break="True")");
}

TEST(PropertyTextDeleteBySuffix, ColumnSetToNoneKeepsOnlyForeignKeys) {
    // what the designer does when a column's content kind becomes none
    std::string text =
        R"(FieldType="1", DataField="数量", FormatType="\#", Format="#,##0", SkipSameValue="True", )"
        R"(Break="True", Note="keep, me", BreakRowInfo="", aBreakRowFieldType="統計演算", )"
        R"x(aBreakRowFieldValue="SUM", aBreakRowFormatType="\# (数値)", aBreakRowFormat="#,##0", )x"
        R"(cBreakRowFieldType="キャプション", cBreakRowFieldValue="計")";
    for (const auto key : modPLConst::COLUMN_KEYS) {
        property.DeletePropertyFromText(text, key);
    }
    for (const auto key : modPLConst::BREAK_ROW_KEYS) {
        property.DeletePropertiesFromText(text, key);
    }
    EXPECT_EQ(text, R"(Note="keep, me")");
}

TEST(PropertyTextRoundTrip, ManyKeysSurviveEachOther) {
    std::string text;
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"FieldType", "1"}, {"DataField", "得意先名"}, {"FormatType", R"(\@)"},
        {"Format", R"(yyyy\年)"}, {"SkipSameValue", "True"}, {"aBreakRowFormat", "0,0"}};
    for (const auto& [key, value] : entries) {
        property.SetPropertyToText(text, key, value);
    }
    for (const auto& [key, value] : entries) {
        EXPECT_EQ(Get(text, key), value) << key;
    }
    property.DeletePropertyFromText(text, "Format");
    EXPECT_EQ(Get(text, "Format", "gone"), "gone");
    EXPECT_EQ(Get(text, "FormatType"), R"(\@)");
    EXPECT_EQ(Get(text, "aBreakRowFormat"), "0,0");
}

}  // namespace
}  // namespace paperloom
