// The detail fill of a binding: every detail table gets the child records of the current
// header record from its own record source, one table row per record, with break rows,
// repeated-value blanking, row formulas and formats; in print runs later detail pages show
// the records earlier pages left.

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Run/DetailCell.h"
#include "Run/FieldFormat.h"
#include "Run/LinkCondition.h"
#include "Run/clsPLRDBBind.h"
#include "Run/clsPLRDBBindBreaks.h"
#include "Run/modPLRDetailTables.h"
#include "common/HiddenTextDisplayOff.h"
#include "common/SettingTypes.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "common/modPLConst.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"
#include "common/modPLRPictureField.h"
#include "host/DebugLog.h"
#include "host/HostError.h"
#include "host/ado/DataTypes.h"
#include "host/word/Application.h"
#include "host/AsciiText.h"

namespace paperloom {
namespace {

using host::ado::Connection;
using host::ado::DataTypeEnum;
using settingtypes::ColumnFieldType;
using settingtypes::RecordSourceType;
namespace key = modPLConst;
using host::ado::Recordset;
using host::ado::Variant;

constexpr std::string_view kRowNumberCaption = "行番号";

// The table's own settings, from its detail property text.
struct DetailSettings {
    std::string strDataSourceType, strDataSource, strUserName, strPassword;
    std::string strRecordSourceType, strRecordSource;
    std::optional<RecordSourceType> recordSourceType;  // nothing for a text that names no type
    std::string strParentKey, strChildKey, strRSWhere, strRSOrder;
    bool blnColumnHeaders = true;
    bool blnAutoAdjust = false;

    static DetailSettings Read(std::string_view text) {
        const clsPLProperty property;
        const auto get = [&](std::string_view key, std::string_view fallback = {}) {
            return property.GetPropertyFromText(text, key, fallback);
        };
        DetailSettings s;
        s.strDataSourceType = get(key::PROP_DATA_SOURCE_TYPE);
        s.strDataSource = get(key::PROP_DATA_SOURCE);
        s.strUserName = get(key::PROP_USER_NAME);
        s.strPassword = get(key::PROP_PASSWORD);
        s.strRecordSourceType = get(key::PROP_RECORD_SOURCE_TYPE);
        s.recordSourceType = settingtypes::ParseRecordSourceType(s.strRecordSourceType);
        s.strRecordSource = get(key::PROP_RECORD_SOURCE);
        s.strParentKey = get(key::PROP_PARENT_KEY);
        s.strChildKey = get(key::PROP_CHILD_KEY);
        s.strRSWhere = get(key::PROP_RS_WHERE);
        s.strRSOrder = get(key::PROP_RS_ORDER);
        s.blnColumnHeaders = get(key::PROP_COLUMN_HEADERS, key::DEFAULT_COLUMN_HEADERS) == key::FLAG_TRUE;
        s.blnAutoAdjust = get(key::PROP_AUTO_ADJUST_ROW_COUNT, key::DEFAULT_AUTO_ADJUST_ROW_COUNT) == key::FLAG_TRUE;
        return s;
    }

    bool NamesSource() const {
        return !(strDataSourceType.empty() && strDataSource.empty()) &&
               !(strRecordSourceType.empty() && strRecordSource.empty());
    }
    bool IsProcedure() const { return recordSourceType == RecordSourceType::StoredProcedure; }
    long FirstDataRow() const { return blnColumnHeaders ? 2 : 1; }
};

// What the fill writes into one column, from the column's property text.
struct ColumnSetting {
    ColumnFieldType fieldType = ColumnFieldType::None;
    std::string strDataField, strFormatType, strFormat;
    bool blnSkipSameValue = false;
    bool blnBreak = false;

