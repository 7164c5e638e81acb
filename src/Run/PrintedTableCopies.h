#pragma once
// What the detail fill and the header statistics of a print run share besides the two keyed
// collections: the print-run arguments of one table fill, and the printed copies of each
// detail table of the current record (one per detail page already appended), so a header
// statistic can cover every page of the record and not only the table the working copy
// shows now.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace paperloom::run {

// The type the database's schema gives a detail table's child key column, kept by a print run
// so that the schema is asked once per table and working copy, not for every record.
struct ChildKeyTypeCache {
    bool known = false;
    std::optional<int> type;  // a host::ado::DataTypeEnum value; none when the schema tells none
};

// Print-run arguments and results of one SetDetailData call. On screen everything stays zero.
struct DetailPrintContext {
    // In: set by the print loop. The table is kept in whole blocks of the base row count,
    // and later detail pages continue after the records earlier pages consumed.
    bool blnPrintRun = false;
    // In: detail page 1 of a new header record (forgets the printed copies of the last one).
    bool blnRecordStart = false;
    // In: records of the detail source that earlier detail pages of this table showed.
    long lngRecordsDone = 0;
    // Out: table rows the whole detail source needs (its records plus its break rows);
    // the print loop counts the detail pages of the record from it.
    long lngRowsNeeded = 0;
    // Out: records remain for a further detail page.
    bool blnMoreData = false;
    // Out: break groups of the detail source.
    long lngBreakRowCount = 0;
    // Out: records this call showed (the print loop adds them to lngRecordsDone).
    long lngRecordsShown = 0;
    // In and out: the print run's record of the child key's type for this table; null on
    // screen, where the schema is asked each time.
    ChildKeyTypeCache* childKeyType = nullptr;
};

// One printed copy of a detail table: its rows as they were appended.
struct PrintedTableCopy {
    long lngFirstDataRow = 1;             // 2 with a caption row
    long lngRowsUsed = 0;                 // EffectiveRowCnt of that fill
    std::vector<long> lngBrokenRows;      // break rows of that fill (table row numbers)
    // cellTexts[r - 1][c - 1]: the visible text of cell (r, c) after the fields were updated.
    std::vector<std::vector<std::string>> cellTexts;
};

// Printed copies per table bookmark name, in page order.
using PrintedTableCopies = std::map<std::string, std::vector<PrintedTableCopy>>;

}  // namespace paperloom::run
