#include "BindPanel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "EditFormWidgets.h"

namespace paperloom::editforms {

BindPanel::BindPanel(clsPLEBindForm& model, QWidget& parent, QWidget* testButtonParent)
    : QObject(&parent), model_(model) {
    fraCertification_ = new QGroupBox(Q("認証"), &parent);
    fraCertification_->setObjectName("fraCertification");
    auto* lblUserName = new QLabel(Q("ユーザ名(&U):"), fraCertification_);
    lblUserName->setObjectName("lblUserName");
    txtUserName_ = new QLineEdit(fraCertification_);
    txtUserName_->setObjectName("txtUserName");
    lblUserName->setBuddy(txtUserName_);
    auto* lblPassword = new QLabel(Q("パスワード(&P):"), fraCertification_);
    lblPassword->setObjectName("lblPassword");
    txtPassword_ = new QLineEdit(fraCertification_);
    txtPassword_->setObjectName("txtPassword");
    txtPassword_->setEchoMode(QLineEdit::Password);
    lblPassword->setBuddy(txtPassword_);
    auto* certification = new QGridLayout(fraCertification_);
    certification->addWidget(lblUserName, 0, 0);
    certification->addWidget(txtUserName_, 0, 1);
    certification->addWidget(lblPassword, 1, 0);
    certification->addWidget(txtPassword_, 1, 1);

    fraDataSource_ = new QGroupBox(Q("接続のソース"), &parent);
    fraDataSource_->setObjectName("fraDataSource");
    const char* dataCaptions[] = {"ODBC データ ソース(&D)", "接続文字列(&C)", "データ リンク ファイル(&L)"};
    for (int i = 0; i < 3; ++i) {
        optDataSource_[i] = new QRadioButton(Q(dataCaptions[i]), fraDataSource_);
        optDataSource_[i]->setObjectName(QStringLiteral("optDataSource_%1").arg(i));
        connect(optDataSource_[i], &QRadioButton::clicked, this, [this, i] {
            model_.optDataSource_Click(i);
            ToControls();
        });
    }
    cboDataSource_ = new DropDownCombo(fraDataSource_, "cboDataSource", true);
    txtConnection_ = new QLineEdit(fraDataSource_);
    txtConnection_->setObjectName("txtConnection");
    cmdConnection_ = Button(fraDataSource_, "cmdConnection", "作成(&R)...");
    txtUDL_ = new QLineEdit(fraDataSource_);
    txtUDL_->setObjectName("txtUDL");
    cmdUDL_ = Button(fraDataSource_, "cmdUDL", "参照(&B)...");
    cmdTest_ = Button(testButtonParent ? testButtonParent : fraDataSource_, "cmdTest", "接続のテスト(&T)");
    auto* dataGrid = new QGridLayout(fraDataSource_);
    dataGrid->addWidget(optDataSource_[0], 0, 0, 1, 2);
    dataGrid->addWidget(cboDataSource_, 1, 1, 1, 2);
    dataGrid->addWidget(optDataSource_[1], 2, 0, 1, 2);
    dataGrid->addWidget(txtConnection_, 3, 1);
    dataGrid->addWidget(cmdConnection_, 3, 2);
    dataGrid->addWidget(optDataSource_[2], 4, 0, 1, 2);
    dataGrid->addWidget(txtUDL_, 5, 1);
    dataGrid->addWidget(cmdUDL_, 5, 2);
    if (!testButtonParent) dataGrid->addWidget(cmdTest_, 6, 2);
    dataGrid->setColumnMinimumWidth(0, 16);
    dataGrid->setColumnStretch(1, 1);

    fraRecordSource_ = new QGroupBox(Q("レコード ソース"), &parent);
    fraRecordSource_->setObjectName("fraRecordSource");
    const char* recordCaptions[] = {"テーブル名(&E)", "プロシージャ名(&S)", "コマンド テキスト(S&QL)"};
    for (int i = 0; i < 3; ++i) {
        optRecordSource_[i] = new QRadioButton(Q(recordCaptions[i]), fraRecordSource_);
        optRecordSource_[i]->setObjectName(QStringLiteral("optRecordSource_%1").arg(i));
        connect(optRecordSource_[i], &QRadioButton::clicked, this, [this, i] {
            model_.optRecordSource_Click(i);
            ToControls();
        });
    }
    cboTable_ = new DropDownCombo(fraRecordSource_, "cboTable", true);
    cmdRSWhere_ = Button(fraRecordSource_, "cmdRSWhere", "抽出条件(&W)...");
    cmdRSOrder_ = Button(fraRecordSource_, "cmdRSOrder", "ソート条件(&O)...");
    cboProcedure_ = new DropDownCombo(fraRecordSource_, "cboProcedure", true);
    txtRecordSource_ = new QPlainTextEdit(fraRecordSource_);
    txtRecordSource_->setObjectName("txtRecordSource");
    txtRecordSource_->setMinimumHeight(72);
    txtRecordSource_->setTabChangesFocus(true);
    auto* recordGrid = new QGridLayout(fraRecordSource_);
    auto* tableButtons = new QHBoxLayout;
    tableButtons->addStretch();
    tableButtons->addWidget(cmdRSWhere_);
    tableButtons->addWidget(cmdRSOrder_);
    recordGrid->addWidget(optRecordSource_[0], 0, 0, 1, 2);
    recordGrid->addWidget(cboTable_, 1, 1);
    recordGrid->addLayout(tableButtons, 2, 1);
    recordGrid->addWidget(optRecordSource_[1], 3, 0, 1, 2);
    recordGrid->addWidget(cboProcedure_, 4, 1);
    recordGrid->addWidget(optRecordSource_[2], 5, 0, 1, 2);
    recordGrid->addWidget(txtRecordSource_, 6, 1);
    recordGrid->setColumnMinimumWidth(0, 16);
    recordGrid->setColumnStretch(1, 1);

    // Typed text goes into the model as it changes; a change by the program is not the user's.
    auto line = [this](QLineEdit* box, std::string clsPLEBindForm::*field) {
        connect(box, &QLineEdit::textEdited, this, [this, field](const QString& text) {
            model_.*field = S(text);
            model_.Control_Change();
        });
    };
    line(txtUserName_, &clsPLEBindForm::txtUserName);
    line(txtPassword_, &clsPLEBindForm::txtPassword);
    line(txtConnection_, &clsPLEBindForm::txtConnection);
    line(txtUDL_, &clsPLEBindForm::txtUDL);
    auto combo = [this, line](DropDownCombo* box, std::string clsPLEBindForm::*field,
                              std::vector<std::string> clsPLEBindForm::*list, void (clsPLEBindForm::*dropDown)()) {
        line(box->lineEdit(), field);
        connect(box, &QComboBox::activated, this, [this, box, field] {
            model_.*field = S(box->currentText());
            model_.Control_Change();
        });
        box->beforeDropDown = [this, box, field, list, dropDown] {
            model_.*field = S(box->currentText());
            (model_.*dropDown)();
            SetComboList(*box, model_.*list, model_.*field);
        };
    };
    combo(cboDataSource_, &clsPLEBindForm::cboDataSource, &clsPLEBindForm::cboDataSourceList,
          &clsPLEBindForm::cboDataSource_DropDown);
    combo(cboTable_, &clsPLEBindForm::cboTable, &clsPLEBindForm::cboTableList, &clsPLEBindForm::cboTable_DropDown);
    combo(cboProcedure_, &clsPLEBindForm::cboProcedure, &clsPLEBindForm::cboProcedureList,
          &clsPLEBindForm::cboProcedure_DropDown);
    connect(txtRecordSource_, &QPlainTextEdit::textChanged, this, [this] {
        if (filling_) return;
        model_.txtRecordSource = ToCrLf(txtRecordSource_->toPlainText());
        model_.Control_Change();
    });

    connect(cmdConnection_, &QPushButton::clicked, this, [this] { Act(&clsPLEBindForm::cmdConnection_Click); });
    connect(cmdUDL_, &QPushButton::clicked, this, [this] { Act(&clsPLEBindForm::cmdUDL_Click); });
    connect(cmdRSWhere_, &QPushButton::clicked, this, [this] { Act(&clsPLEBindForm::cmdRSWhere_Click); });
    connect(cmdRSOrder_, &QPushButton::clicked, this, [this] { Act(&clsPLEBindForm::cmdRSOrder_Click); });
    connect(cmdTest_, &QPushButton::clicked, this, [this] { Act(&clsPLEBindForm::cmdTest_Click); });
}

std::vector<QWidget*> BindPanel::TabOrder() const {
    // Tab goes from each option to the boxes that go with it.
    return {txtUserName_,        txtPassword_,   optDataSource_[0],   cboDataSource_, optDataSource_[1],
            txtConnection_,      cmdConnection_, optDataSource_[2],   txtUDL_,        cmdUDL_,
            cmdTest_,            optRecordSource_[0], cboTable_,      cmdRSWhere_,    cmdRSOrder_,
            optRecordSource_[1], cboProcedure_,  optRecordSource_[2], txtRecordSource_};
}

void BindPanel::Act(void (clsPLEBindForm::*action)()) {
    (model_.*action)();
    ToControls();
}

void BindPanel::ToControls() {
    filling_ = true;
    txtUserName_->setText(Q(model_.txtUserName));
    txtPassword_->setText(Q(model_.txtPassword));
    for (int i = 0; i < 3; ++i) {
        optDataSource_[i]->setChecked(model_.optDataSource == i);
        optRecordSource_[i]->setChecked(model_.optRecordSource == i);
    }
    SetComboList(*cboDataSource_, model_.cboDataSourceList, model_.cboDataSource);
    // Long strings and paths show from their start.
    txtConnection_->setText(Q(model_.txtConnection));
    txtConnection_->setCursorPosition(0);
    txtUDL_->setText(Q(model_.txtUDL));
    txtUDL_->setCursorPosition(0);
    SetComboList(*cboTable_, model_.cboTableList, model_.cboTable);
    SetComboList(*cboProcedure_, model_.cboProcedureList, model_.cboProcedure);
    if (ToCrLf(txtRecordSource_->toPlainText()) != model_.txtRecordSource)
        txtRecordSource_->setPlainText(FromCrLf(model_.txtRecordSource));

    SetBoxEnabled(*cboDataSource_, model_.DataSourceBoxEnabled(clsPLEBindForm::OPT_DS_ODBC));
    SetBoxEnabled(*txtConnection_, model_.DataSourceBoxEnabled(clsPLEBindForm::OPT_DS_CONNECTION));
    cmdConnection_->setEnabled(model_.DataSourceBoxEnabled(clsPLEBindForm::OPT_DS_CONNECTION));
    SetBoxEnabled(*txtUDL_, model_.DataSourceBoxEnabled(clsPLEBindForm::OPT_DS_UDL));
    cmdUDL_->setEnabled(model_.DataSourceBoxEnabled(clsPLEBindForm::OPT_DS_UDL));
    const bool table = model_.RecordSourceBoxEnabled(clsPLEBindForm::OPT_RS_TABLE);
    SetBoxEnabled(*cboTable_, table);
    cmdRSWhere_->setEnabled(table);
    cmdRSOrder_->setEnabled(table);
    SetBoxEnabled(*cboProcedure_, model_.RecordSourceBoxEnabled(clsPLEBindForm::OPT_RS_PROCEDURE));
    SetBoxEnabled(*txtRecordSource_, model_.RecordSourceBoxEnabled(clsPLEBindForm::OPT_RS_SQL));
    filling_ = false;
}

}  // namespace paperloom::editforms