    static ColumnSetting Read(std::string_view text) {
        const clsPLProperty property;
        ColumnSetting s;
        s.fieldType = settingtypes::ParseColumnFieldType(
            property.GetPropertyFromText(text, key::PROP_FIELD_TYPE, key::DEFAULT_FIELD_TYPE));
        s.strDataField = property.GetPropertyFromText(text, key::PROP_DATA_FIELD, "");
        s.strFormatType = property.GetPropertyFromText(text, key::PROP_FORMAT_TYPE, "");
        s.strFormat = property.GetPropertyFromText(text, key::PROP_FORMAT, "");
        s.blnSkipSameValue = property.GetPropertyFromText(text, key::PROP_SKIP_SAME_VALUE, "") == key::FLAG_TRUE;
        s.blnBreak = property.GetPropertyFromText(text, key::PROP_BREAK, "") == key::FLAG_TRUE;
        return s;
    }

    bool Fills() const { return fieldType != ColumnFieldType::None && !strDataField.empty(); }
};

std::vector<long> ParseRowList(std::string_view text) {
    std::vector<long> rows;
    std::string item;
    const auto flush = [&] {
        if (!item.empty()) {
            try {
                rows.push_back(std::stol(item));
            } catch (const std::exception&) {
                debuglog::Swallowed("clsPLRDBBindDetail.cpp: ParseRowList");
                // A damaged entry names no row.
            }
        }
        item.clear();
    };
    for (const char c : text) {
        if (c == ',') {
            flush();
        } else if (c != ' ') {
            item += c;
        }
    }
    flush();
    return rows;
}

std::string JoinRowList(const std::vector<long>& rows) {
    std::string text;
    for (const long row : rows) {
        if (!text.empty()) text += ",";
        text += std::to_string(row);
    }
    return text;
}

// Closes a connection or recordset when the fill is done, however it ends.
template <class T>
class ClosingGuard {
public:
    explicit ClosingGuard(std::shared_ptr<T> object) : object_(std::move(object)) {}
    ~ClosingGuard() {
        if (!object_) return;
        try {
            if (object_->State() != host::ado::ObjectStateEnum::adStateClosed) object_->Close();
        } catch (const std::exception&) {
            debuglog::Swallowed("clsPLRDBBindDetail.cpp: JoinRowList");
            // Clean-up: nothing more to do for an object that will not close.
        }
    }
    ClosingGuard(const ClosingGuard&) = delete;
    ClosingGuard& operator=(const ClosingGuard&) = delete;

private:
    std::shared_ptr<T> object_;
};

// Link conditions ---------------------------------------------------------------------------------

using run::KeyKind;

// The type of the child key column as the connection's schema lists it; nothing when no
// schema row names it.
std::optional<DataTypeEnum> ChildKeyType(Connection& connection, const DetailSettings& settings) {
    const bool procedure = settings.IsProcedure() ||
                           (settings.recordSourceType == RecordSourceType::Text && modPLFunction::IsExecuteStatement(settings.strRecordSource));
    const auto schema = connection.OpenSchema(procedure ? host::ado::SchemaEnum::adSchemaProcedureColumns
                                                        : host::ado::SchemaEnum::adSchemaColumns);
    const std::string owner = modPLFunction::GetTableNameFromStatement(settings.strRecordSource);
    const std::string ownerColumn = procedure ? "PROCEDURE_NAME" : "TABLE_NAME";
    std::optional<DataTypeEnum> caseless;
    if (owner.empty() || (schema->IsBOF() && schema->IsEOF())) return std::nullopt;
    auto fields = schema->Fields();
    for (schema->MoveFirst(); !schema->IsEOF(); schema->MoveNext()) {
        // Table names compare as the schema search does, without regard to case.
        if (!text::EqualsNoCase(host::ado::ToDisplayText(fields.Item(ownerColumn).Value()), owner)) continue;
        const std::string column = host::ado::ToDisplayText(fields.Item("COLUMN_NAME").Value());
        const auto type = static_cast<DataTypeEnum>(host::ado::CDbl(fields.Item("DATA_TYPE").Value()));
        if (column == settings.strChildKey) return type;
        if (!caseless && text::EqualsNoCase(column, settings.strChildKey)) caseless = type;
    }
    return caseless;
}

// The rows of one fill ------------------------------------------------------------------------------

// Fills one detail table from an open record source (or none: no records).
class DetailTableFill {
public:
    DetailTableFill(word::Table table, const DetailSettings& settings, const std::vector<std::string>& columnTexts,
                    Recordset* records, std::string pictureFolder)
        : table_(std::move(table)),
          settings_(settings),
          records_(records),
          pictureFolder_(std::move(pictureFolder)),
          firstDataRow_(settings.FirstDataRow()) {
        for (const auto& text : columnTexts) columns_.push_back(ColumnSetting::Read(text));
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            if (columns_[c].blnBreak) {
                if (!columns_[c].strDataField.empty()) {
                    breakField_ = columns_[c].strDataField;
                    breakDefinitions_ = run::ReadBreakDefinitions(static_cast<long>(columns_.size()), columnTexts[c]);
                }
                break;
            }
        }
        recordCount_ = records_ && !(records_->IsBOF() && records_->IsEOF()) ? records_->RecordCount() : 0;
        groupCount_ = CountGroups();
    }

