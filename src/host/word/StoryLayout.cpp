#include "host/word/StoryLayout.h"

#include <charconv>
#include <map>
#include <optional>

#include "host/word/Shapes.h"
#include "host/word/detail/DocumentState.h"
#include "host/word/detail/RangeAccess.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word::layout {
namespace {

constexpr std::string_view kStylesType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";

double Number(pugi::xml_node element, const char* attribute, double fallback = 0) {
    const std::string_view text = element.attribute(attribute).value();
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return fallback;
    return static_cast<double>(value);
}

double Twips(pugi::xml_node element, const char* attribute, double fallback = 0) {
    return element.attribute(attribute) ? Number(element, attribute) / 20.0 : fallback;
}

std::string Colour(std::string_view value) {
    if (value.size() != 6 || value == "auto") return {};
    return std::string(value);
}

// The highlight colours a run can name, as fills.
std::string HighlightColour(std::string_view name) {
    static const std::map<std::string_view, std::string_view> colours = {
        {"yellow", "FFFF00"},    {"green", "00FF00"},   {"cyan", "00FFFF"},      {"magenta", "FF00FF"},
        {"blue", "0000FF"},      {"red", "FF0000"},     {"darkBlue", "000080"},  {"darkCyan", "008080"},
        {"darkGreen", "008000"}, {"darkMagenta", "800080"}, {"darkRed", "800000"}, {"darkYellow", "808000"},
        {"darkGray", "808080"},  {"lightGray", "C0C0C0"}, {"black", "000000"},   {"white", "FFFFFF"}};
    const auto it = colours.find(name);
    return it == colours.end() ? std::string() : std::string(it->second);
}

bool On(pugi::xml_node element) { return xml::OnOff(element) == 1; }

void ApplyRun(pugi::xml_node rPr, CharacterFormat& format) {
    if (!rPr) return;
    if (auto fonts = rPr.child("w:rFonts")) {
        if (auto ascii = fonts.attribute("w:ascii")) format.latinFont = ascii.value();
        else if (auto hAnsi = fonts.attribute("w:hAnsi")) format.latinFont = hAnsi.value();
        if (auto eastAsia = fonts.attribute("w:eastAsia")) format.eastAsianFont = eastAsia.value();
    }
    if (auto size = rPr.child("w:sz"); size && size.attribute("w:val")) format.size = Number(size, "w:val", 21) / 2.0;
    if (auto b = rPr.child("w:b")) format.bold = On(b);
    if (auto i = rPr.child("w:i")) format.italic = On(i);
    if (auto s = rPr.child("w:strike")) format.strike = On(s);
    if (auto u = rPr.child("w:u")) {
        const std::string_view value = u.attribute("w:val").value();
        if (value == "none" || value.empty()) format.underline = Underline::None;
        else if (value == "double") format.underline = Underline::Double;
        else if (value.starts_with("thick")) format.underline = Underline::Thick;
        else if (value.starts_with("dotted") || value.starts_with("dotDash") || value.starts_with("dotDot"))
            format.underline = Underline::Dotted;
        else if (value.starts_with("dash")) format.underline = Underline::Dashed;
        else if (value.starts_with("wav")) format.underline = Underline::Wavy;
        else format.underline = Underline::Single;
    }
    if (auto color = rPr.child("w:color")) format.color = Colour(color.attribute("w:val").value());
    if (auto shd = rPr.child("w:shd")) format.shading = Colour(shd.attribute("w:fill").value());
    if (auto highlight = rPr.child("w:highlight")) {
        const auto colour = HighlightColour(highlight.attribute("w:val").value());
        if (!colour.empty()) format.shading = colour;
    }
}

void ApplyParagraph(pugi::xml_node pPr, ParagraphFormat& format) {
    if (!pPr) return;
    if (auto jc = pPr.child("w:jc")) {
        const std::string_view value = jc.attribute("w:val").value();
        if (value == "center") format.alignment = Alignment::Center;
        else if (value == "right" || value == "end") format.alignment = Alignment::Right;
        else if (value == "both") format.alignment = Alignment::Justify;
        else if (value == "distribute") format.alignment = Alignment::Distribute;
        else format.alignment = Alignment::Left;
    }
    if (auto ind = pPr.child("w:ind")) {
        format.leftIndent = Twips(ind, ind.attribute("w:start") ? "w:start" : "w:left", format.leftIndent);
        format.rightIndent = Twips(ind, ind.attribute("w:end") ? "w:end" : "w:right", format.rightIndent);
        if (ind.attribute("w:hanging")) format.firstLine = -Twips(ind, "w:hanging");
        else if (ind.attribute("w:firstLine")) format.firstLine = Twips(ind, "w:firstLine");
    }
    if (auto spacing = pPr.child("w:spacing")) {
        format.spaceBefore = Twips(spacing, "w:before", format.spaceBefore);
        format.spaceAfter = Twips(spacing, "w:after", format.spaceAfter);
        if (spacing.attribute("w:line")) {
            const std::string_view rule = spacing.attribute("w:lineRule").value();
            const double line = Number(spacing, "w:line", 240);
            // Exact and at-least spacing are given in twips; shown as their multiple of a
            // 12-point line, which is near enough for a design view.
            format.lineSpacing = (rule.empty() || rule == "auto") ? line / 240.0 : (line / 20.0) / 12.0;
            if (format.lineSpacing <= 0) format.lineSpacing = 1;
        }
    }
}

Border ReadBorder(pugi::xml_node element) {
    Border border;
    if (!element) return border;
    const std::string_view value = element.attribute("w:val").value();
    border.present = !(value.empty() || value == "nil" || value == "none");
    border.width = std::max(0.25, Number(element, "w:sz", 4) / 8.0);
    border.color = Colour(element.attribute("w:color").value());
    return border;
}

// Document defaults and styles, resolved along their chains of base styles.
class Formats {
public:
    explicit Formats(docx::Package& package) {
        const auto part = package.MainRelatedPart(kStylesType);
        if (!part || !package.HasPart(*part)) return;
        const auto& xml = package.Xml(*part);
        const auto styles = xml.child("w:styles");
        const auto defaults = styles.child("w:docDefaults");
        runDefaults_ = defaults.child("w:rPrDefault").child("w:rPr");
        paragraphDefaults_ = defaults.child("w:pPrDefault").child("w:pPr");
        for (auto style : styles.children("w:style")) {
            const std::string id = style.attribute("w:styleId").value();
            byId_.emplace(id, style);
            if (style.attribute("w:default").as_bool()) {
                const std::string_view type = style.attribute("w:type").value();
                if (type == "paragraph") defaultParagraph_ = id;
                if (type == "table") defaultTable_ = id;
            }
        }
    }

