#include "HeadFieldForm.h"

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

HeadFieldForm::HeadFieldForm(frmPLEHeadField& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLEHeadField");
    setWindowTitle(Q(model_.strCaption));

    auto* fraFieldType = new QGroupBox(Q("フィールドの種類"), this);
    fraFieldType->setObjectName("fraFieldType");
    const char* captions[] = {"データ フィールド(&D)", "サポート フィールド(&S)"};
    for (int i = 0; i < 2; ++i) {
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
    cboSupportField_ = Combo(fraFieldType, "cboSupportField", true);
    auto* kinds = new QGridLayout(fraFieldType);
    kinds->addWidget(optFieldType_[0], 0, 0, 1, 2);
    kinds->addWidget(cboDataField_, 1, 1);
    kinds->addWidget(chkPictureData_, 2, 1);
    kinds->addWidget(optFieldType_[1], 3, 0, 1, 2);
    kinds->addWidget(cboSupportField_, 4, 1);
    kinds->setColumnMinimumWidth(0, 16);
    kinds->setColumnStretch(1, 1);

    auto* fraFormat = new QGroupBox(Q("書式"), this);
    fraFormat->setObjectName("fraFormat");
    cboFormatType_ = Combo(fraFormat, "cboFormatType", false);
    cboFormat_ = Combo(fraFormat, "cboFormat", true);
    auto* lblFormatType = new QLabel(Q("種類(&T):"), fraFormat);
    lblFormatType->setObjectName("lblFormatType");
    lblFormatType->setBuddy(cboFormatType_);
    auto* lblFormat = new QLabel(Q("書式(&F):"), fraFormat);
    lblFormat->setObjectName("lblFormat");
    lblFormat->setBuddy(cboFormat_);
    auto* formats = new QGridLayout(fraFormat);
    formats->addWidget(lblFormatType, 0, 0);
    formats->addWidget(cboFormatType_, 0, 1);
    formats->addWidget(lblFormat, 1, 0);
    formats->addWidget(cboFormat_, 1, 1);
    formats->setColumnStretch(1, 1);

    const auto [cmdOK, cmdCancel, buttons] = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraFieldType);
    layout->addWidget(fraFormat);
    layout->addLayout(buttons);

    // The editable boxes' text into the model as the user types or picks.
    auto text = [this](QComboBox* box, std::string frmPLEHeadField::*field) {
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, field](const QString& value) {
            model_.*field = S(value);
            model_.Control_Change();
        });
        connect(box, &QComboBox::activated, this, [this, box, field] {
            model_.*field = S(box->currentText());
            model_.Control_Change();
        });
    };
    text(cboDataField_, &frmPLEHeadField::cboDataField);
    text(cboSupportField_, &frmPLEHeadField::cboSupportField);
    text(cboFormat_, &frmPLEHeadField::cboFormat);
    connect(chkPictureData_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.chkPictureData_Click(checked);
        ToControls();
    });
    connect(cboFormatType_, &QComboBox::activated, this, [this](int index) {
        model_.cboFormatType_Click(index);
        ToControls();
    });

    connect(cmdOK, &QPushButton::clicked, this, [this] {
        model_.cmdOK_Click();
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        model_.cmdCancel_Click();
        reject();
    });
}

void HeadFieldForm::ToControls() {
    setWindowTitle(Q(model_.strCaption));
    for (int i = 0; i < 2; ++i) optFieldType_[i]->setChecked(model_.optFieldType == i);
    SetComboList(*cboDataField_, model_.cboDataFieldList, model_.cboDataField);
    SetComboList(*cboSupportField_, model_.cboSupportFieldList, model_.cboSupportField);
    {
        const QSignalBlocker quiet(*chkPictureData_);
        chkPictureData_->setChecked(model_.chkPictureData);
    }
    chkPictureData_->setEnabled(model_.PictureDataEnabled());
    SetBoxEnabled(*cboDataField_, model_.DataFieldEnabled());
    SetBoxEnabled(*cboSupportField_, model_.SupportFieldEnabled());

    ShowFormatBoxes(*cboFormatType_, *cboFormat_, model_, true);
}

void HeadFieldForm::Run() {
    ToControls();
    adjustSize();
    ui::qt::CentreDialog(*this);
    exec();
}

}  // namespace paperloom::editforms
