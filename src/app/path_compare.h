// Identity of file paths: the same file when the path strings are equal, compared ordinally with the
// case of letters ignored. Nothing is normalised; callers pass full paths.
#pragma once

#include <string_view>

namespace lumen {

// CompareStringOrdinal with ignore-case on Windows. The native stand-in folds ASCII and Latin-1
// letters only (a simple per-unit uppercase mapping); the full mapping is tested under Wine.
bool PathsEqualIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace lumen
