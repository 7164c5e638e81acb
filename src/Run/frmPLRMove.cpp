#include "Run/frmPLRMove.h"

#include <cmath>
#include <limits>
#include <sstream>

#include "Run/RunForms.h"
#include "common/ValueText.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"

namespace paperloom {

long RecordIndexFromText(const std::string& strText) {
    std::istringstream in(strText);
    in.imbue(std::locale::classic());
    double value = 0;
    in >> value;
    if (!std::isfinite(value)) return value < 0 ? std::numeric_limits<long>::min() : std::numeric_limits<long>::max();
    const double rounded = std::nearbyint(value);
    if (rounded <= static_cast<double>(std::numeric_limits<long>::min())) return std::numeric_limits<long>::min();
    if (rounded >= static_cast<double>(std::numeric_limits<long>::max())) return std::numeric_limits<long>::max();
    return static_cast<long>(rounded);
}

void frmPLRMove::DoModal() {
    if (run::RunForms* forms = run::CurrentRunForms()) forms->ShowMove(*this);
}

void frmPLRMove::cmdMove_Click() {
    const auto fail = [] {
        modPLFunction::ShowCriticalMessage(modPLConst::MSG_SET_RECORD_NUMBER, modPLConst::RUN_APP_TITLE);
    };
    if (txtRecordIndex.empty() || !valuetext::ReadsAsNumber(txtRecordIndex)) {
        fail();
        return;
    }
    try {
        if (!mBinding || !mState.application) return;
        mBinding->MovePos(RecordIndexFromText(txtRecordIndex));
        auto active = mState.application->ActiveDocument();
        mController.UpdateView(active);
        mState.application->ScreenRefresh();
    } catch (...) {
        // The user is told to give a record number; the reason itself goes to the trace.
        debuglog::Swallowed("frmPLRMove.cpp: frmPLRMove::cmdMove_Click");
        fail();
    }
}

}  // namespace paperloom
