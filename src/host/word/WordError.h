#pragma once
// Errors of the document object model, numbered as the word processor numbers them where
// callers test the number.

#include <string>

#include "host/HostError.h"

namespace paperloom::word {

namespace errnum {
inline constexpr long commandFailed = 4198;
inline constexpr long commandNotAvailable = 4605;
inline constexpr long settingOutOfRange = 4608;
inline constexpr long badParameter = 5149;
inline constexpr long objectDeleted = 5825;
inline constexpr long badBookmarkName = 5828;
inline constexpr long variableExists = 5903;
inline constexpr long noSuchMember = 5941;
inline constexpr long mergedCells = 5991;
inline constexpr long valueOutOfRange = 6028;
}  // namespace errnum

inline host::HostError WordError(long number, const std::string& description) {
    return host::HostError(number, "Paperloom.Word", description);
}

inline host::HostError NoSuchMember() {
    return WordError(errnum::noSuchMember, "The requested member of the collection does not exist.");
}

inline host::HostError ObjectDeleted() {
    return WordError(errnum::objectDeleted, "Object has been deleted.");
}

}  // namespace paperloom::word
