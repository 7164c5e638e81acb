#include "ConnectionForms.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "EditFormWidgets.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::editforms {
namespace {

QHBoxLayout* OkCancel(QDialog& dialog, std::function<bool()> ok, std::function<void()> cancel) {
    auto* cmdOK = Button(&dialog, "cmdOK", "OK");
    cmdOK->setDefault(true);
    auto* cmdCancel = Button(&dialog, "cmdCancel", "キャンセル");
    QObject::connect(cmdOK, &QPushButton::clicked, &dialog, [&dialog, ok] {
        if (ok()) dialog.accept();
    });
    QObject::connect(cmdCancel, &QPushButton::clicked, &dialog, [&dialog, cancel] {
        cancel();
        dialog.reject();
    });
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cmdOK);
    row->addWidget(cmdCancel);
    return row;
}

}  // namespace

ConnectionForm::ConnectionForm(edit::ConnectionEditor& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLEConnection");
    setWindowTitle(Q(edit::ConnectionEditor::kCaption));
    cboDriver_ = new QComboBox(this);
    cboDriver_->setObjectName("cboDriver");
    auto* lblDriver = new QLabel(Q("ドライバー(&D):"), this);
    lblDriver->setBuddy(cboDriver_);
    lstKeywords_ = new QTableWidget(0, 2, this);
    lstKeywords_->setObjectName("lstKeywords");
    lstKeywords_->setHorizontalHeaderLabels({Q("キーワード"), Q("値")});
    lstKeywords_->horizontalHeader()->setStretchLastSection(true);
    lstKeywords_->verticalHeader()->hide();
    lstKeywords_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstKeywords_->setMinimumHeight(150);
    txtKeyword_ = new QLineEdit(this);
    txtKeyword_->setObjectName("txtKeyword");
    auto* cmdAdd = Button(this, "cmdAddKeyword", "キーワードの追加(&A)");
    auto* cmdRemove = Button(this, "cmdRemoveKeyword", "削除(&R)");
    txtConnection_ = new QLineEdit(this);
    txtConnection_->setObjectName("txtConnection");
    txtConnection_->setReadOnly(true);
    auto* lblConnection = new QLabel(Q("接続文字列:"), this);
    auto* cmdTest = Button(this, "cmdTest", "接続のテスト(&T)");

    auto* grid = new QGridLayout;
    grid->addWidget(lblDriver, 0, 0);
    grid->addWidget(cboDriver_, 0, 1, 1, 3);
    grid->addWidget(lstKeywords_, 1, 0, 1, 4);
    grid->addWidget(txtKeyword_, 2, 0, 1, 2);
    grid->addWidget(cmdAdd, 2, 2);
    grid->addWidget(cmdRemove, 2, 3);
    grid->addWidget(lblConnection, 3, 0);
    grid->addWidget(txtConnection_, 3, 1, 1, 3);
    grid->addWidget(cmdTest, 4, 3);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(OkCancel(*this, [this] { return model_.cmdOK_Click(); }, [this] { model_.cmdCancel_Click(); }));
    setMinimumWidth(480);

    connect(cboDriver_, &QComboBox::activated, this, [this](int index) {
        model_.cboDriver_Click(index);
        ToControls();
    });
    connect(lstKeywords_, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (filling_ || column != 1) return;
        model_.SetKeywordValue(static_cast<std::size_t>(row), S(lstKeywords_->item(row, 1)->text()));
        filling_ = true;
        txtConnection_->setText(Q(model_.GetConnectionString()));
        filling_ = false;
    });
    connect(cmdAdd, &QPushButton::clicked, this, [this] {
        model_.cmdAddKeyword_Click(S(txtKeyword_->text()));
        txtKeyword_->clear();
        ToControls();
    });
    connect(cmdRemove, &QPushButton::clicked, this, [this] {
        if (lstKeywords_->currentRow() < 0) return;
        model_.cmdRemoveKeyword_Click(static_cast<std::size_t>(lstKeywords_->currentRow()));
        ToControls();
    });
    connect(cmdTest, &QPushButton::clicked, this, [this] { model_.cmdTest_Click(); });
}

