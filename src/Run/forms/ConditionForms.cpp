#include "ConditionForms.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "FormWidgets.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::runforms {
namespace {

constexpr const char* kEditCaptions[] = {"追加(&A)", "変更(&E)", "削除(&R)", "クリア(&C)"};

QComboBox* Combo(QWidget* parent, const char* name, bool editable) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(editable);
    return box;
}

template <typename Array>
void Fill(QComboBox& box, const Array& items) {
    for (const auto& item : items) box.addItem(Q(item));
}

void FillFields(QComboBox& box, const std::vector<std::string>& fields, const std::string& text) {
    box.clear();
    for (const auto& field : fields) box.addItem(Q(field));
    box.setEditText(Q(text));
}

// The four edit buttons (cmdEdit 0..3) in a column, wired to `edit`.
template <typename Edit>
QVBoxLayout* EditButtons(QDialog& dialog, Edit edit) {
    auto* column = new QVBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(Q(kEditCaptions[i]), &dialog);
        button->setObjectName(QStringLiteral("cmdEdit_%1").arg(i));
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, &dialog, [edit, i] { edit(i); });
        column->addWidget(button);
    }
    column->addStretch();
    return column;
}

QHBoxLayout* OkCancel(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    cancel = new QPushButton(Q("キャンセル"), &dialog);
    cancel->setObjectName("cmdCancel");
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QTreeWidget* ConditionList(QWidget* parent, const QStringList& headers) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName("lstCondition");
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setHeaderLabels(headers);
    list->setMinimumHeight(140);
    return list;
}

// The list's selection into the model's rows.
template <typename Model>
void SelectionToModel(QTreeWidget& list, Model& model) {
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        model.SelectRow(static_cast<std::size_t>(i), list.topLevelItem(i)->isSelected());
}

template <typename Model>
void SelectionFromModel(QTreeWidget& list, const Model& model) {
    const QSignalBlocker quiet(list);
    const auto& rows = model.Conditions();
    for (int i = 0; i < list.topLevelItemCount() && i < static_cast<int>(rows.size()); ++i)
        list.topLevelItem(i)->setSelected(rows[static_cast<std::size_t>(i)].blnSelected);
}

}  // namespace

FilterForm::FilterForm(clsPLFilterEditor& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLFilter");
    auto* grid = new QGridLayout;
    auto* logical = new QGroupBox(this);
    auto* logicalRow = new QHBoxLayout(logical);
    optAnd_ = new QRadioButton(QStringLiteral("And"), logical);
    optAnd_->setObjectName("optLogicalOperator_0");
    optOr_ = new QRadioButton(QStringLiteral("Or"), logical);
    optOr_->setObjectName("optLogicalOperator_1");
    logicalRow->addWidget(optAnd_);
    logicalRow->addWidget(optOr_);
    cboOpenParenthesis_ = Combo(this, "cboOpenParenthesis", false);
    Fill(*cboOpenParenthesis_, clsPLFilterEditor::OpenParentheses());
    cboDataField_ = Combo(this, "cboDataField", true);
    cboDataField_->setMinimumWidth(160);
    cboComparisonOperator_ = Combo(this, "cboComparisonOperator", false);
    Fill(*cboComparisonOperator_, clsPLFilterEditor::ComparisonCaptions());
    txtComparisonValue_ = new QLineEdit(this);
    txtComparisonValue_->setObjectName("txtComparisonValue");
    cboCloseParenthesis_ = Combo(this, "cboCloseParenthesis", false);
    Fill(*cboCloseParenthesis_, clsPLFilterEditor::CloseParentheses());
    grid->addWidget(logical, 0, 0, 2, 1);
    const char* labels[] = {"(", "データフィールド", "比較", "値", ")"};
    QWidget* inputs[] = {cboOpenParenthesis_, cboDataField_, cboComparisonOperator_, txtComparisonValue_,
                         cboCloseParenthesis_};
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(Q(labels[i]), this);
        label->setBuddy(inputs[i]);
        grid->addWidget(label, 0, i + 1);
        grid->addWidget(inputs[i], 1, i + 1);
    }
    lstCondition_ = ConditionList(this, {Q("論理"), "(", Q("データフィールド"), Q("比較"), Q("値"), ")"});
    auto* middle = new QHBoxLayout;
    middle->addWidget(lstCondition_, 1);
    middle->addLayout(EditButtons(*this, [this](int i) { Edit(i); }));
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(middle);
    layout->addLayout(OkCancel(*this, ok, cancel));

    connect(cboComparisonOperator_, &QComboBox::activated, this, [this](int index) {
        FromControls();
        model_.cboComparisonOperator_Click(index);
        ToControls();
    });
    connect(lstCondition_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        model_.lstCondition_ItemClick(static_cast<std::size_t>(lstCondition_->indexOfTopLevelItem(item)));
        SelectionToModel(*lstCondition_, model_);
        ToControls();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        if (const auto message = model_.cmdOK_Click()) {
            ShowMessage(*message);
            return;
        }
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        model_.cmdCancel_Click();
        reject();
    });
    setTabOrder(optAnd_, optOr_);
    setTabOrder(optOr_, cboOpenParenthesis_);
    setTabOrder(cboOpenParenthesis_, cboDataField_);
    setTabOrder(cboDataField_, cboComparisonOperator_);
    setTabOrder(cboComparisonOperator_, txtComparisonValue_);
    setTabOrder(txtComparisonValue_, cboCloseParenthesis_);
    setTabOrder(cboCloseParenthesis_, lstCondition_);
}

