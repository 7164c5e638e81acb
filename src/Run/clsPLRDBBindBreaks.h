#pragma once
// Break rows of detail tables: the definitions a break column carries for every table column,
// the statement that counts break groups in the database, and the writing of one break row.

#include <string>
#include <string_view>
#include <vector>

#include "host/word/Table.h"

namespace paperloom::run {

// What one table column shows in a break row ("なし" behaviour when the keys are missing).
struct BreakRowDefinition {
    std::string strFieldType;   // "キャプション", "統計演算", or anything else for nothing
    std::string strFieldValue;  // caption text or statistic function name
    std::string strFormatType;  // "なし", "\# (数値)", "\@ (日付／時刻)", "\* (文字列)"
    std::string strFormat;      // picture as stored
};

// The definitions for columns 1..lngColumnCount, read from the break column's property text
// under the keys that start with each column's letters.
std::vector<BreakRowDefinition> ReadBreakDefinitions(long lngColumnCount, std::string_view strBreakColumnProperties);

// The format switch a format-type caption stands for; "" for "なし" and anything unknown.
std::string BreakFormatSwitch(std::string_view strFormatTypeCaption);

// The statement that counts the break groups of a record source restricted by strWhere:
// the source's statement with the break field as (or added to) its select list, grouped by it.
std::string MakeBreakCountStatement(std::string_view strRecordSourceType, std::string_view strRecordSource,
                                    std::string_view strWhere, std::string_view strBreakTargetField);

// Writes break row lngBreakRow of a group whose data rows start at lngGroupFirstRow: per
// column a caption (text, or a QUOTE field with a switch) or a statistic over the group's
// rows of that column ("=SUM(b3:b7)"), or nothing.
void WriteBreakRow(const word::Table& tblTarget, long lngBreakRow, long lngColumnCount, long lngGroupFirstRow,
                   const std::vector<BreakRowDefinition>& definitions);

}  // namespace paperloom::run
