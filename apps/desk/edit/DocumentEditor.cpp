#include "edit/DocumentEditor.h"

#include "edit/EditClipboard.h"
#include "edit/UndoStack.h"
#include "host/word/Document.h"
#include "host/word/addins/Clipboard.h"

namespace paperloom::desk::edit {
namespace {

// A clipboard for editors the host gives none: text stays in memory.
struct OwnClipboard {
    word::Clipboard clipboard;
    EditClipboard edit{clipboard};
};

// How many positions the character of `text` (one code point in UTF-8) takes: two for
// characters beyond the basic plane, which count as two UTF-16 units.
bool OneSupplementaryCharacter(std::string_view text) {
    return text.size() == 4 && static_cast<unsigned char>(text[0]) >= 0xF0;
}

// Marks of structure the caret passes over instead of deleting: the ends of cells and rows
// (deleting them would break the table) and the marks of fields.
bool StructureMark(std::string_view text) {
    return text.find('\a') != std::string_view::npos || text == "\x13" || text == "\x14" || text == "\x15";
}

}  // namespace

DocumentEditor::DocumentEditor(std::shared_ptr<word::Document> document, std::shared_ptr<EditClipboard> clipboard)
    : document_(std::move(document)), clipboard_(std::move(clipboard)),
      undo_(std::make_shared<UndoStack>(document_)) {
    if (!clipboard_) {
        auto own = std::make_shared<OwnClipboard>();
        clipboard_ = std::shared_ptr<EditClipboard>(own, &own->edit);
    }
}

DocumentEditor::~DocumentEditor() = default;

word::Range DocumentEditor::SelectionRange() const { return document_->Selection().Range(); }

void DocumentEditor::NotifyChanged() const {
    if (changed_) changed_();
}

bool DocumentEditor::PendingValid() const {
    const auto selection = document_->Selection();
    return selection.Start() == selection.End() && selection.Start() == pendingAt_ &&
           document_->Revision() == pendingRevision_;
}

void DocumentEditor::KeepPending(const PendingFormat& pending) {
    pendingAt_ = document_->Selection().Start();
    pendingRevision_ = document_->Revision();
    pending_ = pending;
}

void DocumentEditor::ApplyPending(word::Range& typed) {
    if (pending_.Empty() || typed.Start() == typed.End()) return;
    auto font = typed.Font();
    if (pending_.bold) font.SetBold(*pending_.bold);
    if (pending_.italic) font.SetItalic(*pending_.italic);
    if (pending_.underline) font.SetUnderline(*pending_.underline ? word::wdUnderlineSingle : word::wdUnderlineNone);
    if (pending_.name) font.SetName(*pending_.name);
    if (pending_.nameFarEast) font.SetNameFarEast(*pending_.nameFarEast);
    if (pending_.size) font.SetSize(*pending_.size);
}

void DocumentEditor::TypeText(std::string_view utf8) {
    const std::string text = EditClipboard::ModelText(utf8);
    if (text.empty()) return;
    if (!PendingValid()) pending_ = {};
    undo_->Record([&] {
        auto range = SelectionRange();
        range.SetText(text);
        ApplyPending(range);
        document_->Selection().SetRange(range.End(), range.End());
    });
    // Formatting asked for at the caret goes on with the text typed after it.
    if (!pending_.Empty()) KeepPending(pending_);
    NotifyChanged();
}

void DocumentEditor::NewParagraph() { TypeText("\r"); }
void DocumentEditor::Tab() { TypeText("\t"); }
void DocumentEditor::Backspace() { DeleteAt(false); }
void DocumentEditor::DeleteForward() { DeleteAt(true); }

void DocumentEditor::DeleteAt(bool forward) {
    auto selection = document_->Selection();
    pending_ = {};
    if (selection.Start() != selection.End()) {
        undo_->Record([&] {
            auto range = SelectionRange();
            range.Delete();
            document_->Selection().SetRange(range.Start(), range.Start());
        });
        NotifyChanged();
        return;
    }
    const long pos = selection.Start();
    const long length = selection.Range().StoryLength();
    // The story's last paragraph mark stays: every story ends with one.
    if (forward ? pos >= length - 1 : pos <= 0) return;
    auto character = selection.Range();
    character.TextRetrievalMode().SetIncludeHiddenText(true);
    character.TextRetrievalMode().SetIncludeFieldCodes(true);
    long from = forward ? pos : pos - 1;
    long to = from + 1;
    character.SetRange(from, to);
    if (StructureMark(character.Text())) {
        selection.SetRange(forward ? to : from, forward ? to : from);
        NotifyChanged();
        return;
    }
    // A character beyond the basic plane takes two positions; both go.
    character.SetRange(forward ? pos : pos - 2, forward ? pos + 2 : pos);
    if (character.End() - character.Start() == 2 && OneSupplementaryCharacter(character.Text())) {
        from = character.Start();
        to = character.End();
    }
    undo_->Record([&] {
        auto range = SelectionRange();
        range.SetRange(from, to);
        range.Delete();
        document_->Selection().SetRange(range.Start(), range.Start());
    });
    NotifyChanged();
}

void DocumentEditor::ToggleFlag(int which) {
    auto selection = document_->Selection();
    const auto current = [&](const word::Font& font) {
        switch (which) {
        case 0: return font.Bold() == word::wdTrue;
        case 1: return font.Italic() == word::wdTrue;
        default: return font.Underline() != word::wdUnderlineNone && font.Underline() != word::wdUndefined;
        }
    };
    if (selection.Start() == selection.End()) {
        PendingFormat pending = PendingValid() ? pending_ : PendingFormat{};
        auto& flag = which == 0 ? pending.bold : which == 1 ? pending.italic : pending.underline;
        flag = !flag.value_or(current(selection.Range().Font()));
        KeepPending(pending);
        return;
    }
    undo_->Record([&] {
        auto font = SelectionRange().Font();
        const bool on = !current(font);
        switch (which) {
        case 0: font.SetBold(on); break;
        case 1: font.SetItalic(on); break;
        default: font.SetUnderline(on ? word::wdUnderlineSingle : word::wdUnderlineNone);
        }
    });
    NotifyChanged();
}

void DocumentEditor::ToggleBold() { ToggleFlag(0); }
void DocumentEditor::ToggleItalic() { ToggleFlag(1); }
void DocumentEditor::ToggleUnderline() { ToggleFlag(2); }

void DocumentEditor::SetFontName(std::string_view name) {
    auto selection = document_->Selection();
    if (selection.Start() == selection.End()) {
        PendingFormat pending = PendingValid() ? pending_ : PendingFormat{};
        pending.name = std::string(name);
        KeepPending(pending);
        return;
    }
    undo_->Record([&] { SelectionRange().Font().SetName(name); });
    NotifyChanged();
}

void DocumentEditor::SetFontNameFarEast(std::string_view name) {
    auto selection = document_->Selection();
    if (selection.Start() == selection.End()) {
        PendingFormat pending = PendingValid() ? pending_ : PendingFormat{};
        pending.nameFarEast = std::string(name);
        KeepPending(pending);
        return;
    }
    undo_->Record([&] { SelectionRange().Font().SetNameFarEast(name); });
    NotifyChanged();
}

void DocumentEditor::SetFontSize(float points) {
    auto selection = document_->Selection();
    if (selection.Start() == selection.End()) {
        // Refused sizes are refused now, not at the next key press.
        word::Range probe = selection.Range();
        if (points < 1.0f || points > 1638.0f) probe.Font().SetSize(points);
        PendingFormat pending = PendingValid() ? pending_ : PendingFormat{};
        pending.size = points;
        KeepPending(pending);
        return;
    }
    undo_->Record([&] { SelectionRange().Font().SetSize(points); });
    NotifyChanged();
}

void DocumentEditor::SetAlignment(long alignment) {
    undo_->Record([&] { SelectionRange().ParagraphFormat().SetAlignment(alignment); });
    NotifyChanged();
}

void DocumentEditor::InsertTable(long rows, long columns) {
    pending_ = {};
    undo_->Record([&] {
        auto range = SelectionRange();
        auto table = range.Tables().Add(range, rows, columns);
        const long first = table.Cell(1, 1).Range().Start();
        document_->Selection().SetRange(first, first);
    });
    NotifyChanged();
}

bool DocumentEditor::CanCopy() const {
    const auto selection = document_->Selection();
    return selection.Start() != selection.End();
}

void DocumentEditor::Copy() {
    if (!CanCopy()) return;
    clipboard_->Put(SelectionRange());
}

void DocumentEditor::Cut() {
    if (!CanCopy()) return;
    Copy();
    DeleteAt(false);
}

void DocumentEditor::Paste() {
    const auto formatted = clipboard_->Formatted();
    std::optional<std::string> text;
    if (!formatted) {
        text = clipboard_->Text();
        if (!text || text->empty()) return;
    }
    pending_ = {};
    undo_->Record([&] {
        auto range = SelectionRange();
        if (formatted) range.SetFormattedText(*formatted);
        else range.SetText(*text);
        document_->Selection().SetRange(range.End(), range.End());
    });
    NotifyChanged();
}

bool DocumentEditor::CanUndo() const { return undo_->CanUndo(); }
bool DocumentEditor::CanRedo() const { return undo_->CanRedo(); }

void DocumentEditor::Undo() {
    if (!CanUndo()) return;
    pending_ = {};
    undo_->Undo();
    NotifyChanged();
}

void DocumentEditor::Redo() {
    if (!CanRedo()) return;
    pending_ = {};
    undo_->Redo();
    NotifyChanged();
}

void DocumentEditor::ClearUndo() { undo_->Clear(); }

void DocumentEditor::Edit(const std::function<void()>& change) {
    undo_->Record(change);
    NotifyChanged();
}

UndoGroup::UndoGroup(DocumentEditor& editor) : stack_(editor.undo_), editor_(&editor) { stack_->Begin(); }
UndoGroup::UndoGroup(std::shared_ptr<UndoStack> stack) : stack_(std::move(stack)) { stack_->Begin(); }

UndoGroup::~UndoGroup() {
    // Ending a group takes a snapshot, which can fail (memory); the step is then lost, not
    // the program.
    try {
        if (stack_->End() && editor_ && !stack_->InGroup()) editor_->NotifyChanged();
    } catch (...) {
    }
}

}  // namespace paperloom::desk::edit
