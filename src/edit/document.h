// The text one editor control shows: UTF-8 bytes in a gap buffer, an index of line starts with a
// pending step, forty indicator range lists, the undo history and the watchers (views) told of every
// change. Everything addresses text by byte offset; lines are numbered from 0. A line break is LF, CR
// or the pair CR LF (one break); bytes are stored exactly as they arrive, invalid UTF-8 included.
//
// Editing costs time proportional to the edit and to how far the gap or the line-start step has to
// move, never to the whole document.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "edit/line_start_vector.h"
#include "edit/undo_history.h"

namespace quill {

class Document;
class Loader;

// Action flags of a change notification.
inline constexpr uint32_t kModUser = 0x10;  // an ordinary edit
inline constexpr uint32_t kModUndo = 0x20;  // made while undoing
inline constexpr uint32_t kModRedo = 0x40;  // made while redoing

// Observer of a document (an editor view). Called synchronously on the user-interface thread, after
// the text and the line index are updated.
class DocWatcher {
public:
    // `text` is the inserted bytes or a copy of the deleted bytes, valid only during the call.
    // `line` is the line of `position` before the change; `linesAdded` is negative when lines went.
    virtual void NotifyModified(Document* document, bool inserted, int64_t position, int64_t length,
                                int64_t line, int64_t linesAdded, uint32_t flags, const char* text) = 0;
    // The document went from at the save point to not at it, or back (or the save point was set).
    virtual void NotifySavePoint(Document* document, bool atSavePoint) = 0;
    // Asked of the first watcher when a new undo step opens: the view's current selection.
    virtual void GetSelection(int64_t* anchor, int64_t* caret) = 0;

protected:
    ~DocWatcher() = default;
};

// What the view that showed a document last keeps with it for when it is shown again (its wrap
// state, its selection for undo while no view shows the document). Owned by the document and
// destroyed with it; opaque to it.
class DocumentViewState {
public:
    virtual ~DocumentViewState() = default;
};

struct IndicatorRange {
    int64_t start;
    int64_t end;  // start < end
};

inline constexpr int kIndicatorCount = 40;

class Document {
public:
    // An empty document with reference count 0; its creator takes the first reference with AddRef.
    Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // ---- reference counting -------------------------------------------------------------------
    int32_t AddRef() { return ++refCount_; }
    // Returns the new count; at 0 the document frees itself.
    int32_t Release();

    // ---- watchers -----------------------------------------------------------------------------
    void AddWatcher(DocWatcher* watcher);
    // Removes every occurrence.
    void RemoveWatcher(DocWatcher* watcher);
    const std::vector<DocWatcher*>& Watchers() const { return watchers_; }
    DocumentViewState* ViewState() const { return viewState_.get(); }
    std::unique_ptr<DocumentViewState> TakeViewState() { return std::move(viewState_); }
    void SetViewState(std::unique_ptr<DocumentViewState> state) { viewState_ = std::move(state); }

    // ---- text ---------------------------------------------------------------------------------
    int64_t Length() const { return length_; }
    // The byte at position; 0 outside [0, length).
    char ByteAt(int64_t position) const;
    // Decodes the character starting at position; returns the code point (U+FFFD, width 1, for an
    // invalid byte), or 0 with width 0 outside [0, length). `width` may be null.
    char32_t CharacterAt(int64_t position, int* width = nullptr) const;
    // The character that ends at position (a single byte when no whole character ends there).
    char32_t CharacterBefore(int64_t position, int* width = nullptr) const;
    // Clamps into [0, length] and moves a position from inside CR LF or inside a multi-byte
    // character to its start (direction < 1) or its end (otherwise).
    int64_t MovePositionOutsideChar(int64_t position, int direction) const;
    // One user-visible character forward or back: CR LF is one unit, combining marks stay with the
    // character before them.
    int64_t PositionAfter(int64_t position) const;
    int64_t PositionBefore(int64_t position) const;
    // Characters (bytes that are not UTF-8 continuation bytes) in [start, end).
    int64_t CountCharacters(int64_t start, int64_t end) const;

    // Copies `count` bytes at position into destination without moving the gap. The range must lie
    // within the text.
    void GetCharRange(char* destination, int64_t position, int64_t count) const;
    // The text of [position, position + count) as a std::string (clamped to the text).
    std::string GetText(int64_t position, int64_t count) const;
    // A contiguous pointer to `count` bytes at position (clamped); moves the gap only when the range
    // straddles it. Valid until the next edit.
    const char* RangePointer(int64_t position, int64_t count);
    int64_t GapPosition() const { return gapStart_; }
    // The whole text, contiguous and NUL-terminated (moves the gap to the end). Valid until the next
    // edit.
    const char* CharacterPointer();

    // ---- editing ------------------------------------------------------------------------------
    // Inserts count bytes at position (clamped), records undo and notifies. Returns true without
    // change for count < 1, false while read-only or when the buffer cannot grow.
    bool InsertString(int64_t position, const char* bytes, int64_t count,
                      uint32_t coalesceKind = kCoalesceNone);
    // Deletes count bytes at position (clamped; count shortened to what remains). Returns false while
    // read-only, true otherwise (also when nothing was left to delete).
    bool DeleteChars(int64_t position, int64_t count, uint32_t coalesceKind = kCoalesceNone);
    // Makes room for `bytes` more bytes at once; false when the buffer cannot grow.
    bool Reserve(int64_t bytes);

    bool IsReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // End-of-line mode the views insert: 0 CR LF, 1 CR, 2 LF. Values above 2 are ignored.
    int EolMode() const { return eolMode_; }
    void SetEolMode(int mode);
    // Incremented once for every change.
    int32_t ChangeCount() const { return changeCount_; }