    long RecordCount() const { return recordCount_; }
    long GroupCount() const { return groupCount_; }
    const std::vector<long>& BrokenRows() const { return brokenRows_; }
    long RowsUsed() const { return rowsUsed_; }
    long RecordsShown() const { return recordsShown_; }
    bool MoreData() const { return moreData_; }

    // previousBrokenRows: the break rows the last fill left in the table.
    void Run(long baseRowCount, bool statisticsByDetailPage, long detailIndex, const run::DetailPrintContext& context,
             const std::vector<long>& previousBrokenRows) {
        ClearRows(previousBrokenRows);
        const long start = StartRecord(detailIndex, context, previousBrokenRows);
        SizeRows(start, baseRowCount, statisticsByDetailPage, context.blnPrintRun);
        Walk(start);
    }

private:
    bool HasBreak() const { return !breakField_.empty(); }
    long RowCount() const { return table_.Rows().Count(); }
    long ColumnCount() const { return static_cast<long>(columns_.size()); }

    std::string FieldText(const std::string& name) const {
        return host::ado::ToDisplayText(records_->Fields().Item(name).Value());
    }

    // Runs of equal break values, as the walk meets them: every run ends in a break row.
    long CountGroups() {
        if (!HasBreak() || recordCount_ == 0) return 0;
        long groups = 0;
        std::optional<std::string> previous;
        for (records_->MoveFirst(); !records_->IsEOF(); records_->MoveNext()) {
            const std::string value = FieldText(breakField_);
            if (!previous || value != *previous) ++groups;
            previous = value;
        }
        return groups;
    }

    // Break rows of the last fill may now be data rows or unused: every column goes.
    void ClearRows(const std::vector<long>& rows) {
        const long rowCount = RowCount();
        for (const long row : rows) {
            if (row < firstDataRow_ || row > rowCount) continue;
            for (long c = 1; c <= ColumnCount(); ++c) run::ClearCellContent(table_.Cell(row, c));
        }
    }

    // Offset of the first record this page shows.
    long StartRecord(long detailIndex, const run::DetailPrintContext& context,
                     const std::vector<long>& previousBrokenRows) const {
        if (detailIndex <= 1) return 0;
        if (context.blnPrintRun) {
            // An adjusting table showed everything on the first page.
            return settings_.blnAutoAdjust ? recordCount_ : std::max(0L, context.lngRecordsDone);
        }
        const long dataRows = RowCount() - (firstDataRow_ - 1);
        return std::max(0L, (detailIndex - 1) * dataRows - static_cast<long>(previousBrokenRows.size()));
    }

    void SizeRows(long start, long baseRowCount, bool statisticsByDetailPage, bool printRun) {
        if (settings_.blnAutoAdjust) {
            // Later pages of a print run show nothing: one empty data row is enough.
            const long needed = start >= recordCount_ ? 0 : recordCount_ + groupCount_;
            ResizeTo(firstDataRow_ - 1 + std::max(1L, needed));
        } else if (printRun && baseRowCount >= 1) {
            SizeBlocks(start, baseRowCount, statisticsByDetailPage);
        }
    }

