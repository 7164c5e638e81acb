#pragma once
// The shared routines of both add-ins that work on text: connection strings, record-source
// statements, the token splitters, flag texts, column letters, the error report text and the
// fallback folder. Routines that need a document or a database build on these.

#include "host/HostError.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// Fallback folder ---------------------------------------------------------------------------------

// Stores the folder unless it is empty.
void SetDefaultFolder(std::string_view strFolder);
// The stored folder; "" before the first store.
std::string GetDefaultFolder();

}  // namespace paperloom::modPLFunction
