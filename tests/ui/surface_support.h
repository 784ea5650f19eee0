// Helpers for the Wine tests of the surface and the theme (Windows build only).
#pragma once

#include <windows.h>

#include <cwchar>

namespace lumen::test {

// Whether the system lists a font family of this name (a substitute does not count).
inline bool FaceInstalled(const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    auto listed = [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM flag) -> int {
        *reinterpret_cast<bool*>(flag) = true;
        return 0;
    };
    EnumFontFamiliesExW(dc, &query, listed, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

}  // namespace lumen::test
