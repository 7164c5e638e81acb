#pragma once
// The run-time's automation controller: other programs (and the add-in's own commands) drive
// a template through it. Every method works on the binding of the document it is given; a
// method that needs a binding does nothing when there is none. No method catches errors:
// provider, document and print-build errors reach the caller as they were raised.

#include <memory>
#include <string>

#include "Run/RunState.h"
#include "host/word/Document.h"

namespace paperloom {

class OsPLRController {
public:
    explicit OsPLRController(run::RunState& state) : mState(state) {}

    // The document variable HeadFilter; "" when absent.
    std::string GetHeaderFilter(std::shared_ptr<word::Document>& docTarget);
    // Sets HeadFilter; the record source is not reopened.
    void SetHeaderFilter(std::shared_ptr<word::Document>& docTarget, std::string strFilter);
    std::string GetHeaderSort(std::shared_ptr<word::Document>& docTarget);
    void SetHeaderSort(std::shared_ptr<word::Document>& docTarget, std::string strSort);
    // Unbinds and binds the document again (new connection), then moves to the first record.
    void RebindHeader(std::shared_ptr<word::Document>& docTarget);
    // Reopens the header record source on the existing connection (binding the document when
    // it has no binding), then moves to the first record. A record source that no longer
    // opens (a filter or sort the database refuses, the database gone) is an error with the
    // database's reason; the binding then has no records until reopened.
    void ReopenHeader(std::shared_ptr<word::Document>& docTarget);
    // Refills the header fields.
    void UpdateHeader(std::shared_ptr<word::Document>& docTarget);
    // Refills the detail tables, then the header fields. The header is refilled even when a
    // detail table cannot be (that table is left without records); that error comes after.
    void UpdateDetail(std::shared_ptr<word::Document>& docTarget);
    // Refills the detail tables (unless the variable UpdateDetail is not exactly "True"), then
    // the header fields, as UpdateDetail does.
    void UpdateView(std::shared_ptr<word::Document>& docTarget);
    // The print document of all records or of the current record, left open.
    std::shared_ptr<word::Document> CreatePrintDoc(std::shared_ptr<word::Document>& docTarget,
                                                   bool blnAllRecords = true);
    // Builds the print document, prints it and closes it.
    void PrintData(std::shared_ptr<word::Document>& docTarget, bool blnAllRecords = true);
    // Searches the freshly reopened header record source for the condition in the direction
    // given; true exactly when a matching record became the current record.
    bool FindData(std::shared_ptr<word::Document>& docTarget, std::string strCondition,
                  bool blnSerchForword = true);

private:
    run::RunState& mState;
};

}  // namespace paperloom
