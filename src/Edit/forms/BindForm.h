#pragma once
// The window of the data bind dialog (frmPLEDBBind) over a clsPLEBindForm: every control of
// the model, each edit and click passed on to it.

#include <QDialog>

#include "Edit/clsPLEBindForm.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace paperloom::editforms {

class DropDownCombo;

class BindForm final : public QDialog {
public:
    BindForm(clsPLEBindForm& model, QWidget* owner);
    const clsPLEBindForm* Model() const { return &model_; }
    void Run();

private:
    void ToControls();
    void Changed();
    void Act(void (clsPLEBindForm::*action)());

    clsPLEBindForm& model_;
    QLineEdit* txtUserName_;
    QLineEdit* txtPassword_;
    QRadioButton* optDataSource_[3];
    DropDownCombo* cboDataSource_;
    QLineEdit* txtConnection_;
    QPushButton* cmdConnection_;
    QLineEdit* txtUDL_;
    QPushButton* cmdUDL_;
    QRadioButton* optRecordSource_[3];
    DropDownCombo* cboTable_;
    QPushButton* cmdRSWhere_;
    QPushButton* cmdRSOrder_;
    DropDownCombo* cboProcedure_;
    QPlainTextEdit* txtRecordSource_;
    QPushButton* cmdOK_;
    bool filling_ = false;
};

}  // namespace paperloom::editforms
