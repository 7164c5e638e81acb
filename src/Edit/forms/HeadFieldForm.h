#pragma once
// The window of the header field dialog (frmPLEHeadField) over its model: the field kind
// options with their boxes, the picture data box, the format type and picture, OK and cancel.

#include <QDialog>

#include "Edit/frmPLEHeadField.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace paperloom::editforms {

class HeadFieldForm final : public QDialog {
public:
    HeadFieldForm(frmPLEHeadField& model, QWidget* owner);
    const frmPLEHeadField* Model() const { return &model_; }
    void Run();

private:
    void ToControls();

    frmPLEHeadField& model_;
    QRadioButton* optFieldType_[2];
    QComboBox* cboDataField_;
    QCheckBox* chkPictureData_;
    QComboBox* cboSupportField_;
    QComboBox* cboFormatType_;
    QComboBox* cboFormat_;
};

}  // namespace paperloom::editforms
