// What the line tools ask of the system: the user's locale-aware comparison for sorting and its
// case mapping. Windows answers with CompareStringEx and LCMapStringEx for the user's default
// locale (line_tools_platform_win.cpp); the native build has a documented stand-in
// (line_tools_platform_native.cpp). Wide characters hold UTF-16 code units, as everywhere else.
#pragma once

#include <cstddef>
#include <string>

namespace lumen {

// Negative, zero or positive as a sorts before, with or after b: case matters (linguistically)
// and runs of digits compare by their value, so file2 comes before file10.
int CompareLinesForSort(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength);

// Appends the line's sort key to `keys`: byte strings that order as CompareLinesForSort orders their
// lines (the system's documented equivalent of its comparison), so a sort makes one key per line
// instead of two million comparisons. False when there is no such key (the native stand-in, or a line the
// system refuses); the caller then compares the lines.
bool AppendSortKey(const wchar_t* units, size_t count, std::string& keys);

// Upper- or lower-cases count units with linguistic casing into out (replacing its contents). When
// the system cannot map them, out receives them unchanged.
void MapCase(const wchar_t* units, size_t count, bool upper, std::wstring& out);

}  // namespace lumen
