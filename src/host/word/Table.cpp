#include "host/word/Table.h"

#include <algorithm>
#include <string>

#include "host/word/CellText.h"
#include "host/word/detail/DocumentState.h"
#include "host/word/detail/RangeAccess.h"
#include "host/word/WordError.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word {

using detail::Atom;

namespace {

std::vector<pugi::xml_node> RowsOf(pugi::xml_node table) {
    std::vector<pugi::xml_node> rows;
    for (auto row : table.children("w:tr")) rows.push_back(row);
    return rows;
}

std::vector<pugi::xml_node> CellsOf(pugi::xml_node row) {
    std::vector<pugi::xml_node> cells;
    for (auto cell : row.children("w:tc")) cells.push_back(cell);
    return cells;
}

long GridColumns(pugi::xml_node table) {
    long count = 0;
    for (auto col : table.child("w:tblGrid").children("w:gridCol")) {
        (void)col;
        ++count;
    }
    return count;
}

pugi::xml_node ResolveTable(const detail::RangeData& data) {
    auto& story = data.Live();
    // A top-level table starts in a row the story's index holds: its table is the row's
    // parent, found without walking the row (every cell a table fill reads or writes asks).
    if (data.tableDepth == 1) {
        const auto unit = story.UnitAt(data.span->start);
        if (xml::Is(unit, "w:tr") && xml::Is(unit.parent(), "w:tbl") && unit.parent().parent() == story.Root())
            return unit.parent();
    }
    const auto atom = story.AtomAt(data.span->start);
    if (!atom) throw ObjectDeleted();
    std::vector<pugi::xml_node> tables;
    for (auto n = atom->node; n && n != story.Root(); n = n.parent())
        if (xml::Is(n, "w:tbl")) tables.push_back(n);
    std::reverse(tables.begin(), tables.end());
    if (data.tableDepth < 1 || static_cast<std::size_t>(data.tableDepth) > tables.size()) throw ObjectDeleted();
    return tables[static_cast<std::size_t>(data.tableDepth) - 1];
}

pugi::xml_node RowAt(detail::Story& story, pugi::xml_node table, long index) {
    const auto& rows = story.TableRows(table);
    if (index < 1 || index > static_cast<long>(rows.size())) throw NoSuchMember();
    return rows[static_cast<std::size_t>(index) - 1];
}

Range SpanRange(const detail::RangeData& data, pugi::xml_node node) {
    auto& story = data.Live();
    const auto span = story.SpanOf(node);
    if (!span) throw ObjectDeleted();
    return Range(detail::MakeRange(data.doc, story, span->first, span->second));
}

// The look a new row's cell takes for its text: the first shown run's properties in the model
// paragraph (the last run's when all are hidden), else its mark's. Found in document order, as
// the query ".//w:r/w:rPr" lists them.
pugi::xml_node ModelRunProperties(pugi::xml_node model) {
    pugi::xml_node found;
    for (auto node = model.first_child(); node;) {
        if (node.type() == pugi::node_element && xml::Is(node, "w:rPr") && xml::Is(node.parent(), "w:r")) {
            found = node;
            if (xml::OnOff(found.child("w:vanish")) != 1) return found;
        }
        // The next node in document order below `model`.
        if (auto child = node.first_child()) {
            node = child;
            continue;
        }
        while (node != model && !node.next_sibling()) node = node.parent();
        node = node == model ? pugi::xml_node{} : node.next_sibling();
    }
    return found ? found : model.child("w:pPr").child("w:rPr");
}

// A new row's cell, empty, made beside the model cell's copy it replaces: the model's
// attributes and cell properties (no vertical merge), one paragraph with the model paragraph's
// look and the character look of its first shown run. The model's content is never copied: a
// table fill adds rows for every record.
void AppendEmptyCell(pugi::xml_node row, pugi::xml_node modelCell) {
    auto cell = row.append_child("w:tc");
    for (auto attr : modelCell.attributes()) cell.append_attribute(attr.name()) = attr.value();
    for (auto child = modelCell.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && xml::Is(child, "w:tcPr")) cell.append_copy(child);
    if (auto tcPr = cell.child("w:tcPr"))
        if (auto vMerge = tcPr.child("w:vMerge")) tcPr.remove_child(vMerge);
    const auto model = modelCell.child("w:p");
    const auto runProps = ModelRunProperties(model);
    auto p = cell.append_child("w:p");
    if (auto pPr = model.child("w:pPr")) {
        auto copy = p.append_copy(pPr);
        for (const char* drop : {"w:sectPr", "w:pPrChange"})
            if (auto n = copy.child(drop)) copy.remove_child(n);
        if (auto old = copy.child("w:rPr")) copy.remove_child(old);
    }
    if (runProps) {
        auto mark = xml::MarkProperties(p, true);
        for (auto child : runProps.children())
            if (!xml::Is(child, "w:vanish") && !xml::Is(child, "w:rPrChange")) mark.append_copy(child);
    }
}

// Makes `row`, just put beside `model`, a row like it: the model's attributes (not its
// revision ids) and row-level elements, its cells emptied.
pugi::xml_node InsertEmptyRow(pugi::xml_node model, pugi::xml_node row) {
    for (auto attr : model.attributes()) {
        const std::string_view name = attr.name();
        if (name != "w14:paraId" && name != "w14:textId") row.append_attribute(attr.name()) = attr.value();
    }
    for (auto child = model.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && xml::Is(child, "w:tc")) AppendEmptyCell(row, child);
        else row.append_copy(child);
    }
    return row;
}

}  // namespace

