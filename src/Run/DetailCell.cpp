#include "Run/DetailCell.h"

#include <algorithm>
#include <optional>

#include "Run/FieldFormat.h"
#include "common/clsPLProperty.h"
#include "host/word/CellText.h"
#include "host/word/fields/Field.h"

namespace paperloom::run {
namespace {

// The cell's range without its end-of-cell mark.
word::Range CellContent(const word::Cell& cell) {
    auto content = cell.Range();
    content.SetEnd(content.End() - 1);
    return content;
}

// Removes the fields of the content; last first, since a field nested in another comes
// after it and goes with it.
void RemoveFields(const word::Range& content) {
    if (content.End() <= content.Start()) return;  // an empty cell holds none
    const auto fields = word::FieldsOf(content);
    for (long i = fields.Count(); i >= 1; --i) {
        auto field = fields.Item(i);
        if (field.Range().End() > field.Range().Start()) field.Delete();
    }
}

// The part of the content after the hidden property text it starts with. Property text lives
// in the first row only, so other rows are not searched (each search walks the table).
word::Range VisiblePart(const word::Cell& cell, const word::Range& content) {
    auto visible = content.Duplicate();
    if (cell.RowIndex() != 1) return visible;
    std::optional<word::Range> hidden;
    if (clsPLProperty().GetProperties2(content, hidden) && hidden && hidden->Start() == content.Start()) {
        visible.SetStart(std::min(hidden->End(), content.End()));
    }
    return visible;
}

// Empties the cell's visible part; returns it, collapsed where new content goes.
word::Range EmptyVisiblePart(const word::Cell& cell) {
    const auto content = CellContent(cell);
    RemoveFields(content);
    auto visible = VisiblePart(cell, content);
    if (visible.End() > visible.Start()) visible.Delete();
    return visible;
}

}  // namespace

void ClearCellContent(const word::Cell& cell) { EmptyVisiblePart(cell); }

void WriteCellText(const word::Cell& cell, std::string_view text) {
    const auto content = CellContent(cell);
    RemoveFields(content);
    auto visible = VisiblePart(cell, content);
    const bool replacing = visible.End() > visible.Start();
    const bool afterHidden = visible.Start() > content.Start();
    if (text.empty()) {
        if (replacing) visible.Delete();
        return;
    }
    // Replacing keeps the look of the text replaced; text new to the cell takes the look of
    // what precedes it, which may be the hidden property text.
    visible.SetText(ShownText(text));
    if (afterHidden) visible.Font().SetHidden(false);
}

void WriteCellText(const word::Table& table, long row, long column, std::string_view text) {
    // A cell of one plain run (as the last record left it) holds no fields and, past the first
    // row, no property text: the new text takes the old one's place in that run.
    if (row != 1 && word::ReplaceLoneRunText(table, row, column, ShownText(text))) return;
    WriteCellText(table.Cell(row, column), text);
}

void WriteCellField(const word::Cell& cell, std::string_view code) {
    auto at = EmptyVisiblePart(cell);
    auto field = word::FieldsOf(cell.Range()).Add(at, word::wdFieldEmpty, ShownText(code));
    // After hidden property text the field would otherwise take its hidden look.
    field.Range().Font().SetHidden(false);
}

std::string VisibleCellText(const word::Cell& cell) {
    std::string text = cell.Range().Text();
    while (!text.empty() && (text.back() == '\a' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace paperloom::run
