#pragma once
// Editing one document the way its window's user does: typing, deleting, formatting, tables,
// the clipboard and undo, all at the document's Selection and all through the object model, so
// the document holds nothing the engine would not have written itself. No Qt: the view turns
// key presses, input-method commits and shortcuts into these calls.
//
// Every call is one undo step. An undo step gives back the document exactly as it was (every
// part's XML) with the selection it had; redo gives back the state after the step. Several
// changes become one step inside an UndoGroup (an add-in command, a paste of many paragraphs).

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace paperloom::word {
class Document;
class Range;
}

namespace paperloom::desk::edit {

class UndoStack;
class EditClipboard;

// Formatting given with nothing selected waits for the text typed next at that place.
struct PendingFormat {
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<std::string> name;
    std::optional<std::string> nameFarEast;
    std::optional<float> size;
    bool Empty() const { return !bold && !italic && !underline && !name && !nameFarEast && !size; }
};

class DocumentEditor {
public:
    // `clipboard` is shared by the host's documents so formatted text pastes between them;
    // null gives the editor one of its own (plain text only from outside).
    DocumentEditor(std::shared_ptr<word::Document> document, std::shared_ptr<EditClipboard> clipboard = nullptr);
    ~DocumentEditor();
    DocumentEditor(const DocumentEditor&) = delete;
    DocumentEditor& operator=(const DocumentEditor&) = delete;

    const std::shared_ptr<word::Document>& Document() const noexcept { return document_; }

    // --- typing at the selection (a selection is replaced; the caret ends after the new text)
    // UTF-8 text in any script; "\r" or "\n" in it start new paragraphs, "\t" is a tab.
    void TypeText(std::string_view utf8);
    void NewParagraph();  // Enter
    void Tab();
    // Deletes the selection, or the character before (Backspace) or after (Delete) the caret.
    // Table structure marks (end of cell, end of row) are never deleted: the caret moves over
    // them, as the word processor does.
    void Backspace();
    void DeleteForward();

    // --- character formatting of the selection (see PendingFormat for a caret)
    // Toggles: on unless every selected character already has it.
    void ToggleBold();
    void ToggleItalic();
    void ToggleUnderline();
    void SetFontName(std::string_view name);          // Latin text
    void SetFontNameFarEast(std::string_view name);   // East Asian text
    void SetFontSize(float points);
    // Paragraph alignment of every paragraph the selection touches (wdAlignParagraph...).
    void SetAlignment(long alignment);
    // A table of rows x columns at the caret (replacing a selection); the caret goes into its
    // first cell.
    void InsertTable(long rows, long columns);

    // --- clipboard: plain text goes to the desktop's clipboard; the formatted copy stays in
    // the host, and pastes formatted as long as the desktop's clipboard still holds its text.
    bool CanCopy() const;  // something selected
    void Cut();
    void Copy();
    void Paste();

    // --- undo
    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();
    // Forgets every step (after the document is reloaded from disk, say).
    void ClearUndo();
    // Runs any change through the object model as one undo step.
    void Edit(const std::function<void()>& change);

    const PendingFormat& Pending() const noexcept { return pending_; }
    // The view moved the selection (click, arrow keys, an add-in's Select): formatting waiting
    // at the caret is dropped, as it is when the document changes otherwise.
    void SelectionMoved() noexcept { pending_ = {}; }
    // Called after every change made or undone here, for the view to show it.
    void SetChangedHandler(std::function<void()> handler) { changed_ = std::move(handler); }

    UndoStack& Undos() noexcept { return *undo_; }
    // The history, shared: a group can outlive the editor (a command that closes the window).
    const std::shared_ptr<UndoStack>& History() const noexcept { return undo_; }

private:
    friend class UndoGroup;
    word::Range SelectionRange() const;
    void DeleteAt(bool forward);
    void ToggleFlag(int which);
    void ApplyPending(word::Range& typed);
    bool PendingValid() const;
    void KeepPending(const PendingFormat& pending);
    void NotifyChanged() const;

    std::shared_ptr<word::Document> document_;
    std::shared_ptr<EditClipboard> clipboard_;
    std::shared_ptr<UndoStack> undo_;
    PendingFormat pending_;
    // The caret and the document's revision the pending formatting belongs to: moving the
    // caret or any other change drops it.
    long pendingAt_ = -1;
    unsigned long pendingRevision_ = 0;
    std::function<void()> changed_;
};

// Everything done while one lives is one undo step of the editor's document (nested groups
// join the outermost). A group that changed nothing leaves no step; a change that failed half
// way is still a step, so it can be undone.
class UndoGroup {
public:
    explicit UndoGroup(DocumentEditor& editor);
    explicit UndoGroup(std::shared_ptr<UndoStack> stack);
    ~UndoGroup();
    UndoGroup(const UndoGroup&) = delete;
    UndoGroup& operator=(const UndoGroup&) = delete;

private:
    std::shared_ptr<UndoStack> stack_;
    DocumentEditor* editor_ = nullptr;  // told when the group changed the document
};

}  // namespace paperloom::desk::edit