    // Deletes rows from the end or adds rows formatted like the last, never losing the first
    // data row.
    void ResizeTo(long rows) {
        rows = std::max(rows, firstDataRow_);
        auto tableRows = table_.Rows();
        while (tableRows.Count() > rows) tableRows.Last().Delete();
        while (tableRows.Count() < rows) tableRows.Add();
    }

    void SizeBlocks(long start, long base, bool statisticsByDetailPage) {
        const long dataRows = RowCount() - (firstDataRow_ - 1);
        const long remaining = std::max(0L, recordCount_ - start) + groupCount_;
        const long rowsWanted = statisticsByDetailPage ? std::min(remaining, base) : remaining;
        const long blocksNeeded = std::max(1L, (rowsWanted + base - 1) / base);
        const long blocksHeld = (dataRows + base - 1) / base;
        if (blocksHeld > blocksNeeded) {
            ResizeTo(firstDataRow_ - 1 + blocksNeeded * base);
            return;
        }
        auto tableRows = table_.Rows();
        for (long block = blocksHeld; block < blocksNeeded; ++block) {
            for (long i = 0; i < base; ++i) {
                const long model = firstDataRow_ + std::min(i, std::max(0L, dataRows - 1));
                const long row = tableRows.Add().Index();
                if (dataRows > 0) CopyRowContent(model, row);
            }
        }
    }

    // The formatted content of the model row's cells into the new row's cells.
    void CopyRowContent(long modelRow, long newRow) {
        const long cells = std::min(table_.Rows().Item(modelRow).CellCount(), table_.Rows().Item(newRow).CellCount());
        for (long c = 1; c <= cells; ++c) {
            auto source = table_.Cell(modelRow, c).Range();
            source.SetEnd(source.End() - 1);
            if (source.End() <= source.Start()) continue;
            auto target = table_.Cell(newRow, c).Range();
            target.SetEnd(target.End() - 1);
            target.SetFormattedText(source);
        }
    }

    void Walk(long start) {
        const long lastRow = RowCount();
        // With a break column the last row stays free for the closing break row.
        const long lastDataRow = HasBreak() ? lastRow - 1 : lastRow;
        long row = firstDataRow_;
        long groupFirstRow = row;
        std::optional<std::string> previousBreak;
        previousValues_.assign(columns_.size(), std::nullopt);
        if (recordCount_ > 0) {
            records_->MoveFirst();
            if (start > 0) records_->Move(start);
            while (!records_->IsEOF()) {
                const std::string breakValue = HasBreak() ? FieldText(breakField_) : std::string();
                if (previousBreak && breakValue != *previousBreak) {
                    WriteBreak(row, groupFirstRow);
                    ++row;
                    groupFirstRow = row;
                    previousBreak.reset();
                }
                if (row > lastDataRow) break;
                WriteDataRow(row);
                if (HasBreak()) previousBreak = breakValue;
                ++row;
                ++recordsShown_;
                records_->MoveNext();
            }
            // A table that cannot show a single record here never will: no endless pages.
            moreData_ = !records_->IsEOF() && recordsShown_ > 0;
            if (records_->IsEOF() && previousBreak) {
                WriteBreak(row, groupFirstRow);
                ++row;
            }
        }
        rowsUsed_ = row - firstDataRow_;
        for (long unused = row; unused <= lastRow; ++unused) {
            for (long c = 1; c <= ColumnCount(); ++c) {
                if (columns_[c - 1].Fills()) run::ClearCellContent(table_.Cell(unused, c));
            }
        }
    }

    void WriteBreak(long row, long groupFirstRow) {
        run::WriteBreakRow(table_, row, ColumnCount(), groupFirstRow, breakDefinitions_);
        brokenRows_.push_back(row);
        // The first row after a break row shows its values again.
        previousValues_.assign(columns_.size(), std::nullopt);
    }

