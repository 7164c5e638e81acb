#pragma once
// The undo history of one document: each step is the document before and after it (every
// part, see word::DocumentSnapshot) with the selection at each end. A step's snapshots share
// the bytes of parts it did not change with the step before, so typing in a long document
// costs what the edited parts hold, not the whole package each time; the history keeps at
// most `maxSteps` steps and about `maxBytes` of its own, forgetting the oldest first.
//
// The state before a step is taken when the step begins, never remembered from the step
// before: whatever changed the document between two steps (a command outside the editor,
// a reload) is not undone by the next undo.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "host/word/Snapshot.h"

namespace paperloom::word {
class Document;
}

namespace paperloom::desk::edit {

class UndoStack {
public:
    struct Limits {
        std::size_t maxSteps = 200;
        std::size_t maxBytes = 256u << 20;
    };

    explicit UndoStack(std::shared_ptr<word::Document> document, Limits limits);
    explicit UndoStack(std::shared_ptr<word::Document> document) : UndoStack(std::move(document), Limits{}) {}

    bool CanUndo() const { return depth_ == 0 && !undo_.empty(); }
    bool CanRedo() const { return depth_ == 0 && !redo_.empty(); }
    // Give back the document before the last step (after the last undone step) and its
    // selection. Nothing happens inside a group.
    void Undo();
    void Redo();
    void Clear();

    // A group: everything between the outermost Begin and its End is one step. End reports
    // whether a step was recorded (the document changed).
    void Begin();
    bool End();
    bool InGroup() const { return depth_ > 0; }
    // Runs a change as one step (or as part of the open group).
    void Record(const std::function<void()>& change);

    std::size_t Steps() const { return undo_.size(); }
    std::size_t RedoSteps() const { return redo_.size(); }
    // Bytes the history holds (each shared part counted once).
    std::size_t Bytes() const;

private:
    struct State {
        word::DocumentSnapshot snapshot;
        long selectionStart = 0;
        long selectionEnd = 0;
    };
    struct Step {
        State before;
        State after;
    };
    State Capture(const word::DocumentSnapshot* previous) const;
    void Apply(const State& state);
    const word::DocumentSnapshot* Latest() const;
    void Trim();

    std::shared_ptr<word::Document> document_;
    Limits limits_;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
    int depth_ = 0;
    std::optional<State> groupBefore_;
};

}  // namespace paperloom::desk::edit
