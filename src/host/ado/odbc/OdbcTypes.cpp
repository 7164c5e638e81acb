#include "host/ado/odbc/OdbcTypes.h"

namespace paperloom::host::ado::odbc {

DataTypeEnum AdoTypeFromSqlType(SQLSMALLINT sqlType, bool isUnsigned) noexcept {
    using enum DataTypeEnum;
    switch (sqlType) {
        case SQL_TINYINT: return isUnsigned ? adUnsignedTinyInt : adTinyInt;
        case SQL_SMALLINT: return isUnsigned ? adUnsignedSmallInt : adSmallInt;
        case SQL_INTEGER: return isUnsigned ? adUnsignedInt : adInteger;
        case SQL_BIGINT: return isUnsigned ? adUnsignedBigInt : adBigInt;
        case SQL_REAL: return adSingle;
        case SQL_FLOAT:
        case SQL_DOUBLE: return adDouble;
        case SQL_NUMERIC:
        case SQL_DECIMAL: return adNumeric;
        case SQL_TYPE_DATE:
        case SQL_DATE: return adDBDate;
        case SQL_TYPE_TIME:
        case SQL_TIME: return adDBTime;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP: return adDBTimeStamp;
        case SQL_BIT: return adBoolean;
        case SQL_CHAR: return adChar;
        case SQL_VARCHAR: return adVarChar;
        case SQL_LONGVARCHAR: return adLongVarChar;
        case SQL_WCHAR: return adWChar;
        case SQL_WVARCHAR: return adVarWChar;
        case SQL_WLONGVARCHAR: return adLongVarWChar;
        case SQL_BINARY: return adBinary;
        case SQL_VARBINARY: return adVarBinary;
        case SQL_LONGVARBINARY: return adLongVarBinary;
        case SQL_GUID: return adGUID;
        default: return adVarWChar;
    }
}

}  // namespace paperloom::host::ado::odbc
