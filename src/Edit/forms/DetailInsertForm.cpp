#include "DetailInsertForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "EditFormWidgets.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::editforms {
namespace {

QComboBox* Combo(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

void FillList(QListWidget& list, const std::vector<DetailListEntry>& entries) {
    const QSignalBlocker quiet(list);
    list.clear();
    for (const auto& entry : entries) {
        auto* item = new QListWidgetItem(Q(entry.strText), &list);
        item->setSelected(entry.blnSelected);
    }
}

void ListToModel(const QListWidget& list, std::vector<DetailListEntry>& entries) {
    for (int i = 0; i < list.count() && i < static_cast<int>(entries.size()); ++i)
        entries[static_cast<std::size_t>(i)].blnSelected = list.item(i)->isSelected();
}

}  // namespace

DetailInsertForm::DetailInsertForm(frmPLEDetailInsert& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLEDetailInsert");
    setWindowTitle(Q(frmPLEDetailInsert::kCaption));

    auto* fraLinkKey = new QGroupBox(Q("リンクキー フィールド"), this);
    fraLinkKey->setObjectName("fraLinkKey");
    cboParentKey_ = Combo(fraLinkKey, "cboParentKey");
    cboChildKey_ = Combo(fraLinkKey, "cboChildKey");
    auto* keys = new QGridLayout(fraLinkKey);
    keys->addWidget(Label(fraLinkKey, "lblParentKey", "基本データ部(&K):", cboParentKey_), 0, 0);
    keys->addWidget(cboParentKey_, 0, 1);
    keys->addWidget(Label(fraLinkKey, "lblChildKey", "明細データ部(&C):", cboChildKey_), 0, 2);
    keys->addWidget(cboChildKey_, 0, 3);
    keys->setColumnStretch(1, 1);
    keys->setColumnStretch(3, 1);

    auto* fraColumns = new QGroupBox(Q("列の設定"), this);
    fraColumns->setObjectName("fraColumns");
    lstDataFields_ = new QListWidget(fraColumns);
    lstDataFields_->setObjectName("lstDataFields");
    lstDataFields_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstSupportFields_ = new QListWidget(fraColumns);
    lstSupportFields_->setObjectName("lstSupportFields");
    lstSupportFields_->setMaximumHeight(48);
    txtExpression_ = new QLineEdit(fraColumns);
    txtExpression_->setObjectName("txtExpression");
    lstColumns_ = new QTreeWidget(fraColumns);
    lstColumns_->setObjectName("lstColumns");
    lstColumns_->setRootIsDecorated(false);
    lstColumns_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstColumns_->setHeaderLabels({Q("列"), Q("内容")});
    lstColumns_->header()->resizeSection(0, 40);

    auto* left = new QVBoxLayout;
    left->addWidget(Label(fraColumns, "lblDataFields", "使用可能なデータ フィールド(&F)", lstDataFields_));
    left->addWidget(lstDataFields_, 1);
    left->addWidget(Label(fraColumns, "lblSupportFields", "サポート フィールド(&U)", lstSupportFields_));
    left->addWidget(lstSupportFields_);
    left->addWidget(Label(fraColumns, "lblExpression", "計算式(&X)", txtExpression_));
    left->addWidget(txtExpression_);

    const char* captions[] = {"&>", ">>(&A)", ">(&P)", ">(&S)", "&<", "<<(&E)", "空の列の追加(&M)"};
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    for (int i = 0; i < 7; ++i) {
        auto* button = Button(fraColumns, "", captions[i]);
        button->setObjectName(QStringLiteral("cmdField_%1").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] { Field(i); });
        if (i == 4 || i == 6) middle->addSpacing(8);
        middle->addWidget(button);
    }
    middle->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(Label(fraColumns, "lblColumns", "表示する列(&V)", lstColumns_));
    right->addWidget(lstColumns_, 1);

    auto* columns = new QHBoxLayout(fraColumns);
    columns->addLayout(left, 1);
    columns->addLayout(middle);
    columns->addLayout(right, 1);

