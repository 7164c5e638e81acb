#include "Run/ReportRunError.h"

#include "common/modPLConst.h"
#include "common/modPLFunction.h"

namespace paperloom::run {

void ReportRunError(const RunState& state, std::exception_ptr error, bool blnRaise) {
    if (!error || !modPLFunction::ErrorToReport(error)) return;
    if (state.gblnInCommand && state.application && state.application->Visible()) {
        modPLFunction::ShowErrorMessage(modPLConst::RUN_APP_TITLE, error);
        return;
    }
    if (blnRaise) std::rethrow_exception(error);
}

}  // namespace paperloom::run
