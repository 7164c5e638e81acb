#include "view/DocumentView.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include "edit/DocumentEditor.h"
#include "host/word/Application.h"
#include "host/word/Constants.h"
#include "host/word/Document.h"

namespace paperloom::desk::view {
namespace {

constexpr int kMargin = 24;  // grey around the page column
constexpr int kPagePadding = 36;
// Positions of the main text built before the view first shows, and then at a time while the
// user looks (about a tenth of a second each on a long print document).
constexpr long kFirstPart = 12000;
constexpr long kLaterPart = 2000;

}  // namespace

DocumentView::DocumentView(std::shared_ptr<word::Document> document, QWidget* parent)
    : QAbstractScrollArea(parent), document_(std::move(document)) {
    setObjectName("documentView");
    setAttribute(Qt::WA_InputMethodEnabled, true);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(20);
    // What an add-in changes outside a command (a modeless dialog, an event) shows too: the
    // check is a comparison of numbers unless something changed.
    poll_.setInterval(150);
    QObject::connect(&poll_, &QTimer::timeout, this, [this] {
        if (!isVisible() || !updatesEnabled() || !window()->updatesEnabled()) return;
        if (document_ && !document_->Closed() && document_->Application() &&
            !document_->Application()->ScreenUpdating())
            return;
        Refresh();
    });
    poll_.start();
    extend_.setSingleShot(true);
    extend_.setInterval(0);
    QObject::connect(&extend_, &QTimer::timeout, this, [this] {
        if (BuildNextPart()) ExtendLater();
    });
    Refresh();
}

bool DocumentView::Stale() const {
    if (!document_ || document_->Closed()) return layout_ != nullptr;
    const auto view = document_->Windows().Item(1).View();
    return document_->Revision() != revision_ || view.ShowHiddenText() != showHidden_ ||
           view.ShowFieldCodes() != showCodes_;
}

bool DocumentView::BuildNextPart() {
    if (!layout_ || layout_->Complete()) return false;
    // Parts read after a change would not meet what was built before it.
    if (Stale()) {
        Refresh();
        return layout_ && !layout_->Complete();
    }
    const bool more = layout_->Extend(kLaterPart);
    UpdateScrollBars();
    viewport()->update();
    return more;
}

void DocumentView::ExtendLater() {
    if (layout_ && !layout_->Complete()) extend_.start();
}

void DocumentView::CompleteLayout() {
    if (Stale()) Refresh();
    if (!layout_) return;
    while (layout_->Extend(8 * kFirstPart)) {
    }
    UpdateScrollBars();
    viewport()->update();
}

void DocumentView::BuildUpTo(StoryPosition at) {
    if (!layout_ || at.story != 0 || Stale()) return;
    if (at.position < layout_->MainBuiltFrom()) {
        // Before what is shown: shown again from there.
        layout_ = std::make_unique<DocumentLayout>(*document_, kFirstPart,
                                                   at.position > 2 * kFirstPart ? at.position - kFirstPart / 4 : 0);
        UpdateScrollBars();
        ExtendLater();
    }
    while (!layout_->Complete() && layout_->MainBuiltUntil() <= at.position) layout_->Extend();
}

DocumentView::~DocumentView() = default;

bool DocumentView::Refresh() {
    if (!document_ || document_->Closed()) {
        if (layout_) {
            layout_.reset();
            viewport()->update();
        }
        return false;
    }
    bool rebuilt = false;
    try {
        if (!layout_ || Stale()) {
            Rebuild();
            rebuilt = true;
        }
        if (ReadSelection() || rebuilt) {
            if (!rebuilt) EnsureCaretVisible();
            viewport()->update();
        }
    } catch (const std::exception&) {
        // A story the layout holds went away under it (a text box replaced wholesale): read
        // the document again; what cannot be read is not drawn rather than ending the program.
        try {
            Rebuild();
            rebuilt = true;
        } catch (const std::exception&) {
            layout_.reset();
            viewport()->update();
        }
    }
    return rebuilt;
}

void DocumentView::Rebuild() {
    const auto view = document_->Windows().Item(1).View();
    // A long document changed far from its start shows again from a little before the caret,
    // rather than from its start up to the caret.
    from_ = 0;
    if (layout_ && caret_.story == 0 && caret_.position > 2 * kFirstPart) from_ = caret_.position - kFirstPart / 4;
    revision_ = document_->Revision();
    showHidden_ = view.ShowHiddenText();
    showCodes_ = view.ShowFieldCodes();
    layout_ = std::make_unique<DocumentLayout>(*document_, kFirstPart, from_);
    // The selection is read again against the new layout.
    selectionStory_ = -1;
    ReadSelection();
    UpdateScrollBars();
    EnsureCaretVisible();
    viewport()->update();
    ExtendLater();
}

bool DocumentView::ReadSelection() {
    if (!layout_) return false;
    auto selection = document_->Selection();
    const auto range = selection.Range();
    const auto story = layout_->StoryOf(range);
    if (!story) return false;
    const long start = range.Start();
    const long end = range.End();
    if (*story == selectionStory_ && start == selectionStart_ && end == selectionEnd_) return false;
    selectionStory_ = *story;
    selectionStart_ = start;
    selectionEnd_ = end;
    anchor_ = {*story, start};
    caret_ = {*story, end};
    // Moved by an add-in (or a menu): formatting waiting at the old caret no longer applies.
    if (editor_ && !editing_) editor_->SelectionMoved();
    BuildUpTo(caret_);
    EnsureCaretVisible();
    return true;
}

void DocumentView::WriteSelection() {
    if (!layout_ || !document_ || document_->Closed()) return;
    const long start = std::min(anchor_.position, caret_.position);
    const long end = std::max(anchor_.position, caret_.position);
    document_->Selection().Select(layout_->RangeOf(caret_.story, start, end));
    selectionStory_ = caret_.story;
    selectionStart_ = start;
    selectionEnd_ = end;
}

void DocumentView::SetCaret(StoryPosition at, bool extend) {
    if (!layout_) return;
    if (extend && at.story != anchor_.story) return;  // a selection stays in one story
    BuildUpTo(at);
    if (editor_ && !(at == caret_ && !extend)) editor_->SelectionMoved();
    caret_ = at;
    if (!extend) anchor_ = at;
    try {
        WriteSelection();
    } catch (const std::exception&) {
        Refresh();  // the story went away under the layout: read the document again
        return;
    }
    EnsureCaretVisible();
    viewport()->update();
}

int DocumentView::TextCaret() const { return layout_ ? layout_->TextPosition(caret_) : 0; }

QPointF DocumentView::Origin() const {
    const double width = layout_ ? layout_->TextWidth() : 0;
    const double left = std::max<double>(kMargin + kPagePadding, (viewport()->width() - width) / 2.0);
    return {left - horizontalScrollBar()->value(), static_cast<double>(kMargin + kPagePadding - verticalScrollBar()->value())};
}

void DocumentView::UpdateScrollBars() {
    if (!layout_) return;
    const QSizeF size = layout_->Text().documentLayout()->documentSize();
    const int height = static_cast<int>(size.height()) + 2 * (kMargin + kPagePadding);
    const int width = static_cast<int>(layout_->TextWidth()) + 2 * (kMargin + kPagePadding);
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
}

QRect DocumentView::CaretRect() const {
    if (!layout_) return {};
    const auto& text = layout_->Text();
    const int position = TextCaret();
    const QTextBlock block = text.findBlock(position);
    if (!block.isValid()) return {};
    const QRectF blockRect = text.documentLayout()->blockBoundingRect(block);
    const QTextLayout* lines = block.layout();
    QPointF at = blockRect.topLeft();
    double height = 16;
    if (lines) {
        const int inBlock = position - block.position();
        QTextLine line = lines->lineForTextPosition(inBlock);
        if (!line.isValid() && lines->lineCount() > 0) line = lines->lineAt(lines->lineCount() - 1);
        if (line.isValid()) {
            at += QPointF(line.cursorToX(inBlock), line.y()) - lines->boundingRect().topLeft();
            height = line.height();
        }
    }
    at += Origin();
    return QRect(QPoint(static_cast<int>(at.x()), static_cast<int>(at.y())), QSize(1, static_cast<int>(height)));
}

StoryPosition DocumentView::PositionAtPoint(const QPoint& point) const {
    if (!layout_) return {};
    const QPointF inText = QPointF(point) - Origin();
    const int hit = layout_->Text().documentLayout()->hitTest(inText, Qt::FuzzyHit);
    return layout_->PositionAt(std::max(0, hit));
}

void DocumentView::EnsureCaretVisible() {
    if (!layout_) return;
    UpdateScrollBars();
    const QRect caret = CaretRect();
    if (caret.isNull()) return;
    auto* bar = verticalScrollBar();
    if (caret.top() < 0) bar->setValue(bar->value() + caret.top() - kMargin);
    else if (caret.bottom() > viewport()->height())
        bar->setValue(bar->value() + caret.bottom() - viewport()->height() + kMargin);
}

QString DocumentView::ShownText() const { return layout_ ? layout_->Text().toPlainText() : QString(); }

QString DocumentView::SelectedText() const {
    if (!layout_) return {};
    return layout_->RetrievedText(caret_.story, std::min(anchor_.position, caret_.position),
                                  std::max(anchor_.position, caret_.position));
}

void DocumentView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), QColor(0xE4, 0xE4, 0xE4));
    if (!layout_) return;
    const QPointF origin = Origin();
    const QSizeF size = layout_->Text().documentLayout()->documentSize();
    const QRectF page(origin.x() - kPagePadding, origin.y() - kPagePadding, layout_->TextWidth() + 2 * kPagePadding,
                      size.height() + 2 * kPagePadding);
    painter.fillRect(page, Qt::white);
    painter.setPen(QColor(0xC0, 0xC0, 0xC0));
    painter.drawRect(page);

    painter.translate(origin);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(event->rect()).translated(-origin);
    context.palette = palette();
    context.palette.setColor(QPalette::Text, Qt::black);
    const int caret = TextCaret();
    const int anchor = layout_->TextPosition(anchor_);
    if (caret != anchor) {
        QAbstractTextDocumentLayout::Selection selection;
        selection.cursor = QTextCursor(const_cast<QTextDocument*>(&layout_->Text()));
        selection.cursor.setPosition(anchor);
        selection.cursor.setPosition(caret, QTextCursor::KeepAnchor);
        selection.format.setBackground(palette().highlight());
        selection.format.setForeground(palette().highlightedText());
        context.selections.append(selection);
    } else {
        context.cursorPosition = caret;
    }
    layout_->Text().documentLayout()->draw(&painter, context);
    painter.resetTransform();
    if (!preedit_.isEmpty()) {
        // Text being composed by the input method, underlined at the caret until it is committed.
        const QRect at = CaretRect();
        QFont font = layout_->Text().defaultFont();
        painter.setFont(font);
        const QRect box = painter.fontMetrics().boundingRect(preedit_).translated(at.left(), at.bottom() - 3);
        painter.fillRect(box.adjusted(-1, 0, 1, 0), Qt::white);
        painter.setPen(Qt::black);
        painter.drawText(at.left(), at.bottom() - 3, preedit_);
        painter.drawLine(box.left(), at.bottom(), box.right(), at.bottom());
    }
}

