#include "host/ado/odbc/OdbcResultReader.h"

#include "host/ado/odbc/OdbcError.h"
#include "host/ado/odbc/OdbcText.h"
#include "host/ado/odbc/OdbcTypes.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <climits>
#include <limits>

namespace paperloom::host::ado::odbc {

namespace {

bool IsIntegerCode(DataTypeEnum type) {
    using enum DataTypeEnum;
    return type == adTinyInt || type == adUnsignedTinyInt || type == adSmallInt ||
           type == adUnsignedSmallInt || type == adInteger || type == adUnsignedInt ||
           type == adBigInt;
}

bool IsBinaryCode(DataTypeEnum type) {
    using enum DataTypeEnum;
    return type == adBinary || type == adVarBinary || type == adLongVarBinary;
}

bool ReadsAsText(DataTypeEnum type) {
    using enum DataTypeEnum;
    if (IsIntegerCode(type) || IsBinaryCode(type)) return false;
    return type != adUnsignedBigInt && type != adNumeric && type != adSingle &&
           type != adDouble && type != adBoolean && type != adDBDate && type != adDBTime &&
           type != adDBTimeStamp;
}

// Reads a value of any length in pieces. `unit` is the size of one character of the C type
// and `terminatorUnits` how many of them the driver reserves for the terminating zero.
template <class Unit>
std::optional<std::basic_string<Unit>> ReadPieces(const StatementHandle& statement,
                                                  SQLUSMALLINT column, SQLSMALLINT cType,
                                                  std::size_t terminatorUnits) {
    std::array<Unit, 4096> buffer{};
    constexpr SQLLEN kBufferBytes = static_cast<SQLLEN>(sizeof(buffer));
    std::basic_string<Unit> value;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc =
            SQLGetData(statement.Get(), column, cType, buffer.data(), kBufferBytes, &indicator);
        if (rc == SQL_NO_DATA) break;  // the previous piece was the last
        statement.Check(rc, "Reading a column value");
        if (indicator == SQL_NULL_DATA) return std::nullopt;
        const std::size_t capacity = buffer.size() - terminatorUnits;
        const bool complete = rc == SQL_SUCCESS ||
                              (indicator != SQL_NO_TOTAL && indicator >= 0 &&
                               static_cast<std::size_t>(indicator) <= capacity * sizeof(Unit));
        if (complete) {
            std::size_t units = capacity;
            if (indicator != SQL_NO_TOTAL)
                units = static_cast<std::size_t>(indicator) / sizeof(Unit);
            else if (terminatorUnits > 0)
                units = std::basic_string_view<Unit>(buffer.data(), capacity).find(Unit{});
            value.append(buffer.data(), std::min(units, capacity));
            break;
        }
        value.append(buffer.data(), capacity);
    }
    return value;
}

Variant ReadText(const StatementHandle& statement, SQLUSMALLINT column) {
    if (statement.Mode() == TextMode::Utf8) {
        const auto text = ReadPieces<char>(statement, column, SQL_C_CHAR, 1);
        return text ? Variant(std::string(*text)) : Variant::Null();
    }
    const auto text = ReadPieces<SQLWCHAR>(statement, column, SQL_C_WCHAR, 1);
    return text ? Variant(FromWide(*text)) : Variant::Null();
}

Variant ReadBinary(const StatementHandle& statement, SQLUSMALLINT column) {
    const auto bytes = ReadPieces<char>(statement, column, SQL_C_BINARY, 0);
    return bytes ? Variant(std::string(*bytes)) : Variant::Null();
}

// Exact decimals travel as text so that no digit is lost on the way.
Variant ReadDecimal(const StatementHandle& statement, SQLUSMALLINT column) {
    const auto text = ReadPieces<char>(statement, column, SQL_C_CHAR, 1);
    if (!text) return Variant::Null();
    if (auto decimal = Decimal::TryFromText(*text)) return Variant(std::move(*decimal));
    return Variant(*text);  // "NaN" and the like stay readable
}

template <class T>
bool ReadFixed(const StatementHandle& statement, SQLUSMALLINT column, SQLSMALLINT cType,
               T& value) {
    SQLLEN indicator = 0;
    statement.Check(SQLGetData(statement.Get(), column, cType, &value, sizeof value, &indicator),
                    "Reading a column value");
    return indicator != SQL_NULL_DATA;
}

Variant ReadTyped(const StatementHandle& statement, SQLUSMALLINT column, DataTypeEnum type) {
    using enum DataTypeEnum;
    if (IsIntegerCode(type)) {
        SQLBIGINT value = 0;
        return ReadFixed(statement, column, SQL_C_SBIGINT, value)
                   ? Variant(static_cast<long long>(value))
                   : Variant::Null();
    }
    switch (type) {
        case adUnsignedBigInt:
        case adNumeric: return ReadDecimal(statement, column);
        case adSingle:
        case adDouble: {
            // Read as double even for REAL: drivers convert from the value's text exactly.
            SQLDOUBLE value = 0;
            return ReadFixed(statement, column, SQL_C_DOUBLE, value) ? Variant(value)
                                                                     : Variant::Null();
        }
        case adBoolean: {
            unsigned char value = 0;
            return ReadFixed(statement, column, SQL_C_BIT, value) ? Variant(value != 0)
                                                                  : Variant::Null();
        }
        case adDBDate: {
            SQL_DATE_STRUCT value{};
            if (!ReadFixed(statement, column, SQL_C_TYPE_DATE, value)) return Variant::Null();
            return Variant(DateTime::Date(value.year, value.month, value.day));
        }
        case adDBTime: {
            SQL_TIME_STRUCT value{};
            if (!ReadFixed(statement, column, SQL_C_TYPE_TIME, value)) return Variant::Null();
            return Variant(DateTime{1899, 12, 30, value.hour, value.minute, value.second, true});
        }
        case adDBTimeStamp: {
            SQL_TIMESTAMP_STRUCT value{};
            if (!ReadFixed(statement, column, SQL_C_TYPE_TIMESTAMP, value)) return Variant::Null();
            return Variant(DateTime::Timestamp(value.year, value.month, value.day, value.hour,
                                               value.minute, value.second));
        }
        default: break;
    }
    if (IsBinaryCode(type)) return ReadBinary(statement, column);
    return ReadText(statement, column);
}

Variant ReadCell(const StatementHandle& statement, SQLUSMALLINT column, DataTypeEnum type) {
    try {
        return ReadTyped(statement, column, type);
    } catch (const OdbcError& error) {
        // A value its column type cannot hold (dynamically typed databases allow that) is
        // still shown, as the text the database has.
        const std::string& state = error.SqlState();
        const bool conversion = state.rfind("22", 0) == 0 || state == "07006";
        if (!conversion || ReadsAsText(type)) throw;
        return ReadText(statement, column);
    }
}

long ClampToLong(SQLULEN value) {
    return value > static_cast<SQLULEN>(std::numeric_limits<long>::max())
               ? 0
               : static_cast<long>(value);
}

}  // namespace

