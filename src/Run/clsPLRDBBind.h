#pragma once
// Binds one open document to its database: the connection named by the document's header
// settings, the header record source whose current record the document shows, and the
// document itself. Navigation, position, find and sort act on that record source; the fill
// of the document (header fields, detail tables) builds on the same state.
//
// A binding owns its connection and record source. A clone (DBClone) shares the connection
// of its source and never closes it; it has a record source of its own that starts on the
// source's current record and moves independently.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Run/KeyedTextCollection.h"
#include "Run/PrintedTableCopies.h"
#include "Run/clsPLRReturnField.h"
#include "host/ado/Connection.h"
#include "host/ado/Recordset.h"
#include "host/ado/Variant.h"
#include "host/word/Document.h"
#include "host/word/Table.h"
#include "host/word/fields/Field.h"

namespace paperloom {

class clsPLRDBBind {
public:
    // Value kinds GetFieldType reports (the variant-type numbers the find dialog quotes by).
    static constexpr int kFieldKindOther = 0;
    static constexpr int kFieldKindNumber = 2;
    static constexpr int kFieldKindDate = 7;
    static constexpr int kFieldKindString = 8;
    static constexpr int kFieldKindBoolean = 11;
    static constexpr int kFieldKindVariant = 12;

    clsPLRDBBind() = default;
    clsPLRDBBind(const clsPLRDBBind&) = delete;
    clsPLRDBBind& operator=(const clsPLRDBBind&) = delete;
    // Releases the connection, record source and document without closing them explicitly;
    // a connection still shared with a clone stays open for it.
    ~clsPLRDBBind() = default;

    // Connection and record source ---------------------------------------------------------------

    // Disconnects, then connects to the data source named by the document's header settings.
    // True when a connection was obtained; failure is reported only by the result.
    bool DBConnect(const std::shared_ptr<word::Document>& docTarget);
    // Closes the record source, then closes and drops the connection; a clone drops the shared
    // connection without closing it. The document stays set.
    void DBDisconnect();
    // Opens (again) the header record source with the document's current settings, filter and
    // sort. False without a connection or when the record source cannot be opened. Afterwards
    // the binding is a clone only if it is still on the connection it borrowed.
    bool DBOpen();
    // Closes and drops the record source.
    void DBClose();
    // A new binding for docTarget on a clone of this record source and this connection;
    // nullptr when this binding is not open.
    std::shared_ptr<clsPLRDBBind> DBClone(const std::shared_ptr<word::Document>& docTarget) const;

    // The connection in use (a clone's is its source's); null when not connected.
    const std::shared_ptr<host::ado::Connection>& DataSource() const noexcept { return mconDataSource; }
    // The header record source, to read the current record; null when not open. It moves only
    // through the binding, which keeps its remembered position and clone state right.
    const host::ado::Recordset* RecordSource() const noexcept { return mrsRecordSource.get(); }
    // The bound document; null before the first DBConnect (or DBClone).
    const std::shared_ptr<word::Document>& TargetDocument() const noexcept { return mdocTarget; }

    bool IsConnect() const noexcept { return mconDataSource != nullptr; }
    bool IsOpen() const noexcept;
    bool IsClone() const noexcept { return mblnClone; }
    // Name of the bound document; "" when there is none.
    std::string GetDocumentName() const;

    // Navigation and position: no-ops (or defaults) when not open ---------------------------------

    void MoveFirst();
    // With blnToBOF false the binding stays on the first record.
    void MovePrev(bool blnToBOF);
    // With blnToEOF false the binding stays on the last record.
    void MoveNext(bool blnToEOF);
    void MoveLast();
    // Goes to the bookmarked record; a result past either end lands on the first or last record.
    void Move(const host::ado::Variant& vrtBookmark);
    // Goes to the 1-based record number; below 1 lands on the first, past the end on the last.
    void MovePos(long lngRecordIndex);
    // Remembers the current record; keeps the old position when there is no current record.
    void SaveCurrent();
    // Returns to the remembered record, when one was remembered.
    void RestoreCurrent();
    // Bookmark of the current record; Null when there is none or not open.
    host::ado::Variant GetRecordPos() const;
    // Record count; 0 for an empty record source or when not open.
    long GetRecordCount() const;
    // 1-based number of the current record; 0 when there is none or not open.
    long GetRecordIndex() const;
    bool IsEOF() const;
    // Value kind of the named field (kFieldKind...); 0 for other types, unknown names, not open.
    int GetFieldType(std::string_view strFieldName) const;
    // Searches with one comparison from the current record after skipping lngSkipRows, forward
    // or backward. False at BOF or EOF, or when no record matches (the record source is then
    // left at EOF or BOF).
    bool Find(const std::string& strCondition, long lngSkipRows, bool blnSerchForword);
    std::string GetSort() const;
    // Provider errors (a field the record source lacks) reach the caller.
    void SetSort(const std::string& strSort);

