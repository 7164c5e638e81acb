#pragma once
// The window of the statistics field dialog (frmPLEStatistics) over its model: function,
// detail table bookmark, column (listed as it drops down), format type and picture.

#include <QDialog>

#include "Edit/frmPLEStatistics.h"

class QComboBox;

namespace paperloom::editforms {

class DropDownCombo;

class StatisticsForm final : public QDialog {
public:
    StatisticsForm(frmPLEStatistics& model, QWidget* owner);
    const frmPLEStatistics* Model() const { return &model_; }
    void Run();

private:
    void ToControls();

    frmPLEStatistics& model_;
    QComboBox* cboFunction_;
    QComboBox* cboBookmark_;
    DropDownCombo* cboColumn_;
    QComboBox* cboFormatType_;
    QComboBox* cboFormat_;
};

}  // namespace paperloom::editforms
