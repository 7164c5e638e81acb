#include "common/clsPLBaseForm.h"

namespace paperloom {

clsPLBaseForm::clsPLBaseForm(const std::function<WorkArea()>& workAreaSource)
    : workArea_(workAreaSource ? workAreaSource() : WorkArea{}) {}

float clsPLBaseForm::GetCenterTopPos(float sngFormHeight) const {
    return workArea_.sngTop + workArea_.sngHeight / 2 - sngFormHeight / 2;
}

float clsPLBaseForm::GetCenterLeftPos(float sngFormWidth) const {
    return workArea_.sngLeft + workArea_.sngWidth / 2 - sngFormWidth / 2;
}

}  // namespace paperloom
