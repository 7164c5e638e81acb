#include "edit/UndoStack.h"

#include <unordered_set>

#include "host/word/Document.h"

namespace paperloom::desk::edit {

UndoStack::UndoStack(std::shared_ptr<word::Document> document, Limits limits)
    : document_(std::move(document)), limits_(limits) {}

UndoStack::State UndoStack::Capture(const word::DocumentSnapshot* previous) const {
    State state;
    state.snapshot = document_->Snapshot(previous);
    const auto selection = document_->Selection();
    state.selectionStart = selection.Start();
    state.selectionEnd = selection.End();
    return state;
}

void UndoStack::Apply(const State& state) {
    document_->Restore(state.snapshot);
    auto selection = document_->Selection();
    const long length = selection.Range().StoryLength();
    selection.SetRange(std::min(state.selectionStart, length), std::min(state.selectionEnd, length));
}

const word::DocumentSnapshot* UndoStack::Latest() const {
    if (!redo_.empty()) return &redo_.back().before.snapshot;
    if (!undo_.empty()) return &undo_.back().after.snapshot;
    return nullptr;
}

void UndoStack::Undo() {
    if (!CanUndo() || document_->Closed()) return;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    Apply(step.before);
    redo_.push_back(std::move(step));
}

void UndoStack::Redo() {
    if (!CanRedo() || document_->Closed()) return;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    Apply(step.after);
    undo_.push_back(std::move(step));
}

void UndoStack::Clear() {
    undo_.clear();
    redo_.clear();
}

void UndoStack::Begin() {
    if (depth_++ > 0) return;
    try {
        groupBefore_ = Capture(Latest());
    } catch (...) {
        --depth_;
        throw;
    }
}

bool UndoStack::End() {
    if (depth_ == 0 || --depth_ > 0) return false;
    auto before = std::move(groupBefore_);
    groupBefore_.reset();
    // A command may close the document it ran on; there is nothing left to undo then.
    if (!before || document_->Closed()) return false;
    State after = Capture(&before->snapshot);
    if (after.snapshot == before->snapshot) return false;
    undo_.push_back({std::move(*before), std::move(after)});
    redo_.clear();
    Trim();
    return true;
}

void UndoStack::Record(const std::function<void()>& change) {
    Begin();
    try {
        change();
    } catch (...) {
        // What the change did before it failed stays undoable.
        End();
        throw;
    }
    End();
}

std::size_t UndoStack::Bytes() const {
    std::unordered_set<const std::string*> seen;
    std::size_t total = 0;
    const auto count = [&](const State& state) {
        for (const auto& part : state.snapshot.Parts())
            if (seen.insert(part.bytes.get()).second) total += part.bytes->size();
    };
    for (const auto* steps : {&undo_, &redo_})
        for (const auto& step : *steps) {
            count(step.before);
            count(step.after);
        }
    return total;
}

void UndoStack::Trim() {
    while (undo_.size() > 1 && (undo_.size() > limits_.maxSteps || Bytes() > limits_.maxBytes)) undo_.pop_front();
}

}  // namespace paperloom::desk::edit
