// Conversions at the boundary between UTF-8 text and the system: UTF-16 (file names, clipboard,
// input method, accessibility) and the ANSI code page (files saved as "ANSI").
//
// Wide strings hold UTF-16 code units. On Windows that is wchar_t itself; the native build keeps
// the same type so every caller compiles unchanged, with one UTF-16 unit per (wider) wchar_t.
#pragma once

#include <string>
#include <string_view>

namespace lumen {

// UTF-8 to UTF-16 through the system's code-page conversion (65001, no flags). Invalid UTF-8 comes
// out as U+FFFD, as the system converts it. Empty input gives empty output without a system call.
std::wstring Utf8ToWide(std::string_view utf8);

// UTF-16 to UTF-8 (65001, no flags). Unpaired surrogates come out as U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

// The system's ANSI code page number (GetACP on Windows).
unsigned AnsiCodePage();

// Bytes in the ANSI code page (code page 0) to UTF-16.
std::wstring AnsiToWide(std::string_view bytes);

// UTF-16 to the ANSI code page. Under a UTF-8 ANSI code page (65001) the conversion is plain;
// otherwise best-fit mappings are refused and *lossy reports whether the system substituted its
// default character ("?") anywhere, or produced nothing for a non-empty text.
std::string WideToAnsi(std::wstring_view wide, bool* lossy);

}  // namespace lumen
