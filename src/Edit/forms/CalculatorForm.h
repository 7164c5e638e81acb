#pragma once
// The window of the calculator (frmPLECalculator) over its model: the formula box with its
// caret, the function and bookmark lists with their insert buttons, and the number picture.

#include <QDialog>

#include "Edit/frmPLECalculator.h"

class QComboBox;
class QLineEdit;
class QListWidget;

namespace paperloom::editforms {

class CalculatorForm final : public QDialog {
public:
    CalculatorForm(frmPLECalculator& model, QWidget* owner);
    const frmPLECalculator* Model() const { return &model_; }
    void Run();

private:
    void ToControls();
    void ShowFormula();  // the formula and its caret
    // The lists' selections into the model, then the insertion and the formula box again.
    void Insert(void (frmPLECalculator::*insert)());

    frmPLECalculator& model_;
    QLineEdit* txtCalc_;
    QListWidget* lstFunction_;
    QListWidget* lstBookmark_;
    QComboBox* cboFormat_;
};

}  // namespace paperloom::editforms