std::vector<ColumnInfo> DescribeColumns(const StatementHandle& statement,
                                        SQLSMALLINT columnCount) {
    std::vector<ColumnInfo> columns;
    columns.reserve(static_cast<std::size_t>(columnCount));
    for (SQLUSMALLINT index = 1; index <= static_cast<SQLUSMALLINT>(columnCount); ++index) {
        SQLSMALLINT sqlType = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
        std::string columnName;
        if (statement.Mode() == TextMode::Wide) {
            std::vector<SQLWCHAR> name(256);
            SQLSMALLINT nameLength = 0;
            for (int attempt = 0; attempt < 2; ++attempt) {
                statement.Check(SQLDescribeColW(statement.Get(), index, name.data(),
                                                static_cast<SQLSMALLINT>(name.size()), &nameLength,
                                                &sqlType, &size, &digits, &nullable),
                                "Describing a result column");
                if (nameLength < static_cast<SQLSMALLINT>(name.size())) break;
                name.resize(static_cast<std::size_t>(nameLength) + 1);
            }
            nameLength = std::clamp<SQLSMALLINT>(nameLength, 0,
                                                 static_cast<SQLSMALLINT>(name.size() - 1));
            columnName = FromWide(name.data(), static_cast<std::size_t>(nameLength));
        } else {
            std::vector<SQLCHAR> name(512);
            SQLSMALLINT nameLength = 0;
            for (int attempt = 0; attempt < 2; ++attempt) {
                statement.Check(SQLDescribeCol(statement.Get(), index, name.data(),
                                               static_cast<SQLSMALLINT>(name.size()), &nameLength,
                                               &sqlType, &size, &digits, &nullable),
                                "Describing a result column");
                if (nameLength < static_cast<SQLSMALLINT>(name.size())) break;
                name.resize(static_cast<std::size_t>(nameLength) + 1);
            }
            nameLength = std::clamp<SQLSMALLINT>(nameLength, 0,
                                                 static_cast<SQLSMALLINT>(name.size() - 1));
            columnName.assign(reinterpret_cast<const char*>(name.data()),
                              static_cast<std::size_t>(nameLength));
        }
        SQLLEN isUnsigned = SQL_FALSE;
        if (sqlType == SQL_TINYINT || sqlType == SQL_SMALLINT || sqlType == SQL_INTEGER ||
            sqlType == SQL_BIGINT) {
            if (!SQL_SUCCEEDED(SQLColAttributeW(statement.Get(), index, SQL_DESC_UNSIGNED,
                                                nullptr, 0, nullptr, &isUnsigned)))
                isUnsigned = SQL_FALSE;
        }
        ColumnInfo column;
        column.name = std::move(columnName);
        column.type = AdoTypeFromSqlType(sqlType, isUnsigned == SQL_TRUE);
        if (column.type == DataTypeEnum::adNumeric || column.type == DataTypeEnum::adDouble ||
            column.type == DataTypeEnum::adSingle) {
            column.precision = static_cast<int>(ClampToLong(size));
            column.numericScale = digits;
        } else {
            column.definedSize = ClampToLong(size);
        }
        column.nullable = nullable != SQL_NO_NULLS;
        columns.push_back(std::move(column));
    }
    return columns;
}