    // Styles resolved once per combination: long documents use few of them.
    CharacterFormat Run(pugi::xml_node paragraph, pugi::xml_node rPr) {
        const std::string paragraphStyle = ParagraphStyle(paragraph);
        const std::string runStyle = rPr.child("w:rStyle").attribute("w:val").value();
        const std::string key = paragraphStyle + '\x1f' + runStyle;
        auto it = runStyles_.find(key);
        if (it == runStyles_.end()) {
            CharacterFormat format;
            ApplyRun(runDefaults_, format);
            ForChain(paragraphStyle, [&](pugi::xml_node style) { ApplyRun(style.child("w:rPr"), format); });
            if (!runStyle.empty()) ForChain(runStyle, [&](pugi::xml_node s) { ApplyRun(s.child("w:rPr"), format); });
            it = runStyles_.emplace(key, std::move(format)).first;
        }
        CharacterFormat format = it->second;
        ApplyRun(rPr, format);
        return format;
    }

    ParagraphFormat Paragraph(pugi::xml_node paragraph) {
        const std::string paragraphStyle = ParagraphStyle(paragraph);
        auto it = paragraphStyles_.find(paragraphStyle);
        if (it == paragraphStyles_.end()) {
            ParagraphFormat format;
            ApplyParagraph(paragraphDefaults_, format);
            ForChain(paragraphStyle, [&](pugi::xml_node style) { ApplyParagraph(style.child("w:pPr"), format); });
            it = paragraphStyles_.emplace(paragraphStyle, format).first;
        }
        ParagraphFormat format = it->second;
        ApplyParagraph(paragraph.child("w:pPr"), format);
        return format;
    }

