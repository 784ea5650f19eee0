// Small reads from the editor that several parts of the shell make, through the direct function.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "app/app.h"
#include "edit/sci_messages.h"

namespace lumen {

// The public interface's range record of SCI_GETTEXTRANGEFULL.
struct EditorTextRange {
    intptr_t cpMin = 0;
    intptr_t cpMax = 0;
    char* text = nullptr;
};

inline int64_t EditorLength(App& app) {
    return Ed(app, quill::SCI_GETLENGTH);
}

// The bytes [start, end) of the document shown, copied.
inline std::string EditorRange(App& app, int64_t start, int64_t end) {
    if (end <= start) return {};
    std::string bytes(static_cast<size_t>(end - start) + 1, '\0');
    EditorTextRange range{static_cast<intptr_t>(start), static_cast<intptr_t>(end), bytes.data()};
    bytes.resize(static_cast<size_t>(Ed(app, quill::SCI_GETTEXTRANGEFULL, 0, &range)));
    return bytes;
}

// The bytes [start, end) in place, fewer at the end of the document (valid until the next change).
inline std::string_view EditorRangePointer(App& app, int64_t start, int64_t end) {
    end = std::min(end, EditorLength(app));
    if (end <= start) return {};
    const auto* p = reinterpret_cast<const char*>(
        Ed(app, quill::SCI_GETRANGEPOINTER, static_cast<uintptr_t>(start), end - start));
    return p ? std::string_view(p, static_cast<size_t>(end - start)) : std::string_view();
}

// The whole text in place, contiguous.
inline std::string_view EditorWholeText(App& app) {
    const int64_t length = EditorLength(app);
    const auto* p = reinterpret_cast<const char*>(Ed(app, quill::SCI_GETCHARACTERPOINTER));
    return p ? std::string_view(p, static_cast<size_t>(length)) : std::string_view();
}

}  // namespace lumen
