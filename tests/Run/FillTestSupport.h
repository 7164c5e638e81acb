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

// A floating text box in the legacy drawing form holding the given paragraphs: a run.
inline std::string LegacyTextBox(std::string_view paragraphs) {
    return "<w:r><w:pict><v:shape style=\"position:absolute;width:150pt;height:40pt\"><v:textbox><w:txbxContent>" +
           std::string(paragraphs) + "</w:txbxContent></v:textbox></v:shape></w:pict></w:r>";
}

// A group of text boxes in the drawing form, one per entry of paragraphs: a run.
inline std::string GroupedTextBoxes(const std::vector<std::string>& boxes) {
    std::string xml =
        "<w:r><w:drawing><wp:anchor><wp:docPr id=\"1\" name=\"Group 1\"/><a:graphic><a:graphicData "
        "uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingGroup\"><wpg:wgp><wpg:cNvGrpSpPr/>"
        "<wpg:grpSpPr/>";
    int id = 2;
    for (const auto& box : boxes) {
        xml += "<wps:wsp><wps:cNvPr id=\"" + std::to_string(id) + "\" name=\"Box " + std::to_string(id) +
               "\"/><wps:spPr/><wps:txbx><w:txbxContent>" + box + "</w:txbxContent></wps:txbx><wps:bodyPr/></wps:wsp>";
        ++id;
    }
    return xml + "</wpg:wgp></a:graphicData></a:graphic></wp:anchor></w:drawing></w:r>";
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
