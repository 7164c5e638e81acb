#include "TemplateReport.h"

#include "common/SettingTypes.h"
#include "common/clsPLProperty.h"
#include "common/modPLFieldCode.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/ado/Connection.h"
#include "host/ado/PasswordMask.h"
#include "host/ado/Recordset.h"
#include "host/word/Bookmarks.h"
#include "host/word/Document.h"
#include "host/word/Table.h"
#include "host/word/fields/Field.h"

#include <fmt/format.h>

#include <ostream>

namespace paperloom::cli {
namespace {

namespace fs = std::filesystem;
namespace key = modPLConst;

std::string Variable(word::Document& document, std::string_view name) {
    return clsPLProperty().GetDocVariable(name, document, "");
}

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '\a') c = ' ';  // paragraph, line and cell-end marks
    return text;
}

// The reason a record source did not open, from the one attempt made (a statement is never run
// a second time just to ask why).
std::string RecordSourceProblem(const SourceSettings& s, const std::optional<host::HostError>& error) {
    std::string type = s.recordSourceType;
    const std::string statement =
        modPLFunction::MakeRecordSourceStatement(type, s.recordSource, s.rsWhere, s.rsOrder, s.filter, s.sort);
    if (statement.empty() || type.empty()) return "the record source is not set";
    if (!settingtypes::ParseRecordSourceType(type))
        return fmt::format("the record source type \"{}\" is not a number that names one", type);
    if (!error) return fmt::format("the record source ({}) returns no record set", statement);
    return fmt::format("the record source ({}) does not open: {}", statement, error->Description());
}

// A text to show, with the data source's passwords and the one stored beside it masked.
std::string Masked(const SourceSettings& s, const std::string& text) {
    return host::ado::MaskPasswords(text, {s.password});
}

SourceSettings DetailSettings(const std::string& properties) {
    const clsPLProperty property;
    SourceSettings s;
    s.dataSourceType = property.GetPropertyFromText(properties, key::PROP_DATA_SOURCE_TYPE, "");
    s.dataSource = property.GetPropertyFromText(properties, key::PROP_DATA_SOURCE, "");
    s.userName = property.GetPropertyFromText(properties, key::PROP_USER_NAME, "");
    s.password = property.GetPropertyFromText(properties, key::PROP_PASSWORD, "");
    s.recordSourceType = property.GetPropertyFromText(properties, key::PROP_RECORD_SOURCE_TYPE, "");
    s.recordSource = property.GetPropertyFromText(properties, key::PROP_RECORD_SOURCE, "");
    s.rsWhere = property.GetPropertyFromText(properties, key::PROP_RS_WHERE, "");
    s.rsOrder = property.GetPropertyFromText(properties, key::PROP_RS_ORDER, "");
    return s;
}

std::optional<std::string> Stored(const std::string& properties, std::string_view key) {
    // A value no key could hold marks the key's absence.
    static constexpr std::string_view kAbsent = "\x01";
    std::string value = clsPLProperty().GetPropertyFromText(properties, key, kAbsent);
    if (value == kAbsent) return std::nullopt;
    return value;
}

// The visible text of a header cell, without its end-of-cell mark.
std::string Caption(const word::Table& table, long column) {
    std::string text = table.Cell(1, column).Range().Text();
    while (!text.empty() && (text.back() == '\a' || text.back() == '\r')) text.pop_back();
    return OneLine(text);
}

