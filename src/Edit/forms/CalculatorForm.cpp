#include "CalculatorForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "EditFormWidgets.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::editforms {
namespace {

QListWidget* List(QWidget* parent, const char* name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

// The model counts the caret in bytes of UTF-8, the box in UTF-16 units.
std::size_t ToModelCaret(const QString& text, int position) {
    return static_cast<std::size_t>(text.left(position).toUtf8().size());
}
int ToBoxCaret(const std::string& text, std::size_t position) {
    return static_cast<int>(Q(std::string_view(text).substr(0, std::min(position, text.size()))).size());
}

void FillList(QListWidget& list, const std::vector<std::string>& entries, int selected) {
    const QSignalBlocker quiet(list);
    list.clear();
    for (const auto& entry : entries) list.addItem(Q(entry));
    list.setCurrentRow(selected);
}

}  // namespace

CalculatorForm::CalculatorForm(frmPLECalculator& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLECalculator");
    setWindowTitle(Q(frmPLECalculator::kCaption));

    txtCalc_ = new QLineEdit(this);
    txtCalc_->setObjectName("txtCalc");
    lstFunction_ = List(this, "lstFunction");
    lstBookmark_ = List(this, "lstBookmark");
    cboFormat_ = new QComboBox(this);
    cboFormat_->setObjectName("cboFormat");
    cboFormat_->setEditable(true);
    cboFormat_->setInsertPolicy(QComboBox::NoInsert);
    auto* cmdFunction = Button(this, "cmdFunction", "関数の貼り付け(&P)");
    auto* cmdBookmark = Button(this, "cmdBookmark", "ブックマークの貼り付け(&K)");

    auto* lists = new QGridLayout;
    lists->addWidget(Label(this, "lblFunction", "関数(&U):", lstFunction_), 0, 0);
    lists->addWidget(Label(this, "lblBookmark", "ブックマーク(&B):", lstBookmark_), 0, 1);
    lists->addWidget(lstFunction_, 1, 0);
    lists->addWidget(lstBookmark_, 1, 1);
    lists->addWidget(cmdFunction, 2, 0);
    lists->addWidget(cmdBookmark, 2, 1);

    const auto [cmdOK, cmdCancel, buttons] = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label(this, "lblCalc", "計算式(&E):", txtCalc_));
    layout->addWidget(txtCalc_);
    layout->addLayout(lists, 1);
    layout->addWidget(Label(this, "lblFormat", "表示形式(&N):", cboFormat_));
    layout->addWidget(cboFormat_);
    layout->addLayout(buttons);
    resize(420, 360);

    connect(txtCalc_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.txtCalc_Change(S(text), ToModelCaret(text, txtCalc_->cursorPosition()));
    });
    connect(txtCalc_, &QLineEdit::cursorPositionChanged, this, [this](int, int position) {
        model_.txtCalc_SelChange(ToModelCaret(txtCalc_->text(), position));
    });
    connect(cboFormat_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) { model_.cboFormat = S(text); });
    connect(cboFormat_, &QComboBox::activated, this, [this] { model_.cboFormat = S(cboFormat_->currentText()); });
    connect(cmdFunction, &QPushButton::clicked, this, [this] { Insert(&frmPLECalculator::cmdFunction_Click); });
    connect(lstFunction_, &QListWidget::itemDoubleClicked, this, [this] { Insert(&frmPLECalculator::cmdFunction_Click); });
    connect(cmdBookmark, &QPushButton::clicked, this, [this] { Insert(&frmPLECalculator::cmdBookmark_Click); });
    connect(lstBookmark_, &QListWidget::itemDoubleClicked, this, [this] { Insert(&frmPLECalculator::cmdBookmark_Click); });

    connect(cmdOK, &QPushButton::clicked, this, [this] {
        model_.cmdOK_Click();
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        model_.cmdCancel_Click();
        reject();
    });
}

void CalculatorForm::Insert(void (frmPLECalculator::*insert)()) {
    model_.lstFunctionIndex = lstFunction_->currentRow();
    model_.lstBookmarkIndex = lstBookmark_->currentRow();
    (model_.*insert)();
    ShowFormula();
    txtCalc_->setFocus();
}

void CalculatorForm::ShowFormula() {
    const QSignalBlocker quiet(*txtCalc_);
    txtCalc_->setText(Q(model_.txtCalc));
    txtCalc_->setCursorPosition(ToBoxCaret(model_.txtCalc, model_.txtCalcSelStart));
}

void CalculatorForm::ToControls() {
    ShowFormula();
    FillList(*lstFunction_, model_.lstFunction, model_.lstFunctionIndex);
    FillList(*lstBookmark_, model_.lstBookmark, model_.lstBookmarkIndex);
    SetComboList(*cboFormat_, model_.cboFormatList, model_.cboFormat);
}

void CalculatorForm::Run() {
    ToControls();
    ui::qt::CentreDialog(*this);
    txtCalc_->setFocus();
    exec();
}

}  // namespace paperloom::editforms
