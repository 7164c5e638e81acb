#pragma once
// Builds documents for the model's tests from a body written as WordprocessingML.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include <unistd.h>

#include "host/docx/Package.h"
#include "host/word/Document.h"
// White-box tests of the layer look at its internal state.
#include "host/word/detail/DocumentState.h"
#include "support/TestFiles.h"

namespace paperloom::word::test {

inline constexpr const char* kNamespaces =
    R"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" )"
    R"(xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" )"
    R"(xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" )"
    R"(xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture" )"
    R"(xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" )"
    R"(xmlns:wps="http://schemas.microsoft.com/office/word/2010/wordprocessingShape" )"
    R"(xmlns:wpg="http://schemas.microsoft.com/office/word/2010/wordprocessingGroup" )"
    R"(xmlns:v="urn:schemas-microsoft-com:vml" xmlns:o="urn:schemas-microsoft-com:office:office")";

// A document over `package` whose body is `body` followed by a section.
inline std::shared_ptr<Document> MakeDocumentIn(docx::Package package, std::string_view body,
                                                std::string name = "Test1") {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document ";
    xml += kNamespaces;
    xml += "><w:body>";
    xml += body;
    xml += R"(<w:sectPr><w:pgSz w:w="11906" w:h="16838"/><w:pgMar w:top="1440" w:right="1440" w:bottom="1440" w:left="1440" w:header="720" w:footer="720" w:gutter="0"/></w:sectPr>)";
    xml += "</w:body></w:document>";
    package.SetPartBytes("word/document.xml", xml,
                         "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    return Document::Create(std::move(package), std::move(name));
}

inline std::shared_ptr<Document> MakeDocument(std::string_view body, std::string name = "Test1") {
    return MakeDocumentIn(docx::Package::CreateBlank(), body, std::move(name));
}

inline std::string P(std::string_view text) {
    return "<w:p><w:r><w:t xml:space=\"preserve\">" + std::string(text) + "</w:t></w:r></w:p>";
}

inline std::string HiddenRun(std::string_view text) {
    return "<w:r><w:rPr><w:vanish/></w:rPr><w:t xml:space=\"preserve\">" + std::string(text) + "</w:t></w:r>";
}

inline std::string TextRun(std::string_view text) {
    return "<w:r><w:t xml:space=\"preserve\">" + std::string(text) + "</w:t></w:r>";
}

// A table whose cells hold the given paragraph contents (rows of cells).
inline std::string TableXml(std::initializer_list<std::initializer_list<std::string>> rows) {
    std::string xml = "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid>";
    const auto columns = rows.begin()->size();
    for (std::size_t c = 0; c < columns; ++c) xml += "<w:gridCol w:w=\"2000\"/>";
    xml += "</w:tblGrid>";
    for (const auto& row : rows) {
        xml += "<w:tr>";
        for (const auto& cell : row) xml += "<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/></w:tcPr><w:p>" + cell + "</w:p></w:tc>";
        xml += "</w:tr>";
    }
    return xml + "</w:tbl>";
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder : public paperloom::test::ScratchFolder {
public:
    TempFolder() : ScratchFolder("paperloom-word") {}
};

}  // namespace paperloom::word::test