// Each column's settings; a break column also carries the break row's cells, one group of keys
// per table column.
std::vector<ColumnReport> ColumnSettings(const word::Table& table, const std::vector<std::string>& texts) {
    std::vector<ColumnReport> columns;
    for (std::size_t c = 0; c < texts.size(); ++c) {
        const std::string& text = texts[c];
        ColumnReport column;
        column.column = modPLFunction::ColumnLetters(static_cast<long>(c) + 1);
        column.caption = Caption(table, static_cast<long>(c) + 1);
        column.fieldType = Stored(text, key::PROP_FIELD_TYPE);
        column.dataField = Stored(text, key::PROP_DATA_FIELD);
        column.formatType = Stored(text, key::PROP_FORMAT_TYPE);
        column.format = Stored(text, key::PROP_FORMAT);
        column.skipSameValue = Stored(text, key::PROP_SKIP_SAME_VALUE);
        column.breakOn = Stored(text, key::PROP_BREAK);
        column.breakRowInfo = Stored(text, key::PROP_BREAK_ROW_INFO);
        for (std::size_t cell = 0; cell < texts.size(); ++cell) {
            const std::string letters = modPLFunction::ColumnLetters(static_cast<long>(cell) + 1);
            const auto type = Stored(text, letters + std::string(key::PROP_BREAK_ROW_FIELD_TYPE));
            const auto value = Stored(text, letters + std::string(key::PROP_BREAK_ROW_FIELD_VALUE));
            const auto formatType = Stored(text, letters + std::string(key::PROP_BREAK_ROW_FORMAT_TYPE));
            const auto format = Stored(text, letters + std::string(key::PROP_BREAK_ROW_FORMAT));
            if (!type && !value && !formatType && !format) continue;
            column.breakRow.push_back({letters, type.value_or(""), value.value_or(""), formatType.value_or(""),
                                       format.value_or("")});
        }
        columns.push_back(std::move(column));
    }
    return columns;
}

std::optional<HeaderFieldReport> HeaderFieldOf(const std::string& code) {
    if (!modPLFieldCode::IsEngineFieldCode(code, true)) return std::nullopt;
    modPLFieldCode::HeaderFieldSettings settings;
    modPLFieldCode::ReadHeaderFieldCode(code, settings);
    const bool support = settings.option == modPLFieldCode::HeaderFieldOption::SupportField;
    if (support ? settings.strSupportCaption.empty() : settings.strDataField.empty()) return std::nullopt;
    return HeaderFieldReport{support ? "SupportField" : settings.blnPictureData ? "PictureField" : "DataField",
                             support ? settings.strSupportCaption : settings.strDataField, settings.strFormatType,
                             settings.strFormat};
}

std::string Shown(const std::string& value, std::string_view fallback = "(none)") {
    return value.empty() ? std::string(fallback) : value;
}

void PrintSource(const SourceSettings& s, std::ostream& out, std::string_view indent) {
    out << indent << "data source: type " << Shown(s.dataSourceType) << ", " << Masked(s, Shown(s.dataSource)) << "\n";
    if (!s.userName.empty()) out << indent << "user: " << s.userName << (s.password.empty() ? "" : " (password set)") << "\n";
    out << indent << "record source: type " << Shown(s.recordSourceType) << ", " << Shown(s.recordSource) << "\n";
    if (!s.rsWhere.empty()) out << indent << "record source filter: " << s.rsWhere << "\n";
    if (!s.rsOrder.empty()) out << indent << "record source sort: " << s.rsOrder << "\n";
}

// One column's settings by name, the keys it stores and nothing else; its break row below it.
void PrintColumn(const ColumnReport& column, std::ostream& out) {
    out << "      " << column.column << " \"" << column.caption << "\":";
    const std::pair<std::string_view, const std::optional<std::string>*> keys[] = {
        {key::PROP_FIELD_TYPE, &column.fieldType},       {key::PROP_DATA_FIELD, &column.dataField},
        {key::PROP_FORMAT_TYPE, &column.formatType},     {key::PROP_FORMAT, &column.format},
        {key::PROP_SKIP_SAME_VALUE, &column.skipSameValue}, {key::PROP_BREAK, &column.breakOn},
        {key::PROP_BREAK_ROW_INFO, &column.breakRowInfo}};
    bool any = false;
    for (const auto& [name, value] : keys) {
        if (!*value) continue;
        out << (any ? ", " : " ") << name << " \"" << OneLine(**value) << "\"";
        any = true;
    }
    out << (any ? "" : " no settings") << "\n";
    for (const auto& cell : column.breakRow)
        out << "        break row " << cell.column << ": " << Shown(cell.fieldType) << " \"" << OneLine(cell.fieldValue)
            << "\", format " << Shown(cell.formatType) << " \"" << OneLine(cell.format) << "\"\n";
}

void PrintCheck(const BindingCheck& check, std::ostream& out, std::string_view indent) {
    if (!check.configured) return;
    if (check.opens)
        out << indent << "opens: yes, " << check.recordCount << (check.recordCount == 1 ? " record" : " records") << "\n";
    else if (!check.problem.empty())
        out << indent << "opens: no, " << OneLine(check.problem) << "\n";
}

}  // namespace

