#pragma once
// The about box's window, shared by both add-ins' forms libraries: product name, subtitle and
// version as the caller's frmPLAboutBox gives them, and OK.

#include <QDialog>

#include "common/frmPLAboutBox.h"

class QLabel;

namespace paperloom::runforms {

class AboutForm final : public QDialog {
public:
    explicit AboutForm(QWidget* owner);
    // Shows the model's texts and runs the box modally.
    void Run(const frmPLAboutBox& model);

private:
    QLabel* Label(const char* name);
    QLabel* product_;
    QLabel* subTitle_;
    QLabel* version_;
};

}  // namespace paperloom::runforms
