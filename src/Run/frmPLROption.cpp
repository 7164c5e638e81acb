#include "Run/frmPLROption.h"

#include "Run/RunForms.h"

namespace paperloom {

bool frmPLROption::DoModal() {
    mblnResult = false;
    mblnDirty = false;
    if (run::RunForms* forms = run::CurrentRunForms()) forms->ShowOption(*this);
    return mblnResult;
}

void frmPLROption::chk_Click(int intIndex, int intValue) {
    int* const boxes[] = {&chkUpdateDetail, &chkCopyPrimaryHeader, &chkCopyPrimaryFooter};
    if (intIndex < 0 || intIndex > 2) return;
    *boxes[intIndex] = intValue;
    mblnDirty = true;
}

}  // namespace paperloom