std::string BookmarkOf(word::Document& document, const word::Table& table) {
    const word::Range range = table.Range();
    for (const auto& name : document.Bookmarks()) {
        const word::Bookmark bookmark = document.Bookmarks().Item(name);
        if (bookmark.Start() >= range.Start() && bookmark.Start() < range.End()) return bookmark.Name();
    }
    return {};
}

SourceSettings HeaderSettings(word::Document& document) {
    SourceSettings s;
    s.dataSourceType = Variable(document, key::PROP_DATA_SOURCE_TYPE);
    s.dataSource = Variable(document, key::PROP_DATA_SOURCE);
    s.userName = Variable(document, key::PROP_USER_NAME);
    s.password = Variable(document, key::PROP_PASSWORD);
    s.recordSourceType = Variable(document, key::PROP_RECORD_SOURCE_TYPE);
    s.recordSource = Variable(document, key::PROP_RECORD_SOURCE);
    s.rsWhere = Variable(document, key::PROP_RS_WHERE);
    s.rsOrder = Variable(document, key::PROP_RS_ORDER);
    s.filter = Variable(document, key::PROP_HEAD_FILTER);
    s.sort = Variable(document, key::PROP_HEAD_SORT);
    return s;
}

BindingCheck CheckBinding(const SourceSettings& settings, const fs::path& documentFolder) {
    BindingCheck check;
    check.configured = settings.Configured();
    if (!check.configured) return check;
    const auto attempt = modPLFunction::TryOpenConnection(settings.dataSourceType, settings.dataSource,
                                                          settings.userName, settings.password,
                                                          documentFolder.string());
    if (!attempt.connection) {
        std::string problem;
        if (attempt.error)
            problem = fmt::format("the data source does not open: {}", attempt.error->Description());
        else if (!settingtypes::ParseDataSourceType(settings.dataSourceType))
            problem = fmt::format("the data source type \"{}\" is none of 1 (ODBC data source), 2 (connection string), "
                                  "3 (data link file) and 4 (database file)",
                                  settings.dataSourceType);
        else
            problem = fmt::format("the data source (type \"{}\", \"{}\") names nothing to connect to",
                                  settings.dataSourceType, settings.dataSource);
        check.problem = Masked(settings, problem);
        return check;
    }
    const auto opened =
        modPLFunction::TryOpenRecordset(attempt.connection, settings.recordSourceType, settings.recordSource,
                                        settings.rsWhere, settings.rsOrder, settings.filter, settings.sort);
    if (!opened.recordset) {
        check.problem = Masked(settings, RecordSourceProblem(settings, opened.error));
    } else {
        check.opens = true;
        check.recordCount = opened.recordset->RecordCount();
        opened.recordset->Close();
    }
    try {
        attempt.connection->Close();
    } catch (const std::exception&) {
        // Only read from; nothing to lose when closing fails.
    }
    return check;
}

TemplateReport InspectTemplate(const fs::path& path, bool checkBindings) {
    TemplateReport report;
    report.path = path;
    auto document = word::Document::Open(path);
    const fs::path folder = fs::absolute(path).parent_path();
    report.header = HeaderSettings(*document);
    report.updateDetail = Variable(*document, key::PROP_UPDATE_DETAIL);
    report.copyPrimaryHeader = Variable(*document, key::PROP_COPY_PRIMARY_HEADER);
    report.copyPrimaryFooter = Variable(*document, key::PROP_COPY_PRIMARY_FOOTER);
    if (checkBindings) report.headerCheck = CheckBinding(report.header, folder);

    const word::Fields fields = word::FieldsOf(*document);
    for (long i = 1; i <= fields.Count(); ++i) {
        const word::Field field = fields.Item(i);
        const std::string code = field.Code().Text();
        report.fields.push_back({i, OneLine(code), OneLine(field.Result().Text()), HeaderFieldOf(code)});
    }

    const clsPLProperty property;
    const word::Tables tables = document->Tables();
    for (long t = 1; t <= tables.Count(); ++t) {
        const word::Table table = tables.Item(t);
        const std::string properties = property.GetDetailProperties(table, *document);
        if (properties.empty()) continue;  // an ordinary table of the page
        DetailReport detail;
        detail.index = t;
        detail.bookmark = BookmarkOf(*document, table);
        detail.rows = table.Rows().Count();
        detail.tableProperties = properties;
        detail.columns = property.GetColumnProperties(table, *document, detail.columnProperties);
        detail.brokenRows = Stored(properties, key::PROP_BROKEN_ROWS);
        detail.effectiveRowCnt = Stored(properties, key::PROP_EFFECTIVE_ROW_CNT);
        detail.columnSettings = ColumnSettings(table, detail.columnProperties);
        detail.source = DetailSettings(properties);
        detail.parentKey = property.GetPropertyFromText(properties, key::PROP_PARENT_KEY, "");
        detail.childKey = property.GetPropertyFromText(properties, key::PROP_CHILD_KEY, "");
        detail.columnHeaders =
            property.GetPropertyFromText(properties, key::PROP_COLUMN_HEADERS, key::DEFAULT_COLUMN_HEADERS);
        detail.autoAdjustRowCount =
            property.GetPropertyFromText(properties, key::PROP_AUTO_ADJUST_ROW_COUNT, key::DEFAULT_AUTO_ADJUST_ROW_COUNT);
        if (checkBindings) detail.check = CheckBinding(detail.source, folder);
        report.details.push_back(std::move(detail));
    }
    document->Close();
    return report;
}

