// The notification record the control sends its parent with WM_NOTIFY. Its layout is the public
// SCI notification structure in its 64-bit form, so hosts built against that interface read it as is.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill {

// Bits of SCN_UPDATEUI's `updated`: what changed since the last one.
enum UpdateFlag : uint32_t {
    kUpdateContent = 1,
    kUpdateSelection = 2,
    kUpdateVScroll = 4,
    kUpdateHScroll = 8,
};

// SCN_MODIFIED's modification type: the kind of change, OR'ed with the document's action flags.
enum ModificationType : uint32_t { kModInsertText = 1, kModDeleteText = 2 };

// Same layout as the system's NMHDR: sending window, control id, code.
struct NotificationHeader {
    void* hwndFrom = nullptr;
    uintptr_t idFrom = 0;
    uint32_t code = 0;
};

struct Notification {
    NotificationHeader nmhdr;
    intptr_t position = 0;
    int32_t ch = 0;
    int32_t modifiers = 0;
    int32_t modificationType = 0;
    const char* text = nullptr;
    intptr_t length = 0;
    intptr_t linesAdded = 0;
    int32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    intptr_t line = 0;
    int32_t foldLevelNow = 0;
    int32_t foldLevelPrev = 0;
    int32_t margin = 0;
    int32_t listType = 0;
    int32_t x = 0;
    int32_t y = 0;
    int32_t token = 0;
    intptr_t annotationLinesAdded = 0;
    int32_t updated = 0;
    int32_t listCompletionMethod = 0;
    int32_t characterSource = 0;
};

#if UINTPTR_MAX == UINT64_MAX
static_assert(sizeof(NotificationHeader) == 24);
static_assert(offsetof(Notification, position) == 24);
static_assert(offsetof(Notification, ch) == 32);
static_assert(offsetof(Notification, modificationType) == 40);
static_assert(offsetof(Notification, text) == 48);
static_assert(offsetof(Notification, length) == 56);
static_assert(offsetof(Notification, linesAdded) == 64);
static_assert(offsetof(Notification, message) == 72);
static_assert(offsetof(Notification, wParam) == 80);
static_assert(offsetof(Notification, lParam) == 88);
static_assert(offsetof(Notification, line) == 96);
static_assert(offsetof(Notification, annotationLinesAdded) == 136);
static_assert(offsetof(Notification, updated) == 144);
static_assert(sizeof(Notification) == 160);
#endif

}  // namespace quill
