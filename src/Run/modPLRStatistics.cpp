#include "Run/modPLRStatistics.h"

#include <algorithm>
#include <charconv>
#include <cstddef>

#include "Run/FieldFormat.h"
#include "common/modPLConst.h"
#include "common/clsPLProperty.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/word/fieldcalc/CellNumber.h"
#include "host/word/fieldcalc/Formula.h"

namespace paperloom::modPLRFunction {

std::optional<word::Table> FindTableByBookmark(const word::Document& docTarget, std::string_view strBookmark) {
    for (const auto& table : docTarget.Tables())
        for (const auto& name : table.Range().Bookmarks())
            if (name == strBookmark) return table;
    return std::nullopt;
}

}  // namespace paperloom::modPLRFunction

namespace paperloom::run {
namespace {

// Rows first..last of one copy of the table, inclusive.
struct RowRun {
    long first = 0;
    long last = 0;
};

// The data rows of one fill: from the first data row to the last used row, split at the
// break rows (which show statistics of their own and must not be counted again).
std::vector<RowRun> DataRuns(long firstDataRow, long lastUsedRow, std::vector<long> breakRows) {
    std::sort(breakRows.begin(), breakRows.end());
    std::vector<RowRun> runs;
    long start = firstDataRow;
    for (const long breakRow : breakRows) {
        if (breakRow < start || breakRow > lastUsedRow) continue;
        if (breakRow > start) runs.push_back({start, breakRow - 1});
        start = breakRow + 1;
    }
    if (start <= lastUsedRow) runs.push_back({start, lastUsedRow});
    return runs;
}

std::vector<long> ParseRowList(std::string_view text) {
    std::vector<long> rows;
    std::vector<std::string> tokens;
    if (modPLFunction::SplitTokens(text, tokens, ",") == 0) return rows;
    for (const auto& token : tokens) {
        long row = 0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), row);
        if (error == std::errc() && end == token.data() + token.size() && row > 0) rows.push_back(row);
    }
    return rows;
}

std::optional<long> ParseCount(std::string_view text) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

