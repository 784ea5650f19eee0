// Character classes that line layout and wrapping decide by: complex scripts, combining marks, the
// ideographic break rules and UTF-8 decoding of a line's bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "edit/char_classes.h"

namespace quill {

// Scripts whose characters are measured together as shaped runs: Hebrew to Myanmar, Hangul jamo,
// Khmer to Mongolian, the extended jamo blocks and the Arabic/Hebrew presentation forms.
inline bool IsComplexScript(char32_t c) {
    return (c >= 0x0590 && c <= 0x109F) || (c >= 0x1100 && c <= 0x11FF) || (c >= 0x1780 && c <= 0x18AF) ||
           (c >= 0xA960 && c <= 0xA97F) || (c >= 0xD7B0 && c <= 0xD7FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
           (c >= 0xFE70 && c <= 0xFEFF);
}

// Characters that never stand alone and travel with the character before them: the document's own
// combining set, so that layout and caret movement agree.
inline bool IsCombiningMark(char32_t c) {
    return c >= 0x0300 && IsCombiningCharacter(c);
}

// Ideographs and related blocks that allow a line break on either side.
inline bool IsIdeographicBreakable(char32_t c) {
    return (c >= 0x2E80 && c <= 0x312F) || (c >= 0x3190 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0x20000 && c <= 0x3FFFF);
}

// Whether word wrapping may break between `prev` and `c` on account of ideographic text.
bool IdeographicBreakBefore(char32_t prev, char32_t c);

// Decodes the UTF-8 character at p[0] (n > 0 bytes available) by the document's rules, inline
// because layout decodes every character of a line. Invalid or cut-off sequences read as U+FFFD
// with width 1.
inline char32_t DecodeUtf8(const unsigned char* p, size_t n, int* width) {
    const unsigned b = p[0];
    if (b < 0x80) {
        *width = 1;
        return b;
    }
    int need;
    char32_t cp;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 2;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 3;
        cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 4;
        cp = b & 0x07;
    } else {
        *width = 1;
        return 0xFFFD;
    }
    if (n < static_cast<size_t>(need)) {
        *width = 1;
        return 0xFFFD;
    }
    for (int i = 1; i < need; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            *width = 1;
            return 0xFFFD;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if ((need == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (need == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
        *width = 1;
        return 0xFFFD;
    }
    *width = need;
    return cp;
}

}  // namespace quill
