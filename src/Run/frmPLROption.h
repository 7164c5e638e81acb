#pragma once
// The options dialog's logic: three check boxes for the template's run-time options, whether
// it was closed with OK, and whether the user clicked any box (ticking and unticking again
// still counts). The options command reads and writes the document; the window (forms
// library) calls the virtual members.

namespace paperloom {

class frmPLROption {
public:
    static constexpr const char* kCaption = "オプション";

    frmPLROption() = default;
    virtual ~frmPLROption() = default;
    frmPLROption(const frmPLROption&) = delete;
    frmPLROption& operator=(const frmPLROption&) = delete;

    // 0 unticked, 1 ticked.
    int chkUpdateDetail = 0;
    int chkCopyPrimaryHeader = 0;
    int chkCopyPrimaryFooter = 0;

    void Init() { chkUpdateDetail = 0; }
    // Shows the dialog (result and dirty reset first) and returns whether OK closed it; false
    // where no windows are shown.
    bool DoModal();
    bool IsDirty() const { return mblnDirty; }
    bool Result() const { return mblnResult; }

    // intIndex 0 chkUpdateDetail, 1 chkCopyPrimaryHeader, 2 chkCopyPrimaryFooter.
    virtual void chk_Click(int intIndex, int intValue);
    virtual void cmdOK_Click() { mblnResult = true; }
    virtual void cmdCancel_Click() { mblnResult = false; }

private:
    bool mblnResult = false;
    bool mblnDirty = false;
};

}  // namespace paperloom
