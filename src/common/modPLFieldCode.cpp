#include "common/modPLFieldCode.h"

#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "common/modPLPictureField.h"
#include "host/AsciiText.h"

#include <algorithm>
#include <vector>

namespace paperloom::modPLFieldCode {
namespace {

constexpr std::array<std::string_view, 7> kNumberPictures = {"#,##0", "#,##0.00", "\\#,##0", "0",
                                                            "0%",    "0.00",     "0.00%"};
constexpr std::array<std::string_view, 8> kDatePictures = {
    "yyyy/MM/dd", "yy/M/d", "yyyy年MM月dd日", "gge年M月d日", "gggee年MM月dd日",
    "hh:mm:ss",   "hh時mm分ss秒", "hh:mm:ss am/pm"};
constexpr std::array<std::string_view, 3> kTextPictures = {"Upper", "Lower", "sbchar"};

constexpr std::array<std::string_view, 7> kEngineKeywords = {
    KEY_DATA_FIELD, KEY_RECORD_INDEX, KEY_SEQUENCE_INDEX, KEY_DETAIL_PAGE,
    KEY_DETAIL_PAGE_MAX, KEY_STATISTICS, KEY_PICTURE_FIELD};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& list, std::string_view word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

std::vector<std::string> Tokens(std::string_view code) {
    std::vector<std::string> tokens;
    modPLFunction::SplitTokens(code, tokens, "");
    return tokens;
}

}  // namespace

const std::array<FormatTypeEntry, 4>& GetFormatTypes() {
    static const std::array<FormatTypeEntry, 4> types = {{
        {"\\# (数値)", SWITCH_NUMBER, kNumberPictures},
        {"\\@ (日付／時刻)", SWITCH_DATE, kDatePictures},
        {"\\* (文字列)", SWITCH_TEXT, kTextPictures},
        {modPLConst::CAPTION_NONE, "", {}},
    }};
    return types;
}

int FormatTypeToIndex(std::string_view strSwitch) {
    if (strSwitch == SWITCH_NUMBER) {
        return 0;
    }
    if (strSwitch == SWITCH_DATE) {
        return 1;
    }
    if (strSwitch == SWITCH_TEXT) {
        return 2;
    }
    return FORMAT_TYPE_NONE;
}

std::string_view FormatIndexToType(int intListIndex) {
    if (intListIndex < 0 || intListIndex >= FORMAT_TYPE_NONE) {
        return {};
    }
    return GetFormatTypes()[static_cast<std::size_t>(intListIndex)].strSwitch;
}

int FormatCaptionToIndex(std::string_view strCaption) {
    const auto& types = GetFormatTypes();
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (types[i].strCaption == strCaption) {
            return static_cast<int>(i);
        }
    }
    return FORMAT_TYPE_NONE;
}

const std::array<SupportFieldEntry, 4>& GetSupportFields() {
    static const std::array<SupportFieldEntry, 4> fields = {{
        {"レコード番号", KEY_RECORD_INDEX},
        {"抽出番号", KEY_SEQUENCE_INDEX},
        {"明細ページ番号", KEY_DETAIL_PAGE},
        {"明細ページ最大番号", KEY_DETAIL_PAGE_MAX},
    }};
    return fields;
}

std::string_view SupportCaptionToKeyword(std::string_view strCaption) {
    for (const auto& field : GetSupportFields()) {
        if (field.strCaption == strCaption) {
            return field.strKeyword;
        }
    }
    return {};
}

std::string_view SupportKeywordToCaption(std::string_view strKeyword) {
    for (const auto& field : GetSupportFields()) {
        if (field.strKeyword == strKeyword) {
            return field.strCaption;
        }
    }
    return {};
}

const std::array<std::string_view, 6>& GetStatisticsFunctions() {
    static constexpr std::array<std::string_view, 6> functions = {"AVERAGE", "COUNT", "MAX",
                                                                  "MIN",     "PRODUCT", "SUM"};
    return functions;
}

std::string MakeFormatCode(std::string_view strFormatType, std::string_view strFormat) {
    if (FormatTypeToIndex(strFormatType) == FORMAT_TYPE_NONE || strFormat.empty()) {
        return {};
    }
    std::string code = " " + std::string(strFormatType) + " \"";
    for (const char c : strFormat) {
        code.push_back(c);
        if (c == '\\') {
            code.push_back('\\');
        }
    }
    code.push_back('"');
    return code;
}

std::string ReadFormatPicture(std::string_view strToken) {
    std::string picture;
    for (std::size_t i = 0; i < strToken.size(); ++i) {
        const char c = strToken[i];
        if (c == '"') {
            continue;
        }
        picture.push_back(c);
        if (c == '\\' && i + 1 < strToken.size() && strToken[i + 1] == '\\') {
            ++i;
        }
    }
    return picture;
}