    // The table's borders: its style's, then its own.
    void TableBorders(pugi::xml_node table, std::map<std::string, Border>& out) const {
        const auto apply = [&](pugi::xml_node tblPr) {
            for (auto border : tblPr.child("w:tblBorders").children()) {
                std::string name = border.name();
                if (name == "w:start") name = "w:left";
                if (name == "w:end") name = "w:right";
                out[name] = ReadBorder(border);
            }
        };
        std::string style = defaultTable_;
        if (auto s = table.child("w:tblPr").child("w:tblStyle")) style = s.attribute("w:val").value();
        ForChain(style, [&](pugi::xml_node s) { apply(s.child("w:tblPr")); });
        apply(table.child("w:tblPr"));
    }

private:
    std::string ParagraphStyle(pugi::xml_node paragraph) const {
        if (auto style = paragraph.child("w:pPr").child("w:pStyle")) return style.attribute("w:val").value();
        return defaultParagraph_;
    }

    // Calls `apply` from the most basic style of the chain to `id` itself.
    template <typename Apply>
    void ForChain(const std::string& id, Apply apply) const {
        std::vector<pugi::xml_node> chain;
        std::string current = id;
        while (!current.empty() && chain.size() < 16) {
            const auto it = byId_.find(current);
            if (it == byId_.end()) break;
            chain.push_back(it->second);
            current = it->second.child("w:basedOn").attribute("w:val").value();
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) apply(*it);
    }

    pugi::xml_node runDefaults_;
    pugi::xml_node paragraphDefaults_;
    std::map<std::string, pugi::xml_node> byId_;
    std::string defaultParagraph_;
    std::string defaultTable_;
    std::map<std::string, CharacterFormat> runStyles_;
    std::map<std::string, ParagraphFormat> paragraphStyles_;
};

double Emu(pugi::xml_node extent, const char* attribute) { return Number(extent, attribute) / 12700.0; }

// A length in a legacy shape's style ("width:120pt;height:3in").
double StyleLength(std::string_view style, std::string_view name) {
    const auto at = style.find(std::string(name) + ":");
    if (at == std::string_view::npos) return 0;
    std::string_view rest = style.substr(at + name.size() + 1);
    double value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    if (error != std::errc()) return 0;
    const std::string_view unit = rest.substr(static_cast<std::size_t>(end - rest.data()), 2);
    if (unit == "in") return value * 72;
    if (unit == "cm") return value * 72 / 2.54;
    if (unit == "mm") return value * 72 / 25.4;
    if (unit == "px") return value * 0.75;
    return value;
}

class Reader {
public:
    Reader(const std::shared_ptr<detail::DocumentState>& doc, detail::Story& story)
        : doc_(doc), story_(story), formats_(doc->Package()) {}

    StoryLayout Read(long start, long minimum) {
        StoryLayout layout;
        layout.length = story_.Length();
        layout.start = std::clamp(start, 0L, layout.length);
        layout.end = layout.length;
        const long stopAt = minimum <= 0 ? layout.length : layout.start + minimum;
        const bool showHidden = doc_->ShowHiddenText();
        const bool showCodes = doc_->ShowFieldCodes();
        bool boundary = false;  // the last atom ended a top-level block
        story_.Visit(layout.start, layout.length, [&](const detail::Atom& atom) {
            if (atom.length == 0 || atom.start < layout.start) return true;
            if (boundary && atom.start >= stopAt) {
                layout.end = atom.start;
                return false;
            }
            boundary = false;
            if (atom.kind == detail::AtomKind::RowEnd) {
                RowEnd(layout, atom);
                boundary = levels_.size() == 1 && !atom.node.next_sibling("w:tr");
                return true;
            }
            Piece piece;
            piece.start = atom.start;
            piece.length = atom.length;
            piece.hidden = atom.hidden;
            piece.fieldCode = atom.fieldCode;
            piece.fieldDepth = atom.fieldDepth;
            ParagraphLayout& paragraph = Open(layout, atom.paragraph, atom.start);
            const bool mark = atom.kind == detail::AtomKind::ParagraphMark || atom.kind == detail::AtomKind::CellEnd;
            if (mark) {
                paragraph.mark = atom.start;
                paragraph.cellEnd = atom.kind == detail::AtomKind::CellEnd;
                paragraph.sectionBreak = atom.text == "\f";
                paragraph.markHidden = atom.hidden;
                paragraph.markShown = !atom.hidden || showHidden;
                paragraph.markFormat = formats_.Run(atom.paragraph, atom.paragraph.child("w:pPr").child("w:rPr"));
                TextBoxes(paragraph, atom.paragraph);
                if (paragraph.cellEnd) CellEnd(layout, atom);
                paragraph_ = {};
                boundary = !paragraph.cellEnd && levels_.empty();
                return true;
            }
            Describe(atom, piece);
            const bool visible = !atom.hidden || showHidden;
            const bool brace = piece.kind == PieceKind::FieldBegin || piece.kind == PieceKind::FieldEnd;
            if (piece.kind == PieceKind::FieldSeparator) piece.shown = false;
            // Codes shown: the braces and codes of the outermost fields, none of their results.
            else if (showCodes) piece.shown = visible && (atom.fieldDepth == 0 || atom.codeDepth > 0);
            // Results shown: exactly what the range's text reads.
            else piece.shown = visible && !atom.fieldCode && !brace;
            piece.inResult = piece.shown && !showCodes && atom.fieldDepth > 0;
            pugi::xml_node run = atom.node.parent();
            if (piece.kind == PieceKind::Picture || piece.kind == PieceKind::Object) {
                if (xml::Is(run, "mc:Choice") || xml::Is(run, "mc:Fallback")) run = run.parent().parent();
            }
            piece.format = formats_.Run(atom.paragraph, run.child("w:rPr"));
            paragraph.pieces.push_back(std::move(piece));
            return true;
        });
        return layout;
    }

private:
    struct Level {
        pugi::xml_node table;
        TableLayout* layout = nullptr;
        pugi::xml_node row;
        pugi::xml_node cell;
    };

