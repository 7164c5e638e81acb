#pragma once
// The format boxes several designer dialogs share (header field, column properties, row break
// settings, statistics field): a format-type list of four captions ("\# (数値)", "\@ (日付／時刻)",
// "\* (文字列)", "なし") and a picture box whose ready-made pictures follow the chosen type. The
// form keeps the boxes as model state in FormatBoxes; this class fills and reads them.

#include <string>
#include <string_view>
#include <vector>

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

}  // namespace paperloom
