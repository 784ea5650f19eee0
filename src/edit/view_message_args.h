// The arguments of one control message as the message handlers read them: the raw wParam and
// lParam, and the positions and line they name, clamped the way every message clamps them. The
// message handlers are the one place that reads pointers out of wParam and lParam.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "edit/document.h"

namespace quill {

struct MessageArgs {
    MessageArgs(Document& document, uintptr_t w, intptr_t l)
        : d(document),
          wParam(w),
          lParam(l),
          length(document.Length()),
          wPos(Pos(static_cast<intptr_t>(w))),
          lPos(Pos(l)),
          wLine(static_cast<intptr_t>(w)),
          lineInRange(wLine >= 0 && wLine < document.LineCount()) {}

    // A position clamped into the text.
    int64_t Pos(int64_t p) const { return std::clamp<int64_t>(p, 0, length); }

    Document& d;
    uintptr_t wParam;
    intptr_t lParam;
    int64_t length;
    int64_t wPos;  // wParam and lParam as positions
    int64_t lPos;
    int64_t wLine;  // wParam as a line number, unclamped
    bool lineInRange;
};

inline const char* TextArg(intptr_t lParam) {
    return reinterpret_cast<const char*>(lParam);
}

inline int64_t CStrLength(const char* s) {
    return s ? static_cast<int64_t>(std::strlen(s)) : 0;
}

// Copies text with a NUL after it into a caller's buffer (none: nothing is copied); returns the
// byte count.
inline intptr_t CopyOut(intptr_t lParam, const std::string& text) {
    if (char* out = reinterpret_cast<char*>(lParam)) {
        std::memcpy(out, text.data(), text.size());
        out[text.size()] = '\0';
    }
    return static_cast<intptr_t>(text.size());
}

}  // namespace quill
