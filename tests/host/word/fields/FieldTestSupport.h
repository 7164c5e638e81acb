#pragma once
// Field markup for the field model's tests.

#include <string>
#include <string_view>

#include "../WordTestSupport.h"

namespace paperloom::word::test {

// The runs of a complex field: begin, code, separator, result, end. `rPr` goes on every run,
// `resultRPr` (when given) on the result's run only.
inline std::string FieldRuns(std::string_view code, std::string_view result, std::string_view rPr = {},
                             std::string_view resultRPr = {}) {
    const std::string props(rPr);
    auto mark = [&](const char* kind) {
        return "<w:r>" + props + "<w:fldChar w:fldCharType=\"" + kind + "\"/></w:r>";
    };
    std::string xml = mark("begin");
    xml += "<w:r>" + props + "<w:instrText xml:space=\"preserve\">" + std::string(code) + "</w:instrText></w:r>";
    xml += mark("separate");
    if (!result.empty())
        xml += "<w:r>" + std::string(resultRPr.empty() ? rPr : resultRPr) + "<w:t xml:space=\"preserve\">" +
               std::string(result) + "</w:t></w:r>";
    return xml + mark("end");
}

inline std::string FieldParagraph(std::string_view code, std::string_view result) {
    return "<w:p>" + FieldRuns(code, result) + "</w:p>";
}

}  // namespace paperloom::word::test
