#include "Run/DetailCell.h"

#include <algorithm>
#include <optional>

#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "host/word/fields/Field.h"

namespace paperloom::run {
namespace {

// The cell's range without its end-of-cell mark.
word::Range CellContent(const word::Cell& cell) {
    auto content = cell.Range();
    content.SetEnd(content.End() - 1);
    return content;
}

}  // namespace

void ClearCellContent(const word::Cell& cell) {
    // Last first: a field nested in another comes after it, and goes with it.
    const auto fields = word::FieldsOf(cell.Range());
    for (long i = fields.Count(); i >= 1; --i) {
        auto field = fields.Item(i);
        if (field.Range().End() > field.Range().Start()) field.Delete();
    }
    const auto content = CellContent(cell);
    long keepEnd = content.Start();
    std::optional<word::Range> hidden;
    if (clsPLProperty().GetProperties2(content, hidden) && hidden && hidden->Start() == content.Start()) {
        keepEnd = std::min(hidden->End(), content.End());
    }
    if (keepEnd >= content.End()) return;
    auto visible = content.Duplicate();
    visible.SetRange(keepEnd, content.End());
    visible.Delete();
}

void WriteCellText(const word::Cell& cell, std::string_view text) {
    ClearCellContent(cell);
    if (text.empty()) return;
    auto range = cell.Range();
    clsPLRange().AppendText(text, range);
}

void WriteCellField(const word::Cell& cell, std::string_view code) {
    ClearCellContent(cell);
    auto at = cell.Range();
    clsPLRange().AppendText({}, at);  // collapses onto the end of the content
    auto field = word::FieldsOf(cell.Range()).Add(at, word::wdFieldEmpty, code);
    // After hidden property text the field would otherwise take its hidden look.
    field.Range().Font().SetHidden(false);
}

std::string VisibleCellText(const word::Cell& cell) {
    std::string text = cell.Range().Text();
    while (!text.empty() && (text.back() == '\a' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace paperloom::run
