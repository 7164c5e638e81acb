#include "view/DocumentLayout.h"

#include <QFont>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

#include "host/word/Constants.h"
#include "host/word/Document.h"
#include "host/word/StoryLayout.h"
#include "host/word/settings/PageSetup.h"

namespace paperloom::desk::view {
namespace layout = word::layout;

namespace {

const QColor kFieldShading(0xD9, 0xD9, 0xD9);
const QColor kMarkerColour(0x80, 0x80, 0x80);

QColor Colour(const std::string& rrggbb) { return QColor(QString("#") + QString::fromStdString(rrggbb)); }

// Families for the fonts documents name that a desktop rarely has; the East Asian ones fall
// back to the installed CJK families so that Japanese text is drawn with Japanese glyphs.
void AddFontSubstitutions() {
    static const bool done = [] {
        const QString mincho = "Noto Serif CJK JP";
        const QString gothic = "Noto Sans CJK JP";
        for (const char* name : {"ＭＳ 明朝", "ＭＳ Ｐ明朝", "MS Mincho", "MS PMincho", "游明朝", "Yu Mincho",
                                 "HG明朝E", "ヒラギノ明朝 ProN"})
            QFont::insertSubstitution(QString::fromUtf8(name), mincho);
        for (const char* name : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "MS Gothic", "MS PGothic", "游ゴシック",
                                 "Yu Gothic", "メイリオ", "Meiryo", "ＭＳ ＵＩ ゴシック", "MS UI Gothic",
                                 "HGPｺﾞｼｯｸM", "ヒラギノ角ゴ ProN"})
            QFont::insertSubstitution(QString::fromUtf8(name), gothic);
        for (const char* name : {"Century", "Times New Roman", "Cambria", "Georgia"})
            QFont::insertSubstitution(QString::fromUtf8(name), "DejaVu Serif");
        for (const char* name : {"Arial", "Calibri", "Helvetica", "Segoe UI", "Tahoma", "Verdana"})
            QFont::insertSubstitution(QString::fromUtf8(name), "DejaVu Sans");
        return true;
    }();
    (void)done;
}

}  // namespace

// Builds the text document from the model's read-out of each story, block by block, keeping
// the stops as it goes. Text is only ever appended, so the positions recorded stay valid.
class DocumentLayout::Builder {
public:
    Builder(DocumentLayout& owner, word::Document& document, double scale)
        : owner_(owner), document_(document), scale_(scale), cursor_(&owner.text_) {
        showHidden_ = document.Windows().Item(1).View().ShowHiddenText();
    }

    void Build(long chunk, long from) {
        chunk_ = chunk;
        AddFontSubstitutions();
        QFont base("Noto Serif CJK JP");
        base.setPointSizeF(10.5);
        owner_.text_.setDefaultFont(base);
        owner_.text_.setDocumentMargin(0);
        owner_.text_.setUndoRedoEnabled(false);
        // Long words (property text, field codes, paths) break anywhere rather than widen
        // their table column, as the word processor breaks them.
        QTextOption wrapping = owner_.text_.defaultTextOption();
        wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        owner_.text_.setDefaultTextOption(wrapping);
        float width = 425;  // A4 less the usual margins, for a document without page setup
        try {
            auto setup = document_.PageSetup();
            width = setup.PageWidth() - setup.LeftMargin() - setup.RightMargin();
        } catch (...) {
        }
        if (width < 72) width = 425;
        owner_.textWidth_ = width * scale_;
        owner_.text_.setTextWidth(owner_.textWidth_);

        // Headers first, then the main text, then the footers, each labelled.
        auto sections = document_.Sections();
        const long kinds[] = {word::wdHeaderFooterPrimary, word::wdHeaderFooterFirstPage, word::wdHeaderFooterEvenPages};
        const char* headerNames[] = {"ヘッダー", "先頭ページのヘッダー", "偶数ページのヘッダー"};
        const char* footerNames[] = {"フッター", "先頭ページのフッター", "偶数ページのフッター"};
        std::vector<std::pair<QString, word::Range>> headers;
        if (sections.Count() > 0) {
            auto section = sections.First();
            for (int i = 0; i < 3; ++i) {
                auto header = section.Headers().Item(kinds[i]);
                if (header.Exists()) headers.emplace_back(QString::fromUtf8(headerNames[i]), header.Range());
                auto footer = section.Footers().Item(kinds[i]);
                if (footer.Exists()) footers_.emplace_back(QString::fromUtf8(footerNames[i]), footer.Range());
            }
        }
        // The main text is story 0 whatever is drawn before it.
        owner_.stories_.push_back({document_.Content(), {}, {}, {}});
        for (auto& [label, range] : headers) Framed(label, AddStory(range));
        if (from > 0) {
            next_ = layout::StoryLayout::BlockStart(owner_.stories_[0].range, from);
            first_ = next_;
        }
        if (first_ > 0) {
            NextBlock();
            QTextCharFormat format;
            format.setForeground(kMarkerColour);
            format.setFontPointSize(9);
            leftOut_.first = cursor_.position();
            cursor_.insertText(QString::fromUtf8("▲ ここより前の本文は表示を省いています（クリックで表示）"), format);
            leftOut_.second = cursor_.position();
        }
        Extend();
    }
    long First() const { return first_; }
    std::pair<int, int> LeftOut() const { return leftOut_; }