    // The blocks a new block of `paragraph` goes into, opening the tables, rows and cells
    // around it.
    ParagraphLayout& Open(StoryLayout& layout, pugi::xml_node paragraph, long start) {
        if (paragraph_ == paragraph && current_) return *current_;
        // The tables around the paragraph, outermost first.
        std::vector<pugi::xml_node> cells;
        for (auto n = paragraph.parent(); n && n != story_.Root(); n = n.parent())
            if (xml::Is(n, "w:tc")) cells.push_back(n);
        // Rows and tables by their elements, content controls between them looked through.
        const auto up = [](pugi::xml_node n, const char* name) {
            while (n && !xml::Is(n, name)) n = n.parent();
            return n;
        };
        std::reverse(cells.begin(), cells.end());
        // Keep the levels that still hold the paragraph.
        std::size_t keep = 0;
        while (keep < levels_.size() && keep < cells.size() && levels_[keep].table == up(up(cells[keep], "w:tr"), "w:tbl"))
            ++keep;
        levels_.resize(keep);
        std::vector<Block>* blocks = &layout.blocks;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const auto cell = cells[i];
            const auto row = up(cell, "w:tr");
            const auto table = up(row, "w:tbl");
            if (i >= levels_.size()) {
                if (i > 0) blocks = &CurrentCell(i - 1).blocks;
                Block block;
                block.table = std::make_unique<TableLayout>();
                block.table->start = start;
                StartTable(*block.table, table);
                TableLayout* tableLayout = block.table.get();
                blocks->push_back(std::move(block));
                levels_.push_back({table, tableLayout, {}, {}});
            }
            Level& level = levels_[i];
            if (level.row != row) {
                level.row = row;
                level.cell = {};
                StartRow(level, row);
                level.layout->rows.back().start = start;
            }
            if (level.cell != cell) {
                level.cell = cell;
                StartCell(level, cell);
                CurrentCell(i).start = start;
            }
            blocks = &CurrentCell(i).blocks;
        }
        if (cells.empty()) blocks = &layout.blocks;
        Block block;
        block.paragraph = std::make_unique<ParagraphLayout>();
        current_ = block.paragraph.get();
        current_->start = start;
        current_->mark = start;
        current_->format = formats_.Paragraph(paragraph);
        paragraph_ = paragraph;
        blocks->push_back(std::move(block));
        return *current_;
    }

    CellLayout& CurrentCell(std::size_t level) { return levels_[level].layout->rows.back().cells.back(); }

    void StartTable(TableLayout& table, pugi::xml_node node) {
        const auto tblPr = node.child("w:tblPr");
        table.indent = Twips(tblPr.child("w:tblInd"), "w:w");
        const std::string_view jc = tblPr.child("w:jc").attribute("w:val").value();
        if (jc == "center") table.alignment = Alignment::Center;
        if (jc == "right" || jc == "end") table.alignment = Alignment::Right;
        for (auto column : node.child("w:tblGrid").children("w:gridCol")) table.grid.push_back(Twips(column, "w:w"));
        tableBorders_.clear();
        formats_.TableBorders(node, tableBorders_);
        bordersOf_[node.internal_object()] = tableBorders_;
    }

