// Growing a detail table to N rows and filling it cell by cell, as the run-time fills a
// detail table: each cell is found by row and column, its old text read and replaced; then a
// computed field goes into the last cell of every row, and the table shrinks row by row from
// its end. The cost of one cell or row must not grow with the table: runs N = 500 and 5,000
// and fails when the larger run takes more than 12 times the smaller one (10 is linear).

#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "host/word/Table.h"
#include "host/word/fields/Field.h"

namespace {

using paperloom::bench::Stopwatch;

constexpr long kColumns = 4;

std::string Cell(const std::string& text) {
    return "<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/></w:tcPr><w:p><w:r><w:t xml:space=\"preserve\">" + text +
           "</w:t></w:r></w:p></w:tc>";
}

// A caption row and one data row, with text before and after the table.
std::string Body() {
    std::string body = "<w:p><w:r><w:t>Invoice lines</w:t></w:r></w:p><w:tbl><w:tblPr><w:tblW w:w=\"0\" "
                       "w:type=\"auto\"/></w:tblPr><w:tblGrid>";
    for (long c = 0; c < kColumns; ++c) body += "<w:gridCol w:w=\"2000\"/>";
    body += "</w:tblGrid><w:tr>";
    for (long c = 0; c < kColumns; ++c) body += Cell("Caption " + std::to_string(c + 1));
    body += "</w:tr><w:tr>";
    for (long c = 0; c < kColumns; ++c) body += Cell("");
    body += "</w:tr></w:tbl>";
    for (int i = 0; i < 20; ++i) body += "<w:p><w:r><w:t>Closing text.</w:t></w:r></w:p>";
    return body;
}

struct Timing {
    double grow;
    double fill;
    double fields;
    double shrink;
    double Total() const { return grow + fill + fields + shrink; }
};

Timing Fill(long rows) {
    auto doc = paperloom::bench::DocumentWithBody(Body(), "Detail");
    auto table = doc->Tables().Item(1);
    Stopwatch grow;
    auto tableRows = table.Rows();
    while (tableRows.Count() < rows + 1) tableRows.Add();
    const double grown = grow.Seconds();
    Stopwatch fill;
    std::size_t read = 0;
    for (long r = 2; r <= rows + 1; ++r) {
        for (long c = 1; c <= kColumns; ++c) {
            auto content = table.Cell(r, c).Range();
            content.SetEnd(content.End() - 1);
            read += content.Text().size();
            content.SetText("row " + std::to_string(r) + " column " + std::to_string(c));
        }
    }
    const double filled = fill.Seconds();
    // The last cell must hold what was written: a fill that went astray is no benchmark.
    if (table.Cell(rows + 1, kColumns).Range().Text() != "row " + std::to_string(rows + 1) + " column 4\r\a" ||
        read != 0) {
        std::fprintf(stderr, "the table was not filled as written\n");
        std::exit(2);
    }
    Stopwatch fields;
    for (long r = 2; r <= rows + 1; ++r) {
        auto content = table.Cell(r, kColumns).Range();
        content.SetEnd(content.End() - 1);
        paperloom::word::FieldsOf(content).Add(content, paperloom::word::wdFieldEmpty, "= " + std::to_string(r) + " * 2");
    }
    const double computed = fields.Seconds();
    if (table.Cell(rows + 1, kColumns).Range().Text() != std::to_string((rows + 1) * 2) + "\r\a") {
        std::fprintf(stderr, "the fields were not computed\n");
        std::exit(2);
    }
    Stopwatch shrink;
    while (tableRows.Count() > 2) tableRows.Last().Delete();
    return {grown, filled, computed, shrink.Seconds()};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {  // one size only, for profiling
        const auto one = Fill(std::stol(argv[1]));
        std::printf("%s rows: grow %.3f s, fill %.3f s, fields %.3f s, shrink %.3f s\n", argv[1], one.grow, one.fill,
                    one.fields, one.shrink);
        return 0;
    }
    const auto small = Fill(500);
    const auto large = Fill(5000);
    const double ratio = large.Total() / small.Total();
    std::printf("500 rows:   grow %.3f s, fill %.3f s, fields %.3f s, shrink %.3f s\n", small.grow, small.fill,
                small.fields, small.shrink);
    std::printf("5,000 rows: grow %.3f s, fill %.3f s, fields %.3f s, shrink %.3f s\n", large.grow, large.fill,
                large.fields, large.shrink);
    std::printf("time ratio %.2f (limit 12)\n", ratio);
    return ratio <= 12.0 ? 0 : 1;
}