void PrintReport(const TemplateReport& report, std::ostream& out) {
    out << "template: " << report.path.string() << "\n";
    out << "header binding:";
    if (!report.header.Configured()) {
        out << " none (the template is not bound to a database)\n";
    } else {
        out << "\n";
        PrintSource(report.header, out, "  ");
        out << "  filter (HeadFilter): " << Shown(report.header.filter) << "\n";
        out << "  sort (HeadSort): " << Shown(report.header.sort) << "\n";
        PrintCheck(report.headerCheck, out, "  ");
    }
    out << "options:\n";
    const auto option = [&](std::string_view name, const std::string& stored, std::string_view fallback) {
        out << "  " << name << ": " << Shown(stored, fmt::format("(not set: {})", fallback)) << "\n";
    };
    option(key::PROP_UPDATE_DETAIL, report.updateDetail, key::DEFAULT_UPDATE_DETAIL);
    option(key::PROP_COPY_PRIMARY_HEADER, report.copyPrimaryHeader, key::DEFAULT_COPY_PRIMARY);
    option(key::PROP_COPY_PRIMARY_FOOTER, report.copyPrimaryFooter, key::DEFAULT_COPY_PRIMARY);
    out << "fields: " << report.fields.size() << "\n";
    for (const auto& field : report.fields) {
        out << "  " << field.index << ". {" << field.code << "} = \"" << field.result << "\"\n";
        if (const auto& header = field.header)
            out << "     " << header->kind << " " << header->name
                << (header->formatType.empty() ? std::string() : ", format " + header->formatType + " \"" + header->format + "\"")
                << "\n";
    }
    out << "detail tables: " << report.details.size() << "\n";
    for (const auto& detail : report.details) {
        out << "  table " << detail.index << (detail.bookmark.empty() ? "" : " (bookmark " + detail.bookmark + ")")
            << ": " << detail.rows << " rows, " << detail.columns << " columns\n";
        PrintSource(detail.source, out, "    ");
        out << "    link: " << Shown(detail.parentKey) << " = " << Shown(detail.childKey) << "\n";
        out << "    ColumnHeaders: " << detail.columnHeaders << ", AutoAdjustRowCount: " << detail.autoAdjustRowCount
            << "\n";
        if (detail.brokenRows || detail.effectiveRowCnt)
            out << "    last fill: BrokenRows " << Shown(detail.brokenRows.value_or("")) << ", EffectiveRowCnt "
                << Shown(detail.effectiveRowCnt.value_or("")) << "\n";
        for (std::size_t c = 0; c < detail.columnProperties.size(); ++c) {
            // Cell 1,1 holds the table's keys before the first column's own.
            if (!detail.columnProperties[c].empty())
                out << "    column " << modPLFunction::ColumnLetters(static_cast<long>(c) + 1) << ": "
                    << Masked(detail.source, OneLine(detail.columnProperties[c])) << "\n";
        }
        if (!detail.columnSettings.empty()) out << "    columns:\n";
        for (const auto& column : detail.columnSettings) PrintColumn(column, out);
        PrintCheck(detail.check, out, "    ");
    }
}

}  // namespace paperloom::cli
