#pragma once
// Makes a fragment copied out of one story fit the story it goes into: parts it refers to
// (pictures, links) are copied and re-related, styles and list definitions it uses are
// brought along, bookmarks that would clash are dropped and drawing ids renumbered.

#include <string>
#include <vector>

#include "host/word/detail/DocumentState.h"

namespace paperloom::word::detail {

// With `fieldMarks`, the field marks (w:fldChar) the fragment holds are gathered on the way.
void PrepareFragment(Fragment& fragment, DocumentState& source, const std::string& sourcePart,
                     DocumentState& target, const std::string& targetPart,
                     std::vector<pugi::xml_node>* fieldMarks = nullptr);

// Replaces the fields of a copy of a whole story (`fieldMarks`: its marks) by their results, as
// turning each field of the copy into a copy of its result would, when every field is a plain
// one: in a paragraph of plain runs (text, tabs and breaks) outside text boxes and containers,
// its marks and its code in runs of their own, its result in plain runs, not nested in another,
// not a picture field. Otherwise the copy is left as it was and the result is false.
bool ShowFieldResults(Fragment& fragment, const std::vector<pugi::xml_node>& fieldMarks);

}  // namespace paperloom::word::detail
