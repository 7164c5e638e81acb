#include "Run/frmPLRFind.h"

#include "Run/FindCondition.h"
#include "Run/RunForms.h"
#include "common/modPLConst.h"
#include "common/modPLDataFields.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"
#include "host/ui/UiServices.h"

namespace paperloom {
namespace {

bool AskToWrap(const char* question) {
    ui::MessageRequest request;
    request.strText = question;
    request.strTitle = std::string(modPLConst::RUN_APP_TITLE);
    request.icon = ui::MessageIcon::Question;
    request.buttons = ui::MessageButtons::YesNo;
    return ui::Messages().Show(request) == ui::vbYes;
}

}  // namespace

void frmPLRFind::AddDataFields(const std::shared_ptr<host::ado::Connection>& conTarget,
                               const std::string& strRecordSourceType, const std::string& strRecordSource) {
    DataFieldList = modPLDataFields::DataFieldNames(conTarget, strRecordSourceType, strRecordSource);
}

void frmPLRFind::DoModal() {
    if (run::RunForms* forms = run::CurrentRunForms()) forms->ShowFind(*this);
}

void frmPLRFind::Form_Load() {
    cboDataField.clear();
    txtComparisonValue.clear();
    optComparisonValue = 0;
    optSearchDirection = 0;
}

bool frmPLRFind::cmdFind_Click() {
    if (cboDataField.empty()) {
        modPLFunction::ShowCriticalMessage(modPLConst::MSG_SET_DATA_FIELD, modPLConst::RUN_APP_TITLE);
        return false;
    }
    if (!mBinding) return false;
    try {
        const bool blank = optComparisonValue == 1;
        const int kind = blank ? 0 : static_cast<int>(mBinding->GetFieldType(cboDataField));
        const auto condition = run::BuildFindCondition(cboDataField, kind, txtComparisonValue, blank);
        if (!condition.Ok()) {
            modPLFunction::ShowCriticalMessage(condition.strMessage, modPLConst::RUN_APP_TITLE);
            return false;
        }
        const bool forward = optSearchDirection == 0;
        mBinding->SaveCurrent();
        bool found = mBinding->Find(condition.strCondition, 1, forward);
        while (!found) {
            found = mBinding->Find(condition.strCondition, 0, forward);
            if (found) break;
            if (!AskToWrap(forward ? kWrapForward : kWrapBackward)) {
                mBinding->RestoreCurrent();
                return false;
            }
            if (forward) {
                mBinding->MoveFirst();
            } else {
                mBinding->MoveLast();
            }
        }
        if (mState.application) {
            auto active = mState.application->ActiveDocument();
            mController.UpdateView(active);
            mState.application->ScreenRefresh();
        }
        return true;
    } catch (...) {
        // The user is told the value is wrong; the reason itself goes to the trace.
        debuglog::Swallowed("frmPLRFind.cpp: frmPLRFind::cmdFind_Click");
        modPLFunction::ShowCriticalMessage(modPLConst::MSG_BAD_VALUE, modPLConst::RUN_APP_TITLE);
        return false;
    }
}

}  // namespace paperloom
