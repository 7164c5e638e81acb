#pragma once
// Error numbers of the data-access layer, raised as paperloom::host::HostError.

#include <string>

namespace paperloom::host::ado {

namespace errors {
inline constexpr long kTypeMismatch = 13;
inline constexpr long kInvalidUseOfNull = 94;
inline constexpr long kInvalidArgument = 3001;      // argument of the wrong type or range
inline constexpr long kNoCurrentRecord = 3021;      // BOF or EOF, or the record was deleted
inline constexpr long kNotAllowed = 3219;           // operation not allowed in this context
inline constexpr long kItemNotFound = 3265;         // no field of that name or ordinal
inline constexpr long kObjectClosed = 3704;         // operation on a closed object
inline constexpr long kObjectOpen = 3705;           // operation on an open object
inline constexpr long kProviderNotFound = 3706;     // no provider for the connection string
inline constexpr long kProviderFailed = -2147467259;  // the database rejected a request (E_FAIL)
}  // namespace errors

inline constexpr const char* kConnectionSource = "ADODB.Connection";
inline constexpr const char* kRecordsetSource = "ADODB.Recordset";
inline constexpr const char* kFieldSource = "ADODB.Field";

// Throws HostError(number, source, description).
[[noreturn]] void ThrowAdoError(long number, const std::string& source,
                                const std::string& description);

}  // namespace paperloom::host::ado
