#pragma once
// The format boxes several designer dialogs share (header field, column properties, row break
// settings, statistics field): a format-type list of four captions ("\# (数値)", "\@ (日付／時刻)",
// "\* (文字列)", "なし") and a picture box whose ready-made pictures follow the chosen type. The
// form keeps the boxes as model state in FormatBoxes; this class fills and reads them. It is
// defined here, over the shared core only, because the windows of the forms library call the
// dialogs' inline members that use it and the forms library does not link the designer's engine.

#include <string>
#include <string_view>
#include <vector>

#include "common/modPLFieldCode.h"
#include "common/modPLPictureField.h"

namespace paperloom {

// The two boxes of a form that has a format.
struct FormatBoxes {
    std::vector<std::string> cboFormatTypeList;
    int cboFormatTypeIndex = -1;  // -1: nothing selected
    bool cboFormatTypeEnabled = true;
    std::string cboFormat;  // the picture, typed or picked
    std::vector<std::string> cboFormatList;
    bool cboFormatEnabled = true;
};

class clsPLEFormatForm {
public:
    // Remembers the form's boxes, fills the type list with the four captions and selects "なし".
    void Init(FormatBoxes& frmTarget);
    // Selects a type by list index and applies it: types 0 to 2 fill the picture list with their
    // ready-made pictures and enable the box (its text stays); "なし" or no selection empties and
    // disables it.
    void SelectFormatType(int intListIndex);
    // The switch of the selected type ("\#", "\@", "\*"); "" for "なし" or no selection.
    std::string GetFormatType() const;
    // Selects the type of a switch (anything unknown selects "なし") and applies it.
    void SetFormatType(std::string_view strFormatType);
    // " <switch> "<picture>"" for the field code; "" without a type or without a picture.
    std::string GetFormatCode() const;

private:
    FormatBoxes* mfrmTarget = nullptr;
};

// The picture-data check box of the header field dialog: a data field shown as a picture.
class clsPLEPictureDataForm {
public:
    void Init(bool& chkPictureData);  // remembers the box and unticks it
    void SetItem();                   // ticks it
    void ChangeState(bool blnValue);
    // The field type a picture field is written with ("IncludePicture").
    static std::string GetFieldType();
    // "PictureField <name>", or "" for an empty name.
    static std::string MakeFieldCode(std::string_view strDataFieldName);

private:
    bool* mchkPictureData = nullptr;
};

inline void clsPLEFormatForm::Init(FormatBoxes& frmTarget) {
    mfrmTarget = &frmTarget;
    frmTarget.cboFormatTypeList.clear();
    for (const auto& type : modPLFieldCode::GetFormatTypes()) {
        frmTarget.cboFormatTypeList.emplace_back(type.strCaption);
    }
    SelectFormatType(modPLFieldCode::FORMAT_TYPE_NONE);
}

inline void clsPLEFormatForm::SelectFormatType(int intListIndex) {
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

inline std::string clsPLEFormatForm::GetFormatType() const {
    if (mfrmTarget == nullptr) {
        return {};
    }
    return std::string(modPLFieldCode::FormatIndexToType(mfrmTarget->cboFormatTypeIndex));
}

inline void clsPLEFormatForm::SetFormatType(std::string_view strFormatType) {
    SelectFormatType(modPLFieldCode::FormatTypeToIndex(strFormatType));
}

inline std::string clsPLEFormatForm::GetFormatCode() const {
    if (mfrmTarget == nullptr) {
        return {};
    }
    return modPLFieldCode::MakeFormatCode(GetFormatType(), mfrmTarget->cboFormat);
}

inline void clsPLEPictureDataForm::Init(bool& chkPictureData) {
    mchkPictureData = &chkPictureData;
    chkPictureData = false;
}

inline void clsPLEPictureDataForm::SetItem() { ChangeState(true); }

inline void clsPLEPictureDataForm::ChangeState(bool blnValue) {
    if (mchkPictureData != nullptr) {
        *mchkPictureData = blnValue;
    }
}

inline std::string clsPLEPictureDataForm::GetFieldType() { return std::string(modPLPictureField::PICTURE_FIELD_TYPE); }

inline std::string clsPLEPictureDataForm::MakeFieldCode(std::string_view strDataFieldName) {
    if (strDataFieldName.empty()) {
        return {};
    }
    return std::string(modPLFieldCode::KEY_PICTURE_FIELD) + " " + std::string(strDataFieldName);
}

}  // namespace paperloom