    // ---- lines --------------------------------------------------------------------------------
    int64_t LineCount() const { return starts_.Size() - 1; }
    int64_t LineStart(int64_t line) const;
    // End of the line's text, before its break.
    int64_t LineEnd(int64_t line) const;
    int64_t LineFromPosition(int64_t position) const;
    // Whether a line starts at position: after an LF, or after a CR that is not followed by an LF.
    bool IsLineStartAfterBreak(int64_t position) const;
    // Rebuilds the line index from the whole text (after the text was filled without upkeep).
    void RebuildLineIndex();

    // ---- indicators ---------------------------------------------------------------------------
    int32_t CurrentIndicator() const { return currentIndicator_; }
    void SetCurrentIndicator(int32_t indicator) { currentIndicator_ = indicator; }
    int32_t IndicatorValue() const { return indicatorValue_; }
    void SetIndicatorValue(int32_t value) { indicatorValue_ = value; }
    // Adds [position, position + count) clipped to the text, merged with what it overlaps or touches.
    void IndicatorFillRange(int indicator, int64_t position, int64_t count);
    // Keeps only the parts of the indicator's ranges outside [position, position + count).
    void IndicatorClearRange(int indicator, int64_t position, int64_t count);
    // 1 when position lies in one of the indicator's ranges, else 0.
    int IndicatorValueAt(int indicator, int64_t position) const;
    // Bit i set for each indicator i from 0 to 31 whose ranges contain position.
    uint32_t IndicatorAllOnFor(int64_t position) const;
    // The indicator's ranges, sorted, not overlapping or touching (empty for numbers out of range).
    const std::vector<IndicatorRange>& IndicatorRanges(int indicator) const;

    // ---- undo ---------------------------------------------------------------------------------
    bool CanUndo() const { return history_.HasUndo() && !readOnly_; }
    bool CanRedo() const { return history_.HasRedo() && !readOnly_; }
    // Undoes one step; returns false when nothing happened. On success *anchor and *caret (either may
    // be null) receive the selection from before the step, clamped to the length.
    bool Undo(int64_t* anchor = nullptr, int64_t* caret = nullptr);
    // Redoes one step; on success *position receives where the view puts an empty selection.
    bool Redo(int64_t* position = nullptr);
    bool IsModified() const { return history_.IsModified(); }
    void SetSavePoint();
    void BeginGroup() { history_.BeginGroup(); }
    void EndGroup() { history_.EndGroup(); }
    void SealLastStep() { history_.SealLastStep(); }
    void EmptyHistory() { history_.EmptyHistory(); }
    // An edit made while collection is off empties the history (it would no longer match the text)
    // and leaves the modified state as it was.
    void SetCollectUndo(bool on) { collectUndo_ = on; }
    bool GetCollectUndo() const { return collectUndo_; }
    // 0x20 while an undo, 0x40 while a redo is being carried out, else 0.
    uint32_t Performing() const { return history_.Performing(); }
    const UndoHistory& History() const { return history_; }

private:
    friend class Loader;
    struct FreeDeleter {
        void operator()(char* p) const;
    };

    ~Document();

    // Gap buffer.
    bool RoomFor(int64_t needed);
    void GapTo(int64_t position);
    const unsigned char* Bytes() const { return reinterpret_cast<const unsigned char*>(body_.get()); }
    unsigned char UByteAt(int64_t position) const {
        return Bytes()[position < gapStart_ ? position : position + gapLength_];
    }
    // Up to four bytes at position into out; returns how many were available.
    int FetchBytes(int64_t position, unsigned char out[4]) const;
    // Appends without line upkeep, undo or notification (the loader); false when it cannot grow.
    bool AppendRaw(const char* bytes, int64_t count);

    // The true value of line-start entry i.
    int64_t TrueStart(int64_t index) const {
        return starts_[index] + (index > stepPartition_ ? stepLength_ : 0);
    }
    void ShiftStartsAfter(int64_t line, int64_t delta);
    void ApplyStepThrough(int64_t index);
    void InsertStarts(int64_t index, const int64_t* values, int64_t count);
    void EraseStarts(int64_t first, int64_t last);

    // The edit primitives without checks or recording (undo and redo use them directly).
    bool BasicInsert(int64_t position, const char* bytes, int64_t count, uint32_t flags);
    // `deleted` is a copy of the bytes going, when the caller has one.
    void BasicDelete(int64_t position, int64_t count, uint32_t flags, const char* deleted);
    // Undo and redo's edits, clamped to the text.
    bool ReplayInsert(int64_t position, const std::string& text, uint32_t flags);
    void ReplayDelete(int64_t position, const std::string& text, uint32_t flags);
    void IndicatorsInserted(int64_t position, int64_t count);
    void IndicatorsDeleted(int64_t position, int64_t count);
    void NotifySavePointChange(bool wasModified);

    bool collectUndo_ = true;
    bool readOnly_ = false;
    std::vector<IndicatorRange> indicators_[kIndicatorCount];
    int32_t currentIndicator_ = 0;
    int32_t indicatorValue_ = 1;
    std::vector<DocWatcher*> watchers_;

    std::unique_ptr<char, FreeDeleter> body_;
    int64_t length_ = 0;
    int64_t gapStart_ = 0;
    int64_t gapLength_ = 0;

    // One entry more than the number of lines; entries above stepPartition_ are stored without
    // stepLength_.
    LineStartVector starts_;
    int64_t stepPartition_ = 0;
    int64_t stepLength_ = 0;

    int32_t changeCount_ = 0;
    int32_t refCount_ = 0;
    int eolMode_ = 0;
    UndoHistory history_;
    std::unique_ptr<DocumentViewState> viewState_;
};

}  // namespace quill
