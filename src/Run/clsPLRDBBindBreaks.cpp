#include "Run/clsPLRDBBindBreaks.h"


#include "Run/DetailCell.h"
#include "Run/FieldFormat.h"
#include "Run/clsPLRDBBind.h"
#include "common/clsPLProperty.h"
#include "common/SettingTypes.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"
#include "host/ado/Recordset.h"
#include "host/AsciiText.h"

namespace paperloom {
namespace run {
namespace {

constexpr std::string_view kCaption = modPLConst::BREAK_ROW_CAPTION;
constexpr std::string_view kStatistic = modPLConst::BREAK_ROW_STATISTICS;
constexpr std::string_view kCountSet = "BREAKCOUNTSET";

// The statement's tokens again, each followed by one blank, with the break field as the
// select list of a "SELECT *", or added to the end of any other select list.
std::string SelectBreakField(std::string_view strStatement, std::string_view strField) {
    std::vector<std::string> tokens;
    const long count = modPLFunction::SplitTokens(strStatement, tokens, "");
    std::string rebuilt;
    bool inSelectList = false;
    bool added = false;
    for (long i = 0; i < count; ++i) {
        const std::string upper = text::ToUpper(tokens[i]);
        if (!added && upper == "SELECT" && i + 1 < count && tokens[i + 1] == "*") {
            rebuilt += tokens[i] + " " + std::string(strField) + " ";
            ++i;
            added = true;
            continue;
        }
        if (!added && upper == "SELECT") {
            inSelectList = true;
        } else if (inSelectList && upper == "FROM") {
            if (!rebuilt.empty() && rebuilt.back() == ' ') rebuilt.pop_back();
            rebuilt += ", " + std::string(strField) + " ";
            inSelectList = false;
            added = true;
        }
        rebuilt += tokens[i] + " ";
    }
    return rebuilt;
}

}  // namespace

std::vector<BreakRowDefinition> ReadBreakDefinitions(long lngColumnCount, std::string_view strBreakColumnProperties) {
    const clsPLProperty property;
    std::vector<BreakRowDefinition> definitions;
    for (long c = 1; c <= lngColumnCount; ++c) {
        const std::string letters = modPLFunction::ColumnLetters(c);
        const auto read = [&](std::string_view key) {
            return property.GetPropertyFromText(strBreakColumnProperties, letters + std::string(key), "");
        };
        definitions.push_back({read(modPLConst::PROP_BREAK_ROW_FIELD_TYPE), read(modPLConst::PROP_BREAK_ROW_FIELD_VALUE),
                               read(modPLConst::PROP_BREAK_ROW_FORMAT_TYPE), read(modPLConst::PROP_BREAK_ROW_FORMAT)});
    }
    return definitions;
}

std::string BreakFormatSwitch(std::string_view strFormatTypeCaption) {
    if (strFormatTypeCaption == "\\# (数値)") return "\\#";
    if (strFormatTypeCaption == "\\@ (日付／時刻)") return "\\@";
    if (strFormatTypeCaption == "\\* (文字列)") return "\\*";
    return {};
}

std::string MakeBreakCountStatement(std::string_view strRecordSourceType, std::string_view strRecordSource,
                                    std::string_view strWhere, std::string_view strBreakTargetField) {
    // The restriction goes in as an extra filter, so it also applies to a statement text.
    std::string type(strRecordSourceType);
    std::string statement = modPLFunction::MakeRecordSourceStatement(type, strRecordSource, "", "", strWhere, "");
    // A table without any condition stays a bare table name, which no subquery accepts.
    if (settingtypes::ParseRecordSourceType(type) == settingtypes::RecordSourceType::Table) {
        statement = "SELECT * FROM " + statement;
    }
    const std::string field(strBreakTargetField);
    return "SELECT COUNT(" + std::string(kCountSet) + "." + field + ") FROM (" +
           SelectBreakField(statement, field) + " GROUP BY " + field + ") AS " + std::string(kCountSet);
}

void WriteBreakRow(const word::Table& tblTarget, long lngBreakRow, long lngColumnCount, long lngGroupFirstRow,
                   const std::vector<BreakRowDefinition>& definitions) {
    for (long c = 1; c <= lngColumnCount; ++c) {
        const auto cell = tblTarget.Cell(lngBreakRow, c);
        const BreakRowDefinition none;
        const auto& definition = c <= static_cast<long>(definitions.size()) ? definitions[c - 1] : none;
        const std::string letters = modPLFunction::ColumnLetters(c);
        auto fieldType = settingtypes::ColumnFieldType::None;
        std::string text;
        if (definition.strFieldType == kCaption) {
            text = definition.strFieldValue;
        } else if (definition.strFieldType == kStatistic && !definition.strFieldValue.empty()) {
            fieldType = settingtypes::ColumnFieldType::Expression;
            text = definition.strFieldValue + "(" + letters + std::to_string(lngGroupFirstRow) + ":" + letters +
                   std::to_string(lngBreakRow - 1) + ")";
        }
        if (text.empty()) {
            ClearCellContent(cell);
            continue;
        }
        const std::string formatSwitch = BreakFormatSwitch(definition.strFormatType);
        if (formatSwitch.empty()) {
            if (fieldType == settingtypes::ColumnFieldType::Expression) {
                WriteCellField(cell, "=" + text);
            } else {
                WriteCellText(cell, text);
            }
            continue;
        }
        const std::string code = GetFormatTypeHeadCode(formatSwitch, host::ado::Variant(text), fieldType);
        WriteCellField(cell, code + " " + formatSwitch + " \"" + definition.strFormat + "\"");
    }
}

}  // namespace run

long clsPLRDBBind::GetBreakRowCount(const std::shared_ptr<host::ado::Connection>& connection,
                                    std::string_view strRecordSourceType, std::string_view strRecordSource,
                                    std::string_view strWhere, std::string_view strBreakTargetField) const {
    long count = 0;
    if (strBreakTargetField.empty() || !connection) return count;
    try {
        const std::string statement =
            run::MakeBreakCountStatement(strRecordSourceType, strRecordSource, strWhere, strBreakTargetField);
        host::ado::Recordset records;
        records.Open(statement, connection, host::ado::CommandTypeEnum::adCmdText);
        if (records.State() != host::ado::ObjectStateEnum::adStateClosed && !records.IsEOF()) {
            const auto value = records.Fields().Item(0L).Value();
            if (!value.IsNull()) count = static_cast<long>(host::ado::CDbl(value));
        }
        records.Close();
    } catch (const std::exception&) {
        debuglog::Swallowed("clsPLRDBBindBreaks.cpp: BreakFormatSwitch");
        // A source the count statement cannot be built on counts no groups.
    }
    return count;
}

}  // namespace paperloom