void FilterForm::Run() {
    setWindowTitle(Q(model_.Caption()));
    FillFields(*cboDataField_, model_.DataFieldList(), model_.Controls().strDataField);
    ShowList();
    ToControls();
    adjustSize();
    ui::qt::CentreDialog(*this);
    exec();
}

void FilterForm::ToControls() {
    const auto& c = model_.Controls();
    (c.blnOr ? optOr_ : optAnd_)->setChecked(true);
    cboOpenParenthesis_->setCurrentIndex(c.intOpenParenthesisIndex);
    cboDataField_->setEditText(Q(c.strDataField));
    cboComparisonOperator_->setCurrentIndex(c.intComparisonIndex);
    txtComparisonValue_->setText(Q(c.strValue));
    SetValueBoxEnabled(*txtComparisonValue_, c.blnValueEnabled);
    cboCloseParenthesis_->setCurrentIndex(c.intCloseParenthesisIndex);
}

void FilterForm::FromControls() {
    auto& c = model_.Controls();
    c.blnOr = optOr_->isChecked();
    c.intOpenParenthesisIndex = cboOpenParenthesis_->currentIndex();
    c.strDataField = S(cboDataField_->currentText());
    c.intComparisonIndex = cboComparisonOperator_->currentIndex();
    c.strValue = S(txtComparisonValue_->text());
    c.intCloseParenthesisIndex = cboCloseParenthesis_->currentIndex();
}

void FilterForm::ShowList() {
    lstCondition_->clear();
    for (const auto& row : model_.Conditions()) {
        auto* item = new QTreeWidgetItem(lstCondition_);
        const std::string* texts[] = {&row.strLogicalOperator, &row.strOpenParenthesis, &row.strDataField,
                                      &row.strComparisonCaption, &row.strValue, &row.strCloseParenthesis};
        for (int i = 0; i < 6; ++i) item->setText(i, Q(*texts[i]));
    }
    SelectionFromModel(*lstCondition_, model_);
}

void FilterForm::Edit(int index) {
    FromControls();
    SelectionToModel(*lstCondition_, model_);
    if (const auto message = model_.cmdEdit_Click(index)) ShowMessage(*message);
    ShowList();
    ToControls();
}

SortForm::SortForm(clsPLSortEditor& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLSort");
    auto* top = new QHBoxLayout;
    auto* label = new QLabel(Q("データフィールド"), this);
    cboDataField_ = Combo(this, "cboDataField", true);
    cboDataField_->setMinimumWidth(160);
    label->setBuddy(cboDataField_);
    optAscending_ = new QRadioButton(Q(clsPLSortEditor::CAPTION_ASCENDING), this);
    optAscending_->setObjectName("optSort_0");
    optDescending_ = new QRadioButton(Q(clsPLSortEditor::CAPTION_DESCENDING), this);
    optDescending_->setObjectName("optSort_1");
    top->addWidget(label);
    top->addWidget(cboDataField_, 1);
    top->addWidget(optAscending_);
    top->addWidget(optDescending_);
    lstCondition_ = ConditionList(this, {Q("データフィールド"), Q("順序")});
    auto* middle = new QHBoxLayout;
    middle->addWidget(lstCondition_, 1);
    middle->addLayout(EditButtons(*this, [this](int i) { Edit(i); }));
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addLayout(OkCancel(*this, ok, cancel));
    connect(lstCondition_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        model_.lstCondition_ItemClick(static_cast<std::size_t>(lstCondition_->indexOfTopLevelItem(item)));
        SelectionToModel(*lstCondition_, model_);
        ToControls();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        model_.cmdOK_Click();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        model_.cmdCancel_Click();
        reject();
    });
}

void SortForm::Run() {
    setWindowTitle(Q(model_.Caption()));
    FillFields(*cboDataField_, model_.DataFieldList(), model_.Controls().strDataField);
    ShowList();
    ToControls();
    adjustSize();
    ui::qt::CentreDialog(*this);
    exec();
}

void SortForm::ToControls() {
    const auto& c = model_.Controls();
    cboDataField_->setEditText(Q(c.strDataField));
    (c.intSortIndex == 1 ? optDescending_ : optAscending_)->setChecked(true);
}

void SortForm::FromControls() {
    auto& c = model_.Controls();
    c.strDataField = S(cboDataField_->currentText());
    c.intSortIndex = optDescending_->isChecked() ? 1 : 0;
}

void SortForm::ShowList() {
    lstCondition_->clear();
    for (const auto& row : model_.Conditions()) {
        auto* item = new QTreeWidgetItem(lstCondition_);
        item->setText(0, Q(row.strDataField));
        item->setText(1, Q(row.strSortCaption));
    }
    SelectionFromModel(*lstCondition_, model_);
}

void SortForm::Edit(int index) {
    FromControls();
    SelectionToModel(*lstCondition_, model_);
    if (const auto message = model_.cmdEdit_Click(index)) ShowMessage(*message);
    ShowList();
    ToControls();
}

}  // namespace paperloom::runforms
