#pragma once
// A read-only look at a template: its header binding and options, its fields, its detail
// tables with their settings, and whether each binding opens. Nothing in the template is
// changed; the databases are only read.

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace paperloom::word {
class Document;
class Table;
}

namespace paperloom::cli {

// A data source and a record source as a template stores them.
struct SourceSettings {
    std::string dataSourceType;
    std::string dataSource;
    std::string userName;
    std::string password;
    std::string recordSourceType;
    std::string recordSource;
    std::string rsWhere;
    std::string rsOrder;
    // The header's run-time filter and sort; empty for detail tables.
    std::string filter;
    std::string sort;

    // True when the settings name a data source to connect to.
    bool Configured() const { return !dataSourceType.empty() || !dataSource.empty(); }
};

// Whether a binding opens: the connection, then the record source.
struct BindingCheck {
    bool configured = false;
    bool opens = false;
    long recordCount = -1;
    // Why it does not open ("" when it does or is not configured).
    std::string problem;
};

// Opens the data source and record source of `settings` (relative database files from
// `documentFolder`) and closes them again.
BindingCheck CheckBinding(const SourceSettings& settings, const std::filesystem::path& documentFolder);

// The name of the first bookmark starting inside the table ("" when none does).
std::string BookmarkOf(word::Document& document, const word::Table& table);

// The header settings from the document variables.
SourceSettings HeaderSettings(word::Document& document);

// What a header field of the designer's shows, read from its code.
struct HeaderFieldReport {
    std::string kind;        // DataField, PictureField or SupportField
    std::string name;        // the record-source field, or the support field's caption
    std::string formatType;  // the switch, "" for none
    std::string format;      // the picture
};

struct FieldReport {
    long index = 0;
    std::string code;
    std::string result;
    std::optional<HeaderFieldReport> header;  // nullopt for other fields
};

// One cell of a column's break row, as the break column's property text stores it ("" where a
// key is absent).
struct BreakRowCellReport {
    std::string column;  // letters of the table column the cell is in
    std::string fieldType;
    std::string fieldValue;
    std::string formatType;
    std::string format;
};

// A column's settings read from its property text (for column a, the text it shares with the
// table); nullopt where the key is absent.
struct ColumnReport {
    std::string column;   // letters
    std::string caption;  // visible text of the column's header cell
    std::optional<std::string> fieldType;
    std::optional<std::string> dataField;
    std::optional<std::string> formatType;
    std::optional<std::string> format;
    std::optional<std::string> skipSameValue;
    std::optional<std::string> breakOn;
    std::optional<std::string> breakRowInfo;
    std::vector<BreakRowCellReport> breakRow;
};

struct DetailReport {
    long index = 0;
    std::string bookmark;
    long rows = 0;
    long columns = 0;
    std::string tableProperties;
    std::vector<std::string> columnProperties;
    SourceSettings source;
    std::string parentKey;
    std::string childKey;
    std::string columnHeaders;
    std::string autoAdjustRowCount;
    // What the run-time's last fill wrote (nullopt when absent).
    std::optional<std::string> brokenRows;
    std::optional<std::string> effectiveRowCnt;
    std::vector<ColumnReport> columnSettings;
    BindingCheck check;
};

struct TemplateReport {
    std::filesystem::path path;
    SourceSettings header;
    BindingCheck headerCheck;
    // The stored values ("" when absent) of UpdateDetail, CopyPrimaryHeader, CopyPrimaryFooter.
    std::string updateDetail;
    std::string copyPrimaryHeader;
    std::string copyPrimaryFooter;
    std::vector<FieldReport> fields;
    std::vector<DetailReport> details;
};

// Reads the template at `path`; `checkBindings` also opens every binding.
TemplateReport InspectTemplate(const std::filesystem::path& path, bool checkBindings = true);

void PrintReport(const TemplateReport& report, std::ostream& out);

}  // namespace paperloom::cli
