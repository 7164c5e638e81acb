#include "DetailColPropForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "EditFormWidgets.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::editforms {
namespace {

QComboBox* Combo(QWidget* parent, const char* name, bool editable) {
    return NamedCombo(parent, name, editable, 18);
}

}  // namespace

DetailColPropForm::DetailColPropForm(frmPLEDetailColProp& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLEDetailColProp");
    setWindowTitle(Q(frmPLEDetailColProp::kCaption));

    auto* fraFieldType = new QGroupBox(Q("列の内容"), this);
    fraFieldType->setObjectName("fraFieldType");
    const char* captions[] = {"データ フィールド(&D)", "サポート フィールド(&S)", "計算式(&E)", "なし(&M)"};
    for (int i = 0; i < 4; ++i) {
        optFieldType_[i] = new QRadioButton(Q(captions[i]), fraFieldType);
        optFieldType_[i]->setObjectName(QStringLiteral("optFieldType_%1").arg(i));
        connect(optFieldType_[i], &QRadioButton::clicked, this, [this, i] {
            model_.optFieldType_Click(i);
            ToControls();
        });
    }
    cboDataField_ = Combo(fraFieldType, "cboDataField", true);
    chkPictureData_ = new QCheckBox(Q("画像データ(&P)"), fraFieldType);
    chkPictureData_->setObjectName("chkPictureData");
    cboSupportField_ = Combo(fraFieldType, "cboSupportField", false);
    txtExpression_ = new QLineEdit(fraFieldType);
    txtExpression_->setObjectName("txtExpression");
    auto* kinds = new QGridLayout(fraFieldType);
    kinds->addWidget(optFieldType_[0], 0, 0, 1, 2);
    kinds->addWidget(cboDataField_, 1, 1);
    kinds->addWidget(chkPictureData_, 2, 1);
    kinds->addWidget(optFieldType_[1], 3, 0, 1, 2);
    kinds->addWidget(cboSupportField_, 4, 1);
    kinds->addWidget(optFieldType_[2], 5, 0, 1, 2);
    kinds->addWidget(txtExpression_, 6, 1);
    kinds->addWidget(optFieldType_[3], 7, 0, 1, 2);
    kinds->setColumnMinimumWidth(0, 16);
    kinds->setColumnStretch(1, 1);

    txtCaption_ = new QLineEdit(this);
    txtCaption_->setObjectName("txtCaption");
    auto* caption = new QHBoxLayout;
    caption->addWidget(Label(this, "lblCaption", "列見出し(&N):", txtCaption_));
    caption->addWidget(txtCaption_, 1);

    auto* fraFormat = new QGroupBox(Q("書式"), this);
    fraFormat->setObjectName("fraFormat");
    cboFormatType_ = Combo(fraFormat, "cboFormatType", false);
    cboFormat_ = Combo(fraFormat, "cboFormat", true);
    auto* formats = new QGridLayout(fraFormat);
    formats->addWidget(Label(fraFormat, "lblFormatType", "種類(&T):", cboFormatType_), 0, 0);
    formats->addWidget(cboFormatType_, 0, 1);
    formats->addWidget(Label(fraFormat, "lblFormat", "書式(&F):", cboFormat_), 1, 0);
    formats->addWidget(cboFormat_, 1, 1);
    formats->setColumnStretch(1, 1);

    auto* fraBreak = new QGroupBox(Q("同一値と行ブレーク"), this);
    fraBreak->setObjectName("fraBreak");
    chkSkip_ = new QCheckBox(Q("同一値空白表示(&A)"), fraBreak);
    chkSkip_->setObjectName("chkSkip");
    chkBreak_ = new QCheckBox(Q("行ブレーク(&B)"), fraBreak);
    chkBreak_->setObjectName("chkBreak");
    cmdBreak_ = Button(fraBreak, "cmdBreak", "行ブレーク設定(&G)...");
    auto* cmdSort = Button(fraBreak, "cmdSort", "明細データ部のソート条件(&R)...");
    auto* breaks = new QGridLayout(fraBreak);
    breaks->addWidget(chkSkip_, 0, 0);
    breaks->addWidget(chkBreak_, 1, 0);
    breaks->addWidget(cmdBreak_, 1, 1);
    breaks->addWidget(cmdSort, 2, 0, 1, 2, Qt::AlignLeft);
    breaks->setColumnStretch(0, 1);

    const auto [cmdOK, cmdCancel, buttons] = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraFieldType);
    layout->addLayout(caption);
    layout->addWidget(fraFormat);
    layout->addWidget(fraBreak);
    layout->addLayout(buttons);

    // Typed or picked text goes into the model as the user changes it.
    auto line = [this](QLineEdit* box, std::string frmPLEDetailColProp::*field) {
        connect(box, &QLineEdit::textEdited, this, [this, field](const QString& value) {
            model_.*field = S(value);
            model_.Control_Change();
        });
    };
    auto combo = [this, line](QComboBox* box, std::string frmPLEDetailColProp::*field) {
        if (box->lineEdit()) line(box->lineEdit(), field);
        connect(box, &QComboBox::activated, this, [this, box, field] {
            model_.*field = S(box->currentText());
            model_.Control_Change();
        });
    };
    line(txtExpression_, &frmPLEDetailColProp::txtExpression);
    line(txtCaption_, &frmPLEDetailColProp::txtCaption);
    combo(cboDataField_, &frmPLEDetailColProp::cboDataField);
    combo(cboSupportField_, &frmPLEDetailColProp::cboSupportField);
    combo(cboFormat_, &frmPLEDetailColProp::cboFormat);
    connect(chkPictureData_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.chkPictureData = checked;
        model_.Control_Change();
    });
    connect(cboFormatType_, &QComboBox::activated, this, [this](int index) {
        model_.cboFormatType_Click(index);
        ToControls();
    });
    connect(chkSkip_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.chkSkip = checked;
        model_.chkSkip_Click();
    });
    connect(chkBreak_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.chkBreak = checked;
        model_.chkBreak_Click();
        ToControls();
    });
    connect(cmdBreak_, &QPushButton::clicked, this, [this] {
        model_.cmdBreak_Click();
        ToControls();
    });
    connect(cmdSort, &QPushButton::clicked, this, [this] {
        model_.cmdSort_Click();
        ToControls();
    });
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        if (model_.cmdOK_Click()) accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        model_.cmdCancel_Click();
        reject();
    });
}

