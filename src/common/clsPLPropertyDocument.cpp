// The document side of clsPLProperty: property text read from the hidden text at the start of
// table cells, and document variables.

#include "common/clsPLProperty.h"

#include "common/HiddenTextDisplayOff.h"
#include "host/DebugLog.h"
#include "host/word/Document.h"

namespace paperloom {
namespace {

std::string_view UpToFirstParagraphMark(std::string_view text) {
    return text.substr(0, text.find('\r'));
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool clsPLProperty::GetProperties(const word::Range& rangeTarget, std::string& szResult) const {
    auto withHidden = rangeTarget.Duplicate();
    withHidden.TextRetrievalMode().SetIncludeHiddenText(true);
    const std::string fullText = withHidden.Text();
    const std::string ordinaryText = rangeTarget.Text();
    if (fullText.size() == ordinaryText.size()) {
        return false;
    }
    const std::string_view full = UpToFirstParagraphMark(fullText);
    const std::string_view ordinary = UpToFirstParagraphMark(ordinaryText);
    if (full.size() == ordinary.size()) {
        // The hidden text lies after the first paragraph: nothing stands at the start.
        return false;
    }
    // The visible text of the first paragraph follows the property text; anything else (hidden
    // text between visible characters) leaves the whole paragraph as the property text.
    const std::size_t tail = full.size() - ordinary.size();
    if (!ordinary.empty() && EqualsIgnoringAsciiCase(full.substr(tail), ordinary)) {
        szResult = std::string(full.substr(0, tail));
    } else {
        szResult = std::string(full);
    }
    return true;
}

bool clsPLProperty::GetProperties2(const word::Range& rangeTarget, std::optional<word::Range>& rangeResult) const {
    word::Range result = rangeTarget.Duplicate();
    result.Find().ClearFormatting();
    result.Find().Font().SetHidden(true);
    result.TextRetrievalMode().SetIncludeHiddenText(true);
    if (!result.Find().Execute()) {
        return false;
    }
    const long start = result.Start();
    // Hidden text spanning paragraphs is found one paragraph at a time.
    for (std::string text = result.Text(); !text.empty() && text.back() == '\r'; text = result.Text()) {
        if (!result.Find().Execute()) {
            break;
        }
    }
    result.SetStart(start);
    rangeResult = result;
    return true;
}

std::string clsPLProperty::GetDetailProperties(const word::Table& tblTarget, word::Document& docTarget) const {
    const HiddenTextDisplayOff displayOff(docTarget);
    std::string text;
    if (!GetProperties(tblTarget.Cell(1, 1).Range(), text)) {
        return {};
    }
    return text;
}

long clsPLProperty::GetColumnProperties(const word::Table& tblTarget, word::Document& docTarget,
                                        std::vector<std::string>& strColumnProperties) const {
    const HiddenTextDisplayOff displayOff(docTarget);
    const long columns = tblTarget.Columns().Count();
    std::vector<std::string> texts(static_cast<std::size_t>(columns));
    for (long c = 1; c <= columns; ++c) {
        std::string text;
        if (GetProperties(tblTarget.Cell(1, c).Range(), text)) {
            texts[static_cast<std::size_t>(c - 1)] = std::move(text);
        }
    }
    strColumnProperties = std::move(texts);
    return columns;
}

std::string clsPLProperty::GetDocVariable(std::string_view strName, word::Document& docTarget,
                                          std::string_view strDefaultValue) const {
    try {
        return docTarget.Variables().Item(strName).Value();
    } catch (const std::exception&) {
        debuglog::Swallowed("clsPLPropertyDocument.cpp: clsPLProperty::GetDocVariable");
        return std::string(strDefaultValue);
    }
}

void clsPLProperty::DeleteDocVariable(std::string_view strName, word::Document& docTarget) const {
    try {
        docTarget.Variables().Delete(strName);
    } catch (const std::exception&) {
        debuglog::Swallowed("clsPLPropertyDocument.cpp: clsPLProperty::DeleteDocVariable");
        // Missing or protected: the caller goes on either way.
    }
}

}  // namespace paperloom
