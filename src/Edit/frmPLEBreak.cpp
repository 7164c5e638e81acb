#include "Edit/frmPLEBreak.h"

#include <algorithm>

#include "Edit/EditForms.h"
#include "common/modPLConst.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"

namespace paperloom {
namespace {

namespace K = modPLConst;

// The break row's functions in the order the list offers them (the run-time passes any of them
// to the formula as it is).
constexpr std::string_view kFunctions[] = {"SUM", "AVERAGE", "COUNT", "MAX", "MIN", "PRODUCT"};

bool HoldsQuote(std::string_view text) { return text.find('"') != std::string_view::npos; }

}  // namespace

frmPLEBreak::frmPLEBreak() {
    for (const auto function : kFunctions) cboCalcList.emplace_back(function);
}

void frmPLEBreak::Init() {
    mclsFormatForm.Init(*this);
    if (lstColCondition.empty()) {
        lstSelected = -1;
        SelectOption(OPT_NONE);
        ResetControls();
    } else {
        lstColCondition_Click(0);
    }
}

bool frmPLEBreak::DoModal() {
    mblnResult = false;
    mblnDirty = false;
    if (edit::EditForms* forms = edit::CurrentEditForms()) forms->ShowBreak(*this);
    return mblnResult;
}

std::string frmPLEBreak::GetFieldType(const BreakListItem& itmLst) {
    return itmLst.strFieldType == K::CAPTION_NONE ? std::string() : itmLst.strFieldType;
}

void frmPLEBreak::SetUpCalcCombo(std::string_view strValue) {
    const auto found = std::find(cboCalcList.begin(), cboCalcList.end(), strValue);
    cboCalcIndex = found == cboCalcList.end() ? 0 : static_cast<int>(found - cboCalcList.begin());
}

void frmPLEBreak::SetUpFormatTypeCombo(std::string_view strValue) {
    const auto found = std::find(cboFormatTypeList.begin(), cboFormatTypeList.end(), strValue);
    mclsFormatForm.SelectFormatType(found == cboFormatTypeList.end() ? 0
                                                                     : static_cast<int>(found - cboFormatTypeList.begin()));
}

void frmPLEBreak::cboFormatType_Click(int intListIndex) { mclsFormatForm.SelectFormatType(intListIndex); }

void frmPLEBreak::SetupFormatType(const BreakListItem& row) {
    if (row.strFieldType == K::BREAK_ROW_CAPTION) {
        SelectOption(OPT_CAPTION);
        txtCaption = row.strFieldValue;
        SetUpCalcCombo("1");
    } else if (row.strFieldType == K::BREAK_ROW_STATISTICS) {
        SelectOption(OPT_STATISTICS);
        txtCaption.clear();
        SetUpCalcCombo(row.strFieldValue);
    } else {
        SelectOption(OPT_NONE);
        txtCaption = row.strFieldValue;
        SetUpCalcCombo("1");
    }
    SetUpFormatTypeCombo(row.strFormatType);
    cboFormat = row.strFormat;
}

void frmPLEBreak::lstColCondition_Click(int intRow) {
    if (intRow < 0 || intRow >= static_cast<int>(lstColCondition.size())) return;
    lstSelected = intRow;
    SetupFormatType(lstColCondition[static_cast<std::size_t>(intRow)]);
}

void frmPLEBreak::optFieldType_Click(int intIndex) { SelectOption(intIndex); }

void frmPLEBreak::SelectOption(int intIndex) {
    optFieldType = intIndex;
    cboFormatTypeEnabled = intIndex != OPT_NONE;
    if (intIndex == OPT_NONE) ResetControls();
}

void frmPLEBreak::ResetControls() {
    txtCaption.clear();
    cboCalcIndex = 0;
    mclsFormatForm.SelectFormatType(modPLFieldCode::FORMAT_TYPE_NONE);
    cboFormat.clear();
}

void frmPLEBreak::cmdUpdate_Click() {
    if (lstSelected < 0 || lstSelected >= static_cast<int>(lstColCondition.size())) return;
    auto& row = lstColCondition[static_cast<std::size_t>(lstSelected)];
    if (optFieldType == OPT_CAPTION) {
        row.strFieldType = K::BREAK_ROW_CAPTION;
        row.strFieldValue = txtCaption;
    } else if (optFieldType == OPT_STATISTICS) {
        row.strFieldType = K::BREAK_ROW_STATISTICS;
        row.strFieldValue = CalcText();
    } else {
        row.strFieldType = K::CAPTION_NONE;
        row.strFieldValue.clear();
    }
    // A type without a picture formats nothing, so it is stored as none.
    const bool blnTyped = cboFormatTypeIndex >= 0 && cboFormatTypeIndex < static_cast<int>(cboFormatTypeList.size());
    if (!cboFormat.empty() && blnTyped) {
        row.strFormatType = cboFormatTypeList[static_cast<std::size_t>(cboFormatTypeIndex)];
        row.strFormat = cboFormat;
    } else {
        row.strFormatType = K::CAPTION_NONE;
        row.strFormat.clear();
    }
    mblnDirty = true;
}

void frmPLEBreak::cmdClear_Click() {
    if (lstSelected < 0 || lstSelected >= static_cast<int>(lstColCondition.size())) return;
    auto& row = lstColCondition[static_cast<std::size_t>(lstSelected)];
    row.strFieldType = K::CAPTION_NONE;
    row.strFieldValue.clear();
    row.strFormatType = K::CAPTION_NONE;
    row.strFormat.clear();
    mblnDirty = true;
}

void frmPLEBreak::cmdReset_Click() {
    for (auto& row : lstColCondition) {
        row.strFieldType = K::CAPTION_NONE;
        row.strFieldValue.clear();
        row.strFormatType = K::CAPTION_NONE;
        row.strFormat.clear();
    }
    mblnDirty = true;
}

bool frmPLEBreak::cmdOK_Click() {
    // The settings are stored between double quotes in the column's property text.
    for (const auto& row : lstColCondition) {
        if (HoldsQuote(row.strFieldValue) || HoldsQuote(row.strFormat)) {
            modPLFunction::ShowCriticalMessage("キャプションと書式には二重引用符 (\") を使えません: " + row.strText,
                                               K::EDIT_APP_TITLE);
            return false;
        }
    }
    mblnResult = true;
    return true;
}

}  // namespace paperloom
