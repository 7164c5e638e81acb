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
    return std::string(modPLPictureField::GetPictureFieldType()) + " \"" +
           ResolvePicturePath(strPicturePath, strActiveDocumentFolder) + "\" \\d";
}

}  // namespace paperloom::modPLRPictureField
