#pragma once
// The window of the data bind dialog (frmPLEDBBind) over a clsPLEBindForm: every control of
// the model, each edit and click passed on to it.

#include <QDialog>

#include "Edit/clsPLEBindForm.h"

class QPushButton;

namespace paperloom::editforms {

class BindPanel;

class BindForm final : public QDialog {
public:
    BindForm(clsPLEBindForm& model, QWidget* owner);
    const clsPLEBindForm* Model() const { return &model_; }
    void Run();

private:
    void ToControls();

    clsPLEBindForm& model_;
    BindPanel* panel_;
    QPushButton* cmdOK_;
};

}  // namespace paperloom::editforms
