#pragma once
// The windows of the bind dialog's outside components: the connection string editor and the
// data link file chooser.

#include <QDialog>

#include "Edit/ConnectionEditor.h"
#include "Edit/DataLinkEditor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace paperloom::editforms {

class ConnectionForm final : public QDialog {
public:
    ConnectionForm(edit::ConnectionEditor& model, QWidget* owner);
    const edit::ConnectionEditor* Model() const { return &model_; }
    void Run();

private:
    void ToControls();

    edit::ConnectionEditor& model_;
    QComboBox* cboDriver_;
    QTableWidget* lstKeywords_;
    QLineEdit* txtKeyword_;
    QLineEdit* txtConnection_;
    bool filling_ = false;
};

class DataLinkForm final : public QDialog {
public:
    DataLinkForm(edit::DataLinkEditor& model, QWidget* owner);
    const edit::DataLinkEditor* Model() const { return &model_; }
    void Run();

private:
    void ToControls();

    edit::DataLinkEditor& model_;
    QLineEdit* txtPath_;
    QLabel* lblStatus_;
    QLineEdit* txtConnection_;
};

}  // namespace paperloom::editforms
