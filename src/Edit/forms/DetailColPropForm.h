#pragma once
// The window of the column properties dialog (frmPLEDetailColProp) over its model: the column's
// content options and boxes, caption, format type and picture, blanking, break with its row
// break settings, the detail's sort, OK and cancel.

#include <QDialog>

#include "Edit/frmPLEDetailColProp.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace paperloom::editforms {

class DetailColPropForm final : public QDialog {
public:
    DetailColPropForm(frmPLEDetailColProp& model, QWidget* owner);
    const frmPLEDetailColProp* Model() const { return &model_; }
    void Run();

private:
    void ToControls();

    frmPLEDetailColProp& model_;
    QRadioButton* optFieldType_[4];
    QComboBox* cboDataField_;
    QCheckBox* chkPictureData_;
    QComboBox* cboSupportField_;
    QLineEdit* txtExpression_;
    QLineEdit* txtCaption_;
    QComboBox* cboFormatType_;
    QComboBox* cboFormat_;
    QCheckBox* chkSkip_;
    QCheckBox* chkBreak_;
    QPushButton* cmdBreak_;
};

}  // namespace paperloom::editforms