std::string MakeHeaderFieldCode(const HeaderFieldSettings& settings) {
    std::string code;
    if (settings.option == HeaderFieldOption::DataField) {
        if (settings.strDataField.empty()) {
            return {};
        }
        if (settings.blnPictureData) {
            code = std::string(modPLPictureField::GetPictureFieldType()) + " " + std::string(KEY_PICTURE_FIELD);
        } else {
            code = std::string(QUOTE_WORD) + " " + std::string(KEY_DATA_FIELD);
        }
        code += " " + settings.strDataField;
    } else {
        code = std::string(QUOTE_WORD);
        const std::string_view keyword = SupportCaptionToKeyword(settings.strSupportCaption);
        if (!keyword.empty()) {
            code += " " + std::string(keyword);
        }
    }
    return code + MakeFormatCode(settings.strFormatType, settings.strFormat);
}

void ReadHeaderFieldCode(std::string_view strCode, HeaderFieldSettings& settings) {
    const auto tokens = Tokens(strCode);
    if (tokens.size() < 2) {
        return;
    }
    const std::string& keyword = tokens[1];
    const std::string name = tokens.size() > 2 ? tokens[2] : std::string();
    std::size_t switchAt = 0;
    if (keyword == KEY_PICTURE_FIELD || keyword == KEY_DATA_FIELD) {
        settings.option = HeaderFieldOption::DataField;
        settings.strDataField = name;
        settings.blnPictureData = keyword == KEY_PICTURE_FIELD;
        switchAt = 3;
    } else if (const auto caption = SupportKeywordToCaption(keyword); !caption.empty()) {
        // The caption of the keyword read, so writing the field back keeps its kind.
        settings.option = HeaderFieldOption::SupportField;
        settings.strSupportCaption = std::string(caption);
        switchAt = 2;
    } else {
        return;
    }
    if (switchAt >= tokens.size()) {
        return;
    }
    if (FormatTypeToIndex(tokens[switchAt]) != FORMAT_TYPE_NONE) {
        settings.strFormatType = tokens[switchAt];
    }
    if (switchAt + 1 < tokens.size()) {
        settings.strFormat = ReadFormatPicture(tokens[switchAt + 1]);
    }
}

std::string MakeStatisticsFieldCode(const StatisticsFieldSettings& settings) {
    return std::string(QUOTE_WORD) + " " + std::string(KEY_STATISTICS) + " " + settings.strFunction + " " +
           settings.strBookmark + " " + settings.strColumn +
           MakeFormatCode(settings.strFormatType, settings.strFormat);
}

bool ReadStatisticsFieldCode(std::string_view strCode, bool blnQuoteField, StatisticsFieldSettings& settings) {
    const auto tokens = Tokens(strCode);
    if (tokens.size() < 5 || (blnQuoteField && tokens[1] != KEY_STATISTICS)) {
        return false;
    }
    settings.strFunction = tokens[2];
    settings.strBookmark = tokens[3];
    settings.strColumn = tokens[4];
    if (tokens.size() > 5) {
        settings.strFormatType = std::string(FormatIndexToType(FormatTypeToIndex(tokens[5])));
    }
    if (tokens.size() > 6) {
        settings.strFormat = ReadFormatPicture(tokens[6]);
    }
    return true;
}

bool IsEngineFieldCode(std::string_view strCode, bool blnIncludePictureField) {
    const auto tokens = Tokens(strCode);
    return tokens.size() >= 2 && (tokens[0] == QUOTE_WORD || blnIncludePictureField) &&
           Contains(kEngineKeywords, tokens[1]);
}

bool IsHeaderFieldKeyword(std::string_view strKeyword) {
    return strKeyword == KEY_DATA_FIELD || strKeyword == KEY_PICTURE_FIELD || strKeyword == KEY_RECORD_INDEX ||
           strKeyword == KEY_SEQUENCE_INDEX || strKeyword == KEY_DETAIL_PAGE || strKeyword == KEY_DETAIL_PAGE_MAX;
}

bool IsFilledKeyword(std::string_view strKeyword) {
    return strKeyword == KEY_DATA_FIELD || strKeyword == KEY_PICTURE_FIELD || strKeyword == KEY_RECORD_INDEX ||
           strKeyword == KEY_SEQUENCE_INDEX || strKeyword == KEY_DETAIL_PAGE_MAX || strKeyword == KEY_STATISTICS;
}

FormulaParts SplitFormulaCode(std::string_view strCode) {
    const std::size_t at = strCode.find(SWITCH_NUMBER);
    if (at == std::string_view::npos) {
        return {std::string(text::Trim(strCode, text::kSpace)), {}};
    }
    std::string_view picture = text::Trim(strCode.substr(at + SWITCH_NUMBER.size()), text::kSpace);
    if (!picture.empty() && picture.front() == '"') {
        picture.remove_prefix(1);
    }
    if (!picture.empty() && picture.back() == '"') {
        picture.remove_suffix(1);
    }
    picture = text::Trim(picture, text::kSpace);
    if (picture.substr(0, 2) == "\\\\") {
        picture.remove_prefix(1);
    }
    return {std::string(strCode.substr(0, at)), std::string(picture)};
}

}  // namespace paperloom::modPLFieldCode
