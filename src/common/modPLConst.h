#pragma once
// Names and fixed texts shared by both add-ins: property keys, data-source and record-source
// type codes, flag texts, titles and the messages the user sees. Texts are used exactly.

#include <array>
#include <string_view>

namespace paperloom::modPLConst {

// Property keys (document variables, detail and column property text).
inline constexpr std::string_view PROP_DATA_SOURCE_TYPE = "DataSourceType";
inline constexpr std::string_view PROP_DATA_SOURCE = "DataSource";
inline constexpr std::string_view PROP_USER_NAME = "UserName";
inline constexpr std::string_view PROP_PASSWORD = "Password";
inline constexpr std::string_view PROP_RECORD_SOURCE_TYPE = "RecordSourceType";
inline constexpr std::string_view PROP_RECORD_SOURCE = "RecordSource";
inline constexpr std::string_view PROP_RS_WHERE = "RSWhere";
inline constexpr std::string_view PROP_RS_ORDER = "RSOrder";
inline constexpr std::string_view PROP_HEAD_FILTER = "HeadFilter";
inline constexpr std::string_view PROP_HEAD_SORT = "HeadSort";
inline constexpr std::string_view PROP_UPDATE_DETAIL = "UpdateDetail";
inline constexpr std::string_view PROP_COPY_PRIMARY_HEADER = "CopyPrimaryHeader";
inline constexpr std::string_view PROP_COPY_PRIMARY_FOOTER = "CopyPrimaryFooter";
inline constexpr std::string_view PROP_PARENT_KEY = "ParentKey";
inline constexpr std::string_view PROP_CHILD_KEY = "ChildKey";
inline constexpr std::string_view PROP_COLUMN_HEADERS = "ColumnHeaders";
inline constexpr std::string_view PROP_AUTO_ADJUST_ROW_COUNT = "AutoAdjustRowCount";
inline constexpr std::string_view PROP_FIELD_TYPE = "FieldType";
inline constexpr std::string_view PROP_DATA_FIELD = "DataField";
inline constexpr std::string_view PROP_FORMAT_TYPE = "FormatType";
inline constexpr std::string_view PROP_FORMAT = "Format";
inline constexpr std::string_view PROP_SKIP_SAME_VALUE = "SkipSameValue";
inline constexpr std::string_view PROP_BREAK = "Break";
inline constexpr std::string_view PROP_BROKEN_ROWS = "BrokenRows";
inline constexpr std::string_view PROP_EFFECTIVE_ROW_CNT = "EffectiveRowCnt";
inline constexpr std::string_view PROP_BREAK_ROW_INFO = "BreakRowInfo";
// Break-row keys follow the column letters of their table column ("b" + key for column 2).
inline constexpr std::string_view PROP_BREAK_ROW_FIELD_TYPE = "BreakRowFieldType";
inline constexpr std::string_view PROP_BREAK_ROW_FIELD_VALUE = "BreakRowFieldValue";
inline constexpr std::string_view PROP_BREAK_ROW_FORMAT_TYPE = "BreakRowFormatType";
inline constexpr std::string_view PROP_BREAK_ROW_FORMAT = "BreakRowFormat";

// The keys a column loses when its content kind is set to none (with every break-row key).
inline constexpr std::array<std::string_view, 9> COLUMN_KEYS = {
    PROP_FIELD_TYPE, PROP_DATA_FIELD, PROP_FORMAT_TYPE, PROP_FORMAT, PROP_SKIP_SAME_VALUE,
    PROP_BREAK, PROP_BROKEN_ROWS, PROP_EFFECTIVE_ROW_CNT, PROP_BREAK_ROW_INFO};
inline constexpr std::array<std::string_view, 4> BREAK_ROW_KEYS = {
    PROP_BREAK_ROW_FIELD_TYPE, PROP_BREAK_ROW_FIELD_VALUE, PROP_BREAK_ROW_FORMAT_TYPE, PROP_BREAK_ROW_FORMAT};

// Defaults of the keys whose absence is not "".
inline constexpr std::string_view DEFAULT_UPDATE_DETAIL = "True";
inline constexpr std::string_view DEFAULT_COPY_PRIMARY = "False";
inline constexpr std::string_view DEFAULT_COLUMN_HEADERS = "True";
inline constexpr std::string_view DEFAULT_AUTO_ADJUST_ROW_COUNT = "False";
inline constexpr std::string_view DEFAULT_FIELD_TYPE = "0";

// Column content kinds (FieldType).
inline constexpr std::string_view FIELD_TYPE_NONE = "0";
inline constexpr std::string_view FIELD_TYPE_DATA = "1";
inline constexpr std::string_view FIELD_TYPE_SUPPORT = "2";
inline constexpr std::string_view FIELD_TYPE_EXPRESSION = "3";
inline constexpr std::string_view FIELD_TYPE_PICTURE = "4";

// Break-row content kinds and the "none" caption of the break-row lists.
inline constexpr std::string_view BREAK_ROW_CAPTION = "キャプション";
inline constexpr std::string_view BREAK_ROW_STATISTICS = "統計演算";
inline constexpr std::string_view CAPTION_NONE = "なし";

// Data-source kinds (DataSourceType).
inline constexpr std::string_view DATA_SOURCE_ODBC = "1";
inline constexpr std::string_view DATA_SOURCE_CONNECTION_STRING = "2";
inline constexpr std::string_view DATA_SOURCE_DATA_LINK = "3";
inline constexpr std::string_view DATA_SOURCE_DATABASE_FILE = "4";

// Record-source kinds (RecordSourceType), the data-access command types.
inline constexpr std::string_view RECORD_SOURCE_TEXT = "1";
inline constexpr std::string_view RECORD_SOURCE_TABLE = "2";
inline constexpr std::string_view RECORD_SOURCE_STORED_PROCEDURE = "4";
inline constexpr std::string_view RECORD_SOURCE_UNKNOWN = "8";

// Connection-string pieces.
inline constexpr std::string_view DATA_LINK_PREFIX = "File Name=";
inline constexpr std::string_view DATABASE_FILE_PREFIX = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=";
inline constexpr std::string_view DATABASE_FILE_SUFFIX = ";Persist Security Info=False";

// Flag texts.
inline constexpr std::string_view FLAG_TRUE = "True";
inline constexpr std::string_view FLAG_FALSE = "False";

// Add-in identities and titles (the caption of every message box).
inline constexpr std::string_view EDIT_PROGID = "OsPLEdit.conPLEdit";
inline constexpr std::string_view RUN_PROGID = "OsPLRun.conPLRun";
inline constexpr std::string_view EDIT_APP_TITLE = "Paperloom(開発)";
inline constexpr std::string_view RUN_APP_TITLE = "Paperloom(実行)";
// The manual both add-ins open at its table of contents, relative to the add-in's own folder.
inline constexpr std::string_view HELP_FILE = "help/index.html";

// Dialog captions of the filter and sort editors.
inline constexpr std::string_view CAPTION_HEAD_FILTER = "基本データ部の抽出";
inline constexpr std::string_view CAPTION_DETAIL_FILTER = "明細データ部の抽出";
inline constexpr std::string_view CAPTION_HEAD_SORT = "基本データ部のソート";
inline constexpr std::string_view CAPTION_DETAIL_SORT = "明細データ部のソート";

// The error report: source + ERROR_WORD + "(" + hex number + ")", a blank line, description.
inline constexpr std::string_view ERROR_WORD = "エラー";
inline constexpr std::string_view ERROR_DETAIL = "エラー内容";

// Messages.
inline constexpr std::string_view MSG_SET_DATA_FIELD = "データフィールドを設定してください";
inline constexpr std::string_view MSG_PARENTHESIS_MISMATCH = "括弧の対応が合っていません";
inline constexpr std::string_view MSG_BAD_DATA_SOURCE = "データ ソース、ユーザ名、パスワードの設定に不正があります";
inline constexpr std::string_view MSG_BAD_RECORD_SOURCE = "レコード ソースの設定に不正があります";
inline constexpr std::string_view MSG_TEST_COMPLETED = "テストは無事に完了しました!";
inline constexpr std::string_view MSG_SET_RECORD_NUMBER = "レコード番号を設定してください";
inline constexpr std::string_view MSG_BAD_FIELD = "フィールド名、フィールドタイプが不正です";
inline constexpr std::string_view MSG_BAD_VALUE = "設定した値が不正です";
inline constexpr std::string_view MSG_MOVE_TO_TABLE = "カーソルを対象の表に移動してください";
inline constexpr std::string_view MSG_MOVE_TO_COLUMN = "カーソルを対象の表の列に移動してください";
inline constexpr std::string_view MSG_NO_COLUMNS = "表示する列が設定されていません";
inline constexpr std::string_view MSG_NO_FUNCTION = "統計関数が指定されてません";
inline constexpr std::string_view MSG_NO_BOOKMARK = "ブックマークが指定されてません";
inline constexpr std::string_view MSG_NO_COLUMN = "列が指定されてません";
inline constexpr std::string_view MSG_NOT_STATISTICS_FIELD = "統計演算フィールドではありません。";

// Which box a message is shown in.
enum class PLMessageIcon { Critical, Exclamation, Information };

// A message an operation asks its caller to show; the caller owns the message service.
struct PLMessage {
    std::string_view strText;
    PLMessageIcon icon = PLMessageIcon::Critical;

    friend bool operator==(const PLMessage&, const PLMessage&) = default;
};

}  // namespace paperloom::modPLConst
