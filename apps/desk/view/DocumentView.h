#pragma once
// The document view of a window: the design view drawn from the object model, with a caret and
// a selection that are the document's Selection. Clicking, dragging and the arrow keys set the
// Selection's range; an add-in that sets it moves the caret and scrolls to it. After a change
// to the document (an add-in's fill or record move, an edit) the view reads the document again
// on its next refresh; refreshes that find the same revision and view settings only move the
// caret.

#include <QAbstractScrollArea>
#include <QTimer>

#include <functional>
#include <memory>

#include "view/DocumentLayout.h"

namespace paperloom::word {
class Document;
}

namespace paperloom::desk::edit {
class DocumentEditor;
}

namespace paperloom::desk::view {

class DocumentView final : public QAbstractScrollArea {
public:
    DocumentView(std::shared_ptr<word::Document> document, QWidget* parent = nullptr);
    ~DocumentView() override;

    // Draws again when the document, its view settings or its selection changed since the
    // last refresh. Returns true when it read the document again.
    bool Refresh();
    // Reads the document again whatever its revision.
    void Rebuild();
    // Builds the rest of a long document now instead of while the user looks at its start.
    void CompleteLayout();
    // Builds the next part now, as the view does when idle; false once all is built.
    bool BuildNextPart();

    // The editor key presses and input go to; null leaves the view read-only.
    void SetEditor(edit::DocumentEditor* editor) { editor_ = editor; }

    const DocumentLayout* Layout() const noexcept { return layout_.get(); }
    // The caret's story position and the selection's other end.
    StoryPosition Caret() const noexcept { return caret_; }
    StoryPosition Anchor() const noexcept { return anchor_; }
    // Places the caret (and with `extend` the selection's moving end) and writes the
    // document's Selection.
    void SetCaret(StoryPosition at, bool extend = false);
    // The caret's rectangle in viewport coordinates.
    QRect CaretRect() const;
    // Viewport point to story position.
    StoryPosition PositionAtPoint(const QPoint& point) const;
    // What is drawn, as plain text (for tests and for the window's copy without an editor).
    QString ShownText() const;
    // Range.Text of the selection, as the view holds it.
    QString SelectedText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Where the text is drawn in the viewport, scrolling taken into account.
    QPointF Origin() const;
    void UpdateScrollBars();
    void EnsureCaretVisible();
    // Reads the document's Selection; true when it differs from what the view shows.
    bool ReadSelection();
    void WriteSelection();
    int TextCaret() const;
    void MoveVertically(int lines, bool extend);
    void MoveInLine(bool toEnd, bool extend);
    bool Edit(const std::function<void()>& change);
    // Builds the main text up to `position` (the caret's, say) when it is not built yet.
    void BuildUpTo(StoryPosition at);
    void ExtendLater();
    // The document or its view settings changed since the layout was built.
    bool Stale() const;

    std::shared_ptr<word::Document> document_;
    std::unique_ptr<DocumentLayout> layout_;
    edit::DocumentEditor* editor_ = nullptr;
    unsigned long revision_ = 0;
    bool showHidden_ = false;
    bool showCodes_ = false;
    StoryPosition caret_;
    StoryPosition anchor_;
    // The Selection as last written or read, to tell an add-in's change from ours.
    int selectionStory_ = -1;
    long selectionStart_ = -1;
    long selectionEnd_ = -1;
    QString preedit_;
    QTimer poll_;
    QTimer extend_;
    bool editing_ = false;  // the editor is changing the document: its caret moves are its own
    long from_ = 0;  // where the main text shown starts (see DocumentLayout)
};

}  // namespace paperloom::desk::view
