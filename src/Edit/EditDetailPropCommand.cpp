// The detail properties command: the dialog preset from the table at the selection, and the
// table's own settings written back into the hidden text of its first cell.

#include <array>
#include <optional>
#include <string>

#include "Edit/EditCommands.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"
#include "host/ado/Connection.h"
#include "host/word/Application.h"
#include "host/word/Bookmarks.h"
#include "host/word/Document.h"
#include "host/word/addins/AddInHost.h"

namespace paperloom::edit {
namespace {

namespace K = modPLConst;

// The table's own keys, in the order the detail insert command writes them.
constexpr std::array<std::string_view, 12> kDetailKeys = {
    K::PROP_DATA_SOURCE_TYPE, K::PROP_DATA_SOURCE, K::PROP_USER_NAME,  K::PROP_PASSWORD,
    K::PROP_RECORD_SOURCE_TYPE, K::PROP_RECORD_SOURCE, K::PROP_RS_WHERE, K::PROP_RS_ORDER,
    K::PROP_PARENT_KEY,       K::PROP_CHILD_KEY,   K::PROP_COLUMN_HEADERS, K::PROP_AUTO_ADJUST_ROW_COUNT};

std::string DocVariable(word::Document& doc, std::string_view name, std::string_view fallback = {}) {
    return clsPLProperty().GetDocVariable(name, doc, fallback);
}

std::array<std::string, 12> DetailValuesOf(const frmPLEDetailProp& form) {
    return {std::to_string(form.GetDataSourceType()),
            form.GetDataSource(),
            form.Bind().txtUserName,
            form.Bind().txtPassword,
            std::to_string(form.GetRecordSourceType()),
            form.GetRecordSource(),
            form.GetRSWhere(),
            form.GetRSOrder(),
            form.cboParentKey,
            form.cboChildKey,
            modPLFunction::FlagToText(form.chkColumnHeaders),
            modPLFunction::FlagToText(form.chkAutoAdjustRowCount)};
}

}  // namespace

void EditCommands::DetailProp() {
    const auto doc = ActiveDocument();
    const auto tables = doc->Selection().Range().Tables();
    if (tables.Count() == 0) {
        modPLFunction::ShowInformationMessage("カーソルを対象の表に移動してください", K::EDIT_APP_TITLE);
        return;
    }
    const word::Table table = tables.Item(1);
    const clsPLProperty prop;
    const auto cell = table.Cell(1, 1).Range();
    std::optional<word::Range> found;
    const bool blnHasProps = prop.GetProperties2(cell, found) && found.has_value();
    std::string strProps;
    if (blnHasProps) {
        found->TextRetrievalMode().SetIncludeHiddenText(true);
        strProps = found->Text();
    }

    const std::string strHeadType = DocVariable(*doc, K::PROP_DATA_SOURCE_TYPE);
    const std::string strHeadSource = DocVariable(*doc, K::PROP_DATA_SOURCE);
    const std::string strHeadUser = DocVariable(*doc, K::PROP_USER_NAME);
    const std::string strHeadPassword = DocVariable(*doc, K::PROP_PASSWORD);
    auto& form = mDialogs.frmPLEDetailProp;
    form.Init(doc, modPLFunction::ActiveDocumentFolder(mHost.Application()));
    const auto header = modPLFunction::ConnectHeaderDataSource(*doc);
    form.AddParentDataFields(header, DocVariable(*doc, K::PROP_RECORD_SOURCE_TYPE),
                             DocVariable(*doc, K::PROP_RECORD_SOURCE));
    if (header) {
        try {
            header->Close();
        } catch (...) {
            debuglog::Swallowed("EditDetailPropCommand.cpp: closing the header connection");
        }
    }
    form.AddDetailBookmarks(table.Range().Bookmarks());

    const auto value = [&](std::string_view key, std::string_view fallback = {}) {
        return prop.GetPropertyFromText(strProps, key, fallback);
    };
    auto& bind = form.Bind();
    if (blnHasProps) {
        // A table without a data source of its own reads the header's; so does the dialog.
        if (!value(K::PROP_DATA_SOURCE).empty()) {
            form.SetDataSource(value(K::PROP_DATA_SOURCE_TYPE), value(K::PROP_DATA_SOURCE));
            bind.txtUserName = value(K::PROP_USER_NAME);
            bind.txtPassword = value(K::PROP_PASSWORD);
        } else {
            form.SetDataSource(strHeadType, strHeadSource);
            const std::string user = value(K::PROP_USER_NAME);
            const std::string password = value(K::PROP_PASSWORD);
            bind.txtUserName = user.empty() ? strHeadUser : user;
            bind.txtPassword = password.empty() ? strHeadPassword : password;
        }
        form.SetRecordSource(value(K::PROP_RECORD_SOURCE_TYPE), value(K::PROP_RECORD_SOURCE),
                             value(K::PROP_RS_WHERE), value(K::PROP_RS_ORDER));
        form.cboParentKey = value(K::PROP_PARENT_KEY);
        form.cboChildKey = value(K::PROP_CHILD_KEY);
        form.chkColumnHeaders = modPLFunction::TextToFlag(value(K::PROP_COLUMN_HEADERS, K::DEFAULT_COLUMN_HEADERS));
        form.chkAutoAdjustRowCount =
            modPLFunction::TextToFlag(value(K::PROP_AUTO_ADJUST_ROW_COUNT, K::DEFAULT_AUTO_ADJUST_ROW_COUNT));
    } else {
        form.SetDataSource(strHeadType, strHeadSource);
        bind.txtUserName = strHeadUser;
        bind.txtPassword = strHeadPassword;
    }

    if (!form.DoModal() || !form.IsDirty()) return;

    if (!form.IsCleared()) {
        // Built whole before the document is touched: a value the text cannot hold changes nothing.
        const auto values = DetailValuesOf(form);
        for (std::size_t i = 0; i < kDetailKeys.size(); ++i) prop.SetPropertyToText(strProps, kDetailKeys[i], values[i]);
        if (blnHasProps)
            found->SetText(strProps);
        else
            clsPLRange().InsertBeforeHiddenText(strProps, cell);
    } else if (blnHasProps) {
        for (const auto key : kDetailKeys) prop.DeletePropertyFromText(strProps, key);
        found->SetText(strProps);
    }
    form.UpdateDetailBookmark(table.Range().Bookmarks(), table.Range());

    if (DocVariable(*doc, K::PROP_UPDATE_DETAIL, K::DEFAULT_UPDATE_DETAIL) == K::FLAG_TRUE) RefreshRunTime("UpdateView");
}

}  // namespace paperloom::edit
