// The user's locale through the national-language services.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>

#include "tools/line_tools_platform.h"

namespace lumen {

int CompareLinesForSort(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength) {
    const int result =
        CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_LINGUISTIC_CASING | SORT_DIGITSASNUMBERS, a,
                        static_cast<int>(std::min<size_t>(aLength, INT_MAX)), b,
                        static_cast<int>(std::min<size_t>(bLength, INT_MAX)), nullptr, nullptr, 0);
    if (result != 0) return result - CSTR_EQUAL;
    // The system refused (a line beyond its limits): the plain order of the units keeps the sort whole.
    const int plain = wcsncmp(a, b, std::min(aLength, bLength));
    return plain != 0 ? plain : (aLength < bLength ? -1 : (aLength > bLength ? 1 : 0));
}

bool AppendSortKey(const wchar_t* units, size_t count, std::string& keys) {
    if (count > INT_MAX / 8) return false;
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_LINGUISTIC_CASING | SORT_DIGITSASNUMBERS;
    // An empty line has the key of the empty string, which the system gives only for a terminated
    // one (a line of ignorable characters has that key too, and compares equal to an empty line).
    const wchar_t* source = count ? units : L"";
    const int n = count ? static_cast<int>(count) : -1;
    // Room for a usual key first, so that most lines take one call; the exact size otherwise.
    const size_t at = keys.size();
    int room = static_cast<int>(count) * 6 + 32;
    keys.resize(at + static_cast<size_t>(room));
    int got = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, source, n,
                            reinterpret_cast<LPWSTR>(keys.data() + at), room, nullptr, nullptr, 0);
    if (got == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        room = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, source, n, nullptr, 0, nullptr, nullptr, 0);
        keys.resize(at + static_cast<size_t>(std::max(room, 0)));
        if (room > 0)
            got = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, source, n,
                                reinterpret_cast<LPWSTR>(keys.data() + at), room, nullptr, nullptr, 0);
    }
    keys.resize(at + static_cast<size_t>(std::max(got, 0)));
    return got > 0;
}

void MapCase(const wchar_t* units, size_t count, bool upper, std::wstring& out) {
    out.clear();
    const DWORD flags = (upper ? LCMAP_UPPERCASE : LCMAP_LOWERCASE) | LCMAP_LINGUISTIC_CASING;
    // In pieces the system's int lengths hold with room to grow, never splitting a surrogate pair.
    constexpr size_t kPiece = size_t{1} << 24;
    for (size_t at = 0; at < count;) {
        size_t n = std::min(count - at, kPiece);
        if (at + n < count && units[at + n - 1] >= 0xD800 && units[at + n - 1] <= 0xDBFF) --n;
        const int need = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, units + at, static_cast<int>(n),
                                       nullptr, 0, nullptr, nullptr, 0);
        const size_t base = out.size();
        if (need > 0) {
            out.resize(base + static_cast<size_t>(need));
            const int got = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, units + at, static_cast<int>(n),
                                          out.data() + base, need, nullptr, nullptr, 0);
            out.resize(base + static_cast<size_t>(std::max(got, 0)));
        }
        // A piece the system refused stays as it was.
        if (out.size() == base) out.append(units + at, n);
        at += n;
    }
}

}  // namespace lumen