    // Reads the next part of the main text; after its end, the footers. False once complete.
    bool Extend(long minimum = 0) {
        if (complete_) return false;
        const std::size_t items = owner_.stories_[0].items.size();
        // One edit block: the text layout is told once about the whole part, not per insertion.
        QTextCursor batch(&owner_.text_);
        batch.beginEditBlock();
        const auto part = layout::StoryLayout::ReadPart(owner_.stories_[0].range, next_, minimum > 0 ? minimum : chunk_);
        Blocks(0, part.blocks);
        next_ = part.end;
        if (next_ >= part.length)
            for (auto& [label, range] : footers_) Framed(label, AddStory(range));
        batch.endEditBlock();
        auto& main = owner_.stories_[0];  // text boxes and footers add stories: taken only now
        // Cells a vertical merge covers are read out of order; the rest comes in order.
        const auto byStart = [](const DocumentLayout::Item& a, const DocumentLayout::Item& b) { return a.start < b.start; };
        std::sort(main.items.begin() + static_cast<std::ptrdiff_t>(items), main.items.end(), byStart);
        std::inplace_merge(main.items.begin(), main.items.begin() + static_cast<std::ptrdiff_t>(items), main.items.end(),
                           byStart);
        if (next_ < part.length) return true;
        complete_ = true;
        return false;
    }
    bool Complete() const { return complete_; }
    long BuiltUntil() const { return next_; }

private:
    int AddStory(const word::Range& range) {
        owner_.stories_.push_back({range, {}, {}, {}});
        return static_cast<int>(owner_.stories_.size()) - 1;
    }

    // A header, footer or text box: a frame with a dashed border, its label above it.
    void Framed(const QString& label, int story) {
        if (!label.isEmpty()) {
            NextBlock();
            QTextCharFormat format;
            format.setForeground(kMarkerColour);
            format.setFontPointSize(8);
            cursor_.insertText(label, format);
        }
        QTextFrameFormat frame;
        frame.setBorder(1);
        frame.setBorderStyle(QTextFrameFormat::BorderStyle_Dashed);
        frame.setBorderBrush(QColor(0xA0, 0xA0, 0xA0));
        frame.setPadding(4);
        frame.setMargin(2);
        QTextFrame* inserted = cursor_.insertFrame(frame);
        fresh_ = true;
        Story(story);
        cursor_.setPosition(inserted->lastPosition() + 1);
        fresh_ = true;
    }

    void Story(int story) {
        const auto read = layout::StoryLayout::Read(owner_.stories_[static_cast<std::size_t>(story)].range);
        Blocks(story, read.blocks);
        auto& items = owner_.stories_[static_cast<std::size_t>(story)].items;
        std::stable_sort(items.begin(), items.end(), [](const DocumentLayout::Item& a, const DocumentLayout::Item& b) { return a.start < b.start; });
    }

    void Blocks(int story, const std::vector<layout::Block>& blocks) {
        for (const auto& block : blocks) {
            if (block.paragraph) Paragraph(story, *block.paragraph);
            else if (block.table) Table(story, *block.table);
        }
    }

    void NextBlock() {
        if (!fresh_) cursor_.insertBlock();
        fresh_ = false;
    }

