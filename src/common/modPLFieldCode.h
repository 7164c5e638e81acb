#pragma once
// The field-code grammar both add-ins share: the engine keywords, the format switches with
// their captions and ready-made pictures, the support fields, the statistics functions,
// building a header or statistics code with its format code, and reading one back.

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace paperloom::modPLFieldCode {

inline constexpr std::string_view QUOTE_WORD = "quote";  // lower case, compared exactly
inline constexpr std::string_view KEY_DATA_FIELD = "DataField";
inline constexpr std::string_view KEY_RECORD_INDEX = "RecordIndex";
inline constexpr std::string_view KEY_SEQUENCE_INDEX = "SequenceIndex";
inline constexpr std::string_view KEY_DETAIL_PAGE = "DetailPage";
inline constexpr std::string_view KEY_DETAIL_PAGE_MAX = "DetailPageMax";
inline constexpr std::string_view KEY_STATISTICS = "Statistics";
inline constexpr std::string_view KEY_PICTURE_FIELD = "PictureField";

inline constexpr std::string_view SWITCH_NUMBER = "\\#";
inline constexpr std::string_view SWITCH_DATE = "\\@";
inline constexpr std::string_view SWITCH_TEXT = "\\*";
inline constexpr int FORMAT_TYPE_NONE = 3;  // list index of "なし"; new dialogs start there

struct FormatTypeEntry {
    std::string_view strCaption;
    std::string_view strSwitch;  // "" for none
    std::span<const std::string_view> pictures;
};

// Index 0 number, 1 date/time, 2 text, 3 none.
const std::array<FormatTypeEntry, 4>& GetFormatTypes();
// "\#" 0, "\@" 1, "\*" 2, anything else 3.
int FormatTypeToIndex(std::string_view strSwitch);
// The switch of a list index; "" for none or an index outside the list.
std::string_view FormatIndexToType(int intListIndex);
// List index of a format-type caption (break rows store captions); 3 for anything else.
int FormatCaptionToIndex(std::string_view strCaption);

struct SupportFieldEntry {
    std::string_view strCaption;
    std::string_view strKeyword;
};
const std::array<SupportFieldEntry, 4>& GetSupportFields();
std::string_view SupportCaptionToKeyword(std::string_view strCaption);  // "" when unknown
std::string_view SupportKeywordToCaption(std::string_view strKeyword);  // "" when unknown

// "AVERAGE", "COUNT", "MAX", "MIN", "PRODUCT", "SUM"
const std::array<std::string_view, 6>& GetStatisticsFunctions();

// " <switch> "<picture with backslashes doubled>"" or "" unless both switch and picture are set.
std::string MakeFormatCode(std::string_view strFormatType, std::string_view strFormat);
// A picture token back to the picture: double quotes removed, doubled backslashes halved.
std::string ReadFormatPicture(std::string_view strToken);

enum class HeaderFieldOption { DataField, SupportField };

struct HeaderFieldSettings {
    HeaderFieldOption option = HeaderFieldOption::DataField;
    std::string strDataField;
    bool blnPictureData = false;
    std::string strSupportCaption;
    std::string strFormatType;  // the switch; "" for none
    std::string strFormat;
};

// The code of a header field; "" (nothing to write) for the data-field option without a name.
std::string MakeHeaderFieldCode(const HeaderFieldSettings& settings);
// Loads a header field's code into the settings; parts the code does not name stay as they are.
void ReadHeaderFieldCode(std::string_view strCode, HeaderFieldSettings& settings);

struct StatisticsFieldSettings {
    std::string strFunction;
    std::string strBookmark;
    std::string strColumn;
    std::string strFormatType;
    std::string strFormat;
};

// quote Statistics <function> <bookmark> <column>[ <switch> "<picture>"]
std::string MakeStatisticsFieldCode(const StatisticsFieldSettings& settings);
// Loads a statistics code; false (settings untouched) when it is not one. A field that is not a
// QUOTE field is read by position whatever its token 1 says.
bool ReadStatisticsFieldCode(std::string_view strCode, bool blnQuoteField, StatisticsFieldSettings& settings);

// The field belongs to the engine: two tokens or more, token 0 "quote" (or the field is an
// INCLUDEPICTURE field), and token 1 one of the keywords above.
bool IsEngineFieldCode(std::string_view strCode, bool blnIncludePictureField);
// Keywords the designer's header-field lookup accepts in quote fields.
bool IsHeaderFieldKeyword(std::string_view strKeyword);
// Keywords the run-time's header fill computes (DetailPage fields are left alone).
bool IsFilledKeyword(std::string_view strKeyword);

// A formula field's code split at its first "\#": the formula and the number picture.
struct FormulaParts {
    std::string strFormula;
    std::string strPicture;
};
FormulaParts SplitFormulaCode(std::string_view strCode);

}  // namespace paperloom::modPLFieldCode