// --- Cell / Row -----------------------------------------------------------------------------

namespace {

// The cell at (row, column), counted as the word processor counts; raises for a missing or
// hidden cell.
pugi::xml_node CellNode(const detail::RangeData& data, long rowIndex, long column) {
    auto table = ResolveTable(data);
    const auto row = RowAt(data.Live(), table, rowIndex);
    if (column < 1) throw NoSuchMember();
    pugi::xml_node cell;
    long count = 0;
    for (auto c = row.child("w:tc"); c; c = c.next_sibling("w:tc"))
        if (++count == column) {
            cell = c;
            break;
        }
    if (!cell) {
        if (column <= GridColumns(table))
            throw WordError(errnum::mergedCells, "The requested cell is hidden by merged cells.");
        throw NoSuchMember();
    }
    if (auto vMerge = cell.child("w:tcPr").child("w:vMerge")) {
        const std::string_view val = vMerge.attribute("w:val").value();
        if (val != "restart")
            throw WordError(errnum::mergedCells, "The requested cell is hidden by merged cells.");
    }
    return cell;
}

}  // namespace

Range Cell::Range() const { return SpanRange(*table_, CellNode(*table_, row_, column_)); }

Range Row::Range() const { return SpanRange(*table_, RowAt(table_->Live(), ResolveTable(*table_), index_)); }

long Row::CellCount() const {
    return static_cast<long>(CellsOf(RowAt(table_->Live(), ResolveTable(*table_), index_)).size());
}

void Row::Delete() {
    auto& story = table_->Live();
    auto table = ResolveTable(*table_);
    const auto row = RowAt(story, table, index_);
    if (story.TableRows(table).size() == 1) {
        Table(table_).Delete();
        return;
    }
    story.RemoveBlock(row);
    table_->doc->Changed();
}

long Rows::Count() const { return static_cast<long>(table_->Live().TableRows(ResolveTable(*table_)).size()); }

Row Rows::Item(long index) const {
    RowAt(table_->Live(), ResolveTable(*table_), index);
    return Row(table_, index);
}

