#include "PropertyText.h"

#include "common/clsPLProperty.h"
#include "common/modPLConst.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"

namespace paperloom::templatekit {

namespace k = modPLConst;

namespace {

std::string_view StoredBreakKind(BreakCellKind kind) {
    switch (kind) {
    case BreakCellKind::Caption: return k::BREAK_ROW_CAPTION;
    case BreakCellKind::Statistic: return k::BREAK_ROW_STATISTICS;
    case BreakCellKind::None: break;
    }
    return {};
}

// Property values have no escape for double quotes; pictures are stored without them.
std::string WithoutQuotes(std::string_view picture) {
    std::string out;
    for (const char c : picture) {
        if (c != '"') out += c;
    }
    return out;
}

// The break-row format picture is stored with its backslashes doubled by its writer (the
// property class doubles only the key "Format") and without double quotes.
std::string StoredBreakPicture(std::string_view picture) {
    std::string out;
    for (const char c : picture) {
        if (c == '"') continue;
        out += c;
        if (c == '\\') out += '\\';
    }
    return out;
}

}  // namespace

std::string BreakRowFormatCaption(const FieldFormat& format) {
    const int index = modPLFieldCode::FormatTypeToIndex(format.formatType);
    return std::string(modPLFieldCode::GetFormatTypes()[static_cast<std::size_t>(index)].strCaption);
}

std::string DetailPropertyText(const DetailTable& table) {
    const clsPLProperty property;
    std::string text;
    const auto set = [&](std::string_view key, std::string_view value) { property.SetPropertyToText(text, key, value); };
    const DataBinding& s = table.source;
    set(k::PROP_DATA_SOURCE_TYPE, s.dataSourceType);
    set(k::PROP_DATA_SOURCE, s.dataSource);
    if (!s.userName.empty()) set(k::PROP_USER_NAME, s.userName);
    if (!s.password.empty()) set(k::PROP_PASSWORD, s.password);
    set(k::PROP_RECORD_SOURCE_TYPE, s.recordSourceType);
    set(k::PROP_RECORD_SOURCE, s.recordSource);
    set(k::PROP_RS_WHERE, s.rsWhere);
    set(k::PROP_RS_ORDER, s.rsOrder);
    set(k::PROP_PARENT_KEY, table.parentKey);
    set(k::PROP_CHILD_KEY, table.childKey);
    set(k::PROP_COLUMN_HEADERS, modPLFunction::FlagToText(table.columnHeaders));
    set(k::PROP_AUTO_ADJUST_ROW_COUNT, modPLFunction::FlagToText(table.autoAdjustRowCount));
    return text;
}

std::string ColumnPropertyText(const DetailTable& table, long column) {
    if (column < 1 || column > static_cast<long>(table.columns.size())) return {};
    const DetailColumn& c = table.columns[static_cast<std::size_t>(column - 1)];
    if (c.kind == ColumnKind::None) return {};
    const clsPLProperty property;
    std::string text;
    const auto set = [&](std::string_view key, std::string_view value) { property.SetPropertyToText(text, key, value); };
    set(k::PROP_FIELD_TYPE, std::to_string(static_cast<int>(c.kind)));
    set(k::PROP_DATA_FIELD, c.dataField);
    // A switch without a picture formats nothing: neither is stored then, as the designer does.
    const bool formatted = !c.format.formatType.empty() && !c.format.format.empty();
    set(k::PROP_FORMAT_TYPE, formatted ? c.format.formatType : "");
    set(k::PROP_FORMAT, formatted ? WithoutQuotes(c.format.format) : "");
    set(k::PROP_SKIP_SAME_VALUE, modPLFunction::FlagToText(c.skipSameValue));
    set(k::PROP_BREAK, modPLFunction::FlagToText(c.breakColumn));

    // Only the first break column carries the break row; the run-time reads no other.
    bool firstBreak = c.breakColumn;
    for (long earlier = 1; firstBreak && earlier < column; ++earlier) {
        if (table.columns[static_cast<std::size_t>(earlier - 1)].breakColumn) firstBreak = false;
    }
    if (firstBreak) {
        for (std::size_t i = 0; i < table.breakRow.size() && i < table.columns.size(); ++i) {
            const BreakRowCell& cell = table.breakRow[i];
            if (cell.kind == BreakCellKind::None) continue;
            const std::string letters = modPLFunction::ColumnLetters(static_cast<long>(i) + 1);
            set(letters + std::string(k::PROP_BREAK_ROW_FIELD_TYPE), StoredBreakKind(cell.kind));
            set(letters + std::string(k::PROP_BREAK_ROW_FIELD_VALUE), cell.value);
            set(letters + std::string(k::PROP_BREAK_ROW_FORMAT_TYPE), BreakRowFormatCaption(cell.format));
            set(letters + std::string(k::PROP_BREAK_ROW_FORMAT),
                cell.format.formatType.empty() ? "" : StoredBreakPicture(cell.format.format));
        }
    }
    return text;
}

std::string CellPropertyText(const DetailTable& table, long column) {
    std::string text = column == 1 ? DetailPropertyText(table) : std::string();
    const std::string own = ColumnPropertyText(table, column);
    if (!own.empty()) text += text.empty() ? own : ", " + own;
    return text;
}

}  // namespace paperloom::templatekit
