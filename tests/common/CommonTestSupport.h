#pragma once
// Documents and folders for the tests of the template core that work on real documents.

#include <filesystem>
#include <memory>
#include <string>

#include "host/docx/Package.h"
#include "host/word/Document.h"
#include "host/word/Range.h"
#include "host/word/Table.h"
#include "support/TestFiles.h"

namespace paperloom::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder : public ScratchFolder {
public:
    TempFolder() : ScratchFolder("paperloom-common") {}
};

// A document whose body is `body` (WordprocessingML) followed by an A4 section.
inline std::shared_ptr<word::Document> DocumentWithBody(const std::string& body, std::string name = "Test1") {
    docx::Package package = docx::Package::CreateBlank();
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><w:body>";
    xml += body;
    xml += "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" w:right=\"1440\" "
           "w:bottom=\"1440\" w:left=\"1440\" w:header=\"720\" w:footer=\"720\" w:gutter=\"0\"/></w:sectPr>"
           "</w:body></w:document>";
    package.SetPartBytes("word/document.xml", std::move(xml),
                         "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    return word::Document::Create(std::move(package), std::move(name));
}

// A document holding one table of rows x columns of empty cells, then an empty paragraph.
inline std::shared_ptr<word::Document> DocumentWithTable(long rows, long columns) {
    std::string xml = "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid>";
    for (long c = 0; c < columns; ++c) xml += "<w:gridCol w:w=\"2000\"/>";
    xml += "</w:tblGrid>";
    for (long r = 0; r < rows; ++r) {
        xml += "<w:tr>";
        for (long c = 0; c < columns; ++c) xml += "<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/></w:tcPr><w:p/></w:tc>";
        xml += "</w:tr>";
    }
    xml += "</w:tbl><w:p/>";
    return DocumentWithBody(xml);
}

// The range's text with its hidden text.
inline std::string FullText(const word::Range& range) {
    auto dup = range.Duplicate();
    dup.TextRetrievalMode().SetIncludeHiddenText(true);
    return dup.Text();
}

}  // namespace paperloom::test
