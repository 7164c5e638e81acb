#include "ComAddInsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::desk {

ComAddInsDialog::ComAddInsDialog(ComAddInsModel& model, QWidget* owner) : QDialog(owner), model_(model) {
    setWindowTitle("COM アドイン");
    setObjectName("frmCOMAddIns");
    // Widgets below are owned by the dialog through its layout.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("使用できるアドイン(&D):", this));
    list_ = new QListWidget(this);
    list_->setObjectName("lstAddIns");
    for (const auto& row : model_.Rows()) {
        auto* item = new QListWidgetItem(QString::fromStdString(row.friendlyName), list_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(row.checked ? Qt::Checked : Qt::Unchecked);
        item->setData(Qt::UserRole, QString::fromStdString(row.progId));
    }
    layout->addWidget(list_);
    details_ = new QLabel(this);
    details_->setObjectName("lblDetails");
    details_->setWordWrap(true);
    layout->addWidget(details_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    buttons->button(QDialogButtonBox::Cancel)->setText("キャンセル");
    layout->addWidget(buttons);

    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        model_.SetChecked(static_cast<std::size_t>(list_->row(item)), item->checkState() == Qt::Checked);
    });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        details_->setText(row < 0 ? QString() : QString::fromStdString(model_.DetailsText(static_cast<std::size_t>(row))));
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (list_->count() > 0) list_->setCurrentRow(0);
    resize(460, 320);
}

void ComAddInsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui::qt::CentreDialog(*this);
}

}  // namespace paperloom::desk
