#pragma once
// The column properties dialog: what one column of a detail table shows (a data field as text or
// picture, the row number, an expression, or nothing), its format, blanking of repeated values,
// and a break row when its value changes, with the break row's layout (frmPLEBreak). It also
// edits the detail's sort, which blanking and breaks depend on. The column command hands it the
// column's and the table's property texts and the header captions and writes the answers back;
// the dialog writes nothing into a document. Every control is model state here; the window in
// the designer's forms library shows it and reports edits and clicks to the virtual members.

#include <string>
#include <string_view>
#include <vector>

#include "Edit/clsPLEFormatForm.h"

namespace paperloom {

class frmPLEBreak;

class frmPLEDetailColProp : public FormatBoxes {
public:
    static constexpr const char* kCaption = "明細データ部の列のプロパティ";
    static constexpr const char* kSortCaption = "明細データ部のソート";
    static constexpr const char* kRowNumber = "行番号";
    // optFieldType indexes.
    static constexpr int OPT_DATA = 0;
    static constexpr int OPT_SUPPORT = 1;
    static constexpr int OPT_EXPRESSION = 2;
    static constexpr int OPT_NONE = 3;

    // The break button prepares and reads back this row break dialog.
    explicit frmPLEDetailColProp(frmPLEBreak& frmBreak);
    virtual ~frmPLEDetailColProp() = default;
    frmPLEDetailColProp(const frmPLEDetailColProp&) = delete;
    frmPLEDetailColProp& operator=(const frmPLEDetailColProp&) = delete;

    // Empties the boxes, readies the format boxes, clears the flags and every held value, and
    // refreshes the break controls. strDocumentFolder is the active document's folder ("" when
    // never saved): relative database paths are resolved against it.
    void Init(std::string_view strDocumentFolder = {});
    // Shows the dialog; true after OK. Calls Init first unless it was called since the last
    // DoModal. Without windows (headless) it closes as cancelled.
    bool DoModal();
    bool IsDirty() const { return mblnDirty; }
    bool Result() const { return mblnResult; }

    // The record source's field names into cboDataField's list (its text stays); nothing unless
    // data source and record source are both given. Failures leave the list as far as it got.
    void AddDataFields(std::string_view strDataSourceType, std::string_view strDataSource,
                       std::string_view strUserName, std::string_view strPassword,
                       std::string_view strRecordSourceType, std::string_view strRecordSource);
    // "0" none, "1" data field, "2" support field, "3" expression, "4" picture data field.
    std::string GetFieldType() const;
    // The field name, the support caption, the expression, or "" for none.
    std::string GetDataField() const;
    std::string GetSkipSameValue() const;  // "True" or "False"
    void SetBreakValue(std::string_view strNewValue);
    void SetSkipSameValue(std::string_view strNewValue);
    // Selects the option of a FieldType code (a text that is not a number counts as "1") and
    // fills the box that goes with it. A code outside 0 to 4 (a damaged template) raises.
    void SetDataField(std::string_view strFieldType, std::string_view strDataField);
    std::string GetFormatType() const;
    void SetFormatType(std::string_view strFormatType);
    const std::string& GetRSOrder() const { return mstrRSOrder; }
    void SetRecordSource(std::string_view strDataSourceType, std::string_view strDataSource,
                         std::string_view strUserName, std::string_view strPassword,
                         std::string_view strRecordSourceType, std::string_view strRecordSource,
                         std::string_view strRSOrder);
    const std::string& GetColPropsString() const { return mstrColProps; }
    void SetPropsString(std::string_view strColProps, std::string_view strDetailProps);
    // The visible captions of the table's header cells, one per table column ("" where a cell
    // shows none): the break list has a row per column, named by these.
    void SetColumnCaptions(std::vector<std::string> strCaptions) { mstrColumnCaptions = std::move(strCaptions); }
    // Removes every break-row key of every column from the held column text.
    void DeleteBreakProps();

    // Enabled state of the option-bound boxes (disabled ones show the button-face colour).
    bool DataFieldEnabled() const { return optFieldType == OPT_DATA; }
    bool SupportFieldEnabled() const { return optFieldType == OPT_SUPPORT; }
    bool ExpressionEnabled() const { return optFieldType == OPT_EXPRESSION; }
    bool PictureDataEnabled() const { return optFieldType == OPT_DATA; }

    // Controls --------------------------------------------------------------------------------
    int optFieldType = OPT_NONE;  // -1: none selected (a damaged template)
    std::string cboDataField;
    std::vector<std::string> cboDataFieldList;
    bool chkPictureData = false;
    std::string cboSupportField;
    std::vector<std::string> cboSupportFieldList;
    std::string txtExpression;
    std::string txtCaption;
    // cboFormatType and cboFormat with their lists come from FormatBoxes.
    bool chkSkip = false;
    bool chkSkipEnabled = false;
    bool chkBreak = false;
    bool chkBreakEnabled = false;
    bool cmdBreakEnabled = false;

    // User actions ----------------------------------------------------------------------------
    virtual void optFieldType_Click(int intIndex);
    // Typed or picked text in the field, support, expression, caption or picture box.
    virtual void Control_Change() { mblnDirty = true; }
    virtual void cboFormatType_Click(int intListIndex);
    virtual void chkSkip_Click() { mblnDirty = true; }
    virtual void chkBreak_Click();
    // The sort editor over the detail's fields; a confirmed change is held.
    virtual void cmdSort_Click();
    // The row break dialog over the held column text.
    virtual void cmdBreak_Click();
    // A field, expression or picture holding a double quote cannot be stored: says so and
    // stays open.
    virtual bool cmdOK_Click();
    virtual void cmdCancel_Click() { mblnResult = false; }

private:
    void RefreshBreakControls();
    // The break list's column names: the captions when the table has a caption row, the column
    // letters where a cell shows none or it has none.
    std::vector<std::string> BreakColumnNames() const;

    frmPLEBreak& mfrmBreak;
    clsPLEFormatForm mclsFormatForm;
    std::string mstrDocumentFolder;
    std::string mstrDataSourceType;
    std::string mstrDataSource;
    std::string mstrUserName;
    std::string mstrPassword;
    std::string mstrRecordSourceType;
    std::string mstrRecordSource;
    std::string mstrRSOrder;
    std::string mstrColProps;
    std::string mstrDetailProps;
    std::vector<std::string> mstrColumnCaptions;
    bool mblnResult = false;
    bool mblnDirty = false;
    bool mblnInitialized = false;
};

}  // namespace paperloom
