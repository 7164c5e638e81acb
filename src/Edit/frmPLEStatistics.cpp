#include "Edit/frmPLEStatistics.h"

#include <algorithm>

#include "Edit/EditForms.h"
#include "Edit/modPLEFunction.h"
#include "common/modPLConst.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"
#include "host/word/Document.h"
#include "host/word/Table.h"

namespace paperloom {

frmPLEStatistics::frmPLEStatistics() {
    for (const auto function : modPLFieldCode::GetStatisticsFunctions()) cboFunctionList.emplace_back(function);
}

void frmPLEStatistics::Init(const std::optional<word::Field>& fldTarget) {
    cboFunction.clear();
    cboBookmark.clear();
    cboColumn.clear();
    cboColumnList.clear();
    cboFormatTypeIndex = -1;
    cboFormat.clear();
    mblnResult = false;
    mblnDirty = false;
    mclsFormatForm.Init(*this);
    SetField(fldTarget);
}

bool frmPLEStatistics::DoModal() {
    mblnResult = false;
    if (edit::EditForms* forms = edit::CurrentEditForms()) forms->ShowStatistics(*this);
    return mblnResult;
}

void frmPLEStatistics::SetFieldCode(word::Field& fldTarget) const {
    fldTarget.SetCode(std::string(modPLFieldCode::QUOTE_WORD) + " " + std::string(modPLFieldCode::KEY_STATISTICS) + " " +
                      MakeFieldCode_());
}

void frmPLEStatistics::SetField(const std::optional<word::Field>& fldTarget) {
    if (!fldTarget) return;
    modPLFieldCode::StatisticsFieldSettings settings;
    if (!modPLFieldCode::ReadStatisticsFieldCode(modPLEFunction::FieldCodeText(*fldTarget),
                                                 fldTarget->Type() == word::wdFieldQuote, settings))
        return;
    SetFunction_(settings.strFunction);
    cboBookmark = settings.strBookmark;
    cboColumn = settings.strColumn;
    if (!settings.strFormatType.empty()) mclsFormatForm.SetFormatType(settings.strFormatType);
    if (!settings.strFormat.empty()) cboFormat = settings.strFormat;
}

std::string frmPLEStatistics::MakeFieldCode_() const {
    return cboFunction + " " + cboBookmark + " " + cboColumn + mclsFormatForm.GetFormatCode();
}

void frmPLEStatistics::AddBookmarks(std::shared_ptr<word::Document> docTarget) {
    mdocTarget = std::move(docTarget);
    cboBookmarkList.clear();
    if (!mdocTarget) return;
    for (const auto& name : mdocTarget->Bookmarks()) cboBookmarkList.push_back(name);
}

void frmPLEStatistics::SetFunction_(std::string_view strFunction) {
    const bool blnKnown = std::find(cboFunctionList.begin(), cboFunctionList.end(), strFunction) != cboFunctionList.end();
    cboFunction = blnKnown ? std::string(strFunction) : std::string();
}

void frmPLEStatistics::cboColumn_DropDown() {
    cboColumnList.clear();
    if (cboBookmark.empty() || !mdocTarget) return;
    try {
        const auto bookmarks = mdocTarget->Bookmarks();
        if (!bookmarks.Exists(cboBookmark)) return;
        for (const auto& table : bookmarks.Item(cboBookmark).Range().Tables()) {
            const long lngColumns = table.Columns().Count();
            for (long c = 1; c <= lngColumns; ++c) cboColumnList.push_back(modPLFunction::ColumnLetters(c));
        }
    } catch (...) {
        // A bookmark the document cannot resolve offers no columns.
        debuglog::Swallowed("frmPLEStatistics.cpp: cboColumn_DropDown");
    }
}

bool frmPLEStatistics::cmdOK_Click() {
    const auto refuse = [](std::string_view strMessage) {
        modPLFunction::ShowCriticalMessage(strMessage, modPLConst::EDIT_APP_TITLE);
        return false;
    };
    if (cboFunction.empty()) return refuse(modPLConst::MSG_NO_FUNCTION);
    if (cboBookmark.empty()) return refuse(modPLConst::MSG_NO_BOOKMARK);
    if (cboColumn.empty()) return refuse(modPLConst::MSG_NO_COLUMN);
    mblnResult = true;
    return true;
}

}  // namespace paperloom