    QTextCharFormat CharFormat(const layout::CharacterFormat& format) const {
        QTextCharFormat out;
        QStringList families;
        if (!format.latinFont.empty()) families << QString::fromStdString(format.latinFont);
        if (!format.eastAsianFont.empty()) families << QString::fromStdString(format.eastAsianFont);
        families << "Noto Serif CJK JP";
        out.setFontFamilies(families);
        out.setFontPointSize(std::clamp(format.size, 1.0, 400.0) * scale_ * 72.0 / 96.0);
        if (format.bold) out.setFontWeight(QFont::Bold);
        if (format.italic) out.setFontItalic(true);
        if (format.strike) out.setFontStrikeOut(true);
        switch (format.underline) {
        case layout::Underline::None: break;
        case layout::Underline::Dotted: out.setUnderlineStyle(QTextCharFormat::DotLine); break;
        case layout::Underline::Dashed: out.setUnderlineStyle(QTextCharFormat::DashUnderline); break;
        case layout::Underline::Wavy: out.setUnderlineStyle(QTextCharFormat::WaveUnderline); break;
        default: out.setUnderlineStyle(QTextCharFormat::SingleUnderline); break;
        }
        if (!format.color.empty()) out.setForeground(Colour(format.color));
        if (!format.shading.empty()) out.setBackground(Colour(format.shading));
        return out;
    }

    QTextBlockFormat BlockFormat(const layout::ParagraphFormat& format) const {
        QTextBlockFormat out;
        switch (format.alignment) {
        case layout::Alignment::Left: out.setAlignment(Qt::AlignLeft); break;
        case layout::Alignment::Center: out.setAlignment(Qt::AlignHCenter); break;
        case layout::Alignment::Right: out.setAlignment(Qt::AlignRight); break;
        default: out.setAlignment(Qt::AlignJustify); break;
        }
        out.setLeftMargin(std::max(0.0, format.leftIndent) * scale_);
        out.setRightMargin(std::max(0.0, format.rightIndent) * scale_);
        out.setTextIndent(format.firstLine * scale_);
        out.setTopMargin(std::max(0.0, format.spaceBefore) * scale_);
        out.setBottomMargin(std::max(0.0, format.spaceAfter) * scale_);
        if (format.lineSpacing != 1)
            out.setLineHeight(std::clamp(format.lineSpacing, 0.5, 5.0) * 100, QTextBlockFormat::ProportionalHeight);
        return out;
    }

    void Stop(int story, long position) {
        auto& s = owner_.stories_[static_cast<std::size_t>(story)];
        const int at = cursor_.position();
        s.stops.push_back(position);
        s.stopText.push_back(at);
        owner_.byText_.push_back({at, story, position});
    }

    void Item(int story, long start, long length, QString text) {
        owner_.stories_[static_cast<std::size_t>(story)].items.push_back({start, length, std::move(text)});
    }

    // A marker drawn for a break: grey and small, its first character the break's stop.
    void Marker(int story, long position, const QString& text) {
        QTextCharFormat format;
        format.setForeground(kMarkerColour);
        format.setFontPointSize(7.5);
        if (position >= 0) Stop(story, position);
        cursor_.insertText(text, format);
    }

