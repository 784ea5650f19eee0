#include "edit/view_kept_state.h"

#include <algorithm>

#include "edit/layout.h"

namespace quill {

int64_t PositionAfterEdit(const Document& document, int64_t p, bool inserted, int64_t position,
                          int64_t length) {
    if (inserted) {
        if (p > position) p += length;
    } else if (p > position + length) {
        p -= length;
    } else if (p > position) {
        p = position;
    }
    return document.MovePositionOutsideChar(p, 1);
}

bool FollowLineChange(WrapIndex& wrap, const Document& document, int64_t line, int64_t linesAdded,
                      const WrapKey& key, int64_t* resume) {
    if (wrap.Lines() != document.LineCount() - linesAdded) return false;
    auto estimate = [&](int64_t l) {
        return EstimateRows(document.LineEnd(l) - document.LineStart(l), key.averageCharWidth, key.width);
    };
    if (linesAdded > 0) {
        wrap.InsertAfter(line, linesAdded, estimate);
    } else if (linesAdded < 0) {
        wrap.EraseAfter(line, -linesAdded);
    }
    wrap.Set(line, estimate(line), false);
    *resume = std::min(*resume, line);
    return true;
}

void KeptViewState::NotifyModified(Document* document, bool inserted, int64_t position, int64_t length,
                                   int64_t line, int64_t linesAdded, uint32_t, const char*) {
    anchor = PositionAfterEdit(*document, anchor, inserted, position, length);
    caret = PositionAfterEdit(*document, caret, inserted, position, length);
    layouts = {};
    if (!wrap.Empty() && !FollowLineChange(wrap, *document, line, linesAdded, key, &wrapResume)) wrap.Clear();
}

}  // namespace quill
