#pragma once
// The window of the row break settings (frmPLEBreak) over its model: the list of the table's
// columns with what the break row shows in each, the boxes of the selected row, and the update,
// clear, reset, OK and cancel buttons.

#include <QDialog>

#include "Edit/frmPLEBreak.h"

class QComboBox;
class QLineEdit;
class QRadioButton;
class QTreeWidget;

namespace paperloom::editforms {

class BreakForm final : public QDialog {
public:
    BreakForm(frmPLEBreak& model, QWidget* owner);
    const frmPLEBreak* Model() const { return &model_; }
    void Run();

private:
    void ToControls();
    void ListToControls();

    frmPLEBreak& model_;
    QTreeWidget* lstColCondition_;
    QRadioButton* optFieldType_[3];
    QLineEdit* txtCaption_;
    QComboBox* cboCalc_;
    QComboBox* cboFormatType_;
    QComboBox* cboFormat_;
};

}  // namespace paperloom::editforms
