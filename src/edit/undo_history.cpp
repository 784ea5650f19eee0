#include "edit/undo_history.h"

#include "edit/document.h"

namespace quill {
namespace {

bool IsWhitespaceByte(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

void UndoHistory::Record(uint8_t kind, int64_t position, const char* bytes, int64_t count,
                         uint32_t coalesceKind, DocWatcher* selectionSource) {
    if (currentStep_ < StepCount()) {
        // A new edit after undoing: the undone steps can never be redone, and a save point among them
        // can never be reached again.
        if (savePoint_ > currentStep_) savePoint_ = -1;
        steps_.erase(steps_.begin() + currentStep_, steps_.end());
        groupOpen_ = false;
    }
    // Inside a host group every action joins the group's step as it is. A save point set inside the
    // group starts a fresh step, so the saved state stays reachable.
    if (groupDepth_ > 0 && groupOpen_ && currentStep_ > 0 && currentStep_ != savePoint_) {
        steps_.back().actions.push_back({kind, position, std::string(bytes, static_cast<size_t>(count))});
        return;
    }
    if (TryMerge(kind, position, bytes, count, coalesceKind)) return;

    UndoStep step;
    if (selectionSource) selectionSource->GetSelection(&step.anchorBefore, &step.caretBefore);
    step.actions.push_back({kind, position, std::string(bytes, static_cast<size_t>(count))});
    step.coalesceKind = coalesceKind;
    steps_.push_back(std::move(step));
    currentStep_ = StepCount();
    groupOpen_ = groupDepth_ > 0;
}

bool UndoHistory::TryMerge(uint8_t kind, int64_t position, const char* bytes, int64_t count,
                           uint32_t coalesceKind) {
    // Merging into the step that was current at the save point would make the saved state unreachable.
    if (coalesceKind == kCoalesceNone || currentStep_ == 0 || currentStep_ == savePoint_ || groupDepth_ != 0)
        return false;
    UndoStep& step = steps_.back();
    if (step.sealed || step.coalesceKind != coalesceKind || step.actions.empty()) return false;
    UndoAction& last = step.actions.back();
    const auto n = static_cast<size_t>(count);

    if (coalesceKind == kCoalesceTyping && kind == kActionInsert) {
        if (last.kind == kActionInsert &&
            last.position + static_cast<int64_t>(last.text.size()) == position) {
            // A run of typing breaks where a new word begins after whitespace, so a word and the
            // spaces after it undo together.
            if (!last.text.empty() && IsWhitespaceByte(last.text.back()) && !IsWhitespaceByte(bytes[0]))
                return false;
            last.text.append(bytes, n);
            return true;
        }
        // Typing over a selection: the selection's deletion and the typed text are one step.
        if (last.kind == kActionDelete && last.position == position && step.actions.size() == 1) {
            step.actions.push_back({kind, position, std::string(bytes, n)});
            return true;
        }
        return false;
    }
    if (coalesceKind == kCoalesceBackspace && kind == kActionDelete && last.kind == kActionDelete &&
        position + count == last.position) {
        last.text.insert(0, bytes, n);
        last.position = position;
        return true;
    }
    if (coalesceKind == kCoalesceForwardDelete && kind == kActionDelete && last.kind == kActionDelete &&
        position == last.position) {
        last.text.append(bytes, n);
        return true;
    }
    return false;
}

const UndoStep& UndoHistory::BeginUndo() {
    UndoStep& step = steps_[static_cast<size_t>(currentStep_ - 1)];
    step.sealed = true;
    return step;
}

void UndoHistory::EndUndo() {
    --currentStep_;
    groupOpen_ = false;
}

void UndoHistory::EndRedo() {
    ++currentStep_;
    groupOpen_ = false;
}

void UndoHistory::SetSavePoint() {
    savePoint_ = currentStep_;
    SealLastStep();
}

void UndoHistory::SealLastStep() {
    if (currentStep_ > 0) steps_[static_cast<size_t>(currentStep_ - 1)].sealed = true;
}

void UndoHistory::BeginGroup() {
    if (groupDepth_ == 0) groupOpen_ = false;
    ++groupDepth_;
}

void UndoHistory::EndGroup() {
    if (groupDepth_ < 1) return;
    if (--groupDepth_ == 0) {
        if (groupOpen_) SealLastStep();
        groupOpen_ = false;
    }
}

void UndoHistory::EmptyHistory() {
    std::vector<UndoStep>().swap(steps_);
    currentStep_ = 0;
    savePoint_ = 0;
    groupOpen_ = false;
}

void UndoHistory::DropForUncollectedEdit() {
    if (steps_.empty()) return;
    const bool modified = IsModified();
    EmptyHistory();
    savePoint_ = modified ? -1 : 0;
}

}  // namespace quill
