#include "Edit/frmPLECalculator.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "Edit/EditForms.h"
#include "Edit/modPLEFunction.h"
#include "common/modPLConst.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"
#include "host/word/Document.h"

namespace paperloom {
namespace {

constexpr std::array<std::string_view, 18> kFunctions = {"ABS", "AND",   "AVERAGE", "COUNT", "DEFINED", "FALSE",
                                                         "IF",  "INT",   "MAX",     "MIN",   "MOD",     "NOT",
                                                         "OR",  "PRODUCT", "ROUND", "SIGN",  "SUM",     "TRUE"};

// The number pictures; the same as the number format type's ready-made pictures.
std::vector<std::string> NumberPictures() {
    std::vector<std::string> pictures;
    for (const auto picture : modPLFieldCode::GetFormatTypes()[0].pictures) pictures.emplace_back(picture);
    return pictures;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

// An error of the dialog's own work shown as its description only.
void ShowDescription() {
    if (const auto error = modPLFunction::ErrorToReport(std::current_exception()))
        modPLFunction::ShowCriticalMessage(error->Description(), modPLConst::EDIT_APP_TITLE);
}

}  // namespace

frmPLECalculator::frmPLECalculator() : txtCalc("="), txtCalcSelStart(1), cboFormatList(NumberPictures()) {
    lstFunction.assign(kFunctions.begin(), kFunctions.end());
}

void frmPLECalculator::DoModal(const std::shared_ptr<word::Document>& docTarget) {
    txtCalc = "=";
    cboFormat.clear();
    cboFormatList = NumberPictures();
    lstFunctionIndex = -1;
    mfldLoaded.reset();
    FillBookmarks(docTarget);
    txtCalcSelStart = 1;
    if (docTarget) {
        const auto selection = docTarget->Selection();
        mfldLoaded = modPLEFunction::GetCalcFieldAtCursor(word::FieldsOf(*docTarget), selection);
        if (!mfldLoaded)
            mfldLoaded = modPLEFunction::FindFieldInShapes(docTarget->Shapes(), selection,
                                                           modPLEFunction::GetCalcFieldAtCursor);
        if (mfldLoaded) LoadField(*mfldLoaded);
    }
    mblnResult = false;
    if (edit::EditForms* forms = edit::CurrentEditForms()) forms->ShowCalculator(*this);
    if (!mblnResult) cmdCancel_Click();
}

void frmPLECalculator::LoadField(const word::Field& fldTarget) {
    const auto parts = modPLFieldCode::SplitFormulaCode(modPLEFunction::FieldCodeText(fldTarget));
    txtCalc = parts.strFormula;
    txtCalcSelStart = std::min<std::size_t>(txtCalcSelStart, txtCalc.size());
    if (parts.strPicture.empty()) return;
    const auto known = std::find_if(cboFormatList.begin(), cboFormatList.end(),
                                    [&](const std::string& entry) { return SameIgnoringCase(entry, parts.strPicture); });
    if (known != cboFormatList.end()) {
        cboFormat = *known;
    } else {
        cboFormatList.insert(cboFormatList.begin(), parts.strPicture);
        cboFormat = parts.strPicture;
    }
}

void frmPLECalculator::FillBookmarks(const std::shared_ptr<word::Document>& docTarget) {
    lstBookmark.clear();
    lstBookmarkIndex = -1;
    if (!docTarget) return;
    try {
        for (const auto& name : docTarget->Bookmarks()) lstBookmark.push_back(name);
    } catch (...) {
        ShowDescription();
    }
}

void frmPLECalculator::txtCalc_Change(std::string strText, std::size_t lngSelStart) {
    txtCalc = std::move(strText);
    txtCalc_SelChange(lngSelStart);
}

void frmPLECalculator::txtCalc_SelChange(std::size_t lngSelStart) {
    txtCalcSelStart = std::min(lngSelStart, txtCalc.size());
}

void frmPLECalculator::InsertAtCaret(const std::string& strText, std::size_t lngCaretAfter) {
    // A caret beyond the text or inside a character's bytes goes back to the nearest whole one.
    std::size_t at = std::min(txtCalcSelStart, txtCalc.size());
    while (at > 0 && at < txtCalc.size() && (static_cast<unsigned char>(txtCalc[at]) & 0xC0) == 0x80) --at;
    txtCalc.insert(at, strText);
    txtCalcSelStart = at + lngCaretAfter;
}

void frmPLECalculator::cmdFunction_Click() {
    try {
        if (lstFunctionIndex < 0 || lstFunctionIndex >= static_cast<int>(lstFunction.size())) return;
        const std::string& name = lstFunction[static_cast<std::size_t>(lstFunctionIndex)];
        InsertAtCaret(name + "()", name.size() + 1);
    } catch (...) {
        ShowDescription();
    }
}

void frmPLECalculator::cmdBookmark_Click() {
    try {
        if (lstBookmarkIndex < 0 || lstBookmarkIndex >= static_cast<int>(lstBookmark.size())) return;
        const std::string& name = lstBookmark[static_cast<std::size_t>(lstBookmarkIndex)];
        InsertAtCaret(name, name.size());
    } catch (...) {
        ShowDescription();
    }
}

}  // namespace paperloom