void ConnectionForm::ToControls() {
    filling_ = true;
    {
        const QSignalBlocker quiet(*cboDriver_);
        cboDriver_->clear();
        for (const auto& driver : model_.cboDriverList) cboDriver_->addItem(Q(driver));
        cboDriver_->setCurrentIndex(model_.cboDriver);
    }
    lstKeywords_->setRowCount(static_cast<int>(model_.lstKeywords.size()));
    for (std::size_t i = 0; i < model_.lstKeywords.size(); ++i) {
        auto* keyword = new QTableWidgetItem(Q(model_.lstKeywords[i].strKeyword));
        keyword->setFlags(keyword->flags() & ~Qt::ItemIsEditable);
        lstKeywords_->setItem(static_cast<int>(i), 0, keyword);
        lstKeywords_->setItem(static_cast<int>(i), 1, new QTableWidgetItem(Q(model_.lstKeywords[i].strValue)));
    }
    txtConnection_->setText(Q(model_.GetConnectionString()));
    txtConnection_->setCursorPosition(0);
    filling_ = false;
}

void ConnectionForm::Run() {
    ToControls();
    adjustSize();
    ui::qt::CentreDialog(*this);
    exec();
}

DataLinkForm::DataLinkForm(edit::DataLinkEditor& model, QWidget* owner) : QDialog(owner), model_(model) {
    setObjectName("frmPLEDataLink");
    setWindowTitle(Q(edit::DataLinkEditor::kCaption));
    txtPath_ = new QLineEdit(this);
    txtPath_->setObjectName("txtPath");
    auto* lblPath = new QLabel(Q("ファイル名(&N):"), this);
    lblPath->setBuddy(txtPath_);
    auto* cmdBrowse = Button(this, "cmdBrowse", "選択(&S)...");
    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName("lblStatus");
    lblStatus_->setWordWrap(true);
    txtConnection_ = new QLineEdit(this);
    txtConnection_->setObjectName("txtConnection");
    auto* lblConnection = new QLabel(Q("接続文字列(&C):"), this);
    lblConnection->setBuddy(txtConnection_);
    auto* cmdEdit = Button(this, "cmdEdit", "作成(&R)...");

    auto* grid = new QGridLayout;
    grid->addWidget(lblPath, 0, 0);
    grid->addWidget(txtPath_, 0, 1);
    grid->addWidget(cmdBrowse, 0, 2);
    grid->addWidget(lblStatus_, 1, 1, 1, 2);
    grid->addWidget(lblConnection, 2, 0);
    grid->addWidget(txtConnection_, 2, 1);
    grid->addWidget(cmdEdit, 2, 2);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(OkCancel(
        *this,
        [this] {
            // A path typed but not yet confirmed with Enter is the one meant.
            if (S(txtPath_->text()) != model_.txtPath) {
                model_.SetPath(S(txtPath_->text()));
                ToControls();
                return false;
            }
            return model_.cmdOK_Click();
        },
        [this] { model_.cmdCancel_Click(); }));
    setMinimumWidth(520);

    connect(txtPath_, &QLineEdit::editingFinished, this, [this] {
        if (S(txtPath_->text()) == model_.txtPath) return;
        model_.SetPath(S(txtPath_->text()));
        ToControls();
    });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] {
        // A new name is allowed: the file is then created with the string given here.
        const QString path = QFileDialog::getSaveFileName(this, Q(edit::DataLinkEditor::kCaption), txtPath_->text(),
                                                          Q("データ リンク ファイル (*.udl);;すべてのファイル (*)"),
                                                          nullptr, QFileDialog::DontConfirmOverwrite);
        if (path.isEmpty()) return;
        model_.SetPath(S(path));
        ToControls();
    });
    connect(txtConnection_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.txtConnection_Change(S(text)); });
    connect(cmdEdit, &QPushButton::clicked, this, [this] {
        model_.cmdEdit_Click();
        ToControls();
    });
}

void DataLinkForm::ToControls() {
    txtPath_->setText(Q(model_.txtPath));
    lblStatus_->setText(Q(model_.lblStatus));
    txtConnection_->setText(Q(model_.txtConnection));
}

void DataLinkForm::Run() {
    ToControls();
    adjustSize();
    ui::qt::CentreDialog(*this);
    exec();
}

}  // namespace paperloom::editforms
