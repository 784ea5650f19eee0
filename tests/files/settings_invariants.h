// What every record read from any bytes must satisfy; shared by the randomized test and the fuzzer.
// Every test that compares records includes this header for PrintTo, so all agree on how one prints.
#pragma once

#include <cmath>
#include <ostream>
#include <string>

#include "files/settings.h"

namespace lumen::test {

// Empty when `s` is a record ParseSettings may produce and writing it reads back the same record;
// otherwise the first fault found.
inline std::string SettingsFault(const Settings& s) {
    if (!(s.size >= kMinFontSize && s.size <= kMaxFontSize) || std::round(s.size * 2) != s.size * 2)
        return "size " + std::to_string(s.size);
    if (s.weight < kMinFontWeight || s.weight > kMaxFontWeight) return "weight";
    if (s.tab != 2 && s.tab != 4 && s.tab != 8) return "tab";
    if (s.count < 0 || s.count > kMaxCounterKind) return "count";
    if (s.accent < 0 || s.accent > kMaxAccent) return "accent";
    if (s.neweol != 0 && s.neweol != 2) return "neweol";
    if (s.newenc != 0 && s.newenc != 1) return "newenc";
    if (s.font.empty() || s.font.size() > kMaxFontFaceUnits) return "font";
    if (s.recent.size() > kMaxRecentFiles) return "recent count";
    for (const std::wstring& path : s.recent)
        if (path.empty()) return "empty recent path";
    Settings again;
    ParseSettings(SettingsText(s), again);
    if (!(again == s)) return "does not read back as written";
    return {};
}

}  // namespace lumen::test

namespace lumen {
// Failure messages show a record as its file text.
inline void PrintTo(const Settings& s, std::ostream* out) {
    *out << "\n" << SettingsText(s);
}
}  // namespace lumen