    void Paragraph(int story, const layout::ParagraphLayout& paragraph) {
        NextBlock();
        cursor_.setBlockFormat(BlockFormat(paragraph.format));
        // Merged: the first block of a table cell carries the cell's own format (borders,
        // shading) in its block character format.
        cursor_.mergeBlockCharFormat(CharFormat(paragraph.markFormat));
        for (const auto& piece : paragraph.pieces) {
            Item(story, piece.start, piece.length, QString::fromStdString(layout::RetrievedText(piece, showHidden_)));
            if (!piece.shown) continue;
            QTextCharFormat format = CharFormat(piece.format);
            if (piece.hidden) {
                format.setUnderlineStyle(QTextCharFormat::DotLine);
                format.setUnderlineColor(kMarkerColour);
            }
            if ((piece.inResult || piece.fieldCode || piece.kind == layout::PieceKind::FieldBegin ||
                 piece.kind == layout::PieceKind::FieldEnd) && piece.format.shading.empty())
                format.setBackground(kFieldShading);
            switch (piece.kind) {
            case layout::PieceKind::Text: {
                const QString text = QString::fromStdString(piece.text);
                const int at = cursor_.position();
                for (qsizetype i = 0; i < text.size(); ++i) {
                    auto& s = owner_.stories_[static_cast<std::size_t>(story)];
                    s.stops.push_back(piece.start + static_cast<long>(i));
                    s.stopText.push_back(at + static_cast<int>(i));
                    owner_.byText_.push_back({at + static_cast<int>(i), story, piece.start + static_cast<long>(i)});
                }
                cursor_.insertText(text, format);
                break;
            }
            case layout::PieceKind::Tab:
                Stop(story, piece.start);
                cursor_.insertText("\t", format);
                break;
            case layout::PieceKind::LineBreak:
                Stop(story, piece.start);
                cursor_.insertText(QString(QChar::LineSeparator), format);
                break;
            case layout::PieceKind::PageBreak:
                Marker(story, piece.start, QString::fromUtf8(" ……… 改ページ ……… "));
                cursor_.insertText(QString(QChar::LineSeparator), format);
                break;
            case layout::PieceKind::ColumnBreak:
                Marker(story, piece.start, QString::fromUtf8(" …… 段区切り …… "));
                break;
            case layout::PieceKind::Picture: Picture(story, piece, format); break;
            case layout::PieceKind::Object:
                Stop(story, piece.start);
                cursor_.insertText(QString::fromUtf8("▣"), format);
                break;
            case layout::PieceKind::FieldBegin:
                Stop(story, piece.start);
                cursor_.insertText("{", format);
                break;
            case layout::PieceKind::FieldEnd:
                Stop(story, piece.start);
                cursor_.insertText("}", format);
                break;
            case layout::PieceKind::Symbol:
            case layout::PieceKind::FieldSeparator:
                Stop(story, piece.start);
                cursor_.insertText(piece.text == "\x1e" ? QString("-") : QString(QChar(0x00B7)), format);
                break;
            }
        }
        if (paragraph.sectionBreak && paragraph.markShown)
            Marker(story, -1, QString::fromUtf8(" ::::::: セクション区切り ::::::: "));
        Item(story, paragraph.mark, 1,
             paragraph.markHidden && !showHidden_ ? QString()
                                                  : QString(paragraph.cellEnd ? "\r\a" : paragraph.sectionBreak ? "\f" : "\r"));
        if (paragraph.markShown) Stop(story, paragraph.mark);
        for (const auto& box : paragraph.textBoxes) Framed(QString::fromUtf8("テキスト ボックス"), AddStory(box));
    }

    void Picture(int story, const layout::Piece& piece, const QTextCharFormat& format) {
        Stop(story, piece.start);
        const QString name = QString("paperloom-image:%1%2")
                                 .arg(QString::fromStdString(piece.imagePart), QString::fromStdString(piece.imageLink));
        QImage image;
        if (!piece.imageLink.empty()) {
            // A linked picture shows the file it links to, as long as that file is there.
            const QUrl link(QString::fromStdString(piece.imageLink));
            image.load(link.isLocalFile() ? link.toLocalFile() : QString::fromStdString(piece.imageLink));
        } else if (!piece.imagePart.empty()) {
            try {
                const std::string bytes = document_.Package().PartBytes(piece.imagePart);
                image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
            } catch (...) {
            }
        }
        // Sizes come from the file: kept within the page and above nothing before use.
        const double limit = owner_.textWidth_;
        double width = std::clamp(piece.width * scale_, 0.0, 4 * limit);
        double height = std::clamp(piece.height * scale_, 0.0, 8 * limit);
        if (image.isNull()) {
            // A picture that cannot be read is drawn as an empty box of its size.
            image = QImage(std::max(8, static_cast<int>(width)), std::max(8, static_cast<int>(height)), QImage::Format_RGB32);
            image.fill(QColor(0xEE, 0xEE, 0xEE));
        }
        if (width <= 0 || height <= 0) {
            width = image.width();
            height = image.height();
        }
        if (width > limit) {
            height *= limit / width;
            width = limit;
        }
        owner_.text_.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat picture;
        picture.merge(format);
        picture.setName(name);
        picture.setWidth(width);
        picture.setHeight(height);
        cursor_.insertImage(picture);
    }