void DetailColPropForm::ToControls() {
    for (int i = 0; i < 4; ++i) optFieldType_[i]->setChecked(model_.optFieldType == i);
    SetComboList(*cboDataField_, model_.cboDataFieldList, model_.cboDataField);
    SetComboList(*cboSupportField_, model_.cboSupportFieldList, model_.cboSupportField);
    if (txtExpression_->text() != Q(model_.txtExpression)) txtExpression_->setText(Q(model_.txtExpression));
    if (txtCaption_->text() != Q(model_.txtCaption)) txtCaption_->setText(Q(model_.txtCaption));
    chkPictureData_->setChecked(model_.chkPictureData);
    chkPictureData_->setEnabled(model_.PictureDataEnabled());
    SetBoxEnabled(*cboDataField_, model_.DataFieldEnabled());
    SetBoxEnabled(*cboSupportField_, model_.SupportFieldEnabled());
    SetBoxEnabled(*txtExpression_, model_.ExpressionEnabled());
    ShowFormatBoxes(*cboFormatType_, *cboFormat_, model_, model_.cboFormatTypeEnabled);
    chkSkip_->setChecked(model_.chkSkip);
    chkSkip_->setEnabled(model_.chkSkipEnabled);
    chkBreak_->setChecked(model_.chkBreak);
    chkBreak_->setEnabled(model_.chkBreakEnabled);
    cmdBreak_->setEnabled(model_.cmdBreakEnabled);
}

void DetailColPropForm::Run() {
    ToControls();
    adjustSize();
    ui::qt::CentreDialog(*this);
    exec();
}

}  // namespace paperloom::editforms
