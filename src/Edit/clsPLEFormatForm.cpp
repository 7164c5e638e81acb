#include "Edit/clsPLEFormatForm.h"

#include "common/modPLFieldCode.h"
#include "common/modPLPictureField.h"

namespace paperloom {

void clsPLEFormatForm::Init(FormatBoxes& frmTarget) {
    mfrmTarget = &frmTarget;
    frmTarget.cboFormatTypeList.clear();
    for (const auto& type : modPLFieldCode::GetFormatTypes()) {
        frmTarget.cboFormatTypeList.emplace_back(type.strCaption);
    }
    SelectFormatType(modPLFieldCode::FORMAT_TYPE_NONE);
}

void clsPLEFormatForm::SelectFormatType(int intListIndex) {
    if (mfrmTarget == nullptr) {
        return;
    }
    FormatBoxes& boxes = *mfrmTarget;
    const auto& types = modPLFieldCode::GetFormatTypes();
    const bool blnKnown = intListIndex >= 0 && intListIndex < static_cast<int>(types.size());
    boxes.cboFormatTypeIndex = blnKnown ? intListIndex : -1;
    boxes.cboFormatList.clear();
    if (blnKnown && intListIndex != modPLFieldCode::FORMAT_TYPE_NONE) {
        for (const auto picture : types[static_cast<std::size_t>(intListIndex)].pictures) {
            boxes.cboFormatList.emplace_back(picture);
        }
        boxes.cboFormatEnabled = true;
    } else {
        boxes.cboFormat.clear();
        boxes.cboFormatEnabled = false;
    }
}

std::string clsPLEFormatForm::GetFormatType() const {
    if (mfrmTarget == nullptr) {
        return {};
    }
    return std::string(modPLFieldCode::FormatIndexToType(mfrmTarget->cboFormatTypeIndex));
}

void clsPLEFormatForm::SetFormatType(std::string_view strFormatType) {
    SelectFormatType(modPLFieldCode::FormatTypeToIndex(strFormatType));
}

std::string clsPLEFormatForm::GetFormatCode() const {
    if (mfrmTarget == nullptr) {
        return {};
    }
    return modPLFieldCode::MakeFormatCode(GetFormatType(), mfrmTarget->cboFormat);
}

void clsPLEPictureDataForm::Init(bool& chkPictureData) {
    mchkPictureData = &chkPictureData;
    chkPictureData = false;
}

void clsPLEPictureDataForm::SetItem() { ChangeState(true); }

void clsPLEPictureDataForm::ChangeState(bool blnValue) {
    if (mchkPictureData != nullptr) {
        *mchkPictureData = blnValue;
    }
}

std::string clsPLEPictureDataForm::GetFieldType() { return std::string(modPLPictureField::PICTURE_FIELD_TYPE); }

std::string clsPLEPictureDataForm::MakeFieldCode(std::string_view strDataFieldName) {
    if (strDataFieldName.empty()) {
        return {};
    }
    return std::string(modPLFieldCode::KEY_PICTURE_FIELD) + " " + std::string(strDataFieldName);
}

}  // namespace paperloom