    void Table(int story, const layout::TableLayout& table) {
        int columns = static_cast<int>(table.grid.size());
        for (const auto& row : table.rows)
            for (const auto& cell : row.cells) columns = std::max(columns, cell.gridColumn + cell.span);
        const int rows = static_cast<int>(table.rows.size());
        // Every position of the table is an item, drawn or not.
        if (rows == 0 || columns == 0) return;
        // Inserted at the end of the paragraph before it (a table put into an empty block
        // would leave that block as an empty line above it).
        fresh_ = false;
        QTextTableFormat format;
        // With collapsed borders each cell draws its own; the table's own border is only the
        // switch that has them drawn.
        format.setBorder(1);
        format.setBorderBrush(Qt::NoBrush);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_None);
        format.setBorderCollapse(true);
        format.setCellSpacing(0);
        format.setCellPadding(0);
        format.setLeftMargin(std::max(0.0, table.indent) * scale_);
        if (table.alignment == layout::Alignment::Center) format.setAlignment(Qt::AlignHCenter);
        if (table.alignment == layout::Alignment::Right) format.setAlignment(Qt::AlignRight);
        QList<QTextLength> widths;
        for (int c = 0; c < columns; ++c) {
            const double w = c < static_cast<int>(table.grid.size()) ? table.grid[static_cast<std::size_t>(c)] : 0;
            widths << (w > 0 ? QTextLength(QTextLength::FixedLength, w * scale_) : QTextLength());
        }
        format.setColumnWidthConstraints(widths);
        QTextTable* inserted = cursor_.insertTable(rows, columns, format);
        // Merges first, so that filling the cells in order only ever appends.
        for (int r = 0; r < rows; ++r) {
            for (const auto& cell : table.rows[static_cast<std::size_t>(r)].cells) {
                if (cell.verticalMerge == layout::VerticalMerge::Continue) continue;
                int down = 1;
                if (cell.verticalMerge == layout::VerticalMerge::Restart)
                    while (r + down < rows && Continues(table.rows[static_cast<std::size_t>(r + down)], cell.gridColumn)) ++down;
                if (down > 1 || cell.span > 1) inserted->mergeCells(r, cell.gridColumn, down, cell.span);
            }
        }
        for (int r = 0; r < rows; ++r) {
            const auto& row = table.rows[static_cast<std::size_t>(r)];
            for (const auto& cell : row.cells) {
                if (cell.verticalMerge == layout::VerticalMerge::Continue) {
                    Hidden(story, cell.blocks);
                    continue;
                }
                QTextTableCell qcell = inserted->cellAt(r, cell.gridColumn);
                qcell.setFormat(CellFormat(cell, row));
                cursor_ = qcell.firstCursorPosition();
                fresh_ = true;
                Blocks(story, cell.blocks);
            }
            Item(story, row.endMark, 1, QString("\r\a"));
        }
        cursor_.setPosition(inserted->lastPosition() + 1);
        fresh_ = true;
    }

    static bool Continues(const layout::RowLayout& row, int column) {
        for (const auto& cell : row.cells)
            if (cell.gridColumn == column) return cell.verticalMerge == layout::VerticalMerge::Continue;
        return false;
    }

    QTextTableCellFormat CellFormat(const layout::CellLayout& cell, const layout::RowLayout&) const {
        QTextTableCellFormat format;
        const auto side = [&](const layout::Border& border, auto setWidth, auto setBrush, auto setStyle) {
            (format.*setWidth)(border.present ? std::max(1.0, border.width * scale_) : 0);
            (format.*setBrush)(border.present ? QBrush(border.color.empty() ? QColor(Qt::black) : Colour(border.color))
                                              : QBrush(Qt::NoBrush));
            (format.*setStyle)(border.present ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
        };
        side(cell.borders.top, &QTextTableCellFormat::setTopBorder, &QTextTableCellFormat::setTopBorderBrush,
             &QTextTableCellFormat::setTopBorderStyle);
        side(cell.borders.bottom, &QTextTableCellFormat::setBottomBorder, &QTextTableCellFormat::setBottomBorderBrush,
             &QTextTableCellFormat::setBottomBorderStyle);
        side(cell.borders.left, &QTextTableCellFormat::setLeftBorder, &QTextTableCellFormat::setLeftBorderBrush,
             &QTextTableCellFormat::setLeftBorderStyle);
        side(cell.borders.right, &QTextTableCellFormat::setRightBorder, &QTextTableCellFormat::setRightBorderBrush,
             &QTextTableCellFormat::setRightBorderStyle);
        format.setLeftPadding(5.4 * scale_);
        format.setRightPadding(5.4 * scale_);
        format.setTopPadding(1);
        format.setBottomPadding(1);
        if (!cell.shading.empty()) format.setBackground(Colour(cell.shading));
        return format;
    }

    // The positions of content the view does not draw (cells a vertical merge covers).
    void Hidden(int story, const std::vector<layout::Block>& blocks) {
        for (const auto& block : blocks) {
            if (block.paragraph) {
                for (const auto& piece : block.paragraph->pieces)
                    Item(story, piece.start, piece.length,
                         QString::fromStdString(layout::RetrievedText(piece, showHidden_)));
                Item(story, block.paragraph->mark, 1,
                     block.paragraph->markHidden && !showHidden_ ? QString()
                                                                 : QString(block.paragraph->cellEnd ? "\r\a" : "\r"));
            } else if (block.table) {
                for (const auto& row : block.table->rows) {
                    for (const auto& cell : row.cells) Hidden(story, cell.blocks);
                    Item(story, row.endMark, 1, QString("\r\a"));
                }
            }
        }
    }

    DocumentLayout& owner_;
    word::Document& document_;
    double scale_;
    QTextCursor cursor_;
    bool fresh_ = true;  // the cursor's block is empty and waits for the next paragraph
    bool showHidden_ = false;
    long chunk_ = 0;    // positions of the main text read at a time; 0 for all at once
    long next_ = 0;     // where the main text's next part starts
    long first_ = 0;    // where the main text shown starts
    std::pair<int, int> leftOut_{0, 0};
    bool complete_ = false;
    std::vector<std::pair<QString, word::Range>> footers_;
};

