#include "host/ado/odbc/OdbcError.h"

#include "host/ado/odbc/OdbcText.h"
#include "host/AsciiText.h"

#include <array>
#include <cstring>
#include <optional>
#include <vector>

namespace paperloom::host::ado::odbc {

OdbcError::OdbcError(std::string sqlState, std::string description)
    : HostError(errors::kProviderFailed, kConnectionSource, std::move(description)),
      sqlState_(std::move(sqlState)) {}

namespace {

struct DiagnosticRecord {
    std::string sqlState;
    std::string message;
};

std::optional<DiagnosticRecord> ReadWideRecord(SQLSMALLINT handleType, SQLHANDLE handle,
                                               SQLSMALLINT index) {
    std::array<SQLWCHAR, 6> state{};
    SQLINTEGER nativeError = 0;
    SQLSMALLINT needed = 0;
    std::vector<SQLWCHAR> message(1024);
    SQLRETURN rc = SQLGetDiagRecW(handleType, handle, index, state.data(), &nativeError,
                                  message.data(), static_cast<SQLSMALLINT>(message.size()), &needed);
    if (rc == SQL_SUCCESS_WITH_INFO && needed >= static_cast<SQLSMALLINT>(message.size())) {
        message.resize(static_cast<std::size_t>(needed) + 1);
        rc = SQLGetDiagRecW(handleType, handle, index, state.data(), &nativeError, message.data(),
                            static_cast<SQLSMALLINT>(message.size()), &needed);
    }
    if (!SQL_SUCCEEDED(rc)) return std::nullopt;
    std::size_t length = 0;
    while (length < message.size() && message[length] != 0) ++length;
    return DiagnosticRecord{FromWide(state.data(), 5), std::string(text::TrimEnd(FromWide(message.data(), length), " \r\n"))};
}

std::optional<DiagnosticRecord> ReadNarrowRecord(SQLSMALLINT handleType, SQLHANDLE handle,
                                                 SQLSMALLINT index) {
    std::array<SQLCHAR, 6> state{};
    SQLINTEGER nativeError = 0;
    SQLSMALLINT needed = 0;
    std::vector<SQLCHAR> message(2048);
    SQLRETURN rc = SQLGetDiagRec(handleType, handle, index, state.data(), &nativeError,
                                 message.data(), static_cast<SQLSMALLINT>(message.size()), &needed);
    if (rc == SQL_SUCCESS_WITH_INFO && needed >= static_cast<SQLSMALLINT>(message.size())) {
        message.resize(static_cast<std::size_t>(needed) + 1);
        rc = SQLGetDiagRec(handleType, handle, index, state.data(), &nativeError, message.data(),
                           static_cast<SQLSMALLINT>(message.size()), &needed);
    }
    if (!SQL_SUCCEEDED(rc)) return std::nullopt;
    const auto* text = reinterpret_cast<const char*>(message.data());
    return DiagnosticRecord{std::string(reinterpret_cast<const char*>(state.data()), 5),
                            std::string(text::TrimEnd(std::string_view(text, strnlen(text, message.size())), " \r\n"))};
}

std::vector<DiagnosticRecord> ReadDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle,
                                              TextMode mode) {
    std::vector<DiagnosticRecord> records;
    if (handle == SQL_NULL_HANDLE) return records;
    for (SQLSMALLINT index = 1; index <= 20; ++index) {
        auto record = mode == TextMode::Wide ? ReadWideRecord(handleType, handle, index)
                                             : ReadNarrowRecord(handleType, handle, index);
        if (!record) break;
        records.push_back(std::move(*record));
    }
    return records;
}

}  // namespace

void ThrowDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle, TextMode mode,
                      std::string_view context) {
    const auto records = ReadDiagnostics(handleType, handle, mode);
    if (records.empty())
        throw OdbcError({}, std::string(context) + ": the ODBC driver reported a failure "
                                                   "without a diagnostic message.");
    std::string description;
    for (const auto& record : records) {
        if (!description.empty()) description += "\n";
        description += record.message + " (SQLSTATE " + record.sqlState + ")";
    }
    throw OdbcError(records.front().sqlState, std::move(description));
}

}  // namespace paperloom::host::ado::odbc
