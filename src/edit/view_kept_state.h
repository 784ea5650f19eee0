// What a view leaves with a document it stops showing, so that showing it again costs what the
// screen needs: the wrap index and the line layouts (valid while the wrap mode, width, tab width
// and fonts are those they were made with), the widest line seen, and the selection. While no view shows the
// document it watches the edits made to it: the selection follows them (undo records it as the selection
// before a step) and the wrap index keeps estimates for the lines they touch.
#pragma once

#include <cstdint>

#include "edit/document.h"
#include "edit/layout_cache.h"
#include "edit/wrap_index.h"

namespace quill {

// Everything a wrap index depends on besides the text.
struct WrapKey {
    int32_t mode = 0;
    int32_t width = 0;
    int32_t tabWidth = 0;
    int32_t averageCharWidth = 0;
    uint64_t fonts = 0;  // the view's font generation
    bool operator==(const WrapKey&) const = default;
};

// Where position p is after an insertion (or deletion) of `length` bytes at `position`: a
// position after an insertion point moves with the text, one inside a deleted span goes to its
// start; the result is moved out of the middle of a character.
int64_t PositionAfterEdit(const Document& document, int64_t p, bool inserted, int64_t position,
                          int64_t length);

// Keeps a wrap index in step with a change of line `line` that added `linesAdded` lines: new
// and changed lines get estimates and `resume` moves back to the first of them. False (the index
// is left as it was) when the index did not match the document before the change.
bool FollowLineChange(WrapIndex& wrap, const Document& document, int64_t line, int64_t linesAdded,
                      const WrapKey& key, int64_t* resume);

class KeptViewState final : public DocumentViewState, public DocWatcher {
public:
    int64_t anchor = 0;
    int64_t caret = 0;
    int64_t scrollWidth = 1;  // as the host set it; the widest line laid out is the layouts'.
    WrapIndex wrap;           // empty when nothing is kept
    int64_t wrapResume = 0;
    // The layout cache's slots; dropped at the first edit.
    LayoutCache::Kept layouts;
    WrapKey key;

    void NotifyModified(Document* document, bool inserted, int64_t position, int64_t length, int64_t line,
                        int64_t linesAdded, uint32_t flags, const char* text) override;
    void NotifySavePoint(Document*, bool) override {}
    void GetSelection(int64_t* a, int64_t* c) override {
        *a = anchor;
        *c = caret;
    }
};

}  // namespace quill
