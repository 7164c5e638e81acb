#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"
#include "common/modPLPictureField.h"
#include "common/modPLRPictureField.h"

#include <gtest/gtest.h>

namespace paperloom {
namespace {

using namespace modPLFieldCode;

std::vector<std::string> Tokens(std::string_view code) {
    std::vector<std::string> tokens;
    modPLFunction::SplitTokens(code, tokens, "");
    return tokens;
}

HeaderFieldSettings DataField(std::string name, std::string type = "", std::string picture = "") {
    HeaderFieldSettings settings;
    settings.strDataField = std::move(name);
    settings.strFormatType = std::move(type);
    settings.strFormat = std::move(picture);
    return settings;
}

TEST(FormatTable, CaptionsSwitchesAndPictures) {
    const auto& types = GetFormatTypes();
    EXPECT_EQ(types[0].strCaption, "\\# (数値)");
    EXPECT_EQ(types[1].strCaption, "\\@ (日付／時刻)");
    EXPECT_EQ(types[2].strCaption, "\\* (文字列)");
    EXPECT_EQ(types[3].strCaption, "なし");
    EXPECT_EQ(types[0].pictures.size(), 7u);
    EXPECT_EQ(types[0].pictures[2], "\\#,##0");
    EXPECT_EQ(types[1].pictures.size(), 8u);
    EXPECT_EQ(types[1].pictures[7], "hh:mm:ss am/pm");
    EXPECT_EQ(types[2].pictures.size(), 3u);
    EXPECT_TRUE(types[3].pictures.empty());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(FormatTypeToIndex(FormatIndexToType(i)), i);
        EXPECT_EQ(FormatCaptionToIndex(types[static_cast<std::size_t>(i)].strCaption), i);
    }
    EXPECT_EQ(FormatTypeToIndex("\\x"), 3);
    EXPECT_EQ(FormatIndexToType(-1), "");
    EXPECT_EQ(FormatIndexToType(9), "");
    EXPECT_EQ(SupportCaptionToKeyword("抽出番号"), "SequenceIndex");
    EXPECT_EQ(SupportKeywordToCaption("DetailPageMax"), "明細ページ最大番号");
    EXPECT_EQ(SupportCaptionToKeyword("合計"), "");
    EXPECT_EQ(GetStatisticsFunctions()[5], "SUM");
}

TEST(FormatCode, WrittenOnlyWithTypeAndPicture) {
    EXPECT_EQ(MakeFormatCode("\\#", "#,##0"), " \\# \"#,##0\"");
    EXPECT_EQ(MakeFormatCode("\\#", "\\#,##0"), " \\# \"\\\\#,##0\"");
    EXPECT_EQ(MakeFormatCode("", "#,##0"), "");
    EXPECT_EQ(MakeFormatCode("\\#", ""), "");
    EXPECT_EQ(ReadFormatPicture("\"\\\\#,##0\""), "\\#,##0");
}

TEST(HeaderCode, DataFieldWithNumberPicture) {
    const std::string code = MakeHeaderFieldCode(DataField("Price", "\\#", "#,##0"));
    EXPECT_EQ(code, "quote DataField Price \\# \"#,##0\"");
    EXPECT_EQ(Tokens(code).size(), 5u);
    HeaderFieldSettings read;
    ReadHeaderFieldCode(code, read);
    EXPECT_EQ(read.option, HeaderFieldOption::DataField);
    EXPECT_EQ(read.strDataField, "Price");
    EXPECT_FALSE(read.blnPictureData);
    EXPECT_EQ(read.strFormatType, "\\#");
    EXPECT_EQ(read.strFormat, "#,##0");
    EXPECT_EQ(MakeHeaderFieldCode(read), code);
}

TEST(HeaderCode, NoSwitchWithoutTypeOrPicture) {
    EXPECT_EQ(MakeHeaderFieldCode(DataField("Price")), "quote DataField Price");
    EXPECT_EQ(MakeHeaderFieldCode(DataField("Price", "\\#", "")), "quote DataField Price");
    EXPECT_EQ(MakeHeaderFieldCode(DataField("Price", "", "#,##0")), "quote DataField Price");
    EXPECT_EQ(MakeHeaderFieldCode(DataField("")), "");
}

TEST(HeaderCode, PicturesWithBackslashesBlanksAndText) {
    const std::string backslash = MakeHeaderFieldCode(DataField("Price", "\\#", "\\#,##0"));
    EXPECT_EQ(backslash, "quote DataField Price \\# \"\\\\#,##0\"");
    HeaderFieldSettings read;
    ReadHeaderFieldCode(backslash, read);
    EXPECT_EQ(read.strFormat, "\\#,##0");

    const std::string blanks = MakeHeaderFieldCode(DataField("時刻", "\\@", "hh:mm:ss am/pm"));
    EXPECT_EQ(Tokens(blanks).size(), 5u);
    EXPECT_EQ(Tokens(blanks)[4], "\"hh:mm:ss am/pm\"");
    ReadHeaderFieldCode(blanks, read);
    EXPECT_EQ(read.strDataField, "時刻");
    EXPECT_EQ(read.strFormatType, "\\@");
    EXPECT_EQ(read.strFormat, "hh:mm:ss am/pm");

    EXPECT_EQ(MakeHeaderFieldCode(DataField("Name", "\\*", "Upper")), "quote DataField Name \\* \"Upper\"");
}

TEST(HeaderCode, PictureDataField) {
    HeaderFieldSettings settings = DataField("Photo");
    settings.blnPictureData = true;
    const std::string code = MakeHeaderFieldCode(settings);
    EXPECT_EQ(code, "IncludePicture PictureField Photo");
    EXPECT_EQ(Tokens(code)[static_cast<std::size_t>(modPLPictureField::GetPictureDataIndex())], "Photo");
    HeaderFieldSettings read;
    ReadHeaderFieldCode(code, read);
    EXPECT_TRUE(read.blnPictureData);
    EXPECT_EQ(read.strDataField, "Photo");
    EXPECT_EQ(MakeHeaderFieldCode(read), code);
}

TEST(HeaderCode, EverySupportFieldRoundTrips) {
    for (const auto& field : GetSupportFields()) {
        HeaderFieldSettings settings;
        settings.option = HeaderFieldOption::SupportField;
        settings.strSupportCaption = std::string(field.strCaption);
        settings.strFormatType = "\\#";
        settings.strFormat = "0";
        const std::string code = MakeHeaderFieldCode(settings);
        EXPECT_EQ(code, "quote " + std::string(field.strKeyword) + " \\# \"0\"");
        HeaderFieldSettings read;
        ReadHeaderFieldCode(code, read);
        EXPECT_EQ(read.option, HeaderFieldOption::SupportField);
        EXPECT_EQ(read.strSupportCaption, field.strCaption);
        EXPECT_EQ(read.strFormat, "0");
        EXPECT_EQ(MakeHeaderFieldCode(read), code);
    }
    HeaderFieldSettings unknown;
    unknown.option = HeaderFieldOption::SupportField;
    unknown.strSupportCaption = "合計";
    EXPECT_EQ(MakeHeaderFieldCode(unknown), "quote");
}

TEST(HeaderCode, ReadingLeavesUnnamedPartsAlone) {
    HeaderFieldSettings read = DataField("Old", "\\@", "yy/M/d");
    ReadHeaderFieldCode("quote DataField", read);  // no name token: an empty name, no crash
    EXPECT_EQ(read.strDataField, "");
    EXPECT_EQ(read.strFormatType, "\\@");
    ReadHeaderFieldCode("quote DataField Qty \\x \"0\"", read);  // unknown switch keeps the type
    EXPECT_EQ(read.strFormatType, "\\@");
    EXPECT_EQ(read.strFormat, "0");
    ReadHeaderFieldCode("quote Something Else", read);
    EXPECT_EQ(read.strDataField, "Qty");
    ReadHeaderFieldCode("", read);
    EXPECT_EQ(read.strDataField, "Qty");
}

TEST(StatisticsCode, SevenAndFiveTokensRoundTrip) {
    StatisticsFieldSettings settings{"SUM", "Detail1", "c", "\\#", "#,##0"};
    const std::string code = MakeStatisticsFieldCode(settings);
    EXPECT_EQ(code, "quote Statistics SUM Detail1 c \\# \"#,##0\"");
    EXPECT_EQ(Tokens(code).size(), 7u);
    StatisticsFieldSettings read;
    ASSERT_TRUE(ReadStatisticsFieldCode(code, true, read));
    EXPECT_EQ(read.strFunction, "SUM");
    EXPECT_EQ(read.strBookmark, "Detail1");
    EXPECT_EQ(read.strColumn, "c");
    EXPECT_EQ(read.strFormatType, "\\#");
    EXPECT_EQ(read.strFormat, "#,##0");
    EXPECT_EQ(MakeStatisticsFieldCode(read), code);

    const std::string plain = MakeStatisticsFieldCode({"COUNT", "Detail2", "aa", "", ""});
    EXPECT_EQ(Tokens(plain).size(), 5u);
    StatisticsFieldSettings readPlain;
    ASSERT_TRUE(ReadStatisticsFieldCode(plain, true, readPlain));
    EXPECT_EQ(MakeStatisticsFieldCode(readPlain), plain);
}

TEST(StatisticsCode, NotAStatisticsField) {
    StatisticsFieldSettings read{"MAX", "B", "a", "", ""};
    EXPECT_FALSE(ReadStatisticsFieldCode("quote DataField Price \\# \"0\"", true, read));
    EXPECT_FALSE(ReadStatisticsFieldCode("quote Statistics SUM Detail1", true, read));
    EXPECT_EQ(read.strFunction, "MAX");
    // a field that is not a QUOTE field is read by position
    EXPECT_TRUE(ReadStatisticsFieldCode("other Keyword SUM Detail1 c", false, read));
    EXPECT_EQ(read.strFunction, "SUM");
}

TEST(EngineField, KeywordsAndCase) {
    EXPECT_TRUE(IsEngineFieldCode("quote DataField Price", false));
    EXPECT_TRUE(IsEngineFieldCode(" quote  RecordIndex ", false));
    EXPECT_TRUE(IsEngineFieldCode("quote Statistics SUM D c", false));
    EXPECT_TRUE(IsEngineFieldCode("IncludePicture PictureField Photo", true));
    EXPECT_FALSE(IsEngineFieldCode("QUOTE DataField Price", false));
    EXPECT_FALSE(IsEngineFieldCode("quote datafield Price", false));
    EXPECT_FALSE(IsEngineFieldCode("quote \"DataField\"", false));
    EXPECT_FALSE(IsEngineFieldCode("quote", false));
    EXPECT_FALSE(IsEngineFieldCode("PAGE", false));
    EXPECT_FALSE(IsEngineFieldCode("IncludePicture \"a.png\" \\d", true));
    EXPECT_TRUE(IsHeaderFieldKeyword("DetailPage"));
    EXPECT_FALSE(IsHeaderFieldKeyword("Statistics"));
    EXPECT_TRUE(IsFilledKeyword("Statistics"));
    EXPECT_FALSE(IsFilledKeyword("DetailPage"));
}

TEST(FormulaCode, SplitAtTheNumberSwitch) {
    const auto withPicture = SplitFormulaCode(" =SUM(Detail1 c:c) \\# \"\\\\#,##0\" ");
    EXPECT_EQ(withPicture.strFormula, " =SUM(Detail1 c:c) ");
    EXPECT_EQ(withPicture.strPicture, "\\#,##0");
    const auto plain = SplitFormulaCode("  =A1*2  ");
    EXPECT_EQ(plain.strFormula, "=A1*2");
    EXPECT_EQ(plain.strPicture, "");
    EXPECT_EQ(SplitFormulaCode("=1 \\# \" 0.00 \"").strPicture, "0.00");
}

TEST(PictureCode, RelativeAbsoluteAndNetworkPaths) {
    EXPECT_EQ(modPLPictureField::GetPictureFieldType(), "IncludePicture");
    EXPECT_EQ(modPLRPictureField::MakePictureFieldCode("img\\a.png", "C:\\docs"),
              "IncludePicture \"C:\\\\docs\\\\img\\\\a.png\" \\d");
    EXPECT_EQ(modPLRPictureField::MakePictureFieldCode("img/a.png", "/home/u/docs"),
              "IncludePicture \"/home/u/docs/img/a.png\" \\d");
    EXPECT_EQ(modPLRPictureField::MakePictureFieldCode("D:\\pics\\a.png", "C:\\docs"),
              "IncludePicture \"D:\\\\pics\\\\a.png\" \\d");
    EXPECT_EQ(modPLRPictureField::MakePictureFieldCode("/srv/pics/a.png", "/home/u"),
              "IncludePicture \"/srv/pics/a.png\" \\d");
    EXPECT_EQ(modPLRPictureField::MakePictureFieldCode("\\\\srv\\pics\\a.png", "C:\\docs"),
              "IncludePicture \"\\\\\\\\srv\\\\pics\\\\a.png\" \\d");
}

TEST(PictureCode, NeverSavedDocumentUsesTheTemplatesFolder) {
    modPLFunction::SetDefaultFolder("/srv/templates");
    EXPECT_EQ(modPLRPictureField::ResolvePicturePath("写真/1.png", ""), "/srv/templates/写真/1.png");
    EXPECT_EQ(modPLRPictureField::ResolvePicturePath("1.png", "/home/u"), "/home/u/1.png");
    EXPECT_EQ(modPLRPictureField::ResolvePicturePath("", "/home/u"), "/home/u");
}

}  // namespace
}  // namespace paperloom
