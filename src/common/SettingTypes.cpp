#include "common/SettingTypes.h"

#include "common/ValueText.h"
#include "common/modPLConst.h"

#include <cmath>
#include <cstdlib>

namespace paperloom::settingtypes {
namespace {

// A number text as a double; nothing for a text that is not one.
std::optional<double> NumberOf(std::string_view text) {
    if (!valuetext::ReadsAsNumber(text)) return std::nullopt;
    return std::strtod(std::string(text).c_str(), nullptr);
}

}  // namespace

std::optional<RecordSourceType> ParseRecordSourceType(std::string_view text) {
    const auto value = NumberOf(text);
    if (!value || !std::isfinite(*value) || std::abs(*value) > 1e9) return std::nullopt;
    return static_cast<RecordSourceType>(std::lround(*value));
}

std::string RecordSourceTypeText(RecordSourceType type) {
    switch (type) {
        case RecordSourceType::Text: return std::string(modPLConst::RECORD_SOURCE_TEXT);
        case RecordSourceType::Table: return std::string(modPLConst::RECORD_SOURCE_TABLE);
        case RecordSourceType::StoredProcedure: return std::string(modPLConst::RECORD_SOURCE_STORED_PROCEDURE);
        case RecordSourceType::Unspecified: return std::string(modPLConst::RECORD_SOURCE_UNKNOWN);
    }
    return std::to_string(static_cast<long>(type));
}

std::optional<DataSourceType> ParseDataSourceType(std::string_view text) {
    const auto value = NumberOf(text);
    if (!value) return std::nullopt;
    for (const auto type : {DataSourceType::OdbcDataSource, DataSourceType::ConnectionString,
                            DataSourceType::DataLinkFile, DataSourceType::DatabaseFile}) {
        if (*value == static_cast<double>(type)) return type;
    }
    return std::nullopt;
}

std::string_view DataSourceTypeText(DataSourceType type) {
    switch (type) {
        case DataSourceType::OdbcDataSource: return modPLConst::DATA_SOURCE_ODBC;
        case DataSourceType::ConnectionString: return modPLConst::DATA_SOURCE_CONNECTION_STRING;
        case DataSourceType::DataLinkFile: return modPLConst::DATA_SOURCE_DATA_LINK;
        case DataSourceType::DatabaseFile: return modPLConst::DATA_SOURCE_DATABASE_FILE;
    }
    return {};
}

ColumnFieldType ParseColumnFieldType(std::string_view text) {
    for (const auto type : {ColumnFieldType::Data, ColumnFieldType::Support, ColumnFieldType::Expression,
                            ColumnFieldType::Picture}) {
        if (text == ColumnFieldTypeText(type)) return type;
    }
    return ColumnFieldType::None;
}

std::string_view ColumnFieldTypeText(ColumnFieldType type) {
    switch (type) {
        case ColumnFieldType::None: return modPLConst::FIELD_TYPE_NONE;
        case ColumnFieldType::Data: return modPLConst::FIELD_TYPE_DATA;
        case ColumnFieldType::Support: return modPLConst::FIELD_TYPE_SUPPORT;
        case ColumnFieldType::Expression: return modPLConst::FIELD_TYPE_EXPRESSION;
        case ColumnFieldType::Picture: return modPLConst::FIELD_TYPE_PICTURE;
    }
    return modPLConst::FIELD_TYPE_NONE;
}

}  // namespace paperloom::settingtypes