Row Rows::Add(std::optional<long> beforeRow) {
    auto& story = table_->Live();
    auto table = ResolveTable(*table_);
    const auto& rows = story.TableRows(table);
    if (rows.empty()) throw NoSuchMember();
    const long count = static_cast<long>(rows.size());
    pugi::xml_node model = rows.back();
    long at = 0;
    pugi::xml_node row;
    if (beforeRow) {
        model = RowAt(story, table, *beforeRow);
        const auto span = story.SpanOf(model);
        if (!span) throw ObjectDeleted();
        at = span->first;
        row = InsertEmptyRow(model, table.insert_child_before("w:tr", model));
    } else {
        const auto span = story.SpanOf(table);
        if (!span) throw ObjectDeleted();
        at = span->second;
        row = InsertEmptyRow(model, table.insert_child_after("w:tr", model));
    }
    story.BlockInserted(row, at);
    table_->doc->Changed();
    return Row(table_, beforeRow ? *beforeRow : count + 1);
}

long Columns::Count() const {
    auto table = ResolveTable(*table_);
    const long grid = GridColumns(table);
    if (grid > 0) return grid;
    long widest = 0;
    for (auto row : RowsOf(table)) widest = std::max(widest, static_cast<long>(CellsOf(row).size()));
    return widest;
}

// --- Table ----------------------------------------------------------------------------------

pugi::xml_node Table::Node() const { return ResolveTable(*data_); }

Range Table::Range() const { return SpanRange(*data_, ResolveTable(*data_)); }

Cell Table::Cell(long row, long column) const {
    CellNode(*data_, row, column);  // raises now for a missing or hidden cell
    return word::Cell(data_, row, column);
}

void Table::Delete() {
    auto& story = data_->Live();
    auto table = ResolveTable(*data_);
    story.RemoveBlock(table);
    data_->doc->Changed();
}

word::Tables Table::Tables() const {
    auto& story = data_->Live();
    std::vector<word::Table> nested;
    for (auto row : RowsOf(ResolveTable(*data_)))
        for (auto cell : CellsOf(row))
            for (auto inner : cell.children("w:tbl"))
                if (detail::HasRows(inner)) nested.push_back(detail::TableOf(data_->doc, story, inner));
    return word::Tables(data_, std::move(nested));
}

// --- Tables ---------------------------------------------------------------------------------

Table Tables::Item(long index) const {
    if (index < 1 || index > Count()) throw NoSuchMember();
    return items_[static_cast<std::size_t>(index) - 1];
}

Table Tables::Add(const word::Range& range, long rows, long columns) {
    if (rows < 1 || columns < 1 || columns > 63 || rows > 32767)
        throw WordError(errnum::valueOutOfRange, "The number must be between 1 and 63 columns and at least 1 row.");
    const auto& data = detail::RangeAccess::Of(range);
    auto& story = data->Live();
    story.Delete(data->span->start, data->span->end);
    const auto paragraph = story.SplitParagraphAt(data->span->start);
    const auto at = story.PositionOf(paragraph);
    if (!at) throw ObjectDeleted();

    long textWidth = 9026;
    if (auto sect = data->doc->Main().Root().child("w:sectPr")) {
        const long page = sect.child("w:pgSz").attribute("w:w").as_int(11906);
        const long left = sect.child("w:pgMar").attribute("w:left").as_int(1440);
        const long right = sect.child("w:pgMar").attribute("w:right").as_int(1440);
        if (page - left - right > 0) textWidth = page - left - right;
    }
    const std::string cellWidth = std::to_string(textWidth / columns);

    auto table = paragraph.parent().insert_child_before("w:tbl", paragraph);
    auto tblPr = table.append_child("w:tblPr");
    auto tblW = tblPr.append_child("w:tblW");
    tblW.append_attribute("w:w") = "0";
    tblW.append_attribute("w:type") = "auto";
    auto borders = tblPr.append_child("w:tblBorders");
    for (const char* side : {"w:top", "w:left", "w:bottom", "w:right", "w:insideH", "w:insideV"}) {
        auto b = borders.append_child(side);
        b.append_attribute("w:val") = "single";
        b.append_attribute("w:sz") = "4";
        b.append_attribute("w:space") = "0";
        b.append_attribute("w:color") = "auto";
    }
    auto look = tblPr.append_child("w:tblLook");
    look.append_attribute("w:val") = "04A0";
    auto grid = table.append_child("w:tblGrid");
    for (long c = 0; c < columns; ++c) grid.append_child("w:gridCol").append_attribute("w:w") = cellWidth.c_str();
    for (long r = 0; r < rows; ++r) {
        auto tr = table.append_child("w:tr");
        for (long c = 0; c < columns; ++c) {
            auto tc = tr.append_child("w:tc");
            auto tcW = tc.append_child("w:tcPr").append_child("w:tcW");
            tcW.append_attribute("w:w") = cellWidth.c_str();
            tcW.append_attribute("w:type") = "dxa";
            auto p = tc.append_child("w:p");
            if (auto pPr = paragraph.child("w:pPr")) {
                auto copy = p.append_copy(pPr);
                for (const char* drop : {"w:sectPr", "w:pPrChange", "w:numPr"})
                    if (auto n = copy.child(drop)) copy.remove_child(n);
            }
        }
    }
    story.BlockInserted(table, *at);
    data->doc->Changed();
    return detail::TableOf(data->doc, story, table);
}

