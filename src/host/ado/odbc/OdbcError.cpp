#include "host/ado/odbc/OdbcError.h"

#include "host/ado/odbc/OdbcText.h"

#include <array>
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

std::vector<DiagnosticRecord> ReadDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::vector<DiagnosticRecord> records;
    if (handle == SQL_NULL_HANDLE) return records;
    for (SQLSMALLINT index = 1; index <= 20; ++index) {
        std::array<SQLWCHAR, 6> state{};
        SQLINTEGER nativeError = 0;
        SQLSMALLINT needed = 0;
        std::vector<SQLWCHAR> message(1024);
        SQLRETURN rc = SQLGetDiagRecW(handleType, handle, index, state.data(), &nativeError,
                                      message.data(), static_cast<SQLSMALLINT>(message.size()),
                                      &needed);
        if (rc == SQL_SUCCESS_WITH_INFO && needed >= static_cast<SQLSMALLINT>(message.size())) {
            message.resize(static_cast<std::size_t>(needed) + 1);
            rc = SQLGetDiagRecW(handleType, handle, index, state.data(), &nativeError,
                                message.data(), static_cast<SQLSMALLINT>(message.size()), &needed);
        }
        if (!SQL_SUCCEEDED(rc)) break;
        std::size_t length = 0;
        while (length < message.size() && message[length] != 0) ++length;
        std::string text = FromWide(message.data(), length);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
            text.pop_back();
        records.push_back({FromWide(state.data(), 5), std::move(text)});
    }
    return records;
}

}  // namespace

void ThrowDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle, std::string_view context) {
    const auto records = ReadDiagnostics(handleType, handle);
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
