#include "Edit/frmPLEDetailInsert.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "Edit/EditForms.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"
#include "host/ado/Connection.h"
#include "host/ado/Recordset.h"
#include "host/ado/Variant.h"
#include "host/ui/UiServices.h"
#include "host/word/Document.h"

namespace paperloom {
namespace {

constexpr long kMaxRowCount = 32;

auto At(std::size_t index) { return static_cast<std::ptrdiff_t>(index); }

}  // namespace

frmPLEDetailInsert::frmPLEDetailInsert() {
    lstSupportFields.push_back({kRowNumberField, TAG_SUPPORT, true});
    for (long i = 1; i <= kMaxRowCount; ++i) cboRowCountList.push_back(std::to_string(i));
}

void frmPLEDetailInsert::Init(std::shared_ptr<word::Document> docTarget, std::string_view strDocumentFolder) {
    mdocTarget = std::move(docTarget);
    mstrDocumentFolder = std::string(strDocumentFolder);
    lstDataFields.clear();
    txtExpression.clear();
    txtBookmark.clear();
    mstrDataSourceType.clear();
    mstrDataSource.clear();
    mstrUserName.clear();
    mstrPassword.clear();
    mstrRecordSourceType.clear();
    mstrRecordSource.clear();
    cboRowCount = "8";
    for (std::size_t i = 0; i < lstSupportFields.size(); ++i) lstSupportFields[i].blnSelected = i == 0;
    mclsDetailForm.Init(*this);
}

void frmPLEDetailInsert::AddParentDataFields(const std::shared_ptr<host::ado::Connection>& conTarget,
                                             std::string_view strRecordSourceType, std::string_view strRecordSource) {
    mclsDetailForm.AddParentDataFields(conTarget, strRecordSourceType, strRecordSource);
}

void frmPLEDetailInsert::AddFields(std::string_view strDataSourceType, std::string_view strDataSource,
                                   std::string_view strUserName, std::string_view strPassword,
                                   std::string_view strRecordSourceType, std::string_view strRecordSource) {
    mstrDataSourceType = std::string(strDataSourceType);
    mstrDataSource = std::string(strDataSource);
    mstrUserName = std::string(strUserName);
    mstrPassword = std::string(strPassword);
    mstrRecordSourceType = std::string(strRecordSourceType);
    mstrRecordSource = std::string(strRecordSource);
    FillFields();
}

// The record source's fields into the data-field list and the child key's list, the columns
// emptied; the default bookmark name when none is typed.
void frmPLEDetailInsert::FillFields() {
    lstDataFields.clear();
    lstColumns.clear();
    cboChildKey.clear();
    cboChildKeyList.clear();
    if (mstrDataSourceType.empty() || mstrDataSource.empty() || mstrRecordSourceType.empty() ||
        mstrRecordSource.empty() || modPLFunction::MakeConnectionString(mstrDataSourceType, mstrDataSource).empty())
        return;
    const auto connection = modPLFunction::OpenConnection(mstrDataSourceType, mstrDataSource, mstrUserName,
                                                          mstrPassword, mstrDocumentFolder);
    if (!connection) return;
    try {
        // Read-only: opening a record source never changes the database.
        const auto records =
            modPLFunction::OpenRecordset(connection, mstrRecordSourceType, mstrRecordSource, "", "", "", "");
        if (records) {
            const auto fields = records->Fields();
            for (long i = 0; i < fields.Count(); ++i) {
                const std::string name = fields.Item(i).Name();
                lstDataFields.push_back({name, i, false});
                cboChildKeyList.push_back(name);
            }
            records->Close();
        }
    } catch (...) {
        // What was added stays.
        debuglog::Swallowed("frmPLEDetailInsert.cpp: FillFields");
    }
    connection->Close();
    if (!lstDataFields.empty()) lstDataFields.front().blnSelected = true;
    if (txtBookmark.empty()) txtBookmark = modPLFunction::GetTableNameFromStatement(mstrRecordSource);
}

int frmPLEDetailInsert::DoModal() {
    mintResult = RESULT_CANCEL;
    mblnDirty = false;
    if (edit::EditForms* forms = edit::CurrentEditForms()) forms->ShowDetailInsert(*this);
    return mintResult;
}

int frmPLEDetailInsert::GetFieldType(long lngColumn) const {
    if (lngColumn < 1 || lngColumn > ColumnCount()) return 0;
    switch (lstColumns[static_cast<std::size_t>(lngColumn - 1)].lngTag) {
    case TAG_EMPTY: return 0;
    case TAG_EXPRESSION: return 3;
    case TAG_SUPPORT: return 2;
    default: return 1;
    }
}

std::string frmPLEDetailInsert::GetCaption(long lngColumn) const {
    if (lngColumn < 1 || lngColumn > ColumnCount()) return {};
    const DetailColumn& column = lstColumns[static_cast<std::size_t>(lngColumn - 1)];
    switch (column.lngTag) {
    case TAG_EMPTY: return {};
    case TAG_EXPRESSION: return kExpressionCaption;
    default: return column.strContent;
    }
}

std::string frmPLEDetailInsert::GetDataField(long lngColumn) const {
    if (lngColumn < 1 || lngColumn > ColumnCount()) return {};
    return lstColumns[static_cast<std::size_t>(lngColumn - 1)].strContent;
}

long frmPLEDetailInsert::RowCount() const {
    const auto number = host::ado::ParseNumericText(cboRowCount);
    if (!number || *number != std::floor(*number) || *number < 1 || *number > 32767) return 0;
    return static_cast<long>(*number);
}

std::size_t frmPLEDetailInsert::InsertionPoint() const {
    const auto first = std::find_if(lstColumns.begin(), lstColumns.end(), [](const auto& c) { return c.blnSelected; });
    return static_cast<std::size_t>(first - lstColumns.begin());
}

// Selects one column alone (none when the index is past the end) and renews the letters from
// the given index on.
void frmPLEDetailInsert::SelectColumnAndRenumber(std::size_t lngSelected, std::size_t lngRenumberFrom) {
    for (std::size_t i = 0; i < lstColumns.size(); ++i) lstColumns[i].blnSelected = i == lngSelected;
    for (std::size_t i = lngRenumberFrom; i < lstColumns.size(); ++i)
        lstColumns[i].strLetter = modPLFunction::ColumnLetters(static_cast<long>(i + 1));
}

void frmPLEDetailInsert::cmdField_Click(int intIndex) {
    std::size_t at = InsertionPoint();
    const std::size_t start = at;
    auto insert = [&](std::string content, long tag) {
        lstColumns.insert(lstColumns.begin() + At(at), DetailColumn{{}, std::move(content), tag, false});
        ++at;
    };
    switch (intIndex) {
    case CMD_ADD_SELECTED:
    case CMD_ADD_ALL: {
        std::optional<std::size_t> firstMoved;
        for (std::size_t i = 0; i < lstDataFields.size();) {
            if (intIndex == CMD_ADD_ALL || lstDataFields[i].blnSelected) {
                if (!firstMoved) firstMoved = i;
                insert(lstDataFields[i].strText, lstDataFields[i].lngItemData);
                lstDataFields.erase(lstDataFields.begin() + At(i));
            } else {
                ++i;
            }
        }
        if (!firstMoved) return;
        for (auto& field : lstDataFields) field.blnSelected = false;
        if (!lstDataFields.empty()) lstDataFields[std::min(*firstMoved, lstDataFields.size() - 1)].blnSelected = true;
        break;
    }
    case CMD_ADD_SUPPORT:
        for (const auto& support : lstSupportFields)
            if (support.blnSelected) insert(support.strText, support.lngItemData);
        if (at == start) return;
        break;
    case CMD_ADD_EXPRESSION:
        if (txtExpression.empty()) return;
        insert(txtExpression, TAG_EXPRESSION);
        break;
    case CMD_ADD_EMPTY:
        insert(kEmptyColumn, TAG_EMPTY);
        break;
    case CMD_REMOVE_SELECTED: {
        if (at == lstColumns.size()) return;  // nothing selected
        for (std::size_t i = lstColumns.size(); i-- > start;) {
            if (!lstColumns[i].blnSelected) continue;
            const DetailColumn removed = lstColumns[i];
            lstColumns.erase(lstColumns.begin() + At(i));
            if (removed.lngTag >= 0) {
                // Back into the data fields in the record source's order.
                const auto place = std::find_if(lstDataFields.begin(), lstDataFields.end(),
                                                [&](const auto& f) { return f.lngItemData > removed.lngTag; });
                lstDataFields.insert(place, DetailListEntry{removed.strContent, removed.lngTag, false});
            }
        }
        mblnDirty = true;
        // The entry before the first removed one, or the first when that was the first.
        SelectColumnAndRenumber(start == 0 ? 0 : start - 1, start == 0 ? 0 : start - 1);
        return;
    }
    case CMD_REMOVE_ALL:
        if (lstColumns.empty()) return;
        FillFields();
        mblnDirty = true;
        return;
    default:
        return;
    }
    mblnDirty = true;
    SelectColumnAndRenumber(at - 1, start == 0 ? 0 : start - 1);
}

bool frmPLEDetailInsert::cmdOK_Click() {
    const std::string title(modPLConst::EDIT_APP_TITLE);
    if (lstColumns.empty()) {
        modPLFunction::ShowCriticalMessage("表示する列が設定されていません", title);
        return false;
    }
    auto ask = [&](const char* question) {
        ui::MessageRequest request;
        request.strText = question;
        request.strTitle = title;
        request.icon = ui::MessageIcon::Question;
        request.buttons = ui::MessageButtons::YesNo;
        return ui::Messages().Show(request) == ui::vbYes;
    };
    if (cboParentKey.empty() &&
        !ask("基本データ部リンクキー フィールドが設定されていませんが、終了してもよろしいですか"))
        return false;
    if (cboChildKey.empty() &&
        !ask("明細データ部リンクキー フィールドが設定されていませんが、終了してもよろしいですか"))
        return false;
    if (mdocTarget && modPLFunction::IsInvalidBookmarkName(txtBookmark, *mdocTarget, title)) return false;
    mintResult = RESULT_OK;
    return true;
}

}  // namespace paperloom
