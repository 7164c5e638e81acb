#pragma once
// The about box both add-ins show: the product name and version as fixed labels, a subtitle
// and a window title the caller sets. It has no behaviour beyond being shown and closed.

#include <string>

#include "common/PaperloomVersion.h"

namespace paperloom {

struct frmPLAboutBox {
    std::string strCaption;       // the window title
    std::string lblSubTitle;      // which add-in ("Run time Add-in")
    std::string lblProductName = "Paperloom";
    std::string lblVersion;

    // The fixed labels, the version being this build's; caption and subtitle stay as the
    // caller set them.
    void Init() {
        lblProductName = "Paperloom";
        lblVersion = "Version " + std::string(PAPERLOOM_BUILD_VERSION);
    }
};

}  // namespace paperloom
