#pragma once
// The progress dialog of a print-document build: a message and, once the record count is
// known, which record (and which detail page of it) is being made. Shown modeless through the
// platform's progress service; the label is redrawn after every change, since the build runs
// with screen updating off and this is the only feedback the user gets.

#include <memory>
#include <string>

#include "host/ui/ProgressService.h"

namespace paperloom {

class frmPLRInProgress {
public:
    // Loading empties the message and sets record index and count to 0; nothing is shown yet.
    frmPLRInProgress() = default;
    frmPLRInProgress(const frmPLRInProgress&) = delete;
    frmPLRInProgress& operator=(const frmPLRInProgress&) = delete;
    // Unloading takes the window off the screen.
    ~frmPLRInProgress();

    void Show();
    void Hide();
    bool Visible() const;

    void SetMessage(std::string strMessage);
    void SetPageCount(long lngPageCount);
    void SetPageIndex(long lngPageIndex);
    void SetDetailPageIndex(long lngDetailPageIndex);

    // What the label lblStatus shows now.
    const std::string& StatusText() const { return mstrStatus; }

    // The message alone while the record count is 0; otherwise "message(index/count)", or
    // "message(index-detail/count)" when the detail page index is above 0.
    static std::string MakeStatusText(const std::string& strMessage, long lngPageIndex, long lngPageCount,
                                      long lngDetailPageIndex);

private:
    void Redraw();

    std::unique_ptr<ui::ProgressWindow> mWindow;
    std::string mstrMessage;
    long mlngPageIndex = 0;
    long mlngPageCount = 0;
    long mlngDetailPageIndex = 0;
    std::string mstrStatus;
};

}  // namespace paperloom
