#include "Edit/frmPLEDetailProp.h"

#include <algorithm>

#include "Edit/EditForms.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/word/Bookmarks.h"
#include "host/word/Document.h"

namespace paperloom {

frmPLEDetailProp::frmPLEDetailProp() { blnHasBookmarkBox = true; }

void frmPLEDetailProp::Init(std::shared_ptr<word::Document> docTarget, std::string_view strDocumentFolder) {
    mdocTarget = std::move(docTarget);
    mstrDocumentFolder = std::string(strDocumentFolder);
    chkColumnHeaders = modPLFunction::TextToFlag(modPLConst::FLAG_TRUE);
    chkAutoAdjustRowCount = modPLFunction::TextToFlag(modPLConst::FLAG_FALSE);
    tabDetailProp = TAB_BIND;
    // Empties both keys and the bookmark box.
    mclsDetailForm.Init(*this);
    mclsBindForm.Init(kCaption, clsPLEBindForm::kOKCaption, false, mstrDocumentFolder);
    mblnResult = false;
    mblnDirty = false;
    mblnInitialised = true;
}

bool frmPLEDetailProp::DoModal() {
    if (!mblnInitialised) Init(mdocTarget, mstrDocumentFolder);
    mclsBindForm.ClearDirty();
    mblnDirty = false;
    mblnResult = false;
    if (edit::EditForms* forms = edit::CurrentEditForms()) forms->ShowDetailProp(*this);
    mblnInitialised = false;
    return mblnResult;
}

bool frmPLEDetailProp::IsCleared() const {
    return cboParentKey.empty() && cboChildKey.empty() && chkColumnHeaders && !chkAutoAdjustRowCount &&
           mclsBindForm.IsCleared();
}

void frmPLEDetailProp::AddParentDataFields(const std::shared_ptr<host::ado::Connection>& conTarget,
                                           std::string_view strRecordSourceType, std::string_view strRecordSource) {
    mclsDetailForm.AddParentDataFields(conTarget, strRecordSourceType, strRecordSource);
}

void frmPLEDetailProp::AddDetailBookmarks(const word::Bookmarks& bookmarks) {
    mclsDetailForm.AddDetailBookmarks(std::vector<std::string>(bookmarks.begin(), bookmarks.end()));
}

bool frmPLEDetailProp::BookmarkPicked() const {
    return std::find(cboBookmarkList.begin(), cboBookmarkList.end(), cboBookmark) != cboBookmarkList.end();
}

void frmPLEDetailProp::UpdateDetailBookmark(word::Bookmarks bookmarks, const word::Range& rangeTable) const {
    if (cboBookmark.empty() || BookmarkPicked()) return;
    bookmarks.Add(cboBookmark, rangeTable);
}

void frmPLEDetailProp::cboChildKey_DropDown() {
    const clsPLEBindForm& bind = mclsBindForm;
    mclsDetailForm.AddChildDataFields(std::to_string(bind.GetDataSourceType()), bind.GetDataSource(),
                                      bind.txtUserName, bind.txtPassword, std::to_string(bind.GetRecordSourceType()),
                                      bind.GetRecordSource(), mstrDocumentFolder);
    mblnDirty = true;
}

bool frmPLEDetailProp::cmdOK_Click() {
    // A new name must be one the document accepts: the command adds it after writing the
    // table's settings, and a refusal then would leave the two apart.
    if (!cboBookmark.empty() && !BookmarkPicked() && mdocTarget &&
        modPLFunction::IsInvalidBookmarkName(cboBookmark, *mdocTarget, modPLConst::EDIT_APP_TITLE)) {
        tabDetailProp = TAB_GENERAL;
        return false;
    }
    mblnResult = true;
    return true;
}

}  // namespace paperloom
