#pragma once
// The detail properties dialog: an existing detail table's own connection and record source
// (tab 0, the data bind dialog's logic run for a detail), its link keys, its two table options
// and the bookmark that names it (tab 1). Every control is model state here; the window in the
// designer's forms library shows it and reports edits and clicks to the virtual members. The
// detail properties command presets it from the table and writes the answers back; the dialog
// itself writes nothing but a new bookmark, when asked to by UpdateDetailBookmark.

#include <memory>
#include <string>
#include <string_view>

#include "Edit/clsPLEBindForm.h"
#include "Edit/clsPLEDetailForm.h"

namespace paperloom::host::ado {
class Connection;
}
namespace paperloom::word {
class Bookmarks;
class Document;
class Range;
}  // namespace paperloom::word

namespace paperloom {

class frmPLEDetailProp : public DetailKeyBoxes {
public:
    static constexpr const char* kCaption = "明細データ部のプロパティ";
    // tabDetailProp pages.
    static constexpr int TAB_BIND = 0;     // "データ バインド"
    static constexpr int TAB_GENERAL = 1;  // "全般"

    frmPLEDetailProp();
    virtual ~frmPLEDetailProp() = default;
    frmPLEDetailProp(const frmPLEDetailProp&) = delete;
    frmPLEDetailProp& operator=(const frmPLEDetailProp&) = delete;

    // Empties the keys and the bookmark box, ticks chkColumnHeaders, clears
    // chkAutoAdjustRowCount, shows tab 0 and resets the bind part (header flag false). docTarget
    // is the document of the table (a new bookmark name is checked against it on OK);
    // strDocumentFolder its folder ("" when never saved) for relative database paths.
    void Init(std::shared_ptr<word::Document> docTarget, std::string_view strDocumentFolder);
    // Init first when it has not run since the last showing; true after OK. Without windows
    // (headless) it closes as cancelled.
    bool DoModal();
    // A change on tab 1 or in the bind part since DoModal began.
    bool IsDirty() const { return mblnDirty || mclsBindForm.IsDirty(); }
    // Everything empty and both options at the values a table without them reads (column
    // headers on, no row-count adjustment), so deleting the table's keys keeps what is shown.
    bool IsCleared() const;

    void AddParentDataFields(const std::shared_ptr<host::ado::Connection>& conTarget,
                             std::string_view strRecordSourceType, std::string_view strRecordSource);
    // The names of the bookmarks (those of the table's range), the first selected.
    void AddDetailBookmarks(const word::Bookmarks& bookmarks);
    // A name typed into cboBookmark that is none of the listed ones becomes a further bookmark
    // over rangeTable, added through `bookmarks`; a listed name changes nothing, and the
    // table's earlier bookmarks stay.
    void UpdateDetailBookmark(word::Bookmarks bookmarks, const word::Range& rangeTable) const;
    // Whether cboBookmark holds one of the listed names (the list's pick).
    bool BookmarkPicked() const;

    // The bind part's results and presets.
    int GetDataSourceType() const { return mclsBindForm.GetDataSourceType(); }
    std::string GetDataSource() const { return mclsBindForm.GetDataSource(); }
    void SetDataSource(std::string_view strDataSourceType, std::string_view strDataSource) {
        mclsBindForm.SetDataSource(strDataSourceType, strDataSource);
    }
    int GetRecordSourceType() const { return mclsBindForm.GetRecordSourceType(); }
    std::string GetRecordSource() const { return mclsBindForm.GetRecordSource(); }
    const std::string& GetRSWhere() const { return mclsBindForm.GetRSWhere(); }
    const std::string& GetRSOrder() const { return mclsBindForm.GetRSOrder(); }
    void SetRecordSource(std::string_view strRecordSourceType, std::string_view strRecordSource,
                         std::string_view strRSWhere, std::string_view strRSOrder) {
        mclsBindForm.SetRecordSource(strRecordSourceType, strRecordSource, strRSWhere, strRSOrder);
    }

    // Tab 0's controls (txtUserName, txtPassword, the data-source and record-source boxes) and
    // their actions: the window binds to it as to the data bind dialog.
    clsPLEBindForm& Bind() { return mclsBindForm; }
    const clsPLEBindForm& Bind() const { return mclsBindForm; }
    bool Result() const { return mblnResult; }

    // Controls (tab 1; cboParentKey, cboChildKey and cboBookmark with their lists come from
    // DetailKeyBoxes) ---------------------------------------------------------------------------
    bool chkColumnHeaders = true;
    bool chkAutoAdjustRowCount = false;
    int tabDetailProp = TAB_BIND;

    // User actions -------------------------------------------------------------------------------
    // A typed change or a pick in a key or bookmark box, a click on a check box (the window has
    // already stored the new value).
    virtual void Control_Change() { mblnDirty = true; }
    // The child key's list from the record source entered on tab 0.
    virtual void cboChildKey_DropDown();
    // Checks a newly typed bookmark name; true when the dialog closes with OK.
    virtual bool cmdOK_Click();
    virtual void cmdCancel_Click() { mblnResult = false; }

private:
    clsPLEBindForm mclsBindForm;
    clsPLEDetailForm mclsDetailForm;
    std::shared_ptr<word::Document> mdocTarget;
    std::string mstrDocumentFolder;
    bool mblnResult = false;
    bool mblnDirty = false;
    bool mblnInitialised = false;
};

}  // namespace paperloom
