#include "Run/clsPLRReturnField.h"

#include <utility>

#include "host/HostError.h"

namespace paperloom {

void clsPLRReturnField::SetTarget(const word::Field& fldTarget, std::string strOriginalCode) {
    mfldTarget = fldTarget;
    mstrOriginalCode = std::move(strOriginalCode);
    mstrResultText = fldTarget.Result().Text();
}

const word::Field& clsPLRReturnField::GetField() const {
    // 91: the object variable is not set.
    if (!mfldTarget) throw host::HostError(91, "OsPLRun", "The field to restore has not been set.");
    return *mfldTarget;
}

// A Field handle shares its field: writing through a copy writes the field itself.
void clsPLRReturnField::ReturnResult() {
    word::Field field = GetField();
    field.SetResult(mstrResultText);
}

void clsPLRReturnField::ReturnOriginalCode() {
    word::Field field = GetField();
    field.SetCode(mstrOriginalCode);
}

}  // namespace paperloom
