#include "common/clsPLBaseForm.h"

#include "host/ui/UiServices.h"

namespace paperloom {

clsPLBaseForm::clsPLBaseForm(const std::function<WorkArea()>& workAreaSource)
    : workArea_(workAreaSource ? workAreaSource() : WorkArea{}) {}

clsPLBaseForm::clsPLBaseForm() : workArea_(PlatformWorkArea()) {}

WorkArea clsPLBaseForm::PlatformWorkArea() {
    const ui::ScreenArea area = ui::Screen().WorkArea();
    return {static_cast<float>(area.lngLeft), static_cast<float>(area.lngTop), static_cast<float>(area.lngWidth),
            static_cast<float>(area.lngHeight)};
}

float clsPLBaseForm::GetCenterTopPos(float sngFormHeight) const {
    return workArea_.sngTop + workArea_.sngHeight / 2 - sngFormHeight / 2;
}

float clsPLBaseForm::GetCenterLeftPos(float sngFormWidth) const {
    return workArea_.sngLeft + workArea_.sngWidth / 2 - sngFormWidth / 2;
}

}  // namespace paperloom
