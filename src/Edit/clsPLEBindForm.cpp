#include "Edit/clsPLEBindForm.h"

#include <cmath>
#include <optional>

#include "Edit/ConnectionEditor.h"
#include "Edit/DataLinkEditor.h"
#include "Edit/EditForms.h"
#include "common/clsPLFilterEditor.h"
#include "common/clsPLSortEditor.h"
#include "common/modPLConst.h"
#include "common/modPLDataFields.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"
#include "host/ado/Connection.h"
#include "host/ado/DataSourceList.h"
#include "host/ado/Recordset.h"
#include "host/ado/Variant.h"
#include "host/ui/UiServices.h"

namespace paperloom {
namespace {

constexpr const char* kLineBreak = "\r\n";

// The type codes are stored as texts; anything that does not read as a whole number is no type.
std::optional<long> TypeNumber(std::string_view text) {
    const auto number = host::ado::ParseNumericText(text);
    if (!number || *number != std::floor(*number)) return std::nullopt;
    return static_cast<long>(*number);
}

// Bare carriage returns become CR LF so the SQL box shows separate lines; CR LF stays as it is.
std::string WithLineFeeds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
    }
    return out;
}

std::string EditTitle() { return std::string(modPLConst::EDIT_APP_TITLE); }

void ShowWarning(std::string_view strLead, std::string_view strDescription) {
    ui::MessageRequest request;
    request.strText = std::string(strLead) + "\n\nエラー内容\n " + std::string(strDescription);
    request.strTitle = EditTitle();
    request.icon = ui::MessageIcon::Exclamation;
    ui::Messages().Show(request);
}

bool AskYesNo(const char* question) {
    ui::MessageRequest request;
    request.strText = question;
    request.strTitle = EditTitle();
    request.icon = ui::MessageIcon::Question;
    request.buttons = ui::MessageButtons::YesNo;
    return ui::Messages().Show(request) == ui::vbYes;
}

}  // namespace

void clsPLEBindForm::Init(std::string_view strCaptionText, std::string_view strOKButtonCaption, bool blnHeader,
                          std::string_view strDocumentFolder) {
    strCaption = std::string(strCaptionText);
    cmdOKCaption = std::string(strOKButtonCaption);
    mblnHeader = blnHeader;
    mstrDocumentFolder = std::string(strDocumentFolder);
    mstrRSWhere.clear();
    mstrRSOrder.clear();
    mintLastRecordSource = OPT_RS_TABLE;
    optDataSource = OPT_DS_ODBC;
    cboDataSource.clear();
    txtConnection.clear();
    txtUDL.clear();
    txtUserName.clear();
    txtPassword.clear();
    optRecordSource = OPT_RS_TABLE;
    cboTable.clear();
    cboProcedure.clear();
    txtRecordSource.clear();
    cboDataSourceList.clear();
    cboTableList.clear();
    cboProcedureList.clear();
}

void clsPLEBindForm::SetDataSource(std::string_view strDataSourceType, std::string_view strDataSource) {
    const auto type = TypeNumber(strDataSourceType);
    if (!type) return;
    const std::string defaultFolder = modPLFunction::GetDefaultFolder();
    switch (*type) {
    case 1:
        optDataSource = OPT_DS_ODBC;
        cboDataSource = std::string(strDataSource);
        txtConnection.clear();
        txtUDL.clear();
        break;
    case 2:
        optDataSource = OPT_DS_CONNECTION;
        cboDataSource.clear();
        txtConnection = modPLFunction::ResolveDataSourcePath(strDataSource, mstrDocumentFolder, defaultFolder);
        txtUDL.clear();
        break;
    case 3:
        optDataSource = OPT_DS_UDL;
        cboDataSource.clear();
        txtConnection.clear();
        txtUDL = std::string(strDataSource);
        break;
    case 4:
        // A database file is shown as the connection string that opens it.
        optDataSource = OPT_DS_CONNECTION;
        cboDataSource.clear();
        txtConnection = modPLFunction::ResolveDataSourcePath(modPLFunction::MakeConnectionString("4", strDataSource),
                                                             mstrDocumentFolder, defaultFolder);
        txtUDL.clear();
        break;
    default:
        break;
    }
}

void clsPLEBindForm::SetRecordSource(std::string_view strRecordSourceType, std::string_view strRecordSource,
                                     std::string_view strRSWhere, std::string_view strRSOrder) {
    const auto type = TypeNumber(strRecordSourceType);
    if (!type) return;
    switch (*type) {
    case 2:
        optRecordSource = OPT_RS_TABLE;
        cboTable = std::string(strRecordSource);
        cboProcedure.clear();
        txtRecordSource.clear();
        mstrRSWhere = std::string(strRSWhere);
        mstrRSOrder = std::string(strRSOrder);
        break;
    case 4:
        optRecordSource = OPT_RS_PROCEDURE;
        cboTable.clear();
        cboProcedure = std::string(strRecordSource);
        txtRecordSource.clear();
        mstrRSWhere = std::string(strRSWhere);
        mstrRSOrder = std::string(strRSOrder);
        break;
    case 1:
        optRecordSource = OPT_RS_SQL;
        cboTable.clear();
        cboProcedure.clear();
        txtRecordSource = WithLineFeeds(strRecordSource);
        mstrRSWhere.clear();
        mstrRSOrder.clear();
        break;
    default:
        return;
    }
    mintLastRecordSource = optRecordSource;
}