void DocumentView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void DocumentView::scrollContentsBy(int, int) {
    // Scrolled near the end of what is built: build on before the user gets there.
    auto* bar = verticalScrollBar();
    if (layout_ && !layout_->Complete() && !Stale() && bar->value() > bar->maximum() - 2 * bar->pageStep()) {
        layout_->Extend();
        UpdateScrollBars();
    }
    viewport()->update();
}

void DocumentView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !layout_) return;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const auto [from, to] = layout_->LeftOutLine();
    if (from < to) {
        const int hit = layout_->Text().documentLayout()->hitTest(QPointF(event->position()) - Origin(), Qt::ExactHit);
        if (hit >= from && hit <= to) {
            // The line standing for the text left out: the whole text from its start.
            SetCaret({0, 0});
            return;
        }
    }
    SetCaret(PositionAtPoint(event->position().toPoint()), extend);
}

void DocumentView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !layout_) return;
    SetCaret(PositionAtPoint(event->position().toPoint()), true);
}

void DocumentView::MoveVertically(int lines, bool extend) {
    QTextCursor cursor(&layout_->Text());
    cursor.setPosition(TextCaret());
    for (int i = 0; i < std::abs(lines); ++i)
        cursor.movePosition(lines < 0 ? QTextCursor::Up : QTextCursor::Down);
    // Out of a table's or frame's last line, the cursor may not move: go to the next block.
    if (cursor.position() == TextCaret())
        cursor.movePosition(lines < 0 ? QTextCursor::PreviousBlock : QTextCursor::NextBlock);
    const StoryPosition to = layout_->PositionAt(cursor.position());
    if (!extend || to.story == anchor_.story) SetCaret(to, extend);
}

