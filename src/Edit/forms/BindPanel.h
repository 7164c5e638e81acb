#pragma once
// The controls of the data bind dialog over a clsPLEBindForm, shared by the dialog's own window
// and the detail properties dialog's first tab: the credentials, the connection's source with
// the test button, and the record source, each edit and click passed on to the model. The
// panel makes the three frames as children of the widget it is given; its owner lays them out.

#include <QObject>

#include "Edit/clsPLEBindForm.h"

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace paperloom::editforms {

class DropDownCombo;

class BindPanel final : public QObject {
public:
    // cmdTest goes into the data-source frame, or, with testButtonParent, is left for the owner
    // to place (the detail properties dialog has it below its tabs).
    BindPanel(clsPLEBindForm& model, QWidget& parent, QWidget* testButtonParent = nullptr);

    QGroupBox* fraCertification() const { return fraCertification_; }
    QGroupBox* fraDataSource() const { return fraDataSource_; }
    QGroupBox* fraRecordSource() const { return fraRecordSource_; }
    QPushButton* cmdTest() const { return cmdTest_; }
    // The panel's controls in the order Tab goes through them.
    std::vector<QWidget*> TabOrder() const;

    // Shows the model's state without reporting it back as the user's change.
    void ToControls();

private:
    void Act(void (clsPLEBindForm::*action)());

    clsPLEBindForm& model_;
    QGroupBox* fraCertification_;
    QGroupBox* fraDataSource_;
    QGroupBox* fraRecordSource_;
    QLineEdit* txtUserName_;
    QLineEdit* txtPassword_;
    QRadioButton* optDataSource_[3];
    DropDownCombo* cboDataSource_;
    QLineEdit* txtConnection_;
    QPushButton* cmdConnection_;
    QLineEdit* txtUDL_;
    QPushButton* cmdUDL_;
    QPushButton* cmdTest_;
    QRadioButton* optRecordSource_[3];
    DropDownCombo* cboTable_;
    QPushButton* cmdRSWhere_;
    QPushButton* cmdRSOrder_;
    DropDownCombo* cboProcedure_;
    QPlainTextEdit* txtRecordSource_;
    bool filling_ = false;
};

}  // namespace paperloom::editforms
