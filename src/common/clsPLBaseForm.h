#pragma once
// Placement shared by every dialog: the position that centres a form on the screen's work
// area. The work area comes from the platform when the object is made.

#include <functional>

namespace paperloom {

// The part of the screen not covered by task bars, in the units the forms are sized in.
struct WorkArea {
    float sngLeft = 0;
    float sngTop = 0;
    float sngWidth = 0;
    float sngHeight = 0;
};

class clsPLBaseForm {
public:
    explicit clsPLBaseForm(const std::function<WorkArea()>& workAreaSource);
    // Centres on the work area of the platform's screen service (pixels).
    clsPLBaseForm();

    // The work area the platform's screen service reports.
    static WorkArea PlatformWorkArea();

    float GetCenterTopPos(float sngFormHeight) const;
    float GetCenterLeftPos(float sngFormWidth) const;

private:
    WorkArea workArea_;
};

}  // namespace paperloom