    void WriteDataRow(long row) {
        for (long c = 1; c <= ColumnCount(); ++c) {
            const auto& column = columns_[c - 1];
            if (!column.Fills()) continue;
            const std::string value = RawValue(column, row);
            auto& previous = previousValues_[c - 1];
            if (column.blnSkipSameValue && previous && *previous == value) {
                run::ClearCellContent(table_.Cell(row, c));
            } else {
                WriteValue(row, c, column, value);
            }
            previous = value;
        }
    }

    std::string RawValue(const ColumnSetting& column, long row) const {
        switch (column.fieldType) {
            case ColumnFieldType::Data:
            case ColumnFieldType::Picture:
                return FieldText(column.strDataField);
            case ColumnFieldType::Support:
                return column.strDataField == kRowNumberCaption ? std::to_string(row - firstDataRow_ + 1) : std::string();
            case ColumnFieldType::Expression:
                return modPLRFunction::MakeRowFormula(row, column.strDataField);
            case ColumnFieldType::None:
                return {};
        }
        return {};
    }

    void WriteValue(long row, long c, const ColumnSetting& column, const std::string& value) const {
        // Nothing to show: no empty picture path, no switch applied to no value.
        if (value.empty()) {
            run::ClearCellContent(table_.Cell(row, c));
            return;
        }
        if (column.strFormatType.empty()) {
            if (column.fieldType == ColumnFieldType::Picture) {
                const auto cell = table_.Cell(row, c);
                run::WriteCellField(cell, modPLRPictureField::MakePictureFieldCode(value, pictureFolder_));
            } else if (column.fieldType == ColumnFieldType::Expression) {
                run::WriteCellField(table_.Cell(row, c), "=" + value);
            } else {
                run::WriteCellText(table_, row, c, value);  // the cell found once, not made first
            }
            return;
        }
        const auto cell = table_.Cell(row, c);
        const std::string code = run::GetFormatTypeHeadCode(column.strFormatType, Variant(value), column.fieldType);
        if (code == modPLFieldCode::QUOTE_WORD) {
            run::ClearCellContent(cell);
            return;
        }
        if (column.fieldType == ColumnFieldType::Data) {
            const std::string text = run::FieldFormatToText(column.strFormat, code);
            if (!text.empty()) {
                run::WriteCellText(cell, text);
                return;
            }
        }
        run::WriteCellField(cell, code + " " + column.strFormatType + " \"" + column.strFormat + "\"");
    }

    word::Table table_;
    const DetailSettings& settings_;
    Recordset* records_;
    std::string pictureFolder_;
    long firstDataRow_;
    std::vector<ColumnSetting> columns_;
    std::string breakField_;
    std::vector<run::BreakRowDefinition> breakDefinitions_;
    long recordCount_ = 0;
    long groupCount_ = 0;
    std::vector<std::optional<std::string>> previousValues_;
    std::vector<long> brokenRows_;
    long rowsUsed_ = 0;
    long recordsShown_ = 0;
    bool moreData_ = false;
};

// Name of the first bookmark in the table; "" when it has none.
std::string FirstBookmarkName(const word::Table& table) {
    const auto bookmarks = table.Range().Bookmarks();
    return bookmarks.Count() > 0 ? bookmarks.Item(1L).Name() : std::string();
}

// The table as it was printed: visible cell texts and the rows its last fill used.
run::PrintedTableCopy SnapshotTable(const word::Table& table, word::Document& document, long firstDataRow,
                                    std::string_view detailProperties) {
    const clsPLProperty property;
    run::PrintedTableCopy copy;
    copy.lngFirstDataRow = firstDataRow;
    copy.lngBrokenRows = ParseRowList(property.GetPropertyFromText(detailProperties, key::PROP_BROKEN_ROWS, ""));
    try {
        copy.lngRowsUsed = std::stol(property.GetPropertyFromText(detailProperties, key::PROP_EFFECTIVE_ROW_CNT, "0"));
    } catch (const std::exception&) {
        debuglog::Swallowed("clsPLRDBBindDetail.cpp: FirstBookmarkName");
        copy.lngRowsUsed = 0;
    }
    const HiddenTextDisplayOff hiddenOff(document);
    const auto rows = table.Rows();
    for (long r = 1; r <= rows.Count(); ++r) {
        std::vector<std::string> texts;
        const long cells = rows.Item(r).CellCount();
        for (long c = 1; c <= cells; ++c) texts.push_back(run::VisibleCellText(table.Cell(r, c)));
        copy.cellTexts.push_back(std::move(texts));
    }
    return copy;
}

// BrokenRows and EffectiveRowCnt into the property text of cell (1, 1).
void WriteFillResult(const word::Table& table, const std::vector<long>& brokenRows, long rowsUsed) {
    const clsPLProperty property;
    const auto cell = table.Cell(1, 1).Range();
    std::optional<word::Range> found;
    std::string text;
    const bool hasText = property.GetProperties2(cell, found) && found.has_value();
    if (hasText) {
        found->TextRetrievalMode().SetIncludeHiddenText(true);
        text = found->Text();
    }
    property.SetPropertyToText(text, key::PROP_BROKEN_ROWS, JoinRowList(brokenRows));
    property.SetPropertyToText(text, key::PROP_EFFECTIVE_ROW_CNT, std::to_string(rowsUsed));
    if (hasText) {
        found->SetText(text);
    } else {
        clsPLRange().InsertBeforeHiddenText(text, cell);
    }
}

void ReplaceEntry(run::KeyedTextCollection& collection, const std::string& key, const std::string& value) {
    if (collection.Exists(key)) collection.Remove(key);
    collection.Add(key, value);
}

}  // namespace

