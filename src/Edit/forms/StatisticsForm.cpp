#include "StatisticsForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "EditFormWidgets.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::editforms {
namespace {

QComboBox* Combo(QWidget* parent, const char* name, bool editable) {
    return NamedCombo(parent, name, editable, 16);
}

}  // namespace

StatisticsForm::StatisticsForm(frmPLEStatistics& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLEStatistics");
    setWindowTitle(Q(frmPLEStatistics::kCaption));

    cboFunction_ = Combo(this, "cboFunction", false);
    cboBookmark_ = Combo(this, "cboBookmark", true);
    cboColumn_ = new DropDownCombo(this, "cboColumn", true);
    cboColumn_->setMinimumContentsLength(16);
    auto* fields = new QGridLayout;
    fields->addWidget(Label(this, "lblFunction", "統計関数(&F):", cboFunction_), 0, 0);
    fields->addWidget(cboFunction_, 0, 1);
    fields->addWidget(Label(this, "lblBookmark", "明細データ部のブックマーク(&B):", cboBookmark_), 1, 0);
    fields->addWidget(cboBookmark_, 1, 1);
    fields->addWidget(Label(this, "lblColumn", "対象列(&C):", cboColumn_), 2, 0);
    fields->addWidget(cboColumn_, 2, 1);
    fields->setColumnStretch(1, 1);

    auto* fraFormat = new QGroupBox(Q("書式"), this);
    fraFormat->setObjectName("fraFormat");
    cboFormatType_ = Combo(fraFormat, "cboFormatType", false);
    cboFormat_ = Combo(fraFormat, "cboFormat", true);
    auto* formats = new QGridLayout(fraFormat);
    formats->addWidget(Label(fraFormat, "lblFormatType", "種類(&T):", cboFormatType_), 0, 0);
    formats->addWidget(cboFormatType_, 0, 1);
    formats->addWidget(Label(fraFormat, "lblFormat", "書式(&O):", cboFormat_), 1, 0);
    formats->addWidget(cboFormat_, 1, 1);
    formats->setColumnStretch(1, 1);

    const auto [cmdOK, cmdCancel, buttons] = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(fraFormat);
    layout->addLayout(buttons);

    connect(cboFunction_, &QComboBox::activated, this, [this] {
        model_.cboFunction = S(cboFunction_->currentText());
        model_.cboFunction_Click();
    });
    // The editable boxes' text into the model as the user types or picks.
    auto text = [this](QComboBox* box, std::string frmPLEStatistics::*field, void (frmPLEStatistics::*changed)()) {
        connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, field, changed](const QString& value) {
            model_.*field = S(value);
            (model_.*changed)();
        });
        connect(box, &QComboBox::activated, this, [this, box, field, changed] {
            model_.*field = S(box->currentText());
            (model_.*changed)();
        });
    };
    text(cboBookmark_, &frmPLEStatistics::cboBookmark, &frmPLEStatistics::cboBookmark_Click);
    text(cboColumn_, &frmPLEStatistics::cboColumn, &frmPLEStatistics::cboColumn_Click);
    text(cboFormat_, &frmPLEStatistics::cboFormat, &frmPLEStatistics::cboFormat_Change);
    cboColumn_->beforeDropDown = [this] {
        model_.cboColumn_DropDown();
        SetComboList(*cboColumn_, model_.cboColumnList, model_.cboColumn);
    };
    connect(cboFormatType_, &QComboBox::activated, this, [this](int index) {
        model_.cboFormatType_Click(index);
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

void StatisticsForm::ToControls() {
    {
        const QSignalBlocker quiet(*cboFunction_);
        cboFunction_->clear();
        for (const auto& function : model_.cboFunctionList) cboFunction_->addItem(Q(function));
        cboFunction_->setCurrentIndex(cboFunction_->findText(Q(model_.cboFunction)));
    }
    SetComboList(*cboBookmark_, model_.cboBookmarkList, model_.cboBookmark);
    SetComboList(*cboColumn_, model_.cboColumnList, model_.cboColumn);
    ShowFormatBoxes(*cboFormatType_, *cboFormat_, model_, true);
}

void StatisticsForm::Run() {
    ToControls();
    adjustSize();
    ui::qt::CentreDialog(*this);
    exec();
}

}  // namespace paperloom::editforms
