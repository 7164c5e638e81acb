#include "Run/modPLRDetailTables.h"

#include "host/ado/Variant.h"
#include "host/word/Constants.h"
#include "host/word/Shapes.h"
#include "host/word/fields/Field.h"

namespace paperloom::modPLRFunction {
namespace {

// Text frames of the document's text boxes that hold text: a group contributes its items.
std::vector<word::TextFrame> TextFramesWithText(const word::Document& document) {
    std::vector<word::TextFrame> frames;
    const auto take = [&frames](const word::Shape& shape) {
        auto frame = shape.TextFrame();
        if (frame.HasText()) frames.push_back(frame);
    };
    for (const auto& shape : document.Shapes()) {
        if (shape.Type() == word::msoGroup) {
            for (const auto& item : shape.GroupItems()) take(item);
        } else {
            take(shape);
        }
    }
    return frames;
}

bool IsOperator(char c) {
    switch (c) {
        case '*':
        case '/':
        case '+':
        case '-':
        case '(':
        case ')':
        case ' ':
        case '\t':
            return true;
        default:
            return false;
    }
}

}  // namespace

long CollectDetailTables(std::vector<word::Table>& tblaryTarget, const word::Range& rangeTarget) {
    for (const auto& table : rangeTarget.Tables()) tblaryTarget.push_back(table);
    if (rangeTarget.StoryType() == word::wdMainTextStory) {
        if (const auto document = rangeTarget.Document()) {
            for (const auto& frame : TextFramesWithText(*document)) {
                for (const auto& table : frame.TextRange().Tables()) tblaryTarget.push_back(table);
            }
        }
    }
    return static_cast<long>(tblaryTarget.size());
}

void UpdateAllFields(word::Document& docTarget) {
    word::FieldsOf(docTarget).Update();
    for (const auto& frame : TextFramesWithText(docTarget)) word::FieldsOf(frame.TextRange()).Update();
}

std::string MakeRowFormula(long lngRow, std::string_view strExpression) {
    const std::string row = std::to_string(lngRow);
    std::string formula;
    std::string operand;
    const auto flush = [&] {
        if (operand.empty()) return;
        formula += operand;
        if (!host::ado::IsNumeric(host::ado::Variant(operand))) formula += row;
        operand.clear();
    };
    for (const char c : strExpression) {
        if (IsOperator(c)) {
            flush();
            formula += c;
        } else {
            operand += c;
        }
    }
    flush();
    return formula;
}

}  // namespace paperloom::modPLRFunction
