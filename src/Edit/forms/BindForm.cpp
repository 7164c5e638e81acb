#include "BindForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "BindPanel.h"
#include "EditFormWidgets.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::editforms {

BindForm::BindForm(clsPLEBindForm& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLEDBBind");
    panel_ = new BindPanel(model_, *this);

    cmdOK_ = Button(this, "cmdOK", "OK");
    cmdOK_->setDefault(true);
    auto* cmdCancel = Button(this, "cmdCancel", "キャンセル");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel_->fraCertification());
    layout->addWidget(panel_->fraDataSource());
    layout->addWidget(panel_->fraRecordSource(), 1);
    layout->addLayout(buttons);
    setMinimumWidth(560);

    std::vector<QWidget*> order = panel_->TabOrder();
    order.push_back(cmdOK_);
    order.push_back(cmdCancel);
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        if (model_.cmdOK_Click()) accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        model_.cmdCancel_Click();
        reject();
    });
}

void BindForm::ToControls() {
    setWindowTitle(Q(model_.strCaption));
    cmdOK_->setText(Q(model_.cmdOKCaption));
    panel_->ToControls();
}

void BindForm::Run() {
    ToControls();
    adjustSize();
    ui::qt::CentreDialog(*this);
    exec();
}

}  // namespace paperloom::editforms