long clsPLRDBBind::GetDetailsAndProps(std::vector<word::Table>& tblaryTarget,
                                      std::vector<std::string>& straryDetailProp,
                                      std::vector<std::vector<std::string>>& vararyColumnProp) {
    tblaryTarget.clear();
    if (!mdocTarget) return 0;
    const long count = modPLRFunction::CollectDetailTables(tblaryTarget, mdocTarget->Content());
    if (count > 0) GetDetailProps(straryDetailProp, vararyColumnProp, tblaryTarget);
    return count;
}

void clsPLRDBBind::GetDetailProps(std::vector<std::string>& straryDetailProp,
                                  std::vector<std::vector<std::string>>& vararyColumnProp,
                                  const std::vector<word::Table>& tblaryTarget) {
    straryDetailProp.assign(tblaryTarget.size(), std::string());
    vararyColumnProp.assign(tblaryTarget.size(), std::vector<std::string>());
    if (!mdocTarget) return;
    const clsPLProperty property;
    try {
        for (std::size_t t = 0; t < tblaryTarget.size(); ++t) {
            straryDetailProp[t] = property.GetDetailProperties(tblaryTarget[t], *mdocTarget);
            property.GetColumnProperties(tblaryTarget[t], *mdocTarget, vararyColumnProp[t]);
        }
    } catch (const std::exception&) {
        debuglog::Swallowed("clsPLRDBBindDetail.cpp: ReplaceEntry");
        // Tables after the one that could not be read keep empty settings and stay unfilled.
    }
}

void clsPLRDBBind::SetDetailDatas(bool blnUpdate) {
    if (!mdocTarget) return;
    // Every table is filled even after one fails, so none is left with the last record's rows;
    // the first error goes to the caller afterwards.
    std::exception_ptr firstError;
    const auto keepFirst = [&] {
        if (!firstError) firstError = std::current_exception();
    };
    try {
        std::vector<word::Table> tables;
        std::vector<std::string> detailProperties;
        std::vector<std::vector<std::string>> columnProperties;
        const long count = GetDetailsAndProps(tables, detailProperties, columnProperties);
        for (long t = 0; t < count; ++t) {
            run::DetailPrintContext context;
            try {
                SetDetailData(tables[t], tables[t].Rows().Count(), detailProperties[t], columnProperties[t], true, 1,
                              nullptr, context);
            } catch (...) {
                keepFirst();
            }
        }
        if (blnUpdate) modPLRFunction::UpdateAllFields(*mdocTarget);
    } catch (...) {
        keepFirst();
    }
    if (auto* application = mdocTarget->Application()) application->SetScreenUpdating(false);
    if (firstError) std::rethrow_exception(firstError);
}