ResultSet ReadResultSet(const StatementHandle& statement, SQLSMALLINT columnCount) {
    ResultSet result;
    result.columns = DescribeColumns(statement, columnCount);
    for (;;) {
        const SQLRETURN rc = SQLFetch(statement.Get());
        if (rc == SQL_NO_DATA) break;
        statement.Check(rc, "Fetching a row");
        for (std::size_t index = 0; index < result.columns.size(); ++index)
            result.cells.push_back(ReadCell(statement, static_cast<SQLUSMALLINT>(index + 1),
                                            result.columns[index].type));
    }
    return result;
}

ResultSet ReadFirstResult(const StatementHandle& statement) {
    long affected = -1;
    for (;;) {
        SQLSMALLINT columnCount = 0;
        statement.Check(SQLNumResultCols(statement.Get(), &columnCount), "Reading the result");
        if (columnCount > 0) return ReadResultSet(statement, columnCount);
        SQLLEN rows = -1;
        if (SQL_SUCCEEDED(SQLRowCount(statement.Get(), &rows)) && rows >= 0)
            affected = rows > LONG_MAX ? LONG_MAX : static_cast<long>(rows);
        const SQLRETURN rc = SQLMoreResults(statement.Get());
        if (rc == SQL_NO_DATA) break;
        statement.Check(rc, "Reading the next result");
    }
    ResultSet result;
    result.recordsAffected = affected;
    return result;
}

}  // namespace paperloom::host::ado::odbc
