#include "DetailPropForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "BindPanel.h"
#include "EditFormWidgets.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::editforms {
namespace {

QCheckBox* CheckBox(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(Q(caption), parent);
    box->setObjectName(name);
    return box;
}

}  // namespace

DetailPropForm::DetailPropForm(frmPLEDetailProp& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLEDetailProp");
    setWindowTitle(Q(frmPLEDetailProp::kCaption));

    tabDetailProp_ = new QTabWidget(this);
    tabDetailProp_->setObjectName("tabDetailProp");

    // Tab 0: the data bind dialog's frames; the connection test sits below the tabs.
    auto* bindPage = new QWidget(tabDetailProp_);
    bindPage->setObjectName("tabDetailProp_0");
    panel_ = new BindPanel(model_.Bind(), *bindPage, this);
    auto* bindLayout = new QVBoxLayout(bindPage);
    bindLayout->addWidget(panel_->fraCertification());
    bindLayout->addWidget(panel_->fraDataSource());
    bindLayout->addWidget(panel_->fraRecordSource(), 1);
    tabDetailProp_->addTab(bindPage, Q("データ バインド"));

    // Tab 1: link keys, table options, bookmark.
    auto* generalPage = new QWidget(tabDetailProp_);
    generalPage->setObjectName("tabDetailProp_1");
    auto* fraLinkKey = new QGroupBox(Q("リンクキー フィールド"), generalPage);
    fraLinkKey->setObjectName("fraLinkKey");
    cboParentKey_ = new DropDownCombo(fraLinkKey, "cboParentKey", true);
    cboChildKey_ = new DropDownCombo(fraLinkKey, "cboChildKey", true);
    auto* keys = new QGridLayout(fraLinkKey);
    keys->addWidget(Label(fraLinkKey, "lblParentKey", "基本データ部(&K):", cboParentKey_), 0, 0);
    keys->addWidget(cboParentKey_, 0, 1);
    keys->addWidget(Label(fraLinkKey, "lblChildKey", "明細データ部(&F):", cboChildKey_), 1, 0);
    keys->addWidget(cboChildKey_, 1, 1);
    keys->setColumnStretch(1, 1);
    chkColumnHeaders_ = CheckBox(generalPage, "chkColumnHeaders", "1行目をカラム ヘッダとして利用する(&H)");
    chkAutoAdjustRowCount_ = CheckBox(generalPage, "chkAutoAdjustRowCount", "行数の自動調整(&A)");
    cboBookmark_ = new DropDownCombo(generalPage, "cboBookmark", true);
    auto* generalLayout = new QVBoxLayout(generalPage);
    generalLayout->addWidget(fraLinkKey);
    generalLayout->addSpacing(8);
    generalLayout->addWidget(chkColumnHeaders_);
    generalLayout->addWidget(chkAutoAdjustRowCount_);
    generalLayout->addSpacing(8);
    generalLayout->addWidget(Label(generalPage, "lblBookmark", "表に割り当てるブックマーク(&M):", cboBookmark_));
    generalLayout->addWidget(cboBookmark_);
    generalLayout->addStretch();
    tabDetailProp_->addTab(generalPage, Q("全般"));

    auto* cmdOK = Button(this, "cmdOK", "OK");
    cmdOK->setDefault(true);
    auto* cmdCancel = Button(this, "cmdCancel", "キャンセル");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(panel_->cmdTest());
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabDetailProp_, 1);
    layout->addLayout(buttons);
    setMinimumWidth(560);

    // Tab 1's boxes into the model as the user changes them.
    auto text = [this](QComboBox* box, std::string frmPLEDetailProp::*field) {
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, field](const QString& value) {
            model_.*field = S(value);
            model_.Control_Change();
        });
        connect(box, &QComboBox::activated, this, [this, box, field] {
            model_.*field = S(box->currentText());
            model_.Control_Change();
        });
    };
    text(cboParentKey_, &frmPLEDetailProp::cboParentKey);
    text(cboChildKey_, &frmPLEDetailProp::cboChildKey);
    text(cboBookmark_, &frmPLEDetailProp::cboBookmark);
    cboChildKey_->beforeDropDown = [this] {
        model_.cboChildKey = S(cboChildKey_->currentText());
        model_.cboChildKey_DropDown();
        SetComboList(*cboChildKey_, model_.cboChildKeyList, model_.cboChildKey);
    };
    auto check = [this](QCheckBox* box, bool frmPLEDetailProp::*field) {
        connect(box, &QCheckBox::clicked, this, [this, field](bool checked) {
            model_.*field = checked;
            model_.Control_Change();
        });
    };
    check(chkColumnHeaders_, &frmPLEDetailProp::chkColumnHeaders);
    check(chkAutoAdjustRowCount_, &frmPLEDetailProp::chkAutoAdjustRowCount);
    connect(tabDetailProp_, &QTabWidget::currentChanged, this, [this](int index) { model_.tabDetailProp = index; });

    connect(cmdOK, &QPushButton::clicked, this, [this] {
        if (model_.cmdOK_Click())
            accept();
        else
            ToControls();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        model_.cmdCancel_Click();
        reject();
    });
}

void DetailPropForm::ToControls() {
    panel_->ToControls();
    SetComboList(*cboParentKey_, model_.cboParentKeyList, model_.cboParentKey);
    SetComboList(*cboChildKey_, model_.cboChildKeyList, model_.cboChildKey);
    SetComboList(*cboBookmark_, model_.cboBookmarkList, model_.cboBookmark);
    chkColumnHeaders_->setChecked(model_.chkColumnHeaders);
    chkAutoAdjustRowCount_->setChecked(model_.chkAutoAdjustRowCount);
    const QSignalBlocker quiet(*tabDetailProp_);
    tabDetailProp_->setCurrentIndex(model_.tabDetailProp);
}

void DetailPropForm::Run() {
    ToControls();
    adjustSize();
    ui::qt::CentreDialog(*this);
    exec();
}

}  // namespace paperloom::editforms