    void StartRow(Level& level, pugi::xml_node row) {
        RowLayout layout;
        layout.height = Twips(row.child("w:trPr").child("w:trHeight"), "w:val");
        level.layout->rows.push_back(std::move(layout));
        nextColumn_[level.layout] = static_cast<int>(Number(row.child("w:trPr").child("w:gridBefore"), "w:val"));
    }

    void StartCell(Level& level, pugi::xml_node cell) {
        CellLayout layout;
        const auto tcPr = cell.child("w:tcPr");
        layout.span = std::max(1, static_cast<int>(Number(tcPr.child("w:gridSpan"), "w:val", 1)));
        if (auto w = tcPr.child("w:tcW"); w && std::string_view(w.attribute("w:type").value()) != "pct")
            layout.width = Twips(w, "w:w");
        if (auto merge = tcPr.child("w:vMerge"))
            layout.verticalMerge = std::string_view(merge.attribute("w:val").value()) == "restart" ? VerticalMerge::Restart
                                                                                                  : VerticalMerge::Continue;
        layout.shading = Colour(tcPr.child("w:shd").attribute("w:fill").value());
        int& column = nextColumn_[level.layout];
        layout.gridColumn = column;
        column += layout.span;
        auto& table = bordersOf_[level.table.internal_object()];
        const auto& rows = level.layout->rows;
        const bool firstRow = rows.size() == 1;
        const auto edge = [&](const char* outer, const char* inner, bool atEdge) {
            const auto it = table.find(atEdge ? outer : inner);
            return it == table.end() ? Border() : it->second;
        };
        const int columns = static_cast<int>(level.layout->grid.size());
        const bool lastRow = !level.row.next_sibling("w:tr");
        layout.borders.top = edge("w:top", "w:insideH", firstRow);
        layout.borders.bottom = edge("w:bottom", "w:insideH", lastRow);
        layout.borders.left = edge("w:left", "w:insideV", layout.gridColumn == 0);
        layout.borders.right = edge("w:right", "w:insideV", layout.gridColumn + layout.span >= columns);
        for (auto border : tcPr.child("w:tcBorders").children()) {
            const std::string_view name = border.name();
            if (name == "w:top") layout.borders.top = ReadBorder(border);
            else if (name == "w:bottom") layout.borders.bottom = ReadBorder(border);
            else if (name == "w:left" || name == "w:start") layout.borders.left = ReadBorder(border);
            else if (name == "w:right" || name == "w:end") layout.borders.right = ReadBorder(border);
        }
        level.layout->rows.back().cells.push_back(std::move(layout));
    }

    void CellEnd(StoryLayout&, const detail::Atom& atom) {
        for (std::size_t i = levels_.size(); i > 0; --i)
            if (levels_[i - 1].cell == atom.paragraph.parent()) {
                CurrentCell(i - 1).end = atom.start + 1;
                levels_.resize(i);
                break;
            }
    }

    void RowEnd(StoryLayout&, const detail::Atom& atom) {
        for (std::size_t i = levels_.size(); i > 0; --i)
            if (levels_[i - 1].row == atom.node) {
                levels_.resize(i);
                Level& level = levels_.back();
                auto& row = level.layout->rows.back();
                row.endMark = atom.start;
                level.layout->end = atom.start + 1;
                level.cell = {};
                return;
            }
    }

    void Describe(const detail::Atom& atom, Piece& piece) {
        piece.text = std::string(atom.text);
        switch (atom.kind) {
        case detail::AtomKind::FieldBegin: piece.kind = PieceKind::FieldBegin; return;
        case detail::AtomKind::FieldSeparator: piece.kind = PieceKind::FieldSeparator; return;
        case detail::AtomKind::FieldEnd: piece.kind = PieceKind::FieldEnd; return;
        case detail::AtomKind::Text: piece.kind = PieceKind::Text; return;
        default: break;
        }
        if (atom.text == "\t") piece.kind = PieceKind::Tab;
        else if (atom.text == "\v") piece.kind = PieceKind::LineBreak;
        else if (atom.text == "\f") piece.kind = PieceKind::PageBreak;
        else if (atom.text == "\x0e") piece.kind = PieceKind::ColumnBreak;
        else if (atom.text == "\x01") Inline(atom.node, piece);
        else piece.kind = PieceKind::Symbol;
    }

