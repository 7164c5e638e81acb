#pragma once
// The data bind dialog's logic (window frmPLEDBBind in the designer's forms library): where a
// record source comes from (ODBC data source, connection string or data link file, user name
// and password) and the record source itself (table with filter and sort, stored procedure,
// or SQL text). Every control is model state here; the window shows it and reports each edit
// and click to the virtual members, so the window needs none of the engine's code. The dialog
// writes nothing into a document: the caller presets it, runs DoModal and reads the results.

#include <string>
#include <string_view>
#include <vector>

namespace paperloom {

class clsPLEBindForm {
public:
    // Data-source option indexes (optDataSource) and record-source option indexes (optRecordSource).
    static constexpr int OPT_DS_ODBC = 0;
    static constexpr int OPT_DS_CONNECTION = 1;
    static constexpr int OPT_DS_UDL = 2;
    static constexpr int OPT_RS_TABLE = 0;
    static constexpr int OPT_RS_PROCEDURE = 1;
    static constexpr int OPT_RS_SQL = 2;

    static constexpr const char* kOKCaption = "OK";
    static constexpr const char* kNextCaption = "次へ";

    clsPLEBindForm() = default;
    virtual ~clsPLEBindForm() = default;
    clsPLEBindForm(const clsPLEBindForm&) = delete;
    clsPLEBindForm& operator=(const clsPLEBindForm&) = delete;

    // Window caption, OK caption ("OK", or "次へ" as the wizard's first page) and whether the
    // record source is the header's (decides the filter and sort editors' captions); resets
    // every box, option and held text. strDocumentFolder is the active document's folder
    // ("" when never saved; modPLFunction::ActiveDocumentFolder): relative database paths in
    // presets and connections are resolved against it.
    void Init(std::string_view strCaption, std::string_view strOKButtonCaption, bool blnHeader,
              std::string_view strDocumentFolder);

    // Presets (never make the dialog dirty). Type texts that are not numbers are ignored.
    void SetDataSource(std::string_view strDataSourceType, std::string_view strDataSource);
    void SetRecordSource(std::string_view strRecordSourceType, std::string_view strRecordSource,
                         std::string_view strRSWhere, std::string_view strRSOrder);

    // Shows the dialog (dirty flag and result cleared first); true only after an accepted OK.
    // Without windows (headless) it closes as cancelled.
    bool DoModal();
    bool IsDirty() const { return mblnDirty; }
    // For a dialog that shows this one's controls inside its own window: its showing starts
    // with them unchanged.
    void ClearDirty() { mblnDirty = false; }
    // Everything empty: the selected data-source box, both credentials, the selected
    // record-source box, the held filter and sort.
    bool IsCleared() const;

    int GetDataSourceType() const;  // 1, 2, 3; 0 when no option is selected
    std::string GetDataSource() const;
    int GetRecordSourceType() const;  // 2, 4, 1; 8 when no option is selected
    std::string GetRecordSource() const;
    const std::string& GetRSWhere() const { return mstrRSWhere; }
    const std::string& GetRSOrder() const { return mstrRSOrder; }

    // Controls (read and written by the callers and the window) ---------------------------------
    std::string strCaption;          // window title
    std::string cmdOKCaption = kOKCaption;
    std::string txtUserName;
    std::string txtPassword;
    int optDataSource = OPT_DS_ODBC;  // -1: none selected
    std::string cboDataSource;
    std::vector<std::string> cboDataSourceList;
    std::string txtConnection;
    std::string txtUDL;
    int optRecordSource = OPT_RS_TABLE;  // -1: none selected
    std::string cboTable;
    std::vector<std::string> cboTableList;
    std::string cboProcedure;
    std::vector<std::string> cboProcedureList;
    std::string txtRecordSource;  // lines joined by CR LF

    // Enabled state of the option-bound controls (disabled boxes show the button-face colour).
    bool DataSourceBoxEnabled(int intIndex) const { return optDataSource == intIndex; }
    bool RecordSourceBoxEnabled(int intIndex) const { return optRecordSource == intIndex; }
    bool IsHeader() const { return mblnHeader; }
    bool Result() const { return mblnResult; }

    // User actions (the window calls these) ----------------------------------------------------
    virtual void optDataSource_Click(int intIndex);
    virtual void optRecordSource_Click(int intIndex);  // prefills an empty SQL box
    // Any typed change or list pick in a box; the window has already stored the new text.
    virtual void Control_Change() { mblnDirty = true; }
    // Lists filled as a combo box drops down; the typed text and the dirty flag are kept.
    virtual void cboDataSource_DropDown();
    virtual void cboTable_DropDown();
    virtual void cboProcedure_DropDown();
    // Connection editor and data link chooser; a confirmed result replaces the box's text.
    virtual void cmdConnection_Click();
    virtual void cmdUDL_Click();
    // Filter and sort editors over the record source's fields.
    virtual void cmdRSWhere_Click();
    virtual void cmdRSOrder_Click();
    // Opens the connection and the record source; shows one of three messages.
    virtual void cmdTest_Click();
    // Asks about an empty data source or record source; true when the dialog closes.
    virtual bool cmdOK_Click();
    virtual void cmdCancel_Click() { mblnResult = false; }

private:
    void FillSchemaList(std::vector<std::string>& list, std::string& text, bool blnProcedures);

    bool mblnHeader = true;
    bool mblnDirty = false;
    bool mblnResult = false;
    std::string mstrRSWhere;
    std::string mstrRSOrder;
    int mintLastRecordSource = OPT_RS_TABLE;
    std::string mstrDocumentFolder;
};

}  // namespace paperloom
