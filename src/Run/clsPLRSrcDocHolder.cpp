#include "Run/clsPLRSrcDocHolder.h"

#include <exception>
#include <utility>

#include "Run/modPLRFunction.h"
#include "common/clsPLRange.h"
#include "host/DebugLog.h"
#include "host/word/settings/SettingsCopy.h"

namespace paperloom {

clsPLRSrcDocHolder::~clsPLRSrcDocHolder() {
    try {
        CloseSrcDoc();
    } catch (const std::exception&) {
        debuglog::Swallowed("clsPLRSrcDocHolder.cpp: clsPLRSrcDocHolder::~clsPLRSrcDocHolder");
        // The copy was never the user's; an error while dropping it has no one to go to.
    }
}

std::shared_ptr<word::Document> clsPLRSrcDocHolder::CreateSrcDoc(const std::shared_ptr<word::Document>& docBase,
                                                                 bool blnSetCurrentRec) {
    CloseSrcDoc();
    mdocBase = docBase;
    mdocSource = MakeCopy(docBase, blnSetCurrentRec);
    return mdocSource;
}

std::shared_ptr<word::Document> clsPLRSrcDocHolder::RecreateSrcDoc(bool blnSetCurrentRec) {
    if (!mdocSource) return nullptr;
    // The new copy is held before the old one goes, so a failing close loses neither.
    const auto docOld = std::exchange(mdocSource, MakeCopy(mdocSource, blnSetCurrentRec));
    Discard(docOld);
    return mdocSource;
}

void clsPLRSrcDocHolder::CloseSrcDoc() {
    if (!mdocSource) return;
    // Forgotten first: whatever closing does, the holder no longer owns this copy.
    const auto docOld = std::move(mdocSource);
    mdocSource.reset();
    Discard(docOld);
}

std::shared_ptr<word::Document> clsPLRSrcDocHolder::MakeCopy(const std::shared_ptr<word::Document>& docFrom,
                                                             bool blnSetCurrentRec) {
    auto docCopy = mApplication.Documents().Add();
    try {
        modPLRFunction::CopyPageSetup(*docCopy, *docFrom);
        modPLRFunction::CopyDocumentSettings(*docCopy, *docFrom);
        modPLRFunction::CopyUsedStyles(*docCopy, *docFrom);
        modPLRFunction::CopyDocumentVariables(*docFrom, *docCopy);

        const auto fromBinding = modPLRFunction::FindDocumentBind(mRegistry, *docFrom);
        const auto clone = modPLRFunction::CloneDocumentBind(mRegistry, docCopy, docFrom);
        if (clone && fromBinding && blnSetCurrentRec && !clone->IsEOF()) {
            // A source at EOF has no current record to go to; the clone then stays put.
            const auto position = fromBinding->GetRecordPos();
            if (!position.IsNull()) clone->Move(position);
        }

        clsPLRange().CopyRange(docCopy->Content(), docFrom->Content());
    } catch (...) {
        try {
            Discard(docCopy);
        } catch (const std::exception&) {
            debuglog::Swallowed("clsPLRSrcDocHolder.cpp: clsPLRSrcDocHolder::CloseSrcDoc");
            // The first error is the one to report.
        }
        throw;
    }
    return docCopy;
}

void clsPLRSrcDocHolder::Discard(const std::shared_ptr<word::Document>& docCopy) {
    modPLRFunction::CloseDocumentBind(mRegistry, *docCopy);
    if (!docCopy->Closed()) docCopy->Close(word::wdDoNotSaveChanges);
}

}  // namespace paperloom

namespace paperloom::modPLRFunction {

void CopyPageSetup(word::Document& docDestination, word::Document& docSource) {
    word::CopyPageSetup(docDestination.Package(), docSource.Package());
}

void CopyDocumentSettings(word::Document& docDestination, word::Document& docSource) {
    // The web options the file does not store travel in the documents' memories.
    word::CopyDocumentSettings(docDestination.Package(), docSource.Package(), &docDestination.WebOptionsState(),
                               &docSource.WebOptionsState());
}

void CopyUsedStyles(word::Document& docDestination, word::Document& docSource) {
    word::CopyUsedStyles(docDestination.Package(), docSource.Package());
}

}  // namespace paperloom::modPLRFunction
