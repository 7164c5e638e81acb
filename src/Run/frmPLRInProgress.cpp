#include "Run/frmPLRInProgress.h"

#include <exception>
#include <utility>

#include "common/modPLConst.h"
#include "host/DebugLog.h"
#include "host/ui/UiServices.h"

namespace paperloom {

frmPLRInProgress::~frmPLRInProgress() {
    try {
        Hide();
    } catch (const std::exception&) {
        // A window that fails to hide is going away regardless.
        debuglog::Swallowed("frmPLRInProgress.cpp: ~frmPLRInProgress");
    }
}

void frmPLRInProgress::Show() {
    if (!mWindow) {
        mWindow = ui::Progress().CreateProgressWindow();
        mWindow->SetCaption(std::string(modPLConst::RUN_APP_TITLE));
        mWindow->SetText(mstrStatus);
    }
    mWindow->Show();
}

void frmPLRInProgress::Hide() {
    if (mWindow) mWindow->Hide();
}

bool frmPLRInProgress::Visible() const { return mWindow && mWindow->Visible(); }

void frmPLRInProgress::SetMessage(std::string strMessage) {
    mstrMessage = std::move(strMessage);
    Redraw();
}

void frmPLRInProgress::SetPageCount(long lngPageCount) {
    mlngPageCount = lngPageCount;
    Redraw();
}

void frmPLRInProgress::SetPageIndex(long lngPageIndex) {
    mlngPageIndex = lngPageIndex;
    Redraw();
}

void frmPLRInProgress::SetDetailPageIndex(long lngDetailPageIndex) {
    mlngDetailPageIndex = lngDetailPageIndex;
    Redraw();
}

std::string frmPLRInProgress::MakeStatusText(const std::string& strMessage, long lngPageIndex, long lngPageCount,
                                             long lngDetailPageIndex) {
    if (lngPageCount == 0) return strMessage;
    std::string text = strMessage + "(" + std::to_string(lngPageIndex);
    if (lngDetailPageIndex > 0) text += "-" + std::to_string(lngDetailPageIndex);
    return text + "/" + std::to_string(lngPageCount) + ")";
}

void frmPLRInProgress::Redraw() {
    mstrStatus = MakeStatusText(mstrMessage, mlngPageIndex, mlngPageCount, mlngDetailPageIndex);
    if (mWindow) mWindow->SetText(mstrStatus);
}

}  // namespace paperloom
