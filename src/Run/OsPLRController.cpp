#include "Run/OsPLRController.h"

#include <exception>
#include <optional>
#include <string>

#include "Run/modPLRFunction.h"
#include "Run/modPLRPrint.h"
#include "common/clsPLProperty.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/ado/PasswordMask.h"

namespace paperloom {
namespace {

// Screen updating off for a refill, and on again however the refill ends.
class ScreenUpdatingOff {
public:
    explicit ScreenUpdatingOff(word::Application* application) : mApplication(application) {
        if (mApplication) mApplication->SetScreenUpdating(false);
    }
    ~ScreenUpdatingOff() {
        if (mApplication) mApplication->SetScreenUpdating(true);
    }
    ScreenUpdatingOff(const ScreenUpdatingOff&) = delete;
    ScreenUpdatingOff& operator=(const ScreenUpdatingOff&) = delete;

private:
    word::Application* mApplication;
};

// Why the header record source of a binding did not open again (its filter or sort refused,
// the database gone): the statement is tried once more on the binding's connection for the
// provider's own reason, with the template's password masked.
host::HostError ReopenFailure(const clsPLRDBBind& binding, word::Document& docTarget) {
    const clsPLProperty property;
    const auto read = [&](std::string_view key) { return property.GetDocVariable(key, docTarget, ""); };
    std::optional<host::HostError> reason;
    try {
        auto attempt = modPLFunction::TryOpenRecordset(
            binding.DataSource(), read(modPLConst::PROP_RECORD_SOURCE_TYPE), read(modPLConst::PROP_RECORD_SOURCE),
            read(modPLConst::PROP_RS_WHERE), read(modPLConst::PROP_RS_ORDER), read(modPLConst::PROP_HEAD_FILTER),
            read(modPLConst::PROP_HEAD_SORT));
        if (attempt.recordset) attempt.recordset->Close();  // opens now: the first failure stands
        reason = std::move(attempt.error);
    } catch (const host::HostError& error) {
        reason = error;
    }
    const std::string password = read(modPLConst::PROP_PASSWORD);
    const std::string description =
        reason ? "The header record source does not open again: " +
                     host::ado::MaskPasswords(reason->Description(), {password})
               : std::string("The header record source does not open again.");
    return host::HostError(reason ? reason->Number() : 3709, "OsPLRController", description);
}

// Automation clients can pass no document at all; that is their error, not a crash.
word::Document& Target(const std::shared_ptr<word::Document>& docTarget) {
    if (!docTarget) throw host::HostError(91, "OsPLRController", "No document was given.");
    return *docTarget;
}

// The add-in's application, or the one the document belongs to.
word::Application* ApplicationOf(const run::RunState& state, const std::shared_ptr<word::Document>& docTarget) {
    if (state.application) return state.application.get();
    return docTarget ? docTarget->Application() : nullptr;
}

word::Application& RequireApplication(const run::RunState& state, const std::shared_ptr<word::Document>& docTarget) {
    word::Application* application = ApplicationOf(state, docTarget);
    // Print documents are new documents of the application; a document outside any has none.
    if (!application) throw host::HostError(4248, "OsPLRController", "The document belongs to no application.");
    return *application;
}

// The header is refilled even when a detail table cannot be: the document then shows the
// current record with an empty table, not the last record's header; the detail error is
// raised afterwards.
void RefillDetailThenHeader(clsPLRDBBind& binding, bool blnDetail) {
    std::exception_ptr detailError;
    if (blnDetail) {
        try {
            binding.SetDetailDatas(false);
        } catch (...) {
            detailError = std::current_exception();
        }
    }
    binding.SetHeadDatas();
    if (detailError) std::rethrow_exception(detailError);
}

}  // namespace

std::string OsPLRController::GetHeaderFilter(std::shared_ptr<word::Document>& docTarget) {
    return clsPLProperty().GetDocVariable(modPLConst::PROP_HEAD_FILTER, Target(docTarget), "");
}

void OsPLRController::SetHeaderFilter(std::shared_ptr<word::Document>& docTarget, std::string strFilter) {
    Target(docTarget).Variables().SetValue(modPLConst::PROP_HEAD_FILTER, strFilter);
}

std::string OsPLRController::GetHeaderSort(std::shared_ptr<word::Document>& docTarget) {
    return clsPLProperty().GetDocVariable(modPLConst::PROP_HEAD_SORT, Target(docTarget), "");
}

void OsPLRController::SetHeaderSort(std::shared_ptr<word::Document>& docTarget, std::string strSort) {
    Target(docTarget).Variables().SetValue(modPLConst::PROP_HEAD_SORT, strSort);
}

void OsPLRController::RebindHeader(std::shared_ptr<word::Document>& docTarget) {
    modPLRFunction::CloseDocumentBind(mState.registry, Target(docTarget));
    if (const auto binding = modPLRFunction::OpenDocumentBind(mState.registry, docTarget)) binding->MoveFirst();
}

void OsPLRController::ReopenHeader(std::shared_ptr<word::Document>& docTarget) {
    auto binding = modPLRFunction::FindDocumentBind(mState.registry, Target(docTarget));
    if (binding) {
        binding->DBClose();
        // A binding left without its record source shows nothing; the caller must hear why.
        if (!binding->DBOpen()) throw ReopenFailure(*binding, Target(docTarget));
    } else {
        binding = modPLRFunction::OpenDocumentBind(mState.registry, docTarget);
    }
    if (binding) binding->MoveFirst();
}

void OsPLRController::UpdateHeader(std::shared_ptr<word::Document>& docTarget) {
    const auto binding = modPLRFunction::FindDocumentBind(mState.registry, Target(docTarget));
    if (!binding) return;
    const ScreenUpdatingOff screen(ApplicationOf(mState, docTarget));
    binding->SetHeadDatas();
}

void OsPLRController::UpdateDetail(std::shared_ptr<word::Document>& docTarget) {
    const auto binding = modPLRFunction::FindDocumentBind(mState.registry, Target(docTarget));
    if (!binding) return;
    const ScreenUpdatingOff screen(ApplicationOf(mState, docTarget));
    RefillDetailThenHeader(*binding, true);
}

void OsPLRController::UpdateView(std::shared_ptr<word::Document>& docTarget) {
    const auto binding = modPLRFunction::FindDocumentBind(mState.registry, Target(docTarget));
    if (!binding) return;
    const ScreenUpdatingOff screen(ApplicationOf(mState, docTarget));
    // Letter case counts: only the exact flag text refills the detail tables.
    RefillDetailThenHeader(*binding,
                           clsPLProperty().GetDocVariable(modPLConst::PROP_UPDATE_DETAIL, Target(docTarget),
                                                          modPLConst::DEFAULT_UPDATE_DETAIL) == modPLConst::FLAG_TRUE);
}

std::shared_ptr<word::Document> OsPLRController::CreatePrintDoc(std::shared_ptr<word::Document>& docTarget,
                                                                bool blnAllRecords) {
    Target(docTarget);
    return modPLRFunction::BuildPrintDoc(RequireApplication(mState, docTarget), mState.registry, docTarget, blnAllRecords,
                                         false);
}

void OsPLRController::PrintData(std::shared_ptr<word::Document>& docTarget, bool blnAllRecords) {
    Target(docTarget);
    modPLRFunction::BuildPrintDoc(RequireApplication(mState, docTarget), mState.registry, docTarget, blnAllRecords, true);
}

bool OsPLRController::FindData(std::shared_ptr<word::Document>& docTarget, std::string strCondition,
                               bool blnSerchForword) {
    modPLRFunction::CloseDocumentBind(mState.registry, Target(docTarget));
    const auto binding = modPLRFunction::OpenDocumentBind(mState.registry, docTarget);
    if (!binding) return false;
    // The freshly opened record source is searched from its first record forward, or from its
    // last backward, the record reached included.
    if (blnSerchForword) {
        binding->MoveFirst();
    } else {
        binding->MoveLast();
    }
    return binding->Find(strCondition, 0, blnSerchForword);
}

}  // namespace paperloom
