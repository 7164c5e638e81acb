#include "common/modPLRPictureField.h"

#include "common/PathText.h"
#include "common/modPLFunction.h"
#include "common/modPLPictureField.h"

namespace paperloom::modPLRPictureField {

std::string ResolvePicturePath(std::string_view strPicturePath, std::string_view strActiveDocumentFolder) {
    std::string path(strPicturePath);
    if (!pathtext::IsAbsolutePath(strPicturePath)) {
        const std::string folder = strActiveDocumentFolder.empty() ? modPLFunction::GetDefaultFolder()
                                                                   : std::string(strActiveDocumentFolder);
        path = pathtext::BuildPath(folder, strPicturePath);
    }
    std::string doubled;
    doubled.reserve(path.size());
    for (const char c : path) {
        doubled.push_back(c);
        if (c == '\\') {
            doubled.push_back('\\');
        }
    }
    return doubled;
}

std::string MakePictureFieldCode(std::string_view strPicturePath, std::string_view strActiveDocumentFolder) {
    // A double quote in the path is escaped, so the path stays one argument and cannot end the
    // quoted text early and add switches of its own.
    std::string quoted;
    for (const char c : ResolvePicturePath(strPicturePath, strActiveDocumentFolder)) {
        if (c == '"') quoted += '\\';
        quoted += c;
    }
    return std::string(modPLPictureField::GetPictureFieldType()) + " \"" + quoted + "\" \\d";
}

}  // namespace paperloom::modPLRPictureField
