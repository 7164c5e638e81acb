#pragma once
// Print documents: a new document holding the filled report of the current record or of every
// record of a template, each record starting on a new page and each detail page of a record on
// a page of its own. The filling happens in a working copy of the template (the template is
// only read); the filled copy is appended to the print document again and again.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Run/BindingRegistry.h"
#include "Run/clsPLRDBBind.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/Range.h"
#include "host/word/Table.h"

namespace paperloom {
class clsPLRSrcDocHolder;
class frmPLRInProgress;
}  // namespace paperloom

namespace paperloom::word {
class StreamedSave;
}

namespace paperloom::modPLRFunction {

// The detail tables of a working copy and what the print loop keeps per table.
struct PrintDetailTables {
    std::vector<word::Table> tblaryTarget;
    std::vector<std::string> straryDetailProp;
    std::vector<std::vector<std::string>> vararyColumnProp;
    // Data rows one detail page of the table holds.
    std::vector<long> lngCapacities;
    // Per table for the record being printed: records its pages showed so far, and the rows
    // its whole detail source needs (for CountDetailPages).
    std::vector<long> lngRecordsDone;
    std::vector<long> lngRowsNeeded;
    // Per table: the child key's type once the schema has been asked.
    std::vector<run::ChildKeyTypeCache> childKeyTypes;

    long Count() const { return static_cast<long>(tblaryTarget.size()); }
};

// What a build shares with its record loop: where bindings live and the progress dialog
// (nullptr while no progress is shown).
struct PrintRun {
    run::BindingRegistry& registry;
    frmPLRInProgress* progress = nullptr;
    // Set when the print document goes straight into its file: each finished record is
    // written out (see word::StreamedSave).
    word::StreamedSave* stream = nullptr;
    // With all records: the slice of them to print, by their number in the record source's
    // order (1-based, both included; 0 for the first or the last). Records keep their numbers.
    long lngFirstRecord = 0;
    long lngLastRecord = 0;
    // Records the loop printed.
    long lngRecordsPrinted = 0;
};

// A print document written to a file while it is built, for runs too large to hold, and the
// records to put in it.
struct PrintDocFile {
    std::filesystem::path path;
    long lngFirstRecord = 0;  // 0: from the first record
    long lngLastRecord = 0;   // 0: to the last record
};

// Builds the print document of docTarget's current record or of all its records. Without
// blnPrint the new document is returned, left open and unsaved; with blnPrint it is printed,
// closed without saving, and nullptr is returned. Screen updating is off and every visible
// document window hidden while it runs; both are put back, the working copy closed, and a
// half-built print document closed without saving, before any error reaches the caller.
std::shared_ptr<word::Document> BuildPrintDoc(word::Application& application, run::BindingRegistry& registry,
                                              const std::shared_ptr<word::Document>& docTarget, bool blnAllRecords,
                                              bool blnPrint);

// The print document of all records (or of the slice `file` names) of docTarget, written into
// `file.path` as it is built instead of being held; saving is atomic, and the target is left
// as it was when the build fails. Returns the number of records written. The print document
// is not left open.
long WritePrintDoc(word::Application& application, run::BindingRegistry& registry,
                   const std::shared_ptr<word::Document>& docTarget, const PrintDocFile& file);

// The record loop: fills the print document from the working copy, which is rebuilt (and so
// replaced in docSource) before every tenth record. The print document gets the working
// copy's page setup, settings and used styles first. An unbound working copy is appended once.
void FillPrintDoc(PrintRun& run, std::shared_ptr<word::Document>& docSource,
                  const std::shared_ptr<word::Document>& docPrint, clsPLRSrcDocHolder& holder, bool blnAllRecords);

// Appends every page of the binding's current record: detail page 1 of every table, then
// further pages while any table has records left, each page after a page break.
void FillPrintRecord(PrintRun& run, const word::Range& rangePrint, const word::Range& rangeSource, long lngSeqIndex,
                     PrintDetailTables& tables, bool blnPrint, clsPLRDBBind& binding);

// Appends the working copy's main text once (fields frozen into their results, hidden text
// dropped), then refills the text boxes of the appended copy from the working copy's text
// boxes, whose fields the main-text copy does not carry.
// rangePrint is any range of the print document: the copy always goes to its end.
void AppendSourceToPrintDoc(const word::Range& rangePrint, const word::Range& rangeSource, long lngSeqIndex);

// Capacity of every table: its rows, less the caption row when ColumnHeaders is "True".
// Returns the number of tables.
long GetDetailCapacities(std::vector<long>& lngCapacities, const std::vector<word::Table>& tblaryTarget,
                         const std::vector<std::string>& straryDetailProp);

// Detail pages of the current record: the largest number of pages a table with
// AutoAdjustRowCount exactly "False" needs for its rows, and at least 1. Tables that adjust
// their rows (or do not say) never paginate.
long CountDetailPages(const std::vector<long>& lngCapacities, const std::vector<long>& lngRowsNeeded,
                      const std::vector<std::string>& straryDetailProp);

}  // namespace paperloom::modPLRFunction
