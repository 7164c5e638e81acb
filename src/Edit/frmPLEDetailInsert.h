#pragma once
// Page 2 of the detail insert wizard (page 1 is the data bind dialog, clsPLEBindForm): the
// link keys, the table's columns and their order, the number of data rows and the table's
// bookmark. Every control is model state here; the window in the designer's forms library
// shows it and reports clicks to the virtual members. The detail insert command reads the
// answers and builds the table; the wizard writes nothing into the document.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Edit/clsPLEDetailForm.h"

namespace paperloom::word {
class Document;
}

namespace paperloom {

// An entry of lstDataFields or lstSupportFields: its text and item data.
struct DetailListEntry {
    std::string strText;
    long lngItemData = 0;
    bool blnSelected = false;
};

// An entry of lstColumns: the column letter, the content ("内容") and the tag saying what it is.
struct DetailColumn {
    std::string strLetter;
    std::string strContent;
    long lngTag = 0;  // data field position (0 or more), or TAG_SUPPORT, TAG_EXPRESSION, TAG_EMPTY
    bool blnSelected = false;
};

class frmPLEDetailInsert : public DetailKeyBoxes {
public:
    static constexpr const char* kCaption = "明細データ部の挿入(2/2)";
    static constexpr const char* kPage1Caption = "明細データ部の挿入(1/2)";
    static constexpr const char* kRowNumberField = "行番号";
    static constexpr const char* kEmptyColumn = "空の列";
    static constexpr const char* kExpressionCaption = "計算式";
    static constexpr long TAG_SUPPORT = -1;
    static constexpr long TAG_EXPRESSION = -2;
    static constexpr long TAG_EMPTY = -3;

    // cmdField indexes.
    static constexpr int CMD_ADD_SELECTED = 0;
    static constexpr int CMD_ADD_ALL = 1;
    static constexpr int CMD_ADD_SUPPORT = 2;
    static constexpr int CMD_ADD_EXPRESSION = 3;
    static constexpr int CMD_REMOVE_SELECTED = 4;
    static constexpr int CMD_REMOVE_ALL = 5;
    static constexpr int CMD_ADD_EMPTY = 6;

    // DoModal results.
    static constexpr int RESULT_CANCEL = 0;
    static constexpr int RESULT_OK = 1;
    static constexpr int RESULT_BACK = 2;

    // The form as loaded: the support field "行番号" and the row counts "1" to "32".
    frmPLEDetailInsert();
    virtual ~frmPLEDetailInsert() = default;
    frmPLEDetailInsert(const frmPLEDetailInsert&) = delete;
    frmPLEDetailInsert& operator=(const frmPLEDetailInsert&) = delete;

    // Empties the data fields, both keys, the expression and the bookmark name, sets the row
    // count to "8" and selects the first support field; the column list stays. docTarget is
    // the document the table goes into (the bookmark name is checked against it on OK);
    // strDocumentFolder its folder ("" when never saved) for relative database paths.
    void Init(std::shared_ptr<word::Document> docTarget, std::string_view strDocumentFolder);
    void AddParentDataFields(const std::shared_ptr<host::ado::Connection>& conTarget,
                             std::string_view strRecordSourceType, std::string_view strRecordSource);
    // Holds the six texts and refills the data fields, columns (emptied) and child key from
    // the record source; sets the default bookmark name when the box is empty.
    void AddFields(std::string_view strDataSourceType, std::string_view strDataSource, std::string_view strUserName,
                   std::string_view strPassword, std::string_view strRecordSourceType,
                   std::string_view strRecordSource);
    // RESULT_CANCEL, RESULT_OK or RESULT_BACK; without windows (headless) RESULT_CANCEL.
    int DoModal();
    bool IsDirty() const { return mblnDirty; }
    int Result() const { return mintResult; }

    long ColumnCount() const { return static_cast<long>(lstColumns.size()); }
    // By column number from 1: 0 none (also outside the range), 1 data field, 2 support
    // field, 3 expression.
    int GetFieldType(long lngColumn) const;
    // "" outside the range and for an empty column, "計算式" for an expression, else the content.
    std::string GetCaption(long lngColumn) const;
    // The content text of the column's entry (the field name, support field or expression).
    std::string GetDataField(long lngColumn) const;
    // cboRowCount as a number; 0 when it is not a whole number from 1.
    long RowCount() const;

    // Controls --------------------------------------------------------------------------------
    // cboParentKey, cboChildKey (with their lists) come from DetailKeyBoxes.
    std::vector<DetailListEntry> lstDataFields;
    std::vector<DetailListEntry> lstSupportFields;
    std::string txtExpression;
    std::vector<DetailColumn> lstColumns;
    std::string cboRowCount = "8";
    std::vector<std::string> cboRowCountList;
    std::string txtBookmark;

    // User actions ------------------------------------------------------------------------------
    virtual void cmdField_Click(int intIndex);
    // Checks columns, keys and the bookmark name; true when the wizard closes with RESULT_OK.
    virtual bool cmdOK_Click();
    virtual void cmdBack_Click() { mintResult = RESULT_BACK; }
    virtual void cmdCancel_Click() { mintResult = RESULT_CANCEL; }
    // Any change of the page's boxes by the user (counts as a change of the wizard).
    virtual void Control_Change() { mblnDirty = true; }

private:
    void FillFields();
    std::size_t InsertionPoint() const;
    void SelectColumnAndRenumber(std::size_t lngSelected, std::size_t lngRenumberFrom);

    clsPLEDetailForm mclsDetailForm;
    std::shared_ptr<word::Document> mdocTarget;
    std::string mstrDocumentFolder;
    std::string mstrDataSourceType;
    std::string mstrDataSource;
    std::string mstrUserName;
    std::string mstrPassword;
    std::string mstrRecordSourceType;
    std::string mstrRecordSource;
    int mintResult = RESULT_CANCEL;
    bool mblnDirty = false;
};

}  // namespace paperloom
