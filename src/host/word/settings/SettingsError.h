#pragma once
// The errors the settings objects raise, with the word processor's numbers where callers
// test for one (a missing document variable is 5825, "Object has been deleted.").

#include <string>

#include "host/HostError.h"

namespace paperloom::word::settings_errors {

namespace number {
inline constexpr long kCommandFailed = 4198;
inline constexpr long kValueOutOfRange = 4608;
inline constexpr long kObjectDeleted = 5825;
inline constexpr long kVariableExists = 5903;
inline constexpr long kNoSuchMember = 5941;
}  // namespace number

inline host::HostError SettingsError(long code, std::string description) {
    return host::HostError(code, "Paperloom.Word", std::move(description));
}

inline host::HostError ObjectDeleted() {
    return SettingsError(number::kObjectDeleted, "Object has been deleted.");
}

inline host::HostError NoSuchMember() {
    return SettingsError(number::kNoSuchMember,
                         "The requested member of the collection does not exist.");
}

inline host::HostError ValueOutOfRange() {
    return SettingsError(number::kValueOutOfRange, "Value out of range");
}

}  // namespace paperloom::word::settings_errors
