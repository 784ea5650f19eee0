// The undo history of one document: steps of primitive actions, typing runs merged into one step,
// host groups, and the save point the shell shows as the tab's modified state. The history only
// records and hands out steps; the document carries them out (document.cpp), because undoing
// needs the raw edit primitives and the watchers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quill {

class DocWatcher;

// How an edit may merge with the step before it. Typed characters (and typing over a selection)
// use kCoalesceTyping, Backspace kCoalesceBackspace, Delete kCoalesceForwardDelete; paste, replace,
// host edits and line tools use kCoalesceNone and always make a step of their own.
inline constexpr uint32_t kCoalesceNone = 0;
inline constexpr uint32_t kCoalesceTyping = 1;
inline constexpr uint32_t kCoalesceBackspace = 2;
inline constexpr uint32_t kCoalesceForwardDelete = 3;

// Kinds of primitive actions.
inline constexpr uint8_t kActionDelete = 0;
inline constexpr uint8_t kActionInsert = 1;

struct UndoAction {
    uint8_t kind = kActionInsert;
    int64_t position = 0;
    std::string text;  // the inserted or the deleted bytes
};

struct UndoStep {
    std::vector<UndoAction> actions;  // in the order they were made
    int64_t anchorBefore = 0;         // the view's selection just before the first action
    int64_t caretBefore = 0;
    uint32_t coalesceKind = kCoalesceNone;  // of the first action
    bool sealed = false;                    // takes no further merged actions
};

class UndoHistory {
public:
    // Records one primitive change made by an ordinary edit. `selectionSource` (the document's first
    // watcher, or null) is asked for the selection when a new step is opened.
    void Record(uint8_t kind, int64_t position, const char* bytes, int64_t count, uint32_t coalesceKind,
                DocWatcher* selectionSource);

    int64_t StepCount() const { return static_cast<int64_t>(steps_.size()); }
    int64_t CurrentStep() const { return currentStep_; }
    int64_t SavePoint() const { return savePoint_; }
    bool HasUndo() const { return currentStep_ > 0; }
    bool HasRedo() const { return currentStep_ < StepCount(); }
    bool IsModified() const { return savePoint_ != currentStep_; }

    // The step that Undo carries out (sealed here, so typing after an undo never merges into it) and
    // the step that Redo carries out. Both require HasUndo / HasRedo.
    const UndoStep& BeginUndo();
    const UndoStep& BeginRedo() const { return steps_[static_cast<size_t>(currentStep_)]; }
    // Moves the done/redo boundary once the step's actions have been carried out.
    void EndUndo();
    void EndRedo();

    // Marks the current state as saved and seals the last done step.
    void SetSavePoint();
    // Closes the last done step to merging (before and after commands that are a step of their own).
    void SealLastStep();

    void BeginGroup();
    void EndGroup();
    int32_t GroupDepth() const { return groupDepth_; }

    // Destroys every step; the document then counts as unmodified.
    void EmptyHistory();
    // An edit was made with collection off: the steps describe a text that no longer exists, and
    // replaying them would change bytes the user never touched, so they are destroyed. Whether the
    // document counts as modified stays as it was (a saved state that was not current becomes
    // unreachable).
    void DropForUncollectedEdit();

    // While set (0x20 undo, 0x40 redo) the document records nothing.
    uint32_t Performing() const { return performing_; }
    void SetPerforming(uint32_t flags) { performing_ = flags; }

    // Read access for tests and diagnostics.
    const std::vector<UndoStep>& Steps() const { return steps_; }

private:
    bool TryMerge(uint8_t kind, int64_t position, const char* bytes, int64_t count, uint32_t coalesceKind);

    std::vector<UndoStep> steps_;
    int64_t currentStep_ = 0;
    int64_t savePoint_ = 0;  // -1 when the saved state can no longer be reached
    int32_t groupDepth_ = 0;
    bool groupOpen_ = false;  // the current outermost group already has its step
    uint32_t performing_ = 0;
};

}  // namespace quill
