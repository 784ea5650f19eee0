// Native stand-in for the user's locale in the line tools, so sorting and case changes run in the
// Linux build and its tests. It follows the system's rules in a small form:
//  - comparison: first the lines as sequences of digit runs (ASCII digits, by numeric value, leading
//    zeros ignored) and single other characters compared by their lower-case form (a digit run sorts
//    as the character '0' against a non-digit), a prefix before a longer line; then, for lines equal
//    so far, the first character that differs only in case puts lower case first; then plain code
//    units. So b, a, B sort as a, b, B and item10, item9, item1 as item1, item9, item10.
//  - case mapping: the lower-casing of the editor's own stand-in (text_platform.h: ASCII, Latin-1,
//    Latin Extended-A, Greek, Cyrillic, Armenian, full-width Latin and a few others) and its inverse
//    for upper-casing; everything else is left as it is.
// The system's own tables are exercised by the Windows tests under Wine.
#include <cstdint>
#include <string>
#include <vector>

#include "edit/text_platform.h"
#include "tools/line_tools_platform.h"

namespace lumen {
namespace {

uint32_t Unit(wchar_t c) {
    return static_cast<uint32_t>(c) & 0xFFFF;
}

bool IsDigit(uint32_t c) {
    return c >= '0' && c <= '9';
}

uint32_t Lower(uint32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
    auto w = static_cast<wchar_t>(c);
    quill::platform::LowerCaseInPlace(&w, 1);
    return Unit(w);
}

const std::vector<wchar_t>& UpperTable() {
    static const std::vector<wchar_t> table = [] {
        std::vector<wchar_t> t(0x10000);
        for (uint32_t c = 0; c < 0x10000; ++c)
            t[c] = static_cast<wchar_t>(c);
        for (uint32_t c = 0; c < 0x10000; ++c) {
            const uint32_t lower = Lower(c);
            if (lower != c && Unit(t[lower]) == lower) t[lower] = static_cast<wchar_t>(c);
        }
        return t;
    }();
    return table;
}

int Sign(int64_t v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Digit runs by value and other characters by their lower-case form.
int ComparePrimary(const wchar_t* a, size_t na, const wchar_t* b, size_t nb) {
    size_t i = 0, j = 0;
    while (i < na && j < nb) {
        const uint32_t ca = Unit(a[i]), cb = Unit(b[j]);
        if (IsDigit(ca) && IsDigit(cb)) {
            size_t ie = i, je = j;
            while (ie < na && IsDigit(Unit(a[ie])))
                ++ie;
            while (je < nb && IsDigit(Unit(b[je])))
                ++je;
            while (i + 1 < ie && Unit(a[i]) == '0')
                ++i;
            while (j + 1 < je && Unit(b[j]) == '0')
                ++j;
            if (ie - i != je - j) return ie - i < je - j ? -1 : 1;
            for (; i < ie; ++i, ++j) {
                if (a[i] != b[j]) return Unit(a[i]) < Unit(b[j]) ? -1 : 1;
            }
            continue;
        }
        const uint32_t ka = IsDigit(ca) ? '0' : Lower(ca), kb = IsDigit(cb) ? '0' : Lower(cb);
        if (ka != kb) return ka < kb ? -1 : 1;
        ++i;
        ++j;
    }
    return Sign(static_cast<int64_t>(na - i) - static_cast<int64_t>(nb - j));
}

}  // namespace

int CompareLinesForSort(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength) {
    if (const int primary = ComparePrimary(a, aLength, b, bLength)) return primary;
    // Equal so far: the non-digit characters pair up one to one, equal but for case.
    for (size_t i = 0, j = 0; i < aLength && j < bLength; ++i, ++j) {
        while (i < aLength && IsDigit(Unit(a[i])))
            ++i;
        while (j < bLength && IsDigit(Unit(b[j])))
            ++j;
        if (i == aLength || j == bLength) break;
        const bool upperA = Lower(Unit(a[i])) != Unit(a[i]), upperB = Lower(Unit(b[j])) != Unit(b[j]);
        if (upperA != upperB) return upperA ? 1 : -1;
    }
    for (size_t i = 0; i < aLength && i < bLength; ++i) {
        if (a[i] != b[i]) return Unit(a[i]) < Unit(b[i]) ? -1 : 1;
    }
    return Sign(static_cast<int64_t>(aLength) - static_cast<int64_t>(bLength));
}

void MapCase(const wchar_t* units, size_t count, bool upper, std::wstring& out) {
    out.assign(units, count);
    if (!upper) {
        quill::platform::LowerCaseInPlace(out.data(), count);
        return;
    }
    const std::vector<wchar_t>& table = UpperTable();
    for (wchar_t& u : out)
        u = table[Unit(u)];
}

bool AppendSortKey(const wchar_t*, size_t, std::string&) {
    return false;  // the stand-in's order has no key form: lines are compared
}

}  // namespace lumen
