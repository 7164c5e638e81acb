#pragma once
// The connection string editor behind the data bind dialog's "作成(&R)..." button: pick the
// built-in SQLite engine or an installed ODBC driver, fill the driver's keywords, test, and
// get the connection string back. The window (designer's forms library) shows this model.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace paperloom::edit {

// One row of the keyword list: keyword and value.
struct ConnectionKeyword {
    std::string strKeyword;
    std::string strValue;
    friend bool operator==(const ConnectionKeyword&, const ConnectionKeyword&) = default;
};

class ConnectionEditor {
public:
    static constexpr const char* kCaption = "接続文字列の作成";
    // The first entry of the driver list: the embedded engine for SQLite database files.
    static constexpr const char* kSqliteEntry = "SQLite データベース ファイル (組み込み)";

    ConnectionEditor() = default;
    virtual ~ConnectionEditor() = default;
    ConnectionEditor(const ConnectionEditor&) = delete;
    ConnectionEditor& operator=(const ConnectionEditor&) = delete;

    // Lists the drivers (the embedded engine first, then the installed ODBC drivers) and
    // reads the given string into a driver and keywords; a string naming no known driver
    // keeps its keywords with no driver selected.
    void Init(std::string_view strConnectionString);
    // Shows the editor; true when OK closed it. Without windows it closes as cancelled.
    bool DoModal();
    bool Result() const { return mblnResult; }
    // The string the keywords make: "Provider=SQLite;Data Source=..." for the embedded engine,
    // "Driver={...};Keyword=value;..." for an ODBC driver; empty values are left out and
    // values holding ';', '{' or '}' or blanks at an end are put in braces.
    virtual std::string GetConnectionString() const;

    // Controls ---------------------------------------------------------------------------------
    std::vector<std::string> cboDriverList;
    int cboDriver = -1;  // index into cboDriverList; -1 none
    std::vector<ConnectionKeyword> lstKeywords;

    // User actions -------------------------------------------------------------------------------
    // A driver picked: the keywords it usually needs are offered, keeping values already typed
    // for the same keywords.
    virtual void cboDriver_Click(int intIndex);
    virtual void SetKeywordValue(std::size_t lngRow, std::string_view strValue);
    virtual void cmdAddKeyword_Click(std::string_view strKeyword);
    virtual void cmdRemoveKeyword_Click(std::size_t lngRow);
    // Opens the connection once and shows whether that worked.
    virtual void cmdTest_Click();
    // Refuses (with a message) when no driver is chosen; true when the editor closes.
    virtual bool cmdOK_Click();
    virtual void cmdCancel_Click() { mblnResult = false; }

    bool IsSqlite() const { return cboDriver == 0; }

    // Splits a connection string into keyword-value pairs (values in braces unwrapped).
    static std::vector<ConnectionKeyword> ParseConnectionString(std::string_view strConnectionString);

private:
    bool mblnResult = false;
};

}  // namespace paperloom::edit