bool clsPLEBindForm::DoModal() {
    mblnDirty = false;
    mblnResult = false;
    if (edit::EditForms* forms = edit::CurrentEditForms()) forms->ShowDBBind(*this);
    return mblnResult;
}

bool clsPLEBindForm::IsCleared() const {
    return GetDataSource().empty() && txtUserName.empty() && txtPassword.empty() && GetRecordSource().empty() &&
           mstrRSWhere.empty() && mstrRSOrder.empty();
}

int clsPLEBindForm::GetDataSourceType() const {
    switch (optDataSource) {
    case OPT_DS_ODBC: return 1;
    case OPT_DS_CONNECTION: return 2;
    case OPT_DS_UDL: return 3;
    default: return 0;
    }
}

std::string clsPLEBindForm::GetDataSource() const {
    switch (optDataSource) {
    case OPT_DS_ODBC: return cboDataSource;
    case OPT_DS_CONNECTION: return txtConnection;
    case OPT_DS_UDL: return txtUDL;
    default: return {};
    }
}

int clsPLEBindForm::GetRecordSourceType() const {
    switch (optRecordSource) {
    case OPT_RS_TABLE: return 2;
    case OPT_RS_PROCEDURE: return 4;
    case OPT_RS_SQL: return 1;
    default: return 8;
    }
}

std::string clsPLEBindForm::GetRecordSource() const {
    switch (optRecordSource) {
    case OPT_RS_TABLE: return cboTable;
    case OPT_RS_PROCEDURE: return cboProcedure;
    case OPT_RS_SQL: return txtRecordSource;
    default: return {};
    }
}

void clsPLEBindForm::optDataSource_Click(int intIndex) {
    if (intIndex < OPT_DS_ODBC || intIndex > OPT_DS_UDL) return;
    optDataSource = intIndex;
    mblnDirty = true;
}

void clsPLEBindForm::optRecordSource_Click(int intIndex) {
    if (intIndex < OPT_RS_TABLE || intIndex > OPT_RS_SQL) return;
    optRecordSource = intIndex;
    if (intIndex == OPT_RS_SQL && txtRecordSource.empty()) {
        if (mintLastRecordSource == OPT_RS_TABLE && !cboTable.empty()) {
            txtRecordSource = "SELECT * FROM " + cboTable;
            if (!mstrRSWhere.empty()) txtRecordSource += kLineBreak + std::string(" WHERE ") + mstrRSWhere;
            if (!mstrRSOrder.empty()) txtRecordSource += kLineBreak + std::string(" ORDER BY ") + mstrRSOrder;
        } else if (mintLastRecordSource == OPT_RS_PROCEDURE && !cboProcedure.empty()) {
            txtRecordSource = "EXECUTE " + cboProcedure;
        }
    }
    mintLastRecordSource = intIndex;
    mblnDirty = true;
}

void clsPLEBindForm::cboDataSource_DropDown() {
    const std::string typed = cboDataSource;
    const bool dirty = mblnDirty;
    cboDataSourceList.clear();
    try {
        for (auto& source : host::ado::ListOdbcDataSources()) cboDataSourceList.push_back(std::move(source.name));
    } catch (...) {
        // Without a driver manager the list stays empty; a name can still be typed.
        debuglog::Swallowed("clsPLEBindForm.cpp: cboDataSource_DropDown");
    }
    cboDataSource = typed;
    mblnDirty = dirty;
}

void clsPLEBindForm::cboTable_DropDown() { FillSchemaList(cboTableList, cboTable, false); }

void clsPLEBindForm::cboProcedure_DropDown() { FillSchemaList(cboProcedureList, cboProcedure, true); }

void clsPLEBindForm::FillSchemaList(std::vector<std::string>& list, std::string& text, bool blnProcedures) {
    const std::string typed = text;
    const bool dirty = mblnDirty;
    list.clear();
    const std::string type = std::to_string(GetDataSourceType());
    const std::string source = GetDataSource();
    if (!modPLFunction::MakeConnectionString(type, source).empty()) {
        const auto attempt =
            modPLFunction::TryOpenConnection(type, source, txtUserName, txtPassword, mstrDocumentFolder);
        if (attempt.error) {
            modPLFunction::ShowErrorMessage(EditTitle(), std::make_exception_ptr(*attempt.error));
        } else if (attempt.connection) {
            try {
                const auto rows = attempt.connection->OpenSchema(blnProcedures ? host::ado::SchemaEnum::adSchemaProcedures
                                                                              : host::ado::SchemaEnum::adSchemaTables);
                const char* const column = blnProcedures ? "PROCEDURE_NAME" : "TABLE_NAME";
                for (; rows && !rows->IsEOF(); rows->MoveNext())
                    list.push_back(host::ado::CStr(rows->Fields().Item(column).Value()));
                if (rows) rows->Close();
            } catch (...) {
                // The list keeps what was read before the failure.
                debuglog::Swallowed("clsPLEBindForm.cpp: FillSchemaList");
            }
            attempt.connection->Close();
        }
    }
    text = typed;
    mblnDirty = dirty;
}

