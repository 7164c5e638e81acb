#pragma once
// Templates for the fill tests, written as WordprocessingML: fields, tables with hidden
// property text in their first row, text boxes; saved with header settings in the
// document variables beside a database made by RunTestSupport.h.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "../host/word/WordTestSupport.h"
#include "RunTestSupport.h"

namespace paperloom::run::test {

// The runs of a complex field: begin, code, separator, shown result, end.
inline std::string FieldRuns(std::string_view code, std::string_view result = {}) {
    const auto mark = [](const char* kind) {
        return std::string("<w:r><w:fldChar w:fldCharType=\"") + kind + "\"/></w:r>";
    };
    std::string xml = mark("begin");
    xml += "<w:r><w:instrText xml:space=\"preserve\">" + std::string(code) + "</w:instrText></w:r>";
    xml += mark("separate");
    if (!result.empty()) xml += word::test::TextRun(result);
    return xml + mark("end");
}

// A paragraph of runs (TextRun, FieldRuns, ...).
inline std::string Para(std::string_view runs) { return "<w:p>" + std::string(runs) + "</w:p>"; }

// Escapes text for element content and attribute values.
inline std::string XmlText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// A table whose cells hold the given run markup (one paragraph per cell). The first cell of
// each row may start with hidden property text (word::test::HiddenRun).
inline std::string TableOfRuns(const std::vector<std::vector<std::string>>& rows) {
    std::string xml = "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid>";
    const auto columns = rows.empty() ? 0 : rows.front().size();
    for (std::size_t c = 0; c < columns; ++c) xml += "<w:gridCol w:w=\"1500\"/>";
    xml += "</w:tblGrid>";
    for (const auto& row : rows) {
        xml += "<w:tr>";
        for (const auto& cell : row)
            xml += "<w:tc><w:tcPr><w:tcW w:w=\"1500\" w:type=\"dxa\"/></w:tcPr><w:p>" + cell + "</w:p></w:tc>";
        xml += "</w:tr>";
    }
    return xml + "</w:tbl>";
}

// Saves a document with the given body and header settings; returns its path.
inline std::filesystem::path SaveBodyTemplate(const std::filesystem::path& path, std::string_view body,
                                              const Settings& settings) {
    auto doc = word::test::MakeDocument(body, path.filename().string());
    auto variables = doc->Variables();
    for (const auto& [name, value] : settings) variables.SetValue(name, value);
    doc->SaveAs(path);
    doc->Close();
    return path;
}

}  // namespace paperloom::run::test
