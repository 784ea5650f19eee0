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

// Upper- or lower-cases count units with linguistic casing into out (replacing its contents). When
// the system cannot map them, out receives them unchanged.
void MapCase(const wchar_t* units, size_t count, bool upper, std::wstring& out);

}  // namespace lumen