void clsPLEBindForm::cmdConnection_Click() {
    try {
        edit::ConnectionEditor editor;
        editor.Init(txtConnection);
        if (editor.DoModal()) {
            const std::string text = editor.GetConnectionString();
            if (text != txtConnection) {
                txtConnection = text;
                mblnDirty = true;
            }
        }
    } catch (...) {
        modPLFunction::ShowErrorMessage(EditTitle());
    }
}

void clsPLEBindForm::cmdUDL_Click() {
    try {
        edit::DataLinkEditor editor;
        editor.Init(txtUDL);
        if (editor.DoModal() && editor.GetPath() != txtUDL) {
            txtUDL = editor.GetPath();
            mblnDirty = true;
        }
    } catch (...) {
        modPLFunction::ShowErrorMessage(EditTitle());
    }
}

void clsPLEBindForm::cmdRSWhere_Click() {
    const std::string type = std::to_string(GetDataSourceType());
    auto connection = modPLFunction::OpenConnection(type, GetDataSource(), txtUserName, txtPassword, mstrDocumentFolder);
    clsPLFilterEditor editor;
    editor.Init(mblnHeader ? "基本データ部の抽出" : "明細データ部の抽出");
    editor.SetDataFieldList(
        modPLDataFields::DataFieldNames(connection, std::to_string(GetRecordSourceType()), GetRecordSource()));
    editor.SetFilter(mstrRSWhere);
    if (connection) connection->Close();
    if (edit::DoModal(editor) && editor.IsDirty()) {
        mstrRSWhere = editor.GetFilter();
        mblnDirty = true;
    }
}

void clsPLEBindForm::cmdRSOrder_Click() {
    const std::string type = std::to_string(GetDataSourceType());
    auto connection = modPLFunction::OpenConnection(type, GetDataSource(), txtUserName, txtPassword, mstrDocumentFolder);
    clsPLSortEditor editor;
    editor.Init(mblnHeader ? "基本データ部のソート" : "明細データ部のソート");
    editor.SetDataFieldList(
        modPLDataFields::DataFieldNames(connection, std::to_string(GetRecordSourceType()), GetRecordSource()));
    editor.SetSort(mstrRSOrder);
    if (connection) connection->Close();
    if (edit::DoModal(editor) && editor.IsDirty()) {
        mstrRSOrder = editor.GetSort();
        mblnDirty = true;
    }
}

void clsPLEBindForm::cmdTest_Click() {
    const std::string type = std::to_string(GetDataSourceType());
    const auto attempt =
        modPLFunction::TryOpenConnection(type, GetDataSource(), txtUserName, txtPassword, mstrDocumentFolder);
    if (!attempt.connection) {
        ShowWarning("データ ソース、ユーザ名、パスワードの設定に不正があります",
                    attempt.error ? attempt.error->Description() : "データ ソースが設定されていません");
        return;
    }
    // The record source is only read: a statement that would change the database is refused
    // rather than run by a test.
    const std::string recordSource = GetRecordSource();
    const auto records = modPLFunction::TryOpenRecordset(attempt.connection, std::to_string(GetRecordSourceType()),
                                                         recordSource, mstrRSWhere, mstrRSOrder, "", "");
    if (records.recordset) records.recordset->Close();
    attempt.connection->Close();
    if (!records.recordset) {
        ShowWarning("レコード ソースの設定に不正があります",
                    records.error           ? records.error->Description()
                    : recordSource.empty() ? "レコード ソースが設定されていません"
                                           : "レコード ソースからレコードを読めません");
        return;
    }
    modPLFunction::ShowInformationMessage("テストは無事に完了しました!", EditTitle());
}

bool clsPLEBindForm::cmdOK_Click() {
    const bool finish = cmdOKCaption == kOKCaption;
    if (GetDataSource().empty() &&
        !AskYesNo(finish ? "データ ソースが設定されていませんが、終了してもよろしいですか"
                         : "データ ソースが設定されていませんが、次へ移動してもよろしいですか"))
        return false;
    if (GetRecordSource().empty() &&
        !AskYesNo(finish ? "レコード ソースが設定されていませんが、終了してもよろしいですか"
                         : "レコード ソースが設定されていませんが、次へ移動してもよろしいですか"))
        return false;
    mblnResult = true;
    return true;
}

}  // namespace paperloom
