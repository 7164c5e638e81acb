#pragma once
// The designer's commands on the application's active document and selection: each reads the
// binding the document carries, runs its dialog preset with it, writes what the user
// confirmed, and then asks the run-time add-in, when it is connected, to refresh the document.
// The menu, the toolbar and the command line all run these. Errors pass to the caller, which
// decides how to show them; what a command had written before an error stays.

#include <memory>
#include <optional>
#include <string_view>

#include "Edit/EditDialogs.h"
#include "host/word/Table.h"
#include "host/word/fields/Field.h"

namespace paperloom::word {
class AddInHost;
class Document;
}  // namespace paperloom::word

namespace paperloom::edit {

class EditCommands {
public:
    EditCommands(word::AddInHost& host, EditDialogs& dialogs) : mHost(host), mDialogs(dialogs) {}

    // The data bind dialog over the header's eight document variables; on a confirmed change
    // they are rewritten (or all deleted when the dialog was emptied) and the run-time rebinds
    // and refills the document.
    void HeadBind();
    // The two-page wizard; on a confirmed change a table replaces the selection: one header row
    // and the chosen number of data rows, a bookmark over it, the table's and each column's
    // property text hidden in row 1, and the columns' captions. The run-time refills the
    // document when the template lets detail tables update. Returns the new table; nothing when
    // the wizard was cancelled or nothing changed.
    std::optional<word::Table> DetailInsert();
    // The column properties dialog on the column at the selection (an information message when
    // the selection is in no table); on a confirmed change the column's caption, property text
    // and break-row settings and the detail's sort are written back.
    void DetailColProp();
    // The detail properties dialog over the table at the selection, preset from the table's
    // settings (the header's data source and credentials where the table has none); on a
    // confirmed change the table's twelve keys are rewritten, other keys kept (or the twelve
    // deleted when the dialog was emptied), a newly typed bookmark added over the table, and
    // the run-time refills the document when the template lets detail tables update.
    void DetailProp();
    // The header field dialog over the header data field at the cursor (in the text, the
    // selection's story, or a floating text box); on a confirmed change that field, if any, is
    // deleted and a field with the dialog's code replaces the selection, and the run-time
    // refills the header. Returns the new field; nothing when cancelled, unchanged, or when
    // the dialog has nothing to write.
    std::optional<word::Field> HeadField();
    // The statistics field dialog over the statistics field at the cursor (in the text or a
    // floating text box); another kind of field there is refused with an error message. On a
    // confirmed change that field, if any, is replaced by one with the dialog's code, and the
    // run-time refills the header. Returns the new field; nothing when refused, cancelled or
    // unchanged.
    std::optional<word::Field> Statistics();
    // The calculator over the formula at the cursor; a formula left in it is inserted at the
    // selection with the picture as its number format (in place of the formula field the
    // calculator loaded when the cursor was inside it). Returns whether a formula was inserted.
    bool Formula();
    // The bookmark manager on the active document; all its work happens inside it.
    void Bookmarks();
    // The about box with the designer's window title and this build's version.
    void About();

    // The late-bound controller call on the active document, made only while the run-time
    // add-in is connected (a run-time that is not even registered is not connected either).
    // Returns whether the call was made.
    bool RefreshRunTime(std::string_view strMethod);

    // The visible caption of a detail table's column in its header cell: the first visible
    // text there is replaced (the hidden property text stays), or the caption appended when
    // the cell shows none.
    static void SetColumnCaption(const word::Table& tblTarget, long lngColumn, std::string_view strCaption);

private:
    std::shared_ptr<word::Document> ActiveDocument() const;

    word::AddInHost& mHost;
    EditDialogs& mDialogs;
};

}  // namespace paperloom::edit
