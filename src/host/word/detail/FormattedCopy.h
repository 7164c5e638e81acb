#pragma once
// Makes a fragment copied out of one story fit the story it goes into: parts it refers to
// (pictures, links) are copied and re-related, styles and list definitions it uses are
// brought along, bookmarks that would clash are dropped and drawing ids renumbered.

#include <string>

#include "host/word/detail/DocumentState.h"

namespace paperloom::word::detail {

void PrepareFragment(Fragment& fragment, DocumentState& source, const std::string& sourcePart,
                     DocumentState& target, const std::string& targetPart);

}  // namespace paperloom::word::detail