DocumentLayout::DocumentLayout(word::Document& document, long chunk, long from, double pixelsPerPoint)
    : builder_(std::make_unique<Builder>(*this, document, pixelsPerPoint)) {
    builder_->Build(chunk, from);
}

DocumentLayout::~DocumentLayout() = default;

bool DocumentLayout::Extend(long minimum) { return builder_->Extend(minimum); }
bool DocumentLayout::Complete() const { return builder_->Complete(); }
long DocumentLayout::MainBuiltUntil() const { return builder_->BuiltUntil(); }
long DocumentLayout::MainBuiltFrom() const { return builder_->First(); }
std::pair<int, int> DocumentLayout::LeftOutLine() const { return builder_->LeftOut(); }

word::Range DocumentLayout::StoryRange(int story) const {
    auto range = stories_.at(static_cast<std::size_t>(story)).range.Duplicate();
    range.SetRange(0, range.StoryLength());
    return range;
}

std::optional<int> DocumentLayout::StoryOf(const word::Range& range) const {
    auto point = range.Duplicate();
    point.Collapse(word::wdCollapseStart);
    for (int i = 0; i < StoryCount(); ++i)
        if (point.InRange(StoryRange(i))) return i;
    return std::nullopt;
}

word::Range DocumentLayout::RangeOf(int story, long start, long end) const {
    auto range = stories_.at(static_cast<std::size_t>(story)).range.Duplicate();
    range.SetRange(start, end);
    return range;
}

int DocumentLayout::TextPosition(StoryPosition at) const {
    if (at.story < 0 || at.story >= StoryCount()) return 0;
    const auto& story = stories_[static_cast<std::size_t>(at.story)];
    if (story.stops.empty()) return 0;
    auto it = std::lower_bound(story.stops.begin(), story.stops.end(), at.position);
    if (it == story.stops.end()) --it;
    return story.stopText[static_cast<std::size_t>(it - story.stops.begin())];
}

StoryPosition DocumentLayout::PositionAt(int textPosition) const {
    if (byText_.empty()) return {};
    auto it = std::lower_bound(byText_.begin(), byText_.end(), textPosition,
                               [](const Anchor& a, int p) { return a.textPosition < p; });
    if (it == byText_.end()) --it;
    return {it->story, it->position};
}

StoryPosition DocumentLayout::Step(StoryPosition at, int direction) const {
    const auto& stops = stories_.at(static_cast<std::size_t>(at.story)).stops;
    if (stops.empty()) return at;
    auto it = std::lower_bound(stops.begin(), stops.end(), at.position);
    if (direction < 0) {
        if (it == stops.begin()) return {at.story, stops.front()};
        return {at.story, *std::prev(it)};
    }
    if (it != stops.end() && *it == at.position) ++it;
    if (it == stops.end()) return {at.story, stops.back()};
    return {at.story, *it};
}

QString DocumentLayout::RetrievedText(int story, long start, long end) const {
    QString out;
    for (const auto& item : stories_.at(static_cast<std::size_t>(story)).items) {
        if (item.start + item.length <= start || item.start >= end) continue;
        if (item.length == 1 || item.text.size() != item.length) {
            out += item.text;
            continue;
        }
        const long from = std::max(start, item.start) - item.start;
        const long to = std::min(end, item.start + item.length) - item.start;
        out += item.text.mid(from, to - from);
    }
    return out;
}

}  // namespace paperloom::desk::view