    // Header fill -------------------------------------------------------------------------------
    // Engine fields get a computed code, the visited field collections are updated, and the
    // design-time codes are put back, so the document shows the values while every field
    // still carries its design-time code.

    // Refreshes the header on screen (all three steps in one go).
    void SetHeadDatas();
    // Replaces the codes of the engine fields (main text, then text boxes and grouped text
    // boxes). lngHeadIndex: sequence number of the record in a print run; lngDetailMaxIndex:
    // its detail pages (both -1 on screen). With collFields/collNativeFields null the method
    // runs the update and the restore itself; otherwise they are the caller's next steps.
    // Does nothing unless connected and open.
    void SetHeadData(long lngHeadIndex, long lngDetailMaxIndex, std::vector<word::Fields>* collFields,
                     std::vector<clsPLRReturnField>* collNativeFields, bool blnPrint);
    // Updates every visited field collection in order.
    void UpdateHeadFields(std::vector<word::Fields>& collFields);
    // Puts the design-time code back into every engine field and empties both collections.
    void SetHeadDataTerminate(std::vector<word::Fields>& collFields,
                              std::vector<clsPLRReturnField>& collNativeFields);

    // Detail fill -------------------------------------------------------------------------------

    // The detail tables of the main text (and of text boxes anchored in it) with their detail
    // and column property texts; returns the number of tables.
    long GetDetailsAndProps(std::vector<word::Table>& tblaryTarget, std::vector<std::string>& straryDetailProp,
                            std::vector<std::vector<std::string>>& vararyColumnProp);
    // Property texts of the given tables; stops quietly on the first error.
    void GetDetailProps(std::vector<std::string>& straryDetailProp,
                        std::vector<std::vector<std::string>>& vararyColumnProp,
                        const std::vector<word::Table>& tblaryTarget);
    // Refreshes every detail table on screen (detail page 1); with blnUpdate the document's
    // fields are updated afterwards. A table that cannot be filled is left without records;
    // the others are still filled, and the first error is raised at the end.
    void SetDetailDatas(bool blnUpdate);
    // Fills one table from its own record source, linked to the current header record
    // (see DetailPrintContext for the print-run values). collTargetTables, when given,
    // receives the filled table. A table without usable settings is left unchanged. When its
    // connection or record source fails (or the fill itself), the table is left showing no
    // records and the error is raised, naming the table and the database's reason: no table
    // ever keeps the rows of another header record. In a print run a table that does not adjust its
    // rows is kept in whole blocks of lngBaseRowCount data rows: one block per detail page
    // with blnStatisticsByDetailPage, otherwise as many blocks as the remaining records need.
    void SetDetailData(word::Table tblTarget, long lngBaseRowCount, const std::string& strDetailProperties,
                       const std::vector<std::string>& varColumnProperties, bool blnStatisticsByDetailPage,
                       long lngDetailIndex, std::vector<word::Table>* collTargetTables,
                       run::DetailPrintContext& context);
    // Number of break groups the record source restricted by strWhere holds (distinct values
    // of the break field, counted by the database); 0 without a field or when the query fails.
    // strWhere goes into the statement as it is: a condition on a value from the database is
    // written with run::MakeLinkCondition, never by pasting the value.
    long GetBreakRowCount(const std::shared_ptr<host::ado::Connection>& connection,
                          std::string_view strRecordSourceType, std::string_view strRecordSource,
                          std::string_view strWhere, std::string_view strBreakTargetField) const;

    // Copies of detail tables already printed for the current record of a print run; the
    // header statistics of a print run cover them together with the table now shown.
    run::PrintedTableCopies& PrintedCopies() noexcept { return mPrintedCopies; }

    // Per-table working data of the detail fill, keyed by the table's bookmark name: the
    // break-row numbers of its last fill, and its break rows plus detail records, as texts.
    run::KeyedTextCollection& BrokenRowsByTable() noexcept { return mcolBrokenRows; }
    run::KeyedTextCollection& RowsUsedByTable() noexcept { return mcolRowsUsed; }

private:
    // True when open and holding at least one record: moves to a bookmark or a record number
    // need a record to land on.
    bool HasRecords() const;
    // After a move past either end: back onto the last or the first record.
    void LandOnRecord();

    // A clone shares its source's connection and must never close it.
    bool mblnClone = false;
    std::shared_ptr<host::ado::Connection> mconDataSource;
    std::shared_ptr<host::ado::Recordset> mrsRecordSource;
    std::shared_ptr<word::Document> mdocTarget;
    // The connection a clone borrowed from its source: reopening the clone's record source on
    // it keeps the binding a clone, so unbinding it never closes the source's connection.
    std::weak_ptr<host::ado::Connection> mconBorrowed;
    host::ado::Variant mvntSavedPosition;
    run::KeyedTextCollection mcolBrokenRows;
    run::KeyedTextCollection mcolRowsUsed;
    run::PrintedTableCopies mPrintedCopies;
};

}  // namespace paperloom
