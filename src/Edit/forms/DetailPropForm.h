#pragma once
// The window of the detail properties dialog (frmPLEDetailProp) over its model: tab 0 the data
// bind dialog's controls, tab 1 the link keys, the two table options and the bookmark; the
// connection test, OK and cancel below the tabs.

#include <QDialog>

#include "Edit/frmPLEDetailProp.h"

class QCheckBox;
class QComboBox;
class QTabWidget;

namespace paperloom::editforms {

class BindPanel;
class DropDownCombo;

class DetailPropForm final : public QDialog {
public:
    DetailPropForm(frmPLEDetailProp& model, QWidget* owner);
    const frmPLEDetailProp* Model() const { return &model_; }
    void Run();

private:
    void ToControls();

    frmPLEDetailProp& model_;
    QTabWidget* tabDetailProp_;
    BindPanel* panel_;
    QComboBox* cboParentKey_;
    DropDownCombo* cboChildKey_;
    QCheckBox* chkColumnHeaders_;
    QCheckBox* chkAutoAdjustRowCount_;
    QComboBox* cboBookmark_;
};

}  // namespace paperloom::editforms
