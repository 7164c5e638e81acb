#include "Edit/clsPLEDetailForm.h"

#include "common/modPLDataFields.h"
#include "common/modPLFunction.h"
#include "host/ado/Connection.h"

namespace paperloom {

void clsPLEDetailForm::Init(DetailKeyBoxes& frmTarget) {
    mfrmTarget = &frmTarget;
    frmTarget.cboParentKey.clear();
    frmTarget.cboParentKeyList.clear();
    frmTarget.cboChildKey.clear();
    frmTarget.cboChildKeyList.clear();
    if (frmTarget.blnHasBookmarkBox) {
        frmTarget.cboBookmark.clear();
        frmTarget.cboBookmarkList.clear();
    }
}

void clsPLEDetailForm::AddParentDataFields(const std::shared_ptr<host::ado::Connection>& conTarget,
                                           std::string_view strRecordSourceType, std::string_view strRecordSource) {
    if (!mfrmTarget) return;
    // DataFieldNames gives nothing without a connection or source, or when it fails.
    mfrmTarget->cboParentKeyList = modPLDataFields::DataFieldNames(conTarget, strRecordSourceType, strRecordSource);
}

void clsPLEDetailForm::AddChildDataFields(std::string_view strDataSourceType, std::string_view strDataSource,
                                          std::string_view strUserName, std::string_view strPassword,
                                          std::string_view strRecordSourceType, std::string_view strRecordSource,
                                          std::string_view strDocumentFolder) {
    if (!mfrmTarget) return;
    mfrmTarget->cboChildKeyList.clear();
    if (strDataSourceType.empty() || strDataSource.empty() || strRecordSourceType.empty() || strRecordSource.empty())
        return;
    const auto connection =
        modPLFunction::OpenConnection(strDataSourceType, strDataSource, strUserName, strPassword, strDocumentFolder);
    mfrmTarget->cboChildKeyList = modPLDataFields::DataFieldNames(connection, strRecordSourceType, strRecordSource);
    if (connection) connection->Close();
}

void clsPLEDetailForm::AddDetailBookmarks(const std::vector<std::string>& strBookmarkNames) {
    if (!mfrmTarget || !mfrmTarget->blnHasBookmarkBox) return;
    mfrmTarget->cboBookmarkList = strBookmarkNames;
    mfrmTarget->cboBookmark = strBookmarkNames.empty() ? std::string() : strBookmarkNames.front();
}

}  // namespace paperloom
