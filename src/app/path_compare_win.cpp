#include <windows.h>

#include <climits>

#include "app/path_compare.h"

namespace lumen {

bool PathsEqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    if (a.size() > static_cast<size_t>(INT_MAX)) return a == b;
    const int n = static_cast<int>(a.size());
    return CompareStringOrdinal(a.data(), n, b.data(), n, TRUE) == CSTR_EQUAL;
}

}  // namespace lumen
