// The windows of the move, find and options dialogs, and the forms library's entry point
// (the about box's window is shared with the designer). A window shows its model and passes
// every click on; the model decides.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "AboutForm.h"
#include "ConditionForms.h"
#include "FormWidgets.h"
#include "Run/RunForms.h"
#include "Run/frmPLRFind.h"
#include "Run/frmPLRMove.h"
#include "Run/frmPLROption.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::runforms {
namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(Q(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

class MoveForm final : public QDialog {
public:
    MoveForm(frmPLRMove& model, QWidget* owner) : QDialog(owner), model_(model) {
        setObjectName("frmPLRMove");
        setWindowTitle(Q(frmPLRMove::kCaption));
        auto* label = new QLabel(Q("レコード番号(&R):"), this);
        txtRecordIndex_ = new QLineEdit(this);
        txtRecordIndex_->setObjectName("txtRecordIndex");
        label->setBuddy(txtRecordIndex_);
        auto* move = Button(this, "cmdMove", "移動(&M)");
        move->setDefault(true);
        auto* close = Button(this, "cmdCancel", "閉じる");
        auto* layout = new QGridLayout(this);
        layout->addWidget(label, 0, 0);
        layout->addWidget(txtRecordIndex_, 0, 1);
        layout->addWidget(move, 0, 2);
        layout->addWidget(close, 1, 2);
        connect(move, &QPushButton::clicked, this, [this] {
            model_.txtRecordIndex = S(txtRecordIndex_->text());
            model_.cmdMove_Click();
        });
        connect(close, &QPushButton::clicked, this, &QDialog::reject);
        setTabOrder(txtRecordIndex_, move);
        setTabOrder(move, close);
    }
    const frmPLRMove* Model() const { return &model_; }
    void Run() {
        model_.Form_Load();
        txtRecordIndex_->setText(Q(model_.txtRecordIndex));
        txtRecordIndex_->setFocus();
        adjustSize();
        ui::qt::CentreDialog(*this);
        exec();
    }

private:
    frmPLRMove& model_;
    QLineEdit* txtRecordIndex_;
};

class FindForm final : public QDialog {
public:
    FindForm(frmPLRFind& model, QWidget* owner) : QDialog(owner), model_(model) {
        setObjectName("frmPLRFind");
        setWindowTitle(Q(frmPLRFind::kCaption));
        auto* label = new QLabel(Q("対象フィールド(&D):"), this);
        cboDataField_ = new QComboBox(this);
        cboDataField_->setObjectName("cboDataField");
        cboDataField_->setEditable(true);
        cboDataField_->setMinimumWidth(200);
        label->setBuddy(cboDataField_);

        auto* target = new QGroupBox(Q("検索対象"), this);
        optValue_ = new QRadioButton(target);
        optValue_->setObjectName("optComparisonValue_0");
        txtComparisonValue_ = new QLineEdit(target);
        txtComparisonValue_->setObjectName("txtComparisonValue");
        optBlank_ = new QRadioButton(Q("空白(&Null)"), target);
        optBlank_->setObjectName("optComparisonValue_1");
        auto* targetLayout = new QGridLayout(target);
        targetLayout->addWidget(optValue_, 0, 0);
        targetLayout->addWidget(txtComparisonValue_, 0, 1);
        targetLayout->addWidget(optBlank_, 1, 0, 1, 2);

        auto* direction = new QGroupBox(Q("検索方向"), this);
        optForward_ = new QRadioButton(Q("前方へ(&O)"), direction);
        optForward_->setObjectName("optSearchDirection_0");
        optBackward_ = new QRadioButton(Q("後方へ(&B)"), direction);
        optBackward_->setObjectName("optSearchDirection_1");
        auto* directionLayout = new QVBoxLayout(direction);
        directionLayout->addWidget(optForward_);
        directionLayout->addWidget(optBackward_);

        auto* find = Button(this, "cmdFind", "検索(&F)");
        find->setDefault(true);
        auto* close = Button(this, "cmdCancel", "閉じる");
        auto* buttons = new QVBoxLayout;
        buttons->addWidget(find);
        buttons->addWidget(close);
        buttons->addStretch();

        auto* layout = new QGridLayout(this);
        layout->addWidget(label, 0, 0);
        layout->addWidget(cboDataField_, 0, 1);
        layout->addWidget(target, 1, 0, 1, 2);
        layout->addWidget(direction, 2, 0, 1, 2);
        layout->addLayout(buttons, 0, 2, 3, 1);

        const auto valueChosen = [this] { SetValueBoxEnabled(*txtComparisonValue_, optValue_->isChecked()); };
        connect(optValue_, &QRadioButton::clicked, this, valueChosen);
        connect(optBlank_, &QRadioButton::clicked, this, valueChosen);
        connect(find, &QPushButton::clicked, this, [this] {
            model_.cboDataField = S(cboDataField_->currentText());
            model_.txtComparisonValue = S(txtComparisonValue_->text());
            model_.optComparisonValue = optBlank_->isChecked() ? 1 : 0;
            model_.optSearchDirection = optBackward_->isChecked() ? 1 : 0;
            model_.cmdFind_Click();
        });
        connect(close, &QPushButton::clicked, this, &QDialog::reject);
        setTabOrder(cboDataField_, optValue_);
        setTabOrder(optValue_, txtComparisonValue_);
        setTabOrder(txtComparisonValue_, optBlank_);
        setTabOrder(optBlank_, optForward_);
        setTabOrder(optForward_, optBackward_);
        setTabOrder(optBackward_, find);
        setTabOrder(find, close);
    }
    const frmPLRFind* Model() const { return &model_; }
    void Run() {
        model_.Form_Load();
        cboDataField_->clear();
        for (const auto& field : model_.DataFieldList) cboDataField_->addItem(Q(field));
        cboDataField_->setEditText(Q(model_.cboDataField));
        txtComparisonValue_->setText(Q(model_.txtComparisonValue));
        (model_.optComparisonValue == 1 ? optBlank_ : optValue_)->setChecked(true);
        (model_.optSearchDirection == 1 ? optBackward_ : optForward_)->setChecked(true);
        SetValueBoxEnabled(*txtComparisonValue_, model_.ValueEnabled());
        cboDataField_->setFocus();
        adjustSize();
        ui::qt::CentreDialog(*this);
        exec();
    }

private:
    frmPLRFind& model_;
    QComboBox* cboDataField_;
    QRadioButton* optValue_;
    QRadioButton* optBlank_;
    QLineEdit* txtComparisonValue_;
    QRadioButton* optForward_;
    QRadioButton* optBackward_;
};

class OptionForm final : public QDialog {
public:
    OptionForm(frmPLROption& model, QWidget* owner) : QDialog(owner), model_(model) {
        setObjectName("frmPLROption");
        setWindowTitle(Q(frmPLROption::kCaption));
        auto* preview = new QGroupBox(Q("プレビュー"), this);
        boxes_[0] = new QCheckBox(Q("基本データ部移動で明細データ部更新(&D)"), preview);
        boxes_[0]->setObjectName("chkUpdateDetail");
        (new QVBoxLayout(preview))->addWidget(boxes_[0]);
        auto* print = new QGroupBox(Q("印刷ドキュメント作成／印刷"), this);
        boxes_[1] = new QCheckBox(Q("ヘッダーのコピー(&H)"), print);
        boxes_[1]->setObjectName("chkCopyPrimaryHeader");
        boxes_[2] = new QCheckBox(Q("フッターのコピー(&F)"), print);
        boxes_[2]->setObjectName("chkCopyPrimaryFooter");
        auto* printLayout = new QVBoxLayout(print);
        printLayout->addWidget(boxes_[1]);
        printLayout->addWidget(boxes_[2]);
        auto* ok = Button(this, "cmdOK", "OK");
        ok->setDefault(true);
        auto* cancel = Button(this, "cmdCancel", "キャンセル");
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(ok);
        buttons->addWidget(cancel);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(preview);
        layout->addWidget(print);
        layout->addLayout(buttons);
        for (int i = 0; i < 3; ++i)
            connect(boxes_[i], &QCheckBox::clicked, this,
                    [this, i](bool checked) { model_.chk_Click(i, checked ? 1 : 0); });
        connect(ok, &QPushButton::clicked, this, [this] {
            model_.cmdOK_Click();
            accept();
        });
        connect(cancel, &QPushButton::clicked, this, [this] {
            model_.cmdCancel_Click();
            reject();
        });
    }
    const frmPLROption* Model() const { return &model_; }
    void Run() {
        const int values[] = {model_.chkUpdateDetail, model_.chkCopyPrimaryHeader, model_.chkCopyPrimaryFooter};
        for (int i = 0; i < 3; ++i) boxes_[i]->setChecked(values[i] != 0);
        adjustSize();
        ui::qt::CentreDialog(*this);
        exec();
    }

private:
    frmPLROption& model_;
    QCheckBox* boxes_[3];
};

class QtRunForms final : public run::RunForms {
public:
    void ShowMove(frmPLRMove& form) override { FormFor(move_, form).Run(); }
    void ShowFind(frmPLRFind& form) override { FormFor(find_, form).Run(); }
    void ShowOption(frmPLROption& form) override { FormFor(option_, form).Run(); }
    void ShowFilter(clsPLFilterEditor& form) override { FormFor(filter_, form).Run(); }
    void ShowSort(clsPLSortEditor& form) override { FormFor(sort_, form).Run(); }
    void ShowAbout(const frmPLAboutBox& form) override {
        if (!about_) about_ = new AboutForm(ui::qt::DialogOwner());
        about_->Run(form);
    }
    void Unload() override {
        Destroy(filter_);
        Destroy(find_);
        Destroy(move_);
        Destroy(option_);
        Destroy(sort_);
        Destroy(about_);
    }

private:
    QPointer<MoveForm> move_;
    QPointer<FindForm> find_;
    QPointer<OptionForm> option_;
    QPointer<FilterForm> filter_;
    QPointer<SortForm> sort_;
    QPointer<AboutForm> about_;
};

}  // namespace
}  // namespace paperloom::runforms

extern "C" __attribute__((visibility("default"))) paperloom::run::RunForms* PaperloomRunForms() {
    // Kept for the process: the add-in may connect again and reuse it.
    static paperloom::runforms::QtRunForms forms;
    return &forms;
}
