#include "AboutForm.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "FormWidgets.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::runforms {

AboutForm::AboutForm(QWidget* owner) : QDialog(owner) {
    setObjectName("frmPLAboutBox");
    product_ = Label("lblProductName");
    QFont big = product_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    product_->setFont(big);
    subTitle_ = Label("lblSubTitle");
    version_ = Label("lblVersion");
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(product_);
    layout->addWidget(subTitle_);
    layout->addWidget(version_);
    layout->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutForm::Run(const frmPLAboutBox& model) {
    setWindowTitle(Q(model.strCaption));
    product_->setText(Q(model.lblProductName));
    subTitle_->setText(Q(model.lblSubTitle));
    // The designer sets no subtitle; an empty line would only leave a gap.
    subTitle_->setVisible(!model.lblSubTitle.empty());
    version_->setText(Q(model.lblVersion));
    // Wide enough for its window title, which is longer than anything in the box and would
    // otherwise be cut short by the title bar.
    const int titleWidth = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(windowTitle());
    setMinimumWidth(titleWidth + 120);
    adjustSize();
    ui::qt::CentreDialog(*this);
    exec();
}

QLabel* AboutForm::Label(const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(name);
    return label;
}

}  // namespace paperloom::runforms
