#include "common/modPLCommandBar.h"

#include <algorithm>
#include <string>

#include "host/HostError.h"

namespace paperloom::modPLCommandBar {

namespace {

// A position past the end (controls the user deleted after it) adds at the end rather than
// failing the whole menu.
long BeforeWithin(word::CommandBarControls& controls, long lngPosition) {
    const long count = controls.Count();
    return std::clamp(lngPosition, 1L, count + 1);
}

}  // namespace

std::shared_ptr<word::CommandBarControl> FindOrAddPopup(const std::shared_ptr<word::CommandBar>& bar,
                                                        std::string_view strTag, std::string_view strCaption,
                                                        long lngBefore) {
    auto popup = bar->FindControl(strTag);
    if (!popup) {
        popup = bar->Controls().Add(word::cbr::controlPopup, lngBefore, false);
        popup->SetCaption(std::string(strCaption));
        popup->SetTag(std::string(strTag));
    }
    return popup;
}

std::shared_ptr<word::CommandBar> FindOrAddToolbar(word::CommandBars& bars, std::string_view strName) {
    for (const auto& candidate : bars)
        if (candidate->Name() == strName) return candidate;
    auto bar = bars.Add();
    bar->SetPosition(word::cbr::barTop);
    bar->SetVisible(true);
    bar->SetName(std::string(strName));
    return bar;
}

std::string MakeOnAction(const word::COMAddIn& addInInst) { return "!<" + addInInst.ProgId() + ">"; }

std::shared_ptr<word::CommandBarControl> AddMenuButton(std::string_view strTag, std::string_view strCaption,
                                                       long lngPosition,
                                                       const std::shared_ptr<word::CommandBarControl>& ctlPopup,
                                                       const word::COMAddIn& addInInst, bool blnBeginGroup) {
    const auto menu = ctlPopup->CommandBar();
    if (auto existing = menu->FindControl(strTag)) return existing;
    auto controls = menu->Controls();
    auto control = controls.Add(word::cbr::controlButton, BeforeWithin(controls, lngPosition), false);
    control->SetBeginGroup(blnBeginGroup);
    control->SetCaption(std::string(strCaption));
    control->SetTag(std::string(strTag));
    control->SetStyle(word::cbr::buttonCaption);
    control->SetOnAction(MakeOnAction(addInInst));
    return control;
}

std::shared_ptr<word::CommandBarControl> AddToolButton(std::string_view strTag, std::string_view strCaption,
                                                       long lngType, long lngPosition, long lngBitmap, long lngFaceId,
                                                       const std::shared_ptr<word::CommandBar>& cbrTarget,
                                                       const word::COMAddIn& addInInst, bool blnBeginGroup,
                                                       long lngWidth, const FaceSource& faces) {
    if (auto existing = cbrTarget->FindControl(strTag)) return existing;
    // The picture is fetched first, so a missing resource leaves no half-made button behind.
    std::vector<std::byte> bitmap;
    if (lngBitmap != 0) {
        bitmap = faces.bitmaps ? faces.bitmaps(lngBitmap) : std::vector<std::byte>{};
        if (bitmap.empty())
            throw host::HostError(326, "Paperloom", "Resource with identifier " + std::to_string(lngBitmap) + " not found");
    }
    auto controls = cbrTarget->Controls();
    auto control = controls.Add(lngType, BeforeWithin(controls, lngPosition), false);
    control->SetBeginGroup(blnBeginGroup);
    control->SetCaption(std::string(strCaption));
    control->SetTag(std::string(strTag));
    control->SetOnAction(MakeOnAction(addInInst));
    if (lngWidth != 0) control->SetWidth(lngWidth);
    if (lngBitmap != 0) {
        faces.clipboard.Clear();
        faces.clipboard.SetBitmap(std::move(bitmap));
        control->PasteFace();
    } else if (lngFaceId != 0) {
        control->SetFaceId(lngFaceId);
    }
    return control;
}

}  // namespace paperloom::modPLCommandBar
