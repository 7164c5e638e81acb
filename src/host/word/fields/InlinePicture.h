#pragma once
// An INCLUDEPICTURE result: the image file as an inline picture at its natural size, either
// stored in the package (embedded) or linked to the file (external relationship).

#include <filesystem>
#include <string>
#include <variant>

#include "host/word/detail/Story.h"
#include "host/word/fieldcalc/FieldComputer.h"

namespace paperloom::word::detail {
class DocumentState;
}

namespace paperloom::word::fields {

// The file an INCLUDEPICTURE path names: relative paths resolve against `documentFolder`
// (or the working folder for a document never saved).
std::filesystem::path ResolvePicturePath(const fieldcalc::IncludePictureRequest& request,
                                         const std::filesystem::path& documentFolder);

// A file URI for an external relationship target.
std::string FileUri(const std::filesystem::path& absolute);

// The picture ready to go into a story: a fragment holding one run with a w:drawing, or the
// error text to show instead when the file is missing or no readable image.
struct PictureFragment {
    word::detail::Fragment fragment;
};
std::variant<PictureFragment, std::string> BuildPicture(word::detail::DocumentState& doc, word::detail::Story& story,
                                                        const fieldcalc::IncludePictureRequest& request,
                                                        pugi::xml_node runProperties);

}  // namespace paperloom::word::fields
