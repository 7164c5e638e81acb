#include "Edit/frmPLEHeadField.h"

#include "Edit/EditForms.h"
#include "common/modPLDataFields.h"
#include "common/modPLFieldCode.h"
#include "host/word/fields/Field.h"

namespace paperloom {
namespace {

namespace FC = modPLFieldCode;

}  // namespace

frmPLEHeadField::frmPLEHeadField() {
    cboSupportFieldList.emplace_back(FC::SupportKeywordToCaption(FC::KEY_SEQUENCE_INDEX));
    Init();
    mblnInitialized = false;
}

void frmPLEHeadField::Init() {
    cboDataField.clear();
    cboSupportField = cboSupportFieldList.empty() ? std::string() : cboSupportFieldList.front();
    optFieldType = OPT_DATA_FIELD;
    mclsFormatForm.Init(*this);
    mclsPictureDataForm.Init(chkPictureData);
    mblnResult = false;
    mblnDirty = false;
    mblnInitialized = true;
}

bool frmPLEHeadField::DoModal() {
    if (!mblnInitialized) Init();
    if (edit::EditForms* forms = edit::CurrentEditForms()) forms->ShowHeadField(*this);
    mblnInitialized = false;
    return mblnResult;
}

std::string frmPLEHeadField::MakeFieldCode() const {
    FC::HeaderFieldSettings settings;
    if (optFieldType == OPT_SUPPORT_FIELD) {
        // A typed caption that names no support field would make a bare "quote" field that
        // shows nothing: nothing is written instead.
        if (FC::SupportCaptionToKeyword(cboSupportField).empty()) return {};
        settings.option = FC::HeaderFieldOption::SupportField;
        settings.strSupportCaption = cboSupportField;
    } else {
        settings.option = FC::HeaderFieldOption::DataField;
        settings.strDataField = cboDataField;
        settings.blnPictureData = chkPictureData;
    }
    settings.strFormatType = mclsFormatForm.GetFormatType();
    settings.strFormat = cboFormat;
    return FC::MakeHeaderFieldCode(settings);
}

void frmPLEHeadField::AddDataFields(const std::shared_ptr<host::ado::Connection>& conTarget,
                                    std::string_view strRecordSourceType, std::string_view strRecordSource) {
    // The typed text is a member of its own, so replacing the list keeps it.
    cboDataFieldList = modPLDataFields::DataFieldNames(conTarget, strRecordSourceType, strRecordSource);
}

void frmPLEHeadField::SetFieldData(const std::optional<word::Field>& fldTarget) {
    mclsPictureDataForm.ChangeState(false);
    if (!fldTarget) return;
    auto code = fldTarget->Code();
    code.TextRetrievalMode().SetIncludeFieldCodes(true);
    SetFieldCode(code.Text());
}

void frmPLEHeadField::SetFieldCode(std::string_view strCode) {
    FC::HeaderFieldSettings settings;
    settings.option = optFieldType == OPT_SUPPORT_FIELD ? FC::HeaderFieldOption::SupportField
                                                        : FC::HeaderFieldOption::DataField;
    settings.strDataField = cboDataField;
    settings.blnPictureData = chkPictureData;
    settings.strSupportCaption = cboSupportField;
    settings.strFormatType = mclsFormatForm.GetFormatType();
    settings.strFormat = cboFormat;
    FC::ReadHeaderFieldCode(strCode, settings);

    optFieldType = settings.option == FC::HeaderFieldOption::SupportField ? OPT_SUPPORT_FIELD : OPT_DATA_FIELD;
    cboDataField = settings.strDataField;
    mclsPictureDataForm.ChangeState(settings.blnPictureData);
    // The caption of the keyword read, so a record number written back stays a record number.
    cboSupportField = settings.strSupportCaption;
    mclsFormatForm.SetFormatType(settings.strFormatType);
    if (cboFormatEnabled) cboFormat = settings.strFormat;
}

void frmPLEHeadField::optFieldType_Click(int intIndex) {
    if (intIndex != OPT_DATA_FIELD && intIndex != OPT_SUPPORT_FIELD) return;
    optFieldType = intIndex;
    mblnDirty = true;
}

void frmPLEHeadField::chkPictureData_Click(bool blnValue) {
    mclsPictureDataForm.ChangeState(blnValue);
    mblnDirty = true;
}

void frmPLEHeadField::cboFormatType_Click(int intListIndex) {
    mclsFormatForm.SelectFormatType(intListIndex);
    mblnDirty = true;
}

}  // namespace paperloom