    // An inline object: a picture when it shows an image, its size either way.
    void Inline(pugi::xml_node node, Piece& piece) {
        piece.kind = PieceKind::Object;
        if (xml::Is(node, "mc:AlternateContent")) {
            auto branch = node.child("mc:Choice") ? node.child("mc:Choice") : node.child("mc:Fallback");
            node = branch.first_child();
        }
        std::string id;
        if (xml::Is(node, "w:drawing")) {
            const auto frame = node.child("wp:inline");
            piece.width = Emu(frame.child("wp:extent"), "cx");
            piece.height = Emu(frame.child("wp:extent"), "cy");
            const auto blip = frame.select_node(".//a:blip").node();
            id = blip.attribute("r:embed").value();
            if (id.empty()) id = blip.attribute("r:link").value();
        } else {
            for (auto shape : node.children()) {
                const std::string_view style = shape.attribute("style").value();
                if (style.empty()) continue;
                piece.width = StyleLength(style, "width");
                piece.height = StyleLength(style, "height");
                id = shape.child("v:imagedata").attribute("r:id").value();
                break;
            }
        }
        if (id.empty()) return;
        piece.kind = PieceKind::Picture;
        auto& package = doc_->Package();
        if (const auto rel = package.RelationshipById(story_.Part(), id)) {
            if (rel->external) {
                piece.imageLink = rel->target;
            } else {
                const auto part = docx::Package::ResolveTarget(story_.Part(), rel->target);
                if (package.HasPart(part)) piece.imagePart = part;
            }
        }
    }

    // The text boxes anchored in the paragraph (not those of paragraphs inside them), each once:
    // the drawing form of a box saved in both forms.
    void TextBoxes(ParagraphLayout& paragraph, pugi::xml_node p) {
        for (auto found : p.select_nodes(".//w:txbxContent")) {
            const auto content = found.node();
            bool own = true;
            for (auto n = content.parent(); n && n != p; n = n.parent()) {
                if (xml::Is(n, "w:p") || xml::Is(n, "w:txbxContent")) own = false;
                if (xml::Is(n, "mc:Fallback") && n.parent().child("mc:Choice")) own = false;
            }
            if (!own) continue;
            paragraph.textBoxes.push_back(TextFrame(doc_, content, story_.Part()).TextRange());
        }
    }

    std::shared_ptr<detail::DocumentState> doc_;
    detail::Story& story_;
    Formats formats_;
    std::vector<Level> levels_;
    pugi::xml_node paragraph_;
    ParagraphLayout* current_ = nullptr;
    std::map<std::string, Border> tableBorders_;
    std::map<const void*, std::map<std::string, Border>> bordersOf_;
    std::map<const TableLayout*, int> nextColumn_;
};

}  // namespace

StoryLayout StoryLayout::Read(const Range& range) { return ReadPart(range, 0, 0); }

StoryLayout StoryLayout::ReadPart(const Range& range, long start, long minimum) {
    const auto& data = detail::RangeAccess::Of(range);
    auto& story = data->Live();
    return Reader(data->doc, story).Read(start, minimum);
}

long StoryLayout::BlockStart(const Range& range, long position) {
    const auto& data = detail::RangeAccess::Of(range);
    auto& story = data->Live();
    const long length = story.Length();
    if (length == 0) return 0;
    const auto atom = story.AtomAt(std::clamp(position, 0L, length - 1));
    if (!atom) return 0;
    // The outermost paragraph or table around the atom, content controls looked through.
    pugi::xml_node block;
    for (auto n = atom->paragraph ? atom->paragraph : atom->node; n && n != story.Root(); n = n.parent())
        if (xml::Is(n, "w:p") || xml::Is(n, "w:tbl")) block = n;
    if (!block) return 0;
    const auto span = story.SpanOf(block);
    return span ? span->first : 0;
}

std::string RetrievedText(const Piece& piece, bool showHidden) {
    if (piece.hidden && !showHidden) return {};
    if (piece.fieldCode || piece.kind == PieceKind::FieldBegin || piece.kind == PieceKind::FieldSeparator ||
        piece.kind == PieceKind::FieldEnd)
        return {};
    return piece.text;
}

}  // namespace paperloom::word::layout
