#pragma once
// Run-time routines around detail tables: finding them in a document's text and text boxes,
// updating every field after a fill, and turning a column expression into a row formula.

#include <string>
#include <string_view>
#include <vector>

#include "host/word/Document.h"
#include "host/word/Range.h"
#include "host/word/Table.h"

namespace paperloom::modPLRFunction {

// Appends the tables of the range, then those in the text boxes of the main text (items of
// grouped shapes included, boxes without text skipped); returns the new count. The host does
// not tell where a shape is anchored, so a range of the main text collects the text boxes of
// the whole main text; a range of any other story collects its own tables only.
long CollectDetailTables(std::vector<word::Table>& tblaryTarget, const word::Range& rangeTarget);

// Updates the fields of the main text, then those of every text box holding text (items of
// grouped shapes included).
void UpdateAllFields(word::Document& docTarget);

// The expression with the row number appended to every operand that is not a number, so the
// column letters become cell references of that row: "A*B+10" in row 3 gives "A3*B3+10".
// Operators "*", "/", "+", "-", "(", ")", blanks and tabs are copied as they are.
std::string MakeRowFormula(long lngRow, std::string_view strExpression);

}  // namespace paperloom::modPLRFunction
