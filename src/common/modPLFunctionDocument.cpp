// Shared routines that ask the document.

#include "common/modPLFunction.h"

#include "host/word/Application.h"
#include "host/word/Document.h"

namespace paperloom::modPLFunction {

bool IsInvalidBookmarkName(std::string_view strName, word::Document& docTarget, std::string_view strTitle) {
    std::string strErrorText;
    const bool invalid = IsInvalidBookmarkName(
        strName, [&](std::string_view name) { return docTarget.Bookmarks().Exists(name); },
        [&](std::string_view name) {
            docTarget.Bookmarks().Add(name, docTarget.Selection().Range());
            docTarget.Bookmarks().Item(name).Delete();
        },
        strErrorText);
    if (invalid) {
        ShowCriticalMessage(strErrorText, strTitle);
    }
    return invalid;
}

std::string ActiveDocumentFolder(word::Application& application) {
    if (application.Documents().Count() == 0) {
        return {};
    }
    return application.ActiveDocument()->Path();
}

}  // namespace paperloom::modPLFunction
