#pragma once
// The shared routines of both add-ins: connection strings, record-source statements, the
// token splitters, flag texts, column letters, the error report and the fallback folder; the
// message boxes and help through the platform's services; and connections and recordsets
// opened from a template's settings.

#include "host/HostError.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom::host::ado {
class Connection;
class Recordset;
}  // namespace paperloom::host::ado

namespace paperloom::word {
class Application;
class Document;
}  // namespace paperloom::word

namespace paperloom::modPLFunction {

// Data sources ------------------------------------------------------------------------------

// Connection string for a data-source type ("1".."4") and data source; "" for an empty data
// source, a type that is not a number, or an unknown type.
std::string MakeConnectionString(std::string_view strDataSourceType, std::string_view strDataSource);

// Text between the first "=" after the first occurrence of strKey and the next ";" (or the
// end); "" when the key is absent or either input is empty.
std::string GetConnectionStringValue(std::string_view strKey, std::string_view strConnectionString);

// Makes the database path of a database-file (Jet provider) string absolute: a relative path
// is joined to the active document's folder, or, for a never-saved document, to the default
// folder. With neither folder known the path stays as it is. Other strings are unchanged.
std::string ResolveDataSourcePath(std::string_view strConnectionString,
                                  std::string_view strActiveDocumentFolder,
                                  std::string_view strDefaultFolder);

// Statements ----------------------------------------------------------------------------------

// Statement that opens a record source. A table ("2") with any condition becomes a SELECT and
// strRecordSourceType is changed to "1". The extra filter and sort apply to every type.
std::string MakeRecordSourceStatement(std::string& strRecordSourceType, std::string_view strRecordSource,
                                      std::string_view strRSWhere, std::string_view strRSOrder,
                                      std::string_view strFilter, std::string_view strSort);

// And-s the filter before an existing WHERE condition, or adds a WHERE after the table that
// follows FROM. Without WHERE and FROM the statement is returned unchanged.
std::string AddFilterToStatement(std::string_view strStatement, std::string_view strFilter);

// Appends the sort to an existing ORDER BY, or adds one.
std::string AddSortToStatement(std::string_view strStatement, std::string_view strSort);

// A one-token statement is the table; otherwise the token after FROM when there are more than
// three tokens; "" else.
std::string GetTableNameFromStatement(std::string_view strStatement);

// True when "EXECUTE" occurs in the statement, in any letter case.
bool IsExecuteStatement(std::string_view strStatement);

// Tokens --------------------------------------------------------------------------------------

// Splits at blanks, TABs, CRs, LFs and the extra delimiter (one character, may be empty),
// except inside single or double quotes, which stay in their token. Returns the number of
// tokens; with none, strTokens keeps its old contents.
long SplitTokens(std::string_view strText, std::vector<std::string>& strTokens,
                 std::string_view strDelimiter);

// As SplitTokens, but each run of delimiters outside quotes is a token of its own, so joining
// the tokens gives the text back.
long SplitTokensKeepDelimiters(std::string_view strText, std::vector<std::string>& strTokens,
                               std::string_view strDelimiter);

// Flags, letters, names -------------------------------------------------------------------------

// True for "True" (any letter case) and for a number other than 0; false for "", "False", 0
// and any other text.
bool TextToFlag(std::string_view strText);
std::string FlagToText(bool blnFlag);

// Table column 1, 2 ... 26, 27 ... as "a", "b" ... "z", "aa" ... Columns below 1 are refused
// with a HostError (number 5).
std::string ColumnLetters(long lngColumn);

// The bookmark-name test over the document's operations: false when a bookmark of that name
// exists or adding (and removing again) one succeeds; true when adding fails, with the error's
// description in strErrorText for the caller to show.
bool IsInvalidBookmarkName(std::string_view strName,
                           const std::function<bool(std::string_view)>& bookmarkExists,
                           const std::function<void(std::string_view)>& addAndDeleteBookmark,
                           std::string& strErrorText);

// The same test on a document: a bookmark of that name is added at the selection and deleted
// again; when the document refuses the name, its error text is shown with the error icon
// under strTitle and the result is true.
bool IsInvalidBookmarkName(std::string_view strName, word::Document& docTarget, std::string_view strTitle);

// Error report ----------------------------------------------------------------------------------

// source + "エラー" + "(" + hexadecimal number + ")", a blank line, then the description.
std::string MakeErrorReportText(std::string_view strSource, long lngNumber, std::string_view strDescription);

// What the shared error box shows for an error: its text (error icon) and the help button's
// file and context.
struct ErrorReport {
    std::string strText;
    std::string strHelpFile;
    long lngHelpContext = 0;
};
ErrorReport MakeErrorReport(const host::HostError& error);

// Message boxes and help -------------------------------------------------------------------------
// Boxes carry the add-in's application title (modPLConst::EDIT_APP_TITLE or RUN_APP_TITLE),
// which each add-in passes as strTitle.

// The shared error box for an error being handled (by default the one in flight in the
// enclosing catch block): the report text, the error icon and a help button bound to the
// error's help file and context. Nothing when there is no error or its number is 0. Errors
// that are not the host's error object are shown with number 51 and their own message.
void ShowErrorMessage(std::string_view strTitle, std::exception_ptr error = std::current_exception());
// The error as the shared error box reports it; nothing for no error or number 0.
std::optional<host::HostError> ErrorToReport(const std::exception_ptr& error);

// Only the description of the error being handled, with the error icon (the commands and
// dialogs whose errors are the user's to correct, such as a bad bookmark name). Nothing for no
// error or number 0.
void ShowErrorDescription(std::string_view strTitle, std::exception_ptr error = std::current_exception());
// Message box with the error icon.
void ShowCriticalMessage(std::string_view strText, std::string_view strTitle);
// Message box with the information icon.
void ShowInformationMessage(std::string_view strText, std::string_view strTitle);

// Opens the help file at its table of contents, when it exists: a bare name is looked for in
// strFolder, or, when that is empty, in the add-in's folder (AddInFolder).
void ShowHelpFile(std::string_view strHelpFile, std::string_view strFolder = {});
// The folder of the shared library (or program) this code is part of.
std::string AddInFolder();

// Connections and recordsets ------------------------------------------------------------------------

// An open connection, or, when opening failed, why.
struct ConnectionAttempt {
    std::shared_ptr<host::ado::Connection> connection;
    std::optional<host::HostError> error;
};

// Opens the data source of a template's settings: MakeConnectionString, then a relative
// database-file path resolved (ResolveDataSourcePath) against strDocumentFolder (the active
// document's folder, "" for a document never saved) or the fallback folder. No connection
// and no error for settings that name nothing to connect to.
ConnectionAttempt TryOpenConnection(std::string_view strDataSourceType, std::string_view strDataSource,
                                    std::string_view strUserName, std::string_view strPassword,
                                    std::string_view strDocumentFolder);
// The same, reporting failure only by returning nothing; callers decide what to show.
std::shared_ptr<host::ado::Connection> OpenConnection(std::string_view strDataSourceType,
                                                      std::string_view strDataSource,
                                                      std::string_view strUserName, std::string_view strPassword,
                                                      std::string_view strDocumentFolder);
// The folder of the application's active document; "" when it was never saved or no document
// is open. The folder OpenConnection resolves against for the bind dialogs.
std::string ActiveDocumentFolder(word::Application& application);

// OpenConnection with the document variables DataSourceType, DataSource, UserName and
// Password; relative database paths are resolved against the document's own folder.
std::shared_ptr<host::ado::Connection> ConnectHeaderDataSource(word::Document& docTarget);

// A client-side static read-only recordset of a record source, or nothing (unknown type,
// empty source, or any error). Filter and sort go into the statement, except for stored
// procedures and EXECUTE statements, where they are set on the recordset instead.
std::shared_ptr<host::ado::Recordset> OpenRecordset(const std::shared_ptr<host::ado::Connection>& connection,
                                                    std::string_view strRecordSourceType,
                                                    std::string_view strRecordSource, std::string_view strRSWhere,
                                                    std::string_view strRSOrder, std::string_view strFilter,
                                                    std::string_view strSort);
// The same, with the error when the database or the read-only rules refuse the record source
// (the statement is run once). Neither a recordset nor an error for settings that name
// nothing to open (no source, an unknown type) or a statement that returns no record set.
struct RecordsetAttempt {
    std::shared_ptr<host::ado::Recordset> recordset;
    std::optional<host::HostError> error;
};
RecordsetAttempt TryOpenRecordset(const std::shared_ptr<host::ado::Connection>& connection,
                                  std::string_view strRecordSourceType, std::string_view strRecordSource,
                                  std::string_view strRSWhere, std::string_view strRSOrder,
                                  std::string_view strFilter, std::string_view strSort);
// OpenRecordset with the document variables RecordSourceType, RecordSource, RSWhere,
// RSOrder, HeadFilter and HeadSort.
std::shared_ptr<host::ado::Recordset> OpenHeaderRecordset(const std::shared_ptr<host::ado::Connection>& connection,
                                                          word::Document& docTarget);

// Fallback folder ---------------------------------------------------------------------------------

// Stores the folder unless it is empty.
void SetDefaultFolder(std::string_view strFolder);
// The stored folder; "" before the first store.
std::string GetDefaultFolder();

}  // namespace paperloom::modPLFunction
