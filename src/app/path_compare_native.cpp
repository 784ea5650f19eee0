// Native stand-in for the system's ordinal ignore-case comparison: each UTF-16 unit is mapped to
// upper case on its own (as the system does), but only for ASCII and Latin-1 letters. Enough for
// the tab model's tests; the system's full table is exercised in the Windows build.
#include "app/path_compare.h"

namespace lumen {
namespace {

wchar_t Upper(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    if (c == 0xFF) return static_cast<wchar_t>(0x178);
    return c;
}

}  // namespace

bool PathsEqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && Upper(a[i]) != Upper(b[i])) return false;
    }
    return true;
}

}  // namespace lumen