void clsPLRDBBind::SetDetailData(word::Table tblTarget, long lngBaseRowCount, const std::string& strDetailProperties,
                                 const std::vector<std::string>& varColumnProperties, bool blnStatisticsByDetailPage,
                                 long lngDetailIndex, std::vector<word::Table>* collTargetTables,
                                 run::DetailPrintContext& context) {
    context.lngRowsNeeded = 0;
    context.blnMoreData = false;
    context.lngBreakRowCount = 0;
    context.lngRecordsShown = 0;

    const auto settings = DetailSettings::Read(strDetailProperties);
    if (!settings.NamesSource()) return;
    const auto document = tblTarget.Range().Document();
    if (!document) return;
    const std::string folder = document->Path();

    // Why the records cannot be read, when they cannot: the table then shows no records at all,
    // never those of the record before, and the error goes to the caller.
    std::optional<host::HostError> failure;
    auto connected = modPLFunction::TryOpenConnection(settings.strDataSourceType, settings.strDataSource,
                                                      settings.strUserName, settings.strPassword, folder);
    // Settings that name nothing to connect to leave the table as it is.
    if (!connected.connection && !connected.error) return;
    if (connected.error) failure = std::move(connected.error);
    const auto connection = connected.connection;
    const ClosingGuard<Connection> closeConnection(connection);

    // The link to the current header record. Without a current record, or with a key
    // value that is Null, the header record has no child records to show.
    std::optional<Variant> parentValue;
    bool noParent = false;
    if (!settings.strParentKey.empty() && !settings.strChildKey.empty() && IsOpen()) {
        if (mrsRecordSource->IsEOF() || mrsRecordSource->IsBOF()) {
            noParent = true;
        } else {
            try {
                parentValue = mrsRecordSource->Fields().Item(settings.strParentKey).Value();
                noParent = parentValue->IsNull() || parentValue->IsEmpty();
            } catch (const host::HostError& error) {
                // A parent key the header lacks: no record has rows to show.
                if (!failure) failure = error;
            }
        }
    }
    const std::string linkedRecord =
        parentValue && !noParent ? settings.strParentKey + " " + host::ado::ToDisplayText(*parentValue) : "";
    std::string link;
    if (connection && parentValue && !noParent && !failure) {
        std::optional<KeyKind> kind;
        try {
            std::optional<DataTypeEnum> type;
            auto* const cache = context.childKeyType;
            if (cache && cache->known) {
                if (cache->type) type = static_cast<DataTypeEnum>(*cache->type);
            } else {
                // A schema that cannot be listed stays unlisted for the rest of the run.
                if (cache) cache->known = true;
                type = ChildKeyType(*connection, settings);
                if (cache && type) cache->type = static_cast<int>(*type);
            }
            // A column of no declared type holds any value: the value decides.
            if (type && *type != DataTypeEnum::adVariant && *type != DataTypeEnum::adEmpty) {
                kind = run::KindOfType(*type);
            }
        } catch (const std::exception&) {
            debuglog::Swallowed("clsPLRDBBindDetail.cpp: clsPLRDBBind::SetDetailDatas");
            // A schema the provider cannot list: the value decides below.
        }
        // Showing every child of every parent would be plainly wrong, so a key whose type the
        // schema does not tell is written by the kind of the header's value.
        const auto condition =
            run::MakeLinkCondition(settings.strChildKey, kind.value_or(run::KindOfValue(*parentValue)), *parentValue);
        // A value that can equal no child key, or that no statement can hold, has no child
        // records either.
        noParent = !condition;
        link = condition.value_or("");
    }

    std::shared_ptr<Recordset> records;
    if (connection && !noParent && !failure) {
        std::string filter = link;
        if (!settings.IsProcedure() && !settings.strRSWhere.empty()) {
            filter = link.empty() ? settings.strRSWhere : "(" + link + ") AND (" + settings.strRSWhere + ")";
        }
        auto opened = modPLFunction::TryOpenRecordset(connection, settings.strRecordSourceType,
                                                      settings.strRecordSource, "", "", filter, settings.strRSOrder);
        // A record-source type that names nothing to open leaves the table as it is.
        if (!opened.recordset && !opened.error) return;
        if (opened.error) failure = std::move(opened.error);
        records = std::move(opened.recordset);
    }
    const ClosingGuard<Recordset> closeRecords(records);

    const clsPLProperty property;
    const std::string currentProperties = property.GetDetailProperties(tblTarget, *document);
    const std::string bookmark = FirstBookmarkName(tblTarget);
    if (context.blnPrintRun && !bookmark.empty()) {
        if (lngDetailIndex <= 1) {
            if (context.blnRecordStart) mPrintedCopies.erase(bookmark);
        } else {
            // The print loop appended this table with its fields updated: keep it as printed.
            mPrintedCopies[bookmark].push_back(
                SnapshotTable(tblTarget, *document, settings.FirstDataRow(), currentProperties));
        }
    }

    const auto previousBrokenRows = ParseRowList(property.GetPropertyFromText(currentProperties, key::PROP_BROKEN_ROWS, ""));
    const auto fillWith = [&](DetailTableFill& fill, const std::vector<long>& brokenRows) {
        fill.Run(lngBaseRowCount, blnStatisticsByDetailPage, lngDetailIndex, context, brokenRows);
        WriteFillResult(tblTarget, fill.BrokenRows(), fill.RowsUsed());
        if (!bookmark.empty()) {
            ReplaceEntry(mcolBrokenRows, bookmark, JoinRowList(fill.BrokenRows()));
            ReplaceEntry(mcolRowsUsed, bookmark,
                         std::to_string(static_cast<long>(fill.BrokenRows().size()) + fill.RecordCount()));
        }
    };
    // Shows no records: what a table whose records cannot be read must show.
    const auto empty = [&](std::vector<long> brokenRows) noexcept {
        try {
            DetailTableFill none(tblTarget, settings, varColumnProperties, nullptr, folder);
            fillWith(none, brokenRows);
        } catch (...) {
            debuglog::Swallowed("clsPLRDBBindDetail.cpp: clsPLRDBBind::SetDetailDatas");
            // The error that made the table empty is the one to report.
        }
        context.lngRowsNeeded = 0;
        context.blnMoreData = false;
        context.lngBreakRowCount = 0;
        context.lngRecordsShown = 0;
    };

    // The error as the user reads it: which table, for which header record, and why.
    const auto fillError = [&](const host::HostError& cause) {
        const std::string table = bookmark.empty() ? settings.strRecordSource : bookmark;
        return host::HostError(cause.Number(), cause.Source(),
                               "The detail table \"" + table + "\" cannot be filled" +
                                   (linkedRecord.empty() ? std::string() : " for " + linkedRecord) + ": " +
                                   cause.Description());
    };

    if (failure) {
        empty(previousBrokenRows);
        throw fillError(*failure);
    }

    std::optional<DetailTableFill> fill;
    try {
        fill.emplace(tblTarget, settings, varColumnProperties, records.get(), folder);
        fillWith(*fill, previousBrokenRows);
    } catch (...) {
        // Rows already written belong to this record, but the table is not this record's either.
        std::vector<long> brokenRows = previousBrokenRows;
        if (fill) brokenRows.insert(brokenRows.end(), fill->BrokenRows().begin(), fill->BrokenRows().end());
        empty(std::move(brokenRows));
        try {
            throw;
        } catch (const host::HostError& error) {
            throw fillError(error);
        }
    }
    if (collTargetTables) collTargetTables->push_back(tblTarget);

    context.lngRowsNeeded = fill->RecordCount() + fill->GroupCount();
    context.blnMoreData = fill->MoreData();
    context.lngBreakRowCount = fill->GroupCount();
    context.lngRecordsShown = fill->RecordsShown();
}

}  // namespace paperloom
