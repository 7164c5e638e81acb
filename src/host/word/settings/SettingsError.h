#pragma once
// The errors the settings objects raise: the object model's errors and numbers (a missing
// document variable is 5825, "Object has been deleted."), plus the settings' own
// "Value out of range".

#include "host/word/WordError.h"

namespace paperloom::word::settings_errors {

using word::NoSuchMember;
using word::ObjectDeleted;
using word::WordError;

inline host::HostError ValueOutOfRange() {
    return WordError(errnum::settingOutOfRange, "Value out of range");
}

}  // namespace paperloom::word::settings_errors
