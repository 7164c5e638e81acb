#pragma once
// The working copy of a template that print documents are filled in, so the user's template
// is never touched: a new document with the template's page setup, settings, styles in use,
// document variables and content, bound by a clone of the template's binding. The copy can
// be rebuilt from itself (a document refilled hundreds of times grows slow), and is closed
// without saving, never asking, when the holder lets go of it.

#include <memory>

#include "Run/BindingRegistry.h"
#include "host/word/Application.h"
#include "host/word/Document.h"

namespace paperloom {

class clsPLRSrcDocHolder {
public:
    clsPLRSrcDocHolder(word::Application& application, run::BindingRegistry& registry)
        : mApplication(application), mRegistry(registry) {}
    clsPLRSrcDocHolder(const clsPLRSrcDocHolder&) = delete;
    clsPLRSrcDocHolder& operator=(const clsPLRSrcDocHolder&) = delete;
    // Closes the working copy; a failure to close is swallowed (nothing can be reported here).
    ~clsPLRSrcDocHolder();

    // Makes the working copy of docBase (closing a copy still held). With blnSetCurrentRec
    // the copy's binding starts on the record the template's binding shows; otherwise where
    // a fresh clone starts. A template without binding gives an unbound copy.
    std::shared_ptr<word::Document> CreateSrcDoc(const std::shared_ptr<word::Document>& docBase,
                                                 bool blnSetCurrentRec);
    // Replaces the working copy by a copy of itself (settings, variables, content, a clone of
    // its binding) and closes the old one. On failure the old copy stays and the half-made
    // new one is closed.
    std::shared_ptr<word::Document> RecreateSrcDoc(bool blnSetCurrentRec);
    // Unregisters the copy's binding and closes the copy without saving.
    void CloseSrcDoc();
    std::shared_ptr<word::Document> GetSrcDoc() const { return mdocSource; }

private:
    // A new document carrying docFrom's settings, variables, binding clone and content.
    std::shared_ptr<word::Document> MakeCopy(const std::shared_ptr<word::Document>& docFrom, bool blnSetCurrentRec);
    void Discard(const std::shared_ptr<word::Document>& docCopy);

    word::Application& mApplication;
    run::BindingRegistry& mRegistry;
    std::shared_ptr<word::Document> mdocBase;
    std::shared_ptr<word::Document> mdocSource;
};

}  // namespace paperloom

namespace paperloom::modPLRFunction {

// Settings copies between documents, destination first and source second; they serve the
// working copy and the print document alike.
void CopyPageSetup(word::Document& docDestination, word::Document& docSource);
void CopyDocumentSettings(word::Document& docDestination, word::Document& docSource);
// Never fails: a style that cannot be copied is skipped.
void CopyUsedStyles(word::Document& docDestination, word::Document& docSource);

}  // namespace paperloom::modPLRFunction