void DocumentView::MoveInLine(bool toEnd, bool extend) {
    QTextCursor cursor(&layout_->Text());
    cursor.setPosition(TextCaret());
    cursor.movePosition(toEnd ? QTextCursor::EndOfLine : QTextCursor::StartOfLine);
    SetCaret(layout_->PositionAt(cursor.position()), extend);
}

bool DocumentView::Edit(const std::function<void()>& change) {
    if (!editor_ || !document_ || document_->Closed()) return false;
    editing_ = true;
    try {
        change();
    } catch (...) {
        QApplication::beep();
    }
    Refresh();
    editing_ = false;
    EnsureCaretVisible();
    return true;
}

void DocumentView::keyPressEvent(QKeyEvent* event) {
    if (!layout_) return;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const auto& stops = layout_->Stops(caret_.story);
    switch (event->key()) {
    case Qt::Key_Left: SetCaret(layout_->Step(caret_, -1), shift); return;
    case Qt::Key_Right: SetCaret(layout_->Step(caret_, +1), shift); return;
    case Qt::Key_Up: MoveVertically(-1, shift); return;
    case Qt::Key_Down: MoveVertically(+1, shift); return;
    case Qt::Key_PageUp: MoveVertically(-std::max(1, viewport()->height() / 20), shift); return;
    case Qt::Key_PageDown: MoveVertically(std::max(1, viewport()->height() / 20), shift); return;
    case Qt::Key_Home:
        if (control && !stops.empty()) SetCaret({caret_.story, stops.front()}, shift);
        else MoveInLine(false, shift);
        return;
    case Qt::Key_End:
        if (control && !stops.empty()) SetCaret({caret_.story, stops.back()}, shift);
        else MoveInLine(true, shift);
        return;
    default: break;
    }
    if (event->matches(QKeySequence::SelectAll) && !stops.empty()) {
        anchor_ = {caret_.story, stops.front()};
        SetCaret({caret_.story, layout_->StoryRange(caret_.story).StoryLength()}, true);
        return;
    }
    if (!editor_) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    auto& editor = *editor_;
    if (event->matches(QKeySequence::Undo)) Edit([&] { editor.Undo(); });
    else if (event->matches(QKeySequence::Redo)) Edit([&] { editor.Redo(); });
    else if (event->matches(QKeySequence::Cut)) Edit([&] { editor.Cut(); });
    else if (event->matches(QKeySequence::Copy)) Edit([&] { editor.Copy(); });
    else if (event->matches(QKeySequence::Paste)) Edit([&] { editor.Paste(); });
    else if (event->matches(QKeySequence::Bold)) Edit([&] { editor.ToggleBold(); });
    else if (event->matches(QKeySequence::Italic)) Edit([&] { editor.ToggleItalic(); });
    else if (event->matches(QKeySequence::Underline)) Edit([&] { editor.ToggleUnderline(); });
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) Edit([&] { editor.NewParagraph(); });
    else if (event->key() == Qt::Key_Backspace) Edit([&] { editor.Backspace(); });
    else if (event->key() == Qt::Key_Delete) Edit([&] { editor.DeleteForward(); });
    else if (event->key() == Qt::Key_Tab) Edit([&] { editor.Tab(); });
    else if (!event->text().isEmpty() && !control && event->text().at(0).isPrint())
        Edit([&] { editor.TypeText(event->text().toStdString()); });
    else QAbstractScrollArea::keyPressEvent(event);
}

void DocumentView::inputMethodEvent(QInputMethodEvent* event) {
    preedit_ = event->preeditString();
    if (!event->commitString().isEmpty()) {
        const std::string text = event->commitString().toStdString();
        Edit([&] { editor_->TypeText(text); });
    }
    viewport()->update();
    event->accept();
}

QVariant DocumentView::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled: return editor_ != nullptr;
    case Qt::ImCursorRectangle: return CaretRect();
    case Qt::ImFont: return layout_ ? layout_->Text().defaultFont() : font();
    case Qt::ImCursorPosition: return static_cast<int>(caret_.position);
    case Qt::ImAnchorPosition: return static_cast<int>(anchor_.position);
    default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

}  // namespace paperloom::desk::view
