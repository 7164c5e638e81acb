#include "Edit/DataLinkEditor.h"

#include <filesystem>
#include <span>

#include "Edit/ConnectionEditor.h"
#include "Edit/EditForms.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/ado/DataLinkFile.h"
#include "host/docx/AtomicFile.h"

namespace paperloom::edit {
namespace {

std::string Title() { return std::string(modPLConst::EDIT_APP_TITLE); }

}  // namespace

void DataLinkEditor::Init(std::string_view strPath) {
    mblnResult = false;
    SetPath(strPath);
}

bool DataLinkEditor::DoModal() {
    mblnResult = false;
    if (EditForms* forms = CurrentEditForms()) forms->ShowDataLinkEditor(*this);
    return mblnResult;
}

void DataLinkEditor::SetPath(std::string_view strPath) {
    txtPath = std::string(strPath);
    txtConnection.clear();
    lblStatus.clear();
    mblnChanged = false;
    std::error_code ec;
    mblnExists = !txtPath.empty() && std::filesystem::exists(txtPath, ec);
    if (!mblnExists) {
        if (!txtPath.empty()) lblStatus = "新しいファイルを作成します";
        return;
    }
    try {
        txtConnection = host::ado::ReadDataLinkFile(txtPath);
    } catch (const host::HostError& error) {
        lblStatus = error.Description();
    }
}

void DataLinkEditor::txtConnection_Change(std::string_view strText) {
    txtConnection = std::string(strText);
    mblnChanged = true;
}

void DataLinkEditor::cmdEdit_Click() {
    ConnectionEditor editor;
    editor.Init(txtConnection);
    if (editor.DoModal()) txtConnection_Change(editor.GetConnectionString());
}

bool DataLinkEditor::cmdOK_Click() {
    if (txtPath.empty()) {
        modPLFunction::ShowCriticalMessage("データ リンク ファイルを指定してください", Title());
        return false;
    }
    if (mblnExists && !mblnChanged) {
        // An unreadable file is not handed to the dialog as it is.
        if (!lblStatus.empty()) {
            modPLFunction::ShowCriticalMessage(lblStatus, Title());
            return false;
        }
        mblnResult = true;
        return true;
    }
    if (txtConnection.empty()) {
        modPLFunction::ShowCriticalMessage("接続文字列を指定してください", Title());
        return false;
    }
    try {
        const std::string bytes = host::ado::MakeDataLinkText(txtConnection);
        docx::WriteFileAtomically(txtPath, std::as_bytes(std::span(bytes.data(), bytes.size())));
    } catch (...) {
        modPLFunction::ShowErrorMessage(Title());
        return false;
    }
    mblnExists = true;
    mblnChanged = false;
    lblStatus.clear();
    mblnResult = true;
    return true;
}

}  // namespace paperloom::edit