    cboRowCount_ = Combo(this, "cboRowCount");
    txtBookmark_ = new QLineEdit(this);
    txtBookmark_->setObjectName("txtBookmark");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Label(this, "lblRowCount", "行数(&R)", cboRowCount_));
    bottom->addWidget(cboRowCount_);
    bottom->addSpacing(16);
    bottom->addWidget(Label(this, "lblBookmark", "表に割り当てるブックマーク(&B):", txtBookmark_));
    bottom->addWidget(txtBookmark_, 1);

    auto* cmdBack = Button(this, "cmdBack", "戻る");
    auto* cmdOK = Button(this, "cmdOK", "OK");
    cmdOK->setDefault(true);
    auto* cmdCancel = Button(this, "cmdCancel", "キャンセル");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraLinkKey);
    layout->addWidget(fraColumns, 1);
    layout->addLayout(bottom);
    layout->addLayout(buttons);
    resize(620, 440);

    // The boxes' text into the model as the user changes it.
    auto text = [this](QLineEdit* box, std::string frmPLEDetailInsert::*field) {
        connect(box, &QLineEdit::textEdited, this, [this, field](const QString& value) {
            model_.*field = S(value);
            model_.Control_Change();
        });
    };
    text(cboParentKey_->lineEdit(), &frmPLEDetailInsert::cboParentKey);
    text(cboChildKey_->lineEdit(), &frmPLEDetailInsert::cboChildKey);
    text(cboRowCount_->lineEdit(), &frmPLEDetailInsert::cboRowCount);
    text(txtExpression_, &frmPLEDetailInsert::txtExpression);
    text(txtBookmark_, &frmPLEDetailInsert::txtBookmark);
    auto pick = [this](QComboBox* box, std::string frmPLEDetailInsert::*field) {
        connect(box, &QComboBox::activated, this, [this, box, field] {
            model_.*field = S(box->currentText());
            model_.Control_Change();
        });
    };
    pick(cboParentKey_, &frmPLEDetailInsert::cboParentKey);
    pick(cboChildKey_, &frmPLEDetailInsert::cboChildKey);
    pick(cboRowCount_, &frmPLEDetailInsert::cboRowCount);

    connect(cmdBack, &QPushButton::clicked, this, [this] {
        model_.cmdBack_Click();
        accept();
    });
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        SelectionToModel();
        if (model_.cmdOK_Click()) accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        model_.cmdCancel_Click();
        reject();
    });
}

void DetailInsertForm::SelectionToModel() {
    ListToModel(*lstDataFields_, model_.lstDataFields);
    ListToModel(*lstSupportFields_, model_.lstSupportFields);
    for (int i = 0; i < lstColumns_->topLevelItemCount() && i < static_cast<int>(model_.lstColumns.size()); ++i)
        model_.lstColumns[static_cast<std::size_t>(i)].blnSelected = lstColumns_->topLevelItem(i)->isSelected();
}

void DetailInsertForm::Field(int index) {
    SelectionToModel();
    model_.cmdField_Click(index);
    ToControls();
}

void DetailInsertForm::ToControls() {
    SetComboList(*cboParentKey_, model_.cboParentKeyList, model_.cboParentKey);
    SetComboList(*cboChildKey_, model_.cboChildKeyList, model_.cboChildKey);
    SetComboList(*cboRowCount_, model_.cboRowCountList, model_.cboRowCount);
    FillList(*lstDataFields_, model_.lstDataFields);
    FillList(*lstSupportFields_, model_.lstSupportFields);
    txtExpression_->setText(Q(model_.txtExpression));
    txtBookmark_->setText(Q(model_.txtBookmark));
    const QSignalBlocker quiet(*lstColumns_);
    lstColumns_->clear();
    for (const auto& column : model_.lstColumns) {
        auto* item = new QTreeWidgetItem(lstColumns_, {Q(column.strLetter), Q(column.strContent)});
        item->setSelected(column.blnSelected);
    }
}

void DetailInsertForm::Run() {
    ToControls();
    ui::qt::CentreDialog(*this);
    exec();
}

}  // namespace paperloom::editforms
