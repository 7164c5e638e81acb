#pragma once
// The statistics field dialog's logic (window frmPLEStatistics in the designer's forms library):
// an aggregate function over one column of a detail table named by its bookmark, with a
// format. Every control is model state here; the window shows it and reports each pick and
// click to the virtual members. The dialog writes only the code of the field the command
// hands it (SetFieldCode); finding and replacing the field is the command's work.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Edit/clsPLEFormatForm.h"
#include "host/word/fields/Field.h"

namespace paperloom::word {
class Document;
}

namespace paperloom {

class frmPLEStatistics : public FormatBoxes {
public:
    static constexpr const char* kCaption = "統計演算フィールド";

    // The function list ("AVERAGE" ... "SUM") as the form loads.
    frmPLEStatistics();
    virtual ~frmPLEStatistics() = default;
    frmPLEStatistics(const frmPLEStatistics&) = delete;
    frmPLEStatistics& operator=(const frmPLEStatistics&) = delete;

    // No function, empty bookmark and column boxes, the format boxes reset ("なし"), result and
    // dirty flags cleared; then the given field, if any, is loaded (SetField). The bookmark
    // list (AddBookmarks) stays.
    void Init(const std::optional<word::Field>& fldTarget);
    // Shows the dialog; true only when it was closed with OK. Without windows it closes as
    // cancelled.
    bool DoModal();
    bool IsDirty() const { return mblnDirty; }
    bool Result() const { return mblnResult; }
    // Writes "quote Statistics " and MakeFieldCode_ as the field's code.
    void SetFieldCode(word::Field& fldTarget) const;
    // Loads a statistics field's function, bookmark, column and format; nothing for no field
    // or a code that is not one.
    void SetField(const std::optional<word::Field>& fldTarget);
    // "<function> <bookmark> <column>" and the format code.
    std::string MakeFieldCode_() const;
    // The document's bookmark names, in its bookmark order, as the bookmark list; the document
    // is also the one whose tables the column list shows. Nothing for no document.
    void AddBookmarks(std::shared_ptr<word::Document> docTarget);
    // Selects the function of that name (exact); any other name selects none.
    void SetFunction_(std::string_view strFunction);

    // Controls --------------------------------------------------------------------------------
    std::string cboFunction;  // "" or an entry of the list (the box takes no typing)
    std::vector<std::string> cboFunctionList;
    std::string cboBookmark;
    std::vector<std::string> cboBookmarkList;
    std::string cboColumn;
    std::vector<std::string> cboColumnList;
    // cboFormatType and cboFormat come from FormatBoxes.

    // User actions ------------------------------------------------------------------------------
    virtual void cboFunction_Click() { mblnDirty = true; }
    virtual void cboBookmark_Click() { mblnDirty = true; }
    virtual void cboColumn_Click() { mblnDirty = true; }
    virtual void cboFormat_Change() { mblnDirty = true; }
    // Applies the picked format type to the picture box (not a change by itself).
    virtual void cboFormatType_Click(int intListIndex) { mclsFormatForm.SelectFormatType(intListIndex); }
    // Rebuilds the column list from the tables of the chosen bookmark; the box's text stays.
    virtual void cboColumn_DropDown();
    // Checks function, bookmark and column (the first missing one is shown with the error
    // icon and the dialog stays open); true when the dialog closes with OK.
    virtual bool cmdOK_Click();
    virtual void cmdCancel_Click() { mblnResult = false; }

private:
    clsPLEFormatForm mclsFormatForm;
    std::shared_ptr<word::Document> mdocTarget;
    bool mblnResult = false;
    bool mblnDirty = false;
};

}  // namespace paperloom
