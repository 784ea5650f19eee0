// Plain-text clipboard exchange in the system's Unicode text format. The clipboard may be held
// briefly by another program, so opening it is retried.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quill {

inline constexpr int kClipboardTries = 10;
inline constexpr DWORD kClipboardRetryMs = 5;

// Opens the clipboard for `owner`, trying up to ten times with a 5 ms pause between tries.
bool OpenClipboardWithRetry(HWND owner);

// Empties the clipboard and places the UTF-8 text on it as Unicode text (line breaks unchanged).
// Nothing happens for an empty text. Returns whether the clipboard took it.
bool CopyTextToClipboard(HWND owner, std::string_view utf8);

// The clipboard's Unicode text up to its first NUL (within the block), as UTF-8. False when the
// clipboard stayed busy or holds no Unicode text.
bool ReadClipboardText(HWND owner, std::string* utf8);

// Whether the clipboard holds Unicode or plain text.
bool ClipboardHasText();

}  // namespace quill