std::string NumberLiteral(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The terms one statistic is made of: a list function over cell ranges of the live table
// and over the numbers printed earlier. AVERAGE keeps sums and counts apart, so the result
// is the sum of all values over their count, never an average of averages.
class StatisticTerms {
public:
    StatisticTerms(std::string function, std::string bookmark, std::string column)
        : function_(std::move(function)), bookmark_(std::move(bookmark)), column_(std::move(column)) {}

    void AddRun(const RowRun& run) {
        const std::string range = "( " + bookmark_ + " " + column_ + std::to_string(run.first) + ":" + column_ +
                                  std::to_string(run.last) + ")";
        Add(range);
    }

    void AddNumbers(const std::vector<double>& numbers) {
        // Function calls take a bounded number of arguments: long pages go in several terms.
        constexpr std::size_t kChunk = 200;
        for (std::size_t i = 0; i < numbers.size(); i += kChunk) {
            std::string arguments;
            for (std::size_t j = i; j < std::min(numbers.size(), i + kChunk); ++j) {
                if (!arguments.empty()) arguments += ',';
                arguments += NumberLiteral(numbers[j]);
            }
            Add("(" + arguments + ")");
        }
    }

    std::string Formula() const {
        if (function_ == "AVERAGE") return "=(" + Join(sums_, "+") + " ) / (" + Join(counts_, "+") + ")";
        if (function_ == "COUNT") return "=SUM(" + Join(counts_, ",") + ")";
        return "=" + function_ + "(" + Join(terms_, ",") + ")";
    }

private:
    void Add(const std::string& arguments) {
        if (function_ == "AVERAGE") {
            sums_.push_back("SUM" + arguments);
            counts_.push_back("COUNT" + arguments);
        } else if (function_ == "COUNT") {
            counts_.push_back("COUNT" + arguments);
        } else {
            terms_.push_back(function_ + arguments);
        }
    }

    // Nothing to cover still gives a formula: 0 for sums and counts, a division error for
    // an average of nothing, as the same function over empty cells gives.
    static std::string Join(const std::vector<std::string>& items, const char* separator) {
        if (items.empty()) return "0";
        std::string joined;
        for (const auto& item : items) {
            if (!joined.empty()) joined += separator;
            joined += item;
        }
        return joined;
    }

    std::string function_;
    std::string bookmark_;
    std::string column_;
    std::vector<std::string> terms_;
    std::vector<std::string> sums_;
    std::vector<std::string> counts_;
};

// The numbers a printed copy showed in one column over its data rows, read as the formula
// reads cells.
std::vector<double> PrintedNumbers(const PrintedTableCopy& copy, long column) {
    std::vector<double> numbers;
    const long lastUsedRow = copy.lngFirstDataRow - 1 + copy.lngRowsUsed;
    for (const auto& run : DataRuns(copy.lngFirstDataRow, lastUsedRow, copy.lngBrokenRows)) {
        for (long row = run.first; row <= run.last; ++row) {
            if (row < 1 || row > static_cast<long>(copy.cellTexts.size())) continue;
            const auto& cells = copy.cellTexts[static_cast<std::size_t>(row - 1)];
            if (column < 1 || column > static_cast<long>(cells.size())) continue;
            if (const auto number = word::fieldcalc::ParseCellNumber(cells[static_cast<std::size_t>(column - 1)]))
                numbers.push_back(*number);
        }
    }
    return numbers;
}

// The switch and picture of the field, as the tokens carry them.
std::string FormatSuffix(const std::vector<std::string>& tokens) {
    const std::string formatType = GetFormatType(tokens);
    if (formatType.empty()) return {};
    const auto it = std::find(tokens.begin() + 2, tokens.end(), formatType);
    std::string suffix = " " + formatType;
    if (it + 1 != tokens.end()) suffix += " " + *(it + 1);
    return suffix;
}

// The live table's break rows and last used row: its property text, written by every fill;
// in a print run the fill's keyed working data stands in when the text carries none.
struct LiveRows {
    long firstDataRow = 2;
    long lastUsedRow = 0;
    std::vector<long> breakRows;
};

LiveRows ReadLiveRows(const word::Table& table, word::Document& doc, const std::string& bookmark, bool blnPrint,
                      const StatisticsSources& sources) {
    const clsPLProperty property;
    const std::string props = property.GetDetailProperties(table, doc);
    LiveRows rows;
    const bool captionRow = property.GetPropertyFromText(props, modPLConst::PROP_COLUMN_HEADERS,
                                                         modPLConst::DEFAULT_COLUMN_HEADERS) == modPLConst::FLAG_TRUE;
    rows.firstDataRow = captionRow ? 2 : 1;
    const long tableRows = table.Rows().Count();
    rows.breakRows = ParseRowList(property.GetPropertyFromText(props, modPLConst::PROP_BROKEN_ROWS, ""));
    auto used = ParseCount(property.GetPropertyFromText(props, modPLConst::PROP_EFFECTIVE_ROW_CNT, ""));
    if (!used && blnPrint) {
        if (sources.brokenRowsByTable && sources.brokenRowsByTable->Exists(bookmark))
            rows.breakRows = ParseRowList(sources.brokenRowsByTable->Item(bookmark));
        if (sources.rowsUsedByTable && sources.rowsUsedByTable->Exists(bookmark))
            used = ParseCount(sources.rowsUsedByTable->Item(bookmark));
    }
    rows.lastUsedRow = used ? std::min(tableRows, rows.firstDataRow - 1 + *used) : tableRows;
    return rows;
}

}  // namespace

std::string MakeStatisticsCode(const std::vector<std::string>& straryTokens, word::Document& docTarget,
                               bool blnPrint, const StatisticsSources& sources) {
    if (straryTokens.size() < 5) throw host::HostError(5, "OsPLRun", "A statistics field needs a function, a bookmark and a column.");
    const std::string& function = straryTokens[2];
    const std::string& bookmark = straryTokens[3];
    const std::string& column = straryTokens[4];
    std::string screenCode = "=" + function + "( " + bookmark + " " + column + ":" + column + " )";
    if (straryTokens.size() >= 7) screenCode += " " + straryTokens[5] + " " + straryTokens[6];

    const auto table = modPLRFunction::FindTableByBookmark(docTarget, bookmark);
    if (!table) return screenCode;
    const LiveRows live = ReadLiveRows(*table, docTarget, bookmark, blnPrint, sources);
    if (!blnPrint && live.breakRows.empty()) return screenCode;

    StatisticTerms terms(function, bookmark, column);
    if (blnPrint && sources.printedCopies) {
        const long columnNumber = word::fieldcalc::ColumnNumberFromLetters(column);
        if (const auto it = sources.printedCopies->find(bookmark); it != sources.printedCopies->end())
            for (const auto& copy : it->second) {
                const auto numbers = PrintedNumbers(copy, columnNumber);
                if (!numbers.empty()) terms.AddNumbers(numbers);
            }
    }
    for (const auto& run : DataRuns(live.firstDataRow, live.lastUsedRow, live.breakRows)) terms.AddRun(run);
    return terms.Formula() + FormatSuffix(straryTokens);
}

}  // namespace paperloom::run
