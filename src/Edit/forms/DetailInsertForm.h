#pragma once
// The window of the detail insert wizard's page 2 (frmPLEDetailInsert) over its model: link
// keys, the column lists and buttons, row count and bookmark, back, OK and cancel.

#include <QDialog>

#include "Edit/frmPLEDetailInsert.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QTreeWidget;

namespace paperloom::editforms {

class DetailInsertForm final : public QDialog {
public:
    DetailInsertForm(frmPLEDetailInsert& model, QWidget* owner);
    const frmPLEDetailInsert* Model() const { return &model_; }
    void Run();

private:
    void ToControls();
    void SelectionToModel();
    void Field(int index);

    frmPLEDetailInsert& model_;
    QComboBox* cboParentKey_;
    QComboBox* cboChildKey_;
    QListWidget* lstDataFields_;
    QListWidget* lstSupportFields_;
    QLineEdit* txtExpression_;
    QTreeWidget* lstColumns_;
    QComboBox* cboRowCount_;
    QLineEdit* txtBookmark_;
};

}  // namespace paperloom::editforms
