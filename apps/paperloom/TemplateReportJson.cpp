#include "TemplateReportJson.h"

#include "common/modPLFunction.h"
#include "host/ado/PasswordMask.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace paperloom::cli {
namespace {

// Keys in the order written, which is the text report's order.
using json = nlohmann::ordered_json;

// A stored text, or null where nothing is stored.
json TextOrNull(const std::string& text) { return text.empty() ? json(nullptr) : json(text); }

// The data source is shown with its passwords masked, as in the text report.
json Source(const SourceSettings& s) {
    return {{"dataSourceType", TextOrNull(s.dataSourceType)},
            {"dataSource", TextOrNull(host::ado::MaskPasswords(s.dataSource, {s.password}))},
            {"userName", TextOrNull(s.userName)},
            {"passwordSet", !s.password.empty()},
            {"recordSourceType", TextOrNull(s.recordSourceType)},
            {"recordSource", TextOrNull(s.recordSource)},
            {"where", TextOrNull(s.rsWhere)},
            {"order", TextOrNull(s.rsOrder)}};
}

json TextOrNull(const std::optional<std::string>& stored) { return stored ? json(*stored) : json(nullptr); }

// A column's keys as stored (null where absent) and its break row's cells.
json Column(const ColumnReport& column) {
    json breakRow = json::array();
    for (const auto& cell : column.breakRow)
        breakRow.push_back({{"column", cell.column},
                            {"fieldType", cell.fieldType},
                            {"fieldValue", cell.fieldValue},
                            {"formatType", cell.formatType},
                            {"format", cell.format}});
    return {{"column", column.column},
            {"caption", column.caption},
            {"fieldType", TextOrNull(column.fieldType)},
            {"dataField", TextOrNull(column.dataField)},
            {"formatType", TextOrNull(column.formatType)},
            {"format", TextOrNull(column.format)},
            {"skipSameValue", TextOrNull(column.skipSameValue)},
            {"break", TextOrNull(column.breakOn)},
            {"breakRowInfo", TextOrNull(column.breakRowInfo)},
            {"breakRow", std::move(breakRow)}};
}

json Check(const BindingCheck& check) {
    return {{"configured", check.configured},
            {"opens", check.opens},
            {"recordCount", check.opens ? json(check.recordCount) : json(nullptr)},
            {"problem", TextOrNull(check.problem)}};
}

// An option as stored and as the run-time reads it (its default when absent or unreadable).
json Option(const std::string& stored, bool fallback) {
    bool value = fallback;
    if (!stored.empty()) {
        try {
            value = modPLFunction::TextToFlag(stored);
        } catch (const std::exception&) {
            // A damaged stored value reads as the default, as the run-time reads it.
        }
    }
    return {{"stored", TextOrNull(stored)}, {"value", value}};
}

}  // namespace

void PrintReportJson(const TemplateReport& report, std::ostream& out) {
    json header = nullptr;
    if (report.header.Configured()) {
        header = Source(report.header);
        header["filter"] = TextOrNull(report.header.filter);
        header["sort"] = TextOrNull(report.header.sort);
        header["check"] = Check(report.headerCheck);
    }
    json fields = json::array();
    for (const auto& field : report.fields)
        fields.push_back({{"index", field.index},
                          {"code", field.code},
                          {"result", field.result},
                          {"header", field.header ? json{{"kind", field.header->kind},
                                                         {"name", field.header->name},
                                                         {"formatType", field.header->formatType},
                                                         {"format", field.header->format}}
                                                  : json(nullptr)}});
    json details = json::array();
    for (const auto& detail : report.details) {
        json columns = json::array();
        json settings = json::array();
        for (const auto& column : detail.columnSettings) settings.push_back(Column(column));
        for (std::size_t c = 0; c < detail.columnProperties.size(); ++c)
            // The first column's text begins with the table's own settings, password included.
            columns.push_back(
                {{"column", modPLFunction::ColumnLetters(static_cast<long>(c) + 1)},
                 {"properties", host::ado::MaskPasswords(detail.columnProperties[c], {detail.source.password})}});
        details.push_back({{"index", detail.index},
                           {"bookmark", TextOrNull(detail.bookmark)},
                           {"rows", detail.rows},
                           {"columns", detail.columns},
                           {"source", Source(detail.source)},
                           {"parentKey", TextOrNull(detail.parentKey)},
                           {"childKey", TextOrNull(detail.childKey)},
                           {"columnHeaders", detail.columnHeaders},
                           {"autoAdjustRowCount", detail.autoAdjustRowCount},
                           {"brokenRows", TextOrNull(detail.brokenRows)},
                           {"effectiveRowCnt", TextOrNull(detail.effectiveRowCnt)},
                           {"columnProperties", std::move(columns)},
                           {"columnSettings", std::move(settings)},
                           {"check", Check(detail.check)}});
    }
    const json document = {{"template", report.path.string()},
                           {"header", std::move(header)},
                           {"options",
                            {{"UpdateDetail", Option(report.updateDetail, true)},
                             {"CopyPrimaryHeader", Option(report.copyPrimaryHeader, false)},
                             {"CopyPrimaryFooter", Option(report.copyPrimaryFooter, false)}}},
                           {"fields", std::move(fields)},
                           {"details", std::move(details)}};
    // Text that is not UTF-8 comes out as U+FFFD rather than as an error half-way through.
    out << document.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
}

}  // namespace paperloom::cli
