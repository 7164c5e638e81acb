#pragma once
// The run-time's include code for a picture whose path comes from a record value.

#include <string>
#include <string_view>

namespace paperloom::modPLRPictureField {

// The path made absolute and every backslash doubled. A path without a drive, server or root
// part is joined to the active document's folder, or, for a document never saved, to the
// fallback folder of the shared routines (GetDefaultFolder).
std::string ResolvePicturePath(std::string_view strPicturePath, std::string_view strActiveDocumentFolder);

// IncludePicture "<resolved path>" \d  (\d links the picture instead of storing it); a double
// quote in the path is written \".
std::string MakePictureFieldCode(std::string_view strPicturePath, std::string_view strActiveDocumentFolder);

}  // namespace paperloom::modPLRPictureField
