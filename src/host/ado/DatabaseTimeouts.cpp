#include "host/ado/DatabaseTimeouts.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace paperloom::host::ado {
namespace {

// Seconds from a variable holding a positive whole number (up to a day); nothing otherwise.
std::optional<std::chrono::seconds> SecondsFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    const std::string_view text(value);
    long seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || seconds <= 0 || seconds > 86400)
        return std::nullopt;
    return std::chrono::seconds(seconds);
}

}  // namespace

DatabaseTimeouts DatabaseTimeouts::FromEnvironment() {
    DatabaseTimeouts timeouts;
    if (const auto login = SecondsFromEnvironment("PAPERLOOM_LOGIN_TIMEOUT")) timeouts.login = *login;
    if (const auto query = SecondsFromEnvironment("PAPERLOOM_QUERY_TIMEOUT")) timeouts.query = *query;
    timeouts.sqliteLockWait = std::min<std::chrono::milliseconds>(timeouts.sqliteLockWait, timeouts.query);
    return timeouts;
}

}  // namespace paperloom::host::ado
