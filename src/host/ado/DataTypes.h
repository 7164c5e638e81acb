#pragma once
// The data-access codes the add-ins pass and read: field data types, command types, schema
// lists, object states and the positions of Find and Bookmark.

namespace paperloom::host::ado {

enum class DataTypeEnum : int {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBSTR = 8,
    adBoolean = 11,
    adVariant = 12,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adUnsignedSmallInt = 18,
    adUnsignedInt = 19,
    adBigInt = 20,
    adUnsignedBigInt = 21,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

enum class CommandTypeEnum : int {
    adCmdText = 1,
    adCmdTable = 2,
    adCmdStoredProc = 4,
    adCmdUnknown = 8,
};

enum class SchemaEnum : int {
    adSchemaColumns = 4,
    adSchemaProcedures = 16,
    adSchemaTables = 20,
    adSchemaProcedureColumns = 29,
};

// Recordsets are always client-side, static and read-only; these are accepted for callers that
// pass them and do not change that.
enum class CursorLocationEnum : int {
    adUseServer = 2,
    adUseClient = 3,
};

enum class CursorTypeEnum : int {
    adOpenUnspecified = -1,
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3,
};

enum class LockTypeEnum : int {
    adLockUnspecified = -1,
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
    adLockBatchOptimistic = 4,
};

enum class ObjectStateEnum : int {
    adStateClosed = 0,
    adStateOpen = 1,
};

enum class SearchDirectionEnum : int {
    adSearchBackward = -1,
    adSearchForward = 1,
};

enum class BookmarkEnum : int {
    adBookmarkCurrent = 0,
    adBookmarkFirst = 1,
    adBookmarkLast = 2,
};

}  // namespace paperloom::host::ado
