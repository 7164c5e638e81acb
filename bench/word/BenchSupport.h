#pragma once
// Shared by the document benchmarks: a document over a body written as WordprocessingML, and
// a stopwatch.

#include <chrono>
#include <memory>
#include <string>

#include "host/docx/Package.h"
#include "host/word/Document.h"

namespace paperloom::bench {

inline std::shared_ptr<word::Document> DocumentWithBody(const std::string& body, std::string name) {
    auto package = docx::Package::CreateBlank();
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document "
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><w:body>" +
        body + "<w:sectPr/></w:body></w:document>";
    package.SetPartBytes("word/document.xml", xml,
                         "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    return word::Document::Create(std::move(package), std::move(name));
}

class Stopwatch {
public:
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace paperloom::bench
