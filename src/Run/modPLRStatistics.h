#pragma once
// Statistics fields of the header: the formula that a "quote Statistics <function> <bookmark>
// <column>" field computes over a detail table. Without break rows it covers the whole column;
// with break rows it covers only the runs of data rows between them, so the break rows' own
// results are not counted again; in a print run it also covers the copies of the table that
// earlier detail pages of the record already printed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Run/KeyedTextCollection.h"
#include "Run/PrintedTableCopies.h"
#include "host/word/Document.h"
#include "host/word/Table.h"

namespace paperloom::modPLRFunction {

// The first table of the document (in order) holding a bookmark of exactly that name;
// nothing when there is none.
std::optional<word::Table> FindTableByBookmark(const word::Document& docTarget, std::string_view strBookmark);

}  // namespace paperloom::modPLRFunction

namespace paperloom::run {

// What a statistic may read besides its document: the copies printed so far for the current
// record and the detail fill's per-table working data (both are used in print runs only).
struct StatisticsSources {
    const PrintedTableCopies* printedCopies = nullptr;
    const KeyedTextCollection* brokenRowsByTable = nullptr;
    const KeyedTextCollection* rowsUsedByTable = nullptr;
};

// The code that replaces a Statistics field (tokens as split from its design-time code, at
// least five): "=" function "( " bookmark " " column ":" column " )" with the field's switch
// and picture, rebuilt over the data-row runs when the table has break rows or blnPrint is
// set. A table that cannot be found keeps the whole-column formula.
std::string MakeStatisticsCode(const std::vector<std::string>& straryTokens, word::Document& docTarget,
                               bool blnPrint, const StatisticsSources& sources);

}  // namespace paperloom::run
