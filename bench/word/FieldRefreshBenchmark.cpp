// A header refresh over N fields, as the run-time does it: every field's code is read and
// replaced, all fields are updated, and every code is written back. Runs N = 1,000 and 10,000
// and fails when the larger run takes more than 12 times the smaller one (10 is linear).

#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "host/word/fields/Field.h"

namespace {

using paperloom::bench::Stopwatch;

struct Timing {
    double setCode;
    double update;
    double restore;
    double Total() const { return setCode + update + restore; }
};

Timing Refresh(int count) {
    std::string body;
    for (int i = 0; i < count; ++i)
        body += "<w:p><w:r><w:t xml:space=\"preserve\">Name: </w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/>"
                "</w:r><w:r><w:instrText xml:space=\"preserve\"> quote DataField Name" + std::to_string(i) +
                " </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>Name" +
                std::to_string(i) + "</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
    auto doc = paperloom::bench::DocumentWithBody(body, "Header");
    auto fields = paperloom::word::FieldsOf(*doc);
    std::vector<std::string> codes;
    Stopwatch setCode;
    for (const auto& field : fields) {
        codes.push_back(field.Code().Text());
        auto target = field;
        target.SetCode(" quote \"value " + std::to_string(codes.size()) + "\" ");
    }
    const double set = setCode.Seconds();
    Stopwatch update;
    const long failed = fields.Update();
    const double updated = update.Seconds();
    Stopwatch restore;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        auto target = fields.Item(static_cast<long>(i) + 1);
        target.SetCode(codes[i]);
    }
    const double restored = restore.Seconds();
    // Every field shows its value under its old code again: anything else is no benchmark.
    const auto last = fields.Item(count);
    if (failed != 0 || last.Result().Text() != "value " + std::to_string(count) || last.Code().Text() != codes.back()) {
        std::fprintf(stderr, "the fields were not refreshed as asked\n");
        std::exit(2);
    }
    return {set, updated, restored};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {  // one size only, for profiling
        const auto one = Refresh(std::stoi(argv[1]));
        std::printf("%s fields: set codes %.3f s, update %.3f s, restore codes %.3f s\n", argv[1], one.setCode,
                    one.update, one.restore);
        return 0;
    }
    const auto small = Refresh(1000);
    const auto large = Refresh(10000);
    const double ratio = large.Total() / small.Total();
    std::printf("1,000 fields:  set codes %.3f s, update %.3f s, restore codes %.3f s\n", small.setCode, small.update,
                small.restore);
    std::printf("10,000 fields: set codes %.3f s, update %.3f s, restore codes %.3f s\n", large.setCode, large.update,
                large.restore);
    std::printf("time ratio %.2f (limit 12)\n", ratio);
    return ratio <= 12.0 ? 0 : 1;
}
