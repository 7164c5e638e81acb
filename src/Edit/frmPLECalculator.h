#pragma once
// The calculator's logic (window frmPLECalculator in the designer's forms library): the formula
// of an expression field, with the word processor's formula functions and the document's
// bookmarks inserted at the caret, and a number picture. The window shows the model and
// reports edits, caret moves and clicks to it. The dialog writes nothing: the formula command
// reads txtCalc (empty means cancelled) and cboFormat afterwards.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/word/fields/Field.h"

namespace paperloom::word {
class Document;
}

namespace paperloom {

class frmPLECalculator {
public:
    static constexpr const char* kCaption = "計算式";

    // The function and picture lists as the form loads; the formula "=".
    frmPLECalculator();
    virtual ~frmPLECalculator() = default;
    frmPLECalculator(const frmPLECalculator&) = delete;
    frmPLECalculator& operator=(const frmPLECalculator&) = delete;

    // Starts from "=" and the ready-made pictures, fills the bookmark list from the document,
    // puts the caret after the first character, loads the formula or QUOTE field at the
    // document's selection (or in its floating shapes) and shows the dialog. Without windows it
    // closes as cancelled (txtCalc empty). docTarget may be null (no document open).
    void DoModal(const std::shared_ptr<word::Document>& docTarget);
    // The field loaded into the dialog by the last DoModal, if any.
    const std::optional<word::Field>& LoadedField() const { return mfldLoaded; }
    // Loads a field's code: the formula before the first "\#" and its picture (selected in the
    // picture list, or added at its top when it is not there).
    void LoadField(const word::Field& fldTarget);

    // Controls --------------------------------------------------------------------------------
    std::string txtCalc;
    std::size_t txtCalcSelStart = 0;  // the caret, a byte offset into txtCalc
    std::vector<std::string> lstFunction;
    int lstFunctionIndex = -1;  // -1: nothing selected
    std::vector<std::string> lstBookmark;
    int lstBookmarkIndex = -1;
    std::string cboFormat;
    std::vector<std::string> cboFormatList;

    // User actions ------------------------------------------------------------------------------
    // The formula box typed into, with the caret where it is now.
    virtual void txtCalc_Change(std::string strText, std::size_t lngSelStart);
    virtual void txtCalc_SelChange(std::size_t lngSelStart);
    // The selected function followed by "()" at the caret, which goes between the parentheses
    // (also a double click on the list).
    virtual void cmdFunction_Click();
    // The selected bookmark's name at the caret, which goes after it.
    virtual void cmdBookmark_Click();
    virtual void cmdOK_Click() { mblnResult = true; }
    // Cancel empties the formula, which tells the command nothing is to be inserted. A dialog
    // closed any other way than OK counts as cancelled.
    virtual void cmdCancel_Click() { txtCalc.clear(); }

private:
    void InsertAtCaret(const std::string& strText, std::size_t lngCaretAfter);
    void FillBookmarks(const std::shared_ptr<word::Document>& docTarget);

    std::optional<word::Field> mfldLoaded;
    bool mblnResult = false;
};

}  // namespace paperloom
