#pragma once
// The windows of the filter and sort editors: they show a clsPLFilterEditor or
// clsPLSortEditor and pass every click to it.

#include <QDialog>

#include "common/clsPLFilterEditor.h"
#include "common/clsPLSortEditor.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QTreeWidget;

namespace paperloom::runforms {

class FilterForm final : public QDialog {
public:
    FilterForm(clsPLFilterEditor& model, QWidget* owner);
    const clsPLFilterEditor* Model() const { return &model_; }
    // Shows the editor's state and runs the dialog modally.
    void Run();

private:
    void ToControls();
    void FromControls();
    void ShowList();
    void Edit(int index);

    clsPLFilterEditor& model_;
    QRadioButton* optAnd_;
    QRadioButton* optOr_;
    QComboBox* cboOpenParenthesis_;
    QComboBox* cboDataField_;
    QComboBox* cboComparisonOperator_;
    QLineEdit* txtComparisonValue_;
    QComboBox* cboCloseParenthesis_;
    QTreeWidget* lstCondition_;
};

class SortForm final : public QDialog {
public:
    SortForm(clsPLSortEditor& model, QWidget* owner);
    const clsPLSortEditor* Model() const { return &model_; }
    void Run();

private:
    void ToControls();
    void FromControls();
    void ShowList();
    void Edit(int index);

    clsPLSortEditor& model_;
    QComboBox* cboDataField_;
    QRadioButton* optAscending_;
    QRadioButton* optDescending_;
    QTreeWidget* lstCondition_;
};

}  // namespace paperloom::runforms
