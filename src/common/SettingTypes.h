#pragma once
// The numbered kinds a template stores as property text (RecordSourceType, DataSourceType, a
// column's FieldType), read into enums where the text is read and written back as the texts
// modPLConst names, so stored templates keep their texts.

#include <optional>
#include <string>
#include <string_view>

namespace paperloom::settingtypes {

// The data-access command type a record source is opened with. Other whole numbers keep their
// value: the data-access layer decides what they open.
enum class RecordSourceType : long { Text = 1, Table = 2, StoredProcedure = 4, Unspecified = 8 };

// A RecordSourceType text read as the data-access layer reads a number (blanks around it, a
// fraction rounded); nothing for a text that is not a number or too large for a command type.
std::optional<RecordSourceType> ParseRecordSourceType(std::string_view text);
// "1", "2", "4", "8" for the named types; the number for any other.
std::string RecordSourceTypeText(RecordSourceType type);

// How DataSource is read: an ODBC data source or a connection string as given, a data link
// file's name, a database file's path.
enum class DataSourceType { OdbcDataSource = 1, ConnectionString = 2, DataLinkFile = 3, DatabaseFile = 4 };

// A DataSourceType text whose number is exactly one of the four types; nothing otherwise.
std::optional<DataSourceType> ParseDataSourceType(std::string_view text);
std::string_view DataSourceTypeText(DataSourceType type);

// What a detail column holds (FieldType). Only the exact texts "1".."4" name a content; any
// other text, the default "0" included, leaves the column alone.
enum class ColumnFieldType { None = 0, Data = 1, Support = 2, Expression = 3, Picture = 4 };

ColumnFieldType ParseColumnFieldType(std::string_view text);
std::string_view ColumnFieldTypeText(ColumnFieldType type);

}  // namespace paperloom::settingtypes
