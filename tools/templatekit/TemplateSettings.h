#pragma once
// What a template stores, as plain values: the header binding with its document options, a
// field's format switch, and a detail table with its columns and break-row cells. The writers
// (TemplateWriter, PropertyText) turn these into document variables and property text exactly
// as the designer stores them.

#include <optional>
#include <string>
#include <vector>

namespace paperloom::templatekit {

// Where records come from: a data source and a record source with its own filter and sort.
struct DataBinding {
    std::string dataSourceType;    // "1" ODBC name, "2" connection string, "3" data link, "4" database file
    std::string dataSource;        // for "4" a path; a relative path is taken from the template's folder
    std::string userName;          // written only when set
    std::string password;          // written only when set
    std::string recordSourceType;  // "1" SQL text, "2" table, "4" stored procedure, "8" unspecified
    std::string recordSource;
    std::string rsWhere;           // filter text of the record source
    std::string rsOrder;           // sort text of the record source
};

// The header data part: its binding, the run-time filter and sort, and the document options.
// Options left unset are not written, so the reader's defaults apply.
struct HeaderBinding {
    DataBinding source;
    std::string headFilter;  // written only when set
    std::string headSort;    // written only when set
    std::optional<bool> updateDetail;
    std::optional<bool> copyPrimaryHeader;
    std::optional<bool> copyPrimaryFooter;
};

// A format switch ("\#", "\@", "\*") and its picture. Without both nothing is written.
struct FieldFormat {
    std::string formatType;
    std::string format;
};

// What a detail column shows (the stored FieldType).
enum class ColumnKind { None = 0, Data = 1, Support = 2, Expression = 3, Picture = 4 };

// One cell of the break row, defined in the break column's property text.
enum class BreakCellKind { None, Caption, Statistic };
struct BreakRowCell {
    BreakCellKind kind = BreakCellKind::None;
    std::string value;  // caption text, or a statistics function ("SUM", "COUNT", "AVERAGE" ...)
    FieldFormat format;  // the switch ("\#" ...) is stored as its caption; "" stores "なし"
};

struct DetailColumn {
    ColumnKind kind = ColumnKind::None;
    // Data/Picture: the record-source field; Support: its caption ("行番号"); Expression: the
    // expression over column letters ("c*d").
    std::string dataField;
    FieldFormat format;
    bool skipSameValue = false;
    bool breakColumn = false;  // the first break column carries the break-row definitions
    std::string caption;       // visible text of the caption row when the kit makes the table
};

struct DetailTable {
    DataBinding source;  // a detail table always names its own data source
    std::string parentKey;
    std::string childKey;
    bool columnHeaders = true;
    bool autoAdjustRowCount = false;
    long dataRows = 1;  // rows below the caption row when the kit adds the table
    std::vector<DetailColumn> columns;
    // Per table column, in order; stored in the break column's text. Shorter than the column
    // list: the remaining cells stay empty.
    std::vector<BreakRowCell> breakRow;
    std::string bookmark;  // names the table for header statistics; "" for none
};

}  // namespace paperloom::templatekit
