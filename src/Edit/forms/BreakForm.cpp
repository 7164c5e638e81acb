#include "BreakForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "EditFormWidgets.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::editforms {
namespace {

QComboBox* Combo(QWidget* parent, const char* name, bool editable) {
    return NamedCombo(parent, name, editable, 14);
}

}  // namespace

BreakForm::BreakForm(frmPLEBreak& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLEBreak");
    setWindowTitle(Q(frmPLEBreak::kCaption));

    lstColCondition_ = new QTreeWidget(this);
    lstColCondition_->setObjectName("lstColCondition");
    lstColCondition_->setRootIsDecorated(false);
    lstColCondition_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstColCondition_->setHeaderLabels({Q("列"), Q("種類"), Q("キャプション／関数"), Q("書式の種類"), Q("書式")});
    lstColCondition_->header()->setStretchLastSection(true);
    for (const auto& [column, width] : {std::pair{0, 90}, {1, 80}, {2, 130}, {3, 110}})
        lstColCondition_->header()->resizeSection(column, width);
    lstColCondition_->setMinimumHeight(150);

    auto* fraCondition = new QGroupBox(Q("選択した列の設定"), this);
    fraCondition->setObjectName("fraCondition");
    const char* captions[] = {"キャプション(&P)", "統計演算(&S)", "なし(&M)"};
    for (int i = 0; i < 3; ++i) {
        optFieldType_[i] = new QRadioButton(Q(captions[i]), fraCondition);
        optFieldType_[i]->setObjectName(QStringLiteral("optFieldType_%1").arg(i));
        connect(optFieldType_[i], &QRadioButton::clicked, this, [this, i] {
            model_.optFieldType_Click(i);
            ToControls();
        });
    }
    txtCaption_ = new QLineEdit(fraCondition);
    txtCaption_->setObjectName("txtCaption");
    cboCalc_ = Combo(fraCondition, "cboCalc", false);
    cboFormatType_ = Combo(fraCondition, "cboFormatType", false);
    cboFormat_ = Combo(fraCondition, "cboFormat", true);
    auto* grid = new QGridLayout(fraCondition);
    grid->addWidget(optFieldType_[0], 0, 0);
    grid->addWidget(txtCaption_, 0, 1);
    grid->addWidget(optFieldType_[1], 1, 0);
    grid->addWidget(cboCalc_, 1, 1);
    grid->addWidget(optFieldType_[2], 2, 0);
    grid->addWidget(Label(fraCondition, "lblFormatType", "書式の種類(&T):", cboFormatType_), 3, 0);
    grid->addWidget(cboFormatType_, 3, 1);
    grid->addWidget(Label(fraCondition, "lblFormat", "書式(&F):", cboFormat_), 4, 0);
    grid->addWidget(cboFormat_, 4, 1);
    grid->setColumnStretch(1, 1);

    auto* cmdUpdate = Button(this, "cmdUpdate", "変更(&E)");
    auto* cmdClear = Button(this, "cmdClear", "クリア(&C)");
    auto* cmdReset = Button(this, "cmdReset", "リセット(&R)");
    auto* rowButtons = new QVBoxLayout;
    rowButtons->addWidget(cmdUpdate);
    rowButtons->addWidget(cmdClear);
    rowButtons->addWidget(cmdReset);
    rowButtons->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(fraCondition, 1);
    middle->addLayout(rowButtons);

    const auto [cmdOK, cmdCancel, buttons] = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstColCondition_, 1);
    layout->addLayout(middle);
    layout->addLayout(buttons);
    resize(600, 440);

    connect(lstColCondition_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        model_.lstColCondition_Click(lstColCondition_->indexOfTopLevelItem(item));
        ToControls();
    });
    connect(txtCaption_, &QLineEdit::textEdited, this, [this](const QString& text) { model_.txtCaption = S(text); });
    connect(cboCalc_, &QComboBox::activated, this, [this](int index) { model_.cboCalcIndex = index; });
    connect(cboFormatType_, &QComboBox::activated, this, [this](int index) {
        model_.cboFormatType_Click(index);
        ToControls();
    });
    connect(cboFormat_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) { model_.cboFormat = S(text); });
    connect(cboFormat_, &QComboBox::activated, this, [this] { model_.cboFormat = S(cboFormat_->currentText()); });
    auto act = [this](QPushButton* button, void (frmPLEBreak::*action)()) {
        connect(button, &QPushButton::clicked, this, [this, action] {
            (model_.*action)();
            ListToControls();
            ToControls();
        });
    };
    act(cmdUpdate, &frmPLEBreak::cmdUpdate_Click);
    act(cmdClear, &frmPLEBreak::cmdClear_Click);
    act(cmdReset, &frmPLEBreak::cmdReset_Click);
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        if (model_.cmdOK_Click()) accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        model_.cmdCancel_Click();
        reject();
    });
}

void BreakForm::ListToControls() {
    const QSignalBlocker quiet(*lstColCondition_);
    lstColCondition_->clear();
    for (const auto& row : model_.lstColCondition)
        new QTreeWidgetItem(lstColCondition_, {Q(row.strText), Q(row.strFieldType), Q(row.strFieldValue),
                                               Q(row.strFormatType), Q(row.strFormat)});
    if (model_.lstSelected >= 0 && model_.lstSelected < lstColCondition_->topLevelItemCount())
        lstColCondition_->setCurrentItem(lstColCondition_->topLevelItem(model_.lstSelected));
}

void BreakForm::ToControls() {
    for (int i = 0; i < 3; ++i) optFieldType_[i]->setChecked(model_.optFieldType == i);
    if (txtCaption_->text() != Q(model_.txtCaption)) txtCaption_->setText(Q(model_.txtCaption));
    SetComboList(*cboCalc_, model_.cboCalcList, model_.CalcText());
    SetBoxEnabled(*txtCaption_, model_.CaptionEnabled());
    SetBoxEnabled(*cboCalc_, model_.CalcEnabled());
    ShowFormatBoxes(*cboFormatType_, *cboFormat_, model_, model_.FormatTypeEnabled());
}

void BreakForm::Run() {
    ListToControls();
    ToControls();
    ui::qt::CentreDialog(*this);
    exec();
}

}  // namespace paperloom::editforms