namespace detail {

const std::shared_ptr<RangeData>& RangeAccess::Of(const Table& table) { return table.Data(); }

bool HasRows(pugi::xml_node table) { return static_cast<bool>(table.child("w:tr")); }

Table TableOf(const std::shared_ptr<DocumentState>& doc, Story& story, pugi::xml_node table) {
    const auto span = story.SpanOf(table);
    if (!span) throw ObjectDeleted();
    auto data = MakeRange(doc, story, span->first, span->second);
    int depth = 0;
    for (auto n = table; n && n != story.Root(); n = n.parent())
        if (xml::Is(n, "w:tbl")) ++depth;
    data->tableDepth = depth;
    return Table(data);
}

std::vector<Table> TablesIn(const std::shared_ptr<RangeData>& range) {
    auto& story = range->Live();
    std::vector<pugi::xml_node> found;
    const long start = range->span->start;
    const long end = std::max(range->span->end, start + 1);
    story.Visit(start, end, [&](const Atom& atom) {
        if (atom.length == 0) return true;
        pugi::xml_node outer;
        for (auto n = atom.node; n && n != story.Root(); n = n.parent())
            if (xml::Is(n, "w:tbl")) outer = n;
        if (outer && (found.empty() || found.back() != outer)) found.push_back(outer);
        return true;
    });
    std::vector<Table> tables;
    for (auto t : found) tables.push_back(TableOf(range->doc, story, t));
    return tables;
}

}  // namespace detail

Tables Range::Tables() const { return word::Tables(data_, detail::TablesIn(data_)); }

bool ReplaceLoneRunText(const Table& table, long row, long column, std::string_view text) {
    const auto& data = detail::RangeAccess::Of(table);
    const auto cell = CellNode(*data, row, column);
    // The cell's content: its properties, then one paragraph of one run (the run checked below).
    auto paragraph = cell.first_child();
    while (paragraph && paragraph.type() == pugi::node_element && xml::Is(paragraph, "w:tcPr"))
        paragraph = paragraph.next_sibling();
    if (!xml::Is(paragraph, "w:p") || paragraph.next_sibling()) return false;
    auto run = paragraph.first_child();
    if (xml::Is(run, "w:pPr")) run = run.next_sibling();
    if (!xml::Is(run, "w:r") || run.next_sibling()) return false;
    auto t = run.first_child();
    if (xml::Is(t, "w:rPr")) t = t.next_sibling();
    if (!xml::TextReplaceableInPlace(t, text)) return false;
    auto& story = data->Live();
    const auto start = story.PositionOf(cell);
    if (!start) throw ObjectDeleted();
    story.ReplaceNodeText(t, *start, xml::Utf16Length(t.child_value()), text);
    data->doc->Changed();
    return true;
}

}  // namespace paperloom::word
