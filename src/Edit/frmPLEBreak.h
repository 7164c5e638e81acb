#pragma once
// The row break settings: what the break row of a detail table shows in each of its columns
// (nothing, a caption, or a statistics function over the rows of the group), each with an
// optional format. The column properties dialog fills the list from the break column's property
// text and stores it back; this dialog only edits the list. Every control is model state here;
// the window in the designer's forms library shows it and reports clicks to the virtual members.

#include <string>
#include <string_view>
#include <vector>

#include "Edit/clsPLEFormatForm.h"

namespace paperloom {

// A row of lstColCondition: the column name and sub-items 1 to 4.
struct BreakListItem {
    std::string strText;         // column name (its caption or its letters)
    std::string strFieldType;    // "キャプション", "統計演算" or "なし"
    std::string strFieldValue;   // caption text or function name; "" for "なし"
    std::string strFormatType;   // format-type caption or "なし"
    std::string strFormat;       // picture
    friend bool operator==(const BreakListItem&, const BreakListItem&) = default;
};

class frmPLEBreak : public FormatBoxes {
public:
    static constexpr const char* kCaption = "行ブレーク設定";
    // optFieldType indexes.
    static constexpr int OPT_CAPTION = 0;
    static constexpr int OPT_STATISTICS = 1;
    static constexpr int OPT_NONE = 2;

    frmPLEBreak();
    virtual ~frmPLEBreak() = default;
    frmPLEBreak(const frmPLEBreak&) = delete;
    frmPLEBreak& operator=(const frmPLEBreak&) = delete;

    // Readies the format boxes; an empty list resets the controls, otherwise row 1 is selected
    // and loaded into them.
    void Init();
    // Shows the dialog (result and dirty flag cleared first); true after OK. Without windows
    // (headless) it closes as cancelled.
    bool DoModal();
    bool IsDirty() const { return mblnDirty; }
    bool Result() const { return mblnResult; }

    // The row's field type as stored: sub-item 1, or "" for "なし".
    static std::string GetFieldType(const BreakListItem& itmLst);
    // Selects the function equal to the value, else "SUM".
    void SetUpCalcCombo(std::string_view strValue);
    // Selects the format type of that caption, else entry 0, and applies it to the picture box.
    void SetUpFormatTypeCombo(std::string_view strValue);
    // Loads a row into the controls.
    void SetupFormatType(const BreakListItem& row);

    // Enabled state of the option-bound boxes (disabled ones show the button-face colour).
    bool CaptionEnabled() const { return optFieldType == OPT_CAPTION; }
    bool CalcEnabled() const { return optFieldType == OPT_STATISTICS; }
    bool FormatTypeEnabled() const { return optFieldType != OPT_NONE; }
    // The selected function's name ("" when none is selected).
    std::string CalcText() const {
        return cboCalcIndex >= 0 && cboCalcIndex < static_cast<int>(cboCalcList.size())
                   ? cboCalcList[static_cast<std::size_t>(cboCalcIndex)]
                   : std::string();
    }

    // Controls --------------------------------------------------------------------------------
    std::vector<BreakListItem> lstColCondition;
    int lstSelected = -1;  // the selected row; -1 none
    int optFieldType = OPT_NONE;
    std::string txtCaption;
    std::vector<std::string> cboCalcList;  // "SUM", "AVERAGE", "COUNT", "MAX", "MIN", "PRODUCT"
    int cboCalcIndex = 0;
    // cboFormatType and cboFormat with their lists come from FormatBoxes.

    // User actions ----------------------------------------------------------------------------
    virtual void lstColCondition_Click(int intRow);
    virtual void optFieldType_Click(int intIndex);
    virtual void cboFormatType_Click(int intListIndex);
    virtual void cmdUpdate_Click();
    virtual void cmdClear_Click();
    virtual void cmdReset_Click();
    // A caption or picture holding a double quote cannot be stored: says so and stays open.
    virtual bool cmdOK_Click();
    virtual void cmdCancel_Click() { mblnResult = false; }

private:
    void ResetControls();
    void SelectOption(int intIndex);

    clsPLEFormatForm mclsFormatForm;
    bool mblnResult = false;
    bool mblnDirty = false;
};

}  // namespace paperloom
