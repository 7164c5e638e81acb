#pragma once
// ツール → COM アドイン: the registered add-ins with a connect check box each. The widgets
// only show and edit a ComAddInsModel; the caller applies it when the dialog is accepted.

#include <QDialog>

#include "ComAddInsModel.h"

class QLabel;
class QListWidget;

namespace paperloom::desk {

class ComAddInsDialog final : public QDialog {
public:
    ComAddInsDialog(ComAddInsModel& model, QWidget* owner);

    QListWidget& List() noexcept { return *list_; }

    void showEvent(QShowEvent* event) override;

private:
    ComAddInsModel& model_;
    QListWidget* list_ = nullptr;
    QLabel* details_ = nullptr;
};

}  // namespace paperloom::desk
