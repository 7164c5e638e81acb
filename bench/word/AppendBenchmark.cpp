// Appending a one-page formatted fragment with a table to the end of a document, as print
// documents are built: the cost of one append must not grow with the document. Runs 1,000
// and 10,000 appends, prints times and memory, and fails when the larger run takes more than
// 12 times the smaller one.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "host/word/Document.h"

using paperloom::word::Document;

namespace {

std::string Paragraph(const std::string& text, bool bold) {
    return std::string("<w:p><w:pPr><w:spacing w:after=\"60\"/></w:pPr><w:r><w:rPr>") + (bold ? "<w:b/>" : "") +
           "<w:sz w:val=\"21\"/></w:rPr><w:t xml:space=\"preserve\">" + text + "</w:t></w:r></w:p>";
}

// About one page: a heading, thirty lines of text and a five-by-four table.
std::shared_ptr<Document> MakePage() {
    std::string body = Paragraph("Monthly statement", true);
    for (int i = 0; i < 30; ++i) body += Paragraph("Line " + std::to_string(i) + " of the statement text, formatted.", false);
    body += "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid>";
    for (int c = 0; c < 4; ++c) body += "<w:gridCol w:w=\"2000\"/>";
    body += "</w:tblGrid>";
    for (int r = 0; r < 5; ++r) {
        body += "<w:tr>";
        for (int c = 0; c < 4; ++c)
            body += "<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/></w:tcPr>" +
                    Paragraph("r" + std::to_string(r) + "c" + std::to_string(c), r == 0) + "</w:tc>";
        body += "</w:tr>";
    }
    body += "</w:tbl><w:p/>";
    auto package = paperloom::docx::Package::CreateBlank();
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document "
        "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><w:body>" +
        body + "<w:sectPr/></w:body></w:document>";
    package.SetPartBytes("word/document.xml", xml,
                         "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
    return Document::Create(std::move(package), "Page");
}

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

struct Run {
    double seconds;
    long storyLength;
    long memoryKiB;
};

Run Append(int times) {
    auto page = MakePage();
    auto print = Document::Blank("Print");
    const long before = ResidentKiB();
    const auto start = std::chrono::steady_clock::now();
    auto batch = start;
    for (int i = 0; i < times; ++i) {
        if (i > 0 && i % 2000 == 0 && times > 1000) {
            const auto now = std::chrono::steady_clock::now();
            std::printf("  appends %5d-%5d: %.3f s\n", i - 2000, i, std::chrono::duration<double>(now - batch).count());
            batch = now;
        }
        auto end = print->Content();
        end.Collapse(paperloom::word::wdCollapseEnd);
        if (i > 0) {
            end.InsertBreak();
            end.Collapse(paperloom::word::wdCollapseEnd);
        }
        end.SetFormattedText(page->Content());
        // Fill the appended table a little, as a detail fill would.
        auto table = end.Tables().Item(1);
        table.Rows().Add();
        table.Cell(6, 1).Range().SetText(std::to_string(i));
    }
    const auto stop = std::chrono::steady_clock::now();
    return {std::chrono::duration<double>(stop - start).count(), print->Content().StoryLength(),
            ResidentKiB() - before};
}

}  // namespace

int main() {
    const auto small = Append(1000);
    const auto large = Append(10000);
    const double ratio = large.seconds / small.seconds;
    std::printf("1,000 appends:  %.3f s, story length %ld, memory +%ld KiB\n", small.seconds, small.storyLength,
                small.memoryKiB);
    std::printf("10,000 appends: %.3f s, story length %ld, memory +%ld KiB\n", large.seconds, large.storyLength,
                large.memoryKiB);
    std::printf("time ratio %.2f (limit 12), memory per position: %.3f / %.3f KiB\n", ratio,
                static_cast<double>(small.memoryKiB) / small.storyLength,
                static_cast<double>(large.memoryKiB) / large.storyLength);
    return ratio <= 12.0 ? 0 : 1;
}
