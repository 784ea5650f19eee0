#include "edit/clipboard_win.h"

#include <cstring>

#include "files/code_page.h"

namespace quill {

bool OpenClipboardWithRetry(HWND owner) {
    for (int attempt = 0; attempt < kClipboardTries; ++attempt) {
        if (OpenClipboard(owner)) return true;
        if (attempt + 1 < kClipboardTries) Sleep(kClipboardRetryMs);
    }
    return false;
}

bool CopyTextToClipboard(HWND owner, std::string_view utf8) {
    if (utf8.empty()) return false;
    const std::wstring wide = lumen::Utf8ToWide(utf8);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block) return false;
    if (void* p = GlobalLock(block)) {
        std::memcpy(p, wide.c_str(), bytes);
        GlobalUnlock(block);
    } else {
        GlobalFree(block);
        return false;
    }
    if (!OpenClipboardWithRetry(owner)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (!placed) GlobalFree(block);  // the clipboard did not take ownership
    CloseClipboard();
    return placed;
}

bool ReadClipboardText(HWND owner, std::string* utf8) {
    utf8->clear();
    if (!OpenClipboardWithRetry(owner)) return false;
    bool ok = false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            const size_t capacity = GlobalSize(data) / sizeof(wchar_t);
            size_t length = 0;
            while (length < capacity && text[length] != L'\0')
                ++length;
            *utf8 = lumen::WideToUtf8(std::wstring_view(text, length));
            GlobalUnlock(data);
            ok = true;
        }
    }
    CloseClipboard();
    return ok;
}

bool ClipboardHasText() {
    return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
}

}  // namespace quill
